// The hourglass while the build or the transfer works, through the install
// tree's cursor hooks (left out by tests).
#pragma once

#include "setup/install/install_tree.h"

namespace setup {

class BusyCursor {
 public:
  BusyCursor() { Show(); }
  ~BusyCursor() { Restore(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

  // The normal cursor while the user is asked something, then the hourglass
  // again.
  template <class Question>
  auto WithNormalCursor(Question question) {
    Restore();
    struct Again {
      BusyCursor& cursor;
      ~Again() { cursor.Show(); }
    } again{*this};
    return question();
  }

 private:
  void Show() {
    auto& hooks = TreeHooks();
    if (hooks.ShowBusyCursor && !shown_) cursor_ = hooks.ShowBusyCursor(), shown_ = true;
  }
  void Restore() {
    auto& hooks = TreeHooks();
    if (shown_ && hooks.RestoreCursor) hooks.RestoreCursor(cursor_);
    shown_ = false;
  }

  int cursor_ = 0;
  bool shown_ = false;
};

}  // namespace setup
