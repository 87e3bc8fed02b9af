// The Win32 dispatcher on a real COM port of the Wine prefix, fed through the
// test cable: bytes reach a listener window complete and in order, a slow
// listener that lets the ring fill loses nothing, sends reach the line, and
// repeated opens leave nothing behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "comm/dispatcher/dispatcher_win.h"
#include "comm/base/error_codes.h"
#include "framework/exceptions.h"
#include "tests/support/pty_cable.h"
#include "tests/support/pump.h"

namespace {

struct Listener {
  comm::TApdBaseDispatcher* port = nullptr;
  std::size_t takePerCall = SIZE_MAX;
  DWORD sleepPerCall = 0;
  std::string got;
};

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* listener = reinterpret_cast<Listener*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (listener && message == comm::kAvailMessage) {
    if (listener->sleepPerCall) Sleep(listener->sleepPerCall);
    std::uint8_t c;
    std::size_t taken = 0;
    while (taken < listener->takePerCall && listener->port->FetchChar(c) == 0) {
      listener->got.push_back(static_cast<char>(c));
      ++taken;
    }
    // Like the terminal: what it leaves, it asks for again later.
    if (taken == listener->takePerCall) PostMessageA(window, comm::kAvailMessage, 8192, 0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(Listener* listener) {
  static ATOM atom = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ListenerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PortTestListener";
    return RegisterClassA(&windowClass);
  }();
  EXPECT_NE(atom, 0);
  HWND window = CreateWindowExA(0, "PortTestListener", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(listener));
  return window;
}

using test_support::PumpUntil;

std::string Journal(std::size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) {
    text += "RECEIPT " + std::to_string(line) + "  TOTAL " + std::to_string(line * 7 % 1000) + ".50\r\n";
  }
  text.resize(size);
  return text;
}

class PortDispatcher : public ::testing::Test {
 protected:
  void SetUp() override {
    listener.port = &port;
    portWindow = MakeWindow(nullptr);
    listenerWindow = MakeWindow(&listener);
    const std::string name = "\\\\.\\COM" + std::to_string(cable.ProgramPort());
    ASSERT_EQ(port.OpenPort(name, 9600, 0, 8, 1, 4096, 4096, true, true), 0);
    port.RegisterWindow(reinterpret_cast<comm::WindowRef>(portWindow));
    port.RegisterWindow(reinterpret_cast<comm::WindowRef>(listenerWindow));
    port.SetLengthTrigger(1);
  }
  void TearDown() override {
    if (sender.joinable()) sender.join();
    port.ClosePort();
    DestroyWindow(portWindow);
    DestroyWindow(listenerWindow);
  }
  void SendInBackground(std::string text) {
    sender = std::thread([this, text] {
      for (std::size_t at = 0; at < text.size(); at += 4096) cable.Send(text.substr(at, 4096));
    });
  }

  test_support::PtyCable cable;
  comm::TApdWin32Dispatcher port{nullptr};
  Listener listener;
  HWND portWindow = nullptr, listenerWindow = nullptr;
  std::thread sender;
};

TEST_F(PortDispatcher, AMegabyteArrivesCompleteAndInOrder) {
  const std::string journal = Journal(1 << 20);
  SendInBackground(journal);
  ASSERT_TRUE(PumpUntil([&] { return listener.got.size() >= journal.size(); }, 120000))
      << "received " << listener.got.size();
  EXPECT_TRUE(listener.got == journal)
      << "first difference at "
      << std::mismatch(journal.begin(), journal.end(), listener.got.begin()).first - journal.begin();
}

TEST_F(PortDispatcher, SlowListenerLetsTheRingFillAndLosesNothing) {
  listener.takePerCall = 700;
  listener.sleepPerCall = 5;
  const std::string journal = Journal(200000);
  SendInBackground(journal);
  ASSERT_TRUE(PumpUntil([&] { return listener.got.size() >= journal.size(); }, 120000))
      << "received " << listener.got.size();
  EXPECT_TRUE(listener.got == journal);
}

TEST_F(PortDispatcher, SentBlocksReachTheLineInOrder) {
  std::string expected;
  for (int i = 0; i < 50; ++i) {
    const std::string block = "line " + std::to_string(i) + " " + std::string(i * 20, '=') + "\r\n";
    expected += block;
    ASSERT_EQ(port.SendBlock({reinterpret_cast<const std::uint8_t*>(block.data()), block.size()}), 0);
    PumpUntil([&] { return port.OutputFree() >= 2048; }, 5000);
  }
  EXPECT_EQ(cable.Receive(expected.size(), 10000), expected);
}

TEST_F(PortDispatcher, FlushDuringAStuckWriteEmptiesTheRingWithoutHanging) {
  // Nobody reads the register's side: the line fills up and a write pends.
  const std::vector<std::uint8_t> block(1024, 'w');
  DWORD stuckSince = GetTickCount();
  for (int i = 0; i < 20000 && GetTickCount() - stuckSince < 1000; ++i) {
    if (port.SendBlock(block) == 0) stuckSince = GetTickCount();
    Sleep(1);
  }
  ASSERT_GT(port.OutputUsed(), 0u) << "the output never backed up";
  const DWORD start = GetTickCount();
  EXPECT_EQ(port.PurgeOutput(), 0);
  EXPECT_LT(GetTickCount() - start, 6000u);
  EXPECT_EQ(port.OutputUsed(), 0u);
  EXPECT_EQ(port.SendBlock(block), 0) << "the ring takes new bytes after the flush";
}

class ExposedThreads : public comm::TApdWin32Dispatcher {
 public:
  ExposedThreads() : TApdWin32Dispatcher(nullptr) {}
  using TApdWin32Dispatcher::StartThreads;
  using TApdWin32Dispatcher::StopThreads;
};

TEST(PortDispatcherOpen, StartingRunningThreadsOrStoppingStoppedOnesRaises) {
  test_support::PtyCable cable;
  ExposedThreads port;
  ASSERT_EQ(port.OpenPort("\\\\.\\COM" + std::to_string(cable.ProgramPort()), 9600, 0, 8, 1, 4096, 4096, true,
                          true),
            0);
  try {
    port.StartThreads();
    ADD_FAILURE() << "no exception";
  } catch (const fw::Exception& e) {
    EXPECT_STREQ(e.what(), "Dispatcher already started");
  }
  port.StopThreads();
  EXPECT_TRUE(port.WorkersFinished());
  try {
    port.StopThreads();
    ADD_FAILURE() << "no exception";
  } catch (const fw::Exception& e) {
    EXPECT_STREQ(e.what(), "Dispatcher not running");
  }
}

TEST(PortDispatcherOpen, MissingPortFailsWithFileNotFound) {
  comm::TApdWin32Dispatcher port(nullptr);
  const int result = port.OpenPort("\\\\.\\COM77", 9600, 0, 8, 1, 4096, 4096, true, true);
  EXPECT_TRUE(result == -2 || result == -3) << result;
  EXPECT_FALSE(port.DeviceOpen());
}

TEST(PortDispatcherOpen, RepeatedOpenAndCloseLeaveNoHandleOrThreadBehind) {
  test_support::PtyCable cable;
  const std::string name = "\\\\.\\COM" + std::to_string(cable.ProgramPort());
  auto cycle = [&] {
    comm::TApdWin32Dispatcher port(nullptr);
    ASSERT_EQ(port.OpenPort(name, 9600, 0, 8, 1, 4096, 4096, true, true), 0);
    port.SendBlock({reinterpret_cast<const std::uint8_t*>("x"), 1});
    port.ClosePort();
    EXPECT_TRUE(port.WorkersFinished());
  };
  cycle();
  DWORD before = 0, after = 0;
  GetProcessHandleCount(GetCurrentProcess(), &before);
  for (int i = 0; i < 200; ++i) cycle();
  GetProcessHandleCount(GetCurrentProcess(), &after);
  EXPECT_LE(after, before + 2) << "handles before " << before << ", after " << after;
}

TEST(PortDispatcherOpen, TelephonyDispatcherWithoutAHandleFails) {
  comm::TApdTAPI32Dispatcher port(nullptr, nullptr);
  EXPECT_EQ(port.OpenPort("", 9600, 0, 8, 1, 4096, 4096, true, true), comm::codes::kCommNotOpen);
}

}  // namespace
