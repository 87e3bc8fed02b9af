#include "report/expressions/elements.h"

#include "report/expressions/data_set.h"
#include "report/expressions/startup.h"

namespace report {

TQRExprValue EvaluateNext(TQRFiFo& fifo) {
  TQREvElement* element = fifo.Next();
  if (!element) return MakeError("Error in expression : ");
  return element->Evaluate(fifo);
}

namespace {

std::int32_t Wrap(std::uint32_t value) { return static_cast<std::int32_t>(value); }

const char* ComparisonText(std::uint8_t code) {
  static const char* const texts[] = {"<", "<=", ">", ">=", "=", "<>"};
  return texts[code];
}

TQRExprValue CannotError(const char* verb, const char* kind) {
  return MakeError(std::string("Cannot ") + verb + " " + kind + " expressions");
}

TQRExprValue NotCompatibleError(const char* op, const char* kind) {
  return MakeError(std::string("Operator ") + op + " is not compatible with " + kind + " expressions");
}

template <class T>
bool Compare(std::uint8_t code, const T& a, const T& b) {
  switch (code) {
    case opLess:
      return a < b;
    case opLessOrEqual:
      return a <= b;
    case opGreater:
      return a > b;
    case opGreaterOrEqual:
      return a >= b;
    case opEqual:
      return a == b;
    default:
      return a != b;
  }
}

TQRExprValue ApplyInteger(std::uint8_t code, std::int32_t a, std::int32_t b) {
  const auto ua = static_cast<std::uint32_t>(a);
  const auto ub = static_cast<std::uint32_t>(b);
  switch (code) {
    case opPlus:
      return MakeInteger(Wrap(ua + ub));
    case opMinus:
      return MakeInteger(Wrap(ua - ub));
    case opOr:
      return MakeInteger(a | b);
    case opMultiply:
      return MakeInteger(Wrap(ua * ub));
    case opDivide:
      if (b == 0) return MakeError("Cannot divide by 0");
      return CheckedFloat(static_cast<double>(a) / static_cast<double>(b));
    case opAnd:
      return MakeInteger(a & b);
    default:
      return MakeBoolean(Compare(code, a, b));
  }
}

TQRExprValue ApplyFloat(std::uint8_t code, double a, double b) {
  switch (code) {
    case opPlus:
      return CheckedFloat(a + b);
    case opMinus:
      return CheckedFloat(a - b);
    case opOr:
      return NotCompatibleError("OR", "numeric");
    case opMultiply:
      return CheckedFloat(a * b);
    case opDivide:
      if (b == 0.0) return MakeError("Cannot divide by 0");
      return CheckedFloat(a / b);
    case opAnd:
      return NotCompatibleError("AND", "numeric");
    default:
      return MakeBoolean(Compare(code, a, b));
  }
}

TQRExprValue ApplyString(std::uint8_t code, const std::string& a, const std::string& b) {
  switch (code) {
    case opPlus:
      return MakeString(a + b);
    case opMinus:
      return CannotError("subtract", "string");
    case opOr:
      return NotCompatibleError("OR", "string");
    case opMultiply:
      return CannotError("multiply", "string");
    case opDivide:
      return CannotError("divide", "string");
    case opAnd:
      return NotCompatibleError("AND", "string");
    default:
      return MakeBoolean(Compare(code, a, b));  // byte-wise, a prefix is less
  }
}

TQRExprValue ApplyBoolean(std::uint8_t code, bool a, bool b) {
  switch (code) {
    case opEqual:
      return MakeBoolean(a == b);
    case opNotEqual:
      return MakeBoolean(a != b);
    case opPlus:
      return CannotError("add", "boolean");
    case opMinus:
      return CannotError("subtract", "boolean");
    case opOr:
      return MakeBoolean(a || b);
    case opMultiply:
      return CannotError("multiply", "boolean");
    case opDivide:
      return CannotError("divide", "boolean");
    case opAnd:
      return MakeBoolean(a && b);
    default:
      return NotCompatibleError(ComparisonText(code), "boolean");
  }
}

}  // namespace

TQRExprValue ApplyOperator(std::uint8_t code, TQRExprValue left, TQRExprValue right, char decimalSeparator) {
  if (left.Kind == evError) return left;
  if (right.Kind == evError) return right;
  if (code > opAnd) return MakeError("Error in expression : operator");
  if (left.Kind != right.Kind) {
    if (IsNumeric(left) && IsNumeric(right)) {
      left = MakeFloat(NumericAsDouble(left));
      right = MakeFloat(NumericAsDouble(right));
    } else {
      left = MakeString(ValueToText(left, decimalSeparator));
      right = MakeString(ValueToText(right, decimalSeparator));
    }
  }
  switch (left.Kind) {
    case evInteger:
      return ApplyInteger(code, left.IntValue, right.IntValue);
    case evFloat:
      return ApplyFloat(code, left.FloatValue, right.FloatValue);
    case evString:
      return ApplyString(code, left.StrValue, right.StrValue);
    default:
      return ApplyBoolean(code, left.BoolValue, right.BoolValue);
  }
}

TQRExprValue TQREvElementOperator::Evaluate(TQRFiFo& fifo) {
  TQRExprValue left = EvaluateNext(fifo);
  TQRExprValue right = EvaluateNext(fifo);
  return ApplyOperator(OpCode, std::move(left), std::move(right),
                       CurrentExpressionPlatform().DecimalSeparator());
}

TQREvElementDataField::TQREvElementDataField(DataSet* dataSet, int position, DataField* field)
    : dataSet_(dataSet), position_(position), field_(field), fieldName_(field->FieldName()) {}

TQRExprValue TQREvElementDataField::Evaluate(TQRFiFo&) {
  DataField* field = field_;
  // Fields the data set made itself are new objects after every opening.
  if (dataSet_->DefaultFields()) field = dataSet_->FieldAt(position_);
  const std::string unknownType = "Field " + fieldName_ + " is of unknown type";
  if (!field) return MakeError(unknownType);
  switch (field->Kind()) {
    case FieldKind::String:
    case FieldKind::DateTime:
      return MakeString(field->AsText());
    case FieldKind::Integer:
      return MakeInteger(field->AsInteger());
    case FieldKind::Float:
      return MakeFloat(field->AsFloat());
    case FieldKind::Boolean:
      return MakeBoolean(field->AsBoolean());
    case FieldKind::Other:
      break;
  }
  return MakeError(unknownType);
}

void TQREvElementFunction::EvaluateArguments(TQRFiFo& fifo) {
  std::vector<TQREvResultClass> arguments;
  for (TQREvElement* element = fifo.Next(); element && !element->IsArgumentEnd(); element = fifo.Next())
    arguments.push_back({element->Evaluate(fifo)});
  ArgList = std::move(arguments);
}

void TQREvElementFunction::Argument(std::size_t i, TQRExprValue& target) const {
  if (i < ArgList.size()) target = ArgList[i].Value;
}

TQRExprValue TQREvElementFunction::Evaluate(TQRFiFo& fifo) {
  EvaluateArguments(fifo);
  if (fifo.Aggregating) Accumulate();
  TQRExprValue result = Compute();
  ArgList.clear();
  return result;
}

}  // namespace report
