#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/settings/support_exceptions.h"
#include "capture/settings/support_messages.h"
#include "comm/base/str0_table.h"
#include "tests/capture/settings/support_table_fixture.h"

namespace capture {
namespace {

using SupportMessages = capture_test::SupportTable;

TEST_F(SupportMessages, TableHoldsExactlyTheTextsTheProgramRaises) {
  const std::vector<std::pair<std::uint32_t, std::string>> expected = {
      {0, "FALSE"},
      {1, "TRUE"},
      {2, "No Ini File or Primary Key specified"},
      {5, "Failed to create key\\nError Code: %d"},
      {7, "Failed to write value to INI file"},
      {9, "No key name specified"},
      {40, "No Value Name specified"},
      {73, "Error opening file"},
      {100, "File does not contain version info"},
      {134, "The specified key cannnot be found in version info"}};
  comm::Str0Table table;
  ASSERT_EQ(table.Attach(tableBytes), comm::Str0Table::AttachResult::kOk);
  ASSERT_EQ(table.Count(), expected.size());
  for (std::uint32_t i = 0; i < table.Count(); ++i) {
    EXPECT_EQ(table.EntryAt(i).id, expected[i].first);
    EXPECT_EQ(SupportMessage(expected[i].first), expected[i].second);
  }
}

TEST_F(SupportMessages, LayoutIsMagicCountIndexThenUtf16TextsWithoutTerminators) {
  // "STR0", count 10, first entry {id 0, offset 8 + 10 * 12, 5 units}, and
  // "FALSE" right after the index.
  const std::vector<std::uint8_t> head = {'S', 'T', 'R', '0', 10, 0, 0, 0, 0, 0,
                                          0,   0,   128, 0,   0,  0, 5, 0, 0, 0};
  ASSERT_GE(tableBytes.size(), 128u + 10u);
  EXPECT_EQ(std::vector<std::uint8_t>(tableBytes.begin(), tableBytes.begin() + 20), head);
  const std::vector<std::uint8_t> falseText = {'F', 0, 'A', 0, 'L', 0, 'S', 0, 'E', 0};
  EXPECT_EQ(std::vector<std::uint8_t>(tableBytes.begin() + 128, tableBytes.begin() + 138), falseText);
  const std::vector<std::uint8_t> trueEntry = {1, 0, 0, 0, 138, 0, 0, 0, 4, 0, 0, 0};
  EXPECT_EQ(std::vector<std::uint8_t>(tableBytes.begin() + 20, tableBytes.begin() + 32), trueEntry);
}

TEST_F(SupportMessages, ExceptionCarriesTheIdAndItsText) {
  const EStVersionInfoError error(kStNoVersionInfo);
  EXPECT_EQ(error.ErrorCode, 100);
  EXPECT_EQ(error.Message(), "File does not contain version info");
}

TEST_F(SupportMessages, CreateKeyFailureShowsTheSystemErrorNumber) {
  const EStRegIniError error(kStCreateKeyFailed, 5);
  EXPECT_EQ(error.ErrorCode, 5);
  EXPECT_EQ(error.Message(), "Failed to create key\\nError Code: 5");
}

TEST(SupportMessagesClosed, GiveEmptyTextsInsteadOfFailing) {
  FinishSupportMessages();
  EXPECT_EQ(SupportMessage(kStTrueText), "");
}

TEST(SystemCallErrorText, NamesTheSystemTextAndNumber) {
  EXPECT_EQ(SystemCallError(2, "The system cannot find the file specified.\r\n").Message(),
            "The system cannot find the file specified. (System error 2)");
  EXPECT_EQ(SystemCallError(1234, "").Message(), "System error 1234");
}

}  // namespace
}  // namespace capture
