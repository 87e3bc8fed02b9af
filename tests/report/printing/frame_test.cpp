#include "report/printing/frame.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/report/printing/recording_canvas.h"

namespace report {
namespace {

using testing::RecordingCanvas;

// Device pixels per native unit (0.1 mm) of a 300 dpi printer and a 96 dpi screen.
constexpr long double kPrinter = 300.0L / 254.0L;
constexpr long double kScreen = 96.0L / 254.0L;

struct FrameCase {
  const char* name;
  std::int32_t width;
  long double xFactor, yFactor;
  std::vector<QRRect> fills;  // top, bottom, left, right
};

TEST(FrameTest, DrawsEachSideAsAFilledRectangleOfItsThickness) {
  const QRRect r{100, 200, 500, 400};
  const FrameCase cases[] = {
      // 1 pt at 300 dpi: 4.17 pixels.
      {"1 pt on a printer",
       1,
       kPrinter,
       kPrinter,
       {{100, 200, 500, 204}, {100, 396, 500, 400}, {100, 200, 104, 400}, {496, 200, 500, 400}}},
      {"2 pt on the screen",
       2,
       kScreen,
       kScreen,
       {{100, 200, 500, 203}, {100, 397, 500, 400}, {100, 200, 103, 400}, {497, 200, 500, 400}}},
      // 3 pt: 12.5 printer pixels across (the half goes to the even 12), 4 screen pixels down.
      {"different factors, a half across",
       3,
       kPrinter,
       kScreen,
       {{100, 200, 500, 204}, {100, 396, 500, 400}, {100, 200, 112, 400}, {488, 200, 500, 400}}},
      {"thinner than a pixel is one pixel",
       1,
       0.1L,
       0.1L,
       {{100, 200, 500, 201}, {100, 399, 500, 400}, {100, 200, 101, 400}, {499, 200, 500, 400}}},
      {"-1 is one device pixel",
       -1,
       kPrinter,
       kPrinter,
       {{100, 200, 500, 201}, {100, 399, 500, 400}, {100, 200, 101, 400}, {499, 200, 500, 400}}},
      {"0 draws nothing", 0, kPrinter, kPrinter, {}},
      {"below -1 draws nothing", -3, kPrinter, kPrinter, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TQRFrame frame;
    frame.SetDrawTop(true);
    frame.SetDrawBottom(true);
    frame.SetDrawLeft(true);
    frame.SetDrawRight(true);
    frame.SetWidth(c.width);
    frame.SetColor(0x0000FF);
    frame.SetStyle(fw::TPenStyle::psDot);
    RecordingCanvas canvas;
    frame.DrawFrame(canvas, r, c.xFactor, c.yFactor);
    EXPECT_EQ(canvas.Fills(), c.fills);
    for (const auto& op : canvas.Operations) {
      EXPECT_EQ(op.brush, (QRBrush{0x0000FF, fw::TBrushStyle::bsSolid}));
      EXPECT_EQ(op.pen, (QRPen{0x0000FF, 1, fw::TPenStyle::psDot}));
    }
    EXPECT_EQ(canvas.Brush().Style, fw::TBrushStyle::bsClear);
  }
}

TEST(FrameTest, DrawsOnlyTheChosenSides) {
  const QRRect r{0, 0, 100, 50};
  const struct {
    bool top, bottom, left, right;
    std::vector<QRRect> fills;
  } cases[] = {
      {false, false, false, false, {}},
      {true, false, false, false, {{0, 0, 100, 4}}},
      {false, true, false, false, {{0, 46, 100, 50}}},
      {false, false, true, false, {{0, 0, 4, 50}}},
      {false, false, false, true, {{96, 0, 100, 50}}},
  };
  for (const auto& c : cases) {
    TQRFrame frame;
    frame.SetDrawTop(c.top);
    frame.SetDrawBottom(c.bottom);
    frame.SetDrawLeft(c.left);
    frame.SetDrawRight(c.right);
    EXPECT_EQ(frame.AnySide(), c.top || c.bottom || c.left || c.right);
    RecordingCanvas canvas;
    frame.DrawFrame(canvas, r, kPrinter, kPrinter);
    EXPECT_EQ(canvas.Fills(), c.fills);
  }
}

TEST(FrameTest, StartsBlackSolidOnePointWithoutSidesAndRepaintsOnEveryChange) {
  int repaints = 0;
  TQRFrame frame([&] { ++repaints; });
  EXPECT_EQ(frame.Color(), 0);
  EXPECT_EQ(frame.Style(), fw::TPenStyle::psSolid);
  EXPECT_EQ(frame.Width(), 1);
  EXPECT_FALSE(frame.AnySide());
  frame.SetColor(5);
  frame.SetStyle(fw::TPenStyle::psDash);
  frame.SetWidth(2);
  frame.SetDrawTop(true);
  frame.SetDrawBottom(true);
  frame.SetDrawLeft(true);
  frame.SetDrawRight(true);
  EXPECT_EQ(repaints, 7);
}

TEST(FrameTest, HugeWidthsStayWithinThePage) {
  TQRFrame frame;
  frame.SetDrawBottom(true);
  frame.SetWidth(2000000000);
  RecordingCanvas canvas;
  frame.DrawFrame(canvas, {0, 0, 100, 50}, kPrinter, kPrinter);
  ASSERT_EQ(canvas.Fills().size(), 1u);
  EXPECT_EQ(canvas.Fills()[0].Bottom, 50);
  EXPECT_LT(canvas.Fills()[0].Top, 0);
}

}  // namespace
}  // namespace report
