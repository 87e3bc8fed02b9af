// TStVersionInfo: the version resource of a file (by default the program's
// own), read once on the first use of any of its values.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "capture/settings/component.h"
#include "capture/settings/support_exceptions.h"

namespace capture {

// The system's version-resource calls (version.dll) and the few file calls
// the reader needs.
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

// The fixed part of a version resource.
struct FixedVersionValues {
  std::uint32_t fileVersionMS = 0, fileVersionLS = 0;
  std::uint32_t productVersionMS = 0, productVersionLS = 0;
  std::uint32_t fileFlagsMask = 0, fileFlags = 0;
  std::uint64_t fileDate = 0;
  std::uint32_t fileOS = 0, fileType = 0, fileSubtype = 0;
};

class TStVersionInfo : public TStComponent {
 public:
  enum TextKey {
    kComments,
    kCompanyName,
    kFileDescription,
    kFileVersion,
    kInternalName,
    kLegalCopyright,
    kLegalTrademarks,
    kOriginalFilename,
    kProductName,
    kProductVersion,
    kTextKeyCount
  };
  static constexpr std::array<const char*, kTextKeyCount> kTextKeyNames = {
      "Comments",      "CompanyName",    "FileDescription",  "FileVersion", "InternalName",
      "LegalCopyright", "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion"};

  // Starts on the program's own file.
  TStVersionInfo(fw::TComponent* owner, VersionInfoSource& source);

  const std::string& FileName() const { return fileName_; }
  // A non-empty name of no existing file raises error 73 and keeps the old
  // name; an empty name means the program's own file.
  void SetFileName(const std::string& value);
  // After the component's properties were set from a form description:
  // without a file name it reads the program's own file.
  void Loaded() override;

  // Each read loads the resource first when needed; loading failures raise
  // EStVersionInfoError (73, 100) or SystemCallError.
  std::string Text(TextKey key);
  std::string Comments() { return Text(kComments); }
  std::string CompanyName() { return Text(kCompanyName); }
  std::string FileDescription() { return Text(kFileDescription); }
  std::string FileVersion() { return Text(kFileVersion); }
  std::string InternalName() { return Text(kInternalName); }
  std::string LegalCopyright() { return Text(kLegalCopyright); }
  std::string LegalTrademarks() { return Text(kLegalTrademarks); }
  std::string OriginalFilename() { return Text(kOriginalFilename); }
  std::string ProductName() { return Text(kProductName); }
  std::string ProductVersion() { return Text(kProductVersion); }
  double FileVersionNumber();
  double ProductVersionNumber();
  FixedVersionValues Fixed();
  std::uint16_t Language();
  std::uint16_t CodePage();
  std::uint32_t TranslationCount();
  std::string LanguageName();

  // One text of the resource by its name; a missing one raises error 134.
  std::string KeyValue(const std::string& key);

 private:
  void LoadIfNeeded();
  // Steps shared by the full load and the single-key read; returns the
  // text prefix "StringFileInfo\llllcccc\".
  std::string LoadBlock(std::vector<std::uint8_t>& block);

  VersionInfoSource& source_;
  std::string fileName_;
  bool loaded_ = false;
  std::uint16_t language_ = 0;
  std::uint16_t codePage_ = 0;
  std::uint32_t translationCount_ = 0;
  std::string languageName_;
  FixedVersionValues fixed_;
  std::array<std::string, kTextKeyCount> texts_;
  double fileVersionNumber_ = 0;
  double productVersionNumber_ = 0;
};

}  // namespace capture
