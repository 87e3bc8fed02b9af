#include "framework/streams/date_time.h"

namespace fw {

namespace {
// Days from 1 January of year 1 to the given date (proleptic Gregorian).
long DaysSinceEra(int year, int month, int day) {
  static const int kDaysBeforeMonth[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const long y = year - 1;
  long days = y * 365 + y / 4 - y / 100 + y / 400 + kDaysBeforeMonth[(month - 1) % 12] + day - 1;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (leap && month > 2) ++days;
  return days;
}
}  // namespace

double DateTimeFromParts(const LocalTimeParts& parts) {
  const long days = DaysSinceEra(parts.year, parts.month, parts.day) - DaysSinceEra(1899, 12, 30);
  const double time =
      (parts.hour * 3600000.0 + parts.minute * 60000.0 + parts.second * 1000.0 + parts.millisecond) /
      86400000.0;
  // Before the epoch the fraction still counts forward within the day.
  return days >= 0 ? days + time : days - time;
}

}  // namespace fw
