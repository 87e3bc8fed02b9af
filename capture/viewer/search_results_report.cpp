#include "capture/viewer/search_results_report.h"

namespace capture {

using namespace report;

namespace {

template <class Control>
Control* Place(TQRCustomBand* band, long double left, long double top, long double width,
               long double height) {
  auto* control = new Control(band->Owner());
  control->SetParent(band);
  QRUnitScope native(control->Size(), TQRUnit::Native);
  control->Size().SetLeft(left);
  control->Size().SetTop(top);
  control->Size().SetWidth(width);
  control->Size().SetHeight(height);
  return control;
}

TQRFontDescription Arial(std::int32_t size, unsigned style = 0) {
  TQRFontDescription font;
  font.Name = "Arial";
  font.Size = size;
  font.Style = style;
  return font;
}

// A label that wraps within its place and stretches its band to print whole.
void WrapWithin(TQRLabel* label) {
  label->SetAutoSize(false);
  label->SetWordWrap(true);
  label->SetAutoStretch(true);
}

// A label is at least one line of its font tall, whatever height it was
// placed with: its band grows to hold it, or the band below would cover it.
void HoldWhole(TQRBand* band, TQRLabel* label) {
  QRUnitScope native(band->Size(), TQRUnit::Native);
  const long double bottom = label->Size().NativeTop() + label->Size().NativeHeight();
  if (band->Size().NativeHeight() < bottom) band->Size().SetHeight(bottom);
}

}  // namespace

TqrCaptureSearchResultsRpt::TqrCaptureSearchResultsRpt(fw::TComponent* owner, QRReportHost& host,
                                                       const std::string& title,
                                                       const std::vector<std::string>& entries)
    : TQRReport(owner, host), entries_(entries) {
  TQRPage& page = Page();
  page.SetUnits(TQRUnit::Native);
  page.SetPaperSize(TQRPaperSize::Letter);
  page.SetOrientation(fw::TPrinterOrientation::poPortrait);
  page.SetTopMargin(127);
  page.SetBottomMargin(127);
  page.SetLeftMargin(76.2L);
  page.SetRightMargin(76.2L);
  page.SetColumns(1);
  Options = FirstPageHeader | LastPageFooter;
  SetPrintIfEmpty(true);
  // A negative size is a height in pixels.
  SetFont(Arial(-13));
  ReportTitle = title;
  const long double width = page.NativeWidth() - page.NativeLeftMargin() - page.NativeRightMargin();

  PageHeaderBand = new TQRBand(this);
  PageHeaderBand->SetBandType(rbPageHeader);
  PageHeaderBand->SetParent(this);
  {
    QRUnitScope pixels(PageHeaderBand->Size(), TQRUnit::Pixels);
    PageHeaderBand->Size().SetHeight(40);
  }
  auto* dateCaption = Place<TQRLabel>(PageHeaderBand, 0, 0, 120, 40);
  dateCaption->SetFont(Arial(10, qfsBold));
  dateCaption->SetCaption("Date:");
  auto* date = Place<TQRSysData>(PageHeaderBand, 130, 0, 600, 40);
  date->SetFont(Arial(10));
  date->SetData(TQRSysDataType::qrsDateTime);
  auto* pageCaption = Place<TQRLabel>(PageHeaderBand, width - 400, 0, 120, 40);
  pageCaption->SetFont(Arial(10, qfsBold));
  pageCaption->SetCaption("Page:");
  auto* pageNumber = Place<TQRSysData>(PageHeaderBand, width - 270, 0, 250, 40);
  pageNumber->SetFont(Arial(10));
  pageNumber->SetData(TQRSysDataType::qrsPageNumber);
  lblTitle = Place<TQRLabel>(PageHeaderBand, 0, 45, width, 60);
  WrapWithin(lblTitle);
  lblTitle->SetName("lblTitle");
  lblTitle->SetFont(Arial(18));
  lblTitle->SetAlignment(taCenter);
  lblTitle->SetCaption(title);
  HoldWhole(PageHeaderBand, lblTitle);

  DetailBand = new TQRBand(this);
  DetailBand->SetBandType(rbDetail);
  DetailBand->SetParent(this);
  {
    QRUnitScope pixels(DetailBand->Size(), TQRUnit::Pixels);
    DetailBand->Size().SetHeight(20);
  }
  lblText = Place<TQRLabel>(DetailBand, 0, 0, width, 40);
  WrapWithin(lblText);
  lblText->SetName("lblText");
  lblText->SetFont(Arial(10));
  HoldWhole(DetailBand, lblText);

  OrderBands();
  LayoutBands();
  SetUnits(TQRUnit::Inches);
  BeforePrint = [this](TCustomQRReport*, bool& printReport) {
    qrCaptureSearchResultsRptBeforePrint(printReport);
  };
  OnNeedData = [this](fw::TComponent*, bool& moreData) { Report1NeedData(moreData); };
}

void TqrCaptureSearchResultsRpt::qrCaptureSearchResultsRptBeforePrint(bool& printReport) {
  index_ = 0;
  printReport = !entries_.empty();
}

void TqrCaptureSearchResultsRpt::Report1NeedData(bool& moreData) {
  // The engine counts no rows it is handed one by one: the share of entries
  // printed so far is the run's progress, for the preview and the printing
  // progress window.
  if (index_ > 0 && !entries_.empty())
    if (report::LayoutProducer* producer = Producer())
      producer->SetProgress(static_cast<std::int32_t>(index_ * 100 / entries_.size()));
  // One row per entry, and the call after the last one ends the data.
  moreData = index_ < entries_.size();
  if (moreData) lblText->SetCaption(entries_[index_++]);
}

}  // namespace capture
