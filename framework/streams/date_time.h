// Local date and time as the report page file stores it: days since
// 30 December 1899, the time of day as the fraction.
#pragma once

namespace fw {

struct LocalTimeParts {
  int year, month, day, hour, minute, second, millisecond;
};

double DateTimeFromParts(const LocalTimeParts& parts);

// The source of the current local date and time (days as above).
class LocalClock {
 public:
  virtual ~LocalClock() = default;
  virtual double Now() = 0;
};

}  // namespace fw
