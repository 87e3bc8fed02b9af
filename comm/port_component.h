// A serial port placed on a form: the port component in the form's component
// tree, so that a terminal finds it, is told when it goes, and the form's
// loading bracket reaches it.
#pragma once

#include "comm/apd_base_component.h"
#include "comm/apd_com_port.h"

namespace comm {

class PortComponent : public TApdBaseComponent {
 public:
  PortComponent(fw::TComponent* owner, PortPlatform& platform) : TApdBaseComponent(owner), port_(platform) {
    port_.Loading = Loading();
  }
  ~PortComponent() override { MarkDestroying(); }

  TApdComPort& Port() { return port_; }

  void Loaded() override {
    TApdBaseComponent::Loaded();
    port_.Loading = false;
    port_.Loaded();
  }

 private:
  TApdComPort port_;
};

}  // namespace comm
