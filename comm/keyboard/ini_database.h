// Records of fixed fields kept in an INI file: an "Index" section lists the
// record keys, "Defaults" holds the count and one default per field, and each
// record has a section of its own named by its key. Only the reading side is
// used; the file itself is reached through a ProfileAccess.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "comm/keyboard/profile_access.h"

namespace comm {

inline constexpr int kIniFieldNameLimit = 21;
inline constexpr int kIniRecordLimit = 65520;
inline constexpr int kIniIndexLimit = 32;
// Key names in the list take at most 30 characters and a terminating zero.
inline constexpr int kIniKeySlot = 31;
// More records than this are not believed: the count comes from the file.
inline constexpr int kIniRecordCountLimit = 4096;

struct IniField {
  std::string name;
  int size = 0;
  bool isString = true;
  bool isIndex = false;
};

struct IniDatabase {
  std::string fileName;  // resolved to a full path once, for every access
  ProfileAccess* profile = nullptr;
  std::vector<IniField> fields;
  int recordSize = 0;
  int recordCount = 0;
  std::vector<std::uint8_t> defaults;
  bool prepared = false;
};

IniDatabase* CreateIniDatabase(ProfileAccess& profile, const std::string& fileName);
void FreeIniDatabase(IniDatabase* database);
int AddIniField(IniDatabase& database, const std::string& name, int size, bool isString, bool isIndex);
int AddIniStringField(IniDatabase& database, const std::string& name, int length, bool isIndex);
int iPrepareIniDatabase(IniDatabase& database, const std::uint8_t* defaults);
int WriteIniDefaults(IniDatabase& database, const std::uint8_t* defaults);
bool IniRecordExists(IniDatabase& database, const std::string& key);
int ReadIniRecord(IniDatabase& database, const std::string& key, std::uint8_t* record);
int IniKeyListSize(const IniDatabase& database);
// The keys of "Index" whose value is "#", each zero-terminated, then an empty
// one. Keys that do not fit in `size` are left out.
int ReadIniKeys(IniDatabase& database, char* buffer, int size);
int IniRecordCount(const IniDatabase& database);

}  // namespace comm
