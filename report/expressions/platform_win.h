// The expression platform over the Windows locale and clock.
#pragma once

#include <cstdint>
#include <string>

#include "report/expressions/platform.h"

namespace report {

class WinExpressionPlatform : public ExpressionPlatform {
 public:
  // locale is a Windows locale id; the user's default when left out. The
  // separators are read once, as the program reads its locale at start-up.
  explicit WinExpressionPlatform(std::string applicationTitle, std::uint32_t locale = 0x0400);

  char DecimalSeparator() const override { return decimalSeparator_; }
  char ThousandSeparator() const override { return thousandSeparator_; }
  std::string UpperCase(std::string_view text) const override;
  std::string LowerCase(std::string_view text) const override;
  bool IsLeadByte(unsigned char byte) const override;
  std::string CurrentTimeText() const override;
  std::string CurrentShortDateText() const override;
  std::string CurrentShortTimeText() const override;
  std::string CurrentDateTimeText() const override;
  // The date-and-time text of a given local moment: the short date, then the
  // long time unless it is midnight.
  std::string DateTimeTextAt(int year, int month, int day, int hour, int minute, int second) const;
  std::string ApplicationTitle() const override { return applicationTitle_; }

 private:
  std::string applicationTitle_;
  std::uint32_t locale_;
  char decimalSeparator_ = '.';
  char thousandSeparator_ = ',';
};

}  // namespace report
