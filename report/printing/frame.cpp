#include "report/printing/frame.h"

#include <cstdint>

#include "report/printing/measures.h"

namespace report {

namespace {

// A point is 1/72 inch, 254/72 native units.
constexpr long double kPointsToNative = 0.013888888888888888889L * 254.0L;

std::int32_t SideThickness(long double factor, std::int32_t width) {
  const std::int32_t thickness = QRRound(factor * kPointsToNative * width);
  if (width == -1 || (thickness < 1 && width >= 1)) return 1;
  return thickness;
}

// a + b held within 32 bits: a huge frame width must not wrap around.
std::int32_t Plus(std::int32_t a, std::int64_t b) {
  const std::int64_t sum = a + b;
  if (sum > INT32_MAX) return INT32_MAX;
  if (sum < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(sum);
}

}  // namespace

void TQRFrame::DrawFrame(QRPageCanvas& canvas, const QRRect& rect, long double xFactor,
                         long double yFactor) const {
  const std::int32_t tx = SideThickness(xFactor, width_);
  const std::int32_t ty = SideThickness(yFactor, width_);
  canvas.SetBrush({color_, fw::TBrushStyle::bsSolid});
  canvas.SetPen({color_, 1, style_});
  // A side of no thickness is not drawn at all: an inverted rectangle would
  // paint outside the frame on devices that normalise it.
  if (ty > 0) {
    if (drawTop_) canvas.FillRect({rect.Left, rect.Top, rect.Right, Plus(rect.Top, ty)});
    if (drawBottom_)
      canvas.FillRect(
          {rect.Left, Plus(rect.Bottom, -static_cast<std::int64_t>(ty)), rect.Right, rect.Bottom});
  }
  if (tx > 0) {
    if (drawLeft_) canvas.FillRect({rect.Left, rect.Top, Plus(rect.Left, tx), rect.Bottom});
    if (drawRight_)
      canvas.FillRect({Plus(rect.Right, -static_cast<std::int64_t>(tx)), rect.Top, rect.Right, rect.Bottom});
  }
  canvas.SetBrush({color_, fw::TBrushStyle::bsClear});
}

}  // namespace report
