// The printout of a search's matching lines: a page header with the date and
// time, the page number and the title, then one row per matching line, each
// wrapped within its row so that long journal lines print whole.
#pragma once

#include <string>
#include <vector>

#include "report/controls/qr_controls.h"
#include "report/report/qr_report.h"

namespace capture {

class TqrCaptureSearchResultsRpt : public report::TQRReport {
 public:
  // The entries are the results window's list, read while the report runs.
  TqrCaptureSearchResultsRpt(fw::TComponent* owner, report::QRReportHost& host, const std::string& title,
                             const std::vector<std::string>& entries);

  report::TQRLabel* lblTitle = nullptr;
  report::TQRLabel* lblText = nullptr;
  report::TQRBand* PageHeaderBand = nullptr;
  report::TQRBand* DetailBand = nullptr;

 private:
  void qrCaptureSearchResultsRptBeforePrint(bool& printReport);
  void Report1NeedData(bool& moreData);

  const std::vector<std::string>& entries_;
  std::size_t index_ = 0;
};

}  // namespace capture
