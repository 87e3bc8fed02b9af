// The serial port as a component of a form: it owns a TApdComPort, follows
// the form's loading, and offers the port surface that status light
// controllers drive.
#pragma once

#include "comm/base/component.h"
#include "comm/port/com_port.h"
#include "comm/lights/controller.h"
#include "comm/telephony/port_control.h"
#include "framework/component.h"

namespace comm {

class ComPortComponent : public TApdBaseComponent, public StatusLightPort, public TapiPortControl {
 public:
  ComPortComponent(fw::TComponent* owner, PortPlatform& platform);
  ~ComPortComponent() override;

  TApdComPort& Port() { return port_; }

  void Loaded() override;
  // From another port component: its port's settings (see TApdComPort::Assign);
  // any other source is ignored.
  void Assign(const fw::TComponent& source) override;

  TriggerHandlers InstallTriggerHandlers(TriggerHandlers own) override;
  void RestoreTriggerHandlers() override;
  int AddStatusTrigger(std::uint32_t type) override { return port_.AddStatusTrigger(type); }
  int AddTimerTrigger() override { return port_.AddTimerTrigger(); }
  void SetStatusTrigger(std::uint32_t handle, std::uint32_t value, bool activate) override {
    port_.SetStatusTrigger(handle, value, activate);
  }
  void SetTimerTrigger(std::uint32_t handle, std::int32_t ticks, bool activate) override {
    port_.SetTimerTrigger(handle, ticks, activate);
  }
  void RemoveTrigger(std::uint32_t handle) override { port_.RemoveTrigger(handle); }
  bool LineCTS() override { return port_.LineCTS(); }
  bool LineDSR() override { return port_.LineDSR(); }
  bool LineDCD() override { return port_.LineDCD(); }
  bool LineRing() override { return port_.LineRing(); }
  std::uint32_t ReceivedBytes() override { return port_.ReceivedBytes(); }
  std::uint32_t OutputBytes() override { return port_.OutputBytes(); }
  bool BreakReceived() override { return port_.BreakReceived(); }
  bool Open() const override { return port_.Open(); }
  void RegisterOpenCloseCallback(std::function<void(bool opened)> callback, const void* key) override;
  void UnregisterOpenCloseCallback(const void* key) override { port_.UnregisterClientCallback(key); }
  fw::TComponent& PortComponent() override { return *this; }

  // What the telephony line device drives.
  TTapiMode TapiMode() const override { return port_.TapiMode(); }
  void SetTapiMode(TTapiMode mode) override { port_.SetTapiMode(mode); }
  void SetAutoOpen(bool autoOpen) override { port_.AutoOpen = autoOpen; }
  void SetOpen(bool open) override { port_.SetOpen(open); }
  void SetTapiHandle(std::uintptr_t handle) override { port_.TapiHandle = handle; }

 private:
  TApdComPort port_;
  TTriggerAvailEvent keptAvail_;
  TTriggerHandleEvent keptStatus_, keptTimer_;
};

}  // namespace comm
