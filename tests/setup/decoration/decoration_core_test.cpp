#include "setup/decoration/decoration_core.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(DecorationMulDiv, RoundsHalfAwayFromZero) {
  struct Case {
    int A, B, C, Expected;
  } cases[] = {
      {1, 100, 256, 0}, {3, 100, 256, 1}, {128, 100, 256, 50}, {5, -255, 255, -5}, {1, 1, 2, 1},
      {1, -1, 2, -1},   {-3, 1, 2, -2},   {7, 3, 0, -1},       {3, 5, -2, -8},     {2147483647, 2, 1, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MulDivRounded(c.A, c.B, c.C), c.Expected) << c.A << "*" << c.B << "/" << c.C;
}

constexpr TDecorColor kBlue = 16711680, kBlack = 0;

TEST(BackdropBands, UpOn256RowsIsOneRowPerBandFromBlueToBlack) {
  auto bands = GradientBands(GradientPlanFor(bdUp, kBlue, kBlack), 256);
  ASSERT_EQ(bands.size(), 256u);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(bands[i].From, i);
    EXPECT_EQ(bands[i].To, i + 1);
    EXPECT_EQ(bands[i].Color, static_cast<TDecorColor>(255 - i) << 16) << i;
  }
}

TEST(BackdropBands, HundredRowsCoverTheHeightWithSomeEmptyBands) {
  auto bands = GradientBands(GradientPlanFor(bdDown, kBlue, kBlack), 100);
  ASSERT_EQ(bands.size(), 256u);
  EXPECT_EQ(bands.front().Color, kBlack);  // bdDown: end colour at the top
  EXPECT_EQ(bands.back().Color, kBlue);
  int empty = 0, next = 0;
  for (const TGradientBand& b : bands) {
    EXPECT_EQ(b.From, next);
    next = b.To;
    if (b.To == b.From) ++empty;
  }
  EXPECT_EQ(next, 100);
  EXPECT_EQ(empty, 156);
  EXPECT_EQ(bands[3].From, 1);  // MulDiv(3, 100, 256) = 1
}

TEST(BackdropBands, MirroredPairsShareTheirColour) {
  // A mixed colour pair, so that every channel is interpolated.
  const TDecorColor start = 0x00204080, end = 0x00A0C010;
  auto bands = GradientBands(GradientPlanFor(bdHorzIn, start, end), 256);
  ASSERT_EQ(bands.size(), 256u);
  std::vector<TDecorColor> row(256, 0xFFFFFFFF);
  for (const TGradientBand& b : bands)
    for (int y = b.From; y < b.To; ++y) row[y] = b.Color;
  EXPECT_EQ(row[0], start);
  EXPECT_EQ(row[255], start);
  EXPECT_EQ(row[127], end);
  EXPECT_EQ(row[128], end);
  for (int y = 0; y < 256; ++y) EXPECT_EQ(row[y], row[255 - y]) << y;
  // Band 64 of 127: each channel start + MulDiv(64, d, 127).
  const TDecorColor mid = static_cast<TDecorColor>(0x80 + MulDivRounded(64, 0x10 - 0x80, 127)) |
                          static_cast<TDecorColor>(0x40 + MulDivRounded(64, 0xC0 - 0x40, 127)) << 8 |
                          static_cast<TDecorColor>(0x20 + MulDivRounded(64, 0xA0 - 0x20, 127)) << 16;
  EXPECT_EQ(row[64], mid);
}

TEST(BackdropBands, DirectionTable) {
  struct Case {
    TDirection Direction;
    bool StartFirst, Across, Mirrored;
  } cases[] = {
      {bdUp, true, false, false},    {bdDown, false, false, false},  {bdLeft, true, true, false},
      {bdRight, false, true, false}, {bdHorzIn, true, false, true},  {bdHorzOut, false, false, true},
      {bdVertIn, true, true, true},  {bdVertOut, false, true, true},
  };
  for (const Case& c : cases) {
    TGradientPlan p = GradientPlanFor(c.Direction, 1, 2);
    EXPECT_EQ(p.From, c.StartFirst ? 1u : 2u) << c.Direction;
    EXPECT_EQ(p.To, c.StartFirst ? 2u : 1u) << c.Direction;
    EXPECT_EQ(p.Across, c.Across) << c.Direction;
    EXPECT_EQ(p.Mirrored, c.Mirrored) << c.Direction;
  }
}

TEST(LabelStyle, SettersAndTheirRepaints) {
  TLabelStyle s;
  int changes = 0;
  s.OnChange = [&] { ++changes; };
  EXPECT_EQ(s.Angle(), 0);
  EXPECT_EQ(s.AStyle3D(), A3dRaised);
  EXPECT_EQ(s.AHShadeOffSet(), 5);
  EXPECT_EQ(s.AVShadeOffSet(), -5);

  struct Step {
    std::function<void()> Set;
    int Changes;  // OnChange calls it causes
  } steps[] = {
      {[&] { s.SetAngle(45); }, 1},
      {[&] { s.SetAngle(45); }, 0},
      {[&] { s.SetAngle(400); }, 1},        // stored as 0
      {[&] { s.SetAngle(-1); }, 0},         // 0 again: no change
      {[&] { s.SetAHShadeOffSet(3); }, 0},  // only repaints when shadowed
      {[&] { s.SetAStyle3D(A3dShadowed); }, 1},
      {[&] { s.SetAVShadeOffSet(-2); }, 1},
      {[&] { s.SetAStyle3D(A3dRaised); }, 1},
      {[&] { s.SetAShadeLeftTop(0x123456); }, 1},
      {[&] { s.SetAShadeLTSet(true); }, 1},        // remembered colour is not white
      {[&] { s.SetAShadeLeftTop(0x000001); }, 0},  // ignored while set
      {[&] { s.SetAShadeLTSet(true); }, 1},        // unchanged, still repaints
      {[&] { s.SetAShadeLTSet(false); }, 0},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    changes = 0;
    steps[i].Set();
    EXPECT_EQ(changes, steps[i].Changes) << "step " << i;
  }
  EXPECT_EQ(s.Angle(), 0);
  EXPECT_EQ(s.AShadeLeftTop(), 0x123456u);  // restored
  s.SetAShadeLTSet(true);
  EXPECT_EQ(s.AShadeLeftTop(), TLabelStyle::clWhite);

  TLabelStyle copy;
  int copied = 0;
  copy.OnChange = [&] { ++copied; };
  copy.Assign(s);
  EXPECT_EQ(copied, 1);
  EXPECT_TRUE(copy.AShadeLTSet());
  EXPECT_EQ(copy.AVShadeOffSet(), -2);
  copy.SetAShadeLTSet(false);
  EXPECT_EQ(copy.AShadeLeftTop(), 0x123456u);
}

TEST(LabelGeometry, OriginAndPolygonAtThreeAngles) {
  // Label 200 x 50, caption 80 x 16, centred.
  struct Case {
    int Angle;
    TDecorPoint Origin;
    std::vector<TDecorPoint> Polygon;
  } cases[] = {
      {0, {60, 17}, {{55, 14}, {145, 14}, {145, 36}, {55, 36}}},
      {45, {67, 48}, {{61, 48}, {123, -14}, {139, 2}, {77, 64}}},
      {90, {92, 65}, {{89, 70}, {89, -20}, {111, -20}, {111, 70}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LabelTextOrigin(c.Angle, laCenter, 200, 50, 80, 16), c.Origin) << c.Angle;
    EXPECT_EQ(LabelBackgroundPolygon(c.Angle, 200, 50, 80, 16), c.Polygon) << c.Angle;
  }
  EXPECT_EQ(LabelTextOrigin(0, laLeftJustify, 200, 50, 80, 16), (TDecorPoint{0, 17}));
  EXPECT_EQ(LabelTextOrigin(90, laRightJustify, 200, 50, 80, 16), (TDecorPoint{120, 65}));
  EXPECT_EQ(ShadeOffsetsFor(A3dRaised).Light, -1);
  EXPECT_EQ(ShadeOffsetsFor(A3dResit).Dark, -1);
  EXPECT_EQ(ShadeOffsetsFor(A3dShadowed).Dark, 0);
}

TEST(AdvertisePanel, PercentagesClampAndPlaceThePanel) {
  TAdvertisePanelBehavior b;
  EXPECT_EQ(b.IncrementTime, 5000u);
  EXPECT_EQ(AdvertisePanelBounds(b, {1, 2, 3, 4}, 1024, 768), (TDecorRect{256, 77, 512, 307}));
  b.SetRelativeHeight(-1);  // designed height 100, used in the centring
  EXPECT_EQ(AdvertisePanelBounds(b, {1, 2, 3, 100}, 1024, 768), (TDecorRect{256, 180, 512, 100}));
  b.SetVerticalCenter(-7);
  EXPECT_EQ(b.VerticalCenter(), 0);
  b.SetHorizontalCenter(150);
  EXPECT_EQ(b.HorizontalCenter(), 100);
  b.SetRelativeWidth(25);
  // left = 1000 - 125 = 875; width 250; top = 0 - 50 = -50.
  EXPECT_EQ(AdvertisePanelBounds(b, {1, 2, 3, 100}, 1000, 800), (TDecorRect{875, -50, 250, 100}));
}

// Percentages in order -> the page after each event.
std::vector<int> Flips(int pages, std::vector<int> percentages) {
  TAdvertiseFlipper f;
  f.Start(fmPercentageInterval, pages);
  int page = 0;
  std::vector<int> shown;
  for (int p : percentages) shown.push_back(page = f.OnProgress(p, page, pages));
  return shown;
}

TEST(AdvertisePanel, FlipSteps) {
  EXPECT_EQ(Flips(2, {10, 49, 50, 80, 100}), (std::vector<int>{0, 0, 1, 1, 1}));
  EXPECT_EQ(Flips(3, {32, 33, 65, 66, 99, 100}), (std::vector<int>{0, 1, 1, 2, 2, 2}));
  EXPECT_EQ(Flips(4, {10, 90}), (std::vector<int>{0, 1}));  // one page per event
  EXPECT_EQ(Flips(0, {10, 50, 100}), (std::vector<int>{0, 0, 0}));
  TAdvertiseFlipper f;
  f.Start(fmPercentageInterval, 4);
  f.OnProgress(10, 0, 4);
  f.OnProgress(90, 0, 4);
  EXPECT_EQ(f.Total(), 25);
  f.Start(fmPercentageInterval, 8);
  EXPECT_EQ(f.Step(), 12);  // 12.5 to even
  f.Start(fmPercentageInterval, 0);
  EXPECT_EQ(f.Step(), 10);
  f.Stop();
  EXPECT_EQ(f.OnProgress(100, 0, 3), 0);
  f.Start(fmTimeInterval, 3);
  EXPECT_FALSE(f.Flipping());
  EXPECT_EQ(TAdvertiseFlipper::OnTick(1, 3, false), 2);
  EXPECT_EQ(TAdvertiseFlipper::OnTick(2, 3, true), 0);
  EXPECT_EQ(TAdvertiseFlipper::OnTick(2, 3, false), 2);
}

}  // namespace
}  // namespace setup
