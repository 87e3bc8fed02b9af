// The installer's registry routines on the system's registry.
#pragma once

#include <windows.h>

#include "setup/base/registry_routines.h"  // after windows.h: it undoes a macro

namespace setup {

// The system's registry; its accesses strip one leading "\" from key paths.
Registry& SystemRegistry();

// The root key of an index (nothing for another index), and back: the index
// of a predefined root key, `defaultIndex` for any other key.
HKEY RootKeyOfIndex(int rootIndex);
int RootKeyIndex(HKEY rootKey, int defaultIndex);

inline void RegWriteString(int rootIndex, const std::string& key, const std::string& name,
                           const std::string& value) {
  RegWriteString(SystemRegistry(), rootIndex, key, name, value);
}
inline void RegWriteInteger(int rootIndex, const std::string& key, const std::string& name,
                            std::int32_t value) {
  RegWriteInteger(SystemRegistry(), rootIndex, key, name, value);
}
inline std::string RegReadString(int rootIndex, const std::string& key, const std::string& name,
                                 const std::string& defaultValue) {
  return RegReadString(SystemRegistry(), rootIndex, key, name, defaultValue);
}
inline std::int32_t RegReadInteger(int rootIndex, const std::string& key, const std::string& name,
                                   std::int32_t defaultValue) {
  return RegReadInteger(SystemRegistry(), rootIndex, key, name, defaultValue);
}
inline void RegDeleteTree(int rootIndex, const std::string& key) {
  RegDeleteTree(SystemRegistry(), rootIndex, key);
}
inline bool AddRunOnceValue(const std::string& name, const std::string& command, bool unique) {
  return AddRunOnceValue(SystemRegistry(), name, command, unique);
}

}  // namespace setup
