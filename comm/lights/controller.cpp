#include "comm/lights/controller.h"

#include <exception>

#include "comm/base/exceptions.h"
#include "comm/base/error_codes.h"

namespace comm {
namespace {

constexpr std::uint16_t kCtsMask = 0x10, kDsrMask = 0x20, kDcdMask = 0x80, kRingMask = 0x04;
constexpr std::uint32_t kLineErrorArm = 7;  // overrun, parity and framing errors
constexpr std::uint32_t kBreakArm = 8;
constexpr std::uint32_t kOutputSentArm = 0;

StatusLightPort* FirstPortOf(const fw::TComponent* owner) {
  if (!owner) return nullptr;
  for (fw::TComponent* component : owner->Components()) {
    if (auto* port = dynamic_cast<StatusLightPort*>(component)) return port;
  }
  return nullptr;
}

// Runs the lamp work, then the chained handler whatever happened to it: the
// program's own handler must never miss an event because a lamp failed.
template <class Own, class Chained, class... Args>
void ThenChain(Own own, const Chained& chained, Args... args) {
  std::exception_ptr failure;
  try {
    own();
  } catch (...) {
    failure = std::current_exception();
  }
  if (chained) chained(args...);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

// ---------------------------------------------------------------- light set

void TLightSet::Set(Slot slot, StatusLamp* lamp) {
  lamps_[slot].lamp = lamp;
  lamps_[slot].component = lamp ? &lamp->LampComponent() : nullptr;
  if (lamp) controller_.FreeNotification(lamps_[slot].component);
}

void TLightSet::Forget(const fw::TComponent* component) {
  for (Entry& entry : lamps_) {
    if (entry.component == component) entry = Entry{};
  }
}

void TLightSet::Assign(const TLightSet& source) {
  if (&source == this) return;
  for (int slot = 0; slot < kSlots; ++slot) Set(static_cast<Slot>(slot), source.lamps_[slot].lamp);
}

// ---------------------------------------------------------------- controller

TApdCustomSLController::TApdCustomSLController(fw::TComponent* owner)
    : fw::TComponent(owner), lights_(std::make_unique<TLightSet>(*this)) {
  if (StatusLightPort* port = FirstPortOf(owner)) SetComPort(port);
}

TApdCustomSLController::~TApdCustomSLController() {
  MarkDestroying();
  try {
    monitoringWanted_ = false;
    if (monitoring_) {
      monitoring_ = false;
      SwitchOff();
    }
  } catch (...) {
    // The port's own handlers are back; a trigger it failed to drop is harmless.
  }
  if (port_) port_->UnregisterOpenCloseCallback(this);
}

void TApdCustomSLController::SetComPort(StatusLightPort* port) {
  if (port == port_) return;
  if (port_) port_->UnregisterOpenCloseCallback(this);
  const bool remembered = monitoring_ || monitoringWanted_;
  SetMonitoring(false);
  closedHandles_ = {};
  port_ = port;
  portComponent_ = port ? &port->PortComponent() : nullptr;
  if (!port_) return;
  FreeNotification(portComponent_);
  port_->RegisterOpenCloseCallback([this](bool opened) { PortOpenedOrClosing(opened); }, this);
  SetMonitoring(remembered);
}

void TApdCustomSLController::Loaded() {
  fw::TComponent::Loaded();
  if (!port_) {
    if (StatusLightPort* port = FirstPortOf(Owner())) SetComPort(port);
    return;
  }
  // Registering again replaces the registration made while loading.
  port_->UnregisterOpenCloseCallback(this);
  port_->RegisterOpenCloseCallback([this](bool opened) { PortOpenedOrClosing(opened); }, this);
}

void TApdCustomSLController::ComponentInserted(fw::TComponent& component) {
  auto* port = dynamic_cast<StatusLightPort*>(&component);
  if (port && !port_) SetComPort(port);
}

void TApdCustomSLController::Notification(fw::TComponent* component, fw::TOperation operation) {
  fw::TComponent::Notification(component, operation);
  if (operation != fw::TOperation::opRemove || !component) return;
  if (component == portComponent_) {
    // The port is in its destructor: nothing of it may be called any more.
    monitoring_ = false;
    monitoringWanted_ = false;
    saved_ = {};
    handles_ = {};
    closedHandles_ = {};
    modemMask_ = 0;
    port_ = nullptr;
    portComponent_ = nullptr;
    RefreshLights();
  }
  lights_->Forget(component);
}

void TApdCustomSLController::SetMonitoring(bool on) {
  if (Loading()) return;
  // Switching off also cancels a switch-on still waiting for the port to open.
  if (!on) monitoringWanted_ = false;
  if (on == monitoring_) return;
  if (!port_) CheckCode(false, codes::kPortNotAssigned);
  if (!port_->Open()) {
    monitoringWanted_ = on;
    if (on) return;
  }
  if (on) {
    SwitchOn();
  } else {
    monitoring_ = false;
    try {
      SwitchOff();
    } catch (...) {
      RefreshLights();
      throw;
    }
  }
  RefreshLights();
}

void TApdCustomSLController::SwitchOn() {
  StatusLightPort::TriggerHandlers own;
  own.avail = [this](std::uint32_t count) { TriggerAvail(count); };
  own.status = [this](std::uint32_t handle) { TriggerStatus(handle); };
  own.timer = [this](std::uint32_t handle) { TriggerTimer(handle); };
  saved_ = port_->InstallTriggerHandlers(std::move(own));
  monitoring_ = true;
  try {
    StartTriggers();
  } catch (...) {
    // A failed start leaves the port as it was and monitoring off.
    monitoring_ = false;
    port_->RestoreTriggerHandlers();
    saved_ = {};
    RefreshLights();
    throw;
  }
}

void TApdCustomSLController::SwitchOff() {
  port_->RestoreTriggerHandlers();
  saved_ = {};
  RemoveTriggers();
}

void TApdCustomSLController::PortOpenedOrClosing(bool opened) {
  if (opened) {
    RemoveClosedTriggers();
    if (!monitoringWanted_) return;
    monitoringWanted_ = false;
    SetMonitoring(true);
    return;
  }
  // Switch off but keep the wish, so that reopening the port restarts.
  monitoringWanted_ = monitoring_;
  if (!monitoring_) return;
  monitoring_ = false;
  port_->RestoreTriggerHandlers();
  saved_ = {};
  // A closing port removes no trigger; they go once it has reopened, or
  // every reopen would leave a set behind.
  closedHandles_ = handles_;
  handles_ = {};
  modemMask_ = 0;
  RefreshLights();
}

void TApdCustomSLController::RemoveClosedTriggers() {
  const Handles closed = closedHandles_;
  closedHandles_ = {};
  for (std::uint32_t handle :
       {closed.modem, closed.lineError, closed.lineBreak, closed.errorOff, closed.breakOff, closed.rxdOff,
        closed.outSent, closed.txdOff, closed.ringOff}) {
    if (handle == 0) continue;
    try {
      port_->RemoveTrigger(handle);
    } catch (...) {
      // Not given back (the port reopened afresh): nothing to remove.
    }
  }
}

void TApdCustomSLController::SetLampLit(StatusLamp* lamp, bool lit) {
  if (lamp && lamp->Lit() != lit) lamp->SetLit(lit);
}

void TApdCustomSLController::RefreshLights() {
  for (const TLightSet::Entry& entry : lights_->lamps_) SetLampLit(entry.lamp, false);
  if (!port_ || !monitoring_) return;
  SetLampLit(Lamp(TLightSet::kCts), port_->LineCTS());
  SetLampLit(Lamp(TLightSet::kDsr), port_->LineDSR());
  SetLampLit(Lamp(TLightSet::kDcd), port_->LineDCD());
}

void TApdCustomSLController::StartTriggers() {
  handles_ = {};
  modemMask_ = 0;
  if (!port_) return;
  auto added = [](int handle) { return static_cast<std::uint32_t>(handle); };
  const bool cts = Lamp(TLightSet::kCts), dsr = Lamp(TLightSet::kDsr), dcd = Lamp(TLightSet::kDcd),
             ring = Lamp(TLightSet::kRing);
  try {
    if (cts || dsr || dcd || ring) handles_.modem = added(port_->AddStatusTrigger(kModemStatusTrigger));
    if (ring) handles_.ringOff = added(port_->AddTimerTrigger());
    if (Lamp(TLightSet::kError)) {
      handles_.lineError = added(port_->AddStatusTrigger(kLineErrorTrigger));
      handles_.errorOff = added(port_->AddTimerTrigger());
    }
    if (Lamp(TLightSet::kBreak)) {
      handles_.lineBreak = added(port_->AddStatusTrigger(kLineErrorTrigger));
      handles_.breakOff = added(port_->AddTimerTrigger());
    }
    if (Lamp(TLightSet::kRxd)) handles_.rxdOff = added(port_->AddTimerTrigger());
    if (Lamp(TLightSet::kTxd)) {
      handles_.outSent = added(port_->AddStatusTrigger(kOutputSentTrigger));
      handles_.txdOff = added(port_->AddTimerTrigger());
    }
    modemMask_ = static_cast<std::uint16_t>((cts ? kCtsMask : 0) | (dsr ? kDsrMask : 0) |
                                            (dcd ? kDcdMask : 0) | (ring ? kRingMask : 0));
    if (handles_.modem) port_->SetStatusTrigger(handles_.modem, modemMask_, true);
    if (handles_.lineError) port_->SetStatusTrigger(handles_.lineError, kLineErrorArm, true);
    if (handles_.lineBreak) port_->SetStatusTrigger(handles_.lineBreak, kBreakArm, true);
    if (handles_.outSent) port_->SetStatusTrigger(handles_.outSent, kOutputSentArm, true);
  } catch (...) {
    modemMask_ = 0;
    try {
      RemoveTriggers();
    } catch (...) {
      // The first failure is the one to report.
    }
    throw;
  }
}

void TApdCustomSLController::RemoveTriggers() {
  // Every trigger that was added goes, even if the lamps changed since.
  const Handles added = handles_;
  handles_ = {};
  if (!port_) return;
  std::exception_ptr failure;
  for (std::uint32_t handle : {added.modem, added.lineError, added.lineBreak, added.errorOff, added.breakOff,
                               added.rxdOff, added.outSent, added.txdOff, added.ringOff}) {
    if (handle == 0) continue;
    try {
      port_->RemoveTrigger(handle);
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

void TApdCustomSLController::TriggerAvail(std::uint32_t count) {
  const auto chained = saved_.avail;
  ThenChain(
      [&] {
        StatusLamp* rxd = Lamp(TLightSet::kRxd);
        if (rxd && !rxd->Lit() && handles_.rxdOff) {
          rxd->SetLit(true);
          port_->SetTimerTrigger(handles_.rxdOff, RXDOffTimeout, true);
        }
      },
      chained, count);
}

void TApdCustomSLController::TriggerStatus(std::uint32_t handle) {
  const auto chained = saved_.status;
  ThenChain(
      [&] {
        if (handle == 0) return;
        if (handle == handles_.modem) {
          SetLampLit(Lamp(TLightSet::kDcd), port_->LineDCD());
          SetLampLit(Lamp(TLightSet::kCts), port_->LineCTS());
          SetLampLit(Lamp(TLightSet::kDsr), port_->LineDSR());
          StatusLamp* ring = Lamp(TLightSet::kRing);
          if (ring && port_->LineRing() && !ring->Lit()) {
            ring->SetLit(true);
            port_->SetTimerTrigger(handles_.ringOff, RingOffTimeout, true);
          }
          port_->SetStatusTrigger(handles_.modem, modemMask_, true);
        } else if (handle == handles_.lineError) {
          SetLampLit(Lamp(TLightSet::kError), true);
          port_->SetTimerTrigger(handles_.errorOff, ErrorOffTimeout, true);
        } else if (handle == handles_.lineBreak) {
          SetLampLit(Lamp(TLightSet::kBreak), true);
          port_->SetTimerTrigger(handles_.breakOff, BreakOffTimeout, true);
          port_->BreakReceived();
        } else if (handle == handles_.outSent) {
          SetLampLit(Lamp(TLightSet::kTxd), true);
          port_->SetTimerTrigger(handles_.txdOff, TXDOffTimeout, true);
        }
      },
      chained, handle);
}

void TApdCustomSLController::TriggerTimer(std::uint32_t handle) {
  const auto chained = saved_.timer;
  ThenChain(
      [&] {
        if (handle == 0) return;
        if (handle == handles_.errorOff) {
          SetLampLit(Lamp(TLightSet::kError), false);
          port_->SetStatusTrigger(handles_.lineError, kLineErrorArm, true);
        } else if (handle == handles_.breakOff) {
          SetLampLit(Lamp(TLightSet::kBreak), false);
          port_->SetStatusTrigger(handles_.lineBreak, kBreakArm, true);
        } else if (handle == handles_.rxdOff) {
          if (port_->ReceivedBytes() > 0) {
            port_->SetTimerTrigger(handles_.rxdOff, RXDOffTimeout, true);
          } else {
            SetLampLit(Lamp(TLightSet::kRxd), false);
          }
        } else if (handle == handles_.txdOff) {
          if (port_->OutputBytes() > 0) {
            port_->SetTimerTrigger(handles_.txdOff, TXDOffTimeout, true);
          } else {
            SetLampLit(Lamp(TLightSet::kTxd), false);
            port_->SetStatusTrigger(handles_.outSent, kOutputSentArm, true);
          }
        } else if (handle == handles_.ringOff) {
          SetLampLit(Lamp(TLightSet::kRing), false);
        }
      },
      chained, handle);
}

}  // namespace comm
