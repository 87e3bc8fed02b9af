// The progress window watching a real run to the PDF test printer.
#include "report/preview/qr_progress_form_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/printing/printing_platform_win.h"
#include "tests/support/pdf_output.h"
#include "tests/support/screenshot.h"

namespace report {
namespace {

class ProgressFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TQRProgressForm>(nullptr);
    producer_ = std::make_unique<TQRPrinter>(services_.Services());
    form_->QRPrinter = producer_.get();
    producer_->ClientWindow = reinterpret_cast<QRWindow>(form_->Handle());
    form_->Show();
    Pump();
  }
  void TearDown() override {
    form_.reset();
    producer_.reset();
  }
  void Pump() { services_.Services().Messages.ProcessMessages(); }

  Win32PrintingServices services_;
  std::unique_ptr<TQRProgressForm> form_;
  std::unique_ptr<TQRPrinter> producer_;
};

TEST_F(ProgressFormTest, TheWindow) {
  EXPECT_EQ(form_->Caption(), "Printing progress");
  EXPECT_EQ(form_->ClientWidth(), 149);
  EXPECT_EQ(form_->ClientHeight(), 97);
  EXPECT_TRUE(GetWindowLongA(form_->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(form_->CancelButton().Caption(), "Cancel");
  EXPECT_EQ(form_->GaugePosition(), 0);
}

TEST_F(ProgressFormTest, TheGaugeAndTheLineMoveInStepsOfFive) {
  const struct {
    int progress;
    int gauge;
    const char* info;
  } steps[] = {{3, 0, ""},
               {5, 5, "5%  Completed"},
               {7, 5, "5%  Completed"},
               {10, 10, "10%  Completed"},
               // A run that passes a multiple of five without landing on it
               // still moves to it.
               {13, 10, "10%  Completed"},
               {27, 25, "25%  Completed"},
               {100, 100, "100%  Completed"}};
  for (const auto& s : steps) {
    producer_->SetProgress(s.progress);
    Pump();
    EXPECT_EQ(form_->GaugePosition(), s.gauge) << s.progress;
    EXPECT_EQ(form_->Info().Caption(), s.info) << s.progress;
  }
}

TEST_F(ProgressFormTest, APrinterRunMovesInStepsOfFiveAndCancelStopsIt) {
  test_support::PdfOutput output;
  ASSERT_TRUE(producer_->PrinterAvailable());
  producer_->Destination = TQRDestination::qdPrinter;
  producer_->Title = test_support::PdfOutput::UniqueTitle("Progress");
  constexpr int kPages = 20;
  std::vector<int> gauge;
  producer_->BeginDoc();
  int printed = 0;
  for (int i = 1; i <= kPages && !producer_->CancelRequested(); ++i) {
    producer_->NewPage();
    QRPageCanvas& canvas = producer_->Canvas();
    canvas.SetFont({"Arial", 12, 0, 0});
    canvas.TextOut(producer_->ToDeviceX(254), producer_->ToDeviceY(254), "Page " + std::to_string(i));
    printed = i;
    producer_->SetProgress(i * 100 / kPages);
    Pump();
    gauge.push_back(form_->GaugePosition());
    if (i == 8) {
      test_support::SaveBitmap("report_progress_form.bmp", test_support::CaptureWindow(form_->Handle()));
      SendMessageA(form_->CancelButton().Handle(), BM_CLICK, 0, 0);
      Pump();
    }
  }
  producer_->EndDoc();
  EXPECT_TRUE(producer_->CancelRequested());
  EXPECT_EQ(printed, 8);
  EXPECT_EQ(gauge, (std::vector<int>{5, 10, 15, 20, 25, 30, 35, 40}));
  EXPECT_EQ(form_->Info().Caption(), "40%  Completed");
  const std::string pdf = output.WaitForPdf(producer_->Title);
  EXPECT_EQ(test_support::PdfPageCount(output.Info(pdf)), 8);
}

}  // namespace
}  // namespace report
