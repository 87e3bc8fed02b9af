// Float texts and numeric pictures.
#include <gtest/gtest.h>

#include <cmath>

#include "report/expressions/float_text.h"
#include "report/expressions/numeric_picture.h"

namespace report {
namespace {

TEST(FormatGeneralFloat, FifteenSignificantDigitsFixedOrScientific) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "0"},
      {4.0, "4"},
      {-0.75, "-0.75"},
      {3.5, "3.5"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {100000.0, "100000"},
      {1e14, "100000000000000"},
      {1e15, "1E15"},
      {1.5e20, "1.5E20"},
      {0.00001, "0.00001"},
      {0.000001, "1E-6"},
      {-1.25e-7, "-1.25E-7"},
      {123456789012345678.0, "1.23456789012346E17"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FormatGeneralFloat(value, '.'), text) << value;
  EXPECT_EQ(FormatGeneralFloat(-2.5, ','), "-2,5");
  EXPECT_EQ(FormatGeneralFloat(1.5e20, ','), "1,5E20");
}

TEST(TextToFloat, AcceptsOnlyWholeNumbersWithTheSeparator) {
  double value = 0;
  EXPECT_TRUE(TextToFloat(" 1.5 ", '.', value));
  EXPECT_EQ(value, 1.5);
  EXPECT_TRUE(TextToFloat("-2e3", '.', value));
  EXPECT_EQ(value, -2000.0);
  EXPECT_TRUE(TextToFloat("1,25", ',', value));
  EXPECT_EQ(value, 1.25);
  EXPECT_TRUE(TextToFloat("5.", '.', value));
  EXPECT_EQ(value, 5.0);
  for (const char* bad : {"", ".", "1.5", "1E", "1E+", "1..5", "1-2", "1E400", "x", "+-1"})
    EXPECT_FALSE(TextToFloat(bad, ',', value)) << bad;
}

struct PictureCase {
  const char* picture;
  double value;
  const char* expected;
};

TEST(FormatNumericPicture, PicturesTable) {
  const PictureCase cases[] = {
      {"0.00", 3, "3.00"},
      {"0.00", 2.345, "2.35"},  // nearest, as printed by the C library
      {"0.00", -0.001, "0.00"},
      {"#.##", 0.5, ".5"},
      {"#.##", 12.5, "12.5"},
      {"0.0#", 1.5, "1.5"},
      {"0.0#", 1.257, "1.26"},
      {"#,##0", 1234567, "1,234,567"},
      {"#,##0.00", -1234.5, "-1,234.50"},
      {"000", 7, "007"},
      {"0", 1234.6, "1235"},
      {"#", 0, ""},
      {"'$'0.00", 5, "$5.00"},
      {"0.00 \"kg\"", 1.5, "1.50 kg"},
      {"0.00E+00", 1234.5, "1.23E+03"},
      {"0.00E-00", 0.00123, "1.23E-03"},
      {"0.0E+0", 0, "0.0E+0"},
      {"0.00;(0.00)", -3, "(3.00)"},
      {"0.00;(0.00);'zero'", 0, "zero"},
      {"0.00;;'zero'", -3, "-3.00"},
      {"", 2.5, "2.5"},
  };
  for (const PictureCase& c : cases)
    EXPECT_EQ(FormatNumericPicture(c.picture, c.value, '.', ','), c.expected) << c.picture << " " << c.value;
}

TEST(FormatNumericPicture, LocaleSeparatorsAndOddInput) {
  EXPECT_EQ(FormatNumericPicture("#,##0.00", 1234.5, ',', '.'), "1.234,50");
  EXPECT_EQ(FormatNumericPicture("#,##0", 1234, '.', '\0'), "1234");
  EXPECT_EQ(FormatNumericPicture("0.00", 1e300, '.', ',').size(), 304u);
  EXPECT_EQ(FormatNumericPicture("'open", 1, '.', ','), "open");
  EXPECT_EQ(FormatNumericPicture("0." + std::string(40, '0'), 1, '.', ',').size(), 20u);
  EXPECT_EQ(FormatNumericPicture("0.00", INFINITY, '.', ','), "INF");
}

}  // namespace
}  // namespace report
