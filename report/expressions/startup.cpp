#include "report/expressions/startup.h"

#include "report/expressions/platform_fixed.h"
#include "report/expressions/environment.h"
#include "report/expressions/functions.h"
#include "report/expressions/library.h"

namespace report {

TQRFunctionLibrary* QRFunctionLibrary = nullptr;
TQREvEnvironment* QRGlobalEnvironment = nullptr;
char QRArgumentSeparator = ',';

namespace {

const ExpressionPlatform* startedPlatform = nullptr;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

const ExpressionPlatform& CurrentExpressionPlatform() {
  static const FixedExpressionPlatform fallback;
  return startedPlatform ? *startedPlatform : fallback;
}

void StartReportExpressions(const ExpressionPlatform& platform) {
  StopReportExpressions();
  startedPlatform = &platform;
  QRArgumentSeparator = ',';
  QRFunctionLibrary = new TQRFunctionLibrary;
  RegisterBuiltInFunctions(*QRFunctionLibrary);
  // Fixed texts taken once: a title with a quote in it would not read back as
  // one string, which the program's own title never has.
  QRGlobalEnvironment = new TQREvEnvironment;
  QRGlobalEnvironment->AddEntry("AppStartTime", Quoted(platform.CurrentTimeText()));
  QRGlobalEnvironment->AddEntry("AppStartDate", Quoted(platform.CurrentShortDateText()));
  QRGlobalEnvironment->AddEntry("AppName", Quoted(platform.ApplicationTitle()));
}

void StopReportExpressions() {
  // Cleared before freeing, so nothing reaches the environment while it goes.
  TQREvEnvironment* environment = QRGlobalEnvironment;
  QRGlobalEnvironment = nullptr;
  delete environment;
  TQRFunctionLibrary* library = QRFunctionLibrary;
  QRFunctionLibrary = nullptr;
  delete library;
  startedPlatform = nullptr;
}

}  // namespace report
