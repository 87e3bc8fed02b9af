#include "report/expressions/functions.h"

#include <algorithm>
#include <cmath>

#include "report/expressions/float_text.h"
#include "report/expressions/numeric_picture.h"
#include "report/expressions/startup.h"

namespace report {

namespace {

TQRExprValue WrongArguments(std::string_view function) {
  return MakeError("Wrong arguments for " + std::string(function));
}

// Floats become integers only inside the 32-bit range.
bool FitsInt32(double value) { return value > -2147483649.0 && value < 2147483648.0; }

TQRExprValue IntegerOverflow() { return MakeError("Integer overflow"); }

// UPPER, LOWER and PRETTY: an error argument passes its message on.
template <class Convert>
TQRExprValue ConvertText(const std::vector<TQREvResultClass>& arguments, std::string_view function,
                         Convert convert) {
  if (arguments.size() != 1) return MakeError("Missing argument for " + std::string(function));
  const TQRExprValue& argument = arguments[0].Value;
  if (argument.Kind == evError) return argument;
  if (argument.Kind != evString) return WrongArguments(function);
  return MakeString(convert(argument.StrValue));
}

}  // namespace

TQRExprValue TQREvTrue::Compute() {
  return ArgumentCount() == 0 ? MakeBoolean(true) : MakeError("Too many arguments");
}

TQRExprValue TQREvFalse::Compute() {
  return ArgumentCount() == 0 ? MakeBoolean(false) : MakeError("Too many arguments");
}

TQRExprValue TQREvIfFunction::Compute() {
  if (ArgumentCount() != 3 || ArgumentValue(0).Kind != evBoolean) return WrongArguments("IF");
  return ArgumentValue(0).BoolValue ? ArgumentValue(1) : ArgumentValue(2);
}

TQRExprValue TQREvTypeOfFunction::Compute() {
  if (ArgumentCount() != 1) return WrongArguments("TypeOf");
  static const char* const names[] = {"INTEGER", "FLOAT", "STRING", "BOOLEAN", "ERROR"};
  return MakeString(names[ArgumentValue(0).Kind]);
}

TQRExprValue TQREvIntFunction::Compute() {
  if (ArgumentCount() != 1 || !IsNumeric(ArgumentValue(0))) return WrongArguments("INT");
  const TQRExprValue& x = ArgumentValue(0);
  if (x.Kind == evInteger) return x;
  const double whole = std::trunc(x.FloatValue);
  if (!FitsInt32(whole)) return IntegerOverflow();
  return MakeInteger(static_cast<std::int32_t>(whole));
}

TQRExprValue TQREvFracFunction::Compute() {
  if (ArgumentCount() != 1 || !IsNumeric(ArgumentValue(0))) return WrongArguments("FRAC");
  const TQRExprValue& x = ArgumentValue(0);
  if (x.Kind == evInteger) return MakeFloat(0.0);
  return CheckedFloat(x.FloatValue - std::trunc(x.FloatValue));
}

TQRExprValue TQREvSQRTFunction::Compute() {
  if (ArgumentCount() != 1 || !IsNumeric(ArgumentValue(0))) return WrongArguments("SQRT");
  return CheckedFloat(std::sqrt(NumericAsDouble(ArgumentValue(0))));
}

TQRExprValue TQREvDivFunction::Compute() {
  if (ArgumentCount() != 2 || !IsNumeric(ArgumentValue(0)) || !IsNumeric(ArgumentValue(1)))
    return WrongArguments("DIV");
  std::int32_t operands[2];
  for (std::size_t i = 0; i < 2; ++i) {
    const TQRExprValue& x = ArgumentValue(i);
    if (x.Kind == evInteger) {
      operands[i] = x.IntValue;
      continue;
    }
    const double rounded = std::nearbyint(x.FloatValue);  // a half goes to the even neighbour
    if (!FitsInt32(rounded)) return IntegerOverflow();
    operands[i] = static_cast<std::int32_t>(rounded);
  }
  if (operands[1] == 0) return MakeError("Division by Zero");
  if (operands[0] == INT32_MIN && operands[1] == -1) return IntegerOverflow();
  return MakeInteger(operands[0] / operands[1]);
}

TQRExprValue TQREvStrFunction::Compute() {
  if (ArgumentCount() != 1) return MakeError("Conversion error");
  const TQRExprValue& x = ArgumentValue(0);
  if (x.Kind == evString || x.Kind == evError) return MakeError("Conversion error");
  return MakeString(ValueToText(x, CurrentExpressionPlatform().DecimalSeparator()));
}

TQRExprValue TQREvUpperFunction::Compute() {
  return ConvertText(ArgList, "UPPER",
                     [](const std::string& s) { return CurrentExpressionPlatform().UpperCase(s); });
}

TQRExprValue TQREvLowerFunction::Compute() {
  return ConvertText(ArgList, "LOWER",
                     [](const std::string& s) { return CurrentExpressionPlatform().LowerCase(s); });
}

TQRExprValue TQREvPrettyFunction::Compute() {
  return ConvertText(ArgList, "PRETTY", [](const std::string& s) {
    const ExpressionPlatform& platform = CurrentExpressionPlatform();
    if (s.empty()) return s;
    // A double-byte first character is upper-cased whole.
    const std::size_t head = platform.IsLeadByte(static_cast<unsigned char>(s[0])) && s.size() >= 2 ? 2 : 1;
    return platform.UpperCase(std::string_view(s).substr(0, head)) +
           platform.LowerCase(std::string_view(s).substr(head));
  });
}

TQRExprValue TQREvTimeFunction::Compute() {
  if (ArgumentCount() != 0) return MakeError("Too many arguments");
  return MakeString(CurrentExpressionPlatform().CurrentTimeText());
}

TQRExprValue TQREvDateFunction::Compute() {
  if (ArgumentCount() != 0) return MakeError("Too many arguments");
  return MakeString(CurrentExpressionPlatform().CurrentShortDateText());
}

TQRExprValue TQREvCopyFunction::Compute() {
  if (ArgumentCount() != 3 || ArgumentValue(0).Kind != evString || ArgumentValue(1).Kind != evInteger ||
      ArgumentValue(2).Kind != evInteger)
    return WrongArguments("COPY");
  const std::string& text = ArgumentValue(0).StrValue;
  const auto length = static_cast<std::int64_t>(text.size());
  // Clip to the string first (start from 1), so the double-byte tests below
  // never look past its end.
  std::int64_t start = std::max<std::int64_t>(ArgumentValue(1).IntValue, 1);
  std::int64_t count = ArgumentValue(2).IntValue;
  if (start > length || count < 1) return MakeString("");
  count = std::min(count, length - start + 1);

  const ExpressionPlatform& platform = CurrentExpressionPlatform();
  if (IsTrailByteAt(platform, text, static_cast<std::size_t>(start - 1))) {
    ++start;
    --count;
  }
  if (count > 0 && platform.IsLeadByte(static_cast<unsigned char>(text[start + count - 2]))) {
    if (!IsTrailByteAt(platform, text, static_cast<std::size_t>(start + count - 2))) --count;
  }
  if (count <= 0) return MakeString("");
  return MakeString(
      std::string_view(text).substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

TQRExprValue TQREvFormatNumericFunction::Compute() {
  if (ArgumentCount() != 2 || ArgumentValue(0).Kind != evString || !IsNumeric(ArgumentValue(1)))
    return WrongArguments("FORMATNUMERIC");
  const ExpressionPlatform& platform = CurrentExpressionPlatform();
  return MakeString(FormatNumericPicture(ArgumentValue(0).StrValue, NumericAsDouble(ArgumentValue(1)),
                                         platform.DecimalSeparator(), platform.ThousandSeparator()));
}

void TQREvSumFunction::Accumulate() {
  if (ArgumentCount() != 1) {
    sum_ = WrongArguments("SUM");
    return;
  }
  const TQRExprValue& x = ArgumentValue(0);
  if (!hasValue_) {
    hasValue_ = true;
    if (IsNumeric(x))
      sum_ = x;
    else
      sum_ = x.Kind == evError ? x : WrongArguments("SUM");
    return;
  }
  if (sum_.Kind == evError) return;
  switch (x.Kind) {
    case evInteger:
      if (sum_.Kind == evInteger)
        sum_.IntValue = static_cast<std::int32_t>(static_cast<std::uint32_t>(sum_.IntValue) +
                                                  static_cast<std::uint32_t>(x.IntValue));
      else
        sum_ = CheckedFloat(sum_.FloatValue + x.IntValue);
      break;
    case evFloat:
      // An integer sum meeting a float continues as a float.
      sum_ = CheckedFloat(NumericAsDouble(sum_) + x.FloatValue);
      break;
    case evString:
      sum_ = WrongArguments("SUM");
      break;
    case evBoolean:
    case evError:
      break;
  }
}

TQRExprValue TQREvSumFunction::Compute() { return hasValue_ ? sum_ : MakeInteger(0); }

void TQREvAverageFunction::Reset() {
  TQREvSumFunction::Reset();
  count_ = 0;
  average_ = MakeFloat(0.0);
}

void TQREvAverageFunction::Accumulate() {
  TQREvSumFunction::Accumulate();
  count_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(count_) + 1u);
  const TQRExprValue sum = TQREvSumFunction::Compute();
  if (IsNumeric(sum) && count_ != 0)
    average_ = CheckedFloat(NumericAsDouble(sum) / count_);
  else
    average_ = sum.Kind == evError ? sum : WrongArguments("AVERAGE");
}

void TQREvExtremeFunction::Accumulate() {
  const char* name = keepGreater_ ? "MAX" : "MIN";
  if (ArgumentCount() != 1) {
    kept_ = WrongArguments(name);
    hasValue_ = true;
    return;
  }
  const TQRExprValue& x = ArgumentValue(0);
  if (!hasValue_) {
    kept_ = x;
    hasValue_ = true;
    return;
  }
  // Numbers compare with numbers; a later value of another kind is passed over.
  bool greater = false, less = false;
  if (IsNumeric(kept_) && IsNumeric(x)) {
    greater = NumericAsDouble(x) > NumericAsDouble(kept_);
    less = NumericAsDouble(x) < NumericAsDouble(kept_);
  } else if (kept_.Kind == evString && x.Kind == evString) {
    greater = x.StrValue > kept_.StrValue;
    less = x.StrValue < kept_.StrValue;
  } else if (kept_.Kind == evBoolean && x.Kind == evBoolean) {
    greater = x.BoolValue && !kept_.BoolValue;
    less = !x.BoolValue && kept_.BoolValue;
  }
  if (keepGreater_ ? greater : less) kept_ = x;
}

TQRExprValue TQREvCountFunction::Evaluate(TQRFiFo& fifo) {
  EvaluateArguments(fifo);
  const bool hasArguments = ArgumentCount() != 0;
  ArgList.clear();
  if (hasArguments) return MakeError("COUNT - Too many arguments");
  if (fifo.Aggregating) count_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(count_) + 1u);
  return MakeInteger(count_);
}

void RegisterBuiltInFunctions(TQRLibrary& library) {
  constexpr std::string_view vendor = "Trelund AS";
  struct Builtin {
    TQREvElementFunctionClass elementClass;
    const char* name;
    const char* description;
    const char* spec;
  };
  static const Builtin builtins[] = {
      {FunctionClassOf<TQREvIfFunction>, "IF",
       "IF(<Exp>, <X>, <Y>)|Returns <X> or <Y> depending on the boolean expression <Exp>", "5BVV"},
      {FunctionClassOf<TQREvStrFunction>, "STR", "STR(<X>)|Convert a numeric <X> to a string", "7N"},
      {FunctionClassOf<TQREvUpperFunction>, "UPPER", "UPPER(<X>)|Converts a string to upper case letters",
       "7S"},
      {FunctionClassOf<TQREvLowerFunction>, "LOWER", "LOWER(<X>)|Converts a string to lower case letters",
       "7S"},
      {FunctionClassOf<TQREvPrettyFunction>, "PRETTY",
       "PRETTY(<X>)|Makes the first character upper case and the rest lower case", "7S"},
      {FunctionClassOf<TQREvTimeFunction>, "TIME", "TIME|Return current time as a string", "1"},
      {FunctionClassOf<TQREvDateFunction>, "DATE", "DATE|Return current date as a string", "1"},
      {FunctionClassOf<TQREvCopyFunction>, "COPY", "COPY(<X>, <St>,<Len>)|Returns a substring of string X",
       "7SNN"},
      {FunctionClassOf<TQREvSumFunction>, "SUM", "SUM(<X>)|Sums the numeric <X>", "3N"},
      {FunctionClassOf<TQREvCountFunction>, "COUNT", "COUNT|Increments for each iteration", "3"},
      {FunctionClassOf<TQREvMaxFunction>, "MAX", "MAX(<X>)|Returns the highest <X>", "3V"},
      {FunctionClassOf<TQREvMinFunction>, "MIN", "MIN(<X>)|Returns the lowest <X>", "3V"},
      {FunctionClassOf<TQREvAverageFunction>, "AVERAGE", "AVERAGE(<X>)|Returns the average of numeric <X>",
       "3N"},
      {FunctionClassOf<TQREvTrue>, "TRUE", "TRUE|boolean value", "5"},
      {FunctionClassOf<TQREvFalse>, "FALSE", "FALSE|boolean value", "5"},
      {FunctionClassOf<TQREvIntFunction>, "INT", "INT(<X>)|Returns the integer part of <X>", "2N"},
      {FunctionClassOf<TQREvFracFunction>, "FRAC", "FRAC(<X>)|Returns the fractional part of <X>", "2N"},
      {FunctionClassOf<TQREvSQRTFunction>, "SQRT", "SQRT(<X>)|Returns square root of <X>", "2N"},
      {FunctionClassOf<TQREvDivFunction>, "DIV", "DIV(<X>, <Y>) | ", "2NN"},
      {FunctionClassOf<TQREvTypeOfFunction>, "TYPEOF", "TYPEOF(<Exp>)|Returns the data type of <Exp>", "6N"},
      {FunctionClassOf<TQREvFormatNumericFunction>, "FORMATNUMERIC",
       "FORMATNUMERIC(<F>,<N>)|Formats numeric <N> using the mask in <F>", "7SN"},
  };
  for (const Builtin& builtin : builtins)
    library.Add(builtin.elementClass, builtin.name, builtin.description, vendor, builtin.spec);
}

}  // namespace report
