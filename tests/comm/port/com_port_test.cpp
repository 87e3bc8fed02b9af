// The port component over the in-memory driver: the settings it writes at a
// connect, its open errors, the order it re-applies settings in, flow
// limits, clients, deferred closes and trigger events.
#include <gtest/gtest.h>

#include <memory>
#include <cstdio>
#include <stdexcept>

#include "comm/port/com_port.h"
#include "comm/base/exceptions.h"
#include "comm/base/tick_timer.h"
#include "tests/comm/dispatcher/dispatcher_test_support.h"

namespace {

using comm::TApdComPort;
using test_support::TApdFakeDispatcher;
using Message = test_support::FakeTransport::Message;

class FakePlatform : public comm::PortPlatform {
 public:
  std::unique_ptr<comm::TApdBaseDispatcher> CreateDispatcher(TApdComPort&, bool onTapiHandle,
                                                             std::uintptr_t tapiHandle) override {
    auto dispatcher = std::make_unique<TApdFakeDispatcher>();
    dispatcher->openResult = nextOpenResult;
    dispatcher->SetNotificationTransport(&transport);
    onHandle = onTapiHandle;
    handle = tapiHandle;
    last = dispatcher.get();
    ++dispatchersMade;
    return dispatcher;
  }
  bool ReadHandleSettings(std::uintptr_t, comm::LineSettingsBlock& block) override {
    block = handleSettings;
    return true;
  }
  comm::WindowRef CreateNotificationWindow(TApdComPort& port) override {
    ++windowsAlive;
    const comm::WindowRef window = 0x7000 + dispatchersMade;
    transport.Listen(window,
                     [&port](const Message& m) { port.HandleNotification(m.message, m.wParam, m.lParam); });
    return window;
  }
  void DestroyNotificationWindow(comm::WindowRef) override { --windowsAlive; }
  void SendToClient(comm::WindowRef client, std::uint32_t message) override {
    told.push_back(std::to_string(client) + ":" + (message == comm::kPortOpenMessage ? "open" : "closing"));
  }
  void PostDeferredClose(comm::WindowRef, int) override { ++deferredPosts; }
  void PumpOneMessage() override {}
  bool SelectPort(int& number) override {
    ++selections;
    number = selected;
    return selected != 0;
  }
  void HandleException(const std::exception& error) override { reported.push_back(error.what()); }

  test_support::FakeTransport transport;
  TApdFakeDispatcher* last = nullptr;
  int nextOpenResult = 0;
  int dispatchersMade = 0;
  int windowsAlive = 0;
  int deferredPosts = 0;
  int selections = 0;
  int selected = 0;
  bool onHandle = false;
  std::uintptr_t handle = 0;
  comm::LineSettingsBlock handleSettings;
  std::vector<std::string> told;
  std::vector<std::string> reported;
};

class ComPort : public ::testing::Test {
 protected:
  // The capture program's form values, then its connect.
  void ConfigureAsCaptureProgram() {
    port.SetBaud(9600);
    port.SetParity(comm::TParity::pOdd);
    port.SetDataBits(7);
    port.AutoOpen = false;
    port.SetHWFlowOptions(comm::hwfUseRTS);
    port.SetBufferFull(256);
    port.SetBufferResume(200);
    port.SetLogSize(65500);
    port.SetDataBits(8);
    port.SetParity(comm::TParity::pNone);
    port.SetStopBits(1);
    port.SetTapiMode(comm::TTapiMode::tmAuto);
    port.SetComNumber(3);
  }
  FakePlatform platform;
  TApdComPort port{platform};
};

TEST_F(ComPort, CaptureConnectWritesTheExpectedLineSettings) {
  ConfigureAsCaptureProgram();
  port.SetOpen(true);
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(platform.last->openedName, "\\\\.\\COM3");
  const comm::LineSettingsBlock& block = platform.last->driverBlock;
  EXPECT_EQ(block.BaudRate, 9600u);
  EXPECT_EQ(block.ByteSize, 8);
  EXPECT_EQ(block.Parity, 0);
  EXPECT_EQ(block.StopBits, 0);
  EXPECT_TRUE(block.Binary);
  EXPECT_FALSE(block.ParityCheck);
  EXPECT_FALSE(block.DsrSensitivity);
  EXPECT_TRUE(block.TxContinueOnXoff);
  EXPECT_FALSE(block.NullStrip);
  EXPECT_FALSE(block.OutxCtsFlow);
  EXPECT_FALSE(block.OutxDsrFlow);
  EXPECT_EQ(block.DtrControl, comm::kDtrControlEnable);
  EXPECT_EQ(block.RtsControl, comm::kRtsControlHandshake);
  EXPECT_EQ(block.XoffLim, 3840);
  EXPECT_EQ(block.XonLim, 200);
  EXPECT_FALSE(block.InX);
  EXPECT_FALSE(block.OutX);
  EXPECT_EQ(block.XonChar, 17);
  EXPECT_EQ(block.XoffChar, 19);
}

TEST_F(ComPort, SettingsAreReappliedInOrderAfterTheOpen) {
  ConfigureAsCaptureProgram();
  port.SetOpen(true);
  TApdFakeDispatcher& d = *platform.last;
  EXPECT_EQ(d.LengthTrigger(), 1u);
  EXPECT_TRUE(port.RTS()) << "RTS under handshake keeps its value";
  EXPECT_EQ(d.escapes.back(), 5) << "DTR raised last; RTS is left to the handshake";
  // The forced block at open, then hardware flow, clear software flow, flow chars.
  ASSERT_GE(d.statesWritten.size(), 4u);
  EXPECT_EQ(d.statesWritten[0].RtsControl, comm::kRtsControlEnable);
  EXPECT_EQ(d.statesWritten[1].RtsControl, comm::kRtsControlHandshake);
  EXPECT_EQ(d.statesWritten[1].XoffLim, 3840);
  std::uint32_t hardware, software;
  char xOff, xOn;
  d.QueryFlow(hardware, software, xOff, xOn);
  EXPECT_EQ(hardware, 2u);
  EXPECT_EQ(software, 0u);
}

struct OpenError {
  const char* name;
  int systemResult;
  int expectedCode;
};

class OpenErrorTable : public ComPort, public ::testing::WithParamInterface<OpenError> {};

TEST_P(OpenErrorTable, MapsToTheCodesExceptionAndLeavesThePortClosed) {
  platform.nextOpenResult = GetParam().systemResult;
  port.RegisterClientWindow(0x55);
  port.SetComNumber(4);
  int raised = 0;
  try {
    port.SetOpen(true);
  } catch (const comm::EAPDException& e) {
    raised = e.ErrorCode != 0 ? e.ErrorCode : -1;
  } catch (const fw::EInOutError& e) {
    raised = -e.ErrorCode;
  }
  EXPECT_EQ(raised, GetParam().expectedCode);
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.OpenState(), TApdComPort::TOpenState::closed);
  EXPECT_EQ(platform.windowsAlive, 0);
  EXPECT_TRUE(platform.told.empty());
  EXPECT_ANY_THROW(port.Dispatcher()) << "AutoOpen tries again and fails again";
  EXPECT_EQ(port.OpenState(), TApdComPort::TOpenState::closed);
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenErrorTable,
                         ::testing::Values(OpenError{"FileNotFound", -2, comm::codes::kBadId},
                                           OpenError{"PathNotFound", -3, comm::codes::kBadId},
                                           OpenError{"AccessDenied", -5, comm::codes::kAlreadyOpen},
                                           OpenError{"SharingViolation", -32, -32},
                                           OpenError{"NoSystemResources", -1450, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ComPort, NoPortNumberWithoutPromptOrWithTheDialogCancelledRaises) {
  port.PromptForPort = false;
  EXPECT_THROW(port.SetOpen(true), comm::ENoPortSelected);
  port.PromptForPort = true;
  EXPECT_THROW(port.SetOpen(true), comm::ENoPortSelected);
  EXPECT_EQ(platform.selections, 1);
  platform.selected = 7;
  port.SetOpen(true);
  EXPECT_EQ(port.ComNumber(), 7);
  EXPECT_EQ(platform.last->openedName, "\\\\.\\COM7");
}

TEST_F(ComPort, TelephonyModeOpensOnTheHandedHandleWithItsSettings) {
  port.SetTapiMode(comm::TTapiMode::tmOn);
  EXPECT_THROW(port.SetOpen(true), comm::ENotOpenedByTapi);
  port.TapiHandle = std::uintptr_t{0x1234567890};
  platform.handleSettings.BaudRate = 2400;
  platform.handleSettings.RtsControl = comm::kRtsControlHandshake;
  platform.handleSettings.InX = true;
  port.SetOpen(true);
  EXPECT_TRUE(platform.onHandle);
  EXPECT_EQ(platform.handle, std::uintptr_t{0x1234567890}) << "the handle is passed whole";
  EXPECT_EQ(port.Baud(), 2400);
  EXPECT_EQ(port.HWFlowOptions(), comm::hwfUseRTS);
  EXPECT_EQ(port.SWFlowOptions(), comm::TSWFlowOptions::swfReceive);
}

TEST_F(ComPort, FlowLimitTable) {
  port.SetBufferFull(5000);
  EXPECT_EQ(port.BufferFull(), 4500);
  port.SetHWFlowOptions(comm::hwfUseRTS);
  EXPECT_EQ(port.BufferFull(), 3686);
  EXPECT_EQ(port.BufferResume(), 409);
  port.SetBufferResume(4000);
  EXPECT_EQ(port.BufferResume(), 368);
  TApdComPort software(platform);
  software.SetSWFlowOptions(comm::TSWFlowOptions::swfBoth);
  EXPECT_EQ(software.BufferFull(), 3072);
  EXPECT_EQ(software.BufferResume(), 1024);
}

TEST_F(ComPort, DtrUnderHandshakeKeepsItsValue) {
  port.SetComNumber(2);
  port.SetHWFlowOptions(comm::hwfUseDTR | comm::hwfUseRTS);
  port.SetOpen(true);
  port.SetDTR(false);
  EXPECT_TRUE(port.DTR());
  port.SetHWFlowOptions(comm::hwfUseRTS);
  port.SetDTR(false);
  EXPECT_FALSE(port.DTR());
}

TEST_F(ComPort, Rs485ModeDropsRtsHandshakeAndLowersRts) {
  port.SetHWFlowOptions(comm::hwfUseRTS | comm::hwfRequireCTS | comm::hwfRequireDSR);
  port.SetRS485Mode(true);
  EXPECT_EQ(port.HWFlowOptions(), comm::hwfRequireDSR);
  EXPECT_FALSE(port.RTS());
  port.SetComNumber(2);
  port.SetOpen(true);
  EXPECT_EQ(platform.last->driverBlock.RtsControl, comm::kRtsControlToggle) << "the driver toggles RTS";
}

TEST_F(ComPort, ClientsHearOfOpenAndCloseLastRegisteredFirst) {
  port.SetComNumber(1);
  port.RegisterClientWindow(0x10);
  int marker;
  port.RegisterClientCallback(
      [&](TApdComPort&, bool opening) { platform.told.push_back(opening ? "cb:open" : "cb:closing"); },
      &marker);
  port.RegisterClientWindow(0x20);
  port.SetOpen(true);
  port.SetOpen(false);
  EXPECT_EQ(platform.told, (std::vector<std::string>{"32:open", "cb:open", "16:open", "32:closing",
                                                     "cb:closing", "16:closing"}));
  port.UnregisterClientCallback(&marker);
  port.UnregisterClientWindow(0x10);
  platform.told.clear();
  port.SetOpen(true);
  EXPECT_EQ(platform.told, (std::vector<std::string>{"32:open"}));
}

TEST_F(ComPort, AClientFailingAtTheOpenRollsEverythingBack) {
  port.SetComNumber(1);
  port.RegisterClientCallback(
      [](TApdComPort&, bool opening) {
        if (opening) throw std::runtime_error("client refused");
      },
      nullptr);
  port.RegisterClientWindow(0x20);
  EXPECT_THROW(port.SetOpen(true), std::runtime_error);
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.OpenState(), TApdComPort::TOpenState::closed);
  EXPECT_EQ(platform.windowsAlive, 0);
  EXPECT_EQ(platform.told, (std::vector<std::string>{"32:open", "32:closing"}));
}

TEST_F(ComPort, LoadedOpensAndReportsAFailureWithoutRaising) {
  port.Loading = true;
  port.SetComNumber(1);
  port.SetOpen(true);
  EXPECT_EQ(platform.dispatchersMade, 0) << "only a wish while loading";
  port.Loaded();
  EXPECT_TRUE(port.Open());

  TApdComPort failing(platform);
  platform.nextOpenResult = -2;
  failing.Loading = true;
  failing.SetComNumber(9);
  failing.SetOpen(true);
  failing.Loaded();
  EXPECT_FALSE(failing.Open());
  ASSERT_EQ(platform.reported.size(), 1u);
}

TEST_F(ComPort, ChangingTheNumberOfAnOpenPortKeepsTriggersAndTracing) {
  port.SetComNumber(1);
  port.SetOpen(true);
  port.SetTracing(comm::TTraceLogState::tlOn);
  const int timer = port.AddTimerTrigger();
  port.SetComNumber(2);
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(platform.last->openedName, "\\\\.\\COM2");
  EXPECT_EQ(port.Tracing(), comm::TTraceLogState::tlOn);
  EXPECT_TRUE(platform.last->TraceOn());
  EXPECT_NO_THROW(port.SetTimerTrigger(timer, 2, true));
}

TEST_F(ComPort, CloseAndReopenFromInsideAnAvailEventIsDeferred) {
  port.SetComNumber(1);
  int avails = 0;
  port.SetOnTriggerAvail([&](TApdComPort& p, std::uint32_t) {
    ++avails;
    p.SetOpen(false);
    p.SetOpen(true);
  });
  port.SetOpen(true);
  TApdFakeDispatcher* first = platform.last;
  first->Feed("abc");
  first->DispatchPass(false, 0);
  EXPECT_EQ(avails, 1);
  EXPECT_EQ(platform.deferredPosts, 1);
  EXPECT_EQ(port.OpenState(), TApdComPort::TOpenState::closing);
  port.HandleNotification(comm::kDeferredCloseMessage, 0, 0);
  EXPECT_EQ(port.OpenState(), TApdComPort::TOpenState::open);
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(platform.dispatchersMade, 2);
  EXPECT_EQ(platform.windowsAlive, 1);
}

TEST_F(ComPort, ChangingTheNumberInsideATriggerEventReopensOnTheNewNumber) {
  port.SetComNumber(1);
  port.SetOpen(true);
  port.SetTracing(comm::TTraceLogState::tlOn);
  port.SetLogging(comm::TTraceLogState::tlOn);
  const int timer = port.AddTimerTrigger();
  port.SetOnTriggerAvail([&](TApdComPort& p, std::uint32_t) { p.SetComNumber(2); });
  platform.last->Feed("abc");
  platform.last->DispatchPass(false, 0);
  ASSERT_EQ(port.OpenState(), TApdComPort::TOpenState::closing);
  port.HandleNotification(comm::kDeferredCloseMessage, 0, 0);
  EXPECT_EQ(port.OpenState(), TApdComPort::TOpenState::open);
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(platform.dispatchersMade, 2);
  EXPECT_EQ(platform.last->openedName, "\\\\.\\COM2");
  EXPECT_EQ(port.Tracing(), comm::TTraceLogState::tlOn);
  EXPECT_EQ(port.Logging(), comm::TTraceLogState::tlOn);
  EXPECT_TRUE(platform.last->TraceOn());
  EXPECT_TRUE(platform.last->LogOn());
  EXPECT_NO_THROW(port.SetTimerTrigger(timer, 2, true)) << "the trigger lives on the new port";
}

TEST_F(ComPort, AFailingLineIsRaisedToTheOwnerWhoMayCloseThePort) {
  comm::SetTickClock([] {
    static std::uint32_t now = 0;
    return now += 600;
  });
  port.SetComNumber(1);
  port.SetOpen(true);
  std::vector<std::uint32_t> failures;
  port.SetOnLineFailure([&](TApdComPort& p, std::uint32_t error) {
    failures.push_back(error);
    p.SetOpen(false);
  });
  platform.last->statusError = 1167;
  for (int pass = 0; pass < 4; ++pass) platform.last->DispatchPass(false, 0);
  comm::SetTickClock(nullptr);
  ASSERT_EQ(platform.transport.posted.size(), 1u);
  const Message posted = platform.transport.posted[0];
  EXPECT_EQ(posted.window, port.PortWindow());
  port.HandleNotification(posted.message, posted.wParam, posted.lParam);
  EXPECT_EQ(failures, (std::vector<std::uint32_t>{1167}));
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.OpenState(), TApdComPort::TOpenState::closed);
  port.HandleNotification(posted.message, posted.wParam, posted.lParam);
  EXPECT_EQ(failures.size(), 1u) << "a closed port has nothing to report";
}

TEST_F(ComPort, YieldToPortGivesUpTheTimeSliceOfAnOpenPortOnly) {
  port.AutoOpen = false;
  EXPECT_THROW(port.YieldToPort(), comm::EAPDException);
  port.SetComNumber(1);
  port.SetOpen(true);
  port.YieldToPort();
  EXPECT_EQ(platform.last->yields, 1);
}

TEST_F(ComPort, StatusNotificationsRaiseTheGeneralThenTheSpecificEvent) {
  port.SetComNumber(1);
  port.SetOpen(true);
  std::vector<std::string> raised;
  port.SetOnTrigger([&](TApdComPort&, std::uint32_t msg, std::uint32_t handle, std::uint32_t data) {
    raised.push_back("trigger " + std::to_string(msg) + " " + std::to_string(handle) + " " +
                     std::to_string(data));
  });
  port.SetOnTriggerStatus(
      [&](TApdComPort&, std::uint32_t handle) { raised.push_back("status " + std::to_string(handle)); });
  port.SetOnTriggerLineError([&](TApdComPort&, int error, bool lineBreak) {
    raised.push_back("line " + std::to_string(error) + (lineBreak ? " break" : ""));
  });
  const int handle = port.AddStatusTrigger(comm::kStatusLine);
  port.SetStatusTrigger(handle, 8, true);
  platform.last->pendingLineErrors = comm::kLineBreak;
  platform.last->DispatchPass(true, 0x40);
  const std::string h = std::to_string(handle);
  EXPECT_EQ(raised, (std::vector<std::string>{"trigger 32260 " + h + " 0", "status " + h, "line 9 break"}));
}

TEST_F(ComPort, ALogThatCannotBeWrittenAtCloseIsReportedAndThePortStillCloses) {
  port.SetComNumber(1);
  port.LogName = "no_such_folder/CVL.LOG";
  port.SetOpen(true);
  port.SetLogging(comm::TTraceLogState::tlOn);
  platform.last->AddLogEntry(9, 16, {}, 1);
  port.SetOpen(false);
  EXPECT_EQ(platform.reported.size(), 1u);
  EXPECT_EQ(port.OpenState(), TApdComPort::TOpenState::closed);
  EXPECT_EQ(port.Logging(), comm::TTraceLogState::tlOff);
  EXPECT_EQ(platform.windowsAlive, 0);
}

TEST_F(ComPort, ClosingWithTracingOnWritesTheTraceFile) {
  std::remove("port_close_test.trc");
  port.SetComNumber(1);
  port.TraceName = "port_close_test.trc";
  port.TraceHex = false;
  port.SetOpen(true);
  port.SetTracing(comm::TTraceLogState::tlOn);
  platform.last->Feed("ok");
  platform.last->FillReceiveRing();
  std::uint8_t c;
  while (platform.last->FetchChar(c) == 0) {
  }
  port.SetOpen(false);
  std::FILE* file = std::fopen("port_close_test.trc", "rb");
  ASSERT_NE(file, nullptr);
  char text[64] = {};
  const std::size_t n = std::fread(text, 1, sizeof text - 1, file);
  std::fclose(file);
  EXPECT_EQ(std::string(text, n), "Receive: \r\nok");
  EXPECT_EQ(port.Tracing(), comm::TTraceLogState::tlOff);
}

TEST_F(ComPort, AssigningTheFirstTriggerEventMakesTheDispatcherNotify) {
  port.SetComNumber(1);
  port.SetOpen(true);
  EXPECT_FALSE(platform.last->ServiceNeeded() && platform.last->PortWantsEvents());
  port.SetOnTriggerOutSent([](TApdComPort&) {});
  EXPECT_TRUE(platform.last->PortWantsEvents());
  port.SetOnTriggerOutSent(nullptr);
  EXPECT_FALSE(platform.last->PortWantsEvents());
}

TEST_F(ComPort, WaitCharRaisesItsEventButIsNoTriggerEvent) {
  port.WaitChar('a');  // unassigned: nothing happens
  port.SetComNumber(1);
  port.SetOpen(true);
  std::string seen;
  port.SetOnWaitChar([&](TApdComPort& sender, char c) {
    EXPECT_EQ(&sender, &port);
    seen.push_back(c);
  });
  EXPECT_FALSE(platform.last->PortWantsEvents());
  port.WaitChar('O');
  port.WaitChar('K');
  EXPECT_EQ(seen, "OK");
  // Subclasses take the call in place of the event.
  struct Waiting : TApdComPort {
    using TApdComPort::TApdComPort;
    std::string taken;
    void WaitChar(char c) override { taken.push_back(c); }
  } waiting{platform};
  TApdComPort& asPort = waiting;
  asPort.WaitChar('z');
  EXPECT_EQ(waiting.taken, "z");
}

}  // namespace
