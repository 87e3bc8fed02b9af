// The port component on a COM port of the prefix through the test cable:
// its hidden window turns notifications into trigger events on this thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "comm/apd_com_port_win.h"
#include "comm/apd_exceptions.h"
#include "tests/support/pty_cable.h"

namespace {

using comm::TApdComPort;

template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  return true;
}

std::string TakeAll(TApdComPort& port) {
  std::string taken;
  std::uint8_t c;
  while (port.Dispatcher()->FetchChar(c) == 0) taken.push_back(static_cast<char>(c));
  return taken;
}

class ComPortOnCable : public ::testing::Test {
 protected:
  void SetUp() override {
    comm::SetPortExceptionHandler([this](const std::exception& e) { reported.push_back(e.what()); });
    port.SetBaud(9600);
    port.SetDataBits(8);
    port.SetParity(comm::TParity::pNone);
    port.SetStopBits(1);
    port.SetHWFlowOptions(comm::hwfUseRTS);
    port.SetBufferFull(256);
    port.SetBufferResume(200);
    port.SetComNumber(cable.ProgramPort());
  }
  void TearDown() override { comm::SetPortExceptionHandler(nullptr); }

  test_support::PtyCable cable;
  TApdComPort port{comm::Win32Ports()};
  std::vector<std::string> reported;
};

TEST_F(ComPortOnCable, ReceivedJournalArrivesThroughTheAvailEvent) {
  std::string got;
  port.SetOnTriggerAvail([&](TApdComPort& p, std::uint32_t) { got += TakeAll(p); });
  port.SetOpen(true);
  ASSERT_TRUE(port.Open());
  const std::string journal = "12/10/26 14:02  SALE  3 x 1.20\r\nTOTAL 3.60\r\n";
  cable.Send(journal);
  EXPECT_TRUE(PumpUntil([&] { return got.size() >= journal.size(); }, 10000));
  EXPECT_EQ(got, journal);
  port.SetOpen(false);
  EXPECT_EQ(port.OpenState(), TApdComPort::TOpenState::closed);
}

TEST_F(ComPortOnCable, AnExceptionInATriggerEventIsReportedAndReceptionGoesOn) {
  std::string got;
  bool thrown = false;
  port.SetOnTriggerAvail([&](TApdComPort& p, std::uint32_t) {
    got += TakeAll(p);
    if (!thrown) {
      thrown = true;
      throw std::runtime_error("handler failed");
    }
  });
  port.SetOpen(true);
  cable.Send("first\r\n");
  ASSERT_TRUE(PumpUntil([&] { return thrown; }, 10000));
  cable.Send("second\r\n");
  EXPECT_TRUE(PumpUntil([&] { return got == "first\r\nsecond\r\n"; }, 10000)) << got;
  EXPECT_EQ(reported, (std::vector<std::string>{"handler failed"}));
}

TEST_F(ComPortOnCable, CloseAndReopenFromInsideAnEventCompletesLater) {
  int avails = 0;
  std::string got;
  port.SetOnTriggerAvail([&](TApdComPort& p, std::uint32_t) {
    ++avails;
    got += TakeAll(p);
    if (avails == 1) {
      p.SetOpen(false);
      p.SetOpen(true);
    }
  });
  port.SetOpen(true);
  cable.Send("reopen");
  ASSERT_TRUE(
      PumpUntil([&] { return avails >= 1 && port.OpenState() == TApdComPort::TOpenState::open; }, 10000));
  EXPECT_TRUE(port.Open());
  cable.Send("again");
  EXPECT_TRUE(PumpUntil([&] { return got.find("again") != std::string::npos; }, 10000)) << got;
}

TEST_F(ComPortOnCable, ClientWindowsHearOfOpenAndClose) {
  static std::vector<UINT> heard;
  heard.clear();
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == comm::kPortOpenMessage || m == comm::kPortClosingMessage) heard.push_back(m);
    return DefWindowProcA(w, m, wp, lp);
  };
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "PortClientTest";
  RegisterClassA(&windowClass);
  HWND client =
      CreateWindowExA(0, "PortClientTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  port.RegisterClientWindow(reinterpret_cast<comm::WindowRef>(client));
  port.SetOpen(true);
  port.SetOpen(false);
  EXPECT_EQ(heard, (std::vector<UINT>{comm::kPortOpenMessage, comm::kPortClosingMessage}));
  DestroyWindow(client);
}

TEST(ComPortMissing, AMissingPortRaisesBadId) {
  TApdComPort port{comm::Win32Ports()};
  port.SetComNumber(78);
  EXPECT_THROW(port.SetOpen(true), comm::EBadId);
  EXPECT_FALSE(port.Open());
  EXPECT_FALSE(comm::PortPresent(78));
  EXPECT_FALSE(comm::PortPresent(0));
}

TEST(ComPortMissing, APresentPortIsFound) {
  test_support::PtyCable cable;
  EXPECT_TRUE(comm::PortPresent(cable.ProgramPort()));
}

}  // namespace
