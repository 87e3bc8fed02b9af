#include "setup/translator/language_text.h"

#include <gtest/gtest.h>

#include "framework/exceptions.h"

namespace setup::translator {
namespace {

struct BadText {
  std::vector<std::string> lines;
  std::string message;
};

class MalformedLanguageText : public ::testing::TestWithParam<BadText> {};

TEST_P(MalformedLanguageText, RaisesWithTheZeroBasedLineNumber) {
  try {
    ParseLanguageText(GetParam().lines);
    FAIL() << "no error";
  } catch (const fw::Exception& e) {
    EXPECT_EQ(e.Message(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MalformedLanguageText,
    ::testing::Values(
        BadText{{"1;One", "  #  "}, "Found the end of memo marker # at line 1. Was not in a memo however"},
        BadText{{"", "12"}, "The 1'th string (12) does not have the proper format of GLID;Text"},
        BadText{{"x;Text"},
                "The 0'th string (x;Text) does not have the proper format of GLID;Text or .GLID;"},
        BadText{{"5;   "}, "The 0'th string (5;) does not have the proper format of GLID;Text"},
        BadText{{";Text"}, "The 0'th string (;Text) does not have the proper format of GLID;Text"},
        BadText{{"1;a", "#;x"}, "The 1'th string (#;x) does not have the proper format of GLID;Text"},
        BadText{{"#2x;"}, "The 0'th string (#2x;) does not have the proper format of GLID;Text or .GLID;"},
        // A number that does not fit 32 bits is no GLID.
        BadText{{"4294967306;Ten"},
                "The 0'th string (4294967306;Ten) does not have the proper format of GLID;Text or .GLID;"},
        BadText{{"99999999999999999999999;T"},
                "The 0'th string (99999999999999999999999;T) does not have the proper format of GLID;Text or "
                ".GLID;"}));

TEST(LanguageText, StringsKeepTheBlankAfterTheSeparatorAndEndAtTheNextOne) {
  const auto parsed =
      ParseLanguageText({"* comment", "10; Bienvenue", "", "  11;Next >;ignored  ", "-3;Minus"});
  ASSERT_EQ(parsed.Strings.size(), 3u);
  EXPECT_EQ(parsed.Strings[0].Glid, 10);
  EXPECT_EQ(parsed.Strings[0].Text, " Bienvenue");
  EXPECT_EQ(parsed.Strings[0].LineNumber, 1);
  EXPECT_EQ(parsed.Strings[1].Text, "Next >");
  EXPECT_EQ(parsed.Strings[1].LineNumber, 3);
  EXPECT_EQ(parsed.Strings[2].Glid, -3);
  EXPECT_TRUE(parsed.Memos.empty());
}

TEST(LanguageText, MemosCollectTrimmedLinesAndSkipComments) {
  const auto parsed =
      ParseLanguageText({"1;One", "#20", "  Line one ", "* note", "Line two", "#", "#21;x", "open"});
  ASSERT_EQ(parsed.Memos.size(), 1u);  // the memo still open at the end is dropped
  EXPECT_EQ(parsed.Memos[0].Glid, 20);
  EXPECT_EQ(parsed.Memos[0].LineNumber, 1);
  EXPECT_EQ(parsed.Memos[0].Lines, (std::vector<std::string>{"Line one", "Line two"}));
  ASSERT_EQ(parsed.Strings.size(), 1u);
}

TEST(LanguageText, LongTextsAreCutAndLongLinesAccepted) {
  const std::string longText(100000, 'w');
  const auto parsed = ParseLanguageText({"7;" + longText});
  ASSERT_EQ(parsed.Strings.size(), 1u);
  EXPECT_EQ(parsed.Strings[0].Text, std::string(255, 'w'));
}

}  // namespace
}  // namespace setup::translator
