#include "report/printing/printing_platform_win.h"

#include <winspool.h>
// The spooler header names its own functions like the printer object's methods.
#undef GetPrinter
#undef SetPrinter

#include "report/pages/error.h"
#include "report/pages/files_win.h"

namespace report {

namespace {

class MetafilePage : public QRRecordingPage {
 public:
  MetafilePage(std::int32_t width, std::int32_t height) {
    metafile_.Width = width;
    metafile_.Height = height;
    recorder_ = std::make_unique<fw::TMetafileCanvas>(metafile_);
    canvas_.Attach(recorder_->Handle());
  }
  ~MetafilePage() override { canvas_.Detach(); }
  QRPageCanvas& Canvas() override { return canvas_; }
  PageImage Finish() override {
    canvas_.Detach();
    recorder_->Close();
    if (!metafile_.Handle()) throw EQRError("A report page could not be recorded.");
    return MetafileImageOf(metafile_.Handle());
  }

 private:
  fw::TMetafile metafile_;
  std::unique_ptr<fw::TMetafileCanvas> recorder_;
  GdiPageCanvas canvas_;
};

// The device mode of a printer object, locked while this lives.
class LockedMode {
 public:
  explicit LockedMode(fw::TPrinter& printer) {
    printer.GetPrinter(names.Device, names.Driver, names.Port, handle);
    mode = handle ? static_cast<DEVMODEA*>(GlobalLock(handle)) : nullptr;
  }
  ~LockedMode() {
    if (mode) GlobalUnlock(handle);
  }
  LockedMode(const LockedMode&) = delete;
  LockedMode& operator=(const LockedMode&) = delete;
  QRPrinterNames names;
  HGLOBAL handle = nullptr;
  DEVMODEA* mode = nullptr;
};

}  // namespace

// --- Win32PlatformPrinter

Win32PlatformPrinter::~Win32PlatformPrinter() { DropMeasuringContext(); }

void Win32PlatformPrinter::DropMeasuringContext() {
  measuringDevice_.Detach();
  if (measuringContext_) DeleteDC(measuringContext_);
  measuringContext_ = nullptr;
}

QRPageCanvas& Win32PlatformPrinter::MeasuringCanvas() {
  if (!measuringContext_) {
    LockedMode locked(printer_);
    measuringContext_ = CreateICA(nullptr, locked.names.Device.c_str(), nullptr, locked.mode);
    if (!measuringContext_)
      throw EQRError("The printer \"" + locked.names.Device + "\" cannot be reached (error " +
                     std::to_string(GetLastError()) + ").");
    measuringDevice_.Attach(measuringContext_);
  }
  return measuring_;
}

void Win32PlatformPrinter::SetPrinterIndex(std::int32_t index) {
  DropMeasuringContext();
  printer_.SetPrinterIndex(index);
}

std::int32_t Win32PlatformPrinter::PrinterCount() {
  return static_cast<std::int32_t>(printer_.Printers().size());
}

QRPrinterNames Win32PlatformPrinter::Names() {
  LockedMode locked(printer_);
  return locked.names;
}

std::optional<QRDeviceMode> Win32PlatformPrinter::DeviceMode() {
  LockedMode locked(printer_);
  if (!locked.mode) return std::nullopt;
  const DEVMODEA& dm = *locked.mode;
  return QRDeviceMode{static_cast<std::uint32_t>(dm.dmFields),
                      dm.dmOrientation,
                      dm.dmPaperSize,
                      dm.dmPaperLength,
                      dm.dmPaperWidth,
                      dm.dmCopies,
                      dm.dmDefaultSource,
                      dm.dmDuplex};
}

void Win32PlatformPrinter::SetDeviceMode(const QRDeviceMode& mode) {
  QRPrinterNames names;
  HGLOBAL handle = nullptr;
  {
    LockedMode locked(printer_);
    if (!locked.mode) return;
    DEVMODEA& dm = *locked.mode;
    dm.dmFields = mode.Fields;
    dm.dmOrientation = mode.Orientation;
    dm.dmPaperSize = mode.PaperSize;
    dm.dmPaperLength = mode.PaperLength;
    dm.dmPaperWidth = mode.PaperWidth;
    dm.dmCopies = mode.Copies;
    dm.dmDefaultSource = mode.DefaultSource;
    dm.dmDuplex = mode.Duplex;
    names = locked.names;
    handle = locked.handle;
  }
  DropMeasuringContext();
  printer_.SetPrinter(names.Device, names.Driver, names.Port, handle);
}

std::int32_t Win32PlatformPrinter::LogPixelsX() { return GetDeviceCaps(printer_.Handle(), LOGPIXELSX); }
std::int32_t Win32PlatformPrinter::LogPixelsY() { return GetDeviceCaps(printer_.Handle(), LOGPIXELSY); }

std::optional<QRDevicePoint> Win32PlatformPrinter::EscapePoint(int escape) {
  HDC dc = printer_.Handle();
  if (Escape(dc, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<const char*>(&escape), nullptr) <= 0)
    return std::nullopt;
  POINT point{};
  if (Escape(dc, escape, 0, nullptr, &point) <= 0) return std::nullopt;
  return QRDevicePoint{point.x, point.y};
}

std::optional<QRDevicePoint> Win32PlatformPrinter::PrintingOffset() { return EscapePoint(GETPRINTINGOFFSET); }
std::optional<QRDevicePoint> Win32PlatformPrinter::PhysicalPageSize() { return EscapePoint(GETPHYSPAGESIZE); }

std::vector<std::int16_t> Win32PlatformPrinter::PaperCodes() {
  LockedMode locked(printer_);
  if (locked.names.Device.empty()) return {};
  // Asked for the count first: the driver writes every code it has, whatever room it is given.
  const int count = DeviceCapabilitiesA(locked.names.Device.c_str(), locked.names.Port.c_str(), DC_PAPERS,
                                        nullptr, locked.mode);
  if (count <= 0) return {};
  std::vector<WORD> codes(static_cast<std::size_t>(count));
  const int read = DeviceCapabilitiesA(locked.names.Device.c_str(), locked.names.Port.c_str(), DC_PAPERS,
                                       reinterpret_cast<char*>(codes.data()), locked.mode);
  if (read <= 0) return {};
  codes.resize(static_cast<std::size_t>(read < count ? read : count));
  return std::vector<std::int16_t>(codes.begin(), codes.end());
}

void Win32PlatformPrinter::ResetDeviceMode() {
  std::string device, driver, port;
  HGLOBAL mode = nullptr;
  printer_.GetPrinter(device, driver, port, mode);
  DropMeasuringContext();
  printer_.SetPrinter(device, driver, port, nullptr);
}

void Win32PlatformPrinter::BeginDoc() {
  printer_.BeginDoc();
  canvas_.Attach(printer_.Canvas().Handle());
}

void Win32PlatformPrinter::NewPage() {
  printer_.NewPage();
  canvas_.Attach(printer_.Canvas().Handle());
}

void Win32PlatformPrinter::EndDoc() {
  canvas_.Detach();
  printer_.EndDoc();
}

void Win32PlatformPrinter::Abort() {
  canvas_.Detach();
  printer_.Abort();
}

QRPageCanvas& Win32PlatformPrinter::Canvas() {
  if (!canvas_.Handle() && printer_.Printing()) canvas_.Attach(printer_.Canvas().Handle());
  return canvas_;
}

void Win32PlatformPrinter::DrawPage(const PageImage& page, const QRRect& rect) {
  EnhMetafile metafile = MetafileFromImage(page);
  const RECT area{rect.Left, rect.Top, rect.Right, rect.Bottom};
  if (!PlayEnhMetaFile(printer_.Canvas().Handle(), metafile.get(), &area))
    throw EQRError("A stored page could not be printed (error " + std::to_string(GetLastError()) + ").");
}

// --- factory, recorder, messages

std::int32_t Win32PrinterFactory::GlobalPrinterCount() {
  return static_cast<std::int32_t>(fw::Printer().Printers().size());
}
std::int32_t Win32PrinterFactory::GlobalPrinterIndex() { return fw::Printer().PrinterIndex(); }
std::unique_ptr<QRPlatformPrinter> Win32PrinterFactory::CreatePrinter() {
  return std::make_unique<Win32PlatformPrinter>();
}

std::int32_t Win32PageRecorder::ScreenPixelsPerInch() { return fw::ScreenPixelsPerInch(); }
std::unique_ptr<QRRecordingPage> Win32PageRecorder::StartPage(std::int32_t width, std::int32_t height) {
  return std::make_unique<MetafilePage>(width, height);
}

Win32PageRecorder::~Win32PageRecorder() {
  measuringDevice_.Detach();
  if (measuringContext_) DeleteDC(measuringContext_);
}

QRPageCanvas& Win32PageRecorder::MeasuringCanvas() {
  if (!measuringContext_) {
    measuringContext_ = CreateCompatibleDC(nullptr);
    if (!measuringContext_)
      throw EQRError("The screen cannot be measured on (error " + std::to_string(GetLastError()) + ").");
    measuringDevice_.Attach(measuringContext_);
  }
  return measuring_;
}

void Win32MessageQueue::Post(QRWindow window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
  PostMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

void Win32MessageQueue::Send(QRWindow window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
  SendMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

void Win32MessageQueue::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Left for the application's own loop to end on.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

struct Win32PrintingServices::Parts {
  Win32PrinterFactory printers;
  Win32PageRecorder pages;
  Win32MessageQueue messages;
  Win32QRFiles files;
  Win32LocalClock clock;
};

Win32PrintingServices::Win32PrintingServices() : parts_(std::make_unique<Parts>()) {}
Win32PrintingServices::~Win32PrintingServices() = default;

QRPrinterServices Win32PrintingServices::Services() {
  return {parts_->printers, parts_->pages, parts_->messages, parts_->files, parts_->clock};
}

}  // namespace report
