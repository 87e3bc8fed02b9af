#include "comm/port/com_port_win.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "comm/dispatcher/dispatcher_win.h"
#include "comm/port/select_form_win.h"
#include "comm/dispatcher/notification_transport_win.h"
#include "comm/base/system_misc_win.h"
#include "framework/application.h"
#include "framework/exceptions.h"

namespace comm {
namespace {

constexpr char kWindowClass[] = "awComWindow";

PortExceptionHandler& ExceptionHandler() {
  static PortExceptionHandler handler;
  return handler;
}

// Called in the catch block of `error` (or of what it stands for).
void ShowException(const std::exception& error) {
  if (ExceptionHandler()) {
    ExceptionHandler()(error);
    return;
  }
  // The application's own handling: its hook, or its box under its title.
  if (std::current_exception()) {
    fw::Application()->HandleException(nullptr);
    return;
  }
  try {
    throw fw::Exception(error.what());
  } catch (...) {
    fw::Application()->HandleException(nullptr);
  }
}

LRESULT CALLBACK ComWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool ours = (message >= kAvailMessage && message <= kStatusMessage) ||
                    message == kDeferredCloseMessage || message == kLineFailedMessage;
  if (!ours) return DefWindowProcA(window, message, wParam, lParam);
  ServingNotification serving(window);
  try {
    // The list stays locked while the events run, so the dispatcher cannot
    // go away under a handler that another port's close would free.
    auto lock = LockDispatcherList();
    TApdBaseDispatcher* dispatcher = FindDispatcher(DispatcherHandleOf(lParam));
    if (dispatcher && dispatcher->Owner()) dispatcher->Owner()->HandleNotification(message, wParam, lParam);
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowException(std::runtime_error("Unknown exception in a trigger event"));
  }
  return 0;
}

bool RegisterComWindowClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ComWindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace

std::unique_ptr<TApdBaseDispatcher> Win32PortPlatform::CreateDispatcher(TApdComPort& port, bool onTapiHandle,
                                                                        std::uintptr_t tapiHandle) {
  if (onTapiHandle) {
    HANDLE handle = reinterpret_cast<HANDLE>(tapiHandle);
    try {
      return std::make_unique<TApdTAPI32Dispatcher>(&port, handle);
    } catch (...) {
      CloseHandle(handle);  // it was handed over all the same
      throw;
    }
  }
  return std::make_unique<TApdWin32Dispatcher>(&port);
}

bool Win32PortPlatform::ReadHandleSettings(std::uintptr_t tapiHandle, LineSettingsBlock& block) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(reinterpret_cast<HANDLE>(tapiHandle), &dcb)) return false;
  block.BaudRate = dcb.BaudRate;
  block.Parity = dcb.Parity <= SPACEPARITY ? dcb.Parity : NOPARITY;
  block.ByteSize = dcb.ByteSize;
  block.StopBits = dcb.StopBits <= TWOSTOPBITS ? dcb.StopBits : ONESTOPBIT;
  block.DtrControl = static_cast<std::uint8_t>(dcb.fDtrControl);
  block.RtsControl = static_cast<std::uint8_t>(dcb.fRtsControl);
  block.OutxCtsFlow = dcb.fOutxCtsFlow;
  block.OutxDsrFlow = dcb.fOutxDsrFlow;
  block.InX = dcb.fInX;
  block.OutX = dcb.fOutX;
  block.XonChar = dcb.XonChar;
  block.XoffChar = dcb.XoffChar;
  return true;
}

WindowRef Win32PortPlatform::CreateNotificationWindow(TApdComPort& port) {
  if (!RegisterComWindowClass()) return 0;
  HWND window = CreateWindowExA(0, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (window) SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(&port));
  return reinterpret_cast<WindowRef>(window);
}

void Win32PortPlatform::DestroyNotificationWindow(WindowRef window) {
  DestroyWindow(reinterpret_cast<HWND>(window));
}

void Win32PortPlatform::SendToClient(WindowRef client, std::uint32_t message) {
  SendMessageA(reinterpret_cast<HWND>(client), message, 0, 0);
}

void Win32PortPlatform::PostDeferredClose(WindowRef window, int dispatcherHandle) {
  PostMessageA(reinterpret_cast<HWND>(window), kDeferredCloseMessage, 0,
               NotificationLParam(dispatcherHandle, 0));
}

void Win32PortPlatform::PumpOneMessage() { comm::PumpOneMessage(); }

bool Win32PortPlatform::SelectPort(int& number) { return ChoosePortNumber(number); }

void Win32PortPlatform::HandleException(const std::exception& error) { ShowException(error); }

Win32PortPlatform& Win32Ports() {
  static Win32PortPlatform platform;
  return platform;
}

void SetPortExceptionHandler(PortExceptionHandler handler) { ExceptionHandler() = std::move(handler); }

bool PortPresent(int number) {
  if (number <= 0) return false;
  char name[32];
  std::snprintf(name, sizeof name, "\\\\.\\COM%d", number);
  HANDLE handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_ACCESS_DENIED;
  CloseHandle(handle);
  return true;
}

}  // namespace comm
