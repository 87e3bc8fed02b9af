#include "report/expressions/platform_win.h"

#include <windows.h>

namespace report {

namespace {

// A one-character locale setting: '\0' when it is set empty, fallback when
// it is missing or longer than one byte.
char LocaleCharacter(LCID locale, LCTYPE type, char fallback) {
  char buffer[8] = {};
  switch (GetLocaleInfoA(locale, type, buffer, sizeof buffer)) {  // counts the terminator
    case 1:
      return '\0';
    case 2:
      return buffer[0];
    default:
      return fallback;
  }
}

std::string MapCase(std::string_view text, bool upper) {
  std::string result(text);
  if (result.empty()) return result;
  const DWORD length = static_cast<DWORD>(result.size());
  if (upper)
    CharUpperBuffA(result.data(), length);
  else
    CharLowerBuffA(result.data(), length);
  return result;
}

template <class Format>
std::string FormatNow(Format format) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char buffer[128];
  const int length = format(&now, buffer, static_cast<int>(sizeof buffer));
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length - 1)) : std::string();
}

}  // namespace

WinExpressionPlatform::WinExpressionPlatform(std::string applicationTitle, std::uint32_t locale)
    : applicationTitle_(std::move(applicationTitle)), locale_(locale) {
  decimalSeparator_ = LocaleCharacter(locale_, LOCALE_SDECIMAL, '.');
  if (decimalSeparator_ == '\0') decimalSeparator_ = '.';
  thousandSeparator_ = LocaleCharacter(locale_, LOCALE_STHOUSAND, ',');
}

std::string WinExpressionPlatform::UpperCase(std::string_view text) const { return MapCase(text, true); }

std::string WinExpressionPlatform::LowerCase(std::string_view text) const { return MapCase(text, false); }

bool WinExpressionPlatform::IsLeadByte(unsigned char byte) const { return IsDBCSLeadByte(byte) != FALSE; }

std::string WinExpressionPlatform::CurrentTimeText() const {
  return FormatNow([this](const SYSTEMTIME* now, char* buffer, int size) {
    return GetTimeFormatA(locale_, 0, now, nullptr, buffer, size);
  });
}

std::string WinExpressionPlatform::CurrentShortDateText() const {
  return FormatNow([this](const SYSTEMTIME* now, char* buffer, int size) {
    return GetDateFormatA(locale_, DATE_SHORTDATE, now, nullptr, buffer, size);
  });
}

}  // namespace report
