// The page-drawing interface over a device context: a printer page or a page
// being recorded as a metafile. Fonts are made from their point size and the
// device's own pixels per inch, so a font is as tall on every device.
#pragma once

#include <windows.h>

#include "report/printing/page_canvas.h"

namespace report {

class GdiPageCanvas : public QRPageCanvas {
 public:
  GdiPageCanvas() = default;
  explicit GdiPageCanvas(HDC dc) { Attach(dc); }
  ~GdiPageCanvas() override;
  GdiPageCanvas(const GdiPageCanvas&) = delete;
  GdiPageCanvas& operator=(const GdiPageCanvas&) = delete;

  // Draws on dc from now on (null: on nothing), selecting pen, brush and font into it.
  void Attach(HDC dc);
  void Detach() { Attach(nullptr); }
  // Selects pen, brush and font again: a printer may reset them with a new page.
  void Refresh();
  HDC Handle() const { return dc_; }

  void SetPen(const QRPen& pen) override;
  void SetBrush(const QRBrush& brush) override;
  void SetFont(const QRFontSpec& font) override;
  const QRPen& Pen() const override { return pen_; }
  const QRBrush& Brush() const override { return brush_; }
  const QRFontSpec& Font() const override { return font_; }
  void SetTextAlign(QRTextAlign align) override;
  void SetTransparentText(bool transparent) override;
  void FillRect(const QRRect& rect) override;
  void Rectangle(const QRRect& rect) override;
  void Ellipse(const QRRect& rect) override;
  void MoveTo(std::int32_t x, std::int32_t y) override;
  void LineTo(std::int32_t x, std::int32_t y) override;
  void TextOut(std::int32_t x, std::int32_t y, const std::string& text) override;
  void SpacedTextOut(std::int32_t x, std::int32_t y, const std::string& text,
                     const std::vector<std::int32_t>& advances) override;
  std::int32_t TextWidth(const std::string& text) override;
  std::int32_t TextHeight(const std::string& text) override;
  void ResetClip() override;

 private:
  void Deselect();
  void SelectPen();
  void SelectBrush();
  void SelectFont();
  void ApplyTextSettings();

  HDC dc_ = nullptr;
  QRPen pen_;
  QRBrush brush_;
  QRFontSpec font_;
  QRTextAlign align_ = QRTextAlign::Left;
  bool transparent_ = false;
  HPEN penHandle_ = nullptr;
  HBRUSH brushHandle_ = nullptr;
  HFONT fontHandle_ = nullptr;
  HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr, oldFont_ = nullptr;
};

}  // namespace report
