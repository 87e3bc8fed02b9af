#include "framework/format.h"

#include <gtest/gtest.h>

#include "framework/exceptions.h"

namespace fw {
namespace {

struct FilledCase {
  std::string format;
  FormatArgs args;
  std::string expected;
};

TEST(Format, FillsTextsNumbersAndPercentSigns) {
  const FilledCase cases[] = {
      {"", {}, ""},
      {"plain", {}, "plain"},
      {"Key: %s Ident: %s Value %s", {"k", "i", "v"}, "Key: k Ident: i Value v"},
      {"Please insert disk %d", {3}, "Please insert disk 3"},
      {"%d%%", {-42}, "-42%"},
      {"%%s", {}, "%s"},
      {"%s", {""}, ""},
      {"%s and %d", {"one", 2LL}, "one and 2"},
      {"left over", {"unused", 7}, "left over"},
      {"%d", {2147483647LL * 4}, "8589934588"},
      {"%d of %d", {std::size_t{3}, 7u}, "3 of 7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(Format(c.format, c.args), c.expected);
    EXPECT_EQ(FormatLeniently(c.format, c.args), c.expected);
  }
}

struct UnfitCase {
  std::string format;
  FormatArgs args;
  std::string lenient;
};

TEST(Format, CodesThatDoNotFitTheirArgumentsAreRefused) {
  const UnfitCase cases[] = {
      {"%s", {}, "%s"},                      // missing argument
      {"%s and %s", {"one"}, "one and %s"},  // one too few
      {"%d", {"text"}, "%d"},                // text for a number
      {"%s", {5}, "%s"},                     // number for a text
      {"100%", {}, "100%"},                  // lone percent at the end
      {"%x %s", {"a"}, "%x a"},              // unknown code
      {"%5d", {5}, "%5d"},                   // widths are not codes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_FALSE(TryFormat(c.format, c.args).has_value());
    EXPECT_THROW(Format(c.format, c.args), EConvertError);
    EXPECT_EQ(FormatLeniently(c.format, c.args), c.lenient);
  }
}

TEST(Format, GroupedNumbersInThrees) {
  const struct {
    std::int64_t value;
    const char* separator;
    const char* expected;
  } cases[] = {
      {0, ",", "0"},
      {999, ",", "999"},
      {3500, ",", "3,500"},
      {-1, ",", "-1"},
      {-1000, ",", "-1,000"},
      {86436216832, ".", "86.436.216.832"},
      {1234567, "", "1234567"},
      {INT64_MIN, ",", "-9,223,372,036,854,775,808"},
  };
  for (const auto& c : cases) EXPECT_EQ(GroupedNumber(c.value, c.separator), c.expected) << c.value;
}

}  // namespace
}  // namespace fw
