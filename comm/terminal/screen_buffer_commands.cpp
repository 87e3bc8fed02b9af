// The screen buffer's commands: what one TEmuCommand does to the cursor,
// the cells, the tab stops and the scroll region.
#include "comm/terminal/screen_buffer.h"

#include <algorithm>
#include <cstring>

namespace comm {
namespace {

constexpr std::uint8_t kBlank = ' ';

}  // namespace
}  // namespace comm

using namespace comm;

// ---- command execution ----

void TBuffer::HandleChar(std::uint8_t ch) {
  if (emulatorData_ && emulator_) {
    emulator_(emulatorData_, ch, command_);
  } else {
    command_.Code = ecChar;
    command_.Char = ch;
  }
  Execute();
  ClampCursor();
}

void TBuffer::Execute() {
  const TEmuCommand& c = command_;
  switch (c.Code) {
    case ecChar:
      if (c.Char != 0) WriteChar(c.Char);
      break;
    case ecText: {
      const int length = std::min<int>(c.Text[0], sizeof c.Text - 1);
      for (int i = 1; i <= length; ++i) WriteChar(c.Text[i]);
      break;
    }
    case ecGotoXY:
      if (c.Arg1 > 0) column_ = std::min(viewLeft_ + c.Arg1 - 1, columns_ - 1);
      if (c.Arg2 > 0) row_ = std::min(viewTop_ + c.Arg2 - 1, rows_ - 1);
      PlaceCaret();
      ComputeInRegion();
      break;
    case ecUp:
      CursorUp(c.Arg2);
      break;
    case ecDown:
      CursorDown(c.Arg2);
      break;
    case ecRight:
      if (column_ + c.Arg1 < columns_) column_ += c.Arg1;
      break;
    case ecLeft:
      column_ = std::max(column_ - c.Arg1, 0);
      break;
    case ecNextLine: {
      const int n = c.Arg2 == 0 ? 1 : c.Arg2;
      if (row_ + n < rows_) row_ += n;
      column_ = viewLeft_;
      break;
    }
    case ecPrevLine: {
      const int n = c.Arg2 == 0 ? 1 : c.Arg2;
      row_ = std::max(row_ - n, 0);
      column_ = viewLeft_;
      break;
    }
    case ecColumn:
      if (c.Arg1 > 0) column_ = std::min(viewLeft_ + c.Arg1 - 1, columns_ - 1);
      break;
    case ecRow:
      if (c.Arg2 > 0) row_ = std::min(viewTop_ + c.Arg2 - 1, rows_ - 1);
      break;
    case ecNewLine:
      if (row_ + 1 < rows_) ++row_;
      column_ = 0;
      break;
    case ecEraseInPage:
    case ecEraseInPage7:
    case ecEraseInPage8:
    case ecEraseInPage9:
      EraseInPage(c.Arg1);
      break;
    case ecEraseInLine:
    case ecEraseInLine10:
    case ecEraseInLine11:
    case ecEraseInLine12:
      EraseInLine(c.Arg1);
      break;
    case ecEraseChars:
      // Within the line: a count from the line never blanks what follows it.
      Erase(Linear(row_, column_), std::min<int>(c.Arg1, columns_ - column_));
      break;
    case ecInsertChars:
      InsertBlanks(c.Arg1);
      break;
    case ecDeleteChars:
      DeleteChars(c.Arg1);
      break;
    case ecInsertLines:
      InsertLines(c.Arg2);
      break;
    case ecDeleteLines:
      DeleteLines(c.Arg2 == 0 ? 1 : c.Arg2);
      break;
    case ecSetAttributes:
      if (c.Fore < 16 && c.Back < 16) {
        logicalFore_ = c.Fore;
        logicalBack_ = c.Back;
        attributes_ = c.Attrs;
        fore_ = logicalFore_;
        back_ = logicalBack_;
        if (attributes_ & atReverse) std::swap(fore_, back_);
      }
      break;
    case ecSaveCursor:
      savedCursor_ = {column_, row_, true, DrawnColour(), attributes_};
      break;
    case ecRestoreCursor:
      RestoreCursor();
      break;
    case ecStatusReport:
      if (c.Arg1 == 6)
        Send("\x1b[" + std::to_string(row_ - viewTop_ + 1) + ";" + std::to_string(column_ + 1) + "R");
      break;
    case ecIdentify:
      if (c.Arg1 == 0 && c.Arg2 == 0) Send("\x1b/Z");
      if (c.Arg1 == 0 && c.Arg2 == 1) Send("\x1b[?1;0c");
      break;
    case ecPositionReport:
      if (view_) view_->SendCursorReport(c.Arg1, c.Arg2);
      break;
    case ecTab:
      for (int stop : tabs_) {
        if (stop > column_ && stop < columns_) {
          column_ = stop;
          break;
        }
      }
      break;
    case ecTabForward:
      TabForward(c.Arg1);
      break;
    case ecBackTab:
      BackTab(c.Arg1);
      break;
    case ecTabJustify:
      TabJustify();
      break;
    case ecSetTab:
      InsertStop(tabs_.data(), tabStopSlots, column_ + 1);
      break;
    case ecTabControl:
      switch (c.Arg1) {
        case 0:
          InsertStop(tabs_.data(), tabStopSlots, column_ + 1);
          break;
        case 1:
          InsertStop(verticalTabs_.data(), verticalTabStopSlots, VerticalStopRow());
          break;
        case 2:
          RemoveStop(tabs_.data(), tabStopSlots, column_ + 1);
          break;
        case 3:
          RemoveStop(verticalTabs_.data(), verticalTabStopSlots, VerticalStopRow());
          break;
        case 4:
        case 5:
          ResetTabStops(visibleColumns_);
          break;
        case 6:
          verticalTabs_.fill(0);
          break;
        default:
          break;
      }
      break;
    case ecTabClear:
      switch (c.Arg1) {
        case 0:
          RemoveStop(tabs_.data(), tabStopSlots, column_ + 1);
          break;
        case 1:
          RemoveStop(verticalTabs_.data(), verticalTabStopSlots, VerticalStopRow());
          break;
        case 2:
        case 3:
          ResetTabStops(visibleColumns_);
          break;
        case 4:
          verticalTabs_.fill(0);
          break;
        default:
          break;
      }
      break;
    case ecSetVerticalTab:
      InsertStop(verticalTabs_.data(), verticalTabStopSlots, VerticalStopRow());
      break;
    case ecVerticalTab:
      VerticalTab(c.Arg2);
      break;
    case ecScrollRegion:
      SetScrollRegion(c.Arg1, c.Arg2);
      break;
    default:
      break;
  }
}

void TBuffer::CursorUp(int n) {
  ComputeInRegion();
  const bool wasIn = inRegion_;
  const int top = viewTop_ + regionTop_ - 1;
  const int old = row_;
  row_ -= std::min(n, row_);
  if ((wasIn || old > top) && row_ <= top && old >= top)
    row_ = top;
  else
    row_ = std::max(row_, std::min(old, viewTop_));
}

void TBuffer::CursorDown(int n) {
  if (row_ + n >= rows_) return;
  ComputeInRegion();
  const bool wasIn = inRegion_;
  const int bottom = viewTop_ + regionBottom_ - 1;
  const int old = row_;
  row_ += n;
  if ((wasIn || old <= bottom) && row_ > bottom && old <= bottom)
    row_ = bottom;
  else
    row_ = std::min(row_, std::max(old, LastVisibleRow()));
}

void TBuffer::RestoreCursor() {
  if (savedCursor_.saved) {
    column_ = savedCursor_.column;
    row_ = savedCursor_.row;
    fore_ = savedCursor_.colour & 15;
    back_ = savedCursor_.colour >> 4;
    attributes_ = savedCursor_.attrs;
    savedCursor_.saved = false;
  } else if (command_.EmuKind == etANSI) {
    column_ = viewLeft_;
    row_ = viewTop_;
    fore_ = 7;
    back_ = 0;
    attributes_ = 0;
  }
  ClampCursor();
  PlaceCaret();
}

// A region from the line is taken only when it lies inside the page; anything
// else means the whole page.
void TBuffer::SetScrollRegion(int top, int bottom) {
  if (top >= 1 && top < bottom && bottom <= pageHeight_) {
    regionTop_ = top;
    regionBottom_ = bottom;
  } else {
    regionTop_ = 1;
    regionBottom_ = pageHeight_;
  }
  column_ = viewLeft_;
  row_ = viewTop_;
  inRegion_ = regionTop_ == 1;
}

void TBuffer::SetRegionBottom(int bottom) {
  regionBottom_ = std::clamp(bottom, regionTop_, pageHeight_);
  ComputeInRegion();
}

void TBuffer::Send(const std::string& answer) {
  if (port_) port_->SendBlock(reinterpret_cast<const std::uint8_t*>(answer.data()), answer.size());
}

// ---- tab stops ----

void TBuffer::ResetTabStops(int upTo) {
  tabs_.fill(0);
  int slot = 0;
  for (int stop = 8; stop <= upTo && slot < tabStopSlots; stop += 8)
    tabs_[slot++] = static_cast<std::uint16_t>(stop);
  std::sort(tabs_.begin(), tabs_.end());
}

// Stops are kept ascending with free slots (0) first; a full list ignores insertions.
void TBuffer::InsertStop(std::uint16_t* stops, int slots, int value) {
  if (value <= 0 || stops[0] != 0) return;
  stops[0] = static_cast<std::uint16_t>(value);
  std::sort(stops, stops + slots);
  for (int i = 1; i < slots; ++i)
    if (stops[i] != 0 && stops[i] == stops[i - 1]) stops[i - 1] = 0;
  std::sort(stops, stops + slots);
}

void TBuffer::RemoveStop(std::uint16_t* stops, int slots, int value) {
  for (int i = 0; i < slots; ++i)
    if (stops[i] == value) stops[i] = 0;
  std::sort(stops, stops + slots);
}

int TBuffer::VerticalStopRow() const { return row_ > pageHeight_ - 1 ? pageHeight_ : row_ + 1; }

void TBuffer::TabForward(int count) {
  const int here = column_ + 1;
  int found = 0, last = 0;
  for (int stop : tabs_) {
    if (stop <= here || stop >= columns_) continue;
    last = stop;
    if (++found >= count) break;
  }
  if (last > 0) column_ = last - 1;
}

void TBuffer::BackTab(int count) {
  const int here = column_ + 1;
  int found = 0, last = 0;
  for (auto it = tabs_.rbegin(); it != tabs_.rend(); ++it) {
    if (*it == 0 || *it >= here) continue;
    last = *it;
    if (++found >= count) break;
  }
  if (last > 0) column_ = last - 1;
}

// Pushes the rest of the line right to the next stop; nothing when no stop
// lies ahead inside the line.
void TBuffer::TabJustify() {
  const int here = column_ + 1;
  for (int stop : tabs_) {
    if (stop <= here || stop > columns_) continue;
    const int distance = stop - here;
    InsertBlanks(distance);
    column_ += distance;
    return;
  }
}

void TBuffer::VerticalTab(int count) {
  if (row_ >= pageHeight_ - 1) return;
  const int here = row_ + 1;
  int found = 0, last = 0;
  for (int stop : verticalTabs_) {
    if (stop <= here) continue;
    last = stop;
    if (++found >= count) break;
  }
  if (last > 0) row_ = std::min(last - 1, rows_ - 1);
}

// ---- cells ----

void TBuffer::InvalidateCells(int row, int firstColumn, int lastColumn) {
  const int screenRow = row - viewTop_;
  if (screenRow < 0 || screenRow >= visibleRows_) {
    repaintAll_ = true;
    return;
  }
  const PixelRect cell{(firstColumn - viewLeft_) * charWidth_, screenRow * charHeight_,
                       (lastColumn + 1 - viewLeft_) * charWidth_, (screenRow + 1) * charHeight_};
  if (pending_.Empty()) {
    pending_ = cell;
  } else {
    pending_.left = std::min(pending_.left, cell.left);
    pending_.top = std::min(pending_.top, cell.top);
    pending_.right = std::max(pending_.right, cell.right);
    pending_.bottom = std::max(pending_.bottom, cell.bottom);
  }
}

void TBuffer::InvalidateRows(int firstRow, int lastRow) {
  if (firstRow > lastRow) return;
  InvalidateCells(firstRow, viewLeft_, columns_ - 1);
  InvalidateCells(lastRow, viewLeft_, columns_ - 1);
}

void TBuffer::BlankRow(int row, std::uint8_t colour, std::uint8_t attrs) {
  const std::size_t at = static_cast<std::size_t>(Cell(row, 0));
  std::memset(&chars_[at], kBlank, columns_);
  std::memset(&colours_[at], colour, columns_);
  std::memset(&written_[at], colour, columns_);
  std::memset(&attrs_[at], attrs, columns_);
}

// Erased cells take the drawn colours and no attributes; the window shows the
// result at once.
void TBuffer::Erase(int from, int count) {
  const int cells = rows_ * columns_;
  from = std::clamp(from, 0, cells);
  count = std::clamp(count, 0, cells - from);
  if (count == 0) return;
  for (int at = from, left = count; left > 0;) {
    const int column = at % columns_;
    const int n = std::min(left, columns_ - column);
    EraseSpan(at / columns_, column, n);
    at += n;
    left -= n;
  }
  InvalidateRows(from / columns_, (from + count - 1) / columns_);
  ApplyRepaint();
}

void TBuffer::EraseSpan(int row, int column, int count) {
  const std::size_t at = static_cast<std::size_t>(Cell(row, column));
  std::memset(&chars_[at], kBlank, count);
  std::memset(&colours_[at], DrawnColour(), count);
  std::memset(&written_[at], DrawnColour(), count);
  std::memset(&attrs_[at], 0, count);
}

void TBuffer::EraseWithRule(int from, int count) {
  const int savedBack = back_;
  if (command_.Arg2 == 1 && (command_.Attrs & atReverse)) back_ = fore_;
  Erase(from, count);
  back_ = savedBack;
}

void TBuffer::EraseInPage(int extent) {
  const int cursor = Linear(row_, column_);
  switch (extent) {
    case 0:
      EraseWithRule(cursor, rows_ * columns_ - cursor);
      break;
    case 1:
      EraseWithRule(0, cursor + 1);
      break;
    case 2:
      ClearPage();
      break;
    default:
      break;
  }
}

void TBuffer::EraseInLine(int extent) {
  const int lineStart = Linear(row_, 0);
  switch (extent) {
    case 0:
      EraseWithRule(lineStart + column_, columns_ - column_);
      break;
    case 1:
      EraseWithRule(lineStart, column_ + 1);
      break;
    case 2:
      EraseWithRule(lineStart, columns_);
      break;
    default:
      break;
  }
}

namespace {

void MovePlanes(std::vector<std::uint8_t>* planes[4], int to, int from, int count) {
  if (count <= 0) return;
  for (int p = 0; p < 4; ++p) std::memmove(planes[p]->data() + to, planes[p]->data() + from, count);
}

}  // namespace

// Opens count blank cells at the cursor; cells pushed past the line end are lost.
void TBuffer::InsertBlanks(int count) {
  count = std::min(count, columns_ - column_);
  if (count <= 0) return;
  std::vector<std::uint8_t>* planes[4] = {&chars_, &colours_, &written_, &attrs_};
  const int at = Cell(row_, column_);
  MovePlanes(planes, at + count, at, columns_ - column_ - count);
  Erase(Linear(row_, column_), count);
}

void TBuffer::DeleteChars(int n) {
  n = std::min(n, columns_ - column_);
  if (n <= 0) return;
  std::vector<std::uint8_t>* planes[4] = {&chars_, &colours_, &written_, &attrs_};
  const int at = Cell(row_, column_);
  MovePlanes(planes, at, at + n, columns_ - column_ - n);
  Erase(Linear(row_, columns_ - n), n);
}

// Lines are inserted within the page (or, below the page, within the grid).
void TBuffer::InsertLines(int n) {
  int bottom = std::min(viewTop_ + pageHeight_ - 1, rows_ - 1);
  if (row_ > bottom) bottom = rows_ - 1;
  n = std::min(n, bottom - row_ + 1);
  if (n <= 0) return;
  std::rotate(rowMap_.begin() + row_, rowMap_.begin() + bottom + 1 - n, rowMap_.begin() + bottom + 1);
  Erase(Linear(row_, 0), n * columns_);
}

// The rows below close up to the end of the grid; the rows they vacate are blanked.
void TBuffer::DeleteLines(int n) {
  n = std::min(n, rows_ - row_);
  if (n <= 0) return;
  std::rotate(rowMap_.begin() + row_, rowMap_.begin() + row_ + n, rowMap_.begin() + rows_);
  Erase(Linear(rows_ - n, 0), n * columns_);
}

// Rows first+1 .. last move up one row; last is blanked.
void TBuffer::ScrollRowsUp(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, rows_ - 1);
  if (first > last) return;
  std::rotate(rowMap_.begin() + first, rowMap_.begin() + first + 1, rowMap_.begin() + last + 1);
  BlankRow(last, DrawnColour(), attributes_);
}

// Rows first .. last-1 move down one row; first is blanked.
void TBuffer::ShiftRowsDown(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, rows_ - 1);
  if (first > last) return;
  std::rotate(rowMap_.begin() + first, rowMap_.begin() + last, rowMap_.begin() + last + 1);
  BlankRow(first, DrawnColour(), attributes_);
}

// Row last is put at first; the rows between move down one.
void TBuffer::RotateRowDown(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, rows_ - 1);
  if (first >= last) return;
  std::rotate(rowMap_.begin() + first, rowMap_.begin() + last, rowMap_.begin() + last + 1);
}
