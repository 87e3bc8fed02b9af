#include "setup/paths/machine_folders.h"

#include "setup/base/text_routines.h"

namespace setup {
namespace {

MachineAccess& Access() {
  static MachineAccess access;
  return access;
}

std::string Call(const std::function<std::string()>& lookup) { return lookup ? lookup() : std::string(); }

std::string Read(int root, const char* key, const char* name, const std::string& fallback) {
  if (!Machine().registry) return RemoveBackslash(fallback);
  return RemoveBackslash(RegReadString(*Machine().registry, root, key, name, fallback));
}

}  // namespace

void SetMachineAccess(MachineAccess access) { Access() = std::move(access); }
const MachineAccess& Machine() { return Access(); }

std::string WindowsFolder() { return RemoveBackslash(Call(Machine().WindowsDirectory)); }
std::string SystemFolder() { return RemoveBackslash(Call(Machine().SystemDirectory)); }

std::string StartMenuFolder() {
  return Read(kCurrentUser, kShellFoldersKey, "Start Menu", WindowsFolder() + "\\Startmen");
}

std::string ProgramsFolder() {
  return Read(kCurrentUser, kShellFoldersKey, "Programs", StartMenuFolder() + "\\Programs");
}

std::string DesktopFolder() {
  return Read(kCurrentUser, kShellFoldersKey, "Desktop", WindowsFolder() + "\\Desktop");
}

std::string StartupFolder() {
  return Read(kCurrentUser, kShellFoldersKey, "Startup", WindowsFolder() + "\\Startup");
}

std::string ProgramFilesFolder() {
  return Read(kLocalMachine, kCurrentVersionKey, "ProgramFilesDir",
              DriveOf(Call(Machine().CurrentDirectory)) + "\\Program Files");
}

std::string CommonFilesFolder() {
  return Read(kLocalMachine, kCurrentVersionKey, "CommonFilesDir",
              DriveOf(Call(Machine().CurrentDirectory)) + "\\Program Files\\Common Files");
}

std::string DriveOf(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // Server and share: up to the backslash after the share name.
    const size_t server = path.find('\\', 2);
    if (server == std::string::npos) return path;
    const size_t share = path.find('\\', server + 1);
    return share == std::string::npos ? path : path.substr(0, share);
  }
  return "";
}

}  // namespace setup
