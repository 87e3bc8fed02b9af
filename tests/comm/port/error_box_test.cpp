// Port errors that no handler of the port's own takes reach the application's
// exception handling: the box on the screen carries the application's title.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "comm/port/com_port_win.h"
#include "framework/application.h"
#include "tests/support/pty_cable.h"
#include "tests/support/window_find.h"
#include "tests/support/pump.h"

namespace {

using comm::TApdComPort;

struct ShownBox {
  std::string caption, text;
};

ShownBox& Shown() {
  static ShownBox box;
  return box;
}

// A thread timer: it also runs inside the box's own message loop. Keeps the
// first box it finds and closes every one.
void CALLBACK ReadBoxAndClose(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = test_support::ThreadDialogBox();
  if (!box) return;
  char caption[128] = {}, text[512] = {};
  GetWindowTextA(box, caption, sizeof caption);
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's message
  if (Shown().caption.empty()) Shown() = {caption, text};
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// Runs `provoke` with the box reader going; the first box shown.
ShownBox BoxShownBy(const std::function<void()>& provoke) {
  Shown() = {};
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadBoxAndClose);
  provoke();
  test_support::PumpUntil([] { return !Shown().caption.empty(); }, 10000);
  KillTimer(nullptr, timer);
  return Shown();
}

class PortErrorBox : public ::testing::Test {
 protected:
  void SetUp() override {
    title_ = fw::Application()->Title;
    fw::Application()->Title = "Tallimo";
    comm::SetPortExceptionHandler(nullptr);
  }
  void TearDown() override { fw::Application()->Title = title_; }

 private:
  std::string title_;
};

TEST_F(PortErrorBox, OfTheOpenAtLoadCarriesTheApplicationsTitle) {
  TApdComPort port(comm::Win32Ports());
  const ShownBox box = BoxShownBy([&] {
    port.Loading = true;
    port.SetComNumber(250);  // no such port in the prefix
    port.SetOpen(true);
    port.Loaded();
  });
  EXPECT_EQ(box.caption, "Tallimo");
  EXPECT_FALSE(port.Open());
}

TEST_F(PortErrorBox, OfATriggerEventCarriesTheApplicationsTitle) {
  test_support::PtyCable cable;
  TApdComPort port(comm::Win32Ports());
  port.SetComNumber(cable.ProgramPort());
  port.SetOnTriggerAvail([thrown = false](TApdComPort& p, std::uint32_t) mutable {
    std::uint8_t c;
    while (p.Dispatcher()->FetchChar(c) == 0) {
    }
    if (!std::exchange(thrown, true)) throw std::runtime_error("handler failed");
  });
  port.SetOpen(true);
  const ShownBox box = BoxShownBy([&] { cable.Send("x"); });
  EXPECT_EQ(box.caption, "Tallimo");
  EXPECT_EQ(box.text, "handler failed.");
}

}  // namespace
