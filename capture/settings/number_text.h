// Number conversions of the settings store and the version reader. They use
// "." as the decimal separator whatever the locale, so a value written on one
// machine reads the same on another.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace capture {

// A decimal 32-bit integer: optional blanks around, an optional sign, digits.
// Hexadecimal forms ("$10", "0x10") and values out of range give nothing.
std::optional<std::int32_t> ParseDecimalInt32(std::string_view text);

// A real number: optional blanks around, an optional sign, digits with an
// optional "." and fraction, an optional exponent. At least one digit before
// or after the ".". "inf", "nan" and hexadecimal forms give nothing.
std::optional<double> ParseRealNumber(std::string_view text);

// A version text as a number: the whole text when it is a real number;
// otherwise the text up to its second "." cut to 6 characters ("1.1.0.10"
// gives 1.1, "10.123456.7" gives 10.123); otherwise 0.
double VersionTextToNumber(std::string_view text);

}  // namespace capture
