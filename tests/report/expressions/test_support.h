// Shared set-up of the expression tests: the engine started on a fixed
// platform, and a one-line way to prepare and evaluate a text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "report/expressions/platform_fixed.h"
#include "report/expressions/float_text.h"
#include "report/expressions/evaluator.h"
#include "report/expressions/startup.h"

namespace report::testing {

class ExpressionTest : public ::testing::Test {
 protected:
  void SetUp() override { StartReportExpressions(platform_); }
  void TearDown() override { StopReportExpressions(); }

  // Restarts with a changed platform (separator, lead bytes, texts).
  void Restart() {
    StopReportExpressions();
    StartReportExpressions(platform_);
  }

  static TQRExprValue Evaluate(const std::string& text) {
    TQREvaluator evaluator;
    evaluator.Prepare(text);
    return evaluator.Value();
  }

  FixedExpressionPlatform platform_;
};

// The kind and text of a value, for comparing against a table ("float 3.5").
inline std::string Describe(const TQRExprValue& value) {
  static const char* const kinds[] = {"integer", "float", "string", "boolean", "error"};
  return std::string(kinds[value.Kind]) + " " + ValueToText(value, '.');
}

}  // namespace report::testing
