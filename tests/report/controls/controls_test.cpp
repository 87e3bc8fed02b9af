// Labels, expressions, system data and shapes printed through a report on
// faked printing: text is measured 10 pixels a byte (and 1 more), 12 high,
// and drawn 16 device pixels (tenths of a millimetre) a line.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "report/controls/qr_controls.h"
#include "report/printing/measures.h"
#include "tests/report/report/report_test_support.h"

namespace report::testing {
namespace {

class ControlsTest : public LayoutTest {
 public:
  LayoutSubject& subject() override { return subject_; }
  TracedReport& report() { return subject_.report; }
  Trace& trace() { return subject_.host.trace; }

  // The texts drawn, each as text@x,y in device pixels.
  std::vector<std::string> Drawn() const {
    std::vector<std::string> texts;
    for (const auto& op : subject_.host.trace.Operations)
      if (op.kind == RecordingCanvas::Kind::Text)
        texts.push_back(op.text + "@" + std::to_string(op.rect.Left) + "," + std::to_string(op.rect.Top));
    return texts;
  }
  template <class Control>
  Control* Place(TQRCustomBand* band, int left, int top, int width, int height) {
    auto* control = new Control(&report());
    control->SetParent(band);
    control->Size().SetUnits(TQRUnit::Native);
    control->Size().SetLeft(left);
    control->Size().SetTop(top);
    control->Size().SetWidth(width);
    control->Size().SetHeight(height);
    return control;
  }

  ReportSubject subject_;
};

TEST_F(ControlsTest, AStretchingLabelPrintsThreeLinesNowAndTwoOnTheNextPage) {
  subject().SetPageLength(960);
  AddBand(subject(), rbTitle, "T", 900);
  auto* d = AddBand(subject(), rbDetail, "D", 40);
  auto* label = Place<TQRLabel>(d, 0, 0, 300, 33);
  label->SetAutoSize(false);
  label->SetAutoStretch(true);
  label->SetCaption("l0\rl1\rl2\rl3\rl4");
  Feed(1);
  subject().Run();
  EXPECT_EQ(Drawn(), std::vector<std::string>({"l0@0,900", "l1@0,916", "l2@0,932", "l3@0,0", "l4@0,16"}));
  EXPECT_TRUE(label->Finished());
}

TEST_F(ControlsTest, OneLineLeftStaysUnfinishedAndPrintsOnTheNextPage) {
  subject().SetPageLength(960);
  AddBand(subject(), rbTitle, "T", 900);
  auto* d = AddBand(subject(), rbDetail, "D", 40);
  auto* label = Place<TQRLabel>(d, 0, 0, 300, 33);
  label->SetAutoSize(false);
  label->SetAutoStretch(true);
  label->SetCaption("l0\rl1\rl2\rl3");
  Feed(1);
  subject().Run();
  EXPECT_EQ(Drawn(), std::vector<std::string>({"l0@0,900", "l1@0,916", "l2@0,932", "l3@0,0"}));
}

// Lines taller than the room a page gives: the text still moves on, page by
// page, and the pass ends.
TEST_F(ControlsTest, ALabelTallerThanItsPagesRoomMovesOnAndEnds) {
  subject().SetPageLength(20);
  auto* d = AddBand(subject(), rbDetail, "D", 10);
  auto* label = Place<TQRLabel>(d, 0, 0, 300, 5);
  label->SetAutoSize(false);
  label->SetAutoStretch(true);
  label->SetCaption("a\rb\rc");
  Feed(1);
  subject().Run();
  EXPECT_EQ(Drawn(), std::vector<std::string>({"a@0,0", "b@0,16", "c@0,0"}));
}

TEST_F(ControlsTest, AWrappedLabelLosesNoTextOfALongWord) {
  auto* d = AddBand(subject(), rbDetail, "D", 200);
  auto* label = Place<TQRLabel>(d, 0, 0, 0, 100);
  label->SetAutoSize(false);
  label->SetBounds(label->Left(), label->Top(), 31, label->Height());  // room for three bytes
  label->SetCaption("abcdefgh");
  EXPECT_EQ(label->FormattedLines, std::vector<std::string>({"abc", "def", "gh"}));
}

// A long entry continues over many pages: it is broken into lines once, not
// again on each page.
TEST_F(ControlsTest, ALongStretchingTextIsBrokenOnceForAllItsPages) {
  subject().SetPageLength(960);
  auto* d = AddBand(subject(), rbDetail, "D", 40);
  auto* label = Place<TQRLabel>(d, 0, 0, 700, 33);  // 100 bytes a line
  label->SetAutoSize(false);
  label->SetAutoStretch(true);
  std::string text;
  while (text.size() < 100000) text += "SUBTOTAL 12.25 ";
  label->SetCaption(text);
  Feed(1);
  subject().Run();
  std::string printed;
  for (const std::string& line : trace().Texts()) printed += line;
  EXPECT_EQ(printed, text);
  EXPECT_LE(subject_.host.MeasuredBytes, 16 * text.size());
}

// Lines are broken with the report's measure (10 a byte and 1 more), not
// with the widths of the page's device (7 a byte here), so that every
// device's pages hold the same lines.
TEST_F(ControlsTest, LinesAreBrokenWithTheReportsMeasureWhateverDeviceDrawsThem) {
  auto* d = AddBand(subject(), rbDetail, "D", 200);
  auto* label = Place<TQRLabel>(d, 0, 0, 250, 100);  // 94 screen pixels
  label->SetAutoSize(false);
  label->SetCaption("aaaa bbbb cccc");
  Feed(1);
  subject().Run();
  EXPECT_EQ(Drawn(), std::vector<std::string>({"aaaa @0,0", "bbbb cccc@0,16"}));
}

// Taken off its band and put back under the same measures, a label has its
// lines again: code may move a label between the rows it prints.
TEST_F(ControlsTest, ALabelTakenOffItsBandAndPutBackPrintsItsTextAgain) {
  auto* d = AddBand(subject(), rbDetail, "D", 100);
  auto* label = Place<TQRLabel>(d, 0, 0, 300, 33);
  label->SetAutoSize(false);
  label->SetCaption("TOTAL");
  d->BeforePrint = [&](TQRCustomBand*, bool&) {
    label->SetParent(nullptr);
    label->SetParent(d);
  };
  Feed(2);
  subject().Run();
  EXPECT_EQ(Drawn(), std::vector<std::string>({"TOTAL@0,0", "TOTAL@0,100"}));
}

struct FontSizeRow {
  const char* name;
  std::int32_t stored;  // the "FontSize" read back
  std::int32_t size;    // the font's size after it
  bool parentFont;
};
class StoredFontSize : public ControlsTest, public ::testing::WithParamInterface<FontSizeRow> {};
TEST_P(StoredFontSize, AboveZeroBecomesThePointSize) {
  auto* d = AddBand(subject(), rbDetail, "D", 200);
  auto* label = Place<TQRLabel>(d, 0, 0, 100, 50);
  ASSERT_EQ(label->Font().Size, 10);
  label->SetFontSize(GetParam().stored);
  EXPECT_EQ(label->Font().Size, GetParam().size);
  EXPECT_EQ(label->FontSize(), GetParam().size);
  EXPECT_EQ(label->ParentFont(), GetParam().parentFont);
}
INSTANTIATE_TEST_SUITE_P(Sizes, StoredFontSize,
                         ::testing::Values(FontSizeRow{"Eighteen", 18, 18, false},
                                           FontSizeRow{"One", 1, 1, false}, FontSizeRow{"Zero", 0, 10, true},
                                           FontSizeRow{"Negative", -4, 10, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlsTest, AFontOfAPixelHeightStoresItsPointSize) {
  auto* d = AddBand(subject(), rbDetail, "D", 200);
  auto* label = Place<TQRLabel>(d, 0, 0, 100, 50);
  TQRFontDescription font = label->Font();
  font.Size = -QRScreenDpi() / 4;  // a quarter inch: 18 points
  label->SetFont(font);
  EXPECT_EQ(label->FontSize(), 18);
}

struct AutoSizeRow {
  const char* name;
  TAlignment alignment;
  int left;
};
class AutoSizing : public ControlsTest, public ::testing::WithParamInterface<AutoSizeRow> {};
TEST_P(AutoSizing, KeepsTheEdgeOrCentreOfItsAlignment) {
  auto* d = AddBand(subject(), rbDetail, "D", 200);
  auto* label = Place<TQRLabel>(d, 0, 0, 100, 50);
  label->SetBounds(100, 0, 200, 20);
  label->SetAlignment(GetParam().alignment);
  label->SetCaption("abc\rab");
  EXPECT_EQ(label->Width(), 31);
  EXPECT_EQ(label->Left(), GetParam().left);
  EXPECT_EQ(label->FormattedLines, std::vector<std::string>({"abc", "ab"}));
}
INSTANTIATE_TEST_SUITE_P(Alignments, AutoSizing,
                         ::testing::Values(AutoSizeRow{"Left", taLeftJustify, 100},
                                           AutoSizeRow{"Right", taRightJustify, 269},
                                           AutoSizeRow{"Centre", taCenter, 184}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlsTest, AnExpressionWithoutTextShowsNone) {
  auto* d = AddBand(subject(), rbDetail, "D", 200);
  auto* expr = Place<TQRExpr>(d, 0, 0, 500, 50);
  EXPECT_EQ(expr->Caption(), "(none)");
}

struct ExprRow {
  const char* name;
  std::string expression, mask, printed;
};
class ExprPrinting : public ControlsTest, public ::testing::WithParamInterface<ExprRow> {};
TEST_P(ExprPrinting, PrintsTheValueThroughItsMask) {
  auto* d = AddBand(subject(), rbDetail, "D", 200);
  auto* expr = Place<TQRExpr>(d, 0, 0, 500, 50);
  expr->SetExpression(GetParam().expression);
  expr->SetMask(GetParam().mask);
  Feed(1);
  subject().Run();
  EXPECT_EQ(Drawn(), std::vector<std::string>({GetParam().printed + "@0,0"}));
  EXPECT_EQ(expr->Caption(), GetParam().expression);
}
INSTANTIATE_TEST_SUITE_P(Values, ExprPrinting,
                         ::testing::Values(ExprRow{"Picture", "1234.5", "#,##0.00", "1,234.50"},
                                           ExprRow{"General", "1234.5", "", "1234.5"},
                                           ExprRow{"Boolean", "1=1", "", "True"},
                                           ExprRow{"Text", "'a'+'b'", "", "ab"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct SysRow {
  const char* name;
  TQRSysDataType data;
  std::string design, printed;
};
class SysDataPrinting : public ControlsTest, public ::testing::WithParamInterface<SysRow> {};
TEST_P(SysDataPrinting, PrintsItsTextFollowedByTheValue) {
  platform_.shortTimeText = "9:05";
  platform_.shortDateText = "3/4/2026";
  platform_.dateTimeText = "3/4/2026 9:05:07";
  report().ReportTitle = "Daily";
  auto* d = AddBand(subject(), rbDetail, "D", 200);
  auto* sys = Place<TQRSysData>(d, 0, 0, 500, 50);
  sys->SetText("X: ");
  sys->SetData(GetParam().data);
  EXPECT_EQ(sys->Caption(), "X: (" + GetParam().design + ")");
  Feed(1);
  subject().Run();
  EXPECT_EQ(Drawn(), std::vector<std::string>({"X: " + GetParam().printed + "@0,0"}));
}
INSTANTIATE_TEST_SUITE_P(
    Kinds, SysDataPrinting,
    ::testing::Values(SysRow{"Time", TQRSysDataType::qrsTime, "Time", "9:05"},
                      SysRow{"Date", TQRSysDataType::qrsDate, "Date", "3/4/2026"},
                      SysRow{"DateTime", TQRSysDataType::qrsDateTime, "Date/Time", "3/4/2026 9:05:07"},
                      SysRow{"PageNumber", TQRSysDataType::qrsPageNumber, "Page#", "1"},
                      SysRow{"Title", TQRSysDataType::qrsReportTitle, "Report title", "Daily"},
                      SysRow{"DetailCount", TQRSysDataType::qrsDetailCount, "Detail count", "1"},
                      SysRow{"DetailNo", TQRSysDataType::qrsDetailNo, "Detail no", "1"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ShapeRow {
  const char* name;
  TQRShapeType shape;
  std::vector<std::string> drawn;
};
class ShapePrinting : public ControlsTest, public ::testing::WithParamInterface<ShapeRow> {};
TEST_P(ShapePrinting, DrawsItsFigure) {
  auto* d = AddBand(subject(), rbDetail, "D", 200);
  auto* shape = Place<TQRShape>(d, 10, 20, 100, 60);
  shape->Shape = GetParam().shape;
  shape->Pen.Width = 3;
  Feed(1);
  subject().Run();
  std::vector<std::string> drawn;
  for (const auto& op : trace().Operations) {
    const std::string at = std::to_string(op.rect.Left) + "," + std::to_string(op.rect.Top) + "," +
                           std::to_string(op.rect.Right) + "," + std::to_string(op.rect.Bottom);
    if (op.kind == RecordingCanvas::Kind::Rectangle) drawn.push_back("rect " + at);
    if (op.kind == RecordingCanvas::Kind::Ellipse) drawn.push_back("ellipse " + at);
    if (op.kind == RecordingCanvas::Kind::Line) drawn.push_back("line " + at);
    if (op.kind != RecordingCanvas::Kind::FillRect) EXPECT_EQ(op.pen.Width, 3);
  }
  EXPECT_EQ(drawn, GetParam().drawn);
}
INSTANTIATE_TEST_SUITE_P(
    Shapes, ShapePrinting,
    ::testing::Values(
        ShapeRow{"Rectangle", TQRShapeType::qrsRectangle, {"rect 10,20,110,80"}},
        ShapeRow{"Circle", TQRShapeType::qrsCircle, {"ellipse 10,20,110,80"}},
        ShapeRow{"VertLine", TQRShapeType::qrsVertLine, {"line 60,20,60,80"}},
        ShapeRow{"HorLine", TQRShapeType::qrsHorLine, {"line 10,50,110,50"}},
        ShapeRow{"TopAndBottom", TQRShapeType::qrsTopAndBottom, {"line 10,20,110,20", "line 10,80,110,80"}},
        ShapeRow{"RightAndLeft", TQRShapeType::qrsRightAndLeft, {"line 10,20,10,80", "line 110,20,110,80"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Each kind of control placed directly on the report, where it is offered
// whatever its enabled state: disabled, it prints nothing, hidden or not.
struct OnReportRow {
  const char* name;
  std::function<TQRPrintable*(TCustomQRReport&)> make;
};
class DisabledOnTheReport : public ControlsTest, public ::testing::WithParamInterface<OnReportRow> {
 public:
  // What the control drew on the page, with its enabled and visible state.
  std::vector<std::string> DrawnBy(bool enabled, bool visible) {
    subject_.host.trace.Operations.clear();
    TQRPrintable* control = GetParam().make(report());
    control->SetParent(&report());
    control->Size().SetUnits(TQRUnit::Native);
    control->Size().SetLeft(10);
    control->Size().SetTop(20);
    control->Size().SetWidth(300);
    control->Size().SetHeight(50);
    control->SetEnabled(enabled);
    control->SetVisible(visible);
    Feed(1);
    given_ = 0;
    subject().Run();
    delete control;
    std::vector<std::string> drawn;
    for (const auto& op : subject_.host.trace.Operations) {
      if (op.kind == RecordingCanvas::Kind::Text) drawn.push_back(op.text);
      if (op.kind == RecordingCanvas::Kind::Rectangle) drawn.push_back("rectangle");
    }
    return drawn;
  }
};
TEST_P(DisabledOnTheReport, PrintsNothingHiddenOrNot) {
  AddBand(subject(), rbDetail, "D", 100);
  EXPECT_FALSE(DrawnBy(true, true).empty()) << "an enabled control prints";
  EXPECT_TRUE(DrawnBy(false, true).empty());
  EXPECT_TRUE(DrawnBy(false, false).empty());
}
INSTANTIATE_TEST_SUITE_P(Kinds, DisabledOnTheReport,
                         ::testing::Values(OnReportRow{"Label",
                                                       [](TCustomQRReport& r) -> TQRPrintable* {
                                                         auto* label = new TQRLabel(&r);
                                                         label->SetCaption("label");
                                                         return label;
                                                       }},
                                           OnReportRow{"Expression",
                                                       [](TCustomQRReport& r) -> TQRPrintable* {
                                                         auto* expr = new TQRExpr(&r);
                                                         expr->SetExpression("'expr'");
                                                         return expr;
                                                       }},
                                           OnReportRow{"SystemData",
                                                       [](TCustomQRReport& r) -> TQRPrintable* {
                                                         auto* sys = new TQRSysData(&r);
                                                         sys->SetText("page ");
                                                         sys->SetData(TQRSysDataType::qrsPageNumber);
                                                         return sys;
                                                       }},
                                           OnReportRow{"Shape",
                                                       [](TCustomQRReport& r) -> TQRPrintable* {
                                                         return new TQRShape(&r);
                                                       }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlsTest, ANewShapeIsSixtyFivePixelsSquare) {
  TQRShape shape(nullptr);
  EXPECT_EQ(shape.Width(), 65);
  EXPECT_EQ(shape.Height(), 65);
}

}  // namespace
}  // namespace report::testing
