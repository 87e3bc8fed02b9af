// A hidden top-level window whose messages go to a function: timers, the
// application's own messages, WM_QUERYENDSESSION answers. The handler returns
// true when it handled the message (and set its Result).
#pragma once

#include <windows.h>

#include <functional>

#include "framework/controls.h"

namespace fw {

class UtilityWindow {
 public:
  using Handler = std::function<bool(TMessage&)>;
  explicit UtilityWindow(Handler handler);
  ~UtilityWindow();
  UtilityWindow(const UtilityWindow&) = delete;
  UtilityWindow& operator=(const UtilityWindow&) = delete;

  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  Handler handler_;
  HWND window_ = nullptr;
};

}  // namespace fw
