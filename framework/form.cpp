#include "framework/form.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>

#include "framework/application.h"
#include "framework/exceptions.h"
#include "framework/menus.h"
#include "framework/stdctrls.h"

namespace fw {

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  visible_ = false;
  width_ = 320;
  height_ = 240;
  SetColor(clBtnFace);
  Application()->FormCreated(this);
}

TForm::~TForm() {
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      Application()->HandleException(this);
    }
  }
  MarkDestroying();
  WindowProc = nullptr;
  // The window must not destroy the menu the menu component owns.
  if (handle_ && menu_) ::SetMenu(handle_, nullptr);
  DestroyComponents();
  if (tooltip_) DestroyWindow(tooltip_);
  DestroyWnd();
  Application()->FormDestroyed(this);
}

void TForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == menu_) {
    if (handle_) ::SetMenu(handle_, nullptr);
    menu_ = nullptr;
  }
}

DWORD TForm::WindowStyle() const {
  DWORD style = 0;
  const DWORD icons = ((borderIcons_ & biSystemMenu) ? WS_SYSMENU : 0) |
                      ((borderIcons_ & biMinimize) ? WS_MINIMIZEBOX : 0) |
                      ((borderIcons_ & biMaximize) ? WS_MAXIMIZEBOX : 0);
  switch (borderStyle_) {
    case TFormBorderStyle::bsSizeable:
      style = WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | icons;
      break;
    case TFormBorderStyle::bsSingle:
      style = WS_OVERLAPPED | WS_CAPTION | icons;
      break;
    case TFormBorderStyle::bsDialog:
      style = WS_POPUP | WS_CAPTION | ((borderIcons_ & biSystemMenu) ? WS_SYSMENU : 0);
      break;
    case TFormBorderStyle::bsNone:
      style = WS_POPUP;
      break;
  }
  return style | (enabled_ ? 0 : WS_DISABLED);
}

DWORD TForm::WindowExStyle() const {
  return WS_EX_CONTROLPARENT | (borderStyle_ == TFormBorderStyle::bsDialog ? WS_EX_DLGMODALFRAME : 0) |
         (formStyle_ == TFormStyle::fsStayOnTop ? WS_EX_TOPMOST : 0);
}

void TForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style = WindowStyle();
  params.ExStyle = WindowExStyle();
  params.WndParent = nullptr;
  if (auto* ownerForm = dynamic_cast<TForm*>(Owner()))
    params.WndParent = ownerForm->Handle();
  else if (Application()->MainForm() != this)
    params.WndParent = Application()->Handle();
  if (position_ == TPosition::poDefault) params.X = params.Y = CW_USEDEFAULT;
}

void TForm::CreateWnd() {
  TWinControl::CreateWnd();
  if (menu_) ::SetMenu(handle_, menu_->Handle());
  if (clientWidth_ >= 0) SetClientWidth(clientWidth_);
  if (clientHeight_ >= 0) SetClientHeight(clientHeight_);
}

void TForm::SetClientWidth(int width) {
  clientWidth_ = width;
  RECT client, window;
  if (handle_ && GetClientRect(handle_, &client) && GetWindowRect(handle_, &window)) {
    SetBounds(left_, top_, width + (window.right - window.left) - client.right, height_);
  } else {
    RECT rect{0, 0, width, 100};
    AdjustWindowRectEx(&rect, WindowStyle(), menu_ != nullptr, WindowExStyle());
    width_ = rect.right - rect.left;
  }
}

void TForm::SetClientHeight(int height) {
  clientHeight_ = height;
  RECT client, window;
  if (handle_ && GetClientRect(handle_, &client) && GetWindowRect(handle_, &window)) {
    SetBounds(left_, top_, width_, height + (window.bottom - window.top) - client.bottom);
  } else {
    RECT rect{0, 0, 100, height};
    AdjustWindowRectEx(&rect, WindowStyle(), menu_ != nullptr, WindowExStyle());
    height_ = rect.bottom - rect.top;
  }
}

int TForm::ClientWidth() const {
  if (handle_ || clientWidth_ < 0) return TWinControl::ClientWidth();
  return clientWidth_;
}

int TForm::ClientHeight() const {
  if (handle_ || clientHeight_ < 0) return TWinControl::ClientHeight();
  return clientHeight_;
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  borderStyle_ = style;
  if (handle_) RecreateWnd();
}

void TForm::SetBorderIcons(unsigned icons) {
  borderIcons_ = icons;
  if (handle_) RecreateWnd();
}

void TForm::SetMenu(TMainMenu* menu) {
  if (menu_ == menu) return;
  menu_ = menu;
  if (menu_) menu_->FreeNotification(this);
  if (handle_) {
    ::SetMenu(handle_, menu_ ? menu_->Handle() : nullptr);
    DrawMenuBar(handle_);
  }
}

void TForm::Loaded() {
  TWinControl::Loaded();
  Realign();
  if (OnCreate) OnCreate(this);
}

void TForm::ApplyPosition() {
  if (positioned_) return;
  positioned_ = true;
  if (position_ != TPosition::poScreenCenter) return;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  SetBounds(work.left + (work.right - work.left - width_) / 2,
            work.top + (work.bottom - work.top - height_) / 2, width_, height_);
}

void TForm::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (visible) {
    HandleNeeded();
    ApplyPosition();
    visible_ = true;
    if (OnShow) OnShow(this);
    ShowWindow(handle_, windowState_ == TWindowState::wsMaximized   ? SW_SHOWMAXIMIZED
                        : windowState_ == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                                    : SW_SHOW);
    SetForegroundWindow(handle_);
    SetActiveWindow(handle_);
    if (!ActiveControl()) SelectNext(true);
  } else {
    windowState_ = WindowState();  // as the user left it, for the next showing
    visible_ = false;
    if (OnHide) OnHide(this);
    if (handle_) ShowWindow(handle_, SW_HIDE);
  }
}

TWindowState TForm::WindowState() const {
  if (!handle_ || !IsWindowVisible(handle_)) return windowState_;
  return IsZoomed(handle_) ? TWindowState::wsMaximized
         : IsIconic(handle_) ? TWindowState::wsMinimized
                             : TWindowState::wsNormal;
}

void TForm::SetWindowState(TWindowState state) {
  windowState_ = state;
  if (!handle_ || !IsWindowVisible(handle_)) return;
  ShowWindow(handle_, state == TWindowState::wsMaximized   ? SW_MAXIMIZE
                      : state == TWindowState::wsMinimized ? SW_MINIMIZE
                                                           : SW_RESTORE);
}

void TForm::SetFormStyle(TFormStyle style) {
  formStyle_ = style;
  if (handle_)
    SetWindowPos(handle_, style == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool TForm::Active() const { return handle_ && GetActiveWindow() == handle_; }

void TForm::BringToFront() {
  if (!handle_) return;
  if (IsIconic(handle_)) ShowWindow(handle_, SW_RESTORE);
  SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(handle_);
}

namespace {

struct DisableContext {
  HWND keep;
  std::vector<HWND> disabled;
};

BOOL CALLBACK DisableWindow(HWND window, LPARAM context) {
  auto* ctx = reinterpret_cast<DisableContext*>(context);
  if (window != ctx->keep && IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    ctx->disabled.push_back(window);
  }
  return TRUE;
}

}  // namespace

TModalResult TForm::ShowModal() {
  if (visible_ || modal_) throw Exception("Cannot make a visible window modal");
  if (!enabled_) throw Exception("Cannot make a disabled window modal");
  if (GetCapture()) ReleaseCapture();
  HandleNeeded();
  HWND previouslyActive = GetActiveWindow();
  DisableContext context{handle_, {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&context));
  modal_ = true;
  modalResult_ = mrNone;
  modalError_ = nullptr;
  TApplication* application = Application();
  try {
    Show();
    for (;;) {
      application->HandleMessage();
      if (modalError_) break;
      if (application->Terminated()) {
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        break;
      }
      if (modalResult_ != mrNone) {
        TCloseAction action = TCloseAction::caHide;
        if (CloseQuery(action)) break;
        modalResult_ = mrNone;
      }
    }
  } catch (...) {
    if (!modalError_) modalError_ = std::current_exception();
  }
  // Unwind: the owner windows first, so that activation goes back to them.
  modal_ = false;
  for (HWND window : context.disabled)
    if (IsWindow(window)) EnableWindow(window, TRUE);
  if (handle_) {
    if (previouslyActive && IsWindow(previouslyActive)) SetActiveWindow(previouslyActive);
    SetVisible(false);
  }
  if (modalError_) {
    std::exception_ptr error = modalError_;
    modalError_ = nullptr;
    std::rethrow_exception(error);
  }
  return modalResult_;
}

void TForm::AbortModal(std::exception_ptr error) {
  if (!modal_) std::rethrow_exception(error);
  modalError_ = error;
  // Wake the loop if it is waiting.
  if (handle_) PostMessageA(handle_, WM_NULL, 0, 0);
}

bool TForm::CloseQuery(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
  return action != TCloseAction::caNone;
}

void TForm::Close() {
  if (modal_) {
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
    return;
  }
  TCloseAction action = Application()->MainForm() == this ? TCloseAction::caFree : TCloseAction::caHide;
  if (!CloseQuery(action)) return;
  if (Application()->MainForm() == this) {
    Application()->Terminate();
    if (action == TCloseAction::caHide || action == TCloseAction::caFree) Hide();
    return;
  }
  switch (action) {
    case TCloseAction::caHide:
      Hide();
      break;
    case TCloseAction::caFree:
      Release();
      break;
    case TCloseAction::caMinimize:
      if (handle_) ShowWindow(handle_, SW_MINIMIZE);
      break;
    default:
      break;
  }
}

void TForm::Release() { Application()->ReleaseForm(this); }

TWinControl* TForm::ActiveControl() const {
  HWND focus = GetFocus();
  if (!focus || !handle_ || focus == handle_ || !IsChild(handle_, focus)) return nullptr;
  for (TControl* control = TControl::FromHandle(focus); control; control = control->Parent())
    if (auto* win = dynamic_cast<TWinControl*>(control); win && win != this) return win;
  return nullptr;
}

void TForm::CollectTabStops(TWinControl* parent, std::vector<TWinControl*>& stops) const {
  for (TControl* control : parent->Controls()) {
    auto* win = dynamic_cast<TWinControl*>(control);
    if (!win || !win->Visible() || !win->Enabled()) continue;
    if (win->TabStop()) stops.push_back(win);
    CollectTabStops(win, stops);
  }
}

void TForm::SelectNext(bool forward) {
  std::vector<TWinControl*> stops;
  CollectTabStops(const_cast<TForm*>(this), stops);
  if (stops.empty()) return;
  TWinControl* current = ActiveControl();
  auto it = std::find(stops.begin(), stops.end(), current);
  size_t next;
  if (it == stops.end())
    next = forward ? 0 : stops.size() - 1;
  else {
    const size_t at = static_cast<size_t>(it - stops.begin());
    next = forward ? (at + 1) % stops.size() : (at + stops.size() - 1) % stops.size();
  }
  TWinControl* target = stops[next];
  target->SetFocus();
  if (auto* edit = dynamic_cast<TEdit*>(target)) edit->SelectAll();
}

TButton* TForm::FindButton(bool wantDefault) const {
  std::vector<const TWinControl*> pending{this};
  while (!pending.empty()) {
    const TWinControl* parent = pending.back();
    pending.pop_back();
    for (TControl* control : parent->Controls()) {
      if (auto* button = dynamic_cast<TButton*>(control);
          button && (wantDefault ? button->Default() : button->Cancel()) && button->CanFocus())
        return button;
      if (auto* win = dynamic_cast<TWinControl*>(control); win && win->Visible() && win->Enabled())
        pending.push_back(win);
    }
  }
  return nullptr;
}

namespace {

// The character after a single "&" of a caption, upper-cased; 0 when none
// ("&&" is a literal ampersand).
char MnemonicOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

}  // namespace

bool TForm::DispatchMnemonic(char key) {
  // The menu bar's letters come first: Alt opens its menu as the system does.
  if (menu_)
    for (int i = 0; i < menu_->Items().Count(); ++i)
      if (menu_->Items().Item(i)->Visible() && MnemonicOf(menu_->Items().Item(i)->Caption()) == key) return false;
  std::vector<const TWinControl*> pending{this};
  while (!pending.empty()) {
    const TWinControl* parent = pending.front();
    pending.erase(pending.begin());
    for (TControl* control : parent->Controls()) {
      if (!control->Visible() || !control->Enabled()) continue;
      if (MnemonicOf(control->Caption()) == key) {
        if (auto* button = dynamic_cast<TButton*>(control); button && button->CanFocus()) {
          button->SetFocus();
          button->Click();
          return true;
        }
        if (auto* label = dynamic_cast<TLabel*>(control); label && label->FocusControl() &&
                                                          label->FocusControl()->CanFocus()) {
          label->FocusControl()->SetFocus();
          if (auto* edit = dynamic_cast<TEdit*>(label->FocusControl())) edit->SelectAll();
          return true;
        }
      }
      if (auto* win = dynamic_cast<TWinControl*>(control)) pending.push_back(win);
    }
  }
  return false;
}

bool TForm::PreprocessKey(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  const WORD key = static_cast<WORD>(message.wParam);
  const unsigned shift = KeyboardShiftState();
  const TShortCut shortCut = ShortCut(key, shift);
  for (TComponent* component : std::vector<TComponent*>(Components()))
    if (auto* menu = dynamic_cast<TMenu*>(component); menu && menu->DispatchShortCut(shortCut)) return true;
  if (message.message == WM_SYSKEYDOWN && (shift & ssAlt) && !(shift & ssCtrl) &&
      std::isalnum(static_cast<unsigned char>(key)) && key < 0x80)
    return DispatchMnemonic(static_cast<char>(key));
  if (message.message != WM_KEYDOWN || (shift & (ssCtrl | ssAlt))) return false;
  auto* target = dynamic_cast<TWinControl*>(TControl::FromHandle(message.hwnd));
  if (target && target != this && target->WantsKey(key)) return false;
  switch (key) {
    case VK_RETURN: {
      TButton* button = dynamic_cast<TButton*>(target);
      if (!button) button = FindButton(true);
      if (!button) return false;
      button->Click();
      return true;
    }
    case VK_ESCAPE: {
      TButton* button = FindButton(false);
      if (!button) return false;
      button->Click();
      return true;
    }
    case VK_TAB:
      SelectNext((shift & ssShift) == 0);
      return true;
    default:
      return false;
  }
}

void TForm::UpdateHint(TControl* control) {
  if (!handle_ || !control->HandleAllocated()) return;
  if (!tooltip_) {
    tooltip_ = CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!tooltip_) return;
    SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 300);
  }
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = handle_;
  tool.uId = reinterpret_cast<UINT_PTR>(control->Handle());
  SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  if (control->Hint().empty() || !control->ShowHint()) return;
  std::string text = control->Hint();
  tool.lpszText = text.data();
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

namespace {
constexpr UINT kPostedCall = WM_APP + 0x110;
}

void TForm::PostCall(std::function<void()> call) {
  postedCalls_.push_back(std::move(call));
  PostMessageA(Handle(), kPostedCall, 0, 0);
}

void TForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case kPostedCall: {
      if (postedCalls_.empty()) return;
      std::function<void()> call = std::move(postedCalls_.front());
      postedCalls_.pop_front();
      try {
        call();
      } catch (...) {
        Application()->HandleException(this);
      }
      return;
    }
    case WM_CLOSE:
      Close();
      return;
    case WM_ACTIVATE:
      if (LOWORD(message.WParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(handle_, focus)) lastFocus_ = focus;
        if (OnDeactivate) OnDeactivate(this);
        break;
      }
      if (OnActivate) OnActivate(this);
      if (!IsIconic(handle_)) {
        if (lastFocus_ && IsWindow(lastFocus_) && IsChild(handle_, lastFocus_) &&
            IsWindowEnabled(lastFocus_) && IsWindowVisible(lastFocus_))
          ::SetFocus(lastFocus_);
        else if (!ActiveControl())
          SelectNext(true);
        if (ActiveControl()) return;
      }
      break;
    case WM_COMMAND:
      if (message.LParam == 0 && HIWORD(message.WParam) == 0) {
        if (TMenuItem* item = TMenuItem::FromCommand(LOWORD(message.WParam))) {
          item->Click();
          return;
        }
      }
      break;
    default:
      break;
  }
  TWinControl::WndProc(message);
}

}  // namespace fw
