#include "framework/graphics.h"

#include "framework/exceptions.h"

namespace fw {

COLORREF ColorToRGB(TColor color) {
  if (color < 0) return GetSysColor(static_cast<int>(static_cast<unsigned>(color) & 0xFF));
  return static_cast<COLORREF>(color);
}

int ScreenPixelsPerInch() {
  static int ppi = [] {
    HDC screen = GetDC(nullptr);
    int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return ppi;
}

// --- TFont

TFont::TFont() : height_(-MulDiv(8, ScreenPixelsPerInch(), 72)) {}

TFont::~TFont() {
  if (handle_) DeleteObject(handle_);
}

void TFont::Assign(const TFont& source) {
  if (&source == this) return;
  name_ = source.name_;
  height_ = source.height_;
  style_ = source.style_;
  color_ = source.color_;
  pitch_ = source.pitch_;
  charset_ = source.charset_;
  Changed(true);
}

void TFont::Changed(bool handleChanges) {
  if (handleChanges && handle_) {
    DeleteObject(handle_);
    handle_ = nullptr;
  }
  if (OnChange) OnChange();
}

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed(true);
}

int TFont::Size() const {
  const int h = height_ < 0 ? -height_ : height_;
  return MulDiv(h, 72, ScreenPixelsPerInch());
}

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72)); }

void TFont::SetHeight(int pixels) {
  if (pixels == height_) return;
  height_ = pixels;
  Changed(true);
}

void TFont::SetStyle(unsigned style) {
  if (style == style_) return;
  style_ = style;
  Changed(true);
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed(false);
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed(true);
}

void TFont::SetCharset(int charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed(true);
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTA font{};
    font.lfHeight = height_;
    font.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
    font.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
    font.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
    font.lfCharSet = static_cast<BYTE>(charset_);
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = pitch_ == TFontPitch::fpFixed      ? FIXED_PITCH | FF_MODERN
                            : pitch_ == TFontPitch::fpVariable ? VARIABLE_PITCH
                                                               : DEFAULT_PITCH;
    lstrcpynA(font.lfFaceName, name_.c_str(), LF_FACESIZE);
    handle_ = CreateFontIndirectA(&font);
    if (!handle_) handle_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  return handle_;
}

// --- TCanvas

TCanvas::~TCanvas() { Deselect(); }

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  Deselect();
  dc_ = dc;
}

void TCanvas::Deselect() {
  if (dc_) {
    if (oldPen_) SelectObject(dc_, oldPen_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    if (oldFont_) SelectObject(dc_, oldFont_);
  }
  oldPen_ = oldBrush_ = oldFont_ = nullptr;
  if (pen_) DeleteObject(pen_);
  if (brush_) DeleteObject(brush_);
  pen_ = nullptr;
  brush_ = nullptr;
}

HDC TCanvas::RequirePen() {
  if (!dc_) throw Exception("Canvas does not allow drawing");
  // Pens are cheap: recreated for every operation so that property changes show.
  const int style = Pen.Style == TPenStyle::psDash    ? PS_DASH
                    : Pen.Style == TPenStyle::psDot   ? PS_DOT
                    : Pen.Style == TPenStyle::psClear ? PS_NULL
                                                      : PS_SOLID;
  HPEN pen = CreatePen(style, Pen.Width, ColorToRGB(Pen.Color));
  HGDIOBJ previous = SelectObject(dc_, pen);
  if (!oldPen_) oldPen_ = previous;
  if (pen_) DeleteObject(pen_);
  pen_ = pen;
  return dc_;
}

HDC TCanvas::RequireBrush() {
  if (!dc_) throw Exception("Canvas does not allow drawing");
  HBRUSH brush = Brush.Style == TBrushStyle::bsClear ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                                                     : CreateSolidBrush(ColorToRGB(Brush.Color));
  HGDIOBJ previous = SelectObject(dc_, brush);
  if (!oldBrush_) oldBrush_ = previous;
  if (brush_) DeleteObject(brush_);
  brush_ = Brush.Style == TBrushStyle::bsClear ? nullptr : brush;
  SetBkMode(dc_, Brush.Style == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
  SetBkColor(dc_, ColorToRGB(Brush.Color));
  return dc_;
}

HDC TCanvas::RequireFont() {
  if (!dc_) throw Exception("Canvas does not allow drawing");
  HGDIOBJ previous = SelectObject(dc_, Font.Handle());
  if (!oldFont_) oldFont_ = previous;
  SetTextColor(dc_, ColorToRGB(Font.Color()));
  return dc_;
}

void TCanvas::FillRect(const RECT& rect) {
  RequireBrush();
  if (Brush.Style == TBrushStyle::bsClear) return;
  ::FillRect(dc_, &rect, brush_);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  RequirePen();
  RequireBrush();
  ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::MoveTo(int x, int y) {
  if (!dc_) throw Exception("Canvas does not allow drawing");
  MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) { ::LineTo(RequirePen(), x, y); }

void TCanvas::Polygon(const std::vector<POINT>& points) {
  if (points.empty()) return;
  RequirePen();
  RequireBrush();
  ::Polygon(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  RequireFont();
  RequireBrush();
  ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

void TCanvas::SetTextAlign(UINT align) {
  if (!dc_) throw Exception("Canvas does not allow drawing");
  ::SetTextAlign(dc_, align);
}

void TCanvas::ExtTextOut(int x, int y, const std::string& text) {
  RequireFont();
  RequireBrush();
  ::ExtTextOutA(dc_, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  RequirePen();
  RequireBrush();
  ::Ellipse(dc_, left, top, right, bottom);
}

void TCanvas::ResetClip() {
  if (!dc_) throw Exception("Canvas does not allow drawing");
  SelectClipRgn(dc_, nullptr);
}

void TCanvas::StretchDraw(const RECT& rect, HENHMETAFILE metafile) {
  if (!dc_) throw Exception("Canvas does not allow drawing");
  if (!PlayEnhMetaFile(dc_, metafile, &rect)) throw Exception("The picture cannot be drawn.");
}

void TCanvas::TextRect(const RECT& rect, const std::string& text, UINT format) {
  RequireFont();
  RequireBrush();
  RECT r = rect;
  DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &r, format);
}

int TCanvas::TextWidth(const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(RequireFont(), text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

int TCanvas::TextHeight(const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(RequireFont(), text.empty() ? "Wg" : text.data(),
                        text.empty() ? 2 : static_cast<int>(text.size()), &size);
  return size.cy;
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
  if (!dc_) throw Exception("Canvas does not allow drawing");
  if (bitmap.Empty()) return;
  BitBlt(dc_, x, y, bitmap.Width(), bitmap.Height(), bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TCanvas::DrawTransparent(int x, int y, TBitmap& bitmap) {
  if (!dc_) throw Exception("Canvas does not allow drawing");
  if (bitmap.Empty()) return;
  HDC source = bitmap.Canvas().Handle();
  const COLORREF key = GetPixel(source, 0, 0);
  TransparentBlt(dc_, x, y, bitmap.Width(), bitmap.Height(), source, 0, 0, bitmap.Width(), bitmap.Height(),
                 key);
}

// --- TBitmap

TBitmap::~TBitmap() { Clear(); }

void TBitmap::Clear() {
  canvas_.Release();
  if (memory_) {
    SelectObject(memory_, old_);
    DeleteDC(memory_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  memory_ = nullptr;
  old_ = nullptr;
  bitmap_ = nullptr;
  width_ = height_ = 0;
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  Clear();
  if (!bitmap) return;
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info)) {
    DeleteObject(bitmap);
    throw Exception("Invalid bitmap");
  }
  bitmap_ = bitmap;
  width_ = info.bmWidth;
  height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
}

void TBitmap::SetSize(int width, int height) {
  if (width <= 0 || height <= 0) {
    Clear();
    return;
  }
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  if (!bitmap) throw EOutOfMemory();
  SetHandle(bitmap);
}

void TBitmap::LoadFromFile(const std::string& path) {
  HANDLE image = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
  if (!image) throw EInOutError(static_cast<int>(GetLastError() ? GetLastError() : ERROR_INVALID_DATA));
  SetHandle(static_cast<HBITMAP>(image));
}

void TBitmap::LoadFromResource(HINSTANCE instance, const char* name) {
  HANDLE image = LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, 0);
  if (!image) throw Exception("Bitmap resource not found");
  SetHandle(static_cast<HBITMAP>(image));
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  if (source.Empty()) {
    Clear();
    return;
  }
  SetSize(source.width_, source.height_);
  // The source may be selected into its own drawing context; a bitmap
  // cannot be selected into a second one, so it is read from there.
  HDC from = source.memory_;
  HGDIOBJ old = nullptr;
  if (!from) {
    from = CreateCompatibleDC(nullptr);
    old = SelectObject(from, source.bitmap_);
  }
  BitBlt(Canvas().Handle(), 0, 0, width_, height_, from, 0, 0, SRCCOPY);
  if (!source.memory_) {
    SelectObject(from, old);
    DeleteDC(from);
  }
}

TCanvas& TBitmap::Canvas() {
  if (!memory_ && bitmap_) {
    memory_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(memory_, bitmap_);
    canvas_.SetHandle(memory_);
  }
  return canvas_;
}

}  // namespace fw
