// A registry in memory for the installer's core tests: keys by path (case
// ignored, one leading "\" dropped), string and integer values, and keys
// chosen to refuse every write.
#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "setup/base/registry_routines.h"

namespace setup::test_support {

class MemoryRegistry : public Registry {
 public:
  using Value = std::variant<std::string, std::int32_t, double>;
  struct Key {
    std::map<std::string, Value> values;  // in name order, like a listing
  };

  // Root index and key path (upper case, no leading "\") to key.
  std::map<std::pair<int, std::string>, Key> keys;
  std::set<std::string> readOnlyKeys;  // upper-case paths

  static std::string Path(const std::string& key) {
    std::string path = !key.empty() && key[0] == '\\' ? key.substr(1) : key;
    for (char& c : path) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return path;
  }
  Key* Find(int root, const std::string& key) {
    const auto found = keys.find({root, Path(key)});
    return found == keys.end() ? nullptr : &found->second;
  }
  // The value as text: strings as they are, integers in decimal; "" when
  // missing.
  std::string Text(int root, const std::string& key, const std::string& name) {
    Key* found = Find(root, key);
    if (!found || !found->values.count(name)) return "";
    const Value& value = found->values.at(name);
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* date = std::get_if<double>(&value)) return "@" + std::to_string(*date);
    return "#" + std::to_string(std::get<std::int32_t>(value));
  }

  class Access : public RegistryAccess {
   public:
    Access(MemoryRegistry& owner, int root) : owner_(owner), root_(root) {}
    bool OpenKey(const std::string& key, bool canCreate) override {
      if (!owner_.Find(root_, key)) {
        if (!canCreate) return false;
        // Parents come into being with the key, as in the system registry.
        std::string path = Path(key);
        for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
          owner_.keys[{root_, path.substr(0, at)}];
        owner_.keys[{root_, path}];
      }
      open_ = Path(key);
      return true;
    }
    bool OpenKeyReadOnly(const std::string& key) override { return OpenKey(key, false); }
    void CloseKey() override { open_.reset(); }
    std::vector<std::string> KeyNames() override {
      std::vector<std::string> names;
      const std::string prefix = open_ && !open_->empty() ? *open_ + "\\" : "";
      for (const auto& [id, key] : owner_.keys) {
        if (id.first != root_ || id.second.size() <= prefix.size() ||
            id.second.compare(0, prefix.size(), prefix))
          continue;
        const std::string rest = id.second.substr(prefix.size());
        if (rest.find('\\') == std::string::npos) names.push_back(rest);
      }
      return names;
    }
    std::vector<std::string> ValueNames() override {
      std::vector<std::string> names;
      if (Key* key = Open())
        for (const auto& [name, value] : key->values) names.push_back(name);
      return names;
    }
    bool ValueExists(const std::string& name) override {
      Key* key = Open();
      return key && key->values.count(name);
    }
    std::optional<std::string> ReadString(const std::string& name) override {
      Key* key = Open();
      if (!key || !key->values.count(name)) return std::nullopt;
      if (const auto* text = std::get_if<std::string>(&key->values.at(name))) return *text;
      return std::nullopt;
    }
    std::optional<std::int32_t> ReadInteger(const std::string& name) override {
      Key* key = Open();
      if (!key || !key->values.count(name)) return std::nullopt;
      if (const auto* number = std::get_if<std::int32_t>(&key->values.at(name))) return *number;
      return std::nullopt;
    }
    bool WriteString(const std::string& name, const std::string& value) override {
      return Write(name, value);
    }
    bool WriteInteger(const std::string& name, std::int32_t value) override { return Write(name, value); }
    std::optional<double> ReadFloat(const std::string& name) override {
      Key* key = Open();
      if (!key || !key->values.count(name)) return std::nullopt;
      if (const auto* date = std::get_if<double>(&key->values.at(name))) return *date;
      return std::nullopt;
    }
    bool WriteFloat(const std::string& name, double value) override { return Write(name, value); }
    bool DeleteKey(const std::string& key) override {
      const std::string path = Path(key);
      for (const auto& [id, unused] : owner_.keys)
        if (id.first == root_ && id.second.size() > path.size() &&
            id.second.compare(0, path.size() + 1, path + "\\") == 0)
          return false;  // like the system: only a key without subkeys
      return owner_.keys.erase({root_, path}) > 0;
    }
    bool Flush() override { return true; }

   private:
    Key* Open() { return open_ ? owner_.Find(root_, *open_) : nullptr; }
    bool Write(const std::string& name, const Value& value) {
      Key* key = Open();
      if (!key || owner_.readOnlyKeys.count(*open_)) return false;
      key->values[name] = value;
      return true;
    }
    MemoryRegistry& owner_;
    int root_;
    std::optional<std::string> open_;
  };

  std::unique_ptr<RegistryAccess> Open(int rootIndex) override {
    if (rootIndex < 0 || rootIndex > 5) return nullptr;
    return std::make_unique<Access>(*this, rootIndex);
  }
};

}  // namespace setup::test_support
