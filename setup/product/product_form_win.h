// The product's setup: one main form whose description is the whole
// installation of the capture program - the install with its files, the
// uninstaller entry, the shortcuts, the wizard pages, the translator and the
// decorations of the setup window.
#pragma once

#include <string>

#include "framework/extctrls.h"
#include "framework/form.h"
#include "setup/decoration/advertise_win.h"
#include "setup/decoration/decoration_win.h"
#include "setup/group_select/page_win.h"
#include "setup/install/install_file.h"
#include "setup/net/location_win.h"
#include "setup/product/uninstall_exe.h"
#include "setup/run/install_run_win.h"
#include "setup/shell/select_folder_win.h"
#include "setup/shell/shell_links.h"
#include "setup/translator/translator.h"
#include "setup/wizard/install_forms_win.h"
#include "setup/wizard/wizard_win.h"

namespace setup {

// Where the build machine keeps the files the distribution is built from
// (the capture program under its installed name, the help files and the
// uninstaller); the archive records them under this folder.
constexpr char kProductSourceFolder[] = "C:\\Quorvane Build";

class TfrmVSixInstall : public fw::TForm {
 public:
  explicit TfrmVSixInstall(fw::TComponent* owner);
  std::string ClassName() const override { return "TfrmVSixInstall"; }

  // Renames the capture files an earlier version left (".CAP" to ".txt").
  void ChangeFileType(TInstallContainer* container, bool wasAborted);

  TBackdrop* BackDrop = nullptr;
  TRotate3DLabel* ProductLabel = nullptr;
  TAdvertisePanel* AdvertisePanel = nullptr;
  TInstall* Install1 = nullptr;
  translator::TTranslator* MainTranslator = nullptr;
  TUninstallEXE* UninstallEXE = nullptr;
  TInstallFileGroup *FileGroup = nullptr, *FileGroup1 = nullptr;
  TInstallFile *InstallFile6 = nullptr, *InstallFile = nullptr, *InstallFile1 = nullptr;
  TMainLinkGroup* MainFolder = nullptr;
  TInstallMainLink *InstallMainLink = nullptr, *InstallMainLink1 = nullptr;
  TInstallShellLink* InstallShellLink = nullptr;
  TNetInstallLocation* NetLocation = nullptr;
};

// The licence and readme texts of the product.
extern const char* const kLicenseLines[14];
extern const char* const kReadmeLines[5];

}  // namespace setup
