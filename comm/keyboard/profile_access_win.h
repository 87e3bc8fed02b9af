// The INI seam on the system's private-profile functions.
#pragma once

#include "comm/keyboard/profile_access.h"

namespace comm {

class Win32Profile : public ProfileAccess {
 public:
  std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& fallback) override;
  int ReadInt(const std::string& file, const std::string& section, const std::string& key,
              int fallback) override;
  bool Write(const std::string& file, const std::string& section, const std::string& key,
             const std::string* value) override;
  std::optional<std::vector<std::string>> SectionKeys(const std::string& file,
                                                      const std::string& section) override;
  bool Exists(const std::string& file) override;
  std::string Resolve(const std::string& file) override;
};

Win32Profile& SystemProfiles();

}  // namespace comm
