// Stand-in telephony library for tests under Wine (built as tapi32.dll and
// loaded from the test program's folder with WINEDLLOVERRIDES=tapi32=n).
// Wine's own library only stubs the line functions, so call flows are played
// from a script file named by TALLIMO_TAPI_SCRIPT, and every call is written
// with its arguments to the file named by TALLIMO_TAPI_LOG.
//
// Script lines (a '#' starts a comment):
//   line NAME          one line device per line, in order (no name: empty)
//   port N             the COM port handed over for "comm/datamodem"
//   reinit N           lineInitialize answers LINEERR_REINIT N times first
//   initfail N         lineInitialize answers LINEERR_OPERATIONFAILED N times first
//   nodevice           lineInitialize answers LINEERR_NODEVICE
//   devcaps_min N      lineGetDevCaps answers STRUCTURETOOSMALL below N bytes
//   attempt OUTCOME    outcome of each lineMakeCall in turn, the last repeats:
//                      busy | connect | connect_twice | fail | noreply |
//                      disconnect_busy | hangup MS (connects, far end hangs up after MS)
//   callerid NUMBER|NAME
//   getid_fail         lineGetID "comm/datamodem" fails
//   drop_silent        lineDrop never answers, and the call never goes idle
//
// Like the real interface for version 1.4 applications, every callback is
// posted to a hidden window of the initialising thread and runs from its
// message loop.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "comm/telephony/defs.h"
#include "tests/support/le32.h"

namespace {

namespace t = comm::tapi;

struct Script {
  std::vector<std::string> lines;
  int port = 0;
  int reinits = 0;
  int initFailures = 0;
  bool noDevice = false;
  std::uint32_t devCapsMin = 0;
  std::vector<std::pair<std::string, int>> attempts;  // outcome, milliseconds
  std::string callerId, callerName;
  bool getIdFails = false;
  bool dropSilent = false;
};

struct PendingCallback {
  t::Handle app;
  std::uintptr_t device;
  std::uint32_t message;
  std::uintptr_t param1, param2, param3;
};

struct State {
  bool loaded = false;
  Script script;
  std::string logPath;
  HWND window = nullptr;
  std::map<t::Handle, t::LineCallback> apps;                        // live line applications
  std::map<t::Handle, std::pair<t::Handle, std::uintptr_t>> lines;  // line -> app, instance
  t::Handle nextApp = 0x100, nextLine = 0x200, nextCall = 0x300;
  std::int32_t nextRequest = 1;
  std::size_t attemptIndex = 0;
  t::Handle call = 0, callLine = 0;
  std::uint32_t callState = 0, callStateMode = 0;
  UINT_PTR nextTimer = 1;
  std::map<UINT_PTR, PendingCallback> delayed;
};

State& S() {
  static State state;
  return state;
}

std::string Env(const char* name) {
  char value[1024];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length == 0 || length >= sizeof value ? std::string() : std::string(value, length);
}

void Log(const std::string& text) {
  if (S().logPath.empty()) return;
  std::ofstream out(S().logPath, std::ios::app | std::ios::binary);
  out << text << "\n";
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

void LoadScript() {
  State& s = S();
  if (s.loaded) return;
  s.loaded = true;
  s.logPath = Env("TALLIMO_TAPI_LOG");
  std::ifstream in(Env("TALLIMO_TAPI_SCRIPT"));
  std::string row;
  while (std::getline(in, row)) {
    if (const auto hash = row.find('#'); hash != std::string::npos) row.erase(hash);
    while (!row.empty() && (row.back() == '\r' || row.back() == ' ')) row.pop_back();
    std::istringstream words(row);
    std::string key;
    if (!(words >> key)) continue;
    std::string rest;
    std::getline(words >> std::ws, rest);
    if (key == "line")
      s.script.lines.push_back(rest);
    else if (key == "port")
      s.script.port = std::atoi(rest.c_str());
    else if (key == "reinit")
      s.script.reinits = std::atoi(rest.c_str());
    else if (key == "initfail")
      s.script.initFailures = std::atoi(rest.c_str());
    else if (key == "nodevice")
      s.script.noDevice = true;
    else if (key == "devcaps_min")
      s.script.devCapsMin = static_cast<std::uint32_t>(std::atoi(rest.c_str()));
    else if (key == "getid_fail")
      s.script.getIdFails = true;
    else if (key == "drop_silent")
      s.script.dropSilent = true;
    else if (key == "callerid") {
      const auto bar = rest.find('|');
      s.script.callerId = rest.substr(0, bar);
      s.script.callerName = bar == std::string::npos ? std::string() : rest.substr(bar + 1);
    } else if (key == "attempt") {
      std::istringstream parts(rest);
      std::string outcome;
      int ms = 0;
      parts >> outcome >> ms;
      s.script.attempts.emplace_back(outcome, ms);
    }
  }
}

using test_support::Get32;
using test_support::Put32;

void Run(const PendingCallback& pending) {
  State& s = S();
  const auto app = s.apps.find(pending.app);
  if (app == s.apps.end()) return;  // shut down meanwhile
  if (pending.message == t::kLineCallState && pending.device == s.call) {
    s.callState = static_cast<std::uint32_t>(pending.param1);
    s.callStateMode = static_cast<std::uint32_t>(pending.param2);
  }
  // The instance is the one the line was opened with.
  std::uintptr_t instance = 0;
  for (const auto& [line, owner] : s.lines)
    if (owner.first == pending.app) instance = owner.second;
  app->second(pending.device, pending.message, instance, pending.param1, pending.param2, pending.param3);
}

constexpr UINT kCallbackMessage = WM_APP + 0x10;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCallbackMessage) {
    auto* pending = reinterpret_cast<PendingCallback*>(lParam);
    const PendingCallback copy = *pending;
    delete pending;
    Run(copy);
    return 0;
  }
  if (message == WM_TIMER) {
    KillTimer(window, wParam);
    const auto found = S().delayed.find(wParam);
    if (found != S().delayed.end()) {
      const PendingCallback copy = found->second;
      S().delayed.erase(found);
      Run(copy);
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void EnsureWindow() {
  State& s = S();
  if (s.window) return;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "TallimoTapiStandIn";
  RegisterClassA(&windowClass);
  s.window = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             windowClass.hInstance, nullptr);
}

t::Handle AppOfLine(t::Handle line) {
  const auto found = S().lines.find(line);
  return found == S().lines.end() ? 0 : found->second.first;
}

void Post(t::Handle line, std::uintptr_t device, std::uint32_t message, std::uintptr_t p1,
          std::uintptr_t p2 = 0, std::uintptr_t p3 = 0, UINT delayMs = 0) {
  State& s = S();
  PendingCallback pending{AppOfLine(line), device, message, p1, p2, p3};
  if (delayMs == 0) {
    PostMessageA(s.window, kCallbackMessage, 0, reinterpret_cast<LPARAM>(new PendingCallback(pending)));
  } else {
    const UINT_PTR id = s.nextTimer++;
    s.delayed[id] = pending;
    SetTimer(s.window, id, delayMs, nullptr);
  }
}

std::string Text(const char* text) { return text ? text : "(null)"; }

}  // namespace

#define STANDIN_EXPORT extern "C" __declspec(dllexport) std::int32_t WINAPI

STANDIN_EXPORT lineInitialize(t::Handle* lineApp, HINSTANCE, t::LineCallback callback, const char* appName,
                              std::uint32_t* numDevices) {
  LoadScript();
  State& s = S();
  Log("lineInitialize app=" + Text(appName));
  if (s.script.noDevice) return t::kErrNoDevice;
  if (s.script.reinits > 0) {
    --s.script.reinits;
    return t::kErrReinit;
  }
  if (s.script.initFailures > 0) {
    --s.script.initFailures;
    return t::kErrOperationFailed;
  }
  EnsureWindow();
  const t::Handle app = s.nextApp++;
  s.apps[app] = callback;
  *lineApp = app;
  *numDevices = static_cast<std::uint32_t>(s.script.lines.size());
  return 0;
}

STANDIN_EXPORT lineShutdown(t::Handle lineApp) {
  LoadScript();
  Log("lineShutdown " + std::to_string(lineApp));
  S().apps.erase(lineApp);
  return 0;
}

STANDIN_EXPORT lineNegotiateAPIVersion(t::Handle, std::uint32_t device, std::uint32_t low, std::uint32_t high,
                                       std::uint32_t* apiVersion, void* extensionId) {
  Log("lineNegotiateAPIVersion dev=" + std::to_string(device) + " low=" + Hex(low) + " high=" + Hex(high));
  if (device >= S().script.lines.size()) return t::kErrBadDeviceId;
  *apiVersion = t::kApiVersion;
  std::memset(extensionId, 0, 16);
  return 0;
}

STANDIN_EXPORT lineGetDevCaps(t::Handle, std::uint32_t device, std::uint32_t, std::uint32_t,
                              std::uint8_t* caps) {
  const State& s = S();
  const std::uint32_t total = Get32(caps, t::record::kTotalSize);
  Log("lineGetDevCaps dev=" + std::to_string(device) + " total=" + std::to_string(total));
  if (device >= s.script.lines.size()) return t::kErrBadDeviceId;
  const std::string& name = s.script.lines[device];
  constexpr std::uint32_t kNameAt = t::devcaps::kInitialSize;
  const std::uint32_t needed = kNameAt + static_cast<std::uint32_t>(name.size()) + 1;
  if (total < s.script.devCapsMin || total < kNameAt) return t::kErrStructureTooSmall;
  Put32(caps, t::record::kNeededSize, needed);
  Put32(caps, t::devcaps::kMediaModes, t::kMediaDataModem | t::kMediaAutomatedVoice);
  if (total < needed) {
    Put32(caps, t::record::kUsedSize, kNameAt);
    return 0;
  }
  Put32(caps, t::record::kUsedSize, needed);
  Put32(caps, t::devcaps::kLineNameSize, static_cast<std::uint32_t>(name.size()) + 1);
  Put32(caps, t::devcaps::kLineNameOffset, kNameAt);
  std::memcpy(caps + kNameAt, name.c_str(), name.size() + 1);
  return 0;
}

STANDIN_EXPORT lineOpen(t::Handle lineApp, std::uint32_t device, t::Handle* line, std::uint32_t apiVersion,
                        std::uint32_t extVersion, std::uintptr_t instance, std::uint32_t privileges,
                        std::uint32_t mediaModes, const void* params) {
  State& s = S();
  Log("lineOpen dev=" + std::to_string(device) + " api=" + Hex(apiVersion) +
      " ext=" + std::to_string(extVersion) + " priv=" + std::to_string(privileges) +
      " media=" + std::to_string(mediaModes) + " params=" + (params ? "set" : "none"));
  if (!s.apps.count(lineApp)) return static_cast<std::int32_t>(0x80000015u);  // invalid application handle
  if (device >= s.script.lines.size()) return t::kErrBadDeviceId;
  const t::Handle handle = s.nextLine++;
  s.lines[handle] = {lineApp, instance};
  *line = handle;
  return 0;
}

STANDIN_EXPORT lineSetStatusMessages(t::Handle, std::uint32_t lineStates, std::uint32_t addressStates) {
  Log("lineSetStatusMessages " + Hex(lineStates) + " " + Hex(addressStates));
  return 0;
}

STANDIN_EXPORT lineMakeCall(t::Handle line, t::Handle* call, const char* destination, std::uint32_t country,
                            const std::uint8_t* params) {
  State& s = S();
  std::string bytes;
  if (params) {
    const std::uint32_t size = Get32(params, 0);
    char two[4];
    for (std::uint32_t i = 0; i < size && i < 1024; ++i) {
      std::snprintf(two, sizeof two, "%02X", params[i]);
      bytes += two;
    }
  }
  Log("lineMakeCall dest=" + Text(destination) + " country=" + std::to_string(country) + " params=" + bytes);
  std::pair<std::string, int> attempt{"connect", 0};
  if (!s.script.attempts.empty())
    attempt = s.script.attempts[std::min(s.attemptIndex++, s.script.attempts.size() - 1)];
  const std::string& outcome = attempt.first;
  if (outcome == "fail") return t::kErrCallUnavail;
  const t::Handle handle = s.nextCall++;
  s.call = handle;
  s.callLine = line;
  s.callState = 0;
  *call = handle;
  const std::int32_t request = s.nextRequest++;
  if (outcome == "noreply") return request;
  Post(line, handle, t::kLineReply, static_cast<std::uintptr_t>(request), 0);
  Post(line, handle, t::kLineCallState, t::kCallStateDialtone);
  Post(line, handle, t::kLineCallState, t::kCallStateDialing);
  if (outcome == "busy") {
    Post(line, handle, t::kLineCallState, t::kCallStateBusy);
  } else if (outcome == "disconnect_busy") {
    Post(line, handle, t::kLineCallState, t::kCallStateDisconnected, t::kDisconnectModeBusy);
  } else {
    Post(line, handle, t::kLineCallState, t::kCallStateProceeding);
    Post(line, handle, t::kLineCallState, t::kCallStateConnected);
    if (!s.script.callerId.empty()) Post(line, handle, t::kLineCallInfo, t::kCallInfoStateCallerId);
    if (outcome == "connect_twice") Post(line, handle, t::kLineCallState, t::kCallStateConnected);
    if (outcome == "hangup")
      Post(line, handle, t::kLineCallState, t::kCallStateDisconnected, 1, 0,
           static_cast<UINT>(attempt.second));
  }
  return request;
}

STANDIN_EXPORT lineDrop(t::Handle call, const char*, std::uint32_t) {
  State& s = S();
  Log("lineDrop " + std::to_string(call));
  const std::int32_t request = s.nextRequest++;
  if (s.script.dropSilent) return request;
  Post(s.callLine, call, t::kLineReply, static_cast<std::uintptr_t>(request), 0);
  Post(s.callLine, call, t::kLineCallState, t::kCallStateIdle);
  return request;
}

STANDIN_EXPORT lineDeallocateCall(t::Handle call) {
  Log("lineDeallocateCall " + std::to_string(call));
  if (S().call == call) S().call = 0;
  return 0;
}

STANDIN_EXPORT lineClose(t::Handle line) {
  Log("lineClose " + std::to_string(line));
  S().lines.erase(line);
  return 0;
}

STANDIN_EXPORT lineAccept(t::Handle call, const char*, std::uint32_t) {
  Log("lineAccept " + std::to_string(call));
  return S().nextRequest++;
}

STANDIN_EXPORT lineAnswer(t::Handle call, const char*, std::uint32_t) {
  Log("lineAnswer " + std::to_string(call));
  return S().nextRequest++;
}

STANDIN_EXPORT lineMonitorDigits(t::Handle call, std::uint32_t modes) {
  Log("lineMonitorDigits " + std::to_string(call) + " " + std::to_string(modes));
  return 0;
}

STANDIN_EXPORT lineGetID(t::Handle, std::uint32_t, t::Handle, std::uint32_t select, std::uint8_t* varString,
                         const char* deviceClass) {
  const State& s = S();
  const std::string cls = Text(deviceClass);
  Log("lineGetID select=" + std::to_string(select) + " class=" + cls);
  const std::uint32_t total = Get32(varString, t::record::kTotalSize);
  const std::string portName = "COM" + std::to_string(s.script.port);
  std::vector<std::uint8_t> data;
  std::uint32_t format = t::kStringFormatAscii;
  if (cls == "comm/datamodem") {
    if (s.script.getIdFails) return t::kErrOperationFailed;
    const std::string path = "\\\\.\\" + portName;
    HANDLE port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) return t::kErrOperationFailed;
    const auto value = reinterpret_cast<std::uint64_t>(port);
    for (int i = 0; i < 8; ++i) data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    data.insert(data.end(), portName.begin(), portName.end());
    data.push_back(0);
    format = t::kStringFormatBinary;
    if (total < t::varstring::kFixedSize + data.size()) {
      CloseHandle(port);
      Put32(varString, t::record::kNeededSize,
            t::varstring::kFixedSize + static_cast<std::uint32_t>(data.size()));
      return 0;
    }
  } else if (cls == "comm/datamodem/portname") {
    data.assign(portName.begin(), portName.end());
    data.push_back(0);
  } else {
    return static_cast<std::int32_t>(0x80000022u);  // invalid device class
  }
  const auto needed = t::varstring::kFixedSize + static_cast<std::uint32_t>(data.size());
  Put32(varString, t::record::kNeededSize, needed);
  if (total < needed) return 0;
  Put32(varString, t::record::kUsedSize, needed);
  Put32(varString, t::varstring::kStringFormat, format);
  Put32(varString, t::varstring::kStringSize, static_cast<std::uint32_t>(data.size()));
  Put32(varString, t::varstring::kStringOffset, t::varstring::kFixedSize);
  std::memcpy(varString + t::varstring::kFixedSize, data.data(), data.size());
  return 0;
}

STANDIN_EXPORT lineGetCallStatus(t::Handle call, std::uint8_t* status) {
  const State& s = S();
  const std::uint32_t total = Get32(status, t::record::kTotalSize);
  if (call != s.call || call == 0) return static_cast<std::int32_t>(0x80000010u);  // invalid call handle
  if (total < t::callstatus::kInitialSize) return t::kErrStructureTooSmall;
  Put32(status, t::record::kNeededSize, t::callstatus::kInitialSize);
  Put32(status, t::record::kUsedSize, t::callstatus::kInitialSize);
  Put32(status, t::callstatus::kCallState, s.callState);
  Put32(status, t::callstatus::kCallStateMode, s.callStateMode);
  return 0;
}

STANDIN_EXPORT lineGetCallInfo(t::Handle call, std::uint8_t* info) {
  const State& s = S();
  const std::uint32_t total = Get32(info, t::record::kTotalSize);
  if (call != s.call || call == 0) return static_cast<std::int32_t>(0x80000010u);
  if (total < t::callinfo::kInitialSize) return t::kErrStructureTooSmall;
  const std::string& id = s.script.callerId;
  const std::string& name = s.script.callerName;
  const std::uint32_t idAt = t::callinfo::kInitialSize;
  const std::uint32_t nameAt = idAt + static_cast<std::uint32_t>(id.size()) + 1;
  const std::uint32_t needed = nameAt + static_cast<std::uint32_t>(name.size()) + 1;
  Put32(info, t::record::kNeededSize, needed);
  Put32(info, t::callinfo::kMediaMode, t::kMediaDataModem);
  if (total < needed || id.empty()) {
    Put32(info, t::record::kUsedSize, t::callinfo::kInitialSize);
    return 0;
  }
  Put32(info, t::record::kUsedSize, needed);
  Put32(info, t::callinfo::kCallerIdFlags, t::kPartyIdAddress | 0x10);
  Put32(info, t::callinfo::kCallerIdSize, static_cast<std::uint32_t>(id.size()) + 1);
  Put32(info, t::callinfo::kCallerIdOffset, idAt);
  Put32(info, t::callinfo::kCallerIdNameSize, static_cast<std::uint32_t>(name.size()) + 1);
  Put32(info, t::callinfo::kCallerIdNameOffset, nameAt);
  std::memcpy(info + idAt, id.c_str(), id.size() + 1);
  std::memcpy(info + nameAt, name.c_str(), name.size() + 1);
  return 0;
}

// Not part of the interface: makes the stand-in read its script again (tests
// that run several cases in one process).
extern "C" __declspec(dllexport) void WINAPI standinReset() {
  State& s = S();
  const HWND window = s.window;
  s.~State();
  new (&s) State();
  s.window = window;
}
