// The line device against the in-process fake library, pump, clock and timer.
#include "comm/telephony/device.h"

#include <gtest/gtest.h>

#include <cstring>

#include "comm/base/exceptions.h"
#include "comm/base/error_codes.h"
#include "comm/telephony/records.h"
#include "framework/exceptions.h"
#include "tests/comm/telephony/fake_tapi.h"

namespace comm {
namespace {

using Codes = std::vector<int>;

class TapiDevice : public testing::Test {
 protected:
  void SetUp() override { fake::Install(); }
  void TearDown() override { SetTapiLoader(nullptr); }

  // A device bound to the port, recording its log codes and events.
  std::unique_ptr<TApdTapiDevice> MakeDevice() {
    auto device = std::make_unique<TApdTapiDevice>(nullptr, host);
    device->SetComPort(&port);
    device->OnTapiLog = [this](TApdCustomTapiDevice&, TTapiLogCode code) {
      logCodes.push_back(static_cast<int>(code));
    };
    device->OnTapiPortOpen = [this](TApdCustomTapiDevice&) { events.push_back("PortOpen"); };
    device->OnTapiPortClose = [this](TApdCustomTapiDevice&) { events.push_back("PortClose"); };
    device->OnTapiConnect = [this](TApdCustomTapiDevice&) { events.push_back("Connect"); };
    device->OnTapiFail = [this](TApdCustomTapiDevice&) { events.push_back("Fail"); };
    return device;
  }

  // The raised code of `action`, 0 when nothing was raised.
  template <typename Action>
  static int RaisedCode(Action action) {
    try {
      action();
    } catch (const EAPDException& error) {
      return error.ErrorCode;
    }
    return 0;
  }

  fake::Host host;
  fake::Port port;
  Codes logCodes;
  std::vector<std::string> events;
};

// ---- call scenarios ------------------------------------------------------------

TEST_F(TapiDevice, ABusyNumberIsTriedThreeTimesARetryWaitApart) {
  fake::Lib().attempts = {"busy"};
  auto device = MakeDevice();
  device->Dial("5551234");
  host.RunFor(200000);
  EXPECT_EQ(logCodes, (Codes{1, 3, 9, 8, 3, 9, 8, 3, 9, 8, 2, 10}));
  EXPECT_EQ(events, (std::vector<std::string>{"Fail"}));
  const auto& times = fake::Lib().makeCallTimes;
  ASSERT_EQ(times.size(), 3u);
  for (std::size_t i = 1; i < times.size(); ++i) {
    EXPECT_GE(times[i] - times[i - 1], 60000u);
    EXPECT_LT(times[i] - times[i - 1], 62000u);
  }
  EXPECT_EQ(fake::CallsStartingWith("lineDrop").size(), 3u);
  EXPECT_EQ(fake::CallsStartingWith("lineClose").size(), 3u);
}

TEST_F(TapiDevice, AConnectedCallReopensThePortOnTheHandedOverHandle) {
  auto device = MakeDevice();
  device->Dial("5551234");
  host.RunFor(1000);
  EXPECT_TRUE(device->Connected());
  EXPECT_EQ(port.events, (std::vector<std::string>{"handle 4660", "open true"}));
  EXPECT_EQ(events, (std::vector<std::string>{"PortOpen", "Connect"}));
  EXPECT_EQ(logCodes, (Codes{1, 3, 6}));
  EXPECT_EQ(fake::CallsStartingWith("lineGetID"), (std::vector<std::string>{"lineGetID 4 comm/datamodem"}));
  EXPECT_EQ(device->LineComNumber(), 7);
  EXPECT_EQ(fake::CallsStartingWith("lineGetID").back(), "lineGetID 1 comm/datamodem/portname");
}

TEST_F(TapiDevice, ASecondConnectedStateChangesNothing) {
  fake::Lib().attempts = {"connect_twice"};
  auto device = MakeDevice();
  device->Dial("5551234");
  host.RunFor(1000);
  EXPECT_EQ(port.events, (std::vector<std::string>{"handle 4660", "open true"}));
  EXPECT_EQ(events, (std::vector<std::string>{"PortOpen", "Connect"}));
  EXPECT_EQ(logCodes, (Codes{1, 3, 6}));
}

TEST_F(TapiDevice, AFarEndHangUpClosesThePortWithoutDialFailed) {
  fake::Lib().attempts = {"hangup"};
  auto device = MakeDevice();
  device->Dial("5551234");
  host.RunFor(2000);
  EXPECT_FALSE(device->Connected());
  EXPECT_FALSE(port.open);
  EXPECT_EQ(port.events, (std::vector<std::string>{"handle 4660", "open true", "open false", "handle 0"}));
  EXPECT_EQ(events, (std::vector<std::string>{"PortOpen", "Connect", "PortClose"}));
  EXPECT_EQ(logCodes, (Codes{1, 3, 6, 8, 2}));
  EXPECT_EQ(fake::CallsStartingWith("lineDeallocateCall").size(), 1u);
}

TEST_F(TapiDevice, CancelAfterConnectDropsTheCallOnce) {
  auto device = MakeDevice();
  device->Dial("5551234");
  host.RunFor(1000);
  device->CancelCall();
  EXPECT_EQ(logCodes, (Codes{1, 3, 6, 7, 8, 2}));
  EXPECT_EQ(fake::CallsStartingWith("lineDrop").size(), 1u);
  EXPECT_EQ(events.back(), "PortClose");
  // Cancelling a call that has ended reports nothing more.
  device->CancelCall();
  EXPECT_EQ(logCodes, (Codes{1, 3, 6, 7, 8, 2}));
  EXPECT_EQ(std::count(events.begin(), events.end(), "Fail"), 0);
}

// A line whose provider never answers the drop: a hang-up with a limit
// waits that long in all, for the reply and the idle state together.
TEST_F(TapiDevice, AHangUpWithALimitStopsWaitingForASilentLineInTime) {
  fake::Lib().dropSilent = true;
  auto device = MakeDevice();
  device->Dial("5551234");
  host.RunFor(1000);
  ASSERT_TRUE(device->Connected());
  const std::uint32_t start = host.now;
  device->CancelCallWithin(3000);
  EXPECT_GE(host.now - start, 3000u);
  EXPECT_LT(host.now - start, 3200u);
  EXPECT_EQ(fake::CallsStartingWith("lineDrop").size(), 1u);
  EXPECT_FALSE(device->LineInUse());
  EXPECT_EQ(events.back(), "PortClose");
  EXPECT_EQ(logCodes, (Codes{1, 3, 6, 7, 8, 2}));
}

TEST_F(TapiDevice, ASynchronousDialFailureRaisesCallUnavailAndLogsDialFailedOnce) {
  fake::Lib().attempts = {"fail"};
  auto device = MakeDevice();
  device->OnTapiFail = nullptr;
  EXPECT_EQ(RaisedCode([&] { device->Dial("5551234"); }), codes::kTapiCallUnavail);
  EXPECT_EQ(logCodes, (Codes{1, 3, 8, 2, 10}));
  EXPECT_FALSE(device->LineInUse());
  EXPECT_EQ(fake::CallsStartingWith("lineClose").size(), 1u);
}

TEST_F(TapiDevice, ASynchronousDialFailureWithOnTapiFailRaisesNothing) {
  fake::Lib().attempts = {"fail"};
  auto device = MakeDevice();
  EXPECT_EQ(RaisedCode([&] { device->Dial("5551234"); }), 0);
  EXPECT_EQ(events, (std::vector<std::string>{"Fail"}));
}

TEST_F(TapiDevice, CancelWhileWaitingForAReplyEndsTheWait) {
  fake::Lib().attempts = {"noreply"};
  auto device = MakeDevice();
  device->ReplyTimeoutMs = 0;  // only the cancel can end it
  host.actions.emplace(host.now + 3000, [&] { device->CancelCall(); });
  device->Dial("5551234");  // returns: the pump ran the cancel
  EXPECT_FALSE(device->LineInUse());
  EXPECT_EQ(logCodes, (Codes{1, 3, 7, 8, 2, 10}));
  EXPECT_EQ(events, (std::vector<std::string>{"Fail"}));
}

TEST_F(TapiDevice, AProviderThatNeverRepliesFailsTheCallAfterTheReplyLimit) {
  fake::Lib().attempts = {"noreply"};
  auto device = MakeDevice();
  const std::uint32_t start = host.now;
  device->Dial("5551234");
  EXPECT_GE(host.now - start, 60000u);
  EXPECT_FALSE(device->LineInUse());
  EXPECT_EQ(events, (std::vector<std::string>{"Fail"}));
}

TEST_F(TapiDevice, CancelInTheLastSecondOfARetryWaitNeverRedials) {
  fake::Lib().attempts = {"busy"};
  auto device = MakeDevice();
  device->Dial("5551234");
  // The busy call ends at once, so the redial would come 60 s after it.
  host.actions.emplace(fake::Lib().makeCallTimes.at(0) + 59500, [&] { device->CancelCall(); });
  host.RunFor(120000);
  EXPECT_EQ(fake::Lib().makeCallTimes.size(), 1u);
  EXPECT_EQ(logCodes, (Codes{1, 3, 9, 8, 7, 2, 10}));
  EXPECT_FALSE(host.RetryTimerRunning());
}

TEST_F(TapiDevice, ARedialThatCannotBePlacedEndsTheCallAsFailed) {
  fake::Lib().attempts = {"busy"};
  auto device = MakeDevice();
  device->Dial("5551234");
  // The line is gone before the redial: no line has the selected name, and
  // the user cancels the choice of another.
  host.actions.emplace(fake::Lib().makeCallTimes.at(0) + 30000, [] { fake::Lib().lines = {"Modem B"}; });
  host.RunFor(120000);
  EXPECT_EQ(fake::Lib().makeCallTimes.size(), 1u);
  EXPECT_EQ(host.dialogShown, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"Fail"}));
  EXPECT_EQ(logCodes, (Codes{1, 3, 9, 8, 2, 10}));
  EXPECT_TRUE(host.errors.empty()) << "the failure event reports it";
  EXPECT_FALSE(host.RetryTimerRunning());
}

TEST_F(TapiDevice, ARedialThatCannotBePlacedIsRaisedWithoutAFailureHandler) {
  fake::Lib().attempts = {"busy"};
  auto device = MakeDevice();
  device->OnTapiFail = nullptr;
  device->Dial("5551234");
  host.actions.emplace(fake::Lib().makeCallTimes.at(0) + 30000, [] { fake::Lib().lines = {"Modem B"}; });
  host.RunFor(120000);
  EXPECT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(logCodes, (Codes{1, 3, 9, 8, 2, 10}));
}

TEST_F(TapiDevice, ALateStateOfTheDroppedCallDoesNotPostponeTheRetry) {
  fake::Lib().attempts = {"busy", "connect"};
  auto device = MakeDevice();
  device->Dial("5551234");
  host.actions.emplace(fake::Lib().makeCallTimes.at(0) + 30000,
                       [&] { device->DoLineCallState(0x300, tapi::kCallStateIdle, 0, 0); });
  host.RunFor(70000);
  ASSERT_EQ(fake::Lib().makeCallTimes.size(), 2u);
  EXPECT_LT(fake::Lib().makeCallTimes[1] - fake::Lib().makeCallTimes[0], 62000u);
  EXPECT_EQ(logCodes, (Codes{1, 3, 9, 8, 3, 6}));
}

TEST_F(TapiDevice, AFailedHandOverDropsTheCallAndReportsAFailure) {
  fake::Lib().getIdFails = true;
  auto device = MakeDevice();
  device->Dial("5551234");
  host.RunFor(1000);
  EXPECT_FALSE(device->LineInUse());
  EXPECT_EQ(fake::CallsStartingWith("lineDrop").size(), 1u);
  EXPECT_EQ(fake::CallsStartingWith("lineClose").size(), 1u);
  EXPECT_EQ(events, (std::vector<std::string>{"Fail"}));
  EXPECT_EQ(logCodes, (Codes{1, 3, 8, 2, 10}));
}

// Whoever holds the call's handle when the hand-over fails closes it: the
// port once it was asked to open on it, the device before that.
TEST_F(TapiDevice, AFailedHandOverDropsTheCallAndTheHandlesHolderClosesIt) {
  struct Case {
    bool failOpen, failClose;
    std::vector<std::uintptr_t> closedByDevice;
  };
  for (const Case& c : {Case{true, false, {}}, Case{false, true, {0x1234}}}) {
    SCOPED_TRACE(c.failOpen ? "the open fails" : "the close before the hand-over fails");
    fake::Install();
    host.closedHandles.clear();
    events.clear();
    port.failOpen = c.failOpen;
    port.failClose = c.failClose;
    auto device = MakeDevice();
    device->Dial("5551234");
    host.RunFor(1000);
    EXPECT_EQ(host.closedHandles, c.closedByDevice);
    EXPECT_EQ(fake::CallsStartingWith("lineDrop").size(), 1u);
    EXPECT_EQ(events, (std::vector<std::string>{"Fail"}));
    port.failClose = false;
  }
}

TEST_F(TapiDevice, AFarEndBusyDisconnectIsLoggedAsBusy) {
  fake::Lib().attempts = {"disconnect_busy"};
  auto device = MakeDevice();
  device->MaxAttempts = 1;
  device->Dial("5551234");
  host.RunFor(1000);
  EXPECT_EQ(logCodes, (Codes{1, 3, 9, 8, 2, 10}));
}

// ---- what the library is told ------------------------------------------------------

TEST_F(TapiDevice, TheLibraryGetsTheCallParametersAndOpenArguments) {
  auto device = MakeDevice();
  device->Dial("5551234");
  host.RunFor(1000);
  std::vector<std::uint8_t> expected(112, 0);
  expected[0] = 112, expected[4] = 1, expected[16] = 16, expected[20] = 2, expected[24] = 1;
  EXPECT_EQ(fake::Lib().lastCallParams, expected);
  EXPECT_EQ(fake::CallsStartingWith("lineOpen"),
            (std::vector<std::string>{"lineOpen 0 00010004 ext=0 priv=1 media=16"}));
  EXPECT_EQ(fake::CallsStartingWith("lineSetStatusMessages"),
            (std::vector<std::string>{"lineSetStatusMessages 01FFFFFF 000001FF"}));
  EXPECT_EQ(fake::CallsStartingWith("lineNegotiateAPIVersion").front(),
            "lineNegotiateAPIVersion 0 00010004 00010004");
  EXPECT_EQ(fake::CallsStartingWith("lineMakeCall"), (std::vector<std::string>{"lineMakeCall 5551234 0"}));
}

// ---- Dial guards ---------------------------------------------------------------------

TEST_F(TapiDevice, DialGuards) {
  fake::Lib().lines = {"Modem A", "Modem B"};
  auto device = MakeDevice();
  device->SetComPort(nullptr);
  EXPECT_EQ(RaisedCode([&] { device->Dial("1"); }), codes::kPortNotAssigned);
  device->SetComPort(&port);
  port.mode = TTapiMode::tmOff;
  EXPECT_EQ(RaisedCode([&] { device->Dial("1"); }), codes::kTapiNotSet);
  EXPECT_EQ(RaisedCode([&] { device->Dial(std::string(256, '1')); }), codes::kBadArgument);
  port.mode = TTapiMode::tmAuto;
  device->SetSelectedDevice("Nowhere");
  device->ShowPorts = device->ShowTapiDevices = false;
  EXPECT_EQ(RaisedCode([&] { device->Dial("1"); }), codes::kTapiNoSelect);
  EXPECT_EQ(port.mode, TTapiMode::tmOn);
  EXPECT_EQ(host.dialogShown, 0);
  device->ShowTapiDevices = true;
  EXPECT_EQ(RaisedCode([&] { device->Dial("1"); }), codes::kTapiNoSelect);  // dialog cancelled
  EXPECT_EQ(host.dialogShown, 1);
  EXPECT_TRUE(fake::CallsStartingWith("lineOpen").empty());
  host.dialogAnswer = "Modem B";
  device->Dial("1");
  EXPECT_EQ(device->SelectedDevice(), "Modem B");
  EXPECT_EQ(fake::CallsStartingWith("lineOpen").front().substr(0, 10), "lineOpen 1");
  host.RunFor(1000);
  ASSERT_TRUE(device->Connected());
  EXPECT_EQ(RaisedCode([&] { device->Dial("1"); }), codes::kTapiBusy);
}

TEST_F(TapiDevice, ABoundAutoPortWaitsForACallsHandle) {
  fake::Port autoPort;
  autoPort.mode = TTapiMode::tmAuto;
  autoPort.open = true;
  auto device = MakeDevice();
  device->SetComPort(&autoPort);
  EXPECT_EQ(autoPort.mode, TTapiMode::tmOn);
  EXPECT_FALSE(autoPort.autoOpen);
  EXPECT_FALSE(autoPort.open);
}

TEST_F(TapiDevice, TheOnlyLineIsTakenWhenNoneIsSelected) {
  auto device = MakeDevice();
  device->Dial("1");
  EXPECT_EQ(device->SelectedDevice(), "Modem A");
  EXPECT_EQ(host.dialogShown, 0);
}

// ---- initialisation ---------------------------------------------------------------------

TEST_F(TapiDevice, OneReinitRequestIsWaitedForThenInitialisationSucceeds) {
  fake::Lib().initResults = {tapi::kErrReinit};
  const std::uint32_t start = host.now;
  auto device = MakeDevice();
  EXPECT_GE(host.now - start, 5000u);
  EXPECT_LT(host.now - start, 6000u);
  EXPECT_EQ(device->DeviceNames(), (std::vector<std::string>{"Modem A"}));
}

struct InitRow {
  const char* name;
  std::vector<std::int32_t> results;
  int code;
};

void PrintTo(const InitRow& row, std::ostream* out) { *out << row.name; }

class TapiDeviceInit : public TapiDevice, public testing::WithParamInterface<InitRow> {};

TEST_P(TapiDeviceInit, FailuresAreKeptForTheFirstUse) {
  fake::Lib().initResults.assign(GetParam().results.begin(), GetParam().results.end());
  // Construction never raises (the owner's form is being created); the
  // first use tries again and reports.
  auto device = MakeDevice();
  EXPECT_EQ(RaisedCode([&] { device->Dial("1"); }), GetParam().code);
  EXPECT_LE(fake::CallsStartingWith("lineInitialize").size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TapiDeviceInit,
    testing::Values(
        InitRow{"ReinitTwice", std::vector<std::int32_t>(4, tapi::kErrReinit), codes::kTapiReinit},
        InitRow{"NoDevice", {tapi::kErrNoDevice, tapi::kErrNoDevice}, codes::kTapiNoDevice},
        InitRow{"PersistentFailureIsBounded", std::vector<std::int32_t>(6, tapi::kErrOperationFailed),
                codes::kTapiOperationFailed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TapiDevice, WithoutTheLibraryDialingEndsInNoSelection) {
  fake::Install(false);
  auto device = MakeDevice();
  EXPECT_TRUE(device->DeviceNames().empty());
  EXPECT_EQ(RaisedCode([&] { device->Dial("1"); }), codes::kTapiNoSelect);
  EXPECT_EQ(host.dialogShown, 0);
}

TEST_F(TapiDevice, StaleHandlesOfEndedProcessesAreShutDownAndOnlyTheyAreRemoved) {
  host.registry = {{"$0000FFFF", "1234"}, {"$00000099", "77"}, {"junk", "1"}};
  host.aliveProcesses = {0x99};
  {
    auto device = MakeDevice();
    EXPECT_EQ(fake::CallsStartingWith("lineShutdown"), (std::vector<std::string>{"lineShutdown 1234"}));
    const std::map<std::string, std::string> expected = {{"$00000099", "77"}, {"$000004D2", "256"}};
    EXPECT_EQ(host.registry, expected);
  }
  EXPECT_EQ(host.registry, (std::map<std::string, std::string>{{"$00000099", "77"}}));
  EXPECT_EQ(fake::CallsStartingWith("lineShutdown").back(), "lineShutdown 256");
}

TEST_F(TapiDevice, AReinitRequestShutsDownAndTheNextUseInitialisesAgain) {
  auto device = MakeDevice();
  device->DoLineDevState(0, tapi::kDevStateReinit, 0, 0);
  EXPECT_EQ(fake::CallsStartingWith("lineShutdown").size(), 1u);
  device->Dial("1");
  EXPECT_EQ(fake::CallsStartingWith("lineInitialize").size(), 2u);
}

TEST_F(TapiDevice, DestroyingADeviceInACallDropsWithoutWaitingOrEvents) {
  auto device = MakeDevice();
  device->Dial("1");
  host.RunFor(1000);
  events.clear();
  const std::uint32_t before = host.now;
  device.reset();
  EXPECT_EQ(host.now, before);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(fake::CallsStartingWith("lineDrop").size(), 1u);
  EXPECT_EQ(fake::CallsStartingWith("lineClose").size(), 1u);
}

// ---- call log and status display --------------------------------------------------------

struct RecordingFile : HistoryFileAppender {
  std::string text;
  void Append(const std::string&, std::string_view bytes) override { text += bytes; }
};

struct RecordingDisplay : TApdAbstractTapiStatus {
  explicit RecordingDisplay(fw::TComponent* owner = nullptr) : TApdAbstractTapiStatus(owner) {}
  TapiStatusWindow* CreateDisplay() override { return nullptr; }
  void DestroyDisplay() override {}
  std::vector<std::string> updates;
  void UpdateDisplay(bool first, bool last, int, int message, int p1, int, int) override {
    updates.push_back(std::to_string(first) + std::to_string(last) + " " + std::to_string(message) + " " +
                      std::to_string(p1));
  }
};

TEST_F(TapiDevice, TheCallLogAndDisplayFollowTheCallAndForgetEachOther) {
  fake::Lib().attempts = {"busy"};
  RecordingFile file;
  auto log = std::make_unique<TApdTapiLog>(
      nullptr, [] { return std::string("T"); }, file);
  auto display = std::make_unique<RecordingDisplay>();
  auto device = MakeDevice();
  device->SetTapiLog(log.get());
  device->SetStatusDisplay(display.get());
  EXPECT_EQ(log->TapiDevice, device.get());
  EXPECT_EQ(display->TapiDevice, device.get());
  device->MaxAttempts = 2;
  device->RetryWait = 2;
  display->Displaying = true;
  device->Dial("5551234");
  EXPECT_FALSE(display->Displaying);
  host.RunFor(10000);
  EXPECT_EQ(file.text,
            "T : call started\r\nT :   dialing 5551234\r\nT :   busy\r\nT :   dropped\r\n"
            "T :   dialing 5551234\r\nT :   busy\r\nT :   dropped\r\nT : call finished\r\n\r\nT :   dial "
            "failed\r\n");
  // The retry wait shows as message 32 with 8, once a second until the redial.
  EXPECT_EQ(std::count(display->updates.begin(), display->updates.end(), "00 32 8"), 1);
  EXPECT_EQ(display->updates.front(), "10 2 8");  // dial tone: First
  EXPECT_EQ(display->updates.back(), "01 0 0");   // the report: Last
  // Bound to a second device, the log leaves the first.
  TApdTapiDevice second(nullptr, host);
  second.SetTapiLog(log.get());
  EXPECT_EQ(device->TapiLog(), nullptr);
  log.reset();
  EXPECT_EQ(second.TapiLog(), nullptr);
  device.reset();
  EXPECT_EQ(display->TapiDevice, nullptr);
}

// ---- binding to the owner's components ----------------------------------------------

// A port that is a component of a form, announcing itself once built as the
// serial port component does.
struct ComponentPort : fw::TComponent, fake::Port {
  explicit ComponentPort(fw::TComponent* owner, TTapiMode tapiMode = TTapiMode::tmAuto)
      : fw::TComponent(owner) {
    mode = tapiMode;
    AnnounceInserted(*this);
  }
};

TEST_F(TapiDevice, AtConstructionItBindsTheFirstPortAndTheFirstFreeDisplayAndLogOfItsOwner) {
  RecordingFile file;
  auto stamp = [] { return std::string("T"); };
  fw::TComponent form(nullptr);
  auto* panel = new fw::TComponent(&form);
  auto* innerPort = new ComponentPort(panel);
  auto* laterPort = new ComponentPort(&form);
  auto* takenLog = new TApdTapiLog(&form, stamp, file);
  TApdTapiDevice other(nullptr, host);
  other.SetTapiLog(takenLog);
  auto* freeLog = new TApdTapiLog(panel, stamp, file);
  auto* display = new RecordingDisplay(&form);

  auto* device = new TApdTapiDevice(&form, host);
  // Depth first: the panel's port comes before the form's later one.
  EXPECT_EQ(device->ComPort(), innerPort);
  EXPECT_EQ(innerPort->mode, TTapiMode::tmOn);
  EXPECT_FALSE(innerPort->autoOpen);
  EXPECT_EQ(laterPort->mode, TTapiMode::tmAuto);
  EXPECT_EQ(device->TapiLog(), freeLog);
  EXPECT_EQ(other.TapiLog(), takenLog);
  EXPECT_EQ(device->StatusDisplay(), display);
  EXPECT_EQ(display->TapiDevice, device);

  // Removed parts are forgotten: destroyed ones, and one moved off the form.
  delete innerPort;
  EXPECT_EQ(device->ComPort(), nullptr);
  delete freeLog;
  EXPECT_EQ(device->TapiLog(), nullptr);
  display->ChangeOwner(nullptr);
  EXPECT_EQ(device->StatusDisplay(), nullptr);
  EXPECT_EQ(display->TapiDevice, nullptr);
  delete display;
  // Dialing without a port now fails as it should, not on a freed one.
  EXPECT_EQ(RaisedCode([&] { device->Dial("1"); }), codes::kPortNotAssigned);
}

TEST_F(TapiDevice, PartsBuiltAfterTheDeviceAreBoundWhenItHasNone) {
  RecordingFile file;
  auto stamp = [] { return std::string("T"); };
  fw::TComponent form(nullptr);
  auto* device = new TApdTapiDevice(&form, host);
  EXPECT_EQ(device->ComPort(), nullptr);

  auto* port = new ComponentPort(&form);
  EXPECT_EQ(device->ComPort(), port);
  EXPECT_EQ(port->mode, TTapiMode::tmOn);
  EXPECT_EQ(port->events, (std::vector<std::string>{}));  // closed already: nothing to close
  // The bound port stays; a port switched back to tmAuto is taken over again.
  port->mode = TTapiMode::tmAuto;
  auto* second = new ComponentPort(&form);
  EXPECT_EQ(device->ComPort(), port);
  EXPECT_EQ(port->mode, TTapiMode::tmOn);
  EXPECT_EQ(second->mode, TTapiMode::tmAuto);

  auto* log = new TApdTapiLog(&form, stamp, file);
  auto* display = new RecordingDisplay(&form);
  EXPECT_EQ(device->TapiLog(), log);
  EXPECT_EQ(device->StatusDisplay(), display);
  EXPECT_EQ(log->TapiDevice, device);
  auto* spareLog = new TApdTapiLog(&form, stamp, file);
  EXPECT_EQ(device->TapiLog(), log);
  EXPECT_EQ(spareLog->TapiDevice, nullptr);

  // The device goes first: its parts no longer point at it.
  delete device;
  EXPECT_EQ(log->TapiDevice, nullptr);
  EXPECT_EQ(display->TapiDevice, nullptr);
}

TEST_F(TapiDevice, AssignTakesOnlyFromAnotherLineDevice) {
  TApdTapiDevice device(nullptr, host);
  fw::TComponent plain(nullptr);
  EXPECT_THROW(device.Assign(plain), fw::EConvertError);
}

TEST_F(TapiDevice, AssignCopiesSettingsButNotTheOpenLine) {
  auto first = MakeDevice();
  first->MaxAttempts = 5;
  first->RetryWait = 7;
  first->ShowPorts = false;
  first->SetSelectedDevice("Modem A");
  first->Dial("1");
  host.RunFor(1000);
  ASSERT_TRUE(first->Connected());
  TApdTapiDevice second(nullptr, host);
  second.Assign(*first);
  EXPECT_EQ(second.MaxAttempts, 5);
  EXPECT_EQ(second.RetryWait, 7);
  EXPECT_FALSE(second.ShowPorts);
  EXPECT_EQ(second.SelectedDevice(), "Modem A");
  EXPECT_EQ(second.ComPort(), &port);
  EXPECT_TRUE(second.DeviceNames().empty());
  EXPECT_FALSE(second.LineInUse());
}

struct FakeStatusWindow : TapiStatusWindow {
  std::string caption = "Dialing";
  int position = 2;
  bool ctl3D = false, visible = true;
  std::string Caption() const override { return caption; }
  void SetCaption(const std::string& c) override { caption = c; }
  int Position() const override { return position; }
  void SetPosition(int p) override { position = p; }
  bool Ctl3D() const override { return ctl3D; }
  void SetCtl3D(bool c) override { ctl3D = c; }
  bool Visible() const override { return visible; }
  void SetVisible(bool v) override { visible = v; }
};

struct WindowedDisplay : TApdAbstractTapiStatus {
  explicit WindowedDisplay(FakeStatusWindow* window) : TApdAbstractTapiStatus(nullptr), window_(window) {
    OpenDisplay();
  }
  ~WindowedDisplay() override { CloseDisplay(); }
  void UpdateDisplay(bool, bool, int, int, int, int, int) override {}
  TapiStatusWindow* CreateDisplay() override { return window_; }
  void DestroyDisplay() override { destroyed = true; }
  static inline bool destroyed = false;

 private:
  FakeStatusWindow* window_;
};

TEST_F(TapiDevice, AStatusDisplayTakesItsPropertiesFromItsWindowAndAppliesChanges) {
  struct Bare : TApdAbstractTapiStatus {
    Bare() : TApdAbstractTapiStatus(nullptr) { OpenDisplay(); }
    void UpdateDisplay(bool, bool, int, int, int, int, int) override {}
    TapiStatusWindow* CreateDisplay() override { return nullptr; }
    void DestroyDisplay() override {}
  } bare;
  EXPECT_EQ(bare.Caption(), "Call Progress");

  FakeStatusWindow window;
  auto display = std::make_unique<WindowedDisplay>(&window);
  EXPECT_EQ(display->Caption(), "Dialing");
  EXPECT_EQ(display->Position(), 2);
  EXPECT_FALSE(display->Ctl3D());
  EXPECT_TRUE(display->Visible());
  display->SetCaption("Calling the shop");
  display->SetVisible(false);
  EXPECT_EQ(window.caption, "Calling the shop");
  EXPECT_FALSE(window.visible);
  auto device = MakeDevice();
  device->SetStatusDisplay(display.get());
  display.reset();
  EXPECT_TRUE(WindowedDisplay::destroyed);
  EXPECT_EQ(device->StatusDisplay(), nullptr);
}

// ---- voice ---------------------------------------------------------------------------

TEST_F(TapiDevice, VoiceIsRefusedForALineWithoutAutomatedVoice) {
  auto device = MakeDevice();
  device->SetSelectedDevice("Modem A");
  const std::size_t shutdownsBefore = fake::CallsStartingWith("lineShutdown").size();
  EXPECT_EQ(RaisedCode([&] { device->SetEnableVoice(true); }), codes::kTapiVoiceNotSupported);
  EXPECT_FALSE(device->EnableVoice());
  EXPECT_EQ(fake::CallsStartingWith("lineShutdown").size(), shutdownsBefore + 1);
  device->SetSelectedDevice("Nowhere");
  EXPECT_EQ(RaisedCode([&] { device->SetEnableVoice(true); }), codes::kTapiVoiceNotSupported);
}

TEST_F(TapiDevice, AVoiceCallMonitorsDigitsInsteadOfTakingThePort) {
  fake::Lib().mediaModes = 0x18;
  auto device = MakeDevice();
  device->SetSelectedDevice("Modem A");
  device->SetEnableVoice(true);
  EXPECT_TRUE(device->EnableVoice());
  std::string digits;
  device->OnTapiDTMF = [&](TApdCustomTapiDevice&, char digit, int error) {
    EXPECT_EQ(error, 0);
    digits += digit;
  };
  device->Dial("5551234");
  host.RunFor(1000);
  EXPECT_TRUE(device->Connected());
  EXPECT_TRUE(port.events.empty());
  EXPECT_EQ(fake::CallsStartingWith("lineMonitorDigits").size(), 1u);
  EXPECT_EQ(fake::CallsStartingWith("lineOpen")
                .front()
                .substr(fake::CallsStartingWith("lineOpen").front().size() - 7),
            "media=8");
  EXPECT_EQ(fake::Lib().lastCallParams[16], 8);
  device->DoLineMonitorDigits(0x300, '5', 0, 0);
  device->DoLineMonitorDigits(0x300, ' ', 0, 0);
  EXPECT_EQ(digits, "5");
  EXPECT_EQ(logCodes.back(), 11);
}

// ---- small parsers ---------------------------------------------------------------------

TEST(LineComNumber, ParsesThePortName) {
  const std::vector<std::pair<std::string, int>> rows = {
      {"COM12", 12}, {"COM1", 1}, {"COM", 0}, {"", 0}, {"COMx", 0}, {"COM12345678", 1234567}, {"COM7 ", 0}};
  for (const auto& [text, number] : rows) EXPECT_EQ(ParseLineComNumber(text), number) << text;
}

TEST(CallStateIndex, IsTheBitPosition) {
  EXPECT_EQ(CallStateIndexOf(tapi::kCallStateIdle), 0);
  EXPECT_EQ(CallStateIndexOf(tapi::kCallStateBusy), 6);
  EXPECT_EQ(CallStateIndexOf(tapi::kCallStateConnected), 8);
  EXPECT_EQ(CallStateIndexOf(tapi::kCallStateDisconnected), 14);
  EXPECT_EQ(CallStateIndexOf(0x8000), 15);
  EXPECT_EQ(CallStateIndexOf(0), 15);
  EXPECT_EQ(CallStateIndexOf(0x3), 15);
}

std::vector<std::uint8_t> CallInfoWith(std::uint32_t flags, const std::string& id, const std::string& name) {
  std::vector<std::uint8_t> record(400, 0);
  const auto put = [&](std::uint32_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) record[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  put(0, 400);
  put(8, 400);
  put(tapi::callinfo::kCallerIdFlags, flags);
  put(tapi::callinfo::kCallerIdSize, static_cast<std::uint32_t>(id.size()) + 1);
  put(tapi::callinfo::kCallerIdOffset, 300);
  put(tapi::callinfo::kCallerIdNameSize, static_cast<std::uint32_t>(name.size()) + 1);
  put(tapi::callinfo::kCallerIdNameOffset, 350);
  std::memcpy(record.data() + 300, id.c_str(), id.size() + 1);
  std::memcpy(record.data() + 350, name.c_str(), name.size() + 1);
  return record;
}

TEST(CallerId, FlagsGiveTextsAndAnAddressGivesTheBytes) {
  struct Row {
    std::uint32_t flags;
    const char* number;
    const char* name;
  };
  const std::vector<Row> rows = {{tapi::kPartyIdBlocked, "B", "B"},
                                 {tapi::kPartyIdOutOfArea, "O", "O"},
                                 {tapi::kPartyIdUnknown, "Unknown", "Unknown"},
                                 {tapi::kPartyIdUnavail, "Unavailable", "Unavailable"},
                                 {tapi::kPartyIdAddress | 0x10, "5551234", "Shop"},
                                 {tapi::kPartyIdAddress | tapi::kPartyIdBlocked, "5551234", "B"}};
  for (const Row& row : rows) {
    const auto record = CallInfoWith(row.flags, "5551234", "Shop");
    EXPECT_EQ(CallerIdNumber(record, "B", "O"), row.number) << row.flags;
    EXPECT_EQ(CallerIdName(record, "B", "O"), row.name) << row.flags;
  }
}

TEST(CallerId, BytesOutsideTheRecordAreNotRead) {
  auto record = CallInfoWith(tapi::kPartyIdAddress, "5551234", "Shop");
  record[tapi::callinfo::kCallerIdOffset] = 0xF0;  // offset 496 + size 8 > 400
  record[tapi::callinfo::kCallerIdOffset + 1] = 0x01;
  EXPECT_EQ(CallerIdNumber(record, "B", "O"), "");
}

TEST_F(TapiDevice, CallerIdIsReportedTrimmed) {
  fake::Lib().callInfo = CallInfoWith(tapi::kPartyIdAddress | 0x10, " 5551234 ", "Shop ");
  auto device = MakeDevice();
  std::string id, name;
  device->OnTapiCallerID = [&](TApdCustomTapiDevice&, const std::string& i, const std::string& n) {
    id = i;
    name = n;
  };
  device->DoLineCallInfo(0x300, tapi::kCallInfoStateCallerId, 0, 0);
  EXPECT_EQ(id, "5551234");
  EXPECT_EQ(name, "Shop");
}

}  // namespace
}  // namespace comm
