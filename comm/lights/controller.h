// Status lights driven by a port: the light set names up to eight lamps and
// the controller lights them from the port's triggers while it monitors.
// Plain C++: lamps and ports are reached through the two small interfaces
// below, so the controller runs against any port surface.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "comm/base/component_insertion.h"
#include "framework/component.h"

namespace comm {

// A lamp the controller can switch.
class StatusLamp {
 public:
  virtual ~StatusLamp() = default;
  virtual bool Lit() const = 0;
  virtual void SetLit(bool lit) = 0;
  // The component behind the lamp, for removal notices.
  virtual fw::TComponent& LampComponent() = 0;
};

// The trigger kinds the controller adds.
inline constexpr std::uint32_t kModemStatusTrigger = 1;
inline constexpr std::uint32_t kLineErrorTrigger = 2;
inline constexpr std::uint32_t kOutputSentTrigger = 5;

// What the controller uses of a port.
class StatusLightPort {
 public:
  struct TriggerHandlers {
    std::function<void(std::uint32_t count)> avail;
    std::function<void(std::uint32_t handle)> status;
    std::function<void(std::uint32_t handle)> timer;
  };

  virtual ~StatusLightPort() = default;

  // Keeps the port's OnTriggerAvail, OnTriggerStatus and OnTriggerTimer and
  // installs `own` in their place; returns callables that run the kept
  // handlers (an empty kept handler gives an empty callable).
  virtual TriggerHandlers InstallTriggerHandlers(TriggerHandlers own) = 0;
  // Puts back exactly the handlers kept by the last install.
  virtual void RestoreTriggerHandlers() = 0;

  virtual int AddStatusTrigger(std::uint32_t type) = 0;
  virtual int AddTimerTrigger() = 0;
  virtual void SetStatusTrigger(std::uint32_t handle, std::uint32_t value, bool activate) = 0;
  virtual void SetTimerTrigger(std::uint32_t handle, std::int32_t ticks, bool activate) = 0;
  virtual void RemoveTrigger(std::uint32_t handle) = 0;

  virtual bool LineCTS() = 0;
  virtual bool LineDSR() = 0;
  virtual bool LineDCD() = 0;
  virtual bool LineRing() = 0;
  virtual std::uint32_t ReceivedBytes() = 0;
  virtual std::uint32_t OutputBytes() = 0;
  // Reads and clears the received-break flag.
  virtual bool BreakReceived() = 0;
  virtual bool Open() const = 0;

  // The port calls `callback` with true once it has opened and with false
  // when it starts to close; `key` identifies the registration.
  virtual void RegisterOpenCloseCallback(std::function<void(bool opened)> callback, const void* key) = 0;
  virtual void UnregisterOpenCloseCallback(const void* key) = 0;

  // The component behind the port, for removal notices.
  virtual fw::TComponent& PortComponent() = 0;
};

class TApdCustomSLController;

// The eight lamp references of a controller, empty at construction.
class TLightSet {
 public:
  explicit TLightSet(TApdCustomSLController& controller) : controller_(controller) {}

  StatusLamp* CTSLight() const { return lamps_[kCts].lamp; }
  StatusLamp* DSRLight() const { return lamps_[kDsr].lamp; }
  StatusLamp* DCDLight() const { return lamps_[kDcd].lamp; }
  StatusLamp* RINGLight() const { return lamps_[kRing].lamp; }
  StatusLamp* TXDLight() const { return lamps_[kTxd].lamp; }
  StatusLamp* RXDLight() const { return lamps_[kRxd].lamp; }
  StatusLamp* ERRORLight() const { return lamps_[kError].lamp; }
  StatusLamp* BREAKLight() const { return lamps_[kBreak].lamp; }
  void SetCTSLight(StatusLamp* lamp) { Set(kCts, lamp); }
  void SetDSRLight(StatusLamp* lamp) { Set(kDsr, lamp); }
  void SetDCDLight(StatusLamp* lamp) { Set(kDcd, lamp); }
  void SetRINGLight(StatusLamp* lamp) { Set(kRing, lamp); }
  void SetTXDLight(StatusLamp* lamp) { Set(kTxd, lamp); }
  void SetRXDLight(StatusLamp* lamp) { Set(kRxd, lamp); }
  void SetERRORLight(StatusLamp* lamp) { Set(kError, lamp); }
  void SetBREAKLight(StatusLamp* lamp) { Set(kBreak, lamp); }

  // Clears every reference to the component (it is going away).
  void Forget(const fw::TComponent* component);
  // Takes the references of another set.
  void Assign(const TLightSet& source);

 private:
  friend class TApdCustomSLController;
  enum Slot { kCts, kDsr, kDcd, kRing, kTxd, kRxd, kError, kBreak, kSlots };
  struct Entry {
    StatusLamp* lamp = nullptr;
    // Kept apart: a lamp in its destructor can no longer be asked for it.
    fw::TComponent* component = nullptr;
  };
  void Set(Slot slot, StatusLamp* lamp);

  TApdCustomSLController& controller_;
  Entry lamps_[kSlots];
};

class TApdCustomSLController : public fw::TComponent, public InsertionListener {
 public:
  explicit TApdCustomSLController(fw::TComponent* owner);
  ~TApdCustomSLController() override;

  std::string CvlVersion() const { return "v2.57"; }

  StatusLightPort* ComPort() const { return port_; }
  void SetComPort(StatusLightPort* port);

  bool Monitoring() const { return monitoring_; }
  void SetMonitoring(bool on);

  // Off-timeouts in 55 ms ticks.
  std::int32_t ErrorOffTimeout = 36;
  std::int32_t BreakOffTimeout = 36;
  std::int32_t RXDOffTimeout = 1;
  std::int32_t TXDOffTimeout = 1;
  std::int32_t RingOffTimeout = 8;

  TLightSet& Lights() { return *lights_; }
  // Replaces the light set's references with those of `lights`.
  void SetLights(const TLightSet& lights) { lights_->Assign(lights); }

  void Loaded() override;
  // A port built after the controller becomes its port when it has none.
  void ComponentInserted(fw::TComponent& component) override;

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override;

 private:
  friend class TLightSet;
  struct Handles {
    std::uint32_t modem = 0, lineError = 0, lineBreak = 0, errorOff = 0, breakOff = 0, rxdOff = 0,
                  outSent = 0, txdOff = 0, ringOff = 0;
  };

  StatusLamp* Lamp(TLightSet::Slot slot) const { return lights_->lamps_[slot].lamp; }
  void PortOpenedOrClosing(bool opened);
  void SwitchOn();
  void SwitchOff();
  void RefreshLights();
  void StartTriggers();
  void RemoveTriggers();
  void RemoveClosedTriggers();
  void TriggerAvail(std::uint32_t count);
  void TriggerStatus(std::uint32_t handle);
  void TriggerTimer(std::uint32_t handle);
  static void SetLampLit(StatusLamp* lamp, bool lit);

  StatusLightPort* port_ = nullptr;
  fw::TComponent* portComponent_ = nullptr;
  bool monitoring_ = false;
  bool monitoringWanted_ = false;
  std::unique_ptr<TLightSet> lights_;
  StatusLightPort::TriggerHandlers saved_;
  std::uint16_t modemMask_ = 0;
  Handles handles_;
  // Triggers of a monitoring that the port's close ended: the port keeps
  // them through the close and gives them back when it reopens.
  Handles closedHandles_;
};

class TApdSLController : public TApdCustomSLController {
 public:
  using TApdCustomSLController::TApdCustomSLController;
};

}  // namespace comm
