// The emulator component, which turns each received character into one
// command for the screen buffer, and the keyboard emulator component, which
// translates key strokes through the keyboard map. Each serves at most one
// terminal at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "comm/terminal/emu_command.h"
#include "comm/terminal/emu_parser.h"
#include "comm/keyboard/key_map.h"
#include "comm/keyboard/profile_access.h"
#include "comm/base/component.h"
#include "framework/component.h"

namespace comm {

using TProcessCharEvent = std::function<void(fw::TComponent* CP, char C, TEmuCommand& Command)>;

class TApdCustomEmulator : public TApdBaseComponent {
 public:
  explicit TApdCustomEmulator(fw::TComponent* owner) : TApdBaseComponent(owner) {}
  ~TApdCustomEmulator() override;

  TEmulatorType EmulatorType() const { return emulatorType_; }
  void SetEmulatorType(TEmulatorType type);
  TProcessCharEvent OnProcessChar;

  // Fills the command for one received character: the handler when there is
  // one, else the parser, else the character is written as it is.
  virtual void ProcessChar(std::uint8_t c, TEmuCommand& command);
  // The routine a terminal window calls, with the emulator as its data.
  static void Routine(void* emulator, std::uint8_t c, TEmuCommand& command);

  void Loaded() override;

  bool attached = false;  // a terminal uses it

 private:
  TEmulatorType emulatorType_ = etANSI;
  TEmuParser* parser_ = nullptr;
};

class TApdEmulator : public TApdCustomEmulator {
 public:
  using TApdCustomEmulator::TApdCustomEmulator;
};

// The keyboard map is read through `profile` (the system's profile
// functions in the programs).
class TApdCustomKeyboardEmulator : public TApdBaseComponent {
 public:
  TApdCustomKeyboardEmulator(fw::TComponent* owner, ProfileAccess& profile)
      : TApdBaseComponent(owner), profile_(profile) {}
  ~TApdCustomKeyboardEmulator() override;

  bool Enabled() const { return enabled_; }
  // Raises the map's failures as coded exceptions.
  void SetEnabled(bool enabled);
  const std::string& EmulatorType() const { return emulatorType_; }
  void SetEmulatorType(const std::string& type);
  const std::string& MapFileName() const { return mapFileName_; }
  void SetMapFileName(const std::string& name);
  bool ProcessAllKeys() const { return processAllKeys_; }
  void SetProcessAllKeys(bool on);
  bool ProcessExtended() const { return processExtended_; }
  void SetProcessExtended(bool on);
  // The terminal types the map holds.
  const std::vector<std::string>& EmulatorNames() const { return names_; }

  // The routine a terminal window calls, with the keyboard emulator as its data.
  static void Routine(void* keyboard, std::uint16_t key, TKeyEmuRecord& record);

  bool attached = false;  // a terminal uses it

 private:
  void Disable();

  ProfileAccess& profile_;
  KeyMap* map_ = nullptr;
  bool enabled_ = false;
  std::string emulatorType_;
  std::string mapFileName_ = kDefaultKeyMapFile;
  bool processAllKeys_ = false, processExtended_ = false;
  std::vector<std::string> names_;
};

class TApdKeyboardEmulator : public TApdCustomKeyboardEmulator {
 public:
  using TApdCustomKeyboardEmulator::TApdCustomKeyboardEmulator;
};

}  // namespace comm
