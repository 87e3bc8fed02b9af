#include "capture/program/connection_flow.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "capture/program/connection_rules.h"
#include "comm/telephony/device_list.h"
#include "tests/capture/program/fakes.h"

namespace {

using namespace capture::testing;
using Log = std::vector<std::string>;

class FakeDevices : public capture::ConnectionDevices {
 public:
  void PrepareLine() override { log.push_back("8N1"); }
  void OpenDirect(int port) override {
    log.push_back("open COM" + std::to_string(port));
    if (failOpen) throw std::runtime_error("busy");
  }
  void CloseDirect() override {
    log.push_back("close");
    if (order) order->push_back("close");
    if (failClose) throw std::runtime_error("gone");
  }
  void UseCallPort() override { log.push_back("port 0"); }
  void ActivateTerminal(bool active) override { log.push_back(active ? "active" : "inactive"); }
  void StartMonitoring() override { log.push_back("monitor"); }
  void Dial(const std::string& device, const std::string& number) override {
    log.push_back("dial " + device + " " + number);
    if (failDial) throw std::runtime_error("no line");
    if (duringDial) duringDial();
  }
  void CancelCall() override {
    log.push_back("cancel");
    if (duringCancel) duringCancel();
    if (failCancel) throw std::runtime_error("gone");
  }
  void CancelCallWithin(std::uint32_t ms) override {
    log.push_back("cancel within " + std::to_string(ms));
    if (failCancel) throw std::runtime_error("gone");
  }
  void SetTapiModeOff() override { log.push_back("tmOff"); }
  Log log;
  Log* order = nullptr;  // shared with the terminal, when set
  bool failOpen = false, failDial = false, failCancel = false, failClose = false;
  // What the line device reports from inside the call, as its events do.
  std::function<void()> duringDial, duringCancel;
};

class FakeView : public capture::ConnectionView {
 public:
  void ShowStatus(const std::string& status) override { statuses.push_back(status); }
  void ShowConnectCaption(const std::string& caption) override { this->caption = caption; }
  Log statuses;
  std::string caption;
};

struct FlowTest : ::testing::Test {
  FlowTest()
      : terminal(files),
        session(terminal, files, date, notices, "C:\\shop\\"),
        flow(devices, view, session, notices) {
    session.NewCaptureFile();
    terminal.log.clear();
  }
  FakeFiles files;
  FixedDate date;
  FakeTerminal terminal;
  RecordingNotices notices;
  FakeDevices devices;
  FakeView view;
  capture::CaptureSession session;
  capture::ConnectionFlow flow;
};

TEST_F(FlowTest, StartsIdleBeforeAnythingElse) {
  EXPECT_EQ(view.statuses.front(), "IDLE");
  EXPECT_EQ(view.caption, "Connec&t");
}

struct ConnectCase {
  const char* device;
  const char* phone;
  bool failOpen, failDial;
  Log statuses;  // after the initial IDLE
  const char* caption;
  Log devices;
  Log boxes;
  bool captureReopened;
};

class ConnectFlow : public FlowTest, public ::testing::WithParamInterface<ConnectCase> {};

TEST_P(ConnectFlow, EndsCollectingOrIdleWithAMessage) {
  const ConnectCase& c = GetParam();
  devices.failOpen = c.failOpen;
  devices.failDial = c.failDial;
  flow.Toggle(c.device, c.phone);
  EXPECT_EQ(Log(view.statuses.begin() + 1, view.statuses.end()), c.statuses);
  EXPECT_EQ(view.caption, c.caption);
  EXPECT_EQ(devices.log, c.devices);
  EXPECT_EQ(notices.boxes, c.boxes);
  EXPECT_EQ(terminal.log, (c.captureReopened ? Log{"off", "append"} : Log{}));
}

INSTANTIATE_TEST_SUITE_P(
    Devices, ConnectFlow,
    ::testing::Values(ConnectCase{"Direct to COM3",
                                  "",
                                  false,
                                  false,
                                  {"CONNECTING", "COLLECTING"},
                                  "&Disconnect",
                                  {"8N1", "open COM3", "active", "monitor"},
                                  {},
                                  true},
                      ConnectCase{"Direct to COM12",
                                  "555",
                                  false,
                                  false,
                                  {"CONNECTING", "COLLECTING"},
                                  "&Disconnect",
                                  {"8N1", "open COM12", "active", "monitor"},
                                  {},
                                  true},
                      ConnectCase{"Direct to COM12",
                                  "",
                                  true,
                                  false,
                                  {"CONNECTING", "IDLE"},
                                  "Connec&t",
                                  {"8N1", "open COM12"},
                                  {"error: Unable to Open Port, it is either unavailable or in use"},
                                  true},
                      ConnectCase{"None Selected",
                                  "",
                                  false,
                                  false,
                                  {"CONNECTING", "IDLE"},
                                  "Connec&t",
                                  {},
                                  {"info: No Device Selected"},
                                  false},
                      // A line whose name begins like a port item is dialled, as the
                      // device dialog returns it.
                      ConnectCase{"Direct to COM3 Modem",
                                  "5551234",
                                  false,
                                  false,
                                  {"CONNECTING", "DIALING"},
                                  "&Disconnect",
                                  {"8N1", "port 0", "monitor", "dial Direct to COM3 Modem 5551234"},
                                  {},
                                  true},
                      ConnectCase{"Modem 1",
                                  "",
                                  false,
                                  false,
                                  {"CONNECTING", "IDLE"},
                                  "Connec&t",
                                  {},
                                  {"error: Need Phone Number"},
                                  true},
                      ConnectCase{"Directline Modem",
                                  "5551234",
                                  false,
                                  false,
                                  {"CONNECTING", "DIALING"},
                                  "&Disconnect",
                                  {"8N1", "port 0", "monitor", "dial Directline Modem 5551234"},
                                  {},
                                  true},
                      ConnectCase{"Modem 1",
                                  "5551234",
                                  false,
                                  true,
                                  {"CONNECTING", "DIALING", "IDLE"},
                                  "Connec&t",
                                  {"8N1", "port 0", "monitor", "dial Modem 1 5551234"},
                                  {"error: Unable to Connect to Modem"},
                                  true}));

TEST_F(FlowTest, CaptureThatCannotOpenEndsIdle) {
  terminal.failOpen = true;
  flow.Toggle("Direct to COM3", "");
  EXPECT_EQ(flow.Status(), "IDLE");
  EXPECT_EQ(view.caption, "Connec&t");
  EXPECT_EQ(notices.boxes, Log{"error: Cannot open the capture file"});
  EXPECT_TRUE(devices.log.empty());
}

TEST_F(FlowTest, DirectDisconnectClosesThePortAndStopsCapture) {
  flow.Toggle("Direct to COM3", "");
  devices.log.clear();
  terminal.log.clear();
  flow.Toggle("Direct to COM3", "");
  EXPECT_EQ(view.statuses.back(), "IDLE");
  EXPECT_EQ(view.statuses[view.statuses.size() - 2], "DISCONNECTING");
  EXPECT_EQ(devices.log, (Log{"close", "inactive", "tmOff"}));
  EXPECT_EQ(terminal.log, Log{"off"});
  EXPECT_EQ(view.caption, "Connec&t");
}

TEST_F(FlowTest, CallHangsUpAndConnectsThroughItsEvents) {
  flow.Toggle("Modem 1", "5551234");
  flow.CallConnected();
  EXPECT_EQ(flow.Status(), "COLLECTING");
  devices.log.clear();
  flow.Toggle("Modem 1", "5551234");
  EXPECT_EQ(devices.log, (Log{"cancel", "tmOff"}));
  EXPECT_EQ(view.statuses[view.statuses.size() - 2], "HANGING UP");
  EXPECT_EQ(flow.Status(), "IDLE");
}

TEST_F(FlowTest, HangUpFailureIsSilentAndEndsIdle) {
  flow.Toggle("Modem 1", "5551234");
  devices.failCancel = true;
  flow.Toggle("Modem 1", "5551234");
  EXPECT_EQ(flow.Status(), "IDLE");
  EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(FlowTest, MenuItemsDoWhatTheySay) {
  flow.MenuDisconnect("Direct to COM3", "");
  EXPECT_EQ(notices.boxes, Log{"info: Not Currently Connected"});
  EXPECT_TRUE(devices.log.empty());
  flow.MenuConnect("Direct to COM3", "");
  EXPECT_EQ(flow.Status(), "COLLECTING");
  devices.log.clear();
  flow.MenuConnect("Direct to COM3", "");
  EXPECT_EQ(flow.Status(), "COLLECTING") << "Connect never disconnects";
  EXPECT_TRUE(devices.log.empty());
  flow.MenuDisconnect("Direct to COM3", "");
  EXPECT_EQ(flow.Status(), "IDLE");
  EXPECT_EQ(view.caption, "Connec&t");
}

TEST_F(FlowTest, FarEndHangingUpReturnsToIdle) {
  flow.Toggle("Modem 1", "5551234");
  flow.CallConnected();
  terminal.log.clear();
  flow.LineClosed();
  EXPECT_EQ(flow.Status(), "IDLE");
  EXPECT_EQ(view.caption, "Connec&t");
  EXPECT_EQ(terminal.log, Log{"off"});
}

TEST_F(FlowTest, ACallThatFailsWhileDialingEndsIdleWithTheModemBox) {
  flow.Toggle("Modem 1", "5551234");
  ASSERT_EQ(flow.Status(), "DIALING");
  devices.log.clear();
  terminal.log.clear();
  flow.CallFailed();
  EXPECT_EQ(flow.Status(), "IDLE");
  EXPECT_EQ(view.caption, "Connec&t");
  EXPECT_EQ(devices.log, Log{"tmOff"});
  EXPECT_EQ(terminal.log, Log{"off"});
  EXPECT_EQ(notices.boxes, Log{"error: Unable to Connect to Modem"});
}

TEST_F(FlowTest, ACallThatFailsInsideDialIsReportedOnce) {
  devices.duringDial = [this] { flow.CallFailed(); };
  flow.Toggle("Modem 1", "5551234");
  EXPECT_EQ(flow.Status(), "IDLE");
  EXPECT_EQ(view.caption, "Connec&t");
  EXPECT_EQ(notices.boxes, Log{"error: Unable to Connect to Modem"});
}

TEST_F(FlowTest, EndingTheCallOurselvesIsNoFailure) {
  devices.duringCancel = [this] { flow.CallFailed(); };
  flow.Toggle("Modem 1", "5551234");
  flow.Toggle("Modem 1", "5551234");
  EXPECT_EQ(flow.Status(), "IDLE");
  flow.Toggle("Modem 1", "5551234");
  flow.Close("5551234");
  EXPECT_EQ(flow.Status(), "HANGING UP");
  EXPECT_TRUE(notices.boxes.empty()) << notices.boxes.front();
}

TEST_F(FlowTest, AFailureReportAfterTheCallConnectedChangesNothing) {
  flow.Toggle("Modem 1", "5551234");
  flow.CallConnected();
  flow.CallFailed();
  EXPECT_EQ(flow.Status(), "COLLECTING");
  EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(FlowTest, AFailedLineStopsCaptureClosesThePortAndSaysWhyOnce) {
  flow.Toggle("Direct to COM3", "");
  ASSERT_EQ(flow.Status(), "COLLECTING");
  devices.log.clear();
  terminal.log.clear();
  flow.LineFailed("COM3", "The device is not connected.");
  EXPECT_EQ(flow.Status(), "IDLE");
  EXPECT_EQ(view.caption, "Connec&t");
  EXPECT_EQ(terminal.log, Log{"off"}) << "the capture file is flushed and closed";
  EXPECT_EQ(devices.log, (Log{"close", "inactive", "tmOff"}));
  ASSERT_EQ(notices.boxes.size(), 1u);
  EXPECT_EQ(notices.boxes[0],
            "error: The connection on COM3 failed: The device is not connected.\n\nCollecting has stopped; "
            "everything received is in the capture file. Check the cable or adapter, then choose Connect.");
  flow.LineFailed("COM3", "The device is not connected.");
  EXPECT_EQ(notices.boxes.size(), 1u) << "an idle window has nothing to report";
  flow.Toggle("Direct to COM3", "");
  EXPECT_EQ(flow.Status(), "COLLECTING") << "the user can connect again";
}

TEST_F(FlowTest, OwnDisconnectIsNotTakenForAHangUp) {
  flow.Toggle("Direct to COM3", "");
  flow.Toggle("Direct to COM3", "");
  const auto before = view.statuses.size();
  flow.LineClosed();
  EXPECT_EQ(view.statuses.size(), before);
}

TEST_F(FlowTest, ClosingHangsUpAndStopsCaptureEvenWhenHangingUpFails) {
  flow.Toggle("Modem 1", "5551234");
  devices.failCancel = true;
  terminal.log.clear();
  flow.Close("5551234");
  EXPECT_EQ(flow.Status(), "HANGING UP");
  EXPECT_EQ(notices.boxes, Log{"error: gone"});
  EXPECT_EQ(terminal.log, Log{"off"});
}

// Windows ending the session: the port closes (handing what it took to the
// terminal) before capture is written out, the settings are kept before a
// hang-up, the hang-up has a limit, and nothing waits for the user, whatever
// fails on the way.
struct EndCase {
  const char* device;
  const char* phone;
  bool failing;  // hanging up, closing, keeping the settings and stopping capture all raise
  Log devices;   // what the devices see after the connect
};

class SessionEnd : public FlowTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(SessionEnd, ClosesThePortWritesOutCaptureKeepsTheSettingsThenLetsTheLineGo) {
  flow.Toggle(GetParam().device, GetParam().phone);
  ASSERT_NE(flow.Status(), "IDLE");
  devices.log.clear();
  terminal.log.clear();
  Log order;
  devices.order = terminal.order = &order;
  devices.failCancel = devices.failClose = GetParam().failing;
  terminal.failStop = GetParam().failing;
  const bool failing = GetParam().failing;
  EXPECT_NO_THROW(flow.EndSession(GetParam().phone, [&] {
    order.push_back("settings");
    devices.log.push_back("settings");
    if (failing) throw std::runtime_error("no disk");
  }));
  EXPECT_EQ(order, (Log{"close", "capture off", "settings"}));
  EXPECT_EQ(terminal.log, Log{"off"});
  EXPECT_EQ(devices.log, GetParam().devices);
  EXPECT_EQ(flow.Status(), "IDLE");
  EXPECT_EQ(view.caption, "Connec&t");
  EXPECT_TRUE(notices.boxes.empty()) << notices.boxes.front();
}

INSTANTIATE_TEST_SUITE_P(
    Devices, SessionEnd,
    ::testing::Values(
        EndCase{"Direct to COM3", "", false, {"close", "settings", "inactive", "tmOff"}},
        EndCase{
            "Modem 1", "5551234", false, {"close", "settings", "cancel within 3000", "inactive", "tmOff"}},
        EndCase{
            "Modem 1", "5551234", true, {"close", "settings", "cancel within 3000", "inactive", "tmOff"}}));

// Every other end closes the port before capture stops, too.
enum class End { kExit, kDisconnect, kLineFailed };

class EndOfAConnection : public FlowTest, public ::testing::WithParamInterface<End> {};

TEST_P(EndOfAConnection, ClosesThePortBeforeCaptureStops) {
  flow.Toggle("Direct to COM3", "");
  ASSERT_EQ(flow.Status(), "COLLECTING");
  Log order;
  devices.order = terminal.order = &order;
  switch (GetParam()) {
    case End::kExit:
      flow.Close("");
      break;
    case End::kDisconnect:
      flow.Toggle("Direct to COM3", "");
      break;
    case End::kLineFailed:
      flow.LineFailed("COM3", "");
      break;
  }
  EXPECT_EQ(order, (Log{"close", "capture off"}));
}

INSTANTIATE_TEST_SUITE_P(Ends, EndOfAConnection,
                         ::testing::Values(End::kExit, End::kDisconnect, End::kLineFailed));

TEST_F(FlowTest, SessionEndWhileIdleOnlyWritesOutCaptureAndKeepsTheSettings) {
  bool kept = false;
  flow.EndSession("5551234", [&] { kept = true; });
  EXPECT_TRUE(kept);
  EXPECT_EQ(terminal.log, Log{"off"});
  EXPECT_TRUE(devices.log.empty());
  EXPECT_TRUE(notices.boxes.empty());
}

struct NameCase {
  const char* name;
  bool direct;
  int port;  // 0: none
};

class DeviceNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(DeviceNames, OnePredicateDecidesDirect) {
  EXPECT_EQ(capture::IsDirectDevice(GetParam().name), GetParam().direct);
  EXPECT_EQ(capture::DirectPortNumber(GetParam().name).value_or(0), GetParam().port);
}

// The name the device dialog returns means the same to the main window.
TEST_P(DeviceNames, TheDeviceDialogDecidesAlike) {
  const comm::DeviceChoice choice = comm::ChoiceOf(GetParam().name);
  EXPECT_EQ(choice.mode == comm::TTapiMode::tmOff, GetParam().direct);
  EXPECT_EQ(choice.comNumber, GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DeviceNames,
    ::testing::Values(NameCase{"Direct to COM3", true, 3}, NameCase{"Direct to COM12", true, 12},
                      NameCase{"DIRECT TO COM255", true, 255}, NameCase{"direct to com7", true, 7},
                      NameCase{"Direct to COM256", false, 0}, NameCase{"Direct to COM0", false, 0},
                      NameCase{"Direct to COM", false, 0}, NameCase{"Direct to COM1x", false, 0},
                      NameCase{"Direct to COM3 Modem", false, 0}, NameCase{"Direct to COM 3", false, 0},
                      NameCase{"Fast Direct to COM3", false, 0}, NameCase{"DIRECTX", false, 0},
                      NameCase{"Directline Modem", false, 0}, NameCase{"None Selected", false, 0}));

TEST(PhoneNumber, LosesParenthesesDashesAndBlanks) {
  EXPECT_EQ(capture::CleanPhoneNumber("(555) 123-4567"), "5551234567");
  EXPECT_EQ(capture::CleanPhoneNumber("9,,555*1#"), "9,,555*1#");
}

}  // namespace
