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

// --- TStatusBar

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) { height_ = 19; }

void TStatusBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = STATUSCLASSNAMEA;
  params.OwnClass = false;
  params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::HandleCreated() {
  TWinControl::HandleCreated();
  SendParts();
  for (int i = 0; i < PanelCount(); ++i) SendText(i);
}

int TStatusBar::AddPanel(int width, TAlignment alignment) {
  panels_.push_back({width, alignment, {}});
  if (handle_) SendParts();
  return PanelCount() - 1;
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
  panels_.at(static_cast<size_t>(index)).Text = text;
  if (handle_) SendText(index);
}

void TStatusBar::SendParts() {
  std::vector<int> edges;
  int right = 0;
  for (const TStatusPanel& panel : panels_) edges.push_back(right += panel.Width);
  if (!edges.empty()) edges.back() = -1;
  SendMessageA(handle_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void TStatusBar::SendText(int index) {
  const TStatusPanel& panel = panels_.at(static_cast<size_t>(index));
  // Tabs ahead of a part's text centre it (one) or right-align it (two).
  const std::string shown = (panel.Alignment == TAlignment::taCenter         ? "\t"
                             : panel.Alignment == TAlignment::taRightJustify ? "\t\t"
                                                                             : "") +
                            panel.Text;
  SendMessageA(handle_, SB_SETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(shown.c_str()));
}

int TStatusBar::BarHeight() {
  SendMessageA(Handle(), WM_SIZE, 0, 0);
  RECT rect{};
  GetWindowRect(handle_, &rect);
  return rect.bottom - rect.top;
}

}  // namespace fw
