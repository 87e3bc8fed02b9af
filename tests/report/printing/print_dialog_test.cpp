#include "report/printing/print_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace report {
namespace {

TEST(PrintDialogTest, Flags) {
  const struct {
    const char* name;
    TPrintRange range;
    bool collate;
    TPrintDialogOptions options;
    bool printToFile;
    std::uint32_t flags;
  } cases[] = {
      {"the report's setup call", TPrintRange::prAllPages, false, poPageNums | poWarning, false, 0x103004},
      {"with selection and collate", TPrintRange::prAllPages, true, poPageNums | poWarning | poSelection,
       false, 0x103010},
      {"no options", TPrintRange::prAllPages, false, 0, false, 0x10308C},
      {"page range", TPrintRange::prPageNums, false, poPageNums | poWarning, false, 0x103006},
      {"selection range", TPrintRange::prSelection, false, poSelection | poPageNums | poWarning, false,
       0x103001},
      {"print to file shown and ticked", TPrintRange::prAllPages, false,
       poPrintToFile | poPageNums | poWarning, true, 0x003024},
      {"print to file disabled", TPrintRange::prAllPages, false,
       poDisablePrintToFile | poPageNums | poWarning, false, 0x183004},
      {"help", TPrintRange::prAllPages, false, poHelp | poPageNums | poWarning, false, 0x103804},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PrintDialogFlags(c.range, c.collate, c.options, c.printToFile), c.flags);
  }
}

TEST(PrintDialogTest, PageNumbersAreHeldWithin16Bits) {
  EXPECT_EQ(DialogPageNumber(0), 0);
  EXPECT_EQ(DialogPageNumber(9999), 9999);
  EXPECT_EQ(DialogPageNumber(65535), 65535);
  EXPECT_EQ(DialogPageNumber(70000), 65535);
  EXPECT_EQ(DialogPageNumber(-3), 0);
}

TEST(PrintDialogTest, DevNamesBlockIsPinned) {
  const auto block = DevNamesBlock({"PDF", "winspool", "CUPS:PDF"});
  const std::vector<std::uint8_t> expected{8,   0,   17,  0,   21,  0,   0,   0,   'w', 'i',
                                           'n', 's', 'p', 'o', 'o', 'l', 0,   'P', 'D', 'F',
                                           0,   'C', 'U', 'P', 'S', ':', 'P', 'D', 'F', 0};
  EXPECT_EQ(block.size(), 30u);
  EXPECT_EQ(block, expected);
  EXPECT_EQ(ReadDevNames(block), (QRPrinterNames{"PDF", "winspool", "CUPS:PDF"}));
}

TEST(PrintDialogTest, BrokenDevNamesBlocksAreRefused) {
  auto block = DevNamesBlock({"PDF", "winspool", "CUPS:PDF"});
  const struct {
    const char* name;
    std::size_t at;
    std::uint8_t value;
  } faults[] = {{"driver offset in the header", 0, 2},
                {"device offset past the end", 2, 200},
                {"port without its end", 29, 'x'}};
  for (const auto& f : faults) {
    SCOPED_TRACE(f.name);
    auto broken = block;
    broken[f.at] = f.value;
    EXPECT_FALSE(ReadDevNames(broken));
  }
  EXPECT_FALSE(ReadDevNames(std::vector<std::uint8_t>(5, 0)));
}

TEST(PrintDialogTest, AnswersMapToTheDialogsProperties) {
  const struct {
    const char* name;
    PrintDialogAnswer answer;
    std::int32_t printerCopies;
    PrintDialogChoice choice;
  } cases[] = {
      {"pages 2 to 3", {kPdPageNums, 2, 3, 2}, 5, {false, false, TPrintRange::prPageNums, 2, 3, 2}},
      {"one copy is the printer's", {0, 1, 9, 1}, 4, {false, false, TPrintRange::prAllPages, 1, 9, 4}},
      {"selection wins over pages",
       {kPdSelection | kPdPageNums, 0, 0, 3},
       1,
       {false, false, TPrintRange::prSelection, 0, 0, 3}},
      {"collate and file",
       {kPdCollate | kPdPrintToFile, 0, 0, 2},
       1,
       {true, true, TPrintRange::prAllPages, 0, 0, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadPrintDialogAnswer(c.answer, c.printerCopies), c.choice);
  }
}

TEST(PrintDialogTest, OpensCentredAThirdDown) {
  const auto origin = DialogOrigin(1024, 768, 401, 300);
  EXPECT_EQ(origin.X, 311);
  EXPECT_EQ(origin.Y, 156);
  // A dialog larger than the screen: truncated toward zero.
  const auto large = DialogOrigin(100, 100, 201, 202);
  EXPECT_EQ(large.X, -50);
  EXPECT_EQ(large.Y, -34);
}

}  // namespace
}  // namespace report
