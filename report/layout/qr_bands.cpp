#include "report/layout/qr_bands.h"

#include <algorithm>

#include "report/layout/layout_report.h"
#include "report/layout/qr_controllers.h"
#include "report/layout/qr_printable.h"

namespace report {

namespace {

bool IsPageBound(TQRBandType type) {
  return type == rbTitle || type == rbPageHeader || type == rbPageFooter || type == rbOverlay;
}

// Puts a value back however the scope is left.
template <class T>
class Restore {
 public:
  Restore(T& slot, T value) : slot_(slot), value_(value) {}
  ~Restore() { slot_ = value_; }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

 private:
  T& slot_;
  T value_;
};

}  // namespace

// ---------------------------------------------------------------- panel

TQRBasePanel::TQRBasePanel(fw::TComponent* owner)
    : TQRControl(owner), frame_(std::make_unique<TQRFrame>([this] { Invalidate(); })) {}

TQRBasePanel::~TQRBasePanel() = default;

void TQRBasePanel::SetFrame(const TQRFrame& frame) {
  if (&frame != frame_.get()) CopyFrame(*frame_, frame);
  Invalidate();
}

void TQRBasePanel::SetZoom(int value) {
  if (value == 0) return;
  zoom_ = value;
  for (TQRControl* child : Controls()) {
    if (auto* printable = dynamic_cast<TQRPrintable*>(child))
      printable->SetZoom(value);
    else if (auto* panel = dynamic_cast<TQRBasePanel*>(child))
      panel->SetZoom(value);
  }
}

// ---------------------------------------------------------------- band

TQRCustomBand::TQRCustomBand(fw::TComponent* owner)
    : TQRBasePanel(owner), size_(std::make_unique<TQRBandSize>(&sizeLink_)) {
  SetColor(clWhite);
  ApplyBounds(Left(), Top(), Width(), 40);
}

TQRCustomBand::~TQRCustomBand() {
  MarkDestroying();
  LeaveReport();
}

void TQRCustomBand::LeaveReport() {
  if (report_) {
    LayoutReport* report = report_;
    report_ = nullptr;
    if (!report->Destroying()) {
      report->RemoveBand(this);
      report->OrderBands();
      report->LayoutBands();
    }
  }
}

void TQRCustomBand::AttachReport(LayoutReport* report) { report_ = report; }

void TQRCustomBand::SetLinkBand(TQRCustomBand* band) {
  for (TQRCustomBand* link = band; link; link = link->linkBand_)
    if (link == this) return;
  if (linkBand_) linkBand_->RemoveFreeNotification(this);
  linkBand_ = band;
  if (band) band->FreeNotification(this);
}

void TQRCustomBand::Notification(fw::TComponent* component, fw::TOperation operation) {
  TQRBasePanel::Notification(component, operation);
  if (operation == fw::TOperation::opRemove && component == linkBand_) linkBand_ = nullptr;
}

TQRCustomBand* TQRCustomBand::ChildBand() const {
  if (!report_) return nullptr;
  for (TQRCustomBand* band : report_->OrderedBands()) {
    auto* child = dynamic_cast<TQRChildBand*>(band);
    if (child && child->BandType() == rbChild && child->ParentBand() == this) return child;
  }
  return nullptr;
}

void TQRCustomBand::SetHasChild(bool value) {
  TQRCustomBand* child = ChildBand();
  if (value && !child) {
    auto* band = new TQRChildBand(Owner());
    band->SetParent(Parent());
    band->SetParentBand(this);
  } else if (!value && child) {
    if (auto* grandchild = dynamic_cast<TQRChildBand*>(child->ChildBand())) grandchild->SetParentBand(this);
    delete child;
  }
}

void TQRCustomBand::SetEnabled(bool value) {
  TQRBasePanel::SetEnabled(value);
  Invalidate();
}

void TQRCustomBand::SetZoom(int value) {
  TQRBasePanel::SetZoom(value);
  if (value == 0) return;
  size_->Zoom = value;
  size_->PushToOwner();
}

void TQRCustomBand::SetUnits(TQRUnit units) {
  size_->SetUnits(units);
  Invalidate();
  for (TQRControl* child : Controls())
    if (auto* printable = dynamic_cast<TQRPrintable*>(child)) printable->Size().SetUnits(units);
}

void TQRCustomBand::SetBounds(int left, int top, int width, int height) {
  if (Loading()) {
    if (height != 40) streamedHeight_ = height;
    ApplyBounds(left, top, width, height);
    return;
  }
  if (!report_) {
    ApplyBounds(left, top, width, height);
    return;
  }
  if (size_->OwnerUpdating) {
    ApplyBounds(left, top, width, height);
    if (!InLayout) report_->LayoutBands();
    for (TQRControl* child : Controls()) {
      auto* printable = dynamic_cast<TQRPrintable*>(child);
      if (printable && printable->AlignToBand()) printable->NotifyPrintable(this, kNotifyBandSized);
    }
    return;
  }
  // A resize from outside: only the height is the band's own to change;
  // widths come from the report's layout.
  QRPixelsSwitch pixels(*size_);
  if (size_->Height() != height) size_->SetHeight(height);
  if (left != Left() || top != Top()) {
    ApplyBounds(left, top, Width(), Height());
    if (!InLayout) report_->LayoutBands();
  }
}

void TQRCustomBand::SetParent(TQRControl* parent) {
  if (auto* band = dynamic_cast<TQRCustomBand*>(parent)) parent = band->Parent();
  if (parent == Parent()) return;
  if (dynamic_cast<LayoutReport*>(Parent())) LeaveReport();
  TQRBasePanel::SetParent(parent);
  if (auto* report = dynamic_cast<LayoutReport*>(parent)) {
    AttachReport(report);
    report->AddBand(this);
    report->OrderBands();
    report->LayoutBands();
    size_->SetReport(report);
    SetZoom(report->Zoom());
  }
}

void TQRCustomBand::Loaded() {
  TQRBasePanel::Loaded();
  size_->RefreshOwner();
  if (streamedHeight_ != 40 && Height() == 40) SetHeight(streamedHeight_);
}

long double TQRCustomBand::NativeHeight() const { return size_->NativeHeight(); }

bool TQRCustomBand::CanGrow(long double extra) const {
  return QRRound(NativeHeight() + Growth + extra) <= report_->SpaceLeft();
}

bool TQRCustomBand::Grow(long double& total, bool& started, long double extra) {
  if (!CanGrow(extra)) return false;
  bool result = false;
  if (!started && extra < Growth) {
    total = Growth;
    result = true;
  } else {
    Growth += extra;
    total = Growth;
  }
  started = true;
  return result;
}

void TQRCustomBand::AdvanceCursor() {
  report_->SetCursorY(report_->CursorY() + QRRound(NativeHeight() + Growth));
}

void TQRCustomBand::SetPageRect() {
  LayoutProducer& producer = *report_->Producer();
  const long double x = report_->CursorX(), y = report_->CursorY();
  PageRect = QRRect{producer.ToDeviceX(x), producer.ToDeviceY(y),
                    producer.ToDeviceX(x + size_->NativeWidth()), producer.ToDeviceY(y + NativeHeight() - 1)};
}

void TQRCustomBand::PrintControls() {
  LayoutProducer& producer = *report_->Producer();
  FillSolid(producer.Canvas(), PageRect, Color());
  Growth = 0;
  const long double designed = NativeHeight();
  struct HeightBack {
    TQRBandSize& size;
    long double height;
    ~HeightBack() { SetNativeHeight(size, height); }
  } back{*size_, designed};
  // Bands printed by a break (headers, footers) print once: continuing them
  // would break again from inside the break.
  const bool mayContinue = !report_->InBreak() && bandType_ != rbPageFooter;
  bool first = true;
  for (;;) {
    const bool fresh = report_->ColumnFresh();
    bool allFinished = true;
    for (TQRControl* child : Controls()) {
      auto* printable = dynamic_cast<TQRPrintable*>(child);
      if (!printable || !printable->Enabled()) continue;
      if (first || !printable->Finished()) {
        printable->SetOnFreshColumn(fresh);
        printable->PrintAt(report_->CursorX(), report_->CursorY());
      }
      allFinished = allFinished && printable->Finished();
    }
    Frame().DrawFrame(producer.Canvas(), PageRect, producer.PixelsPerUnitX(), producer.PixelsPerUnitY());
    report_->MarkColumnUsed();
    if (allFinished || !mayContinue || producer.CancelRequested()) break;
    report_->NextColumn();
    SetNativeHeight(*size_, kContinuedBandHeight);
    Growth = 0;
    // The frame of the continued part goes around the part printed here.
    SetPageRect();
    first = false;
  }
  AdvanceCursor();
}

void TQRCustomBand::PrintStep() {
  LayoutReport& report = *report_;
  bool printBand = Enabled();
  if (Enabled() && BeforePrint) BeforePrint(this, printBand);
  if (printBand) {
    const bool breakAllowed = !report.InBreak() && !IsPageBound(bandType_) && report.PageNo() > 0;
    if (ForceNewPage && breakAllowed)
      report.ForcedPageBreak();
    else if (ForceNewColumn && breakAllowed)
      report.ForcedColumnBreak();
    else
      report.MakeRoom(*this);
    if (ownerController_) ownerController_->NotifyExpressions();
    SetPageRect();
    if (Height() > 0 && Enabled()) PrintControls();
  } else if (ownerController_ && !Enabled()) {
    ownerController_->NotifyExpressions();
  }
  if (AfterPrint) AfterPrint(this, printBand);
  if (TQRCustomBand* child = ChildBand()) {
    // The type field itself: a type change through the writer would
    // re-order the report's bands in the middle of the pass.
    if (bandType_ == rbPageFooter) {
      Restore<TQRBandType> back(child->bandType_, rbChild);
      child->bandType_ = rbPageFooter;
      report.OutputBand(child);
    } else {
      report.OutputBand(child);
    }
  }
}

// ---------------------------------------------------------------- band classes

void TQRBand::SetBandType(TQRBandType value) {
  bandType_ = value;
  if (LayoutReport* report = Report()) {
    report->OrderBands();
    report->LayoutBands();
  }
}

TQRChildBand::TQRChildBand(fw::TComponent* owner) : TQRCustomBand(owner) { bandType_ = rbChild; }

void TQRChildBand::SetParentBand(TQRCustomBand* band) {
  for (TQRCustomBand* up = band; up;) {
    if (up == this) return;
    auto* child = dynamic_cast<TQRChildBand*>(up);
    up = child ? child->parentBand_ : nullptr;
  }
  LayoutReport* report = Report();
  if (!report) return;
  if (parentBand_) parentBand_->RemoveFreeNotification(this);
  parentBand_ = band;
  if (band) band->FreeNotification(this);
  if (!report->Destroying()) {
    report->OrderBands();
    report->LayoutBands();
  }
}

void TQRChildBand::Notification(fw::TComponent* component, fw::TOperation operation) {
  TQRCustomBand::Notification(component, operation);
  if (operation == fw::TOperation::opRemove && component == parentBand_) parentBand_ = nullptr;
}

TQRBandType EffectiveBandType(const TQRCustomBand& band) {
  const TQRCustomBand* current = &band;
  for (int guard = 0; current && guard < 1000; ++guard) {
    auto* child = dynamic_cast<const TQRChildBand*>(current);
    if (!child || current->BandType() != rbChild) return current->BandType();
    current = child->ParentBand();
  }
  return rbChild;
}

// ---------------------------------------------------------------- report bands

bool TQRReportBands::HasTitle() const { return report_.BandOfType(rbTitle) != nullptr; }
bool TQRReportBands::HasPageHeader() const { return report_.BandOfType(rbPageHeader) != nullptr; }
bool TQRReportBands::HasColumnHeader() const { return report_.BandOfType(rbColumnHeader) != nullptr; }
bool TQRReportBands::HasDetail() const { return report_.BandOfType(rbDetail) != nullptr; }
bool TQRReportBands::HasPageFooter() const { return report_.BandOfType(rbPageFooter) != nullptr; }
bool TQRReportBands::HasSummary() const { return report_.BandOfType(rbSummary) != nullptr; }

}  // namespace report
