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
#include "framework/version_info_source.h"

namespace capture {

using fw::VersionInfoSource;

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
