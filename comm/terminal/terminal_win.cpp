#include "comm/terminal/terminal_win.h"

#include <algorithm>
#include <cstring>

#include "comm/base/exceptions.h"
#include "comm/port/com_port_component.h"
#include "comm/terminal/screen_buffer.h"
#include "comm/terminal/window_win.h"
#include "framework/form.h"

namespace comm {
namespace {

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

TApdCustomTerminal::TApdCustomTerminal(fw::TComponent* owner) : fw::TWinControl(owner) {
  SetBounds(0, 0, 200, 200);
  SetParentColor(false);
  SetParentFont(false);
  SetColor(fw::clBlack);
  Font().SetName("Terminal");
  Font().SetSize(9);
  Font().SetPitch(fw::TFontPitch::fpFixed);
  Font().SetStyle(0);
  Font().SetColor(fw::clSilver);
  SetTabStop(true);
}

TApdCustomTerminal::~TApdCustomTerminal() {
  MarkDestroying();
  if (comPort_ && HandleAllocated()) comPort_->UnregisterClientWindow(reinterpret_cast<WindowRef>(handle_));
  if (emulator_) emulator_->attached = false;
  if (keyboard_) keyboard_->attached = false;
  if (portHolder_) portHolder_->RemoveFreeNotification(this);
  if (emulator_) emulator_->RemoveFreeNotification(this);
  if (keyboard_) keyboard_->RemoveFreeNotification(this);
  // The window goes with the framework's part; its class still closes the
  // capture file and leaves the dispatcher then.
}

int TApdCustomTerminal::Check(int code) const { return CheckCode(Loading(), code); }

LRESULT TApdCustomTerminal::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!HandleAllocated() && !Parent()) return 0;
  return SendMessageA(Handle(), message, wParam, lParam);
}

// ---- window ----

void TApdCustomTerminal::CreateParams(fw::TCreateParams& params) {
  fw::TWinControl::CreateParams(params);
  if (!RegisterTerminalClass()) CheckCode(false, codes::kInternalWindowClass);
  params.ClassName = kTerminalClassName;
  params.OwnClass = false;
  params.ExStyle |= WS_EX_CLIENTEDGE;
  params.Style |= WS_TABSTOP;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
  if (autoScroll_ == asHorizontal || autoScroll_ == asBoth) params.Style |= kTerminalScrollsHorizontally;
  if (autoScroll_ == asVertical || autoScroll_ == asBoth) params.Style |= kTerminalScrollsVertically;
  if (integralSize_ == isWidth || integralSize_ == isBoth) params.Style |= kTerminalIntegralWidth;
  if (integralSize_ == isHeight || integralSize_ == isBoth) params.Style |= kTerminalIntegralHeight;
}

void TApdCustomTerminal::CreateWnd() {
  const int height = Height(), width = Width();
  fw::TWinControl::CreateWnd();
  windowCreated_ = true;
  // Bindings made before the window existed reach it now.
  TApdComPort* port = comPort_;
  fw::TComponent* holder = portHolder_;
  TApdCustomEmulator* emulator = emulator_;
  TApdCustomKeyboardEmulator* keyboard = keyboard_;
  if (emulator) emulator->attached = false;
  if (keyboard) keyboard->attached = false;
  comPort_ = nullptr;
  portHolder_ = nullptr;
  emulator_ = nullptr;
  keyboard_ = nullptr;
  if (fw::TForm* form = ParentForm()) {
    for (fw::TComponent* component : form->Components()) {
      if (!port)
        if (auto* found = dynamic_cast<ComPortComponent*>(component)) {
          port = &found->Port();
          holder = found;
        }
      if (!emulator)
        if (auto* found = dynamic_cast<TApdCustomEmulator*>(component); found && !found->attached)
          emulator = found;
      if (!keyboard)
        if (auto* found = dynamic_cast<TApdCustomKeyboardEmulator*>(component); found && !found->attached)
          keyboard = found;
    }
  }
  SetEmulator(emulator);
  SetKeyBoardEmu(keyboard);
  Perform(TM_SETDIMENSIONS, pageHeight_, static_cast<LPARAM>(columns_) << 16 | rows_);
  Perform(TM_SETBLINKTIME, blinkTime_);
  Perform(TM_SETPERSISTENTMARK, persistentMark_ ? 1 : 0);
  Perform(TM_SETHALFDUPLEX, halfDuplex_ ? 1 : 0);
  Perform(TM_PALETTE, 1, reinterpret_cast<LPARAM>(palette_.data()));
  SyncColours();
  SendFont();
  sizing_ = true;
  SetBounds(Left(), Top(), width, height);
  SetDisplayRows(displayRows_);
  SetDisplayColumns(displayColumns_);
  sizing_ = false;
  SetWantTabs(true);
  ClearAll();
  SetComPort(port, holder);
  if (recreating_) return;
  if (savedState_) {
    // An earlier re-creation found no window: this one takes up its screen
    // and capture, held bytes included.
    RestoreSaved();
    RefreshPlanes();
  } else if (capture_ != cmOff) {
    SendCaptureMode();
  }
}

void TApdCustomTerminal::Recreate() {
  if (Loading() || !HandleAllocated()) return;
  const bool wasActive = active_;
  if (active_) StopCode();
  savedState_ = Perform(TM_SAVERESTORE, 0);
  recreating_ = true;
  try {
    RecreateWnd();
  } catch (...) {
    // No window: the saved screen and the capture's held bytes stay for the
    // next window (CreateWnd), and the caller hears of the failure.
    recreating_ = false;
    throw;
  }
  recreating_ = false;
  const int restored = RestoreSaved(false);
  RefreshPlanes();
  if (wasActive) StartCode();
  Check(restored);
}

int TApdCustomTerminal::RestoreSaved(bool raise) {
  if (!savedState_) return 0;
  const int result = static_cast<int>(Perform(TM_SAVERESTORE, 1, savedState_));
  savedState_ = 0;
  if (result >= 0 || capture_ == cmOff) return 0;
  // The capture file could not be opened again: capture is off and says so;
  // bytes it still held stay in the buffer for the next open.
  capture_ = cmOff;
  if (raise) Check(result);
  return result;
}

void TApdCustomTerminal::WndProc(fw::TMessage& message) {
  switch (message.Msg) {
    case WM_DESTROY:
      if (comPort_) comPort_->UnregisterClientWindow(reinterpret_cast<WindowRef>(handle_));
      // A re-created window reopens its capture file: the property stays.
      if (!recreating_ && capture_ != cmOff) capture_ = cmOff;
      if (emulator_) emulator_->attached = false;
      if (keyboard_) keyboard_->attached = false;
      windowCreated_ = false;
      break;  // the window class closes the capture file and leaves the dispatcher
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case kPortOpenMessage:
      if (comPort_) {
        if (TApdBaseDispatcher* dispatcher = comPort_->Dispatcher())
          Check(static_cast<int>(Perform(TM_ATTACH, static_cast<WPARAM>(dispatcher->Handle()))));
        if (pending_) SetActive(true);
      }
      return;
    case kPortClosingMessage:
      Check(static_cast<int>(Perform(TM_DETACH)));
      pending_ = active_;
      active_ = false;
      return;
    case TM_STATUS:
      TerminalStatus(static_cast<std::uint8_t>(message.WParam & 0xFF),
                     static_cast<std::uint8_t>(message.WParam >> 8 & 0xFF),
                     static_cast<std::uint16_t>(message.LParam & 0xFFFF),
                     static_cast<std::uint16_t>(message.LParam >> 16 & 0xFFFF));
      return;
    case TM_ERROR:
      TerminalError(static_cast<std::uint16_t>(message.WParam & 0xFFFF));
      if (message.LParam == 0) SetCapture(cmOff);
      return;
    case TM_CURSORREPORT:
      CursorPosReport(static_cast<int>(message.WParam), static_cast<int>(message.LParam));
      return;
    case WM_SIZE:
      fw::TWinControl::WndProc(message);
      // A window lower than one row would show nothing at all. The width it
      // has now is measured first so that only the height changes.
      if (windowCreated_ && !sizing_ && DisplayRows() == 0) {
        sizing_ = true;
        DisplayColumns();
        SetDisplayRows(1);
        sizing_ = false;
      }
      return;
    default:
      break;
  }
  fw::TWinControl::WndProc(message);
}

void TApdCustomTerminal::TerminalStatus(std::uint8_t row, std::uint8_t column, std::uint16_t bufferRow,
                                        std::uint16_t bufferColumn) {
  if (OnTerminalStatus) OnTerminalStatus(this, row, column, bufferRow, bufferColumn);
}

void TApdCustomTerminal::TerminalError(std::uint16_t code) {
  if (OnTerminalError) OnTerminalError(this, code);
}

void TApdCustomTerminal::CursorPosReport(int x, int y) {
  if (OnCursorPosReport) OnCursorPosReport(this, x, y);
}

void TApdCustomTerminal::Loaded() {
  fw::TWinControl::Loaded();
  if (active_) pending_ = true;
  // Without a port the terminal waits for one instead of failing the form.
  if (pending_ && comPort_) SetActive(true);
  if (!Designing() && Parent()) ClearAll();
}

void TApdCustomTerminal::Notification(fw::TComponent* component, fw::TOperation operation) {
  fw::TWinControl::Notification(component, operation);
  if (Destroying()) return;
  if (operation == fw::TOperation::opRemove) {
    if (component == portHolder_ && component->Destroying()) {
      // The notice comes from the holder's base destructor: its port object
      // is gone already, so it is forgotten without a call into it (its
      // close detached the window).
      comPort_ = nullptr;
      portHolder_ = nullptr;
      active_ = false;
      pending_ = false;
      if (windowCreated_) Perform(TM_DETACH);
    } else if (component == portHolder_) {
      SetActive(false);
      SetComPort(nullptr);
    }
    if (component == emulator_) {
      emulator_->attached = false;
      emulator_ = nullptr;
      if (HandleAllocated()) {
        Perform(TM_SETEMUPROC, 0, 0);
        Perform(TM_SETEMUDATA, 0, 0);
      }
    }
    if (component == keyboard_) {
      keyboard_->attached = false;
      keyboard_ = nullptr;
      if (HandleAllocated()) {
        Perform(TM_SETKEYPROC, 0, 0);
        Perform(TM_SETKEYDATA, 0, 0);
      }
    }
  } else if (auto* port = dynamic_cast<ComPortComponent*>(component); port && !comPort_ && windowCreated_) {
    SetComPort(&port->Port(), port);
  }
}

// ---- start, stop, activation ----

int TApdCustomTerminal::StartCode() {
  if (!comPort_) return codes::kPortNotAssigned;
  TApdBaseDispatcher* dispatcher = comPort_->Dispatcher();
  if (!dispatcher) return codes::kBadHandle;
  int result = static_cast<int>(Perform(TM_ATTACH, static_cast<WPARAM>(dispatcher->Handle())));
  if (result == 0) result = static_cast<int>(Perform(TM_START, 1));
  return result;
}

int TApdCustomTerminal::StopCode() {
  if (!comPort_) return codes::kPortNotAssigned;
  if (!comPort_->Open() || !comPort_->Dispatcher()) return codes::kBadHandle;
  return static_cast<int>(Perform(TM_STOP));
}

void TApdCustomTerminal::StartTerminal() { CheckCode(false, StartCode()); }
void TApdCustomTerminal::StopTerminal() { CheckCode(false, StopCode()); }

void TApdCustomTerminal::SetActive(bool active) {
  if (active == active_ && !pending_) return;
  if (Designing()) {
    active_ = active;
    return;
  }
  if (!comPort_) {
    if (active) CheckCode(false, codes::kPortNotAssigned);
    active_ = false;
    pending_ = false;
    return;
  }
  if (!active) {
    StopCode();
    active_ = false;
    pending_ = false;
    return;
  }
  if (!windowCreated_) {
    pending_ = true;
    return;
  }
  if (StartCode() == 0) {
    pending_ = false;
    active_ = true;
  } else {
    pending_ = true;
    comPort_->RequestOpenOnLoad();
  }
}

void TApdCustomTerminal::SetComPort(TApdComPort* port, fw::TComponent* holder) {
  if (port == comPort_) return;
  if (comPort_ && HandleAllocated()) comPort_->UnregisterClientWindow(reinterpret_cast<WindowRef>(handle_));
  if (portHolder_) portHolder_->RemoveFreeNotification(this);
  comPort_ = port;
  portHolder_ = port ? holder : nullptr;
  if (portHolder_) portHolder_->FreeNotification(this);
  if (!windowCreated_) return;
  if (comPort_) comPort_->RegisterClientWindow(reinterpret_cast<WindowRef>(handle_));
  const bool usable = comPort_ && (comPort_->Open() || (comPort_->AutoOpen && !Designing()));
  if (!usable) {
    Check(static_cast<int>(Perform(TM_DETACH)));
  } else if (active_ || pending_) {
    // Unchecked like the other internal starts: a port that cannot open yet
    // leaves the terminal waiting for its open notification.
    StopCode();
    if (StartCode() == 0) {
      active_ = true;
      pending_ = false;
    } else {
      active_ = false;
      pending_ = true;
    }
  } else {
    StopCode();
    pending_ = true;
  }
}

// ---- emulators ----

void TApdCustomTerminal::SetEmulator(TApdCustomEmulator* emulator) {
  if (emulator == emulator_ && (!emulator || emulator->attached)) return;
  if (emulator_) {
    emulator_->attached = false;
    emulator_->RemoveFreeNotification(this);
  }
  emulator_ = nullptr;
  if (!emulator || emulator->attached) {
    if (windowCreated_) {
      Perform(TM_SETEMUPROC, 0, 0);
      Perform(TM_SETEMUDATA, 0, 0);
    }
    return;
  }
  emulator_ = emulator;
  emulator_->FreeNotification(this);
  if (!windowCreated_) return;  // bound when the window is made
  emulator_->attached = true;
  Perform(TM_SETEMUPROC, 0, reinterpret_cast<LPARAM>(&TApdCustomEmulator::Routine));
  Perform(TM_SETEMUDATA, 0, reinterpret_cast<LPARAM>(emulator_));
}

void TApdCustomTerminal::SetKeyBoardEmu(TApdCustomKeyboardEmulator* keyboard) {
  if (keyboard == keyboard_ && (!keyboard || keyboard->attached)) return;
  if (keyboard_) {
    keyboard_->attached = false;
    keyboard_->RemoveFreeNotification(this);
  }
  keyboard_ = nullptr;
  if (!keyboard || keyboard->attached) {
    if (windowCreated_) {
      Perform(TM_SETKEYPROC, 0, 0);
      Perform(TM_SETKEYDATA, 0, 0);
    }
    return;
  }
  keyboard_ = keyboard;
  keyboard_->FreeNotification(this);
  if (!windowCreated_) return;
  keyboard_->attached = true;
  Perform(TM_SETKEYPROC, 0, reinterpret_cast<LPARAM>(&TApdCustomKeyboardEmulator::Routine));
  Perform(TM_SETKEYDATA, 0, reinterpret_cast<LPARAM>(keyboard_));
}

// ---- capture ----

void TApdCustomTerminal::SendCaptureMode() {
  const WPARAM mode = (capture_ == cmAppend ? 1u : 0u) << 8 | (capture_ != cmOff ? 1u : 0u);
  const std::string name = captureFile_;
  const int result = static_cast<int>(Perform(TM_CAPTURE, mode, reinterpret_cast<LPARAM>(name.c_str())));
  if (result < 0) {
    capture_ = cmOff;  // nothing is being captured: the property says so
    Check(result);
  }
}

void TApdCustomTerminal::SetCapture(TCaptureMode mode) {
  if (mode == capture_) return;
  capture_ = mode;
  if (Designing() || recreating_ || !windowCreated_) return;
  SendCaptureMode();
}

void TApdCustomTerminal::SetCaptureFile(const std::string& name) {
  const std::string kept = name.substr(0, kCaptureFileNameLimit);
  if (SameNameIgnoringCase(kept, captureFile_)) return;
  if (capture_ == cmOn || capture_ == cmAppend) {
    const TCaptureMode mode = capture_;
    SetCapture(cmOff);
    captureFile_ = kept;
    SetCapture(mode);
  } else {
    captureFile_ = kept;
  }
}

// ---- dimensions, display size, font and colours ----

namespace {

// The screen buffer's limits, checked before anything is stored so that the
// component and its window never disagree.
void ApplyChecked(TApdCustomTerminal& terminal, int rows, int columns, int pageHeight, bool loading,
                  const std::function<LRESULT(WPARAM, LPARAM)>& send, const std::function<void()>& store) {
  if (static_cast<long>(rows) * columns > maxCells) CheckCode(loading, codes::kBufferTooBig);
  if (columns < 1 || columns > maxColumns || pageHeight < 1 || rows < pageHeight) {
    CheckCode(loading, codes::kBadArgument);
    return;
  }
  (void)terminal;
  const int result =
      static_cast<int>(send(static_cast<WPARAM>(pageHeight), static_cast<LPARAM>(columns) << 16 | rows));
  if (result < 0) {
    CheckCode(loading, result);
    return;
  }
  store();
}

}  // namespace

void TApdCustomTerminal::SetRows(std::uint16_t value) {
  if (value == rows_) return;
  int rows = std::max<int>(value, pageHeight_), columns = columns_;
  if (rows * columns > maxCells) columns = maxCells / rows;
  ApplyChecked(
      *this, rows, columns, pageHeight_, Loading(),
      [&](WPARAM w, LPARAM l) { return windowCreated_ ? Perform(TM_SETDIMENSIONS, w, l) : 0; },
      [&] {
        rows_ = static_cast<std::uint16_t>(rows);
        columns_ = static_cast<std::uint16_t>(columns);
      });
  RefreshPlanes();
}

void TApdCustomTerminal::SetColumns(std::uint16_t value) {
  if (value == columns_) return;
  int columns = std::max<int>(value, std::min<int>(displayColumns_, maxColumns)), rows = rows_;
  if (rows * columns > maxCells) rows = maxCells / columns;
  ApplyChecked(
      *this, rows, columns, pageHeight_, Loading(),
      [&](WPARAM w, LPARAM l) { return windowCreated_ ? Perform(TM_SETDIMENSIONS, w, l) : 0; },
      [&] {
        rows_ = static_cast<std::uint16_t>(rows);
        columns_ = static_cast<std::uint16_t>(columns);
      });
  RefreshPlanes();
}

void TApdCustomTerminal::SetPageHeight(std::uint16_t value) {
  if (value == pageHeight_) return;
  const int height = std::min<int>(value, rows_);
  ApplyChecked(
      *this, rows_, columns_, height, Loading(),
      [&](WPARAM w, LPARAM l) { return windowCreated_ ? Perform(TM_SETDIMENSIONS, w, l) : 0; },
      [&] { pageHeight_ = static_cast<std::uint16_t>(height); });
  RefreshPlanes();
}

std::uint16_t TApdCustomTerminal::DisplayRows() {
  if (windowCreated_) {
    const int height = static_cast<int>(Perform(TM_GETCHARSIZE) & 0xFF);
    RECT client;
    GetClientRect(handle_, &client);
    if (height > 0) displayRows_ = static_cast<std::uint16_t>(client.bottom / height);
  }
  return displayRows_;
}

std::uint16_t TApdCustomTerminal::DisplayColumns() {
  if (windowCreated_) {
    const int width = static_cast<int>(Perform(TM_GETCHARSIZE) >> 8 & 0xFF);
    RECT client;
    GetClientRect(handle_, &client);
    if (width > 0) displayColumns_ = static_cast<std::uint16_t>(client.right / width);
  }
  return displayColumns_;
}

void TApdCustomTerminal::SetDisplayRows(std::uint16_t rows) {
  if (!windowCreated_) {
    displayRows_ = rows;
    return;
  }
  if (integralSize_ != isHeight && integralSize_ != isBoth) return;
  displayRows_ = std::min(rows, pageHeight_);
  Perform(TM_SETDISPLAYSIZE, displayColumns_, displayRows_);
  RefreshPlanes();
}

void TApdCustomTerminal::SetDisplayColumns(std::uint16_t columns) {
  if (!windowCreated_) {
    displayColumns_ = columns;
    return;
  }
  if (integralSize_ != isWidth && integralSize_ != isBoth) return;
  displayColumns_ = std::min(columns, columns_);
  Perform(TM_SETDISPLAYSIZE, displayColumns_, displayRows_);
  RefreshPlanes();
}

void TApdCustomTerminal::SetBounds(int left, int top, int width, int height) {
  const bool free = !windowCreated_ || Loading() || sizing_;
  if (!free && integralSize_ != isNone && integralSize_ != isWidth) height = Height();
  if (!free && integralSize_ != isNone && integralSize_ != isHeight) width = Width();
  fw::TWinControl::SetBounds(left, top, width, height);
}

void TApdCustomTerminal::SendFont() {
  if (!windowCreated_) return;
  if (Perform(WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), 1) != 0 || fontFallbackTried_) return;
  // Refused (not fixed pitch): the default face, tried once; when that is
  // refused too the window keeps the fixed font it has.
  fontFallbackTried_ = true;
  Font().SetName("Terminal");
  Font().SetPitch(fw::TFontPitch::fpFixed);
  Font().SetStyle(0);
  Font().SetSize(9);
  SendFont();
  fontFallbackTried_ = false;
}

void TApdCustomTerminal::FontChanged() {
  // The framework's own WM_SETFONT is not used: the refusal must be seen.
  if (!windowCreated_) return;
  SendFont();
  if (Loading()) {
    SetDisplayRows(displayRows_);
    SetDisplayColumns(displayColumns_);
  }
  SyncColours();
  Invalidate();
}

void TApdCustomTerminal::ColorChanged() {
  fw::TWinControl::ColorChanged();
  if (windowCreated_) SyncColours();
}

void TApdCustomTerminal::SyncColours() {
  const LRESULT current = Perform(TM_PALETTE, 2);
  const int currentBack = static_cast<int>(current >> 16 & 15), currentFore = static_cast<int>(current & 15);
  auto index = [&](std::uint32_t rgb, int currentIndex) {
    for (int i = 0; i < 16; ++i)
      if (palette_[static_cast<std::size_t>(i)] == rgb) return i;
    palette_[static_cast<std::size_t>(currentIndex)] = rgb;
    Perform(TM_PALETTE, 0, reinterpret_cast<LPARAM>(palette_.data()));
    return currentIndex;
  };
  const int back = index(fw::ColorToRGB(Color()), currentBack);
  const int fore = index(fw::ColorToRGB(Font().Color()), currentFore);
  Perform(TM_SETCOLORS, static_cast<WPARAM>(fore), back);
  RefreshPlanes();
  Invalidate();
}

void TApdCustomTerminal::RefreshPlanes() {
  if (!windowCreated_ || Perform(TM_GETPLANES, 0, reinterpret_cast<LPARAM>(&planes_)) != 0) planes_ = {};
}

// ---- the rest of the properties ----

void TApdCustomTerminal::SetScrollBars(TScrollStyle style) {
  if (style == scrollBars_) return;
  scrollBars_ = style;
  if (style == ssHorizontal || style == ssBoth)
    autoScroll_ = autoScroll_ == asHorizontal ? asNone : autoScroll_ == asBoth ? asVertical : autoScroll_;
  if (style == ssVertical || style == ssBoth)
    autoScroll_ = autoScroll_ == asVertical ? asNone : autoScroll_ == asBoth ? asHorizontal : autoScroll_;
  Recreate();
}

void TApdCustomTerminal::SetAutoScroll(TAutoScroll value) {
  if (value == autoScroll_) return;
  autoScroll_ = value;
  Recreate();
}

void TApdCustomTerminal::SetIntegralSize(TIntegralSize value) {
  if (value == integralSize_) return;
  integralSize_ = value;
  Recreate();
}

void TApdCustomTerminal::SetScrollback(bool on) {
  if (on == scrollback_) return;
  scrollback_ = on;
  if (on) {
    scrollbackWidth_ = DisplayColumns() == columns_;
    savedWidth_ = Width();
  } else if (scrollbackWidth_) {
    sizing_ = true;
    if (integralSize_ == isWidth || integralSize_ == isBoth)
      SetDisplayColumns(columns_);
    else
      SetWidth(savedWidth_);
    sizing_ = false;
  }
  Perform(TM_TOGGLESCROLLBACK);
}

bool TApdCustomTerminal::WantTabs() {
  return !HandleAllocated() || (GetWindowLongA(handle_, GWL_STYLE) & kTerminalWantsTabs) != 0;
}

void TApdCustomTerminal::SetWantTabs(bool on) {
  if (!HandleAllocated()) return;
  const LONG style = GetWindowLongA(handle_, GWL_STYLE);
  SetWindowLongA(
      handle_, GWL_STYLE,
      on ? style | static_cast<LONG>(kTerminalWantsTabs) : style & ~static_cast<LONG>(kTerminalWantsTabs));
}

void TApdCustomTerminal::SetBlinkTime(std::uint16_t ms) {
  if (ms == blinkTime_) return;
  blinkTime_ = ms;
  if (windowCreated_) Perform(TM_SETBLINKTIME, ms);
}

void TApdCustomTerminal::SetPersistentMark(bool on) {
  if (on == persistentMark_) return;
  persistentMark_ = on;
  if (windowCreated_) Perform(TM_SETPERSISTENTMARK, on ? 1 : 0);
}

void TApdCustomTerminal::SetHalfDuplex(bool on) {
  if (on == halfDuplex_) return;
  halfDuplex_ = on;
  if (windowCreated_) Perform(TM_SETHALFDUPLEX, on ? 1 : 0);
}

void TApdCustomTerminal::ClearPage() { Check(static_cast<int>(Perform(TM_CLEAR, 0))); }
void TApdCustomTerminal::ClearAll() { Check(static_cast<int>(Perform(TM_CLEAR, 1))); }

void TApdCustomTerminal::WriteString(const std::string& text) {
  Check(static_cast<int>(Perform(TM_WRITESTRING, text.size(), reinterpret_cast<LPARAM>(text.data()))));
}

}  // namespace comm
