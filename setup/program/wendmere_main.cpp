// The setup program: the install engine with the product's form. Loading
// the form reads the command line; a build, a floppy copy or the rest of an
// install after a restart runs then, else the install starts when the form
// is first shown.
#include <windows.h>

#include "framework/application.h"
#include "framework/modules.h"
#include "setup/product/product_form_win.h"
#include "setup/program/startup_win.h"
#include "setup/run/install_run_win.h"
#include "setup/wizard/wizard_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  setup::AddSetupModule();
  fw::Modules().InitializeAll();
  fw::Application()->Title = "Setup";
  const auto productPage = setup::RegisterProductPage();
  int exitCode = 0;
  try {
    auto* form = fw::Application()->CreateForm<setup::TfrmVSixInstall>();
    // The product's first page exists from the start, as its own form.
    fw::Application()->CreateForm<setup::TfrmBeforeInstallDialog>()->SetVisible(false);
    fw::Application()->Run();
    exitCode = form->Install1->ExitCode();
  } catch (const std::exception& error) {
    // No run is going on yet: the error is shown the usual way.
    fw::Application()->ShowException(error);
    exitCode = 1;
  }
  fw::Application()->DestroyComponents();
  fw::Modules().FinalizeAll();
  return exitCode;
}
