#include "setup/decoration/advertise_win.h"

#include "framework/application.h"
#include "framework/form.h"
#include "setup/base/exceptions.h"
#include "setup/decoration/decoration_win.h"

namespace setup {

namespace {
TAdvertisePanel* mainPanel = nullptr;
}  // namespace

TAdvertisePanel::TAdvertisePanel(fw::TComponent* owner) : fw::TPanel(owner) {
  SetBevelOuter(fw::TBevelCut::bvNone);
  timer_ = new fw::TTimer(this);
  timer_->SetEnabled(false);
  timer_->OnTimer = [this](fw::TComponent*) { Tick(); };
  grab_ = new TGrabCall(this);
  grab_->OnCall = [this](TInstallContainer*, std::int32_t code, TEventObject* parameter) {
    InstallEvent(code, parameter);
  };
}

TAdvertisePanel::~TAdvertisePanel() {
  if (mainPanel == this) mainPanel = nullptr;
  grab_->OnCall = nullptr;
}

void TAdvertisePanel::SetContainer(TInstallContainer* container) {
  if (container_ && container_ != container) container_->RemoveFreeNotification(this);
  container_ = container;
  if (container) container->FreeNotification(this);
  grab_->SetContainer(container);
}

void TAdvertisePanel::Notification(fw::TComponent* component, fw::TOperation operation) {
  fw::TPanel::Notification(component, operation);
  if (operation == fw::TOperation::opRemove && component == container_) container_ = nullptr;
}

void TAdvertisePanel::SetTag(long long value) { SetMainInstanceTag(this, value, mainPanel); }
TAdvertisePanel* TAdvertisePanel::MainInstance() { return mainPanel; }

void TAdvertisePanel::AddPage(fw::TWinControl* page) {
  page->SetParent(this);
  page->SetAlign(fw::TAlign::alClient);
  pages_.push_back(page);
  SetActivePage(active_ < 0 ? 0 : active_);
}

void TAdvertisePanel::SetActivePage(int index) {
  if (index < 0 || index >= PageCount()) return;
  active_ = index;
  for (int i = 0; i < PageCount(); ++i) pages_[i]->SetVisible(i == index);
}

void TAdvertisePanel::Loaded() {
  fw::TPanel::Loaded();
  if (!Behavior.VisibleUntilCopy) {
    SetVisible(false);
    fw::Application()->ProcessMessages();
  }
}

void TAdvertisePanel::ShowPanel() {
  const TDecorRect bounds =
      AdvertisePanelBounds(Behavior, {Left(), Top(), Width(), Height()}, GetSystemMetrics(SM_CXSCREEN),
                           GetSystemMetrics(SM_CYSCREEN));
  SetBounds(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
  if (PageCount() > 0) SetActivePage(0);
  SetVisible(true);
  fw::Application()->ProcessMessages();
  method_ = Behavior.FlipMethod;
  flipper_.Start(method_, PageCount());
  if (method_ == fmTimeInterval) {
    timer_->SetInterval(Behavior.IncrementTime);
    timer_->SetEnabled(true);
  }
}

void TAdvertisePanel::HidePanel() {
  SetVisible(false);
  if (method_ == fmTimeInterval)
    timer_->SetEnabled(false);
  else
    flipper_.Stop();
}

void TAdvertisePanel::Tick() {
  SetActivePage(TAdvertiseFlipper::OnTick(active_, PageCount(), Behavior.AutoLoop));
}

void TAdvertisePanel::InstallEvent(int code, TEventObject* parameter) {
  if (code == ieCopyStarting) {
    ShowPanel();
  } else if (code == ieCopyFinished) {
    HidePanel();
  } else if (code == ieFileStatus && flipper_.Flipping() && method_ == fmPercentageInterval) {
    if (!parameter) throw IEAdvertisePanel("%s got a nil PO parameter", {Name()});
    auto* status = dynamic_cast<TFileStatusParameter*>(parameter);
    if (!status)
      throw IEAdvertisePanel("The PO object passed to %s is not a TFileStatusParameter object", {Name()});
    const int next = flipper_.OnProgress(status->TotalPercent, active_, PageCount());
    if (next != active_) {
      SetActivePage(next);
      if (auto* form = dynamic_cast<fw::TForm*>(Owner())) form->Repaint();
    }
  }
}

}  // namespace setup
