// <windows.h> comes first: the registry routines undo one of its macros.
#include <windows.h>

#include "setup/build/build_win.h"

#include "framework/dialogs.h"
#include "framework/form.h"
#include "setup/archive/archive_files_win.h"
#include "setup/base/registry_win.h"
#include "setup/net/location_win.h"

namespace setup {

BuildSystem& SystemBuild() {
  static Win32ArchiveFiles files;
  static SystemArchiveVersions versions;
  static BuildSystem system = [] {
    BuildSystem made;
    made.Files = &files;
    made.Versions = &versions;
    made.SystemRegistry = &SystemRegistry();
    made.ProcessMessages = ProcessApplicationMessages;
    made.Confirm = [](const std::string& text) {
      return fw::MessageDlg(text, fw::TMsgDlgType::mtConfirmation, fw::mbOKCancel) == fw::mrOk;
    };
    made.ShowError = [](const std::string& text) {
      fw::MessageDlg(text, fw::TMsgDlgType::mtError, fw::mbOK);
    };
    made.LoginOf = [](fw::TComponent* location) -> const TCustomLoginInformation* {
      auto* net = dynamic_cast<TCustomNetInstallLocation*>(location);
      return net ? &net->LoginInformation() : nullptr;
    };
    return made;
  }();
  return system;
}

bool RunBuild(TCustomInstall& install, const BuildSettings& settings) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return RunBuild(install, settings, SystemBuild(), std::string(path, length < MAX_PATH ? length : 0));
}

bool RunTransferToFloppies(TCustomInstall& install) {
  return RunTransferToFloppies(install, SystemBuild(), "a:");
}

}  // namespace setup
