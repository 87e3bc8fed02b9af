// The progress bar on the test display, read back from the system's control.
#include "framework/comctrls.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "framework/form.h"

namespace fw {
namespace {

int WindowPosition(TProgressBar& bar) {
  return static_cast<int>(SendMessageA(bar.Handle(), PBM_GETPOS, 0, 0));
}

TEST(ProgressBarTest, PositionRangeAndRecreation) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* bar = new TProgressBar(form.get());
  bar->SetParent(form.get());
  bar->SetPosition(40);  // kept until the window exists
  form->Show();
  char name[32] = {};
  GetClassNameA(bar->Handle(), name, sizeof name);
  EXPECT_STREQ(name, PROGRESS_CLASSA);
  EXPECT_EQ(WindowPosition(*bar), 40);
  EXPECT_EQ(SendMessageA(bar->Handle(), PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessageA(bar->Handle(), PBM_GETRANGE, FALSE, 0), 100);
  const struct { int set, got; } cases[] = {{0, 0}, {5, 5}, {100, 100}, {101, 100}, {-3, 0}};
  for (const auto& c : cases) {
    bar->SetPosition(c.set);
    EXPECT_EQ(WindowPosition(*bar), c.got) << c.set;
    EXPECT_EQ(bar->Position(), c.got) << c.set;
  }
  bar->SetPosition(70);
  bar->SetRange(50, 10);  // refused
  EXPECT_EQ(bar->Min(), 0);
  EXPECT_EQ(bar->Max(), 100);
  bar->SetRange(0, 60);  // the position follows into the range
  EXPECT_EQ(WindowPosition(*bar), 60);
  bar->RecreateWnd();
  EXPECT_EQ(WindowPosition(*bar), 60);
  EXPECT_EQ(SendMessageA(bar->Handle(), PBM_GETRANGE, FALSE, 0), 60);
}

std::string PartText(HWND bar, int part) {
  char text[256] = {};
  SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
  return text;
}

TEST(StatusBarTest, PanelsTheirWidthsAlignmentAndTexts) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* bar = new TStatusBar(form.get());
  bar->SetParent(form.get());
  EXPECT_EQ(bar->AddPanel(40, TAlignment::taRightJustify), 0);
  bar->SetPanelText(0, "5%");  // kept until the window exists
  form->Show();
  EXPECT_EQ(bar->AddPanel(50), 1);
  EXPECT_EQ(bar->AddPanel(60, TAlignment::taCenter), 2);
  bar->SetPanelText(1, "Page 2 of 5");
  bar->SetPanelText(2, "middle");
  HWND window = bar->Handle();
  int edges[8] = {};
  ASSERT_EQ(SendMessageA(window, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 3);
  EXPECT_EQ(edges[0], 40);
  EXPECT_EQ(edges[1], 90);
  EXPECT_EQ(edges[2], -1) << "the last panel runs to the edge";
  EXPECT_EQ(PartText(window, 0), "\t\t5%");
  EXPECT_EQ(PartText(window, 1), "Page 2 of 5");
  EXPECT_EQ(PartText(window, 2), "\tmiddle");
  EXPECT_EQ(bar->Panel(1).Text, "Page 2 of 5");
  EXPECT_GT(bar->BarHeight(), 10);
  // A window made again shows the same panels.
  bar->RecreateWnd();
  EXPECT_EQ(SendMessageA(bar->Handle(), SB_GETPARTS, 0, 0), 3);
  EXPECT_EQ(PartText(bar->Handle(), 0), "\t\t5%");
}

}  // namespace
}  // namespace fw
