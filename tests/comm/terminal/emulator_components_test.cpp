// The emulator component's per-character path.
#include <gtest/gtest.h>

#include "comm/terminal/emulators.h"

namespace {

using comm::TApdEmulator;

TEmuCommand Process(TApdEmulator& emulator, const char* text) {
  TEmuCommand command{};
  for (const char* at = text; *at; ++at)
    TApdEmulator::Routine(&emulator, static_cast<std::uint8_t>(*at), command);
  return command;
}

TEST(EmulatorComponent, WithoutHandlerOrParserEveryCharacterIsWritten) {
  TApdEmulator emulator(nullptr);
  emulator.SetEmulatorType(etNone);
  for (int c : {0x1B, int{'['}, int{'A'}, 0x07, 0xFF}) {
    TEmuCommand command{};
    command.Arg1 = 9;
    emulator.ProcessChar(static_cast<std::uint8_t>(c), command);
    EXPECT_EQ(command.Code, ecChar) << c;
    EXPECT_EQ(command.Char, c);
    EXPECT_EQ(command.Arg1, 9);  // nothing else is written
  }
}

TEST(EmulatorComponent, ParserTurnsSequencesIntoCommands) {
  TApdEmulator emulator(nullptr);
  emulator.SetEmulatorType(etNone);
  emulator.SetEmulatorType(etANSI);
  EXPECT_EQ(Process(emulator, "\x1b[2J").Code, ecEraseInPage);
}

TEST(EmulatorComponent, LoadedMakesTheParserOfTheDefaultType) {
  TApdEmulator emulator(nullptr);
  EXPECT_EQ(emulator.EmulatorType(), etANSI);
  EXPECT_EQ(Process(emulator, "\x1b[2J").Code, ecChar);  // no parser before loading ends
  emulator.Loaded();
  EXPECT_EQ(Process(emulator, "\x1b[2J").Code, ecEraseInPage);
}

TEST(EmulatorComponent, HandlerWinsOverTheParser) {
  TApdEmulator emulator(nullptr);
  emulator.SetEmulatorType(etNone);
  emulator.SetEmulatorType(etVT100);
  int calls = 0;
  emulator.OnProcessChar = [&](fw::TComponent* sender, char c, TEmuCommand& command) {
    EXPECT_EQ(sender, &emulator);
    ++calls;
    command.Code = ecNone;
    command.Char = static_cast<std::uint8_t>(c);
  };
  EXPECT_EQ(Process(emulator, "\x1b[2J").Code, ecNone);
  EXPECT_EQ(calls, 4);
}

}  // namespace
