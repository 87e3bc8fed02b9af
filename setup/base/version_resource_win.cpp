#include "setup/base/version_resource_win.h"

#include <windows.h>

#include "framework/version_info_win.h"

namespace setup {
namespace {

// Days from the start of FILETIME (1601-01-01) to that of TDateTime (1899-12-30).
constexpr double kFileTimeEpochDays = 109205.0;
constexpr double kFileTimeUnitsPerDay = 864000000000.0;

class SystemFiles : public FileDates {
 public:
  bool Exists(const std::string& path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

  std::optional<double> OpenedFileDate(const std::string& path) override {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    FILETIME written{}, local{};
    const bool ok =
        GetFileTime(file, nullptr, nullptr, &written) && FileTimeToLocalFileTime(&written, &local);
    CloseHandle(file);
    if (!ok) return std::nullopt;
    const auto units =
        static_cast<double>((static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime);
    return units / kFileTimeUnitsPerDay - kFileTimeEpochDays;
  }
};

}  // namespace

FileDates& SystemFileDates() {
  static SystemFiles files;
  return files;
}

TVersionResource& SharedVersionResource() {
  static TVersionResource reader(nullptr, fw::SystemVersionInfo());
  return reader;
}

}  // namespace setup
