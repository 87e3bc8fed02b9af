// Colours, fonts, pens, brushes, bitmaps and a canvas over any device context.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/graphics_types.h"

namespace fw {

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR), clBackground = SystemColor(COLOR_BACKGROUND),
                 clWindow = SystemColor(COLOR_WINDOW), clWindowText = SystemColor(COLOR_WINDOWTEXT),
                 clWindowFrame = SystemColor(COLOR_WINDOWFRAME), clBtnFace = SystemColor(COLOR_BTNFACE),
                 clBtnShadow = SystemColor(COLOR_BTNSHADOW), clBtnText = SystemColor(COLOR_BTNTEXT),
                 clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT), clGrayText = SystemColor(COLOR_GRAYTEXT),
                 clHighlight = SystemColor(COLOR_HIGHLIGHT),
                 clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT), clInfoBk = SystemColor(COLOR_INFOBK),
                 clInfoText = SystemColor(COLOR_INFOTEXT);

COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum class TFontPitch { fpDefault, fpVariable, fpFixed };

// A font description with a lazily created HFONT. Size is in points, Height
// in pixels (negative: character height, as CreateFont takes it); setting
// one sets the other through the screen's pixels per inch.
class TFont {
 public:
  TFont();
  ~TFont();
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;
  void Assign(const TFont& source);

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  int Size() const;
  void SetSize(int points);
  int Height() const { return height_; }
  void SetHeight(int pixels);
  unsigned Style() const { return style_; }
  void SetStyle(unsigned style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  // The character set the face is asked for in (1: the system's default).
  int Charset() const { return charset_; }
  void SetCharset(int charset);
  HFONT Handle();

  // Called after every change.
  std::function<void()> OnChange;

 private:
  void Changed(bool handleChanges);
  std::string name_ = "Tahoma";
  int height_;
  unsigned style_ = 0;
  TColor color_ = clWindowText;
  TFontPitch pitch_ = TFontPitch::fpDefault;
  int charset_ = 1;
  HFONT handle_ = nullptr;
};

struct TPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = TPenStyle::psSolid;
};

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
};

class TBitmap;

// Drawing on a device context the canvas does not own (a paint DC, a printer
// DC, a memory DC). Pen, brush and font are selected when an operation needs
// them and deselected again by Release (or the destructor).
class TCanvas {
 public:
  TCanvas() = default;
  explicit TCanvas(HDC dc) { SetHandle(dc); }
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return dc_; }
  void SetHandle(HDC dc);
  void Release() { SetHandle(nullptr); }

  TPen Pen;
  TBrush Brush;
  TFont Font;

  void FillRect(const RECT& rect);
  void Rectangle(int left, int top, int right, int bottom);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polygon(const std::vector<POINT>& points);
  void TextOut(int x, int y, const std::string& text);
  // The text reference point of TextOut and ExtTextOut (TA_LEFT, TA_RIGHT or
  // TA_CENTER, with TA_TOP, TA_BASELINE or TA_BOTTOM).
  void SetTextAlign(UINT align);
  // One line at (x, y) that no rectangle clips. With a clear brush the
  // background around the letters stays as it is.
  void ExtTextOut(int x, int y, const std::string& text);
  void Ellipse(int left, int top, int right, int bottom);
  // Removes any clipping region.
  void ResetClip();
  // Plays an enhanced metafile stretched onto rect.
  void StretchDraw(const RECT& rect, HENHMETAFILE metafile);
  void TextRect(const RECT& rect, const std::string& text, UINT drawTextFormat);
  int TextWidth(const std::string& text);
  int TextHeight(const std::string& text);
  void Draw(int x, int y, TBitmap& bitmap);
  // Draws the bitmap leaving out every pixel of the colour of its pixel (0,0).
  void DrawTransparent(int x, int y, TBitmap& bitmap);

 private:
  HDC RequirePen();
  HDC RequireBrush();
  HDC RequireFont();
  void Deselect();
  HDC dc_ = nullptr;
  HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr, oldFont_ = nullptr;
  HPEN pen_ = nullptr;
  HBRUSH brush_ = nullptr;
};

// A device-dependent bitmap with its own memory canvas.
class TBitmap {
 public:
  TBitmap() = default;
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return bitmap_ == nullptr; }
  void SetSize(int width, int height);
  // Takes ownership of a bitmap handle.
  void SetHandle(HBITMAP bitmap);
  HBITMAP Handle() const { return bitmap_; }
  void LoadFromFile(const std::string& path);
  void LoadFromResource(HINSTANCE instance, const char* name);
  // A copy of the source's pixels (empty when the source is).
  void Assign(const TBitmap& source);
  TCanvas& Canvas();

 private:
  void Clear();
  HBITMAP bitmap_ = nullptr;
  HDC memory_ = nullptr;
  HGDIOBJ old_ = nullptr;
  TCanvas canvas_;
  int width_ = 0, height_ = 0;
};

// Pixels per logical inch of the screen.
int ScreenPixelsPerInch();

}  // namespace fw
