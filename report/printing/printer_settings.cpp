#include "report/printing/printer_settings.h"

namespace report {

namespace {

constexpr std::int16_t kBinCodes[kQRBinCount] = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};

// Device pixels to 0.1 mm; a device without a resolution gives 0.
std::int32_t PixelsToNative(std::int32_t pixels, std::int32_t pixelsPerInch) {
  if (pixelsPerInch <= 0) return 0;
  return QRRound(static_cast<long double>(pixels) / pixelsPerInch * 254.0L);
}

bool Named(TQRPaperSize size) { return size != TQRPaperSize::Default && size != TQRPaperSize::Custom; }

}  // namespace

std::int16_t QRBinCode(TQRBin bin) {
  const auto index = static_cast<unsigned>(bin);
  return index < static_cast<unsigned>(kQRBinCount) ? kBinCodes[index] : 0;
}

void TPrinterSettings::AttachPrinter(QRPrinterDevice* printer) {
  printer_ = printer;
  if (printer_ && printer_->PrinterCount() > 0) LoadFromPrinter();
}

bool TPrinterSettings::Supports(std::uint32_t bits) const {
  return printer_ && hasMode_ && (mode_.Fields & bits) == bits;
}

void TPrinterSettings::LoadFromPrinter() {
  if (!printer_) return;
  names_ = printer_->Names();
  const auto mode = printer_->DeviceMode();
  hasMode_ = mode.has_value();
  mode_ = mode.value_or(QRDeviceMode{});

  pixelsPerInchX_ = printer_->LogPixelsX();
  pixelsPerInchY_ = printer_->LogPixelsY();
  copies_ = Supports(DM_COPIES_BIT) ? mode_.Copies : 1;

  outputBin_ = TQRBin::First;
  if (Supports(DM_DEFAULTSOURCE_BIT)) {
    for (int i = 0; i < kQRBinCount; ++i) {
      if (kBinCodes[i] == mode_.DefaultSource) {
        outputBin_ = static_cast<TQRBin>(i);
        break;
      }
    }
  }
  duplex_ = Supports(DM_DUPLEX_BIT) && mode_.Duplex != 1;

  leftOffset_ = topOffset_ = 0;
  if (const auto offset = printer_->PrintingOffset()) {
    leftOffset_ = PixelsToNative(offset->X, pixelsPerInchX_);
    topOffset_ = PixelsToNative(offset->Y, pixelsPerInchY_);
  }

  paperSize_ = TQRPaperSize::Default;
  if (Supports(DM_PAPERSIZE_BIT)) {
    for (int i = 1; i < kQRPaperSizeCount; ++i) {
      if (QRPaperInfo(static_cast<TQRPaperSize>(i)).PaperCode == mode_.PaperSize) {
        paperSize_ = static_cast<TQRPaperSize>(i);
        break;
      }
    }
  }

  paperWidth_ = paperLength_ = 0;
  if (const auto size = printer_->PhysicalPageSize()) {
    paperWidth_ = PixelsToNative(size->X, pixelsPerInchX_);
    paperLength_ = PixelsToNative(size->Y, pixelsPerInchY_);
  }

  supported_.fill(false);
  const auto codes = printer_->PaperCodes();
  const std::size_t count = codes.size() < kPaperCodeLimit ? codes.size() : kPaperCodeLimit;
  for (std::size_t c = 0; c < count; ++c) {
    for (int i = 1; i < kQRPaperSizeCount; ++i) {
      if (QRPaperInfo(static_cast<TQRPaperSize>(i)).PaperCode == codes[c]) {
        supported_[static_cast<std::size_t>(i)] = true;
        break;
      }
    }
  }
}

void TPrinterSettings::ApplyToPrinter() {
  if (!printer_) return;
  names_ = printer_->Names();
  const auto current = printer_->DeviceMode();
  if (!current) return;
  QRDeviceMode mode = *current;
  // The declared fields are the printer's as they are now.
  const auto declared = [&](std::uint32_t bits) { return (current->Fields & bits) == bits; };

  if (paperSize_ == TQRPaperSize::Custom) {
    if (declared(DM_PAPERLENGTH_BIT)) {
      mode.Fields |= DM_PAPERLENGTH_BIT;
      mode.PaperLength = static_cast<std::int16_t>(PaperLength());
    }
    if (declared(DM_PAPERWIDTH_BIT)) {
      mode.Fields |= DM_PAPERWIDTH_BIT;
      mode.PaperWidth = static_cast<std::int16_t>(PaperWidth());
    }
  }
  if (duplex_) {
    mode.Fields |= DM_DUPLEX_BIT;
    mode.Duplex = 3;
  }
  if (declared(DM_PAPERSIZE_BIT) && paperSize_ != TQRPaperSize::Default) {
    mode.Fields |= DM_PAPERSIZE_BIT;
    mode.PaperSize = QRPaperInfo(paperSize_).PaperCode;
  }
  mode.Fields |= DM_COPIES_BIT;
  mode.Copies = static_cast<std::int16_t>(copies_);
  mode.Fields |= DM_DEFAULTSOURCE_BIT;
  mode.DefaultSource = static_cast<std::int16_t>((mode.DefaultSource & 0x100) | QRBinCode(outputBin_));
  mode.Fields |= DM_ORIENTATION_BIT;
  mode.Orientation = orientation_ == fw::TPrinterOrientation::poLandscape ? 2 : 1;

  printer_->SetDeviceMode(mode);
  mode_ = mode;
  hasMode_ = true;
}

void TPrinterSettings::SetCopies(std::int32_t value) {
  if (Supports(DM_COPIES_BIT)) copies_ = value;
}

void TPrinterSettings::SetOrientation(fw::TPrinterOrientation value) {
  if (Supports(DM_ORIENTATION_BIT)) orientation_ = value;
}

void TPrinterSettings::SetOutputBin(TQRBin value) {
  if (Supports(DM_DEFAULTSOURCE_BIT) && static_cast<int>(value) < kQRBinCount) outputBin_ = value;
}

void TPrinterSettings::SetPaperSize(TQRPaperSize value) {
  if (value == TQRPaperSize::Default || PaperSupported(value)) paperSize_ = value;
}

bool TPrinterSettings::PaperSupported(TQRPaperSize size) const {
  const auto index = static_cast<std::size_t>(size);
  return index >= 1 && index < supported_.size() && supported_[index];
}

std::int32_t TPrinterSettings::PaperWidth() const {
  return Named(paperSize_) ? QRRound(QRPaperInfo(paperSize_).Width * 10) : paperWidth_;
}

std::int32_t TPrinterSettings::PaperLength() const {
  return Named(paperSize_) ? QRRound(QRPaperInfo(paperSize_).Length * 10) : paperLength_;
}

void TPrinterSettings::SetPaperWidth(std::int32_t value) {
  if (paperSize_ == TQRPaperSize::Custom) paperWidth_ = value;
}

void TPrinterSettings::SetPaperLength(std::int32_t value) {
  if (paperSize_ == TQRPaperSize::Custom) paperLength_ = value;
}

}  // namespace report
