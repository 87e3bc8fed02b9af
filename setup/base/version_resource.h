// The version resource of a file as the installer reads it: numeric file and
// product versions, the fixed operating-system, type and subtype texts, and
// the standard texts of one language and character set.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/component.h"
#include "framework/version_info_source.h"

namespace setup {

// The language and character-set parts of the string-table key. Their own
// namespace: the translator has a language class of the same name.
namespace versionres {

enum TLanguage {
  lnArabic,
  lnBulgarian,
  lnCatalan,
  lnTraditionalChinese,
  lnCzech,
  lnDanish,
  lnGerman,
  lnGreek,
  lnUSEnglish,
  lnCastilianSpanish,
  lnFinnish,
  lnFrench,
  lnHebrew,
  lnHungarian,
  lnIcelandic,
  lnItalian,
  lnJapanese,
  lnKorean,
  lnDutch,
  lnNorwegianBokmal,
  lnPolish,
  lnBrazilianPortuguese,
  lnRhaetoRomanic,
  lnRomanian,
  lnRussian,
  lnCroatoSerbian,
  lnSlovak,
  lnAlbanian,
  lnSwedish,
  lnThai,
  lnTurkish,
  lnUrdu,
  lnBahasa,
  lnSimplifiedChinese,
  lnSwissGerman,
  lnUKEnglish,
  lnMexicanSpanish,
  lnBelgianFrench,
  lnSwissItalian,
  lnBelgianDutch,
  lnNorwegianNynorsk,
  lnPortuguese,
  lnSerboCroatian,
  lnCanadianFrench,
  lnSwissFrench,
};

enum TCharacterSet {
  csASCII,
  csJapan,
  csKorea,
  csTaiwan,
  csUnicode,
  csLatin2,
  csCyrillic,
  csMultilingual,
  csGreek,
  csTurkish,
  csHebrew,
  csArabic,
};

// The Windows language identifier and code page they stand for.
std::uint16_t LanguageId(TLanguage language);
std::uint16_t CodePage(TCharacterSet characterSet);

}  // namespace versionres

class TVersionInfo {
 public:
  enum Text {
    kComment,
    kCompanyName,
    kFileDescription,
    kFileVersion,
    kInternalName,
    kLegalCopyright,
    kLegalTradeMarks,
    kOriginalFileName,
    kPrivateBuild,
    kProductName,
    kProductVersion,
    kSpecialBuild,
    kFileOS,
    kFileType,
    kFileSubType,
    kTextCount
  };

  const std::string& Get(Text text) const { return texts_[text]; }
  const std::string& Comment() const { return texts_[kComment]; }
  const std::string& CompanyName() const { return texts_[kCompanyName]; }
  const std::string& FileDescription() const { return texts_[kFileDescription]; }
  const std::string& FileVersion() const { return texts_[kFileVersion]; }
  const std::string& InternalName() const { return texts_[kInternalName]; }
  const std::string& LegalCopyright() const { return texts_[kLegalCopyright]; }
  const std::string& LegalTradeMarks() const { return texts_[kLegalTradeMarks]; }
  const std::string& OriginalFileName() const { return texts_[kOriginalFileName]; }
  const std::string& PrivateBuild() const { return texts_[kPrivateBuild]; }
  const std::string& ProductName() const { return texts_[kProductName]; }
  const std::string& ProductVersion() const { return texts_[kProductVersion]; }
  const std::string& SpecialBuild() const { return texts_[kSpecialBuild]; }
  const std::string& FileOS() const { return texts_[kFileOS]; }
  const std::string& FileType() const { return texts_[kFileType]; }
  const std::string& FileSubType() const { return texts_[kFileSubType]; }

 private:
  friend class TVersionResource;
  std::array<std::string, kTextCount> texts_;
};

// The texts of the fixed part's values.
std::string FileOSText(std::uint32_t fileOS);
std::string FileTypeText(std::uint32_t fileType);
std::string FileSubTypeText(std::uint32_t fileType, std::uint32_t fileSubType);

class TVersionResource : public fw::TComponent {
 public:
  // Reads the program's own file, in US English and the multilingual code page.
  TVersionResource(fw::TComponent* owner, fw::VersionInfoSource& source);

  // Each setter reads the resource again.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value);
  versionres::TLanguage Language() const { return language_; }
  void SetLanguage(versionres::TLanguage value);
  versionres::TCharacterSet CharacterSet() const { return characterSet_; }
  void SetCharacterSet(versionres::TCharacterSet value);
  const TVersionInfo& VersionInfo() const { return info_; }

  // A form keeps FileName only when it is not the program's own.
  bool FileNameStored() const;
  // "\StringFileInfo\" + language + code page, 4 upper-case hex digits each, + "\".
  std::string StringKeyPrefix() const;

 private:
  // A file without a resource, or one that cannot be read, leaves every
  // text empty; nothing is raised.
  void Read();

  fw::VersionInfoSource& source_;
  std::string fileName_;
  versionres::TLanguage language_ = versionres::lnUSEnglish;
  versionres::TCharacterSet characterSet_ = versionres::csMultilingual;
  TVersionInfo info_;
};

}  // namespace setup
