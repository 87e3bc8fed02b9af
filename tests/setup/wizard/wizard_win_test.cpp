// Wizards of real windows: install events broadcast to a small install tree
// open them, and the test presses their buttons as a user would.
#include "setup/wizard/wizard_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cctype>
#include <deque>

#include "setup/base/exceptions.h"
#include "setup/paths/path_specifiers.h"
#include "tests/framework/gui_support.h"
#include "tests/setup/install/install_test_support.h"
#include "tests/support/screenshot.h"

namespace setup {
namespace {

// Steps run one per timer tick while a modal window is up.
std::deque<std::function<void()>>& Steps() {
  static std::deque<std::function<void()>> steps;
  return steps;
}
void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
  if (Steps().empty()) return;
  auto step = std::move(Steps().front());
  Steps().pop_front();
  step();
}

HWND WizardWindow() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM out) {
        char cls[64] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (!IsWindowVisible(w) || !IsWindowEnabled(w) || (GetWindowLongA(w, GWL_STYLE) & WS_CHILD))
          return TRUE;
        if (GetWindow(w, GW_OWNER) == nullptr && GetParent(w) == nullptr) {
          // The host and standalone pages are owned windows; skip others.
        }
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string TextOf(HWND w) {
  char text[256] = {};
  GetWindowTextA(w, text, sizeof text);
  return text;
}

// The visible button with this caption in the window, or nullptr.
HWND VisibleButton(HWND top, const std::string& caption) {
  struct Search {
    std::string caption;
    HWND found;
  } search{caption, nullptr};
  EnumChildWindows(
      top,
      [](HWND w, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpiA(cls, "Button") == 0 && IsWindowVisible(w) && TextOf(w) == s->caption) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Click(const std::string& caption) {
  HWND top = WizardWindow();
  ASSERT_NE(top, nullptr);
  HWND button = VisibleButton(top, caption);
  ASSERT_NE(button, nullptr) << caption << " on " << TextOf(top);
  SendMessageA(button, BM_CLICK, 0, 0);
}

// A page of the test with a chosen order, skip and handler behaviour.
class TestPage : public TBaseInstallForm {
 public:
  TestPage(fw::TComponent* owner, const std::string& caption) : TBaseInstallForm(owner) {
    fw::FormLoading loading(*this);
    SetCaption(caption);
    BuildLayout(false);
    loading.End();
  }
  void PreparePage() override {
    ++Prepared;
    PrepareButtons();
    if (Throws) throw fw::Exception("Unable to create directory C:\\X");
  }
  bool SkipPage() override { return Skips; }
  bool Skips = false;
  bool Throws = false;
  static inline int Prepared = 0;
};

class TestDlg : public TCustomBaseInstallDlg {
 public:
  TestDlg(fw::TComponent* owner, std::string caption, int order, TDialogManager* manager)
      : TCustomBaseInstallDlg(owner), caption_(std::move(caption)) {
    Order = order;
    SetDialogManager(manager);
    RegisterPage();
  }
  TFormClass FormClass() const override {
    return [this](fw::TComponent* owner) {
      auto* p = new TestPage(owner, caption_);
      p->Skips = Skips;
      p->Throws = Throws;
      return p;
    };
  }
  bool Skips = false, Throws = false;

 private:
  std::string caption_;
};

class Wizard : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureStandardSpecifiers(&owner);
    install = new test_support::StandInInstall(&owner);
    manager = new TDialogManager(&owner);
    manager->SetName("BeforeManager");
    manager->SetContainer(install);
    timer = SetTimer(nullptr, 0, 150, RunStep);
  }
  void TearDown() override {
    KillTimer(nullptr, timer);
    Steps().clear();
    UserAbortQuery() = nullptr;
  }
  void Broadcast(int code) { install->Broadcast(install, code, nullptr); }
  void Expect(const std::string& caption) {
    Steps().push_back([caption] { EXPECT_EQ(TextOf(WizardWindow()), caption); });
  }
  void Press(const std::string& caption) {
    Steps().push_back([caption] { Click(caption); });
  }
  void Shot(const std::string& file) {
    Steps().push_back([file] {
      HWND w = WizardWindow();
      RECT r;
      GetWindowRect(w, &r);
      ::test_support::SaveBitmap(file, ::test_support::CaptureScreen(r));
    });
  }
  fw::TComponent owner{nullptr};
  test_support::StandInInstall* install;
  TDialogManager* manager;
  UINT_PTR timer = 0;
};

// The text of the first visible rich-text box of the wizard.
std::string RichText() {
  struct Search {
    HWND found = nullptr;
  } search;
  EnumChildWindows(
      WizardWindow(),
      [](HWND w, LPARAM p) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpiA(cls, "RichEdit20A") == 0 && IsWindowVisible(w)) {
          reinterpret_cast<Search*>(p)->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (!search.found) return "(none)";
  std::string text(4096, '\0');
  text.resize(GetWindowTextA(search.found, text.data(), 4096));
  return text;
}

TEST_F(Wizard, BeforeInstallPagesInOrderBackHiddenOnFirstNextFinishes) {
  auto product = RegisterProductPage();
  auto* readme = new TReadmeDlg(&owner);
  readme->ReadmeText = {"Version 2.1", "Needs a serial port."};
  auto* welcome = new TWelcomeDlg(&owner);
  auto* licence = new TLicenseDlg(&owner);
  licence->LicenseAgreement = {"You may install this software on one computer."};
  // Each component found the fixture's manager by its type.
  EXPECT_EQ(welcome->DialogManager(), manager);
  EXPECT_EQ(licence->DialogManager(), manager);
  Expect("Quorvane INSTALL");
  Steps().push_back([] {
    EXPECT_EQ(VisibleButton(WizardWindow(), "< Previous"), nullptr);
    // The manager's size, placed at the screen centre.
    RECT r;
    GetWindowRect(WizardWindow(), &r);
    EXPECT_EQ(r.right - r.left, 478);
    EXPECT_EQ(r.bottom - r.top, 395);
    const TScreenPlace p = PlaceOnScreen(pdpCenter, 0, 0, 478, 395, GetSystemMetrics(SM_CXSCREEN),
                                         GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(r.left, p.Left);
    EXPECT_EQ(r.top, p.Top);
    // The page's buttons lie inside the host's client area.
    RECT client, button;
    GetClientRect(WizardWindow(), &client);
    MapWindowPoints(WizardWindow(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    GetWindowRect(VisibleButton(WizardWindow(), "Next >"), &button);
    EXPECT_GE(button.left, client.left);
    EXPECT_LE(button.right, client.right);
    EXPECT_LE(button.bottom, client.bottom);
    EXPECT_GE(button.top, client.bottom - 52);
  });
  Steps().push_back([] {
    // The product's names are drawn: navy and the bold orange-red.
    RECT r;
    GetWindowRect(WizardWindow(), &r);
    const auto pixels = ::test_support::CaptureScreen(r);
    int navy = 0, title = 0;
    for (std::uint32_t p : pixels.rgb) {
      navy += p == 0x000080;
      title += p == ((2650111u & 0xFF) << 16 | (2650111u & 0xFF00) | (2650111u >> 16));
    }
    EXPECT_GT(navy, 50);
    EXPECT_GT(title, 50);
  });
  Shot("wizard_product_page.bmp");
  Press("Next >");
  Expect("Welcome");
  Steps().push_back([] { EXPECT_NE(VisibleButton(WizardWindow(), "< Previous"), nullptr); });
  Shot("wizard_welcome.bmp");
  Press("Next >");
  Expect("Software license agreement");
  Steps().push_back([] { EXPECT_EQ(RichText(), "You may install this software on one computer."); });
  Shot("wizard_licence.bmp");
  Press("< Previous");
  Expect("Welcome");
  Press("Next >");
  Press("Next >");
  Expect("Readme information");
  Steps().push_back([] {
    std::string text = RichText();
    for (char& c : text)
      if (c == '\r') c = '|';
    // The box may keep line breaks as CR or CR LF.
    EXPECT_TRUE(text == "Version 2.1|\nNeeds a serial port." || text == "Version 2.1|Needs a serial port.")
        << text;
  });
  Shot("wizard_readme.bmp");
  Press("Next >");  // the last page: Next finishes
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_TRUE(Steps().empty());
  EXPECT_EQ(CurrentDialogManager(), nullptr);
  EXPECT_EQ(welcome->ShownForm(), nullptr);
  UnregisterWizardPage(product);
}

TEST_F(Wizard, CompletionAndFailurePagesFinishWithoutCancel) {
  struct Case {
    TManagerType Type;
    int Event;
    const char* Caption;
    const char* Shot;
  } cases[] = {
      {dmAfterGoodInstall, ieAfterGoodInstall, "Setup complete", "wizard_good_install.bmp"},
      {dmAfterBadInstall, ieAfterBadInstall, "Setup incomplete", "wizard_bad_install.bmp"},
  };
  for (const Case& c : cases) {
    TDialogManager end(&owner);
    end.ManagerType = c.Type;
    end.SetContainer(install);
    TCustomBaseInstallDlg* dlg = c.Type == dmAfterGoodInstall
                                     ? static_cast<TCustomBaseInstallDlg*>(new TGoodInstallationDlg(&owner))
                                     : new TBadInstallationDlg(&owner);
    EXPECT_EQ(dlg->DialogManager(), &end);  // found by its type
    Expect(c.Caption);
    Steps().push_back([] {
      HWND w = WizardWindow();
      EXPECT_EQ(VisibleButton(w, "< Previous"), nullptr);
      EXPECT_EQ(VisibleButton(w, "Next >"), nullptr);
      EXPECT_EQ(VisibleButton(w, "Cancel"), nullptr);
    });
    Shot(c.Shot);
    Press("Finish");
    EXPECT_NO_THROW(Broadcast(c.Event));
    EXPECT_TRUE(Steps().empty());
    delete dlg;
  }
}

TEST_F(Wizard, OtherManagerTypesAndNoPagesShowNothing) {
  new TestDlg(&owner, "Page", 10, manager);
  EXPECT_NO_THROW(Broadcast(ieAfterGoodInstall));  // not this manager's event
  TDialogManager empty(&owner);
  empty.ManagerType = dmReboot;
  empty.SetContainer(install);
  EXPECT_NO_THROW(Broadcast(ieReboot));  // a manager without pages
  EXPECT_EQ(CurrentDialogManager(), nullptr);
}

TEST_F(Wizard, CancelAskedFalseStaysTrueAbortsOnce) {
  new TestDlg(&owner, "One", 10, manager);
  new TestDlg(&owner, "Two", 20, manager);
  int asked = 0;
  bool answer = false;
  UserAbortQuery() = [&] {
    ++asked;
    return answer;
  };
  Press("Next >");
  Press("Cancel");
  Expect("Two");
  Steps().push_back([&] { answer = true; });
  Press("< Previous");
  Press("Cancel");
  int aborts = 0;
  try {
    Broadcast(ieBeforeInstallWizard);
  } catch (const EAIUserAbort&) {
    ++aborts;
  }
  EXPECT_EQ(aborts, 1);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(CurrentDialogManager(), nullptr);
}

TEST_F(Wizard, SkippedPagesAndEscapeAndEnterInsideThePage) {
  auto* first = new TestDlg(&owner, "Skipped first", 5, manager);
  first->Skips = true;
  new TestDlg(&owner, "Shown", 10, manager);
  auto* later = new TestDlg(&owner, "Skipped later", 20, manager);
  later->Skips = true;
  Expect("Shown");
  // Back hidden: only skipping pages before it. Next shown: not the last.
  Steps().push_back([] { EXPECT_EQ(VisibleButton(WizardWindow(), "< Previous"), nullptr); });
  Steps().push_back([] { EXPECT_NE(VisibleButton(WizardWindow(), "Next >"), nullptr); });
  // Enter goes to the page's default button (Next), which finishes here.
  Steps().push_back([] {
    HWND next = VisibleButton(WizardWindow(), "Next >");
    SetFocus(GetParent(next));
    fwtest::PostKey(GetParent(next), VK_RETURN);
  });
  TestPage::Prepared = 0;
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_EQ(TestPage::Prepared, 2);  // Next shows the page again before finishing

  Steps().push_back([] {
    HWND cancel = VisibleButton(WizardWindow(), "Cancel");
    fwtest::PostKey(cancel, VK_ESCAPE);
  });
  EXPECT_THROW(Broadcast(ieBeforeInstallWizard), EAIUserAbort);
}

TEST_F(Wizard, ExceptionInAPageHandlerEndsTheWizardAndReachesTheRunOnce) {
  new TestDlg(&owner, "Fine", 10, manager);
  auto* bad = new TestDlg(&owner, "Throws", 20, manager);
  bad->Throws = true;
  Press("Next >");
  int caught = 0;
  try {
    Broadcast(ieBeforeInstallWizard);
  } catch (const fw::Exception& e) {
    ++caught;
    EXPECT_EQ(e.Message(), "Unable to create directory C:\\X");
  }
  EXPECT_EQ(caught, 1);
  EXPECT_EQ(CurrentDialogManager(), nullptr);
  EXPECT_EQ(WizardWindow(), nullptr);
}

TEST_F(Wizard, StandaloneWelcomeHasNoBackAndEndsWithOk) {
  auto* welcome = new TWelcomeDlg(&owner);
  welcome->SetName("WelcomeDlg");
  welcome->SetContainer(install);
  welcome->SetDialogManager(nullptr);  // standalone
  Expect("Welcome");
  Steps().push_back([] { EXPECT_EQ(VisibleButton(WizardWindow(), "< Previous"), nullptr); });
  Shot("wizard_standalone_welcome.bmp");
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieWelcome));
  EXPECT_TRUE(Steps().empty());
  EXPECT_EQ(welcome->ShownForm(), nullptr);
  Press("Cancel");
  EXPECT_THROW(Broadcast(ieWelcome), EAIUserAbort);
  EXPECT_NO_THROW(Broadcast(ieLicense));  // not its event: nothing shown
}

TEST_F(Wizard, ParameterErrors) {
  manager->ManagerType = dmDuringCopyFiles;
  try {
    Broadcast(ieFileStatus);
    FAIL();
  } catch (const IException& e) {
    EXPECT_EQ(e.Message(), "BeforeManager got a nil PO parameter");
  }
  TDiskParameter wrong;
  try {
    install->Broadcast(install, ieDownloadStatus, &wrong);
    FAIL();
  } catch (const IException& e) {
    EXPECT_EQ(e.Message(), "The PO object passed to BeforeManager is not a TDownloadStatusParameter object");
  }
  try {
    manager->AddDialog(nullptr);
    FAIL();
  } catch (const fw::Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot add a NIL Dialog to the Dialog Manager BeforeManager");
  }
  TBaseFormContainer host(nullptr);
  try {
    host.LoadPages();
    FAIL();
  } catch (const fw::Exception& e) {
    EXPECT_EQ(e.Message(), "The current dialog manager is not defined");
  }
  TWelcomeDlg dlg(&owner);
  dlg.SetName("W");
  try {
    dlg.AssignDialogProperties();
    FAIL();
  } catch (const fw::Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot AssignDialogProperties for W because the Dialog is Nil");
  }
}

}  // namespace
}  // namespace setup

namespace setup {
namespace {

HWND VisibleRadio(const std::string& caption) {
  HWND w = WizardWindow();
  struct Search {
    std::string caption;
    HWND found;
  } search{caption, nullptr};
  EnumChildWindows(
      w,
      [](HWND c, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        if (IsWindowVisible(c) && TextOf(c) == s->caption) {
          s->found = c;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool Checked(const char* caption) {
  return SendMessageA(VisibleRadio(caption), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TEST_F(Wizard, RestartPagePreselectsFromRebootAndAClickSetsIt) {
  TDialogManager restart(&owner);
  restart.ManagerType = dmReboot;
  restart.SetContainer(install);
  auto* dlg = new TRebootDlg(&owner);
  EXPECT_EQ(dlg->DialogManager(), &restart);
  bool reboot = true;
  RebootFlag() = [&] { return &reboot; };
  static const char* yes = "Yes, I would like to reboot windows";
  static const char* no = "No, I would not like to reboot windows";
  Expect("Reboot windows");
  Steps().push_back([] {
    EXPECT_TRUE(Checked(yes));
    EXPECT_FALSE(Checked(no));
  });
  Shot("wizard_reboot.bmp");
  Press("Finish");
  EXPECT_NO_THROW(Broadcast(ieReboot));
  EXPECT_TRUE(reboot);  // preselecting does not change it

  reboot = false;
  Steps().push_back([] {
    EXPECT_TRUE(Checked(no));
    SendMessageA(VisibleRadio(yes), BM_CLICK, 0, 0);
    EXPECT_TRUE(Checked(yes));
    EXPECT_FALSE(Checked(no));
  });
  Press("Finish");
  EXPECT_NO_THROW(Broadcast(ieReboot));
  EXPECT_TRUE(reboot);
  RebootFlag() = nullptr;
  delete dlg;
}

}  // namespace
}  // namespace setup

namespace setup {
namespace {

std::vector<std::string> ShownTabs() {
  std::vector<std::string> tabs;
  HWND tab = FindWindowExA(nullptr, nullptr, nullptr, nullptr);
  struct Search {
    HWND found = nullptr;
  } search;
  EnumChildWindows(
      WizardWindow(),
      [](HWND c, LPARAM p) {
        char cls[32] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "SysTabControl32") == 0 && IsWindowVisible(c)) {
          reinterpret_cast<Search*>(p)->found = c;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  tab = search.found;
  if (!tab) return {"(no tabs)"};
  const int n = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    char text[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    tabs.push_back(text);
  }
  return tabs;
}

HWND VisibleEdit() {
  HWND found = nullptr;
  EnumChildWindows(
      WizardWindow(),
      [](HWND c, LPARAM p) {
        char cls[32] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Edit") == 0 && IsWindowVisible(c)) {
          *reinterpret_cast<HWND*>(p) = c;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class SetupType : public Wizard {
 protected:
  void SetUp() override {
    Wizard::SetUp();
    install->SetDestDirType(nullptr);
    dlg = new TInstallTypeDlg(&owner);
    dlg->SetName("InstallTypeDlg");
    dlg->SetContainer(install);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    base = std::string(temp) + "wizard_browse_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(base.c_str(), nullptr);
  }
  void TearDown() override {
    FolderChooser() = nullptr;
    RemoveDirectoryA(base.c_str());
    Wizard::TearDown();
  }
  TInstallTypeDlg* dlg = nullptr;
  std::string base;
};

TEST_F(SetupType, ShowsTheTabsOfTheInstallTypesAndWritesTheDestination) {
  install->SetInstallTypes(InstallTypeSet({itFull}));
  install->SetCurrentInstallType(itFull);
  install->SetDestDir("C:\\Program Files\\Tallimo");
  Expect("Setup type");
  Steps().push_back([] { EXPECT_EQ(ShownTabs(), (std::vector<std::string>{"Full"})); });
  // The edit shows the text in lower case.
  Steps().push_back([] { EXPECT_EQ(TextOf(VisibleEdit()), "c:\\program files\\tallimo"); });
  Steps().push_back([] {
    HWND edit = VisibleEdit();
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (char c : std::string("D:\\Apps")) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  });
  Shot("wizard_setup_type.bmp");
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_TRUE(Steps().empty());
  EXPECT_EQ(install->DestDir(), "d:\\apps");  // typed text is lower case
  EXPECT_EQ(install->DestDirType(), nullptr);

  install->SetInstallTypes(InstallTypeSet({itDefault, itCompact, itCustom}));
  install->SetCurrentInstallType(itCompact);
  Expect("Setup type");
  Steps().push_back([] {
    EXPECT_EQ(ShownTabs(), (std::vector<std::string>{"Typical", "Compact", "Custom"}));
  });
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));

  // [itAlways] alone: the page skips itself and there is nothing to show.
  install->SetInstallTypes(InstallTypeSet({itAlways}));
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_EQ(WizardWindow(), nullptr);
}

TEST_F(SetupType, BrowseCreatesOnlyForTheBrowserAndRemovesEveryLevel) {
  install->SetInstallTypes(InstallTypeSet({itFull, itDefault}));
  const std::string wanted = base + "\\new\\deeper";
  install->SetDestDir(wanted);
  std::vector<std::string> starts;
  bool existedWhileBrowsing = false;
  FolderChooser() = [&](const std::string& start, std::string& chosen) {
    starts.push_back(start);
    existedWhileBrowsing = GetFileAttributesA(wanted.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (starts.size() == 1) return false;  // cancelled
    chosen = base + "\\";
    return true;
  };
  Press("&Browse");
  Press("&Browse");
  Steps().push_back([this] {
    std::string lower = base;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(TextOf(VisibleEdit()), lower);
  });
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0], wanted);
  EXPECT_TRUE(existedWhileBrowsing);
  EXPECT_EQ(GetFileAttributesA((base + "\\new").c_str()), INVALID_FILE_ATTRIBUTES);  // both levels gone
  EXPECT_EQ(install->DestDir(), base);  // without the trailing backslash
  EXPECT_EQ(install->DestDirType(), nullptr);

  // A blank destination: no starting folder, nothing created.
  install->SetDestDir("   ");
  starts.clear();
  Press("&Browse");
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], "");

  // A destination that cannot be created starts at its deepest existing folder.
  const std::string blocker = base + "\\file";
  HANDLE f = CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(f);
  install->SetDestDir(blocker + "\\sub");
  starts.clear();
  Press("&Browse");
  Press("Next >");
  Broadcast(ieBeforeInstallWizard);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], base);
  DeleteFileA(blocker.c_str());
}

TEST_F(SetupType, StandaloneNeedsAContainer) {
  dlg->SetDialogManager(nullptr);
  dlg->SetContainer(nullptr);
  try {
    Broadcast(ieBeforeInstallObject);
    dlg->Execute();
    FAIL();
  } catch (const fw::Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot run this dialog InstallTypeDlg with a blank Container property");
  }
}

}  // namespace
}  // namespace setup
