#include "report/printing/measures.h"

#include <cfenv>
#include <cmath>
#include <limits>

#include "report/pages/error.h"

namespace report {

namespace {

// 1 / 2.54: centimetres to inches.
constexpr long double kInchesPerCentimetre = 0.39370078740157480316L;

constexpr QRPaperRow kPaperTable[kQRPaperSizeCount] = {
    {"Default", 0, 0, 0},
    {"Letter", 215.9L, 279.4L, 1},
    {"LetterSmall", 215.9L, 279.4L, 2},
    {"Tabloid", 279.4L, 431.8L, 3},
    {"Ledger", 431.8L, 279.4L, 4},
    {"Legal", 215.9L, 355.6L, 5},
    {"Statement", 139.7L, 215.9L, 6},
    {"Executive", 190.5L, 254.0L, 7},
    {"A3", 297.0L, 420.0L, 8},
    {"A4", 210.0L, 297.0L, 9},
    {"A4Small", 210.0L, 297.0L, 10},
    {"A5", 148.0L, 210.0L, 11},
    {"B4", 250.0L, 354.0L, 12},
    {"B5", 182.0L, 257.0L, 13},
    {"Folio", 215.9L, 330.2L, 14},
    {"Quarto", 215.0L, 275.0L, 15},
    {"qr10X14", 254.0L, 355.6L, 16},
    {"qr11X17", 279.4L, 431.8L, 17},
    {"Note", 215.9L, 279.0L, 18},
    {"Env9", 98.43L, 225.4L, 19},
    {"Env10", 104.8L, 241.3L, 20},
    {"Env11", 114.3L, 263.5L, 21},
    {"Env12", 101.6L, 279.4L, 22},
    {"Env14", 127.0L, 292.1L, 23},
    {"CSheet", 100.0L, 100.0L, 24},
    {"DSheet", 100.0L, 100.0L, 25},
    {"ESheet", 100.0L, 100.0L, 26},
    {"Custom", 0, 0, 256},
};

std::int32_t screenDpi = 96;

std::int32_t FontSizeOrDefault(std::int32_t pointSize) {
  // Sizes come as negative heights too; a missing size is the report's 10 points.
  const std::int64_t size = pointSize < 0 ? -static_cast<std::int64_t>(pointSize) : pointSize;
  return size == 0 ? 10 : static_cast<std::int32_t>(size > 0x7FFFFFFF ? 0x7FFFFFFF : size);
}

// Clears the owner-updating flag however the owner's handler ends.
class OwnerUpdate {
 public:
  explicit OwnerUpdate(bool& flag) : flag_(flag) { flag_ = true; }
  ~OwnerUpdate() { flag_ = false; }
  OwnerUpdate(const OwnerUpdate&) = delete;
  OwnerUpdate& operator=(const OwnerUpdate&) = delete;

 private:
  bool& flag_;
};

}  // namespace

bool DefaultInches = false;

std::int32_t QRRound(long double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<long double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (value <= static_cast<long double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  // The default rounding mode sends halves to the even neighbour; no one here
  // changes it, but say so rather than rely on it.
  const int mode = std::fegetround();
  if (mode != FE_TONEAREST) std::fesetround(FE_TONEAREST);
  const long double rounded = std::nearbyint(value);
  if (mode != FE_TONEAREST) std::fesetround(mode);
  return static_cast<std::int32_t>(rounded);
}

const QRPaperRow& QRPaperInfo(TQRPaperSize size) {
  const auto index = static_cast<unsigned>(size);
  return index < static_cast<unsigned>(kQRPaperSizeCount) ? kPaperTable[index] : kPaperTable[0];
}

std::int32_t QRScreenDpi() { return screenDpi; }
void SetQRScreenDpi(std::int32_t pixelsPerInch) { screenDpi = pixelsPerInch > 0 ? pixelsPerInch : 96; }

long double CharWidthFactor(std::int32_t pointSize) {
  return 80.0L / FontSizeOrDefault(pointSize) * kInchesPerCentimetre;
}

long double CharHeightFactor(std::int32_t pointSize) {
  return 145.3L / FontSizeOrDefault(pointSize) * kInchesPerCentimetre;
}

// --- TQRUnitBase

TQRUnitBase::TQRUnitBase() : ScreenDpi(QRScreenDpi()) {
  units_ = DefaultInches ? TQRUnit::Inches : TQRUnit::MM;
}

long double TQRUnitBase::CharFactor(bool horizontal) const {
  const std::int32_t size = report_ ? report_->FontPointSize() : 0;
  return horizontal ? CharWidthFactor(size) : CharHeightFactor(size);
}

long double TQRUnitBase::NativeToUnits(long double value, TQRUnit unit, bool horizontal) const {
  switch (unit) {
    case TQRUnit::MM:
      return value * 0.1L;
    case TQRUnit::Inches:
      return value / 254.0L;
    case TQRUnit::Pixels:
      return value / (254.0L / ScreenDpi) * Zoom * 0.01L;
    case TQRUnit::Characters:
      return value / CharFactor(horizontal) * 0.1L;
    default:
      return value;
  }
}

long double TQRUnitBase::UnitsToNative(long double value, TQRUnit unit, bool horizontal) const {
  switch (unit) {
    case TQRUnit::MM:
      return value * 10.0L;
    case TQRUnit::Inches:
      return value * 254.0L;
    case TQRUnit::Pixels:
      return value * (254.0L / ScreenDpi) / Zoom * 100.0L;
    case TQRUnit::Characters:
      return value * CharFactor(horizontal) * 10.0L;
    default:
      return value;
  }
}

void TQRUnitBase::StreamInValues(const std::vector<long double>& values) { CheckValueCount(values, 0); }

void TQRUnitBase::CheckValueCount(const std::vector<long double>& values, std::size_t expected) const {
  if (values.size() != expected)
    throw EQRError("Wrong number of measure values: " + std::to_string(values.size()) + " instead of " +
                   std::to_string(expected));
}

void TQRUnitBase::SwitchToPixels() {
  switched_.push_back(units_);
  units_ = TQRUnit::Pixels;
}

void TQRUnitBase::RestoreUnits() {
  if (switched_.empty()) return;
  units_ = switched_.back();
  switched_.pop_back();
}

TQRUnit TQRUnitBase::UnitsBeforeSwitch() const { return switched_.empty() ? units_ : switched_.back(); }

// --- TQRBandSize

void TQRBandSize::SetHeight(long double value) {
  height_ = Native(value, false);
  PushToOwner();
}

void TQRBandSize::SetWidth(long double value) {
  width_ = Native(value, true);
  PushToOwner();
}

void TQRBandSize::PushToOwner() {
  if (!band_) return;
  OwnerUpdate updating(OwnerUpdating);
  band_->SetBounds(band_->Left(), band_->Top(), PixelsOf(width_, true), PixelsOf(height_, false));
}

void TQRBandSize::StreamInValues(const std::vector<long double>& values) {
  CheckValueCount(values, 2);
  height_ = values[0];
  width_ = values[1];
}

// --- TQRPrintableSize

void TQRPrintableSize::SetHeight(long double value) {
  height_ = Native(value, false);
  PushToOwner();
}

void TQRPrintableSize::SetLeft(long double value) {
  left_ = Native(value, true);
  PushToOwner();
}

void TQRPrintableSize::SetTop(long double value) {
  top_ = Native(value, false);
  PushToOwner();
}

void TQRPrintableSize::SetWidth(long double value) {
  width_ = Native(value, true);
  PushToOwner();
}

void TQRPrintableSize::PushToOwner() {
  if (!printable_) return;
  OwnerUpdate updating(OwnerUpdating);
  printable_->SetBounds(PixelsOf(left_, true), PixelsOf(top_, false), PixelsOf(width_, true),
                        PixelsOf(height_, false));
}

void TQRPrintableSize::StreamInValues(const std::vector<long double>& values) {
  CheckValueCount(values, 4);
  height_ = values[0];
  left_ = values[1];
  top_ = values[2];
  width_ = values[3];
}

// --- TQRPage

TQRPage::TQRPage(QRMeasureReport* report) {
  SetReport(report);
  bottomMargin_ = 0;
  SetUnits(DefaultInches ? TQRUnit::Inches : TQRUnit::MM);
  SetPaperSize(DefaultInches ? TQRPaperSize::Letter : TQRPaperSize::A4);
  const long double margin = DefaultInches ? 0.5L : 10.0L;
  SetTopMargin(margin);
  SetBottomMargin(margin);
  SetLeftMargin(margin);
  SetRightMargin(margin);
  ruler_ = true;
  SetColumns(1);
}

void TQRPage::LayoutBands() {
  if (Report()) Report()->LayoutBands();
}

void TQRPage::Repaint() {
  if (Report()) Report()->Repaint();
}

void TQRPage::SetBottomMargin(long double value) {
  bottomMargin_ = Native(value, false);
  PushToOwner();
  LayoutBands();
}

void TQRPage::SetLength(long double value) {
  if (paperSize_ != TQRPaperSize::Custom) return;
  length_ = Native(value, false);
  PushToOwner();
  LayoutBands();
}

void TQRPage::SetWidth(long double value) {
  if (paperSize_ != TQRPaperSize::Custom) return;
  width_ = Native(value, true);
  PushToOwner();
  LayoutBands();
}

void TQRPage::SetTopMargin(long double value) {
  topMargin_ = Native(value, false);
  LayoutBands();
  Repaint();
}

void TQRPage::SetLeftMargin(long double value) {
  leftMargin_ = Native(value, true);
  LayoutBands();
  Repaint();
}

void TQRPage::SetRightMargin(long double value) {
  rightMargin_ = Native(value, true);
  LayoutBands();
  Repaint();
}

void TQRPage::SetColumnSpace(long double value) {
  columnSpace_ = Native(value, true);
  LayoutBands();
  Repaint();
}

void TQRPage::SetColumns(std::int32_t value) {
  if (value <= 0 || value == columns_) return;
  columns_ = value;
  LayoutBands();
  Repaint();
}

void TQRPage::SetOrientation(fw::TPrinterOrientation value) {
  orientation_ = value;
  SetPaperSize(paperSize_);
}

void TQRPage::SetPaperSize(TQRPaperSize value) {
  if (static_cast<int>(value) >= kQRPaperSizeCount) return;
  if (value != TQRPaperSize::Default && value != TQRPaperSize::Custom) {
    const QRPaperRow& paper = QRPaperInfo(value);
    {
      QRPixelsSwitch pixels(*this);
      SetUnits(TQRUnit::MM);
      paperSize_ = TQRPaperSize::Custom;
      const bool portrait = orientation_ == fw::TPrinterOrientation::poPortrait;
      SetWidth(portrait ? paper.Width : paper.Length);
      SetLength(portrait ? paper.Length : paper.Width);
    }
    LayoutBands();
  }
  paperSize_ = value;
}

void TQRPage::SetRuler(bool value) {
  if (value == ruler_) return;
  ruler_ = value;
  Repaint();
  if (Report()) Report()->ReapplyUnits();
}

void TQRPage::SetUnits(TQRUnit units) {
  TQRUnitBase::SetUnits(units);
  Repaint();
}

void TQRPage::PushToOwner() {
  if (OwnerUpdating || !Report()) return;
  OwnerUpdate updating(OwnerUpdating);
  Report()->SetPanelSize(PixelsOf(width_, true), PixelsOf(length_, false));
}

void TQRPage::StreamInValues(const std::vector<long double>& values) {
  CheckValueCount(values, 7);
  bottomMargin_ = values[0];
  length_ = values[1];
  topMargin_ = values[2];
  width_ = values[3];
  leftMargin_ = values[4];
  rightMargin_ = values[5];
  columnSpace_ = values[6];
  PushToOwner();
}

}  // namespace report
