// A report run by the real engine on the test display: the preview window and
// the printing progress window follow the run, and the printer setup asks the
// system's print dialog what the report needs.
#include "report/report/report_engine_win.h"

#include <gtest/gtest.h>

#include <commdlg.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "report/preview/qr_progress_form_win.h"
#include "report/preview/qr_standard_preview_win.h"
#include "report/printing/print_dialog_win.h"
#include "tests/report/expressions/memory_data_set.h"
#include "tests/support/pdf_output.h"

namespace report {
namespace {

// Records whose cursor moves tell the test what the windows show meanwhile.
class WatchedDataSet : public testing::MemoryDataSet {
 public:
  explicit WatchedDataSet(int records) : MemoryDataSet("Lines", {{"Text", FieldKind::String}}) {
    for (int i = 0; i < records; ++i) AddRecord({std::string("line ") + std::to_string(i)});
    SetActive(true);
  }
  std::function<void()> OnNext;
  void Next() override {
    MemoryDataSet::Next();
    if (OnNext) OnNext();
  }
};

class ReportEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartReportEngine();
    report_ = std::make_unique<WindowedReport<TQRReport>>(nullptr, ReportEngineHost());
    auto* detail = new TQRBand(&**report_);
    detail->SetBandType(rbDetail);
    detail->SetParent(&**report_);
    QRUnitScope native(detail->Size(), TQRUnit::Native);
    detail->Size().SetHeight(100);
    (*report_)->SetDataSet(&lines_);
  }
  void TearDown() override {
    report_.reset();
    FinishReportEngine();
  }
  TQRReport& report() { return **report_; }

  static constexpr int kRecords = 40;
  WatchedDataSet lines_{kRecords};
  std::unique_ptr<WindowedReport<TQRReport>> report_;
};

TEST_F(ReportEngineTest, ThePreviewsStatusFollowsTheRun) {
  std::vector<std::string> shown;
  TQRStandardPreview* preview = nullptr;
  lines_.OnNext = [&] {
    TQRPrinter* producer = report().CurrentProducer();
    if (!preview && producer)
      preview = dynamic_cast<TQRStandardPreview*>(
          fw::TControl::FromHandle(reinterpret_cast<HWND>(producer->PreviewForm)));
    if (!preview) return;
    const std::string text = preview->PanelText(0);
    if (shown.empty() || shown.back() != text) shown.push_back(text);
    // Once the run is through, the window closes.
    if (lines_.Eof()) PostMessageA(preview->Handle(), WM_CLOSE, 0, 0);
  };
  report().Preview();
  ASSERT_NE(preview, nullptr);
  // Each message is handled at the next record: 5 % comes with record 2 of 40.
  std::vector<std::string> expected{"0%"};
  for (int p = 5; p < 100; p += 5) expected.push_back(std::to_string(p) + "%");
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(report().CurrentProducer(), nullptr);
}

TEST_F(ReportEngineTest, ThePrintingProgressWindowFollowsTheRun) {
  test_support::PdfOutput output;
  report().ReportTitle = test_support::PdfOutput::UniqueTitle("EngineProgress");
  std::vector<int> gauge;
  std::vector<std::string> lines;
  lines_.OnNext = [&] {
    auto* form =
        dynamic_cast<TQRProgressForm*>(fw::TControl::FromHandle(FindWindowA(nullptr, "Printing progress")));
    if (!form) return;
    if (gauge.empty() || gauge.back() != form->GaugePosition()) {
      gauge.push_back(form->GaugePosition());
      lines.push_back(form->Info().Caption());
    }
  };
  report().Print();
  output.WaitForPdf(report().ReportTitle);
  std::vector<int> expectedGauge{0};
  std::vector<std::string> expectedLines{""};
  for (int p = 5; p < 100; p += 5) {
    expectedGauge.push_back(p);
    expectedLines.push_back(std::to_string(p) + "%  Completed");
  }
  EXPECT_EQ(gauge, expectedGauge);
  EXPECT_EQ(lines, expectedLines);
}

// What the report's printer setup asks of the system's dialog; it answers cancel.
int dialogCalls = 0;
PRINTDLGA asked{};
BOOL WINAPI RecordingPrintDialog(PRINTDLGA* record) {
  ++dialogCalls;
  asked = *record;
  return FALSE;
}

TEST_F(ReportEngineTest, PrinterSetupOffersPageNumbersAndWarnsWithoutAPrinter) {
  dialogCalls = 0;
  SetSystemPrintDialog(RecordingPrintDialog);
  struct Restore {
    ~Restore() { SetSystemPrintDialog(nullptr); }
  } restore;
  report().Tag = 0;
  report().PrinterSetup();
  ASSERT_EQ(dialogCalls, 1);
  const DWORD asking = PD_NOWARNING | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE;
  EXPECT_EQ(asked.Flags & asking, static_cast<DWORD>(PD_NOSELECTION | PD_HIDEPRINTTOFILE));
  EXPECT_EQ(asked.nMinPage, 0);
  EXPECT_EQ(asked.nMaxPage, 9999);
  EXPECT_NE(asked.hwndOwner, nullptr);
  EXPECT_EQ(report().Tag, 1);
}

}  // namespace
}  // namespace report
