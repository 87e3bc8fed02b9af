#include "framework/locale.h"

#include "framework/exceptions.h"

namespace fw {

std::string ShortDateText(const SYSTEMTIME& time, LCID locale) {
  char text[128];
  const int length = GetDateFormatA(locale, DATE_SHORTDATE, &time, nullptr, text, sizeof text);
  if (length <= 0) throw EConvertError("Invalid date");
  return std::string(text, static_cast<size_t>(length - 1));
}

std::string LongTimeText(const SYSTEMTIME& time, LCID locale) {
  char text[128];
  const int length = GetTimeFormatA(locale, 0, &time, nullptr, text, sizeof text);
  if (length <= 0) throw EConvertError("Invalid time");
  return std::string(text, static_cast<size_t>(length - 1));
}

std::string DateTimeText(const SYSTEMTIME& time, LCID locale) {
  return ShortDateText(time, locale) + " " + LongTimeText(time, locale);
}

std::string NowText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return DateTimeText(now);
}

std::string ThousandSeparator(LCID locale) {
  char text[8] = {};
  const int length = GetLocaleInfoA(locale, LOCALE_STHOUSAND, text, sizeof text);
  return length > 0 ? std::string(text, static_cast<size_t>(length - 1)) : std::string();
}

}  // namespace fw
