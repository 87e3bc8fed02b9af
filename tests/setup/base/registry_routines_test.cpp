// What the registry routines ask of a registry, where the real one cannot be
// risked: a faulty guard here would delete a whole root.
#include "setup/base/registry_routines.h"

#include <gtest/gtest.h>

#include <map>

namespace setup {
namespace {

// Keys as paths without the leading "\"; records every deletion.
class RecordingRegistry : public Registry {
 public:
  std::map<std::string, std::vector<std::string>> subkeys;
  std::vector<std::string> deleted;

  class Access : public RegistryAccess {
   public:
    explicit Access(RecordingRegistry& owner) : owner_(owner) {}
    bool OpenKey(const std::string& key, bool) override { return OpenKeyReadOnly(key); }
    bool OpenKeyReadOnly(const std::string& key) override {
      open_ = Path(key);
      return owner_.subkeys.count(open_) > 0;
    }
    void CloseKey() override { open_.clear(); }
    std::vector<std::string> KeyNames() override { return owner_.subkeys[open_]; }
    std::vector<std::string> ValueNames() override { return {}; }
    bool ValueExists(const std::string&) override { return false; }
    std::optional<std::string> ReadString(const std::string&) override { return std::nullopt; }
    std::optional<std::int32_t> ReadInteger(const std::string&) override { return std::nullopt; }
    bool WriteString(const std::string&, const std::string&) override { return false; }
    bool WriteInteger(const std::string&, std::int32_t) override { return false; }
    bool DeleteKey(const std::string& key) override {
      owner_.deleted.push_back(Path(key));
      return true;
    }
    bool Flush() override { return true; }

   private:
    static std::string Path(const std::string& key) {
      return !key.empty() && key[0] == '\\' ? key.substr(1) : key;
    }
    RecordingRegistry& owner_;
    std::string open_;
  };

  std::unique_ptr<RegistryAccess> Open(int rootIndex) override {
    if (rootIndex < 0 || rootIndex > 5) return nullptr;
    return std::make_unique<Access>(*this);
  }
};

TEST(RegDeleteTree, DeletesSubkeysFirstInOrder) {
  RecordingRegistry registry;
  registry.subkeys = {{"K", {"A", "B"}}, {"K\\A", {"X"}}, {"K\\A\\X", {}}, {"K\\B", {}}};
  RegDeleteTree(registry, kCurrentUser, "\\K");
  EXPECT_EQ(registry.deleted, (std::vector<std::string>{"K\\A\\X", "K\\A", "K\\B", "K"}));
}

TEST(RegDeleteTree, NeverDeletesTheRoot) {
  for (const std::string root : {"", "\\"}) {
    RecordingRegistry registry;
    registry.subkeys = {{"", {"Software"}}, {"Software", {}}};
    RegDeleteTree(registry, kLocalMachine, root);
    EXPECT_TRUE(registry.deleted.empty()) << "'" << root << "'";
  }
}

}  // namespace
}  // namespace setup
