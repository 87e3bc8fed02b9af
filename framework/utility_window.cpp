#include "framework/utility_window.h"

#include "framework/application.h"
#include "framework/exceptions.h"

namespace fw {

namespace {
constexpr char kClassName[] = "FwUtilityWindow";
constexpr char kObjectProperty[] = "FwUtilityObject";
}  // namespace

UtilityWindow::UtilityWindow(Handler handler) : handler_(std::move(handler)) {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &UtilityWindow::Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
  window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  if (!window_) throw Exception("Cannot create a window (error " + std::to_string(GetLastError()) + ")");
  SetPropA(window_, kObjectProperty, this);
}

UtilityWindow::~UtilityWindow() {
  if (window_) {
    RemovePropA(window_, kObjectProperty);
    DestroyWindow(window_);
  }
}

LRESULT CALLBACK UtilityWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<UtilityWindow*>(GetPropA(window, kObjectProperty));
  if (!self || !self->handler_) return DefWindowProcA(window, message, wParam, lParam);
  TMessage msg{message, wParam, lParam, 0};
  // A copy: the handler may free this object (a timer freed in its OnTimer).
  Handler handler = self->handler_;
  bool handled = false;
  try {
    handled = handler(msg);
  } catch (...) {
    Application()->HandleException(nullptr);
    return 0;
  }
  return handled ? msg.Result : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace fw
