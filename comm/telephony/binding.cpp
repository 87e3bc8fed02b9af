#include "comm/telephony/binding.h"

#include <cstring>

#include "comm/base/error_codes.h"

namespace comm {
namespace {

enum Entry {
  kGenerateTone,
  kMonitorTones,
  kSetCallParams,
  kHandoff,
  kMonitorMedia,
  kGenerateDigits,
  kMonitorDigits,
  kInitialize,
  kShutdown,
  kNegotiateApiVersion,
  kGetDevCaps,
  kOpen,
  kMakeCall,
  kAccept,
  kAnswer,
  kDeallocateCall,
  kDrop,
  kClose,
  kGetCountry,
  kConfigDialog,
  kConfigDialogEdit,
  kGetId,
  kSetStatusMessages,
  kGetStatusMessages,
  kGetAddressStatus,
  kGetDevConfig,
  kSetDevConfig,
  kGetCallInfo,
  kGetCallStatus,
  kSetMediaMode,
  kTranslateAddress,
  kTranslateDialog,
  kSetCurrentLocation,
  kSetTollList,
  kGetTranslateCaps,
  kEntryCount
};

const std::vector<const char*> kEntryNames = {"lineGenerateTone",
                                              "lineMonitorTones",
                                              "lineSetCallParams",
                                              "lineHandoff",
                                              "lineMonitorMedia",
                                              "lineGenerateDigits",
                                              "lineMonitorDigits",
                                              "lineInitialize",
                                              "lineShutdown",
                                              "lineNegotiateAPIVersion",
                                              "lineGetDevCaps",
                                              "lineOpen",
                                              "lineMakeCall",
                                              "lineAccept",
                                              "lineAnswer",
                                              "lineDeallocateCall",
                                              "lineDrop",
                                              "lineClose",
                                              "lineGetCountry",
                                              "lineConfigDialog",
                                              "lineConfigDialogEdit",
                                              "lineGetID",
                                              "lineSetStatusMessages",
                                              "lineGetStatusMessages",
                                              "lineGetAddressStatus",
                                              "lineGetDevConfig",
                                              "lineSetDevConfig",
                                              "lineGetCallInfo",
                                              "lineGetCallStatus",
                                              "lineSetMediaMode",
                                              "lineTranslateAddress",
                                              "lineTranslateDialog",
                                              "lineSetCurrentLocation",
                                              "lineSetTollList",
                                              "lineGetTranslateCaps"};

struct Binding {
  const TapiLoader* loader = nullptr;
  fw::BoundLibrary library{kEntryNames};
};

Binding& TheBinding() {
  static Binding binding;
  return binding;
}

// The entry as its function type, or null (after a load attempt).
template <typename Function>
Function* Find(Entry entry, std::int32_t& failure) {
  if (!LoadTapi()) {
    failure = codes::kTapiLoadFail;
    return nullptr;
  }
  void* address = TheBinding().library.Entry(entry);
  if (!address) failure = codes::kTapiGetAddrFail;
  return reinterpret_cast<Function*>(address);
}

// Calls the entry with the arguments, or returns the binding's own code.
template <typename Function, typename... Args>
std::int32_t Call(Entry entry, Args... args) {
  std::int32_t failure = 0;
  Function* function = Find<Function>(entry, failure);
  if (!function) return failure;
  return function(args...);
}

using H = tapi::Handle;
using U = std::uint32_t;
using MonitorDigitsFn = std::int32_t COMM_TAPI_CALL(H, U);
using InitializeFn = std::int32_t COMM_TAPI_CALL(H*, void*, tapi::LineCallback, const char*, U*);
using HandleFn = std::int32_t COMM_TAPI_CALL(H);
using NegotiateFn = std::int32_t COMM_TAPI_CALL(H, U, U, U, U*, void*);
using OpenFn = std::int32_t COMM_TAPI_CALL(H, U, H*, U, U, std::uintptr_t, U, U, const void*);
using MakeCallFn = std::int32_t COMM_TAPI_CALL(H, H*, const char*, U, const void*);
using UserInfoFn = std::int32_t COMM_TAPI_CALL(H, const char*, U);
using GetIdFn = std::int32_t COMM_TAPI_CALL(H, U, H, U, void*, const char*);
using SetStatusFn = std::int32_t COMM_TAPI_CALL(H, U, U);
using GetDevCapsFn = std::int32_t COMM_TAPI_CALL(H, U, U, U, void*);
using GetCallRecordFn = std::int32_t COMM_TAPI_CALL(H, void*);

void SetTotalSize(std::vector<std::uint8_t>& buffer) {
  const auto size = static_cast<std::uint32_t>(buffer.size());
  for (int i = 0; i < 4; ++i)
    buffer[tapi::record::kTotalSize + i] = static_cast<std::uint8_t>(size >> (8 * i));
}

std::uint32_t NeededSize(const std::vector<std::uint8_t>& buffer) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(buffer[tapi::record::kNeededSize + i]) << (8 * i);
  return value;
}

constexpr std::uint32_t kRetrySize = 1024;
constexpr int kMaxFetchCalls = 4;

}  // namespace

void SetTapiLoader(const TapiLoader* loader) {
  Binding& binding = TheBinding();
  binding.library.Unload();
  binding.loader = loader;
}

const std::vector<const char*>& TapiEntryNames() { return kEntryNames; }

bool LoadTapi() {
  Binding& binding = TheBinding();
  return binding.library.Loaded() || binding.library.Load(binding.loader, "TAPI32");
}

void UnloadTapi() { TheBinding().library.Unload(); }

std::int32_t lineMonitorDigits(H call, U modes) { return Call<MonitorDigitsFn>(kMonitorDigits, call, modes); }

std::int32_t lineInitialize(H* lineApp, void* instance, tapi::LineCallback callback, const char* appName,
                            U* numDevices) {
  return Call<InitializeFn>(kInitialize, lineApp, instance, callback, appName, numDevices);
}

std::int32_t lineShutdown(H lineApp) { return Call<HandleFn>(kShutdown, lineApp); }

std::int32_t lineNegotiateAPIVersion(H lineApp, U device, U low, U high, U* apiVersion, void* extensionId16) {
  return Call<NegotiateFn>(kNegotiateApiVersion, lineApp, device, low, high, apiVersion, extensionId16);
}

std::int32_t lineOpen(H lineApp, U device, H* line, U apiVersion, U extVersion, std::uintptr_t instance,
                      U privileges, U mediaModes, const void* callParams) {
  return Call<OpenFn>(kOpen, lineApp, device, line, apiVersion, extVersion, instance, privileges, mediaModes,
                      callParams);
}

std::int32_t lineMakeCall(H line, H* call, const char* destination, U country, const void* callParams) {
  return Call<MakeCallFn>(kMakeCall, line, call, destination, country, callParams);
}

std::int32_t lineAccept(H call, const char* userInfo, U size) {
  return Call<UserInfoFn>(kAccept, call, userInfo, size);
}
std::int32_t lineAnswer(H call, const char* userInfo, U size) {
  return Call<UserInfoFn>(kAnswer, call, userInfo, size);
}
std::int32_t lineDeallocateCall(H call) { return Call<HandleFn>(kDeallocateCall, call); }
std::int32_t lineDrop(H call, const char* userInfo, U size) {
  return Call<UserInfoFn>(kDrop, call, userInfo, size);
}
std::int32_t lineClose(H line) { return Call<HandleFn>(kClose, line); }

std::int32_t lineGetID(H line, U addressId, H call, U select, void* varString, const char* deviceClass) {
  return Call<GetIdFn>(kGetId, line, addressId, call, select, varString, deviceClass);
}

std::int32_t lineSetStatusMessages(H line, U lineStates, U addressStates) {
  return Call<SetStatusFn>(kSetStatusMessages, line, lineStates, addressStates);
}

TapiRecordResult FetchTapiRecord(std::uint32_t initialSize,
                                 const std::function<std::int32_t(std::uint8_t*)>& fetch) {
  std::vector<std::uint8_t> buffer(initialSize, 0);
  SetTotalSize(buffer);
  std::int32_t result = fetch(buffer.data());
  if (result == tapi::kErrStructureTooSmall) {
    buffer.assign(kRetrySize, 0);
    SetTotalSize(buffer);
    result = fetch(buffer.data());
    if (result < 0) return {result, std::nullopt};
  }
  // A first-call error other than "too small" comes back with its buffer.
  for (int calls = 2; result >= 0 && NeededSize(buffer) > buffer.size(); ++calls) {
    const std::uint32_t needed = NeededSize(buffer);
    if (needed > kMaxTapiRecordSize || calls > kMaxFetchCalls)
      return {tapi::kErrStructureTooSmall, std::nullopt};
    buffer.assign(needed, 0);
    SetTotalSize(buffer);
    result = fetch(buffer.data());
    if (result < 0) return {result, std::nullopt};
  }
  return {result, std::move(buffer)};
}

namespace {

// The record fetchers are used only after a successful lineInitialize, but a
// library without the entry must still give a code, not a call through null.
TapiRecordResult FetchWith(Entry entry, std::uint32_t initialSize,
                           const std::function<std::int32_t(void*, std::uint8_t*)>& call) {
  std::int32_t failure = 0;
  void* function = Find<void>(entry, failure);
  if (!function) return {failure, std::nullopt};
  return FetchTapiRecord(initialSize, [&](std::uint8_t* buffer) { return call(function, buffer); });
}

}  // namespace

TapiRecordResult GetDevCapsRecord(H lineApp, U device, U apiVersion, U extVersion) {
  return FetchWith(kGetDevCaps, tapi::devcaps::kInitialSize, [&](void* function, std::uint8_t* buffer) {
    return reinterpret_cast<GetDevCapsFn*>(function)(lineApp, device, apiVersion, extVersion, buffer);
  });
}

TapiRecordResult GetCallInfoRecord(H call) {
  return FetchWith(kGetCallInfo, tapi::callinfo::kInitialSize, [&](void* function, std::uint8_t* buffer) {
    return reinterpret_cast<GetCallRecordFn*>(function)(call, buffer);
  });
}

TapiRecordResult GetCallStatusRecord(H call) {
  return FetchWith(kGetCallStatus, tapi::callstatus::kInitialSize, [&](void* function, std::uint8_t* buffer) {
    return reinterpret_cast<GetCallRecordFn*>(function)(call, buffer);
  });
}

}  // namespace comm
