// The telephony line device: places a data-modem call through the telephony
// library, follows its call states, retries busy or failed calls, and hands
// the modem's comm handle to the serial port once connected. Plain C++: the
// message pump, clock, retry timer, handle registry, device dialog and the
// port reach it through the interfaces below.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "comm/base/component.h"
#include "comm/port/com_port.h"
#include "comm/base/component_insertion.h"
#include "comm/telephony/defs.h"
#include "comm/telephony/call_log.h"
#include "comm/telephony/port_control.h"

namespace comm {

// Everything the line device needs of the operating system and the GUI.
class TapiDeviceHost {
 public:
  virtual ~TapiDeviceHost() = default;
  // Waits up to `maxWaitMs` for messages, then dispatches every waiting one
  // (line callbacks, timer ticks, user actions run from here).
  virtual void PumpMessages(std::uint32_t maxWaitMs) = 0;
  virtual std::uint32_t NowMs() = 0;
  // A 1000 ms timer; its tick may stop it.
  virtual void StartRetryTimer(std::function<void()> tick) = 0;
  virtual void StopRetryTimer() = 0;
  virtual bool RetryTimerRunning() const = 0;
  virtual void* ModuleInstance() = 0;
  // The program's path without its extension.
  virtual std::string ApplicationName() = 0;
  // Values under the handle registry key (created when missing).
  virtual std::vector<std::string> HandleValueNames() = 0;
  virtual std::optional<std::string> ReadHandleValue(const std::string& name) = 0;
  virtual void WriteHandleValue(const std::string& name, const std::string& data) = 0;
  virtual void DeleteHandleValue(const std::string& name) = 0;
  virtual std::uint32_t CurrentProcessId() = 0;
  // False only when no process with the identifier runs.
  virtual bool ProcessMayBeAlive(std::uint32_t processId) = 0;
  // The device dialog listing lines only; the chosen name, or nothing.
  virtual std::optional<std::string> ChooseLine(const std::string& current) = 0;
  virtual void CloseCommHandle(std::uintptr_t handle) = 0;
  // An exception that escaped a callback or a timer tick.
  virtual void HandleException(std::exception_ptr error) = 0;
};

class TApdCustomTapiDevice;

// The window a call-progress display shows itself in (a form of its own).
class TapiStatusWindow {
 public:
  virtual ~TapiStatusWindow() = default;
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual int Position() const = 0;  // the framework's form position
  virtual void SetPosition(int position) = 0;
  virtual bool Ctl3D() const = 0;
  virtual void SetCtl3D(bool ctl3D) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
};

// Base of a call-progress display; no concrete display exists in this system.
// A component: a telephony device built on the same form binds to the first
// display that serves no device yet.
class TApdAbstractTapiStatus : public TApdBaseComponent {
 public:
  explicit TApdAbstractTapiStatus(fw::TComponent* owner);
  ~TApdAbstractTapiStatus() override;
  virtual void UpdateDisplay(bool First, bool Last, int Device, int Message, int Param1, int Param2,
                             int Param3) = 0;
  bool Displaying = false;  // the display's own flag, cleared at every Dial
  TApdCustomTapiDevice* TapiDevice = nullptr;

  // Stored, and applied to the display window when there is one.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  int Position() const { return position_; }
  void SetPosition(int position);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool ctl3D);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

 protected:
  // A base constructor cannot reach the descendant's CreateDisplay, so the
  // descendant calls OpenDisplay at the end of its constructor and
  // CloseDisplay in its destructor.
  void OpenDisplay();
  void CloseDisplay();
  virtual TapiStatusWindow* CreateDisplay() = 0;  // the window made, or none
  virtual void DestroyDisplay() = 0;

 private:
  TapiStatusWindow* display_ = nullptr;
  std::string caption_ = "Call Progress";
  int position_ = 0;
  bool ctl3D_ = true;
  bool visible_ = false;
};

// Small parsers, exposed for tests.
int CallStateIndexOf(std::uint32_t callState);
// "COM12" -> 12: at most 10 characters, the first 3 dropped, the rest decimal; 0 on failure.
int ParseLineComNumber(const std::string& portName);
// Caller number and name from a call information record; `blocked` and
// `outOfArea` are the texts for those flags.
std::string CallerIdNumber(const std::vector<std::uint8_t>& callInfo, const std::string& blocked,
                           const std::string& outOfArea);
std::string CallerIdName(const std::vector<std::uint8_t>& callInfo, const std::string& blocked,
                         const std::string& outOfArea);
// The 112-byte call parameters of a call.
std::vector<std::uint8_t> BuildCallParams(bool voice);

class TApdCustomTapiDevice : public TApdBaseComponent, public TapiLogDevice, public InsertionListener {
 public:
  using NotifyEvent = std::function<void(TApdCustomTapiDevice&)>;

  // Initialises the telephony library at once; a failure there is kept for
  // the first use instead of failing the construction of the owner's form.
  // Binds the first port of the owner's tree, and its first status display
  // and call log that serve no device yet.
  TApdCustomTapiDevice(fw::TComponent* owner, TapiDeviceHost& host);
  ~TApdCustomTapiDevice() override;

  // Published properties.
  const std::string& SelectedDevice() const { return selectedDevice_; }
  // Runs the voice check when EnableVoice is set.
  void SetSelectedDevice(const std::string& name);
  TapiPortControl* ComPort() const { return comPort_; }
  // Binds the port: one in tmAuto is set to tmOn, not opened automatically
  // and closed, so that it opens only on a call's handle.
  void SetComPort(TapiPortControl* port);
  TApdAbstractTapiStatus* StatusDisplay() const { return statusDisplay_; }
  void SetStatusDisplay(TApdAbstractTapiStatus* display);
  TApdTapiLog* TapiLog() const { return tapiLog_; }
  void SetTapiLog(TApdTapiLog* log);
  std::uint8_t AnswerOnRing = 2;
  std::uint16_t RetryWait = 60;  // seconds
  std::uint16_t MaxAttempts = 3;
  bool ShowTapiDevices = true;
  bool ShowPorts = true;
  bool EnableVoice() const { return enableVoice_; }
  // True checks that the selected line handles automated voice; raises
  // kTapiVoiceNotSupported (and stays False) when it does not.
  void SetEnableVoice(bool enable);

  std::function<void(TApdCustomTapiDevice&, bool First, bool Last, int Device, int Message, int Param1,
                     int Param2, int Param3)>
      OnTapiStatus;
  std::function<void(TApdCustomTapiDevice&, TTapiLogCode)> OnTapiLog;
  NotifyEvent OnTapiPortOpen, OnTapiPortClose, OnTapiConnect, OnTapiFail;
  std::function<void(TApdCustomTapiDevice&, char Digit, int ErrorCode)> OnTapiDTMF;
  std::function<void(TApdCustomTapiDevice&, const std::string& ID, const std::string& IDName)> OnTapiCallerID;
  // Wave playback and recording are not part of this system: nothing raises these.
  using TTapiWaveNotify = std::function<void(TApdCustomTapiDevice& CP, int Msg)>;
  using TTapiWaveSilence = std::function<void(TApdCustomTapiDevice& CP, bool& StopRecording, bool& Hangup)>;
  TTapiWaveNotify OnTapiWaveNotify;
  TTapiWaveSilence OnTapiWaveSilence;

  // Longest wait for a reply of the library (0: none).
  std::uint32_t ReplyTimeoutMs = 60000;

  // From another line device: its settings, bound port and last call
  // information; its open line, status display and call log stay its own.
  void Assign(const fw::TComponent& source) override;
  // A port built later becomes the port when none is bound; a display or
  // call log built later is bound when none is and it serves no device.
  void ComponentInserted(fw::TComponent& component) override;

  void Dial(const std::string& number);
  void CancelCall();
  // As CancelCall, but every wait for the library ends once `ms` have
  // passed in all (the system may end the program soon).
  void CancelCallWithin(std::uint32_t ms);
  int LineComNumber();
  std::string NumberToDial() const override { return number_; }
  void ForgetLog(TApdTapiLog* log) override {
    if (tapiLog_ == log) tapiLog_ = nullptr;
  }
  void ForgetDisplay(TApdAbstractTapiStatus* display) {
    if (statusDisplay_ == display) statusDisplay_ = nullptr;
  }

  // State, for the owner and for tests.
  const std::vector<std::string>& DeviceNames() const { return deviceNames_; }
  bool Connected() const { return connected_; }
  bool LineInUse() const { return lineInUse_; }
  int Attempt() const { return attempt_; }
  int CallStateIndex();

  // Line messages (the library's callback runs these).
  virtual void DoLineCallInfo(std::uintptr_t Device, std::uintptr_t Param1, std::uintptr_t Param2,
                              std::uintptr_t Param3);
  virtual void DoLineCallState(std::uintptr_t Device, std::uintptr_t Param1, std::uintptr_t Param2,
                               std::uintptr_t Param3);
  virtual void DoLineClose(std::uintptr_t Device, std::uintptr_t Param1, std::uintptr_t Param2,
                           std::uintptr_t Param3);
  virtual void DoLineCreate(std::uintptr_t Device, std::uintptr_t Param1, std::uintptr_t Param2,
                            std::uintptr_t Param3);
  virtual void DoLineDevState(std::uintptr_t Device, std::uintptr_t Param1, std::uintptr_t Param2,
                              std::uintptr_t Param3);
  virtual void DoLineGenerate(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t) {}
  virtual void DoLineMonitorDigits(std::uintptr_t Device, std::uintptr_t Param1, std::uintptr_t Param2,
                                   std::uintptr_t Param3);
  virtual void DoLineMonitorMedia(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t) {}
  virtual void DoLineMonitorTone(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t) {}
  virtual void DoLineReply(std::uintptr_t Device, std::uintptr_t Param1, std::uintptr_t Param2,
                           std::uintptr_t Param3);
  virtual void DoLineRequest(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t) {}

  // The registry value name of a process: "$" and 8 upper-case hex digits.
  static std::string HandleValueName(std::uint32_t processId);

  // An exception escaped a line message: to the host's handler.
  void HandleCallbackException(std::exception_ptr error);

 protected:
  // A removed port, display or call log is forgotten.
  void Notification(fw::TComponent* component, fw::TOperation operation) override;

  void InitLineApp();
  void ShutdownLineApp();
  void ListDevices();
  int FindDeviceID(const std::string& name);
  int SelectDeviceID();
  void OpenLine(bool open);
  void PlaceCall();
  void HangUp(bool cancel);
  std::optional<std::int32_t> WaitForReply(std::int32_t request);
  int WaitForCallState(std::uint32_t state);
  void StartRetryTimer();
  bool HandOverPort();
  bool TakeBackPort();
  std::optional<std::uintptr_t> GetCommHandle();

 private:
  friend void DispatchLineMessage(TApdCustomTapiDevice&, std::uintptr_t, std::uint32_t, std::uintptr_t,
                                  std::uintptr_t, std::uintptr_t);
  void BindPort(TapiPortControl* port);
  void TakeOverPortMode();
  void ClearStaleHandles();
  bool Negotiate(std::uint32_t device);
  void EndCall(bool cancel, bool neverConnected);
  void RetryTick();
  void RefreshCallInfo(tapi::Handle call);
  void NotifyStatus(bool first, bool last, std::uintptr_t device, int message, std::uintptr_t p1,
                    std::uintptr_t p2, std::uintptr_t p3);
  void NotifyLog(TTapiLogCode code);
  void Fire(const NotifyEvent& event);
  void PumpFor(std::uint32_t ms);
  void CheckVoice();

  TapiDeviceHost& host_;
  bool appInitialised_ = false;
  tapi::Handle lineApp_ = 0, line_ = 0, call_ = 0;
  std::uint8_t extensionId_[16] = {};
  int deviceId_ = -1;
  int retryCountdown_ = 0;
  int attempt_ = 0;
  bool retryEnabled_ = false;
  std::int32_t awaitedRequest_ = 0, replyResult_ = 0;
  bool replyArrived_ = false;
  std::uint32_t lastCallState_ = 0;
  bool callStateChanged_ = false;
  bool lineInUse_ = false, lineOpenedOnce_ = false, initialising_ = false, connected_ = false;
  bool hangingUp_ = false, shuttingDown_ = false, waitingForReply_ = false, waitingForCallState_ = false;
  // The limit of CancelCallWithin while it runs: when it began, and how long.
  std::optional<std::pair<std::uint32_t, std::uint32_t>> waitLimit_;
  bool PastWaitLimit();
  bool dialing_ = false, lineOpen_ = false, destroying_ = false;
  bool attemptOutstanding_ = false;  // a Dial whose report is still to come
  std::vector<std::string> deviceNames_;
  std::string selectedDevice_;
  std::uint32_t apiVersion_ = 0, numDevices_ = 0;
  std::optional<std::vector<std::uint8_t>> callInfo_;
  TApdAbstractTapiStatus* statusDisplay_ = nullptr;
  TApdTapiLog* tapiLog_ = nullptr;
  std::string number_;
  bool enableVoice_ = false;
  TapiPortControl* comPort_ = nullptr;
  // The port as a component, kept apart: a port in its destructor can no
  // longer be asked for it.
  fw::TComponent* portComponent_ = nullptr;
};

class TApdTapiDevice : public TApdCustomTapiDevice {
 public:
  using TApdCustomTapiDevice::TApdCustomTapiDevice;
};

}  // namespace comm
