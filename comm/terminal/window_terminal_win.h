// The object behind one "awTerminal" window, shared by the files that make
// up the window class: messages and the port (window_win.cpp), font, size,
// painting and scroll-back (window_view_win.cpp), keys, mouse marking and the
// clipboard (window_input_win.cpp). Not for use outside the window class.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "comm/terminal/capture_writer_win.h"
#include "comm/terminal/screen_buffer.h"
#include "comm/terminal/window_win.h"

namespace comm::terminal_window {

inline COLORREF Colour(std::uint32_t rgb) { return static_cast<COLORREF>(rgb & 0xFFFFFF); }

struct Cell {
  int row = 0, column = 0;
  bool operator<=(const Cell& other) const {
    return row < other.row || (row == other.row && column <= other.column);
  }
};

// What a window re-creation carries from the old window to the new one.
struct SavedTerminal {
  BufferSnapshot buffer;
  HFONT font = nullptr;
  bool persistentMark = false, halfDuplex = false;
  WNDPROC defaultProc = DefWindowProcA;
  void* keyData = nullptr;
  KeyRoutine keyProc = nullptr;
  void* emulatorData = nullptr;
  EmulatorCallback emulator = nullptr;
  UINT blinkMs = kDefaultBlinkMs;
};

class TTerminal : public ViewSink, public PortSink {
 public:
  explicit TTerminal(HWND window) : window_(window) { buffer_.SetPort(this); }
  ~TTerminal() override = default;

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Create();

  // ViewSink
  void Invalidate(const PixelRect& area) override {
    RECT rect{area.left, area.top, area.right, area.bottom};
    InvalidateRect(window_, &rect, FALSE);
  }
  void InvalidateAll() override { InvalidateRect(window_, nullptr, FALSE); }
  void Scroll(int dx, int dy, const PixelRect* band) override {
    RECT rect{};
    if (band) rect = {band->left, band->top, band->right, band->bottom};
    ScrollWindowEx(window_, dx, dy, band ? &rect : nullptr, band ? &rect : nullptr, nullptr, nullptr,
                   SW_INVALIDATE);
  }
  void UpdateNow() override { UpdateWindow(window_); }
  void SetScrollPosition(bool vertical, int position) override {
    if (HasStyle(vertical ? WS_VSCROLL : WS_HSCROLL))
      SetScrollPos(window_, vertical ? SB_VERT : SB_HORZ, position, TRUE);
  }
  void SetScrollRange(bool vertical, int minimum, int maximum) override {
    if (HasStyle(vertical ? WS_VSCROLL : WS_HSCROLL)) OwnScrollRange(vertical, minimum, maximum);
  }
  void SetCaretPosition(int x, int y) override {
    if (focused_) SetCaretPos(x, y);
  }
  void PostStatus(std::uint32_t wParam, std::uint32_t lParam) override {
    PostMessageA(window_, TM_STATUS, wParam, static_cast<LPARAM>(lParam));
  }
  void SendCaptureError(std::uint16_t wParam, std::int32_t lParam) override {
    SendMessageA(window_, TM_ERROR, wParam, lParam);
  }
  void SendCursorReport(std::uint32_t wParam, std::int32_t lParam) override {
    SendMessageA(window_, TM_CURSORREPORT, wParam, lParam);
  }

  // PortSink: answers of the buffer go to the port.
  void SendBlock(const std::uint8_t* bytes, std::size_t count) override {
    if (link_) link_->SendBlock(bytes, count);
  }

 private:
  bool HasStyle(DWORD bits) const { return (GetWindowLongA(window_, GWL_STYLE) & bits) == bits; }
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(defaultProc_, window_, message, wParam, lParam);
  }
  void ClientSize(int& width, int& height) const {
    RECT rect;
    GetClientRect(window_, &rect);
    width = rect.right;
    height = rect.bottom;
  }

  void TakeReceived(int count);
  LRESULT SetFont(HFONT font);
  void Size(WPARAM type, int width, int height);
  // A scroll range set by the window itself: the bar it shows or hides
  // resizes the client area, which is no resize from outside.
  void OwnScrollRange(bool vertical, int minimum, int maximum);
  void ReturnToScrollbackSize();
  void ResizeClient(int width, int height);
  bool FitToGrid();
  void SetRanges();
  void AdjustView();
  void Paint();
  void PaintRow(HDC dc, int screenRow, int firstColumn, int lastColumn);
  bool Marked(int row, int column) const;
  void KeyDown(WPARAM key);
  void Char(WPARAM ch);
  void SendMapped();
  void Echo(std::uint8_t ch);
  void ScrollbackKey(WPARAM key);
  void ScrollBar(bool vertical, int code, int position);
  void ToggleScrollback();
  void MouseDown(WPARAM keys, int x, int y);
  void MouseMove(int x, int y);
  void MouseUp();
  void AutoScrollStep();
  void ExtendMark(int x, int y);
  void Copy();
  void Attach(int handle);
  void Start();
  void Stop();
  LRESULT SaveRestore(WPARAM which, LPARAM block);
  void PaletteMessage(WPARAM which, LPARAM table, LRESULT& result);

  HWND window_;
  Win32CaptureWriter writer_;
  TBuffer buffer_{this, 200, 80, &writer_};
  std::unique_ptr<TerminalLink> link_;
  HFONT font_ = nullptr;
  int charHeight_ = 0, charWidth_ = 0;
  bool scrollback_ = false, pending_ = false;
  bool focused_ = false, minimized_ = false, fitting_ = false;
  int imposedWidth_ = -1, imposedHeight_ = -1;
  bool persistentMark_ = false, halfDuplex_ = false, registered_ = false;
  WNDPROC defaultProc_ = DefWindowProcA;
  bool savedHadVScroll_ = false;
  int savedVMin_ = 0, savedVMax_ = 0;
  int savedViewTop_ = 0, savedViewLeft_ = 0;
  // The client size when scroll-back began, and whether anyone but the
  // window itself resized the window since.
  int savedClientWidth_ = 0, savedClientHeight_ = 0;
  bool resizedFromOutside_ = false;
  int ownResizing_ = 0;
  void* keyData_ = nullptr;
  KeyRoutine keyProc_ = nullptr;
  TKeyEmuRecord keyRecord_{};
  void* emulatorData_ = nullptr;
  EmulatorCallback emulator_ = nullptr;
  UINT blinkMs_ = kDefaultBlinkMs;
  // Marking: anchor, then start <= end in reading order, end inclusive.
  bool marking_ = false, markComplete_ = false, hasMark_ = false;
  int autoScroll_ = 0;  // -1 above, 1 below the client area
  Cell anchor_, start_, end_;
  POINT lastMouse_{};
  int lastVisibleRows_ = 0, lastVisibleColumns_ = 0;
};

}  // namespace comm::terminal_window
