// The line device's life, its bindings to a port, display and call log, and
// the call flow: dial, wait, hang up, retry.
#include "comm/telephony/device.h"

#include <algorithm>
#include <cstdio>

#include "comm/base/exceptions.h"
#include "comm/base/error_codes.h"
#include "comm/telephony/binding.h"
#include "comm/telephony/device_detail.h"
#include "comm/telephony/records.h"

namespace comm {

using device_detail::FlagScope;
using device_detail::kPumpSliceMs;
using device_detail::LiveDevices;
using device_detail::Raise;
using device_detail::RaiseTapi;

namespace device_detail {

void Raise(int code) { CheckCode(false, code); }

void RaiseTapi(std::int32_t result) {
  if (result < 0) Raise(tapi::TapiErrorCode(result));
}

std::string RecordString(const std::vector<std::uint8_t>& record, std::uint32_t sizeField,
                         std::uint32_t offsetField) {
  const auto bytes = RecordBytes(record, sizeField, offsetField);
  return bytes ? RecordText(*bytes) : std::string();
}

}  // namespace device_detail

namespace {

constexpr std::uint32_t kCallStateWaitMs = 30000;
constexpr std::size_t kMaxNumberLength = 255;

}  // namespace

// ---- construction ------------------------------------------------------------

TApdCustomTapiDevice::TApdCustomTapiDevice(fw::TComponent* owner, TapiDeviceHost& host)
    : TApdBaseComponent(owner), host_(host) {
  LiveDevices().insert(this);
  try {
    InitLineApp();
    ListDevices();
  } catch (const std::exception&) {
    // Tried again at the first use, which reports the failure.
  }
  if (!owner) return;
  auto servesNoDevice = [](const auto& part) { return part.TapiDevice == nullptr; };
  SetComPort(FindFirstComponent<TapiPortControl>(*owner));
  SetStatusDisplay(FindFirstComponent<TApdAbstractTapiStatus>(*owner, servesNoDevice));
  SetTapiLog(FindFirstComponent<TApdTapiLog>(*owner, servesNoDevice));
}

TApdCustomTapiDevice::~TApdCustomTapiDevice() {
  // The owner is half torn down: no waits, no events.
  destroying_ = true;
  host_.StopRetryTimer();
  try {
    if (lineInUse_) HangUp(true);
    ShutdownLineApp();
  } catch (...) {
  }
  if (tapiLog_ && tapiLog_->TapiDevice == this) tapiLog_->TapiDevice = nullptr;
  if (statusDisplay_ && statusDisplay_->TapiDevice == this) statusDisplay_->TapiDevice = nullptr;
  LiveDevices().erase(this);
}

void TApdCustomTapiDevice::HandleCallbackException(std::exception_ptr error) { host_.HandleException(error); }

void TApdCustomTapiDevice::Assign(const fw::TComponent& source) {
  const auto* from = dynamic_cast<const TApdCustomTapiDevice*>(&source);
  if (!from) {
    TApdBaseComponent::Assign(source);
    return;
  }
  if (from == this) return;
  const TApdCustomTapiDevice& other = *from;
  dialing_ = other.dialing_;
  selectedDevice_ = other.selectedDevice_;
  numDevices_ = other.numDevices_;
  MaxAttempts = other.MaxAttempts;
  AnswerOnRing = other.AnswerOnRing;
  attempt_ = other.attempt_;
  RetryWait = other.RetryWait;
  ShowTapiDevices = other.ShowTapiDevices;
  ShowPorts = other.ShowPorts;
  BindPort(other.comPort_);
  callInfo_ = other.callInfo_;
  deviceNames_.clear();
  // Not copied: the line-open flag (without the other device's line handle
  // it would make this device dial on no line), and the status display and
  // call log, which each tell one device when they go away; a second device
  // holding them would keep a dangling reference.
}

void TApdCustomTapiDevice::BindPort(TapiPortControl* port) {
  comPort_ = port;
  portComponent_ = dynamic_cast<fw::TComponent*>(port);
  // A port on another form tells this device when it goes.
  if (portComponent_) FreeNotification(portComponent_);
}

void TApdCustomTapiDevice::SetComPort(TapiPortControl* port) {
  BindPort(port);
  TakeOverPortMode();
}

void TApdCustomTapiDevice::TakeOverPortMode() {
  // A port left to choose opens only on a call's handle from now on.
  if (comPort_ && comPort_->TapiMode() == TTapiMode::tmAuto) {
    comPort_->SetTapiMode(TTapiMode::tmOn);
    comPort_->SetAutoOpen(false);
    comPort_->SetOpen(false);
  }
}

void TApdCustomTapiDevice::SetStatusDisplay(TApdAbstractTapiStatus* display) {
  if (statusDisplay_ && statusDisplay_ != display) statusDisplay_->TapiDevice = nullptr;
  // A display serves one device: the one it leaves forgets it.
  if (display && display->TapiDevice && display->TapiDevice != this)
    display->TapiDevice->ForgetDisplay(display);
  statusDisplay_ = display;
  if (!display) return;
  display->TapiDevice = this;
  FreeNotification(display);
}

void TApdCustomTapiDevice::SetTapiLog(TApdTapiLog* log) {
  if (tapiLog_ && tapiLog_ != log) tapiLog_->TapiDevice = nullptr;
  if (log && log->TapiDevice && log->TapiDevice != this) log->TapiDevice->ForgetLog(log);
  tapiLog_ = log;
  if (!log) return;
  log->TapiDevice = this;
  FreeNotification(log);
}

void TApdCustomTapiDevice::ComponentInserted(fw::TComponent& component) {
  if (auto* port = dynamic_cast<TapiPortControl*>(&component)) {
    if (!comPort_) BindPort(port);
    TakeOverPortMode();
  }
  auto* display = dynamic_cast<TApdAbstractTapiStatus*>(&component);
  if (display && !statusDisplay_ && !display->TapiDevice) SetStatusDisplay(display);
  auto* log = dynamic_cast<TApdTapiLog*>(&component);
  if (log && !tapiLog_ && !log->TapiDevice) SetTapiLog(log);
}

void TApdCustomTapiDevice::Notification(fw::TComponent* component, fw::TOperation operation) {
  TApdBaseComponent::Notification(component, operation);
  if (operation != fw::TOperation::opRemove || !component) return;
  // Compared as components only: the part may be in its destructor, and
  // then nothing of it but its component state may be touched.
  const bool stillAlive = !component->Destroying();
  if (component == portComponent_) {
    comPort_ = nullptr;
    portComponent_ = nullptr;
  }
  if (statusDisplay_ && component == static_cast<fw::TComponent*>(statusDisplay_)) {
    if (stillAlive) statusDisplay_->TapiDevice = nullptr;
    statusDisplay_ = nullptr;
  }
  if (tapiLog_ && component == static_cast<fw::TComponent*>(tapiLog_)) {
    if (stillAlive) tapiLog_->TapiDevice = nullptr;
    tapiLog_ = nullptr;
  }
}

std::string TApdCustomTapiDevice::HandleValueName(std::uint32_t processId) {
  char name[16];
  std::snprintf(name, sizeof name, "$%08X", static_cast<unsigned>(processId));
  return name;
}
// ---- line and call ------------------------------------------------------------

void TApdCustomTapiDevice::OpenLine(bool open) {
  InitLineApp();
  if (open) deviceId_ = SelectDeviceID();
  if (lineOpen_ == open) return;
  if (!open) {
    HangUp(false);
    return;
  }
  tapi::Handle line = 0;
  RaiseTapi(lineOpen(lineApp_, static_cast<std::uint32_t>(deviceId_), &line, apiVersion_, 0,
                     reinterpret_cast<std::uintptr_t>(this),
                     dialing_ ? tapi::kPrivilegeNone : tapi::kPrivilegeOwner,
                     enableVoice_ ? tapi::kMediaAutomatedVoice : tapi::kMediaDataModem, nullptr));
  line_ = line;
  lineInUse_ = true;
  lineOpenedOnce_ = true;
  const std::int32_t status =
      lineSetStatusMessages(line_, tapi::kStatusLineStates, tapi::kStatusAddressStates);
  if (status < 0) {
    // A line we cannot follow is closed again, not left open.
    lineClose(line_);
    line_ = 0;
    lineInUse_ = false;
    RaiseTapi(status);
  }
  lineOpen_ = true;
  if (attempt_ == 1 || !dialing_) NotifyLog(TTapiLogCode::ltapiCallStart);
}

void TApdCustomTapiDevice::Dial(const std::string& number) {
  if (!comPort_) Raise(codes::kPortNotAssigned);
  // lineMakeCall takes the number from a 256-byte buffer.
  if (number.size() > kMaxNumberLength) Raise(codes::kBadArgument);
  if (comPort_->TapiMode() == TTapiMode::tmAuto) comPort_->SetTapiMode(TTapiMode::tmOn);
  if (comPort_->TapiMode() == TTapiMode::tmOn && (CallStateIndex() != 0 || attemptOutstanding_))
    Raise(codes::kTapiBusy);
  if (comPort_->TapiMode() != TTapiMode::tmOn) Raise(codes::kTapiNotSet);
  attempt_ = 1;
  retryEnabled_ = true;
  number_ = number;
  if (statusDisplay_) statusDisplay_->Displaying = false;
  attemptOutstanding_ = true;
  try {
    PlaceCall();
  } catch (...) {
    if (!lineInUse_) {
      attemptOutstanding_ = false;
      retryEnabled_ = false;
    }
    throw;
  }
}

void TApdCustomTapiDevice::PlaceCall() {
  if (lineInUse_) return;
  InitLineApp();
  dialing_ = true;
  OpenLine(true);
  const std::vector<std::uint8_t> params = BuildCallParams(enableVoice_);
  NotifyLog(TTapiLogCode::ltapiDial);
  call_ = 0;
  const std::int32_t request = lineMakeCall(line_, &call_, number_.c_str(), 0, params.data());
  const auto reply = WaitForReply(request);
  if (!reply) return;  // the call was ended meanwhile (cancel, line closed)
  if (*reply >= 0) return;
  retryEnabled_ = false;
  HangUp(true);  // reports "dial failed" once
  if (!OnTapiFail) Raise(codes::kTapiCallUnavail);
}

std::optional<std::int32_t> TApdCustomTapiDevice::WaitForReply(std::int32_t request) {
  if (waitingForReply_) return std::nullopt;
  if (request <= 0) return request;
  if (destroying_) return std::nullopt;
  FlagScope waiting(waitingForReply_);
  awaitedRequest_ = request;
  replyResult_ = tapi::kErrOperationFailed;
  replyArrived_ = false;
  const std::uint32_t start = host_.NowMs();
  while (!replyArrived_) {
    if (!lineInUse_) return std::nullopt;
    // A provider that never answers must not keep the program waiting.
    if (ReplyTimeoutMs != 0 && host_.NowMs() - start >= ReplyTimeoutMs) return tapi::kErrOperationFailed;
    if (PastWaitLimit()) return tapi::kErrOperationFailed;
    host_.PumpMessages(kPumpSliceMs);
  }
  return replyResult_;
}

int TApdCustomTapiDevice::WaitForCallState(std::uint32_t state) {
  if (waitingForCallState_ || destroying_) return 1;
  FlagScope waiting(waitingForCallState_);
  callStateChanged_ = false;
  const std::uint32_t start = host_.NowMs();
  for (;;) {
    if (state == 0 ? callStateChanged_ : lastCallState_ == state) return 0;
    if (!lineInUse_) return 1;
    if (host_.NowMs() - start > kCallStateWaitMs || PastWaitLimit()) return 2;
    host_.PumpMessages(kPumpSliceMs);
  }
}

int TApdCustomTapiDevice::CallStateIndex() {
  if (call_ == 0) return 0;
  const auto status = GetCallStatusRecord(call_);
  if (status.result != 0 || !status.buffer) return 0;
  const auto state = RecordField(*status.buffer, tapi::callstatus::kCallState);
  return state ? CallStateIndexOf(*state) : 0;
}

void TApdCustomTapiDevice::HangUp(bool cancel) {
  if (hangingUp_) return;
  const bool neverConnected = !connected_;
  if (lineInUse_) {
    FlagScope hangingUp(hangingUp_);
    const bool portWasOpen = TakeBackPort();
    if (call_ != 0) {
      if (CallStateIndex() != 0) {
        const std::int32_t request = lineDrop(call_, nullptr, 0);
        WaitForReply(request);
        WaitForCallState(tapi::kCallStateIdle);
      }
      lineDeallocateCall(call_);
    }
    if (line_ != 0) lineClose(line_);
    call_ = line_ = 0;
    lineOpen_ = connected_ = lineInUse_ = false;
    if (portWasOpen) Fire(OnTapiPortClose);
    NotifyLog(TTapiLogCode::ltapiDrop);
    EndCall(cancel, neverConnected);
  } else {
    // Between attempts: a retry already scheduled stays as it is.
    if (!cancel && host_.RetryTimerRunning()) return;
    EndCall(cancel, neverConnected);
    call_ = line_ = 0;
    lineOpen_ = connected_ = false;
  }
}

void TApdCustomTapiDevice::EndCall(bool cancel, bool neverConnected) {
  if (cancel) {
    retryEnabled_ = false;
    host_.StopRetryTimer();
  }
  if (retryEnabled_ && attempt_ < MaxAttempts) {
    StartRetryTimer();
    return;
  }
  retryEnabled_ = false;
  // Only a call that was placed gets its report, and only once.
  if (!attemptOutstanding_) return;
  attemptOutstanding_ = false;
  NotifyStatus(false, true, 0, 0, 0, 0, 0);
  NotifyLog(TTapiLogCode::ltapiCallFinish);
  if (neverConnected) {
    NotifyLog(TTapiLogCode::ltapiDialFail);
    Fire(OnTapiFail);
  }
}

bool TApdCustomTapiDevice::PastWaitLimit() {
  return waitLimit_ && host_.NowMs() - waitLimit_->first >= waitLimit_->second;
}

void TApdCustomTapiDevice::CancelCallWithin(std::uint32_t ms) {
  waitLimit_.emplace(host_.NowMs(), ms);
  try {
    CancelCall();
  } catch (...) {
    waitLimit_.reset();
    throw;
  }
  waitLimit_.reset();
}

void TApdCustomTapiDevice::CancelCall() {
  if (attemptOutstanding_) NotifyLog(TTapiLogCode::ltapiCancel);
  HangUp(true);
}

void TApdCustomTapiDevice::StartRetryTimer() {
  host_.StopRetryTimer();
  retryCountdown_ = RetryWait;
  host_.StartRetryTimer([this] { RetryTick(); });
}

void TApdCustomTapiDevice::RetryTick() {
  --retryCountdown_;
  // A cancel during the wait never redials.
  if (!retryEnabled_) {
    host_.StopRetryTimer();
    return;
  }
  if (call_ != 0 && CallStateIndex() != 0) {
    host_.StopRetryTimer();
    return;
  }
  if (retryCountdown_ <= 0) {
    host_.StopRetryTimer();
    ++attempt_;
    try {
      PlaceCall();
    } catch (...) {
      if (lineInUse_) throw;
      // A redial that cannot even be placed ends the call: reported like any
      // call that never connected, so whoever placed it learns of it.
      EndCall(true, true);
      if (!OnTapiFail) throw;
    }
    return;
  }
  NotifyStatus(false, false, 0, 32, 8, 0, 0);
}

// ---- the port -------------------------------------------------------------------
// ---- notifications ---------------------------------------------------------------

void TApdCustomTapiDevice::NotifyStatus(bool first, bool last, std::uintptr_t device, int message,
                                        std::uintptr_t p1, std::uintptr_t p2, std::uintptr_t p3) {
  if (destroying_) return;
  const auto d = static_cast<int>(device), a = static_cast<int>(p1), b = static_cast<int>(p2),
             c = static_cast<int>(p3);
  if (statusDisplay_) statusDisplay_->UpdateDisplay(first, last, d, message, a, b, c);
  if (OnTapiStatus) OnTapiStatus(*this, first, last, d, message, a, b, c);
}

void TApdCustomTapiDevice::NotifyLog(TTapiLogCode code) {
  if (destroying_) return;
  if (tapiLog_) tapiLog_->UpdateLog(code);
  if (OnTapiLog) OnTapiLog(*this, code);
}

void TApdCustomTapiDevice::Fire(const NotifyEvent& event) {
  if (!destroying_ && event) event(*this);
}

}  // namespace comm
