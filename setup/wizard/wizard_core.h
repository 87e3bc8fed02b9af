// Wizard logic that needs no window: placement on the screen, the order of
// pages, Back/Next over pages that skip themselves, and which install event
// a dialog manager acts on.
#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace setup {

enum TManagerType {
  dmBeforeInstall = 0,
  dmAfterGoodInstall = 1,
  dmAfterBadInstall = 2,
  dmDuringCopyFiles = 3,
  dmChangeDisk = 4,
  dmReboot = 5,
};

// Row = value / 3 (centre, bottom, top); column = value % 3 (left, centre, right).
enum TPembrinDialogPosition {
  pdpCenterLeft = 0,
  pdpCenter = 1,
  pdpCenterRight = 2,
  pdpBottomLeft = 3,
  pdpBottomCenter = 4,
  pdpBottomRight = 5,
  pdpTopLeft = 6,
  pdpTopCenter = 7,
  pdpTopRight = 8,
};

// n / 2 rounded to the nearest integer, a half going to the even neighbour.
int HalfRoundedEven(int n);
// numerator / denominator (denominator > 0), rounded the same way.
int DivideRoundedEven(long long numerator, long long denominator);

struct TScreenPlace {
  int Left = 0;
  int Top = 0;
  bool operator==(const TScreenPlace& o) const { return Left == o.Left && Top == o.Top; }
};

// Where a window of width x height goes on a screen of screenWidth x
// screenHeight; captionHeight is the system's caption height.
TScreenPlace PlaceOnScreen(TPembrinDialogPosition position, int leftOffset, int topOffset, int width,
                           int height, int screenWidth, int screenHeight, int captionHeight);

// Exchange sort by order: for each i and each later j, swap when j's order is
// smaller. Pages of equal order may change places; the wizard relies on
// exactly this order, so no stable sort here.
template <class T, class OrderOf>
void ExchangeSortByOrder(std::vector<T>& items, OrderOf orderOf) {
  for (std::size_t i = 0; i < items.size(); ++i)
    for (std::size_t j = i + 1; j < items.size(); ++j)
      if (orderOf(items[j]) < orderOf(items[i])) std::swap(items[i], items[j]);
}

// Back and Next over a list of pages, some of which skip themselves. Skipping
// is asked each time (a page may decide from the current settings).
class TPageNavigator {
 public:
  using SkipQuery = std::function<bool(int index)>;
  TPageNavigator(int count, SkipQuery skips) : count_(count), skips_(std::move(skips)) {}

  int Count() const { return count_; }
  int Current() const { return current_; }  // -1 before a page is shown
  bool Finished() const { return finished_; }

  // Shows the page at index, or the nearest non-skipping one in the direction
  // given; false when there is none.
  bool ShowPage(int index, bool backward);
  // The first page shown when the host appears (backward first, as every move).
  bool Start();
  // Next; on the last shown page it finishes the wizard. Returns Finished().
  bool Next();
  void Previous();

  // Inside a host: every page before index skips itself.
  bool IsFirstPage(int index) const;
  // Inside a host: index is the last in the list (later pages are not asked).
  bool IsLastPage(int index) const { return index == count_ - 1; }

  // Called each time a page becomes the current one (also when it is shown again).
  std::function<void(int index)> OnActivate;

 private:
  int count_;
  SkipQuery skips_;
  int current_ = -1;
  bool finished_ = false;
};

// What a dialog manager of a type does with an install event.
enum class TManagerAction {
  None,
  ShowWizard,
  UpdateFileStatus,
  UpdateDownloadStatus,
  CloseDuringCopyForms,
  ShowChangeDisk,
};
TManagerAction ManagerActionFor(int eventCode, TManagerType type);

}  // namespace setup
