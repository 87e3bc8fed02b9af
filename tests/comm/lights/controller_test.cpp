// The status light controller against a fake port surface: which triggers
// each lamp assignment adds and arms, the handlers it installs and chains,
// the monitoring lifecycle across closes and reopens, and what each trigger
// does to the lamps.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "comm/base/exceptions.h"
#include "comm/lights/controller.h"

namespace {

using comm::StatusLightPort;
using comm::TApdSLController;

class FakeLamp : public fw::TComponent, public comm::StatusLamp {
 public:
  explicit FakeLamp(fw::TComponent* owner) : fw::TComponent(owner) {}
  bool Lit() const override { return lit; }
  void SetLit(bool value) override { lit = value; }
  fw::TComponent& LampComponent() override { return *this; }
  bool lit = false;
};

void PreviousAvail(std::uint32_t) {}
void PreviousStatus(std::uint32_t) {}
void PreviousTimer(std::uint32_t) {}

// Records every trigger operation as text; handles count up from 8 in steps
// of 8 like the dispatcher's.
class FakePort : public fw::TComponent, public StatusLightPort {
 public:
  explicit FakePort(fw::TComponent* owner) : fw::TComponent(owner) {
    handlers.avail = PreviousAvail;
    handlers.status = PreviousStatus;
    handlers.timer = PreviousTimer;
  }

  TriggerHandlers InstallTriggerHandlers(TriggerHandlers own) override {
    kept = handlers;
    handlers = std::move(own);
    ++installs;
    TriggerHandlers callKept;
    callKept.avail = [this](std::uint32_t count) {
      calls.push_back("previous avail " + std::to_string(count));
    };
    callKept.status = [this](std::uint32_t h) { calls.push_back("previous status " + std::to_string(h)); };
    callKept.timer = [this](std::uint32_t h) { calls.push_back("previous timer " + std::to_string(h)); };
    return callKept;
  }
  void RestoreTriggerHandlers() override {
    handlers = kept;
    ++restores;
  }
  int AddStatusTrigger(std::uint32_t type) override {
    MaybeFail("add");
    nextHandle += 8;
    log.push_back("status " + std::to_string(type) + " -> " + std::to_string(nextHandle));
    return nextHandle;
  }
  int AddTimerTrigger() override {
    MaybeFail("add");
    nextHandle += 8;
    log.push_back("timer -> " + std::to_string(nextHandle));
    return nextHandle;
  }
  void SetStatusTrigger(std::uint32_t handle, std::uint32_t value, bool activate) override {
    MaybeFail("arm");
    log.push_back("arm " + std::to_string(handle) + " " + std::to_string(value) +
                  (activate ? " on" : " off"));
  }
  void SetTimerTrigger(std::uint32_t handle, std::int32_t ticks, bool activate) override {
    log.push_back("time " + std::to_string(handle) + " " + std::to_string(ticks) +
                  (activate ? " on" : " off"));
  }
  void RemoveTrigger(std::uint32_t handle) override {
    MaybeFail("remove");
    log.push_back("remove " + std::to_string(handle));
  }
  bool LineCTS() override { return cts; }
  bool LineDSR() override { return dsr; }
  bool LineDCD() override { return dcd; }
  bool LineRing() override { return ring; }
  std::uint32_t ReceivedBytes() override { return inputWaiting; }
  std::uint32_t OutputBytes() override { return outputWaiting; }
  bool BreakReceived() override {
    log.push_back("break read");
    return std::exchange(breakSeen, false);
  }
  bool Open() const override { return open; }
  void RegisterOpenCloseCallback(std::function<void(bool)> callback, const void* key) override {
    callbacks[key] = std::move(callback);
  }
  void UnregisterOpenCloseCallback(const void* key) override { callbacks.erase(key); }
  fw::TComponent& PortComponent() override { return *this; }

  // The port's open and close as the real one tells its clients.
  void OpenPort() {
    open = true;
    for (auto& [key, callback] : std::map(callbacks)) callback(true);
  }
  void ClosePort() {
    open = false;
    for (auto& [key, callback] : std::map(callbacks)) callback(false);
  }

  bool HandlersAreThePrevious() const {
    auto avail = handlers.avail.target<void (*)(std::uint32_t)>();
    auto status = handlers.status.target<void (*)(std::uint32_t)>();
    auto timer = handlers.timer.target<void (*)(std::uint32_t)>();
    return avail && *avail == &PreviousAvail && status && *status == &PreviousStatus && timer &&
           *timer == &PreviousTimer;
  }

  TriggerHandlers handlers, kept;
  std::vector<std::string> log, calls;
  std::map<const void*, std::function<void(bool)>> callbacks;
  int nextHandle = 0, installs = 0, restores = 0;
  bool open = true, cts = false, dsr = false, dcd = false, ring = false, breakSeen = false;
  std::uint32_t inputWaiting = 0, outputWaiting = 0;
  std::string failAt;  // "add", "arm" or "remove": the next such operation fails

 private:
  void MaybeFail(const std::string& what) {
    if (failAt == what) {
      failAt.clear();
      comm::CheckCode(false, comm::codes::kCommNotOpen);
    }
  }
};

using Strings = std::vector<std::string>;

class SLControllerTest : public ::testing::Test {
 protected:
  fw::TComponent form{nullptr};
  FakePort* port = new FakePort(&form);
  TApdSLController* controller = new TApdSLController(&form);
  FakeLamp* cts = new FakeLamp(&form);
  FakeLamp* dsr = new FakeLamp(&form);
  FakeLamp* dcd = new FakeLamp(&form);
  FakeLamp* ring = new FakeLamp(&form);
  FakeLamp* txd = new FakeLamp(&form);
  FakeLamp* rxd = new FakeLamp(&form);
  FakeLamp* error = new FakeLamp(&form);
  FakeLamp* lineBreak = new FakeLamp(&form);
};

TEST_F(SLControllerTest, TakesTheFirstPortOfItsOwnerAndTheDefaultTimeouts) {
  EXPECT_EQ(controller->ComPort(), port);
  EXPECT_FALSE(controller->Monitoring());
  EXPECT_EQ(controller->ErrorOffTimeout, 36);
  EXPECT_EQ(controller->BreakOffTimeout, 36);
  EXPECT_EQ(controller->RXDOffTimeout, 1);
  EXPECT_EQ(controller->TXDOffTimeout, 1);
  EXPECT_EQ(controller->RingOffTimeout, 8);
  EXPECT_EQ(controller->Lights().CTSLight(), nullptr);
  EXPECT_EQ(controller->Lights().BREAKLight(), nullptr);
}

struct TriggerSetCase {
  const char* name;
  std::string lamps;  // letters: C D K(dcd) R(ring) T(txd) X(rxd) E(error) B(break)
  Strings added;      // log of switching on
};

void PrintTo(const TriggerSetCase& c, std::ostream* out) { *out << c.name; }

class TriggerSetTable : public SLControllerTest, public ::testing::WithParamInterface<TriggerSetCase> {};

TEST_P(TriggerSetTable, LampsDecideTheTriggersAddedAndHowTheyAreArmed) {
  comm::TLightSet& set = controller->Lights();
  for (char c : GetParam().lamps) {
    switch (c) {
      case 'C':
        set.SetCTSLight(cts);
        break;
      case 'D':
        set.SetDSRLight(dsr);
        break;
      case 'K':
        set.SetDCDLight(dcd);
        break;
      case 'R':
        set.SetRINGLight(ring);
        break;
      case 'T':
        set.SetTXDLight(txd);
        break;
      case 'X':
        set.SetRXDLight(rxd);
        break;
      case 'E':
        set.SetERRORLight(error);
        break;
      case 'B':
        set.SetBREAKLight(lineBreak);
        break;
    }
  }
  controller->SetMonitoring(true);
  EXPECT_TRUE(controller->Monitoring());
  EXPECT_EQ(port->installs, 1);
  EXPECT_EQ(port->log, GetParam().added);

  // Switching off removes every trigger added, nothing else.
  Strings removed;
  for (const std::string& line : GetParam().added) {
    const auto arrow = line.find("-> ");
    if (arrow != std::string::npos) removed.push_back("remove " + line.substr(arrow + 3));
  }
  port->log.clear();
  controller->SetMonitoring(false);
  std::sort(removed.begin(), removed.end());
  std::sort(port->log.begin(), port->log.end());
  EXPECT_EQ(port->log, removed);
  EXPECT_TRUE(port->HandlersAreThePrevious());
}

INSTANTIATE_TEST_SUITE_P(
    Lamps, TriggerSetTable,
    ::testing::Values(TriggerSetCase{"none", "", {}},
                      TriggerSetCase{"cts", "C", {"status 1 -> 8", "arm 8 16 on"}},
                      TriggerSetCase{"dsr", "D", {"status 1 -> 8", "arm 8 32 on"}},
                      TriggerSetCase{"dcd", "K", {"status 1 -> 8", "arm 8 128 on"}},
                      TriggerSetCase{"ring", "R", {"status 1 -> 8", "timer -> 16", "arm 8 4 on"}},
                      TriggerSetCase{"modem_all", "CDKR", {"status 1 -> 8", "timer -> 16", "arm 8 180 on"}},
                      TriggerSetCase{"error", "E", {"status 2 -> 8", "timer -> 16", "arm 8 7 on"}},
                      TriggerSetCase{"break", "B", {"status 2 -> 8", "timer -> 16", "arm 8 8 on"}},
                      TriggerSetCase{"rxd", "X", {"timer -> 8"}},
                      TriggerSetCase{"txd", "T", {"status 5 -> 8", "timer -> 16", "arm 8 0 on"}},
                      TriggerSetCase{
                          "all",
                          "CDKRTXEB",
                          {"status 1 -> 8", "timer -> 16", "status 2 -> 24", "timer -> 32", "status 2 -> 40",
                           "timer -> 48", "timer -> 56", "status 5 -> 64", "timer -> 72", "arm 8 180 on",
                           "arm 24 7 on", "arm 40 8 on", "arm 64 0 on"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SLControllerTest, WithoutLampsEveryEventReachesThePreviousHandlers) {
  controller->SetMonitoring(true);
  ASSERT_FALSE(port->HandlersAreThePrevious());
  port->handlers.avail(5);
  port->handlers.status(12);
  port->handlers.timer(20);
  EXPECT_EQ(port->calls, (Strings{"previous avail 5", "previous status 12", "previous timer 20"}));
  EXPECT_TRUE(port->log.empty());
  controller->SetMonitoring(false);
  EXPECT_TRUE(port->HandlersAreThePrevious());
  EXPECT_EQ(port->restores, 1);
}

TEST_F(SLControllerTest, WithoutAPortMonitoringRaisesPortNotAssigned) {
  controller->SetComPort(nullptr);
  try {
    controller->SetMonitoring(true);
    FAIL() << "no exception";
  } catch (const comm::EAPDException& e) {
    EXPECT_EQ(e.ErrorCode, comm::codes::kPortNotAssigned);
  }
  EXPECT_FALSE(controller->Monitoring());
}

TEST_F(SLControllerTest, MonitoringWaitsForTheOpenAndSurvivesACloseAndReopen) {
  controller->Lights().SetCTSLight(cts);
  port->open = false;
  controller->SetMonitoring(true);
  EXPECT_FALSE(controller->Monitoring());
  EXPECT_EQ(port->installs, 0);
  EXPECT_TRUE(port->log.empty());

  port->cts = true;
  port->OpenPort();
  EXPECT_TRUE(controller->Monitoring());
  EXPECT_TRUE(cts->lit);
  EXPECT_EQ(port->log, (Strings{"status 1 -> 8", "arm 8 16 on"}));

  port->log.clear();
  port->ClosePort();
  EXPECT_FALSE(controller->Monitoring());
  EXPECT_TRUE(port->HandlersAreThePrevious());
  EXPECT_FALSE(cts->lit);
  EXPECT_TRUE(port->log.empty());  // a closing port removes nothing

  port->OpenPort();
  EXPECT_TRUE(controller->Monitoring());
  EXPECT_TRUE(cts->lit);
  // The triggers the port kept through the close go before new ones come.
  EXPECT_EQ(port->log, (Strings{"remove 8", "status 1 -> 16", "arm 16 16 on"}));
}

TEST_F(SLControllerTest, SwitchingOffWhileThePortIsClosedCancelsTheWaitingSwitchOn) {
  port->open = false;
  controller->SetMonitoring(true);
  controller->SetMonitoring(false);
  port->OpenPort();
  EXPECT_FALSE(controller->Monitoring());
  EXPECT_EQ(port->installs, 0);
}

TEST_F(SLControllerTest, ReceiveLampStaysLitWhileInputWaitsAndGoesOutATickAfter) {
  controller->Lights().SetRXDLight(rxd);
  controller->SetMonitoring(true);
  port->log.clear();

  port->inputWaiting = 10;
  port->handlers.avail(10);
  EXPECT_TRUE(rxd->lit);
  EXPECT_EQ(port->log, (Strings{"time 8 1 on"}));
  port->handlers.avail(4);  // already lit: the running timer covers it
  EXPECT_EQ(port->log.size(), 1u);

  port->handlers.timer(8);
  EXPECT_TRUE(rxd->lit);
  EXPECT_EQ(port->log.back(), "time 8 1 on");

  port->inputWaiting = 0;
  port->handlers.timer(8);
  EXPECT_FALSE(rxd->lit);
  EXPECT_EQ(port->calls,
            (Strings{"previous avail 10", "previous avail 4", "previous timer 8", "previous timer 8"}));
}

TEST_F(SLControllerTest, ModemStatusFollowsTheLinesLightsRingAndRearms) {
  comm::TLightSet& set = controller->Lights();
  set.SetCTSLight(cts);
  set.SetDSRLight(dsr);
  set.SetDCDLight(dcd);
  set.SetRINGLight(ring);
  controller->RingOffTimeout = 5;
  controller->SetMonitoring(true);
  port->log.clear();

  port->cts = true;
  port->dcd = true;
  port->ring = true;
  port->handlers.status(8);
  EXPECT_TRUE(cts->lit);
  EXPECT_FALSE(dsr->lit);
  EXPECT_TRUE(dcd->lit);
  EXPECT_TRUE(ring->lit);
  EXPECT_EQ(port->log, (Strings{"time 16 5 on", "arm 8 180 on"}));

  port->handlers.timer(16);
  EXPECT_FALSE(ring->lit);
  EXPECT_EQ(port->calls, (Strings{"previous status 8", "previous timer 16"}));
}

TEST_F(SLControllerTest, LineErrorBreakAndOutputLightAndGoOutWithTheirTimers) {
  comm::TLightSet& set = controller->Lights();
  set.SetERRORLight(error);
  set.SetBREAKLight(lineBreak);
  set.SetTXDLight(txd);
  controller->SetMonitoring(true);  // error 8/16, break 24/32, sent 40/48
  port->log.clear();

  port->handlers.status(8);
  EXPECT_TRUE(error->lit);
  port->handlers.status(24);
  EXPECT_TRUE(lineBreak->lit);
  port->outputWaiting = 3;
  port->handlers.status(40);
  EXPECT_TRUE(txd->lit);
  EXPECT_EQ(port->log, (Strings{"time 16 36 on", "time 32 36 on", "break read", "time 48 1 on"}));

  port->log.clear();
  port->handlers.timer(16);
  port->handlers.timer(32);
  port->handlers.timer(48);  // output still waiting
  EXPECT_FALSE(error->lit);
  EXPECT_FALSE(lineBreak->lit);
  EXPECT_TRUE(txd->lit);
  port->outputWaiting = 0;
  port->handlers.timer(48);
  EXPECT_FALSE(txd->lit);
  EXPECT_EQ(port->log, (Strings{"arm 8 7 on", "arm 24 8 on", "time 48 1 on", "arm 40 0 on"}));
}

TEST_F(SLControllerTest, HandlesOfOthersPassStraightThrough) {
  controller->Lights().SetERRORLight(error);
  controller->SetMonitoring(true);
  port->log.clear();
  port->handlers.status(800);
  port->handlers.timer(808);
  EXPECT_FALSE(error->lit);
  EXPECT_TRUE(port->log.empty());
  EXPECT_EQ(port->calls, (Strings{"previous status 800", "previous timer 808"}));
}

TEST_F(SLControllerTest, AFailedStartRemovesWhatItAddedAndLeavesThePortAsItWas) {
  comm::TLightSet& set = controller->Lights();
  set.SetCTSLight(cts);
  set.SetERRORLight(error);
  port->failAt = "arm";
  EXPECT_THROW(controller->SetMonitoring(true), comm::EAPDException);
  EXPECT_FALSE(controller->Monitoring());
  EXPECT_TRUE(port->HandlersAreThePrevious());
  EXPECT_EQ(port->log, (Strings{"status 1 -> 8", "status 2 -> 16", "timer -> 24", "remove 8", "remove 16",
                                "remove 24"}));
}

TEST_F(SLControllerTest, AFailedSwitchOffStillRemovesTheRestAndPutsTheLampsOut) {
  controller->Lights().SetCTSLight(cts);
  controller->Lights().SetRXDLight(rxd);
  port->cts = true;
  controller->SetMonitoring(true);
  ASSERT_TRUE(cts->lit);
  port->log.clear();
  port->failAt = "remove";
  EXPECT_THROW(controller->SetMonitoring(false), comm::EAPDException);
  EXPECT_FALSE(controller->Monitoring());
  EXPECT_TRUE(port->HandlersAreThePrevious());
  EXPECT_FALSE(cts->lit);
  EXPECT_EQ(port->log, (Strings{"remove 16"}));
}

TEST_F(SLControllerTest, ThePreviousHandlerRunsEvenWhenTheLampWorkFails) {
  controller->Lights().SetCTSLight(cts);
  controller->SetMonitoring(true);
  port->failAt = "arm";
  EXPECT_THROW(port->handlers.status(8), comm::EAPDException);
  EXPECT_EQ(port->calls, (Strings{"previous status 8"}));
}

TEST_F(SLControllerTest, ARemovedLampIsForgotten) {
  controller->Lights().SetRXDLight(rxd);
  delete rxd;
  EXPECT_EQ(controller->Lights().RXDLight(), nullptr);
  controller->SetMonitoring(true);
  EXPECT_TRUE(port->log.empty());
}

TEST_F(SLControllerTest, ARemovedPortIsDroppedWithoutBeingCalled) {
  controller->SetMonitoring(true);
  delete port;
  EXPECT_EQ(controller->ComPort(), nullptr);
  EXPECT_FALSE(controller->Monitoring());
}

TEST_F(SLControllerTest, ANewPortTakesOverMonitoring) {
  controller->SetMonitoring(true);
  auto* other = new FakePort(&form);
  controller->SetComPort(other);
  EXPECT_TRUE(port->HandlersAreThePrevious());
  EXPECT_TRUE(port->callbacks.empty());
  EXPECT_TRUE(controller->Monitoring());
  EXPECT_EQ(other->installs, 1);
  EXPECT_EQ(other->callbacks.size(), 1u);
}

TEST_F(SLControllerTest, ClearingThePortWhileMonitoringSwitchesOffWithoutError) {
  controller->SetMonitoring(true);
  EXPECT_NO_THROW(controller->SetComPort(nullptr));
  EXPECT_FALSE(controller->Monitoring());
  EXPECT_TRUE(port->HandlersAreThePrevious());
  EXPECT_TRUE(port->callbacks.empty());
}

TEST_F(SLControllerTest, DestroyingTheControllerGivesThePortItsHandlersBack) {
  controller->SetMonitoring(true);
  delete controller;
  EXPECT_TRUE(port->HandlersAreThePrevious());
  EXPECT_TRUE(port->callbacks.empty());
}

TEST_F(SLControllerTest, APortAnnouncedAfterTheControllerBecomesItsPort) {
  fw::TComponent owner(nullptr);
  auto* lone = new TApdSLController(&owner);
  EXPECT_EQ(lone->ComPort(), nullptr);
  auto* later = new FakePort(&owner);
  comm::AnnounceInserted(*later);
  EXPECT_EQ(lone->ComPort(), later);
}

TEST(SLControllerLoading, ThePortOfTheDescriptionIsBoundOnceAndMonitoringWaitsForLoaded) {
  fw::TComponent form(nullptr);
  fw::FormLoading loading(form);
  auto* controller = new TApdSLController(&form);
  auto* port = new FakePort(&form);
  port->SetName("ComPort1");
  loading.Refer("ComPort1",
                [controller](fw::TComponent* c) { controller->SetComPort(dynamic_cast<FakePort*>(c)); });
  controller->SetMonitoring(true);  // a description value: ignored
  loading.End();
  EXPECT_EQ(controller->ComPort(), port);
  EXPECT_EQ(port->callbacks.size(), 1u);
  EXPECT_FALSE(controller->Monitoring());
  EXPECT_EQ(port->installs, 0);
}

}  // namespace
