#include "tests/report/layout/page_model.h"

#include <algorithm>
#include <cstdio>

namespace report::testing {

namespace {

int ReadNumber(std::string_view text, std::size_t& at, std::size_t digits) {
  if (at + digits > text.size()) throw fw::EConvertError("'" + std::string(text) + "' is not a valid date");
  int value = 0;
  for (std::size_t i = 0; i < digits; ++i, ++at) {
    const char c = text[at];
    if (c < '0' || c > '9') throw fw::EConvertError("'" + std::string(text) + "' is not a valid date");
    value = value * 10 + (c - '0');
  }
  return value;
}

void Expect(std::string_view text, std::size_t& at, char c) {
  if (at >= text.size() || text[at] != c)
    throw fw::EConvertError("'" + std::string(text) + "' is not a valid date");
  ++at;
}

// Days from 30 December 1899 (civil calendar arithmetic).
double DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097.0 + doe - 719468.0 + 25569.0;
}

}  // namespace

double IsoDates::StrToDate(std::string_view text) const {
  std::size_t at = 0;
  const int y = ReadNumber(text, at, 4);
  Expect(text, at, '-');
  const int m = ReadNumber(text, at, 2);
  Expect(text, at, '-');
  const int d = ReadNumber(text, at, 2);
  if (at != text.size() || m < 1 || m > 12 || d < 1 || d > 31)
    throw fw::EConvertError("'" + std::string(text) + "' is not a valid date");
  return DaysFromCivil(y, m, d);
}

double IsoDates::StrToTime(std::string_view text) const {
  std::size_t at = 0;
  const int h = ReadNumber(text, at, 2);
  Expect(text, at, ':');
  const int m = ReadNumber(text, at, 2);
  if (at != text.size() || h > 23 || m > 59)
    throw fw::EConvertError("'" + std::string(text) + "' is not a valid time");
  return (h * 60 + m) / 1440.0;
}

double IsoDates::StrToDateTime(std::string_view text) const {
  const std::size_t blank = text.find(' ');
  if (blank == std::string_view::npos) return StrToDate(text);
  return StrToDate(text.substr(0, blank)) + StrToTime(text.substr(blank + 1));
}

void Trace::FillRect(const QRRect& rect) {
  RecordingCanvas::FillRect(rect);
  auto found = names_.find(Brush().Color);
  std::string name = found != names_.end() ? found->second : "#" + std::to_string(Brush().Color);
  if (rect.Left != 0)
    Add(name + "@" + std::to_string(rect.Left) + "," + std::to_string(rect.Top));
  else
    Add(name + "@" + std::to_string(rect.Top));
}

std::string Trace::Text() const {
  std::string text;
  for (const std::string& entry : entries_) {
    if (!text.empty()) text += ' ';
    text += entry;
  }
  return text;
}

// ---------------------------------------------------------------- model

PageModel::PageModel(fw::TComponent* owner)
    : LayoutReport(owner), controller_(std::make_unique<TQRController>(this)) {
  controller_->Report = this;
  controller_->EventSender = this;
  functions_.AddEntry("PAGENUMBER", "0");
  functions_.AddEntry("COLUMNNUMBER", "0");
}

PageModel::~PageModel() {
  MarkDestroying();
  // Bands owned elsewhere must not call back into a half-destroyed model.
  for (TQRCustomBand* band : std::vector<TQRCustomBand*>(bands_)) band->SetParent(nullptr);
  DestroyComponents();
}

void PageModel::AddBand(TQRCustomBand* band) {
  if (std::find(bands_.begin(), bands_.end(), band) == bands_.end()) bands_.push_back(band);
}

void PageModel::RemoveBand(TQRCustomBand* band) {
  bands_.erase(std::remove(bands_.begin(), bands_.end(), band), bands_.end());
}

void PageModel::BindBands() {
  controller_->SetDetailBand(BandOfType(rbDetail));
  controller_->SetHeaderBand(BandOfType(rbTitle));
  controller_->SetFooterBand(BandOfType(rbSummary));
}

void PageModel::OrderBands() {
  if (Loading()) return;
  BindBands();
  controller_->Collect();
  std::vector<TQRCustomBand*> order;
  auto addType = [&](TQRBandType type) {
    for (TQRCustomBand* band : bands_)
      if (band->BandType() == type && !band->Destroying()) AppendWithChildren(order, band);
  };
  addType(rbPageHeader);
  addType(rbTitle);
  addType(rbColumnHeader);
  std::vector<TQRCustomBand*> listed;
  controller_->ListBands(listed);
  for (TQRCustomBand* band : listed)
    if (!band->Destroying()) AppendWithChildren(order, band);
  addType(rbPageFooter);
  for (TQRCustomBand* band : bands_)
    if (!band->Destroying() && std::find(order.begin(), order.end(), band) == order.end())
      order.push_back(band);
  bands_ = order;
}

void PageModel::LayoutBands() {
  if (Loading() || Destroying()) return;
  const int side = LeftMargin + RightMargin;
  const int columnWidth = (PageWidthValue - side - ColumnSpace * (Columns - 1)) / Columns;
  for (TQRCustomBand* band : bands_) {
    band->InLayout = true;
    const TQRBandType type = EffectiveBandType(*band);
    const bool wide = type == rbTitle || type == rbPageHeader || type == rbPageFooter || type == rbSummary ||
                      type == rbOverlay;
    SetNativeWidth(band->Size(), wide ? PageWidthValue - side : columnWidth);
    band->InLayout = false;
  }
}

int PageModel::DetailCount() {
  if (!ReportDataSetValue || !ReportDataSetValue->Active()) return 1;
  try {
    return ReportDataSetValue->RecordCount();
  } catch (...) {
    return 1;
  }
}

void PageModel::ForEachPrintable(const std::function<void(TQRPrintable&)>& action) {
  std::function<void(TQRControl&)> walk = [&](TQRControl& control) {
    for (TQRControl* child : control.Controls()) {
      if (auto* printable = dynamic_cast<TQRPrintable*>(child)) action(*printable);
      walk(*child);
    }
  };
  walk(*this);
}

void PageModel::Run() {
  generating_ = true;
  cancelled_ = false;
  cancelRequested_ = false;
  finalPage_ = false;
  headPrinted_ = false;
  firstColumnBreak_ = false;
  ResetBreakState();
  reportDataSets_ = std::make_unique<DataSets>();
  // As the data sets of the report's form are.
  if (ReportDataSetValue) reportDataSets_->push_back(ReportDataSetValue);
  cursorY_ = -1;
  pageNo_ = 0;
  columnNo_ = Columns;
  footerSpace_ = 0;
  for (TQRCustomBand* band : bands_)
    if (band->BandType() == rbPageFooter && band->Enabled())
      for (TQRCustomBand* part = band; part; part = part->ChildBand()) footerSpace_ += part->NativeHeight();
  for (TQRCustomBand* band : bands_) band->AttachReport(this);
  cursorX_ = LeftMargin;
  OrderBands();
  controller_->OnNeedData = OnNeedData;
  controller_->Collect();
  functions_.SetDataSetList(reportDataSets_.get());
  functions_.Prepare();
  controller_->PrepareParts();
  ForEachPrintable([](TQRPrintable& printable) { printable.PrintPrepare(); });
  try {
    controller_->RunLoop();
    cursorX_ = LeftMargin;
    finalPage_ = true;
    if (!cancelled_) FinishPage();
  } catch (...) {
    ForEachPrintable([](TQRPrintable& printable) { printable.PrintUnprepare(); });
    controller_->UnprepareParts();
    functions_.Unprepare();
    reportDataSets_.reset();
    generating_ = false;
    throw;
  }
  ForEachPrintable([](TQRPrintable& printable) { printable.PrintUnprepare(); });
  controller_->UnprepareParts();
  functions_.Unprepare();
  reportDataSets_.reset();
  generating_ = false;
}

void PageModel::FinishPage() {
  if (pageNo_ == 0) return;
  BreakScope inBreak(*this);
  cursorY_ = QRRound(PageLengthValue - BottomMargin_ - footerSpace_);
  if (!(finalPage_ && !LastPageFooter)) OutputBand(BandOfType(rbPageFooter));
  for (TQRControl* child : Controls())
    if (auto* printable = dynamic_cast<TQRPrintable*>(child)) printable->PrintAt(0, 0);
}

void PageModel::NextPage() {
  BreakScope inBreak(*this);
  FinishPage();
  ++pageNo_;
  TQREvEnvironment::SetInteger(functions_.FirstElement("PAGENUMBER"), pageNo_);
  trace.Add("P" + std::to_string(pageNo_));
  if (OnNewPage) OnNewPage(pageNo_);
  cursorY_ = TopMargin;
  if (pageNo_ > 1 || FirstPageHeader) OutputBand(BandOfType(rbPageHeader));
  columnTop_ = cursorY_;
  if (pageNo_ == 1)
    if (TQRCustomBand* title = BandOfType(rbTitle)) columnTop_ += QRRound(title->NativeHeight());
}

void PageModel::NextColumn() {
  BreakScope inBreak(*this);
  if (columnNo_ == Columns) {
    columnNo_ = 1;
    cursorX_ = LeftMargin;
    NextPage();
  } else {
    TQRCustomBand* detail = BandOfType(rbDetail);
    const int step =
        detail ? QRRound(detail->Size().NativeWidth())
               : (PageWidthValue - LeftMargin - RightMargin - ColumnSpace * (Columns - 1)) / Columns;
    cursorX_ += step + ColumnSpace;
    cursorY_ = columnTop_;
    ++columnNo_;
    trace.Add("C" + std::to_string(columnNo_));
  }
  TQREvEnvironment::SetInteger(functions_.FirstElement("COLUMNNUMBER"), columnNo_);
  if (!(columnNo_ == 1 && pageNo_ == 1)) {
    OutputBand(BandOfType(rbColumnHeader));
    controller_->ReprintGroups();
  }
}

int PageModel::SpaceLeft() const {
  if (!generating_ || cursorY_ == -1) return 0;
  return QRRound(PageLengthValue - BottomMargin_ - footerSpace_ - cursorY_);
}

void PageModel::ForcedPageBreak() {
  if (!generating_) return;
  if (headPrinted_) {
    headPrinted_ = false;
    return;
  }
  do NextColumn();
  while (columnNo_ != 1);
}

void PageModel::ForcedColumnBreak() {
  if (!generating_) return;
  if (firstColumnBreak_ || columnNo_ > 1)
    NextColumn();
  else
    firstColumnBreak_ = true;
}

// ---------------------------------------------------------------- stretching text

StretchText::StretchText(fw::TComponent* owner, Trace& trace, std::string name, int lines, int lineHeight)
    : TQRPrintable(owner), trace_(trace), name_(std::move(name)), lines_(lines), lineHeight_(lineHeight) {}

void StretchText::Print(int offsetX, int offsetY) {
  if (Finished()) lineIndex_ = 0;
  auto* band = dynamic_cast<TQRCustomBand*>(Parent());
  const long double y0 = offsetY + Size().NativeTop();
  long double y = y0;
  long double bottom = y0 + Size().NativeHeight();
  long double total = 0;
  bool started = false;
  bool printed = false;
  while (lineIndex_ < lines_) {
    bool fits = bottom >= y + lineHeight_;
    if (!fits && band && band->CanGrow(lineHeight_)) {
      band->Grow(total, started, lineHeight_);
      bottom = y0 + Size().NativeHeight() + total;
      fits = true;
    }
    // Where breaking again gives no more room, the line prints cut by the page.
    if (!fits && OnFreshColumn() && !printed) fits = true;
    if (!fits) break;
    const std::string at = offsetX != 0 ? std::to_string(offsetX) + "," : "";
    trace_.Add(name_ + "." + std::to_string(lineIndex_) + "@" + at + std::to_string(static_cast<int>(y)));
    y += lineHeight_;
    ++lineIndex_;
    printed = true;
    if (OnLine) OnLine(lineIndex_ - 1);
  }
  SetFinished(lineIndex_ >= lines_);
  TQRPrintable::Print(offsetX, offsetY);
}

}  // namespace report::testing
