#include "setup/base/version_resource.h"

#include <cstdio>

#include "setup/base/binary_fields.h"

namespace setup {
namespace versionres {

std::uint16_t LanguageId(TLanguage language) {
  if (language <= lnBahasa) return static_cast<std::uint16_t>(1025 + language);
  switch (language) {
    case lnSimplifiedChinese:
      return 2052;
    case lnSwissGerman:
      return 2055;
    case lnUKEnglish:
      return 2057;
    case lnMexicanSpanish:
      return 2058;
    case lnBelgianFrench:
      return 2060;
    case lnSwissItalian:
      return 2064;
    case lnBelgianDutch:
      return 2067;
    case lnNorwegianNynorsk:
      return 2068;
    case lnPortuguese:
      return 2070;
    case lnSerboCroatian:
      return 2074;
    case lnCanadianFrench:
      return 3084;
    case lnSwissFrench:
      return 4108;
    default:
      return 1033;
  }
}

std::uint16_t CodePage(TCharacterSet characterSet) {
  static constexpr std::uint16_t kPages[] = {0,    932,  949,  950,  1200, 1250,
                                             1251, 1252, 1253, 1254, 1255, 1256};
  return kPages[characterSet];
}

}  // namespace versionres

namespace {

// VS_FIXEDFILEINFO: 13 32-bit fields.
constexpr std::size_t kFixedSize = 52;
constexpr std::size_t kFileVersionAt = 8, kProductVersionAt = 16, kFileOSAt = 32, kFileTypeAt = 36,
                      kFileSubTypeAt = 40;

// The string values in the order they are asked for; "FileVersion" is never
// read from the strings.
constexpr std::pair<const char*, TVersionInfo::Text> kStringValues[] = {
    {"Comment", TVersionInfo::kComment},
    {"CompanyName", TVersionInfo::kCompanyName},
    {"FileDescription", TVersionInfo::kFileDescription},
    {"InternalName", TVersionInfo::kInternalName},
    {"LegalCopyright", TVersionInfo::kLegalCopyright},
    {"LegalTradeMarks", TVersionInfo::kLegalTradeMarks},
    {"OriginalFileName", TVersionInfo::kOriginalFileName},
    {"PrivateBuild", TVersionInfo::kPrivateBuild},
    {"ProductName", TVersionInfo::kProductName},
    {"ProductVersion", TVersionInfo::kProductVersion},
    {"SpecialBuild", TVersionInfo::kSpecialBuild},
};

// "a.b.c.d" from the most and least significant halves of a version.
std::string VersionText(const std::uint8_t* at) {
  const std::uint32_t ms = binary::Get32(at), ls = binary::Get32(at + 4);
  return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) + "." +
         std::to_string(ls & 0xFFFF);
}

std::string TextOf(const std::vector<std::uint8_t>& value) {
  std::string text(value.begin(), value.end());
  if (const auto end = text.find('\0'); end != std::string::npos) text.resize(end);
  return text;
}

}  // namespace

std::string FileOSText(std::uint32_t fileOS) {
  switch (fileOS) {
    case 1:
      return "Windows 3.0 or later";
    case 2:
      return "16 bit OS/2 Presentation Manager";
    case 3:
      return "32 bit OS/2 Presentation Manager";
    case 4:
      return "32 bit Windows";
    case 0x10000:
      return "MS-Dos";
    case 0x10001:
      return "Windows 3.0 or later with MS-Dos";
    case 0x10004:
      return "32 bit Windows with MS-Dos";
    case 0x20000:
      return "16 bit OS/2";
    case 0x20002:
      return "16 bit OS/2 with Presentation Manager";
    case 0x30000:
      return "32 bit OS/2";
    case 0x30003:
      return "32 bit OS/2 with Presentation Manager";
    case 0x40000:
      return "Windows NT";
    case 0x40004:
      return "Windows NT with 32 bit Windows";
    default:
      return "Unknown";
  }
}

std::string FileTypeText(std::uint32_t fileType) {
  switch (fileType) {
    case 1:
      return "Application";
    case 2:
      return "Dynamic-Link Library";
    case 3:
      return "Device Driver";
    case 4:
      return "Font";
    case 5:
      return "Virtual Device Driver";
    case 7:
      return "Static-Link Library";
    default:
      return "Unknown";
  }
}

std::string FileSubTypeText(std::uint32_t fileType, std::uint32_t fileSubType) {
  if (fileType == 3) {
    static constexpr const char* kDrivers[] = {"Printer", "Keyboard",      "Language", "Display",
                                               "Mouse",   "Network",       "System",   "Installable",
                                               "Sound",   "Communications"};
    return fileSubType >= 1 && fileSubType <= 10 ? kDrivers[fileSubType - 1] : "Unknown";
  }
  if (fileType == 4) {
    static constexpr const char* kFonts[] = {"Raster", "Vector", "TrueType"};
    return fileSubType >= 1 && fileSubType <= 3 ? kFonts[fileSubType - 1] : "Unknown";
  }
  return "";
}

TVersionResource::TVersionResource(fw::TComponent* owner, fw::VersionInfoSource& source)
    : fw::TComponent(owner), source_(source), fileName_(source.ProgramFileName()) {
  Read();
}

void TVersionResource::SetFileName(const std::string& value) {
  fileName_ = value;
  Read();
}

void TVersionResource::SetLanguage(versionres::TLanguage value) {
  language_ = value;
  Read();
}

void TVersionResource::SetCharacterSet(versionres::TCharacterSet value) {
  characterSet_ = value;
  Read();
}

bool TVersionResource::FileNameStored() const { return fileName_ != source_.ProgramFileName(); }

std::string TVersionResource::StringKeyPrefix() const {
  char hex[9];
  std::snprintf(hex, sizeof hex, "%04X%04X", versionres::LanguageId(language_),
                versionres::CodePage(characterSet_));
  return std::string("\\StringFileInfo\\") + hex + "\\";
}

void TVersionResource::Read() {
  info_ = TVersionInfo();
  std::vector<std::uint8_t> block;
  if (source_.Load(fileName_, block).step != fw::VersionInfoSource::LoadStep::kDone) return;
  const auto fixed = source_.Query(block, "\\");
  if (!fixed || fixed->size() < kFixedSize) return;
  const std::uint8_t* f = fixed->data();
  auto& texts = info_.texts_;
  texts[TVersionInfo::kFileVersion] = VersionText(f + kFileVersionAt);
  texts[TVersionInfo::kProductVersion] = VersionText(f + kProductVersionAt);
  const std::uint32_t fileType = binary::Get32(f + kFileTypeAt);
  texts[TVersionInfo::kFileOS] = FileOSText(binary::Get32(f + kFileOSAt));
  texts[TVersionInfo::kFileType] = FileTypeText(fileType);
  texts[TVersionInfo::kFileSubType] = FileSubTypeText(fileType, binary::Get32(f + kFileSubTypeAt));
  const std::string prefix = StringKeyPrefix();
  for (const auto& [name, text] : kStringValues) {
    if (const auto value = source_.Query(block, prefix + name)) texts[text] = TextOf(*value);
  }
}

}  // namespace setup
