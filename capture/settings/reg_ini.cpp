#include "capture/settings/reg_ini.h"

#include <algorithm>

#include "capture/settings/number_text.h"
#include "capture/settings/support_messages.h"

namespace capture {
namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), UpperAscii);
  return text;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && Upper(a) == Upper(b);
}

}  // namespace

bool FlagFromText(const std::string& text, const std::string& trueText, const std::string& falseText,
                  bool defaultValue) {
  if (EqualIgnoringCase(text, falseText)) return false;
  if (EqualIgnoringCase(text, trueText)) return true;
  if (const auto number = ParseRealNumber(text)) return *number != 0;
  return defaultValue;
}

TStRegIni::TStRegIni(ProfileFile& profile, const std::string& fileName) : profile_(profile) {
  if (fileName.empty()) throw EStRegIniError(kStNoIniFileOrKey);
  fileName_ = Upper(fileName);
  trueText_ = SupportMessage(kStTrueText);
  falseText_ = SupportMessage(kStFalseText);
}

std::string TStRegIni::CurrentSection() const {
  std::lock_guard guard(lock_);
  return section_;
}

void TStRegIni::EnsureSection(const std::string& section) {
  std::lock_guard guard(lock_);
  if (section.empty()) throw EStRegIniError(kStNoKeyName);
  const auto created = profile_.WriteValue(fileName_, section, kSectionProbeName, std::string(" "));
  if (!created.ok) throw EStRegIniError(kStCreateKeyFailed, created.systemError);
  if (!profile_.WriteValue(fileName_, section, kSectionProbeName, std::nullopt).ok) {
    throw EStRegIniError(kStWriteValueFailed);
  }
}

void TStRegIni::SelectSection(const std::string& section) {
  std::lock_guard guard(lock_);
  section_ = section;
}

std::string TStRegIni::ReadRaw(const std::string& name, const std::string& defaultValue) {
  return profile_.ReadValue(fileName_, section_, name, defaultValue, kReadBufferSize);
}

std::string TStRegIni::ReadText(const std::string& name, const std::string& defaultValue) {
  std::lock_guard guard(lock_);
  std::string value = ReadRaw(name, defaultValue);
  return value.empty() ? defaultValue : value;
}

std::int32_t TStRegIni::ReadNumber(const std::string& name, std::int32_t defaultValue) {
  std::lock_guard guard(lock_);
  return ParseDecimalInt32(ReadRaw(name, std::to_string(defaultValue))).value_or(defaultValue);
}

bool TStRegIni::ReadFlag(const std::string& name, bool defaultValue) {
  std::lock_guard guard(lock_);
  const std::string value = ReadRaw(name, defaultValue ? trueText_ : falseText_);
  return FlagFromText(value, trueText_, falseText_, defaultValue);
}

void TStRegIni::WriteChecked(const std::string& name, const std::string& value) {
  if (name.empty()) throw EStRegIniError(kStNoValueName);
  if (!profile_.WriteValue(fileName_, section_, name, value).ok) throw EStRegIniError(kStWriteValueFailed);
}

void TStRegIni::WriteText(const std::string& name, const std::string& value) {
  std::lock_guard guard(lock_);
  WriteChecked(name, value);
}

void TStRegIni::WriteNumber(const std::string& name, std::int32_t value) {
  std::lock_guard guard(lock_);
  WriteChecked(name, std::to_string(value));
}

void TStRegIni::WriteFlag(const std::string& name, bool value) {
  std::lock_guard guard(lock_);
  WriteChecked(name, value ? trueText_ : falseText_);
}

std::unique_ptr<TStRegIni> OpenSettingsFile(ProfileFile& profile, const std::string& fileName,
                                            const std::string& section) {
  auto settings = std::make_unique<TStRegIni>(profile, fileName);
  settings->EnsureSection(section);
  settings->SelectSection(section);
  return settings;
}

}  // namespace capture
