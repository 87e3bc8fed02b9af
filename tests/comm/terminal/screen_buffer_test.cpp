#include "comm/terminal/screen_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "comm/terminal/buffer_errors.h"
#include "framework/exceptions.h"
#include "tests/comm/terminal/harness.h"

namespace {

using comm::testing::RecordingView;
using comm::testing::Terminal;

std::string Trimmed(const TBuffer& b, int row) {
  std::string text = b.RowText(row);
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

struct DimensionCase {
  int rows, columns, pageHeight, result;
};

class Dimensions : public testing::TestWithParam<DimensionCase> {};

TEST_P(Dimensions, AcceptsOnlyWithinLimits) {
  const DimensionCase& c = GetParam();
  RecordingView view;
  TBuffer buffer(&view, 200, 80);
  EXPECT_EQ(buffer.SetDimensions(c.rows, c.columns, c.pageHeight), c.result);
  if (c.result == 0) {
    EXPECT_EQ(buffer.Rows(), c.rows);
    EXPECT_EQ(buffer.Columns(), c.columns);
  } else {  // a refusal changes nothing
    EXPECT_EQ(buffer.Rows(), 200);
    EXPECT_EQ(buffer.Columns(), 80);
  }
}

INSTANTIATE_TEST_SUITE_P(Limits, Dimensions,
                         testing::Values(DimensionCase{200, 80, 25, 0}, DimensionCase{100, 133, 101, comm::codes::kBadArgument},
                                         DimensionCase{492, 133, 25, 0}, DimensionCase{493, 133, 25, comm::codes::kBadArgument},
                                         DimensionCase{100, 134, 25, comm::codes::kBadArgument},
                                         DimensionCase{25, 80, 25, 0}, DimensionCase{0, 80, 0, comm::codes::kBadArgument},
                                         DimensionCase{10, 0, 5, comm::codes::kBadArgument}));

TEST(ScreenBuffer, CreateRefusesImpossibleGrid) {
  RecordingView view;
  try {
    TBuffer buffer(&view, 24, 80);
    FAIL() << "no exception";
  } catch (const fw::Exception& e) {
    EXPECT_EQ(e.Message(), "Buffer allocation failed");
  }
}

TEST(ScreenBuffer, LineAfterFullGridDropsOldestRow) {
  Terminal t(etANSI);
  for (int i = 0; i <= 200; ++i) {
    if (i > 0) t.Feed("\r\n");
    t.Feed("line " + std::to_string(i));
  }
  EXPECT_EQ(t.buffer.CursorRow(), 199);
  EXPECT_EQ(Trimmed(t.buffer, 0), "line 1");
  EXPECT_EQ(Trimmed(t.buffer, 199), "line 200");
  EXPECT_EQ(t.buffer.ViewTop(), 175);
}

TEST(ScreenBuffer, LastColumnWrapsToNextRow) {
  Terminal t(etANSI);
  t.Feed(std::string(79, 'a'));
  EXPECT_EQ(t.buffer.CursorColumn(), 79);
  t.Feed("b");
  EXPECT_EQ(t.buffer.CursorRow(), 1);
  EXPECT_EQ(t.buffer.CursorColumn(), 0);
  EXPECT_EQ(t.buffer.CharAt(0, 79), 'b');
}

TEST(ScreenBuffer, BackspaceBlanksPreviousCellAndStopsAtColumnZero) {
  Terminal t(etANSI);
  t.Feed("ab\b");
  EXPECT_EQ(t.buffer.CursorColumn(), 1);
  EXPECT_EQ(t.buffer.CharAt(0, 1), ' ');
  t.Feed("\b\b");
  EXPECT_EQ(t.buffer.CursorColumn(), 0);
  EXPECT_EQ(t.buffer.CharAt(0, 0), ' ');
}

TEST(ScreenBuffer, GotoClampsToGrid) {
  Terminal t(etANSI, 30, 80, 25);
  t.Feed("\x1b[99;99H");
  EXPECT_EQ(t.buffer.CursorRow(), 29);
  EXPECT_EQ(t.buffer.CursorColumn(), 79);
  t.Feed("\x1b[3;5H");
  EXPECT_EQ(t.buffer.CursorRow(), 2);
  EXPECT_EQ(t.buffer.CursorColumn(), 4);
}

struct MoveCase {
  const char* what;
  const char* input;
  int row;
};

class CursorMoves : public testing::TestWithParam<MoveCase> {};

TEST_P(CursorMoves, StopAtRegionOrPage) {
  Terminal t(etVT100);
  t.Feed(GetParam().input);
  EXPECT_EQ(t.buffer.CursorRow(), GetParam().row) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    UpDown, CursorMoves,
    testing::Values(MoveCase{"up inside region stops at its top", "\x1b[5;10r\x1b[8;1H\x1b[9A", 4},
                    MoveCase{"down inside region stops at its bottom", "\x1b[5;10r\x1b[8;1H\x1b[20B", 9},
                    MoveCase{"down from above region stops at its bottom", "\x1b[5;10r\x1b[2;1H\x1b[20B", 9},
                    MoveCase{"down below region stops at last page row", "\x1b[5;10r\x1b[13;1H\x1b[30B", 24},
                    MoveCase{"up without region", "\x1b[4;1H\x1b[2A", 1},
                    MoveCase{"up past the top is limited", "\x1b[4;1H\x1b[99A", 0},
                    MoveCase{"down past the grid does nothing", "\x1b[4;1H\x1b[250B\x1b[199B", 3}));

struct PositionCase {
  const char* what;
  const char* input;
  int row, column;
};

class CursorCommands : public testing::TestWithParam<PositionCase> {};

TEST_P(CursorCommands, LeaveCursorAt) {
  Terminal t(etANSI);
  t.Feed(GetParam().input);
  EXPECT_EQ(t.buffer.CursorRow(), GetParam().row) << GetParam().what;
  EXPECT_EQ(t.buffer.CursorColumn(), GetParam().column) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Moves, CursorCommands,
    testing::Values(PositionCase{"column", "\x1b[5G", 0, 4}, PositionCase{"column limited", "\x1b[200G", 0, 79},
                    PositionCase{"column 0 keeps", "\x1b[1;9H\x1b[0G", 0, 8}, PositionCase{"row", "\x1b[7d", 6, 0},
                    PositionCase{"next line", "\x1b[1;9H\x1b[2E", 2, 0},
                    PositionCase{"previous line not below 0", "\x1b[3;9H\x1b[9F", 0, 0},
                    PositionCase{"new line", "\x1b[3;9H\x1b" "E", 3, 0},
                    PositionCase{"right past the line does nothing", "\x1b[1;70H\x1b[20C", 0, 69},
                    PositionCase{"left not below 0", "\x1b[1;5H\x1b[20D", 0, 0},
                    PositionCase{"down by index", "\x1b[2;3H\x1b" "D", 2, 2},
                    PositionCase{"vertical tab to second stop", "\x1b[4;1H\x1b" "J\x1b[9;1H\x1b" "J\x1b[1;1H\x1b[2Y", 8, 0},
                    PositionCase{"vertical tab with fewer stops takes the last", "\x1b[4;1H\x1b" "J\x1b[1;1H\x1b[5Y", 3, 0}));

TEST(ScreenBuffer, EraseInPageBeforeAndAfterCursor) {
  Terminal t(etANSI);
  t.Feed("first\r\nsecond\r\nthird\x1b[2;4H\x1b[J");
  EXPECT_EQ(Trimmed(t.buffer, 0), "first");
  EXPECT_EQ(Trimmed(t.buffer, 1), "sec");
  EXPECT_EQ(Trimmed(t.buffer, 2), "");
  t.Feed("\x1b[2;2H\x1b[1J");
  EXPECT_EQ(Trimmed(t.buffer, 0), "");
  EXPECT_EQ(Trimmed(t.buffer, 1), "  c");
}

TEST(ScreenBuffer, EraseCharsStopsAtLineEnd) {
  Terminal t(etANSI);
  t.Feed("abcdef\r\nnext\x1b[1;3H\x1b[2X");
  EXPECT_EQ(Trimmed(t.buffer, 0), "ab  ef");
  t.Feed("\x1b[250X");
  EXPECT_EQ(Trimmed(t.buffer, 0), "ab");
  EXPECT_EQ(Trimmed(t.buffer, 1), "next");
}

struct EraseCase {
  const char* what;
  int type;
  const char* input;  // after "ABCDEFGH" on row 0 and cursor at column 4 (1-based)
  const char* text;
  int colour;  // colour of the erased cell at column 4
};

class EraseInLine : public testing::TestWithParam<EraseCase> {};

TEST_P(EraseInLine, ErasesExtentWithColourRule) {
  const EraseCase& c = GetParam();
  Terminal t(c.type);
  t.Feed("ABCDEFGH\x1b[1;4H");
  t.Feed(c.input);
  EXPECT_EQ(Trimmed(t.buffer, 0), c.text) << c.what;
  EXPECT_EQ(t.buffer.ColourAt(0, 3), c.colour) << c.what;
  EXPECT_EQ(t.buffer.CursorColumn(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Extents, EraseInLine,
    testing::Values(EraseCase{"to line end", etANSI, "\x1b[K", "ABC", 0x07},
                    EraseCase{"from line start", etANSI, "\x1b[1K", "    EFGH", 0x07},
                    EraseCase{"whole line", etANSI, "\x1b[2K", "", 0x07},
                    EraseCase{"ansi reverse takes the foreground as background", etANSI, "\x1b[7m\x1b[K", "ABC", 0x00},
                    EraseCase{"vt100 reverse keeps the swapped colours", etVT100, "\x1b[7m\x1b[K", "ABC", 0x70},
                    EraseCase{"coloured erase", etANSI, "\x1b[33;44m\x1b[2K", "", 0x43}));

TEST(ScreenBuffer, TabStopsEveryEightInside133Columns) {
  Terminal t(etANSI, 200, 133, 25);
  std::vector<int> expected;
  for (int s = 8; s <= 128; s += 8) expected.push_back(s);
  EXPECT_EQ(t.buffer.TabStops(), expected);
  t.Feed("\t");
  EXPECT_EQ(t.buffer.CursorColumn(), 8);
  t.Feed("\x1b[1;129H\t");
  EXPECT_EQ(t.buffer.CursorColumn(), 128);  // no stop ahead
}

TEST(ScreenBuffer, TabControlAndTabClearSelectors) {
  Terminal t(etANSI);
  t.Feed("\x1b[1;4H\x1b[0W");
  EXPECT_EQ(t.buffer.TabStops().front(), 4);
  t.Feed("\x1b[2W");
  EXPECT_EQ(t.buffer.TabStops().front(), 8);
  t.Feed("\x1b[3;1H\x1b[1W\x1b[6;1H\x1b" "J");
  EXPECT_EQ(t.buffer.VerticalTabStops(), (std::vector<int>{3, 6}));
  t.Feed("\x1b[1g");  // removes the stop at the current row (6)
  EXPECT_EQ(t.buffer.VerticalTabStops(), (std::vector<int>{3}));
  t.Feed("\x1b[4g");
  EXPECT_TRUE(t.buffer.VerticalTabStops().empty());
  t.Feed("\x1b[1;3H\x1b[0g\x1b[1;8H\x1b[0g");
  EXPECT_EQ(t.buffer.TabStops().front(), 16);
  t.Feed("\x1b[4W");
  EXPECT_EQ(t.buffer.TabStops().front(), 8);
}

TEST(ScreenBuffer, TabForwardAndBackTabCountStops) {
  Terminal t(etANSI);
  t.Feed("\x1b[2I");
  EXPECT_EQ(t.buffer.CursorColumn(), 15);
  t.Feed("\x1b[99I");
  EXPECT_EQ(t.buffer.CursorColumn(), 71);  // stop 72 is the last inside the line
  t.Feed("\x1b[3Z");
  EXPECT_EQ(t.buffer.CursorColumn(), 47);
}

struct AnswerCase {
  const char* what;
  int type;
  const char* input;
  const char* answer;
};

class Answers : public testing::TestWithParam<AnswerCase> {};

TEST_P(Answers, AreByteExact) {
  Terminal t(GetParam().type);
  t.Feed(GetParam().input);
  EXPECT_EQ(t.port.sent, GetParam().answer) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Port, Answers,
    testing::Values(AnswerCase{"cursor report", etANSI, "\x1b[5;10H\x1b[6n", "\x1b[5;10R"},
                    AnswerCase{"cursor report after scrolling is page relative", etANSI,
                               "\x1b[25;1H\n\n\x1b[5;10H\x1b[6n", "\x1b[5;10R"},
                    AnswerCase{"other status request", etANSI, "\x1b[5n", ""},
                    AnswerCase{"vt52 identify", etVT52, "\x1bZ", "\x1b/Z"},
                    AnswerCase{"vt100 identify", etVT100, "\x1bZ", "\x1b[?1;0c"},
                    AnswerCase{"vt100 CSI 0 c", etVT100, "\x1b[0c", "\x1b[?1;0c"},
                    AnswerCase{"ansi CSI c does not answer", etANSI, "\x1b[c", ""}));

TEST(ScreenBuffer, PositionReportGoesToWindow) {
  Terminal t(etANSI);
  t.Feed("\x1b[7;12R");
  ASSERT_EQ(t.view.reports.size(), 1u);
  EXPECT_EQ(t.view.reports[0].first, 12u);
  EXPECT_EQ(t.view.reports[0].second, 7);
}

TEST(ScreenBuffer, StatusPacksCursorAndViewOrigin) {
  Terminal t(etANSI);
  t.Feed("\x1b[5;10H");
  t.buffer.ApplyRepaint();
  ASSERT_FALSE(t.view.status.empty());
  EXPECT_EQ(t.view.status.back().first, (10u << 8) | 5u);
  EXPECT_EQ(t.view.status.back().second, 1u | (1u << 16));
}

// Counts arriving from the line never reach outside the line or the grid.
TEST(ScreenBuffer, DeleteCharsActsWithinLineOnLastRow) {
  Terminal t(etANSI, 25, 80, 25);
  t.Feed("\x1b[25;1HABCDEFGH\x1b[25;3H\x1b[2P");
  EXPECT_EQ(Trimmed(t.buffer, 24), "ABEFGH");
  t.Feed("\x1b[200P");
  EXPECT_EQ(Trimmed(t.buffer, 24), "AB");
}

TEST(ScreenBuffer, InsertCharsDoesNotSpillIntoNextRow) {
  Terminal t(etANSI);
  t.Feed("ABCDEFGH\r\nnext\x1b[1;3H\x1b[200@");
  EXPECT_EQ(Trimmed(t.buffer, 0), "AB");
  EXPECT_EQ(Trimmed(t.buffer, 1), "next");
  t.Feed("\x1b[1;1HABCD\x1b[1;2H\x1b[2@");
  EXPECT_EQ(Trimmed(t.buffer, 0), "A  BCD");
}

TEST(ScreenBuffer, DeleteLinesBlanksVacatedRows) {
  Terminal t(etANSI, 25, 80, 25);
  t.Feed("one\r\ntwo\r\nthree\x1b[1;1H\x1b[1M");
  EXPECT_EQ(Trimmed(t.buffer, 0), "two");
  EXPECT_EQ(Trimmed(t.buffer, 1), "three");
  EXPECT_EQ(Trimmed(t.buffer, 24), "");
  t.Feed("\x1b[25;1Hlast\x1b[25;1H\x1b[200M");
  EXPECT_EQ(Trimmed(t.buffer, 24), "");
  EXPECT_EQ(Trimmed(t.buffer, 0), "two");
}

TEST(ScreenBuffer, InsertLinesStayInsidePage) {
  Terminal t(etANSI);
  t.Feed("one\r\ntwo\x1b[1;1H\x1b[1L");
  EXPECT_EQ(Trimmed(t.buffer, 0), "");
  EXPECT_EQ(Trimmed(t.buffer, 1), "one");
  EXPECT_EQ(Trimmed(t.buffer, 2), "two");
  t.Feed("\x1b[250L");
  EXPECT_EQ(Trimmed(t.buffer, 1), "");
  EXPECT_EQ(Trimmed(t.buffer, 25), "");  // nothing pushed below the page
}

TEST(ScreenBuffer, TabJustifyStopsAtLastStopAndWrapsAfter) {
  Terminal t(etANSI);
  t.Feed("ab\x1bI");
  EXPECT_EQ(t.buffer.CursorColumn(), 7);
  t.Feed("\x1b[1;78H\x1bI");  // the next stop (80) is the line end
  EXPECT_EQ(t.buffer.CursorColumn(), 79);
  t.Feed("\x1bI");  // no stop ahead: nothing
  EXPECT_EQ(t.buffer.CursorColumn(), 79);
  t.Feed("xy");
  EXPECT_EQ(t.buffer.CursorRow(), 1);
  EXPECT_EQ(t.buffer.CursorColumn(), 1);
}

struct RegionCase {
  const char* input;
  int top, bottom;
};

class ScrollRegion : public testing::TestWithParam<RegionCase> {};

TEST_P(ScrollRegion, AcceptsOnlyRegionsInsidePage) {
  Terminal t(etVT100);
  t.Feed("\x1b[3;3H");
  t.Feed(GetParam().input);
  EXPECT_EQ(t.buffer.RegionTop(), GetParam().top);
  EXPECT_EQ(t.buffer.RegionBottom(), GetParam().bottom);
  EXPECT_EQ(t.buffer.CursorRow(), 0);
  EXPECT_EQ(t.buffer.CursorColumn(), 0);
}

INSTANTIATE_TEST_SUITE_P(Validation, ScrollRegion,
                         testing::Values(RegionCase{"\x1b[2;20r", 2, 20}, RegionCase{"\x1b[r", 1, 25},
                                         RegionCase{"\x1b[0;10r", 1, 25}, RegionCase{"\x1b[10;5r", 1, 25},
                                         RegionCase{"\x1b[5;26r", 1, 25}, RegionCase{"\x1b[1;25r", 1, 25}));

TEST(ScreenBuffer, RegionScrollKeepsLinesOutsideInPlace) {
  Terminal t(etVT100, 40, 20, 6);
  t.Feed("top\r\nr1\r\nr2\r\nr3\r\nbelow\r\nlast");
  t.Feed("\x1b[2;4r\x1b[4;1H\nnew");
  const int v = t.buffer.ViewTop();
  EXPECT_EQ(Trimmed(t.buffer, v + 0), "top");
  EXPECT_EQ(Trimmed(t.buffer, v + 1), "r2");
  EXPECT_EQ(Trimmed(t.buffer, v + 2), "r3");
  EXPECT_EQ(Trimmed(t.buffer, v + 3), "new");
  EXPECT_EQ(Trimmed(t.buffer, v + 4), "below");
  EXPECT_EQ(Trimmed(t.buffer, v + 5), "last");
}

TEST(ScreenBuffer, RegionScrollAtGridEndKeepsLinesOutsideInPlace) {
  Terminal t(etVT100, 6, 20, 6);
  t.Feed("top\r\nr1\r\nr2\r\nr3\r\nbelow\r\nlast");
  t.Feed("\x1b[2;4r\x1b[4;1H\nnew");
  EXPECT_EQ(t.buffer.ViewTop(), 0);
  EXPECT_EQ(Trimmed(t.buffer, 0), "top");
  EXPECT_EQ(Trimmed(t.buffer, 1), "r2");
  EXPECT_EQ(Trimmed(t.buffer, 2), "r3");
  EXPECT_EQ(Trimmed(t.buffer, 3), "new");
  EXPECT_EQ(Trimmed(t.buffer, 4), "below");
  EXPECT_EQ(Trimmed(t.buffer, 5), "last");
}

TEST(ScreenBuffer, ClearPageMovesViewDownWhenRoomRemains) {
  Terminal t(etANSI);
  t.Feed("old\x1b[2J");
  EXPECT_EQ(t.buffer.ViewTop(), 25);
  EXPECT_EQ(t.buffer.CursorRow(), 25);
  EXPECT_EQ(Trimmed(t.buffer, 0), "old");  // kept in the scroll-back
}

TEST(ScreenBuffer, ClearAllBlanksEverythingWithLogicalColours) {
  Terminal t(etANSI);
  t.Feed("\x1b[31mabc\r\n\r\n");
  t.buffer.SetColors(2, 1);
  t.buffer.ClearAll();
  EXPECT_EQ(t.buffer.CursorRow(), 0);
  EXPECT_EQ(Trimmed(t.buffer, 0), "");
  EXPECT_EQ(t.buffer.ColourAt(0, 0), 0x12);
  EXPECT_EQ(t.buffer.HighestRow(), 24);
}

TEST(ScreenBuffer, SaveAndRestoreCursorWithColours) {
  Terminal t(etANSI);
  t.Feed("\x1b[3;4H\x1b[32m\x1b[s\x1b[10;10H\x1b[0m\x1b[u");
  EXPECT_EQ(t.buffer.CursorRow(), 2);
  EXPECT_EQ(t.buffer.CursorColumn(), 3);
  t.Feed("x");
  EXPECT_EQ(t.buffer.ColourAt(2, 3), 0x02);
  t.Feed("\x1b[u");  // nothing saved any more: ANSI homes the page
  EXPECT_EQ(t.buffer.CursorRow(), 0);
  EXPECT_EQ(t.buffer.CursorColumn(), 0);
}

TEST(ScreenBuffer, ViewFollowsCursorInSmallWindowAndScrollsWithinLimits) {
  Terminal t(etANSI);
  t.buffer.SetCharSize(16, 8);
  t.buffer.SetClientSize(640, 16 * 10);
  ASSERT_EQ(t.buffer.VisibleRows(), 10);
  for (int i = 0; i < 29; ++i) t.Feed("x\r\n");
  EXPECT_EQ(t.buffer.CursorRow(), 29);
  EXPECT_EQ(t.buffer.ViewTop(), 20);
  EXPECT_EQ(t.buffer.HighestRow(), 29);

  t.buffer.ScrollView(0, -100);  // not above the page's first row
  EXPECT_EQ(t.buffer.ViewTop(), 5);
  t.buffer.ViewEnd(true);
  EXPECT_EQ(t.buffer.ViewTop(), 20);
  t.buffer.ViewHome(true);
  EXPECT_EQ(t.buffer.ViewTop(), 5);

  t.buffer.SetScrollbackMode(true);
  t.buffer.ScrollView(0, -100);  // the whole scroll-back
  EXPECT_EQ(t.buffer.ViewTop(), 0);
  t.buffer.ScrollView(0, 100);  // until the highest row is the last visible
  EXPECT_EQ(t.buffer.ViewTop(), 20);
  t.buffer.ApplyRepaint();
  EXPECT_EQ(t.view.status.back().first, 0u);  // no cursor shown in scroll-back
}

TEST(ScreenBuffer, PlainFallbackWritesEveryByte) {
  RecordingView view;
  TBuffer buffer(&view, 200, 80);
  for (unsigned char ch : std::string("\x1b[2J")) buffer.HandleChar(ch);
  EXPECT_EQ(Trimmed(buffer, 0), "\x1b[2J");
}

TEST(ScreenBuffer, TextCommandWritesItsCharacters) {
  RecordingView view;
  TBuffer buffer(&view, 200, 80);
  buffer.SetEmulator(&view, [](void*, std::uint8_t, TEmuCommand& c) {
    c.Code = ecText;
    c.Text[0] = 200;  // a length past the field is cut to it
    for (int i = 1; i < 12; ++i) c.Text[i] = static_cast<std::uint8_t>('a' + i - 1);
  });
  buffer.HandleChar('z');
  EXPECT_EQ(Trimmed(buffer, 0), "abcdefghijk");
}

}  // namespace

TEST(ScreenBuffer, StatusKeepsARowAbove255OutOfTheColumnByte) {
  Terminal t(etANSI, 492, 133, 492);
  t.Feed("\x1b[300;10H");
  t.buffer.ApplyRepaint();
  ASSERT_FALSE(t.view.status.empty());
  EXPECT_EQ(t.view.status.back().first, (10u << 8) | (300u & 0xFF));
}

TEST(ScreenBuffer, BlinkStepSwitchesBlinkingCellsBetweenPhases) {
  Terminal t(etANSI);
  t.Feed("\x1b[5;31mB\x1b[0mn");
  const std::uint8_t written = t.buffer.ColourAt(0, 0);
  EXPECT_TRUE(t.buffer.BlinkStep());
  EXPECT_EQ(t.buffer.ColourAt(0, 0), (written >> 4) * 0x11);  // background in both nibbles
  EXPECT_EQ(t.buffer.ColourAt(0, 1), t.buffer.WrittenColourAt(0, 1));  // not blinking
  EXPECT_TRUE(t.buffer.BlinkStep());
  EXPECT_EQ(t.buffer.ColourAt(0, 0), written);
}

TEST(ScreenBuffer, BlinkStepWithoutBlinkingCellsInvalidatesNothing) {
  Terminal t(etANSI);
  t.Feed("plain");
  t.buffer.ApplyRepaint();
  const int before = t.view.invalidations;
  EXPECT_FALSE(t.buffer.BlinkStep());
  EXPECT_EQ(t.view.invalidations, before);
}
