#include "setup/wizard/wizard_core.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace setup {
namespace {

struct Page {
  std::string Name;
  int Order;
};

std::string SortedNames(std::vector<Page> pages) {
  ExchangeSortByOrder(pages, [](const Page& p) { return p.Order; });
  std::string s;
  for (const Page& p : pages) s += p.Name;
  return s;
}

TEST(WizardPageOrder, ExchangeSortDecidesEqualOrders) {
  struct Case {
    std::vector<Page> Pages;
    const char* Expected;
  } cases[] = {
      {{{"A", 10}, {"B", 10}, {"C", 5}}, "CBA"},  // equal orders swap places
      {{{"A", 7}, {"B", 7}, {"C", 7}}, "ABC"},    // all equal: unchanged
      {{{"A", 40}, {"B", 5}, {"C", 30}, {"D", 20}}, "BDCA"},
      {{{"A", 0}, {"B", 10}, {"C", 10}, {"D", 5}}, "ADCB"},
      {{}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SortedNames(c.Pages), c.Expected);
}

TEST(WizardPlacement, NinePositions) {
  struct Case {
    TPembrinDialogPosition Position;
    int L, T, W, H;
    TScreenPlace Expected;
  } cases[] = {
      {pdpCenter, 0, 0, 478, 395, {273, 186}},  // 186.5 rounds to the even 186
      {pdpBottomCenter, 0, 30, 474, 146, {275, 573}},
      {pdpCenterLeft, 12, 3, 478, 395, {12, 189}},
      {pdpCenterRight, 12, 0, 478, 395, {1024 - 478 - 12, 186}},
      {pdpBottomLeft, 7, 30, 474, 146, {7, 573}},
      {pdpBottomRight, 7, 0, 474, 146, {1024 - 474 - 7, 768 - 19 - 146}},
      {pdpTopLeft, 5, 9, 100, 100, {5, 9}},
      {pdpTopCenter, -4, 9, 101, 100, {HalfRoundedEven(923) - 4, 9}},  // 461.5 -> 462
      {pdpTopRight, 5, 9, 100, 100, {919, 9}},
      {pdpCenter, 0, 0, 477, 393, {274, 188}},  // 273.5 -> 274, 187.5 -> 188
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Position));
    EXPECT_EQ(PlaceOnScreen(c.Position, c.L, c.T, c.W, c.H, 1024, 768, 19), c.Expected);
  }
  EXPECT_EQ(HalfRoundedEven(923), 462);
  EXPECT_EQ(HalfRoundedEven(-3), -2);
  EXPECT_EQ(DivideRoundedEven(250, 100), 2);
  EXPECT_EQ(DivideRoundedEven(350, 100), 4);
}

// A run of the wizard: letters are moves (N next, P previous), the result the
// shown page after each move ("F" once finished), one page per character.
std::string Walk(std::set<int> skipping, int count, const std::string& moves, std::string* activations) {
  TPageNavigator nav(count, [&](int i) { return skipping.count(i) != 0; });
  nav.OnActivate = [&](int i) { *activations += static_cast<char>('0' + i); };
  std::string shown;
  if (!nav.Start()) return "-";
  shown += static_cast<char>('0' + nav.Current());
  for (char m : moves) {
    if (m == 'N')
      nav.Next();
    else
      nav.Previous();
    shown += nav.Finished() ? 'F' : static_cast<char>('0' + nav.Current());
    if (nav.Finished()) break;
  }
  return shown;
}

TEST(WizardNavigation, SkipPatterns) {
  struct Case {
    std::set<int> Skipping;
    int Count;
    const char* Moves;
    const char* Shown;
    const char* Activated;
  } cases[] = {
      {{}, 3, "NNN", "012F", "012"},    // Next on the last one finishes
      {{0}, 3, "PNN", "112F", "112"},   // first skipped: Previous stays on 1 (shown again)
      {{2, 3}, 4, "NN", "01F", "011"},  // later pages skip: 1 shown again, then finished
      {{1}, 3, "NPP", "0200", "020"},   // skipping over 1 both ways
      {{0, 1, 2}, 3, "", "-", ""},      // nothing to show
      {{}, 0, "", "-", ""},             // no pages
      {{}, 1, "PN", "00F", "0"},        // Previous with no earlier page stays
  };
  for (const Case& c : cases) {
    std::string activations;
    EXPECT_EQ(Walk(c.Skipping, c.Count, c.Moves, &activations), c.Shown) << c.Moves;
    EXPECT_EQ(activations, c.Activated) << c.Moves;
  }
}

TEST(WizardNavigation, FirstAndLastPageIgnoreOnlyWhatTheyShould) {
  std::set<int> skipping{0, 3};
  TPageNavigator nav(4, [&](int i) { return skipping.count(i) != 0; });
  EXPECT_TRUE(nav.IsFirstPage(0));
  EXPECT_TRUE(nav.IsFirstPage(1));  // only a skipping page before it
  EXPECT_FALSE(nav.IsFirstPage(2));
  EXPECT_FALSE(nav.IsLastPage(2));  // page 3 skips but is not asked
  EXPECT_TRUE(nav.IsLastPage(3));
}

TEST(WizardNavigation, LongRunOfSkippingPagesDoesNotRecurse) {
  TPageNavigator nav(200000, [](int i) { return i != 199999; });
  ASSERT_TRUE(nav.Start());
  EXPECT_EQ(nav.Current(), 199999);
}

TEST(DialogManagerEvents, EachEventActsOnlyForItsManagerType) {
  struct Case {
    int Code;
    TManagerType Type;
    TManagerAction Action;
  } acting[] = {
      {-980, dmBeforeInstall, TManagerAction::ShowWizard},
      {-979, dmAfterGoodInstall, TManagerAction::ShowWizard},
      {-978, dmAfterBadInstall, TManagerAction::ShowWizard},
      {-987, dmReboot, TManagerAction::ShowWizard},
      {-998, dmDuringCopyFiles, TManagerAction::UpdateFileStatus},
      {-988, dmDuringCopyFiles, TManagerAction::UpdateDownloadStatus},
      {-996, dmDuringCopyFiles, TManagerAction::CloseDuringCopyForms},
      {-993, dmChangeDisk, TManagerAction::ShowChangeDisk},
  };
  for (int code = -1000; code <= -970; ++code)
    for (int t = dmBeforeInstall; t <= dmReboot; ++t) {
      TManagerAction expected = TManagerAction::None;
      for (const Case& c : acting)
        if (c.Code == code && c.Type == t) expected = c.Action;
      EXPECT_EQ(ManagerActionFor(code, static_cast<TManagerType>(t)), expected) << code << " " << t;
    }
  EXPECT_EQ(ManagerActionFor(-982, dmBeforeInstall), TManagerAction::None);  // standalone welcome
}

}  // namespace
}  // namespace setup
