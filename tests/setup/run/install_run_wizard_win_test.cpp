// The wizards of an install run, in real windows: the pages show the
// installer's picture, and a failure inside a page ends the wizard and goes
// to the run's exception handler once.
#include "setup/run/install_run_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/application.h"
#include "setup/wizard/wizard_win.h"
#include "tests/setup/wizard/wizard_test_support.h"
#include "tests/support/message_box_answers.h"

namespace setup {
namespace {

using namespace wizard_test;

// A page after the setup type that counts how often it was shown.
class LaterPage : public TBaseInstallForm {
 public:
  explicit LaterPage(fw::TComponent* owner) : TBaseInstallForm(owner) {
    fw::FormLoading loading(*this);
    SetCaption("Later");
    BuildLayout(false);
    loading.End();
  }
  void PreparePage() override {
    ++Shown;
    PrepareButtons();
  }
  static inline int Shown = 0;
};

class LaterDlg : public TCustomBaseInstallDlg {
 public:
  explicit LaterDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
    Order = 50;
    SetDialogManager(FindDialogManager(dmBeforeInstall));
    RegisterPage();
  }
  TFormClass FormClass() const override { return FormClassOf<LaterPage>(); }
};

// A program's form with its install: a grab call that logs every event, the
// before-install and failure managers, the setup-type page and a page after it.
class RunForm : public fw::TForm {
 public:
  explicit RunForm(const std::string& destination) : fw::TForm(nullptr) {
    fw::FormLoading loading(*this);
    SetCaption("Run form");
    Install = new TInstall(this);
    Install->SetName("Install1");
    Install->RunAutomatic = false;
    Install->SetUseLoadingProgram(false);
    Install->SetAutoMaximizeWindow(false);
    Install->SetInstallTypes(InstallTypeSet({itDefault, itFull}));
    Install->SetDestDirType(nullptr);
    Install->SetDestDir(destination);
    Install->OnBeforeProcess = [this](TInstallContainer*) { ++Processed; };
    // Ended by the run's failure path, the test program goes on.
    Install->OnBeforeShutdown = [](TInstall*, bool& quit) { quit = false; };
    // Before the managers, so that it logs an event before a wizard shows.
    auto* grab = new TGrabCall(this);
    grab->SetContainer(Install);
    grab->OnCall = [this](TInstallContainer*, std::int32_t call, TEventObject*) { Events.push_back(call); };
    for (TManagerType type : {dmBeforeInstall, dmAfterBadInstall}) {
      auto* manager = new TDialogManager(this);
      manager->ManagerType = type;
      manager->SetContainer(Install);
    }
    (new TInstallTypeDlg(this))->SetContainer(Install);
    new LaterDlg(this);
    new TBadInstallationDlg(this);
    loading.End();
  }
  TInstall* Install = nullptr;
  std::vector<int> Events;
  int Processed = 0;
};

class RunWizard : public ::testing::Test {
 protected:
  void SetUp() override {
    arguments_ = RunSeams().Arguments;
    RunSeams().Arguments = [] { return std::vector<std::string>{}; };
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    destination = std::string(temp) + "run_wizard_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(destination.c_str(), nullptr);
    form = new RunForm(destination);
    LaterPage::Shown = 0;
    timer_ = SetTimer(nullptr, 0, 150, RunStep);
  }
  void TearDown() override {
    KillTimer(nullptr, timer_);
    Steps().clear();
    FolderChooser() = nullptr;
    form->Install->RemoveInstanceKey();  // a failed run keeps it
    delete form;
    RunSeams().Arguments = arguments_;
    RemoveDirectoryA(destination.c_str());
  }
  void Press(const std::string& caption) {
    Steps().push_back([caption] { Click(caption); });
  }
  // Runs the install as the form's first activation does: in a call posted
  // to the form, whose exceptions go to the application's handler.
  void RunInstall() {
    bool done = false;
    form->PostCall([this, &done] {
      struct Done {
        bool& flag;
        ~Done() { flag = true; }
      } mark{done};
      form->Install->Process();
    });
    while (!done) fw::Application()->HandleMessage();
  }
  std::vector<int> EventsAfter(int code) const {
    const auto& events = form->Events;
    const auto at = std::find(events.begin(), events.end(), code);
    return at == events.end() ? std::vector<int>{} : std::vector<int>(at + 1, events.end());
  }

  RunForm* form = nullptr;
  std::string destination;

 private:
  decltype(InstallRunSeams::Arguments) arguments_;
  UINT_PTR timer_ = 0;
};

// The screen pixel at a point of a page's picture (placed centred in its
// image control).
COLORREF ShownPixel(TBaseInstallForm& page, int x, int y) {
  const fw::TImage& image = *page.ThemeBitmap;
  fw::TBitmap& picture = page.ThemeBitmap->Picture();
  POINT at{image.Left() + (image.Width() - picture.Width()) / 2 + x,
           image.Top() + (image.Height() - picture.Height()) / 2 + y};
  ClientToScreen(page.LeftPanel->Handle(), &at);
  HDC screen = GetDC(nullptr);
  const COLORREF pixel = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return pixel;
}

TEST_F(RunWizard, PagesWithoutAPictureShowTheInstallersAndOthersKeepTheirOwn) {
  fw::TBitmap& theme = form->Install->DialogThemeBitmap();
  ASSERT_EQ(theme.Width(), 117);  // the program's picture resource
  ASSERT_EQ(theme.Height(), 290);
  auto* welcome = new TWelcomeDlg(form);
  auto* licence = new TLicenseDlg(form);
  {
    fw::TBitmap red;
    red.SetSize(40, 60);
    red.Canvas().Brush.Color = RGB(255, 0, 0);
    const RECT all{0, 0, 40, 60};
    red.Canvas().FillRect(all);
    licence->SetThemeBitmap(red);
  }
  Steps().push_back(Waiting("Welcome", 20));
  Steps().push_back([welcome, &theme] {
    TBaseInstallForm* page = welcome->ShownForm();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->ThemeBitmap->Picture().Width(), 117);
    EXPECT_EQ(page->ThemeBitmap->Picture().Height(), 290);
    // Drawn as it is, down its diagonal; not just the panel's colour.
    int differ = 0, unlike = 0;
    for (int i = 0; i < 10; ++i) {
      const int x = 5 + i * 11, y = 10 + i * 28;
      const COLORREF shown = ShownPixel(*page, x, y);
      differ += shown != GetPixel(theme.Canvas().Handle(), x, y);
      unlike += shown != GetSysColor(COLOR_BTNFACE);
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(unlike, 0);
  });
  Press("Next >");
  Steps().push_back(Waiting("Software license agreement", 20));
  Steps().push_back([licence] {
    TBaseInstallForm* page = licence->ShownForm();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->ThemeBitmap->Picture().Width(), 40);
    EXPECT_EQ(page->ThemeBitmap->Picture().Height(), 60);
    EXPECT_EQ(ShownPixel(*page, 20, 30), RGB(255, 0, 0));
  });
  for (int i = 0; i < 3; ++i) Press("Next >");  // licence, setup type, the later page
  EXPECT_NO_THROW(form->Install->Broadcast(form->Install, ieBeforeInstallWizard, nullptr));
  EXPECT_TRUE(Steps().empty());
  EXPECT_EQ(LaterPage::Shown, 1);
}

TEST_F(RunWizard, AChooserThatThrowsEndsTheWizardAndTheRunThroughItsHandlerOnce) {
  struct Case {
    bool Throws;
  } cases[] = {{true}, {false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Throws ? "the chooser throws" : "the chooser answers");
    if (&c != cases) {  // a new program form for each case
      TearDown();
      SetUp();
    }
    FolderChooser() = [&](const std::string&, std::string& chosen) {
      if (c.Throws) throw fw::Exception("The folder browser failed");
      chosen = destination + "\\";
      return true;
    };
    int handled = 0;
    const fw::TExceptionEvent runs = fw::Application()->OnException;
    fw::Application()->OnException = [&handled, runs](fw::TComponent* sender, const std::exception& error) {
      ++handled;
      runs(sender, error);
    };
    fwtest::BoxAnswerer boxes(fw::mrOk);
    Steps().push_back(Waiting("Setup type", 20));
    Press("&Browse");
    if (c.Throws) {
      Steps().push_back(Waiting("Setup incomplete", 20));
      // The failure pages come after the wizard has gone, not inside it.
      Steps().push_back([] { EXPECT_EQ(FindWindowA(nullptr, "Setup type"), nullptr); });
      Press("Finish");
    } else {
      Press("Next >");
      Steps().push_back(Waiting("Later", 20));
      Press("Next >");
    }
    RunInstall();
    EXPECT_TRUE(Steps().empty());
    EXPECT_FALSE(form->Install->Running());
    EXPECT_EQ(CurrentDialogManager(), nullptr);
    EXPECT_EQ(WizardWindow(), nullptr);
    if (c.Throws) {
      EXPECT_EQ(handled, 1);
      EXPECT_EQ(EventsAfter(ieBeforeInstallWizard),
                (std::vector<int>{ieBadInstallNotify, ieAfterBadInstall}));
      ASSERT_EQ(boxes.boxes.size(), 1u);
      EXPECT_EQ(boxes.boxes[0].Text, "The folder browser failed.");
      EXPECT_EQ(LaterPage::Shown, 0);
      EXPECT_EQ(form->Processed, 0);
    } else {
      EXPECT_EQ(handled, 0);
      const std::vector<int> after = EventsAfter(ieBeforeInstallWizard);
      EXPECT_NE(std::find(after.begin(), after.end(), ieGoodInstallNotify), after.end());
      EXPECT_EQ(std::find(after.begin(), after.end(), ieBadInstallNotify), after.end());
      EXPECT_TRUE(boxes.boxes.empty());
      EXPECT_EQ(LaterPage::Shown, 1);
      EXPECT_EQ(form->Processed, 1);
      EXPECT_EQ(form->Install->DestDir(), destination);
    }
  }
}

}  // namespace
}  // namespace setup
