// What a page producer needs from Windows: the printers (through the
// framework's printer objects), pages recorded as enhanced metafiles at screen
// resolution, and window messages.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/metafile.h"
#include "framework/printers.h"
#include "report/printing/gdi_page_canvas_win.h"
#include "report/printing/measuring_canvas.h"
#include "report/printing/qr_printer.h"

namespace report {

// A printer object of its own for one producer.
class Win32PlatformPrinter : public QRPlatformPrinter {
 public:
  Win32PlatformPrinter() = default;
  ~Win32PlatformPrinter() override;

  std::int32_t PrinterCount() override;
  QRPrinterNames Names() override;
  std::optional<QRDeviceMode> DeviceMode() override;
  void SetDeviceMode(const QRDeviceMode& mode) override;
  std::int32_t LogPixelsX() override;
  std::int32_t LogPixelsY() override;
  std::optional<QRDevicePoint> PrintingOffset() override;
  std::optional<QRDevicePoint> PhysicalPageSize() override;
  std::vector<std::int16_t> PaperCodes() override;

  std::int32_t PrinterIndex() override { return printer_.PrinterIndex(); }
  void SetPrinterIndex(std::int32_t index) override;
  void ResetDeviceMode() override;
  void SetTitle(const std::string& title) override { printer_.Title = title; }
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  bool Printing() override { return printer_.Printing(); }
  QRPageCanvas& Canvas() override;
  QRPageCanvas& MeasuringCanvas() override;
  std::int32_t PageWidth() override { return printer_.PageWidth(); }
  std::int32_t PageHeight() override { return printer_.PageHeight(); }
  void DrawPage(const PageImage& page, const QRRect& rect) override;

  fw::TPrinter& Printer() { return printer_; }

 private:
  std::optional<QRDevicePoint> EscapePoint(int escape);
  // Another printer or device mode measures differently.
  void DropMeasuringContext();
  fw::TPrinter printer_;
  GdiPageCanvas canvas_;
  // An information context of the printer, apart from any job's.
  HDC measuringContext_ = nullptr;
  GdiPageCanvas measuringDevice_;
  QRMeasuringCanvas measuring_{measuringDevice_};
};

class Win32PrinterFactory : public QRPrinterFactory {
 public:
  std::int32_t GlobalPrinterCount() override;
  std::int32_t GlobalPrinterIndex() override;
  std::unique_ptr<QRPlatformPrinter> CreatePrinter() override;
};

class Win32PageRecorder : public QRPageRecorder {
 public:
  std::int32_t ScreenPixelsPerInch() override;
  std::unique_ptr<QRRecordingPage> StartPage(std::int32_t width, std::int32_t height) override;
  QRPageCanvas& MeasuringCanvas() override;
  Win32PageRecorder() = default;
  ~Win32PageRecorder() override;
  Win32PageRecorder(const Win32PageRecorder&) = delete;
  Win32PageRecorder& operator=(const Win32PageRecorder&) = delete;

 private:
  // A memory context of the screen, which the recorded pages refer to.
  HDC measuringContext_ = nullptr;
  GdiPageCanvas measuringDevice_;
  QRMeasuringCanvas measuring_{measuringDevice_};
};

class Win32MessageQueue : public QRMessageQueue {
 public:
  void Post(QRWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void Send(QRWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void ProcessMessages() override;
};

// One of each, with the real files and clock of the page store.
class Win32PrintingServices {
 public:
  Win32PrintingServices();
  ~Win32PrintingServices();
  QRPrinterServices Services();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace report
