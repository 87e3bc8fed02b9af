#include "setup/paths/machine_folders_win.h"

#include <windows.h>

#include "setup/base/registry_win.h"
#include "setup/base/windows_routines_win.h"
#include "setup/paths/machine_folders.h"

namespace setup {

void UseSystemMachine() {
  MachineAccess access;
  access.registry = &SystemRegistry();
  access.WindowsDirectory = [] { return WindowsDirectory(); };
  access.SystemDirectory = [] { return SystemDirectory(); };
  access.CurrentDirectory = [] {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
  };
  SetMachineAccess(std::move(access));
}

}  // namespace setup
