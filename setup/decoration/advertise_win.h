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
  // The panel listens to this container's install events.
  void SetContainer(TInstallContainer* container);

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
