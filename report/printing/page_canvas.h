// The surface a report page is drawn on: a page of the page store, a printer
// page, or a recording in tests. Coordinates are device pixels of that page.
// Bands, printables and frames draw only through this interface, so the
// report's layout code stays free of any Windows header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics_types.h"

namespace report {

struct QRRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  friend bool operator==(const QRRect&, const QRRect&) = default;
};

struct QRPen {
  fw::TColor Color = 0;
  // Device pixels; 0 draws the thinnest line the device has.
  std::int32_t Width = 1;
  fw::TPenStyle Style = fw::TPenStyle::psSolid;
  friend bool operator==(const QRPen&, const QRPen&) = default;
};

struct QRBrush {
  fw::TColor Color = 0xFFFFFF;
  fw::TBrushStyle Style = fw::TBrushStyle::bsSolid;
  friend bool operator==(const QRBrush&, const QRBrush&) = default;
};

// Font style bits, the same as the framework's TFontStyle.
enum QRFontStyleBits : unsigned { qfsBold = 1, qfsItalic = 2, qfsUnderline = 4, qfsStrikeOut = 8 };

// A font by its point size: the canvas makes it as tall on its device as the
// same size is on paper, whatever the device's resolution.
struct QRFontSpec {
  std::string Name = "Arial";
  std::int32_t Size = 10;
  unsigned Style = 0;
  fw::TColor Color = 0;
  friend bool operator==(const QRFontSpec&, const QRFontSpec&) = default;
};

// Where a text's reference point lies on its line: the left end, the right
// end or the middle; always at the top of the line.
enum class QRTextAlign { Left, Right, Center };

class QRPageCanvas {
 public:
  virtual ~QRPageCanvas() = default;

  virtual void SetPen(const QRPen& pen) = 0;
  virtual void SetBrush(const QRBrush& brush) = 0;
  virtual void SetFont(const QRFontSpec& font) = 0;
  virtual const QRPen& Pen() const = 0;
  virtual const QRBrush& Brush() const = 0;
  virtual const QRFontSpec& Font() const = 0;

  virtual void SetTextAlign(QRTextAlign align) = 0;
  // Whether text leaves the background around its letters untouched.
  virtual void SetTransparentText(bool transparent) = 0;

  // Fills with the brush, without an outline.
  virtual void FillRect(const QRRect& rect) = 0;
  // Outlined with the pen and filled with the brush.
  virtual void Rectangle(const QRRect& rect) = 0;
  virtual void Ellipse(const QRRect& rect) = 0;
  virtual void MoveTo(std::int32_t x, std::int32_t y) = 0;
  virtual void LineTo(std::int32_t x, std::int32_t y) = 0;

  // One line of text at (x, y), not clipped to any rectangle.
  virtual void TextOut(std::int32_t x, std::int32_t y, const std::string& text) = 0;
  // The same with each byte's advance given in device pixels: the characters
  // go where the layout measured them, however wide this device's font sets
  // them. A surface that cannot place characters draws the text plainly.
  virtual void SpacedTextOut(std::int32_t x, std::int32_t y, const std::string& text,
                             const std::vector<std::int32_t>& /*advances*/) {
    TextOut(x, y, text);
  }
  // The extent of a text in the current font, in device pixels.
  virtual std::int32_t TextWidth(const std::string& text) = 0;
  virtual std::int32_t TextHeight(const std::string& text) = 0;

  // Removes any clipping region, so the whole page can be drawn on again.
  virtual void ResetClip() = 0;
};

}  // namespace report
