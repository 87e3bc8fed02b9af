// Run-time binding of the telephony library: loaded by name on first use, each
// line function looked up by name. Every wrapper returns the function's result,
// kTapiLoadFail (-13931) when the library cannot be loaded, or
// kTapiGetAddrFail (-13932) when the library lacks the function. The library
// is reached through a loader the program installs (the system's on Windows,
// a fake in native tests).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comm/telephony/defs.h"
#include "framework/library.h"

namespace comm {

using TapiLoader = fw::LibraryLoader;

// Installs the loader (null: none, every load fails) and forgets any library
// loaded through the previous one.
void SetTapiLoader(const TapiLoader* loader);

// The names looked up, in lookup order.
const std::vector<const char*>& TapiEntryNames();

// True when the library is loaded; loads it when not (tried again on each call
// after a failure).
bool LoadTapi();
// Frees the library when it was loaded (also done at program end).
void UnloadTapi();

std::int32_t lineMonitorDigits(tapi::Handle call, std::uint32_t digitModes);
std::int32_t lineInitialize(tapi::Handle* lineApp, void* instance, tapi::LineCallback callback,
                            const char* appName, std::uint32_t* numDevices);
std::int32_t lineShutdown(tapi::Handle lineApp);
std::int32_t lineNegotiateAPIVersion(tapi::Handle lineApp, std::uint32_t device, std::uint32_t low,
                                     std::uint32_t high, std::uint32_t* apiVersion, void* extensionId16);
std::int32_t lineOpen(tapi::Handle lineApp, std::uint32_t device, tapi::Handle* line,
                      std::uint32_t apiVersion, std::uint32_t extVersion, std::uintptr_t instance,
                      std::uint32_t privileges, std::uint32_t mediaModes, const void* callParams);
std::int32_t lineMakeCall(tapi::Handle line, tapi::Handle* call, const char* destination,
                          std::uint32_t country, const void* callParams);
std::int32_t lineAccept(tapi::Handle call, const char* userInfo, std::uint32_t size);
std::int32_t lineAnswer(tapi::Handle call, const char* userInfo, std::uint32_t size);
std::int32_t lineDeallocateCall(tapi::Handle call);
std::int32_t lineDrop(tapi::Handle call, const char* userInfo, std::uint32_t size);
std::int32_t lineClose(tapi::Handle line);
std::int32_t lineGetID(tapi::Handle line, std::uint32_t addressId, tapi::Handle call, std::uint32_t select,
                       void* varString, const char* deviceClass);
std::int32_t lineSetStatusMessages(tapi::Handle line, std::uint32_t lineStates, std::uint32_t addressStates);

// A variable-size record as fetched: the result and, when there is one, the
// buffer (its total size is the buffer's size).
struct TapiRecordResult {
  std::int32_t result = 0;
  std::optional<std::vector<std::uint8_t>> buffer;
};

// The largest record accepted from the library.
inline constexpr std::uint32_t kMaxTapiRecordSize = 64 * 1024;

// Fetches a record by calling `fetch` with zero-filled buffers whose total
// size is preset, growing them as the library asks (bounded in calls and size).
TapiRecordResult FetchTapiRecord(std::uint32_t initialSize,
                                 const std::function<std::int32_t(std::uint8_t*)>& fetch);

TapiRecordResult GetDevCapsRecord(tapi::Handle lineApp, std::uint32_t device, std::uint32_t apiVersion,
                                  std::uint32_t extVersion);
TapiRecordResult GetCallInfoRecord(tapi::Handle call);
TapiRecordResult GetCallStatusRecord(tapi::Handle call);

}  // namespace comm
