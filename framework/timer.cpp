#include "framework/timer.h"

#include "framework/utility_window.h"

namespace fw {

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  window_ = std::make_unique<UtilityWindow>([this](TMessage& message) {
    if (message.Msg != WM_TIMER) return false;
    // The handler may free this timer: nothing of it is touched afterwards.
    TNotifyEvent handler = OnTimer;
    if (handler) handler(this);
    return true;
  });
  Update();
}

TTimer::~TTimer() { KillTimer(window_->Handle(), kTimerId); }

void TTimer::SetInterval(unsigned milliseconds) {
  interval_ = milliseconds;
  Update();
}

void TTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Update();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  Update();
}

void TTimer::Update() {
  KillTimer(window_->Handle(), kTimerId);
  // Settings made while a form description loads take effect in Loaded.
  if (enabled_ && interval_ > 0 && !Loading()) SetTimer(window_->Handle(), kTimerId, interval_, nullptr);
}

}  // namespace fw
