#include "framework/controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <unordered_map>

#include "framework/application.h"
#include "framework/exceptions.h"
#include "framework/form.h"

namespace fw {

namespace {

constexpr char kOwnClass[] = "FwWindow";

// Which control a window belongs to. It is looked up for every message a
// control receives, so it must not cost a call into the window manager, as
// reading a window property does under Wine: a list box filled with a few
// thousand lines spent most of its time there. Windows of any thread are
// found, as with a property.
class WindowOwners {
 public:
  void Add(HWND window, TControl* control) {
    AcquireSRWLockExclusive(&lock_);
    owners_[window] = control;
    ReleaseSRWLockExclusive(&lock_);
  }
  void Remove(HWND window, const TControl* control) {
    AcquireSRWLockExclusive(&lock_);
    if (auto found = owners_.find(window); found != owners_.end() && found->second == control) owners_.erase(found);
    ReleaseSRWLockExclusive(&lock_);
  }
  TControl* Find(HWND window) {
    if (!window) return nullptr;
    AcquireSRWLockShared(&lock_);
    const auto found = owners_.find(window);
    TControl* control = found == owners_.end() ? nullptr : found->second;
    ReleaseSRWLockShared(&lock_);
    return control;
  }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
  std::unordered_map<HWND, TControl*> owners_;
};

// Never destroyed: windows may still go away while the program exits.
WindowOwners& Owners() {
  static auto* owners = new WindowOwners;
  return *owners;
}

void RegisterOwnClass() {
  static const bool registered = [] {
    RegisterControlClass(kOwnClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
    INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    return true;
  }();
  (void)registered;
}

}  // namespace

void RegisterControlClass(const std::string& name, UINT classStyle) {
  WNDCLASSA existing{};
  if (GetClassInfoA(GetModuleHandleA(nullptr), name.c_str(), &existing)) return;
  WNDCLASSA windowClass{};
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = ControlWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.lpszClassName = name.c_str();
  if (!RegisterClassA(&windowClass))
    throw Exception("Cannot register the window class " + name + " (error " + std::to_string(GetLastError()) +
                    ")");
}

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* control = Owners().Find(window);
  if (!control) {
    if (message != WM_NCCREATE) return DefWindowProcA(window, message, wParam, lParam);
    control = static_cast<TControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (!control) return DefWindowProcA(window, message, wParam, lParam);
    control->defaultProc_ = DefWindowProcA;
    control->Attach(window);
  }
  TMessage msg{message, wParam, lParam, 0};
  if (control->Destroying()) {
    // Derived parts are gone: only the class procedure may see messages now.
    control->DefaultHandler(msg);
  } else {
    try {
      if (control->WindowProc)
        control->WindowProc(msg);
      else
        control->WndProc(msg);
    } catch (...) {
      Application()->HandleException(control);
    }
  }
  if (message == WM_NCDESTROY) control->Detach();
  return msg.Result;
}

HCURSOR CursorHandle(TCursor cursor) {
  LPCSTR id = IDC_ARROW;
  switch (cursor) {
    case crCross:
      id = IDC_CROSS;
      break;
    case crIBeam:
      id = IDC_IBEAM;
      break;
    case crSizeAll:
      id = IDC_SIZEALL;
      break;
    case crHourGlass:
      id = IDC_WAIT;
      break;
    case crNo:
      id = IDC_NO;
      break;
    case crHandPoint:
      id = IDC_HAND;
      break;
    default:
      break;
  }
  return LoadCursorA(nullptr, id);
}

unsigned KeyboardShiftState() {
  unsigned shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

// --- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
  font_.OnChange = [this] {
    if (!followingParentFont_) parentFont_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  MarkDestroying();
  WindowProc = nullptr;
  DestroyWnd();
  if (parent_) parent_->RemoveControl(this);
  if (brush_) DeleteObject(brush_);
}

TControl* TControl::FromHandle(HWND window) {
  for (; window; window = GetParent(window))
    if (auto* control = Owners().Find(window)) return control;
  return nullptr;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw Exception("A control cannot be its own parent");
  if (handle_) DestroyWnd();
  if (parent_) parent_->RemoveControl(this);
  parent_ = parent;
  if (parent_) {
    parent_->InsertControl(this);
    ParentFontChanged();
    if (parentColor_) ColorChanged();
    if (parent_->HandleAllocated()) {
      HandleNeeded();
      if (align_ != TAlign::alNone) parent_->Realign();
    }
  }
}

TForm* TControl::ParentForm() const {
  const TControl* control = this;
  while (control->parent_) control = control->parent_;
  return dynamic_cast<TForm*>(const_cast<TControl*>(control));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  const bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (handle_) MoveWindow(handle_, left, top, width, height, TRUE);
  if (resized && align_ != TAlign::alNone && parent_) parent_->Realign();
}

int TControl::ClientWidth() const { return width_; }
int TControl::ClientHeight() const { return height_; }

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
  if (align_ != TAlign::alNone && parent_) parent_->Realign();
  VisibleChanged();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (handle_) EnableWindow(handle_, enabled);
  Invalidate();
}

std::string TControl::Text() const {
  if (!handle_) return text_;
  const int length = GetWindowTextLengthA(handle_);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(handle_, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

void TControl::SetText(const std::string& text) {
  text_ = text;
  if (handle_ && Text() != text) {
    SetWindowTextA(handle_, text.c_str());
    Invalidate();
  }
}

TColor TControl::Color() const { return parentColor_ && parent_ ? parent_->Color() : color_; }

void TControl::SetColor(TColor color) {
  parentColor_ = false;
  if (color == color_) return;
  color_ = color;
  ColorChanged();
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  ColorChanged();
}

void TControl::ParentColorChanged() {
  if (parentColor_) ColorChanged();
}

void TControl::SetParentFont(bool value) {
  parentFont_ = value;
  if (value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || !parent_) return;
  followingParentFont_ = true;
  font_.Assign(parent_->Font());
  followingParentFont_ = false;
}

void TControl::FontChanged() {
  if (handle_) {
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
    Invalidate();
  }
}

void TControl::ColorChanged() {
  if (brush_) {
    DeleteObject(brush_);
    brush_ = nullptr;
  }
  Invalidate();
}

HBRUSH TControl::CtlColor(HDC dc) {
  SetTextColor(dc, ColorToRGB(font_.Color()));
  SetBkColor(dc, ColorToRGB(Color()));
  if (!brush_) brush_ = CreateSolidBrush(ColorToRGB(Color()));
  return brush_;
}

void TControl::SetHint(const std::string& hint) {
  hint_ = hint;
  RegisterHint();
}

void TControl::SetShowHint(bool value) {
  showHint_ = value;
  RegisterHint();
}

void TControl::RegisterHint() {
  if (!handle_) return;
  if (TForm* form = ParentForm(); form && form != this) form->UpdateHint(this);
}

HWND TControl::Handle() {
  if (!handle_) {
    if (Destroying()) throw Exception("Control is being destroyed");
    if (parent_) parent_->HandleNeeded();
    if (!handle_) CreateWnd();
  }
  return handle_;
}

void TControl::CreateParams(TCreateParams& params) {
  params.ClassName = kOwnClass;
  params.OwnClass = true;
  params.Style = WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
  params.X = left_;
  params.Y = top_;
  params.Width = width_;
  params.Height = height_;
  params.Caption = text_;
  if (parent_) params.WndParent = parent_->Handle();
}

void TControl::CreateWnd() {
  RegisterOwnClass();
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.WndParent)
    throw Exception("Control '" + Name() + "' has no parent window");
  HWND window =
      CreateWindowExA(params.ExStyle, params.ClassName.c_str(), params.Caption.c_str(), params.Style,
                      params.X, params.Y, params.Width, params.Height, params.WndParent, nullptr,
                      GetModuleHandleA(nullptr), params.OwnClass ? this : nullptr);
  if (!window)
    throw Exception("Cannot create window '" + Name() + "' (error " + std::to_string(GetLastError()) + ")");
  if (!params.OwnClass) {
    Attach(window);
    defaultProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc)));
  }
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
  HandleCreated();
}

void TControl::Attach(HWND window) {
  handle_ = window;
  Owners().Add(window, this);
}

void TControl::Detach() {
  if (!handle_) return;
  Owners().Remove(handle_, this);
  if (defaultProc_ && defaultProc_ != DefWindowProcA)
    SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defaultProc_));
  handle_ = nullptr;
}

void TControl::HandleCreated() { RegisterHint(); }

void TControl::HandleDestroying() { text_ = Text(); }

void TControl::DestroyWnd() {
  if (!handle_) return;
  HWND window = handle_;
  DestroyWindow(window);
  if (handle_ == window) Detach();  // a window of another thread, or one already gone
}

void TControl::RecreateWnd() {
  if (!handle_) return;
  DestroyWnd();
  HandleNeeded();
}

void TControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TControl::Repaint() {
  if (handle_) {
    InvalidateRect(handle_, nullptr, TRUE);
    UpdateWindow(handle_);
  }
}

void TControl::BringToFront() {
  if (handle_) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TControl::DefaultHandler(TMessage& message) {
  if (!handle_) return;
  message.Result = CallWindowProcA(defaultProc_ ? defaultProc_ : DefWindowProcA, handle_, message.Msg,
                                   message.WParam, message.LParam);
}

void TControl::UpdateBoundsFromWindow() {
  RECT rect;
  if (!handle_ || !GetWindowRect(handle_, &rect)) return;
  if (HWND parent = GetParent(handle_); parent && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  left_ = rect.left;
  top_ = rect.top;
  width_ = rect.right - rect.left;
  height_ = rect.bottom - rect.top;
}

void TControl::MouseMessage(TMessage& message) {
  const int x = GET_X_LPARAM(message.LParam), y = GET_Y_LPARAM(message.LParam);
  unsigned shift = KeyboardShiftState();
  if (message.WParam & MK_LBUTTON) shift |= ssLeft;
  if (message.WParam & MK_RBUTTON) shift |= ssRight;
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      if (OnMouseMove) OnMouseMove(this, shift, x, y);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      if (OnMouseDown)
        OnMouseDown(this, message.Msg == WM_LBUTTONDOWN ? TMouseButton::mbLeft : TMouseButton::mbRight, shift,
                    x, y);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (OnMouseUp)
        OnMouseUp(this, message.Msg == WM_LBUTTONUP ? TMouseButton::mbLeft : TMouseButton::mbRight, shift, x,
                  y);
      break;
    default:
      break;
  }
}

void TControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      MouseMessage(message);
      if (defaultProc_ == DefWindowProcA) {
        // Own windows click on release inside, as buttons do.
        if (message.Msg == WM_LBUTTONDOWN) {
          mouseDownInside_ = true;
          SetCapture(handle_);
        } else if (message.Msg == WM_LBUTTONUP && mouseDownInside_) {
          mouseDownInside_ = false;
          ReleaseCapture();
          RECT client;
          GetClientRect(handle_, &client);
          POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
          if (PtInRect(&client, at)) Click();
          return;
        }
      }
      break;
    case WM_LBUTTONDBLCLK:
      if (defaultProc_ == DefWindowProcA) {
        DblClick();
        return;
      }
      break;
    case WM_SETCURSOR:
      if (LOWORD(message.LParam) == HTCLIENT) {
        const TCursor cursor = Screen()->Cursor() != crDefault ? Screen()->Cursor() : cursor_;
        if (cursor != crDefault) {
          ::SetCursor(CursorHandle(cursor));
          message.Result = TRUE;
          return;
        }
      }
      break;
    case WM_ERASEBKGND:
      if (defaultProc_ == DefWindowProcA) {
        if (FillsBackground()) {
          RECT client;
          GetClientRect(handle_, &client);
          HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
          FillRect(reinterpret_cast<HDC>(message.WParam), &client, brush);
          DeleteObject(brush);
        }
        message.Result = 1;
        return;
      }
      break;
    case WM_PAINT:
      if (defaultProc_ == DefWindowProcA) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(handle_, &paint);
        {
          TCanvas canvas(dc);
          canvas.Font.Assign(font_);
          canvas.Brush.Color = Color();
          Paint(canvas);
        }
        EndPaint(handle_, &paint);
        return;
      }
      break;
    case WM_DESTROY:
      HandleDestroying();
      break;
    case WM_SIZE:
    case WM_MOVE:
      UpdateBoundsFromWindow();
      break;
    default:
      break;
  }
  DefaultHandler(message);
}

// --- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  MarkDestroying();
  WindowProc = nullptr;
  DestroyWnd();
  // Children owned elsewhere lose their parent rather than point at us.
  std::vector<TControl*> children;
  children.swap(controls_);
  for (TControl* child : children) child->parent_ = nullptr;
}

void TWinControl::InsertControl(TControl* control) { controls_.push_back(control); }

void TWinControl::RemoveControl(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  if (control->Align() != TAlign::alNone && !Destroying()) Realign();
}

void TWinControl::SetTabStop(bool value) {
  tabStop_ = value;
  if (handle_) {
    LONG style = GetWindowLongA(handle_, GWL_STYLE);
    SetWindowLongA(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
  }
}

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  int order = 0;
  for (TControl* control : parent_->controls_) {
    if (control == this) return order;
    if (dynamic_cast<TWinControl*>(control)) ++order;
  }
  return -1;
}

void TWinControl::SetTabOrder(int order) {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), static_cast<TControl*>(this)), list.end());
  int seen = 0;
  auto it = list.begin();
  for (; it != list.end() && seen < order; ++it)
    if (dynamic_cast<TWinControl*>(*it)) ++seen;
  list.insert(it, this);
}

bool TWinControl::CanFocus() const {
  for (const TControl* control = this; control; control = control->Parent())
    if (!control->Visible() || !control->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw Exception("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

int TWinControl::ClientWidth() const {
  RECT client;
  if (handle_ && GetClientRect(handle_, &client)) return client.right;
  return Width();
}

int TWinControl::ClientHeight() const {
  RECT client;
  if (handle_ && GetClientRect(handle_, &client)) return client.bottom;
  return Height();
}

void TWinControl::Realign() {
  if (Loading() || Destroying()) return;
  RECT area{0, 0, ClientWidth(), ClientHeight()};
  for (TAlign pass : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    for (TControl* control : controls_) {
      if (control->Align() != pass || !control->Visible()) continue;
      const int w = control->Width(), h = control->Height();
      const int areaW = std::max(0L, area.right - area.left), areaH = std::max(0L, area.bottom - area.top);
      switch (pass) {
        case TAlign::alTop:
          control->TControl::SetBounds(area.left, area.top, areaW, h);
          area.top += h;
          break;
        case TAlign::alBottom:
          control->TControl::SetBounds(area.left, area.bottom - h, areaW, h);
          area.bottom -= h;
          break;
        case TAlign::alLeft:
          control->TControl::SetBounds(area.left, area.top, w, areaH);
          area.left += w;
          break;
        case TAlign::alRight:
          control->TControl::SetBounds(area.right - w, area.top, w, areaH);
          area.right -= w;
          break;
        default:
          control->TControl::SetBounds(area.left, area.top, areaW, areaH);
          break;
      }
    }
  }
}

void TWinControl::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  // No WS_CLIPCHILDREN: transparent children show what the parent paints.
  if (tabStop_) params.Style |= WS_TABSTOP;
  params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TWinControl::CreateWnd() {
  TControl::CreateWnd();
  for (TControl* child : std::vector<TControl*>(controls_)) child->HandleNeeded();
  Realign();
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* child : controls_) child->ParentFontChanged();
}

void TWinControl::ColorChanged() {
  TControl::ColorChanged();
  for (TControl* child : controls_) child->ParentColorChanged();
}

void TWinControl::Resize() {
  if (OnResize) OnResize(this);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_COMMAND:
      if (message.LParam) {
        if (auto* child =
                Owners().Find(reinterpret_cast<HWND>(message.LParam));
            child && child != this && child->ItemCommand(LOWORD(message.WParam), HIWORD(message.WParam)))
          return;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(message.LParam);
      if (auto* child = Owners().Find(header->hwndFrom);
          child && child != this && child->Notify(header, message.Result))
        return;
      break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      if (auto* child =
              Owners().Find(reinterpret_cast<HWND>(message.LParam));
          child && child != this) {
        if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(message.WParam))) {
          message.Result = reinterpret_cast<LRESULT>(brush);
          return;
        }
      }
      break;
    case WM_SETFOCUS:
      TControl::WndProc(message);
      DoEnter();
      return;
    case WM_KILLFOCUS:
      TControl::WndProc(message);
      DoExit();
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      const bool down = message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN;
      TForm* form = ParentForm();
      const bool preview = form && form != this && form->KeyPreview();
      for (TWinControl* control : {preview ? static_cast<TWinControl*>(form) : nullptr, this}) {
        if (!control) continue;
        TKeyEvent& handler = down ? control->OnKeyDown : control->OnKeyUp;
        if (!handler) continue;
        WORD key = static_cast<WORD>(message.WParam);
        handler(control, key, KeyboardShiftState());
        if (key == 0) return;
        message.WParam = key;
      }
      break;
    }
    case WM_CHAR:
      if (OnKeyPress) {
        char key = static_cast<char>(message.WParam);
        OnKeyPress(this, key);
        if (key == 0) return;
        message.WParam = static_cast<unsigned char>(key);
      }
      break;
    case WM_SIZE:
      TControl::WndProc(message);
      Realign();
      Resize();
      return;
    default:
      break;
  }
  TControl::WndProc(message);
}

// --- TGraphicControl

void TGraphicControl::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  if (!FillsBackground()) params.ExStyle |= WS_EX_TRANSPARENT;
}

}  // namespace fw

namespace fw {

void TControl::StringProperties(std::vector<TStringProperty>& properties) {
  TComponent::StringProperties(properties);
  if (*TextPropertyName())
    properties.push_back({TextPropertyName(), [this] { return Text(); },
                          [this](const std::string& value) { SetText(value); }});
  properties.push_back(
      {"Hint", [this] { return Hint(); }, [this](const std::string& value) { SetHint(value); }});
}

}  // namespace fw
