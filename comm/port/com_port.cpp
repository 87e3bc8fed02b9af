#include "comm/port/com_port.h"

#include <algorithm>
#include <cstdio>

#include "comm/base/exceptions.h"
#include "comm/base/error_codes.h"

namespace comm {
namespace {

// The dispatcher operations behind the Tracing or Logging property.
class DispatcherTraceActions : public TraceLogActions {
 public:
  DispatcherTraceActions(TApdComPort& port, bool log) : port_(port), log_(log) {}
  void Start() override { log_ ? port_.StartLogging() : port_.StartTracing(); }
  void Stop() override { log_ ? port_.StopLogging() : port_.StopTracing(); }
  void Resume() override { log_ ? port_.ResumeLogging() : port_.ResumeTracing(); }
  void Pause() override { log_ ? port_.PauseLogging() : port_.PauseTracing(); }
  void Dump(bool append) override {
    if (log_) {
      append ? port_.AppendLogging(port_.LogName, port_.LogHex)
             : port_.DumpLogging(port_.LogName, port_.LogHex);
    } else {
      append ? port_.AppendTracing(port_.TraceName, port_.TraceHex)
             : port_.DumpTracing(port_.TraceName, port_.TraceHex);
    }
  }
  void Clear() override { log_ ? port_.ClearLogging() : port_.ClearTracing(); }

 private:
  TApdComPort& port_;
  bool log_;
};

}  // namespace

void ComputeFlowLimits(std::uint16_t inSize, double fullShare, double resumeShare, std::uint16_t& full,
                       std::uint16_t& resume) {
  if (full == 0 || full > inSize) full = static_cast<std::uint16_t>(inSize * fullShare);
  if (resume == 0 || resume > full) resume = static_cast<std::uint16_t>(inSize * resumeShare);
}

TApdComPort::TApdComPort(PortPlatform& platform) : platform_(platform) {}

TApdComPort::~TApdComPort() {
  try {
    if (openState_ != TOpenState::closed) DoClose();
    if (dispatcher_) FinishClose();
  } catch (const std::exception& error) {
    ReportCloseError(error);
  }
}

int TApdComPort::Check(int code) const { return CheckCode(Loading, code); }

void TApdComPort::ReportCloseError(const std::exception& error) {
  try {
    platform_.HandleException(error);
  } catch (...) {
  }
}

// ---------------------------------------------------------------- open and close

void TApdComPort::Assign(const TApdComPort& source) {
  if (&source == this) return;
  // Settings copied into an open port would not reach its line: close first.
  if (open_) SetOpen(false);
  clients_ = source.clients_;
  if (source.open_ && source.dispatcher_) {
    source.dispatcher_->SaveTriggers(savedTriggers_);
    triggersSaved_ = true;
  }
  forceApply_ = source.forceApply_;
  deviceLayer_ = source.deviceLayer_;
  comNumber_ = source.comNumber_;
  baud_ = source.baud_;
  parity_ = source.parity_;
  dataBits_ = source.dataBits_;
  stopBits_ = source.stopBits_;
  inSize_ = source.inSize_;
  outSize_ = source.outSize_;
  dtr_ = source.dtr_;
  rts_ = source.rts_;
  bufferFull_ = source.bufferFull_;
  bufferResume_ = source.bufferResume_;
  hwFlow_ = source.hwFlow_;
  swFlow_ = source.swFlow_;
  xOn_ = source.xOn_;
  xOff_ = source.xOff_;
  tracing_ = source.tracing_;
  traceSize_ = source.traceSize_;
  TraceName = source.TraceName;
  TraceHex = source.TraceHex;
  logging_ = source.logging_;
  logSize_ = source.logSize_;
  LogName = source.LogName;
  LogHex = source.LogHex;
  lengthTriggerSize_ = source.lengthTriggerSize_;
  SetOnTrigger(source.onTrigger_);
  SetOnTriggerAvail(source.onTriggerAvail_);
  SetOnTriggerData(source.onTriggerData_);
  SetOnTriggerStatus(source.onTriggerStatus_);
  SetOnTriggerTimer(source.onTriggerTimer_);
  tapiMode_ = source.tapiMode_;
  open_ = false;
}

void TApdComPort::Loaded() {
  Loading = false;
  if (openOnLoad_) open_ = true;
  if (!open_) return;
  openOnLoad_ = false;
  open_ = false;
  try {
    DoOpen();
  } catch (const std::exception& error) {
    open_ = false;
    platform_.HandleException(error);
  }
}

void TApdComPort::SetOpen(bool open) {
  if (open == open_) return;
  if (Loading) {
    open_ = open;
    if (open) openOnLoad_ = true;
    return;
  }
  if (!open) {
    DoClose();
  } else if (openState_ == TOpenState::closing) {
    reopenRequested_ = true;
  } else {
    DoOpen();
  }
}

void TApdComPort::ReadSettingsFromHandle() {
  LineSettingsBlock block;
  if (!platform_.ReadHandleSettings(TapiHandle, block)) return;
  baud_ = static_cast<std::int32_t>(RateOfBaudValue(block.BaudRate));
  parity_ = static_cast<TParity>(std::min<std::uint8_t>(block.Parity, 4));
  dataBits_ = block.ByteSize;
  stopBits_ = block.StopBits == kOneStopBit ? 1 : 2;
  hwFlow_ = (block.DtrControl == kDtrControlHandshake ? hwfUseDTR : 0) |
            (block.RtsControl == kRtsControlHandshake ? hwfUseRTS : 0) |
            (block.OutxDsrFlow ? hwfRequireDSR : 0) | (block.OutxCtsFlow ? hwfRequireCTS : 0);
  swFlow_ = block.InX && block.OutX ? TSWFlowOptions::swfBoth
            : block.InX             ? TSWFlowOptions::swfReceive
            : block.OutX            ? TSWFlowOptions::swfTransmit
                                    : TSWFlowOptions::swfNone;
  xOn_ = block.XonChar;
  xOff_ = block.XoffChar;
}

void TApdComPort::DoOpen() {
  const bool onHandle = tapiMode_ == TTapiMode::tmOn;
  if (!onHandle && comNumber_ == 0) {
    int chosen = 0;
    if (!PromptForPort || !platform_.SelectPort(chosen) || chosen <= 0) {
      throw ENoPortSelected(codes::kNoPortSelected);
    }
    comNumber_ = chosen;
  }
  bool clientsTold = false;
  try {
    if (onHandle) {
      if (TapiHandle == 0) Check(codes::kNotOpenedByTapi);
      // The handed handle is the dispatcher's from here on: it closes it,
      // also when this open fails.
      dispatcher_ = platform_.CreateDispatcher(*this, true, TapiHandle);
    }
    if (deviceLayer_ != TDeviceLayer::dlWin32) Check(codes::kNullApi);
    if (onHandle)
      ReadSettingsFromHandle();
    else
      dispatcher_ = platform_.CreateDispatcher(*this, false, TapiHandle);
    char name[32] = "";
    if (!onHandle) std::snprintf(name, sizeof name, "\\\\.\\COM%d", comNumber_);
    int result =
        dispatcher_->OpenPort(name, static_cast<std::uint32_t>(baud_), static_cast<std::uint8_t>(parity_),
                              static_cast<std::uint8_t>(dataBits_), static_cast<std::uint8_t>(stopBits_),
                              inSize_, outSize_, dtr_, rts_);
    if (result == -5) result = codes::kAlreadyOpen;
    if (result == -2 || result == -3) result = codes::kBadId;
    if (result != 0) CheckCode(false, result);
    openState_ = TOpenState::open;
    TriggerHandlersChanged();
    ReapplyAll();
    open_ = true;
    portWindow_ = platform_.CreateNotificationWindow(*this);
    if (portWindow_ == 0) CheckCode(false, codes::kInternalWindowClass);
    dispatcher_->RegisterWindow(portWindow_);
    if (triggersSaved_) {
      triggersSaved_ = false;
      dispatcher_->RestoreTriggers(savedTriggers_);
    }
    clientsTold = true;
    TellClients(true);
  } catch (...) {
    RollBackOpen(clientsTold);
    throw;
  }
}

void TApdComPort::RollBackOpen(bool clientsTold) {
  // Nothing of a failed open stays: clients told of it hear of the close.
  if (clientsTold) {
    try {
      TellClients(false);
    } catch (...) {
    }
  }
  if (portWindow_ != 0) {
    if (dispatcher_) dispatcher_->UnregisterWindow(portWindow_);
    platform_.DestroyNotificationWindow(portWindow_);
    portWindow_ = 0;
  }
  dispatcher_.reset();
  openState_ = TOpenState::closed;
  open_ = false;
}

void TApdComPort::ReapplyAll() {
  forceApply_ = true;
  try {
    SetTracing(tracing_);
    SetLogging(logging_);
    SetHWFlowOptions(hwFlow_);
    SetSWFlowOptions(swFlow_);
    SetXOnChar(xOn_);
    SetXOffChar(xOff_);
    SetLengthTriggerSize(lengthTriggerSize_);
    SetDTR(dtr_);
    if (deviceLayer_ != TDeviceLayer::dlFossil) SetRTS(rts_);
    SetUseEventWord(useEventWord_);
    SetRS485Mode(rs485Mode_);
    SetThreadPriorityStep(threadPriorityStep_);
  } catch (...) {
    forceApply_ = false;
    throw;
  }
  forceApply_ = false;
}

void TApdComPort::TellClients(bool opening) {
  for (auto client = clients_.rbegin(); client != clients_.rend(); ++client) {
    if (client->window != 0) {
      platform_.SendToClient(client->window, opening ? kPortOpenMessage : kPortClosingMessage);
    } else if (client->callback) {
      client->callback(*this, opening);
    }
  }
}

void TApdComPort::DoClose() {
  open_ = false;
  if (openState_ != TOpenState::open) return;
  // A dump that cannot be written is reported; the port closes all the same.
  try {
    SetTracing(TTraceLogState::tlDump);
  } catch (const std::exception& error) {
    tracing_ = TTraceLogState::tlOff;
    ReportCloseError(error);
  }
  try {
    SetLogging(TTraceLogState::tlDump);
  } catch (const std::exception& error) {
    logging_ = TTraceLogState::tlOff;
    ReportCloseError(error);
  }
  openState_ = TOpenState::closing;
  // Every byte taken from the line reaches the listeners (a terminal and its
  // capture file) while they still listen; what the line still holds stays
  // there. An open asked for meanwhile waits for the close.
  dispatcher_->EndReception();
  TellClients(false);
  dispatcher_->SaveTriggers(savedTriggers_);
  triggersSaved_ = true;
  dispatcher_->ClosePort();
  if (dispatcher_->Dispatching() || dispatcher_->ClosePending()) {
    // Closed from inside a trigger event: the dispatch thread is still in
    // the notification; the rest happens once it has let go.
    platform_.PostDeferredClose(portWindow_, dispatcher_->Handle());
    platform_.PumpOneMessage();
  } else {
    FinishClose();
  }
}

void TApdComPort::FinishClose() {
  if (portWindow_ != 0) {
    if (dispatcher_) dispatcher_->UnregisterWindow(portWindow_);
    platform_.DestroyNotificationWindow(portWindow_);
    portWindow_ = 0;
  }
  dispatcher_.reset();
  openState_ = TOpenState::closed;
}

void TApdComPort::HandleNotification(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (message == kDeferredCloseMessage) {
    if (openState_ != TOpenState::closing || !dispatcher_) return;
    if (!dispatcher_->WaitWorkersFinished(20)) {
      platform_.PostDeferredClose(portWindow_, dispatcher_->Handle());
      return;
    }
    FinishClose();
    if (reopenRequested_) {
      reopenRequested_ = false;
      if (reopenTraceLog_) {
        tracing_ = reopenTraceLog_->first;
        logging_ = reopenTraceLog_->second;
        reopenTraceLog_.reset();
      }
      DoOpen();
    }
    return;
  }
  if (message == kLineFailedMessage) {
    if (openState_ == TOpenState::open && onLineFailure_)
      onLineFailure_(*this, static_cast<std::uint32_t>(wParam));
    return;
  }
  if (message < kAvailMessage || message > kStatusMessage) return;
  const auto handle = static_cast<std::uint32_t>(wParam);
  const auto value = static_cast<std::uint32_t>(lParam & 0xFFFF);
  if (onTrigger_) onTrigger_(*this, message, handle, message == kAvailMessage ? handle : value);
  switch (message) {
    case kAvailMessage:
      if (onTriggerAvail_) onTriggerAvail_(*this, handle);
      break;
    case kDataMessage:
      if (onTriggerData_) onTriggerData_(*this, handle);
      break;
    case kTimerMessage:
      if (onTriggerTimer_) onTriggerTimer_(*this, handle);
      break;
    case kStatusMessage:
      if (onTriggerStatus_) onTriggerStatus_(*this, handle);
      switch (handle & 7) {
        case kStatusModem:
          if (onTriggerModemStatus_) onTriggerModemStatus_(*this);
          break;
        case kStatusLine:
          if (onTriggerLineError_) {
            const int error = CurrentLineError();
            onTriggerLineError_(*this, error, BreakReceived());
          }
          break;
        case kStatusOutFree:
          if (onTriggerOutbuffFree_) onTriggerOutbuffFree_(*this);
          break;
        case kStatusOutUsed:
          if (onTriggerOutbuffUsed_) onTriggerOutbuffUsed_(*this);
          break;
        case kStatusOutSent:
          if (onTriggerOutSent_) onTriggerOutSent_(*this);
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------- setters

void TApdComPort::SetDeviceLayer(TDeviceLayer layer) {
  if (layer == TDeviceLayer::dlWin32 && openState_ == TOpenState::closed) deviceLayer_ = layer;
}

void TApdComPort::SetComNumber(int number) {
  if (number == comNumber_) return;
  const bool wasOpen = openState_ == TOpenState::open;
  if (!wasOpen) {
    comNumber_ = number;
    return;
  }
  const TTraceLogState tracing = tracing_, logging = logging_;
  DoClose();
  comNumber_ = number;
  if (dispatcher_) {
    // Closed from inside a trigger event: the deferred close opens the new
    // number, with tracing and logging as they were.
    reopenRequested_ = true;
    reopenTraceLog_ = {tracing, logging};
    return;
  }
  tracing_ = tracing;
  logging_ = logging;
  DoOpen();
}

void TApdComPort::ApplyLine() {
  if (openState_ == TOpenState::open && dispatcher_) {
    Check(dispatcher_->ChangeLine(static_cast<std::uint32_t>(baud_), static_cast<std::uint8_t>(parity_),
                                  static_cast<std::uint8_t>(stopBits_),
                                  static_cast<std::uint8_t>(dataBits_)));
  }
}

void TApdComPort::SetBaud(std::int32_t baud) {
  baud_ = baud;
  ApplyLine();
}
void TApdComPort::SetParity(TParity parity) {
  parity_ = parity;
  ApplyLine();
}
void TApdComPort::SetDataBits(int bits) {
  dataBits_ = bits;
  ApplyLine();
}
void TApdComPort::SetStopBits(int bits) {
  stopBits_ = bits;
  ApplyLine();
}

void TApdComPort::SetInSize(std::uint16_t size) {
  inSize_ = size;
  if (openState_ == TOpenState::open) dispatcher_->ResizeQueues(inSize_, outSize_);
}

void TApdComPort::SetOutSize(std::uint16_t size) {
  outSize_ = size;
  if (openState_ == TOpenState::open) dispatcher_->ResizeQueues(inSize_, outSize_);
}

void TApdComPort::SetHWFlowOptions(THWFlowOptionSet options) {
  if (options == hwFlow_ && !forceApply_) return;
  if (options != 0) ComputeFlowLimits(inSize_, 0.9, 0.1, bufferFull_, bufferResume_);
  if (openState_ == TOpenState::open)
    Check(dispatcher_->SetHardwareFlow(bufferFull_, bufferResume_, options));
  hwFlow_ = options;
  if ((options & (hwfUseRTS | hwfRequireCTS)) && rs485Mode_) SetRS485Mode(false);
}

void TApdComPort::SetSWFlowOptions(TSWFlowOptions options) {
  if (options == swFlow_ && !forceApply_) return;
  const auto bits = static_cast<std::uint32_t>(options);  // receive 2, transmit 1, both 3
  if (bits != 0) ComputeFlowLimits(inSize_, 0.75, 0.25, bufferFull_, bufferResume_);
  if (openState_ == TOpenState::open) {
    Check(bits != 0 ? dispatcher_->SetSoftwareFlow(bufferFull_, bufferResume_, bits)
                    : dispatcher_->ClearSoftwareFlow());
  }
  swFlow_ = options;
}

void TApdComPort::SetXOnChar(char c) {
  xOn_ = c;
  if (openState_ == TOpenState::open) Check(dispatcher_->SetFlowChars(xOn_, xOff_));
}

void TApdComPort::SetXOffChar(char c) {
  xOff_ = c;
  if (openState_ == TOpenState::open) Check(dispatcher_->SetFlowChars(xOn_, xOff_));
}

void TApdComPort::SetBufferFull(std::uint16_t value) {
  bufferFull_ = value > inSize_ ? static_cast<std::uint16_t>(value * 0.9) : value;
  const bool force = forceApply_;
  forceApply_ = true;
  try {
    SetHWFlowOptions(hwFlow_);
    SetSWFlowOptions(swFlow_);
  } catch (...) {
    forceApply_ = force;
    throw;
  }
  forceApply_ = force;
}

void TApdComPort::SetBufferResume(std::uint16_t value) {
  bufferResume_ = value > bufferFull_ ? static_cast<std::uint16_t>(bufferFull_ * 0.1) : value;
  const bool force = forceApply_;
  forceApply_ = true;
  try {
    SetHWFlowOptions(hwFlow_);
    SetSWFlowOptions(swFlow_);
  } catch (...) {
    forceApply_ = force;
    throw;
  }
  forceApply_ = force;
}

void TApdComPort::SetDTR(bool on) {
  if (on == dtr_ && !forceApply_) return;
  if (openState_ != TOpenState::open) {
    dtr_ = on;
  } else if (Check(dispatcher_->DriveDtr(on)) == 0) {
    dtr_ = on;
  }
}

void TApdComPort::SetRTS(bool on) {
  if (on == rts_ && !forceApply_) return;
  if (openState_ != TOpenState::open) {
    rts_ = on;
  } else if (Check(dispatcher_->DriveRts(on)) == 0) {
    rts_ = on;
  }
}

void TApdComPort::SetRS485Mode(bool on) {
  rs485Mode_ = on;
  if (openState_ == TOpenState::open) Check(dispatcher_->SetRS485(on));
  if (on) {
    SetHWFlowOptions(hwFlow_ & ~(hwfUseRTS | hwfRequireCTS));
    SetRTS(false);
  }
}

void TApdComPort::SetUseEventWord(bool on) {
  useEventWord_ = on;
  if (openState_ != TOpenState::open) return;
  if (on) {
    dispatcher_->SetOptionBits(16);
  } else {
    dispatcher_->ClearOptionBits(16);
  }
}

void TApdComPort::SetThreadPriorityStep(int step) {
  threadPriorityStep_ = step;
  if (openState_ == TOpenState::open) dispatcher_->SetThreadPriorityStep(step);
}

void TApdComPort::SetLengthTriggerSize(std::uint16_t size) {
  lengthTriggerSize_ = size;
  if (openState_ == TOpenState::open) dispatcher_->SetLengthTrigger(size);
}

void TApdComPort::SetTracing(TTraceLogState state) {
  DispatcherTraceActions actions(*this, false);
  tracing_ = ApplyTraceLogState(tracing_, state, openState_ == TOpenState::open, forceApply_, actions);
}

void TApdComPort::SetLogging(TTraceLogState state) {
  DispatcherTraceActions actions(*this, true);
  logging_ = ApplyTraceLogState(logging_, state, openState_ == TOpenState::open, forceApply_, actions);
}

void TApdComPort::SetTraceSize(std::uint32_t size) {
  traceSize_ = std::min(size, kMaxTraceEntries);
  if (openState_ == TOpenState::open &&
      (tracing_ == TTraceLogState::tlOn || tracing_ == TTraceLogState::tlPause)) {
    const TTraceLogState previous = tracing_;
    StopTracing();
    SetTracing(previous);
  }
}

void TApdComPort::SetLogSize(std::uint32_t size) {
  logSize_ = std::min(size, kMaxLogBytes);
  if (openState_ == TOpenState::open &&
      (logging_ == TTraceLogState::tlOn || logging_ == TTraceLogState::tlPause)) {
    const TTraceLogState previous = logging_;
    StopLogging();
    SetLogging(previous);
  }
}

// ---------------------------------------------------------------- events

bool TApdComPort::AnyTriggerEvent() const {
  return onTrigger_ || onTriggerAvail_ || onTriggerData_ || onTriggerStatus_ || onTriggerTimer_ ||
         onTriggerLineError_ || onTriggerModemStatus_ || onTriggerOutbuffFree_ || onTriggerOutbuffUsed_ ||
         onTriggerOutSent_;
}

void TApdComPort::TriggerHandlersChanged() {
  if (openState_ != TOpenState::open || !dispatcher_) return;
  dispatcher_->UpdateServiceFlags(AnyTriggerEvent() ? 1 : 2);
}

void TApdComPort::SetOnTrigger(TTriggerEvent handler) {
  onTrigger_ = std::move(handler);
  TriggerHandlersChanged();
}
void TApdComPort::SetOnTriggerAvail(TTriggerAvailEvent handler) {
  onTriggerAvail_ = std::move(handler);
  TriggerHandlersChanged();
}
void TApdComPort::SetOnTriggerData(TTriggerHandleEvent handler) {
  onTriggerData_ = std::move(handler);
  TriggerHandlersChanged();
}
void TApdComPort::SetOnTriggerStatus(TTriggerHandleEvent handler) {
  onTriggerStatus_ = std::move(handler);
  TriggerHandlersChanged();
}
void TApdComPort::SetOnTriggerTimer(TTriggerHandleEvent handler) {
  onTriggerTimer_ = std::move(handler);
  TriggerHandlersChanged();
}
void TApdComPort::SetOnTriggerLineError(TTriggerLineErrorEvent handler) {
  onTriggerLineError_ = std::move(handler);
  TriggerHandlersChanged();
}
void TApdComPort::SetOnTriggerModemStatus(TNotifyEvent handler) {
  onTriggerModemStatus_ = std::move(handler);
  TriggerHandlersChanged();
}
void TApdComPort::SetOnTriggerOutbuffFree(TNotifyEvent handler) {
  onTriggerOutbuffFree_ = std::move(handler);
  TriggerHandlersChanged();
}
void TApdComPort::SetOnTriggerOutbuffUsed(TNotifyEvent handler) {
  onTriggerOutbuffUsed_ = std::move(handler);
  TriggerHandlersChanged();
}
void TApdComPort::SetOnTriggerOutSent(TNotifyEvent handler) {
  onTriggerOutSent_ = std::move(handler);
  TriggerHandlersChanged();
}

void TApdComPort::WaitChar(char c) {
  if (onWaitChar_) onWaitChar_(*this, c);
}

// ---------------------------------------------------------------- operations

TApdBaseDispatcher* TApdComPort::Dispatcher() {
  if (!dispatcher_ && openState_ == TOpenState::closed && !Loading && AutoOpen) DoOpen();
  return dispatcher_.get();
}

TApdBaseDispatcher& TApdComPort::DispatcherOrFail() {
  TApdBaseDispatcher* dispatcher = Dispatcher();
  if (!dispatcher) CheckCode(false, codes::kCommNotOpen);
  return *dispatcher;
}

bool TApdComPort::LineCTS() { return openState_ == TOpenState::open && dispatcher_->CtsOn(); }
bool TApdComPort::LineDSR() { return openState_ == TOpenState::open && dispatcher_->DsrOn(); }
bool TApdComPort::LineDCD() { return openState_ == TOpenState::open && dispatcher_->DcdOn(); }
bool TApdComPort::LineRing() { return openState_ == TOpenState::open && dispatcher_->RingSeenSince(); }

int TApdComPort::CurrentLineError() {
  return openState_ == TOpenState::open ? Check(dispatcher_->NextLineError()) : 0;
}

bool TApdComPort::BreakReceived() { return openState_ == TOpenState::open && dispatcher_->BreakSeen(); }

std::uint32_t TApdComPort::ReceivedBytes() {
  return openState_ == TOpenState::open ? dispatcher_->ReceivedCount() : 0;
}

std::uint32_t TApdComPort::CommEventError() {
  return openState_ == TOpenState::open ? dispatcher_->CommEventError() : 0;
}

std::uint32_t TApdComPort::OutputBytes() {
  return openState_ == TOpenState::open ? dispatcher_->OutputUsed() : 0;
}

void TApdComPort::YieldToPort() {
  if (openState_ != TOpenState::closing) Check(DispatcherOrFail().YieldToThreads());
}

int TApdComPort::AddTimerTrigger() {
  if (openState_ == TOpenState::closing) return 0;
  return Check(DispatcherOrFail().AddTimerTrigger());
}

int TApdComPort::AddStatusTrigger(std::uint32_t type) {
  if (openState_ == TOpenState::closing) return 0;
  return Check(DispatcherOrFail().AddStatusTrigger(type));
}

void TApdComPort::RemoveTrigger(std::uint32_t handle) {
  if (openState_ == TOpenState::open) Check(dispatcher_->RemoveTrigger(handle));
}

void TApdComPort::SetTimerTrigger(std::uint32_t handle, std::int32_t ticks, bool activate) {
  if (openState_ != TOpenState::closing) Check(DispatcherOrFail().SetTimerTrigger(handle, ticks, activate));
}

void TApdComPort::SetStatusTrigger(std::uint32_t handle, std::uint32_t value, bool activate) {
  if (openState_ != TOpenState::closing) Check(DispatcherOrFail().SetStatusTrigger(handle, value, activate));
}

void TApdComPort::RequestOpenOnLoad() {
  if (AutoOpen) openOnLoad_ = true;
}

int TApdComPort::RegisterClientWindow(WindowRef window) {
  clients_.push_back({window, nullptr, nullptr});
  return static_cast<int>(clients_.size() - 1);
}

int TApdComPort::RegisterClientCallback(TPortCallback callback, const void* data) {
  clients_.push_back({0, std::move(callback), data});
  return static_cast<int>(clients_.size() - 1);
}

void TApdComPort::UnregisterClientWindow(WindowRef window) {
  std::erase_if(clients_, [&](const Client& c) { return c.window != 0 && c.window == window; });
}

void TApdComPort::UnregisterClientCallback(const void* data) {
  std::erase_if(clients_, [&](const Client& c) { return c.window == 0 && c.data == data; });
}

// ---------------------------------------------------------------- tracing and logging

void TApdComPort::StartTracing(std::uint32_t size) {
  if (openState_ == TOpenState::closing) return;
  if (size != 0) traceSize_ = std::min(size, kMaxTraceEntries);
  Check(DispatcherOrFail().StartTrace(traceSize_));
  tracing_ = TTraceLogState::tlOn;
}
void TApdComPort::DumpTracing(const std::string& name, bool hex) {
  if (openState_ == TOpenState::closing) return;
  tracing_ = TTraceLogState::tlOff;
  Check(DispatcherOrFail().DumpTrace(name, hex, false));
}
void TApdComPort::AppendTracing(const std::string& name, bool hex) {
  if (openState_ == TOpenState::closing) return;
  tracing_ = TTraceLogState::tlOff;
  Check(DispatcherOrFail().DumpTrace(name, hex, true));
}
void TApdComPort::ClearTracing() {
  if (openState_ != TOpenState::closing) Check(DispatcherOrFail().ClearTrace());
}
void TApdComPort::StopTracing() {
  if (openState_ == TOpenState::closing) return;
  DispatcherOrFail().StopTrace();
  tracing_ = TTraceLogState::tlOff;
}
void TApdComPort::ResumeTracing() {
  if (openState_ == TOpenState::closing) return;
  DispatcherOrFail().ResumeTrace();
  tracing_ = TTraceLogState::tlOn;
}
void TApdComPort::PauseTracing() {
  if (openState_ == TOpenState::closing) return;
  DispatcherOrFail().PauseTrace();
  tracing_ = TTraceLogState::tlPause;
}
void TApdComPort::StartLogging(std::uint32_t size) {
  if (openState_ == TOpenState::closing) return;
  if (size != 0) logSize_ = std::min(size, kMaxLogBytes);
  Check(DispatcherOrFail().StartLog(logSize_));
  logging_ = TTraceLogState::tlOn;
}
void TApdComPort::DumpLogging(const std::string& name, bool hex) {
  if (openState_ == TOpenState::closing) return;
  logging_ = TTraceLogState::tlOff;
  Check(DispatcherOrFail().DumpLog(name, hex, false));
}
void TApdComPort::AppendLogging(const std::string& name, bool hex) {
  if (openState_ == TOpenState::closing) return;
  logging_ = TTraceLogState::tlOff;
  Check(DispatcherOrFail().DumpLog(name, hex, true));
}
void TApdComPort::ClearLogging() {
  if (openState_ != TOpenState::closing) DispatcherOrFail().ClearLog();
}
void TApdComPort::StopLogging() {
  if (openState_ == TOpenState::closing) return;
  DispatcherOrFail().StopLog();
  logging_ = TTraceLogState::tlOff;
}
void TApdComPort::ResumeLogging() {
  if (openState_ == TOpenState::closing) return;
  DispatcherOrFail().ResumeLog();
  logging_ = TTraceLogState::tlOn;
}
void TApdComPort::PauseLogging() {
  if (openState_ == TOpenState::closing) return;
  DispatcherOrFail().PauseLog();
  logging_ = TTraceLogState::tlPause;
}

}  // namespace comm
