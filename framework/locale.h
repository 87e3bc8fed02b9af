// Dates, times and numbers as the user's locale writes them.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// The locale's short date format ("12/10/2026" in the United States).
std::string ShortDateText(const SYSTEMTIME& time, LCID locale = LOCALE_USER_DEFAULT);
// The locale's long time format ("2:05:09 PM").
std::string LongTimeText(const SYSTEMTIME& time, LCID locale = LOCALE_USER_DEFAULT);
// Short date, a blank, long time: how the programs stamp their log lines.
std::string DateTimeText(const SYSTEMTIME& time, LCID locale = LOCALE_USER_DEFAULT);
// The same for the present local time.
std::string NowText();
// What the locale puts between groups of three digits ("," in the United
// States; empty when the locale cannot tell).
std::string ThousandSeparator(LCID locale = LOCALE_USER_DEFAULT);

}  // namespace fw
