// The installer's registry routines. Each call opens its own access with the
// root of the given index and closes it before it returns. Key paths count
// from the root ("\Software\..." and "Software\..." are the same key).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// winreg.h names a macro RegDeleteTree; the routine here keeps its own name.
#ifdef RegDeleteTree
#undef RegDeleteTree
#endif

namespace setup {

// Root index: 0 HKEY_CLASSES_ROOT, 1 HKEY_CURRENT_CONFIG, 2 HKEY_CURRENT_USER,
// 3 HKEY_DYN_DATA, 4 HKEY_LOCAL_MACHINE, 5 HKEY_USERS.
enum RootIndex : int {
  kClassesRoot = 0,
  kCurrentConfig = 1,
  kCurrentUser = 2,
  kDynData = 3,
  kLocalMachine = 4,
  kUsers = 5,
};

// One access under one root, with at most one open key.
class RegistryAccess {
 public:
  virtual ~RegistryAccess() = default;
  virtual bool OpenKey(const std::string& key, bool canCreate) = 0;
  virtual bool OpenKeyReadOnly(const std::string& key) = 0;
  virtual void CloseKey() = 0;
  virtual std::vector<std::string> KeyNames() = 0;
  virtual std::vector<std::string> ValueNames() = 0;
  virtual bool ValueExists(const std::string& name) = 0;
  // Nothing when the value is missing or of another type.
  virtual std::optional<std::string> ReadString(const std::string& name) = 0;
  virtual std::optional<std::int32_t> ReadInteger(const std::string& name) = 0;
  virtual bool WriteString(const std::string& name, const std::string& value) = 0;
  virtual bool WriteInteger(const std::string& name, std::int32_t value) = 0;
  virtual bool DeleteKey(const std::string& key) = 0;
  virtual bool Flush() = 0;
  // A date as 8 raw bytes of a double (REG_BINARY); nothing when missing or
  // of another size.
  virtual std::optional<double> ReadFloat(const std::string& name) {
    (void)name;
    return std::nullopt;
  }
  virtual bool WriteFloat(const std::string& name, double value) {
    (void)name;
    (void)value;
    return false;
  }
};

class Registry {
 public:
  virtual ~Registry() = default;
  // An access under the root of the index; nothing for an unknown index.
  virtual std::unique_ptr<RegistryAccess> Open(int rootIndex) = 0;
};

// Write the value, creating the key when missing. A failure raises
// EIRCannotWriteValue: for a text "Cannot install into registry. Key: %s
// Ident: %s Value %s", for an integer the key.
void RegWriteString(Registry& registry, int rootIndex, const std::string& key, const std::string& name,
                    const std::string& value);
void RegWriteInteger(Registry& registry, int rootIndex, const std::string& key, const std::string& name,
                     std::int32_t value);

// The value, or the default when the key or value is missing, of another
// type, or unreadable. Never creates the key.
std::string RegReadString(Registry& registry, int rootIndex, const std::string& key, const std::string& name,
                          const std::string& defaultValue);
std::int32_t RegReadInteger(Registry& registry, int rootIndex, const std::string& key,
                            const std::string& name, std::int32_t defaultValue);

// Deletes the key with all its subkeys; every failure is ignored. An empty
// key path (the root itself) is never deleted.
void RegDeleteTree(Registry& registry, int rootIndex, const std::string& key);

// Writes `command` as a value of HKEY_LOCAL_MACHINE's RunOnce key. With
// `unique` the name gets the first free suffix of "", 1, 2, ... (at most
// 1000 tries); without, an existing value is replaced. False when the key
// cannot be opened, no name is free or the write fails.
bool AddRunOnceValue(Registry& registry, const std::string& name, const std::string& command, bool unique);

constexpr char kRunOnceKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

}  // namespace setup
