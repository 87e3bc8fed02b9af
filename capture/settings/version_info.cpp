#include "capture/settings/version_info.h"

#include <cstdio>

#include "capture/settings/number_text.h"
#include "capture/settings/support_messages.h"

namespace capture {
namespace {

// System errors that all mean "this file has no version resource": 1813
// (resource type not found), 1812 (no resource section, also non-PE files)
// and 1814 (resource name not found).
bool MeansNoVersionInfo(std::uint32_t error) { return error == 0 || (error >= 1812 && error <= 1814); }

std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// A text value: its characters up to the first terminator.
std::string TextOf(const std::vector<std::uint8_t>& value) {
  std::string text(value.begin(), value.end());
  if (const auto end = text.find('\0'); end != std::string::npos) text.resize(end);
  return text;
}

constexpr std::size_t kFixedBlockSize = 52;  // 13 32-bit fields

}  // namespace

TStVersionInfo::TStVersionInfo(fw::TComponent* owner, VersionInfoSource& source)
    : TStComponent(owner), source_(source) {
  SetFileName("");
}

void TStVersionInfo::SetFileName(const std::string& value) {
  if (!value.empty() && !source_.FileExists(value)) throw EStVersionInfoError(kStFileOpenError);
  if (value != fileName_) loaded_ = false;
  fileName_ = value.empty() ? source_.ProgramFileName() : value;
}

void TStVersionInfo::Loaded() {
  TStComponent::Loaded();
  if (fileName_.empty()) SetFileName("");
}

std::string TStVersionInfo::LoadBlock(std::vector<std::uint8_t>& block) {
  const auto result = source_.Load(fileName_, block);
  if (result.step == VersionInfoSource::LoadStep::kSizeFailed && MeansNoVersionInfo(result.systemError)) {
    throw EStVersionInfoError(kStNoVersionInfo);
  }
  if (result.step != VersionInfoSource::LoadStep::kDone) {
    throw SystemCallError(result.systemError, source_.SystemErrorText(result.systemError));
  }
  // Without a translation there is no way to the texts: the same as no
  // version information at all.
  const auto translation = source_.Query(block, "\\VarFileInfo\\Translation");
  if (!translation || translation->size() < 4) throw EStVersionInfoError(kStNoVersionInfo);
  language_ = Le16(*translation, 0);
  codePage_ = Le16(*translation, 2);
  translationCount_ = static_cast<std::uint32_t>(translation->size() / 4);
  languageName_ = source_.LanguageName(language_);
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "StringFileInfo\\%.4x%.4x\\", language_, codePage_);
  return prefix;
}

void TStVersionInfo::LoadIfNeeded() {
  if (loaded_) return;
  std::vector<std::uint8_t> block;
  const std::string prefix = LoadBlock(block);

  fixed_ = {};
  if (const auto fixed = source_.Query(block, "\\"); fixed && fixed->size() >= kFixedBlockSize) {
    const auto& f = *fixed;
    fixed_.fileVersionMS = Le32(f, 8);
    fixed_.fileVersionLS = Le32(f, 12);
    fixed_.productVersionMS = Le32(f, 16);
    fixed_.productVersionLS = Le32(f, 20);
    fixed_.fileFlagsMask = Le32(f, 24);
    fixed_.fileFlags = Le32(f, 28);
    fixed_.fileOS = Le32(f, 32);
    fixed_.fileType = Le32(f, 36);
    fixed_.fileSubtype = Le32(f, 40);
    fixed_.fileDate = static_cast<std::uint64_t>(Le32(f, 44)) << 32 | Le32(f, 48);
  }
  for (std::size_t i = 0; i < kTextKeyCount; ++i) {
    const auto value = source_.Query(block, prefix + kTextKeyNames[i]);
    texts_[i] = value ? TextOf(*value) : std::string();
  }
  fileVersionNumber_ = VersionTextToNumber(texts_[kFileVersion]);
  productVersionNumber_ = VersionTextToNumber(texts_[kProductVersion]);
  // Only a complete load counts: a single-key read fills no texts.
  loaded_ = true;
}

std::string TStVersionInfo::KeyValue(const std::string& key) {
  std::vector<std::uint8_t> block;
  const std::string prefix = LoadBlock(block);
  const auto value = source_.Query(block, prefix + key);
  if (!value) throw EStVersionInfoError(kStVersionKeyNotFound);
  return TextOf(*value);
}

std::string TStVersionInfo::Text(TextKey key) {
  LoadIfNeeded();
  return texts_.at(key);
}

double TStVersionInfo::FileVersionNumber() {
  LoadIfNeeded();
  return fileVersionNumber_;
}

double TStVersionInfo::ProductVersionNumber() {
  LoadIfNeeded();
  return productVersionNumber_;
}

FixedVersionValues TStVersionInfo::Fixed() {
  LoadIfNeeded();
  return fixed_;
}

std::uint16_t TStVersionInfo::Language() {
  LoadIfNeeded();
  return language_;
}

std::uint16_t TStVersionInfo::CodePage() {
  LoadIfNeeded();
  return codePage_;
}

std::uint32_t TStVersionInfo::TranslationCount() {
  LoadIfNeeded();
  return translationCount_;
}

std::string TStVersionInfo::LanguageName() {
  LoadIfNeeded();
  return languageName_;
}

}  // namespace capture
