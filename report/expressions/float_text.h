// Float to text and back with a given decimal separator, independent of the C
// library's locale.
#pragma once

#include <string>
#include <string_view>

namespace report {

// The general format: up to 15 significant digits, fixed notation unless the
// exponent is above 14 or below -5, then scientific ("1.5E-7", "1E20").
std::string FormatGeneralFloat(double value, char decimalSeparator);

// Accepts blanks around [sign] digits [separator digits] [E [sign] digits].
// False for anything else and for values outside the double range.
bool TextToFloat(std::string_view text, char decimalSeparator, double& result);

}  // namespace report
