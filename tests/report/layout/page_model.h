// A small page model that plays the report for layout tests: page length,
// margins and columns, the page and column operations bands and controllers
// call, and one generation pass. Every page and column start and every
// rectangle drawn is written to one trace, where band backgrounds and
// printables show under the names given to their colours.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/exceptions.h"
#include "report/layout/layout_report.h"
#include "report/layout/qr_controllers.h"
#include "report/layout/qr_printable.h"
#include "report/expressions/environment.h"
#include "tests/report/layout/layout_subject.h"
#include "tests/report/printing/recording_canvas.h"

namespace report::testing {

// Reads dates as "YYYY-MM-DD" and times as "HH:MM", in days.
class IsoDates : public DateTextConversion {
 public:
  double StrToDate(std::string_view text) const override;
  double StrToTime(std::string_view text) const override;
  double StrToDateTime(std::string_view text) const override;
};

// A recording canvas that also writes each fill, under the name given to its
// colour, into one trace with the page and column starts.
class Trace : public RecordingCanvas {
 public:
  void Name(TColor color, std::string name) { names_[color] = std::move(name); }
  void Add(std::string entry) { entries_.push_back(std::move(entry)); }
  void FillRect(const QRRect& rect) override;
  // The entries joined by blanks.
  std::string Text() const;
  const std::vector<std::string>& Entries() const { return entries_; }
  void Clear() {
    entries_.clear();
    Operations.clear();
  }

 private:
  std::map<TColor, std::string> names_;
  std::vector<std::string> entries_;
};

class PageModel : public LayoutReport, public LayoutProducer, public LayoutSubject {
 public:
  explicit PageModel(fw::TComponent* owner = nullptr);
  ~PageModel() override;

  // The page, native units.
  int PageLengthValue = 1000;
  int PageWidthValue = 600;
  int TopMargin = 0, BottomMargin_ = 0, LeftMargin = 0, RightMargin = 0;
  int Columns = 1;
  int ColumnSpace = 0;
  bool FirstPageHeader = true;
  bool LastPageFooter = true;
  TQROnNeedDataEvent OnNeedData;
  DataSet* ReportDataSetValue = nullptr;
  // Raised once per record by the data loop.
  std::function<void()> OnProcessMessages;
  // Raised with the number of each page started.
  std::function<void(int)> OnNewPage;

  Trace trace;
  // Device pixels per native unit, and the unprintable offsets (native).
  long double PixelsX = 1, PixelsY = 1;
  int LeftOffset = 0, TopOffset = 0;
  int Progress = -1;
  TQRController& controller() { return *controller_; }

  // LayoutSubject
  LayoutReport& Report() override { return *this; }
  Trace& GetTrace() override { return trace; }
  void SetPageLength(int length) override { PageLengthValue = length; }
  void SetColumns(int columns) override { Columns = columns; }
  TQRController& MainController() override { return *controller_; }
  void SetReportDataSet(DataSet* dataSet) override {
    controller_->SetDataSet(dataSet);
    ReportDataSetValue = dataSet;
  }
  void SetOnNeedData(TQROnNeedDataEvent event) override { OnNeedData = std::move(event); }
  void SetOnProcessMessages(std::function<void()> handler) override {
    OnProcessMessages = std::move(handler);
  }
  void Run() override;
  void Cancel() override {
    cancelled_ = true;
    cancelRequested_ = true;
  }
  void RequestCancel() override { cancelRequested_ = true; }

  // LayoutProducer
  QRPageCanvas& Canvas() override { return trace; }
  std::int32_t ToDeviceX(long double x) const override { return QRRound((x - LeftOffset) * PixelsX); }
  std::int32_t ToDeviceY(long double y) const override { return QRRound((y - TopOffset) * PixelsY); }
  long double PixelsPerUnitX() const override { return PixelsX; }
  long double PixelsPerUnitY() const override { return PixelsY; }
  bool CancelRequested() const override { return cancelRequested_; }
  void SetProgress(std::int32_t percent) override { Progress = percent; }

  // QRMeasureReport
  std::int32_t FontPointSize() const override { return 10; }
  void Repaint() override {}
  void SetPanelSize(std::int32_t, std::int32_t) override {}
  void ReapplyUnits() override {}

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
  long double PageLength() const override { return PageLengthValue; }
  long double BottomMargin() const override { return BottomMargin_; }
  long double FooterSpace() const override { return footerSpace_; }
  bool Generating() const override { return generating_; }
  bool Cancelled() const override { return cancelled_; }
  bool HeadPrinted() const override { return headPrinted_; }
  void SetHeadPrinted(bool value) override { headPrinted_ = value; }
  int DetailCount() override;
  TQREvEnvironment& Functions() override { return functions_; }
  LayoutProducer* Producer() const override { return generating_ ? const_cast<PageModel*>(this) : nullptr; }
  DataSets* ReportDataSets() override { return reportDataSets_.get(); }
  TQRCustomController* Controller() override { return controller_.get(); }
  bool IsQRReport() const override { return true; }
  DataSet* ReportDataSet() const override { return ReportDataSetValue; }
  void ProcessMessages() override {
    if (OnProcessMessages) OnProcessMessages();
  }
  const DateTextConversion& DateConversion() const override { return dates_; }
  void OrderBands() override;
  void LayoutBands() override;
  const std::vector<TQRCustomBand*>& OrderedBands() const override { return bands_; }
  void AddBand(TQRCustomBand* band) override;
  void RemoveBand(TQRCustomBand* band) override;
  TQRUnit Units() const override { return TQRUnit::Native; }

 private:
  void FinishPage();
  void BindBands();
  void ForEachPrintable(const std::function<void(TQRPrintable&)>& action);

  std::unique_ptr<TQRController> controller_;
  TQREvEnvironment functions_;
  std::unique_ptr<DataSets> reportDataSets_;
  std::vector<TQRCustomBand*> bands_;
  IsoDates dates_;
  int cursorX_ = 0, cursorY_ = -1, columnTop_ = 0, pageNo_ = 0, columnNo_ = 0;
  long double footerSpace_ = 0;
  bool generating_ = false, cancelled_ = false, headPrinted_ = false, finalPage_ = false;
  bool firstColumnBreak_ = false;
  bool cancelRequested_ = false;
};

// A colour no other band or child of the process has had, so the trace can name it.
inline TColor NextBandColour() {
  static TColor next = 0x100;
  return ++next;
}

// A band of the given class and type on the model, `height` native high, with
// its own colour so that the trace names it.
template <class Band = TQRBand>
Band* AddBand(LayoutSubject& subject, TQRBandType type, const std::string& name, int height) {
  LayoutReport& report = subject.Report();
  auto* band = new Band(&report);
  if constexpr (std::is_same_v<Band, TQRBand>) band->SetBandType(type);
  band->SetName(name);
  band->SetParent(&report);
  band->SetUnits(TQRUnit::Native);
  band->Size().SetHeight(height);
  band->SetColor(NextBandColour());
  subject.GetTrace().Name(band->Color(), name);
  return band;
}

// A text of `lines` lines, each `lineHeight` native high, that stretches its
// band and continues in the next column when the band can grow no more. On a
// fresh column it prints at least one line, cut by the page if need be. Each
// printed line shows in the trace as name.index@top.
class StretchText : public TQRPrintable {
 public:
  StretchText(fw::TComponent* owner, Trace& trace, std::string name, int lines, int lineHeight);
  int LinesPrinted() const { return lineIndex_; }
  // Called after each line printed, with its index.
  std::function<void(int)> OnLine;

 protected:
  void Print(int offsetX, int offsetY) override;

 private:
  Trace& trace_;
  std::string name_;
  int lines_;
  int lineHeight_;
  int lineIndex_ = 0;
};

}  // namespace report::testing
