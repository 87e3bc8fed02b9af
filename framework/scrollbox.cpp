#include "framework/scrollbox.h"

#include <algorithm>

namespace fw {

// --- TControlScrollBar

int TControlScrollBar::ClientExtent() const {
  return bar_ == SB_HORZ ? box_.ClientWidth() : box_.ClientHeight();
}

int TControlScrollBar::Limit() const { return std::max(range_ - ClientExtent(), 0); }

void TControlScrollBar::SetRange(int range) {
  range_ = std::max(range, 0);
  Update();
}

bool TControlScrollBar::MoveTo(int position) {
  position = std::clamp(position, 0, Limit());
  if (position == position_) return false;
  const int delta = position_ - position;
  position_ = position;
  box_.MoveChildren(bar_ == SB_HORZ ? delta : 0, bar_ == SB_VERT ? delta : 0);
  return true;
}

void TControlScrollBar::SetPosition(int position) {
  if (MoveTo(position) && box_.HandleAllocated()) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = position_;
    SetScrollInfo(box_.Handle(), bar_, &info, TRUE);
  }
}

bool TControlScrollBar::IsScrollBarVisible() const {
  if (!box_.HandleAllocated()) return false;
  const LONG style = GetWindowLongA(const_cast<TScrollBox&>(box_).Handle(), GWL_STYLE);
  return (style & (bar_ == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

void TControlScrollBar::Update() {
  if (!box_.HandleAllocated()) return;
  MoveTo(position_);
  // A page as large as the range hides the bar, which changes the client
  // extent of the other bar: the box's resize then updates both again.
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = std::max(range_ - 1, 0);
  info.nPage = static_cast<UINT>(std::max(ClientExtent(), 0));
  info.nPos = position_;
  SetScrollInfo(box_.Handle(), bar_, &info, TRUE);
}

void TControlScrollBar::Scroll(WORD request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(box_.Handle(), bar_, &info);
  int position = position_;
  switch (request) {
    case SB_LINEUP:
      position -= Increment;
      break;
    case SB_LINEDOWN:
      position += Increment;
      break;
    case SB_PAGEUP:
      position -= ClientExtent();
      break;
    case SB_PAGEDOWN:
      position += ClientExtent();
      break;
    case SB_THUMBTRACK:
      if (!tracking_) return;
      position = info.nTrackPos;
      break;
    case SB_THUMBPOSITION:
      position = info.nTrackPos;
      break;
    case SB_TOP:
      position = 0;
      break;
    case SB_BOTTOM:
      position = Limit();
      break;
    default:
      return;
  }
  SetPosition(position);
}

// --- TScrollBox

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 41); }

void TScrollBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
}

void TScrollBox::HandleCreated() {
  TWinControl::HandleCreated();
  horz_.Update();
  vert_.Update();
}

void TScrollBox::MoveChildren(int dx, int dy) {
  for (TControl* control : Controls())
    control->SetBounds(control->Left() + dx, control->Top() + dy, control->Width(), control->Height());
}

void TScrollBox::Resize() {
  horz_.Update();
  vert_.Update();
  TWinControl::Resize();
}

void TScrollBox::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_HSCROLL:
      horz_.Scroll(LOWORD(message.WParam));
      return;
    case WM_VSCROLL:
      vert_.Scroll(LOWORD(message.WParam));
      return;
    default:
      TWinControl::WndProc(message);
  }
}

}  // namespace fw
