// Numbers and record layouts of the telephony interface (version 1.4) that the
// binding, the line device and the call log use. Plain C++: no Windows header.
// Handles are kept pointer-sized: a library that writes only 32 bits into a
// zero-preset handle still gives the right value.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define COMM_TAPI_CALL __stdcall
#else
#define COMM_TAPI_CALL
#endif

namespace comm::tapi {

using Handle = std::uintptr_t;

// The application's line callback.
using LineCallback = void(COMM_TAPI_CALL*)(std::uintptr_t device, std::uint32_t message,
                                           std::uintptr_t instance, std::uintptr_t param1,
                                           std::uintptr_t param2, std::uintptr_t param3);

inline constexpr std::uint32_t kApiVersion = 0x00010004;

// Results (a negative 32-bit value is an error).
inline constexpr std::int32_t kErrBadDeviceId = static_cast<std::int32_t>(0x80000002u);
inline constexpr std::int32_t kErrCallUnavail = static_cast<std::int32_t>(0x80000005u);
inline constexpr std::int32_t kErrNoDevice = static_cast<std::int32_t>(0x80000042u);
inline constexpr std::int32_t kErrOperationFailed = static_cast<std::int32_t>(0x80000048u);
inline constexpr std::int32_t kErrStructureTooSmall = static_cast<std::int32_t>(0x8000004Du);
inline constexpr std::int32_t kErrReinit = static_cast<std::int32_t>(0x80000052u);

// A telephony error as a code of the communications layer; 0 and request
// identifiers pass unchanged.
constexpr int TapiErrorCode(std::int32_t result) {
  if (result >= 0) return result;
  return -(13800 + static_cast<int>(static_cast<std::uint32_t>(result) & 0x7FFFFFFFu));
}

// Line callback messages.
enum : std::uint32_t {
  kLineCallInfo = 1,
  kLineCallState = 2,
  kLineClose = 3,
  kLineGenerate = 7,
  kLineLineDevState = 8,
  kLineMonitorDigits = 9,
  kLineMonitorMedia = 10,
  kLineMonitorTone = 11,
  kLineReply = 12,
  kLineRequest = 13,
  kLineCreate = 19,
};

// Call states (one bit each).
enum : std::uint32_t {
  kCallStateIdle = 0x1,
  kCallStateOffering = 0x2,
  kCallStateAccepted = 0x4,
  kCallStateDialtone = 0x8,
  kCallStateDialing = 0x10,
  kCallStateRingback = 0x20,
  kCallStateBusy = 0x40,
  kCallStateSpecialInfo = 0x80,
  kCallStateConnected = 0x100,
  kCallStateProceeding = 0x200,
  kCallStateDisconnected = 0x4000,
};

inline constexpr std::uint32_t kDisconnectModeBusy = 0x20;

// Line device states.
inline constexpr std::uint32_t kDevStateRinging = 0x2;
inline constexpr std::uint32_t kDevStateDisconnected = 0x8;
inline constexpr std::uint32_t kDevStateOutOfService = 0x80;
inline constexpr std::uint32_t kDevStateMaintenance = 0x100;
inline constexpr std::uint32_t kDevStateReinit = 0x40000;

inline constexpr std::uint32_t kCallInfoStateCallerId = 0x8000;

// Caller-ID flags.
inline constexpr std::uint32_t kPartyIdBlocked = 0x1;
inline constexpr std::uint32_t kPartyIdOutOfArea = 0x2;
inline constexpr std::uint32_t kPartyIdAddress = 0x8;
inline constexpr std::uint32_t kPartyIdUnknown = 0x20;
inline constexpr std::uint32_t kPartyIdUnavail = 0x40;

inline constexpr std::uint32_t kPrivilegeNone = 1;
inline constexpr std::uint32_t kPrivilegeOwner = 4;
inline constexpr std::uint32_t kMediaAutomatedVoice = 0x8;
inline constexpr std::uint32_t kMediaDataModem = 0x10;
inline constexpr std::uint32_t kBearerModeVoice = 1;
inline constexpr std::uint32_t kCallParamFlagsIdle = 2;
inline constexpr std::uint32_t kAddressModeAddressId = 1;
inline constexpr std::uint32_t kCallSelectLine = 1;
inline constexpr std::uint32_t kCallSelectCall = 4;
inline constexpr std::uint32_t kDigitModeDtmf = 2;
inline constexpr std::uint32_t kStringFormatAscii = 1;
inline constexpr std::uint32_t kStringFormatBinary = 4;

inline constexpr std::uint32_t kStatusLineStates = 0x01FFFFFF;
inline constexpr std::uint32_t kStatusAddressStates = 0x1FF;

// Every variable-size record starts with its total, needed and used sizes.
namespace record {
inline constexpr std::uint32_t kTotalSize = 0;
inline constexpr std::uint32_t kNeededSize = 4;
inline constexpr std::uint32_t kUsedSize = 8;
}  // namespace record

// Line device capabilities.
namespace devcaps {
inline constexpr std::uint32_t kInitialSize = 240;
inline constexpr std::uint32_t kLineNameSize = 32;
inline constexpr std::uint32_t kLineNameOffset = 36;
inline constexpr std::uint32_t kMediaModes = 60;
}  // namespace devcaps

// Call information.
namespace callinfo {
inline constexpr std::uint32_t kInitialSize = 296;
inline constexpr std::uint32_t kMediaMode = 32;
inline constexpr std::uint32_t kCallerIdFlags = 108;
inline constexpr std::uint32_t kCallerIdSize = 112;
inline constexpr std::uint32_t kCallerIdOffset = 116;
inline constexpr std::uint32_t kCallerIdNameSize = 120;
inline constexpr std::uint32_t kCallerIdNameOffset = 124;
}  // namespace callinfo

// Call status.
namespace callstatus {
inline constexpr std::uint32_t kInitialSize = 36;
inline constexpr std::uint32_t kCallState = 12;
inline constexpr std::uint32_t kCallStateMode = 16;
}  // namespace callstatus

// Variable string (lineGetID).
namespace varstring {
inline constexpr std::uint32_t kStringFormat = 12;
inline constexpr std::uint32_t kStringSize = 16;
inline constexpr std::uint32_t kStringOffset = 20;
inline constexpr std::uint32_t kFixedSize = 24;
}  // namespace varstring

// Call parameters as the line device sends them.
namespace callparams {
inline constexpr std::uint32_t kSize = 112;
inline constexpr std::uint32_t kBearerMode = 4;
inline constexpr std::uint32_t kMediaMode = 16;
inline constexpr std::uint32_t kCallParamFlags = 20;
inline constexpr std::uint32_t kAddressMode = 24;
inline constexpr std::uint32_t kAddressId = 28;
}  // namespace callparams

}  // namespace comm::tapi
