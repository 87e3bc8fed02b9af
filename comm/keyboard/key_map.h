// The keyboard map: one record per terminal type in "AWKEYBRD.INI", each with
// up to 100 entries "key code,shift code,text". A key stroke that matches an
// entry sends the entry's text instead of the key.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "comm/keyboard/ini_database.h"

namespace comm {

inline constexpr char kDefaultKeyMapFile[] = "AWKEYBRD.INI";
inline constexpr int kKeyMapEntries = 100;
inline constexpr int kKeyTextLimit = 20;
inline constexpr int kTerminalTypeLimit = 30;
inline constexpr int kKeyMapNameArea = 121;
inline constexpr int kKeyMapNamesKept = 119;
inline constexpr int kKeyMapRecordSize = (kTerminalTypeLimit + 1) + kKeyMapEntries * (kKeyTextLimit + 1);

// Shift code parts: a part counts while its key is up.
inline constexpr int kShiftCtrlUp = 2, kShiftAltUp = 4, kShiftShiftUp = 8;

}  // namespace comm

struct TKeyEmuRecord {
  std::uint16_t KeyCode;
  std::uint16_t ShiftMap;
  std::uint16_t Reserved;
  std::uint32_t Extended;  // all bits set for the extended keys
  std::uint32_t Mapped;    // all bits set when an entry matched
  std::uint8_t KeyboardState[256];
  std::uint8_t MappedText[1 + comm::kKeyTextLimit];  // length byte and characters
};

namespace comm {

struct KeyEntry {
  std::int32_t code = 0;
  std::int32_t shift = 0;
  std::string text;
};

struct KeyMap {
  std::string terminalType;
  bool processAllKeys = false;
  bool processExtended = false;
  std::array<char, kKeyMapNameArea> names{};
  std::array<KeyEntry, kKeyMapEntries> keys{};
  IniDatabase* database = nullptr;
};

// On failure `map` stays null and nothing is left allocated.
int OpenKeyMap(ProfileAccess& profile, const std::string& fileName, KeyMap*& map);
void FreeKeyMap(KeyMap* map);
int KeyMapRecordCount(const KeyMap& map);
int LoadKeyMapNames(KeyMap& map);
int SelectKeyMapEmulator(KeyMap& map, const std::string& name);
// Raises fw::EConvertError for a number that is not decimal.
int LoadKeyMapKeys(KeyMap& map);
void TranslateKey(KeyMap& map, std::uint16_t virtualKey, TKeyEmuRecord& record);
// The same with the map as an untyped pointer: the routine a terminal window calls.
void TranslateKeyRoutine(void* map, std::uint16_t virtualKey, TKeyEmuRecord& record);

// One "code,shift,text" entry as the map reads it (exposed for its tests).
KeyEntry ParseKeyEntry(const std::string& entry);

}  // namespace comm
