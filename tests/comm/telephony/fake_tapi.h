// An in-process fake of the telephony library and of the line device's host
// for native tests: callbacks wait in a queue that the fake message pump
// delivers, and time is a counter the pump advances, so minute-long retry
// waits run in no time.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "comm/telephony/binding.h"
#include "comm/telephony/device.h"

namespace comm::fake {

struct Library {
  std::vector<std::string> lines = {"Modem A"};
  std::uint32_t mediaModes = 0x10;                  // of every line
  std::deque<std::int32_t> initResults;             // answered before success
  std::vector<std::string> attempts = {"connect"};  // outcome per lineMakeCall, last repeats
  std::uint32_t hangupAfterMs = 500;
  bool dropSilent = false;  // lineDrop never answers, and the call never goes idle
  bool getIdFails = false;
  std::uintptr_t commHandle = 0x1234;
  std::vector<std::string> calls;  // every call with its arguments
  std::vector<std::uint32_t> makeCallTimes;
  std::vector<std::uint8_t> lastCallParams;
  std::vector<std::uint8_t> callInfo;  // served by lineGetCallInfo when not empty
};

// The current fake library (reset by Install).
Library& Lib();
// Installs the fake as the binding's library (or none: every load fails).
void Install(bool withLibrary = true);
// The logged calls that start with `prefix`.
std::vector<std::string> CallsStartingWith(const std::string& prefix);

class Host : public TapiDeviceHost {
 public:
  std::uint32_t now = 1000;
  std::map<std::string, std::string> registry;
  std::set<std::uint32_t> aliveProcesses;
  std::uint32_t processId = 0x4D2;
  std::optional<std::string> dialogAnswer;
  int dialogShown = 0;
  std::vector<std::uintptr_t> closedHandles;
  std::vector<std::string> errors;
  // Actions run from the pump once their time has come (user actions).
  std::multimap<std::uint32_t, std::function<void()>> actions;

  void PumpMessages(std::uint32_t maxWaitMs) override;
  std::uint32_t NowMs() override { return now; }
  void StartRetryTimer(std::function<void()> tick) override;
  void StopRetryTimer() override { tick_ = nullptr; }
  bool RetryTimerRunning() const override { return static_cast<bool>(tick_); }
  void* ModuleInstance() override { return nullptr; }
  std::string ApplicationName() override { return "C:\\Tallimo\\Tallimo"; }
  std::vector<std::string> HandleValueNames() override;
  std::optional<std::string> ReadHandleValue(const std::string& name) override;
  void WriteHandleValue(const std::string& name, const std::string& data) override { registry[name] = data; }
  void DeleteHandleValue(const std::string& name) override { registry.erase(name); }
  std::uint32_t CurrentProcessId() override { return processId; }
  bool ProcessMayBeAlive(std::uint32_t id) override { return aliveProcesses.count(id) != 0; }
  std::optional<std::string> ChooseLine(const std::string&) override {
    ++dialogShown;
    return dialogAnswer;
  }
  void CloseCommHandle(std::uintptr_t handle) override { closedHandles.push_back(handle); }
  void HandleException(std::exception_ptr error) override;

  // The program's main loop for `ms` of fake time.
  void RunFor(std::uint32_t ms);

 private:
  bool DeliverDue();
  std::function<void()> tick_;
  std::uint32_t nextTick_ = 0;
};

class Port : public TapiPortControl {
 public:
  TTapiMode mode = TTapiMode::tmOn;
  bool open = false;
  bool failOpen = false;   // a failed open closes the handed handle itself
  bool failClose = false;  // fails before it takes a handle
  std::vector<std::string> events;

  TTapiMode TapiMode() const override { return mode; }
  void SetTapiMode(TTapiMode m) override { mode = m; }
  bool autoOpen = true;
  void SetAutoOpen(bool value) override { autoOpen = value; }
  bool Open() const override { return open; }
  void SetOpen(bool value) override;
  void SetTapiHandle(std::uintptr_t handle) override { events.push_back("handle " + std::to_string(handle)); }
};

}  // namespace comm::fake
