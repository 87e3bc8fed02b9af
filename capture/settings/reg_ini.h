// TStRegIni: typed reads and writes of named values in one section of an
// INI-format settings file. Reads never fail (missing or malformed values
// give the caller's default); failed writes raise EStRegIniError. Every
// operation is serialised by the object's own lock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "capture/settings/support_exceptions.h"

namespace capture {

// The profile-file calls (GetPrivateProfileStringA, WritePrivateProfileStringA).
class ProfileFile {
 public:
  struct WriteResult {
    bool ok;
    std::uint32_t systemError;  // when not ok
  };

  virtual ~ProfileFile() = default;
  // The value, or `defaultValue` when the key is missing; at most
  // bufferSize - 1 characters.
  virtual std::string ReadValue(const std::string& file, const std::string& section, const std::string& name,
                                const std::string& defaultValue, std::size_t bufferSize) = 0;
  // Writes the value, or deletes the key when there is none.
  virtual WriteResult WriteValue(const std::string& file, const std::string& section, const std::string& name,
                                 const std::optional<std::string>& value) = 0;
};

class TStRegIni {
 public:
  static constexpr std::size_t kReadBufferSize = 1024;
  // Written and deleted again to make a section exist.
  static constexpr const char* kSectionProbeName = "$ABC123098FED";

  // An empty file name raises error 2. The name is kept upper-cased.
  TStRegIni(ProfileFile& profile, const std::string& fileName);
  TStRegIni(const TStRegIni&) = delete;
  TStRegIni& operator=(const TStRegIni&) = delete;

  const std::string& FileName() const { return fileName_; }
  std::string CurrentSection() const;

  // Creates the section in the file when missing (and the file with it).
  void EnsureSection(const std::string& section);
  void SelectSection(const std::string& section);

  std::string ReadText(const std::string& name, const std::string& defaultValue);
  std::int32_t ReadNumber(const std::string& name, std::int32_t defaultValue);
  bool ReadFlag(const std::string& name, bool defaultValue);

  void WriteText(const std::string& name, const std::string& value);
  void WriteNumber(const std::string& name, std::int32_t value);
  void WriteFlag(const std::string& name, bool value);

 private:
  std::string ReadRaw(const std::string& name, const std::string& defaultValue);
  void WriteChecked(const std::string& name, const std::string& value);

  ProfileFile& profile_;
  mutable std::mutex lock_;
  std::string trueText_;
  std::string falseText_;
  std::string section_;
  std::string fileName_;
};

// A flag value as read from the file: "TRUE"/"FALSE" (any case, as given by
// the two texts), else a real number that is not 0, else the default.
bool FlagFromText(const std::string& text, const std::string& trueText, const std::string& falseText,
                  bool defaultValue);

// Opens the settings in `fileName`: creates the object, makes sure the
// section exists and selects it.
std::unique_ptr<TStRegIni> OpenSettingsFile(ProfileFile& profile, const std::string& fileName,
                                            const std::string& section);

}  // namespace capture
