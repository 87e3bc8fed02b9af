#include "framework/radiogroup.h"

namespace fw {

TRadioGroup::TRadioGroup(TComponent* owner) : TGroupBox(owner) {
  width_ = 185;
  height_ = 105;
}

void TRadioGroup::SetItems(const std::vector<std::string>& items) {
  items_ = items;
  if (itemIndex_ >= static_cast<int>(items_.size())) itemIndex_ = -1;
  if (HandleAllocated()) CreateButtons();
}

void TRadioGroup::SetItemIndex(int index) {
  itemIndex_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    SendMessageA(buttons_[i], BM_SETCHECK, static_cast<int>(i) == itemIndex_ ? BST_CHECKED : BST_UNCHECKED,
                 0);
}

void TRadioGroup::HandleCreated() {
  TGroupBox::HandleCreated();
  CreateButtons();
}

void TRadioGroup::CreateButtons() {
  for (HWND b : buttons_) DestroyWindow(b);
  buttons_.clear();
  const int count = static_cast<int>(items_.size());
  if (count == 0) return;
  // Items share the height below the caption line evenly.
  const int top = 16, rowHeight = (ClientHeight() - top - 4) / count;
  for (int i = 0; i < count; ++i) {
    HWND b = CreateWindowExA(
        0, "BUTTON", items_[i].c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_RADIOBUTTON, 8,
        top + i * rowHeight, ClientWidth() - 16, rowHeight, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), 0);
    buttons_.push_back(b);
  }
  SetItemIndex(itemIndex_);
}

void TRadioGroup::WndProc(TMessage& message) {
  if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
    const int index = LOWORD(message.WParam) - 100;
    if (index >= 0 && index < static_cast<int>(buttons_.size())) {
      SetItemIndex(index);
      Click();
      return;
    }
  }
  TGroupBox::WndProc(message);
}

void TGroupBox::Paint(TCanvas& canvas) {
  RECT frame{0, 7, ClientWidth(), ClientHeight()};
  DrawEdge(canvas.Handle(), &frame, EDGE_ETCHED, BF_RECT);
  const std::string caption = Caption();
  if (caption.empty()) return;
  canvas.Brush.Color = Color();
  canvas.TextOut(8, 0, " " + caption + " ");
}

}  // namespace fw
