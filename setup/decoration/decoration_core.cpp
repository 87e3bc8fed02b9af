#include "setup/decoration/decoration_core.h"

#include <cmath>
#include <cstdlib>

namespace setup {

namespace {

int DivideRoundedEven(long long numerator, long long denominator) {
  long long q = numerator / denominator;
  long long r = numerator % denominator;
  if (r < 0) {
    r += denominator;
    --q;
  }
  if (2 * r > denominator || (2 * r == denominator && (q % 2 != 0))) ++q;
  return static_cast<int>(q);
}

int Red(TDecorColor c) { return static_cast<int>(c & 0xFF); }
int Green(TDecorColor c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(TDecorColor c) { return static_cast<int>((c >> 16) & 0xFF); }

int Trunc(double v) { return static_cast<int>(std::trunc(v)); }

constexpr double kDegree = 3.14159265358979323846 / 180.0;

}  // namespace

int MulDivRounded(int a, int b, int c) {
  if (c == 0) return -1;
  long long p = static_cast<long long>(a) * b;
  long long d = c;
  if (d < 0) {
    p = -p;
    d = -d;
  }
  const long long q = p >= 0 ? (p + d / 2) / d : (p - d / 2) / d;
  if (q > 2147483647LL || q < -2147483647LL) return -1;
  return static_cast<int>(q);
}

TGradientPlan GradientPlanFor(TDirection direction, TDecorColor startColor, TDecorColor endColor) {
  const bool reversed =
      direction == bdDown || direction == bdRight || direction == bdHorzOut || direction == bdVertOut;
  TGradientPlan plan;
  plan.From = reversed ? endColor : startColor;
  plan.To = reversed ? startColor : endColor;
  plan.Across =
      direction == bdLeft || direction == bdRight || direction == bdVertIn || direction == bdVertOut;
  plan.Mirrored = direction >= bdHorzIn;
  return plan;
}

std::vector<TGradientBand> GradientBands(const TGradientPlan& plan, int extent) {
  const int r0 = Red(plan.From), g0 = Green(plan.From), b0 = Blue(plan.From);
  const int dr = Red(plan.To) - r0, dg = Green(plan.To) - g0, db = Blue(plan.To) - b0;
  const int d = plan.Mirrored ? 127 : 255;
  std::vector<TGradientBand> bands;
  bands.reserve(256);
  for (int i = 0; i <= d; ++i) {
    const TDecorColor colour = static_cast<TDecorColor>(r0 + MulDivRounded(i, dr, d)) |
                               static_cast<TDecorColor>(g0 + MulDivRounded(i, dg, d)) << 8 |
                               static_cast<TDecorColor>(b0 + MulDivRounded(i, db, d)) << 16;
    bands.push_back({MulDivRounded(i, extent, 256), MulDivRounded(i + 1, extent, 256), colour});
    if (plan.Mirrored)
      bands.push_back({MulDivRounded(255 - i, extent, 256), MulDivRounded(256 - i, extent, 256), colour});
  }
  return bands;
}

void TLabelStyle::SetAngle(int value) {
  if (value < 0 || value >= 360) value = 0;
  if (value == angle_) return;
  angle_ = value;
  Changed();
}

void TLabelStyle::SetAStyle3D(T3DEffectShort value) {
  if (value == style_) return;
  style_ = value;
  Changed();
}

void TLabelStyle::SetAShadeRightBottom(TDecorColor value) {
  if (value == rightBottom_) return;
  rightBottom_ = value;
  Changed();
}

void TLabelStyle::SetAShadeLeftTop(TDecorColor value) {
  if (ltSet_ || value == leftTop_) return;
  leftTop_ = value;
  Changed();
}

void TLabelStyle::SetAShadeLTSet(bool value) {
  if (value != ltSet_) {
    if (value) {
      remembered_ = leftTop_;
      leftTop_ = clWhite;
    } else {
      leftTop_ = remembered_;
    }
    ltSet_ = value;
  }
  if (ltSet_ && (style_ == A3dResit || style_ == A3dRaised) && remembered_ != clWhite) Changed();
}

void TLabelStyle::SetAHShadeOffSet(int value) {
  if (value == hOffset_) return;
  hOffset_ = value;
  if (style_ == A3dShadowed) Changed();
}

void TLabelStyle::SetAVShadeOffSet(int value) {
  if (value == vOffset_) return;
  vOffset_ = value;
  if (style_ == A3dShadowed) Changed();
}

void TLabelStyle::Assign(const TLabelStyle& other) {
  angle_ = other.angle_;
  style_ = other.style_;
  rightBottom_ = other.rightBottom_;
  leftTop_ = other.leftTop_;
  ltSet_ = other.ltSet_;
  hOffset_ = other.hOffset_;
  vOffset_ = other.vOffset_;
  remembered_ = other.remembered_;
  Changed();
}

TDecorPoint LabelTextOrigin(int angle, TLabelAlignment alignment, int width, int height, int textWidth,
                            int textHeight) {
  const double a = angle * kDegree, c = std::cos(a), s = std::sin(a);
  const int cx = width / 2, cy = height / 2;
  TDecorPoint p;
  switch (alignment) {
    case laLeftJustify:
      p.X = 0;
      break;
    case laRightJustify:
      p.X = width - textWidth;
      break;
    case laCenter:
      p.X = cx - Trunc(textWidth / 2.0 * c) - Trunc(textHeight / 2.0 * s);
      break;
  }
  p.Y = Trunc(textWidth / 2.0 * s) + cy - Trunc(textHeight / 2.0 * c);
  return p;
}

std::vector<TDecorPoint> LabelBackgroundPolygon(int angle, int width, int height, int textWidth,
                                                int textHeight) {
  const double a = angle * kDegree, c = std::cos(a), s = std::sin(a);
  const int cx = width / 2, cy = height / 2;
  const double h2 = (textHeight + 7) / 2.0, e = (textWidth + 10) / 2.0;
  const int ec = Trunc(e * c), es = Trunc(e * s), hs = Trunc(h2 * s), hc = Trunc(h2 * c);
  return {{cx - ec - hs, cy + es - hc},
          {cx + ec - hs, cy - es - hc},
          {cx + ec + hs, cy - es + hc},
          {cx - ec + hs, cy + es + hc}};
}

TShadeOffsets ShadeOffsetsFor(T3DEffectShort style) {
  if (style == A3dRaised) return {-1, 1};
  if (style == A3dResit) return {1, -1};
  return {0, 0};
}

TDecorRect AdvertisePanelBounds(const TAdvertisePanelBehavior& b, const TDecorRect& designed, int screenWidth,
                                int screenHeight) {
  TDecorRect r = designed;
  if (b.RelativeHeight() != -1)
    r.Height = DivideRoundedEven(static_cast<long long>(screenHeight) * b.RelativeHeight(), 100);
  if (b.RelativeWidth() != -1)
    r.Width = DivideRoundedEven(static_cast<long long>(screenWidth) * b.RelativeWidth(), 100);
  // SH * VC / 100 - height / 2, as one exact fraction rounded once.
  if (b.VerticalCenter() != -1)
    r.Top =
        DivideRoundedEven(static_cast<long long>(screenHeight) * b.VerticalCenter() - 50LL * r.Height, 100);
  if (b.HorizontalCenter() != -1)
    r.Left =
        DivideRoundedEven(static_cast<long long>(screenWidth) * b.HorizontalCenter() - 50LL * r.Width, 100);
  return r;
}

void TAdvertiseFlipper::Start(TFlipMethod method, int pageCount) {
  total_ = 0;
  flipping_ = false;
  if (method != fmPercentageInterval) return;
  step_ = pageCount > 0 ? DivideRoundedEven(100, pageCount) : 10;
  flipping_ = true;
}

int TAdvertiseFlipper::OnProgress(int percentage, int activePage, int pageCount) {
  if (!flipping_) return activePage;
  const int t = total_ + step_;
  if (t < 100 && percentage >= t && activePage < pageCount - 1) {
    total_ += step_;
    return activePage + 1;
  }
  return activePage;
}

int TAdvertiseFlipper::OnTick(int activePage, int pageCount, bool autoLoop) {
  if (pageCount <= 0) return activePage;
  if (activePage < pageCount - 1) return activePage + 1;
  return autoLoop ? 0 : activePage;
}

}  // namespace setup
