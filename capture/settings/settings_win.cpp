#include "capture/settings/settings_win.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "capture/settings/location.h"
#include "capture/settings/support_messages.h"
#include "comm/base/string_resource_win.h"
#include "framework/version_info_win.h"

namespace capture {
namespace {

class Win32ProfileFile : public ProfileFile {
 public:
  std::string ReadValue(const std::string& file, const std::string& section, const std::string& name,
                        const std::string& defaultValue, std::size_t bufferSize) override {
    std::vector<char> buffer(bufferSize, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), name.c_str(), defaultValue.c_str(),
                                                  buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    return std::string(buffer.data(), std::min<std::size_t>(length, buffer.size()));
  }

  WriteResult WriteValue(const std::string& file, const std::string& section, const std::string& name,
                         const std::optional<std::string>& value) override {
    SetLastError(0);
    const BOOL written = WritePrivateProfileStringA(section.c_str(), name.c_str(),
                                                    value ? value->c_str() : nullptr, file.c_str());
    return {written != FALSE, written ? 0u : static_cast<std::uint32_t>(GetLastError())};
  }
};

}  // namespace

ProfileFile& SystemProfileFile() {
  static Win32ProfileFile profile;
  return profile;
}

std::string ProgramFilePath() { return fw::ProgramFilePath(); }

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::unique_ptr<TStRegIni> OpenSettings(const std::string& section, int variant) {
  const std::string path = SettingsFilePath(variant, ProgramFilePath(), FolderExists(kEngineFolder));
  return OpenSettingsFile(SystemProfileFile(), path, section);
}

void StartSupportLibrary() { StartSupportMessages(comm::ProgramResources()); }

void FinishSupportLibrary() { FinishSupportMessages(); }

}  // namespace capture
