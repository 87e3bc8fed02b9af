// The Windows side of the port component: Win32 dispatchers, the hidden
// notification window "awComWindow", messages to client windows.
#pragma once

#include <functional>

#include "comm/port/com_port.h"

namespace comm {

class Win32PortPlatform : public PortPlatform {
 public:
  std::unique_ptr<TApdBaseDispatcher> CreateDispatcher(TApdComPort& port, bool onTapiHandle,
                                                       std::uintptr_t tapiHandle) override;
  bool ReadHandleSettings(std::uintptr_t tapiHandle, LineSettingsBlock& block) override;
  WindowRef CreateNotificationWindow(TApdComPort& port) override;
  void DestroyNotificationWindow(WindowRef window) override;
  void SendToClient(WindowRef client, std::uint32_t message) override;
  void PostDeferredClose(WindowRef window, int dispatcherHandle) override;
  void PumpOneMessage() override;
  // No selection dialog yet: a port without a number is not opened.
  bool SelectPort(int& number) override;
  void HandleException(const std::exception& error) override;
};

// The platform every port of the program uses.
Win32PortPlatform& Win32Ports();

// Where exceptions from trigger events and from the open at load go; by
// default the application's exception handling. Null restores the default.
using PortExceptionHandler = std::function<void(const std::exception&)>;
void SetPortExceptionHandler(PortExceptionHandler handler);

// Whether "\\.\COMn" exists: it opens, or it is in use by another program.
bool PortPresent(int number);

}  // namespace comm
