#include "comm/terminal/window_win.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "comm/dispatcher/dispatcher.h"
#include "comm/terminal/capture_writer_win.h"
#include "comm/base/error_codes.h"
#include "comm/terminal/screen_buffer.h"
#include "framework/application.h"

namespace comm {
using namespace codes;
namespace {

class DispatcherLink : public TerminalLink {
 public:
  explicit DispatcherLink(TApdBaseDispatcher* dispatcher) : dispatcher_(dispatcher) {}
  bool HasReceived() override { return dispatcher_->HasReceived(); }
  int FetchChar(std::uint8_t& c) override { return dispatcher_->FetchChar(c); }
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

COLORREF Colour(std::uint32_t rgb) { return static_cast<COLORREF>(rgb & 0xFFFFFF); }

struct Cell {
  int row = 0, column = 0;
  bool operator<=(const Cell& other) const {
    return row < other.row || (row == other.row && column <= other.column);
  }
};

class TTerminal;

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
    if (HasStyle(vertical ? WS_VSCROLL : WS_HSCROLL))
      ::SetScrollRange(window_, vertical ? SB_VERT : SB_HORZ, minimum, maximum, TRUE);
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
  // The link is looked at again on every pass: an emulator handler may close
  // the port, which detaches the window.
  for (int i = 0; i < count && link_; ++i) {
    std::uint8_t c;
    if (!link_->HasReceived() || link_->FetchChar(c) != 0) break;
    buffer_.HandleChar(c);
  }
  buffer_.ApplyRepaint();
}

LRESULT TTerminal::SetFont(HFONT font) {
  HDC dc = GetDC(window_);
  if (!dc) return 0;
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics{};
  const bool measured = previous && GetTextMetricsA(dc, &metrics);
  if (previous) SelectObject(dc, previous);
  ReleaseDC(window_, dc);
  // The flag set means variable pitch.
  if (!measured || (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) || metrics.tmAveCharWidth <= 0 ||
      metrics.tmHeight <= 0)
    return 0;
  font_ = font;
  charHeight_ = metrics.tmHeight;
  charWidth_ = metrics.tmAveCharWidth;
  buffer_.SetCharSize(charHeight_, charWidth_);
  if (!FitToGrid()) {
    SetRanges();
    AdjustView();
  }
  if (focused_) {
    DestroyCaret();
    CreateCaret(window_, nullptr, charWidth_, charHeight_);
    buffer_.PlaceCaret();
    ShowCaret(window_);
  }
  InvalidateAll();
  return reinterpret_cast<LRESULT>(previous);
}

void TTerminal::ResizeClient(int width, int height) {
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE)));
  SetWindowPos(window_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Shrinks a client area larger than the grid, and trims it to whole cells
// under the integral styles. True when the window was resized.
bool TTerminal::FitToGrid() {
  // A layout that sizes the window back while it is being fitted wins:
  // fitting again would fight it forever.
  if (fitting_ || charWidth_ <= 0 || charHeight_ <= 0) return false;
  int width, height;
  ClientSize(width, height);
  int wantWidth = std::min(width, buffer_.Columns() * charWidth_);
  int wantHeight = std::min(height, buffer_.PageHeight() * charHeight_);
  if (!scrollback_) {
    if (HasStyle(kTerminalIntegralWidth)) wantWidth -= wantWidth % charWidth_;
    if (HasStyle(kTerminalIntegralHeight)) wantHeight -= wantHeight % charHeight_;
  }
  if (wantWidth == width && wantHeight == height) return false;
  if (wantWidth <= 0 || wantHeight <= 0) return false;
  // A layout that puts back the size just fitted owns the size: leave it.
  if (width == imposedWidth_ && height == imposedHeight_) return false;
  imposedWidth_ = width;
  imposedHeight_ = height;
  fitting_ = true;
  ResizeClient(wantWidth, wantHeight);
  fitting_ = false;
  int newWidth, newHeight;
  ClientSize(newWidth, newHeight);
  return newWidth != width || newHeight != height;
}

void TTerminal::SetRanges() {
  if (scrollback_) return;
  const int rows = buffer_.PageHeight() - buffer_.VisibleRows();
  SetScrollRange(true, 0, rows > 0 ? rows : 0);
  const int columns = buffer_.Columns() - buffer_.VisibleColumns();
  SetScrollRange(false, 0, columns > 0 ? columns : 0);
}

// Keeps the cursor in view when the number of visible rows or columns changed.
void TTerminal::AdjustView() {
  const int rows = buffer_.VisibleRows(), columns = buffer_.VisibleColumns();
  if (lastVisibleRows_ > 0 && rows < lastVisibleRows_) {
    const int below = buffer_.CursorRow() - (buffer_.ViewTop() + rows - 1);
    if (below > 0) buffer_.ScrollView(0, below);
  } else if (lastVisibleRows_ > 0 && rows > lastVisibleRows_) {
    buffer_.ScrollView(0, -(rows - lastVisibleRows_));
  }
  if (lastVisibleColumns_ > 0 && columns > lastVisibleColumns_)
    buffer_.ScrollView(-(columns - lastVisibleColumns_), 0);
  if (rows != lastVisibleRows_ || columns != lastVisibleColumns_) InvalidateAll();
  lastVisibleRows_ = rows;
  lastVisibleColumns_ = columns;
}

void TTerminal::Size(WPARAM type, int width, int height) {
  if (type == SIZE_MINIMIZED) {
    minimized_ = true;
    return;
  }
  buffer_.SetClientSize(width, height);
  if (!fitting_ && FitToGrid()) return;  // the resize brought its own size message
  SetRanges();
  if (!minimized_) AdjustView();
  minimized_ = false;
  lastVisibleRows_ = buffer_.VisibleRows();
  lastVisibleColumns_ = buffer_.VisibleColumns();
}

bool TTerminal::Marked(int row, int column) const {
  if (!hasMark_) return false;
  const Cell cell{row, column};
  return start_ <= cell && cell <= end_;
}

void TTerminal::PaintRow(HDC dc, int screenRow, int firstColumn, int lastColumn) {
  const int row = buffer_.ViewTop() + screenRow;
  const int y = screenRow * charHeight_;
  int column = buffer_.ViewLeft() + firstColumn;
  const int end = std::min(buffer_.ViewLeft() + lastColumn, buffer_.Columns() - 1);
  std::string run;
  while (column <= end) {
    const bool marked = Marked(row, column);
    const std::uint8_t colour = buffer_.ColourAt(row, column);
    const int first = column;
    run.clear();
    while (column <= end && Marked(row, column) == marked &&
           (marked || buffer_.ColourAt(row, column) == colour)) {
      run.push_back(static_cast<char>(buffer_.CharAt(row, column)));
      ++column;
    }
    const int text = marked ? buffer_.MarkText() : colour & 15;
    const int back = marked ? buffer_.MarkBack() : colour >> 4;
    SetTextColor(dc, Colour(buffer_.Palette(text)));
    SetBkColor(dc, Colour(buffer_.Palette(back)));
    const int x = (first - buffer_.ViewLeft()) * charWidth_;
    RECT cells{x, y, x + static_cast<int>(run.size()) * charWidth_, y + charHeight_};
    ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &cells, run.data(), static_cast<UINT>(run.size()),
                nullptr);
  }
}

void TTerminal::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  if (!dc) return;
  if (charWidth_ > 0 && charHeight_ > 0) {
    HGDIOBJ oldFont = SelectObject(dc, font_);
    SetBkMode(dc, OPAQUE);
    const int firstRow = std::max(0, static_cast<int>(paint.rcPaint.top) / charHeight_);
    const int lastRow = std::max(0, static_cast<int>(paint.rcPaint.bottom) - 1) / charHeight_;
    const int firstColumn = std::max(0, static_cast<int>(paint.rcPaint.left) / charWidth_);
    const int lastColumn = std::max(0, static_cast<int>(paint.rcPaint.right) - 1) / charWidth_;
    for (int screenRow = firstRow; screenRow <= lastRow; ++screenRow) {
      if (buffer_.ViewTop() + screenRow >= buffer_.Rows()) break;
      PaintRow(dc, screenRow, firstColumn, lastColumn);
    }
    // What lies beyond the grid shows the background.
    HBRUSH brush = CreateSolidBrush(Colour(buffer_.Palette(buffer_.DrawnBack())));
    RECT client;
    GetClientRect(window_, &client);
    RECT right{(buffer_.Columns() - buffer_.ViewLeft()) * charWidth_, 0, client.right, client.bottom};
    RECT below{0, (buffer_.Rows() - buffer_.ViewTop()) * charHeight_, client.right, client.bottom};
    if (right.left < right.right) FillRect(dc, &right, brush);
    if (below.top < below.bottom) FillRect(dc, &below, brush);
    DeleteObject(brush);
    SelectObject(dc, oldFont);
  }
  EndPaint(window_, &paint);
  if (focused_) buffer_.PlaceCaret();
}

void TTerminal::Echo(std::uint8_t ch) {
  buffer_.HandleChar(ch);
  buffer_.ApplyRepaint();
}

void TTerminal::SendMapped() {
  const int length = std::min<int>(keyRecord_.MappedText[0], kKeyTextLimit);
  if (!link_ || length == 0) return;
  if (!halfDuplex_) {
    link_->SendBlock(keyRecord_.MappedText + 1, static_cast<std::size_t>(length));
    return;
  }
  for (int i = 0; i < length && link_; ++i) {
    link_->SendBlock(keyRecord_.MappedText + 1 + i, 1);
    Echo(keyRecord_.MappedText[1 + i]);
  }
}

void TTerminal::KeyDown(WPARAM key) {
  if (scrollback_) {
    ScrollbackKey(key);
    return;
  }
  if (!keyProc_) return;
  GetKeyboardState(keyRecord_.KeyboardState);
  keyRecord_.MappedText[0] = 0;
  keyProc_(keyData_, static_cast<std::uint16_t>(key), keyRecord_);
  if (link_ && keyRecord_.Extended && keyRecord_.Mapped) SendMapped();
}

void TTerminal::Char(WPARAM ch) {
  if (!link_ || scrollback_) return;
  if (keyProc_ && keyRecord_.Mapped) {
    if (!keyRecord_.Extended) SendMapped();  // an extended key was sent at its key-down
    return;
  }
  const std::uint8_t byte = static_cast<std::uint8_t>(ch);
  link_->SendBlock(&byte, 1);
  if (halfDuplex_) Echo(byte);
}

void TTerminal::ScrollbackKey(WPARAM key) {
  const int page = buffer_.VisibleRows();
  switch (key) {
    case VK_PRIOR:
      buffer_.ScrollView(0, -page);
      break;
    case VK_NEXT:
      buffer_.ScrollView(0, page);
      break;
    case VK_UP:
      buffer_.ScrollView(0, -1);
      break;
    case VK_DOWN:
      buffer_.ScrollView(0, 1);
      break;
    case VK_LEFT:
      buffer_.ScrollView(-1, 0);
      break;
    case VK_RIGHT:
      buffer_.ScrollView(1, 0);
      break;
    case VK_HOME:
      buffer_.ScrollView(-buffer_.Columns(), 0);
      break;
    case VK_END: {
      const std::string text = buffer_.RowText(buffer_.CursorRow());
      const std::size_t last = text.find_last_not_of(' ');
      const int target = last == std::string::npos ? 0 : static_cast<int>(last);
      buffer_.ScrollView(target - (buffer_.ViewLeft() + buffer_.VisibleColumns() - 1) > 0
                             ? target - (buffer_.ViewLeft() + buffer_.VisibleColumns() - 1)
                             : 0,
                         0);
      break;
    }
    default:
      break;
  }
}

void TTerminal::ScrollBar(bool vertical, int code, int position) {
  const int step = 1, page = buffer_.PageHeight();
  auto by = [&](int amount) { vertical ? buffer_.ScrollView(0, amount) : buffer_.ScrollView(amount, 0); };
  switch (code) {
    case SB_LINEUP:
      by(-step);
      break;
    case SB_LINEDOWN:
      by(step);
      break;
    case SB_PAGEUP:
      by(-page);
      break;
    case SB_PAGEDOWN:
      by(page);
      break;
    case SB_TOP:
      buffer_.ViewHome(vertical);
      break;
    case SB_BOTTOM:
      buffer_.ViewEnd(vertical);
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      if (!vertical)
        by(position - buffer_.ViewLeft());
      else if (scrollback_)
        by(position - buffer_.ViewTop());
      else  // within the page: the thumb counts from the page's top
        by(std::max(0, buffer_.HighestRow() - buffer_.PageHeight() + 1) + position - buffer_.ViewTop());
      break;
    default:
      break;
  }
}

void TTerminal::ToggleScrollback() {
  if (!scrollback_) {
    scrollback_ = true;
    buffer_.SetScrollbackMode(true);
    savedViewTop_ = buffer_.ViewTop();
    savedViewLeft_ = buffer_.ViewLeft();
    savedHadVScroll_ = HasStyle(WS_VSCROLL);
    if (savedHadVScroll_) GetScrollRange(window_, SB_VERT, &savedVMin_, &savedVMax_);
    const int highest = buffer_.HighestRow(), visible = buffer_.VisibleRows();
    ::SetScrollRange(window_, SB_VERT, 0, highest >= visible ? highest - (visible - 1) : highest, TRUE);
    SetScrollPos(window_, SB_VERT, buffer_.ViewTop(), TRUE);
  } else {
    // Back to where the view was, while the scroll-back rules still allow it.
    buffer_.ScrollView(savedViewLeft_ - buffer_.ViewLeft(), savedViewTop_ - buffer_.ViewTop());
    scrollback_ = false;
    buffer_.SetScrollbackMode(false);
    if (savedHadVScroll_)
      ::SetScrollRange(window_, SB_VERT, savedVMin_, savedVMax_, TRUE);
    else
      ::SetScrollRange(window_, SB_VERT, 0, 0, TRUE);
    SetRanges();
    InvalidateAll();
    if (pending_) {
      pending_ = false;
      PostMessageA(window_, PN_AVAIL, kReceiveRingSize, 0);
    }
  }
  buffer_.ApplyRepaint();  // posts the status
}

void TTerminal::MouseDown(WPARAM keys, int x, int y) {
  lastMouse_ = {x, y};
  if (keys & MK_SHIFT) {
    marking_ = true;
    markComplete_ = false;
    ExtendMark(x, y);
  } else {
    hasMark_ = false;
    marking_ = true;
    markComplete_ = false;
    const int column = std::clamp(x, 0, 1 << 15) / std::max(charWidth_, 1) + buffer_.ViewLeft();
    const int row = std::clamp(y, 0, 1 << 15) / std::max(charHeight_, 1) + buffer_.ViewTop();
    anchor_ = {std::min(row, buffer_.Rows() - 1), std::min(column, buffer_.Columns() - 1)};
    start_ = end_ = anchor_;
    InvalidateAll();
    if (!persistentMark_) ExtendMark(x, y);
  }
  if (SetTimer(window_, kMarkTimer, kMarkTimerMs, nullptr)) SetCapture(window_);
}

void TTerminal::MouseMove(int x, int y) {
  if (!marking_) return;
  int width, height;
  ClientSize(width, height);
  lastMouse_ = {x, y};
  if (y < 0)
    autoScroll_ = -1;
  else if (y > height)
    autoScroll_ = 1;
  else {
    autoScroll_ = 0;
    ExtendMark(x, y);
  }
}

void TTerminal::MouseUp() {
  if (!marking_) return;
  ReleaseCapture();
  KillTimer(window_, kMarkTimer);
  autoScroll_ = 0;
  marking_ = false;
  markComplete_ = true;
}

void TTerminal::AutoScrollStep() {
  if (!autoScroll_) return;
  int width, height;
  ClientSize(width, height);
  // The window holds the mouse while marking, so the last move is where it is.
  const POINT mouse = lastMouse_;
  if (mouse.y < 0) {
    buffer_.ScrollView(0, mouse.y < -20 ? -3 : -1);
    ExtendMark(mouse.x, 0);
  } else if (mouse.y > height) {
    buffer_.ScrollView(0, mouse.y > height + 20 ? 3 : 1);
    ExtendMark(mouse.x, height);
  }
}

void TTerminal::ExtendMark(int x, int y) {
  if (charWidth_ <= 0 || charHeight_ <= 0) return;
  int width, height;
  ClientSize(width, height);
  x = std::clamp(x, 0, width);
  y = std::clamp(y, 0, height);
  int column = x / charWidth_, row = y / charHeight_;
  if (x > 0 && x % charWidth_ == 0) --column;
  if (y > 0 && y % charHeight_ == 0) --row;
  const Cell cell{std::min(row + buffer_.ViewTop(), buffer_.Rows() - 1),
                  std::min(column + buffer_.ViewLeft(), buffer_.Columns() - 1)};
  if (anchor_ <= cell) {
    start_ = anchor_;
    end_ = cell;
  } else {
    start_ = cell;
    end_ = anchor_;
  }
  hasMark_ = true;
  InvalidateAll();
}

void TTerminal::Copy() {
  if (!markComplete_ || !hasMark_) return;
  std::string text;
  for (int row = start_.row; row <= end_.row; ++row) {
    const int first = row == start_.row ? start_.column : 0;
    const int last = row == end_.row ? end_.column : buffer_.Columns() - 1;
    for (int column = first; column <= last; ++column)
      text.push_back(static_cast<char>(buffer_.CharAt(row, column)));
    text += "\r\n";
  }
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
  void* bytes = memory ? GlobalLock(memory) : nullptr;
  if (!bytes) {
    if (memory) GlobalFree(memory);
    SendMessageA(window_, TM_ERROR, kClipboardFailure, 1);
    return;
  }
  std::memcpy(bytes, text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  // A clipboard held by another program is reported like missing memory.
  if (!OpenClipboard(window_)) {
    GlobalFree(memory);
    SendMessageA(window_, TM_ERROR, kClipboardFailure, 1);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_TEXT, memory)) {
    GlobalFree(memory);
    CloseClipboard();
    SendMessageA(window_, TM_ERROR, kClipboardFailure, 1);
    return;
  }
  CloseClipboard();
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
    case PN_AVAIL:
      TakeReceived(LOWORD(wParam));
      return 0;
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
      return 0;
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
