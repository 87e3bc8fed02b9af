#include "setup/base/windows_routines_win.h"

#include <windows.h>

#include "setup/base/exceptions.h"

namespace setup {
namespace {

constexpr DWORD kPathBuffer = 401;

// A folder query with a 401-character buffer; "" when it fails or does not fit.
template <class Query>
std::string FolderFrom(Query query) {
  char buffer[kPathBuffer] = {};
  const UINT length = query(buffer, kPathBuffer);
  return length > 0 && length < kPathBuffer ? std::string(buffer, length) : std::string();
}

}  // namespace

std::string ShortPathOf(const std::string& path) {
  char buffer[kPathBuffer] = {};
  const DWORD length = GetShortPathNameA(path.c_str(), buffer, kPathBuffer);
  // 0 is a failure; a length of the buffer or more is the size it would need.
  if (length == 0 || length >= kPathBuffer) return path;
  return std::string(buffer, length);
}

std::optional<WindowsVersion> SystemWindowsVersion() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return std::nullopt;
#pragma GCC diagnostic pop
  return WindowsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

int WindowsKind() { return WindowsKindOf(SystemWindowsVersion()); }

std::string UniqueTempFileName(bool keep) {
  const std::string folder = FolderFrom([](char* b, DWORD n) { return GetTempPathA(n, b); });
  char name[MAX_PATH + 1] = {};
  if (folder.empty() || GetTempFileNameA(folder.c_str(), "bat", 0, name) == 0 || name[0] == '\0') {
    throw EAPIRoutines("Cannot create a temporary file");
  }
  if (!keep) DeleteFileA(name);
  return name;
}

std::string SystemDirectory() {
  const std::string folder = FolderFrom([](char* b, UINT n) { return GetSystemDirectoryA(b, n); });
  if (folder.empty()) throw EAPIRoutines("Could not retrieve the system directroy from windows");
  return folder;
}

std::string WindowsDirectory() {
  const std::string folder = FolderFrom([](char* b, UINT n) { return GetWindowsDirectoryA(b, n); });
  if (folder.empty()) throw EAPIRoutines("Could not retrieve the windows directory from windows");
  return folder;
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolders(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const size_t slash = folder.find_last_of('\\');
  if (slash != std::string::npos && slash > 0 && folder[slash - 1] != ':' && folder[slash - 1] != '\\' &&
      !CreateFolders(folder.substr(0, slash)))
    return false;
  return CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace setup
