#include "framework/version_info_win.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "framework/streams/file_stream_win.h"

namespace fw {

std::string ProgramFilePath() {
  // Paths longer than MAX_PATH are cut by the system; grow until one fits.
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::vector<char> buffer(size, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) return std::string(buffer.data(), length);
  }
  return {};
}

namespace {

class Win32VersionInfo : public VersionInfoSource {
 public:
  std::string ProgramFileName() override { return ProgramFilePath(); }

  bool FileExists(const std::string& path) override { return fw::FileExists(path); }

  LoadResult Load(const std::string& path, std::vector<std::uint8_t>& block) override {
    DWORD unused = 0;
    SetLastError(0);
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &unused);
    if (size == 0) return {LoadStep::kSizeFailed, static_cast<std::uint32_t>(GetLastError())};
    block.assign(size, 0);
    SetLastError(0);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
      return {LoadStep::kReadFailed, static_cast<std::uint32_t>(GetLastError())};
    }
    return {LoadStep::kDone, 0};
  }

  std::optional<std::vector<std::uint8_t>> Query(std::vector<std::uint8_t>& block,
                                                 const std::string& subBlock) override {
    void* value = nullptr;
    UINT length = 0;
    if (block.empty() || !VerQueryValueA(block.data(), subBlock.c_str(), &value, &length) || !value) {
      return std::nullopt;
    }
    // The value must lie within the block; its length is cut to the block.
    const auto* begin = static_cast<const std::uint8_t*>(value);
    const std::uint8_t* blockEnd = block.data() + block.size();
    if (begin < block.data() || begin >= blockEnd) return std::nullopt;
    const std::size_t available = static_cast<std::size_t>(blockEnd - begin);
    return std::vector<std::uint8_t>(begin, begin + std::min<std::size_t>(length, available));
  }

  std::string LanguageName(std::uint32_t language) override {
    char buffer[256];
    const DWORD length = VerLanguageNameA(language, buffer, sizeof buffer);
    return std::string(buffer, std::min<DWORD>(length, sizeof buffer - 1));
  }

  std::string SystemErrorText(std::uint32_t error) override {
    char buffer[256];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        error, 0, buffer, 255, nullptr);
    return std::string(buffer, length);
  }
};

}  // namespace

VersionInfoSource& SystemVersionInfo() {
  static Win32VersionInfo source;
  return source;
}

}  // namespace fw
