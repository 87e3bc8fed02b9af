// The serial port component: a numbered port's settings as properties, a
// dispatcher while it is open, trigger events, and clients told of the open
// and the close. Plain C++: everything the system does for it (creating the
// dispatcher and the notification window, messages to clients, the port
// selection dialog, the application's exception handler) goes through the
// PortPlatform it is handed. The form layer sets `Loading` while it applies
// a form description and calls Loaded afterwards.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "comm/dispatcher/dispatcher.h"
#include "comm/dispatcher/trace_log_state.h"

namespace comm {

enum class TDeviceLayer { dlWin16, dlFossil, dlWin32, dlWinsock };
enum class TParity { pNone, pOdd, pEven, pMark, pSpace };
enum class TTapiMode { tmNone, tmAuto, tmOn, tmOff };
enum class TSWFlowOptions { swfNone, swfReceive, swfTransmit, swfBoth };

// THWFlowOptionSet as bits.
using THWFlowOptionSet = std::uint8_t;
inline constexpr THWFlowOptionSet hwfUseDTR = 1, hwfUseRTS = 2, hwfRequireDSR = 4, hwfRequireCTS = 8;

class TApdComPort;

using TTriggerEvent =
    std::function<void(TApdComPort&, std::uint32_t msg, std::uint32_t handle, std::uint32_t data)>;
using TTriggerAvailEvent = std::function<void(TApdComPort&, std::uint32_t count)>;
using TTriggerHandleEvent = std::function<void(TApdComPort&, std::uint32_t handle)>;
using TTriggerLineErrorEvent = std::function<void(TApdComPort&, int error, bool lineBreak)>;
using TNotifyEvent = std::function<void(TApdComPort&)>;
using TPortCallback = std::function<void(TApdComPort&, bool opening)>;
using TLineFailureEvent = std::function<void(TApdComPort&, std::uint32_t systemError)>;
using TWaitCharEvent = std::function<void(TApdComPort&, char c)>;

class PortPlatform {
 public:
  virtual ~PortPlatform() = default;
  // The dispatcher for an open: on the telephony layer's handle, or by name.
  // A dispatcher on a handle owns it from its creation (also one that fails):
  // it closes the handle when the port closes or its open fails.
  virtual std::unique_ptr<TApdBaseDispatcher> CreateDispatcher(TApdComPort& port, bool onTapiHandle,
                                                               std::uintptr_t tapiHandle) = 0;
  // The driver's current settings of a telephony handle; false when unreadable.
  virtual bool ReadHandleSettings(std::uintptr_t tapiHandle, LineSettingsBlock& block) = 0;
  virtual WindowRef CreateNotificationWindow(TApdComPort& port) = 0;
  virtual void DestroyNotificationWindow(WindowRef window) = 0;
  virtual void SendToClient(WindowRef client, std::uint32_t message) = 0;
  virtual void PostDeferredClose(WindowRef window, int dispatcherHandle) = 0;
  virtual void PumpOneMessage() = 0;
  // The port selection dialog; false when it was not confirmed.
  virtual bool SelectPort(int& number) = 0;
  virtual void HandleException(const std::exception& error) = 0;
};

class TApdComPort {
 public:
  explicit TApdComPort(PortPlatform& platform);
  virtual ~TApdComPort();
  TApdComPort(const TApdComPort&) = delete;
  TApdComPort& operator=(const TApdComPort&) = delete;

  // ---- form loading ----
  bool Loading = false;
  void Loaded();

  // Takes the settings, clients and main trigger events of `source`, and the
  // triggers of an open source for the next open; this port ends closed.
  void Assign(const TApdComPort& source);

  // ---- properties ----
  TDeviceLayer DeviceLayer() const { return deviceLayer_; }
  void SetDeviceLayer(TDeviceLayer layer);
  int ComNumber() const { return comNumber_; }
  void SetComNumber(int number);
  std::int32_t Baud() const { return baud_; }
  void SetBaud(std::int32_t baud);
  bool PromptForPort = true;
  TParity Parity() const { return parity_; }
  void SetParity(TParity parity);
  int DataBits() const { return dataBits_; }
  void SetDataBits(int bits);
  int StopBits() const { return stopBits_; }
  void SetStopBits(int bits);
  std::uint16_t InSize() const { return inSize_; }
  void SetInSize(std::uint16_t size);
  std::uint16_t OutSize() const { return outSize_; }
  void SetOutSize(std::uint16_t size);
  bool AutoOpen = true;
  bool Open() const { return open_; }
  void SetOpen(bool open);
  bool DTR() const { return dtr_; }
  void SetDTR(bool on);
  bool RTS() const { return rts_; }
  void SetRTS(bool on);
  THWFlowOptionSet HWFlowOptions() const { return hwFlow_; }
  void SetHWFlowOptions(THWFlowOptionSet options);
  TSWFlowOptions SWFlowOptions() const { return swFlow_; }
  void SetSWFlowOptions(TSWFlowOptions options);
  char XOnChar() const { return xOn_; }
  void SetXOnChar(char c);
  char XOffChar() const { return xOff_; }
  void SetXOffChar(char c);
  std::uint16_t BufferFull() const { return bufferFull_; }
  void SetBufferFull(std::uint16_t value);
  std::uint16_t BufferResume() const { return bufferResume_; }
  void SetBufferResume(std::uint16_t value);
  TTraceLogState Tracing() const { return tracing_; }
  void SetTracing(TTraceLogState state);
  std::uint32_t TraceSize() const { return traceSize_; }
  void SetTraceSize(std::uint32_t size);
  std::string TraceName = "CVL.TRC";
  bool TraceHex = true;
  TTraceLogState Logging() const { return logging_; }
  void SetLogging(TTraceLogState state);
  std::uint32_t LogSize() const { return logSize_; }
  void SetLogSize(std::uint32_t size);
  std::string LogName = "CVL.LOG";
  bool LogHex = true;
  bool UseMSRShadow = true;
  bool UseEventWord() const { return useEventWord_; }
  void SetUseEventWord(bool on);
  std::uint16_t CommNotificationLevel = 10;
  TTapiMode TapiMode() const { return tapiMode_; }
  void SetTapiMode(TTapiMode mode) { tapiMode_ = mode; }
  bool RS485Mode() const { return rs485Mode_; }
  void SetRS485Mode(bool on);
  std::uintptr_t TapiHandle = 0;  // a whole handle, never cut to 16 bits
  int ThreadPriorityStep() const { return threadPriorityStep_; }
  void SetThreadPriorityStep(int step);
  std::uint16_t LengthTriggerSize() const { return lengthTriggerSize_; }
  void SetLengthTriggerSize(std::uint16_t size);

  // ---- events (an empty one does nothing) ----
  void SetOnTrigger(TTriggerEvent handler);
  void SetOnTriggerAvail(TTriggerAvailEvent handler);
  void SetOnTriggerData(TTriggerHandleEvent handler);
  void SetOnTriggerStatus(TTriggerHandleEvent handler);
  void SetOnTriggerTimer(TTriggerHandleEvent handler);
  void SetOnTriggerLineError(TTriggerLineErrorEvent handler);
  void SetOnTriggerModemStatus(TNotifyEvent handler);
  void SetOnTriggerOutbuffFree(TNotifyEvent handler);
  void SetOnTriggerOutbuffUsed(TNotifyEvent handler);
  void SetOnTriggerOutSent(TNotifyEvent handler);
  // The driver keeps failing (the device is gone): raised once per open, on
  // the GUI thread, outside any notification, so the handler may close.
  void SetOnLineFailure(TLineFailureEvent handler) { onLineFailure_ = std::move(handler); }
  // Not a trigger event: assigning it does not make the dispatcher notify.
  void SetOnWaitChar(TWaitCharEvent handler) { onWaitChar_ = std::move(handler); }
  const TTriggerAvailEvent& OnTriggerAvail() const { return onTriggerAvail_; }
  const TTriggerHandleEvent& OnTriggerStatus() const { return onTriggerStatus_; }
  const TTriggerHandleEvent& OnTriggerTimer() const { return onTriggerTimer_; }

  // ---- operations ----
  TApdBaseDispatcher* Dispatcher();
  TApdBaseDispatcher& DispatcherOrFail();
  bool LineCTS();
  bool LineDSR();
  bool LineDCD();
  bool LineRing();
  int CurrentLineError();
  bool BreakReceived();
  std::uint32_t ReceivedBytes();
  std::uint32_t OutputBytes();
  // The system error that made the open port give up waiting for comm
  // events (it still receives, by polling); 0 when there is none.
  std::uint32_t CommEventError();
  // Gives the port's threads the rest of this time slice.
  void YieldToPort();
  int AddTimerTrigger();
  int AddStatusTrigger(std::uint32_t type);
  void RemoveTrigger(std::uint32_t handle);
  void SetTimerTrigger(std::uint32_t handle, std::int32_t ticks, bool activate);
  void SetStatusTrigger(std::uint32_t handle, std::uint32_t value, bool activate);
  void RequestOpenOnLoad();
  int RegisterClientWindow(WindowRef window);
  int RegisterClientCallback(TPortCallback callback, const void* data);
  void UnregisterClientWindow(WindowRef window);
  void UnregisterClientCallback(const void* data);

  // Tracing and logging operations.
  void StartTracing(std::uint32_t size = 0);
  void DumpTracing(const std::string& name, bool hex);
  void AppendTracing(const std::string& name, bool hex);
  void ClearTracing();
  void StopTracing();
  void ResumeTracing();
  void PauseTracing();
  void StartLogging(std::uint32_t size = 0);
  void DumpLogging(const std::string& name, bool hex);
  void AppendLogging(const std::string& name, bool hex);
  void ClearLogging();
  void StopLogging();
  void ResumeLogging();
  void PauseLogging();

  // Raises OnWaitChar for `c`; nothing when it is unassigned. Nothing in the
  // port itself calls it: it is there for code that waits for characters.
  virtual void WaitChar(char c);

  // The notification window's handling of 0x7E01-0x7E04, 0x7E0A and 0x7E0B.
  void HandleNotification(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  enum class TOpenState { closed, closing, open };
  TOpenState OpenState() const { return openState_; }
  WindowRef PortWindow() const { return portWindow_; }

 private:
  struct Client {
    WindowRef window = 0;
    TPortCallback callback;
    const void* data = nullptr;
  };

  int Check(int code) const;
  void DoOpen();
  void DoClose();
  void FinishClose();
  void RollBackOpen(bool clientsTold);
  void TellClients(bool opening);
  void ReadSettingsFromHandle();
  void ReapplyAll();
  void ApplyLine();
  void TriggerHandlersChanged();
  bool AnyTriggerEvent() const;
  void ReportCloseError(const std::exception& error);

  PortPlatform& platform_;
  std::unique_ptr<TApdBaseDispatcher> dispatcher_;
  TDeviceLayer deviceLayer_ = TDeviceLayer::dlWin32;
  int comNumber_ = 0;
  std::int32_t baud_ = 19200;
  TParity parity_ = TParity::pNone;
  int dataBits_ = 8;
  int stopBits_ = 1;
  std::uint16_t inSize_ = 4096;
  std::uint16_t outSize_ = 4096;
  bool open_ = false;
  bool dtr_ = true;
  bool rts_ = true;
  THWFlowOptionSet hwFlow_ = 0;
  TSWFlowOptions swFlow_ = TSWFlowOptions::swfNone;
  char xOn_ = 17;
  char xOff_ = 19;
  std::uint16_t bufferFull_ = 0;
  std::uint16_t bufferResume_ = 0;
  TTraceLogState tracing_ = TTraceLogState::tlOff;
  std::uint32_t traceSize_ = 10000;
  TTraceLogState logging_ = TTraceLogState::tlOff;
  std::uint32_t logSize_ = 10000;
  bool useEventWord_ = true;
  TTapiMode tapiMode_ = TTapiMode::tmAuto;
  bool rs485Mode_ = false;
  int threadPriorityStep_ = 0;
  std::uint16_t lengthTriggerSize_ = 1;

  bool forceApply_ = false;
  TOpenState openState_ = TOpenState::closed;
  bool reopenRequested_ = false;
  // Tracing and logging for a reopen that a deferred close will make.
  std::optional<std::pair<TTraceLogState, TTraceLogState>> reopenTraceLog_;
  bool openOnLoad_ = false;
  std::vector<Client> clients_;
  bool triggersSaved_ = false;
  SavedTriggerSet savedTriggers_;
  WindowRef portWindow_ = 0;

  TTriggerEvent onTrigger_;
  TTriggerAvailEvent onTriggerAvail_;
  TTriggerHandleEvent onTriggerData_, onTriggerStatus_, onTriggerTimer_;
  TTriggerLineErrorEvent onTriggerLineError_;
  TNotifyEvent onTriggerModemStatus_, onTriggerOutbuffFree_, onTriggerOutbuffUsed_, onTriggerOutSent_;
  TLineFailureEvent onLineFailure_;
  TWaitCharEvent onWaitChar_;
};

// The flow-control limits the port passes for the options in use: a full
// limit of 0 or above the input size becomes `fullShare` of it, then a resume
// limit of 0 or above the full limit becomes `resumeShare` of the input size.
void ComputeFlowLimits(std::uint16_t inSize, double fullShare, double resumeShare, std::uint16_t& full,
                       std::uint16_t& resume);

}  // namespace comm
