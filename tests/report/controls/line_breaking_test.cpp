// Line breaking with a fixed-width measure: 10 per byte.
#include "report/controls/line_breaking.h"

#include <gtest/gtest.h>

namespace report {
namespace {

struct BreakRow {
  const char* name;
  std::string text;
  std::int32_t limit;
  bool wordWrap;
  bool autoSize;
  std::vector<std::string> lines;
};

QRLineBreakRules Rules(const BreakRow& row) {
  QRLineBreakRules rules;
  rules.AutoSize = row.autoSize;
  rules.WordWrap = row.wordWrap;
  rules.Limit = row.limit;
  rules.Measure = [](const std::string& text) { return static_cast<std::int32_t>(text.size()) * 10; };
  rules.IsLeadByte = [](unsigned char byte) { return byte == 0x81; };
  return rules;
}

class LineBreaking : public ::testing::TestWithParam<BreakRow> {};

TEST_P(LineBreaking, GivesItsLines) {
  EXPECT_EQ(BreakLines(GetParam().text, Rules(GetParam())), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LineBreaking,
    ::testing::Values(
        BreakRow{"TwoWordsThenTheThird", "aa bb cc", 60, true, false, {"aa bb ", "cc"}},
        BreakRow{"HyphenStaysWithTheFirstHalf", "ab-cd", 30, true, false, {"ab-", "cd"}},
        BreakRow{"WideFirstWordGoesOnOverTheNextLines", "abcdefgh", 30, true, false, {"abc", "def", "gh"}},
        BreakRow{
            "WideWordAfterOthersStartsItsOwnLine", "x abcdefgh", 30, true, false, {"x ", "abc", "def", "gh"}},
        BreakRow{"WideWordThenMoreWords", "abcdefgh ij", 30, true, false, {"abc", "def", "gh ", "ij"}},
        BreakRow{"NoWrapCutsTheFirstWordAndStops", "abcdefgh yy", 30, false, false, {"abc"}},
        BreakRow{"NoWrapDropsEverythingAfterTheOverflow", "aa bb cc dd", 60, false, false, {"aa bb "}},
        BreakRow{"NoWrapStopsForOnePartOnly", "aa bb cc\rdd", 30, false, false, {"aa ", "dd"}},
        BreakRow{"CrLfGivesTwoLines", "a\r\nb", 100, true, false, {"a", "b"}},
        BreakRow{"TwoCrGiveAnEmptyLineBetween", "a\r\rb", 100, true, false, {"a", "", "b"}},
        BreakRow{"LoneLfIsRemoved", "a\nb", 100, true, false, {"ab"}},
        BreakRow{"EmptyTextIsOneEmptyLine", "", 100, true, false, {""}},
        BreakRow{"TrailingCrGivesAnEmptyLastLine", "a\r", 100, true, false, {"a", ""}},
        BreakRow{"AutoSizeNeverWraps", "aaaaaaaaaa bb\rc", 30, true, true, {"aaaaaaaaaa bb", "c"}},
        BreakRow{"DoubleByteCharactersAreWordsOfTheirOwn",
                 "\x81\x40\x81\x41",
                 20,
                 true,
                 false,
                 {"\x81\x40", "\x81\x41"}},
        BreakRow{"DoubleByteCharacterIsNeverSplit", "a\x81\x40", 20, true, false, {"a", "\x81\x40"}},
        BreakRow{"ZeroLimitStillLosesNothing", "ab", 0, true, false, {"a", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Breaking costs measurements of about the length of the text: a long text
// never has its lines measured again word by word, nor a long word again for
// each line it gives.
struct CostRow {
  const char* name;
  std::string text;
};
class LineBreakingCost : public ::testing::TestWithParam<CostRow> {};

TEST_P(LineBreakingCost, MeasuresAFewTimesTheTextsLength) {
  const std::string& text = GetParam().text;
  std::size_t measured = 0;
  QRLineBreakRules rules;
  rules.Limit = 1000;  // 100 bytes a line
  rules.Measure = [&](const std::string& piece) {
    measured += piece.size();
    return static_cast<std::int32_t>(piece.size()) * 10;
  };
  const std::vector<std::string> lines = BreakLines(text, rules);
  std::string joined;
  for (const std::string& line : lines) {
    EXPECT_LE(line.size(), 100u);
    joined += line;
  }
  EXPECT_EQ(joined, text);
  EXPECT_LE(measured, 16 * text.size());
}

std::string Repeated(const std::string& piece, std::size_t bytes) {
  std::string text;
  while (text.size() < bytes) text += piece;
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineBreakingCost,
    ::testing::Values(CostRow{"OneWord", std::string(100000, 'x')},
                      CostRow{"Words", Repeated("SUBTOTAL 12.25 ", 100000)},
                      CostRow{"WordsOfSeveralLengths", Repeated("a bb ccccccccccccc ", 100000)},
                      CostRow{"WordsWiderThanALine", Repeated(std::string(250, 'w') + " ", 100000)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace report
