// The terminal window's font, size, painting and scroll-back viewing.
#include "comm/terminal/window_terminal_win.h"

#include <algorithm>
#include <string>

#include "comm/dispatcher/dispatcher.h"

namespace comm::terminal_window {

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
  ++ownResizing_;
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE)));
  SetWindowPos(window_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  --ownResizing_;
}

void TTerminal::OwnScrollRange(bool vertical, int minimum, int maximum) {
  ++ownResizing_;
  ::SetScrollRange(window_, vertical ? SB_VERT : SB_HORZ, minimum, maximum, TRUE);
  --ownResizing_;
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
  if (scrollback_ && ownResizing_ == 0) resizedFromOutside_ = true;
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
    ClientSize(savedClientWidth_, savedClientHeight_);
    resizedFromOutside_ = false;
    savedHadVScroll_ = HasStyle(WS_VSCROLL);
    if (savedHadVScroll_) GetScrollRange(window_, SB_VERT, &savedVMin_, &savedVMax_);
    const int highest = buffer_.HighestRow(), visible = buffer_.VisibleRows();
    OwnScrollRange(true, 0, highest >= visible ? highest - (visible - 1) : highest);
    SetScrollPos(window_, SB_VERT, buffer_.ViewTop(), TRUE);
  } else {
    // Back to where the view was, while the scroll-back rules still allow it.
    buffer_.ScrollView(savedViewLeft_ - buffer_.ViewLeft(), savedViewTop_ - buffer_.ViewTop());
    scrollback_ = false;
    buffer_.SetScrollbackMode(false);
    if (savedHadVScroll_)
      OwnScrollRange(true, savedVMin_, savedVMax_);
    else
      OwnScrollRange(true, 0, 0);
    SetRanges();
    ReturnToScrollbackSize();
    InvalidateAll();
    if (pending_) {
      pending_ = false;
      PostMessageA(window_, PN_AVAIL, kReceiveRingSize, 0);
    }
  }
  buffer_.ApplyRepaint();  // posts the status
}

// What the window did to its own size while the user looked back (the
// scroll bar it showed, a display size its owner set) is undone; a size the
// window was given from outside meanwhile (its frame dragged, a layout) stays.
void TTerminal::ReturnToScrollbackSize() {
  if (resizedFromOutside_ || savedClientWidth_ <= 0 || savedClientHeight_ <= 0) return;
  int width, height;
  ClientSize(width, height);
  if (width == savedClientWidth_ && height == savedClientHeight_) return;
  // The frame as it is now, scroll bars included, around the saved client area.
  RECT outer;
  GetWindowRect(window_, &outer);
  ++ownResizing_;
  SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left + savedClientWidth_ - width,
               outer.bottom - outer.top + savedClientHeight_ - height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  --ownResizing_;
}

}  // namespace comm::terminal_window
