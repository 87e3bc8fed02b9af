// Line messages from the library: the callback, their dispatch and the
// device's handling of each.
#include <algorithm>
#include <cctype>

#include "comm/base/exceptions.h"
#include "comm/base/error_codes.h"
#include "comm/telephony/binding.h"
#include "comm/telephony/device.h"
#include "comm/telephony/device_detail.h"
#include "comm/telephony/records.h"

namespace comm {

using device_detail::LiveDevices;
using device_detail::Raise;

namespace {

std::string Trim(std::string text) {
  const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
  text.erase(text.begin(), std::find_if(text.begin(), text.end(), notSpace));
  text.erase(std::find_if(text.rbegin(), text.rend(), notSpace).base(), text.end());
  return text;
}

}  // namespace

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

namespace device_detail {

std::set<const TApdCustomTapiDevice*>& LiveDevices() {
  static std::set<const TApdCustomTapiDevice*> devices;
  return devices;
}

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

}  // namespace device_detail

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

}  // namespace comm
