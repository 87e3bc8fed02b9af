#include "report/printing/measures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "report/pages/error.h"

namespace report {
namespace {

constexpr long double kTolerance = 1e-9L;

// A report that remembers what its measures told it. Its LayoutBands switches
// the page to pixels and back, as the real report does while it places bands.
class FakeReport : public QRMeasureReport {
 public:
  std::int32_t FontSize = 10;
  TQRUnitBase* SwitchingMeasure = nullptr;
  std::vector<std::string> Calls;
  std::int32_t PanelWidth = -1, PanelHeight = -1;

  std::int32_t FontPointSize() const override { return FontSize; }
  void LayoutBands() override {
    Calls.push_back("LayoutBands");
    if (SwitchingMeasure) {
      QRPixelsSwitch pixels(*SwitchingMeasure);
      unitsInLayout = SwitchingMeasure->Units();
    }
  }
  void Repaint() override { Calls.push_back("Repaint"); }
  void SetPanelSize(std::int32_t width, std::int32_t height) override {
    Calls.push_back("SetPanelSize");
    PanelWidth = width;
    PanelHeight = height;
  }
  void ReapplyUnits() override { Calls.push_back("ReapplyUnits"); }
  TQRUnit unitsInLayout = TQRUnit::Native;
};

class FakeControl : public QRMeasuredControl {
 public:
  explicit FakeControl(TQRUnitBase** measure = nullptr) : measure_(measure) {}
  std::int32_t left = 7, top = 9, width = 0, height = 0;
  int boundsCalls = 0;
  bool updatingSeen = false;
  std::int32_t Left() const override { return left; }
  std::int32_t Top() const override { return top; }
  void SetBounds(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
    ++boundsCalls;
    left = l;
    top = t;
    width = w;
    height = h;
    if (measure_ && *measure_) updatingSeen = (*measure_)->OwnerUpdating;
  }

 private:
  TQRUnitBase** measure_;
};

// Each test states the platform values it depends on.
class MeasuresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DefaultInches = false;
    SetQRScreenDpi(96);
  }
  void TearDown() override {
    DefaultInches = false;
    SetQRScreenDpi(96);
  }
};

struct ConversionCase {
  const char* name;
  TQRUnit unit;
  bool horizontal;
  std::int32_t zoom;
  bool withReport;
  std::int32_t fontSize;
  long double native;
  long double shown;
};

TEST_F(MeasuresTest, ConvertsEveryUnitBothWays) {
  const ConversionCase cases[] = {
      {"mm", TQRUnit::MM, true, 100, false, 0, 2159, 215.9L},
      {"mm vertical", TQRUnit::MM, false, 100, false, 0, 1000, 100},
      {"inches", TQRUnit::Inches, true, 100, false, 0, 254, 1},
      {"inches A4 width", TQRUnit::Inches, true, 100, false, 0, 2100, 8.267716535433071L},
      {"pixels zoom 100", TQRUnit::Pixels, true, 100, false, 0, 254, 96},
      {"pixels zoom 50", TQRUnit::Pixels, false, 50, false, 0, 254, 48},
      {"characters 10 pt across", TQRUnit::Characters, true, 100, true, 10, 100, 3.175L},
      {"characters 10 pt down", TQRUnit::Characters, false, 100, true, 10, 100, 1.748107364074329L},
      {"characters 20 pt across", TQRUnit::Characters, true, 100, true, 20, 100, 6.35L},
      {"characters negative size", TQRUnit::Characters, true, 100, true, -20, 100, 6.35L},
      {"characters font size 0 as 10 pt", TQRUnit::Characters, true, 100, true, 0, 100, 3.175L},
      {"characters without report as 10 pt", TQRUnit::Characters, true, 100, false, 0, 100, 3.175L},
      {"native", TQRUnit::Native, true, 100, false, 0, 123.4L, 123.4L},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeReport report;
    report.FontSize = c.fontSize;
    TQRBandSize measure;
    if (c.withReport) measure.SetReport(&report);
    measure.Zoom = c.zoom;
    EXPECT_NEAR(measure.NativeToUnits(c.native, c.unit, c.horizontal), c.shown, kTolerance);
    EXPECT_NEAR(measure.UnitsToNative(c.shown, c.unit, c.horizontal), c.native, kTolerance);
  }
}

TEST_F(MeasuresTest, MeasuresTakeTheScreenResolutionAtConstruction) {
  SetQRScreenDpi(120);
  TQRPrintableSize measure;
  SetQRScreenDpi(96);
  EXPECT_EQ(measure.ScreenDpi, 120);
  EXPECT_NEAR(measure.NativeToUnits(254, TQRUnit::Pixels, true), 120, kTolerance);
}

TEST_F(MeasuresTest, RoundsHalvesToTheEvenNeighbour) {
  const struct {
    long double value;
    std::int32_t rounded;
  } cases[] = {
      {2.5L, 2},
      {3.5L, 4},
      {0.5L, 0},
      {1.5L, 2},
      {-2.5L, -2},
      {-3.5L, -4},
      {2.4999L, 2},
      {2.5001L, 3},
      {-0.4L, 0},
      {1e20L, std::numeric_limits<std::int32_t>::max()},
      {-1e20L, std::numeric_limits<std::int32_t>::min()},
      {std::nanl(""), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.value));
    EXPECT_EQ(QRRound(c.value), c.rounded);
  }
}

TEST_F(MeasuresTest, PrintablePositionsRoundHalvesToEven) {
  // At 254 pixels per inch a native unit is one pixel, so halves stay halves.
  SetQRScreenDpi(254);
  TQRUnitBase* measure = nullptr;
  FakeControl control(&measure);
  TQRPrintableSize size(&control);
  measure = &size;
  size.SetUnits(TQRUnit::Native);
  size.SetLeft(2.5L);
  size.SetTop(3.5L);
  size.SetWidth(10.5L);
  size.SetHeight(11.5L);
  EXPECT_EQ(control.left, 2);
  EXPECT_EQ(control.top, 4);
  EXPECT_EQ(control.width, 10);
  EXPECT_EQ(control.height, 12);
  EXPECT_TRUE(control.updatingSeen);
  EXPECT_FALSE(size.OwnerUpdating);
}

TEST_F(MeasuresTest, BandSizeKeepsTheBandsPlaceAndPushesItsSize) {
  TQRUnitBase* measure = nullptr;
  FakeControl band(&measure);
  TQRBandSize size(&band);
  measure = &size;
  EXPECT_EQ(size.NativeWidth(), 40);
  EXPECT_EQ(size.NativeHeight(), 20);
  size.SetUnits(TQRUnit::Inches);
  size.SetHeight(1);
  size.SetWidth(2);
  EXPECT_EQ(band.left, 7);
  EXPECT_EQ(band.top, 9);
  EXPECT_EQ(band.width, 192);
  EXPECT_EQ(band.height, 96);
  EXPECT_TRUE(band.updatingSeen);
  EXPECT_EQ(size.StreamOutValues(), (std::vector<long double>{254, 508}));
}

TEST_F(MeasuresTest, NewMeasuresFollowTheSystemMeasurement) {
  for (bool inches : {false, true}) {
    SCOPED_TRACE(inches);
    DefaultInches = inches;
    FakeReport report;
    TQRPage page(&report);
    TQRPrintableSize printable;
    EXPECT_EQ(printable.Units(), inches ? TQRUnit::Inches : TQRUnit::MM);
    EXPECT_EQ(printable.StreamOutValues(), (std::vector<long double>{20, 20, 20, 20}));
    EXPECT_EQ(page.Units(), inches ? TQRUnit::Inches : TQRUnit::MM);
    EXPECT_EQ(page.PaperSize(), inches ? TQRPaperSize::Letter : TQRPaperSize::A4);
    EXPECT_NEAR(page.NativeTopMargin(), inches ? 127 : 100, kTolerance);
    EXPECT_NEAR(page.NativeBottomMargin(), inches ? 127 : 100, kTolerance);
    EXPECT_NEAR(page.NativeLeftMargin(), inches ? 127 : 100, kTolerance);
    EXPECT_NEAR(page.NativeRightMargin(), inches ? 127 : 100, kTolerance);
    EXPECT_EQ(page.Columns(), 1);
    EXPECT_TRUE(page.Ruler());
    EXPECT_EQ(page.Orientation(), fw::TPrinterOrientation::poPortrait);
    EXPECT_EQ(page.Zoom, 100);
  }
}

TEST_F(MeasuresTest, PaperSizeFillsWidthAndLengthFromTheTable) {
  FakeReport report;
  TQRPage page(&report);
  page.SetPaperSize(TQRPaperSize::A4);
  EXPECT_NEAR(page.Width(), 210, kTolerance);
  EXPECT_NEAR(page.Length(), 297, kTolerance);
  page.SetUnits(TQRUnit::Inches);
  EXPECT_NEAR(page.Width(), 8.267716535433071L, kTolerance);
  page.SetUnits(TQRUnit::MM);

  page.SetOrientation(fw::TPrinterOrientation::poLandscape);
  EXPECT_EQ(page.PaperSize(), TQRPaperSize::A4);
  EXPECT_NEAR(page.Width(), 297, kTolerance);
  EXPECT_NEAR(page.Length(), 210, kTolerance);
  // The report panel gets the page in screen pixels: 2970 and 2100 native at 96 dpi.
  EXPECT_EQ(report.PanelWidth, 1123);
  EXPECT_EQ(report.PanelHeight, 794);

  // Rows used as they stand.
  page.SetOrientation(fw::TPrinterOrientation::poPortrait);
  page.SetPaperSize(TQRPaperSize::Ledger);
  EXPECT_NEAR(page.NativeWidth(), 4318, 1e-6L);
  EXPECT_NEAR(page.NativeLength(), 2794, 1e-6L);
  page.SetPaperSize(TQRPaperSize::Env9);
  EXPECT_NEAR(page.NativeWidth(), 984.3L, 1e-6L);
  page.SetPaperSize(TQRPaperSize::ESheet);
  EXPECT_NEAR(page.NativeWidth(), 1000, 1e-6L);
  EXPECT_NEAR(page.NativeLength(), 1000, 1e-6L);
}

TEST_F(MeasuresTest, SizeWritersTakeValuesOnlyForCustomPaper) {
  DefaultInches = true;
  FakeReport report;
  TQRPage page(&report);
  page.SetUnits(TQRUnit::MM);
  ASSERT_EQ(page.PaperSize(), TQRPaperSize::Letter);
  page.SetLength(100);
  page.SetWidth(100);
  EXPECT_NEAR(page.NativeLength(), 2794, 1e-6L);
  EXPECT_NEAR(page.NativeWidth(), 2159, 1e-6L);

  page.SetPaperSize(TQRPaperSize::Custom);
  EXPECT_NEAR(page.NativeLength(), 2794, 1e-6L);
  page.SetLength(100);
  EXPECT_NEAR(page.NativeLength(), 1000, kTolerance);
  // Turning custom paper keeps its size.
  page.SetOrientation(fw::TPrinterOrientation::poLandscape);
  EXPECT_NEAR(page.NativeLength(), 1000, kTolerance);
  EXPECT_NEAR(page.NativeWidth(), 2159, 1e-6L);
  // Default keeps the size too.
  page.SetPaperSize(TQRPaperSize::Default);
  EXPECT_NEAR(page.NativeLength(), 1000, kTolerance);
  page.SetLength(50);
  EXPECT_NEAR(page.NativeLength(), 1000, kTolerance);
}

TEST_F(MeasuresTest, ColumnsIgnoreZeroNegativeAndUnchangedValues) {
  FakeReport report;
  TQRPage page(&report);
  const struct {
    std::int32_t written;
    std::int32_t expected;
    bool notifies;
  } cases[] = {{0, 1, false}, {-2, 1, false}, {1, 1, false}, {3, 3, true}, {3, 3, false}, {1, 1, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    report.Calls.clear();
    page.SetColumns(c.written);
    EXPECT_EQ(page.Columns(), c.expected);
    EXPECT_EQ(report.Calls,
              c.notifies ? (std::vector<std::string>{"LayoutBands", "Repaint"}) : std::vector<std::string>{});
  }
}

TEST_F(MeasuresTest, WritersTellTheReportWhatChanged) {
  FakeReport report;
  TQRPage page(&report);
  const std::vector<std::string> layoutRepaint{"LayoutBands", "Repaint"};
  const std::vector<std::string> pushLayout{"SetPanelSize", "LayoutBands"};
  report.Calls.clear();
  page.SetTopMargin(5);
  EXPECT_EQ(report.Calls, layoutRepaint);
  report.Calls.clear();
  page.SetBottomMargin(5);
  EXPECT_EQ(report.Calls, pushLayout);
  report.Calls.clear();
  page.SetRuler(true);
  EXPECT_TRUE(report.Calls.empty());
  page.SetRuler(false);
  EXPECT_EQ(report.Calls, (std::vector<std::string>{"Repaint", "ReapplyUnits"}));
  report.Calls.clear();
  page.SetUnits(TQRUnit::Inches);
  EXPECT_EQ(report.Calls, (std::vector<std::string>{"Repaint"}));
}

TEST_F(MeasuresTest, UnitSwitchesNestAndEachRestoresTheUnitItFound) {
  TQRBandSize measure;
  measure.SetUnits(TQRUnit::Characters);
  measure.SwitchToPixels();
  EXPECT_EQ(measure.Units(), TQRUnit::Pixels);
  EXPECT_EQ(measure.UnitsBeforeSwitch(), TQRUnit::Characters);
  measure.SetUnits(TQRUnit::MM);
  measure.SwitchToPixels();
  EXPECT_EQ(measure.UnitsBeforeSwitch(), TQRUnit::MM);
  measure.RestoreUnits();
  EXPECT_EQ(measure.Units(), TQRUnit::MM);
  measure.RestoreUnits();
  EXPECT_EQ(measure.Units(), TQRUnit::Characters);
  // A restore without a switch leaves the unit alone.
  measure.RestoreUnits();
  EXPECT_EQ(measure.Units(), TQRUnit::Characters);
}

TEST_F(MeasuresTest, PaperSizeKeepsTheUsersUnitAlthoughBandLayoutSwitchesToo) {
  FakeReport report;
  TQRPage page(&report);
  report.SwitchingMeasure = &page;
  page.SetUnits(TQRUnit::Inches);
  page.SetPaperSize(TQRPaperSize::Letter);
  EXPECT_EQ(report.unitsInLayout, TQRUnit::Pixels);
  EXPECT_EQ(page.Units(), TQRUnit::Inches);
  EXPECT_NEAR(page.Width(), 8.5L, kTolerance);
  EXPECT_NEAR(page.Length(), 11, kTolerance);
}

TEST_F(MeasuresTest, SearchResultsPageStreamsItsValues) {
  DefaultInches = true;
  FakeReport report;
  TQRPage page(&report);
  page.SetLeftMargin(0.3L);
  page.SetRightMargin(0.3L);
  const std::vector<long double> expected{127.0L, 2794.0L, 127.0L, 2159.0L, 76.2L, 76.2L, 0.0L};
  const auto values = page.StreamOutValues();
  ASSERT_EQ(values.size(), expected.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(values[i], expected[i], 1e-9L);
  }
}

TEST_F(MeasuresTest, StreamedValuesAreTakenAsTheyStand) {
  DefaultInches = true;
  FakeReport report;
  TQRPage page(&report);
  report.Calls.clear();
  page.StreamInValues({100, 2800, 110, 2100, 50, 60, 7});
  EXPECT_EQ(page.PaperSize(), TQRPaperSize::Letter);
  EXPECT_EQ(page.StreamOutValues(), (std::vector<long double>{100, 2800, 110, 2100, 50, 60, 7}));
  EXPECT_EQ(report.Calls, (std::vector<std::string>{"SetPanelSize"}));
  EXPECT_EQ(report.PanelWidth, 794);    // 2100 native at 96 dpi: 793.7
  EXPECT_EQ(report.PanelHeight, 1058);  // 2800 native: 1058.27

  TQRBandSize band;
  band.StreamInValues({30, 400});
  EXPECT_EQ(band.NativeHeight(), 30);
  EXPECT_EQ(band.NativeWidth(), 400);
  TQRPrintableSize printable;
  printable.StreamInValues({1, 2, 3, 4});
  EXPECT_EQ(printable.StreamOutValues(), (std::vector<long double>{1, 2, 3, 4}));
}

TEST_F(MeasuresTest, StreamedValuesOfTheWrongCountAreRefused) {
  TQRPage page;
  const auto before = page.StreamOutValues();
  EXPECT_THROW(page.StreamInValues({1, 2, 3}), EQRError);
  EXPECT_EQ(page.StreamOutValues(), before);
  TQRBandSize band;
  EXPECT_THROW(band.StreamInValues({1, 2, 3}), EQRError);
  TQRPrintableSize printable;
  EXPECT_THROW(printable.StreamInValues({}), EQRError);
}

TEST_F(MeasuresTest, PaperTableRowsAndCodes) {
  EXPECT_STREQ(QRPaperInfo(TQRPaperSize::Default).Name, "Default");
  EXPECT_EQ(QRPaperInfo(TQRPaperSize::Default).PaperCode, 0);
  EXPECT_STREQ(QRPaperInfo(TQRPaperSize::qr11X17).Name, "qr11X17");
  EXPECT_EQ(QRPaperInfo(TQRPaperSize::Custom).PaperCode, 256);
  for (int i = 1; i <= 26; ++i) EXPECT_EQ(QRPaperInfo(static_cast<TQRPaperSize>(i)).PaperCode, i);
  EXPECT_EQ(QRPaperInfo(static_cast<TQRPaperSize>(200)).PaperCode, 0);
  EXPECT_NEAR(QRPaperInfo(TQRPaperSize::Note).Length, 279.0L, 1e-12L);
}

}  // namespace
}  // namespace report
