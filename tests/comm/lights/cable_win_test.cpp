// Status lights on a COM port of the prefix through the test cable: bytes the
// register sends light the receive lamp until the program has taken them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "comm/port/com_port_win.h"
#include "comm/lights/light_win.h"
#include "comm/port/com_port_component.h"
#include "tests/support/pty_cable.h"
#include "tests/support/pump.h"

namespace {

using comm::TApdComPort;

using test_support::PumpUntil;

class StatusLightsOnCable : public ::testing::Test {
 protected:
  void SetUp() override {
    comm::SetPortExceptionHandler([this](const std::exception& e) { reported.push_back(e.what()); });
    Port().SetBaud(9600);
    Port().SetComNumber(cable.ProgramPort());
    controller->Lights().SetRXDLight(rxd);
  }
  void TearDown() override {
    delete port;  // closes while the handler below still exists
    comm::SetPortExceptionHandler(nullptr);
    EXPECT_TRUE(reported.empty()) << reported.front();
  }
  TApdComPort& Port() { return port->Port(); }

  test_support::PtyCable cable;
  fw::TComponent form{nullptr};
  comm::ComPortComponent* port = new comm::ComPortComponent(&form, comm::Win32Ports());
  comm::TApdSLController* controller = new comm::TApdSLController(&form);
  comm::TApdStatusLight* rxd = new comm::TApdStatusLight(&form);
  std::vector<std::string> reported;
};

TEST_F(StatusLightsOnCable, ReceivedBytesLightTheReceiveLampUntilTheProgramTakesThem) {
  bool taking = false;
  std::string journal;
  Port().SetOnTriggerAvail([&](TApdComPort& p, std::uint32_t) {
    if (!taking) return;
    std::uint8_t c;
    while (p.Dispatcher()->FetchChar(c) == 0) journal.push_back(static_cast<char>(c));
  });
  controller->SetMonitoring(true);  // waits for the open
  Port().SetOpen(true);
  ASSERT_TRUE(controller->Monitoring());
  EXPECT_FALSE(rxd->Lit());

  cable.Send("12/10/26 SALE 1.20\r\n");
  ASSERT_TRUE(PumpUntil([&] { return rxd->Lit(); }, 10000));
  // Input still waits: the lamp stays lit over many receive-off ticks.
  PumpUntil([] { return false; }, 400);
  EXPECT_TRUE(rxd->Lit());

  taking = true;
  cable.Send("TOTAL 1.20\r\n");
  EXPECT_TRUE(PumpUntil([&] { return journal == "12/10/26 SALE 1.20\r\nTOTAL 1.20\r\n"; }, 10000)) << journal;
  EXPECT_TRUE(PumpUntil([&] { return !rxd->Lit(); }, 10000));
}

TEST_F(StatusLightsOnCable, MonitoringComesBackAfterTheProgramReopensThePort) {
  controller->SetMonitoring(true);
  Port().SetOpen(true);
  Port().SetOpen(false);
  EXPECT_FALSE(controller->Monitoring());
  Port().SetOpen(true);
  ASSERT_TRUE(controller->Monitoring());
  cable.Send("after reopen");
  EXPECT_TRUE(PumpUntil([&] { return rxd->Lit(); }, 10000));
}

TEST_F(StatusLightsOnCable, EveryLampAssignedStartsOnALineWithoutModemSignals) {
  comm::TLightSet& lights = controller->Lights();
  comm::TApdStatusLight* others[6];
  for (auto*& lamp : others) lamp = new comm::TApdStatusLight(&form);
  lights.SetCTSLight(others[0]);
  lights.SetDSRLight(others[1]);
  lights.SetDCDLight(others[2]);
  lights.SetRINGLight(others[3]);
  lights.SetERRORLight(others[4]);
  lights.SetBREAKLight(others[5]);
  Port().SetOpen(true);
  ASSERT_NO_THROW(controller->SetMonitoring(true));
  EXPECT_TRUE(controller->Monitoring());
  cable.Send("x");
  EXPECT_TRUE(PumpUntil([&] { return rxd->Lit(); }, 10000));
  EXPECT_FALSE(others[4]->Lit());
  EXPECT_FALSE(others[5]->Lit());
  ASSERT_NO_THROW(controller->SetMonitoring(false));
}

}  // namespace
