#include "setup/base/registry_routines.h"

#include "framework/format.h"
#include "setup/base/exceptions.h"
#include "setup/base/text_routines.h"

namespace setup {
namespace {

constexpr int kRunOnceSuffixes = 1000;

// Reads through an access opened for reading only.
template <class Read>
auto ReadValue(Registry& registry, int rootIndex, const std::string& key, Read read)
    -> decltype(read(std::declval<RegistryAccess&>())) {
  const auto access = registry.Open(rootIndex);
  if (!access || !access->OpenKeyReadOnly(key)) return std::nullopt;
  auto value = read(*access);
  access->CloseKey();
  return value;
}

void DeleteTree(Registry& registry, int rootIndex, const std::string& key) {
  std::vector<std::string> subkeys;
  {
    const auto access = registry.Open(rootIndex);
    if (!access || !access->OpenKeyReadOnly(key)) return;
    // All names first: deleting while listing would skip keys.
    subkeys = access->KeyNames();
    access->CloseKey();
  }
  for (const std::string& subkey : subkeys) DeleteTree(registry, rootIndex, AddBackslash(key) + subkey);
  if (const auto access = registry.Open(rootIndex)) access->DeleteKey(key);
}

}  // namespace

void RegWriteString(Registry& registry, int rootIndex, const std::string& key, const std::string& name,
                    const std::string& value) {
  const auto access = registry.Open(rootIndex);
  if (!access || !access->OpenKey(key, true) || !access->WriteString(name, value)) {
    throw EIRCannotWriteValue(
        fw::Format("Cannot install into registry. Key: %s Ident: %s Value %s", {key, name, value}));
  }
  access->CloseKey();
}

void RegWriteInteger(Registry& registry, int rootIndex, const std::string& key, const std::string& name,
                     std::int32_t value) {
  const auto access = registry.Open(rootIndex);
  if (!access || !access->OpenKey(key, true) || !access->WriteInteger(name, value))
    throw EIRCannotWriteValue(key);
  access->CloseKey();
}

std::string RegReadString(Registry& registry, int rootIndex, const std::string& key, const std::string& name,
                          const std::string& defaultValue) {
  return ReadValue(registry, rootIndex, key, [&](RegistryAccess& a) { return a.ReadString(name); })
      .value_or(defaultValue);
}

std::int32_t RegReadInteger(Registry& registry, int rootIndex, const std::string& key,
                            const std::string& name, std::int32_t defaultValue) {
  return ReadValue(registry, rootIndex, key, [&](RegistryAccess& a) { return a.ReadInteger(name); })
      .value_or(defaultValue);
}

void RegDeleteTree(Registry& registry, int rootIndex, const std::string& key) {
  // "" and "\" name the root: deleting "its tree" would empty the whole root.
  if (key.empty() || key == "\\") return;
  try {
    DeleteTree(registry, rootIndex, key);
  } catch (...) {
  }
}

bool AddRunOnceValue(Registry& registry, const std::string& name, const std::string& command, bool unique) {
  const auto access = registry.Open(kLocalMachine);
  if (!access || !access->OpenKey(kRunOnceKey, true)) return false;
  std::string valueName = name;
  if (unique) {
    int suffix = 0;
    while (access->ValueExists(valueName)) {
      if (++suffix > kRunOnceSuffixes) return false;
      valueName = name + std::to_string(suffix);
    }
  }
  const bool written = access->WriteString(valueName, command);
  access->Flush();
  access->CloseKey();
  return written;
}

}  // namespace setup
