// Panels and bands: a report is a stack of bands, each a horizontal strip of
// the page holding printable controls. A band prints through its print step:
// events, forced breaks or the room test, background, its controls (continued
// in the next column while a stretching one has more to print), frame and
// child band.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "report/layout/qr_control.h"
#include "report/layout/layout_producer.h"

namespace report {

class LayoutReport;
class TQRCustomController;

enum TQRBandType : std::uint8_t {
  rbTitle = 0,
  rbPageHeader = 1,
  rbDetail = 2,
  rbPageFooter = 3,
  rbSummary = 4,
  rbGroupHeader = 5,
  rbGroupFooter = 6,
  rbSubDetail = 7,
  rbColumnHeader = 8,
  rbOverlay = 9,
  rbChild = 10
};

class TQRBasePanel : public TQRControl {
 public:
  explicit TQRBasePanel(fw::TComponent* owner);
  ~TQRBasePanel() override;

  TQRFrame& Frame() { return *frame_; }
  // Copies the values: the panel keeps its own frame.
  void SetFrame(const TQRFrame& frame);
  int Zoom() const { return zoom_; }
  // 0 is ignored; children follow the new zoom.
  virtual void SetZoom(int value);

 private:
  std::unique_ptr<TQRFrame> frame_;
  int zoom_ = 100;
};

class TQRCustomBand;
using TQRBandBeforePrintEvent = std::function<void(TQRCustomBand* sender, bool& printBand)>;
using TQRBandAfterPrintEvent = std::function<void(TQRCustomBand* sender, bool bandPrinted)>;

// The height a band takes while a control continues it in a new column (10 mm).
constexpr long double kContinuedBandHeight = 100;

class TQRCustomBand : public TQRBasePanel {
 public:
  explicit TQRCustomBand(fw::TComponent* owner);
  ~TQRCustomBand() override;

  QRRect PageRect{};
  long double Growth = 0;
  TQRBandBeforePrintEvent BeforePrint;
  TQRBandAfterPrintEvent AfterPrint;
  bool AlignToBottom = false;
  bool ForceNewColumn = false;
  bool ForceNewPage = false;
  bool InLayout = false;

  TQRBandType BandType() const { return bandType_; }
  TQRBandSize& Size() { return *size_; }
  const TQRBandSize& Size() const { return *size_; }
  LayoutReport* Report() const { return report_; }
  virtual void AttachReport(LayoutReport* report);

  TQRCustomBand* LinkBand() const { return linkBand_; }
  // A link that leads back to this band is refused.
  void SetLinkBand(TQRCustomBand* band);
  TQRCustomController* OwnerController() const { return ownerController_; }
  void SetOwnerController(TQRCustomController* controller) { ownerController_ = controller; }

  TQRCustomBand* ChildBand() const;
  bool HasChild() const { return ChildBand() != nullptr; }
  void SetHasChild(bool value);

  void SetEnabled(bool value) override;
  void SetZoom(int value) override;
  void SetUnits(TQRUnit units);
  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(TQRControl* parent) override;
  void Loaded() override;

  // The band's designed height in tenths of a millimetre.
  long double NativeHeight() const;
  // Room for Extra more: round(height + growth + extra) fits in the space left.
  bool CanGrow(long double extra) const;
  // For stretching controls. False both when there is no room and when the
  // band grew; Total and Started tell the two apart.
  bool Grow(long double& total, bool& started, long double extra);
  void AdvanceCursor();
  // Called through the report's OutputBand.
  void PrintStep();

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override;
  TQRBandType bandType_ = rbTitle;

 private:
  // Lets the size push its pixel bounds into this band.
  class SizeLink : public QRMeasuredControl {
   public:
    explicit SizeLink(TQRCustomBand& band) : band_(band) {}
    std::int32_t Left() const override { return band_.Left(); }
    std::int32_t Top() const override { return band_.Top(); }
    void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override {
      band_.SetBounds(left, top, width, height);
    }

   private:
    TQRCustomBand& band_;
  };

  void PrintControls();
  void SetPageRect();
  void LeaveReport();

  SizeLink sizeLink_{*this};
  std::unique_ptr<TQRBandSize> size_;
  TQRCustomBand* linkBand_ = nullptr;
  LayoutReport* report_ = nullptr;
  int streamedHeight_ = 40;
  TQRCustomController* ownerController_ = nullptr;
};

class TQRBand : public TQRCustomBand {
 public:
  explicit TQRBand(fw::TComponent* owner) : TQRCustomBand(owner) {}
  // Re-orders and re-lays the report's bands.
  void SetBandType(TQRBandType value);
};

class TQRChildBand : public TQRCustomBand {
 public:
  explicit TQRChildBand(fw::TComponent* owner);
  TQRCustomBand* ParentBand() const { return parentBand_; }
  // Refused when it would make a loop of child bands, or while the band is
  // not on a report.
  void SetParentBand(TQRCustomBand* band);

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override;

 private:
  TQRCustomBand* parentBand_ = nullptr;
};

// The report's switches for its bands of each kind.
class TQRReportBands {
 public:
  explicit TQRReportBands(LayoutReport& report) : report_(report) {}
  bool HasTitle() const;
  bool HasPageHeader() const;
  bool HasColumnHeader() const;
  bool HasDetail() const;
  bool HasPageFooter() const;
  bool HasSummary() const;

 private:
  LayoutReport& report_;
};

// The band type whose room and width a band takes: a child band's is the
// first band up its parent chain that is not a child.
TQRBandType EffectiveBandType(const TQRCustomBand& band);

}  // namespace report
