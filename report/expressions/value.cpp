#include "report/expressions/value.h"

#include <cmath>

#include "report/expressions/float_text.h"

namespace report {

std::string CutExprText(std::string_view text) { return std::string(text.substr(0, kMaxExprText)); }

TQRExprValue MakeInteger(std::int32_t value) {
  TQRExprValue v;
  v.Kind = evInteger;
  v.IntValue = value;
  return v;
}

TQRExprValue MakeFloat(double value) {
  TQRExprValue v;
  v.Kind = evFloat;
  v.FloatValue = value;
  return v;
}

TQRExprValue MakeString(std::string_view text) {
  TQRExprValue v;
  v.Kind = evString;
  v.StrValue = CutExprText(text);
  return v;
}

TQRExprValue MakeBoolean(bool value) {
  TQRExprValue v;
  v.Kind = evBoolean;
  v.BoolValue = value;
  return v;
}

TQRExprValue MakeError(std::string_view message) {
  TQRExprValue v;
  v.Kind = evError;
  v.StrValue = CutExprText(message);
  return v;
}

TQRExprValue CheckedFloat(double value) {
  if (std::isnan(value)) return MakeError("Invalid floating point operation");
  if (std::isinf(value)) return MakeError("Floating point overflow");
  return MakeFloat(value);
}

bool IsNumeric(const TQRExprValue& value) { return value.Kind == evInteger || value.Kind == evFloat; }

double NumericAsDouble(const TQRExprValue& value) {
  return value.Kind == evInteger ? static_cast<double>(value.IntValue) : value.FloatValue;
}

std::string ValueToText(const TQRExprValue& value, char decimalSeparator) {
  switch (value.Kind) {
    case evInteger:
      return std::to_string(value.IntValue);
    case evFloat:
      return FormatGeneralFloat(value.FloatValue, decimalSeparator);
    case evBoolean:
      return value.BoolValue ? "True" : "False";
    case evString:
    case evError:
      break;
  }
  return value.StrValue;
}

}  // namespace report
