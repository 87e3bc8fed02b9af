// The page producer of one print or preview run: the surface a report draws
// its pages on, in tenths of a millimetre converted to device pixels. Pages go
// to the page store, one metafile image each, or straight to the printer
// within a page range; the producer also prints, saves and reloads stored
// pages and tells the watching windows how far the run has come.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "report/pages/streams.h"
#include "report/printing/measures.h"
#include "report/printing/page_canvas.h"
#include "report/printing/printer_device.h"
#include "report/printing/printer_settings.h"
#include "report/pages/page_list.h"
#include "report/pages/stream.h"

namespace report {

// A window, by its handle.
using QRWindow = std::uintptr_t;

constexpr std::uint32_t QRM_PROGRESS = 0x400;
constexpr std::uint32_t QRM_PAGEAVAILABLE = 0x401;
constexpr std::uint32_t QRM_PRINT = 0x402;
constexpr std::uint32_t QRM_CLOSEPREVIEW = 0x404;

// The window messages a producer sends, and the application's message pump.
class QRMessageQueue {
 public:
  virtual ~QRMessageQueue() = default;
  virtual void Post(QRWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // Returns once the window has handled the message.
  virtual void Send(QRWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  virtual void ProcessMessages() = 0;
};

// A page being recorded as a metafile at screen resolution.
class QRRecordingPage {
 public:
  virtual ~QRRecordingPage() = default;
  virtual QRPageCanvas& Canvas() = 0;
  // Ends the recording and gives the page's image.
  virtual PageImage Finish() = 0;
};

class QRPageRecorder {
 public:
  virtual ~QRPageRecorder() = default;
  virtual std::int32_t ScreenPixelsPerInch() = 0;
  // A page of the given size in screen pixels, its frame set from that size.
  virtual std::unique_ptr<QRRecordingPage> StartPage(std::int32_t width, std::int32_t height) = 0;
  // A surface that measures text as the recorded pages do and draws nowhere.
  virtual QRPageCanvas& MeasuringCanvas() = 0;
};

// The system's printers: the global list and index, and a private printer
// object for each producer.
class QRPrinterFactory {
 public:
  virtual ~QRPrinterFactory() = default;
  virtual std::int32_t GlobalPrinterCount() = 0;
  virtual std::int32_t GlobalPrinterIndex() = 0;
  virtual std::unique_ptr<QRPlatformPrinter> CreatePrinter() = 0;
};

struct QRPrinterServices {
  QRPrinterFactory& Printers;
  QRPageRecorder& Pages;
  QRMessageQueue& Messages;
  QRFileService& Files;
  LocalClock& Clock;
};

class TQRPrinter;

// Opens a preview window for a producer. The base opens none.
class TQRPreviewInterface {
 public:
  virtual ~TQRPreviewInterface() = default;
  // Opens the window and returns it at once.
  virtual QRWindow Show(TQRPrinter& /*printer*/) { return 0; }
  // Opens the window and returns once it has closed; the window is then gone,
  // so no handle comes back.
  virtual QRWindow ShowModal(TQRPrinter& /*printer*/) { return 0; }
};
using QRPreviewInterfaceClass = std::function<std::unique_ptr<TQRPreviewInterface>()>;
// The preview a producer opens when its report has no preview hook; until the
// preview window registers itself there is none and Preview opens nothing.
void RegisterPreviewInterface(QRPreviewInterfaceClass previewClass);

enum class TQRDestination : std::uint8_t { qdPageStore = 0, qdPrinter = 1 };
enum class TQRStatus : std::uint8_t { qsReady = 0, qsBusy = 1, qsFinished = 2 };

using QRPrinterEvent = std::function<void(TQRPrinter* sender)>;

class TQRPrinter {
 public:
  explicit TQRPrinter(const QRPrinterServices& services);
  ~TQRPrinter();
  TQRPrinter(const TQRPrinter&) = delete;
  TQRPrinter& operator=(const TQRPrinter&) = delete;

  // The run.
  void BeginDoc();
  void NewPage();
  void EndDoc();
  void Abort();
  void Cancel() { cancelRequested_ = true; }
  void Cleanup();

  // Page n of the store, while busy or finished; nothing otherwise.
  std::optional<PageImage> GetPage(std::int32_t n);
  // The open page's surface; raises EQRError when no page is open.
  QRPageCanvas& Canvas();
  // What text is measured on for the layout: the recorded page's canvas, or
  // for a printer run one at the same (screen) resolution, so that printed
  // pages break where the preview's do.
  QRPageCanvas& LayoutCanvas();
  long double LayoutPixelsPerUnitY() const { return layoutPixelsPerUnitY_; }

  std::int32_t ToDeviceX(long double x) const { return QRRound((x - leftOffset_) * pixelsPerUnitX_); }
  std::int32_t ToDeviceY(long double y) const { return QRRound((y - topOffset_) * pixelsPerUnitY_); }
  std::int32_t ToDeviceWidth(long double w) const { return QRRound(w * pixelsPerUnitX_); }
  std::int32_t ToDeviceHeight(long double h) const { return QRRound(h * pixelsPerUnitY_); }
  // The page's extent in 0.1 mm after orientation.
  std::int32_t PageWidth() const;
  std::int32_t PageLength() const;

  // Passed to the printer settings, which refuse what the driver does not offer.
  std::int32_t Copies() const { return settings_.Copies(); }
  void SetCopies(std::int32_t value) { settings_.SetCopies(value); }
  TQRBin OutputBin() const { return settings_.OutputBin(); }
  void SetOutputBin(TQRBin value) { settings_.SetOutputBin(value); }
  fw::TPrinterOrientation Orientation() const { return settings_.Orientation(); }
  void SetOrientation(fw::TPrinterOrientation value) { settings_.SetOrientation(value); }
  TQRPaperSize PaperSize() const { return settings_.PaperSize(); }
  void SetPaperSize(TQRPaperSize value) { settings_.SetPaperSize(value); }
  std::int32_t PaperWidth() const { return settings_.PaperWidth(); }
  void SetPaperWidth(std::int32_t value) { settings_.SetPaperWidth(value); }
  std::int32_t PaperLength() const { return settings_.PaperLength(); }
  void SetPaperLength(std::int32_t value) { settings_.SetPaperLength(value); }
  std::int32_t PrinterIndex() const;
  void SetPrinterIndex(std::int32_t index);
  bool Compression() const { return pageList_->Compression; }
  void SetCompression(bool value) { pageList_->Compression = value; }

  void SetProgress(std::int32_t percent);
  void PostPageAvailable(std::int32_t count);
  bool PreviewShown() const { return previewShown_; }
  void SetPreviewShown(bool value);

  void Preview();
  void Print();
  // Opens a report page file in place of the pages; a file that is refused
  // raises EQRError and the pages stay. Refused while a run is busy.
  void Load(const std::string& fileName);
  void Save(const std::string& fileName);
  void ClosePreview();

  QRPrinterEvent OnAfterPrint;
  QRPrinterEvent OnAfterPreview;
  QRPrinterEvent OnPreviewRequest;
  QRPrinterEvent OnSetupRequest;
  TQRDestination Destination = TQRDestination::qdPageStore;
  std::int32_t FirstPage = 0;
  std::int32_t LastPage = 0;
  QRWindow ClientWindow = 0;
  QRWindow OwnerReport = 0;
  std::string Title;
  QRWindow PreviewForm = 0;

  std::int32_t FinishedPages() const { return finishedPages_; }
  bool CancelRequested() const { return cancelRequested_; }
  std::int32_t PageCount() const { return pageCount_; }
  std::int32_t PageNumber() const { return pageNumber_; }
  bool PrinterAvailable() const { return printerAvailable_; }
  std::int32_t Progress() const { return progress_; }
  TQRStatus Status() const { return status_; }
  long double PixelsPerUnitX() const { return pixelsPerUnitX_; }
  long double PixelsPerUnitY() const { return pixelsPerUnitY_; }
  std::int32_t TopOffset() const { return topOffset_; }
  std::int32_t LeftOffset() const { return leftOffset_; }
  bool FromFile() const { return fromFile_; }
  TPrinterSettings& PrinterSettings() { return settings_; }
  TQRPageList& PageList() { return *pageList_; }

 private:
  bool PageInRange() const;
  void StartRecordedPage();
  // Stores the open recorded page (page store) or drops it (printer).
  void CloseRecordedPage(bool store);
  void GuessPaper(const QRRect& frame);

  QRPrinterServices services_;
  std::unique_ptr<QRPlatformPrinter> printer_;
  TPrinterSettings settings_;
  std::unique_ptr<TQRPageList> pageList_;
  std::unique_ptr<QRRecordingPage> page_;
  QRPageCanvas* canvas_ = nullptr;
  bool holdsStream_ = false;
  std::int32_t finishedPages_ = 0;
  bool cancelRequested_ = false;
  std::int32_t pageCount_ = 0;
  std::int32_t pageNumber_ = 0;
  bool printerAvailable_ = false;
  std::int32_t progress_ = 0;
  TQRStatus status_ = TQRStatus::qsReady;
  long double pixelsPerUnitX_ = 1.0L;
  long double pixelsPerUnitY_ = 1.0L;
  long double layoutPixelsPerUnitY_ = 1.0L;
  std::int32_t topOffset_ = 0;
  std::int32_t leftOffset_ = 0;
  bool previewShown_ = false;
  bool fromFile_ = false;
};

// The frame of a page image, in 0.01 mm (left, top, right, bottom); nothing
// when the image is too short to hold a metafile header.
std::optional<QRRect> PageImageFrame(const PageImage& image);

}  // namespace report
