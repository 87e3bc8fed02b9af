#include "report/preview/preview_rules.h"

#include <gtest/gtest.h>

#include "report/printing/qr_printer.h"
#include "tests/report/printing/fake_printing.h"

namespace report {
namespace {

using testing::FakePrinting;

// A producer without a printer (A4 paper) storing pages at 96 dpi.
struct A4Producer {
  FakePrinting fake;
  std::unique_ptr<TQRPrinter> printer;
  A4Producer() {
    fake.printers.Count = 0;
    fake.pages.Dpi = 96;
    printer = std::make_unique<TQRPrinter>(fake.Services());
    printer->BeginDoc();
  }
};

TEST(PreviewRulesTest, ZoomRange) {
  const struct {
    std::int32_t zoom;
    bool taken;
  } cases[] = {{1, false}, {2, true}, {100, true}, {2000, true}, {2001, false}, {0, false}, {-5, false}};
  for (const auto& c : cases) EXPECT_EQ(PreviewZoomAccepted(c.zoom), c.taken) << c.zoom;
}

TEST(PreviewRulesTest, LayoutOfAnA4PageCentresWhatIsSmallerThanTheControl) {
  A4Producer a4;
  ASSERT_EQ(a4.printer->ToDeviceWidth(2100), 794);
  ASSERT_EQ(a4.printer->ToDeviceHeight(2970), 1123);
  const struct {
    std::int32_t zoom, width, height;
    QRImagePlacement placement;
  } cases[] = {
      {100, 800, 600, {1, 0, 798, 1127}},   // wider control: centred across only
      {50, 800, 600, {199, 17, 401, 565}},  // smaller both ways: centred both ways
      {200, 800, 600, {0, 0, 1591, 2249}},  // larger both ways: at the corner
      {100, 798, 1127, {0, 0, 798, 1127}},  // exactly as large: not moved
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.zoom);
    EXPECT_EQ(PreviewLayout(a4.printer.get(), c.zoom, c.width, c.height), c.placement);
  }
}

TEST(PreviewRulesTest, LayoutWithoutAProducerUsesALetterPageAtOnePixelAMillimetre) {
  EXPECT_EQ(PreviewLayout(nullptr, 100, 250, 250), (QRImagePlacement{15, 0, 220, 283}));
  EXPECT_EQ(PreviewLayout(nullptr, 200, 250, 250), (QRImagePlacement{0, 0, 436, 563}));
}

TEST(PreviewRulesTest, ZoomToWidthOfAnA4PageOnAn800PixelControl) {
  A4Producer a4;
  EXPECT_EQ(PreviewWidthZoom(a4.printer.get(), 800), 91);  // round(800 / 794 x 90)
  EXPECT_EQ(PreviewWidthZoom(nullptr, 800), 352);          // round(800 / 215.9 x 95)
}

TEST(PreviewRulesTest, ZoomToFitTakesTheSmallerOfTheTwoFactors) {
  A4Producer a4;
  EXPECT_EQ(PreviewFitZoom(a4.printer.get(), 800, 600), 51);   // 600 / 1123 x 95 = 50.8
  EXPECT_EQ(PreviewFitZoom(a4.printer.get(), 400, 2000), 48);  // 400 / 794 x 95 = 47.9
  EXPECT_EQ(PreviewFitZoom(nullptr, 250, 250), 85);            // 250 / 279.4 x 95 = 85.0
}

TEST(PreviewRulesTest, APageWithoutASizeGivesNoZoom) {
  A4Producer a4;
  a4.printer->SetPaperSize(TQRPaperSize::Default);
  ASSERT_EQ(a4.printer->PageWidth(), 0);
  EXPECT_EQ(PreviewFitZoom(a4.printer.get(), 800, 600), std::nullopt);
  EXPECT_EQ(PreviewWidthZoom(a4.printer.get(), 800), std::nullopt);
}

TEST(PreviewRulesTest, PagesAvailableFollowTheStoredPagesWhileTheRunIsBusy) {
  A4Producer a4;
  TQRPrinter& p = *a4.printer;
  EXPECT_EQ(PreviewPagesAvailable(&p), 0);
  p.NewPage();
  EXPECT_EQ(PreviewPagesAvailable(&p), 0);  // page 1 still being drawn
  p.NewPage();
  EXPECT_EQ(p.PageCount(), 2);
  EXPECT_EQ(PreviewPagesAvailable(&p), 1);
  for (int i = 0; i < 3; ++i) p.NewPage();
  EXPECT_EQ(PreviewPagesAvailable(&p), 4);
  p.EndDoc();
  EXPECT_EQ(PreviewPagesAvailable(&p), 5);
  EXPECT_EQ(PreviewPagesAvailable(nullptr), 0);
}

TEST(PreviewRulesTest, PageMoves) {
  A4Producer a4;
  for (int i = 0; i < 5; ++i) a4.printer->NewPage();
  a4.printer->EndDoc();
  const TQRPrinter* p = a4.printer.get();
  const struct {
    std::int32_t n, current;
    bool hasPage;
    const TQRPrinter* producer;
    bool taken;
  } cases[] =
      {
          {2, 1, true, p, true},        {5, 1, true, p, true},   {6, 1, true, p, false},
          {0, 1, true, p, false},       {-1, 1, true, p, false}, {1, 1, true, p, false},
          {1, 1, false, p, true},  // the same page again when the image has none yet
          {2, 1, true, nullptr, false},
      };
  for (const auto& c : cases)
    EXPECT_EQ(PreviewPageMoveTaken(c.n, c.current, c.hasPage, c.producer), c.taken)
        << c.n << " from " << c.current << (c.hasPage ? "" : " without a page");
}

TEST(PreviewRulesTest, KeysAndTheirTargets) {
  const struct {
    std::uint16_t key;
    bool exactlyCtrl;
    QRPageKeyMove move;
    std::int32_t target;  // from page 3 of 5
  } cases[] = {
      {kKeyPageUp, false, QRPageKeyMove::Previous, 2}, {kKeyPageUp, true, QRPageKeyMove::First, 1},
      {kKeyPageDown, false, QRPageKeyMove::Next, 4},   {kKeyPageDown, true, QRPageKeyMove::Last, 5},
      {kKeyHome, false, QRPageKeyMove::First, 1},      {kKeyEnd, false, QRPageKeyMove::Last, 5},
      {kKeyHome, true, QRPageKeyMove::First, 1},       {kKeyEnd, true, QRPageKeyMove::Last, 5},
      {0x28, false, QRPageKeyMove::None, 3},  // arrow down: not a page key
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(PreviewKeyMove(c.key, c.exactlyCtrl), c.move);
    EXPECT_EQ(PreviewMoveTarget(c.move, 3, 5), c.target);
  }
}

TEST(PreviewRulesTest, PageStatus) {
  EXPECT_EQ(PreviewPageStatus(2, 5), "Page 2 of 5");
  EXPECT_EQ(PreviewPageStatus(1, 1), "Page 1 of 1");
}

TEST(PreviewRulesTest, ProgressPanelShowsStepsOfFiveAndClearsAtTheEnds) {
  QRProgressPanel panel;
  const struct {
    std::int32_t progress;
    std::optional<std::string> text;
  } steps[] = {{3, std::nullopt},
               {5, "5%"},
               {7, std::nullopt},
               {10, "10%"},
               {12, std::nullopt},
               {17, "17%"},
               {20, std::nullopt},
               {95, "95%"},
               {99, std::nullopt},
               {100, ""},
               {0, ""}};
  for (const auto& s : steps) EXPECT_EQ(panel.Update(s.progress), s.text) << s.progress;
}

TEST(PreviewRulesTest, ProgressFormMovesOnlyOnMultiplesOfFive) {
  const struct {
    std::int32_t progress;
    std::optional<std::string> info;
  } cases[] = {{3, std::nullopt},  {5, "5%  Completed"},     {10, "10%  Completed"},
               {11, std::nullopt}, {100, "100%  Completed"}, {0, "0%  Completed"}};
  for (const auto& c : cases) EXPECT_EQ(ProgressFormInfo(c.progress), c.info) << c.progress;
}

}  // namespace
}  // namespace report
