// The report: a panel holding the page description, the bands and the
// printables placed on them, the report-level named expressions, the printer
// settings and the events; it generates its pages into a page producer, for
// the printer or for the page store a preview window shows.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report/layout/layout_producer.h"
#include "report/layout/layout_report.h"
#include "report/layout/qr_controllers.h"
#include "report/printing/measures.h"
#include "report/printing/printer_settings.h"
#include "report/printing/qr_printer.h"
#include "report/expressions/environment.h"

namespace report {

// The window a print run reports its progress to.
class QRProgressWindow {
 public:
  virtual ~QRProgressWindow() = default;
  virtual QRWindow Handle() const = 0;
};

// What the printer-setup dialog is opened with, and what it answers.
struct QRSetupRequest {
  std::int32_t PrinterIndex = -1;
  std::int32_t MinPage = 0, MaxPage = 9999;
  std::int32_t FromPage = 0, ToPage = 0;
  fw::TPrinterOrientation Orientation = fw::TPrinterOrientation::poPortrait;
  std::int32_t Copies = 1;
};
struct QRSetupAnswer {
  std::int32_t PrinterIndex = -1;
  fw::TPrinterOrientation Orientation = fw::TPrinterOrientation::poPortrait;
  std::int32_t Copies = 1;
  // False for all pages or the selection.
  bool PageRange = false;
  std::int32_t FromPage = 0, ToPage = 0;
};

// What a report needs of the application around it.
class QRReportHost {
 public:
  virtual ~QRReportHost() = default;
  virtual QRPrinterServices PrinterServices() = 0;
  // Lets pending messages through (once per record).
  virtual void ProcessMessages() = 0;
  // Waits for one message and handles it.
  virtual void HandleMessage() = 0;
  virtual bool Terminated() = 0;
  virtual bool JapaneseSystem() { return false; }
  virtual const DateTextConversion& DateConversion() = 0;
  // The progress window of a print run, shown when `show`.
  virtual std::unique_ptr<QRProgressWindow> OpenProgress(TQRPrinter& printer, bool show) = 0;
  // The preview window showing the producer lets go of it; the producer is freed next.
  virtual void DetachPreview(TQRPrinter& printer) = 0;
  // The print dialog; nothing when cancelled.
  virtual std::optional<QRSetupAnswer> PrinterSetupDialog(const QRSetupRequest& request) = 0;
  // Text extents in screen pixels; false when measuring fails.
  virtual bool MeasureText(const TQRFontDescription& font, const std::string& text, std::int32_t& width,
                           std::int32_t& height) = 0;
  // Where each byte of a text ends, in screen pixels from the text's start,
  // measured as MeasureText measures; false when measuring fails.
  virtual bool MeasureCharacterEnds(const TQRFontDescription& font, const std::string& text,
                                    std::vector<std::int32_t>& ends) = 0;
};

enum TQRReportOption : unsigned { FirstPageHeader = 1, LastPageFooter = 2, Compression = 4 };
using TQRReportOptions = unsigned;

class TCustomQRReport;
using TQRReportBeforePrintEvent = std::function<void(TCustomQRReport* sender, bool& printReport)>;
using TQRNotifyEvent = std::function<void(TCustomQRReport* sender)>;
using TQRReportEvent = std::function<void(fw::TComponent* sender)>;

class TCustomQRReport : public LayoutReport {
 public:
  TCustomQRReport(fw::TComponent* owner, QRReportHost& host);
  ~TCustomQRReport() override;

  // The report's window, set by the host that creates it; producers address it.
  QRWindow WindowHandle = 0;
  // A message for the report's window: QRM_PRINT or QRM_CLOSEPREVIEW (lParam: the producer).
  void HandleWindowMessage(std::uint32_t message, std::intptr_t lParam);

  TQRPage& Page() { return page_; }
  const TQRPage& Page() const { return page_; }
  TQRReportPrinterSettings PrinterSettings;
  TQRReportOptions Options = FirstPageHeader | LastPageFooter;
  std::string ReportTitle;
  std::vector<std::string> Description;
  bool ShowProgress = true;
  bool SnapToGrid = true;
  TQRReportBeforePrintEvent BeforePrint;
  TQRReportEvent AfterPrint;
  TQRReportEvent AfterPreview;
  TQRNotifyEvent OnStartPage;
  TQRNotifyEvent OnEndPage;
  TQRReportEvent OnPreview;

  // 1..300; other values are ignored.
  void SetZoom(int value) override;
  void SetUnits(TQRUnit units);
  void SetBounds(int left, int top, int width, int height) override;
  void Loaded();
  bool FinalPage() const { return finalPage_; }
  int ColumnTop() const { return columnTop_; }
  TQRPrinter* CurrentProducer() const { return producer_.get(); }

  std::int32_t MeasureTextHeight(const TQRFontDescription& font, const std::string& text);
  std::int32_t MeasureTextWidth(const TQRFontDescription& font, const std::string& text);
  // Where each byte of a text ends, in screen pixels; empty when measuring fails.
  std::vector<std::int32_t> MeasureCharacterEnds(const TQRFontDescription& font, const std::string& text);
  virtual void RegisterExpression(TQRPrintable* control);

  void Print();
  void Preview();
  void PrinterSetup();
  void CancelGeneration();
  virtual void RunGenerationPass();

  // QRMeasureReport
  std::int32_t FontPointSize() const override { return Font().Size; }
  void Repaint() override {}
  void SetPanelSize(std::int32_t width, std::int32_t height) override;
  void ReapplyUnits() override { SetUnits(page_.Units()); }

  // LayoutReport
  int CursorX() const override { return cursorX_; }
  int CursorY() const override { return cursorY_; }
  void SetCursorY(int value) override { cursorY_ = value; }
  int PageNo() const override { return pageNo_; }
  int ColumnNo() const override { return columnNo_; }
  void NextPage() override;
  void NextColumn() override;
  int SpaceLeft() const override;
  void ForcedPageBreak() override;
  void ForcedColumnBreak() override;
  long double PageLength() const override;
  long double BottomMargin() const override { return page_.NativeBottomMargin(); }
  long double FooterSpace() const override { return footerSpace_; }
  bool Generating() const override { return generating_; }
  bool Cancelled() const override { return cancelled_; }
  bool HeadPrinted() const override { return headPrinted_; }
  void SetHeadPrinted(bool value) override { headPrinted_ = value; }
  int DetailCount() override;
  TQREvEnvironment& Functions() override { return functions_; }
  LayoutProducer* Producer() const override;
  DataSets* ReportDataSets() override { return reportDataSets_.get(); }
  TQRCustomController* Controller() override { return controller_.get(); }
  bool IsQRReport() const override { return false; }
  DataSet* ReportDataSet() const override { return nullptr; }
  void ProcessMessages() override { host_.ProcessMessages(); }
  const DateTextConversion& DateConversion() const override { return host_.DateConversion(); }
  void OrderBands() override;
  void LayoutBands() override;
  const std::vector<TQRCustomBand*>& OrderedBands() const override { return orderedBands_; }
  void AddBand(TQRCustomBand* band) override;
  void RemoveBand(TQRCustomBand* band) override;
  TQRUnit Units() const override { return page_.Units(); }

 protected:
  virtual void RunDataLoop();
  virtual void BindBands() {}
  void ReplaceController(std::unique_ptr<TQRCustomController> controller);
  // Told of each column started after the first of a page, before its header prints.
  virtual void ColumnStarted() {}
  QRReportHost& host_;

 private:
  class ProducerView;
  class PassGuard;
  void FinishPage();
  void FreshProducer();
  void ApplyPrinterSettings(TQRPrinter& producer);
  // Detaches a preview still showing the producer, then frees it.
  void Release(std::unique_ptr<TQRPrinter>& producer);
  void ForEachPrintable(const std::function<void(TQRPrintable&)>& action);
  void RunPass();

  std::unique_ptr<TQRCustomController> controller_;
  TQREvEnvironment functions_;
  std::vector<TQRCustomBand*> orderedBands_;
  std::unique_ptr<DataSets> reportDataSets_;
  std::unique_ptr<TQRPrinter> producer_;
  // The producer a print run set aside (a preview's), put back when it ends.
  std::unique_ptr<TQRPrinter> setAside_;
  std::unique_ptr<ProducerView> producerView_;
  TQREvElement* pageNumber_ = nullptr;
  TQREvElement* columnNumber_ = nullptr;
  TQREvElement* reportTitle_ = nullptr;
  int cursorX_ = 0, cursorY_ = -1, columnTop_ = 0, pageNo_ = 0, columnNo_ = 0;
  long double footerSpace_ = 0;
  bool generating_ = false, cancelled_ = false, finalPage_ = false, headPrinted_ = false;
  bool firstColumnBreak_ = false;
  // The page tells the report of changes from its own constructor on: it
  // comes after every member its calls reach.
  TQRPage page_;
};

// The published report: a controller with a data set, and bands bound by type
// (detail, title as the header, summary as the footer).
class TQRReport : public TCustomQRReport {
 public:
  TQRReport(fw::TComponent* owner, QRReportHost& host);

  TQRController& ReportController() { return *controller_; }
  DataSet* GetDataSet() const { return controller_->GetDataSet(); }
  void SetDataSet(DataSet* dataSet) { controller_->SetDataSet(dataSet); }
  bool PrintIfEmpty() const { return controller_->PrintIfEmpty; }
  void SetPrintIfEmpty(bool value) { controller_->PrintIfEmpty = value; }
  TQROnNeedDataEvent OnNeedData;

  int DetailNo() const { return controller_->DetailNo; }
  int DetailCount() override;
  bool IsQRReport() const override { return true; }
  DataSet* ReportDataSet() const override { return controller_->GetDataSet(); }

 protected:
  void RunDataLoop() override;
  void BindBands() override;

 private:
  TQRController* controller_;
};

}  // namespace report
