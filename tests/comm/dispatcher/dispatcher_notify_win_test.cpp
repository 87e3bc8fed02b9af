// Notifications through real window messages under Wine: a worker thread
// plays the dispatch thread, listener windows on the test's (GUI) thread
// take the bytes with FetchChar while the worker waits in SendMessageTimeoutA.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "comm/dispatcher/notification_transport_win.h"
#include "tests/comm/dispatcher/dispatcher_test_support.h"
#include "tests/support/pump.h"

namespace {

using comm_test::Pattern;

struct Listener {
  test_support::TApdFakeDispatcher* port = nullptr;
  std::size_t takeLimit = SIZE_MAX;
  std::string got;
  std::vector<WPARAM> counts;
  std::vector<bool> servedAsDelivery;
  std::vector<int> handles;
};

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* listener = reinterpret_cast<Listener*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (listener && message == comm::kAvailMessage) {
    listener->counts.push_back(wParam);
    listener->handles.push_back(comm::DispatcherHandleOf(lParam));
    listener->servedAsDelivery.push_back(comm::WindowMessages().CallerServesDelivery());
    std::uint8_t c;
    for (std::size_t i = 0; i < listener->takeLimit && listener->port->FetchChar(c) == 0; ++i) {
      listener->got.push_back(static_cast<char>(c));
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeListenerWindow(Listener& listener) {
  static ATOM atom = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ListenerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "DispatcherTestListener";
    return RegisterClassA(&windowClass);
  }();
  EXPECT_NE(atom, 0);
  HWND window = CreateWindowExA(0, "DispatcherTestListener", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&listener));
  return window;
}

using test_support::PumpUntil;

class WindowNotifications : public ::testing::Test {
 protected:
  void SetUp() override {
    port.SetNotificationTransport(&comm::WindowMessages());
    port.SetNotifyTimeoutMs(300);
    ASSERT_EQ(port.OpenPort("\\\\.\\COM1", 9600, 0, 8, 1, 4096, 4096, true, true), 0);
    first.port = second.port = &port;
    firstWindow = MakeListenerWindow(first);
    secondWindow = MakeListenerWindow(second);
    port.RegisterWindow(reinterpret_cast<comm::WindowRef>(firstWindow));
    port.RegisterWindow(reinterpret_cast<comm::WindowRef>(secondWindow));
    port.SetLengthTrigger(1);
  }
  void TearDown() override {
    if (worker.joinable()) worker.join();
    DestroyWindow(firstWindow);
    DestroyWindow(secondWindow);
  }
  // The dispatch thread: each chunk arrives in the driver, then one pass.
  void Dispatch(std::vector<std::string> chunks, int idlePasses = 0) {
    worker = std::thread([this, chunks, idlePasses] {
      for (const std::string& chunk : chunks) {
        {
          std::lock_guard<std::mutex> lock(feedLock);
          port.Feed(chunk);
        }
        port.DispatchPass(false, 0);
      }
      for (int i = 0; i < idlePasses; ++i) {
        port.DispatchPass(false, 0);
        Sleep(20);
      }
      finished = true;
    });
  }

  test_support::TApdFakeDispatcher port;
  Listener first, second;
  HWND firstWindow = nullptr, secondWindow = nullptr;
  std::thread worker;
  std::mutex feedLock;
  std::atomic<bool> finished{false};
};

TEST_F(WindowNotifications, EachArrivalIsOneAvailWithItsCountAndEveryByteArrivesOnce) {
  Dispatch({"first line\r\n", "second\r\n", Pattern(5000)});
  ASSERT_TRUE(PumpUntil([&] { return finished.load(); }, 10000));
  worker.join();
  EXPECT_EQ(second.got, "first line\r\nsecond\r\n" + Pattern(5000));
  EXPECT_EQ(second.counts, (std::vector<WPARAM>{12, 8, 5000}));
  EXPECT_EQ(first.counts, second.counts);
  EXPECT_EQ(first.got, second.got) << "both listeners read the same bytes";
  for (int handle : second.handles) EXPECT_EQ(handle, port.Handle());
  for (bool served : second.servedAsDelivery) EXPECT_TRUE(served);
}

TEST_F(WindowNotifications, ListenersTakingTwoAndFiveMoveTheRingByFive) {
  first.takeLimit = 2;
  second.takeLimit = 5;
  Dispatch({"ABCDEFG"});
  ASSERT_TRUE(PumpUntil([&] { return finished.load(); }, 10000));
  worker.join();
  EXPECT_EQ(first.got, "AB");
  EXPECT_EQ(second.got, "ABCDE");
  EXPECT_EQ(port.InTail(), 5u);
  EXPECT_EQ(port.ReceivedCount(), 2u);
}

TEST_F(WindowNotifications, ListenerThatDoesNotAnswerInTimeIsSkippedThenServed) {
  Dispatch({"journal end\r\n"}, 40);
  Sleep(800);  // the GUI thread is busy: the first delivery times out
  ASSERT_TRUE(PumpUntil([&] { return finished.load(); }, 10000));
  worker.join();
  EXPECT_EQ(second.got, "journal end\r\n") << "announced again, taken exactly once";
  EXPECT_EQ(port.ReceivedCount(), 0u);
}

TEST_F(WindowNotifications, APostedAvailIsNotADelivery) {
  PostMessageA(secondWindow, comm::kAvailMessage, 8192, 0);
  ASSERT_TRUE(PumpUntil([&] { return !second.servedAsDelivery.empty(); }, 2000));
  EXPECT_FALSE(second.servedAsDelivery[0]);
}

}  // namespace
