#include "comm/terminal/window_win.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "comm/dispatcher/dispatcher.h"
#include "comm/terminal/capture_writer_win.h"
#include "comm/base/error_codes.h"
#include "comm/dispatcher/notification_transport_win.h"
#include "comm/terminal/screen_buffer.h"
#include "comm/terminal/window_terminal_win.h"
#include "framework/application.h"

namespace comm {
using namespace codes;
namespace {

class DispatcherLink : public TerminalLink {
 public:
  explicit DispatcherLink(TApdBaseDispatcher* dispatcher) : dispatcher_(dispatcher) {}
  bool HasReceived() override { return dispatcher_->HasReceived(); }
  int FetchChar(std::uint8_t& c) override { return dispatcher_->FetchChar(c); }
  int FetchBlock(std::uint8_t* bytes, int most) override {
    return static_cast<int>(dispatcher_->FetchBlock(bytes, static_cast<std::uint32_t>(std::max(most, 0))));
  }
  int SendBlock(const std::uint8_t* bytes, std::size_t count) override {
    return dispatcher_->SendBlock({bytes, count});
  }
  int RegisterWindow(HWND window) override {
    return dispatcher_->RegisterWindow(reinterpret_cast<WindowRef>(window));
  }
  int UnregisterWindow(HWND window) override {
    return dispatcher_->UnregisterWindow(reinterpret_cast<WindowRef>(window));
  }
  int SetLengthTrigger(std::uint32_t length) override { return dispatcher_->SetLengthTrigger(length); }

 private:
  TApdBaseDispatcher* dispatcher_;
};

std::unique_ptr<TerminalLink> FindListedDispatcher(int handle) {
  auto lock = LockDispatcherList();
  TApdBaseDispatcher* dispatcher = FindDispatcher(handle);
  if (!dispatcher) return nullptr;
  return std::make_unique<DispatcherLink>(dispatcher);
}

TerminalLinkFinder& LinkFinder() {
  static TerminalLinkFinder finder = FindListedDispatcher;
  return finder;
}

}  // namespace

namespace terminal_window {

void TTerminal::Create() {
  HFONT font = static_cast<HFONT>(GetStockObject(OEM_FIXED_FONT));
  if (!font || SetFont(font) == 0) {
    // Where the OEM font is missing or not fixed pitch, any fixed face that exists.
    for (int stock : {SYSTEM_FIXED_FONT, ANSI_FIXED_FONT})
      if (HFONT other = static_cast<HFONT>(GetStockObject(stock)); other && SetFont(other) != 0) break;
  }
  int width, height;
  ClientSize(width, height);
  buffer_.SetClientSize(width, height);
  lastVisibleRows_ = buffer_.VisibleRows();
  lastVisibleColumns_ = buffer_.VisibleColumns();
  SetRanges();
  SetTimer(window_, kBlinkTimer, blinkMs_, nullptr);
}

// Bytes announced by the dispatcher, one batch per notification.
void TTerminal::TakeReceived(int count) {
  if (scrollback_) {
    pending_ = true;
    return;
  }
  if (!link_) return;
  // Taken a batch at a time: the port's locks are taken once per batch, not
  // per byte. The link is looked at again for every batch: an emulator
  // handler may close the port, which detaches the window.
  std::uint8_t batch[512];
  for (int left = count; left > 0 && link_;) {
    const int taken = link_->FetchBlock(batch, std::min<int>(left, static_cast<int>(sizeof batch)));
    if (taken <= 0) break;
    left -= taken;
    for (int i = 0; i < taken; ++i) buffer_.HandleChar(batch[i]);
  }
  buffer_.ApplyRepaint();
}

void TTerminal::Start() {
  if (!link_ || registered_) return;
  link_->RegisterWindow(window_);
  link_->SetLengthTrigger(1);
  registered_ = true;
}

void TTerminal::Stop() {
  if (!registered_) return;
  if (link_) link_->UnregisterWindow(window_);
  registered_ = false;
}

void TTerminal::Attach(int handle) {
  Stop();
  link_ = LinkFinder()(handle);
}

LRESULT TTerminal::SaveRestore(WPARAM which, LPARAM block) {
  if (which == 0) {
    auto* saved = new SavedTerminal;
    saved->buffer = buffer_.SaveState();
    saved->font = font_;
    saved->persistentMark = persistentMark_;
    saved->halfDuplex = halfDuplex_;
    saved->defaultProc = defaultProc_;
    saved->keyData = keyData_;
    saved->keyProc = keyProc_;
    saved->emulatorData = emulatorData_;
    saved->emulator = emulator_;
    saved->blinkMs = blinkMs_;
    return reinterpret_cast<LRESULT>(saved);
  }
  auto* saved = reinterpret_cast<SavedTerminal*>(block);
  if (!saved) return kBadArgument;
  const int result = buffer_.RestoreState(saved->buffer);
  persistentMark_ = saved->persistentMark;
  halfDuplex_ = saved->halfDuplex;
  defaultProc_ = saved->defaultProc;
  keyData_ = saved->keyData;
  keyProc_ = saved->keyProc;
  emulatorData_ = saved->emulatorData;
  emulator_ = saved->emulator;
  buffer_.SetEmulator(emulatorData_, emulator_);
  blinkMs_ = saved->blinkMs;
  SetTimer(window_, kBlinkTimer, blinkMs_, nullptr);
  if (saved->font) SetFont(saved->font);
  delete saved;
  InvalidateAll();
  return result;
}

void TTerminal::PaletteMessage(WPARAM which, LPARAM table, LRESULT& result) {
  auto* colours = reinterpret_cast<std::uint32_t*>(table);
  if (which == 0 && colours) {
    for (int i = 0; i < 16; ++i) buffer_.SetPaletteEntry(i, colours[i]);
    InvalidateAll();
  } else if (which == 1 && colours) {
    for (int i = 0; i < 16; ++i) colours[i] = buffer_.Palette(i);
  } else if (which == 2) {
    result = static_cast<LRESULT>(buffer_.DrawnBack()) << 16 | buffer_.DrawnFore();
  }
}

LRESULT TTerminal::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  switch (message) {
    case WM_DESTROY:
      KillTimer(window_, kBlinkTimer);
      KillTimer(window_, kMarkTimer);
      buffer_.ControlCapture(false, false, {});
      Stop();
      link_.reset();
      return 0;
    case WM_SIZE:
      Size(wParam, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_GETMINMAXINFO: {
      result = Default(message, wParam, lParam);
      if (charWidth_ > 0 && charHeight_ > 0) {
        RECT rect{0, 0, buffer_.Columns() * charWidth_, buffer_.PageHeight() * charHeight_};
        AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE)));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        const int width = std::min<int>(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
        const int height = std::min<int>(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
        info->ptMaxSize = {width, height};
        info->ptMaxTrackSize = {width, height};
      }
      return result;
    }
    case WM_SETFONT:
      return SetFont(reinterpret_cast<HFONT>(wParam));
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SETFOCUS:
      focused_ = true;
      CreateCaret(window_, nullptr, charWidth_, charHeight_);
      buffer_.SetCaretOn(true);
      buffer_.PlaceCaret();
      ShowCaret(window_);
      InvalidateAll();
      buffer_.ApplyRepaint();
      return Default(message, wParam, lParam);
    case WM_KILLFOCUS:
      focused_ = false;
      buffer_.SetCaretOn(false);
      HideCaret(window_);
      DestroyCaret();
      return 0;
    case WM_MOUSEACTIVATE:
      result = Default(message, wParam, lParam);
      if (!focused_) SetFocus(window_);
      return result;
    case WM_ENABLE:
      InvalidateAll();
      return Default(message, wParam, lParam);
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window_, &client);
      HBRUSH brush = CreateSolidBrush(Colour(buffer_.Palette(buffer_.DrawnBack())));
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
      DeleteObject(brush);
      return 1;
    }
    case WM_PAINT:
      Paint();
      return 0;
    case WM_GETDLGCODE:
      return HasStyle(kTerminalWantsTabs) ? 135 : 133;
    case WM_KEYDOWN:
      KeyDown(wParam);
      return Default(message, wParam, lParam);
    case WM_CHAR:
      Char(wParam);
      return 0;
    case WM_TIMER:
      if (wParam == kBlinkTimer) buffer_.BlinkStep();
      if (wParam == kMarkTimer) AutoScrollStep();
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
      ScrollBar(message == WM_VSCROLL, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      return 0;
    case WM_LBUTTONDOWN:
      MouseDown(wParam, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_LBUTTONUP:
      MouseUp();
      return 0;
    case WM_COPY:
      Copy();
      return 0;
    case PN_AVAIL: {
      ServingNotification serving(window_);
      TakeReceived(LOWORD(wParam));
      return 0;
    }
    case TM_START:
      Start();
      return 0;
    case TM_STOP:
      Stop();
      return 0;
    case TM_ATTACH:
      Attach(static_cast<int>(wParam));
      return link_ ? 0 : kBadHandle;
    case TM_DETACH:
      Stop();
      link_.reset();
      return 0;
    case TM_SETEMUDATA:
      emulatorData_ = reinterpret_cast<void*>(lParam);
      buffer_.SetEmulator(emulatorData_, emulator_);
      return 0;
    case TM_SETEMUPROC:
      emulator_ = reinterpret_cast<EmulatorCallback>(lParam);
      buffer_.SetEmulator(emulatorData_, emulator_);
      return 0;
    case TM_CLEAR:
      if (wParam == 0) buffer_.ClearPage();
      if (wParam == 1) buffer_.ClearAll();
      if (wParam <= 1) {
        hasMark_ = false;
        buffer_.ApplyRepaint();
        InvalidateAll();
      }
      return 0;
    case TM_SETDIMENSIONS: {
      const int rows = static_cast<int>(lParam & 0xFFFF), columns = static_cast<int>((lParam >> 16) & 0xFFFF);
      result = buffer_.SetDimensions(rows, columns, static_cast<int>(wParam));
      if (result == 0) {
        hasMark_ = false;
        if (!FitToGrid()) SetRanges();
        InvalidateAll();
      }
      return result;
    }
    case TM_SETCOLORS:
      buffer_.SetColors(static_cast<int>(wParam), static_cast<int>(lParam));
      InvalidateAll();
      return 0;
    case TM_SETMARKCOLORS:
      buffer_.SetMarkColors(static_cast<int>(wParam), static_cast<int>(lParam));
      InvalidateAll();
      return 0;
    case TM_TOGGLESCROLLBACK:
      ToggleScrollback();
      return 0;
    case TM_CAPTURE: {
      const char* name = reinterpret_cast<const char*>(lParam);
      return buffer_.ControlCapture((wParam & 0xFF) != 0, ((wParam >> 8) & 0xFF) != 0, name ? name : "");
    }
    case TM_WRITESTRING: {
      const auto* text = reinterpret_cast<const std::uint8_t*>(lParam);
      for (WPARAM i = 0; text && i < wParam; ++i) buffer_.HandleChar(text[i]);
      buffer_.ApplyRepaint();
      return 0;
    }
    case TM_FLUSH:
      buffer_.ApplyRepaint();
      return 0;
    case TM_SETDEFPROC:
      defaultProc_ = lParam        ? reinterpret_cast<WNDPROC>(lParam)
                     : wParam == 1 ? DefMDIChildProcA
                                   : DefWindowProcA;
      return 0;
    case TM_SAVERESTORE:
      return SaveRestore(wParam, lParam);
    case TM_PALETTE:
      PaletteMessage(wParam, lParam, result);
      return result;
    case TM_SETDISPLAYSIZE:
      if (charWidth_ > 0 && charHeight_ > 0)
        ResizeClient(static_cast<int>(wParam) * charWidth_, static_cast<int>(lParam) * charHeight_);
      buffer_.SetRegionBottom(buffer_.PageHeight());
      return 0;
    case TM_GETPLANES: {
      auto* record = reinterpret_cast<TerminalPlanes*>(lParam);
      if (!record) return kBadArgument;
      const TBuffer::Planes planes = buffer_.PlanesInRowOrder();
      record->Chars = planes.chars;
      record->Colours = planes.colours;
      record->Attrs = planes.attrs;
      return 0;
    }
    case TM_GETCHARSIZE:
      return static_cast<LRESULT>((charWidth_ & 0xFF) << 8 | (charHeight_ & 0xFF));
    case TM_SETBLINKTIME:
      blinkMs_ = static_cast<UINT>(wParam);
      KillTimer(window_, kBlinkTimer);
      SetTimer(window_, kBlinkTimer, blinkMs_, nullptr);
      return 0;
    case TM_SETPERSISTENTMARK:
      persistentMark_ = wParam != 0;
      return 0;
    case TM_SETKEYDATA:
      keyData_ = reinterpret_cast<void*>(lParam);
      return 0;
    case TM_SETKEYPROC:
      keyProc_ = reinterpret_cast<KeyRoutine>(lParam);
      return 0;
    case TM_SETHALFDUPLEX:
      halfDuplex_ = wParam != 0;
      return 0;
    case TM_GETTOP:
      return buffer_.ViewTop();
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace terminal_window

namespace {
using terminal_window::TTerminal;

LRESULT CALLBACK TerminalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* terminal = reinterpret_cast<TTerminal*>(GetWindowLongPtrA(window, 0));
  if (message == WM_CREATE) {
    LRESULT result = -1;
    fw::Guarded(nullptr, [&] {
      auto made = std::make_unique<TTerminal>(window);
      SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(made.get()));
      made.release()->Create();
      result = 0;
    });
    return result;
  }
  if (!terminal) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, 0, 0);
    delete terminal;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  LRESULT result = 0;
  fw::Guarded(nullptr, [&] { result = terminal->Handle(message, wParam, lParam); });
  return result;
}

}  // namespace

void SetTerminalLinkFinder(TerminalLinkFinder finder) {
  LinkFinder() = finder ? std::move(finder) : TerminalLinkFinder(FindListedDispatcher);
}

bool RegisterTerminalClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = TerminalWindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconA(windowClass.hInstance, "DEFICON");
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kTerminalClassName;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace comm
