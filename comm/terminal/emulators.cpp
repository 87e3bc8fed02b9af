#include "comm/terminal/emulators.h"

#include <cstring>

#include "comm/base/exceptions.h"

namespace comm {

TApdCustomEmulator::~TApdCustomEmulator() { SetEmulatorType(etNone); }

void TApdCustomEmulator::SetEmulatorType(TEmulatorType type) {
  if (type == emulatorType_) return;
  FreeEmuParser(parser_);
  parser_ = nullptr;
  emulatorType_ = type;
  if (type >= etANSI && type <= etANSIBBS) parser_ = CreateEmuParser(type);
}

void TApdCustomEmulator::Loaded() {
  TApdBaseComponent::Loaded();
  if (emulatorType_ == etANSI && !parser_) {
    // The construction-time type has no parser yet: make it.
    emulatorType_ = etNone;
    SetEmulatorType(etANSI);
  }
}

void TApdCustomEmulator::ProcessChar(std::uint8_t c, TEmuCommand& command) {
  if (OnProcessChar) {
    OnProcessChar(this, static_cast<char>(c), command);
  } else if (parser_) {
    ParseEmuChar(parser_, c, command);
  } else {
    command.Char = c;
    command.Code = ecChar;
  }
}

void TApdCustomEmulator::Routine(void* emulator, std::uint8_t c, TEmuCommand& command) {
  static_cast<TApdCustomEmulator*>(emulator)->ProcessChar(c, command);
}

TApdCustomKeyboardEmulator::~TApdCustomKeyboardEmulator() { Disable(); }

void TApdCustomKeyboardEmulator::Disable() {
  FreeKeyMap(map_);
  map_ = nullptr;
  enabled_ = false;
  names_.clear();
  emulatorType_.clear();
}

void TApdCustomKeyboardEmulator::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  if (!enabled) {
    Disable();
    return;
  }
  KeyMap* map = nullptr;
  CheckCode(OpenKeyMap(profile_, mapFileName_, map));
  if (!map) return;  // loading: the failure is not raised
  map_ = map;
  map_->processAllKeys = processAllKeys_;
  map_->processExtended = processExtended_;
  enabled_ = true;
  names_.clear();
  // One record is enough to be listed and selected.
  if (KeyMapRecordCount(*map_) >= 1) {
    CheckCode(LoadKeyMapNames(*map_));
    for (const char* at = map_->names.data(); *at && at < map_->names.data() + kKeyMapNameArea;
         at += std::strlen(at) + 1)
      names_.emplace_back(at);
    if (!names_.empty()) SetEmulatorType(names_.front());
  }
}

void TApdCustomKeyboardEmulator::SetEmulatorType(const std::string& type) {
  emulatorType_ = type;
  if (!map_) return;
  SelectKeyMapEmulator(*map_, type);
  CheckCode(LoadKeyMapKeys(*map_));
}

void TApdCustomKeyboardEmulator::SetMapFileName(const std::string& name) {
  mapFileName_ = name;
  if (enabled_) {
    SetEnabled(false);
    SetEnabled(true);
  }
}

void TApdCustomKeyboardEmulator::SetProcessAllKeys(bool on) {
  processAllKeys_ = on;
  if (map_) map_->processAllKeys = on;
}

void TApdCustomKeyboardEmulator::SetProcessExtended(bool on) {
  processExtended_ = on;
  if (map_) map_->processExtended = on;
}

void TApdCustomKeyboardEmulator::Routine(void* keyboard, std::uint16_t key, TKeyEmuRecord& record) {
  auto* self = static_cast<TApdCustomKeyboardEmulator*>(keyboard);
  if (self && self->map_) {
    TranslateKey(*self->map_, key, record);
    return;
  }
  std::memset(&record, 0, sizeof record);
  record.KeyCode = key;
}

}  // namespace comm
