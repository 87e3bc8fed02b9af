// The screen buffer's view: the window's origin over the grid, what is
// repainted and scrolled, the caret, the status and the blink phase.
#include "comm/terminal/screen_buffer.h"

#include <algorithm>
#include <cstring>

using namespace comm;

TBuffer::Planes TBuffer::PlanesInRowOrder() {
  bool ordered = true;
  for (int r = 0; r < rows_ && ordered; ++r) ordered = rowMap_[r] == r;
  if (!ordered) {
    // One copy puts the rows back in order; scrolling rotates the map again later.
    for (auto* plane : {&chars_, &colours_, &written_, &attrs_}) {
      std::vector<std::uint8_t> laid(plane->size());
      for (int r = 0; r < rows_; ++r)
        std::memcpy(&laid[static_cast<std::size_t>(Linear(r, 0))],
                    &(*plane)[static_cast<std::size_t>(Cell(r, 0))], static_cast<std::size_t>(columns_));
      plane->swap(laid);
    }
    for (int r = 0; r < rows_; ++r) rowMap_[r] = static_cast<std::uint16_t>(r);
  }
  return {chars_.data(), colours_.data(), attrs_.data()};
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
      scrollback_ ? 0
                  : static_cast<std::uint32_t>(((column_ + 1) & 0xFF) << 8 | ((row_ - viewTop_ + 1) & 0xFF));
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
