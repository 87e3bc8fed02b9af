#include "comm/port/com_port_component.h"

#include "comm/base/component_insertion.h"

namespace comm {

ComPortComponent::ComPortComponent(fw::TComponent* owner, PortPlatform& platform)
    : TApdBaseComponent(owner), port_(platform) {
  port_.Loading = Loading();
  AnnounceInserted(*this);
}

ComPortComponent::~ComPortComponent() {
  MarkDestroying();
  // Close while this object is whole: clients hear of the close and may
  // still call back into the port.
  try {
    port_.SetOpen(false);
  } catch (...) {
    // The port's own destructor finishes the close and reports.
  }
}

void ComPortComponent::Loaded() {
  TApdBaseComponent::Loaded();
  if (port_.Loading) port_.Loaded();
}

void ComPortComponent::Assign(const fw::TComponent& source) {
  if (const auto* other = dynamic_cast<const ComPortComponent*>(&source)) port_.Assign(other->port_);
}

StatusLightPort::TriggerHandlers ComPortComponent::InstallTriggerHandlers(TriggerHandlers own) {
  keptAvail_ = port_.OnTriggerAvail();
  keptStatus_ = port_.OnTriggerStatus();
  keptTimer_ = port_.OnTriggerTimer();
  port_.SetOnTriggerAvail([avail = std::move(own.avail)](TApdComPort&, std::uint32_t count) {
    if (avail) avail(count);
  });
  port_.SetOnTriggerStatus([status = std::move(own.status)](TApdComPort&, std::uint32_t handle) {
    if (status) status(handle);
  });
  port_.SetOnTriggerTimer([timer = std::move(own.timer)](TApdComPort&, std::uint32_t handle) {
    if (timer) timer(handle);
  });
  TriggerHandlers kept;
  if (keptAvail_) kept.avail = [this, f = keptAvail_](std::uint32_t count) { f(port_, count); };
  if (keptStatus_) kept.status = [this, f = keptStatus_](std::uint32_t handle) { f(port_, handle); };
  if (keptTimer_) kept.timer = [this, f = keptTimer_](std::uint32_t handle) { f(port_, handle); };
  return kept;
}

void ComPortComponent::RestoreTriggerHandlers() {
  port_.SetOnTriggerAvail(std::move(keptAvail_));
  port_.SetOnTriggerStatus(std::move(keptStatus_));
  port_.SetOnTriggerTimer(std::move(keptTimer_));
  keptAvail_ = nullptr;
  keptStatus_ = nullptr;
  keptTimer_ = nullptr;
}

void ComPortComponent::RegisterOpenCloseCallback(std::function<void(bool opened)> callback, const void* key) {
  port_.RegisterClientCallback(
      [callback = std::move(callback)](TApdComPort&, bool opening) { callback(opening); }, key);
}

}  // namespace comm
