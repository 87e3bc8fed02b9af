// Report lengths. Every length of a report lives in one native unit, a tenth
// of a millimetre, as an extended float, and is shown to the report's user in
// the unit the report chose. The page, a band's size and a printable's size
// measure their owner in that unit and push their pixel size back to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics_types.h"

namespace report {

// The report engine's one rounding: to the nearest integer, an exact half to
// the even neighbour. Values beyond 32 bits are held at the nearest end; a
// value that is not a number gives 0.
std::int32_t QRRound(long double value);

enum class TQRUnit : std::uint8_t { MM = 0, Inches = 1, Pixels = 2, Characters = 3, Native = 4 };

// The paper sizes, numbered as the system's paper codes 0 to 26, plus Custom.
enum class TQRPaperSize : std::uint8_t {
  Default = 0,
  Letter,
  LetterSmall,
  Tabloid,
  Ledger,
  Legal,
  Statement,
  Executive,
  A3,
  A4,
  A4Small,
  A5,
  B4,
  B5,
  Folio,
  Quarto,
  qr10X14,
  qr11X17,
  Note,
  Env9,
  Env10,
  Env11,
  Env12,
  Env14,
  CSheet,
  DSheet,
  ESheet,
  Custom
};
constexpr int kQRPaperSizeCount = 28;

struct QRPaperRow {
  const char* Name;
  // Millimetres, portrait; 0 for Default and Custom.
  long double Width;
  long double Length;
  // The paper code of a printer's device mode.
  std::int16_t PaperCode;
};

// The paper table row of a size (the Default row for a value out of range).
const QRPaperRow& QRPaperInfo(TQRPaperSize size);

// Whether new reports measure in inches: the system's measurement setting,
// taken once at start-up. False until then.
extern bool DefaultInches;
// The screen's pixels per inch as measures take it at construction; set at
// start-up, 96 until then.
std::int32_t QRScreenDpi();
void SetQRScreenDpi(std::int32_t pixelsPerInch);

// Character cells per inch of a font of the given point size; a size of 0
// counts as the report's default of 10 points.
long double CharWidthFactor(std::int32_t pointSize);
long double CharHeightFactor(std::int32_t pointSize);

// What a measure needs from the report it belongs to.
class QRMeasureReport {
 public:
  virtual ~QRMeasureReport() = default;
  // The point size of the report's font (sign ignored), for the Characters unit.
  virtual std::int32_t FontPointSize() const = 0;
  // Places the report's bands again after a page length changed.
  virtual void LayoutBands() = 0;
  virtual void Repaint() = 0;
  // The report panel's size in screen pixels.
  virtual void SetPanelSize(std::int32_t width, std::int32_t height) = 0;
  // Sets the report's Units once more, after the ruler was switched.
  virtual void ReapplyUnits() = 0;
};

// The control a band or printable size measures.
class QRMeasuredControl {
 public:
  virtual ~QRMeasuredControl() = default;
  virtual std::int32_t Left() const = 0;
  virtual std::int32_t Top() const = 0;
  // Called with the measure's OwnerUpdating set: the control takes the
  // bounds without writing them back into the measure.
  virtual void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) = 0;
};

class TQRUnitBase {
 public:
  TQRUnitBase();
  virtual ~TQRUnitBase() = default;
  TQRUnitBase(const TQRUnitBase&) = delete;
  TQRUnitBase& operator=(const TQRUnitBase&) = delete;

  virtual long double NativeToUnits(long double value, TQRUnit unit, bool horizontal) const;
  virtual long double UnitsToNative(long double value, TQRUnit unit, bool horizontal) const;
  virtual TQRUnit Units() const { return units_; }
  virtual void RefreshOwner() { PushToOwner(); }
  // The "Values" of the stream: the native lengths in the class's own order.
  // Reading takes them as they are, without the writers' rules.
  virtual void StreamInValues(const std::vector<long double>& values);
  virtual void PushToOwner() {}
  virtual void SetUnits(TQRUnit units) { units_ = units; }
  virtual std::vector<long double> StreamOutValues() const { return {}; }

  // Measure in pixels for a while, without telling anyone. Switches nest:
  // each RestoreUnits gives back the unit its own SwitchToPixels found.
  void SwitchToPixels();
  void RestoreUnits();
  // The unit the innermost open switch found (the current unit when none is open).
  TQRUnit UnitsBeforeSwitch() const;

  QRMeasureReport* Report() const { return report_; }
  void SetReport(QRMeasureReport* report) { report_ = report; }

  std::int32_t ScreenDpi;
  // Percent, for the Pixels unit.
  std::int32_t Zoom = 100;
  // Set while the measure pushes its size into its owner.
  bool OwnerUpdating = false;

 protected:
  // A native value in Units, and back.
  long double Shown(long double native, bool horizontal) const {
    return NativeToUnits(native, Units(), horizontal);
  }
  long double Native(long double shown, bool horizontal) const {
    return UnitsToNative(shown, Units(), horizontal);
  }
  // A native value in whole screen pixels (at Zoom).
  std::int32_t PixelsOf(long double native, bool horizontal) const {
    return QRRound(NativeToUnits(native, TQRUnit::Pixels, horizontal));
  }
  // The number of values StreamInValues expects; other counts are refused.
  void CheckValueCount(const std::vector<long double>& values, std::size_t expected) const;

 private:
  long double CharFactor(bool horizontal) const;
  TQRUnit units_ = TQRUnit::MM;
  std::vector<TQRUnit> switched_;
  QRMeasureReport* report_ = nullptr;
};

// Switches a measure to pixels for the life of the guard.
class QRPixelsSwitch {
 public:
  explicit QRPixelsSwitch(TQRUnitBase& measure) : measure_(measure) { measure_.SwitchToPixels(); }
  ~QRPixelsSwitch() { measure_.RestoreUnits(); }
  QRPixelsSwitch(const QRPixelsSwitch&) = delete;
  QRPixelsSwitch& operator=(const QRPixelsSwitch&) = delete;

 private:
  TQRUnitBase& measure_;
};

// A band's size: 40 by 20 native when new.
class TQRBandSize : public TQRUnitBase {
 public:
  explicit TQRBandSize(QRMeasuredControl* band = nullptr) : band_(band) {}

  long double Height() const { return Shown(height_, false); }
  long double Width() const { return Shown(width_, true); }
  void SetHeight(long double value);
  void SetWidth(long double value);
  long double NativeHeight() const { return height_; }
  long double NativeWidth() const { return width_; }

  void PushToOwner() override;
  void StreamInValues(const std::vector<long double>& values) override;
  std::vector<long double> StreamOutValues() const override { return {height_, width_}; }

 private:
  QRMeasuredControl* band_;
  long double width_ = 40;
  long double height_ = 20;
};

// A printable's place and size on its band: each 20 native when new.
class TQRPrintableSize : public TQRUnitBase {
 public:
  explicit TQRPrintableSize(QRMeasuredControl* printable = nullptr) : printable_(printable) {}

  long double Height() const { return Shown(height_, false); }
  long double Left() const { return Shown(left_, true); }
  long double Top() const { return Shown(top_, false); }
  long double Width() const { return Shown(width_, true); }
  void SetHeight(long double value);
  void SetLeft(long double value);
  void SetTop(long double value);
  void SetWidth(long double value);
  long double NativeHeight() const { return height_; }
  long double NativeLeft() const { return left_; }
  long double NativeTop() const { return top_; }
  long double NativeWidth() const { return width_; }

  void PushToOwner() override;
  void StreamInValues(const std::vector<long double>& values) override;
  std::vector<long double> StreamOutValues() const override { return {height_, left_, top_, width_}; }

 private:
  QRMeasuredControl* printable_;
  long double height_ = 20;
  long double left_ = 20;
  long double top_ = 20;
  long double width_ = 20;
};

// The report's page: paper, orientation, margins and columns. Its size writers
// accept values only for Custom paper; a named paper takes its size from the
// paper table.
class TQRPage : public TQRUnitBase {
 public:
  // The report is told of every change, from the constructor on; it may be null.
  explicit TQRPage(QRMeasureReport* report = nullptr);

  long double BottomMargin() const { return Shown(bottomMargin_, false); }
  long double Length() const { return Shown(length_, false); }
  long double TopMargin() const { return Shown(topMargin_, false); }
  long double Width() const { return Shown(width_, true); }
  long double LeftMargin() const { return Shown(leftMargin_, true); }
  long double RightMargin() const { return Shown(rightMargin_, true); }
  long double ColumnSpace() const { return Shown(columnSpace_, true); }
  void SetBottomMargin(long double value);
  void SetLength(long double value);
  void SetTopMargin(long double value);
  void SetWidth(long double value);
  void SetLeftMargin(long double value);
  void SetRightMargin(long double value);
  void SetColumnSpace(long double value);

  std::int32_t Columns() const { return columns_; }
  void SetColumns(std::int32_t value);
  fw::TPrinterOrientation Orientation() const { return orientation_; }
  void SetOrientation(fw::TPrinterOrientation value);
  TQRPaperSize PaperSize() const { return paperSize_; }
  void SetPaperSize(TQRPaperSize value);
  bool Ruler() const { return ruler_; }
  void SetRuler(bool value);

  // The lengths in native units, as generation uses them.
  long double NativeBottomMargin() const { return bottomMargin_; }
  long double NativeLength() const { return length_; }
  long double NativeTopMargin() const { return topMargin_; }
  long double NativeWidth() const { return width_; }
  long double NativeLeftMargin() const { return leftMargin_; }
  long double NativeRightMargin() const { return rightMargin_; }
  long double NativeColumnSpace() const { return columnSpace_; }

  void SetUnits(TQRUnit units) override;
  void PushToOwner() override;
  void StreamInValues(const std::vector<long double>& values) override;
  std::vector<long double> StreamOutValues() const override {
    return {bottomMargin_, length_, topMargin_, width_, leftMargin_, rightMargin_, columnSpace_};
  }

 private:
  void LayoutBands();
  void Repaint();

  long double bottomMargin_ = 0;
  long double columnSpace_ = 0;
  std::int32_t columns_ = 0;
  long double leftMargin_ = 0;
  long double length_ = 0;
  fw::TPrinterOrientation orientation_ = fw::TPrinterOrientation::poPortrait;
  TQRPaperSize paperSize_ = TQRPaperSize::Default;
  long double rightMargin_ = 0;
  bool ruler_ = false;
  long double topMargin_ = 0;
  long double width_ = 0;
};

}  // namespace report
