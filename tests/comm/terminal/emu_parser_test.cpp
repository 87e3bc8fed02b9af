#include "comm/terminal/emu_parser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct ExpectedRecord {
  int Char, Code, Arg1, Arg2, Fore, Back, Attrs, EmuKind;
};

struct ParserCase {
  const char* what;
  int type;
  std::string input;
  std::vector<int> codes;  // Code left by each input byte, in order
  ExpectedRecord last;     // the whole record after the last byte
};

struct ParserDeleter {
  void operator()(TEmuParser* p) const { FreeEmuParser(p); }
};

void PrintTo(const ParserCase& c, std::ostream* os) { *os << c.what; }

class ParserTable : public testing::TestWithParam<ParserCase> {};

TEST_P(ParserTable, ProducesCommandsAndRecord) {
  const ParserCase& c = GetParam();
  std::unique_ptr<TEmuParser, ParserDeleter> parser(CreateEmuParser(c.type));
  ASSERT_NE(parser, nullptr);
  TEmuCommand cmd{};
  std::vector<int> codes;
  for (unsigned char ch : c.input) {
    ParseEmuChar(parser.get(), ch, cmd);
    codes.push_back(cmd.Code);
  }
  EXPECT_EQ(codes, c.codes);
  const ExpectedRecord got{cmd.Char, cmd.Code, cmd.Arg1, cmd.Arg2, cmd.Fore, cmd.Back, cmd.Attrs, cmd.EmuKind};
  EXPECT_EQ(got.Char, c.last.Char);
  EXPECT_EQ(got.Code, c.last.Code);
  EXPECT_EQ(got.Arg1, c.last.Arg1);
  EXPECT_EQ(got.Arg2, c.last.Arg2);
  EXPECT_EQ(got.Fore, c.last.Fore);
  EXPECT_EQ(got.Back, c.last.Back);
  EXPECT_EQ(got.Attrs, c.last.Attrs);
  EXPECT_EQ(got.EmuKind, c.last.EmuKind);
}

// clang-format off
const ParserCase kCases[] = {
  {"ansi erase page keeps colour rule 0", etANSI, "\x1b[2J", {0, 0, 0, ecEraseInPage}, {'J', ecEraseInPage, 2, 0, 7, 0, 0, etANSI}},
  {"vt100 erase page takes colour rule 1", etVT100, "\x1b[2J", {0, 0, 0, ecEraseInPage}, {'J', ecEraseInPage, 2, 1, 7, 0, 0, etVT100}},
  {"bbs empty J is extent 0", etANSIBBS, "\x1b[J", {0, 0, ecEraseInPage}, {'J', ecEraseInPage, 0, 0, 7, 0, 0, etANSIBBS}},
  {"ansi K sets colour rule 1", etANSI, "\x1b[K", {0, 0, ecEraseInLine}, {'K', ecEraseInLine, 0, 1, 7, 0, 0, etANSI}},
  {"vt52 J erases whole page", etVT52, "\x1bJ", {0, ecEraseInPage}, {'J', ecEraseInPage, 2, 0, 7, 0, 0, etVT52}},
  {"empty A moves one row", etANSI, "\x1b[A", {0, 0, ecUp}, {'A', ecUp, 0, 1, 7, 0, 0, etANSI}},
  {"empty row in H is 1", etANSI, "\x1b[;5H", {0, 0, 0, 0, ecGotoXY}, {'H', ecGotoXY, 5, 1, 7, 0, 0, etANSI}},
  {"row above 255 keeps the low byte", etANSI, "\x1b[300;2f", {0, 0, 0, 0, 0, 0, 0, ecGotoXY}, {'f', ecGotoXY, 2, 44, 7, 0, 0, etANSI}},
  {"bold brightens, 22 keeps the colour", etANSI, "\x1b[1;31m\x1b[22m",
   {0, 0, 0, 0, 0, 0, ecSetAttributes, 0, 0, 0, 0, ecSetAttributes}, {'m', ecSetAttributes, 0, 0, 9, 0, 0, etANSI}},
  {"bold red", etANSI, "\x1b[1;31m", {0, 0, 0, 0, 0, 0, ecSetAttributes}, {'m', ecSetAttributes, 0, 0, 9, 0, 4, etANSI}},
  {"ansi keeps attributes across sequences", etANSI, "\x1b[5m\x1b[4m", {0, 0, 0, ecSetAttributes, 0, 0, 0, ecSetAttributes}, {'m', ecSetAttributes, 0, 0, 7, 0, 17, etANSI}},
  {"vt100 clears attributes first", etVT100, "\x1b[5m\x1b[4m", {0, 0, 0, ecSetAttributes, 0, 0, 0, ecSetAttributes}, {'m', ecSetAttributes, 0, 0, 7, 0, 16, etVT100}},
  {"vt100 reverse after bold keeps the bright colour", etVT100, "\x1b[1m\x1b[7m", {0, 0, 0, ecSetAttributes, 0, 0, 0, ecSetAttributes}, {'m', ecSetAttributes, 0, 0, 15, 0, 2, etVT100}},
  {"sgr 0 resets colours", etANSI, "\x1b[1;44m\x1b[0m", {0, 0, 0, 0, 0, 0, ecSetAttributes, 0, 0, 0, ecSetAttributes}, {'m', ecSetAttributes, 0, 0, 7, 0, 0, etANSI}},
  {"background and default foreground", etANSI, "\x1b[33;44m\x1b[39m", {0, 0, 0, 0, 0, 0, 0, ecSetAttributes, 0, 0, 0, 0, ecSetAttributes}, {'m', ecSetAttributes, 0, 0, 7, 4, 0, etANSI}},
  {"38;5;n sets blink through the 5", etANSI, "\x1b[38;5;1m", {0, 0, 0, 0, 0, 0, 0, 0, ecSetAttributes}, {'m', ecSetAttributes, 0, 0, 15, 0, 5, etANSI}},
  {"fifth separator overflows, rest is written", etANSI, "\x1b[1;2;3;4;5;6m",
   {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, ecOverflow, ecChar, ecChar}, {'m', ecChar, 0, 0, 7, 0, 0, 0}},
  {"question mark counts toward overflow", etVT100, "\x1b[;;;;?", {0, 0, 0, 0, 0, 0, ecOverflow}, {'?', ecOverflow, 0, 0, 7, 0, 0, 0}},
  {"sixth digit is dropped, argument is the low byte", etANSI, "\x1b[1234567A", {0, 0, 0, 0, 0, 0, 0, 0, 0, ecUp}, {'A', ecUp, 0, 57, 7, 0, 0, etANSI}},
  {"vt100 c without 0 is written", etVT100, "\x1b[c", {0, 0, ecChar}, {'c', ecChar, 0, 0, 7, 0, 0, etVT100}},
  {"vt100 0 c identifies", etVT100, "\x1b[0c", {0, 0, 0, ecIdentify}, {'c', ecIdentify, 0, 1, 7, 0, 0, etVT100}},
  {"ansi c takes P1, no answer", etANSI, "\x1b[c", {0, 0, ecIdentify}, {'c', ecIdentify, 1, 0, 7, 0, 0, etANSI}},
  {"ansi 0 c keeps a stale Arg2", etANSI, "\x1b[3B\x1b[0c", {0, 0, 0, ecDown, 0, 0, 0, ecIdentify}, {'c', ecIdentify, 0, 3, 7, 0, 0, etANSI}},
  {"escape escape writes the second", etANSI, "\x1b\x1b" "A", {0, ecChar, ecChar}, {'A', ecChar, 0, 0, 7, 0, 0, 0}},
  {"form feed leaves Arg2", etANSI, "\x1b[5;7H\f", {0, 0, 0, 0, 0, ecGotoXY, ecEraseInPage9}, {0x0C, ecEraseInPage9, 2, 5, 7, 0, 0, etANSI}},
  {"vt100 empty r is region 1..1", etVT100, "\x1b[r", {0, 0, ecScrollRegion}, {'r', ecScrollRegion, 1, 1, 7, 0, 0, etVT100}},
  {"vt100 region", etVT100, "\x1b[3;20r", {0, 0, 0, 0, 0, 0, ecScrollRegion}, {'r', ecScrollRegion, 3, 20, 7, 0, 0, etVT100}},
  {"vt100 mode 3 set", etVT100, "\x1b[3h", {0, 0, 0, ecModeCRM}, {'h', ecModeCRM, 1, 0, 7, 0, 0, etVT100}},
  {"vt100 mode 20 reset", etVT100, "\x1b[20l", {0, 0, 0, 0, ecModeLNM}, {'l', ecModeLNM, 0, 0, 7, 0, 0, etVT100}},
  {"vt100 unknown mode is written", etVT100, "\x1b[5l", {0, 0, 0, ecChar}, {'l', ecChar, 0, 0, 7, 0, 0, etVT100}},
  {"vt100 q is swallowed", etVT100, "\x1b[1q", {0, 0, 0, ecNone}, {'q', ecNone, 0, 0, 7, 0, 0, etVT100}},
  {"vt100 private mode is swallowed", etVT100, "\x1b[?25h", {0, 0, 0, 0, 0, ecNone}, {'h', ecNone, 0, 0, 7, 0, 0, 0}},
  {"0 after ? is written and ends", etVT100, "\x1b[?0h", {0, 0, 0, ecChar, ecChar}, {'h', ecChar, 0, 0, 7, 0, 0, 0}},
  {"ansi private writes its first character", etANSI, "\x1b[?5h", {0, 0, 0, ecChar, ecChar}, {'h', ecChar, 0, 0, 7, 0, 0, 0}},
  {"vt100 G0 designation swallowed", etVT100, "\x1b(B", {0, 0, ecNone}, {'B', ecNone, 0, 0, 7, 0, 0, 0}},
  {"vt100 unknown G1 set is written", etVT100, "\x1b)X", {0, 0, ecChar}, {'X', ecChar, 0, 0, 7, 0, 0, 0}},
  {"ansi ( is written", etANSI, "\x1b(", {0, ecChar}, {'(', ecChar, 0, 0, 7, 0, 0, 0}},
  {"equals is ignored in a sequence", etANSI, "\x1b[=5h", {0, 0, 0, 0, ecSetMode}, {'h', ecSetMode, 5, 0, 7, 0, 0, etANSI}},
  {"CR inside a sequence is a final and written", etANSI, "\x1b[\r", {0, 0, ecChar}, {'\r', ecChar, 0, 0, 7, 0, 0, etANSI}},
  {"ansi single escape sets no kind", etANSI, "\x1bI", {0, ecTabJustify}, {'I', ecTabJustify, 0, 0, 7, 0, 0, 0}},
  {"ansi ESC D moves down one", etANSIBBS, "\x1b" "D", {0, ecDown}, {'D', ecDown, 0, 1, 7, 0, 0, 0}},
  {"ansi unknown escape written", etANSI, "\x1bz", {0, ecChar}, {'z', ecChar, 0, 0, 7, 0, 0, 0}},
  {"vt100 save cursor", etVT100, "\x1b" "7", {0, ecSaveCursor}, {'7', ecSaveCursor, 0, 0, 7, 0, 0, 0}},
  {"vt100 ESC Z identifies with answer 1", etVT100, "\x1bZ", {0, ecIdentify}, {'Z', ecIdentify, 0, 1, 7, 0, 0, 0}},
  {"vt52 ESC Z identifies with answer 0", etVT52, "\x1bZ", {0, ecIdentify}, {'Z', ecIdentify, 0, 0, 7, 0, 0, etVT52}},
  {"vt52 ESC Y is not supported", etVT52, "\x1bY", {0, ecChar}, {'Y', ecChar, 0, 0, 7, 0, 0, 0}},
  {"vt52 ESC G is a final without entry", etVT52, "\x1bG", {0, ecChar}, {'G', ecChar, 0, 0, 7, 0, 0, etVT52}},
  {"vt52 has no CSI", etVT52, "\x1b[A", {0, ecChar, ecChar}, {'A', ecChar, 0, 0, 7, 0, 0, 0}},
  {"vt52 home", etVT52, "\x1bH", {0, ecGotoXY}, {'H', ecGotoXY, 1, 1, 7, 0, 0, etVT52}},
  {"tab, shift out, plain text", etANSI, "\t\x0e" "a", {ecTab, ecNone, ecChar}, {'a', ecChar, 0, 0, 7, 0, 0, 0}},
  {"ansi position report swaps arguments", etANSI, "\x1b[4;9R", {0, 0, 0, 0, 0, ecPositionReport}, {'R', ecPositionReport, 9, 4, 7, 0, 0, etANSI}},
  {"ansi vertical tab takes Arg2", etANSI, "\x1b[3Y", {0, 0, 0, ecVerticalTab}, {'Y', ecVerticalTab, 0, 3, 7, 0, 0, etANSI}},
  {"ansi insert chars", etANSI, "\x1b[4@", {0, 0, 0, ecInsertChars}, {'@', ecInsertChars, 4, 0, 7, 0, 0, etANSI}},
  {"ansi unknown final is written", etANSI, "\x1b[5y", {0, 0, 0, ecChar}, {'y', ecChar, 0, 0, 7, 0, 0, etANSI}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(AllTypes, ParserTable, testing::ValuesIn(kCases));

TEST(EmuParser, NoParserForNoneOrUnknownTypes) {
  EXPECT_EQ(CreateEmuParser(etNone), nullptr);
  EXPECT_EQ(CreateEmuParser(5), nullptr);
  EXPECT_EQ(CreateEmuParser(-1), nullptr);
}

TEST(EmuParser, WithoutParserTheCharacterIsWritten) {
  TEmuCommand cmd{};
  cmd.Code = ecUp;
  ParseEmuChar(nullptr, 0x1b, cmd);
  EXPECT_EQ(cmd.Code, ecChar);
  EXPECT_EQ(cmd.Char, 0x1b);
}

TEST(EmuParser, SequenceAfterOverflowStartsClean) {
  std::unique_ptr<TEmuParser, ParserDeleter> parser(CreateEmuParser(etANSI));
  TEmuCommand cmd{};
  for (unsigned char ch : std::string("\x1b[1;2;3;4;5;\x1b[7C")) ParseEmuChar(parser.get(), ch, cmd);
  EXPECT_EQ(cmd.Code, ecRight);
  EXPECT_EQ(cmd.Arg1, 7);
}

}  // namespace
