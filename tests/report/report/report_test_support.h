// A report on faked printing: the producer's pages draw onto one trace, the
// report's window gets what producers send and post, and the application's
// message loop hands out the posted messages one by one.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "report/report/qr_report.h"
#include "tests/report/printing/fake_printing.h"
#include "tests/report/layout/layout_test_support.h"

namespace report::testing {

// Pages at 254 dots per inch: one device pixel per tenth of a millimetre,
// all drawn on the trace.
class TracePageRecorder : public QRPageRecorder {
 public:
  explicit TracePageRecorder(Trace& trace) : trace_(trace) {}
  int Started = 0;
  std::int32_t ScreenPixelsPerInch() override { return 254; }
  std::unique_ptr<QRRecordingPage> StartPage(std::int32_t, std::int32_t) override {
    return std::make_unique<Page>(trace_, ++Started);
  }
  // Measures as the trace does; what is drawn on it goes nowhere.
  QRPageCanvas& MeasuringCanvas() override {
    measuring_.CharWidth = trace_.CharWidth;
    measuring_.LineHeight = trace_.LineHeight;
    return measuring_;
  }

 private:
  class Page : public QRRecordingPage {
   public:
    Page(Trace& trace, int number) : trace_(trace), number_(number) {}
    QRPageCanvas& Canvas() override { return trace_; }
    PageImage Finish() override {
      PageImage image = MetafileImage(1, 0);
      StoreInt32(&image[116], number_);
      return image;
    }

   private:
    Trace& trace_;
    int number_;
  };
  Trace& trace_;
  RecordingCanvas measuring_;
};

class TestReportHost : public QRReportHost, public QRMessageQueue {
 public:
  TestReportHost() : recorder(trace) {}

  Trace trace;
  TracePageRecorder recorder;
  FakePrinterFactory printers;
  MemoryFiles files;
  FixedClock clock;
  IsoDates dates;
  TCustomQRReport* report = nullptr;
  std::deque<PostedMessage> posted;
  std::vector<std::string> log;
  bool terminated = false;
  std::function<void()> OnProcessMessages;
  // What the preview and print dialog do, when set.
  std::function<void(TQRPrinter&)> OnPreviewShown;
  std::optional<QRSetupAnswer> setupAnswer;
  QRSetupRequest lastSetup;
  // Every text measures 10 pixels a byte wide and this high.
  std::int32_t textHeight = 12;
  // The bytes of every text measured, for what a layout costs.
  std::size_t MeasuredBytes = 0;

  QRPrinterServices PrinterServices() override { return {printers, recorder, *this, files, clock}; }
  void ProcessMessages() override {
    if (OnProcessMessages) OnProcessMessages();
  }
  void HandleMessage() override {
    if (posted.empty()) {
      // Nothing more will come: as the user closing the preview.
      if (report && report->CurrentProducer()) report->CurrentProducer()->ClosePreview();
      return;
    }
    PostedMessage message = posted.front();
    posted.pop_front();
    Deliver(message);
  }
  bool Terminated() override { return terminated; }
  const DateTextConversion& DateConversion() override { return dates; }
  std::unique_ptr<QRProgressWindow> OpenProgress(TQRPrinter&, bool show) override {
    log.push_back(show ? "progress shown" : "progress hidden");
    return std::make_unique<Progress>();
  }
  void DetachPreview(TQRPrinter& printer) override {
    log.push_back("detach");
    printer.SetPreviewShown(false);
  }
  std::optional<QRSetupAnswer> PrinterSetupDialog(const QRSetupRequest& request) override {
    lastSetup = request;
    return setupAnswer;
  }
  bool MeasureText(const TQRFontDescription&, const std::string& text, std::int32_t& width,
                   std::int32_t& height) override {
    MeasuredBytes += text.size();
    width = static_cast<std::int32_t>(text.size()) * 10;
    height = textHeight;
    return true;
  }
  bool MeasureCharacterEnds(const TQRFontDescription&, const std::string& text,
                            std::vector<std::int32_t>& ends) override {
    MeasuredBytes += text.size();
    ends.clear();
    for (std::size_t i = 1; i <= text.size(); ++i) ends.push_back(static_cast<std::int32_t>(i) * 10);
    return true;
  }

  // QRMessageQueue
  void Post(QRWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    posted.push_back({window, message, wParam, lParam, false});
  }
  void Send(QRWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    Deliver({window, message, wParam, lParam, true});
  }

 private:
  class Progress : public QRProgressWindow {
   public:
    QRWindow Handle() const override { return 77; }
  };
  void Deliver(const PostedMessage& message) {
    if (report && message.window == report->WindowHandle)
      report->HandleWindowMessage(message.message, message.lParam);
  }
};

// The report the tables run on: pages and columns show in the trace like the
// page model's.
class TracedReport : public TQRReport {
 public:
  TracedReport(TestReportHost& host) : TQRReport(nullptr, host), host_(host) {
    WindowHandle = 42;
    host.report = this;
    OnStartPage = [this](TCustomQRReport*) { host_.trace.Add("P" + std::to_string(PageNo())); };
  }

 protected:
  void ColumnStarted() override { host_.trace.Add("C" + std::to_string(ColumnNo())); }

 private:
  TestReportHost& host_;
};

class ReportSubject : public LayoutSubject {
 public:
  ReportSubject() : report(host) {
    report.Page().SetUnits(TQRUnit::Native);
    report.Page().SetPaperSize(TQRPaperSize::Custom);
    report.Page().SetWidth(600);
    report.Page().SetLength(1000);
    report.Page().SetTopMargin(0);
    report.Page().SetBottomMargin(0);
    report.Page().SetLeftMargin(0);
    report.Page().SetRightMargin(0);
    report.Page().SetColumnSpace(0);
    report.Page().SetColumns(1);
  }
  TestReportHost host;
  TracedReport report;

  LayoutReport& Report() override { return report; }
  Trace& GetTrace() override { return host.trace; }
  void SetPageLength(int length) override { report.Page().SetLength(length); }
  void SetColumns(int columns) override { report.Page().SetColumns(columns); }
  TQRController& MainController() override { return report.ReportController(); }
  void SetReportDataSet(DataSet* dataSet) override { report.SetDataSet(dataSet); }
  void SetOnNeedData(TQROnNeedDataEvent event) override { report.OnNeedData = std::move(event); }
  void SetOnProcessMessages(std::function<void()> handler) override {
    host.OnProcessMessages = std::move(handler);
  }
  void Cancel() override { report.CancelGeneration(); }
  void RequestCancel() override {
    if (report.CurrentProducer()) report.CurrentProducer()->Cancel();
  }
  // The pass of a preview, its window opening nothing.
  void Run() override { report.Preview(); }
};

}  // namespace report::testing
