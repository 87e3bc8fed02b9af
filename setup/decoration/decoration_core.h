// Decoration logic that needs no window: the backdrop's gradient bands, the
// 3D label's style and geometry, and the advertise panel's placement and
// page turning.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace setup {

enum TDirection { bdUp, bdDown, bdLeft, bdRight, bdHorzIn, bdHorzOut, bdVertIn, bdVertOut };
enum T3DEffectShort { A3dNormal, A3dResit, A3dRaised, A3dShadowed };
enum TFlipMethod { fmTimeInterval, fmPercentageInterval };
enum TLabelAlignment { laLeftJustify, laRightJustify, laCenter };

// Colours in the 0x00BBGGRR layout.
using TDecorColor = std::uint32_t;

// The multiply-divide of the system: a * b / c rounded half away from zero,
// computed in 64 bits; -1 for a zero divisor or a result out of range.
int MulDivRounded(int a, int b, int c);

struct TGradientBand {
  int From = 0;  // first pixel (row, or column when Across)
  int To = 0;    // one past the last
  TDecorColor Color = 0;
};

struct TGradientPlan {
  TDecorColor From = 0;
  TDecorColor To = 0;
  bool Across = false;    // bands are columns
  bool Mirrored = false;  // the same colour at both ends
};
TGradientPlan GradientPlanFor(TDirection direction, TDecorColor startColor, TDecorColor endColor);

// The bands in painting order (mirrored partners follow their band).
// extent is the panel's height, or width when the plan runs across.
std::vector<TGradientBand> GradientBands(const TGradientPlan& plan, int extent);

// The label's 3D style. Setters call OnChange as the label needs to repaint.
class TLabelStyle {
 public:
  static constexpr TDecorColor clWhite = 16777215;
  static constexpr TDecorColor clGray = 8421504;

  int Angle() const { return angle_; }
  T3DEffectShort AStyle3D() const { return style_; }
  TDecorColor AShadeRightBottom() const { return rightBottom_; }
  TDecorColor AShadeLeftTop() const { return leftTop_; }
  bool AShadeLTSet() const { return ltSet_; }
  int AHShadeOffSet() const { return hOffset_; }
  int AVShadeOffSet() const { return vOffset_; }

  void SetAngle(int value);
  void SetAStyle3D(T3DEffectShort value);
  void SetAShadeRightBottom(TDecorColor value);
  void SetAShadeLeftTop(TDecorColor value);
  void SetAShadeLTSet(bool value);
  void SetAHShadeOffSet(int value);
  void SetAVShadeOffSet(int value);
  void Assign(const TLabelStyle& other);

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  int angle_ = 0;
  T3DEffectShort style_ = A3dRaised;
  TDecorColor rightBottom_ = clGray;
  TDecorColor leftTop_ = clWhite;
  bool ltSet_ = false;
  int hOffset_ = 5;
  int vOffset_ = -5;
  TDecorColor remembered_ = clWhite;
};

struct TDecorPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TDecorPoint& o) const { return X == o.X && Y == o.Y; }
};

// Where the rotated caption starts in a label of width x height.
TDecorPoint LabelTextOrigin(int angle, TLabelAlignment alignment, int width, int height, int textWidth,
                            int textHeight);
// The background polygon drawn behind the caption of an opaque label.
std::vector<TDecorPoint> LabelBackgroundPolygon(int angle, int width, int height, int textWidth,
                                                int textHeight);
// Light and dark pass offsets of a 3D style.
struct TShadeOffsets {
  int Light = 0;
  int Dark = 0;
};
TShadeOffsets ShadeOffsetsFor(T3DEffectShort style);

// The advertise panel's settings.
class TAdvertisePanelBehavior {
 public:
  bool AutoLoop = true;
  bool HideTabs = true;
  TFlipMethod FlipMethod = fmPercentageInterval;
  std::uint32_t IncrementTime = 5000;
  bool VisibleUntilCopy = false;

  int RelativeHeight() const { return relHeight_; }
  int RelativeWidth() const { return relWidth_; }
  int VerticalCenter() const { return vCenter_; }
  int HorizontalCenter() const { return hCenter_; }
  void SetRelativeHeight(int v) { Clamp(relHeight_, v); }
  void SetRelativeWidth(int v) { Clamp(relWidth_, v); }
  void SetVerticalCenter(int v) { Clamp(vCenter_, v); }
  void SetHorizontalCenter(int v) { Clamp(hCenter_, v); }

 private:
  // Below -1 is 0, above 100 is 100; -1 means "keep the designed value".
  static void Clamp(int& field, int v) { field = v < -1 ? 0 : (v > 100 ? 100 : v); }
  int relHeight_ = 40;
  int relWidth_ = 50;
  int vCenter_ = 30;
  int hCenter_ = 50;
};

struct TDecorRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TDecorRect& o) const {
    return Left == o.Left && Top == o.Top && Width == o.Width && Height == o.Height;
  }
};
// The panel's bounds on a screen; a -1 setting keeps the designed value
// (and the centring uses the designed size then).
TDecorRect AdvertisePanelBounds(const TAdvertisePanelBehavior& b, const TDecorRect& designed, int screenWidth,
                                int screenHeight);

// Page turning while files are copied.
class TAdvertiseFlipper {
 public:
  // Showing the panel: the step is 100 / pages rounded (10 without pages).
  void Start(TFlipMethod method, int pageCount);
  void Stop() { flipping_ = false; }
  bool Flipping() const { return flipping_; }
  int Step() const { return step_; }
  int Total() const { return total_; }
  // A file-status event with total percentage P: returns the page to show
  // (at most one further than activePage), or activePage when no turn.
  int OnProgress(int percentage, int activePage, int pageCount);
  // A timer tick: the next page, wrapping to the first when autoLoop.
  static int OnTick(int activePage, int pageCount, bool autoLoop);

 private:
  bool flipping_ = false;
  int total_ = 0;
  int step_ = 10;
};

}  // namespace setup
