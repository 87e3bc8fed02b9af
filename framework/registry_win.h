// A thin registry access: one predefined root and at most one open key.
// Key paths always count from the root; one leading "\" is removed, because
// the system refuses a subkey path that begins with one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fw {

class TRegistry {
 public:
  explicit TRegistry(HKEY root = HKEY_CURRENT_USER);
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return root_; }
  // Closes the open key first.
  void SetRootKey(HKEY root);
  HKEY CurrentKey() const { return current_; }
  // The system's error code of the last call that failed.
  LONG LastError() const { return lastError_; }

  // Opens the key for reading and writing, creating it (and the keys on its
  // way) when `canCreate` is set; closes the key that was open before.
  bool OpenKey(const std::string& key, bool canCreate);
  // Opens an existing key for reading only; never creates one.
  bool OpenKeyReadOnly(const std::string& key);
  bool KeyExists(const std::string& key);
  void CloseKey();
  // Deletes a key that has no subkeys.
  bool DeleteKey(const std::string& key);
  // Writes the open key to disk now.
  bool FlushKey();

  // Names of the open key's direct subkeys and values, in the system's order.
  std::vector<std::string> GetKeyNames();
  std::vector<std::string> GetValueNames();
  bool ValueExists(const std::string& name);
  // The value's registry type (REG_SZ, REG_DWORD, ...), nothing when missing.
  std::optional<DWORD> ValueType(const std::string& name);

  // Reads give nothing when the value is missing or of another type.
  std::optional<std::string> ReadString(const std::string& name);                // REG_SZ, REG_EXPAND_SZ
  std::optional<std::int32_t> ReadInteger(const std::string& name);              // REG_DWORD
  std::optional<std::vector<std::uint8_t>> ReadBinary(const std::string& name);  // REG_BINARY
  bool WriteString(const std::string& name, const std::string& value);           // as REG_SZ
  bool WriteInteger(const std::string& name, std::int32_t value);                // as REG_DWORD
  bool WriteBinary(const std::string& name, std::span<const std::uint8_t> value);

 private:
  static std::string RelativePath(const std::string& key);
  bool Check(LONG result);
  // The raw bytes and type of a value of the open key.
  std::optional<std::vector<std::uint8_t>> ReadRaw(const std::string& name, DWORD& type);

  HKEY root_;
  HKEY current_ = nullptr;
  LONG lastError_ = ERROR_SUCCESS;
};

}  // namespace fw
