// A panel of pictures shown while files are copied, turning to its next
// picture as the copy progresses (or on a timer).
#pragma once

#include <vector>

#include "framework/extctrls.h"
#include "framework/timer.h"
#include "setup/decoration/decoration_core.h"
#include "setup/install/install_tree.h"

namespace setup {

class TAdvertisePanel : public fw::TPanel {
 public:
  explicit TAdvertisePanel(fw::TComponent* owner);
  ~TAdvertisePanel() override;

  TAdvertisePanelBehavior Behavior;
  TInstallContainer* Container() const { return container_; }
  // The panel listens to this container's install events; a container that
  // is freed leaves it with none.
  void SetContainer(TInstallContainer* container);

  // The framework's Tag; -1 marks the main instance (one at a time).
  long long Tag() const { return fw::TComponent::Tag; }
  void SetTag(long long value);
  static TAdvertisePanel* MainInstance();

  // Pages in order; one is shown at a time.
  void AddPage(fw::TWinControl* page);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  int ActivePage() const { return active_; }
  void SetActivePage(int index);

  virtual void ShowPanel();
  virtual void HidePanel();
  // After the panel is set up: hidden until copying starts, unless told.
  void Loaded() override;
  bool Flipping() const { return flipper_.Flipping(); }

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override;

 private:
  void InstallEvent(int code, TEventObject* parameter);
  void Tick();
  std::vector<fw::TWinControl*> pages_;
  int active_ = -1;
  TInstallContainer* container_ = nullptr;
  TGrabCall* grab_ = nullptr;
  fw::TTimer* timer_ = nullptr;
  TAdvertiseFlipper flipper_;
  TFlipMethod method_ = fmPercentageInterval;
};

}  // namespace setup
