#include "report/printing/gdi_page_canvas_win.h"

#include <vector>

#include "framework/graphics.h"

namespace report {

namespace {

int PenStyleOf(fw::TPenStyle style) {
  switch (style) {
    case fw::TPenStyle::psDash:
      return PS_DASH;
    case fw::TPenStyle::psDot:
      return PS_DOT;
    case fw::TPenStyle::psClear:
      return PS_NULL;
    default:
      return PS_SOLID;
  }
}

RECT RectOf(const QRRect& rect) { return {rect.Left, rect.Top, rect.Right, rect.Bottom}; }

}  // namespace

GdiPageCanvas::~GdiPageCanvas() {
  Deselect();
  if (penHandle_) DeleteObject(penHandle_);
  if (brushHandle_) DeleteObject(brushHandle_);
  if (fontHandle_) DeleteObject(fontHandle_);
}

void GdiPageCanvas::Deselect() {
  if (!dc_) return;
  if (oldPen_) SelectObject(dc_, oldPen_);
  if (oldBrush_) SelectObject(dc_, oldBrush_);
  if (oldFont_) SelectObject(dc_, oldFont_);
  oldPen_ = oldBrush_ = oldFont_ = nullptr;
}

void GdiPageCanvas::Attach(HDC dc) {
  Deselect();
  dc_ = dc;
  // A font is made for the device it is drawn on.
  if (fontHandle_) {
    DeleteObject(fontHandle_);
    fontHandle_ = nullptr;
  }
  Refresh();
}

void GdiPageCanvas::Refresh() {
  if (!dc_) return;
  SelectPen();
  SelectBrush();
  SelectFont();
  ApplyTextSettings();
}

void GdiPageCanvas::SelectPen() {
  if (!dc_) return;
  HPEN pen = CreatePen(PenStyleOf(pen_.Style), pen_.Width, fw::ColorToRGB(pen_.Color));
  HGDIOBJ previous = SelectObject(dc_, pen);
  if (!oldPen_) oldPen_ = previous;
  if (penHandle_) DeleteObject(penHandle_);
  penHandle_ = pen;
}

void GdiPageCanvas::SelectBrush() {
  if (!dc_) return;
  HBRUSH brush = nullptr;
  if (brush_.Style == fw::TBrushStyle::bsSolid) brush = CreateSolidBrush(fw::ColorToRGB(brush_.Color));
  HGDIOBJ previous = SelectObject(dc_, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
  if (!oldBrush_) oldBrush_ = previous;
  if (brushHandle_) DeleteObject(brushHandle_);
  brushHandle_ = brush;
  if (brush) SetBkColor(dc_, fw::ColorToRGB(brush_.Color));
}

void GdiPageCanvas::SelectFont() {
  if (!dc_) return;
  const int size = font_.Size < 0 ? -font_.Size : font_.Size;
  const int height = -MulDiv(size, GetDeviceCaps(dc_, LOGPIXELSY), 72);
  HFONT font = CreateFontA(height, 0, 0, 0, (font_.Style & qfsBold) ? FW_BOLD : FW_NORMAL,
                           (font_.Style & qfsItalic) != 0, (font_.Style & qfsUnderline) != 0,
                           (font_.Style & qfsStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, font_.Name.c_str());
  HGDIOBJ previous = SelectObject(dc_, font);
  if (!oldFont_) oldFont_ = previous;
  if (fontHandle_) DeleteObject(fontHandle_);
  fontHandle_ = font;
  SetTextColor(dc_, fw::ColorToRGB(font_.Color));
}

void GdiPageCanvas::ApplyTextSettings() {
  if (!dc_) return;
  UINT align = TA_TOP | TA_NOUPDATECP;
  if (align_ == QRTextAlign::Right) align |= TA_RIGHT;
  if (align_ == QRTextAlign::Center) align |= TA_CENTER;
  ::SetTextAlign(dc_, align);
  SetBkMode(dc_, transparent_ ? TRANSPARENT : OPAQUE);
}

void GdiPageCanvas::SetPen(const QRPen& pen) {
  pen_ = pen;
  SelectPen();
}

void GdiPageCanvas::SetBrush(const QRBrush& brush) {
  brush_ = brush;
  SelectBrush();
}

void GdiPageCanvas::SetFont(const QRFontSpec& font) {
  font_ = font;
  SelectFont();
}

void GdiPageCanvas::SetTextAlign(QRTextAlign align) {
  align_ = align;
  ApplyTextSettings();
}

void GdiPageCanvas::SetTransparentText(bool transparent) {
  transparent_ = transparent;
  ApplyTextSettings();
}

void GdiPageCanvas::FillRect(const QRRect& rect) {
  if (!dc_ || !brushHandle_) return;
  const RECT r = RectOf(rect);
  ::FillRect(dc_, &r, brushHandle_);
}

void GdiPageCanvas::Rectangle(const QRRect& rect) {
  if (dc_) ::Rectangle(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void GdiPageCanvas::Ellipse(const QRRect& rect) {
  if (dc_) ::Ellipse(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void GdiPageCanvas::MoveTo(std::int32_t x, std::int32_t y) {
  if (dc_) MoveToEx(dc_, x, y, nullptr);
}

void GdiPageCanvas::LineTo(std::int32_t x, std::int32_t y) {
  if (dc_) ::LineTo(dc_, x, y);
}

void GdiPageCanvas::TextOut(std::int32_t x, std::int32_t y, const std::string& text) {
  if (!dc_) return;
  // Each character goes where the device's own measures put it: a printer
  // driver left to its font's widths may set a line wider than it measured,
  // past the edge it was broken for.
  const int count = static_cast<int>(text.size());
  std::vector<INT> ends(text.size());
  std::vector<INT> advances(text.size());
  SIZE size{};
  if (count > 0 && GetTextExtentExPointA(dc_, text.data(), count, 0, nullptr, ends.data(), &size)) {
    for (int i = 0; i < count; ++i) advances[i] = ends[i] - (i > 0 ? ends[i - 1] : 0);
    ExtTextOutA(dc_, x, y, 0, nullptr, text.data(), static_cast<UINT>(count), advances.data());
  } else {
    ExtTextOutA(dc_, x, y, 0, nullptr, text.data(), static_cast<UINT>(count), nullptr);
  }
}

void GdiPageCanvas::SpacedTextOut(std::int32_t x, std::int32_t y, const std::string& text,
                                  const std::vector<std::int32_t>& advances) {
  if (!dc_) return;
  if (advances.size() != text.size()) {
    TextOut(x, y, text);
    return;
  }
  std::vector<INT> dx(advances.begin(), advances.end());
  ExtTextOutA(dc_, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), dx.data());
}

std::int32_t GdiPageCanvas::TextWidth(const std::string& text) {
  SIZE size{};
  if (!dc_ || !GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size)) return 0;
  return size.cx;
}

std::int32_t GdiPageCanvas::TextHeight(const std::string& text) {
  SIZE size{};
  if (!dc_ || !GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size)) return 0;
  return size.cy;
}

void GdiPageCanvas::ResetClip() {
  if (dc_) SelectClipRgn(dc_, nullptr);
}

}  // namespace report
