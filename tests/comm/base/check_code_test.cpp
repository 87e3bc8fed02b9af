#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <map>
#include <set>
#include <typeinfo>

#include "comm/base/exceptions.h"
#include "tests/comm/base/str0_test_support.h"

namespace comm {
namespace {

// Stands in for the system's message table.
class FakeSystemMessages : public SystemMessageSource {
 public:
  std::string SystemMessage(std::uint32_t id) override {
    const auto found = texts.find(id);
    return found == texts.end() ? std::string() : found->second;
  }
  std::map<std::uint32_t, std::string> texts;
};

// The generated error table and a fake system table, as the program has them.
class WithErrorTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    module.Add("CVL_ERROR_STRINGS_ENGLISH", comm_test::GeneratedTable("cvl_error_strings_english.str0"));
    system.texts[7] = "The storage control blocks were destroyed.\r\n";
    StartErrorTexts(module, &system);
  }
  void TearDown() override { FinishErrorTexts(); }
  MemoryResourceModule module;
  FakeSystemMessages system;
};

template <class T>
bool IsExactly(const std::exception& e) {
  return typeid(e) == typeid(T);
}

struct CheckCase {
  int code;
  bool loading;
  bool (*expectedType)(const std::exception&);  // null: the code is returned
  int expectedErrorCode;
  const char* expectedMessage;  // null: not checked
};

const CheckCase kCheckCases[] = {
    {0, false, nullptr, 0, nullptr},
    {17, false, nullptr, 0, nullptr},
    {-2011, true, nullptr, 0, nullptr},
    {-1, true, nullptr, 0, nullptr},
    {-2011, false, IsExactly<ENoPortSelected>, -2011,
     "The ComNumber property of the TApdComPort has not been set"},
    {-1002, false, IsExactly<EBadArgument>, -1002, "Bad argument passed to function"},
    {-5, false, IsExactly<fw::EInOutError>, 5, "File access denied"},
    {-2, false, IsExactly<fw::EInOutError>, 2, "File not found"},
    {-162, false, IsExactly<fw::EInOutError>, 162, "General failure"},
    {-7, false, IsExactly<fw::EInOutError>, 7, "The storage control blocks were destroyed. "},
    {-8, false, IsExactly<fw::EOutOfMemory>, 0, nullptr},
    {-1, false, IsExactly<EAPDException>, 0, "Cvl exception"},
    {-163, false, IsExactly<EAPDException>, 0, "Cvl exception"},
    {-1001, false, IsExactly<EAPDException>, 0, "Cvl exception"},
    {-5001, false, IsExactly<EAPDException>, 0, "Cvl exception"},
    {-13804, false, IsExactly<EAPDException>, 0, "Cvl exception"},
    {INT_MIN, false, IsExactly<EAPDException>, 0, "Cvl exception"},
    {-7003, false, IsExactly<EInternal>, -7003, "No fields defined in database"},
    {-6006, false, IsExactly<EProtocol>, -6006, nullptr},
    {-13942, false, IsExactly<ETapiTranslateFail>, -13942, "Failed to translate the phone number"},
    {-13934, false, IsExactly<ETapiUnexpected>, -13934, nullptr},
};

TEST_F(WithErrorTexts, CheckCodeReturnsOrRaisesPerCase) {
  for (const CheckCase& c : kCheckCases) {
    SCOPED_TRACE("code " + std::to_string(c.code) + (c.loading ? " while loading" : ""));
    if (!c.expectedType) {
      EXPECT_EQ(CheckCode(c.loading, c.code), c.code);
      continue;
    }
    try {
      CheckCode(c.loading, c.code);
      ADD_FAILURE() << "no exception";
    } catch (const fw::Exception& e) {
      EXPECT_TRUE(c.expectedType(e)) << typeid(e).name();
      if (const auto* coded = dynamic_cast<const EAPDException*>(&e)) {
        EXPECT_EQ(coded->ErrorCode, c.expectedErrorCode);
      }
      if (const auto* io = dynamic_cast<const fw::EInOutError*>(&e)) {
        EXPECT_EQ(io->ErrorCode, c.expectedErrorCode);
      }
      if (c.expectedMessage) {
        EXPECT_EQ(e.Message(), c.expectedMessage);
      }
    }
  }
}

TEST_F(WithErrorTexts, InternalOfAnIniCodeBelongsToTheGeneralFamily) {
  try {
    CheckCode(false, codes::kNoIniFields);
    FAIL();
  } catch (const EINI&) {
    FAIL() << "raised as an INI error";
  } catch (const EGeneral& e) {
    EXPECT_NE(dynamic_cast<const EInternal*>(&e), nullptr);
  }
}

// Every listed code raises a class of its family, carrying the code and its text.
TEST_F(WithErrorTexts, EveryListedCodeRaisesItsClassWithItsText) {
  const std::map<std::string, std::function<bool(const EAPDException&)>> families = {
      {"EGeneral", [](const EAPDException& e) { return dynamic_cast<const EGeneral*>(&e) != nullptr; }},
      {"EOpenComm", [](const EAPDException& e) { return dynamic_cast<const EOpenComm*>(&e) != nullptr; }},
      {"ESerialIO", [](const EAPDException& e) { return dynamic_cast<const ESerialIO*>(&e) != nullptr; }},
      {"EModem", [](const EAPDException& e) { return dynamic_cast<const EModem*>(&e) != nullptr; }},
      {"ETrigger", [](const EAPDException& e) { return dynamic_cast<const ETrigger*>(&e) != nullptr; }},
      {"EProtocol", [](const EAPDException& e) { return dynamic_cast<const EProtocol*>(&e) != nullptr; }},
      {"EINI", [](const EAPDException& e) { return dynamic_cast<const EINI*>(&e) != nullptr; }},
      {"EFax", [](const EAPDException& e) { return dynamic_cast<const EFax*>(&e) != nullptr; }},
      {"ETapi", [](const EAPDException& e) { return dynamic_cast<const ETapi*>(&e) != nullptr; }},
  };
  std::set<std::string> classes;
  for (const CodedExceptionKind& kind : CodedExceptionKinds()) {
    SCOPED_TRACE(std::string(kind.className) + " " + std::to_string(kind.code));
    classes.insert(kind.className);
    ASSERT_EQ(families.count(kind.familyName), 1u);
    try {
      CheckCode(false, kind.code);
      ADD_FAILURE() << "no exception";
    } catch (const EAPDException& e) {
      EXPECT_TRUE(families.at(kind.familyName)(e));
      EXPECT_EQ(e.ErrorCode, kind.code);
      EXPECT_FALSE(e.Message().empty());
      EXPECT_EQ(e.Message(), ErrorText(kind.code));
    }
  }
  // 161 leaf codes, -13934, and the three codes of the protocol family.
  EXPECT_EQ(CodedExceptionKinds().size(), 165u);
  EXPECT_EQ(classes.size(), 160u);  // 159 leaves and EProtocol
}

TEST(CodedExceptionKinds, AreSortedAndUniqueSoLookupsFindThem) {
  const auto kinds = CodedExceptionKinds();
  for (std::size_t i = 1; i < kinds.size(); ++i) EXPECT_LT(kinds[i - 1].code, kinds[i].code);
  EXPECT_EQ(FindCodedExceptionKind(-1001), nullptr);
  ASSERT_NE(FindCodedExceptionKind(-13934), nullptr);
  EXPECT_STREQ(FindCodedExceptionKind(-13934)->className, "ETapiUnexpected");
  EXPECT_STREQ(FindCodedExceptionKind(-13934)->familyName, "ETapi");
}

TEST(EAPDExceptionCreation, WithTextHasCodeZeroAndForCodeKeepsItsCode) {
  const auto withText = EAPDException::CreateWithText("ready text");
  EXPECT_EQ(withText.ErrorCode, 0);
  EXPECT_EQ(withText.Message(), "ready text");
  // No table and no system text: an empty message, never a failure.
  const auto forCode = EAPDException::CreateForCode(-2011);
  EXPECT_EQ(forCode.ErrorCode, -2011);
  EXPECT_EQ(forCode.Message(), "");
}

TEST(CleanSystemMessage, TurnsControlCharactersIntoSingleSpaces) {
  const struct {
    const char* raw;
    const char* cleaned;
  } cases[] = {
      {"The parameter is incorrect.\r\n", "The parameter is incorrect. "},
      {"Two\t\tlines\r\nhere.\r\n", "Two lines here. "},
      {"  leading and    inner  ", " leading and inner "},
      {"", ""},
      // bytes of 0x80 and above are characters of the code page, not controls
      {"Caf\xE9 \xFC\x80!\r\n", "Caf\xE9 \xFC\x80! "},
  };
  for (const auto& c : cases) EXPECT_EQ(CleanSystemMessage(c.raw), c.cleaned) << c.raw;
}

TEST_F(WithErrorTexts, ErrorTextFallsBackToTheSystemAndIsCappedAt255) {
  EXPECT_EQ(ErrorText(0), "OK");
  EXPECT_EQ(ErrorText(-2011), ErrorText(2011));
  EXPECT_EQ(ErrorText(-7), "The storage control blocks were destroyed. ");
  EXPECT_EQ(ErrorText(-87), "");  // neither the table nor this system knows 87
  system.texts[87] = std::string(300, 'x') + "\r\n";
  EXPECT_EQ(ErrorText(-87), std::string(255, 'x'));
  EXPECT_EQ(ErrorText(INT_MIN), "");
}

TEST(ErrorTextTable, LongTableTextsAreCappedAt255) {
  // One entry, id 9, of 300 characters.
  std::vector<std::uint8_t> table = {'S', 'T', 'R', '0', 1, 0, 0,    0,    9, 0,
                                     0,   0,   20,  0,   0, 0, 0x2C, 0x01, 0, 0};
  for (int k = 0; k < 300; ++k) table.insert(table.end(), {'y', 0});
  MemoryResourceModule module;
  module.Add("CVL_ERROR_STRINGS_ENGLISH", table);
  StartErrorTexts(module, nullptr);
  EXPECT_EQ(ErrorText(-9), std::string(255, 'y'));
  FinishErrorTexts();
}

}  // namespace
}  // namespace comm
