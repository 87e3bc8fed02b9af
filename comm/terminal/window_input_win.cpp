// The terminal window's keys, mouse marking and copying to the clipboard.
#include "comm/terminal/window_terminal_win.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace comm::terminal_window {

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

}  // namespace comm::terminal_window
