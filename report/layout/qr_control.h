// The light control tree that report panels and printables live in: a parent,
// children in order, bounds in pixels and the few visual flags a report reads.
// No window stands behind a control; a report is drawn only through its page
// producer, never shown as a panel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/graphics_types.h"
#include "report/printing/page_canvas.h"

namespace report {

using TColor = fw::TColor;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBlack = 0x000000;
// The system's button face colour, the panel default.
constexpr TColor clBtnFace = fw::SystemColor(15);

// A font by name, point size, style bits and colour.
using TQRFontDescription = QRFontSpec;

class TQRControl : public fw::TComponent {
 public:
  explicit TQRControl(fw::TComponent* owner);
  ~TQRControl() override;

  TQRControl* Parent() const { return parent_; }
  // Moves the control to the end of the new parent's children (or out of the
  // tree for null). Overrides do their own steps around this one.
  virtual void SetParent(TQRControl* parent);
  const std::vector<TQRControl*>& Controls() const { return controls_; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The one way bounds change; overrides decide what the new values mean.
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }

  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value) { enabled_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  // The opaque style flag: an opaque control paints its own background.
  bool Opaque() const { return opaque_; }
  void SetOpaque(bool value) { opaque_ = value; }

  // The control's own font, or its parent's while ParentFont is set.
  const TQRFontDescription& Font() const;
  void SetFont(const TQRFontDescription& font);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value) { parentFont_ = value; }

  // Nothing is on screen to repaint; kept so callers read like the panels they model.
  void Invalidate() {}

 protected:
  // Stores bounds without asking the virtual handler.
  void ApplyBounds(int left, int top, int width, int height);

 private:
  TQRControl* parent_ = nullptr;
  std::vector<TQRControl*> controls_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  bool opaque_ = true;
  bool parentFont_ = true;
  TColor color_ = clBtnFace;
  TQRFontDescription font_;
};

}  // namespace report
