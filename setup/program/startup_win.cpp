#include "setup/program/startup_win.h"

#include <objbase.h>

#include "framework/modules.h"
#include "setup/run/install_run_win.h"
#include "setup/shell/program_manager_win.h"
#include "setup/shell/select_folder_win.h"
#include "setup/shell/shell_links_win.h"
#include "setup/translator/form_translation_win.h"

namespace setup {

void AddSetupModule() {
  static bool comStarted = false;
  fw::Modules().Add(
      "setup",
      [] {
        // Shortcuts are saved through the shell's COM objects, on this
        // thread, whether or not a window was ever activated.
        comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        ConnectSetupProgram();
        UseSystemShell();
        UseSystemProgramManager();
        UseSystemFolderSources();
        translator::UseSystemUserLanguage();
        translator::UseSystemTextComparison();
      },
      [] {
        if (comStarted) CoUninitialize();
        comStarted = false;
      });
}

}  // namespace setup
