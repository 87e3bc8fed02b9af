#include "report/layout/qr_control.h"

#include <algorithm>

namespace report {

TQRControl::TQRControl(fw::TComponent* owner) : fw::TComponent(owner) {}

TQRControl::~TQRControl() {
  // Children belong to their owner, not to us: they only lose their parent.
  for (TQRControl* child : controls_) child->parent_ = nullptr;
  controls_.clear();
  if (parent_) {
    auto& siblings = parent_->controls_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_ = nullptr;
  }
}

void TQRControl::SetParent(TQRControl* parent) {
  if (parent == parent_) return;
  for (TQRControl* up = parent; up; up = up->parent_)
    if (up == this) return;  // a control cannot hold its own ancestor
  if (parent_) {
    auto& siblings = parent_->controls_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  parent_ = parent;
  if (parent_) parent_->controls_.push_back(this);
}

void TQRControl::SetBounds(int left, int top, int width, int height) {
  ApplyBounds(left, top, width, height);
}

void TQRControl::ApplyBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

const TQRFontDescription& TQRControl::Font() const {
  if (parentFont_ && parent_) return parent_->Font();
  return font_;
}

void TQRControl::SetFont(const TQRFontDescription& font) {
  font_ = font;
  parentFont_ = false;
}

}  // namespace report
