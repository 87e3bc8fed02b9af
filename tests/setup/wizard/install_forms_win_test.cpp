// The copy-progress, disk-change and status forms and the folder browser as
// real windows: install events broadcast to a small install tree open them,
// and the test reads them and presses their buttons as a user would. Modal
// windows are driven by steps that a thread timer runs inside their loops.
#include "setup/wizard/install_forms_win.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "framework/application.h"
#include "setup/base/exceptions.h"
#include "setup/base/text_routines.h"
#include "setup/base/windows_routines_win.h"
#include "setup/paths/path_specifiers.h"
#include "setup/wizard/folder_browser_win.h"
#include "tests/framework/gui_support.h"
#include "tests/setup/archive/win32_world.h"
#include "tests/setup/install/install_test_support.h"
#include "tests/support/screenshot.h"

namespace setup {
namespace {

// Steps run one per timer tick, in whatever modal loop is up; a step with a
// condition waits for it (a window that is still coming up), for ten
// seconds at most, and then runs to report what it finds.
class StepRunner {
 public:
  StepRunner() { timer_ = SetTimer(nullptr, 0, 150, Tick); }
  ~StepRunner() {
    KillTimer(nullptr, timer_);
    Queue().clear();
  }
  StepRunner(const StepRunner&) = delete;
  StepRunner& operator=(const StepRunner&) = delete;
  void Then(std::function<void()> step, std::function<bool()> ready = nullptr) {
    Queue().push_back({std::move(step), std::move(ready)});
  }
  bool Done() const { return Queue().empty(); }

 private:
  struct Step {
    std::function<void()> run;
    std::function<bool()> ready;
  };
  static std::deque<Step>& Queue() {
    static std::deque<Step> queue;
    return queue;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    static int waited = 0;
    if (Queue().empty()) return;
    if (Queue().front().ready && !Queue().front().ready() && ++waited < 66) return;
    waited = 0;
    auto step = std::move(Queue().front().run);
    Queue().pop_front();
    step();
  }
  UINT_PTR timer_ = 0;
};

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The first visible child of the class (and text, when given).
HWND Child(HWND parent, const std::string& className, const std::string* text = nullptr) {
  struct Search {
    std::string className;
    const std::string* text;
    HWND found = nullptr;
  } search{className, text};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) {
        auto* s = reinterpret_cast<Search*>(data);
        if (!IsWindowVisible(child) || lstrcmpiA(ClassOf(child).c_str(), s->className.c_str()) != 0)
          return TRUE;
        if (s->text && TextOf(child) != *s->text) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Button(HWND parent, const std::string& caption) { return Child(parent, "Button", &caption); }

// The shell's folder browser up on this thread.
HWND Browser() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) {
        if (ClassOf(window) != "#32770" || !IsWindowVisible(window) || !Child(window, "SysTreeView32"))
          return TRUE;
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

bool BrowserUp() { return Browser() != nullptr; }

// Whether the browser shows the path edit and the create button we add.
void ExpectExtras(HWND browser, bool shown) {
  EXPECT_EQ(Child(browser, "Edit") != nullptr, shown);
  EXPECT_EQ(Button(browser, "Make New Folder") != nullptr, shown);
}

std::string SelectedItemText(HWND browser) {
  HWND tree = Child(browser, "SysTreeView32");
  char text[MAX_PATH] = {};
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return text;
}

// Selects the folder as a user would find it in the tree. Wine's browser
// sometimes misses a folder on the first request and finds it on the next.
void SelectIn(HWND browser, const std::string& folder) {
  const std::string name = folder.substr(folder.find_last_of('\\') + 1);
  for (int i = 0; i < 5 && SelectedItemText(browser) != name; ++i)
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
  EXPECT_EQ(SelectedItemText(browser), name);
}

TBrowserRect ClientRectOf(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right, r.bottom};
}

// Paints the window now (without serving other messages, which would run
// the next steps inside this one) and saves what the screen shows.
void Shot(HWND window, const std::string& file) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_TRUE(::test_support::SaveBitmap(file, ::test_support::CaptureScreen(r))) << file;
}

void Type(HWND edit, const std::string& text) {
  SetWindowTextA(edit, text.c_str());
  SendMessageA(edit, WM_KEYUP, VK_END, 0xC0000001);
}

int BarPosition(fw::TProgressBar* bar) {
  return static_cast<int>(SendMessageA(bar->Handle(), PBM_GETPOS, 0, 0));
}

std::string TempFolder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  char longPath[MAX_PATH];
  GetLongPathNameA(temp, longPath, MAX_PATH);
  std::string path = RemoveBackslash(longPath) + "\\" + name + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

class InstallForms : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureStandardSpecifiers(&owner);
    install = new test_support::StandInInstall(&owner);
    base = TempFolder("install_forms_");
    // Each step of progress comes a second after the one before, so the copy
    // form shows every one; the pace itself has a test of its own.
    CopyFormClock() = [this] { return now += 1000; };
  }
  void TearDown() override {
    CopyFormClock() = [] { return static_cast<std::uint32_t>(GetTickCount()); };
    UserAbortQuery() = nullptr;
    CopyAbortFlags() = {};
    archive_test::DeleteTree(base);
  }
  TDialogManager* Manager(TManagerType type, const char* name) {
    auto* manager = new TDialogManager(&owner);
    manager->SetName(name);
    manager->ManagerType = type;
    manager->SetContainer(install);
    return manager;
  }
  fw::TComponent owner{nullptr};
  test_support::StandInInstall* install = nullptr;
  std::string base;
  std::uint32_t now = 0;
};

// --- Copy progress

TEST_F(InstallForms, CopyFormFollowsFileAndDownloadEventsAndClosesWhenTheCopyFinishes) {
  TDialogManager* manager = Manager(dmDuringCopyFiles, "CopyManager");
  auto* dlg = new TCopyFileDlg(&owner);
  EXPECT_EQ(dlg->DialogManager(), manager);  // found by its type
  EXPECT_EQ(dlg->Position, pdpBottomCenter);
  EXPECT_EQ(dlg->Width, 474);
  EXPECT_EQ(dlg->Height, 146);
  EXPECT_EQ(dlg->RelativeLeftOffset, 0);
  EXPECT_EQ(dlg->RelativeTopOffset, 30);

  TFileStatusParameter file;
  file.FileName = "C:\\Program Files\\Tallimo\\tallimo.exe";
  file.FilePercent = 40;
  file.TotalPercent = 25;
  install->Broadcast(install, ieFileStatus, &file);
  ASSERT_EQ(manager->DuringCopyForms().size(), 1u);
  auto* form = dynamic_cast<TCopyFileForm*>(manager->DuringCopyForms()[0]);
  ASSERT_NE(form, nullptr);
  HWND window = form->Handle();
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(TextOf(window), "Copying installation files");
  RECT r;
  GetWindowRect(window, &r);
  const TScreenPlace place = PlaceOnScreen(pdpBottomCenter, 0, 30, 474, 146, GetSystemMetrics(SM_CXSCREEN),
                                           GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CYCAPTION));
  EXPECT_EQ(r.left, place.Left);
  EXPECT_EQ(r.top, place.Top);
  EXPECT_EQ(r.right - r.left, 474);
  EXPECT_EQ(r.bottom - r.top, 146);
  EXPECT_EQ(BarPosition(form->ProgressBar1), 40);
  EXPECT_EQ(BarPosition(form->ProgressBar2), 25);
  EXPECT_EQ(form->lblCopyingFile->Text(), file.FileName);
  EXPECT_FALSE(form->TransferBitmap->Visible());
  Shot(window, "install_forms_copy.bmp");

  // Sizes from a wrong file list: the bars show 0..100.
  file.FilePercent = -3;
  file.TotalPercent = 130;
  install->Broadcast(install, ieFileStatus, &file);
  EXPECT_EQ(manager->DuringCopyForms().size(), 1u);  // the same form
  EXPECT_EQ(BarPosition(form->ProgressBar1), 0);
  EXPECT_EQ(BarPosition(form->ProgressBar2), 100);
  file.TotalPercent = 60;
  install->Broadcast(install, ieFileStatus, &file);

  TDownloadStatusParameter download;
  download.FileName = "tallimo2.cab";
  download.Percent = 70;
  install->Broadcast(install, ieDownloadStatus, &download);
  EXPECT_TRUE(form->TransferBitmap->Visible());
  EXPECT_EQ(BarPosition(form->ProgressBar1), 70);
  EXPECT_EQ(BarPosition(form->ProgressBar2), 60);  // the total bar keeps its value
  EXPECT_EQ(form->lblCopyingFile->Text(), "tallimo2.cab");
  Shot(window, "install_forms_download.bmp");

  // Cancel asks; a yes sets both abort flags and the form stays.
  bool archiveAbort = false, downloadAbort = false;
  CopyAbortFlags().Archive = [&] { return &archiveAbort; };
  CopyAbortFlags().Download = [&] { return &downloadAbort; };
  bool answer = false;
  int asked = 0;
  UserAbortQuery() = [&] {
    ++asked;
    return answer;
  };
  SendMessageA(form->CancelBtn->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(archiveAbort);
  EXPECT_FALSE(downloadAbort);
  answer = true;
  fwtest::PostKey(form->CancelBtn->Handle(), VK_ESCAPE);  // Esc is Cancel
  fwtest::PumpFor(200);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(archiveAbort);
  EXPECT_TRUE(downloadAbort);
  EXPECT_TRUE(IsWindowVisible(window));
  ASSERT_EQ(manager->DuringCopyForms().size(), 1u);

  install->Broadcast(install, ieCopyFinished, nullptr);
  EXPECT_TRUE(manager->DuringCopyForms().empty());
  EXPECT_FALSE(IsWindow(window));

  // The next copy gets a new form.
  install->Broadcast(install, ieFileStatus, &file);
  EXPECT_EQ(manager->DuringCopyForms().size(), 1u);
  install->Broadcast(install, ieCopyFinished, nullptr);
  delete dlg;
  // Without a registered form nothing is shown.
  install->Broadcast(install, ieFileStatus, &file);
  EXPECT_TRUE(manager->DuringCopyForms().empty());
}

// Counts the paints a window gets.
class PaintCounter {
 public:
  explicit PaintCounter(HWND window) : window_(window) {
    SetPropA(window, "PaintCounter", this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintCounter::Procedure)));
  }
  ~PaintCounter() {
    if (!IsWindow(window_)) return;
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropA(window_, "PaintCounter");
  }
  PaintCounter(const PaintCounter&) = delete;
  PaintCounter& operator=(const PaintCounter&) = delete;
  int paints = 0;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = static_cast<PaintCounter*>(GetPropA(window, "PaintCounter"));
    if (message == WM_PAINT) ++self->paints;
    return CallWindowProcA(self->previous_, window, message, w, l);
  }
  HWND window_;
  WNDPROC previous_ = nullptr;
};

TEST_F(InstallForms, CopyFormPaintsAtAPersonsPaceAndAlwaysShowsTheEndOfAFile) {
  TDialogManager* manager = Manager(dmDuringCopyFiles, "CopyManager");
  auto* dlg = new TCopyFileDlg(&owner);
  TFileStatusParameter file;
  file.FileName = "C:\\Program Files\\Tallimo\\tallimo.exe";
  now = 5000;
  CopyFormClock() = [this] { return now; };
  install->Broadcast(install, ieFileStatus, &file);
  ASSERT_EQ(manager->DuringCopyForms().size(), 1u);
  auto* form = dynamic_cast<TCopyFileForm*>(manager->DuringCopyForms()[0]);
  ASSERT_NE(form, nullptr);
  fwtest::PumpFor(100);
  PaintCounter counter(form->Handle());

  // A file of 400 blocks within 60 ms: nothing of it is painted...
  for (int block = 1; block <= 400; ++block) {
    file.FilePercent = block / 4;
    file.TotalPercent = block / 8;
    if (block % 100 == 0) now += 15;
    install->Broadcast(install, ieFileStatus, &file);
    fwtest::PumpFor(0);
  }
  EXPECT_EQ(counter.paints, 0);
  EXPECT_EQ(BarPosition(form->ProgressBar1), 0);
  // ...until the interval has passed,
  now += 20;
  install->Broadcast(install, ieFileStatus, &file);
  fwtest::PumpFor(0);
  EXPECT_EQ(counter.paints, 1);
  EXPECT_EQ(BarPosition(form->ProgressBar1), 100);
  EXPECT_EQ(BarPosition(form->ProgressBar2), 50);
  // and the end of the file is shown at once.
  file.TotalPercent = 51;
  file.Stats.EntryFinished = true;
  install->Broadcast(install, ieFileStatus, &file);
  fwtest::PumpFor(0);
  EXPECT_EQ(counter.paints, 2);
  EXPECT_EQ(BarPosition(form->ProgressBar2), 51);
  install->Broadcast(install, ieCopyFinished, nullptr);
  delete dlg;
}

// --- Disk change

TChangeDiskForm* ShownDiskForm() {
  for (TBasePembrinForm* form : AllPembrinForms())
    if (auto* disk = dynamic_cast<TChangeDiskForm*>(form)) return disk;
  return nullptr;
}

// The form is up and has been prepared (its translation serves messages
// before the form shows, and steps may run then).
bool DiskFormUp() {
  TChangeDiskForm* form = ShownDiskForm();
  return form && IsWindowVisible(form->Handle()) && !Browser();
}

class DiskChange : public InstallForms {
 protected:
  void SetUp() override {
    InstallForms::SetUp();
    manager = Manager(dmChangeDisk, "DiskManager");
    dlg = new TChangeDiskDlg(&owner);
    file = new test_support::StandInFile(&owner);
    disk.Disk = 3;
    disk.Path = "A:\\";
  }
  void TearDown() override {
    SetTranslateHook(nullptr);
    InstallForms::TearDown();
  }
  void Show() {
    TEventList list{file, &disk};
    install->Broadcast(install, ieChangeDisk, &list);
  }
  // Presses a button of the disk form.
  void Press(const std::string& caption) {
    steps.Then(
        [caption] {
          ASSERT_NE(ShownDiskForm(), nullptr);
          HWND button = Button(ShownDiskForm()->Handle(), caption);
          ASSERT_NE(button, nullptr) << caption;
          SendMessageA(button, BM_CLICK, 0, 0);
        },
        DiskFormUp);
  }
  StepRunner steps;
  TDialogManager* manager = nullptr;
  TChangeDiskDlg* dlg = nullptr;
  test_support::StandInFile* file = nullptr;
  TDiskParameter disk;
};

TEST_F(DiskChange, AsksForTheDiskAndProceedReturnsTheBrowsedFolderInTheParameter) {
  EXPECT_EQ(dlg->DialogManager(), manager);
  const std::string other = base + "\\disk3";
  CreateDirectoryA(other.c_str(), nullptr);
  steps.Then(
      [] {
        TChangeDiskForm* form = ShownDiskForm();
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(TextOf(form->Handle()), "Setup needs the next disk");
        EXPECT_EQ(form->PromptDiskLabel->Text(), "Please insert disk number 3");
        EXPECT_EQ(form->PathEdit->Text(), "A:\\");
        EXPECT_TRUE(form->PathEdit->ReadOnly());
        EXPECT_EQ(GetFocus(), form->InstallBtn->Handle());
        Shot(form->Handle(), "install_forms_disk.bmp");
      },
      DiskFormUp);
  Press("&Browse...");
  // The browser without its extras: select the other folder and press OK.
  steps.Then(
      [other] {
        HWND browser = Browser();
        ASSERT_NE(browser, nullptr);
        ExpectExtras(browser, false);
        SelectIn(browser, other);
        SendMessageA(GetDlgItem(browser, IDOK), BM_CLICK, 0, 0);
      },
      BrowserUp);
  steps.Then([other] { EXPECT_EQ(ShownDiskForm()->PathEdit->Text(), other); }, DiskFormUp);
  Press("Proceed");
  EXPECT_NO_THROW(Show());
  EXPECT_TRUE(steps.Done());
  EXPECT_EQ(disk.Path, other);  // read from the parameter after the form closed
  EXPECT_EQ(file->Tag, 1);      // the file's own prompt stays away
  EXPECT_EQ(ShownDiskForm(), nullptr);
  EXPECT_EQ(CurrentDialogManager(), nullptr);

  // Browse cancelled: the path stays.
  Press("&Browse...");
  steps.Then([] { SendMessageA(GetDlgItem(Browser(), IDCANCEL), BM_CLICK, 0, 0); }, BrowserUp);
  steps.Then([other] { EXPECT_EQ(ShownDiskForm()->PathEdit->Text(), other); }, DiskFormUp);
  Press("Proceed");
  EXPECT_NO_THROW(Show());
  EXPECT_EQ(disk.Path, other);
}

TEST_F(DiskChange, CancelAnsweredNoKeepsTheFormYesEndsTheInstallation) {
  bool answer = false;
  int asked = 0;
  UserAbortQuery() = [&] {
    ++asked;
    return answer;
  };
  Press("Cancel");
  steps.Then(
      [&] {
        EXPECT_NE(ShownDiskForm(), nullptr);
        EXPECT_TRUE(IsWindowVisible(ShownDiskForm()->Handle()));
        answer = true;
      },
      DiskFormUp);
  Press("Cancel");
  EXPECT_THROW(Show(), EAIUserAbort);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(ShownDiskForm(), nullptr);
  EXPECT_EQ(CurrentDialogManager(), nullptr);
}

std::string translation;
std::string TranslateForTest(const std::string& english) {
  return english == "Please insert disk number %d" ? translation : english;
}

TEST_F(DiskChange, PromptInTheTranslatedWordingUnlessItDoesNotFitTheNumber) {
  struct Case {
    const char* Translation;
    const char* Shown;
  } cases[] = {
      {"Bitte Diskette %d einlegen", "Bitte Diskette 3 einlegen"},
      {"Bitte Diskette %s einlegen", "Please insert disk number 3"},
      {"Diskette %d von %d", "Please insert disk number 3"},
      {"Diskette einlegen", "Diskette einlegen"},  // a number left out is the translation's choice
  };
  SetTranslateHook(TranslateForTest);
  for (const Case& c : cases) {
    translation = c.Translation;
    std::string shown;
    steps.Then([&] { shown = ShownDiskForm()->PromptDiskLabel->Text(); }, DiskFormUp);
    Press("Proceed");
    EXPECT_NO_THROW(Show());
    EXPECT_EQ(shown, c.Shown) << c.Translation;
  }
}

TEST_F(DiskChange, ParameterErrorsShowNoForm) {
  TMessageParameter wrong("x");
  TEventList noDisk{file, &wrong};
  TEventList noFile{&wrong, &disk};
  TEventList one{file};
  struct Case {
    TEventObject* Parameter;
    const char* Message;
  } cases[] = {
      {nullptr, "The ParameterObject is Nil in the TDialogManager. Cannot show the change disk form"},
      {&disk, "TChangeDiskDlg--PO is not a TList object"},
      {&one, "TChangeDiskDlg--Not engouh parameters for status event"},
      {&noFile, "TChangeDiskDlg says bad first parameter"},
      {&noDisk, "TChangeDiskDlg says bad second parameter"},
  };
  for (const Case& c : cases) {
    try {
      install->Broadcast(install, ieChangeDisk, c.Parameter);
      ADD_FAILURE() << c.Message;
    } catch (const fw::Exception& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
    EXPECT_EQ(ShownDiskForm(), nullptr);
    EXPECT_EQ(CurrentDialogManager(), nullptr);
  }
  // Without a registered form the event shows nothing.
  delete dlg;
  EXPECT_NO_THROW(Show());
}

// --- Status messages

TEST_F(InstallForms, NestedStatusMessagesShowBThenAThenNothing) {
  auto* status = new TInstallStatusDlg(&owner);
  status->SetName("StatusDlg");
  status->SetContainer(install);
  EXPECT_EQ(status->DialogManager(), nullptr);
  TMessageParameter a("Reading the archive information...");
  TMessageParameter b("Checking the files of the second disk of the installation...");
  install->Broadcast(install, ieStatusText, &a);
  TInstallStatusForm* form = status->Form();
  ASSERT_NE(form, nullptr);
  HWND window = form->Handle();
  // The window fits the text: its measured width plus the panels' and the
  // label's left offsets and a margin.
  auto expectFits = [&](const std::string& text) {
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(form->lblMessage->Text(), text);
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, form->Font().Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    EXPECT_EQ(form->pnlBack->Left(), 0);
    EXPECT_EQ(form->pnlMessage->Left(), 50);
    EXPECT_EQ(form->lblMessage->Left(), 5);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, size.cx + 0 + 50 + 5 + 25) << text;
    EXPECT_EQ(r.left, DivideRoundedEven(GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left), 2));
    EXPECT_EQ(r.bottom - r.top, 58);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION, 0);
  };
  expectFits(a.Text);
  install->Broadcast(install, ieStatusText, &b);
  EXPECT_EQ(status->Form(), form);  // created once
  expectFits(b.Text);
  Shot(window, "install_forms_status.bmp");
  install->Broadcast(install, ieStatusClose, nullptr);
  expectFits(a.Text);
  install->Broadcast(install, ieStatusClose, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_NO_THROW(install->Broadcast(install, ieStatusClose, nullptr));  // a close too many only hides
  EXPECT_FALSE(IsWindowVisible(window));
  install->Broadcast(install, ieStatusText, &b);
  EXPECT_EQ(status->Form(), form);
  expectFits(b.Text);
  install->Broadcast(install, ieStatusClose, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));

  // A managed status component ignores the events.
  TDialogManager* manager = Manager(dmBeforeInstall, "Before");
  status->SetDialogManager(manager);
  install->Broadcast(install, ieStatusText, &a);
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(InstallForms, StatusParameterErrors) {
  auto* status = new TInstallStatusDlg(&owner);
  status->SetName("StatusDlg");
  status->SetContainer(install);
  TDiskParameter wrong;
  struct Case {
    TEventObject* Parameter;
    const char* Message;
  } cases[] = {
      {nullptr, "StatusDlg got a nil PO parameter"},
      {&wrong, "The PO object passed to StatusDlg is not a TMessageParameter object"},
  };
  for (const Case& c : cases) {
    try {
      install->Broadcast(install, ieStatusText, c.Parameter);
      ADD_FAILURE() << c.Message;
    } catch (const IException& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
  EXPECT_EQ(status->Form(), nullptr);
}

// --- Folder browser

class FolderBrowser : public InstallForms {
 protected:
  // Runs Execute with the steps and returns its result.
  bool Run() { return dialog.Execute(); }
  StepRunner steps;
  TOpenFolderDialog dialog{nullptr};
};

TEST_F(FolderBrowser, AddsItsControlsInTheBrowsersClientAreaAndCreatesATypedPath) {
  dialog.Directory = base + "\\missing\\levels";  // opens on base
  const std::string typed = base + "\\typed\\deeper";
  steps.Then(
      [&] {
        HWND browser = Browser();
        ASSERT_NE(browser, nullptr);
        HWND edit = Child(browser, "Edit");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(TextOf(edit), base);  // the deepest existing folder
        HWND create = Button(browser, "Make New Folder");
        ASSERT_NE(create, nullptr);
        const std::string title = "Browse for Folder";
        EXPECT_NE(Child(browser, "Static", &title), nullptr);
        // The create button one pitch left of OK, from the tree's left; the edit
        // under the shortened tree.
        HWND tree = Child(browser, "SysTreeView32");
        const TBrowserRect ok = ClientRectOf(browser, GetDlgItem(browser, IDOK));
        const TBrowserRect cancel = ClientRectOf(browser, GetDlgItem(browser, IDCANCEL));
        const TBrowserRect treeNow = ClientRectOf(browser, tree);
        const TBrowserRect button = ClientRectOf(browser, create);
        const TBrowserRect field = ClientRectOf(browser, edit);
        EXPECT_EQ(button.Left, treeNow.Left);
        EXPECT_EQ(button.Top, ok.Top - 22);
        EXPECT_EQ(button.Right, ok.Right - (cancel.Left - ok.Left));
        EXPECT_EQ(field.Left, treeNow.Left);
        EXPECT_EQ(field.Top, treeNow.Bottom + 15);
        EXPECT_EQ(field.Right, treeNow.Right);
        EXPECT_EQ(GetWindowLongA(tree, GWL_STYLE) & TVS_SHOWSELALWAYS, TVS_SHOWSELALWAYS);
        // Everything inside the client area, nothing over OK.
        RECT client;
        GetClientRect(browser, &client);
        EXPECT_GE(button.Top, 0);
        EXPECT_LE(field.Bottom, client.bottom);
        EXPECT_EQ(button.Bottom, ok.Bottom - 22);
        Shot(browser, "install_forms_folder_browser.bmp");
        Type(edit, typed);
        SendMessageA(GetDlgItem(browser, IDOK), BM_CLICK, 0, 0);
      },
      BrowserUp);
  EXPECT_TRUE(Run());
  EXPECT_TRUE(steps.Done());
  EXPECT_EQ(dialog.Directory, typed);
  EXPECT_TRUE(FolderExists(typed));
}

TEST_F(FolderBrowser, CreateButtonAsksForANameCreatesItAndReopensOnIt) {
  dialog.Directory = base;
  fwtest::BoxAnswerer boxes(fw::mrOk);
  auto nameAndOk = [this](const std::string& name) {
    steps.Then([] { SendMessageA(Button(Browser(), "Make New Folder"), BM_CLICK, 0, 0); }, BrowserUp);
    steps.Then(
        [name] {
          HWND box = FindWindowA(nullptr, "Make New Folder");
          ASSERT_NE(box, nullptr);
          HWND prompt = Child(box, "Edit");
          ASSERT_NE(prompt, nullptr);
          SetWindowTextA(prompt, name.c_str());
          SendMessageA(Button(box, "OK"), BM_CLICK, 0, 0);
        },
        [] { return IsWindowVisible(FindWindowA(nullptr, "Make New Folder")) != FALSE; });
  };
  nameAndOk("..\\outside");  // refused: one level under the current folder only
  steps.Then(
      [&] {
        EXPECT_EQ(boxes.boxes.size(), 1u);
        EXPECT_FALSE(FolderExists(base + "\\..\\outside"));
        EXPECT_EQ(TextOf(Child(Browser(), "Edit")), base);  // still open where it was
      },
      BrowserUp);
  nameAndOk("Fresh");
  steps.Then(
      [&] {
        // Opened again, on the new folder.
        HWND browser = Browser();
        ASSERT_NE(browser, nullptr);
        EXPECT_EQ(TextOf(Child(browser, "Edit")), base + "\\Fresh");
        SendMessageA(GetDlgItem(browser, IDOK), BM_CLICK, 0, 0);
      },
      [&] { return BrowserUp() && TextOf(Child(Browser(), "Edit")) == base + "\\Fresh"; });
  EXPECT_TRUE(Run());
  EXPECT_TRUE(steps.Done());
  EXPECT_EQ(dialog.Directory, base + "\\Fresh");
  EXPECT_TRUE(FolderExists(base + "\\Fresh"));
}

TEST_F(FolderBrowser, CreateButtonWithATypedMissingPathCreatesItUnlessVetoed) {
  dialog.Directory = base;
  const std::string typed = base + "\\typed";
  bool allow = false;
  int asked = 0;
  dialog.OnCreateFolder = [&](TOFDCreateButton* sender, bool& allowed) {
    EXPECT_EQ(sender, &dialog.CreateButton());
    ++asked;
    allowed = allow;
  };
  auto typeAndCreate = [&] {
    steps.Then(
        [&] {
          Type(Child(Browser(), "Edit"), typed);
          SendMessageA(Button(Browser(), "Make New Folder"), BM_CLICK, 0, 0);
        },
        BrowserUp);
  };
  typeAndCreate();  // vetoed: nothing asked, nothing created
  steps.Then(
      [&] {
        EXPECT_EQ(asked, 1);
        EXPECT_FALSE(FolderExists(typed));
        allow = true;
      },
      BrowserUp);
  typeAndCreate();  // a typed missing path is created without asking for a name
  steps.Then([&] { SendMessageA(GetDlgItem(Browser(), IDOK), BM_CLICK, 0, 0); },
             [&] { return BrowserUp() && TextOf(Child(Browser(), "Edit")) == typed; });
  EXPECT_TRUE(Run());
  EXPECT_TRUE(steps.Done());
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(dialog.Directory, typed);
  EXPECT_TRUE(FolderExists(typed));
}

// A path put in the edit without any key (pasted from its menu, or Enter
// pressed before the last key came up) is the one OK returns and the create
// button makes.
TEST_F(FolderBrowser, OkAndTheCreateButtonTakeThePathTheEditShows) {
  struct Case {
    const char* Leaf;
    bool Create;
  } cases[] = {{"pasted", false}, {"pasted for create", true}};
  for (const Case& c : cases) {
    dialog.Directory = base;
    const std::string shown = base + "\\" + c.Leaf + "\\deeper";
    steps.Then(
        [&] {
          HWND browser = Browser();
          ASSERT_NE(browser, nullptr);
          SendMessageA(Child(browser, "Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
          if (c.Create)
            SendMessageA(Button(browser, "Make New Folder"), BM_CLICK, 0, 0);
          else
            SendMessageA(GetDlgItem(browser, IDOK), BM_CLICK, 0, 0);
        },
        BrowserUp);
    if (c.Create)
      steps.Then([] { SendMessageA(GetDlgItem(Browser(), IDOK), BM_CLICK, 0, 0); },
                 [&] { return BrowserUp() && TextOf(Child(Browser(), "Edit")) == shown; });
    EXPECT_TRUE(Run()) << c.Leaf;
    EXPECT_TRUE(steps.Done()) << c.Leaf;
    EXPECT_EQ(dialog.Directory, shown) << c.Leaf;
    EXPECT_TRUE(FolderExists(shown)) << c.Leaf;
    EXPECT_FALSE(FolderExists(base + "\\deeper")) << c.Leaf;
  }
}

// A path without its drive and root would be made under whatever folder is
// current: it is refused with a message, and nothing is made.
TEST_F(FolderBrowser, APathThatIsNotFullIsRefused) {
  fwtest::BoxAnswerer boxes(fw::mrOk);
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  struct Case {
    std::string Typed;
    std::string WouldBe;  // where a relative path would have been made
    bool Create;
  } cases[] = {{"relfolder", std::string(current) + "\\relfolder", false},
               {"C:relfolder", "C:relfolder", false},
               {"\\relfolder", "\\relfolder", false},
               {"relfolder", std::string(current) + "\\relfolder", true}};
  for (const Case& c : cases) {
    boxes.boxes.clear();
    dialog.Directory = base;
    steps.Then(
        [&] {
          HWND browser = Browser();
          ASSERT_NE(browser, nullptr);
          SendMessageA(Child(browser, "Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.Typed.c_str()));
          if (c.Create)
            SendMessageA(Button(browser, "Make New Folder"), BM_CLICK, 0, 0);
          else
            SendMessageA(GetDlgItem(browser, IDOK), BM_CLICK, 0, 0);
        },
        BrowserUp);
    steps.Then(
        [&] {
          // Still open, on what the user typed.
          EXPECT_EQ(TextOf(Child(Browser(), "Edit")), c.Typed);
          SendMessageA(GetDlgItem(Browser(), IDCANCEL), BM_CLICK, 0, 0);
        },
        BrowserUp);
    EXPECT_FALSE(Run()) << c.Typed;
    EXPECT_TRUE(steps.Done()) << c.Typed;
    ASSERT_EQ(boxes.boxes.size(), 1u) << c.Typed;
    EXPECT_NE(boxes.boxes[0].Text.find("full path"), std::string::npos) << boxes.boxes[0].Text;
    EXPECT_NE(boxes.boxes[0].Text.find(c.Typed), std::string::npos) << boxes.boxes[0].Text;
    EXPECT_EQ(GetFileAttributesA(c.WouldBe.c_str()), INVALID_FILE_ATTRIBUTES) << c.WouldBe;
    EXPECT_EQ(dialog.Directory, base);
    RemoveDirectoryA(c.WouldBe.c_str());
  }
}

// The create button clicks OK to reopen on the new folder; with OK disabled
// the browser stays as it is, and a later Cancel is a cancel.
TEST_F(FolderBrowser, CancelAfterACreateWhileOkIsDisabledIsNoChoice) {
  dialog.Directory = base;
  const std::string typed = base + "\\made";
  HWND first = nullptr;
  bool reopened = false;
  steps.Then(
      [&] {
        first = Browser();
        ASSERT_NE(first, nullptr);
        SendMessageA(first, BFFM_ENABLEOK, 0, FALSE);
        ASSERT_FALSE(IsWindowEnabled(GetDlgItem(first, IDOK)));
        Type(Child(first, "Edit"), typed);
        SendMessageA(GetDlgItem(first, 0x3A01), BM_CLICK, 0, 0);
      },
      BrowserUp);
  steps.Then(
      [&] {
        EXPECT_TRUE(FolderExists(typed));
        EXPECT_EQ(Browser(), first) << "the browser closed and opened again";
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Browser(), IDOK)));
        SendMessageA(GetDlgItem(Browser(), IDCANCEL), BM_CLICK, 0, 0);
      },
      BrowserUp);
  // Only when the browser comes back after that Cancel.
  steps.Then(
      [&] {
        reopened = true;
        SendMessageA(GetDlgItem(Browser(), IDCANCEL), BM_CLICK, 0, 0);
      },
      BrowserUp);
  EXPECT_FALSE(Run());
  EXPECT_FALSE(reopened);
  EXPECT_EQ(dialog.Directory, base);
}

TEST_F(FolderBrowser, WithoutExtrasTheSelectedPathIsReturnedAndNothingCreated) {
  const std::string sub = base + "\\sub";
  CreateDirectoryA(sub.c_str(), nullptr);
  dialog.ShowCreateButton = false;
  dialog.ShowPathEdit = false;
  dialog.Directory = sub + "\\not\\there";
  steps.Then(
      [] {
        HWND browser = Browser();
        ASSERT_NE(browser, nullptr);
        ExpectExtras(browser, false);
        SendMessageA(GetDlgItem(browser, IDOK), BM_CLICK, 0, 0);
      },
      BrowserUp);
  EXPECT_TRUE(Run());
  EXPECT_EQ(dialog.Directory, sub);
  EXPECT_FALSE(FolderExists(sub + "\\not"));
}

TEST_F(FolderBrowser, CancelAndTheEmptyRootAreNoChoice) {
  struct Case {
    bool Extras;
    bool Cancel;
  } cases[] = {{true, true}, {true, false}, {false, false}};
  for (const Case& c : cases) {
    dialog.ShowCreateButton = dialog.ShowPathEdit = c.Extras;
    dialog.Directory = base;
    steps.Then(
        [&] {
          HWND browser = Browser();
          ASSERT_NE(browser, nullptr);
          if (!c.Cancel) {
            // The shell's root, which has no path.
            SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(""));
            if (c.Extras) EXPECT_EQ(TextOf(Child(browser, "Edit")), "");
          }
          SendMessageA(GetDlgItem(browser, c.Cancel ? IDCANCEL : IDOK), BM_CLICK, 0, 0);
        },
        BrowserUp);
    EXPECT_FALSE(Run()) << c.Extras << c.Cancel;
    EXPECT_TRUE(steps.Done());
    EXPECT_EQ(dialog.Directory, base);
  }
}

TEST_F(FolderBrowser, IsTheSetupTypePagesChooser) {
  ASSERT_TRUE(FolderChooser());
  steps.Then(
      [] {
        HWND browser = Browser();
        ASSERT_NE(browser, nullptr);
        ExpectExtras(browser, true);
        SendMessageA(GetDlgItem(browser, IDOK), BM_CLICK, 0, 0);
      },
      BrowserUp);
  std::string chosen;
  EXPECT_TRUE(FolderChooser()(base, chosen));
  EXPECT_EQ(chosen, base);
}

}  // namespace
}  // namespace setup
