#include "report/printing/qr_printer.h"

#include <cmath>
#include <utility>

#include "report/pages/streams.h"
#include "report/pages/error.h"

namespace report {

namespace {

QRPreviewInterfaceClass& RegisteredPreview() {
  static QRPreviewInterfaceClass previewClass;
  return previewClass;
}

// Ends a platform job still running when printing stored pages stops, however it stops.
class JobEnd {
 public:
  explicit JobEnd(QRPlatformPrinter& printer) : printer_(printer) {}
  ~JobEnd() {
    try {
      if (printer_.Printing()) printer_.EndDoc();
    } catch (...) {
      // The first failure is the one worth reporting; it is on its way out already.
    }
  }
  JobEnd(const JobEnd&) = delete;
  JobEnd& operator=(const JobEnd&) = delete;

 private:
  QRPlatformPrinter& printer_;
};

// A length in 4 mm units, as stored pages are matched to paper sizes.
std::int64_t FourMillimetres(long double millimetres) {
  return static_cast<std::int64_t>(millimetres * 0.25L);
}

}  // namespace

void RegisterPreviewInterface(QRPreviewInterfaceClass previewClass) {
  RegisteredPreview() = std::move(previewClass);
}

std::optional<QRRect> PageImageFrame(const PageImage& image) {
  // The header's frame follows the record type, size and bounds.
  constexpr std::size_t kFrameOffset = 24;
  if (image.size() < kFrameOffset + 16) return std::nullopt;
  const std::uint8_t* frame = image.data() + kFrameOffset;
  return QRRect{LoadInt32(frame), LoadInt32(frame + 4), LoadInt32(frame + 8), LoadInt32(frame + 12)};
}

TQRPrinter::TQRPrinter(const QRPrinterServices& services)
    : services_(services), pageList_(std::make_unique<TQRPageList>(services.Files, services.Clock)) {
  printerAvailable_ = services_.Printers.GlobalPrinterCount() > 0;
  printer_ = services_.Printers.CreatePrinter();
  if (printerAvailable_ && printer_) {
    settings_.AttachPrinter(printer_.get());
    const std::int32_t index = services_.Printers.GlobalPrinterIndex();
    if (index < printer_->PrinterCount()) printer_->SetPrinterIndex(index);
  }
  topOffset_ = settings_.TopOffset();
  leftOffset_ = settings_.LeftOffset();
}

TQRPrinter::~TQRPrinter() {
  if (status_ == TQRStatus::qsReady) return;
  try {
    Cleanup();
  } catch (...) {
    // Nothing to tell anyone while the producer goes away.
  }
}

bool TQRPrinter::PageInRange() const {
  return (FirstPage <= 0 || pageCount_ >= FirstPage) && (LastPage <= 0 || pageCount_ <= LastPage);
}

void TQRPrinter::StartRecordedPage() {
  page_ = services_.Pages.StartPage(ToDeviceWidth(PageWidth()), ToDeviceHeight(PageLength()));
  canvas_ = &page_->Canvas();
}

void TQRPrinter::CloseRecordedPage(bool store) {
  if (!page_) return;
  canvas_ = nullptr;
  PageImage image = page_->Finish();
  page_.reset();
  if (store) pageList_->AddPage(image);
}

void TQRPrinter::BeginDoc() {
  page_.reset();
  canvas_ = nullptr;
  finishedPages_ = 0;
  cancelRequested_ = false;
  const bool toPrinter = Destination == TQRDestination::qdPrinter;
  if (toPrinter) settings_.ApplyToPrinter();
  topOffset_ = toPrinter ? settings_.TopOffset() : 0;
  leftOffset_ = toPrinter ? settings_.LeftOffset() : 0;
  if (status_ != TQRStatus::qsReady) throw EQRError("QRPrinter not ready");
  pageNumber_ = 0;
  pageCount_ = 0;
  if (toPrinter) {
    pixelsPerUnitX_ = printer_ ? printer_->LogPixelsX() / 254.0L : 1.0L;
    pixelsPerUnitY_ = printer_ ? printer_->LogPixelsY() / 254.0L : 1.0L;
  } else {
    pageList_->SetStream(std::make_unique<TQRStream>(services_.Files, kPageStoreMemoryLimit));
    holdsStream_ = true;
    pixelsPerUnitX_ = pixelsPerUnitY_ = services_.Pages.ScreenPixelsPerInch() / 254.0L;
  }
  layoutPixelsPerUnitY_ = toPrinter ? services_.Pages.ScreenPixelsPerInch() / 254.0L : pixelsPerUnitY_;
  status_ = TQRStatus::qsBusy;
}

void TQRPrinter::NewPage() {
  if (status_ != TQRStatus::qsBusy) throw EQRError("Illegal call to NewPage");
  const bool toPrinter = Destination == TQRDestination::qdPrinter;
  if (pageNumber_ > 0) {
    if (!toPrinter) {
      CloseRecordedPage(true);
    } else if (PageInRange()) {
      if (printer_->Printing() && pageCount_ != LastPage) printer_->NewPage();
    } else {
      CloseRecordedPage(false);
    }
    PostPageAvailable(finishedPages_ + 1);
  }
  ++pageCount_;
  ++pageNumber_;
  if (!toPrinter || !printer_) {
    StartRecordedPage();
  } else if (!PageInRange()) {
    // Laid out as if printed, so that the range's pages hold what they would
    // in the whole document.
    canvas_ = &printer_->MeasuringCanvas();
  } else if (printer_->Printing()) {
    canvas_ = &printer_->Canvas();
  } else {
    printer_->SetTitle(Title);
    printer_->BeginDoc();
    canvas_ = &printer_->Canvas();
  }
}

void TQRPrinter::EndDoc() {
  if (status_ != TQRStatus::qsBusy) return;
  const bool toPrinter = Destination == TQRDestination::qdPrinter;
  if (toPrinter) {
    // An open page outside the range goes nowhere, but it must not outlive the run.
    CloseRecordedPage(false);
    canvas_ = nullptr;
    if (printer_->Printing()) printer_->EndDoc();
  } else if (pageCount_ > 0) {
    CloseRecordedPage(true);
  }
  PostPageAvailable(finishedPages_ + 1);
  status_ = TQRStatus::qsFinished;
  if (!toPrinter) {
    pageList_->Finish();
  } else if (OnAfterPrint) {
    OnAfterPrint(this);
  }
}

void TQRPrinter::Abort() {
  if (status_ != TQRStatus::qsBusy) return;
  if (Destination == TQRDestination::qdPrinter) {
    CloseRecordedPage(false);
    canvas_ = nullptr;
    if (printer_->Printing()) printer_->Abort();
    status_ = TQRStatus::qsFinished;
  } else {
    status_ = TQRStatus::qsFinished;
    CloseRecordedPage(true);
    // The header then counts the pages stored, so a saved copy reloads whole.
    pageList_->Finish();
  }
}

void TQRPrinter::Cleanup() {
  if (status_ == TQRStatus::qsBusy) {
    Cancel();
    // The run ends here: its open page and any printer job go with it.
    page_.reset();
    canvas_ = nullptr;
    if (printer_ && printer_->Printing()) printer_->Abort();
  }
  if (holdsStream_) {
    pageList_->ReleaseStream();
    holdsStream_ = false;
  }
  pageList_->Clear();
  status_ = TQRStatus::qsReady;
}

std::optional<PageImage> TQRPrinter::GetPage(std::int32_t n) {
  if (status_ == TQRStatus::qsReady || n < 1 || n > pageCount_ || !pageList_->Stream()) return std::nullopt;
  return pageList_->GetPage(n);
}

QRPageCanvas& TQRPrinter::Canvas() {
  if (!canvas_) throw EQRError("No report page is open to draw on.");
  return *canvas_;
}

QRPageCanvas& TQRPrinter::LayoutCanvas() {
  if (Destination != TQRDestination::qdPrinter) return Canvas();
  return services_.Pages.MeasuringCanvas();
}

std::int32_t TQRPrinter::PageWidth() const {
  return settings_.Orientation() == fw::TPrinterOrientation::poPortrait ? settings_.PaperWidth()
                                                                        : settings_.PaperLength();
}

std::int32_t TQRPrinter::PageLength() const {
  return settings_.Orientation() == fw::TPrinterOrientation::poPortrait ? settings_.PaperLength()
                                                                        : settings_.PaperWidth();
}

std::int32_t TQRPrinter::PrinterIndex() const { return printer_ ? printer_->PrinterIndex() : -1; }

void TQRPrinter::SetPrinterIndex(std::int32_t index) {
  if (!printerAvailable_ || !printer_) return;
  printer_->SetPrinterIndex(index);
  printer_->ResetDeviceMode();
  settings_.LoadFromPrinter();
}

void TQRPrinter::SetProgress(std::int32_t percent) {
  progress_ = percent;
  if (ClientWindow)
    services_.Messages.Post(ClientWindow, QRM_PROGRESS, static_cast<std::uintptr_t>(percent), 0);
}

void TQRPrinter::PostPageAvailable(std::int32_t count) {
  finishedPages_ = count;
  if (ClientWindow)
    services_.Messages.Post(ClientWindow, QRM_PAGEAVAILABLE, static_cast<std::uintptr_t>(count), 0);
}

void TQRPrinter::SetPreviewShown(bool value) {
  if (previewShown_ && !value) {
    try {
      if (status_ == TQRStatus::qsBusy) Cancel();
      if (OnAfterPreview) OnAfterPreview(this);
    } catch (...) {
      previewShown_ = value;
      throw;
    }
  }
  previewShown_ = value;
}

void TQRPrinter::Preview() {
  if (OnPreviewRequest) {
    OnPreviewRequest(this);
    return;
  }
  if (!RegisteredPreview()) return;
  std::unique_ptr<TQRPreviewInterface> preview = RegisteredPreview()();
  if (preview) PreviewForm = preview->Show(*this);
}

void TQRPrinter::Print() {
  if (OwnerReport && !fromFile_) {
    services_.Messages.Post(OwnerReport, QRM_PRINT, 0, 0);
    return;
  }
  if (status_ != TQRStatus::qsFinished || !printerAvailable_ || !printer_) return;
  printer_->SetTitle(Title);
  if (printer_->Printing()) printer_->Abort();
  printer_->BeginDoc();
  JobEnd jobEnd(*printer_);
  for (std::int32_t i = 1; i <= pageCount_; ++i) {
    services_.Messages.ProcessMessages();
    const std::string unreadable =
        "Page " + std::to_string(i) + " of the report cannot be read; printing stopped.";
    std::optional<PageImage> page;
    try {
      page = GetPage(i);
    } catch (const fw::Exception& e) {
      printer_->Abort();
      throw EQRError(unreadable + " " + e.Message());
    }
    if (!page) {
      printer_->Abort();
      throw EQRError(unreadable);
    }
    printer_->DrawPage(*page, {0, 0, printer_->PageWidth(), printer_->PageHeight()});
    if (i < pageCount_) printer_->NewPage();
    if (cancelRequested_) {
      printer_->Abort();
      break;
    }
  }
}

void TQRPrinter::Load(const std::string& fileName) {
  if (status_ == TQRStatus::qsBusy)
    throw EQRError("A report file cannot be opened while the report is running.");
  auto loaded = std::make_unique<TQRPageList>(services_.Files, services_.Clock);
  loaded->LoadFromFile(fileName);
  // The first page's size, read before anything changes: a page that cannot
  // be read leaves the paper as it is (printing it reports the fault).
  std::optional<QRRect> frame;
  if (loaded->PageCount > 0) {
    try {
      if (const std::optional<PageImage> first = loaded->GetPage(1)) frame = PageImageFrame(*first);
    } catch (const fw::Exception&) {
    }
  }
  if (status_ != TQRStatus::qsReady) Cleanup();
  pageList_ = std::move(loaded);
  holdsStream_ = true;
  pageCount_ = pageList_->PageCount;
  pixelsPerUnitX_ = pixelsPerUnitY_ = services_.Pages.ScreenPixelsPerInch() / 254.0L;
  if (frame) GuessPaper(*frame);
  status_ = TQRStatus::qsFinished;
  OnSetupRequest = nullptr;
  fromFile_ = true;
}

void TQRPrinter::GuessPaper(const QRRect& frame) {
  // The frame is in 0.01 mm whatever the resolution the file was saved at.
  const long double width = (static_cast<long double>(frame.Right) - frame.Left) / 10.0L;
  const long double length = (static_cast<long double>(frame.Bottom) - frame.Top) / 10.0L;
  const std::int64_t w = static_cast<std::int64_t>(width * 0.025L);
  const std::int64_t l = static_cast<std::int64_t>(length * 0.025L);
  for (int i = 1; i <= 26; ++i) {
    const auto size = static_cast<TQRPaperSize>(i);
    const QRPaperRow& paper = QRPaperInfo(size);
    const std::int64_t pw = FourMillimetres(paper.Width);
    const std::int64_t pl = FourMillimetres(paper.Length);
    if (pw == w && pl == l) {
      settings_.SetPaperSize(size);
      settings_.SetOrientation(fw::TPrinterOrientation::poPortrait);
    }
    if (pw == l && pl == w) {
      settings_.SetPaperSize(size);
      settings_.SetOrientation(fw::TPrinterOrientation::poLandscape);
    }
  }
}

void TQRPrinter::Save(const std::string& fileName) {
  if (status_ == TQRStatus::qsFinished && pageList_->Stream()) pageList_->SaveToFile(fileName);
}

void TQRPrinter::ClosePreview() {
  if (OwnerReport)
    services_.Messages.Send(OwnerReport, QRM_CLOSEPREVIEW, 0,
                            static_cast<std::intptr_t>(reinterpret_cast<std::uintptr_t>(this)));
}

}  // namespace report
