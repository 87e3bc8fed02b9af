// The progress bar on the test display, read back from the system's control.
#include "framework/comctrls.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>

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

}  // namespace
}  // namespace fw
