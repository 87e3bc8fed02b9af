// The folder browser's placement and folder rules, and the status and copy
// forms' arithmetic, without windows.
#include <gtest/gtest.h>

#include <set>

#include "setup/wizard/folder_browser.h"
#include "setup/wizard/install_forms.h"

namespace setup {
namespace {

// The rectangles Wine's browser gives, in client coordinates.
TBrowserControls WineBrowser() {
  TBrowserControls c;
  c.Ok = TBrowserRect{120, 264, 195, 285};
  c.Cancel = TBrowserRect{201, 264, 276, 285};
  c.Tree = TBrowserRect{8, 60, 278, 240};
  return c;
}

TEST(FolderBrowserPlaces, CreateButtonAndPathEditAmongWinesControls) {
  const TBrowserRect button = CreateButtonPlace(WineBrowser());
  EXPECT_EQ(button.Left, 8);
  EXPECT_EQ(button.Top, 242);
  EXPECT_EQ(button.Right, 114);
  EXPECT_EQ(button.Width(), 106);
  EXPECT_EQ(button.Height(), 21);
  const TPathEditPlace edit = PathEditPlace(WineBrowser());
  ASSERT_TRUE(edit.Tree);
  EXPECT_EQ(*edit.Tree, (TBrowserRect{8, 60, 278, 180}));
  EXPECT_EQ(edit.Edit.Left, 8);
  EXPECT_EQ(edit.Edit.Top, 195);
  EXPECT_EQ(edit.Edit.Width(), 270);
}

TEST(FolderBrowserPlaces, DefaultsWhenControlsAreMissing) {
  TBrowserControls none;
  EXPECT_EQ(CreateButtonPlace(none), (TBrowserRect{20, 230, 140, 253}));
  EXPECT_EQ(PathEditPlace(none).Edit.Left, 20);
  EXPECT_EQ(PathEditPlace(none).Edit.Top, 230);
  EXPECT_EQ(PathEditPlace(none).Edit.Width(), 120);
  EXPECT_FALSE(PathEditPlace(none).Tree);
  // Without Cancel the default rectangle, still starting at the tree.
  TBrowserControls noCancel = WineBrowser();
  noCancel.Cancel.reset();
  EXPECT_EQ(CreateButtonPlace(noCancel), (TBrowserRect{8, 230, 140, 253}));
  // Without OK the tree is still shortened, the edit keeps its default place.
  TBrowserControls noOk = WineBrowser();
  noOk.Ok.reset();
  EXPECT_EQ(PathEditPlace(noOk).Edit.Top, 230);
  EXPECT_EQ(PathEditPlace(noOk).Tree->Bottom, 180);
}

TEST(FolderBrowserSelection, NearestExistingFolder) {
  const std::set<std::string> folders = {
      "C:", "C:\\", "C:\\x", "C:\\x\\", "C:\\Program Files", "\\\\server\\share"};
  const TFolderExists exists = [&](const std::string& p) { return folders.count(p) > 0; };
  struct Case {
    const char* Path;
    std::optional<std::string> Selected;
  } cases[] = {
      {"C:", "C:\\"},
      {"C:\\", "C:\\"},
      {"C:\\x\\", "C:\\x"},
      {"C:\\x", "C:\\x"},
      {"C:\\Program Files\\Maker\\Tool", "C:\\Program Files"},  // two missing levels
      {"C:\\nothing", "C:\\"},
      {"\\\\server\\share\\missing", "\\\\server\\share"},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"Q:\\missing\\too", std::nullopt},  // nothing exists: nothing is sent
      {"relative", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(BrowserSelection(c.Path, exists), c.Selected) << c.Path;
}

TEST(FolderBrowserNames, OneLevelUnderTheCurrentFolder) {
  for (const char* good : {"New Folder", "data.old", "x", "Programme (x86)"})
    EXPECT_TRUE(ValidNewFolderName(good)) << good;
  for (const char* bad : {"", "  ", ".", "..", "..\\..\\x", "a\\b", "a/b", "C:\\y", "C:", "a:b", "what?",
                          "star*", "<x>", "pipe|", "quote\"", "tab\there"})
    EXPECT_FALSE(ValidNewFolderName(bad)) << bad;
}

TEST(StatusMessages, NestedMessagesShowAndRestoreInTurn) {
  TStatusStack stack;
  EXPECT_EQ(stack.Push("A"), "A");
  EXPECT_EQ(stack.Push("B"), "B");
  EXPECT_EQ(stack.Pop(), std::optional<std::string>("A"));
  EXPECT_EQ(stack.Pop(), std::nullopt);
  EXPECT_TRUE(stack.Empty());
  EXPECT_EQ(stack.Pop(), std::nullopt);  // a close too many only hides
  EXPECT_EQ(stack.Push("C"), "C");
  EXPECT_EQ(stack.Pop(), std::nullopt);
}

TEST(StatusMessages, WidthIsTextPlusDesignedOffsets) {
  EXPECT_EQ(StatusFormWidth(300, 0, 50, 5), 380);
  EXPECT_EQ(StatusFormWidth(0, 0, 50, 5), 80);
}

TEST(CopyProgress, PercentagesAreClampedForTheBars) {
  struct Case {
    long long In;
    int Out;
  } cases[] = {{-5, 0}, {0, 0}, {42, 42}, {100, 100}, {101, 100}, {250, 100}, {1LL << 40, 100}};
  for (const Case& c : cases) EXPECT_EQ(ClampPercent(c.In), c.Out) << c.In;
}

TEST(CopyProgress, StepsAreShownFirstThenOncePerIntervalAndAlwaysAtTheEnd) {
  TPaintPace pace(80);
  struct Step {
    std::uint32_t At;
    bool Last, Shown;
  } steps[] = {
      {0xFFFFFFF0u, false, true},  // the first step, just before the count wraps
      {0xFFFFFFF8u, false, false}, {20, false, false},  {64, false, true},  // 80 ms after the first, across
                                                                            // the wrap
      {100, false, false},         {143, false, false}, {144, false, true}, {150, true, true},
      {151, true, true},           {160, false, false},
  };
  for (const Step& step : steps) EXPECT_EQ(pace.Due(step.At, step.Last), step.Shown) << step.At;
}

}  // namespace
}  // namespace setup
