// What report expressions need from the operating system: the locale's
// separators, case rules and double-byte lead bytes, the clock formatted by the
// locale, and the application title.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace report {

class ExpressionPlatform {
 public:
  virtual ~ExpressionPlatform() = default;
  virtual char DecimalSeparator() const = 0;
  // '\0' when the locale groups digits without a separator character.
  virtual char ThousandSeparator() const = 0;
  virtual std::string UpperCase(std::string_view text) const = 0;
  virtual std::string LowerCase(std::string_view text) const = 0;
  // True for the first byte of a double-byte character.
  virtual bool IsLeadByte(unsigned char byte) const = 0;
  // The current time in the locale's time format.
  virtual std::string CurrentTimeText() const = 0;
  // The current date in the locale's short date format.
  virtual std::string CurrentShortDateText() const = 0;
  // The current time in the locale's short time format.
  virtual std::string CurrentShortTimeText() const { return CurrentTimeText(); }
  // The short date, then the long time unless it is midnight.
  virtual std::string CurrentDateTimeText() const { return CurrentShortDateText() + " " + CurrentTimeText(); }
  virtual std::string ApplicationTitle() const = 0;
};

// True when the byte at index is the second byte of a double-byte character,
// found by walking the text from its start.
bool IsTrailByteAt(const ExpressionPlatform& platform, std::string_view text, std::size_t index);

}  // namespace report
