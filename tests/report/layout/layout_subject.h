// What the layout tables need of the report they run on. The page model
// implements it here; the report component implements it to run the same
// tables through a whole report.
#pragma once

#include <functional>

#include "report/layout/layout_report.h"
#include "report/layout/qr_controllers.h"

namespace report::testing {

class Trace;

class LayoutSubject {
 public:
  virtual ~LayoutSubject() = default;
  // The report bands are placed on; it also owns what a table row creates.
  virtual LayoutReport& Report() = 0;
  // The canvas the pass draws on, which also hears of every page and column start.
  virtual Trace& GetTrace() = 0;
  // Page length in tenths of a millimetre (600 wide, no margins) and columns.
  virtual void SetPageLength(int length) = 0;
  virtual void SetColumns(int columns) = 0;
  virtual TQRController& MainController() = 0;
  // The report's own data set: its controller's, and the one progress counts.
  virtual void SetReportDataSet(DataSet* dataSet) = 0;
  virtual void SetOnNeedData(TQROnNeedDataEvent event) = 0;
  // Called once per record while the data loop lets messages through.
  virtual void SetOnProcessMessages(std::function<void()> handler) = 0;
  // The preview window closing: the report's cancel and the producer's.
  virtual void Cancel() = 0;
  // The progress window's Cancel: the producer's only.
  virtual void RequestCancel() = 0;
  // One generation pass.
  virtual void Run() = 0;
};

}  // namespace report::testing
