// The well-known folders of the target machine: the Windows and system
// folders, and the Start menu, Programs, Desktop, Startup, Program Files and
// Common Files folders read from the registry with fixed defaults. Every
// folder comes without a trailing backslash.
#pragma once

#include <functional>
#include <string>

#include "setup/base/registry_routines.h"

namespace setup {

// Where the lookups read the machine; on Windows UseSystemMachine()
// connects the real one, tests may give their own.
struct MachineAccess {
  Registry* registry = nullptr;
  std::function<std::string()> WindowsDirectory;
  std::function<std::string()> SystemDirectory;
  std::function<std::string()> CurrentDirectory;
};
void SetMachineAccess(MachineAccess access);
const MachineAccess& Machine();

constexpr char kShellFoldersKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kCurrentVersionKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

std::string WindowsFolder();
std::string SystemFolder();
std::string StartMenuFolder();
std::string ProgramsFolder();
std::string DesktopFolder();
std::string StartupFolder();
std::string ProgramFilesFolder();
std::string CommonFilesFolder();

// "C:" of "C:\x", "\\server\share" of a network path, "" otherwise.
std::string DriveOf(const std::string& path);

}  // namespace setup
