// The line device's host on Windows: the thread's message loop, the tick
// count, a retry timer on a hidden window, the handle registry under HKCU and
// process probes.
#pragma once

#include <windows.h>

#include <functional>

#include "comm/telephony/device.h"

namespace comm {

class SystemTapiDeviceHost : public TapiDeviceHost {
 public:
  SystemTapiDeviceHost();
  ~SystemTapiDeviceHost() override;
  SystemTapiDeviceHost(const SystemTapiDeviceHost&) = delete;
  SystemTapiDeviceHost& operator=(const SystemTapiDeviceHost&) = delete;

  // The device dialog (lines only); unset: no dialog, no choice.
  std::function<std::optional<std::string>(const std::string& current)> chooseLine;
  // Exceptions that escaped a callback; unset: the application's handler.
  std::function<void(std::exception_ptr)> exceptionHandler;

  void PumpMessages(std::uint32_t maxWaitMs) override;
  std::uint32_t NowMs() override { return GetTickCount(); }
  void StartRetryTimer(std::function<void()> tick) override;
  void StopRetryTimer() override;
  bool RetryTimerRunning() const override { return static_cast<bool>(tick_); }
  void* ModuleInstance() override { return GetModuleHandleA(nullptr); }
  std::string ApplicationName() override;
  std::vector<std::string> HandleValueNames() override;
  std::optional<std::string> ReadHandleValue(const std::string& name) override;
  void WriteHandleValue(const std::string& name, const std::string& data) override;
  void DeleteHandleValue(const std::string& name) override;
  std::uint32_t CurrentProcessId() override { return GetCurrentProcessId(); }
  bool ProcessMayBeAlive(std::uint32_t processId) override;
  std::optional<std::string> ChooseLine(const std::string& current) override;
  void CloseCommHandle(std::uintptr_t handle) override { CloseHandle(reinterpret_cast<HANDLE>(handle)); }
  void HandleException(std::exception_ptr error) override;

  static constexpr const char* kHandleKey = "SOFTWARE\\Corvell\\CVL\\TAPI";

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HKEY OpenKey();
  HWND window_ = nullptr;
  std::function<void()> tick_;
};

namespace detail {
struct SystemTapiHostHolder {
  SystemTapiDeviceHost tapiHost;
};
}  // namespace detail

// The line device as a form places it, with a host of its own. The host is
// a base listed first, so it is built before the device and outlives it:
// the device still hangs up through it while it is destroyed.
class SystemTapiDevice : private detail::SystemTapiHostHolder, public TApdTapiDevice {
 public:
  explicit SystemTapiDevice(fw::TComponent* owner) : TApdTapiDevice(owner, tapiHost) {}
  SystemTapiDeviceHost& Host() { return tapiHost; }
};

}  // namespace comm
