#include "framework/comctrls.h"

#include <commctrl.h>

#include <algorithm>

namespace fw {

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
  width_ = 150;
  height_ = 16;
}

void TProgressBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = PROGRESS_CLASSA;
  params.OwnClass = false;
}

void TProgressBar::HandleCreated() {
  TWinControl::HandleCreated();
  SendMessageA(handle_, PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendMessageA(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::HandleDestroying() {
  position_ = Position();
  TWinControl::HandleDestroying();
}

void TProgressBar::SetRange(int min, int max) {
  if (min > max) return;
  min_ = min;
  max_ = max;
  position_ = std::clamp(position_, min_, max_);
  if (handle_) {
    SendMessageA(handle_, PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    SendMessageA(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
  }
}

int TProgressBar::Position() const {
  if (handle_) return static_cast<int>(SendMessageA(handle_, PBM_GETPOS, 0, 0));
  return position_;
}

void TProgressBar::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  if (handle_) SendMessageA(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

}  // namespace fw
