// The terminal window under Wine and Xvfb, fed by a fake dispatcher: what it
// takes, shows, captures, copies and sends.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "comm/base/error_codes.h"
#include "comm/keyboard/key_map.h"
#include "comm/terminal/window_win.h"
#include "tests/support/files.h"

namespace {

using namespace comm;

// The port side as the test plays it: bytes waiting, bytes sent.
struct FakePort {
  std::string waiting;
  std::size_t taken = 0;
  std::string sent;
  int registrations = 0;
  std::uint32_t lengthTrigger = 0;
  std::function<void()> onFetch;
};

class FakeLink : public TerminalLink {
 public:
  explicit FakeLink(FakePort& port) : port_(port) {}
  bool HasReceived() override { return port_.taken < port_.waiting.size(); }
  int FetchChar(std::uint8_t& c) override {
    if (!HasReceived()) return -1;
    c = static_cast<std::uint8_t>(port_.waiting[port_.taken++]);
    if (port_.onFetch) port_.onFetch();
    return 0;
  }
  int SendBlock(const std::uint8_t* bytes, std::size_t count) override {
    port_.sent.append(reinterpret_cast<const char*>(bytes), count);
    return 0;
  }
  int RegisterWindow(HWND) override { return ++port_.registrations, 0; }
  int UnregisterWindow(HWND) override { return --port_.registrations, 0; }
  int SetLengthTrigger(std::uint32_t length) override { return port_.lengthTrigger = length, 0; }

 private:
  FakePort& port_;
};

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

class TerminalWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterTerminalClass());
    SetTerminalLinkFinder([this](int handle) -> std::unique_ptr<TerminalLink> {
      if (handle != 7) return nullptr;
      return std::make_unique<FakeLink>(port);
    });
    window = CreateWindowExA(0, kTerminalClassName, "Terminal",
                             WS_OVERLAPPEDWINDOW | WS_VSCROLL | kTerminalWantsTabs, 0, 0, 400, 300, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    const LRESULT size = Send(TM_GETCHARSIZE);
    charWidth = static_cast<int>(size >> 8 & 0xFF);
    charHeight = static_cast<int>(size & 0xFF);
    ASSERT_GT(charWidth, 0);
    ASSERT_GT(charHeight, 0);
    Send(TM_SETDISPLAYSIZE, 80, 25);
    Pump();
  }
  void TearDown() override {
    if (window) DestroyWindow(window);
    SetTerminalLinkFinder(nullptr);
    Pump();
  }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(window, message, wParam, lParam);
  }
  void Attach() {
    ASSERT_EQ(Send(TM_ATTACH, 7), 0);
    Send(TM_START, 1);
  }
  void Write(const std::string& text) {
    Send(TM_WRITESTRING, text.size(), reinterpret_cast<LPARAM>(text.data()));
  }
  int ClientWidth() {
    RECT rect;
    GetClientRect(window, &rect);
    return rect.right;
  }
  // Drags a mark from one cell to another (both in view) and copies it.
  std::string CopyCells(int row1, int column1, int row2, int column2) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(column1 * charWidth + 1, row1 * charHeight + 1));
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(column2 * charWidth + 1, row2 * charHeight + 1));
    Send(WM_LBUTTONUP, 0, Point(column2 * charWidth + 1, row2 * charHeight + 1));
    return Clipboard();
  }
  std::string Clipboard() {
    if (!OpenClipboard(window)) return "<no clipboard>";
    EmptyClipboard();
    CloseClipboard();
    Send(WM_COPY);
    std::string text = "<empty>";
    if (OpenClipboard(window)) {
      if (HANDLE data = GetClipboardData(CF_TEXT)) {
        const char* bytes = static_cast<const char*>(GlobalLock(data));
        const std::size_t size = GlobalSize(data);
        text.assign(bytes, strnlen(bytes, size) + 1 <= size ? strnlen(bytes, size) + 1 : size);
        GlobalUnlock(data);
      }
      CloseClipboard();
    }
    return text;
  }
  // The first `length` characters of a row as the window shows them.
  std::string Row(int row, int length) {
    std::string text = CopyCells(row, 0, row, length - 1);
    return text.size() >= 3 ? text.substr(0, text.size() - 3) : text;
  }

  FakePort port;
  HWND window = nullptr;
  int charWidth = 0, charHeight = 0;
};

TEST_F(TerminalWindow, TakesAnnouncedBytesShowsAndCapturesThem) {
  std::remove("window_capture.cap");
  Attach();
  EXPECT_EQ(port.registrations, 1);
  EXPECT_EQ(port.lengthTrigger, 1u);
  ASSERT_EQ(Send(TM_CAPTURE, 1, reinterpret_cast<LPARAM>("window_capture.cap")), 0);
  port.waiting = "Receipt 0042\r\nTotal 9.99\r\n";
  Send(PN_AVAIL, 5);
  EXPECT_EQ(port.taken, 5u);
  Send(PN_AVAIL, 1000);  // more than is waiting: only what is there
  EXPECT_EQ(port.taken, port.waiting.size());
  Send(TM_CAPTURE, 0, reinterpret_cast<LPARAM>("window_capture.cap"));
  EXPECT_EQ(test_support::ReadFileText("window_capture.cap"), port.waiting);
  EXPECT_EQ(Row(0, 12), "Receipt 0042");
  EXPECT_EQ(Row(1, 10), "Total 9.99");
}

TEST_F(TerminalWindow, AttachToAnUnknownHandleFailsAndTakesNothing) {
  EXPECT_EQ(Send(TM_ATTACH, 3), codes::kBadHandle);
  port.waiting = "x";
  Send(PN_AVAIL, 1);
  EXPECT_EQ(port.taken, 0u);
}

TEST_F(TerminalWindow, ScrollbackHoldsBytesAndLeavingTakesThem) {
  std::remove("scrollback.cap");
  Attach();
  Send(TM_CAPTURE, 1, reinterpret_cast<LPARAM>("scrollback.cap"));
  Send(TM_TOGGLESCROLLBACK);
  port.waiting = "held";
  Send(PN_AVAIL, 4);
  Pump();
  EXPECT_EQ(port.taken, 0u);
  Send(TM_TOGGLESCROLLBACK);
  EXPECT_EQ(port.taken, 0u);  // taken through the posted notification
  Pump();
  EXPECT_EQ(port.taken, 4u);
  Send(TM_CAPTURE, 0, 0);
  EXPECT_EQ(test_support::ReadFileText("scrollback.cap"), "held");
  EXPECT_EQ(Row(0, 4), "held");
}

// Scroll-back is a way of looking, not of sizing: what the window did to
// its own size meanwhile is undone when it ends, while a size given to it
// from outside (its frame dragged) stays.
TEST_F(TerminalWindow, LeavingScrollbackReturnsToTheSizeItBeganWith) {
  for (int line = 0; line < 60; ++line) Write("L" + std::to_string(line) + "\r\n");
  RECT began;
  GetClientRect(window, &began);
  Send(TM_TOGGLESCROLLBACK);
  Send(TM_SETDISPLAYSIZE, 40, 10);
  Pump();
  RECT meanwhile;
  GetClientRect(window, &meanwhile);
  ASSERT_LT(meanwhile.bottom, began.bottom);
  Send(TM_TOGGLESCROLLBACK);
  Pump();
  RECT ended;
  GetClientRect(window, &ended);
  EXPECT_EQ(ended.right, began.right);
  EXPECT_EQ(ended.bottom, began.bottom);

  Send(TM_TOGGLESCROLLBACK);
  SetWindowPos(window, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  Send(TM_TOGGLESCROLLBACK);
  Pump();
  RECT dragged;
  GetWindowRect(window, &dragged);
  EXPECT_LE(dragged.right - dragged.left, 300);
  EXPECT_LE(dragged.bottom - dragged.top, 200);
}

TEST_F(TerminalWindow, DetachFromAHandlerStopsTheBatch) {
  Attach();
  port.waiting = "abcdef";
  port.onFetch = [this] {
    if (port.taken == 2) Send(TM_DETACH);
  };
  Send(PN_AVAIL, 6);
  EXPECT_EQ(port.taken, 2u);
  EXPECT_EQ(port.registrations, 0);
}

TEST_F(TerminalWindow, RefusesProportionalFontsAndMeasuresFixedOnes) {
  const HFONT before = reinterpret_cast<HFONT>(Send(WM_GETFONT));
  HFONT proportional = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0,
                                   VARIABLE_PITCH | FF_SWISS, "Arial");
  EXPECT_EQ(Send(WM_SETFONT, reinterpret_cast<WPARAM>(proportional), 1), 0);
  EXPECT_EQ(reinterpret_cast<HFONT>(Send(WM_GETFONT)), before);

  HFONT fixed = CreateFontA(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FIXED_PITCH | FF_MODERN,
                            "Courier New");
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, fixed);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  ASSERT_EQ(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << "the test needs a fixed face";
  EXPECT_NE(Send(WM_SETFONT, reinterpret_cast<WPARAM>(fixed), 1), 0);
  EXPECT_EQ(reinterpret_cast<HFONT>(Send(WM_GETFONT)), fixed);
  EXPECT_EQ(Send(TM_GETCHARSIZE), (metrics.tmAveCharWidth << 8) | (metrics.tmHeight & 0xFF));
  DestroyWindow(window);
  window = nullptr;
  DeleteObject(proportional);
  DeleteObject(fixed);
}

TEST_F(TerminalWindow, DialogCodeFollowsTheWantsTabsBit) {
  EXPECT_EQ(Send(WM_GETDLGCODE), 135);
  SetWindowLongA(window, GWL_STYLE,
                 GetWindowLongA(window, GWL_STYLE) & ~static_cast<LONG>(kTerminalWantsTabs));
  EXPECT_EQ(Send(WM_GETDLGCODE), 133);
}

TEST_F(TerminalWindow, CopiesTheMarkInclusiveOfItsEndCell) {
  Write("abc\r\nline two\r\nthird row");
  EXPECT_EQ(CopyCells(0, 0, 0, 2), std::string("abc\r\n", 6));
  // Three rows: from the start column, the middle row whole, the last up to the end column.
  const std::string middle = "line two" + std::string(72, ' ');
  EXPECT_EQ(CopyCells(0, 1, 2, 4),
            std::string("bc") + std::string(77, ' ') + "\r\n" + middle + "\r\nthird\r\n" + '\0');
  // Made backwards: start and end swap.
  EXPECT_EQ(CopyCells(0, 2, 0, 0), std::string("abc\r\n", 6));
}

// The window reports to itself; a recording procedure in front of it sees the reports.
std::vector<std::pair<WPARAM, LPARAM>> errorsSeen;
WNDPROC terminalProcedure = nullptr;
LRESULT CALLBACK RecordErrors(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TM_ERROR) errorsSeen.emplace_back(wParam, lParam);
  return CallWindowProcA(terminalProcedure, window, message, wParam, lParam);
}

TEST_F(TerminalWindow, ClipboardHeldElsewhereIsReported) {
  errorsSeen.clear();
  terminalProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordErrors)));
  Write("abc");
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(1, 1));
  Send(WM_LBUTTONUP, 0, Point(2 * charWidth + 1, 1));
  HWND holder = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(holder));
  Send(WM_COPY);
  CloseClipboard();
  DestroyWindow(holder);
  ASSERT_EQ(errorsSeen.size(), 1u);
  EXPECT_EQ(errorsSeen[0].first, kClipboardFailure);
  EXPECT_EQ(errorsSeen[0].second, 1);
}

TEST_F(TerminalWindow, DragBelowTheWindowScrollsThreeRowsPerTick) {
  for (int i = 0; i < 24; ++i) Write("row " + std::to_string(i) + "\r\n");
  Send(TM_SETDISPLAYSIZE, 80, 10);
  Pump();
  Send(TM_TOGGLESCROLLBACK);
  Send(WM_VSCROLL, SB_TOP);
  ASSERT_EQ(Send(TM_GETTOP), 0);
  RECT client;
  GetClientRect(window, &client);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(1, 1));
  Send(WM_MOUSEMOVE, MK_LBUTTON, Point(1, client.bottom + 30));
  Send(WM_TIMER, kMarkTimer);
  EXPECT_EQ(Send(TM_GETTOP), 3);
  Send(WM_TIMER, kMarkTimer);
  EXPECT_EQ(Send(TM_GETTOP), 6);
  Send(WM_MOUSEMOVE, MK_LBUTTON, Point(1, client.bottom + 5));
  Send(WM_TIMER, kMarkTimer);
  EXPECT_EQ(Send(TM_GETTOP), 7);
  Send(WM_LBUTTONUP, 0, Point(1, client.bottom + 5));
}

TEST_F(TerminalWindow, DimensionsOutOfRangeChangeNothing) {
  Write("kept");
  EXPECT_EQ(Send(TM_SETDIMENSIONS, 25, (134 << 16) | 200), codes::kBadArgument);
  EXPECT_EQ(Row(0, 4), "kept");
  EXPECT_EQ(Send(TM_SETDIMENSIONS, 30, (100 << 16) | 300), 0);
}

TEST_F(TerminalWindow, PlanesComeInTheOrderTheRowsAreShown) {
  ASSERT_EQ(Send(TM_SETDIMENSIONS, 25, (80 << 16) | 200), 0);
  // More lines than the grid holds: the oldest rows are dropped, and the
  // rows are no longer kept in the order they are shown.
  for (int line = 0; line < 230; ++line) Write("L" + std::to_string(line) + "\r\n");
  TerminalPlanes planes;
  ASSERT_EQ(Send(TM_GETPLANES, 0, reinterpret_cast<LPARAM>(&planes)), 0);
  ASSERT_NE(planes.Chars, nullptr);
  ASSERT_NE(planes.Colours, nullptr);
  ASSERT_NE(planes.Attrs, nullptr);
  auto row = [&](int r) { return std::string(reinterpret_cast<const char*>(planes.Chars) + r * 80, 4); };
  EXPECT_EQ(row(0), "L31 ");
  EXPECT_EQ(row(100), "L131");
  EXPECT_EQ(row(198), "L229");
  EXPECT_EQ(row(199), "    ");
  Write("after");  // scrolling goes on over the laid-out rows
  ASSERT_EQ(Send(TM_GETPLANES, 0, reinterpret_cast<LPARAM>(&planes)), 0);
  EXPECT_EQ(row(198), "L229");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(planes.Chars) + 199 * 80, 5), "after");
  EXPECT_EQ(Send(TM_GETPLANES, 0, 0), codes::kBadArgument);
}

TEST_F(TerminalWindow, TypedKeysGoToThePort) {
  Attach();
  Send(WM_CHAR, 'x');
  EXPECT_EQ(port.sent, "x");
  EXPECT_EQ(Row(0, 1), " ");  // full duplex: the far end echoes, not we
  Send(TM_SETHALFDUPLEX, 1);
  Send(WM_CHAR, 'y');
  EXPECT_EQ(port.sent, "xy");
  EXPECT_EQ(Row(0, 1), "y");
}

TEST_F(TerminalWindow, MappedFunctionKeySendsItsText) {
  KeyMap map;
  map.processExtended = true;
  map.keys[4] = {112, 14, "HELLO"};
  Attach();
  Send(TM_SETKEYDATA, 0, reinterpret_cast<LPARAM>(&map));
  Send(TM_SETKEYPROC, 0, reinterpret_cast<LPARAM>(&TranslateKeyRoutine));
  Send(WM_KEYDOWN, VK_F1);
  EXPECT_EQ(port.sent, "HELLO");
  Send(WM_KEYDOWN, 'Q');  // not mapped: its character goes as typed
  Send(WM_CHAR, 'q');
  EXPECT_EQ(port.sent, "HELLOq");
}

}  // namespace
