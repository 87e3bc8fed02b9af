#include "tests/comm/telephony/fake_tapi.h"
#include "tests/support/le32.h"

#include <cstring>
#include <stdexcept>

namespace comm::fake {
namespace {

namespace t = tapi;

struct Pending {
  std::uint32_t at;
  std::uintptr_t device;
  std::uint32_t message;
  std::uintptr_t p1, p2, p3;
};

struct Runtime {
  Library library;
  Host* host = nullptr;
  std::map<t::Handle, t::LineCallback> apps;  // live line applications
  t::Handle nextApp = 0x100, lineApp = 0;     // the app whose line is open
  std::uintptr_t instance = 0;
  std::deque<Pending> queue;
  t::Handle call = 0;
  std::uint32_t callState = 0;
  std::int32_t nextRequest = 1;
  std::size_t attempt = 0;
  t::Handle nextCall = 0x300;
};

Runtime& R() {
  static Runtime runtime;
  return runtime;
}

std::uint32_t Now() { return R().host ? R().host->now : 0; }

void Log(std::string text) { R().library.calls.push_back(std::move(text)); }

using test_support::Get32;
using test_support::Put32;

void Post(std::uintptr_t device, std::uint32_t message, std::uintptr_t p1, std::uintptr_t p2 = 0,
          std::uint32_t delay = 0) {
  R().queue.push_back({Now() + delay, device, message, p1, p2, 0});
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

std::int32_t COMM_TAPI_CALL Initialize(t::Handle* app, void*, t::LineCallback callback, const char* name,
                                       std::uint32_t* devices) {
  Log(std::string("lineInitialize ") + name);
  if (!R().library.initResults.empty()) {
    const std::int32_t result = R().library.initResults.front();
    R().library.initResults.pop_front();
    return result;
  }
  const t::Handle handle = R().nextApp++;
  R().apps[handle] = callback;
  *app = handle;
  *devices = static_cast<std::uint32_t>(R().library.lines.size());
  return 0;
}
std::int32_t COMM_TAPI_CALL Shutdown(t::Handle app) {
  Log("lineShutdown " + std::to_string(app));
  R().apps.erase(app);
  return 0;
}
std::int32_t COMM_TAPI_CALL Negotiate(t::Handle, std::uint32_t device, std::uint32_t low, std::uint32_t high,
                                      std::uint32_t* version, void* extension) {
  Log("lineNegotiateAPIVersion " + std::to_string(device) + " " + Hex(low) + " " + Hex(high));
  if (device >= R().library.lines.size()) return t::kErrBadDeviceId;
  *version = t::kApiVersion;
  std::memset(extension, 0, 16);
  return 0;
}
std::int32_t COMM_TAPI_CALL DevCaps(t::Handle, std::uint32_t device, std::uint32_t, std::uint32_t,
                                    void* buffer) {
  auto* caps = static_cast<std::uint8_t*>(buffer);
  if (device >= R().library.lines.size()) return t::kErrBadDeviceId;
  const std::string& name = R().library.lines[device];
  const std::uint32_t needed = 240 + static_cast<std::uint32_t>(name.size()) + 1;
  Put32(caps, 4, needed);
  Put32(caps, t::devcaps::kMediaModes, R().library.mediaModes);
  if (Get32(caps, 0) < needed) return 0;
  Put32(caps, 8, needed);
  Put32(caps, t::devcaps::kLineNameSize, static_cast<std::uint32_t>(name.size()) + 1);
  Put32(caps, t::devcaps::kLineNameOffset, 240);
  std::memcpy(caps + 240, name.c_str(), name.size() + 1);
  return 0;
}
std::int32_t COMM_TAPI_CALL Open(t::Handle app, std::uint32_t device, t::Handle* line, std::uint32_t version,
                                 std::uint32_t ext, std::uintptr_t instance, std::uint32_t privileges,
                                 std::uint32_t media, const void*) {
  Log("lineOpen " + std::to_string(device) + " " + Hex(version) + " ext=" + std::to_string(ext) +
      " priv=" + std::to_string(privileges) + " media=" + std::to_string(media));
  R().instance = instance;
  R().lineApp = app;
  *line = 0x200;
  return 0;
}
std::int32_t COMM_TAPI_CALL SetStatus(t::Handle, std::uint32_t lineStates, std::uint32_t addressStates) {
  Log("lineSetStatusMessages " + Hex(lineStates) + " " + Hex(addressStates));
  return 0;
}
std::int32_t COMM_TAPI_CALL MakeCall(t::Handle, t::Handle* call, const char* number, std::uint32_t country,
                                     const void* params) {
  Library& lib = R().library;
  Log("lineMakeCall " + std::string(number) + " " + std::to_string(country));
  lib.makeCallTimes.push_back(Now());
  const auto* bytes = static_cast<const std::uint8_t*>(params);
  lib.lastCallParams.assign(bytes, bytes + Get32(bytes, 0));
  const std::string outcome = lib.attempts[std::min(R().attempt++, lib.attempts.size() - 1)];
  if (outcome == "fail") return t::kErrCallUnavail;
  const t::Handle handle = R().nextCall++;
  *call = handle;
  R().call = handle;
  R().callState = 0;
  const std::int32_t request = R().nextRequest++;
  if (outcome == "noreply") return request;
  Post(handle, t::kLineReply, static_cast<std::uintptr_t>(request));
  Post(handle, t::kLineCallState, t::kCallStateDialtone);
  Post(handle, t::kLineCallState, t::kCallStateDialing);
  if (outcome == "busy") {
    Post(handle, t::kLineCallState, t::kCallStateBusy);
  } else if (outcome == "disconnect_busy") {
    Post(handle, t::kLineCallState, t::kCallStateDisconnected, t::kDisconnectModeBusy);
  } else {
    Post(handle, t::kLineCallState, t::kCallStateConnected);
    if (outcome == "connect_twice") Post(handle, t::kLineCallState, t::kCallStateConnected);
    if (outcome == "hangup") Post(handle, t::kLineCallState, t::kCallStateDisconnected, 1, lib.hangupAfterMs);
  }
  return request;
}
std::int32_t COMM_TAPI_CALL Drop(t::Handle call, const char*, std::uint32_t) {
  Log("lineDrop " + std::to_string(call));
  const std::int32_t request = R().nextRequest++;
  if (R().library.dropSilent) return request;
  Post(call, t::kLineReply, static_cast<std::uintptr_t>(request));
  Post(call, t::kLineCallState, t::kCallStateIdle);
  return request;
}
std::int32_t COMM_TAPI_CALL Deallocate(t::Handle call) {
  Log("lineDeallocateCall " + std::to_string(call));
  if (R().call == call) R().call = 0;
  return 0;
}
std::int32_t COMM_TAPI_CALL Close(t::Handle line) {
  Log("lineClose " + std::to_string(line));
  return 0;
}
std::int32_t COMM_TAPI_CALL Accept(t::Handle call, const char*, std::uint32_t) {
  Log("lineAccept " + std::to_string(call));
  return 0;
}
std::int32_t COMM_TAPI_CALL GetId(t::Handle, std::uint32_t, t::Handle, std::uint32_t select, void* buffer,
                                  const char* deviceClass) {
  Log("lineGetID " + std::to_string(select) + " " + deviceClass);
  auto* id = static_cast<std::uint8_t*>(buffer);
  std::vector<std::uint8_t> data;
  if (std::string(deviceClass) == "comm/datamodem") {
    if (R().library.getIdFails) return t::kErrOperationFailed;
    for (std::size_t i = 0; i < sizeof(std::uintptr_t); ++i)
      data.push_back(static_cast<std::uint8_t>(R().library.commHandle >> (8 * i)));
  } else {
    const std::string name = "COM7";
    data.assign(name.begin(), name.end());
    data.push_back(0);
  }
  const auto needed = 24 + static_cast<std::uint32_t>(data.size());
  Put32(id, 4, needed);
  Put32(id, 8, needed);
  Put32(id, 16, static_cast<std::uint32_t>(data.size()));
  Put32(id, 20, 24);
  std::memcpy(id + 24, data.data(), data.size());
  return 0;
}
std::int32_t COMM_TAPI_CALL CallStatus(t::Handle call, void* buffer) {
  if (call == 0 || call != R().call) return static_cast<std::int32_t>(0x80000010u);
  auto* status = static_cast<std::uint8_t*>(buffer);
  Put32(status, 4, 36);
  Put32(status, 8, 36);
  Put32(status, t::callstatus::kCallState, R().callState);
  return 0;
}
std::int32_t COMM_TAPI_CALL CallInfo(t::Handle, void* buffer) {
  auto* info = static_cast<std::uint8_t*>(buffer);
  const auto& record = R().library.callInfo;
  if (!record.empty()) {
    const std::uint32_t total = Get32(info, 0);
    Put32(info, 4, static_cast<std::uint32_t>(record.size()));
    if (total < record.size()) return 0;
    std::memcpy(info + 4, record.data() + 4, record.size() - 4);
    return 0;
  }
  Put32(info, 4, 296);
  Put32(info, 8, 296);
  Put32(info, t::callinfo::kMediaMode, t::kMediaDataModem);
  return 0;
}
std::int32_t COMM_TAPI_CALL MonitorDigits(t::Handle call, std::uint32_t modes) {
  Log("lineMonitorDigits " + std::to_string(call) + " " + std::to_string(modes));
  return 0;
}
std::int32_t COMM_TAPI_CALL Other() { return 0; }

void* Load(const char*) { return &R(); }
void* NoLoad(const char*) { return nullptr; }
void* Entry(void*, const char* name) {
  const std::map<std::string, void*> entries = {
      {"lineInitialize", reinterpret_cast<void*>(&Initialize)},
      {"lineShutdown", reinterpret_cast<void*>(&Shutdown)},
      {"lineNegotiateAPIVersion", reinterpret_cast<void*>(&Negotiate)},
      {"lineGetDevCaps", reinterpret_cast<void*>(&DevCaps)},
      {"lineOpen", reinterpret_cast<void*>(&Open)},
      {"lineSetStatusMessages", reinterpret_cast<void*>(&SetStatus)},
      {"lineMakeCall", reinterpret_cast<void*>(&MakeCall)},
      {"lineDrop", reinterpret_cast<void*>(&Drop)},
      {"lineDeallocateCall", reinterpret_cast<void*>(&Deallocate)},
      {"lineClose", reinterpret_cast<void*>(&Close)},
      {"lineAccept", reinterpret_cast<void*>(&Accept)},
      {"lineGetID", reinterpret_cast<void*>(&GetId)},
      {"lineGetCallStatus", reinterpret_cast<void*>(&CallStatus)},
      {"lineGetCallInfo", reinterpret_cast<void*>(&CallInfo)},
      {"lineMonitorDigits", reinterpret_cast<void*>(&MonitorDigits)},
  };
  const auto found = entries.find(name);
  return found != entries.end() ? found->second : reinterpret_cast<void*>(&Other);
}
void Unload(void*) {}

const TapiLoader kLoader{&Load, &Entry, &Unload};
const TapiLoader kNoLibrary{&NoLoad, &Entry, &Unload};

}  // namespace

Library& Lib() { return R().library; }

void Install(bool withLibrary) {
  R() = Runtime{};
  SetTapiLoader(withLibrary ? &kLoader : &kNoLibrary);
}

std::vector<std::string> CallsStartingWith(const std::string& prefix) {
  std::vector<std::string> matching;
  for (const auto& call : Lib().calls)
    if (call.rfind(prefix, 0) == 0) matching.push_back(call);
  return matching;
}

bool Host::DeliverDue() {
  R().host = this;
  bool delivered = false;
  // Queued actions first when due; then line callbacks in order.
  for (auto action = actions.begin(); action != actions.end() && action->first <= now;) {
    auto run = std::move(action->second);
    actions.erase(action);
    run();
    delivered = true;
    action = actions.begin();
  }
  for (std::size_t i = 0; i < R().queue.size(); ++i) {
    if (R().queue[i].at > now) continue;
    const Pending pending = R().queue[i];
    R().queue.erase(R().queue.begin() + static_cast<std::ptrdiff_t>(i));
    if (pending.message == t::kLineCallState && pending.device == R().call) R().callState = pending.p1;
    const auto app = R().apps.find(R().lineApp);
    if (app != R().apps.end())
      app->second(pending.device, pending.message, R().instance, pending.p1, pending.p2, pending.p3);
    return true;  // one message per dispatch, as a real loop would
  }
  if (tick_ && now >= nextTick_) {
    nextTick_ += 1000;
    auto tick = tick_;
    try {
      tick();
    } catch (...) {
      HandleException(std::current_exception());
    }
    return true;
  }
  return delivered;
}

void Host::PumpMessages(std::uint32_t maxWaitMs) {
  R().host = this;
  if (!DeliverDue()) now += maxWaitMs == 0 ? 1 : maxWaitMs;
  while (DeliverDue()) {
  }
}

void Host::StartRetryTimer(std::function<void()> tick) {
  tick_ = std::move(tick);
  nextTick_ = now + 1000;
}

std::vector<std::string> Host::HandleValueNames() {
  std::vector<std::string> names;
  for (const auto& [name, data] : registry) names.push_back(name);
  return names;
}

std::optional<std::string> Host::ReadHandleValue(const std::string& name) {
  const auto found = registry.find(name);
  if (found == registry.end()) return std::nullopt;
  return found->second;
}

void Host::HandleException(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    errors.push_back(e.what());
  }
}

void Host::RunFor(std::uint32_t ms) {
  const std::uint32_t end = now + ms;
  while (now < end) PumpMessages(10);
}

void Port::SetOpen(bool value) {
  if (value && failOpen) throw std::runtime_error("port cannot open");
  if (!value && failClose) throw std::runtime_error("port cannot close");
  if (open != value) events.push_back(value ? "open true" : "open false");
  open = value;
}

}  // namespace comm::fake
