#include "report/report/qr_report.h"

#include <algorithm>

#include "report/layout/qr_printable.h"
#include "report/expressions/startup.h"

namespace report {

// The layout's view of the producer of the running pass.
class TCustomQRReport::ProducerView : public LayoutProducer {
 public:
  explicit ProducerView(TQRPrinter& producer) : producer_(producer) {}
  QRPageCanvas& Canvas() override { return producer_.Canvas(); }
  QRPageCanvas& LayoutCanvas() override { return producer_.LayoutCanvas(); }
  long double LayoutPixelsPerUnitY() const override { return producer_.LayoutPixelsPerUnitY(); }
  std::int32_t ToDeviceX(long double x) const override { return producer_.ToDeviceX(x); }
  std::int32_t ToDeviceY(long double y) const override { return producer_.ToDeviceY(y); }
  long double PixelsPerUnitX() const override { return producer_.PixelsPerUnitX(); }
  long double PixelsPerUnitY() const override { return producer_.PixelsPerUnitY(); }
  bool CancelRequested() const override { return producer_.CancelRequested(); }
  void SetProgress(std::int32_t percent) override { producer_.SetProgress(percent); }
  TQRPrinter& Printer() { return producer_; }

 private:
  TQRPrinter& producer_;
};

// Whatever ends a pass, the report is left able to run the next one: its
// visibility, units and pass flag come back and its data-set list goes.
class TCustomQRReport::PassGuard {
 public:
  explicit PassGuard(TCustomQRReport& report)
      : report_(report), visible_(report.Visible()), units_(report.page_.Units()) {}
  ~PassGuard() {
    // The functions are handed the list for the pass; they must not keep it.
    report_.functions_.SetDataSetList(nullptr);
    report_.reportDataSets_.reset();
    report_.producerView_.reset();
    if (report_.page_.Units() != units_) report_.SetUnits(units_);
    report_.SetVisible(visible_);
    report_.generating_ = false;
  }
  PassGuard(const PassGuard&) = delete;
  PassGuard& operator=(const PassGuard&) = delete;

 private:
  TCustomQRReport& report_;
  bool visible_;
  TQRUnit units_;
};

TCustomQRReport::TCustomQRReport(fw::TComponent* owner, QRReportHost& host)
    : LayoutReport(owner), host_(host), page_(this) {
  auto controller = std::make_unique<TQRCustomController>(this);
  controller->Report = this;
  controller->EventSender = this;
  controller_ = std::move(controller);
  functions_.AddEntry("PAGENUMBER", "0");
  functions_.AddEntry("COLUMNNUMBER", "0");
  functions_.AddEntry("REPORTTITLE", "''");
  SetColor(clWhite);
  ApplyBounds(0, 0, Width(), Height());
  TQRFontDescription font = Font();
  if (!host_.JapaneseSystem()) {
    font.Name = "Arial";
    font.Size = 10;
  }
  SetFont(font);
  SetParentFont(false);
  // A producer knows the paper of the chosen printer; the page starts on it.
  TQRPrinter probe(host_.PrinterServices());
  page_.SetPaperSize(probe.PaperSize());
}

TCustomQRReport::~TCustomQRReport() {
  MarkDestroying();
  // A preview may still hold the producer of the last run (the window closed
  // before the report heard of it, or the application is ending).
  Release(producer_);
  Release(setAside_);
  for (TQRCustomBand* band : std::vector<TQRCustomBand*>(orderedBands_)) band->SetParent(nullptr);
  DestroyComponents();
}

void TCustomQRReport::ReplaceController(std::unique_ptr<TQRCustomController> controller) {
  controller->Report = this;
  controller->EventSender = this;
  controller_ = std::move(controller);
}

void TCustomQRReport::Release(std::unique_ptr<TQRPrinter>& producer) {
  if (!producer) return;
  host_.DetachPreview(*producer);
  producer.reset();
}

void TCustomQRReport::SetZoom(int value) {
  if (value <= 0 || value > 300) return;
  LayoutReport::SetZoom(value);
  LayoutBands();
}

void TCustomQRReport::SetUnits(TQRUnit units) {
  page_.SetUnits(units);
  for (TQRCustomBand* band : orderedBands_) band->SetUnits(units);
  for (TQRControl* child : Controls())
    if (auto* printable = dynamic_cast<TQRPrintable*>(child)) printable->Size().SetUnits(units);
}

void TCustomQRReport::SetBounds(int left, int top, int width, int height) {
  const bool resized = width != Width() || height != Height();
  ApplyBounds(left, top, width, height);
  if (resized && page_.PaperSize() == TQRPaperSize::Custom) {
    QRUnitScope pixels(page_, TQRUnit::Pixels);
    page_.SetWidth(width);
    page_.SetLength(height);
  }
  LayoutBands();
}

void TCustomQRReport::SetPanelSize(std::int32_t width, std::int32_t height) {
  ApplyBounds(Left(), Top(), width, height);
}

void TCustomQRReport::Loaded() {
  OrderBands();
  LayoutBands();
}

int TCustomQRReport::DetailCount() { return 1; }

int TQRReport::DetailCount() {
  DataSet* dataSet = controller_->GetDataSet();
  if (!dataSet || !dataSet->Active()) return 1;
  try {
    return dataSet->RecordCount();
  } catch (...) {
    return 1;
  }
}

std::int32_t TCustomQRReport::MeasureTextHeight(const TQRFontDescription& font, const std::string&) {
  std::int32_t width = 0, height = 0;
  return host_.MeasureText(font, "A", width, height) ? height : 0;
}

std::int32_t TCustomQRReport::MeasureTextWidth(const TQRFontDescription& font, const std::string& text) {
  std::int32_t width = 0, height = 0;
  return host_.MeasureText(font, text, width, height) ? width + 1 : 0;
}

std::vector<std::int32_t> TCustomQRReport::MeasureCharacterEnds(const TQRFontDescription& font,
                                                                const std::string& text) {
  std::vector<std::int32_t> ends;
  if (!host_.MeasureCharacterEnds(font, text, ends)) ends.clear();
  return ends;
}

void TCustomQRReport::RegisterExpression(TQRPrintable* control) {
  controller_->ExprClients.push_back(control);
}

LayoutProducer* TCustomQRReport::Producer() const { return generating_ ? producerView_.get() : nullptr; }

void TCustomQRReport::AddBand(TQRCustomBand* band) {
  if (std::find(orderedBands_.begin(), orderedBands_.end(), band) == orderedBands_.end())
    orderedBands_.push_back(band);
}

void TCustomQRReport::RemoveBand(TQRCustomBand* band) {
  orderedBands_.erase(std::remove(orderedBands_.begin(), orderedBands_.end(), band), orderedBands_.end());
}

void TCustomQRReport::OrderBands() {
  if (Loading()) return;
  BindBands();
  controller_->Collect();
  std::vector<TQRCustomBand*> order;
  auto append = [&](TQRCustomBand* band) {
    if (!band->Destroying() && std::find(order.begin(), order.end(), band) == order.end())
      AppendWithChildren(order, band);
  };
  auto addType = [&](TQRBandType type) {
    for (TQRCustomBand* band : orderedBands_)
      if (band->BandType() == type) append(band);
  };
  addType(rbPageHeader);
  addType(rbTitle);
  addType(rbColumnHeader);
  std::vector<TQRCustomBand*> listed;
  controller_->ListBands(listed);
  for (TQRCustomBand* band : listed) append(band);
  addType(rbPageFooter);
  for (TQRCustomBand* band : orderedBands_)
    if (!band->Destroying() && std::find(order.begin(), order.end(), band) == order.end())
      order.push_back(band);
  orderedBands_ = order;
}

void TCustomQRReport::LayoutBands() {
  if (Loading() || Destroying()) return;
  // Native units keep the widths exact; pixels would round them twice.
  const long double width = page_.NativeWidth();
  const long double side = QRRound(page_.NativeLeftMargin() + page_.NativeRightMargin());
  const int columns = std::max(1, page_.Columns());
  const long double columnWidth =
      static_cast<long long>(width - side - QRRound(page_.NativeColumnSpace()) * (columns - 1)) / columns;
  long double y = QRRound(page_.NativeTopMargin());
  for (TQRCustomBand* band : orderedBands_) {
    if (band->Destroying()) continue;
    band->InLayout = true;
    const TQRBandType type = EffectiveBandType(*band);
    const bool wide = type == rbTitle || type == rbPageHeader || type == rbPageFooter || type == rbSummary ||
                      type == rbOverlay;
    SetNativeWidth(band->Size(), wide ? width - side : columnWidth);
    band->InLayout = false;
    y += band->NativeHeight();
  }
}

void TCustomQRReport::ForEachPrintable(const std::function<void(TQRPrintable&)>& action) {
  std::function<void(TQRControl&)> walk = [&](TQRControl& control) {
    for (TQRControl* child : control.Controls()) {
      if (auto* printable = dynamic_cast<TQRPrintable*>(child)) action(*printable);
      walk(*child);
    }
  };
  walk(*this);
}

// ---------------------------------------------------------------- the pass

void TCustomQRReport::ApplyPrinterSettings(TQRPrinter& producer) {
  producer.SetPrinterIndex(PrinterSettings.PrinterIndex);
  producer.SetPaperSize(page_.PaperSize());
  if (producer.PaperSize() == TQRPaperSize::Custom) {
    producer.SetPaperWidth(QRRound(page_.NativeWidth()));
    producer.SetPaperLength(QRRound(page_.NativeLength()));
  }
  producer.SetOrientation(page_.Orientation());
  producer.SetCopies(PrinterSettings.Copies);
  producer.SetOutputBin(PrinterSettings.OutputBin);
  producer.FirstPage = PrinterSettings.FirstPage;
  producer.LastPage = PrinterSettings.LastPage;
  producer.Title = ReportTitle;
  producer.SetCompression((Options & Compression) != 0);
}

void TCustomQRReport::RunGenerationPass() {
  if (generating_ || !producer_) return;
  PassGuard guard(*this);
  {
    QRUnitScope current(page_, page_.Units());
    if (page_.Width() - page_.LeftMargin() - page_.RightMargin() < 0) {
      page_.SetLeftMargin(0);
      page_.SetRightMargin(0);
    }
    if (page_.Length() - page_.TopMargin() - page_.BottomMargin() < 0) {
      page_.SetTopMargin(0);
      page_.SetBottomMargin(0);
    }
  }
  generating_ = true;
  cancelled_ = finalPage_ = headPrinted_ = firstColumnBreak_ = false;
  ResetBreakState();
  bool printReport = true;
  reportDataSets_ = std::make_unique<DataSets>();
  // Expressions may read any data set of the form the report is on; the
  // report's own, kept elsewhere, joins them.
  if (fw::TComponent* form = Owner())
    for (fw::TComponent* component : form->Components())
      if (auto* dataSet = dynamic_cast<DataSet*>(component)) reportDataSets_->push_back(dataSet);
  if (DataSet* own = ReportDataSet();
      own && std::find(reportDataSets_->begin(), reportDataSets_->end(), own) == reportDataSets_->end())
    reportDataSets_->push_back(own);
  if (BeforePrint) BeforePrint(this, printReport);
  if (!printReport) return;
  SetUnits(TQRUnit::Native);
  TQRPrinter& producer = *producer_;
  ApplyPrinterSettings(producer);
  producer.BeginDoc();
  producerView_ = std::make_unique<ProducerView>(producer);
  try {
    RunPass();
  } catch (...) {
    try {
      producer.Abort();
    } catch (...) {
      // The first failure is the one the caller hears of.
    }
    throw;
  }
  if (cancelled_)
    producer.Abort();
  else
    producer.EndDoc();
}

void TCustomQRReport::RunPass() {
  cursorY_ = -1;
  pageNo_ = 0;
  columnNo_ = std::max(1, page_.Columns());
  footerSpace_ = 0;
  for (TQRCustomBand* band : orderedBands_)
    if (band->BandType() == rbPageFooter && band->Enabled())
      for (TQRCustomBand* part = band; part; part = part->ChildBand()) footerSpace_ += part->NativeHeight();
  for (TQRCustomBand* band : orderedBands_) band->AttachReport(this);
  for (TQRControl* child : Controls())
    if (auto* printable = dynamic_cast<TQRPrintable*>(child)) printable->SetReport(this);
  cursorX_ = QRRound(page_.NativeLeftMargin());
  // Reports built in code have no loading step to order their bands.
  OrderBands();
  controller_->Collect();
  bool globalPrepared = false, functionsPrepared = false, partsPrepared = false, printablesPrepared = false;
  // Undoes what was prepared, also when a step failed half-way.
  auto unprepare = [&] {
    if (printablesPrepared) ForEachPrintable([](TQRPrintable& printable) { printable.PrintUnprepare(); });
    if (partsPrepared) controller_->UnprepareParts();
    if (functionsPrepared) functions_.Unprepare();
    if (globalPrepared && QRGlobalEnvironment) QRGlobalEnvironment->Unprepare();
  };
  try {
    if (QRGlobalEnvironment) {
      QRGlobalEnvironment->Prepare();
      globalPrepared = true;
    }
    functions_.SetDataSetList(reportDataSets_.get());
    functions_.Prepare();
    functionsPrepared = true;
    pageNumber_ = functions_.FirstElement("PAGENUMBER");
    columnNumber_ = functions_.FirstElement("COLUMNNUMBER");
    reportTitle_ = functions_.FirstElement("REPORTTITLE");
    TQREvEnvironment::SetString(reportTitle_, ReportTitle);
    controller_->PrepareParts();
    partsPrepared = true;
    ForEachPrintable([](TQRPrintable& printable) { printable.PrintPrepare(); });
    printablesPrepared = true;
    RunDataLoop();
    cursorX_ = QRRound(page_.NativeLeftMargin());
    finalPage_ = true;
    if (!cancelled_) FinishPage();
  } catch (...) {
    unprepare();
    throw;
  }
  unprepare();
}

void TCustomQRReport::RunDataLoop() { controller_->RunLoop(); }

// ---------------------------------------------------------------- pages and columns

void TCustomQRReport::FinishPage() {
  if (pageNo_ == 0) return;
  BreakScope inBreak(*this);
  cursorY_ = QRRound(page_.NativeLength() - page_.NativeBottomMargin() - footerSpace_);
  if (!(finalPage_ && !(Options & LastPageFooter))) OutputBand(BandOfType(rbPageFooter));
  for (TQRControl* child : Controls())
    if (auto* printable = dynamic_cast<TQRPrintable*>(child)) printable->PrintAt(0, 0);
  if (producerView_) {
    TQRPrinter& producer = producerView_->Printer();
    const QRRect rect{producer.ToDeviceX(page_.NativeLeftMargin()),
                      producer.ToDeviceY(page_.NativeTopMargin()),
                      producer.ToDeviceX(page_.NativeWidth() - page_.NativeRightMargin()),
                      producer.ToDeviceY(page_.NativeLength() - page_.NativeBottomMargin())};
    Frame().DrawFrame(producer.Canvas(), rect, producer.PixelsPerUnitX(), producer.PixelsPerUnitY());
  }
  if (OnEndPage) OnEndPage(this);
}

void TCustomQRReport::NextPage() {
  BreakScope inBreak(*this);
  FinishPage();
  ++pageNo_;
  TQREvEnvironment::SetInteger(pageNumber_, pageNo_);
  producerView_->Printer().NewPage();
  cursorY_ = QRRound(page_.NativeTopMargin());
  if (OnStartPage) OnStartPage(this);
  if (pageNo_ > 1 || (Options & FirstPageHeader)) OutputBand(BandOfType(rbPageHeader));
  columnTop_ = cursorY_;
  if (pageNo_ == 1)
    if (TQRCustomBand* title = BandOfType(rbTitle)) columnTop_ += QRRound(title->NativeHeight());
}

void TCustomQRReport::NextColumn() {
  BreakScope inBreak(*this);
  const int columns = std::max(1, page_.Columns());
  if (columnNo_ >= columns) {
    columnNo_ = 1;
    cursorX_ = QRRound(page_.NativeLeftMargin());
    NextPage();
  } else {
    TQRCustomBand* detail = BandOfType(rbDetail);
    const int step =
        detail ? QRRound(detail->Size().NativeWidth())
               : (QRRound(page_.NativeWidth() - page_.NativeLeftMargin() - page_.NativeRightMargin()) -
                  QRRound(page_.NativeColumnSpace()) * (columns - 1)) /
                     columns;
    cursorX_ += step + QRRound(page_.NativeColumnSpace());
    cursorY_ = columnTop_;
    ++columnNo_;
    ColumnStarted();
  }
  TQREvEnvironment::SetInteger(columnNumber_, columnNo_);
  if (!(columnNo_ == 1 && pageNo_ == 1)) {
    OutputBand(BandOfType(rbColumnHeader));
    controller_->ReprintGroups();
  }
}

long double TCustomQRReport::PageLength() const { return page_.NativeLength(); }

int TCustomQRReport::SpaceLeft() const {
  if (!generating_ || cursorY_ == -1) return 0;
  // The page description governs, as where the footers go: the printer's
  // paper may differ from it.
  return QRRound(page_.NativeLength() - page_.NativeBottomMargin() - footerSpace_ - cursorY_);
}

void TCustomQRReport::ForcedPageBreak() {
  if (!generating_) return;
  if (headPrinted_) {
    headPrinted_ = false;
    return;
  }
  do NextColumn();
  while (columnNo_ != 1);
}

void TCustomQRReport::ForcedColumnBreak() {
  if (!generating_) return;
  if (firstColumnBreak_ || columnNo_ > 1)
    NextColumn();
  else
    firstColumnBreak_ = true;
}

// ---------------------------------------------------------------- print and preview

void TCustomQRReport::FreshProducer() {
  auto fresh = std::make_unique<TQRPrinter>(host_.PrinterServices());
  fresh->ClientWindow = producer_ ? producer_->ClientWindow : 0;
  fresh->OnAfterPrint = [this](TQRPrinter*) {
    if (AfterPrint) AfterPrint(this);
  };
  fresh->OnAfterPreview = [this](TQRPrinter*) {
    if (AfterPreview) AfterPreview(this);
  };
  producer_ = std::move(fresh);
}

void TCustomQRReport::Print() {
  if (generating_ || setAside_) return;
  setAside_ = std::move(producer_);
  producer_ = nullptr;
  FreshProducer();
  if (setAside_) producer_->ClientWindow = setAside_->ClientWindow;
  // Whatever happens, the print producer goes and the set-aside one (unless a
  // closing preview released it meanwhile) comes back.
  struct Restore {
    TCustomQRReport& report;
    std::unique_ptr<QRProgressWindow> progress;
    ~Restore() {
      report.producer_.reset();
      report.producer_ = std::move(report.setAside_);
      progress.reset();
    }
  } restore{*this, nullptr};
  if (!producer_->PrinterAvailable()) return;
  producer_->Destination = TQRDestination::qdPrinter;
  restore.progress = host_.OpenProgress(*producer_, ShowProgress);
  if (restore.progress) producer_->ClientWindow = restore.progress->Handle();
  RunGenerationPass();
}

void TCustomQRReport::Preview() {
  if (generating_) return;
  // The previous preview's producer, if the report still holds it, goes first.
  Release(producer_);
  FreshProducer();
  TQRPrinter& producer = *producer_;
  producer.Destination = TQRDestination::qdPageStore;
  producer.OwnerReport = WindowHandle;
  producer.OnSetupRequest = [this](TQRPrinter*) { PrinterSetup(); };
  producer.Title = ReportTitle;
  if (OnPreview) producer.OnPreviewRequest = [this](TQRPrinter*) { OnPreview(this); };
  producer.Preview();
  RunGenerationPass();
  if (cancelled_) {
    Release(producer_);
    return;
  }
  while (producer_ && producer_->PreviewShown() && !host_.Terminated()) host_.HandleMessage();
}

void TCustomQRReport::CancelGeneration() {
  if (!generating_) return;
  cancelled_ = true;
  if (producerView_) producerView_->Printer().Cancel();
}

void TCustomQRReport::HandleWindowMessage(std::uint32_t message, std::intptr_t lParam) {
  if (message == QRM_PRINT) {
    Print();
    return;
  }
  if (message != QRM_CLOSEPREVIEW) return;
  auto* closing = reinterpret_cast<TQRPrinter*>(static_cast<std::uintptr_t>(lParam));
  if (generating_ && closing == producer_.get()) {
    CancelGeneration();
  } else if (closing && closing == setAside_.get()) {
    // The preview behind a running print closed: its producer goes, the print goes on.
    Release(setAside_);
  } else if (!generating_ && closing == producer_.get()) {
    Release(producer_);
  }
}

void TCustomQRReport::PrinterSetup() {
  QRSetupRequest request;
  request.PrinterIndex = PrinterSettings.PrinterIndex;
  TQRPrinter* finished = producer_.get();
  if (finished && finished->Status() == TQRStatus::qsFinished && finished->PageCount() > 0) {
    request.MinPage = 1;
    request.MaxPage = request.ToPage = finished->PageCount();
    request.FromPage = 1;
  }
  request.Orientation = page_.Orientation();
  request.Copies = PrinterSettings.Copies;
  std::optional<QRSetupAnswer> answer = host_.PrinterSetupDialog(request);
  if (!answer) {
    Tag = 1;
    return;
  }
  PrinterSettings.Copies = answer->Copies;
  PrinterSettings.PrinterIndex = answer->PrinterIndex;
  page_.SetOrientation(answer->Orientation);
  PrinterSettings.FirstPage = answer->PageRange ? answer->FromPage : 0;
  PrinterSettings.LastPage = answer->PageRange ? answer->ToPage : 0;
  Tag = 0;
}

// ---------------------------------------------------------------- TQRReport

TQRReport::TQRReport(fw::TComponent* owner, QRReportHost& host) : TCustomQRReport(owner, host) {
  auto controller = std::make_unique<TQRController>(this);
  controller_ = controller.get();
  ReplaceController(std::move(controller));
}

void TQRReport::BindBands() {
  controller_->SetDetailBand(BandOfType(rbDetail));
  controller_->SetHeaderBand(BandOfType(rbTitle));
  controller_->SetFooterBand(BandOfType(rbSummary));
}

void TQRReport::RunDataLoop() {
  BindBands();
  controller_->OnNeedData = OnNeedData;
  controller_->RunLoop();
}

}  // namespace report
