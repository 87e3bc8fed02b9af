// A report's view of one printer: what its driver offers (papers, bins,
// copies, resolution, unprintable margins) and what the report wants of it,
// refusing wishes the driver does not declare, and written back into the
// printer's device mode before a report prints.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "report/printing/measures.h"
#include "report/printing/printer_device.h"

namespace report {

enum class TQRBin : std::uint8_t {
  First,
  Upper,
  Lower,
  Middle,
  Manual,
  Envelope,
  EnvManual,
  Auto,
  Tractor,
  SmallFormat,
  LargeFormat,
  LargeCapacity,
  Cassette,
  Last
};
constexpr int kQRBinCount = 14;
// The device mode's paper source code of a bin.
std::int16_t QRBinCode(TQRBin bin);

class TPrinterSettings {
 public:
  TPrinterSettings() = default;
  TPrinterSettings(const TPrinterSettings&) = delete;
  TPrinterSettings& operator=(const TPrinterSettings&) = delete;

  // Reads the printer's settings when it has any printers; null detaches.
  void AttachPrinter(QRPrinterDevice* printer);
  void LoadFromPrinter();
  void ApplyToPrinter();

  const std::string& DeviceName() const { return names_.Device; }
  const std::string& DriverName() const { return names_.Driver; }
  const std::string& PortName() const { return names_.Port; }

  std::int32_t Copies() const { return copies_; }
  void SetCopies(std::int32_t value);
  bool Duplex() const { return duplex_; }
  void SetDuplex(bool value) { duplex_ = value; }
  fw::TPrinterOrientation Orientation() const { return orientation_; }
  void SetOrientation(fw::TPrinterOrientation value);
  TQRBin OutputBin() const { return outputBin_; }
  void SetOutputBin(TQRBin value);
  TQRPaperSize PaperSize() const { return paperSize_; }
  void SetPaperSize(TQRPaperSize value);
  bool PaperSupported(TQRPaperSize size) const;
  // 0.1 mm: the table's size for a named paper, else the stored one.
  std::int32_t PaperWidth() const;
  std::int32_t PaperLength() const;
  void SetPaperWidth(std::int32_t value);
  void SetPaperLength(std::int32_t value);
  std::int32_t PixelsPerInchX() const { return pixelsPerInchX_; }
  std::int32_t PixelsPerInchY() const { return pixelsPerInchY_; }
  std::int32_t TopOffset() const { return topOffset_; }
  std::int32_t LeftOffset() const { return leftOffset_; }

  // The first 256 paper codes a driver lists are read.
  static constexpr std::size_t kPaperCodeLimit = 256;

 private:
  bool Supports(std::uint32_t bits) const;

  QRPrinterNames names_;
  QRDeviceMode mode_;
  bool hasMode_ = false;
  std::int32_t copies_ = 0;
  bool duplex_ = false;
  fw::TPrinterOrientation orientation_ = fw::TPrinterOrientation::poPortrait;
  TQRBin outputBin_ = TQRBin::First;
  TQRPaperSize paperSize_ = TQRPaperSize::A4;
  std::array<bool, kQRPaperSizeCount> supported_{};
  std::int32_t paperWidth_ = 0;
  std::int32_t paperLength_ = 0;
  std::int32_t pixelsPerInchX_ = 0;
  std::int32_t pixelsPerInchY_ = 0;
  std::int32_t topOffset_ = 0;
  std::int32_t leftOffset_ = 0;
  QRPrinterDevice* printer_ = nullptr;
};

// The printer settings a report publishes and hands to its page producer.
struct TQRReportPrinterSettings {
  std::int32_t Copies = 1;
  bool Duplex = false;
  std::int32_t FirstPage = 0;
  std::int32_t LastPage = 0;
  TQRBin OutputBin = TQRBin::Auto;
  std::int32_t PrinterIndex = -1;
  TQRPaperSize PaperSize = TQRPaperSize::Letter;
  std::string Title;
};

}  // namespace report
