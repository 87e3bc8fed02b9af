// The program-folder page on real windows, inside the before-install wizard
// and on its own: the folders it lists (Programs menu subfolders, or Program
// Manager groups from the stand-in server when Program Manager is forced),
// what typing and picking do to the shortcut folder, the keyboard, and its
// dialog component. Saves "select_folder_page.bmp".
#include "setup/shell/select_folder_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "setup/paths/machine_folders.h"
#include "setup/paths/machine_folders_win.h"
#include "setup/paths/path_specifiers.h"
#include "setup/shell/program_manager_win.h"
#include "setup/shell/shell_links_win.h"
#include "tests/framework/gui_support.h"
#include "tests/setup/wizard/wizard_test_support.h"
#include "tests/support/dde_standin.h"

namespace setup {
namespace {

using namespace wizard_test;

const char kCaption[] = "Select folder in start menu";

std::vector<std::string> ListedFolders() {
  std::vector<std::string> items;
  HWND list = VisibleOfClass("ListBox");
  if (!list) return {"(no list)"};
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[MAX_PATH] = {};
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

// A mouse click on a list item, as the user makes it.
void ClickListItem(const std::string& name) {
  HWND list = VisibleOfClass("ListBox");
  const auto items = ListedFolders();
  const auto at = std::find(items.begin(), items.end(), name);
  ASSERT_NE(at, items.end()) << name;
  RECT r;
  SendMessageA(list, LB_GETITEMRECT, at - items.begin(), reinterpret_cast<LPARAM>(&r));
  const LPARAM point = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageA(list, WM_LBUTTONUP, 0, point);
}

// The class or caption of the focused window, to follow the focus.
std::string Focused() {
  HWND focus = GetFocus();
  if (!focus) return "(none)";
  const std::string cls = ClassOf(focus);
  return lstrcmpiA(cls.c_str(), "Button") == 0 ? TextOf(focus) : cls;
}

// Alt with a letter, as the keyboard sends it.
void PostAltKey(char letter) {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_MENU] = 0x80;
  SetKeyboardState(state);
  PostMessageA(GetFocus(), WM_SYSKEYDOWN, static_cast<WPARAM>(letter), 1 | (1 << 29));
}

void ReleaseAlt() {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_MENU] = 0;
  SetKeyboardState(state);
}

class SelectFolder : public WizardFixture {
 protected:
  void SetUp() override {
    WizardFixture::SetUp();
    UseSystemMachine();
    UseSystemShell();
    UseSystemFolderSources();
    main = new TMainLinkGroup(&owner);
    main->SetDestDir("\\Tallimo");
    for (const char* name : {"beta Tools", "Alpha"})
      CreateDirectoryA((ProgramsFolder() + "\\" + name).c_str(), nullptr);
  }
  void TearDown() override {
    ReleaseAlt();
    fwtest::ReleaseModifiers();
    WizardFixture::TearDown();
    owner.DestroyComponents();
    SetShellAccess({});
    UseSystemShell();
  }
  // Steps that post a key and then see where the focus went.
  void Key(WORD key, bool shift, const std::string& then) {
    Steps().push_back([key, shift] { fwtest::PostKey(GetFocus(), key, false, shift); });
    Steps().push_back([then] { EXPECT_EQ(Focused(), then); });
  }
  void Alt(char letter, const std::string& then) {
    Steps().push_back([letter] { PostAltKey(letter); });
    Steps().push_back([then] {
      ReleaseAlt();
      EXPECT_EQ(Focused(), then);
    });
  }
  TMainLinkGroup* main = nullptr;
};

TEST_F(SelectFolder, InTheWizardItListsProgramsSubfoldersAndTypingOrPickingSetsTheFolder) {
  new TWelcomeDlg(&owner);
  auto* dialog = new TSelectFolderDlg(&owner);
  EXPECT_EQ(dialog->DialogManager(), manager);
  EXPECT_EQ(dialog->GetContainer(), main);
  Expect("Welcome");
  Press("Next >");
  Expect(kCaption);
  Steps().push_back([] {
    EXPECT_NE(VisibleButton("< Previous"), nullptr);
    EXPECT_NE(VisibleButton("Cancel"), nullptr);
    const auto items = ListedFolders();
    const auto alpha = std::find(items.begin(), items.end(), "Alpha");
    const auto beta = std::find(items.begin(), items.end(), "beta Tools");
    ASSERT_NE(alpha, items.end());
    ASSERT_NE(beta, items.end());
    EXPECT_LT(alpha, beta);
    EXPECT_TRUE(std::is_sorted(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
      return _stricmp(a.c_str(), b.c_str()) < 0;
    }));
    EXPECT_EQ(TextOf(VisibleOfClass("Edit")), "Tallimo");
    EXPECT_EQ(Focused(), "Next >");
  });
  Shot("select_folder_page.bmp");
  Steps().push_back([this] {
    SetWindowTextA(VisibleOfClass("Edit"), "X");
    EXPECT_EQ(main->DestDir(), "\\X");
    EXPECT_NE(dynamic_cast<TpsProgramMenu*>(main->DestDirType()), nullptr);
    EXPECT_EQ(main->GetDestDir(), ProgramsFolder() + "\\X");
    SetWindowTextA(VisibleOfClass("Edit"), "");
    EXPECT_EQ(main->DestDir(), "\\");
    ClickListItem("Alpha");
    EXPECT_EQ(TextOf(VisibleOfClass("Edit")), "Alpha");
    EXPECT_EQ(main->DestDir(), "\\Alpha");
  });
  // Back keeps what the page wrote; the page shows it again.
  Press("< Previous");
  Expect("Welcome");
  Press("Next >");
  Steps().push_back([] { EXPECT_EQ(TextOf(VisibleOfClass("Edit")), "Alpha"); });
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_TRUE(Steps().empty());
  EXPECT_EQ(main->DestDir(), "\\Alpha");
}

TEST_F(SelectFolder, TabShiftTabAndAltMnemonicsMoveThroughThePage) {
  new TWelcomeDlg(&owner);
  new TSelectFolderDlg(&owner);
  Press("Next >");
  Expect(kCaption);
  // From the edit: the list, then the buttons in their row, and round again.
  Steps().push_back([] { SetFocus(VisibleOfClass("Edit")); });
  Key(VK_TAB, false, "ListBox");
  Key(VK_TAB, false, "< Previous");
  Key(VK_TAB, false, "Next >");
  Key(VK_TAB, false, "Cancel");
  Key(VK_TAB, false, "Edit");
  Key(VK_TAB, true, "Cancel");
  Key(VK_TAB, true, "Next >");
  // Alt with the underlined letter of a caption focuses the control it names.
  Alt('P', "Edit");
  Alt('X', "ListBox");
  // A letter no caption underlines leaves the focus where it is.
  Alt('Q', "ListBox");
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_TRUE(Steps().empty());
}

TEST_F(SelectFolder, InTheWizardItListsProgramManagerGroupsWhenThereAreNoShellLinks) {
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
  auto* dialog = new TSelectFolderDlg(&owner);
  dialog->SetShellContainer(desktop);
  // The page asks Program Manager before the wizard shows.
  WaitFor(kCaption);
  Steps().push_back([] {
    EXPECT_EQ(ListedFolders(), (std::vector<std::string>{"accessories", "Zeta"}));
    // Not in the Programs menu: the first listed folder is offered, and taken.
    EXPECT_EQ(TextOf(VisibleOfClass("Edit")), "accessories");
  });
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_TRUE(Steps().empty());
  EXPECT_EQ(desktop->DestDir(), "\\accessories");
  EXPECT_NE(dynamic_cast<TpsProgramMenu*>(desktop->DestDirType()), nullptr);
  ResetProgramManager();
}

TEST_F(SelectFolder, OnItsOwnThePageShowsWhenItsFolderIsCreated) {
  auto* dialog = new TSelectFolderDlg(&owner);
  dialog->SetName("SelectFolderDlg");
  dialog->SetDialogManager(nullptr);
  Expect(kCaption);
  Steps().push_back([] {
    EXPECT_EQ(VisibleButton("< Previous"), nullptr);
    EXPECT_TRUE(GetWindowLongA(WizardWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(TextOf(VisibleOfClass("Edit")), "Tallimo");
    SetWindowTextA(VisibleOfClass("Edit"), "Chosen");
  });
  Press("Next >");
  main->Process();
  EXPECT_TRUE(Steps().empty());
  EXPECT_EQ(main->DestDir(), "\\Chosen");
  EXPECT_EQ(dialog->ShownForm(), nullptr);
  RemoveDirectoryA(main->GetDestDir().c_str());

  Press("Cancel");
  EXPECT_THROW(dialog->Execute(), EAIUserAbort);
  EXPECT_TRUE(Steps().empty());
}

TEST_F(SelectFolder, WithoutAFolderTheComponentRaisesAndItsPageSkipsItself) {
  fw::TComponent description(nullptr);
  TSelectFolderDlg* dialog = nullptr;
  {
    fw::FormLoading loading(description);
    dialog = new TSelectFolderDlg(&description);
    dialog->SetName("Dlg1");
    loading.End();
  }
  // A description that names no folder keeps the main one made before.
  EXPECT_EQ(dialog->GetContainer(), main);
  dialog->SetContainer(nullptr);
  EXPECT_EQ(dialog->DialogManager(), manager);
  // In the wizard the page skips itself: Next on the welcome page finishes.
  new TWelcomeDlg(&owner);
  Expect("Welcome");
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_TRUE(Steps().empty());
  EXPECT_EQ(main->DestDir(), "\\Tallimo");

  dialog->SetDialogManager(nullptr);
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
}

}  // namespace
}  // namespace setup
