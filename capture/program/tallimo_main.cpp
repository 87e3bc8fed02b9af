// Entry point of the capture program: the modules start in dependency order,
// the main window runs until it closes, and the modules end in reverse.
#include <windows.h>

#include "capture/program/main_win.h"
#include "capture/program/received_char_filter.h"
#include "capture/settings/settings_win.h"
#include "comm/base/string_resource_win.h"
#include "comm/telephony/binding.h"
#include "comm/telephony/loader_win.h"
#include "framework/application.h"
#include "framework/modules.h"
#include "report/expressions/platform_win.h"
#include "report/expressions/startup.h"
#include "report/report/report_engine_win.h"

namespace {

constexpr char kApplicationTitle[] = "Quorvane";

// The report engine's expressions read the locale, the clock and the title.
const report::WinExpressionPlatform& ExpressionPlatform() {
  static const report::WinExpressionPlatform platform(kApplicationTitle);
  return platform;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  fw::Modules().Add("communications texts", comm::StartCommBase, comm::FinishCommBase);
  fw::Modules().Add("support", capture::StartSupportLibrary, capture::FinishSupportLibrary);
  fw::Modules().Add("telephony", comm::UseSystemTapiLoader, comm::UnloadTapi);
  fw::Modules().Add(
      "filter", [] { capture::ProgramFilter().Reset(); }, [] { capture::ProgramFilter().Reset(); });
  fw::Modules().Add(
      "report expressions", [] { report::StartReportExpressions(ExpressionPlatform()); },
      report::StopReportExpressions);
  fw::Modules().Add("report engine", report::StartReportEngine, report::FinishReportEngine);
  fw::Modules().InitializeAll();
  fw::Application()->Title = kApplicationTitle;
  fw::Application()->HelpFile = "QUORVANE.hlp";
  try {
    fw::Application()->CreateForm<capture::TfrmCaptureMain>();
    fw::Application()->Run();
  } catch (const std::exception&) {
    fw::Application()->HandleException(nullptr);
  }
  fw::Application()->DestroyComponents();
  fw::Modules().FinalizeAll();
  return 0;
}
