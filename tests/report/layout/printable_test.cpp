// Printables: alignment on the band, the three ways bounds arrive, loading,
// printability, frames and the copying of frames and sizes.
#include <gtest/gtest.h>

#include "tests/report/layout/layout_test_support.h"

namespace report::testing {
namespace {

struct AlignmentRow {
  int bandWidth;
  int controlWidth;
  TAlignment alignment;
  int left;
};

class AlignmentTable : public LayoutTest, public ::testing::WithParamInterface<AlignmentRow> {};

TEST_P(AlignmentTable, PlacesTheControl) {
  const AlignmentRow& row = GetParam();
  TQRBand band(nullptr);
  band.SetBounds(0, 0, row.bandWidth, 40);
  TQRPrintable control(nullptr);
  control.SetParent(&band);
  control.SetLeft(33);
  control.SetWidth(row.controlWidth);
  control.SetAlignment(row.alignment);
  control.SetAlignToBand(true);
  EXPECT_EQ(control.Left(), row.left);
}

INSTANTIATE_TEST_SUITE_P(Printables, AlignmentTable,
                         ::testing::Values(AlignmentRow{758, 377, taCenter, 190},
                                           // narrower band: -38.5 and -49.5 truncate toward zero
                                           AlignmentRow{300, 377, taCenter, -38},
                                           AlignmentRow{301, 400, taCenter, -49},
                                           AlignmentRow{758, 377, taRightJustify, 381},
                                           AlignmentRow{300, 377, taRightJustify, -77},
                                           AlignmentRow{758, 377, taLeftJustify, 0}));

TEST_F(LayoutTest, BandWidthChangeRealignsOnlyBandAlignedControls) {
  auto* band = AddBand(*model_, rbDetail, "D", 100);
  auto* aligned = new TQRPrintable(model_.get());
  aligned->SetParent(band);
  aligned->SetWidth(50);
  aligned->SetAlignment(taRightJustify);
  aligned->SetAlignToBand(true);
  auto* free = new TQRPrintable(model_.get());
  free->SetParent(band);
  free->SetLeft(7);
  const int widthBefore = band->Width();
  EXPECT_EQ(aligned->Left(), widthBefore - 50);
  model_->PageWidthValue = 400;
  model_->LayoutBands();
  ASSERT_NE(band->Width(), widthBefore);
  EXPECT_EQ(aligned->Left(), band->Width() - 50);
  EXPECT_EQ(free->Left(), 7);
}

TEST_F(LayoutTest, BoundsFromTheSizeAreTakenAsTheyCome) {
  TQRPrintable control(nullptr);
  control.Size().SetUnits(TQRUnit::Native);
  control.Size().SetLeft(254);  // one inch: 96 pixels at 96 dots per inch
  control.Size().SetHeight(127);
  EXPECT_EQ(control.Left(), 96);
  EXPECT_EQ(control.Height(), 48);
  EXPECT_EQ(control.Size().NativeLeft(), 254);
}

TEST_F(LayoutTest, BoundsFromOutsideAreWrittenIntoTheSize) {
  TQRPrintable control(nullptr);
  control.Size().SetUnits(TQRUnit::MM);
  control.SetBounds(96, 48, 192, 96);
  EXPECT_DOUBLE_EQ(static_cast<double>(control.Size().NativeLeft()), 254);
  EXPECT_DOUBLE_EQ(static_cast<double>(control.Size().NativeTop()), 127);
  EXPECT_DOUBLE_EQ(static_cast<double>(control.Size().NativeWidth()), 508);
  EXPECT_DOUBLE_EQ(static_cast<double>(control.Size().NativeHeight()), 254);
  EXPECT_EQ(control.Size().Units(), TQRUnit::MM);
}

TEST_F(LayoutTest, BoundsWhileLoadingLeaveTheSizeAlone) {
  fw::TComponent form(nullptr);
  form.BeginLoading();
  auto* control = new TQRPrintable(&form);
  control->SetBounds(0, 10, 30, 40);
  EXPECT_EQ(control->Size().NativeLeft(), 20);
  EXPECT_EQ(control->Size().NativeTop(), 20);
  EXPECT_EQ(control->Size().NativeWidth(), 20);
}

struct LoadRow {
  int descriptionLeft;
  long double valuesLeft;
  int left;
};

class LoadTable : public LayoutTest, public ::testing::WithParamInterface<LoadRow> {};

TEST_P(LoadTable, KeepsThePlace) {
  fw::TComponent form(nullptr);
  form.BeginLoading();
  auto* control = new TQRPrintable(&form);
  control->SetBounds(GetParam().descriptionLeft, 10, 30, 40);
  control->Size().StreamInValues({100, GetParam().valuesLeft, 30, 80});
  control->Loaded();
  EXPECT_EQ(control->Left(), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Printables, LoadTable,
                         ::testing::Values(LoadRow{0, 500, 189},  // "Values" wins over a left of 0
                                           LoadRow{37, 0,
                                                   37},  // a left of 0 in "Values" takes the description's
                                           LoadRow{37, 500, 189}));

TEST_F(LayoutTest, IsPrintableWhenEnabledOrHidden) {
  struct Row {
    bool enabled, visible, printable;
  };
  for (const Row row :
       {Row{true, true, true}, Row{true, false, true}, Row{false, true, false}, Row{false, false, true}}) {
    TQRPrintable control(nullptr);
    control.SetEnabled(row.enabled);
    control.SetVisible(row.visible);
    EXPECT_EQ(control.IsPrintable(), row.printable) << row.enabled << row.visible;
  }
}

class FrameTable : public LayoutTest {
 public:
  // A control at (10, 20), 30 by 40 native, on a detail band, at 2 device
  // pixels per native unit.
  std::string PrintWith(bool left, bool top) {
    model_->PixelsX = model_->PixelsY = 2;
    auto* band = AddBand(*model_, rbDetail, "D", 100);
    auto* control = new TQRPrintable(model_.get());
    control->SetParent(band);
    control->Size().SetLeft(10);
    control->Size().SetTop(20);
    control->Size().SetWidth(30);
    control->Size().SetHeight(40);
    control->Frame().SetDrawLeft(left);
    control->Frame().SetDrawTop(top);
    control->Frame().SetColor(0x0000AA);
    model_->trace.Name(0x0000AA, "F");
    Feed(1);
    model_->Run();
    return model_->trace.Text();
  }
};

TEST_F(FrameTable, NoSideDrawsNothing) { EXPECT_EQ(PrintWith(false, false), "P1 D@0"); }

TEST_F(FrameTable, SidesAreDrawnAroundTheDeviceRectangle) {
  EXPECT_EQ(PrintWith(true, true), "P1 D@0 F@20,40 F@20,40");
  // 1 point at 2 pixels per tenth of a millimetre is round(7.06) = 7 pixels.
  const auto fills = model_->trace.Fills();
  ASSERT_EQ(fills.size(), 3u);
  EXPECT_EQ(fills[1], (QRRect{20, 40, 80, 47}));
  EXPECT_EQ(fills[2], (QRRect{20, 40, 27, 120}));
}

// A control placed on the report prints at the end of each page, unless it is
// disabled, hidden or not.
TEST_F(LayoutTest, DisabledControlOnTheReportNeverPrints) {
  for (const bool enabled : {true, false}) {
    model_ = std::make_unique<PageModel>();
    auto* control = new TQRPrintable(model_.get());
    control->SetParent(model_.get());
    control->Size().SetUnits(TQRUnit::Native);
    control->Size().SetLeft(0);
    control->Size().SetTop(5);
    control->Frame().SetDrawTop(true);
    control->Frame().SetColor(0x0000BB);
    control->SetEnabled(enabled);
    control->SetVisible(false);
    model_->trace.Name(0x0000BB, "F");
    AddBand(*model_, rbDetail, "D", 100);
    Feed(1);
    given_ = 0;
    model_->Run();
    EXPECT_EQ(model_->trace.Text(), enabled ? "P1 D@0 F@5" : "P1 D@0") << enabled;
  }
}

TEST_F(LayoutTest, AssigningAFrameOrASizeCopiesTheValues) {
  TQRPrintable control(nullptr);
  TQRFrame* own = &control.Frame();
  TQRFrame other;
  other.SetDrawBottom(true);
  other.SetWidth(3);
  control.SetFrame(other);
  other.SetWidth(9);
  EXPECT_EQ(&control.Frame(), own);
  EXPECT_TRUE(control.Frame().DrawBottom());
  EXPECT_EQ(control.Frame().Width(), 3);

  TQRPrintableSize* ownSize = &control.Size();
  TQRPrintableSize size;
  size.StreamInValues({254, 254, 0, 508});
  control.SetSize(size);
  EXPECT_EQ(&control.Size(), ownSize);
  EXPECT_EQ(control.Size().NativeWidth(), 508);
  EXPECT_EQ(control.Width(), 192);  // the control follows its size
}

}  // namespace
}  // namespace report::testing
