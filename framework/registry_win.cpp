#include "framework/registry_win.h"

namespace fw {

TRegistry::TRegistry(HKEY root) : root_(root) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  root_ = root;
}

std::string TRegistry::RelativePath(const std::string& key) {
  return !key.empty() && key.front() == '\\' ? key.substr(1) : key;
}

bool TRegistry::Check(LONG result) {
  lastError_ = result;
  return result == ERROR_SUCCESS;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  CloseKey();
  HKEY opened = nullptr;
  const std::string path = RelativePath(key);
  const LONG result = canCreate ? RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                  KEY_ALL_ACCESS, nullptr, &opened, nullptr)
                                : RegOpenKeyExA(root_, path.c_str(), 0, KEY_ALL_ACCESS, &opened);
  if (!Check(result)) return false;
  current_ = opened;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  CloseKey();
  HKEY opened = nullptr;
  if (!Check(RegOpenKeyExA(root_, RelativePath(key).c_str(), 0, KEY_READ, &opened))) return false;
  current_ = opened;
  return true;
}

bool TRegistry::KeyExists(const std::string& key) {
  HKEY probe = nullptr;
  if (!Check(RegOpenKeyExA(root_, RelativePath(key).c_str(), 0, KEY_QUERY_VALUE, &probe))) return false;
  RegCloseKey(probe);
  return true;
}

void TRegistry::CloseKey() {
  if (current_) RegCloseKey(current_);
  current_ = nullptr;
}

bool TRegistry::DeleteKey(const std::string& key) {
  return Check(RegDeleteKeyA(root_, RelativePath(key).c_str()));
}

bool TRegistry::FlushKey() { return current_ && Check(RegFlushKey(current_)); }

std::vector<std::string> TRegistry::GetKeyNames() {
  std::vector<std::string> names;
  if (!current_) return names;
  DWORD longest = 0;
  if (!Check(RegQueryInfoKeyA(current_, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr))) {
    return names;
  }
  std::vector<char> buffer(longest + 1);
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG result =
        RegEnumKeyExA(current_, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) {  // a key added since the query
      buffer.resize(buffer.size() * 2);
      --index;
      continue;
    }
    if (result != ERROR_SUCCESS) break;
    names.emplace_back(buffer.data(), length);
  }
  return names;
}

std::vector<std::string> TRegistry::GetValueNames() {
  std::vector<std::string> names;
  if (!current_) return names;
  DWORD longest = 0;
  if (!Check(RegQueryInfoKeyA(current_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              &longest, nullptr, nullptr, nullptr))) {
    return names;
  }
  std::vector<char> buffer(longest + 1);
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG result =
        RegEnumValueA(current_, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) {
      buffer.resize(buffer.size() * 2);
      --index;
      continue;
    }
    if (result != ERROR_SUCCESS) break;
    names.emplace_back(buffer.data(), length);
  }
  return names;
}

bool TRegistry::ValueExists(const std::string& name) { return ValueType(name).has_value(); }

std::optional<DWORD> TRegistry::ValueType(const std::string& name) {
  DWORD type = 0;
  if (!current_ || !Check(RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, nullptr))) {
    return std::nullopt;
  }
  return type;
}

std::optional<std::vector<std::uint8_t>> TRegistry::ReadRaw(const std::string& name, DWORD& type) {
  if (!current_) return std::nullopt;
  // The value may grow between the size query and the read: ask again.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    if (!Check(RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, &size))) return std::nullopt;
    std::vector<std::uint8_t> bytes(size + 1);
    DWORD got = size + 1;
    const LONG result = RegQueryValueExA(current_, name.c_str(), nullptr, &type, bytes.data(), &got);
    if (result == ERROR_MORE_DATA) continue;
    if (!Check(result)) return std::nullopt;
    bytes.resize(got);
    return bytes;
  }
  return std::nullopt;
}

std::optional<std::string> TRegistry::ReadString(const std::string& name) {
  DWORD type = 0;
  const auto bytes = ReadRaw(name, type);
  if (!bytes || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
  std::string text(bytes->begin(), bytes->end());
  // Stored texts usually end with their terminator; some do not.
  if (const auto end = text.find('\0'); end != std::string::npos) text.resize(end);
  return text;
}

std::optional<std::int32_t> TRegistry::ReadInteger(const std::string& name) {
  DWORD type = 0;
  const auto bytes = ReadRaw(name, type);
  if (!bytes || type != REG_DWORD || bytes->size() != 4) return std::nullopt;
  const auto& b = *bytes;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                                   static_cast<std::uint32_t>(b[2]) << 16 |
                                   static_cast<std::uint32_t>(b[3]) << 24);
}

std::optional<std::vector<std::uint8_t>> TRegistry::ReadBinary(const std::string& name) {
  DWORD type = 0;
  auto bytes = ReadRaw(name, type);
  if (!bytes || type != REG_BINARY) return std::nullopt;
  return bytes;
}

bool TRegistry::WriteString(const std::string& name, const std::string& value) {
  if (!current_) return Check(ERROR_INVALID_HANDLE);
  return Check(RegSetValueExA(current_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1)));
}

bool TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
  if (!current_) return Check(ERROR_INVALID_HANDLE);
  const auto u = static_cast<std::uint32_t>(value);
  const BYTE bytes[4] = {static_cast<BYTE>(u), static_cast<BYTE>(u >> 8), static_cast<BYTE>(u >> 16),
                         static_cast<BYTE>(u >> 24)};
  return Check(RegSetValueExA(current_, name.c_str(), 0, REG_DWORD, bytes, sizeof bytes));
}

bool TRegistry::WriteBinary(const std::string& name, std::span<const std::uint8_t> value) {
  if (!current_) return Check(ERROR_INVALID_HANDLE);
  return Check(
      RegSetValueExA(current_, name.c_str(), 0, REG_BINARY, value.data(), static_cast<DWORD>(value.size())));
}

}  // namespace fw
