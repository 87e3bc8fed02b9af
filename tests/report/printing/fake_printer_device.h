// A printer device whose driver answers are set by the test, and which keeps
// the device mode written back to it.
#pragma once

#include <optional>
#include <vector>

#include "report/printing/printer_device.h"

namespace report::testing {

class FakePrinterDevice : public virtual QRPrinterDevice {
 public:
  std::int32_t Count = 1;
  QRPrinterNames PrinterNames{"PDF", "winspool", "CUPS:PDF"};
  std::optional<QRDeviceMode> Mode = QRDeviceMode{};
  std::int32_t DpiX = 600, DpiY = 600;
  std::optional<QRDevicePoint> Offset;
  std::optional<QRDevicePoint> Physical;
  std::vector<std::int16_t> Papers;
  int ModeWrites = 0;

  std::int32_t PrinterCount() override { return Count; }
  QRPrinterNames Names() override { return PrinterNames; }
  std::optional<QRDeviceMode> DeviceMode() override { return Mode; }
  void SetDeviceMode(const QRDeviceMode& mode) override {
    Mode = mode;
    ++ModeWrites;
  }
  std::int32_t LogPixelsX() override { return DpiX; }
  std::int32_t LogPixelsY() override { return DpiY; }
  std::optional<QRDevicePoint> PrintingOffset() override { return Offset; }
  std::optional<QRDevicePoint> PhysicalPageSize() override { return Physical; }
  std::vector<std::int16_t> PaperCodes() override { return Papers; }
};

}  // namespace report::testing
