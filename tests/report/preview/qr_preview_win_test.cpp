// The preview control on the test display, fed by a real producer that the
// test drives page by page, serving the window's messages between pages.
#include "report/preview/qr_preview_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/form.h"
#include "report/printing/printing_platform_win.h"
#include "report/printing/qr_printer.h"
#include "tests/support/screenshot.h"

namespace report {
namespace {

class PreviewWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<fw::TForm>(nullptr);
    form_->SetCaption("Preview test");
    form_->SetBounds(0, 0, 840, 640);
    preview_ = new TQRPreview(form_.get());
    preview_->SetParent(form_.get());
    preview_->SetAlign(fw::TAlign::alClient);
    preview_->OnPageAvailable = [this](fw::TComponent*, std::int32_t n) { available_.push_back(n); };
    preview_->OnProgressUpdate = [this](fw::TComponent*, std::int32_t p) { progress_.push_back(p); };
    form_->Show();
    producer_ = std::make_unique<TQRPrinter>(services_.Services());
    producer_->Title = "Preview test";
    producer_->OnAfterPreview = [this](TQRPrinter*) { ++afterPreview_; };
    Pump();
  }

  void TearDown() override {
    form_.reset();
    producer_.reset();
  }

  void Pump() { services_.Services().Messages.ProcessMessages(); }

  // Starts page n of the run, with "Page n" on it, then lets the window catch up.
  void DrawPage(int n) {
    producer_->NewPage();
    QRPageCanvas& canvas = producer_->Canvas();
    canvas.SetFont({"Arial", 24, 0, 0});
    canvas.SetTransparentText(true);
    canvas.TextOut(producer_->ToDeviceX(254), producer_->ToDeviceY(254), "Page " + std::to_string(n));
    Pump();
  }

  void RunPages(int pages) {
    producer_->BeginDoc();
    for (int i = 1; i <= pages; ++i) DrawPage(i);
    producer_->EndDoc();
    Pump();
  }

  void Screenshot(const std::string& name) {
    Pump();
    UpdateWindow(form_->Handle());
    const test_support::Pixels pixels = test_support::CaptureWindow(form_->Handle());
    EXPECT_TRUE(test_support::SaveBitmap(name, pixels)) << name;
  }

  Win32PrintingServices services_;
  std::unique_ptr<fw::TForm> form_;
  TQRPreview* preview_ = nullptr;
  std::unique_ptr<TQRPrinter> producer_;
  std::vector<std::int32_t> available_, progress_;
  int afterPreview_ = 0;
};

TEST_F(PreviewWinTest, ALiveRunShowsTheFirstPageZoomedToWidthAsSoonAsItIsStored) {
  preview_->SetProducer(producer_.get());
  EXPECT_TRUE(producer_->PreviewShown());
  EXPECT_EQ(producer_->ClientWindow, reinterpret_cast<QRWindow>(preview_->Handle()));
  EXPECT_EQ(preview_->ZoomState(), TQRZoomState::zmFixed);
  producer_->BeginDoc();
  DrawPage(1);
  EXPECT_FALSE(preview_->Image().HasPage()) << "page 1 is still being drawn";
  DrawPage(2);
  ASSERT_TRUE(preview_->Image().HasPage());
  EXPECT_EQ(preview_->PageNumber(), 1);
  EXPECT_EQ(preview_->ZoomState(), TQRZoomState::zmWidth);
  EXPECT_EQ(preview_->Zoom(), PreviewWidthZoom(producer_.get(), preview_->Width()));
  EXPECT_EQ(preview_->Image().Width(),
            producer_->ToDeviceWidth(producer_->PageWidth() * 0.01L * preview_->Zoom()) + 4);
  EXPECT_EQ(preview_->PagesAvailable(), 1);
  preview_->SetPageNumber(2);
  EXPECT_EQ(preview_->PageNumber(), 1) << "no move reaches the page being drawn";
  for (int i = 3; i <= 5; ++i) DrawPage(i);
  producer_->EndDoc();
  Pump();
  EXPECT_EQ(available_, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(preview_->PagesAvailable(), 5);
  Screenshot("report_preview_width.bmp");

  // The image is white with a black border and shadow.
  const test_support::Pixels image = test_support::CaptureWindow(preview_->Image().Handle());
  ASSERT_GT(image.width, 10);
  EXPECT_EQ(image.At(image.width / 2, 5), 0xFFFFFFu);
  EXPECT_EQ(image.At(0, 5), 0x000000u);
  EXPECT_EQ(image.At(image.width - 1, 5), 0x000000u);

  const struct {
    std::int32_t to;
    std::int32_t shown;
  } moves[] = {{5, 5}, {6, 5}, {0, 5}, {-1, 5}, {2, 2}, {1, 1}};
  for (const auto& m : moves) {
    preview_->SetPageNumber(m.to);
    EXPECT_EQ(preview_->PageNumber(), m.shown) << m.to;
    EXPECT_EQ(preview_->Image().PageNumber(), m.shown) << m.to;
    EXPECT_TRUE(preview_->Image().HasPage());
  }

  preview_->ZoomToFit();
  EXPECT_EQ(preview_->ZoomState(), TQRZoomState::zmFit);
  EXPECT_EQ(preview_->Zoom(), PreviewFitZoom(producer_.get(), preview_->Width(), preview_->Height()));
  EXPECT_LE(preview_->Image().Height(), preview_->Height());
  Screenshot("report_preview_fit.bmp");
}

TEST_F(PreviewWinTest, ZoomOutsideTwoToTwoThousandIsIgnored) {
  RunPages(1);
  preview_->SetProducer(producer_.get());
  const struct {
    std::int32_t zoom, shown;
  } cases[] = {{50, 50}, {1, 50}, {2, 2}, {2001, 2}, {2000, 2000}, {0, 2000}};
  for (const auto& c : cases) {
    preview_->SetZoom(c.zoom);
    EXPECT_EQ(preview_->Zoom(), c.shown) << c.zoom;
    EXPECT_EQ(preview_->Image().Zoom(), c.shown) << c.zoom;
  }
  EXPECT_EQ(preview_->ZoomState(), TQRZoomState::zmFixed);
  // A page without a size on the screen leaves the zoom as it is.
  producer_->SetPaperSize(TQRPaperSize::Default);
  if (producer_->PageWidth() == 0) {
    preview_->ZoomToWidth();
    EXPECT_EQ(preview_->Zoom(), 2000);
    preview_->ZoomToFit();
    EXPECT_EQ(preview_->Zoom(), 2000);
  }
}

TEST_F(PreviewWinTest, ResizingReappliesTheZoomMode) {
  RunPages(1);
  preview_->SetProducer(producer_.get());
  preview_->ZoomToWidth();
  const std::int32_t wide = preview_->Zoom();
  form_->SetBounds(0, 0, 500, 640);
  Pump();
  EXPECT_LT(preview_->Zoom(), wide);
  EXPECT_EQ(preview_->Zoom(), PreviewWidthZoom(producer_.get(), preview_->Width()));
  preview_->SetZoom(100);
  form_->SetBounds(0, 0, 840, 640);
  Pump();
  EXPECT_EQ(preview_->Zoom(), 100);
}

TEST_F(PreviewWinTest, ScrollingMovesTheImageAndAPageMoveScrollsBack) {
  RunPages(2);
  preview_->SetProducer(producer_.get());
  preview_->SetZoom(200);
  const int top = preview_->Image().Top();
  SendMessageA(preview_->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_LT(preview_->Image().Top(), top);
  SendMessageA(preview_->Handle(), WM_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_LT(preview_->Image().Left(), 0);
  preview_->SetPageNumber(2);
  EXPECT_EQ(preview_->Image().Top(), top);
}

TEST_F(PreviewWinTest, ProgressMessagesReachTheEvent) {
  preview_->SetProducer(producer_.get());
  producer_->BeginDoc();
  producer_->SetProgress(5);
  producer_->SetProgress(40);
  Pump();
  EXPECT_EQ(progress_, (std::vector<std::int32_t>{5, 40}));
  producer_->EndDoc();
}

TEST_F(PreviewWinTest, DetachingDuringTheRunCancelsItAndForgetsTheProducer) {
  preview_->SetProducer(producer_.get());
  producer_->BeginDoc();
  DrawPage(1);
  DrawPage(2);
  preview_->SetProducer(nullptr);
  EXPECT_TRUE(producer_->CancelRequested());
  EXPECT_FALSE(producer_->PreviewShown());
  EXPECT_EQ(producer_->ClientWindow, 0u);
  EXPECT_EQ(afterPreview_, 1);
  EXPECT_EQ(preview_->Producer(), nullptr);
  EXPECT_EQ(preview_->Image().Producer(), nullptr);
  EXPECT_FALSE(preview_->Image().HasPage());
  // The producer may now go before the window: the window never reaches it.
  producer_->EndDoc();
  producer_.reset();
  preview_->SetPageNumber(1);
  Pump();
  preview_->Repaint();
}

TEST_F(PreviewWinTest, DestroyingThePreviewDetachesItOnce) {
  RunPages(2);
  preview_->SetProducer(producer_.get());
  form_.reset();
  EXPECT_FALSE(producer_->PreviewShown());
  EXPECT_EQ(producer_->ClientWindow, 0u);
  EXPECT_EQ(afterPreview_, 1);
  EXPECT_FALSE(producer_->CancelRequested()) << "a finished run has nothing to cancel";
}

}  // namespace
}  // namespace report
