// The image list over the system's, drawn onto real bitmaps and read back.
#include "framework/imagelist.h"

#include <gtest/gtest.h>

#include "framework/exceptions.h"

namespace fw {
namespace {

constexpr TColor kMask = clFuchsia;

// A strip of `count` 4 x 4 images: image i is filled with colours[i] except
// its top left pixel, which is the mask colour.
void PaintStrip(TBitmap& strip, const std::vector<TColor>& colours) {
  strip.SetSize(4 * static_cast<int>(colours.size()), 4);
  for (size_t i = 0; i < colours.size(); ++i) {
    const int left = 4 * static_cast<int>(i);
    strip.Canvas().Brush.Color = colours[i];
    strip.Canvas().FillRect(RECT{left, 0, left + 4, 4});
    SetPixel(strip.Canvas().Handle(), left, 0, ColorToRGB(kMask));
  }
}

TEST(ImageListTest, AddsAStripDrawsWithTheMaskLeftOutAndKeepsTheSource) {
  TImageList images(nullptr, 4, 4);
  EXPECT_EQ(images.Count(), 0);
  int width = 0, height = 0;
  ASSERT_TRUE(ImageList_GetIconSize(images.Handle(), &width, &height));
  EXPECT_EQ(width, 4);
  EXPECT_EQ(height, 4);

  TBitmap strip;
  PaintStrip(strip, {clRed, clLime, clBlue});
  EXPECT_EQ(images.AddMasked(strip, kMask), 0);
  EXPECT_EQ(images.Count(), 3);
  TBitmap more;
  PaintStrip(more, {clYellow});
  EXPECT_EQ(images.AddMasked(more, kMask), 3);
  EXPECT_EQ(images.Count(), 4);
  EXPECT_EQ(ImageList_GetImageCount(images.Handle()), 4);
  // The caller's bitmap is not blackened where the mask was.
  EXPECT_EQ(GetPixel(strip.Canvas().Handle(), 0, 0), ColorToRGB(kMask));

  TBitmap target;
  target.SetSize(40, 10);
  target.Canvas().Brush.Color = clWhite;
  target.Canvas().FillRect(RECT{0, 0, 40, 10});
  const struct { int index, x; TColor colour; } cases[] = {
      {0, 0, clRed}, {1, 10, clLime}, {2, 20, clBlue}, {3, 30, clYellow}};
  for (const auto& c : cases) {
    EXPECT_TRUE(images.Draw(target.Canvas(), c.x, 2, c.index)) << c.index;
    HDC dc = target.Canvas().Handle();
    EXPECT_EQ(GetPixel(dc, c.x + 2, 4), ColorToRGB(c.colour)) << c.index;
    EXPECT_EQ(GetPixel(dc, c.x + 3, 5), ColorToRGB(c.colour)) << c.index;
    EXPECT_EQ(GetPixel(dc, c.x, 2), RGB(255, 255, 255)) << "the masked pixel, image " << c.index;
    EXPECT_EQ(GetPixel(dc, c.x + 4, 2), RGB(255, 255, 255)) << "beside image " << c.index;
  }
  EXPECT_FALSE(images.Draw(target.Canvas(), 0, 0, 4));
  EXPECT_FALSE(images.Draw(target.Canvas(), 0, 0, -1));

  images.Clear();
  EXPECT_EQ(images.Count(), 0);
}

TEST(ImageListTest, RefusesABitmapSmallerThanAnImage) {
  TImageList images(nullptr, 16, 16);
  TBitmap small;
  small.SetSize(8, 16);
  EXPECT_THROW(images.AddMasked(small, kMask), Exception);
  TBitmap empty;
  EXPECT_THROW(images.AddMasked(empty, kMask), Exception);
  EXPECT_EQ(images.Count(), 0);
}

}  // namespace
}  // namespace fw
