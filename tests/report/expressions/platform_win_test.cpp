// The expression platform over the real Windows locale and clock.
#include <gtest/gtest.h>

#include "report/expressions/platform_win.h"
#include "report/expressions/evaluator.h"
#include "report/expressions/startup.h"

namespace report {
namespace {

constexpr std::uint32_t kGerman = 0x0407;
constexpr std::uint32_t kEnglishUs = 0x0409;

TEST(WinExpressionPlatform, SeparatorsComeFromTheLocale) {
  const WinExpressionPlatform german("Tallimo", kGerman);
  EXPECT_EQ(german.DecimalSeparator(), ',');
  EXPECT_EQ(german.ThousandSeparator(), '.');
  const WinExpressionPlatform english("Tallimo", kEnglishUs);
  EXPECT_EQ(english.DecimalSeparator(), '.');
  EXPECT_EQ(english.ThousandSeparator(), ',');
}

TEST(WinExpressionPlatform, CaseAndClockTexts) {
  const WinExpressionPlatform english("Tallimo", kEnglishUs);
  EXPECT_EQ(english.UpperCase("Shop 12b"), "SHOP 12B");
  EXPECT_EQ(english.LowerCase("Shop 12B"), "shop 12b");
  EXPECT_EQ(english.UpperCase(""), "");
  EXPECT_FALSE(english.IsLeadByte('A'));
  EXPECT_NE(english.CurrentShortDateText().find('/'), std::string::npos) << english.CurrentShortDateText();
  EXPECT_NE(english.CurrentTimeText().find(':'), std::string::npos) << english.CurrentTimeText();
  EXPECT_NE(WinExpressionPlatform("T", kGerman).CurrentShortDateText().find('.'), std::string::npos);
  EXPECT_EQ(english.ApplicationTitle(), "Tallimo");
}

TEST(WinExpressionPlatform, DateTimeTextLeavesOutMidnight) {
  const WinExpressionPlatform english("Tallimo", kEnglishUs);
  EXPECT_EQ(english.DateTimeTextAt(2026, 3, 4, 0, 0, 0), "3/4/2026");
  EXPECT_EQ(english.DateTimeTextAt(2026, 3, 4, 9, 5, 7), "3/4/2026 9:05:07 AM");
  const std::string shortTime = english.CurrentShortTimeText();
  EXPECT_NE(shortTime.find(':'), std::string::npos) << shortTime;
  EXPECT_EQ(shortTime.find(':'), shortTime.rfind(':')) << shortTime;  // no seconds
}

TEST(WinExpressionPlatform, ExpressionsUseTheCommaLocale) {
  const WinExpressionPlatform german("Tallimo", kGerman);
  ReportExpressionsScope engine(german);
  auto evaluate = [](const char* text) {
    TQREvaluator evaluator;
    evaluator.Prepare(text);
    return evaluator.Value();
  };
  EXPECT_EQ(evaluate("1.5 * 2").FloatValue, 3.0);
  EXPECT_EQ(evaluate("STR(1.5)").StrValue, "1,5");
  EXPECT_EQ(evaluate("FORMATNUMERIC('#,##0.00', 1234.5)").StrValue, "1.234,50");
  EXPECT_EQ(evaluate("1,5").Kind, evError);
  EXPECT_EQ(evaluate("UPPER(AppName)").StrValue, "TALLIMO");
  EXPECT_EQ(evaluate("AppStartDate").StrValue, german.CurrentShortDateText());
}

}  // namespace
}  // namespace report
