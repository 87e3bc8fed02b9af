#include "comm/keyboard/key_map.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "framework/exceptions.h"

namespace comm {
namespace {

std::int32_t Decimal(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && text[first] == ' ') ++first;
  while (last > first && text[last - 1] == ' ') --last;
  std::string digits = text.substr(first, last - first);
  bool negative = !digits.empty() && (digits[0] == '-' || digits[0] == '+');
  std::size_t start = negative ? 1 : 0;
  if (digits.size() == start || digits.size() - start > 9)
    throw fw::EConvertError("'" + text + "' is not a valid integer value");
  std::int32_t value = 0;
  for (std::size_t i = start; i < digits.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(digits[i])))
      throw fw::EConvertError("'" + text + "' is not a valid integer value");
    value = value * 10 + (digits[i] - '0');
  }
  return digits[0] == '-' ? -value : value;
}

bool Extended(std::uint16_t key) { return (key >= 33 && key <= 40) || (key >= 112 && key <= 123); }

}  // namespace

KeyEntry ParseKeyEntry(const std::string& entry) {
  KeyEntry parsed;
  std::size_t comma = entry.find(',');
  if (comma == std::string::npos) return parsed;
  std::string rest = entry.substr(comma + 1);
  std::int32_t code = Decimal(entry.substr(0, comma));
  std::int32_t shift = 0;
  std::size_t second = rest.find(',');
  if (second != std::string::npos && second >= 1) shift = Decimal(rest.substr(0, second));
  parsed.code = code;
  parsed.shift = shift;
  parsed.text = (second == std::string::npos ? rest : rest.substr(second + 1)).substr(0, kKeyTextLimit);
  return parsed;
}

int OpenKeyMap(ProfileAccess& profile, const std::string& fileName, KeyMap*& map) {
  map = nullptr;
  auto* made = new KeyMap;
  made->database = CreateIniDatabase(profile, fileName);
  int code = AddIniStringField(*made->database, "EMULATOR", kTerminalTypeLimit, true);
  for (int i = 1; i <= kKeyMapEntries && code == 0; ++i)
    code = AddIniStringField(*made->database, "Key" + std::to_string(i), kKeyTextLimit, false);
  if (code == 0) code = iPrepareIniDatabase(*made->database, nullptr);
  if (code != 0) {
    FreeKeyMap(made);
    return code;
  }
  map = made;
  return 0;
}

void FreeKeyMap(KeyMap* map) {
  if (!map) return;
  FreeIniDatabase(map->database);
  delete map;
}

int KeyMapRecordCount(const KeyMap& map) { return IniRecordCount(*map.database); }

int LoadKeyMapNames(KeyMap& map) {
  std::vector<char> list(static_cast<std::size_t>(IniKeyListSize(*map.database)));
  int code = ReadIniKeys(*map.database, list.data(), static_cast<int>(list.size()));
  if (code == 0) {
    map.names.fill('\0');
    std::memcpy(map.names.data(), list.data(), std::min<std::size_t>(list.size(), kKeyMapNamesKept));
  }
  return code;
}

int SelectKeyMapEmulator(KeyMap& map, const std::string& name) {
  map.terminalType = name.substr(0, kTerminalTypeLimit);
  return 0;
}

int LoadKeyMapKeys(KeyMap& map) {
  std::vector<std::uint8_t> record(kKeyMapRecordSize);
  int code = ReadIniRecord(*map.database, map.terminalType, record.data());
  if (code != 0) return code;
  int offset = kTerminalTypeLimit + 1;
  for (KeyEntry& entry : map.keys) {
    const auto* text = reinterpret_cast<const char*>(record.data() + offset);
    entry = KeyEntry{};
    entry = ParseKeyEntry(std::string(text, strnlen(text, kKeyTextLimit + 1)));
    offset += kKeyTextLimit + 1;
  }
  return 0;
}

void TranslateKey(KeyMap& map, std::uint16_t virtualKey, TKeyEmuRecord& record) {
  record.Mapped = 0;
  record.Extended = 0;
  if ((virtualKey >= 16 && virtualKey <= 18) || virtualKey == 20 || virtualKey == 144) return;
  record.KeyCode = virtualKey;
  int shift = 0;
  if (record.KeyboardState[17] < 2) shift += kShiftCtrlUp;
  if (record.KeyboardState[18] < 2) shift += kShiftAltUp;
  if (record.KeyboardState[16] < 2) shift += kShiftShiftUp;
  record.ShiftMap = static_cast<std::uint16_t>(shift);
  record.Reserved = 0;
  if (Extended(virtualKey)) {
    record.Extended = 0xFFFFFFFFu;
    if (!map.processExtended) return;
  }
  bool plain = (virtualKey >= 48 && virtualKey <= 57) || (virtualKey >= 65 && virtualKey <= 90);
  if (plain && !map.processAllKeys) return;
  for (const KeyEntry& entry : map.keys) {
    if (entry.code != virtualKey || entry.shift != shift) continue;
    record.Mapped = 0xFFFFFFFFu;
    std::size_t length = std::min<std::size_t>(entry.text.size(), kKeyTextLimit);
    record.MappedText[0] = static_cast<std::uint8_t>(length);
    std::memcpy(record.MappedText + 1, entry.text.data(), length);
  }
}

void TranslateKeyRoutine(void* map, std::uint16_t virtualKey, TKeyEmuRecord& record) {
  TranslateKey(*static_cast<KeyMap*>(map), virtualKey, record);
}

}  // namespace comm
