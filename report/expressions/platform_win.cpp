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
std::string FormatAt(const SYSTEMTIME& at, Format format) {
  char buffer[128];
  const int length = format(&at, buffer, static_cast<int>(sizeof buffer));
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length - 1)) : std::string();
}

template <class Format>
std::string FormatNow(Format format) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return FormatAt(now, format);
}

std::string DateTimeText(LCID locale, const SYSTEMTIME& at) {
  std::string text = FormatAt(at, [locale](const SYSTEMTIME* t, char* buffer, int size) {
    return GetDateFormatA(locale, DATE_SHORTDATE, t, nullptr, buffer, size);
  });
  if (at.wHour != 0 || at.wMinute != 0 || at.wSecond != 0)
    text += " " + FormatAt(at, [locale](const SYSTEMTIME* t, char* buffer, int size) {
              return GetTimeFormatA(locale, 0, t, nullptr, buffer, size);
            });
  return text;
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

std::string WinExpressionPlatform::CurrentShortTimeText() const {
  return FormatNow([this](const SYSTEMTIME* now, char* buffer, int size) {
    return GetTimeFormatA(locale_, TIME_NOSECONDS, now, nullptr, buffer, size);
  });
}

std::string WinExpressionPlatform::CurrentDateTimeText() const {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return DateTimeText(locale_, now);
}

std::string WinExpressionPlatform::DateTimeTextAt(int year, int month, int day, int hour, int minute,
                                                  int second) const {
  SYSTEMTIME at{};
  at.wYear = static_cast<WORD>(year);
  at.wMonth = static_cast<WORD>(month);
  at.wDay = static_cast<WORD>(day);
  at.wHour = static_cast<WORD>(hour);
  at.wMinute = static_cast<WORD>(minute);
  at.wSecond = static_cast<WORD>(second);
  return DateTimeText(locale_, at);
}

}  // namespace report
