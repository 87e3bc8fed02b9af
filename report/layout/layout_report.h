// What bands, printables and controllers ask of the report they print into:
// the print position, page and column breaks, the room left, the pass state,
// the named expressions and the page producer. The report component
// implements it; tests implement it with a small page model.
#pragma once

#include <vector>

#include "report/data_set.h"
#include "report/layout/data_query.h"
#include "report/layout/qr_bands.h"
#include "report/qr_environment.h"

namespace report {

class TQRCustomController;

// Also what the report's measures ask of it (font size, layout, repaint).
class LayoutReport : public TQRBasePanel, public QRMeasureReport {
 public:
  explicit LayoutReport(fw::TComponent* owner) : TQRBasePanel(owner) {}

  // Print position in tenths of a millimetre; CursorY is -1 before the first page.
  virtual int CursorX() const = 0;
  virtual int CursorY() const = 0;
  virtual void SetCursorY(int value) = 0;
  virtual int PageNo() const = 0;
  virtual int ColumnNo() const = 0;
  // Implementations run these, and the finishing of a page (its footers),
  // inside a BreakScope.
  virtual void NextPage() = 0;
  virtual void NextColumn() = 0;
  virtual int SpaceLeft() const = 0;
  virtual void ForcedPageBreak() = 0;
  virtual void ForcedColumnBreak() = 0;
  // The page length that bottom-aligned bands and the room test measure from,
  // with the bottom margin and the room kept for the page footers (native).
  virtual long double PageLength() const = 0;
  virtual long double BottomMargin() const = 0;
  virtual long double FooterSpace() const = 0;

  virtual bool Generating() const = 0;
  virtual bool Cancelled() const = 0;
  virtual bool HeadPrinted() const = 0;
  virtual void SetHeadPrinted(bool value) = 0;
  virtual int DetailCount() = 0;
  virtual TQREvEnvironment& Functions() = 0;
  // The producer of the running pass; null at rest.
  virtual LayoutProducer* Producer() const = 0;
  // The data sets expressions may read in this pass; null when none is collected.
  virtual DataSets* ReportDataSets() = 0;
  virtual TQRCustomController* Controller() = 0;
  // A report with its own data set (not a bare custom report): its data loop
  // reports progress against that data set's records.
  virtual bool IsQRReport() const = 0;
  virtual DataSet* ReportDataSet() const = 0;
  virtual void ProcessMessages() = 0;
  virtual const DateTextConversion& DateConversion() const = 0;

  virtual void OrderBands() = 0;
  void LayoutBands() override = 0;
  virtual const std::vector<TQRCustomBand*>& OrderedBands() const = 0;
  virtual void AddBand(TQRCustomBand* band) = 0;
  virtual void RemoveBand(TQRCustomBand* band) = 0;
  virtual TQRUnit Units() const = 0;

  // The first band of the type in band order, or null.
  TQRCustomBand* BandOfType(TQRBandType type) const;

  // Band output, shared by every report.
  virtual void OutputBand(TQRCustomBand* band);
  long double NeededSpace(const TQRCustomBand& band, bool withLink) const;
  void MakeRoom(TQRCustomBand& band);

  // True while a page or column break prints its footers and headers: bands
  // printed then take no room test, no forced break and do not continue in
  // another column, so a header taller than a page cannot break for ever.
  bool InBreak() const { return breakDepth_ > 0; }
  // True from the end of a break until a band prints outside a break: room
  // tests pass here, as breaking again could not give more room.
  bool ColumnFresh() const { return columnFresh_; }
  void MarkColumnUsed() {
    if (!InBreak()) columnFresh_ = false;
  }

 protected:
  class BreakScope {
   public:
    explicit BreakScope(LayoutReport& report) : report_(report) { ++report_.breakDepth_; }
    ~BreakScope() {
      if (--report_.breakDepth_ == 0) report_.columnFresh_ = true;
    }
    BreakScope(const BreakScope&) = delete;
    BreakScope& operator=(const BreakScope&) = delete;

   private:
    LayoutReport& report_;
  };
  // At the start of a pass.
  void ResetBreakState() {
    breakDepth_ = 0;
    columnFresh_ = false;
  }

 private:
  int breakDepth_ = 0;
  bool columnFresh_ = false;
};

}  // namespace report
