// Status lights and modem lines on a COM port of the prefix: the test cable
// has no modem lines of its own, so this test runs with the modem-line
// stand-in preloaded, which answers line queries from the file named by
// PTY_MODEM_LINES. Wine looks at the lines only when something wakes its
// wait for line events, and a change made while no wait is posted raises no
// event at all: a byte follows each change, and the port reads the lines
// with the bytes it takes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "comm/port/com_port_win.h"
#include "comm/lights/light_win.h"
#include "comm/port/com_port_component.h"
#include "tests/support/pty_cable.h"
#include "tests/support/pump.h"

namespace {

using comm::TApdComPort;

// TIOCM_* bits as Linux defines them.
constexpr int kLineCts = 0x020, kLineDsr = 0x100, kLineDcd = 0x040;

using test_support::PumpUntil;

std::string WindowsPathOf(const std::string& linuxPath) {
  std::string path = "Z:" + linuxPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

class ModemLinesOnCable : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* linesPath = std::getenv("PTY_MODEM_LINES");
    ASSERT_NE(linesPath, nullptr) << "run with the modem-line stand-in preloaded";
    linesFile = WindowsPathOf(linesPath);
    SetLines(0);
    comm::SetPortExceptionHandler([this](const std::exception& e) { reported.push_back(e.what()); });
    Port().SetBaud(9600);
    Port().SetComNumber(cable.ProgramPort());
    controller->Lights().SetCTSLight(cts);
    controller->Lights().SetDSRLight(dsr);
    controller->Lights().SetDCDLight(dcd);
  }
  void TearDown() override {
    delete port;
    DeleteFileA(linesFile.c_str());
    comm::SetPortExceptionHandler(nullptr);
    EXPECT_TRUE(reported.empty()) << reported.front();
  }
  // Written aside and renamed into place: the stand-in never reads half a file.
  void SetLines(int bits) {
    const std::string written = linesFile + ".new";
    std::ofstream(written, std::ios::trunc) << bits << "\n";
    ASSERT_TRUE(MoveFileExA(written.c_str(), linesFile.c_str(), MOVEFILE_REPLACE_EXISTING));
  }
  TApdComPort& Port() { return port->Port(); }

  test_support::PtyCable cable;
  std::string linesFile;
  fw::TComponent form{nullptr};
  comm::ComPortComponent* port = new comm::ComPortComponent(&form, comm::Win32Ports());
  comm::TApdSLController* controller = new comm::TApdSLController(&form);
  comm::TApdStatusLight* cts = new comm::TApdStatusLight(&form);
  comm::TApdStatusLight* dsr = new comm::TApdStatusLight(&form);
  comm::TApdStatusLight* dcd = new comm::TApdStatusLight(&form);
  std::vector<std::string> reported;
};

TEST_F(ModemLinesOnCable, ACtsChangeLightsTheCtsLampAndPutsItOutAgain) {
  Port().SetOpen(true);
  controller->SetMonitoring(true);
  EXPECT_FALSE(cts->Lit());

  // At once, whether or not the port waits for line events yet.
  SetLines(kLineCts);
  cable.Send("x");
  EXPECT_TRUE(PumpUntil([&] { return cts->Lit(); }, 10000));
  EXPECT_FALSE(dsr->Lit());
  EXPECT_FALSE(dcd->Lit());

  SetLines(0);
  cable.Send("y");
  EXPECT_TRUE(PumpUntil([&] { return !cts->Lit(); }, 10000));
}

TEST_F(ModemLinesOnCable, LinesAlreadyUpShowWhenMonitoringStarts) {
  SetLines(kLineDsr | kLineDcd);
  Port().SetOpen(true);
  controller->SetMonitoring(true);
  EXPECT_FALSE(cts->Lit());
  EXPECT_TRUE(dsr->Lit());
  EXPECT_TRUE(dcd->Lit());
}

}  // namespace
