#include "setup/wizard/wizard_core.h"

namespace setup {

int DivideRoundedEven(long long numerator, long long denominator) {
  long long q = numerator / denominator;
  long long r = numerator % denominator;
  if (r < 0) {  // floor division
    r += denominator;
    --q;
  }
  const long long twice = 2 * r;
  if (twice > denominator || (twice == denominator && (q % 2 != 0))) ++q;
  return static_cast<int>(q);
}

int HalfRoundedEven(int n) { return DivideRoundedEven(n, 2); }

TScreenPlace PlaceOnScreen(TPembrinDialogPosition position, int leftOffset, int topOffset, int width,
                           int height, int screenWidth, int screenHeight, int captionHeight) {
  const int row = static_cast<int>(position) / 3;
  const int column = static_cast<int>(position) % 3;
  TScreenPlace p;
  switch (column) {
    case 0:
      p.Left = leftOffset;
      break;
    case 1:
      p.Left = HalfRoundedEven(screenWidth - width) + leftOffset;
      break;
    default:
      p.Left = screenWidth - width - leftOffset;
      break;
  }
  switch (row) {
    case 0:
      p.Top = HalfRoundedEven(screenHeight - height) + topOffset;
      break;
    case 1:
      p.Top = screenHeight - captionHeight - height - topOffset;
      break;
    default:
      p.Top = topOffset;
      break;
  }
  return p;
}

bool TPageNavigator::ShowPage(int index, bool backward) {
  // Iterative form of "skip to the neighbour": a long run of skipping pages
  // cannot deepen the stack.
  while (index >= 0 && index < count_) {
    if (!skips_(index)) {
      current_ = index;
      if (OnActivate) OnActivate(index);
      return true;
    }
    index += backward ? -1 : 1;
  }
  return false;
}

bool TPageNavigator::Start() { return ShowPage(0, true) || ShowPage(0, false); }

bool TPageNavigator::Next() {
  const int c = current_;
  if (!ShowPage(c + 1, false)) ShowPage(c + 1, true);
  if (current_ == c) finished_ = true;
  return finished_;
}

void TPageNavigator::Previous() {
  const int c = current_;
  if (!ShowPage(c - 1, true)) ShowPage(c - 1, false);
}

bool TPageNavigator::IsFirstPage(int index) const {
  for (int i = 0; i < index && i < count_; ++i)
    if (!skips_(i)) return false;
  return true;
}

TManagerAction ManagerActionFor(int eventCode, TManagerType type) {
  struct Row {
    int code;
    TManagerType type;
    TManagerAction action;
  };
  static const Row table[] = {
      {-980, dmBeforeInstall, TManagerAction::ShowWizard},
      {-979, dmAfterGoodInstall, TManagerAction::ShowWizard},
      {-978, dmAfterBadInstall, TManagerAction::ShowWizard},
      {-987, dmReboot, TManagerAction::ShowWizard},
      {-998, dmDuringCopyFiles, TManagerAction::UpdateFileStatus},
      {-988, dmDuringCopyFiles, TManagerAction::UpdateDownloadStatus},
      {-996, dmDuringCopyFiles, TManagerAction::CloseDuringCopyForms},
      {-993, dmChangeDisk, TManagerAction::ShowChangeDisk},
  };
  for (const Row& r : table)
    if (r.code == eventCode && r.type == type) return r.action;
  return TManagerAction::None;
}

}  // namespace setup
