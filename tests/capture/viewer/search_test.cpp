#include "capture/viewer/search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using capture::EntryLineNumber;
using capture::FindLinesNoCase;
using capture::FindNoCase;
using capture::MemoTextFromFile;

std::vector<std::string> Entries(std::string_view text, std::string_view pattern) {
  std::vector<std::string> entries;
  for (const auto& hit : FindLinesNoCase(text, pattern)) entries.push_back(capture::SearchResultEntry(hit));
  return entries;
}

// A capture file holds CR LF, lone LF and lone CR breaks side by side.
const std::string kMixedBreaks = "A\r\nB\nC\rD\n\nE";

TEST(MemoTextFromFile, EveryKindOfBreakBecomesOneCrLf) {
  EXPECT_EQ(MemoTextFromFile(kMixedBreaks), "A\r\nB\r\nC\r\nD\r\n\r\nE");
}

TEST(MemoTextFromFile, LfFollowedByCrIsTwoBreaks) {
  EXPECT_EQ(MemoTextFromFile("x\n\ry"), "x\r\n\r\ny");
  EXPECT_EQ(MemoTextFromFile("x\r\r\ny\r"), "x\r\n\r\ny\r\n");
}

TEST(MemoTextFromFile, NulBecomesBlankAndOtherBytesStay) {
  const std::string bytes("a\0b\x7f\xe9", 5);
  EXPECT_EQ(MemoTextFromFile(bytes), std::string("a b\x7f\xe9"));
  EXPECT_EQ(MemoTextFromFile(""), "");
}

TEST(FindLinesNoCase, MixedBreaksGiveOneLinePerBreak) {
  const std::string text = MemoTextFromFile(kMixedBreaks);
  struct Case {
    const char* pattern;
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {"a", {"0     A"}}, {"b", {"1     B"}}, {"c", {"2     C"}},
      {"d", {"3     D"}}, {"E", {"5     E"}}, {"x", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Entries(text, c.pattern), c.entries) << c.pattern;
}

TEST(FindLinesNoCase, EntriesForLinesZeroAndSeven) {
  std::string text;
  for (int i = 0; i < 10; ++i)
    text += (i == 0 || i == 7 ? "SUB TOTAL 1.00 line " : "item line ") + std::to_string(i) + "\r\n";
  EXPECT_EQ(Entries(text, "total"),
            (std::vector<std::string>{"0     SUB TOTAL 1.00 line 0", "7     SUB TOTAL 1.00 line 7"}));
}

TEST(FindLinesNoCase, LineWithSeveralHitsIsListedOnce) {
  EXPECT_EQ(Entries("total Total TOTAL\r\nnone\r\ntotal", "TOTAL"),
            (std::vector<std::string>{"0     total Total TOTAL", "2     total"}));
}

TEST(FindLinesNoCase, EmptyOrMultiLinePatternFindsNothing) {
  EXPECT_TRUE(FindLinesNoCase("a\r\nb", "").empty());
  EXPECT_TRUE(FindLinesNoCase("a\r\nb", "a\r\nb").empty());
}

TEST(FindNoCase, FindsAnyCaseFromAPosition) {
  const std::string text = "Total\r\nTOTAL\r\ntotal";
  EXPECT_EQ(FindNoCase(text, "total"), 0u);
  EXPECT_EQ(FindNoCase(text, "toTAL", 1), 7u);
  EXPECT_EQ(FindNoCase(text, "total", 8), 14u);
  EXPECT_EQ(FindNoCase(text, "total", 15), std::nullopt);
}

TEST(FindNoCase, EdgesOfTextAndPattern) {
  EXPECT_EQ(FindNoCase("abc", ""), std::nullopt);
  EXPECT_EQ(FindNoCase("abc", "abcd"), std::nullopt);
  EXPECT_EQ(FindNoCase("abc", "c", 3), std::nullopt);
  EXPECT_EQ(FindNoCase("abc", "a", 99), std::nullopt);
  EXPECT_EQ(FindNoCase("", "a"), std::nullopt);
  EXPECT_EQ(FindNoCase("xABC", "abc", 1), 1u);
}

TEST(FindNoCase, OnlyAsciiLettersFoldCase) {
  // 0xE9 and 0xC9 are é and É in the Windows Western code page: left as they are.
  EXPECT_EQ(FindNoCase("\xc9t\xe9", "\xe9"), 2u);
  EXPECT_EQ(FindNoCase("[\\]^", "{|}~"), std::nullopt);
  EXPECT_EQ(FindNoCase("@[`{", "`{"), 2u);
}

TEST(EntryLineNumber, ReadsTheNumberBeforeTheFirstBlank) {
  EXPECT_EQ(EntryLineNumber("12     line 12"), 12u);
  EXPECT_EQ(EntryLineNumber("0     "), 0u);
  EXPECT_EQ(EntryLineNumber("7"), 7u);
  EXPECT_EQ(EntryLineNumber(""), std::nullopt);
  EXPECT_EQ(EntryLineNumber(" 5 x"), std::nullopt);
  EXPECT_EQ(EntryLineNumber("5x  y"), std::nullopt);
  EXPECT_EQ(EntryLineNumber("99999999999999999999 y"), std::nullopt);
}

}  // namespace
