#include "comm/telephony/device_win.h"

#include "framework/application.h"

namespace comm {
namespace {

constexpr UINT_PTR kRetryTimerId = 1;
constexpr const char* kWindowClass = "TallimoTapiDevice";

}  // namespace

SystemTapiDeviceHost::SystemTapiDeviceHost() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
  // A top-level hidden window (not message-only) so that it hears the end of
  // the session and answers it.
  window_ = CreateWindowExA(0, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

SystemTapiDeviceHost::~SystemTapiDeviceHost() {
  StopRetryTimer();
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK SystemTapiDeviceHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_QUERYENDSESSION) return 1;
  if (message == WM_TIMER && wParam == kRetryTimerId) {
    auto* host = reinterpret_cast<SystemTapiDeviceHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (host && host->tick_) {
      auto tick = host->tick_;  // the tick may stop (and so free) the timer
      try {
        tick();
      } catch (...) {
        host->HandleException(std::current_exception());
      }
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void SystemTapiDeviceHost::PumpMessages(std::uint32_t maxWaitMs) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, maxWaitMs, QS_ALLINPUT);
  // The application's own pump: dialog keys and its quit handling apply.
  fw::Application()->ProcessMessages();
}

void SystemTapiDeviceHost::StartRetryTimer(std::function<void()> tick) {
  tick_ = std::move(tick);
  SetTimer(window_, kRetryTimerId, 1000, nullptr);
}

void SystemTapiDeviceHost::StopRetryTimer() {
  if (window_) KillTimer(window_, kRetryTimerId);
  tick_ = nullptr;
}

std::string SystemTapiDeviceHost::ApplicationName() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string name(path, length < sizeof path ? length : 0);
  const auto dot = name.find_last_of('.');
  const auto slash = name.find_last_of("\\/");
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.erase(dot);
  return name;
}

HKEY SystemTapiDeviceHost::OpenKey() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kHandleKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

std::vector<std::string> SystemTapiDeviceHost::HandleValueNames() {
  std::vector<std::string> names;
  HKEY key = OpenKey();
  if (!key) return names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

std::optional<std::string> SystemTapiDeviceHost::ReadHandleValue(const std::string& name) {
  HKEY key = OpenKey();
  if (!key) return std::nullopt;
  char data[64];
  DWORD size = sizeof data - 1, type = 0;
  const LONG result =
      RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  data[size] = 0;
  return std::string(data);
}

void SystemTapiDeviceHost::WriteHandleValue(const std::string& name, const std::string& data) {
  HKEY key = OpenKey();
  if (!key) return;
  RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
}

void SystemTapiDeviceHost::DeleteHandleValue(const std::string& name) {
  HKEY key = OpenKey();
  if (!key) return;
  RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
}

bool SystemTapiDeviceHost::ProcessMayBeAlive(std::uint32_t processId) {
  HANDLE process = OpenProcess(0x000F0000, FALSE, processId);
  if (process) {
    CloseHandle(process);
    return true;
  }
  // Another user's (or a protected) process refuses access but is alive.
  return GetLastError() == ERROR_ACCESS_DENIED;
}

std::optional<std::string> SystemTapiDeviceHost::ChooseLine(const std::string& current) {
  if (!chooseLine) return std::nullopt;
  return chooseLine(current);
}

void SystemTapiDeviceHost::HandleException(std::exception_ptr error) {
  if (exceptionHandler) {
    exceptionHandler(error);
    return;
  }
  try {
    std::rethrow_exception(error);
  } catch (...) {
    fw::Application()->HandleException(nullptr);
  }
}

}  // namespace comm
