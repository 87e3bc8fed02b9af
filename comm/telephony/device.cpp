#include "comm/telephony/device.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <set>

#include "comm/base/exceptions.h"
#include "comm/base/error_codes.h"
#include "comm/telephony/binding.h"
#include "comm/telephony/records.h"

namespace comm {
namespace {

constexpr std::uint32_t kReinitWaitMs = 5000;
constexpr std::uint32_t kCallStateWaitMs = 30000;
constexpr std::uint32_t kPumpSliceMs = 50;
// lineInitialize failures other than re-initialisation and "no device" are
// tried this often before they are raised: a broken library must never keep
// the program from starting.
constexpr int kMaxInitAttempts = 3;
constexpr std::size_t kMaxNumberLength = 255;
constexpr std::size_t kMaxAppNameLength = 255;
constexpr std::uint32_t kIdBufferSize = 1028;

// Devices alive: a callback whose instance is not among them is dropped.
std::set<const TApdCustomTapiDevice*>& LiveDevices() {
  static std::set<const TApdCustomTapiDevice*> devices;
  return devices;
}

void Raise(int code) { CheckCode(false, code); }

void RaiseTapi(std::int32_t result) {
  if (result < 0) Raise(tapi::TapiErrorCode(result));
}

// Clears a flag when the scope ends, also by an exception.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

std::string Trim(std::string text) {
  const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
  text.erase(text.begin(), std::find_if(text.begin(), text.end(), notSpace));
  text.erase(std::find_if(text.rbegin(), text.rend(), notSpace).base(), text.end());
  return text;
}

std::string RecordString(const std::vector<std::uint8_t>& record, std::uint32_t sizeField,
                         std::uint32_t offsetField) {
  const auto bytes = RecordBytes(record, sizeField, offsetField);
  return bytes ? RecordText(*bytes) : std::string();
}

// Text for caller-ID flags that carry no number; nullopt: read the bytes.
std::optional<std::string> CallerIdFlagText(std::uint32_t flags, const std::string& blocked,
                                            const std::string& outOfArea) {
  if (flags & tapi::kPartyIdBlocked) return blocked;
  if (flags & tapi::kPartyIdOutOfArea) return outOfArea;
  if (flags & tapi::kPartyIdUnknown) return std::string("Unknown");
  if (flags & tapi::kPartyIdUnavail) return std::string("Unavailable");
  return std::nullopt;
}

void COMM_TAPI_CALL LineCallback(std::uintptr_t device, std::uint32_t message, std::uintptr_t instance,
                                 std::uintptr_t p1, std::uintptr_t p2, std::uintptr_t p3);

}  // namespace

int CallStateIndexOf(std::uint32_t callState) {
  for (int bit = 0; bit <= 14; ++bit)
    if (callState == (1u << bit)) return bit;
  return 15;
}

int ParseLineComNumber(const std::string& portName) {
  const std::string text = portName.substr(0, 10);
  if (text.size() <= 3) return 0;
  const char* first = text.data() + 3;
  const char* last = text.data() + text.size();
  int number = 0;
  const auto [end, error] = std::from_chars(first, last, number);
  if (error != std::errc() || end != last) return 0;
  return number;
}

std::string CallerIdNumber(const std::vector<std::uint8_t>& callInfo, const std::string& blocked,
                           const std::string& outOfArea) {
  const std::uint32_t flags = RecordField(callInfo, tapi::callinfo::kCallerIdFlags).value_or(0);
  if (!(flags & tapi::kPartyIdAddress))
    if (auto text = CallerIdFlagText(flags, blocked, outOfArea)) return *text;
  return RecordString(callInfo, tapi::callinfo::kCallerIdSize, tapi::callinfo::kCallerIdOffset);
}

std::string CallerIdName(const std::vector<std::uint8_t>& callInfo, const std::string& blocked,
                         const std::string& outOfArea) {
  const std::uint32_t flags = RecordField(callInfo, tapi::callinfo::kCallerIdFlags).value_or(0);
  if (auto text = CallerIdFlagText(flags, blocked, outOfArea)) return *text;
  return RecordString(callInfo, tapi::callinfo::kCallerIdNameSize, tapi::callinfo::kCallerIdNameOffset);
}

std::vector<std::uint8_t> BuildCallParams(bool voice) {
  std::vector<std::uint8_t> params(tapi::callparams::kSize, 0);
  const auto put = [&](std::uint32_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) params[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  put(tapi::record::kTotalSize, tapi::callparams::kSize);
  put(tapi::callparams::kBearerMode, tapi::kBearerModeVoice);
  put(tapi::callparams::kMediaMode, voice ? tapi::kMediaAutomatedVoice : tapi::kMediaDataModem);
  put(tapi::callparams::kCallParamFlags, tapi::kCallParamFlagsIdle);
  put(tapi::callparams::kAddressMode, tapi::kAddressModeAddressId);
  put(tapi::callparams::kAddressId, 0);
  return params;
}

void DispatchLineMessage(TApdCustomTapiDevice& device, std::uintptr_t handle, std::uint32_t message,
                         std::uintptr_t p1, std::uintptr_t p2, std::uintptr_t p3) {
  switch (message) {
    case tapi::kLineCallInfo:
      device.DoLineCallInfo(handle, p1, p2, p3);
      break;
    case tapi::kLineCallState:
      device.DoLineCallState(handle, p1, p2, p3);
      break;
    case tapi::kLineClose:
      device.DoLineClose(handle, p1, p2, p3);
      break;
    case tapi::kLineGenerate:
      device.DoLineGenerate(handle, p1, p2, p3);
      break;
    case tapi::kLineLineDevState:
      device.DoLineDevState(handle, p1, p2, p3);
      break;
    case tapi::kLineMonitorDigits:
      device.DoLineMonitorDigits(handle, p1, p2, p3);
      break;
    case tapi::kLineMonitorMedia:
      device.DoLineMonitorMedia(handle, p1, p2, p3);
      break;
    case tapi::kLineMonitorTone:
      device.DoLineMonitorTone(handle, p1, p2, p3);
      break;
    case tapi::kLineReply:
      device.DoLineReply(handle, p1, p2, p3);
      break;
    case tapi::kLineRequest:
      device.DoLineRequest(handle, p1, p2, p3);
      break;
    case tapi::kLineCreate:
      device.DoLineCreate(handle, p1, p2, p3);
      break;
    default:
      break;
  }
}

namespace {

void COMM_TAPI_CALL LineCallback(std::uintptr_t device, std::uint32_t message, std::uintptr_t instance,
                                 std::uintptr_t p1, std::uintptr_t p2, std::uintptr_t p3) {
  auto* target = reinterpret_cast<TApdCustomTapiDevice*>(instance);
  if (!target || !LiveDevices().count(target)) return;
  // Exceptions never cross the library's callback.
  try {
    DispatchLineMessage(*target, device, message, p1, p2, p3);
  } catch (...) {
    target->HandleCallbackException(std::current_exception());
  }
}

}  // namespace

TApdAbstractTapiStatus::TApdAbstractTapiStatus(fw::TComponent* owner) : TApdBaseComponent(owner) {
  AnnounceInserted(*this);
}

TApdAbstractTapiStatus::~TApdAbstractTapiStatus() {
  if (TapiDevice) TapiDevice->ForgetDisplay(this);
}

void TApdAbstractTapiStatus::OpenDisplay() {
  display_ = CreateDisplay();
  if (!display_) return;
  position_ = display_->Position();
  ctl3D_ = display_->Ctl3D();
  visible_ = display_->Visible();
  caption_ = display_->Caption();
}

void TApdAbstractTapiStatus::CloseDisplay() {
  DestroyDisplay();
  display_ = nullptr;
  if (TapiDevice) TapiDevice->ForgetDisplay(this);
  TapiDevice = nullptr;
}

void TApdAbstractTapiStatus::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  if (display_) display_->SetCaption(caption);
}

void TApdAbstractTapiStatus::SetPosition(int position) {
  if (position == position_) return;
  position_ = position;
  if (display_) display_->SetPosition(position);
}

void TApdAbstractTapiStatus::SetCtl3D(bool ctl3D) {
  if (ctl3D == ctl3D_) return;
  ctl3D_ = ctl3D;
  if (display_) display_->SetCtl3D(ctl3D);
}

void TApdAbstractTapiStatus::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (display_) display_->SetVisible(visible);
}

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

// ---- line application -------------------------------------------------------

void TApdCustomTapiDevice::ClearStaleHandles() {
  // Names first: deleting while enumerating would skip values.
  for (const std::string& name : host_.HandleValueNames()) {
    std::uint32_t processId = 0;
    const char* first = name.data() + 1;
    const char* last = name.data() + name.size();
    const bool isNumber = name.size() > 1 && name[0] == '$' &&
                          std::from_chars(first, last, processId, 16).ec == std::errc() &&
                          std::from_chars(first, last, processId, 16).ptr == last;
    if (!isNumber) {
      host_.DeleteHandleValue(name);
      continue;
    }
    if (processId == host_.CurrentProcessId() || host_.ProcessMayBeAlive(processId)) continue;
    if (const auto data = host_.ReadHandleValue(name)) {
      std::uint64_t handle = 0;
      const auto parsed = std::from_chars(data->data(), data->data() + data->size(), handle);
      if (parsed.ec == std::errc() && handle != 0) lineShutdown(static_cast<tapi::Handle>(handle));
    }
    host_.DeleteHandleValue(name);
  }
}

void TApdCustomTapiDevice::PumpFor(std::uint32_t ms) {
  const std::uint32_t start = host_.NowMs();
  for (std::uint32_t elapsed = 0; elapsed < ms; elapsed = host_.NowMs() - start)
    host_.PumpMessages(std::min(kPumpSliceMs, ms - elapsed));
}

void TApdCustomTapiDevice::InitLineApp() {
  if (appInitialised_ || initialising_) return;
  FlagScope initialising(initialising_);
  ClearStaleHandles();
  std::string appName = host_.ApplicationName().substr(0, kMaxAppNameLength);
  bool waitedForReinit = false;
  for (int failures = 0;;) {
    tapi::Handle app = 0;  // preset: a stub library may leave the outputs alone
    std::uint32_t devices = 0;
    const std::int32_t result =
        lineInitialize(&app, host_.ModuleInstance(), &LineCallback, appName.c_str(), &devices);
    if (result == 0) {
      lineApp_ = app;
      numDevices_ = devices;
      break;
    }
    if (result == codes::kTapiLoadFail || result == codes::kTapiGetAddrFail) {
      // No telephony on this machine: no lines, and nothing to initialise.
      numDevices_ = 0;
      return;
    }
    if (result == tapi::kErrReinit) {
      if (waitedForReinit) Raise(codes::kTapiReinit);
      waitedForReinit = true;
      PumpFor(kReinitWaitMs);
      continue;
    }
    if (result == tapi::kErrNoDevice) Raise(codes::kTapiNoDevice);
    if (++failures >= kMaxInitAttempts) RaiseTapi(result);
  }
  appInitialised_ = true;
  host_.WriteHandleValue(HandleValueName(host_.CurrentProcessId()), std::to_string(lineApp_));
  line_ = 0;
  call_ = 0;
}

void TApdCustomTapiDevice::ShutdownLineApp() {
  if (!appInitialised_ || shuttingDown_) return;
  FlagScope shuttingDown(shuttingDown_);
  HangUp(true);
  const std::int32_t result = lineShutdown(lineApp_);
  // Cleared whatever the result: a later use initialises afresh.
  lineApp_ = 0;
  appInitialised_ = false;
  host_.DeleteHandleValue(HandleValueName(host_.CurrentProcessId()));
  if (!destroying_) RaiseTapi(result);
}

void TApdCustomTapiDevice::SetSelectedDevice(const std::string& name) {
  selectedDevice_ = name;
  if (enableVoice_) CheckVoice();
}

void TApdCustomTapiDevice::SetEnableVoice(bool enable) {
  enableVoice_ = enable;
  if (enable && !selectedDevice_.empty()) CheckVoice();
}

namespace {

void COMM_TAPI_CALL IgnoreLineMessages(std::uintptr_t, std::uint32_t, std::uintptr_t, std::uintptr_t,
                                       std::uintptr_t, std::uintptr_t) {}

}  // namespace

void TApdCustomTapiDevice::CheckVoice() {
  // Through a line application of its own, shut down in every case.
  tapi::Handle app = 0;
  std::uint32_t devices = 0;
  bool voice = false;
  try {
    RaiseTapi(lineInitialize(&app, host_.ModuleInstance(), &IgnoreLineMessages, "", &devices));
    for (std::uint32_t device = 0; device < devices && !voice; ++device) {
      std::uint32_t version = 0;
      std::uint8_t extension[16];
      if (lineNegotiateAPIVersion(app, device, tapi::kApiVersion, tapi::kApiVersion, &version, extension) !=
          0)
        continue;
      const auto caps = GetDevCapsRecord(app, device, version, 0);
      RaiseTapi(caps.result);
      if (!caps.buffer || RecordString(*caps.buffer, tapi::devcaps::kLineNameSize,
                                       tapi::devcaps::kLineNameOffset) != selectedDevice_)
        continue;
      voice = (RecordField(*caps.buffer, tapi::devcaps::kMediaModes).value_or(0) &
               tapi::kMediaAutomatedVoice) != 0;
      break;
    }
  } catch (...) {
    voice = false;
  }
  if (app != 0) lineShutdown(app);
  enableVoice_ = voice;
  if (!voice) Raise(codes::kTapiVoiceNotSupported);
}

// ---- devices ------------------------------------------------------------------

bool TApdCustomTapiDevice::Negotiate(std::uint32_t device) {
  std::uint32_t version = 0;
  if (lineNegotiateAPIVersion(lineApp_, device, tapi::kApiVersion, tapi::kApiVersion, &version,
                              extensionId_) != 0)
    return false;
  apiVersion_ = version;
  return true;
}

void TApdCustomTapiDevice::ListDevices() {
  deviceNames_.clear();
  if (!appInitialised_) return;
  for (std::uint32_t device = 0; device < numDevices_; ++device) {
    if (!Negotiate(device)) continue;
    const auto caps = GetDevCapsRecord(lineApp_, device, apiVersion_, 0);
    if (caps.result != 0 || !caps.buffer) break;
    const std::string name =
        RecordString(*caps.buffer, tapi::devcaps::kLineNameSize, tapi::devcaps::kLineNameOffset);
    if (!name.empty()) deviceNames_.push_back(name);
  }
}

int TApdCustomTapiDevice::FindDeviceID(const std::string& name) {
  if (name.empty() || !appInitialised_) return -1;
  for (std::uint32_t device = 0; device < numDevices_; ++device) {
    if (!Negotiate(device)) continue;
    const auto caps = GetDevCapsRecord(lineApp_, device, apiVersion_, 0);
    RaiseTapi(caps.result);
    if (!caps.buffer) continue;
    if (RecordString(*caps.buffer, tapi::devcaps::kLineNameSize, tapi::devcaps::kLineNameOffset) == name)
      return static_cast<int>(device);
  }
  return -1;
}

int TApdCustomTapiDevice::SelectDeviceID() {
  int device = FindDeviceID(selectedDevice_);
  if (device != -1) return device;
  if (numDevices_ == 1 && selectedDevice_.empty() && Negotiate(0)) {
    if (deviceNames_.empty()) ListDevices();
    if (!deviceNames_.empty()) SetSelectedDevice(deviceNames_.front());
    return 0;
  }
  // Without any line the dialog would offer nothing.
  if ((!ShowPorts && !ShowTapiDevices) || numDevices_ == 0) Raise(codes::kTapiNoSelect);
  const auto chosen = host_.ChooseLine(selectedDevice_);
  if (!chosen || chosen->empty()) Raise(codes::kTapiNoSelect);
  selectedDevice_ = *chosen;
  device = FindDeviceID(selectedDevice_);
  if (device == -1) Raise(codes::kTapiNoSelect);
  return device;
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
    if (host_.NowMs() - start > kCallStateWaitMs) return 2;
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
      if (!lineInUse_) {
        attemptOutstanding_ = false;
        retryEnabled_ = false;
      }
      throw;
    }
    return;
  }
  NotifyStatus(false, false, 0, 32, 8, 0, 0);
}

// ---- the port -------------------------------------------------------------------

std::optional<std::uintptr_t> TApdCustomTapiDevice::GetCommHandle() {
  std::vector<std::uint8_t> id(kIdBufferSize, 0);
  for (int i = 0; i < 4; ++i) id[i] = static_cast<std::uint8_t>(kIdBufferSize >> (8 * i));
  if (lineGetID(line_, 0, call_, tapi::kCallSelectCall, id.data(), "comm/datamodem") != 0)
    return std::nullopt;
  const auto bytes = RecordBytes(id, tapi::varstring::kStringSize, tapi::varstring::kStringOffset);
  if (!bytes || bytes->size() < sizeof(std::uintptr_t)) return std::nullopt;
  std::uintptr_t handle = 0;
  for (std::size_t i = 0; i < sizeof handle; ++i)
    handle |= static_cast<std::uintptr_t>((*bytes)[i]) << (8 * i);
  if (handle == 0 || handle == ~std::uintptr_t{0}) return std::nullopt;
  return handle;
}

bool TApdCustomTapiDevice::HandOverPort() {
  if (!comPort_) return true;
  const auto handle = GetCommHandle();
  if (!handle) return false;
  try {
    comPort_->SetOpen(false);
    comPort_->SetTapiHandle(*handle);
    comPort_->SetOpen(true);
  } catch (...) {
    try {
      comPort_->SetOpen(false);
    } catch (...) {
    }
    comPort_->SetTapiHandle(0);
    host_.CloseCommHandle(*handle);
    return false;
  }
  Fire(OnTapiPortOpen);
  return true;
}

bool TApdCustomTapiDevice::TakeBackPort() {
  if (!comPort_) return false;
  const bool wasOpen = comPort_->Open();
  try {
    comPort_->SetOpen(false);
  } catch (...) {
  }
  comPort_->SetTapiHandle(0);
  return wasOpen;
}

int TApdCustomTapiDevice::LineComNumber() {
  if (line_ == 0) return 0;
  std::vector<std::uint8_t> id(kIdBufferSize, 0);
  for (int i = 0; i < 4; ++i) id[i] = static_cast<std::uint8_t>(kIdBufferSize >> (8 * i));
  if (lineGetID(line_, 0, 0, tapi::kCallSelectLine, id.data(), "comm/datamodem/portname") != 0) return 0;
  return ParseLineComNumber(RecordString(id, tapi::varstring::kStringSize, tapi::varstring::kStringOffset));
}

// ---- line messages -------------------------------------------------------------

void TApdCustomTapiDevice::RefreshCallInfo(tapi::Handle call) {
  auto info = GetCallInfoRecord(call);
  if (info.result == 0 && info.buffer)
    callInfo_ = std::move(info.buffer);
  else
    callInfo_.reset();
}

void TApdCustomTapiDevice::DoLineCallState(std::uintptr_t Device, std::uintptr_t Param1,
                                           std::uintptr_t Param2, std::uintptr_t Param3) {
  const auto state = static_cast<std::uint32_t>(Param1);
  // States of a call we no longer hold (or never held) change nothing; an
  // offered call counts only while we have none.
  const bool ours = call_ != 0 && Device == call_;
  if (!ours && !(state == tapi::kCallStateOffering && call_ == 0)) return;
  lastCallState_ = state;
  callStateChanged_ = true;
  const auto notify = [&](bool first, bool last) {
    NotifyStatus(first, last, Device, 2, Param1, Param2, Param3);
  };
  switch (state) {
    case tapi::kCallStateIdle:
      notify(false, false);
      HangUp(false);
      break;
    case tapi::kCallStateOffering: {
      RefreshCallInfo(Device);
      if (!callInfo_) Raise(codes::kTapiUnexpected);
      const std::uint32_t media = RecordField(*callInfo_, tapi::callinfo::kMediaMode).value_or(0);
      if (!(media & (enableVoice_ ? 0x3Au : 0x32u))) break;
      call_ = Device;
      notify(true, false);
      WaitForReply(lineAccept(call_, nullptr, 0));
      NotifyLog(TTapiLogCode::ltapiAccept);
      break;
    }
    case tapi::kCallStateAccepted:
    case tapi::kCallStateDialing:
    case tapi::kCallStateRingback:
    case tapi::kCallStateProceeding:
      notify(false, false);
      break;
    case tapi::kCallStateDialtone:
      notify(true, false);
      break;
    case tapi::kCallStateBusy:
      NotifyLog(TTapiLogCode::ltapiBusy);
      notify(false, false);
      HangUp(false);
      break;
    case tapi::kCallStateSpecialInfo:
      notify(false, false);
      HangUp(false);
      break;
    case tapi::kCallStateConnected:
      if (connected_) break;
      RefreshCallInfo(Device);
      connected_ = true;
      host_.StopRetryTimer();
      retryEnabled_ = false;
      if (enableVoice_) {
        const std::int32_t result = lineMonitorDigits(call_, tapi::kDigitModeDtmf);
        if (result < 0) {
          if (OnTapiDTMF)
            OnTapiDTMF(*this, ' ', result);
          else
            Raise(codes::kTapiVoiceNotSupported);
        }
      } else if (!HandOverPort()) {
        // Without the data path the call is of no use: drop it and close
        // the line rather than leave the modem off-hook.
        connected_ = false;
        HangUp(true);
        break;
      }
      notify(false, true);
      Fire(OnTapiConnect);
      NotifyLog(TTapiLogCode::ltapiConnect);
      break;
    case tapi::kCallStateDisconnected:
      notify(false, false);
      if (Param2 == tapi::kDisconnectModeBusy) NotifyLog(TTapiLogCode::ltapiBusy);
      HangUp(false);
      break;
    default:
      break;
  }
}

void TApdCustomTapiDevice::DoLineReply(std::uintptr_t, std::uintptr_t Param1, std::uintptr_t Param2,
                                       std::uintptr_t) {
  if (waitingForReply_ && static_cast<std::int32_t>(Param1) == awaitedRequest_) {
    replyResult_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(Param2));
    replyArrived_ = true;
  }
}

void TApdCustomTapiDevice::DoLineClose(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t) {
  line_ = call_ = 0;
  HangUp(true);
}

void TApdCustomTapiDevice::DoLineDevState(std::uintptr_t Device, std::uintptr_t Param1, std::uintptr_t Param2,
                                          std::uintptr_t Param3) {
  switch (static_cast<std::uint32_t>(Param1)) {
    case tapi::kDevStateRinging:
      if (Param3 >= AnswerOnRing && call_ != 0) {
        WaitForReply(lineAnswer(call_, nullptr, 0));
        NotifyLog(TTapiLogCode::ltapiAnswer);
        NotifyStatus(false, false, Device, 8, Param1, Param2, Param3);
      }
      break;
    case tapi::kDevStateDisconnected:
    case tapi::kDevStateOutOfService:
    case tapi::kDevStateMaintenance:
      HangUp(true);
      break;
    case tapi::kDevStateReinit:
      if (Param2 == 0)
        ShutdownLineApp();
      else if (Param2 == tapi::kLineLineDevState)
        DoLineDevState(Device, Param3, 0, 0);
      else if (Param2 == tapi::kLineCreate)
        DoLineCreate(Device, Param3, 0, 0);
      break;
    default:
      break;
  }
}

void TApdCustomTapiDevice::DoLineCreate(std::uintptr_t, std::uintptr_t Param1, std::uintptr_t,
                                        std::uintptr_t) {
  if (Param1 >= numDevices_) numDevices_ = static_cast<std::uint32_t>(Param1) + 1;
  ListDevices();
}

void TApdCustomTapiDevice::DoLineCallInfo(std::uintptr_t Device, std::uintptr_t Param1, std::uintptr_t,
                                          std::uintptr_t) {
  RefreshCallInfo(Device);
  if (!(Param1 & tapi::kCallInfoStateCallerId) || !callInfo_ || !OnTapiCallerID) return;
  const std::string blocked = ErrorText(codes::kTapiCallerIdBlocked);
  const std::string outOfArea = ErrorText(codes::kTapiOutOfAreaCall);
  OnTapiCallerID(*this, Trim(CallerIdNumber(*callInfo_, blocked, outOfArea)),
                 Trim(CallerIdName(*callInfo_, blocked, outOfArea)));
}

void TApdCustomTapiDevice::DoLineMonitorDigits(std::uintptr_t, std::uintptr_t Param1, std::uintptr_t,
                                               std::uintptr_t) {
  const char digit = static_cast<char>(Param1 & 0xFF);
  if (digit != 0 && digit != ' ' && OnTapiDTMF) OnTapiDTMF(*this, digit, 0);
  NotifyLog(TTapiLogCode::ltapiReceivedDigit);
}

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
