// A platform with fixed answers: a "C" locale with ASCII case rules and a
// clock that does not move. Used where no operating system is at hand.
#pragma once

#include <bitset>

#include "report/expressions/platform.h"

namespace report {

class FixedExpressionPlatform : public ExpressionPlatform {
 public:
  char DecimalSeparator() const override { return decimalSeparator; }
  char ThousandSeparator() const override { return thousandSeparator; }
  std::string UpperCase(std::string_view text) const override;
  std::string LowerCase(std::string_view text) const override;
  bool IsLeadByte(unsigned char byte) const override { return leadBytes[byte]; }
  std::string CurrentTimeText() const override { return timeText; }
  std::string CurrentShortDateText() const override { return shortDateText; }
  std::string CurrentShortTimeText() const override { return shortTimeText; }
  std::string CurrentDateTimeText() const override { return dateTimeText; }
  std::string ApplicationTitle() const override { return applicationTitle; }

  char decimalSeparator = '.';
  char thousandSeparator = ',';
  std::bitset<256> leadBytes;
  std::string timeText = "12:00:00";
  std::string shortDateText = "1/1/2000";
  std::string shortTimeText = "12:00";
  std::string dateTimeText = "1/1/2000 12:00:00";
  std::string applicationTitle = "Tallimo";
};

}  // namespace report
