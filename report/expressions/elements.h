// The elements of a prepared expression and the queue that holds them in
// prefix order: an operator is followed by its left and right trees, a
// function by its arguments and an argument end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "report/expressions/value.h"

namespace report {

class TQRFiFo;
class DataSet;
class DataField;

class TQREvElement {
 public:
  virtual ~TQREvElement() = default;
  // Takes this element's operands from the queue and produces its value.
  virtual TQRExprValue Evaluate(TQRFiFo& fifo) = 0;
  virtual void Reset() {}
  virtual bool IsArgumentEnd() const { return false; }

  bool IsAggregate = false;
};

class TQRFiFo {
 public:
  void Put(std::unique_ptr<TQREvElement> element) { elements_.push_back(std::move(element)); }
  void Rewind() { cursor_ = 0; }
  // The element at the cursor, advancing it; null at the end.
  TQREvElement* Next() { return cursor_ < elements_.size() ? elements_[cursor_++].get() : nullptr; }
  const std::vector<std::unique_ptr<TQREvElement>>& Elements() const { return elements_; }

  bool Aggregating = false;

 private:
  std::vector<std::unique_ptr<TQREvElement>> elements_;
  std::size_t cursor_ = 0;
};

// Evaluates the next tree of the queue; a queue that ends early gives an error.
TQRExprValue EvaluateNext(TQRFiFo& fifo);

// Operator codes, in the order of their texts "<" "<=" ">" ">=" "=" "<>" "+"
// "-" "or" "*" "/" "and".
enum OperatorCode : std::uint8_t {
  opLess = 0,
  opLessOrEqual = 1,
  opGreater = 2,
  opGreaterOrEqual = 3,
  opEqual = 4,
  opNotEqual = 5,
  opPlus = 6,
  opMinus = 7,
  opOr = 8,
  opMultiply = 9,
  opDivide = 10,
  opAnd = 11,
};

// Combines two operand values; decimalSeparator serves the text of a float
// that meets a string.
TQRExprValue ApplyOperator(std::uint8_t code, TQRExprValue left, TQRExprValue right, char decimalSeparator);

class TQREvElementOperator : public TQREvElement {
 public:
  explicit TQREvElementOperator(std::uint8_t code) : OpCode(code) {}
  TQRExprValue Evaluate(TQRFiFo& fifo) override;

  std::uint8_t OpCode;
};

class TQREvElementConstant : public TQREvElement {
 public:
  explicit TQREvElementConstant(TQRExprValue value) : Value(std::move(value)) {}
  TQRExprValue Evaluate(TQRFiFo&) override { return Value; }

  TQRExprValue Value;
};

class TQREvElementString : public TQREvElement {
 public:
  explicit TQREvElementString(std::string_view text) : Text(CutExprText(text)) {}
  TQRExprValue Evaluate(TQRFiFo&) override { return MakeString(Text); }

  std::string Text;
};

class TQREvElementDataField : public TQREvElement {
 public:
  TQREvElementDataField(DataSet* dataSet, int position, DataField* field);
  TQRExprValue Evaluate(TQRFiFo& fifo) override;

 private:
  DataSet* dataSet_;
  int position_;
  DataField* field_;
  std::string fieldName_;
};

class TQREvElementError : public TQREvElement {
 public:
  explicit TQREvElementError(std::string_view message) : Message(CutExprText(message)) {}
  TQRExprValue Evaluate(TQRFiFo&) override { return MakeError(Message); }

  std::string Message;
};

class TQREvElementArgumentEnd : public TQREvElement {
 public:
  TQRExprValue Evaluate(TQRFiFo&) override { return MakeError("Error in expression : ,"); }
  bool IsArgumentEnd() const override { return true; }
};

// Holds one evaluated argument of a function call.
struct TQREvResultClass {
  TQRExprValue Value;
};

// Base of every function: evaluates its arguments up to the argument end,
// accumulates them in an aggregate pass, then computes its result.
class TQREvElementFunction : public TQREvElement {
 public:
  TQRExprValue Evaluate(TQRFiFo& fifo) override;
  virtual void Accumulate() {}
  virtual TQRExprValue Compute() { return MakeError("Error in expression : function"); }

 protected:
  void EvaluateArguments(TQRFiFo& fifo);
  std::size_t ArgumentCount() const { return ArgList.size(); }
  // Copies argument i into target; an index past the last leaves target as it is.
  void Argument(std::size_t i, TQRExprValue& target) const;
  const TQRExprValue& ArgumentValue(std::size_t i) const { return ArgList[i].Value; }

  std::vector<TQREvResultClass> ArgList;
};

}  // namespace report
