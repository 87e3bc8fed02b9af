// The system's version-resource calls (version.dll) and the few file calls a
// version reader needs, behind an interface so that the readers' rules are
// plain code and testable without the system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fw {

class VersionInfoSource {
 public:
  enum class LoadStep { kDone, kSizeFailed, kReadFailed };
  struct LoadResult {
    LoadStep step;
    std::uint32_t systemError;  // when not done
  };

  virtual ~VersionInfoSource() = default;
  // The full path of the program file; "" when the system cannot give it.
  virtual std::string ProgramFileName() = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // Reads the file's whole version information into `block`.
  virtual LoadResult Load(const std::string& path, std::vector<std::uint8_t>& block) = 0;
  // One value of a block filled by Load (VerQueryValue): its bytes, cut to
  // the block, or nothing when the value is missing. Texts come in the ANSI
  // code page.
  virtual std::optional<std::vector<std::uint8_t>> Query(std::vector<std::uint8_t>& block,
                                                         const std::string& subBlock) = 0;
  virtual std::string LanguageName(std::uint32_t language) = 0;
  virtual std::string SystemErrorText(std::uint32_t error) = 0;
};

}  // namespace fw
