// What the layout needs of the page producer of a pass: its canvas, its
// conversions from tenths of a millimetre to device pixels, its cancel flag
// and its progress. The report hands its producer over through this view.
#pragma once

#include <cstdint>

#include "report/printing/frame.h"
#include "report/printing/measures.h"
#include "report/printing/page_canvas.h"

namespace report {

class LayoutProducer {
 public:
  virtual ~LayoutProducer() = default;
  virtual QRPageCanvas& Canvas() = 0;
  // Measures text as the layout does whatever device the pages go to: at the
  // screen's resolution, at which the preview's pages are recorded, so that a
  // page holds the same lines on screen and on paper.
  virtual QRPageCanvas& LayoutCanvas() { return Canvas(); }
  // The layout canvas's pixels per native unit.
  virtual long double LayoutPixelsPerUnitY() const { return PixelsPerUnitY(); }
  // Native positions and lengths to device pixels of the open page.
  virtual std::int32_t ToDeviceX(long double x) const = 0;
  virtual std::int32_t ToDeviceY(long double y) const = 0;
  // Device pixels per native unit.
  virtual long double PixelsPerUnitX() const = 0;
  virtual long double PixelsPerUnitY() const = 0;
  virtual bool CancelRequested() const = 0;
  virtual void SetProgress(std::int32_t percent) = 0;
};

// Fills with a solid brush in the colour.
inline void FillSolid(QRPageCanvas& canvas, const QRRect& rect, fw::TColor color) {
  canvas.SetBrush({color, fw::TBrushStyle::bsSolid});
  canvas.FillRect(rect);
}

// Copies a frame's values, leaving each frame with its own owner.
inline void CopyFrame(TQRFrame& to, const TQRFrame& from) {
  to.SetColor(from.Color());
  to.SetDrawTop(from.DrawTop());
  to.SetDrawBottom(from.DrawBottom());
  to.SetDrawLeft(from.DrawLeft());
  to.SetDrawRight(from.DrawRight());
  to.SetStyle(from.Style());
  to.SetWidth(from.Width());
}

// Measures in a unit for the life of the guard.
class QRUnitScope {
 public:
  QRUnitScope(TQRUnitBase& measure, TQRUnit unit) : measure_(measure), saved_(measure.Units()) {
    measure_.SetUnits(unit);
  }
  ~QRUnitScope() { measure_.SetUnits(saved_); }
  QRUnitScope(const QRUnitScope&) = delete;
  QRUnitScope& operator=(const QRUnitScope&) = delete;

 private:
  TQRUnitBase& measure_;
  TQRUnit saved_;
};

inline void SetNativeHeight(TQRBandSize& size, long double value) {
  QRUnitScope native(size, TQRUnit::Native);
  size.SetHeight(value);
}
inline void SetNativeWidth(TQRBandSize& size, long double value) {
  QRUnitScope native(size, TQRUnit::Native);
  size.SetWidth(value);
}

}  // namespace report
