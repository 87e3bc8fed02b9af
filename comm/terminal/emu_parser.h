// Escape-sequence parser: turns one received character at a time into a
// TEmuCommand for the ANSI, VT52, VT100 and ANSI-BBS emulator types. Fixed-size
// state, no allocation per character.
#pragma once

#include <cstdint>

#include "comm/terminal/emu_command.h"

constexpr int emuParamCount = 5;
constexpr int emuParamDigits = 5;

struct TEmuParser {
  std::int32_t EmulatorType;
  std::int32_t FirstUse;
  std::uint8_t Attributes;
  std::int32_t ParamIndex;                                       // parameter being collected, from 1
  std::uint8_t ParamStrings[emuParamCount][1 + emuParamDigits];  // length byte and digits
  std::int32_t ParamValues[emuParamCount];
  std::uint8_t State;
};

// Returns nullptr for a type that has no parser (etNone or out of range).
TEmuParser* CreateEmuParser(int emulatorType);
void FreeEmuParser(TEmuParser* parser);
void ParseEmuChar(TEmuParser* parser, std::uint8_t ch, TEmuCommand& command);
