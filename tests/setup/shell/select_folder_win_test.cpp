// The program-folder page on a real window: the folders it lists (Programs
// menu subfolders, or Program Manager groups from the stand-in server when
// Program Manager is forced), what typing and picking do to the shortcut
// folder, and its dialog component. Saves "select_folder_page.bmp".
#include "setup/shell/select_folder_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "setup/paths/machine_folders.h"
#include "setup/paths/machine_folders_win.h"
#include "setup/paths/path_specifiers.h"
#include "setup/shell/program_manager_win.h"
#include "setup/shell/shell_links_win.h"
#include "tests/support/dde_standin.h"
#include "tests/support/screenshot.h"

namespace setup {
namespace {

void Pump() {
  MSG message;
  for (int round = 0; round < 20; ++round) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(10);
  }
}

class SelectFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSystemMachine();
    UseSystemShell();
    UseSystemFolderSources();
    EnsureStandardSpecifiers(&owner);
    main = new TMainLinkGroup(&owner);
    main->SetDestDir("\\Tallimo");
    for (const char* name : {"beta Tools", "Alpha"})
      CreateDirectoryA((ProgramsFolder() + "\\" + name).c_str(), nullptr);
  }
  void TearDown() override {
    owner.DestroyComponents();
    SetShellAccess({});
    UseSystemShell();
  }
  fw::TComponent owner{nullptr};
  TMainLinkGroup* main = nullptr;
};

TEST_F(SelectFolder, ListsProgramsSubfoldersAndTypingSetsTheFolder) {
  TSelectFolderForm form(nullptr);
  ASSERT_EQ(form.Container, main);
  form.Show();
  form.PreparePage();
  const auto& items = form.FolderListBox->Items().Strings();
  const auto alpha = std::find(items.begin(), items.end(), "Alpha");
  const auto beta = std::find(items.begin(), items.end(), "beta Tools");
  ASSERT_NE(alpha, items.end());
  ASSERT_NE(beta, items.end());
  EXPECT_LT(alpha, beta);
  EXPECT_TRUE(std::is_sorted(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
    return _stricmp(a.c_str(), b.c_str()) < 0;
  }));
  EXPECT_EQ(form.FolderEdit->Text(), "Tallimo");
  Pump();
  ASSERT_TRUE(test_support::SaveBitmap("select_folder_page.bmp", test_support::CaptureWindow(form.Handle())));

  SetWindowTextA(form.FolderEdit->Handle(), "X");
  Pump();
  EXPECT_EQ(main->DestDir(), "\\X");
  EXPECT_NE(dynamic_cast<TpsProgramMenu*>(main->DestDirType()), nullptr);
  EXPECT_EQ(main->GetDestDir(), ProgramsFolder() + "\\X");

  const int index = static_cast<int>(alpha - items.begin());
  SendMessageA(form.FolderListBox->Handle(), LB_SETCURSEL, index, 0);
  SendMessageA(form.Handle(), WM_NULL, 0, 0);
  form.FolderListBox->Command(LBN_SELCHANGE);
  EXPECT_EQ(form.FolderEdit->Text(), "Alpha");
  EXPECT_EQ(main->DestDir(), "\\Alpha");

  SetWindowTextA(form.FolderEdit->Handle(), "");
  Pump();
  EXPECT_EQ(main->DestDir(), "\\");
}

TEST_F(SelectFolder, ListsProgramManagerGroupsWhenThereAreNoShellLinks) {
  ::test_support::DdeStandIn server("PMFOLDERS",
                                    "group Zeta\n\"Zeta\"\ngroup accessories\n\"accessories\"\n");
  SetDdeConversationFactory(NewSystemDdeConversation);
  ResetProgramManager();
  ProgramManager().DdeService = ProgramManager().DdeTopic = "PMFOLDERS";
  ShellAccess access = Shell();
  access.WindowsKind = [] { return 3; };
  SetShellAccess(access);
  auto* desktop = new TCustomShellLinkGroup(&owner);
  desktop->SetDestDirType(PathSpecifiers().FindSpecifier<TpsDesktopMenu>());
  desktop->SetDestDir("\\Old");
  TSelectFolderForm form(nullptr);
  form.Container = desktop;
  form.PreparePage();
  EXPECT_EQ(form.FolderListBox->Items().Strings(), (std::vector<std::string>{"accessories", "Zeta"}));
  // Not in the Programs menu: the first listed folder is offered, and taken.
  EXPECT_EQ(form.FolderEdit->Text(), "accessories");
  EXPECT_EQ(desktop->DestDir(), "\\accessories");
  EXPECT_NE(dynamic_cast<TpsProgramMenu*>(desktop->DestDirType()), nullptr);
  ResetProgramManager();
}

TEST_F(SelectFolder, DialogShowsThePageForItsFolderWhenTheFolderIsCreated) {
  auto* dialog = new TSelectFolderDlg(&owner);
  dialog->SetName("SelectFolderDlg");
  EXPECT_EQ(dialog->GetContainer(), main);
  bool shown = false;
  dialog->OnShowModal = [&](TSelectFolderForm& form) {
    shown = true;
    EXPECT_FALSE(form.BackBtn->Visible());
    EXPECT_EQ(form.ProceedBtn->ModalResult(), fw::mrOk);
    EXPECT_EQ(form.FolderEdit->Text(), "Tallimo");
    form.FolderEdit->SetText("Chosen");
    form.FolderEdit->OnChange(form.FolderEdit);
    return fw::mrOk;
  };
  main->Process();
  EXPECT_TRUE(shown);
  EXPECT_EQ(main->DestDir(), "\\Chosen");
  dialog->OnShowModal = [](TSelectFolderForm&) { return static_cast<int>(fw::mrCancel); };
  EXPECT_THROW(dialog->Execute(), EAIUserAbort);
  RemoveDirectoryA(main->GetDestDir().c_str());
}

TEST_F(SelectFolder, DialogWithoutAFolderRaisesAndItsPageSkipsItself) {
  fw::TComponent description(nullptr);
  TSelectFolderDlg* dialog = nullptr;
  {
    fw::FormLoading loading(description);
    dialog = new TSelectFolderDlg(&description);
    dialog->SetName("Dlg1");
  }
  EXPECT_EQ(dialog->GetContainer(), nullptr);
  try {
    dialog->Execute();
    ADD_FAILURE();
  } catch (const fw::Exception& e) {
    EXPECT_STREQ(e.what(), "Cannot run this dialog Dlg1 with a blank Container property");
  }
  auto* files = new TInstallFileGroup(&owner);
  dialog->SetContainer(files);
  try {
    dialog->GetContainer();
    ADD_FAILURE();
  } catch (const fw::Exception& e) {
    EXPECT_STREQ(e.what(), "The container for Dlg1 must be a TCustomShellLinkGroup");
  }
  dialog->SetContainer(nullptr);
  TSelectFolderForm form(nullptr);
  form.Container = nullptr;
  EXPECT_TRUE(form.SkipPage());
}

}  // namespace
}  // namespace setup
