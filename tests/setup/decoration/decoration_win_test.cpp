// The backdrop and the 3D label on a real form, read back from the screen and
// saved as "setup_decorations.bmp" in the build folder.
#include "setup/decoration/decoration_win.h"

#include "setup/decoration/advertise_win.h"
#include "setup/base/exceptions.h"
#include "setup/paths/path_specifiers.h"
#include "tests/setup/install/install_test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "framework/form.h"
#include "tests/framework/gui_support.h"
#include "tests/support/screenshot.h"

namespace setup {
namespace {

std::uint32_t Dib(TDecorColor c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

class DecoratedForm : public fw::TForm {
 public:
  explicit DecoratedForm(fw::TComponent* owner) : fw::TForm(owner) {
    fw::FormLoading loading(*this);
    SetCaption("Decorations");
    SetBorderStyle(fw::TFormBorderStyle::bsSingle);
    SetClientWidth(400);
    SetClientHeight(256);
    backdrop = new TBackdrop(this);
    backdrop->SetParent(this);
    raised = new TRotate3DLabel(this);
    raised->SetParent(backdrop);
    raised->SetBounds(180, 20, 200, 40);
    raised->Font().SetHeight(-24);
    raised->Font().SetColor(fw::clNavy);
    raised->SetCaption("Quorvane");
    turned = new TRotate3DLabel(this);
    turned->SetParent(backdrop);
    turned->SetBounds(40, 40, 60, 200);
    turned->Font().SetHeight(-20);
    turned->Font().SetColor(fw::clYellow);
    turned->LabelStyle().SetAngle(90);
    turned->LabelStyle().SetAStyle3D(A3dShadowed);
    turned->LabelStyle().SetAHShadeOffSet(3);
    turned->LabelStyle().SetAVShadeOffSet(3);
    turned->SetAlignment(laCenter);
    turned->SetCaption("Setup");
    opaque = new TRotate3DLabel(this);
    opaque->SetParent(backdrop);
    opaque->SetBounds(180, 150, 200, 60);
    opaque->Font().SetHeight(-18);
    opaque->SetColor(fw::clWhite);
    opaque->LabelStyle().SetAngle(400);  // out of range: drawn level
    opaque->SetAlignment(laCenter);
    opaque->SetCaption("Opaque");
    loading.End();
  }
  TBackdrop* backdrop;
  TRotate3DLabel *raised, *turned, *opaque;
};

TEST(Decorations, BackdropRowsMatchTheBandsAndLabelsDrawOverThem) {
  DecoratedForm form(nullptr);
  form.SetBounds(0, 0, form.Width(), form.Height());
  form.Show();
  form.opaque->SetMyTransparent(false);
  EXPECT_EQ(form.opaque->LabelStyle().AStyle3D(), A3dNormal);  // at once, before any paint
  POINT origin{0, 0};
  RECT window{};
  ::test_support::Pixels pixels;
  auto at = [&](int x, int y) { return pixels.At(origin.x - window.left + x, origin.y - window.top + y); };
  for (int attempt = 0; attempt < 5 && (pixels.rgb.empty() || at(5, 0) != Dib(16711680)); ++attempt) {
    SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    form.Repaint();
    fwtest::PumpFor(300);
    GetWindowRect(form.Handle(), &window);
    origin = {0, 0};
    ClientToScreen(form.Handle(), &origin);
    pixels = ::test_support::CaptureScreen(window);
  }
  ASSERT_TRUE(::test_support::SaveBitmap("setup_decorations.bmp", pixels));

  const auto bands = GradientBands(GradientPlanFor(bdUp, 16711680, 0), 256);
  for (int y = 0; y < 256; ++y) {
    EXPECT_EQ(at(5, y), Dib(bands[y].Color)) << "row " << y;
    EXPECT_EQ(at(395, y), Dib(bands[y].Color)) << "row " << y;
  }

  auto count = [&](int left, int top, int right, int bottom, std::uint32_t colour) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += at(x, y) == colour;
    return n;
  };
  // Raised: white light pass, grey dark pass and the navy caption; the
  // gradient shows through around the letters.
  EXPECT_GT(count(180, 20, 380, 60, Dib(16777215)), 10);
  EXPECT_GT(count(180, 20, 380, 60, Dib(8421504)), 10);
  EXPECT_GT(count(180, 20, 380, 60, Dib(RGB(0, 0, 128))), 30);
  EXPECT_EQ(at(379, 21), Dib(bands[21].Color));
  // Turned a quarter: its yellow caption runs down, within its 60 pixels across.
  int yellowRows = 0;
  for (int y = 40; y < 240; ++y) yellowRows += count(40, y, 100, y + 1, Dib(RGB(255, 255, 0))) > 0;
  EXPECT_GT(yellowRows, 30);
  EXPECT_GT(count(40, 40, 100, 240, Dib(8421504)), 10);  // the shadow pass
  // Opaque: a white polygon behind black text, and no 3D passes.
  EXPECT_GT(count(180, 150, 380, 210, Dib(16777215)), 1000);
  EXPECT_EQ(at(182, 152), Dib(bands[152].Color));  // outside the polygon
  EXPECT_EQ(count(180, 150, 380, 210, Dib(8421504)), 0);
}

TEST(Decorations, OneMainInstancePerClass) {
  fw::TComponent owner(nullptr);
  auto* a = new TBackdrop(&owner);
  auto* b = new TBackdrop(&owner);
  a->SetTag(-1);
  EXPECT_EQ(TBackdrop::MainInstance(), a);
  b->SetTag(-1);
  EXPECT_EQ(TBackdrop::MainInstance(), b);
  EXPECT_EQ(a->Tag(), 0);
  b->SetTag(3);
  EXPECT_EQ(TBackdrop::MainInstance(), nullptr);
  a->SetTag(-1);
  delete a;
  EXPECT_EQ(TBackdrop::MainInstance(), nullptr);
}

// Tag is the framework's own field, seen alike through the component and
// through the decoration; -1 marks the one main instance of each class.
template <class Decoration>
void CheckTagAndMainInstance() {
  fw::TComponent owner(nullptr);
  auto* a = new Decoration(&owner);
  auto* b = new Decoration(&owner);
  fw::TComponent& base = *a;
  base.Tag = 5;
  EXPECT_EQ(a->Tag(), 5);
  a->SetTag(7);
  EXPECT_EQ(base.Tag, 7);
  a->SetTag(-1);
  EXPECT_EQ(Decoration::MainInstance(), a);
  EXPECT_EQ(base.Tag, -1);
  b->SetTag(-1);
  EXPECT_EQ(Decoration::MainInstance(), b);
  EXPECT_EQ(base.Tag, 0);
  delete b;
  EXPECT_EQ(Decoration::MainInstance(), nullptr);
}

TEST(Decorations, TagIsTheFrameworksOwnAndMarksTheMainInstance) {
  {
    SCOPED_TRACE("backdrop");
    CheckTagAndMainInstance<TBackdrop>();
  }
  {
    SCOPED_TRACE("rotated label");
    CheckTagAndMainInstance<TRotate3DLabel>();
  }
  {
    SCOPED_TRACE("advertise panel");
    CheckTagAndMainInstance<TAdvertisePanel>();
  }
}

class AdvertForm : public fw::TForm {
 public:
  AdvertForm(fw::TComponent* owner, TInstallContainer* install) : fw::TForm(owner) {
    fw::FormLoading loading(*this);
    SetCaption("Advertising");
    SetBounds(0, 0, 1000, 700);
    panel = new AdvertisePanelUnderTest(this);
    panel->SetName("AdvertisePanel1");
    panel->SetParent(this);
    for (fw::TColor colour : {fw::clRed, fw::clGreen, fw::clBlue}) {
      auto* page = new fw::TPanel(this);
      page->SetColor(colour);
      panel->AddPage(page);
    }
    panel->SetContainer(install);
    loading.End();
  }
  struct AdvertisePanelUnderTest : TAdvertisePanel {
    using TAdvertisePanel::TAdvertisePanel;
  };
  TAdvertisePanel* panel;
};

TEST(AdvertisePanel, ShowsOnCopyStartTurnsWithProgressAndHidesWhenDone) {
  fw::TComponent owner(nullptr);
  EnsureStandardSpecifiers(&owner);
  auto* install = new test_support::StandInInstall(&owner);
  AdvertForm form(nullptr, install);
  form.Show();
  TAdvertisePanel& panel = *form.panel;
  EXPECT_FALSE(panel.Visible());  // hidden until copying starts
  install->Broadcast(install, ieCopyStarting, nullptr);
  EXPECT_TRUE(panel.Visible());
  const TDecorRect expected =
      AdvertisePanelBounds(panel.Behavior, {}, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(panel.Left(), expected.Left);
  EXPECT_EQ(panel.Width(), expected.Width);
  EXPECT_EQ(panel.Height(), expected.Height);
  EXPECT_EQ(panel.ActivePage(), 0);
  TFileStatusParameter status;
  struct Step {
    int Percent, Page;
  } steps[] = {{10, 0}, {33, 1}, {50, 1}, {99, 2}, {100, 2}};
  for (const Step& s : steps) {
    status.TotalPercent = s.Percent;
    install->Broadcast(install, ieFileStatus, &status);
    EXPECT_EQ(panel.ActivePage(), s.Page) << s.Percent;
  }
  fwtest::PumpFor(200);
  RECT r;
  GetWindowRect(form.Handle(), &r);
  ASSERT_TRUE(::test_support::SaveBitmap("setup_advertise_panel.bmp", ::test_support::CaptureScreen(r)));
  try {
    install->Broadcast(install, ieFileStatus, nullptr);
    FAIL();
  } catch (const IEAdvertisePanel& e) {
    EXPECT_EQ(e.Message(), "AdvertisePanel1 got a nil PO parameter");
  }
  TDiskParameter wrong;
  try {
    install->Broadcast(install, ieFileStatus, &wrong);
    FAIL();
  } catch (const IEAdvertisePanel& e) {
    EXPECT_EQ(e.Message(), "The PO object passed to AdvertisePanel1 is not a TFileStatusParameter object");
  }
  install->Broadcast(install, ieCopyFinished, nullptr);
  EXPECT_FALSE(panel.Visible());
  EXPECT_FALSE(panel.Flipping());
  EXPECT_NO_THROW(install->Broadcast(install, ieFileStatus, nullptr));  // no longer listening for progress
}

// A container freed while the panel lives leaves the panel without one, and
// deaf to the events of the tree, until it is given another.
TEST(AdvertisePanel, ForgetsAContainerThatIsFreed) {
  fw::TComponent owner(nullptr);
  EnsureStandardSpecifiers(&owner);
  auto* install = new test_support::StandInInstall(&owner);
  auto* group = new TInstallFileGroup(&owner);
  group->SetContainer(install);
  AdvertForm form(nullptr, group);
  form.Show();
  TAdvertisePanel& panel = *form.panel;
  EXPECT_EQ(panel.Container(), group);
  delete group;
  EXPECT_EQ(panel.Container(), nullptr);
  install->Broadcast(install, ieCopyStarting, nullptr);
  EXPECT_FALSE(panel.Visible());
  panel.SetContainer(install);
  EXPECT_EQ(panel.Container(), install);
  install->Broadcast(install, ieCopyStarting, nullptr);
  EXPECT_TRUE(panel.Visible());
}

}  // namespace
}  // namespace setup
