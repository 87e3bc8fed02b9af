// Numeric pictures for printed numbers: "0" a digit always shown, "#" a digit
// shown when significant, the first "." the decimal point, a "," anywhere
// groups thousands, "E+00"/"E-00" scientific notation, text in quotes and
// other characters literal. Up to three sections split by ";" serve positive,
// negative and zero values. An empty picture gives the general format.
#pragma once

#include <string>
#include <string_view>

namespace report {

std::string FormatNumericPicture(std::string_view picture, double value, char decimalSeparator,
                                 char thousandSeparator);

}  // namespace report
