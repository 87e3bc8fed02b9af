#include "comm/terminal/emu_parser.h"

#include <cstring>
#include <new>

namespace comm {
namespace {

enum ParserState : std::uint8_t {
  stGround,
  stEscape,
  stCsi,
  stParameter,
  stSeparator,
  stPrivate,
  stPrivateParameter,
  stG0,
  stG1,
};

constexpr std::uint8_t kTab = 0x09, kFormFeed = 0x0C, kShiftOut = 0x0E, kShiftIn = 0x0F, kEscape = 0x1B;

void Reset(TEmuParser& p) {
  p.State = stGround;
  p.ParamIndex = 1;
  for (auto& s : p.ParamStrings) s[0] = 0;
}

void AppendDigit(TEmuParser& p, std::uint8_t ch) {
  std::uint8_t* s = p.ParamStrings[p.ParamIndex - 1];
  if (s[0] < emuParamDigits) s[++s[0]] = ch;
}

// Moves to the next parameter; false when that would pass the fifth.
bool NextParameter(TEmuParser& p, TEmuCommand& cmd) {
  if (p.ParamIndex + 1 > emuParamCount) {
    cmd.Code = ecOverflow;
    Reset(p);
    return false;
  }
  ++p.ParamIndex;
  return true;
}

void ConvertParameters(TEmuParser& p, std::uint8_t final) {
  for (int i = 0; i < emuParamCount; ++i) {
    const std::uint8_t* s = p.ParamStrings[i];
    if (s[0] == 0) {
      p.ParamValues[i] = 1;
      continue;
    }
    std::int32_t value = 0;
    for (int d = 1; d <= s[0]; ++d) value = value * 10 + (s[d] - '0');
    p.ParamValues[i] = value;
  }
  if (p.ParamStrings[0][0] == 0) {
    if (final == 'J' || final == 'K') p.ParamValues[0] = p.EmulatorType == etVT52 ? 2 : 0;
    if (final == 'm') p.ParamValues[0] = 0;
  }
}

void SetGraphicRendition(TEmuParser& p, TEmuCommand& cmd) {
  cmd.Code = ecSetAttributes;
  if (p.EmulatorType == etVT100) p.Attributes = 0;
  const int count = p.ParamIndex < emuParamCount ? p.ParamIndex : emuParamCount;
  for (int i = 0; i < count; ++i) {
    const std::int32_t v = p.ParamValues[i];
    switch (v) {
      case 0:
        cmd.Fore = 7;
        cmd.Back = 0;
        p.Attributes = 0;
        cmd.Attrs = 0;
        break;
      case 1:
        p.Attributes |= atBold;
        break;
      case 4:
        p.Attributes |= atUnderline;
        break;
      case 5:
        p.Attributes |= atBlink;
        break;
      case 7:
        p.Attributes |= atReverse;
        break;
      case 8:
        p.Attributes |= atInvisible;
        break;
      case 22:
        p.Attributes &= ~atBold;
        break;
      case 24:
        p.Attributes &= ~atUnderline;
        break;
      case 25:
        p.Attributes &= ~atBlink;
        break;
      case 27:
        p.Attributes &= ~atReverse;
        break;
      case 28:
        p.Attributes &= ~atInvisible;
        break;
      case 39:
        cmd.Fore = 7;
        break;
      case 49:
        cmd.Back = 0;
        break;
      default:
        if (v >= 30 && v <= 37) cmd.Fore = static_cast<std::uint8_t>(v - 30);
        if (v >= 40 && v <= 47) cmd.Back = static_cast<std::uint8_t>(v - 40);
        break;
    }
  }
  if ((p.Attributes & atBold) && cmd.Fore < 8) cmd.Fore += 8;
  cmd.Attrs = p.Attributes;
}

std::uint8_t Low(std::int32_t v) { return static_cast<std::uint8_t>(v); }

void AnsiFinal(TEmuParser& p, std::uint8_t final, TEmuCommand& cmd) {
  const std::int32_t p1 = p.ParamValues[0], p2 = p.ParamValues[1];
  auto arg1 = [&](std::uint8_t code) { cmd.Code = code, cmd.Arg1 = Low(p1); };
  auto arg2 = [&](std::uint8_t code) { cmd.Code = code, cmd.Arg2 = Low(p1); };
  switch (final) {
    case '@':
      arg1(ecInsertChars);
      break;
    case 'A':
      arg2(ecUp);
      break;
    case 'B':
    case 'e':
      arg2(ecDown);
      break;
    case 'C':
    case 'a':
      arg1(ecRight);
      break;
    case 'D':
      arg1(ecLeft);
      break;
    case 'E':
      arg2(ecNextLine);
      break;
    case 'F':
      arg2(ecPrevLine);
      break;
    case 'G':
    case '`':
      arg1(ecColumn);
      break;
    case 'H':
    case 'f':
      cmd.Code = ecGotoXY, cmd.Arg1 = Low(p2), cmd.Arg2 = Low(p1);
      break;
    case 'I':
      arg1(ecTabForward);
      break;
    case 'J':
      arg1(ecEraseInPage), cmd.Arg2 = 0;
      break;
    case 'K':
      arg1(ecEraseInLine), cmd.Arg2 = 1;
      break;
    case 'L':
      arg2(ecInsertLines);
      break;
    case 'M':
      arg2(ecDeleteLines);
      break;
    case 'N':
      arg1(ecEraseField);
      break;
    case 'O':
      arg1(ecEraseArea);
      break;
    case 'P':
      arg1(ecDeleteChars);
      break;
    case 'Q':
      arg1(ecSelectEditExtent);
      break;
    case 'W':
      arg1(ecTabControl);
      break;
    case 'X':
      arg1(ecEraseChars);
      break;
    case 'Z':
      arg1(ecBackTab);
      break;
    case 'b':
      arg1(ecRepeat);
      break;
    case 'c':
      arg1(ecIdentify);
      break;
    case 'g':
      arg1(ecTabClear);
      break;
    case 'h':
      arg1(ecSetMode);
      break;
    case 'i':
      arg1(ecMediaCopy);
      break;
    case 'l':
      arg1(ecResetMode);
      break;
    case 'n':
      arg1(ecStatusReport);
      break;
    case 'o':
      arg1(ecAreaQualification);
      break;
    case 'R':
      cmd.Code = ecPositionReport, cmd.Arg1 = Low(p2), cmd.Arg2 = Low(p1);
      break;
    case 'S':
      arg2(ecScrollUp);
      break;
    case 'T':
      arg2(ecScrollDown);
      break;
    case 'U':
      arg2(ecNextPage);
      break;
    case 'V':
      arg2(ecPrevPage);
      break;
    case 'Y':
      arg2(ecVerticalTab);
      break;
    case 'd':
      arg2(ecRow);
      break;
    case 'm':
      SetGraphicRendition(p, cmd);
      break;
    case 's':
      cmd.Code = ecSaveCursor;
      break;
    case 'u':
      cmd.Code = ecRestoreCursor;
      break;
    default:
      break;
  }
}

void Vt100Final(TEmuParser& p, std::uint8_t final, TEmuCommand& cmd) {
  const std::int32_t p1 = p.ParamValues[0], p2 = p.ParamValues[1];
  switch (final) {
    case 'A':
      cmd.Code = ecUp, cmd.Arg2 = Low(p1);
      break;
    case 'B':
      cmd.Code = ecDown, cmd.Arg2 = Low(p1);
      break;
    case 'C':
      cmd.Code = ecRight, cmd.Arg1 = Low(p1);
      break;
    case 'D':
      cmd.Code = ecLeft, cmd.Arg1 = Low(p1);
      break;
    case 'H':
    case 'f':
      cmd.Code = ecGotoXY, cmd.Arg1 = Low(p2), cmd.Arg2 = Low(p1);
      break;
    case 'J':
      cmd.Code = ecEraseInPage, cmd.Arg1 = Low(p1), cmd.Arg2 = 1;
      break;
    case 'K':
      cmd.Code = ecEraseInLine, cmd.Arg1 = Low(p1), cmd.Arg2 = 0;
      break;
    case 'L':
      cmd.Code = ecInsertLines, cmd.Arg2 = Low(p1);
      break;
    case 'M':
      cmd.Code = ecDeleteLines, cmd.Arg2 = Low(p1);
      break;
    case 'R':
      cmd.Code = ecPositionReport, cmd.Arg1 = Low(p2), cmd.Arg2 = Low(p1);
      break;
    case 'c':
      if (p1 == 0) cmd.Code = ecIdentify, cmd.Arg1 = 0, cmd.Arg2 = 1;
      break;
    case 'h':
    case 'l': {
      std::uint8_t code = ecChar;
      if (p1 == 2) code = ecModeKAM;
      if (p1 == 3) code = ecModeCRM;
      if (p1 == 4) code = ecModeIRM;
      if (p1 == 20) code = ecModeLNM;
      if (code != ecChar) cmd.Code = code, cmd.Arg1 = final == 'h' ? 1 : 0;
      break;
    }
    case 'i':
      cmd.Code = ecMediaCopy, cmd.Arg1 = Low(p1);
      break;
    case 'm':
      SetGraphicRendition(p, cmd);
      break;
    case 'n':
      cmd.Code = ecStatusReport, cmd.Arg1 = Low(p1);
      break;
    case 'q':
      cmd.Code = ecNone;
      break;
    case 'r':
      cmd.Code = ecScrollRegion, cmd.Arg1 = Low(p1), cmd.Arg2 = Low(p2);
      break;
    default:
      break;
  }
}

void Vt52Escape(std::uint8_t ch, TEmuCommand& cmd) {
  switch (ch) {
    case 'A':
      cmd.Code = ecUp, cmd.Arg2 = 1;
      break;
    case 'B':
      cmd.Code = ecDown, cmd.Arg2 = 1;
      break;
    case 'C':
      cmd.Code = ecRight, cmd.Arg1 = 1;
      break;
    case 'D':
      cmd.Code = ecLeft, cmd.Arg1 = 1;
      break;
    case 'H':
      cmd.Code = ecGotoXY, cmd.Arg1 = 1, cmd.Arg2 = 1;
      break;
    case 'J':
      cmd.Code = ecEraseInPage, cmd.Arg1 = 2, cmd.Arg2 = 0;
      break;
    case 'K':
      cmd.Code = ecEraseInLine, cmd.Arg1 = 2, cmd.Arg2 = 0;
      break;
    case 'Z':
      cmd.Code = ecIdentify, cmd.Arg1 = 0, cmd.Arg2 = 0;
      break;
    case 'c':
      cmd.Code = ecReset;
      break;
    default:
      break;
  }
}

// The VT52 escapes that take the final processing (EmuKind set, parameters converted).
bool IsVt52Final(std::uint8_t ch) {
  return (ch >= 'A' && ch <= 'D') || (ch >= 'F' && ch <= 'K') || ch == 'Z' || ch == '<' || ch == '=' ||
         ch == '>' || ch == 'c';
}

void Final(TEmuParser& p, std::uint8_t final, TEmuCommand& cmd) {
  ConvertParameters(p, final);
  cmd.EmuKind = static_cast<std::uint8_t>(p.EmulatorType);
  cmd.Char = final;
  cmd.Code = ecChar;
  if (p.EmulatorType == etVT100) {
    Vt100Final(p, final, cmd);
  } else if (p.EmulatorType == etVT52) {
    Vt52Escape(final, cmd);
  } else {
    AnsiFinal(p, final, cmd);
  }
}

void AnsiEscape(std::uint8_t ch, TEmuCommand& cmd) {
  switch (ch) {
    case 'D':
      cmd.Code = ecDown, cmd.Arg2 = 1;
      break;
    case 'E':
      cmd.Code = ecNewLine;
      break;
    case 'F':
      cmd.Code = ecStartSelectedArea;
      break;
    case 'G':
      cmd.Code = ecEndSelectedArea;
      break;
    case 'H':
      cmd.Code = ecSetTab;
      break;
    case 'I':
      cmd.Code = ecTabJustify;
      break;
    case 'J':
      cmd.Code = ecSetVerticalTab;
      break;
    case 'K':
      cmd.Code = ecPartialLineDown;
      break;
    case 'L':
      cmd.Code = ecPartialLineUp;
      break;
    case 'M':
      cmd.Code = ecReverseIndex;
      break;
    case 'N':
      cmd.Code = ecSingleShift2;
      break;
    case 'O':
      cmd.Code = ecSingleShift3;
      break;
    case 'P':
      cmd.Code = ecDeviceControl;
      break;
    case 'Q':
      cmd.Code = ecPrivateUse1;
      break;
    case 'R':
      cmd.Code = ecPrivateUse2;
      break;
    case 'S':
      cmd.Code = ecSetTransmitState;
      break;
    case 'T':
      cmd.Code = ecCancelChar;
      break;
    case 'U':
      cmd.Code = ecMessageWaiting;
      break;
    case 'V':
      cmd.Code = ecStartGuardedArea;
      break;
    case 'W':
      cmd.Code = ecEndGuardedArea;
      break;
    case '\\':
      cmd.Code = ecStringTerminator;
      break;
    case '^':
      cmd.Code = ecPrivacyMessage;
      break;
    case 'a':
      cmd.Code = ecInterrupt;
      break;
    case 'b':
      cmd.Code = ecEnableManualInput;
      break;
    case 'c':
      cmd.Code = ecReset;
      break;
    default:
      break;
  }
}

void Vt100Escape(std::uint8_t ch, TEmuCommand& cmd) {
  switch (ch) {
    case '7':
      cmd.Code = ecSaveCursor;
      break;
    case '8':
      cmd.Code = ecRestoreCursor;
      break;
    case '=':
    case '>':
      cmd.Code = ecNone;
      break;
    case 'D':
      cmd.Code = ecDown, cmd.Arg2 = 1;
      break;
    case 'E':
      cmd.Code = ecNewLine;
      break;
    case 'H':
      cmd.Code = ecSetTab;
      break;
    case 'M':
      cmd.Code = ecReverseIndex;
      break;
    case 'Z':
      cmd.Code = ecIdentify, cmd.Arg1 = 0, cmd.Arg2 = 1;
      break;
    case 'c':
      cmd.Code = ecReset;
      break;
    default:
      break;
  }
}

void InGround(TEmuParser& p, std::uint8_t ch, TEmuCommand& cmd) {
  switch (ch) {
    case kTab:
      cmd.Code = ecTab;
      break;
    case kFormFeed:
      cmd.Code = ecEraseInPage9, cmd.Arg1 = 2;
      break;
    case kShiftOut:
    case kShiftIn:
      break;
    case kEscape:
      p.State = stEscape;
      break;
    default:
      cmd.Code = ecChar;
      break;
  }
}

void InEscape(TEmuParser& p, std::uint8_t ch, TEmuCommand& cmd) {
  if (ch == '[' && p.EmulatorType != etVT52) {
    p.State = stCsi;
    return;
  }
  if (p.EmulatorType == etVT100 && (ch == '(' || ch == ')')) {
    p.State = ch == '(' ? stG0 : stG1;
    return;
  }
  cmd.Code = ecChar;
  if (p.EmulatorType == etVT52) {
    if (IsVt52Final(ch)) Final(p, ch, cmd);
  } else if (p.EmulatorType == etVT100) {
    Vt100Escape(ch, cmd);
  } else {
    AnsiEscape(ch, cmd);
  }
  Reset(p);
}

void InCsi(TEmuParser& p, std::uint8_t ch, TEmuCommand& cmd) {
  if (ch >= '0' && ch <= '9') {
    AppendDigit(p, ch);
    p.State = stParameter;
  } else if (ch == ';') {
    if (NextParameter(p, cmd)) p.State = stSeparator;
  } else if (ch == '=') {
    // ignored
  } else if (ch == '?') {
    if (NextParameter(p, cmd)) p.State = stPrivate;
  } else {
    Final(p, ch, cmd);
    Reset(p);
  }
}

void InPrivate(TEmuParser& p, std::uint8_t ch, TEmuCommand& cmd) {
  if (p.EmulatorType == etVT100 && ch >= '1' && ch <= '9') {
    AppendDigit(p, ch);
    p.State = stPrivateParameter;
    return;
  }
  if (!(p.EmulatorType == etVT100 && (ch == 'h' || ch == 'l'))) cmd.Code = ecChar;
  Reset(p);
}

void InCharacterSet(TEmuParser& p, std::uint8_t ch, TEmuCommand& cmd) {
  const bool known = ch == '0' || ch == '1' || ch == '2' || ch == 'A' || ch == 'B';
  if (!known) cmd.Code = ecChar;
  Reset(p);
}

}  // namespace
}  // namespace comm

TEmuParser* CreateEmuParser(int emulatorType) {
  if (emulatorType < etANSI || emulatorType > etANSIBBS) return nullptr;
  auto* parser = new (std::nothrow) TEmuParser{};
  if (!parser) return nullptr;
  parser->EmulatorType = emulatorType;
  parser->FirstUse = 1;
  comm::Reset(*parser);
  return parser;
}

void FreeEmuParser(TEmuParser* parser) { delete parser; }

void ParseEmuChar(TEmuParser* parser, std::uint8_t ch, TEmuCommand& command) {
  if (!parser) {  // no parser: the character is written unchanged
    command.Char = ch;
    command.Code = ecChar;
    return;
  }
  TEmuParser& p = *parser;
  if (p.FirstUse) {
    command.Fore = 7;
    command.Back = 0;
    command.Attrs = 0;
    p.Attributes = 0;
    p.FirstUse = 0;
  }
  command.Char = ch;
  command.Code = ecNone;
  // A corrupted index must never address outside the parameter arrays.
  if (p.ParamIndex < 1 || p.ParamIndex > emuParamCount) comm::Reset(p);
  switch (p.State) {
    case comm::stEscape:
      comm::InEscape(p, ch, command);
      break;
    case comm::stCsi:
    case comm::stParameter:
    case comm::stSeparator:
      comm::InCsi(p, ch, command);
      break;
    case comm::stPrivate:
    case comm::stPrivateParameter:
      comm::InPrivate(p, ch, command);
      break;
    case comm::stG0:
    case comm::stG1:
      comm::InCharacterSet(p, ch, command);
      break;
    default:
      comm::InGround(p, ch, command);
      break;
  }
}
