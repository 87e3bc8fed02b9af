#include "comm/terminal/screen_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "comm/terminal/buffer_errors.h"
#include "framework/exceptions.h"

namespace comm {
namespace {

constexpr int kOutOfMemory = -8;
constexpr std::uint8_t kBlank = ' ';
constexpr std::uint8_t kBackspace = 0x08, kLineFeed = 0x0A, kCarriageReturn = 0x0D;

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return r | g << 8 | b << 16;
}

constexpr std::array<std::uint32_t, 16> kPalette = {
    Rgb(0, 0, 0),       Rgb(128, 0, 0),   Rgb(0, 128, 0),   Rgb(128, 128, 0),
    Rgb(0, 0, 128),     Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(192, 192, 192),
    Rgb(128, 128, 128), Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(255, 255, 0),
    Rgb(0, 0, 255),     Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255)};

}  // namespace
}  // namespace comm

using namespace comm;

TBuffer::TBuffer(ViewSink* view, int rows, int columns, CaptureWriter* captureWriter)
    : view_(view), palette_(kPalette), capture_(captureWriter, view) {
  if (SetDimensions(rows, columns, 25) != bufferOk) throw fw::Exception("Buffer allocation failed");
}

TBuffer::~TBuffer() = default;  // the capture member flushes and closes its file

void TBuffer::SetEmulator(void* data, EmulatorCallback callback) {
  emulatorData_ = data;
  emulator_ = callback;
}

int TBuffer::SetDimensions(int rows, int columns, int pageHeight) {
  if (columns < 1 || columns > maxColumns || pageHeight < 1 || rows < pageHeight ||
      static_cast<long>(rows) * columns > maxCells)
    return codes::kBadArgument;
  const std::size_t cells = static_cast<std::size_t>(rows) * columns;
  try {
    std::vector<std::uint8_t> chars(cells, kBlank), colours(cells, 0), written(cells, 0), attrs(cells, 0);
    std::vector<std::uint16_t> rowMap(rows);
    for (int r = 0; r < rows; ++r) rowMap[r] = static_cast<std::uint16_t>(r);
    rowMap_.swap(rowMap);
    chars_.swap(chars);
    colours_.swap(colours);
    written_.swap(written);
    attrs_.swap(attrs);
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
  rows_ = rows;
  columns_ = columns;
  pageHeight_ = pageHeight;
  const std::uint8_t pageColour = static_cast<std::uint8_t>(back_ << 4 | back_);
  std::fill_n(colours_.begin(), static_cast<std::size_t>(pageHeight) * columns, pageColour);
  std::fill_n(written_.begin(), static_cast<std::size_t>(pageHeight) * columns, pageColour);
  ResetTabStops(columns);
  verticalTabs_.fill(0);
  column_ = row_ = 0;
  highestRow_ = pageHeight - 1;
  viewLeft_ = viewTop_ = 0;
  pendingVertical_ = pendingHorizontal_ = 0;
  pending_ = {};
  repaintAll_ = false;
  regionBottom_ = pageHeight;
  if (regionTop_ >= regionBottom_) regionTop_ = 1;
  savedCursor_.saved = false;
  ComputeVisible();
  return bufferOk;
}

void TBuffer::SetColors(int fore, int back) {
  logicalFore_ = fore_ = fore & 15;
  logicalBack_ = back_ = back & 15;
  markBack_ = fore & 15;
  markText_ = back & 15;
}

void TBuffer::SetMarkColors(int text, int back) {
  markText_ = text & 15;
  markBack_ = back & 15;
}

void TBuffer::SetCharSize(int height, int width) {
  charHeight_ = std::max(height, 0);
  charWidth_ = std::max(width, 0);
  ComputeVisible();
  regionTop_ = 1;
  regionBottom_ = pageHeight_;
}

void TBuffer::SetClientSize(int width, int height) {
  clientWidth_ = std::max(width, 0);
  clientHeight_ = std::max(height, 0);
  ComputeVisible();
}

// Without a window (or before its size is known) the page counts as visible.
void TBuffer::ComputeVisible() {
  visibleRows_ = charHeight_ > 0 && clientHeight_ > 0 ? clientHeight_ / charHeight_ : pageHeight_;
  visibleColumns_ = charWidth_ > 0 && clientWidth_ > 0 ? clientWidth_ / charWidth_ : columns_;
  visibleRows_ = std::clamp(visibleRows_, 1, rows_);
  visibleColumns_ = std::clamp(visibleColumns_, 1, columns_);
}

int TBuffer::LastVisibleRow() const { return std::min(viewTop_ + visibleRows_ - 1, rows_ - 1); }

void TBuffer::ComputeInRegion() {
  const int relative = row_ - viewTop_ + 1;
  inRegion_ = relative >= regionTop_ && relative <= regionBottom_;
}

void TBuffer::ClampCursor() {
  row_ = std::clamp(row_, 0, rows_ - 1);
  column_ = std::clamp(column_, 0, columns_ - 1);
  viewTop_ = std::clamp(viewTop_, 0, rows_ - 1);
  viewLeft_ = std::clamp(viewLeft_, 0, columns_ - 1);
}

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

// ---- writing ----

void TBuffer::WriteChar(std::uint8_t ch) {
  ComputeInRegion();
  switch (ch) {
    case kBackspace:
      if (column_ > 0) {
        --column_;
        chars_[Cell(row_, column_)] = kBlank;
        InvalidateCells(row_, column_, column_);
      }
      break;
    case kLineFeed:
      LineFeed();
      break;
    case kCarriageReturn:
      column_ = 0;
      PlaceCaret();
      break;
    default: {
      const int at = Cell(row_, column_);
      const std::uint8_t colour = DrawnColour();
      chars_[at] = ch;
      colours_[at] =
          (attributes_ & atBlink) && blinkOff_ ? static_cast<std::uint8_t>(back_ << 4 | back_) : colour;
      written_[at] = colour;
      attrs_[at] = attributes_;
      InvalidateCells(row_, column_, column_);
      // >= : a column pushed to the edge by any command still wraps here.
      if (column_ >= columns_ - 1) {
        column_ = 0;
        LineFeed();
      } else {
        ++column_;
      }
      break;
    }
  }
  capture_.Put(ch);
}

void TBuffer::ScrollPending(int rows) {
  pendingVertical_ -= rows * charHeight_;
  pending_.top -= rows * charHeight_;
  pending_.bottom -= rows * charHeight_;
}

void TBuffer::LineFeed() {
  ++row_;
  AdvanceRow();
  if (row_ >= viewTop_ + regionBottom_ - 1 && pendingVertical_ < 0) {
    const std::size_t at = static_cast<std::size_t>(Cell(row_, 0));
    std::memset(&colours_[at], DrawnColour(), columns_);
    std::memset(&written_[at], DrawnColour(), columns_);
    std::memset(&attrs_[at], attributes_, columns_);
  }
}

// The page moves down over the grid as lines arrive; the rows it leaves behind
// are the scroll-back. At the end of the grid the oldest row is dropped.
void TBuffer::AdvanceRow() {
  if (row_ > highestRow_ && row_ < rows_) {
    highestRow_ = row_;
    if (scrollback_ && view_)
      view_->SetScrollRange(true, 1, row_ < visibleRows_ ? row_ : row_ - visibleRows_ + 1);
  }
  const int regionBottomRow = viewTop_ + regionBottom_ - 1;
  if (row_ + pageHeight_ - regionBottom_ >= rows_ && (inRegion_ || row_ >= rows_)) {
    // Lines above a region keep their screen places; the region's top line
    // goes to the scroll-back.
    if (regionTop_ > 1) RotateRowDown(viewTop_, viewTop_ + regionTop_ - 1);
    ScrollRowsUp(0, std::min(row_ - 1, rows_ - 1));
    --row_;
    ScrollPending(1);
  } else if (row_ <= regionBottomRow) {
    PlaceCaret();
  } else if (inRegion_) {
    if (regionTop_ > 1) RotateRowDown(viewTop_, viewTop_ + regionTop_ - 1);
    ShiftRowsDown(viewTop_ + regionBottom_, viewTop_ + pageHeight_);
    ++viewTop_;
    ScrollPending(1);
  } else if (row_ > LastVisibleRow()) {
    --row_;
  }
  if (row_ >= rows_) row_ = rows_ - 1;
  if (row_ > LastVisibleRow()) {
    const int d = row_ - LastVisibleRow();
    viewTop_ += d;
    ScrollPending(d);
  } else if (row_ < viewTop_) {
    ScrollPending(row_ - viewTop_);
    viewTop_ = row_;
  }
}

void TBuffer::ClearPage() {
  column_ = 0;
  if (viewTop_ + 2 * pageHeight_ < rows_) {
    viewTop_ += pageHeight_;
  } else {
    row_ = rows_ - 1;
    for (int i = 0; i < pageHeight_; ++i) WriteChar(kLineFeed);
    viewTop_ = rows_ - pageHeight_;
  }
  row_ = viewTop_;
  const int lastRow = std::min(viewTop_ + pageHeight_, rows_) - 1;
  for (int r = viewTop_; r <= lastRow; ++r) BlankRow(r, DrawnColour(), attributes_);
  highestRow_ = std::max(highestRow_, lastRow);
  pendingVertical_ = pendingHorizontal_ = 0;
  pending_ = {};
  repaintAll_ = false;
  if (view_) {
    view_->InvalidateAll();
    view_->UpdateNow();
  }
}

void TBuffer::ClearAll() {
  column_ = row_ = 0;
  viewLeft_ = viewTop_ = 0;
  highestRow_ = pageHeight_ - 1;
  const std::uint8_t colour = static_cast<std::uint8_t>(logicalBack_ << 4 | logicalFore_);
  std::fill(chars_.begin(), chars_.end(), kBlank);
  std::fill(colours_.begin(), colours_.end(), colour);
  std::fill(written_.begin(), written_.end(), colour);
  std::fill(attrs_.begin(), attrs_.end(), 0);
  fore_ = logicalFore_;
  back_ = logicalBack_;
  pendingVertical_ = pendingHorizontal_ = 0;
  pending_ = {};
  repaintAll_ = false;
  if (view_) view_->InvalidateAll();
  PostStatus();
}

// ---- view ----

void TBuffer::PlaceCaret() {
  if (caretOn_ && view_)
    view_->SetCaretPosition((column_ - viewLeft_) * charWidth_, (row_ - viewTop_) * charHeight_);
}

void TBuffer::PostStatus() {
  if (!view_) return;
  const std::uint32_t cursor =
      // Each part is one byte of the message: a row above 255 must not spill into the column.
      scrollback_ ? 0 : static_cast<std::uint32_t>(((column_ + 1) & 0xFF) << 8 | ((row_ - viewTop_ + 1) & 0xFF));
  const std::uint32_t origin = static_cast<std::uint32_t>((viewTop_ + 1) | (viewLeft_ + 1) << 16);
  view_->PostStatus(cursor, origin);
}

void TBuffer::ApplyRepaint() {
  if (view_) {
    if (pendingVertical_ != 0 || pendingHorizontal_ != 0) {
      const PixelRect band{0, (regionTop_ - 1) * charHeight_, clientWidth_, regionBottom_ * charHeight_};
      view_->Scroll(pendingHorizontal_, pendingVertical_, scrollback_ ? nullptr : &band);
      if (pendingVertical_ < 0) {
        const int bottom = scrollback_ ? clientHeight_ : band.bottom;
        view_->Invalidate({0, bottom + pendingVertical_, clientWidth_, bottom});
      }
      view_->SetScrollPosition(false, viewLeft_);
      view_->SetScrollPosition(true, viewTop_);
    }
    if (repaintAll_)
      view_->InvalidateAll();
    else if (!pending_.Empty())
      view_->Invalidate(pending_);
    view_->UpdateNow();
  }
  pendingVertical_ = pendingHorizontal_ = 0;
  pending_ = {};
  repaintAll_ = false;
  PostStatus();
}

void TBuffer::ScrollView(int columns, int rows) {
  int dy = 0;
  const int below = std::max(0, highestRow_ - LastVisibleRow());
  if (scrollback_) {
    dy = rows < 0 ? -std::min(-rows, viewTop_) : std::min(rows, below);
  } else if (visibleRows_ < pageHeight_) {
    const int pageTop = std::max(0, highestRow_ - pageHeight_ + 1);
    dy = rows < 0 ? -std::min(-rows, std::max(0, viewTop_ - pageTop)) : std::min(rows, below);
  }
  const int newLeft = std::clamp(viewLeft_ + columns, 0, std::max(0, columns_ - visibleColumns_));
  const int dx = newLeft - viewLeft_;
  viewTop_ += dy;
  viewLeft_ = newLeft;
  pendingVertical_ -= dy * charHeight_;
  pendingHorizontal_ -= dx * charWidth_;
  ApplyRepaint();
}

void TBuffer::ViewHome(bool vertical) {
  if (!vertical) {
    viewLeft_ = 0;
    repaintAll_ = true;
  } else if (scrollback_) {
    viewTop_ = 0;
    repaintAll_ = true;
  } else {
    const int target = std::max(0, highestRow_ - pageHeight_ + 1);
    pendingVertical_ -= (target - viewTop_) * charHeight_;
    viewTop_ = target;
  }
  ApplyRepaint();
}

void TBuffer::ViewEnd(bool vertical) {
  if (!vertical) {
    viewLeft_ = std::max(0, columns_ - visibleColumns_);
    repaintAll_ = true;
  } else if (scrollback_) {
    const int top = highestRow_ - visibleRows_;
    viewTop_ = std::min(top > 0 ? top : 1, rows_ - 1);
    repaintAll_ = true;
  } else {
    const int target = std::max(0, highestRow_ - visibleRows_ + 1);
    pendingVertical_ -= (target - viewTop_) * charHeight_;
    viewTop_ = target;
  }
  ApplyRepaint();
}

bool TBuffer::BlinkStep() {
  bool any = false;
  const int last = LastVisibleRow();
  for (int row = viewTop_; row <= last; ++row) {
    for (int column = 0; column < columns_; ++column) {
      const int at = Cell(row, column);
      if (!(attrs_[at] & atBlink)) continue;
      const std::uint8_t back = written_[at] >> 4;
      colours_[at] = blinkOff_ ? written_[at] : static_cast<std::uint8_t>(back << 4 | back);
      InvalidateCells(row, column, column);
      any = true;
    }
  }
  blinkOff_ = !blinkOff_;
  if (any && view_ && !pending_.Empty()) {
    view_->Invalidate(pending_);
    pending_ = {};
  }
  return any;
}

// ---- capture and recreation ----

int TBuffer::ControlCapture(bool open, bool append, std::string_view name) {
  return capture_.Control(open, append, name);
}

std::string TBuffer::RowText(int row) const {
  return std::string(chars_.begin() + Cell(row, 0), chars_.begin() + Cell(row, 0) + columns_);
}

std::vector<int> TBuffer::TabStops() const {
  std::vector<int> stops;
  for (int s : tabs_)
    if (s != 0) stops.push_back(s);
  return stops;
}

std::vector<int> TBuffer::VerticalTabStops() const {
  std::vector<int> stops;
  for (int s : verticalTabs_)
    if (s != 0) stops.push_back(s);
  return stops;
}

BufferSnapshot TBuffer::SaveState() {
  BufferSnapshot s;
  // Saved in grid order, so the copy does not depend on the row map.
  for (auto* plane : {&s.chars, &s.colours, &s.written, &s.attrs}) plane->reserve(chars_.size());
  for (int r = 0; r < rows_; ++r) {
    const int at = Cell(r, 0);
    s.chars.insert(s.chars.end(), chars_.begin() + at, chars_.begin() + at + columns_);
    s.colours.insert(s.colours.end(), colours_.begin() + at, colours_.begin() + at + columns_);
    s.written.insert(s.written.end(), written_.begin() + at, written_.begin() + at + columns_);
    s.attrs.insert(s.attrs.end(), attrs_.begin() + at, attrs_.begin() + at + columns_);
  }
  s.tabs = tabs_;
  s.verticalTabs = verticalTabs_;
  s.rows = rows_, s.columns = columns_, s.pageHeight = pageHeight_;
  s.column = column_, s.row = row_, s.highestRow = highestRow_;
  s.viewLeft = viewLeft_, s.viewTop = viewTop_, s.regionTop = regionTop_, s.regionBottom = regionBottom_;
  s.fore = fore_, s.back = back_, s.logicalFore = logicalFore_, s.logicalBack = logicalBack_;
  s.attributes = attributes_;
  s.palette = palette_;
  s.command = command_;
  s.captureName = capture_.Name();
  s.captureOn = capture_.On();
  capture_.Control(false, false, {});
  s.captureHeld = capture_.TakeHeld();
  return s;
}

int TBuffer::RestoreState(const BufferSnapshot& s) {
  const std::size_t cells = static_cast<std::size_t>(s.rows) * static_cast<std::size_t>(s.columns);
  const bool sane = s.columns >= 1 && s.columns <= maxColumns && s.pageHeight >= 1 &&
                    s.rows >= s.pageHeight && cells <= maxCells && s.chars.size() == cells &&
                    s.colours.size() == cells && s.written.size() == cells && s.attrs.size() == cells;
  if (!sane) return codes::kBadArgument;
  chars_ = s.chars;
  colours_ = s.colours;
  written_ = s.written;
  attrs_ = s.attrs;
  rowMap_.resize(s.rows);
  for (int r = 0; r < s.rows; ++r) rowMap_[r] = static_cast<std::uint16_t>(r);
  tabs_ = s.tabs;
  verticalTabs_ = s.verticalTabs;
  rows_ = s.rows, columns_ = s.columns, pageHeight_ = s.pageHeight;
  column_ = s.column, row_ = s.row, highestRow_ = std::clamp(s.highestRow, 0, rows_ - 1);
  viewLeft_ = s.viewLeft, viewTop_ = s.viewTop;
  SetScrollRegion(s.regionTop, s.regionBottom);
  column_ = s.column, row_ = s.row;
  fore_ = s.fore & 15, back_ = s.back & 15, logicalFore_ = s.logicalFore & 15,
  logicalBack_ = s.logicalBack & 15;
  attributes_ = s.attributes;
  palette_ = s.palette;
  command_ = s.command;
  savedCursor_.saved = false;
  pendingVertical_ = pendingHorizontal_ = 0;
  pending_ = {};
  repaintAll_ = true;
  ComputeVisible();
  ClampCursor();
  capture_.GiveHeld(s.captureHeld);
  if (s.captureOn) return capture_.Control(true, true, s.captureName);
  return bufferOk;
}
