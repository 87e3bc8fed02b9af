// The typed value of one expression evaluation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace report {

enum TQRExprValueKind : std::uint8_t { evInteger = 0, evFloat = 1, evString = 2, evBoolean = 3, evError = 4 };

// Every text a value holds (strings and messages) is cut to this length.
constexpr std::size_t kMaxExprText = 255;

struct TQRExprValue {
  TQRExprValueKind Kind = evInteger;
  std::int32_t IntValue = 0;
  double FloatValue = 0.0;
  std::string StrValue;  // the text of evString, the message of evError
  bool BoolValue = false;
};

std::string CutExprText(std::string_view text);

TQRExprValue MakeInteger(std::int32_t value);
TQRExprValue MakeFloat(double value);
TQRExprValue MakeString(std::string_view text);
TQRExprValue MakeBoolean(bool value);
TQRExprValue MakeError(std::string_view message);

// A float result that is not finite becomes the matching error value.
TQRExprValue CheckedFloat(double value);

bool IsNumeric(const TQRExprValue& value);
// The numeric value of an evInteger or evFloat as a double.
double NumericAsDouble(const TQRExprValue& value);

// The text a value takes when it meets a value of another kind.
std::string ValueToText(const TQRExprValue& value, char decimalSeparator);

}  // namespace report
