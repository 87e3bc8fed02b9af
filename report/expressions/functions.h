// The built-in functions of report expressions.
#pragma once

#include "report/expressions/elements.h"
#include "report/expressions/library.h"

namespace report {

#define TALLIMO_QR_FUNCTION(Name)            \
  class Name : public TQREvElementFunction { \
   public:                                   \
    TQRExprValue Compute() override;         \
  };

TALLIMO_QR_FUNCTION(TQREvTrue)
TALLIMO_QR_FUNCTION(TQREvFalse)
TALLIMO_QR_FUNCTION(TQREvIfFunction)
TALLIMO_QR_FUNCTION(TQREvTypeOfFunction)
TALLIMO_QR_FUNCTION(TQREvIntFunction)
TALLIMO_QR_FUNCTION(TQREvFracFunction)
TALLIMO_QR_FUNCTION(TQREvSQRTFunction)
TALLIMO_QR_FUNCTION(TQREvDivFunction)
TALLIMO_QR_FUNCTION(TQREvStrFunction)
TALLIMO_QR_FUNCTION(TQREvUpperFunction)
TALLIMO_QR_FUNCTION(TQREvLowerFunction)
TALLIMO_QR_FUNCTION(TQREvPrettyFunction)
TALLIMO_QR_FUNCTION(TQREvTimeFunction)
TALLIMO_QR_FUNCTION(TQREvDateFunction)
TALLIMO_QR_FUNCTION(TQREvCopyFunction)
TALLIMO_QR_FUNCTION(TQREvFormatNumericFunction)

#undef TALLIMO_QR_FUNCTION

// Aggregates: take in their argument in every aggregate pass and give the
// running result; Reset starts them again.
class TQREvSumFunction : public TQREvElementFunction {
 public:
  TQREvSumFunction() { IsAggregate = true; }
  void Reset() override { hasValue_ = false; }
  void Accumulate() override;
  TQRExprValue Compute() override;

 private:
  bool hasValue_ = false;
  TQRExprValue sum_;
};

class TQREvAverageFunction : public TQREvSumFunction {
 public:
  void Reset() override;
  void Accumulate() override;
  TQRExprValue Compute() override { return average_; }

 private:
  std::int32_t count_ = 0;
  TQRExprValue average_ = MakeInteger(0);
};

// Keeps the greatest (MAX) or smallest (MIN) value of its argument.
class TQREvExtremeFunction : public TQREvElementFunction {
 public:
  explicit TQREvExtremeFunction(bool keepGreater) : keepGreater_(keepGreater) { IsAggregate = true; }
  void Reset() override { hasValue_ = false; }
  void Accumulate() override;
  TQRExprValue Compute() override { return hasValue_ ? kept_ : MakeInteger(0); }

 private:
  bool keepGreater_;
  bool hasValue_ = false;
  TQRExprValue kept_;
};

class TQREvMaxFunction : public TQREvExtremeFunction {
 public:
  TQREvMaxFunction() : TQREvExtremeFunction(true) {}
};

class TQREvMinFunction : public TQREvExtremeFunction {
 public:
  TQREvMinFunction() : TQREvExtremeFunction(false) {}
};

class TQREvCountFunction : public TQREvElementFunction {
 public:
  TQREvCountFunction() { IsAggregate = true; }
  TQRExprValue Evaluate(TQRFiFo& fifo) override;
  void Reset() override { count_ = 0; }

 private:
  std::int32_t count_ = 0;
};

// Adds the 21 built-ins in their fixed order.
void RegisterBuiltInFunctions(TQRLibrary& library);

}  // namespace report
