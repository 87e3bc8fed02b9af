// The shared objects of report expressions: the function library, the global
// environment, the argument separator and the platform they format with.
// Created when the report engine starts and freed when it shuts down.
#pragma once

#include "report/expressions/platform.h"

namespace report {

class TQRFunctionLibrary;
class TQREvEnvironment;

extern TQRFunctionLibrary* QRFunctionLibrary;
extern TQREvEnvironment* QRGlobalEnvironment;
extern char QRArgumentSeparator;

// Registers the built-in functions and builds the global environment with
// "AppStartTime", "AppStartDate" and "AppName". The platform must outlive the
// matching StopReportExpressions.
void StartReportExpressions(const ExpressionPlatform& platform);
void StopReportExpressions();

// The platform given at start-up; a fixed "C" locale before it and after.
const ExpressionPlatform& CurrentExpressionPlatform();

// Starts the expressions for the lifetime of a scope.
class ReportExpressionsScope {
 public:
  explicit ReportExpressionsScope(const ExpressionPlatform& platform) { StartReportExpressions(platform); }
  ~ReportExpressionsScope() { StopReportExpressions(); }
  ReportExpressionsScope(const ReportExpressionsScope&) = delete;
  ReportExpressionsScope& operator=(const ReportExpressionsScope&) = delete;
};

}  // namespace report
