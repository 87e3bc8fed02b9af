// A page that is laid out but goes nowhere: a printed page outside the chosen
// range. Text measures as on the device underneath, so the page breaks where
// it would have printed; nothing is drawn.
#pragma once

#include "report/printing/page_canvas.h"

namespace report {

class QRMeasuringCanvas : public QRPageCanvas {
 public:
  explicit QRMeasuringCanvas(QRPageCanvas& device) : device_(device) {}

  void SetPen(const QRPen& pen) override { pen_ = pen; }
  void SetBrush(const QRBrush& brush) override { brush_ = brush; }
  void SetFont(const QRFontSpec& font) override { device_.SetFont(font); }
  const QRPen& Pen() const override { return pen_; }
  const QRBrush& Brush() const override { return brush_; }
  const QRFontSpec& Font() const override { return device_.Font(); }
  void SetTextAlign(QRTextAlign) override {}
  void SetTransparentText(bool) override {}
  void FillRect(const QRRect&) override {}
  void Rectangle(const QRRect&) override {}
  void Ellipse(const QRRect&) override {}
  void MoveTo(std::int32_t, std::int32_t) override {}
  void LineTo(std::int32_t, std::int32_t) override {}
  void TextOut(std::int32_t, std::int32_t, const std::string&) override {}
  std::int32_t TextWidth(const std::string& text) override { return device_.TextWidth(text); }
  std::int32_t TextHeight(const std::string& text) override { return device_.TextHeight(text); }
  void ResetClip() override {}

 private:
  QRPageCanvas& device_;
  QRPen pen_;
  QRBrush brush_;
};

}  // namespace report
