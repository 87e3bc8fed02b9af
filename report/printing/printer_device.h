// A printer as the report engine sees it, without a Windows header: its names,
// the fields of its device mode that reports set, its resolution, unprintable
// offsets, physical page and paper list, and its print job.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report/printing/page_canvas.h"
#include "report/pages/page_list.h"

namespace report {

// Device-mode field bits.
enum QRDeviceModeField : std::uint32_t {
  DM_ORIENTATION_BIT = 0x1,
  DM_PAPERSIZE_BIT = 0x2,
  DM_PAPERLENGTH_BIT = 0x4,
  DM_PAPERWIDTH_BIT = 0x8,
  DM_COPIES_BIT = 0x100,
  DM_DEFAULTSOURCE_BIT = 0x200,
  DM_DUPLEX_BIT = 0x1000,
};

// The fields of a printer's device mode that reports read and write.
struct QRDeviceMode {
  std::uint32_t Fields = 0;
  std::int16_t Orientation = 0;  // 1 portrait, 2 landscape
  std::int16_t PaperSize = 0;    // paper code
  std::int16_t PaperLength = 0;  // 0.1 mm
  std::int16_t PaperWidth = 0;   // 0.1 mm
  std::int16_t Copies = 0;
  std::int16_t DefaultSource = 0;
  std::int16_t Duplex = 0;  // 1 simplex
  friend bool operator==(const QRDeviceMode&, const QRDeviceMode&) = default;
};

struct QRPrinterNames {
  std::string Device;
  std::string Driver;
  std::string Port;
  friend bool operator==(const QRPrinterNames&, const QRPrinterNames&) = default;
};

struct QRDevicePoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
};

// What printer settings read from and write to the selected printer.
class QRPrinterDevice {
 public:
  virtual ~QRPrinterDevice() = default;
  virtual std::int32_t PrinterCount() = 0;
  virtual QRPrinterNames Names() = 0;
  // The device mode in force: the one set, else the driver's defaults;
  // nothing when the spooler cannot give one.
  virtual std::optional<QRDeviceMode> DeviceMode() = 0;
  // Writes the fields into the printer's device mode and selects it again.
  virtual void SetDeviceMode(const QRDeviceMode& mode) = 0;
  virtual std::int32_t LogPixelsX() = 0;
  virtual std::int32_t LogPixelsY() = 0;
  // The escapes; nothing when the driver does not answer them.
  virtual std::optional<QRDevicePoint> PrintingOffset() = 0;
  virtual std::optional<QRDevicePoint> PhysicalPageSize() = 0;
  // Every paper code the driver lists for the device mode in force.
  virtual std::vector<std::int16_t> PaperCodes() = 0;
};

// The printer a page producer prints on: its own instance, selected by index.
class QRPlatformPrinter : public virtual QRPrinterDevice {
 public:
  virtual std::int32_t PrinterIndex() = 0;
  // -1 selects the system's default printer.
  virtual void SetPrinterIndex(std::int32_t index) = 0;
  // Selects the current device, driver and port again with the driver's
  // default device mode.
  virtual void ResetDeviceMode() = 0;

  virtual void SetTitle(const std::string& title) = 0;
  virtual void BeginDoc() = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  virtual void Abort() = 0;
  virtual bool Printing() = 0;
  // The open page's surface, with pen, brush and font chosen again after
  // every page break.
  virtual QRPageCanvas& Canvas() = 0;
  // A surface that measures text as the printer's pages do and draws nowhere,
  // for pages laid out but not printed; usable with or without a job.
  virtual QRPageCanvas& MeasuringCanvas() = 0;
  // The printable area in device pixels.
  virtual std::int32_t PageWidth() = 0;
  virtual std::int32_t PageHeight() = 0;
  // Plays a stored page stretched onto rect of the open page.
  virtual void DrawPage(const PageImage& page, const QRRect& rect) = 0;
};

}  // namespace report
