// The report engine in a Windows program: what reports need of the
// application (real printers, the message loop, the progress and preview
// windows, the print dialog, text measured on the screen) and the engine's
// start-up and shut-down.
#pragma once

#include <windows.h>

#include <memory>

#include "report/report/qr_report.h"
#include "report/report/report_window_win.h"

namespace report {

class WinReportHost : public QRReportHost {
 public:
  WinReportHost();
  ~WinReportHost() override;

  QRPrinterServices PrinterServices() override;
  void ProcessMessages() override;
  void HandleMessage() override;
  bool Terminated() override;
  bool JapaneseSystem() override;
  const DateTextConversion& DateConversion() override;
  std::unique_ptr<QRProgressWindow> OpenProgress(TQRPrinter& printer, bool show) override;
  void DetachPreview(TQRPrinter& printer) override;
  std::optional<QRSetupAnswer> PrinterSetupDialog(const QRSetupRequest& request) override;
  bool MeasureText(const TQRFontDescription& font, const std::string& text, std::int32_t& width,
                   std::int32_t& height) override;
  bool MeasureCharacterEnds(const TQRFontDescription& font, const std::string& text,
                            std::vector<std::int32_t>& ends) override;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// Starts the engine once before the first report: the measures from the
// locale and screen, the standard preview, an empty export-filter registry
// and the host. The expressions start on their own, before this.
void StartReportEngine();
void FinishReportEngine();
// The host of the running engine; raises fw::Exception when not started.
QRReportHost& ReportEngineHost();

// A report with its window, for as long as this lives.
template <class Report>
class WindowedReport {
 public:
  template <class... Args>
  explicit WindowedReport(Args&&... args)
      : report_(std::make_unique<Report>(std::forward<Args>(args)...)), window_(*report_) {}
  Report& operator*() { return *report_; }
  Report* operator->() { return report_.get(); }

 private:
  // The window goes first: it clears the report's handle.
  std::unique_ptr<Report> report_;
  QRReportWindow window_;
};

}  // namespace report
