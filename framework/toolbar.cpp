#include "framework/toolbar.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "framework/exceptions.h"

namespace fw {

namespace {
// Room between groups of buttons.
constexpr int kDividerWidth = 8;
}  // namespace

// --- TToolButton

TToolButton::TToolButton(TToolBar* toolBar, TToolButtonStyle style)
    : TComponent(toolBar), toolBar_(toolBar), style_(style) {
  toolBar->AddButton(this);
}

void TToolButton::SetGrouped(bool value) {
  grouped_ = value;
  if (toolBar_->HandleAllocated()) toolBar_->SendButtons();
}

void TToolButton::SetImageIndex(int index) {
  imageIndex_ = index;
  if (toolBar_->HandleAllocated())
    SendMessageA(toolBar_->Handle(), TB_CHANGEBITMAP, static_cast<WPARAM>(commandId_), MAKELPARAM(index, 0));
}

bool TToolButton::Down() const {
  if (toolBar_->HandleAllocated())
    return SendMessageA(toolBar_->handle_, TB_ISBUTTONCHECKED, static_cast<WPARAM>(commandId_), 0) != 0;
  return down_;
}

void TToolButton::SetDown(bool value) {
  if (style_ != TToolButtonStyle::tbsCheck) return;
  if (value)
    for (TToolButton* other : toolBar_->GroupOf(*this)) other->down_ = false;
  down_ = value;
  // The system's bar lets the rest of a group up by itself.
  if (toolBar_->HandleAllocated())
    SendMessageA(toolBar_->handle_, TB_CHECKBUTTON, static_cast<WPARAM>(commandId_), value ? TRUE : FALSE);
}

bool TToolButton::Enabled() const {
  if (toolBar_->HandleAllocated())
    return SendMessageA(toolBar_->handle_, TB_ISBUTTONENABLED, static_cast<WPARAM>(commandId_), 0) != 0;
  return enabled_;
}

void TToolButton::SetEnabled(bool value) {
  enabled_ = value;
  if (toolBar_->HandleAllocated())
    SendMessageA(toolBar_->handle_, TB_ENABLEBUTTON, static_cast<WPARAM>(commandId_), value ? TRUE : FALSE);
}

void TToolButton::SetHint(const std::string& hint) {
  hint_ = hint;
  if (toolBar_->HandleAllocated()) toolBar_->SendTooltip(*this);
}

void TToolButton::Click() {
  if (!Enabled()) return;
  if (style_ == TToolButtonStyle::tbsCheck) SetDown(grouped_ || !Down());
  if (OnClick) OnClick(this);
}

// --- TToolBar

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
  height_ = 29;
  SetAlign(TAlign::alTop);
}

void TToolBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = TOOLBARCLASSNAMEA;
  params.OwnClass = false;
  // The framework places the bar; the system only lays out its buttons.
  params.Style |= TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | (flat_ ? TBSTYLE_FLAT : 0);
}

void TToolBar::AddButton(TToolButton* button) {
  button->commandId_ = nextCommand_++;
  buttons_.push_back(button);
  items_.push_back({button, nullptr});
  if (handle_) SendButtons();
}

void TToolButton::SetCommandId(int id) {
  if (toolBar_->HandleAllocated() || toolBar_->FindButton(id))
    throw std::logic_error("a tool button's id is set once, before its bar is shown, and is unique");
  commandId_ = id;
}

void TToolBar::AddControl(TControl* control) {
  control->SetParent(this);
  control->FreeNotification(this);
  items_.push_back({nullptr, control});
  if (handle_) SendButtons();
}

TToolButton* TToolBar::FindButton(int commandId) const {
  for (TToolButton* button : buttons_)
    if (button->commandId_ == commandId) return button;
  return nullptr;
}

int TToolBar::ItemIndex(const TToolButton& button) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].Button == &button) return static_cast<int>(i);
  return -1;
}

std::vector<TToolButton*> TToolBar::GroupOf(const TToolButton& button) const {
  std::vector<TToolButton*> group;
  const auto member = [](const Item& item) {
    return item.Button && item.Button->style_ == TToolButtonStyle::tbsCheck && item.Button->grouped_;
  };
  const int at = ItemIndex(button);
  if (at < 0 || !member(items_[static_cast<size_t>(at)])) return group;
  for (int i = at - 1; i >= 0 && member(items_[static_cast<size_t>(i)]); --i)
    group.push_back(items_[static_cast<size_t>(i)].Button);
  for (size_t i = static_cast<size_t>(at) + 1; i < items_.size() && member(items_[i]); ++i)
    group.push_back(items_[i].Button);
  return group;
}

void TToolBar::SetImages(TImageList* images) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images_) images_->FreeNotification(this);
  if (handle_) {
    SendMessageA(handle_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
    SendButtons();
  }
}

void TToolBar::SetFlat(bool value) {
  flat_ = value;
  if (handle_) RecreateWnd();
}

void TToolBar::SetAutoSize(bool value) {
  autoSize_ = value;
  if (handle_) FitHeight();
}

void TToolBar::SetBorderWidth(int value) {
  borderWidth_ = std::max(value, 0);
  if (handle_) SendButtons();
}

void TToolBar::SetShowHint(bool value) {
  TWinControl::SetShowHint(value);
  if (handle_)
    for (const TToolButton* button : buttons_) SendTooltip(*button);
}

void TToolBar::HandleCreated() {
  TWinControl::HandleCreated();
  SendMessageA(handle_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  if (images_) SendMessageA(handle_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
  SendButtons();
}

void TToolBar::HandleDestroying() {
  for (TToolButton* button : buttons_) {
    button->down_ = button->Down();
    button->enabled_ = button->Enabled();
  }
  TWinControl::HandleDestroying();
}

void TToolBar::SendButtons() {
  while (SendMessageA(handle_, TB_DELETEBUTTON, 0, 0)) {
  }
  SendMessageA(handle_, TB_SETINDENT, static_cast<WPARAM>(borderWidth_), 0);
  std::vector<TBBUTTON> buttons;
  for (const Item& item : items_) {
    TBBUTTON button{};
    button.iString = -1;
    if (item.Control) {
      button.iBitmap = item.Control->Width();
      button.fsStyle = BTNS_SEP;
    } else if (item.Button->style_ == TToolButtonStyle::tbsDivider) {
      button.iBitmap = kDividerWidth;
      button.fsStyle = BTNS_SEP;
    } else {
      const TToolButton& b = *item.Button;
      button.iBitmap = b.imageIndex_ >= 0 ? b.imageIndex_ : I_IMAGENONE;
      button.idCommand = b.commandId_;
      button.fsState = static_cast<BYTE>((b.enabled_ ? TBSTATE_ENABLED : 0) | (b.down_ ? TBSTATE_CHECKED : 0));
      button.fsStyle = static_cast<BYTE>(
          BTNS_AUTOSIZE | (b.style_ == TToolButtonStyle::tbsCheck ? (b.grouped_ ? BTNS_CHECKGROUP : BTNS_CHECK)
                                                                  : BTNS_BUTTON));
    }
    buttons.push_back(button);
  }
  SendMessageA(handle_, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  for (const TToolButton* button : buttons_)
    if (button->style_ != TToolButtonStyle::tbsDivider) SendTooltip(*button);
  FitHeight();
  PlaceControls();
}

void TToolBar::SendTooltip(const TToolButton& button) {
  HWND tooltip = reinterpret_cast<HWND>(SendMessageA(handle_, TB_GETTOOLTIPS, 0, 0));
  if (!tooltip) return;
  // The bar made a tool for each button that asks the bar for its text; the
  // text is given to the tool instead, so no one needs to be asked.
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = handle_;
  tool.uId = static_cast<UINT_PTR>(button.commandId_);
  std::string text = ShowHint() ? button.hint_ : std::string();
  tool.lpszText = text.data();
  SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string TToolBar::TooltipText(const TToolButton& button) {
  HWND tooltip = reinterpret_cast<HWND>(SendMessageA(Handle(), TB_GETTOOLTIPS, 0, 0));
  if (!tooltip) return {};
  char text[256] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = handle_;
  tool.uId = static_cast<UINT_PTR>(button.commandId_);
  tool.lpszText = text;
  SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  return text;
}

void TToolBar::FitHeight() {
  if (!autoSize_) return;
  const int buttonHeight = HIWORD(SendMessageA(handle_, TB_GETBUTTONSIZE, 0, 0));
  const int height = buttonHeight + 2 * borderWidth_;
  if (height != height_) SetHeight(height);
}

void TToolBar::PlaceControls() {
  for (size_t i = 0; i < items_.size(); ++i) {
    TControl* control = items_[i].Control;
    if (!control) continue;
    RECT room{};
    if (!SendMessageA(handle_, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&room))) continue;
    control->SetBounds(room.left, room.top, room.right - room.left, room.bottom - room.top);
  }
}

bool TToolBar::ItemCommand(WORD id, WORD /*code*/) {
  TToolButton* button = FindButton(id);
  if (!button) return false;
  // The system's bar has already put a check button down (or up).
  if (button->OnClick) button->OnClick(button);
  return true;
}

void TToolBar::WndProc(TMessage& message) {
  TWinControl::WndProc(message);
  if (message.Msg == WM_SIZE && handle_) PlaceControls();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == images_) {
    images_ = nullptr;
    if (handle_ && !Destroying()) SendMessageA(handle_, TB_SETIMAGELIST, 0, 0);
  }
  const auto gone = [&](const Item& item) { return item.Button == component || item.Control == component; };
  if (std::none_of(items_.begin(), items_.end(), gone)) return;
  items_.erase(std::remove_if(items_.begin(), items_.end(), gone), items_.end());
  buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), component), buttons_.end());
  if (handle_ && !Destroying()) SendButtons();
}

// --- TSpeedButton

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 23, 22); }

void TSpeedButton::SetGlyph(TImageList* images, int index) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  imageIndex_ = index;
  if (images_) images_->FreeNotification(this);
  Invalidate();
}

void TSpeedButton::SetFlat(bool value) {
  flat_ = value;
  Invalidate();
}

void TSpeedButton::SetEnabled(bool enabled) {
  TGraphicControl::SetEnabled(enabled);
  Invalidate();
}

void TSpeedButton::Click() {
  if (Enabled()) TGraphicControl::Click();
}

void TSpeedButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}

void TSpeedButton::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
        TrackMouseEvent(&track);
        Invalidate();
      }
      break;
    case WM_MOUSELEAVE:
      hot_ = false;
      Invalidate();
      break;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      Invalidate();
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (pressed_) {
        pressed_ = false;
        Invalidate();
      }
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(message);
}

void TSpeedButton::Paint(TCanvas& canvas) {
  HDC dc = canvas.Handle();
  RECT face{0, 0, Width(), Height()};
  if (pressed_ && hot_)
    DrawEdge(dc, &face, BDR_SUNKENOUTER, BF_RECT);
  else if (hot_ || !flat_)
    DrawEdge(dc, &face, BDR_RAISEDINNER, BF_RECT);
  const int shift = pressed_ && hot_ ? 1 : 0;
  int left = 4 + shift;
  if (images_ && imageIndex_ >= 0) {
    images_->Draw(canvas, left, (Height() - images_->Height()) / 2 + shift, imageIndex_);
    left += images_->Width() + 4;
  }
  const std::string caption = Caption();
  if (caption.empty()) return;
  RECT text{left, shift, Width() - 2, Height() + shift};
  SetBkMode(canvas.Handle(), TRANSPARENT);
  canvas.Font.SetColor(Enabled() ? clBtnText : clGrayText);
  canvas.TextRect(text, caption, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

}  // namespace fw
