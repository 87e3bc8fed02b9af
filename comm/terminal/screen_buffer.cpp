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
  // Below a region that leaves the last line out, a line feed scrolls nothing,
  // at the grid's end as anywhere else.
  const bool wholePage = regionTop_ == 1 && regionBottom_ == pageHeight_;
  if (row_ + pageHeight_ - regionBottom_ >= rows_ && (inRegion_ || (row_ >= rows_ && wholePage))) {
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
