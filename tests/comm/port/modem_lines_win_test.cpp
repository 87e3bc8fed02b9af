// Modem lines on a COM port of the prefix, with the modem-line stand-in
// preloaded into Wine: a CTS drop arrives as a comm event and fires the
// port's modem status trigger.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "comm/port/com_port_win.h"
#include "tests/support/pty_cable.h"
#include "tests/support/pump.h"

namespace {

using comm::TApdComPort;

constexpr int kCts = 0x020, kDsr = 0x100, kCd = 0x040;  // TIOCM_* bits of the stand-in's file

void SetLines(int lines) {
  const char* linuxPath = std::getenv("PTY_MODEM_LINES");
  ASSERT_NE(linuxPath, nullptr) << "run with the stand-in preloaded";
  std::string path = std::string("Z:") + linuxPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fprintf(file, "%d\n", lines);
  std::fclose(file);
}

using test_support::PumpUntil;

TEST(ModemLines, ACtsDropFiresTheModemStatusTrigger) {
  SetLines(kCts | kDsr | kCd);
  test_support::PtyCable cable;
  TApdComPort port{comm::Win32Ports()};
  int modemEvents = 0;
  port.SetOnTriggerModemStatus([&](TApdComPort&) { ++modemEvents; });
  port.SetComNumber(cable.ProgramPort());
  port.SetOpen(true);
  EXPECT_TRUE(port.LineCTS());
  EXPECT_TRUE(port.LineDSR());
  const int handle = port.AddStatusTrigger(comm::kStatusModem);
  port.SetStatusTrigger(handle, 0x10, true);
  SetLines(kDsr | kCd);
  EXPECT_TRUE(PumpUntil([&] { return modemEvents > 0; }, 10000));
  EXPECT_FALSE(port.LineCTS());
  EXPECT_EQ(modemEvents, 1);
  port.SetOpen(false);
}

}  // namespace
