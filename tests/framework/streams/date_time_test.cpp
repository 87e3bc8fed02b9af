#include "framework/streams/date_time.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(DateTimeFromParts, CountsDaysSince30December1899WithTheTimeAsFraction) {
  struct Case {
    LocalTimeParts parts;
    double expected;
  };
  const Case cases[] = {
      {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
      {{1900, 1, 1, 0, 0, 0, 0}, 2.0},
      {{2000, 3, 1, 12, 0, 0, 0}, 36586.5},  // after a leap day of a century leap year
      {{2026, 12, 9, 18, 0, 0, 0}, 46365.75},
      {{2026, 12, 9, 23, 59, 59, 999}, 46365.0 + 86399999.0 / 86400000.0},
      {{1899, 12, 29, 6, 0, 0, 0}, -1.25},  // before the epoch the fraction still counts forward
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(DateTimeFromParts(c.parts), c.expected)
        << c.parts.year << "-" << c.parts.month << "-" << c.parts.day;
}

}  // namespace
}  // namespace fw
