#include "comm/base/string_resource.h"

#include <algorithm>
#include <array>

namespace comm {
namespace {

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
  return upper;
}

std::unique_ptr<TAdStringResource>& MessagesReader() {
  static std::unique_ptr<TAdStringResource> reader;
  return reader;
}

[[noreturn]] void Fail(ReaderMessage id, std::string_view placeholder = {}, std::string_view value = {}) {
  std::string text = ReaderMessageText(id);
  if (!placeholder.empty()) text = FillPlaceholder(std::move(text), placeholder, value);
  throw ECvsStringResourceError(std::move(text));
}

}  // namespace

void MemoryResourceModule::Add(std::string name, std::vector<std::uint8_t> bytes) {
  tables_[UpperAscii(name)] = std::move(bytes);
}

ResourceModule::FindResult MemoryResourceModule::Find(const std::string& name,
                                                      std::span<const std::uint8_t>& bytes) {
  const auto found = tables_.find(UpperAscii(name));
  if (found == tables_.end()) return FindResult::kNotFound;
  bytes = found->second;
  return FindResult::kFound;
}

std::string MemoryResourceModule::ToAnsi(std::u16string_view text) {
  std::string ansi;
  ansi.reserve(text.size());
  for (char16_t unit : text) ansi.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  return ansi;
}

TAdStringResource::TAdStringResource(ResourceModule& module, std::string_view resourceName) {
  if (!resourceName.empty()) Open(module, resourceName);
}

void TAdStringResource::Open(ResourceModule& module, std::string_view resourceName) {
  Close();
  module_ = &module;
  name_ = std::string(resourceName.substr(0, kMaxNameLength));
  std::span<const std::uint8_t> bytes;
  switch (module.Find(name_, bytes)) {
    case ResourceModule::FindResult::kFound:
      break;
    case ResourceModule::FindResult::kNotFound:
      Fail(ReaderMessage::kResourceNotFound, "%s", name_);
    case ResourceModule::FindResult::kNotLoaded:
      Fail(ReaderMessage::kCannotOpen, "%s", name_);
    case ResourceModule::FindResult::kNotLocked:
      Fail(ReaderMessage::kCannotLock);
  }
  // A damaged index is as unusable as a wrong magic; both get the same message.
  if (table_.Attach(bytes) != Str0Table::AttachResult::kOk) Fail(ReaderMessage::kInvalidResource);
}

void TAdStringResource::Close() { table_.Detach(); }

std::string TAdStringResource::LookupText(std::uint32_t id) const {
  if (table_.Attached()) {
    if (const auto text = table_.Find(id)) return module_->ToAnsi(*text);
  }
  if (ReportMissing) Fail(ReaderMessage::kStringNotFound, "%d", std::to_string(id));
  return {};
}

std::string ReaderMessageText(ReaderMessage id) {
  static constexpr std::array<const char*, 5> kBuiltIn = {
      "String not found: %d", "Cannot lock resource", "String resource not found: %s",
      "Unable to open string resource: %s", "Invalid CVString resource"};
  const auto index = static_cast<std::uint32_t>(id) - 1;
  if (const auto& reader = MessagesReader(); reader && reader->IsOpen()) {
    std::string text = reader->LookupText(static_cast<std::uint32_t>(id));
    if (!text.empty()) return text;
  }
  return index < kBuiltIn.size() ? kBuiltIn[index] : "";
}

std::string FillPlaceholder(std::string text, std::string_view placeholder, std::string_view value) {
  if (const auto at = text.find(placeholder); at != std::string::npos) {
    text.replace(at, placeholder.size(), value);
  }
  return text;
}

void StartReaderMessages(ResourceModule& module) {
  auto reader = std::make_unique<TAdStringResource>(module, std::string_view{});
  try {
    reader->Open(module, "ADSRMGR_STRINGS");
  } catch (const ECvsStringResourceError&) {
    return;  // the built-in texts serve
  }
  MessagesReader() = std::move(reader);
}

void FinishReaderMessages() { MessagesReader().reset(); }

}  // namespace comm
