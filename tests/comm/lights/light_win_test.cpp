// Lamp painting, pixel by pixel, on a 32-bit memory surface: the frame and
// fill of a plain lamp, and the two halves of a glyph.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>

#include "comm/lights/light_win.h"
#include "framework/application.h"
#include "framework/form.h"

namespace {

using comm::TApdStatusLight;

class PaintableLight : public TApdStatusLight {
 public:
  using TApdStatusLight::Paint;
  using TApdStatusLight::TApdStatusLight;
};

// A 32-bit surface of the lamp's size, first filled with `background`.
class Surface {
 public:
  Surface(int width, int height, COLORREF background) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

COLORREF PaintedAt(PaintableLight& light, int x, int y) {
  Surface surface(light.Width(), light.Height(), RGB(1, 2, 3));
  {
    fw::TCanvas canvas(surface.Dc());
    light.Paint(canvas);
  }
  return surface.At(x, y);
}

constexpr COLORREF kWhite = RGB(255, 255, 255), kGrey = RGB(0x80, 0x80, 0x80);

TEST(StatusLight, StartsAsAGreenUnlitThirteenPixelSquare) {
  PaintableLight light(nullptr);
  EXPECT_EQ(light.Width(), 13);
  EXPECT_EQ(light.Height(), 13);
  EXPECT_FALSE(light.Lit());
  EXPECT_EQ(light.LitColor(), 255);
  EXPECT_EQ(light.NotLitColor(), 32768);
  EXPECT_EQ(light.CvlVersion(), "v2.57");
  EXPECT_FALSE(light.HasGlyph());
}

struct PinnedPixel {
  int x, y;
  COLORREF colour;  // 0: the fill of the state on show
};

void PrintTo(const PinnedPixel& p, std::ostream* out) { *out << "(" << p.x << "," << p.y << ")"; }

class PlainLampPixels : public ::testing::TestWithParam<PinnedPixel> {};

TEST_P(PlainLampPixels, FrameAndFillAreWhereTheyBelong) {
  PaintableLight light(nullptr);
  light.SetLitColor(fw::clBlue);
  light.SetNotLitColor(fw::clYellow);
  const PinnedPixel pixel = GetParam();
  for (bool lit : {false, true}) {
    light.SetLit(lit);
    const COLORREF fill = lit ? RGB(0, 0, 255) : RGB(255, 255, 0);
    EXPECT_EQ(PaintedAt(light, pixel.x, pixel.y), pixel.colour ? pixel.colour : fill)
        << "(" << pixel.x << "," << pixel.y << ") lit " << lit;
  }
}

INSTANTIATE_TEST_SUITE_P(Pinned, PlainLampPixels,
                         ::testing::Values(PinnedPixel{0, 0, kWhite}, PinnedPixel{12, 0, kWhite},
                                           PinnedPixel{0, 12, kWhite}, PinnedPixel{12, 1, kGrey},
                                           PinnedPixel{12, 12, kGrey}, PinnedPixel{1, 12, kGrey},
                                           PinnedPixel{6, 6, 0}, PinnedPixel{1, 1, 0},
                                           PinnedPixel{11, 11, 0}));

// 26 x 13: left half blue, right half yellow, the corner pixel magenta as the
// transparent colour.
void MakeGlyph(fw::TBitmap& glyph) {
  glyph.SetSize(26, 13);
  fw::TCanvas& canvas = glyph.Canvas();
  canvas.Brush.Color = fw::clBlue;
  canvas.FillRect(RECT{0, 0, 13, 13});
  canvas.Brush.Color = fw::clYellow;
  canvas.FillRect(RECT{13, 0, 26, 13});
  SetPixel(canvas.Handle(), 0, 0, RGB(255, 0, 255));
}

TEST(StatusLight, AGlyphShowsItsLeftHalfLitAndItsRightHalfOut) {
  fw::TBitmap glyph;
  MakeGlyph(glyph);
  PaintableLight light(nullptr);
  light.SetColor(fw::clLime);  // what the parent would give
  light.SetGlyph(&glyph);
  EXPECT_EQ(light.Width(), 13);
  EXPECT_EQ(light.Height(), 13);

  light.SetLit(true);
  EXPECT_EQ(PaintedAt(light, 6, 6), RGB(0, 0, 255));
  EXPECT_EQ(PaintedAt(light, 12, 12), RGB(0, 0, 255));
  EXPECT_EQ(PaintedAt(light, 0, 0), RGB(0, 255, 0));  // transparent: the background

  light.SetLit(false);
  EXPECT_EQ(PaintedAt(light, 6, 6), RGB(255, 255, 0));
  EXPECT_EQ(PaintedAt(light, 0, 0), RGB(255, 255, 0));
}

TEST(StatusLight, AGlyphFixesTheSizeAndRemovingItGivesTheSquareBack) {
  fw::TBitmap glyph;
  glyph.SetSize(31, 9);  // odd width: the half rounds down
  PaintableLight light(nullptr);
  light.SetGlyph(&glyph);
  EXPECT_EQ(light.Width(), 15);
  EXPECT_EQ(light.Height(), 9);
  light.SetBounds(4, 5, 40, 40);
  EXPECT_EQ(light.Left(), 4);
  EXPECT_EQ(light.Width(), 15);
  EXPECT_EQ(light.Height(), 9);

  light.SetGlyph(nullptr);
  EXPECT_FALSE(light.HasGlyph());
  EXPECT_EQ(light.Width(), 13);
  EXPECT_EQ(light.Height(), 13);
  fw::TBitmap empty;
  light.SetGlyph(&empty);
  EXPECT_FALSE(light.HasGlyph());
  EXPECT_EQ(light.Width(), 13);
}

TEST(StatusLight, AGlyphLoadedWithTheFormDescriptionTakesEffectWhenLoaded) {
  fw::TComponent form(nullptr);
  fw::FormLoading loading(form);
  auto* light = new PaintableLight(&form);
  MakeGlyph(light->Glyph());
  light->SetBounds(0, 0, 50, 50);
  EXPECT_FALSE(light->HasGlyph());
  loading.End();
  EXPECT_TRUE(light->HasGlyph());
  EXPECT_EQ(light->Width(), 13);
  EXPECT_EQ(light->Height(), 13);
  light->SetLit(true);
  EXPECT_EQ(PaintedAt(*light, 6, 6), RGB(0, 0, 255));
}

void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    fw::Application()->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

COLORREF OnScreen(fw::TControl& control, int x, int y) {
  HDC dc = GetDC(control.Handle());
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(control.Handle(), dc);
  return colour;
}

TEST(StatusLightWindow, LampsOnAFormPaintOnScreenAndAGlyphLetsTheFormShowThrough) {
  fw::TForm form(nullptr);
  form.SetBounds(1000, 700, 200, 120);  // clear of the other window tests
  form.SetColor(fw::clFuchsia);
  auto* plain = new TApdStatusLight(&form);
  plain->SetParent(&form);
  plain->SetBounds(10, 10, 13, 13);
  plain->SetLitColor(fw::clMaroon);
  auto* glyphed = new TApdStatusLight(&form);
  glyphed->SetParent(&form);
  fw::TBitmap glyph;
  MakeGlyph(glyph);
  SetPixel(glyph.Canvas().Handle(), 0, 0, RGB(0, 255, 255));  // the transparent colour
  glyphed->SetGlyph(&glyph);
  glyphed->SetBounds(40, 10, 99, 99);
  form.Show();
  Pump(300);

  EXPECT_EQ(OnScreen(*plain, 6, 6), RGB(0, 128, 0));
  EXPECT_EQ(OnScreen(*plain, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(OnScreen(*plain, 12, 12), RGB(128, 128, 128));
  EXPECT_EQ(OnScreen(*glyphed, 6, 6), RGB(255, 255, 0));
  EXPECT_EQ(glyphed->Width(), 13);

  plain->SetLit(true);
  glyphed->SetLit(true);
  Pump(300);
  EXPECT_EQ(OnScreen(*plain, 6, 6), RGB(128, 0, 0));
  EXPECT_EQ(OnScreen(*glyphed, 6, 6), RGB(0, 0, 255));
  EXPECT_EQ(OnScreen(*glyphed, 0, 0), RGB(255, 0, 255));  // the form's colour shows through
}

}  // namespace
