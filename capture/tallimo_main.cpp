// Entry point of the capture program: the modules start in dependency order,
// the main window runs until it closes, and the modules end in reverse.
#include <windows.h>

#include "capture/capture_main_win.h"
#include "capture/received_char_filter.h"
#include "capture/settings_win.h"
#include "comm/tapi_binding.h"
#include "comm/tapi_loader_win.h"
#include "framework/application.h"
#include "framework/modules.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  fw::Modules().Add("support", capture::StartSupportLibrary, capture::FinishSupportLibrary);
  fw::Modules().Add("telephony", comm::UseSystemTapiLoader, comm::UnloadTapi);
  fw::Modules().Add(
      "filter", [] { capture::ProgramFilter().Reset(); }, [] { capture::ProgramFilter().Reset(); });
  fw::Modules().InitializeAll();
  fw::Application()->Title = "Quorvane";
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
