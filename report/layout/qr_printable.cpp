#include "report/layout/qr_printable.h"

#include "report/layout/layout_report.h"
#include "report/layout/qr_bands.h"

namespace report {

TQRPrintable::TQRPrintable(fw::TComponent* owner)
    : TQRControl(owner),
      frame_(std::make_unique<TQRFrame>([this] { Invalidate(); })),
      size_(std::make_unique<TQRPrintableSize>(&sizeLink_)) {
  SetColor(clWhite);
  ApplyBounds(Left(), Top(), 10, 10);
}

TQRPrintable::~TQRPrintable() = default;

bool TQRPrintable::IsPrintable() const { return Enabled() || !Visible(); }

void TQRPrintable::ApplyBandAlignment() {
  if (!alignToBand_) return;
  aligning_ = true;
  auto* band = dynamic_cast<TQRCustomBand*>(Parent());
  switch (alignment_) {
    case taLeftJustify:
      SetLeft(0);
      break;
    case taRightJustify:
      if (band) SetLeft(band->Width() - Width());
      break;
    case taCenter:
      // Integer division truncates toward zero, also for a band narrower than us.
      if (band) SetLeft((band->Width() - Width()) / 2);
      break;
  }
  aligning_ = false;
}

void TQRPrintable::PrintPrepare() {
  prepared_ = true;
  producer_ = report_ ? report_->Producer() : nullptr;
}

void TQRPrintable::PrintAt(int offsetX, int offsetY) {
  if (Enabled()) Print(offsetX, offsetY);
}

void TQRPrintable::Print(int offsetX, int offsetY) {
  if (!producer_ || !frame_->AnySide()) return;
  const TQRPrintableSize& size = *size_;
  const long double left = size.NativeLeft(), top = size.NativeTop();
  const QRRect rect{producer_->ToDeviceX(offsetX + left), producer_->ToDeviceY(offsetY + top),
                    producer_->ToDeviceX(offsetX + left + size.NativeWidth()),
                    producer_->ToDeviceY(offsetY + top + size.NativeHeight())};
  frame_->DrawFrame(producer_->Canvas(), rect, producer_->PixelsPerUnitX(), producer_->PixelsPerUnitY());
}

void TQRPrintable::NotifyPrintable(fw::TComponent* /*sender*/, int operation) {
  if (operation == kNotifyBandSized) ApplyBandAlignment();
}

void TQRPrintable::SetAlignment(TAlignment value) {
  alignment_ = value;
  if (alignToBand_) ApplyBandAlignment();
  Invalidate();
}

void TQRPrintable::PrintUnprepare() { prepared_ = false; }

void TQRPrintable::SetAlignToBand(bool value) {
  alignToBand_ = value;
  ApplyBandAlignment();
}

void TQRPrintable::SetTransparent(bool value) {
  if (value == Transparent()) return;
  SetOpaque(!value);
  Invalidate();
}

void TQRPrintable::SetFrame(const TQRFrame& frame) {
  if (&frame != frame_.get()) CopyFrame(*frame_, frame);
  Invalidate();
}

void TQRPrintable::SetSize(const TQRPrintableSize& size) {
  if (&size == size_.get()) return;
  size_->SetUnits(size.Units());
  size_->Zoom = size.Zoom;
  size_->StreamInValues(size.StreamOutValues());
  size_->PushToOwner();
}

void TQRPrintable::SetReport(LayoutReport* report) {
  report_ = report;
  size_->SetReport(report);
}

int TQRPrintable::Zoom() const { return size_->Zoom; }

void TQRPrintable::SetZoom(int value) {
  size_->Zoom = value;
  size_->PushToOwner();
}

void TQRPrintable::SetBounds(int left, int top, int width, int height) {
  if (size_->OwnerUpdating) {
    ApplyBounds(left, top, width, height);
  } else if (Loading()) {
    // The description's bounds; "Values" read later may hold the true ones.
    if (left != 0) streamedLeft_ = left;
    if (top != 0) streamedTop_ = top;
    if (width != 0) streamedWidth_ = width;
    if (height != 0) streamedHeight_ = height;
    ApplyBounds(left, top, width, height);
  } else {
    QRPixelsSwitch pixels(*size_);
    size_->SetHeight(height);
    size_->SetWidth(width);
    size_->SetTop(top);
    size_->SetLeft(left);
  }
  if (alignToBand_ && !aligning_) ApplyBandAlignment();
}

void TQRPrintable::SetParent(TQRControl* parent) {
  TQRControl::SetParent(parent);
  if (auto* report = dynamic_cast<LayoutReport*>(parent)) {
    size_->SetUnits(report->Units());
    SetReport(report);
    const int top = Top(), left = Left();
    size_->Zoom = report->Zoom();
    size_->PushToOwner();
    SetTop(top);
    SetLeft(left);
  } else if (auto* band = dynamic_cast<TQRCustomBand*>(parent)) {
    size_->SetUnits(band->Size().Units());
    if (LayoutReport* report = band->Report()) {
      SetReport(report);
      size_->Zoom = report->Zoom();
      size_->PushToOwner();
    }
    // Writes the place into the size again, now in the band's unit.
    SetTop(Top());
    SetLeft(Left());
  }
}

void TQRPrintable::Loaded() {
  TQRControl::Loaded();
  size_->RefreshOwner();
  int left = Left(), top = Top(), width = Width(), height = Height();
  if (left == 0 && streamedLeft_ != 0) left = streamedLeft_;
  if (top == 0 && streamedTop_ != 0) top = streamedTop_;
  if (width == 0 && streamedWidth_ != 0) width = streamedWidth_;
  if (height == 0 && streamedHeight_ != 0) height = streamedHeight_;
  if (left != Left() || top != Top() || width != Width() || height != Height())
    SetBounds(left, top, width, height);
}

}  // namespace report
