// The frame that report panels and printables draw around themselves: any of
// the four sides, in one colour, as thick as its width in points on paper.
#pragma once

#include <cstdint>
#include <functional>

#include "framework/graphics_types.h"
#include "report/printing/page_canvas.h"

namespace report {

class TQRFrame {
 public:
  // repaintOwner runs after every change (may be empty).
  explicit TQRFrame(std::function<void()> repaintOwner = {}) : repaintOwner_(std::move(repaintOwner)) {}

  fw::TColor Color() const { return color_; }
  void SetColor(fw::TColor value) { Change(color_, value); }
  bool DrawTop() const { return drawTop_; }
  void SetDrawTop(bool value) { Change(drawTop_, value); }
  bool DrawBottom() const { return drawBottom_; }
  void SetDrawBottom(bool value) { Change(drawBottom_, value); }
  bool DrawLeft() const { return drawLeft_; }
  void SetDrawLeft(bool value) { Change(drawLeft_, value); }
  bool DrawRight() const { return drawRight_; }
  void SetDrawRight(bool value) { Change(drawRight_, value); }
  fw::TPenStyle Style() const { return style_; }
  void SetStyle(fw::TPenStyle value) { Change(style_, value); }
  // Points; -1 is one device pixel whatever the device.
  std::int32_t Width() const { return width_; }
  void SetWidth(std::int32_t value) { Change(width_, value); }

  bool AnySide() const { return drawTop_ || drawBottom_ || drawLeft_ || drawRight_; }

  // Paints the chosen sides inside rect. xFactor and yFactor are the device
  // pixels per native unit (0.1 mm) of the canvas.
  void DrawFrame(QRPageCanvas& canvas, const QRRect& rect, long double xFactor, long double yFactor) const;

 private:
  template <class T>
  void Change(T& field, T value) {
    field = value;
    if (repaintOwner_) repaintOwner_();
  }

  std::function<void()> repaintOwner_;
  fw::TColor color_ = 0;
  bool drawBottom_ = false;
  bool drawLeft_ = false;
  fw::TPenStyle style_ = fw::TPenStyle::psSolid;
  bool drawRight_ = false;
  bool drawTop_ = false;
  std::int32_t width_ = 1;
};

}  // namespace report
