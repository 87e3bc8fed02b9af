// Wizards of real windows: install events broadcast to a small install tree
// open them, and the test presses their buttons as a user would.
#include "setup/wizard/wizard_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cctype>

#include "setup/base/exceptions.h"
#include "setup/paths/path_specifiers.h"
#include "tests/framework/gui_support.h"
#include "tests/setup/wizard/wizard_test_support.h"

namespace setup {
namespace {

using namespace wizard_test;

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

class Wizard : public WizardFixture {};

// The text of the first visible rich-text box of the wizard.
std::string RichText() {
  HWND box = VisibleOfClass("RichEdit20A");
  return box ? TextOf(box) : "(none)";
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
    EXPECT_EQ(VisibleButton("< Previous"), nullptr);
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
    GetWindowRect(VisibleButton("Next >"), &button);
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
  Steps().push_back([] { EXPECT_NE(VisibleButton("< Previous"), nullptr); });
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
      EXPECT_EQ(VisibleButton("< Previous"), nullptr);
      EXPECT_EQ(VisibleButton("Next >"), nullptr);
      EXPECT_EQ(VisibleButton("Cancel"), nullptr);
      EXPECT_EQ(GetFocus(), VisibleButton("Finish"));
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
  Steps().push_back([] { EXPECT_EQ(VisibleButton("< Previous"), nullptr); });
  Steps().push_back([] { EXPECT_NE(VisibleButton("Next >"), nullptr); });
  // Enter goes to the page's default button (Next), which finishes here.
  Steps().push_back([] {
    HWND next = VisibleButton("Next >");
    SetFocus(GetParent(next));
    fwtest::PostKey(GetParent(next), VK_RETURN);
  });
  TestPage::Prepared = 0;
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_EQ(TestPage::Prepared, 2);  // Next shows the page again before finishing

  Steps().push_back([] {
    HWND cancel = VisibleButton("Cancel");
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
  Steps().push_back([] {
    EXPECT_EQ(VisibleButton("< Previous"), nullptr);
    EXPECT_TRUE(GetWindowLongA(WizardWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST);  // alone, it stays on top
    EXPECT_EQ(GetFocus(), VisibleButton("Next >"));
  });
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
  return VisibleChild([&](HWND w) { return TextOf(w) == caption; });
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
  HWND tab = VisibleOfClass("SysTabControl32");
  return tab ? fwtest::TabTexts(tab) : std::vector<std::string>{"(no tabs)"};
}

HWND VisibleEdit() { return VisibleOfClass("Edit"); }

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

TEST_F(Wizard, PagesAreTranslatedByTheirTextIdentifiers) {
  translator::TTranslator translator(nullptr);
  ASSERT_EQ(translator::GlobalTranslator(), &translator);
  translator.Language(translator::plEnglish)
      .Strings()
      .Assign({"4;< Previous", "5;Next >", "6;Cancel", "10;This program will install the software on your computer.",
               "26;&Browse", "40;Typical", "18;Program will be installed with the most common options."});
  // The buttons and texts go by their identifiers, whatever their English
  // text; tabs and the tab text by their English text.
  translator.Language(translator::plFrench)
      .Strings()
      .Assign({"4;< Retour", "5;Suivant >", "6;Annuler", "10;Ce programme installe le logiciel.", "26;&Parcourir",
               "40;Standard", "18;Le programme sera install\xE9 avec les options courantes."});
  translator.SetTranslateIntoLanguage(translator::plFrench);
  auto* welcome = new TWelcomeDlg(&owner);
  auto* type = new TInstallTypeDlg(&owner);
  type->SetContainer(install);
  install->SetInstallTypes(InstallTypeSet({itDefault, itFull}));
  install->SetCurrentInstallType(itDefault);
  install->SetDestDir("C:\\Tallimo");
  Expect("Welcome");
  Steps().push_back([welcome] {
    EXPECT_NE(VisibleButton("Suivant >"), nullptr);
    EXPECT_NE(VisibleButton("Annuler"), nullptr);
    EXPECT_EQ(VisibleButton("Next >"), nullptr);
    auto* page = dynamic_cast<TWelcomeForm*>(welcome->ShownForm());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->WelcomeText->Caption(), "Ce programme installe le logiciel.");
  });
  Press("Suivant >");
  Expect("Setup type");
  Steps().push_back([type] {
    EXPECT_NE(VisibleButton("< Retour"), nullptr);
    EXPECT_NE(VisibleButton("&Parcourir"), nullptr);
    EXPECT_EQ(ShownTabs(), (std::vector<std::string>{"Standard", "Full"}));
    auto* page = dynamic_cast<TInstallTypeForm*>(type->ShownForm());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->TabText->Caption(), "Le programme sera install\xE9 avec les options courantes.");
  });
  Press("Suivant >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_TRUE(Steps().empty());
}

TEST_F(Wizard, APageShowsItsComponentsPictureCentredInTheLeftPanel) {
  auto* welcome = new TWelcomeDlg(&owner);
  {
    fw::TBitmap red;
    red.SetSize(40, 60);
    red.Canvas().Brush.Color = RGB(255, 0, 0);
    const RECT all{0, 0, 40, 60};
    red.Canvas().FillRect(all);
    welcome->SetThemeBitmap(red);  // a copy: the source goes now
  }
  Expect("Welcome");
  Steps().push_back([welcome] {
    auto* page = welcome->ShownForm();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->ThemeBitmap->Picture().Width(), 40);
    // The left panel is 136 wide above the 52-high button row.
    POINT centre{136 / 2, (page->ClientHeight() - 52) / 2}, corner{4, 4};
    ClientToScreen(page->Handle(), &centre);
    ClientToScreen(page->Handle(), &corner);
    HDC screen = GetDC(nullptr);
    const COLORREF atCentre = GetPixel(screen, centre.x, centre.y);
    const COLORREF atCorner = GetPixel(screen, corner.x, corner.y);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(atCentre, RGB(255, 0, 0));
    EXPECT_NE(atCorner, RGB(255, 0, 0));
  });
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_TRUE(Steps().empty());
}

// The installer's picture on a page without a dialog component of its own.
TEST_F(Wizard, TheProductPageShowsTheInstallersPicture) {
  fw::TBitmap red;
  red.SetSize(40, 60);
  red.Canvas().Brush.Color = RGB(255, 0, 0);
  const RECT all{0, 0, 40, 60};
  red.Canvas().FillRect(all);
  InstallThemeBitmap() = [&red]() -> const fw::TBitmap* { return &red; };
  auto product = RegisterProductPage();
  Expect("Quorvane INSTALL");
  Steps().push_back([] {
    POINT centre{136 / 2, (368 - 52) / 2};
    ClientToScreen(WizardWindow(), &centre);
    HDC screen = GetDC(nullptr);
    const COLORREF atCentre = GetPixel(screen, centre.x, centre.y);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(atCentre, RGB(255, 0, 0));
  });
  Shot("wizard_product_page_picture.bmp");
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_TRUE(Steps().empty());
  InstallThemeBitmap() = nullptr;
  UnregisterWizardPage(product);
}

// A licence longer than its box opens at its first line.
TEST_F(Wizard, TheLicenceOpensAtItsFirstLine) {
  auto* licence = new TLicenseDlg(&owner);
  for (int i = 1; i <= 60; ++i) licence->LicenseAgreement.push_back("Term " + std::to_string(i) + ".");
  Expect("Software license agreement");
  Steps().push_back([] {
    HWND box = VisibleOfClass("RichEdit20A");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    DWORD start = 1, end = 1;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
  });
  Shot("wizard_long_licence.bmp");
  Press("Next >");
  EXPECT_NO_THROW(Broadcast(ieBeforeInstallWizard));
  EXPECT_TRUE(Steps().empty());
}

}  // namespace
}  // namespace setup
