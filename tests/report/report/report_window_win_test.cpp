// The report's hidden window and screen text measuring, on Windows.
#include "report/report/report_window_win.h"

#include <gtest/gtest.h>

#include "tests/report/report/report_test_support.h"

namespace report::testing {
namespace {

class ReportWindowTest : public LayoutTest {
 public:
  LayoutSubject& subject() override { return subject_; }
  void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  ReportSubject subject_;
};

TEST_F(ReportWindowTest, ClosingThePreviewThroughTheWindowReleasesTheProducer) {
  QRReportWindow window(subject_.report);
  ASSERT_NE(subject_.report.WindowHandle, 0u);
  AddBand(subject(), rbDetail, "D", 100);
  Feed(1);
  subject_.report.Preview();
  TQRPrinter* producer = subject_.report.CurrentProducer();
  ASSERT_NE(producer, nullptr);
  SendMessageA(window.Handle(), QRM_CLOSEPREVIEW, 0, reinterpret_cast<LPARAM>(producer));
  EXPECT_EQ(subject_.report.CurrentProducer(), nullptr);
  EXPECT_EQ(subject_.host.log, std::vector<std::string>({"detach"}));
}

TEST_F(ReportWindowTest, APostedPrintRunsAPrintPass) {
  QRReportWindow window(subject_.report);
  AddBand(subject(), rbDetail, "D", 100);
  Feed(1);
  PostMessageA(window.Handle(), QRM_PRINT, 0, 0);
  Pump();
  ASSERT_FALSE(subject_.host.printers.Log.empty());
  EXPECT_EQ(subject_.host.printers.Log.back(), "EndDoc");
}

TEST_F(ReportWindowTest, TheWindowGoesWithItsObject) {
  { QRReportWindow window(subject_.report); }
  EXPECT_EQ(subject_.report.WindowHandle, 0u);
}

TEST(QRScreenTextMeasurer, MeasuresOnTheScreenContext) {
  QRScreenTextMeasurer measurer;
  TQRFontDescription font;  // Arial 10
  std::int32_t oneWidth = 0, twoWidth = 0, height = 0, bigHeight = 0, width = 0;
  ASSERT_TRUE(measurer.Measure(font, "W", oneWidth, height));
  ASSERT_TRUE(measurer.Measure(font, "WW", twoWidth, height));
  EXPECT_GT(oneWidth, 0);
  EXPECT_GT(twoWidth, oneWidth);
  EXPECT_GT(height, 0);
  font.Size = 20;
  ASSERT_TRUE(measurer.Measure(font, "W", width, bigHeight));
  EXPECT_GT(bigHeight, height);
  font.Size = -13;  // pixels
  ASSERT_TRUE(measurer.Measure(font, "W", width, height));
  EXPECT_GE(height, 13);
  EXPECT_LE(height, 17);
}

}  // namespace
}  // namespace report::testing
