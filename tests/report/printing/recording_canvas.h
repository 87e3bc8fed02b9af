// A page canvas that remembers what was drawn on it, for tests of anything
// that draws a report page. Each drawing call is one Operation holding the
// pen, brush, font and text settings in force when it was made.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "report/printing/page_canvas.h"

namespace report {

// Rectangles in test failures as (left, top, right, bottom).
inline void PrintTo(const QRRect& rect, std::ostream* out) {
  *out << "(" << rect.Left << ", " << rect.Top << ", " << rect.Right << ", " << rect.Bottom << ")";
}

}  // namespace report

namespace report::testing {

class RecordingCanvas : public QRPageCanvas {
 public:
  enum class Kind { FillRect, Rectangle, Ellipse, Line, Text, ResetClip };

  struct Operation {
    Kind kind;
    QRRect rect;  // for a line: (from x, from y, to x, to y); for text: (x, y, x, y)
    std::string text;
    QRPen pen;
    QRBrush brush;
    QRFontSpec font;
    QRTextAlign align;
    bool transparentText;
  };

  // Text extents: every character is CharWidth wide, every line LineHeight high.
  std::int32_t CharWidth = 7;
  std::int32_t LineHeight = 16;

  std::vector<Operation> Operations;
  // The bytes of every text measured, for what a layout costs.
  std::size_t MeasuredBytes = 0;

  // The fill rectangles recorded, in order.
  std::vector<QRRect> Fills() const {
    std::vector<QRRect> fills;
    for (const auto& op : Operations)
      if (op.kind == Kind::FillRect) fills.push_back(op.rect);
    return fills;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& op : Operations)
      if (op.kind == Kind::Text) texts.push_back(op.text);
    return texts;
  }

  void SetPen(const QRPen& pen) override { pen_ = pen; }
  void SetBrush(const QRBrush& brush) override { brush_ = brush; }
  void SetFont(const QRFontSpec& font) override { font_ = font; }
  const QRPen& Pen() const override { return pen_; }
  const QRBrush& Brush() const override { return brush_; }
  const QRFontSpec& Font() const override { return font_; }
  void SetTextAlign(QRTextAlign align) override { align_ = align; }
  void SetTransparentText(bool transparent) override { transparent_ = transparent; }
  QRTextAlign TextAlign() const { return align_; }
  bool TransparentText() const { return transparent_; }

  void FillRect(const QRRect& rect) override { Record(Kind::FillRect, rect); }
  void Rectangle(const QRRect& rect) override { Record(Kind::Rectangle, rect); }
  void Ellipse(const QRRect& rect) override { Record(Kind::Ellipse, rect); }
  void MoveTo(std::int32_t x, std::int32_t y) override {
    x_ = x;
    y_ = y;
  }
  void LineTo(std::int32_t x, std::int32_t y) override {
    Record(Kind::Line, {x_, y_, x, y});
    x_ = x;
    y_ = y;
  }
  void TextOut(std::int32_t x, std::int32_t y, const std::string& text) override {
    Record(Kind::Text, {x, y, x, y}, text);
  }
  std::int32_t TextWidth(const std::string& text) override {
    MeasuredBytes += text.size();
    return static_cast<std::int32_t>(text.size()) * CharWidth;
  }
  std::int32_t TextHeight(const std::string&) override { return LineHeight; }
  void ResetClip() override { Record(Kind::ResetClip, {}); }

 private:
  void Record(Kind kind, const QRRect& rect, std::string text = {}) {
    Operations.push_back({kind, rect, std::move(text), pen_, brush_, font_, align_, transparent_});
  }

  QRPen pen_;
  QRBrush brush_;
  QRFontSpec font_;
  QRTextAlign align_ = QRTextAlign::Left;
  bool transparent_ = false;
  std::int32_t x_ = 0, y_ = 0;
};

}  // namespace report::testing
