#include "comm/keyboard/ini_database.h"

#include <algorithm>
#include <cstring>

#include "comm/base/error_codes.h"

namespace comm {
using namespace codes;
namespace {

constexpr char kIndexSection[] = "Index";
constexpr char kDefaultsSection[] = "Defaults";
constexpr char kEntriesKey[] = "_Entries";
constexpr char kRecordMark[] = "#";

const IniField* IndexField(const IniDatabase& database) {
  for (const IniField& field : database.fields)
    if (field.isIndex) return &field;
  return nullptr;
}

void PutString(std::uint8_t* at, int size, const std::string& text) {
  std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(at, text.data(), length);
  std::memset(at + length, 0, static_cast<std::size_t>(size) - length);
}

std::string GetString(const std::uint8_t* at, int size) {
  const auto* text = reinterpret_cast<const char*>(at);
  return std::string(text, strnlen(text, static_cast<std::size_t>(size)));
}

std::int32_t GetInt(const std::uint8_t* at) {
  std::int32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

void PutInt(std::uint8_t* at, std::int32_t value) { std::memcpy(at, &value, sizeof value); }

}  // namespace

IniDatabase* CreateIniDatabase(ProfileAccess& profile, const std::string& fileName) {
  auto* database = new IniDatabase;
  database->profile = &profile;
  database->fileName = profile.Resolve(fileName);
  return database;
}

void FreeIniDatabase(IniDatabase* database) { delete database; }

int AddIniField(IniDatabase& database, const std::string& name, int size, bool isString, bool isIndex) {
  if (static_cast<int>(name.size()) > kIniFieldNameLimit) return kKeyTooLong;
  if (!isString) size = 4;
  if (size <= 0 || database.recordSize + size > kIniRecordLimit || (isIndex && size > kIniIndexLimit))
    return kDataTooLarge;
  database.fields.push_back({name, size, isString, isIndex});
  database.recordSize += size;
  return 0;
}

int AddIniStringField(IniDatabase& database, const std::string& name, int length, bool isIndex) {
  return AddIniField(database, name, length + 1, true, isIndex);
}

int WriteIniDefaults(IniDatabase& database, const std::uint8_t* defaults) {
  if (database.fields.empty()) return kNoIniFields;
  if (!database.prepared) return kIniNotPrepared;
  int offset = 0;
  for (const IniField& field : database.fields) {
    if (!field.isIndex) {
      std::string value = field.isString ? GetString(defaults + offset, field.size)
                                         : std::to_string(GetInt(defaults + offset));
      if (!database.profile->Write(database.fileName, kDefaultsSection, field.name, &value)) return kIniWrite;
    }
    offset += field.size;
  }
  return 0;
}

int iPrepareIniDatabase(IniDatabase& database, const std::uint8_t* defaults) {
  if (database.fields.empty()) return kNoIniFields;
  if (!IndexField(database)) return kNoIniIndex;
  database.defaults.assign(static_cast<std::size_t>(database.recordSize), 0);
  ProfileAccess& profile = *database.profile;
  const std::string& file = database.fileName;
  if (profile.Exists(file)) {
    int count = profile.ReadInt(file, kDefaultsSection, kEntriesKey, 0);
    database.recordCount = std::clamp(count, 0, kIniRecordCountLimit);
    int offset = 0;
    for (const IniField& field : database.fields) {
      if (!field.isIndex) {
        std::uint8_t* at = database.defaults.data() + offset;
        if (field.isString)
          PutString(at, field.size, profile.ReadString(file, kDefaultsSection, field.name, ""));
        else
          PutInt(at, profile.ReadInt(file, kDefaultsSection, field.name, 0));
      }
      offset += field.size;
    }
    database.prepared = true;
    return 0;
  }
  const std::string none = "None";
  const std::string entries = std::to_string(database.recordCount);
  if (!profile.Write(file, kIndexSection, "None", &none) ||
      !profile.Write(file, kIndexSection, "None", nullptr) ||
      !profile.Write(file, kDefaultsSection, kEntriesKey, &entries)) {
    database.defaults.clear();
    return kIniWrite;
  }
  database.prepared = true;
  if (defaults) {
    if (int code = WriteIniDefaults(database, defaults); code != 0) {
      database.prepared = false;
      database.defaults.clear();
      return code;
    }
  }
  database.recordCount = 0;
  return 0;
}

bool IniRecordExists(IniDatabase& database, const std::string& key) {
  if (!database.prepared) return false;
  return database.profile->ReadString(database.fileName, kIndexSection, key, "") == kRecordMark;
}

int ReadIniRecord(IniDatabase& database, const std::string& key, std::uint8_t* record) {
  if (database.fields.empty()) return kNoIniFields;
  if (!database.prepared) return kIniNotPrepared;
  if (!IniRecordExists(database, key)) return kRecordNotFound;
  ProfileAccess& profile = *database.profile;
  int offset = 0;
  for (const IniField& field : database.fields) {
    std::uint8_t* at = record + offset;
    const std::uint8_t* fallback = database.defaults.data() + offset;
    if (field.isIndex) {
      PutString(at, field.size, key);
    } else if (!field.isString) {
      PutInt(at, profile.ReadInt(database.fileName, key, field.name, GetInt(fallback)));
    } else {
      std::string value =
          profile.ReadString(database.fileName, key, field.name, GetString(fallback, field.size));
      PutString(at, field.size, value == kRecordMark ? std::string() : value);
    }
    offset += field.size;
  }
  return 0;
}

int IniKeyListSize(const IniDatabase& database) {
  return std::clamp(database.recordCount, 0, kIniRecordCountLimit) * kIniKeySlot + 1;
}

int ReadIniKeys(IniDatabase& database, char* buffer, int size) {
  if (!database.prepared) return kIniNotPrepared;
  if (database.recordCount <= 0) return kDatabaseEmpty;
  auto keys = database.profile->SectionKeys(database.fileName, kIndexSection);
  if (!keys || keys->empty()) return kIniRead;
  if (size <= 0) return kIniRead;
  int used = 0;
  for (const std::string& key : *keys) {
    if (!IniRecordExists(database, key)) continue;
    std::string name = key.substr(0, kIniKeySlot - 1);
    int need = static_cast<int>(name.size()) + 1;
    if (used + need + 1 > size) break;
    std::memcpy(buffer + used, name.c_str(), static_cast<std::size_t>(need));
    used += need;
  }
  buffer[used] = '\0';
  return 0;
}

int IniRecordCount(const IniDatabase& database) { return database.recordCount; }

}  // namespace comm
