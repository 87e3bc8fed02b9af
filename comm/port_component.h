// A serial port placed on a form: the port component in the form's component
// tree, so that a terminal finds it, is told when it goes, and the form's
// loading bracket reaches it.
#pragma once

#include "comm/apd_com_port.h"
#include "framework/component.h"

namespace comm {

class PortComponent : public fw::TComponent {
 public:
  PortComponent(fw::TComponent* owner, PortPlatform& platform) : fw::TComponent(owner), port_(platform) {
    port_.Loading = Loading();
  }
  ~PortComponent() override { MarkDestroying(); }

  TApdComPort& Port() { return port_; }

  void Loaded() override {
    fw::TComponent::Loaded();
    port_.Loading = false;
    port_.Loaded();
  }

 private:
  TApdComPort port_;
};

}  // namespace comm
