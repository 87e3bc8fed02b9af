// The base of a call-progress display.
#include "comm/telephony/device.h"

namespace comm {

TApdAbstractTapiStatus::TApdAbstractTapiStatus(fw::TComponent* owner) : TApdBaseComponent(owner) {
  AnnounceInserted(*this);
}

TApdAbstractTapiStatus::~TApdAbstractTapiStatus() {
  if (TapiDevice) TapiDevice->ForgetDisplay(this);
}

void TApdAbstractTapiStatus::OpenDisplay() {
  display_ = CreateDisplay();
  if (!display_) return;
  position_ = display_->Position();
  ctl3D_ = display_->Ctl3D();
  visible_ = display_->Visible();
  caption_ = display_->Caption();
}

void TApdAbstractTapiStatus::CloseDisplay() {
  DestroyDisplay();
  display_ = nullptr;
  if (TapiDevice) TapiDevice->ForgetDisplay(this);
  TapiDevice = nullptr;
}

void TApdAbstractTapiStatus::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  if (display_) display_->SetCaption(caption);
}

void TApdAbstractTapiStatus::SetPosition(int position) {
  if (position == position_) return;
  position_ = position;
  if (display_) display_->SetPosition(position);
}

void TApdAbstractTapiStatus::SetCtl3D(bool ctl3D) {
  if (ctl3D == ctl3D_) return;
  ctl3D_ = ctl3D;
  if (display_) display_->SetCtl3D(ctl3D);
}

void TApdAbstractTapiStatus::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (display_) display_->SetVisible(visible);
}

}  // namespace comm
