// The base of every control that prints on a report: it keeps its place and
// size in tenths of a millimetre, aligns itself on its band, follows the
// report's zoom and units, and prints its frame at an offset.
#pragma once

#include <cstdint>
#include <memory>

#include "report/layout/qr_control.h"
#include "report/layout/layout_producer.h"

namespace report {

class LayoutReport;
class TQRCustomBand;

enum TAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// NotifyPrintable codes.
constexpr int kNotifyDetail = 0;     // a controller is about to print its detail band
constexpr int kNotifyBandSized = 2;  // the band holding the printable changed its bounds

class TQRPrintable : public TQRControl {
 public:
  explicit TQRPrintable(fw::TComponent* owner);
  ~TQRPrintable() override;

  // Enabled, or hidden (a hidden disabled control passes, as it always has).
  // Printing asks for Enabled alone (PrintAt).
  virtual bool IsPrintable() const;
  virtual void ApplyBandAlignment();
  virtual void PrintPrepare();
  // Offsets in tenths of a millimetre: the print position of the band. A
  // disabled control never prints, on a band or placed on the report.
  void PrintAt(int offsetX, int offsetY);
  virtual void NotifyPrintable(fw::TComponent* sender, int operation);
  virtual void SetAlignment(TAlignment value);
  virtual void PrintUnprepare();

  TAlignment Alignment() const { return alignment_; }
  bool AlignToBand() const { return alignToBand_; }
  void SetAlignToBand(bool value);
  bool Transparent() const { return !Opaque(); }
  void SetTransparent(bool value);

  TQRFrame& Frame() { return *frame_; }
  // Copies the values: the printable keeps its own frame.
  void SetFrame(const TQRFrame& frame);
  TQRPrintableSize& Size() { return *size_; }
  const TQRPrintableSize& Size() const { return *size_; }
  // Copies the values: the printable keeps its own size.
  void SetSize(const TQRPrintableSize& size);

  bool Prepared() const { return prepared_; }
  LayoutReport* Report() const { return report_; }
  void SetReport(LayoutReport* report);
  LayoutProducer* Producer() const { return producer_; }
  bool Finished() const { return finished_; }

  // Set by the band before each print: true when nothing but a break's
  // headers has printed in this column yet. An unfinished control printing
  // there must print at least its next piece, cut by the page if need be,
  // so that a continued band always moves on.
  bool OnFreshColumn() const { return onFreshColumn_; }
  void SetOnFreshColumn(bool value) { onFreshColumn_ = value; }

  int Zoom() const;
  void SetZoom(int value);

  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(TQRControl* parent) override;
  void Loaded() override;

 protected:
  void SetFinished(bool value) { finished_ = value; }
  // Draws the control (here its frame); PrintAt calls it for enabled controls only.
  virtual void Print(int offsetX, int offsetY);

 private:
  // Lets the size push its pixel bounds into this control.
  class SizeLink : public QRMeasuredControl {
   public:
    explicit SizeLink(TQRPrintable& printable) : printable_(printable) {}
    std::int32_t Left() const override { return printable_.Left(); }
    std::int32_t Top() const override { return printable_.Top(); }
    void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override {
      printable_.SetBounds(left, top, width, height);
    }

   private:
    TQRPrintable& printable_;
  };

  SizeLink sizeLink_{*this};
  bool aligning_ = false;
  TAlignment alignment_ = taLeftJustify;
  bool alignToBand_ = false;
  std::unique_ptr<TQRFrame> frame_;
  bool prepared_ = false;
  LayoutReport* report_ = nullptr;
  bool finished_ = true;
  LayoutProducer* producer_ = nullptr;
  std::unique_ptr<TQRPrintableSize> size_;
  bool onFreshColumn_ = false;
  int streamedTop_ = 0, streamedWidth_ = 0, streamedHeight_ = 0, streamedLeft_ = 0;
};

}  // namespace report
