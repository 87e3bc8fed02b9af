// The search results' report previewed by the real engine on the test
// display: the preview's status tells how far the run is through the entries.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/viewer/search_results_report.h"
#include "report/preview/qr_standard_preview_win.h"
#include "report/report/report_engine_win.h"

namespace {

using Report = report::WindowedReport<capture::TqrCaptureSearchResultsRpt>;

class SearchResultsPreview : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { report::StartReportEngine(); }
  static void TearDownTestSuite() { report::FinishReportEngine(); }
};

TEST_F(SearchResultsPreview, TheStatusFollowsTheShareOfEntriesPrinted) {
  std::vector<std::string> entries;
  for (int i = 0; i < 40; ++i) entries.push_back(std::to_string(3 * i + 1) + "     TOTAL " + std::to_string(i));
  std::vector<std::string> shown;
  bool previewed = false;
  {
    report::TQRStandardPreview* preview = nullptr;
    Report rpt(nullptr, report::ReportEngineHost(), "Search Results - journal.txt", entries);
    // Each entry's row is printed after the run has handled the progress
    // told when it was handed over.
    rpt->lblText->OnPrint = [&](report::TQRCustomLabel*, std::string& value) {
      report::TQRPrinter* producer = rpt->CurrentProducer();
      if (!preview && producer)
        preview = dynamic_cast<report::TQRStandardPreview*>(
            fw::TControl::FromHandle(reinterpret_cast<HWND>(producer->PreviewForm)));
      if (!preview) return;
      const std::string text = preview->PanelText(0);
      if (shown.empty() || shown.back() != text) shown.push_back(text);
      if (value == entries.back()) PostMessageA(preview->Handle(), WM_CLOSE, 0, 0);
    };
    rpt->Preview();
    previewed = preview != nullptr;
  }
  ASSERT_TRUE(previewed);
  // Entry 2 of 40 is 5 %; the panel moves in steps of 5.
  std::vector<std::string> expected{"0%"};
  for (int p = 5; p < 100; p += 5) expected.push_back(std::to_string(p) + "%");
  EXPECT_EQ(shown, expected);
}

}  // namespace
