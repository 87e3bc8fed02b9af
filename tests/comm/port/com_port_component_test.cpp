// The status light controller on a real port component over the in-memory
// driver: handlers are put back exactly, monitoring comes back after the
// port's own close and reopen, and line changes and received bytes reach the
// lamps through the port's notifications.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "comm/port/com_port_component.h"
#include "comm/base/component_insertion.h"
#include "tests/support/fake_dispatcher.h"

namespace {

using comm::TApdComPort;
using test_support::TApdFakeDispatcher;
using Message = test_support::FakeTransport::Message;

class FakePlatform : public comm::PortPlatform {
 public:
  std::unique_ptr<comm::TApdBaseDispatcher> CreateDispatcher(TApdComPort&, bool, std::uintptr_t) override {
    auto dispatcher = std::make_unique<TApdFakeDispatcher>();
    dispatcher->SetNotificationTransport(&transport);
    last = dispatcher.get();
    return dispatcher;
  }
  bool ReadHandleSettings(std::uintptr_t, comm::LineSettingsBlock&) override { return false; }
  comm::WindowRef CreateNotificationWindow(TApdComPort& port) override {
    transport.Listen(++windows,
                     [&port](const Message& m) { port.HandleNotification(m.message, m.wParam, m.lParam); });
    return windows;
  }
  void DestroyNotificationWindow(comm::WindowRef) override {}
  void SendToClient(comm::WindowRef, std::uint32_t) override {}
  void PostDeferredClose(comm::WindowRef, int) override {}
  void PumpOneMessage() override {}
  bool SelectPort(int&) override { return false; }
  void HandleException(const std::exception& error) override { reported.push_back(error.what()); }

  test_support::FakeTransport transport;
  TApdFakeDispatcher* last = nullptr;
  comm::WindowRef windows = 0x7000;
  std::vector<std::string> reported;
};

class Lamp : public fw::TComponent, public comm::StatusLamp {
 public:
  explicit Lamp(fw::TComponent* owner) : fw::TComponent(owner) {}
  bool Lit() const override { return lit; }
  void SetLit(bool value) override { lit = value; }
  fw::TComponent& LampComponent() override { return *this; }
  bool lit = false;
};

void ProgramAvail(TApdComPort&, std::uint32_t) {}
void ProgramStatus(TApdComPort&, std::uint32_t) {}
void ProgramTimer(TApdComPort&, std::uint32_t) {}

constexpr std::uint32_t kCtsBit = 0x10;
constexpr std::uint32_t kEventCts = 0x08;

class ControllerOnPort : public ::testing::Test {
 protected:
  void SetUp() override { port->Port().SetComNumber(1); }
  TApdComPort& Port() { return port->Port(); }

  FakePlatform platform;
  fw::TComponent form{nullptr};
  comm::ComPortComponent* port = new comm::ComPortComponent(&form, platform);
  comm::TApdSLController* controller = new comm::TApdSLController(&form);
  Lamp* cts = new Lamp(&form);
  Lamp* rxd = new Lamp(&form);
};

TEST_F(ControllerOnPort, SwitchingOffPutsBackThePortsOwnHandlers) {
  Port().SetOnTriggerAvail(ProgramAvail);
  Port().SetOnTriggerStatus(ProgramStatus);
  Port().SetOnTriggerTimer(ProgramTimer);
  Port().SetOpen(true);
  controller->SetMonitoring(true);
  using Avail = void (*)(TApdComPort&, std::uint32_t);
  EXPECT_EQ(Port().OnTriggerAvail().target<Avail>(), nullptr);
  controller->SetMonitoring(false);
  ASSERT_NE(Port().OnTriggerAvail().target<Avail>(), nullptr);
  EXPECT_EQ(*Port().OnTriggerAvail().target<Avail>(), &ProgramAvail);
  EXPECT_EQ(*Port().OnTriggerStatus().target<Avail>(), &ProgramStatus);
  EXPECT_EQ(*Port().OnTriggerTimer().target<Avail>(), &ProgramTimer);
}

TEST_F(ControllerOnPort, ReopeningThePortRestartsMonitoring) {
  controller->Lights().SetCTSLight(cts);
  controller->SetMonitoring(true);  // deferred: the port is closed
  Port().SetOpen(true);
  EXPECT_TRUE(controller->Monitoring());
  Port().SetOpen(false);
  EXPECT_FALSE(controller->Monitoring());
  EXPECT_FALSE(Port().OnTriggerStatus());
  Port().SetOpen(true);
  EXPECT_TRUE(controller->Monitoring());
  EXPECT_TRUE(platform.reported.empty());

  platform.last->modemStatus = kCtsBit;
  platform.last->DispatchPass(true, kEventCts);
  EXPECT_TRUE(cts->lit);
}

TEST_F(ControllerOnPort, ClosesAndReopensLeaveNoTriggersBehind) {
  controller->Lights().SetCTSLight(cts);
  controller->Lights().SetRXDLight(rxd);
  Port().SetOpen(true);
  controller->SetMonitoring(true);
  comm::SavedTriggerSet first;
  platform.last->SaveTriggers(first);
  for (int round = 0; round < 5; ++round) {
    Port().SetOpen(false);
    Port().SetOpen(true);
  }
  ASSERT_TRUE(controller->Monitoring());
  comm::SavedTriggerSet last;
  platform.last->SaveTriggers(last);
  EXPECT_EQ(last.statuses.size(), first.statuses.size());
  EXPECT_EQ(last.timers.size(), first.timers.size());
  EXPECT_EQ(first.statuses.size() + first.timers.size(), 2u);
}

TEST_F(ControllerOnPort, ACtsChangeLightsTheCtsLampAndTheProgramStillHearsIt) {
  std::vector<std::uint32_t> programStatus;
  Port().SetOnTriggerStatus([&](TApdComPort&, std::uint32_t handle) { programStatus.push_back(handle); });
  controller->Lights().SetCTSLight(cts);
  Port().SetOpen(true);
  controller->SetMonitoring(true);
  EXPECT_FALSE(cts->lit);

  platform.last->modemStatus = kCtsBit;
  platform.last->DispatchPass(true, kEventCts);
  EXPECT_TRUE(cts->lit);
  EXPECT_EQ(programStatus.size(), 1u);

  platform.last->modemStatus = 0;
  platform.last->DispatchPass(true, kEventCts);
  EXPECT_FALSE(cts->lit);
  EXPECT_EQ(programStatus.size(), 2u);
}

TEST_F(ControllerOnPort, ReceivedBytesLightTheReceiveLampUntilTheyAreTaken) {
  std::string journal;
  Port().SetOnTriggerAvail([&](TApdComPort& p, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count / 2; ++i) {  // leaves half waiting
      std::uint8_t c;
      if (p.Dispatcher()->FetchChar(c) == 0) journal.push_back(static_cast<char>(c));
    }
  });
  controller->Lights().SetRXDLight(rxd);
  Port().SetOpen(true);
  controller->SetMonitoring(true);
  platform.last->Feed("TOTAL 3.60\r\n");
  platform.last->DispatchPass(false, 0);
  EXPECT_TRUE(rxd->lit);
  EXPECT_EQ(journal, "TOTAL ");
  EXPECT_GT(Port().ReceivedBytes(), 0u);
  // The close hands the waiting bytes to the handler, while `journal` lives.
  Port().SetOpen(false);
  EXPECT_EQ(journal.substr(0, 8), "TOTAL 3.");
}

}  // namespace

// Assign copies a port's settings, clients and main events; the triggers of an
// open source come back when the copy opens; the copy ends closed.
TEST(PortAssign, CopiesSettingsAndTheOpenSourcesTriggersAndLeavesTheCopyClosed) {
  FakePlatform platform;
  fw::TComponent form{nullptr};
  auto* source = new comm::ComPortComponent(&form, platform);
  auto* copy = new comm::ComPortComponent(&form, platform);
  int heard = 0;
  TApdComPort& from = source->Port();
  from.SetComNumber(7);
  from.SetBaud(9600);
  from.SetParity(comm::TParity::pOdd);
  from.SetDataBits(7);
  from.TraceName = "SHOP.TRC";
  from.SetTapiMode(comm::TTapiMode::tmOff);
  from.SetOnTriggerAvail([&](TApdComPort&, std::uint32_t) { ++heard; });
  from.SetOpen(true);
  const int timer = from.AddTimerTrigger();
  ASSERT_GT(timer, 0);

  copy->Port().SetComNumber(2);
  copy->Port().SetOpen(true);
  copy->Assign(*source);

  TApdComPort& to = copy->Port();
  EXPECT_FALSE(to.Open());
  EXPECT_EQ(to.ComNumber(), 7);
  EXPECT_EQ(to.Baud(), 9600);
  EXPECT_EQ(to.Parity(), comm::TParity::pOdd);
  EXPECT_EQ(to.DataBits(), 7);
  EXPECT_EQ(to.TraceName, "SHOP.TRC");
  EXPECT_EQ(to.TapiMode(), comm::TTapiMode::tmOff);
  ASSERT_TRUE(to.OnTriggerAvail());
  to.OnTriggerAvail()(to, 1);
  EXPECT_EQ(heard, 1);

  to.SetOpen(true);
  comm::SavedTriggerSet restored;
  platform.last->SaveTriggers(restored);
  EXPECT_EQ(restored.timers.size(), 1u);
}

TEST(PortAssign, AnotherKindOfSourceIsIgnored) {
  FakePlatform platform;
  fw::TComponent form{nullptr};
  auto* port = new comm::ComPortComponent(&form, platform);
  port->Port().SetBaud(2400);
  fw::TComponent other{nullptr};
  port->Assign(other);
  EXPECT_EQ(port->Port().Baud(), 2400);
}

// The first port among a form's components, searched depth first.
TEST(FindFirstComponent, SearchesOwnedComponentsDepthFirst) {
  FakePlatform platform;
  fw::TComponent form{nullptr};
  auto* panel = new fw::TComponent(&form);
  auto* inner = new comm::ComPortComponent(panel, platform);
  auto* later = new comm::ComPortComponent(&form, platform);
  EXPECT_EQ(comm::FindFirstComponent<comm::ComPortComponent>(form), inner);
  EXPECT_EQ(comm::FindFirstComponent<comm::ComPortComponent>(*panel), inner);
  delete inner;
  EXPECT_EQ(comm::FindFirstComponent<comm::ComPortComponent>(form), later);
  fw::TComponent empty{nullptr};
  EXPECT_EQ(comm::FindFirstComponent<comm::ComPortComponent>(empty), nullptr);
}
