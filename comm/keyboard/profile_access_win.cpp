#include "comm/keyboard/profile_access_win.h"

#include <windows.h>

#include <vector>

namespace comm {

std::string Win32Profile::ReadString(const std::string& file, const std::string& section,
                                     const std::string& key, const std::string& fallback) {
  std::vector<char> buffer(256);
  for (;;) {
    DWORD got = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                                         static_cast<DWORD>(buffer.size()), file.c_str());
    if (got + 1 < buffer.size() || buffer.size() >= 65536) return std::string(buffer.data(), got);
    buffer.resize(buffer.size() * 4);
  }
}

int Win32Profile::ReadInt(const std::string& file, const std::string& section, const std::string& key,
                          int fallback) {
  return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), fallback, file.c_str()));
}

bool Win32Profile::Write(const std::string& file, const std::string& section, const std::string& key,
                         const std::string* value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value ? value->c_str() : nullptr,
                                    file.c_str()) != 0;
}

std::optional<std::vector<std::string>> Win32Profile::SectionKeys(const std::string& file,
                                                                  const std::string& section) {
  if (!Exists(file)) return std::nullopt;
  // The list is cut short when the buffer is too small: grow until it fits.
  std::vector<char> buffer(1024);
  DWORD got = 0;
  for (;;) {
    got = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                   static_cast<DWORD>(buffer.size()), file.c_str());
    if (got + 2 < buffer.size() || buffer.size() >= (1u << 20)) break;
    buffer.resize(buffer.size() * 4);
  }
  std::vector<std::string> keys;
  for (DWORD at = 0; at < got && buffer[at];) {
    std::string key(buffer.data() + at);
    at += static_cast<DWORD>(key.size()) + 1;
    keys.push_back(std::move(key));
  }
  return keys;
}

bool Win32Profile::Exists(const std::string& file) {
  return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Win32Profile::Resolve(const std::string& file) {
  if (file.find_first_of("\\/:") == std::string::npos && !Exists(file)) {
    char folder[MAX_PATH];
    UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return std::string(folder) + "\\" + file;
  }
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(file.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return file;
  return std::string(full, length);
}

Win32Profile& SystemProfiles() {
  static Win32Profile profile;
  return profile;
}

}  // namespace comm
