#include "report/printing/measures_win.h"

#include <gtest/gtest.h>

#include "report/printing/measures.h"

namespace report {
namespace {

// The test prefix runs the United States locale at the standard 96 dpi.
TEST(MeasuresWinTest, StartUpReadsTheLocalesMeasurementAndTheScreen) {
  DefaultInches = false;
  SetQRScreenDpi(50);
  InitReportMeasures();
  EXPECT_TRUE(DefaultInches);
  EXPECT_EQ(QRScreenDpi(), 96);
  TQRPage page;
  EXPECT_EQ(page.PaperSize(), TQRPaperSize::Letter);
  EXPECT_EQ(page.Units(), TQRUnit::Inches);
  DefaultInches = false;
}

}  // namespace
}  // namespace report
