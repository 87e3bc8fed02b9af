#include "setup/base/registry_win.h"

#include <array>
#include <cstring>

#include "framework/registry_win.h"

namespace setup {
namespace {

const std::array<HKEY, 6> kRoots = {HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER,
                                    HKEY_DYN_DATA,     HKEY_LOCAL_MACHINE,  HKEY_USERS};

class SystemAccess : public RegistryAccess {
 public:
  explicit SystemAccess(HKEY root) : registry_(root) {}
  bool OpenKey(const std::string& key, bool canCreate) override { return registry_.OpenKey(key, canCreate); }
  bool OpenKeyReadOnly(const std::string& key) override { return registry_.OpenKeyReadOnly(key); }
  void CloseKey() override { registry_.CloseKey(); }
  std::vector<std::string> KeyNames() override { return registry_.GetKeyNames(); }
  std::vector<std::string> ValueNames() override { return registry_.GetValueNames(); }
  bool ValueExists(const std::string& name) override { return registry_.ValueExists(name); }
  std::optional<std::string> ReadString(const std::string& name) override {
    return registry_.ReadString(name);
  }
  std::optional<std::int32_t> ReadInteger(const std::string& name) override {
    return registry_.ReadInteger(name);
  }
  bool WriteString(const std::string& name, const std::string& value) override {
    return registry_.WriteString(name, value);
  }
  bool WriteInteger(const std::string& name, std::int32_t value) override {
    return registry_.WriteInteger(name, value);
  }
  bool DeleteKey(const std::string& key) override { return registry_.DeleteKey(key); }
  bool Flush() override { return registry_.FlushKey(); }
  std::optional<double> ReadFloat(const std::string& name) override {
    const auto bytes = registry_.ReadBinary(name);
    if (!bytes || bytes->size() != sizeof(double)) return std::nullopt;
    double value;
    std::memcpy(&value, bytes->data(), sizeof value);
    return value;
  }
  bool WriteFloat(const std::string& name, double value) override {
    std::uint8_t bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    return registry_.WriteBinary(name, bytes);
  }

 private:
  fw::TRegistry registry_;
};

class SystemRegistryRoots : public Registry {
 public:
  std::unique_ptr<RegistryAccess> Open(int rootIndex) override {
    const HKEY root = RootKeyOfIndex(rootIndex);
    if (!root) return nullptr;
    return std::make_unique<SystemAccess>(root);
  }
};

}  // namespace

Registry& SystemRegistry() {
  static SystemRegistryRoots registry;
  return registry;
}

HKEY RootKeyOfIndex(int rootIndex) {
  return rootIndex >= 0 && rootIndex < static_cast<int>(kRoots.size())
             ? kRoots[static_cast<std::size_t>(rootIndex)]
             : nullptr;
}

int RootKeyIndex(HKEY rootKey, int defaultIndex) {
  for (std::size_t i = 0; i < kRoots.size(); ++i) {
    if (kRoots[i] == rootKey) return static_cast<int>(i);
  }
  return defaultIndex;
}

}  // namespace setup
