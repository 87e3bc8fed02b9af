// The keyboard map and its INI record database, through the profile seam the
// executable provides (plain files natively, the system's functions under Wine).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "comm/base/error_codes.h"
#include "comm/keyboard/key_map.h"
#include "framework/exceptions.h"
#include "tests/comm/keyboard/key_map_test_profile.h"

using namespace comm::codes;
namespace {

using comm::KeyMap;

std::vector<std::string> Names(const KeyMap& map) {
  std::vector<std::string> names;
  for (const char* at = map.names.data(); *at; at += std::strlen(at) + 1) names.emplace_back(at);
  return names;
}

TKeyEmuRecord NoModifiers() {
  TKeyEmuRecord record{};
  return record;
}

std::string Mapped(const TKeyEmuRecord& record) {
  return std::string(reinterpret_cast<const char*>(record.MappedText + 1), record.MappedText[0]);
}

class KeyMapFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(comm::OpenKeyMap(TestProfile(), "AWKEYBRD.INI", map), 0); }
  void TearDown() override { comm::FreeKeyMap(map); }
  void Load(const char* type) {
    comm::SelectKeyMapEmulator(*map, type);
    ASSERT_EQ(comm::LoadKeyMapKeys(*map), 0);
  }
  KeyMap* map = nullptr;
};

TEST_F(KeyMapFile, ListsOnlyKeysMarkedAsRecords) {
  EXPECT_EQ(comm::KeyMapRecordCount(*map), 2);
  ASSERT_EQ(comm::LoadKeyMapNames(*map), 0);
  EXPECT_EQ(Names(*map), (std::vector<std::string>{"VT100", "ANSI"}));
}

TEST_F(KeyMapFile, ParsesEntriesOfTheSelectedRecord) {
  Load("VT100");
  struct Case {
    int entry, code, shift;
    const char* text;
  } cases[] = {
      {2, 65, 0, "A"},                                       // empty shift code
      {3, 65, 0, "X"},                                       // no second comma: the rest is the text
      {4, 0, 0, ""},                                         // no comma: cleared
      {5, 112, 14, "HELLO"}, {9, 114, 14, "ABCDEFGHIJKLM"},  // the entry is read as at most 20 characters
      {10, 0, 0, ""},                                        // missing entry reads as its (empty) default
      {11, 0, 0, ""},                                        // "#" reads as empty
  };
  for (const Case& c : cases) {
    const comm::KeyEntry& entry = map->keys[static_cast<std::size_t>(c.entry - 1)];
    EXPECT_EQ(entry.code, c.code) << "Key" << c.entry;
    EXPECT_EQ(entry.shift, c.shift) << "Key" << c.entry;
    EXPECT_EQ(entry.text, c.text) << "Key" << c.entry;
  }
}

TEST_F(KeyMapFile, NonDecimalNumberIsAConversionError) {
  comm::SelectKeyMapEmulator(*map, "ANSI");
  EXPECT_THROW(comm::LoadKeyMapKeys(*map), fw::EConvertError);
}

TEST_F(KeyMapFile, UnknownRecordIsNotFound) {
  comm::SelectKeyMapEmulator(*map, "NOTREC");
  EXPECT_EQ(comm::LoadKeyMapKeys(*map), comm::codes::kRecordNotFound);
}

TEST_F(KeyMapFile, TranslatesKeysByCodeShiftAndOptions) {
  Load("VT100");
  struct Case {
    const char* what;
    std::uint16_t key;
    bool shiftDown, allKeys, extended;
    bool mapped;
    const char* text;
  } cases[] = {
      {"F1 without extended keys", 112, false, false, false, false, ""},
      {"F1 with extended keys", 112, false, false, true, true, "HELLO"},
      {"Shift+F1", 112, true, false, true, true, "SHIFTED F1"},
      {"A without all keys", 65, false, false, false, false, ""},
      {"Shift+A with all keys (shift 6 is not in the map)", 65, true, true, false, false, ""},
      {"F2: the higher-numbered entry wins", 113, false, false, true, true, "SECOND"},
  };
  for (const Case& c : cases) {
    map->processAllKeys = c.allKeys;
    map->processExtended = c.extended;
    TKeyEmuRecord record = NoModifiers();
    if (c.shiftDown) record.KeyboardState[16] = 0x80;
    comm::TranslateKey(*map, c.key, record);
    EXPECT_EQ(record.Mapped != 0, c.mapped) << c.what;
    if (c.mapped) {
      EXPECT_EQ(Mapped(record), c.text) << c.what;
    }
  }
}

TEST(KeyMapTranslate, ShiftCodeCountsModifiersThatAreUp) {
  KeyMap map;
  struct Case {
    int down;
    int shift;
  } cases[] = {{0, 14}, {16, 6}, {17, 12}, {18, 10}};
  for (const Case& c : cases) {
    TKeyEmuRecord record{};
    if (c.down) record.KeyboardState[c.down] = 0x81;
    comm::TranslateKey(map, 112, record);
    EXPECT_EQ(record.ShiftMap, c.shift) << "down " << c.down;
  }
}

TEST(KeyMapTranslate, ModifierAndLockKeysLeaveTheKeyCodeAlone) {
  KeyMap map;
  for (std::uint16_t key : {16, 17, 18, 20, 144}) {
    TKeyEmuRecord record{};
    record.KeyCode = 999;
    record.Mapped = record.Extended = 1;
    comm::TranslateKey(map, key, record);
    EXPECT_EQ(record.KeyCode, 999) << key;
    EXPECT_EQ(record.Mapped, 0u);
    EXPECT_EQ(record.Extended, 0u);
  }
}

TEST(KeyMapTranslate, ExtendedKeysAreNavigationAndFunctionKeys) {
  KeyMap map;
  for (int key = 1; key < 256; ++key) {
    if (key == 16 || key == 17 || key == 18 || key == 20 || key == 144) continue;
    TKeyEmuRecord record{};
    comm::TranslateKey(map, static_cast<std::uint16_t>(key), record);
    bool extended = (key >= 33 && key <= 40) || (key >= 112 && key <= 123);
    EXPECT_EQ(record.Extended, extended ? 0xFFFFFFFFu : 0u) << key;
    EXPECT_EQ(record.KeyCode, key);
  }
}

TEST(KeyEntryParse, Table) {
  struct Case {
    const char* entry;
    int code, shift;
    const char* text;
  } cases[] = {{"112,14,HELLO", 112, 14, "HELLO"},
               {"65,,A", 65, 0, "A"},
               {"65,X", 65, 0, "X"},
               {"X", 0, 0, ""},
               {"1,2,123456789012345678901234", 1, 2, "12345678901234567890"},
               {"9,14,a,b", 9, 14, "a,b"}};
  for (const Case& c : cases) {
    comm::KeyEntry entry = comm::ParseKeyEntry(c.entry);
    EXPECT_EQ(entry.code, c.code) << c.entry;
    EXPECT_EQ(entry.shift, c.shift) << c.entry;
    EXPECT_EQ(entry.text, c.text) << c.entry;
  }
  EXPECT_THROW(comm::ParseKeyEntry("abc,1,X"), fw::EConvertError);
  EXPECT_THROW(comm::ParseKeyEntry("65,1x,X"), fw::EConvertError);
}

TEST(KeyMapOpen, MissingFileIsCreatedEmpty) {
  // A path, not a bare name: a bare name that exists nowhere is made where the system keeps profiles.
  const std::string name = "./created_keymap.ini";
  std::remove(name.c_str());
  KeyMap* map = nullptr;
  ASSERT_EQ(comm::OpenKeyMap(TestProfile(), name, map), 0);
  EXPECT_EQ(comm::KeyMapRecordCount(*map), 0);
  EXPECT_EQ(comm::LoadKeyMapNames(*map), comm::codes::kDatabaseEmpty);
  comm::FreeKeyMap(map);
  std::ifstream in(name, std::ios::binary);
  ASSERT_TRUE(in.good());
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[Index]"), std::string::npos) << text;
  EXPECT_NE(text.find("_Entries=0"), std::string::npos) << text;
  EXPECT_EQ(text.find("None"), std::string::npos) << text;
}

TEST(KeyMapOpen, ASingleRecordIsListed) {
  const std::string name = "one_record.ini";
  std::ofstream(name, std::ios::binary)
      << "[Index]\r\nONLY=#\r\n[Defaults]\r\n_Entries=1\r\n[ONLY]\r\nKey1=112,14,F\r\n";
  KeyMap* map = nullptr;
  ASSERT_EQ(comm::OpenKeyMap(TestProfile(), name, map), 0);
  ASSERT_EQ(comm::LoadKeyMapNames(*map), 0);
  EXPECT_EQ(Names(*map), std::vector<std::string>{"ONLY"});
  comm::FreeKeyMap(map);
}

TEST(KeyMapOpen, AbsurdRecordCountsAreBounded) {
  struct Case {
    const char* entries;
    int expected;
  } cases[] = {{"-5", 0}, {"999999999", comm::kIniRecordCountLimit}, {"junk", 0}};
  for (const Case& c : cases) {
    const std::string name = "bad_count.ini";
    std::ofstream(name, std::ios::binary)
        << "[Index]\r\nA=#\r\n[Defaults]\r\n_Entries=" << c.entries << "\r\n";
    KeyMap* map = nullptr;
    ASSERT_EQ(comm::OpenKeyMap(TestProfile(), name, map), 0);
    EXPECT_EQ(comm::KeyMapRecordCount(*map), c.expected) << c.entries;
    EXPECT_LE(comm::IniKeyListSize(*map->database), comm::kIniRecordCountLimit * comm::kIniKeySlot + 1);
    if (c.expected > 0) {
      ASSERT_EQ(comm::LoadKeyMapNames(*map), 0);
      EXPECT_EQ(Names(*map), std::vector<std::string>{"A"});
    }
    comm::FreeKeyMap(map);
  }
}

TEST(IniDatabaseFields, LimitsOnNamesAndSizes) {
  comm::IniDatabase* database = comm::CreateIniDatabase(TestProfile(), "unused.ini");
  EXPECT_EQ(comm::AddIniStringField(*database, std::string(22, 'n'), 5, false), comm::codes::kKeyTooLong);
  EXPECT_EQ(comm::AddIniField(*database, "Index", 33, true, true), comm::codes::kDataTooLarge);
  EXPECT_EQ(comm::AddIniField(*database, "Index", 32, true, true), 0);
  EXPECT_EQ(comm::AddIniField(*database, "Big", comm::kIniRecordLimit - 32 + 1, true, false),
            comm::codes::kDataTooLarge);
  EXPECT_EQ(comm::AddIniField(*database, "Big", comm::kIniRecordLimit - 32, true, false), 0);
  std::uint8_t record[8];
  EXPECT_EQ(comm::ReadIniRecord(*database, "X", record), comm::codes::kIniNotPrepared);
  EXPECT_FALSE(comm::IniRecordExists(*database, "X"));
  comm::FreeIniDatabase(database);
}

TEST(IniDatabaseFields, PrepareNeedsFieldsAndAnIndex) {
  comm::IniDatabase* database = comm::CreateIniDatabase(TestProfile(), "unused.ini");
  EXPECT_EQ(comm::iPrepareIniDatabase(*database, nullptr), comm::codes::kNoIniFields);
  comm::AddIniStringField(*database, "Field", 5, false);
  EXPECT_EQ(comm::iPrepareIniDatabase(*database, nullptr), comm::codes::kNoIniIndex);
  comm::FreeIniDatabase(database);
}

}  // namespace
