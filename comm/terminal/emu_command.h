// The command record that a received character becomes, and the command codes
// the screen buffer understands. The record is reused for every character:
// fields a producer does not set keep their previous values.
#pragma once

#include <cstddef>
#include <cstdint>

enum TEmulatorType : std::uint8_t { etNone = 0, etANSI = 1, etVT52 = 2, etVT100 = 3, etANSIBBS = 4 };

struct TEmuCommand {
  std::uint8_t Char;      // character to write, or the final of a sequence
  std::uint8_t Code;      // one of the ec... codes below
  std::uint8_t Arg1;      // column, column count or selector
  std::uint8_t Arg2;      // row, row count or selector
  std::uint8_t Fore;      // colour index 0-15
  std::uint8_t Back;      // colour index 0-15
  std::uint8_t Attrs;     // attribute bits below
  std::uint8_t EmuKind;   // TEmulatorType that produced the command
  std::uint8_t Text[12];  // length byte (0-11) and the characters
};

static_assert(sizeof(TEmuCommand) == 20);
static_assert(offsetof(TEmuCommand, Code) == 1 && offsetof(TEmuCommand, Arg1) == 2 &&
              offsetof(TEmuCommand, Arg2) == 3 && offsetof(TEmuCommand, Fore) == 4 &&
              offsetof(TEmuCommand, Back) == 5 && offsetof(TEmuCommand, Attrs) == 6 &&
              offsetof(TEmuCommand, EmuKind) == 7 && offsetof(TEmuCommand, Text) == 8);

// Attribute bits of Attrs and of every cell.
constexpr std::uint8_t atBlink = 1;
constexpr std::uint8_t atReverse = 2;
constexpr std::uint8_t atBold = 4;
constexpr std::uint8_t atInvisible = 8;
constexpr std::uint8_t atUnderline = 16;

constexpr std::uint8_t ecNone = 0;
constexpr std::uint8_t ecChar = 1;
constexpr std::uint8_t ecGotoXY = 2;
constexpr std::uint8_t ecUp = 3;
constexpr std::uint8_t ecDown = 4;
constexpr std::uint8_t ecRight = 5;
constexpr std::uint8_t ecLeft = 6;
constexpr std::uint8_t ecEraseInPage7 = 7;
constexpr std::uint8_t ecEraseInPage8 = 8;
constexpr std::uint8_t ecEraseInPage9 = 9;
constexpr std::uint8_t ecEraseInLine10 = 10;
constexpr std::uint8_t ecEraseInLine11 = 11;
constexpr std::uint8_t ecEraseInLine12 = 12;
constexpr std::uint8_t ecSetMode = 13;
constexpr std::uint8_t ecSetAttributes = 16;
constexpr std::uint8_t ecSaveCursor = 17;
constexpr std::uint8_t ecRestoreCursor = 18;
constexpr std::uint8_t ecStatusReport = 19;
constexpr std::uint8_t ecText = 20;
constexpr std::uint8_t ecTab = 21;
constexpr std::uint8_t ecBackTab = 31;
constexpr std::uint8_t ecCancelChar = 32;
constexpr std::uint8_t ecColumn = 33;
constexpr std::uint8_t ecTabForward = 34;
constexpr std::uint8_t ecNextLine = 35;
constexpr std::uint8_t ecPrevLine = 36;
constexpr std::uint8_t ecPositionReport = 37;
constexpr std::uint8_t ecModeCRM = 38;
constexpr std::uint8_t ecTabControl = 39;
constexpr std::uint8_t ecVerticalTab = 40;
constexpr std::uint8_t ecIdentify = 41;
constexpr std::uint8_t ecAreaQualification = 42;
constexpr std::uint8_t ecDeleteChars = 43;
constexpr std::uint8_t ecDeviceControl = 44;
constexpr std::uint8_t ecDeleteLines = 45;
constexpr std::uint8_t ecEraseArea = 47;
constexpr std::uint8_t ecEraseChars = 49;
constexpr std::uint8_t ecEraseInPage = 50;
constexpr std::uint8_t ecEraseField = 51;
constexpr std::uint8_t ecEraseInLine = 52;
constexpr std::uint8_t ecEnableManualInput = 53;
constexpr std::uint8_t ecEndGuardedArea = 54;
constexpr std::uint8_t ecEndSelectedArea = 56;
constexpr std::uint8_t ecTabJustify = 64;
constexpr std::uint8_t ecSetTab = 65;
constexpr std::uint8_t ecInsertChars = 66;
constexpr std::uint8_t ecInsertLines = 67;
constexpr std::uint8_t ecInterrupt = 68;
constexpr std::uint8_t ecModeIRM = 69;
constexpr std::uint8_t ecModeKAM = 71;
constexpr std::uint8_t ecModeLNM = 72;
constexpr std::uint8_t ecMediaCopy = 74;
constexpr std::uint8_t ecMessageWaiting = 75;
constexpr std::uint8_t ecNewLine = 76;
constexpr std::uint8_t ecNextPage = 77;
constexpr std::uint8_t ecPartialLineDown = 79;
constexpr std::uint8_t ecPartialLineUp = 80;
constexpr std::uint8_t ecPrivacyMessage = 81;
constexpr std::uint8_t ecPrevPage = 82;
constexpr std::uint8_t ecPrivateUse1 = 83;
constexpr std::uint8_t ecPrivateUse2 = 84;
constexpr std::uint8_t ecRepeat = 87;
constexpr std::uint8_t ecReverseIndex = 88;
constexpr std::uint8_t ecReset = 89;
constexpr std::uint8_t ecResetMode = 90;
constexpr std::uint8_t ecScrollDown = 92;
constexpr std::uint8_t ecSelectEditExtent = 93;
constexpr std::uint8_t ecStartGuardedArea = 95;
constexpr std::uint8_t ecSingleShift2 = 100;
constexpr std::uint8_t ecSingleShift3 = 101;
constexpr std::uint8_t ecStartSelectedArea = 102;
constexpr std::uint8_t ecStringTerminator = 103;
constexpr std::uint8_t ecSetTransmitState = 104;
constexpr std::uint8_t ecScrollUp = 105;
constexpr std::uint8_t ecTabClear = 106;
constexpr std::uint8_t ecRow = 111;
constexpr std::uint8_t ecSetVerticalTab = 112;
constexpr std::uint8_t ecScrollRegion = 113;
constexpr std::uint8_t ecOverflow = 255;
