// Every end of a connection, through the connection flow, the real port and
// the real line device over the in-memory driver and the fake telephony
// library: bytes the port has taken from the line and still holds in its
// receive ring reach the capture file before it closes, and the bytes the
// driver still holds stay with the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "capture/program/connection_flow.h"
#include "comm/port/com_port.h"
#include "comm/telephony/device.h"
#include "comm/telephony/port_control.h"
#include "tests/capture/program/fakes.h"
#include "tests/comm/telephony/fake_tapi.h"
#include "tests/support/fake_dispatcher.h"

namespace {

using namespace capture::testing;
using test_support::FakeTransport;

constexpr comm::WindowRef kTerminalWindow = 0x9000;

// The terminal window and its capture file: takes the bytes each
// notification announces, into the file while capture is on, and follows the
// port's open and close as the window does.
class CapturingTerminal : public capture::CaptureTerminal {
 public:
  void SetCapture(capture::CaptureMode mode) override { capturing = mode != capture::CaptureMode::Off; }
  void SetCaptureFile(const std::string&) override {}
  void ClearAll() override {}
  void ClearPage() override {}

  void Attach(comm::TApdBaseDispatcher* port) {
    dispatcher = port;
    dispatcher->RegisterWindow(kTerminalWindow);
    dispatcher->SetLengthTrigger(1);
  }
  void Detach() {
    if (dispatcher) dispatcher->UnregisterWindow(kTerminalWindow);
    dispatcher = nullptr;
  }
  void Take(std::uint32_t count) {
    std::uint8_t bytes[64];
    while (dispatcher && count > 0) {
      const std::uint32_t taken = dispatcher->FetchBlock(bytes, std::min<std::uint32_t>(count, sizeof bytes));
      if (taken == 0) break;
      count -= taken;
      (capturing ? file : notCaptured).append(bytes, bytes + taken);
    }
  }

  comm::TApdBaseDispatcher* dispatcher = nullptr;
  bool capturing = false;
  std::string file;         // what reached the capture file
  std::string notCaptured;  // taken while capture was off
};

// The in-memory driver; what it still holds when the port lets it go is what
// the line still holds.
class LineDriver : public test_support::TApdFakeDispatcher {
 public:
  explicit LineDriver(std::string& leftOnLine) : leftOnLine_(leftOnLine) {}
  ~LineDriver() override { leftOnLine_.assign(input.begin(), input.end()); }

 private:
  std::string& leftOnLine_;
};

class Platform : public comm::PortPlatform {
 public:
  explicit Platform(CapturingTerminal& terminal) : terminal_(terminal) {
    transport.Listen(kTerminalWindow, [this](const FakeTransport::Message& m) {
      if (m.message == comm::kAvailMessage) terminal_.Take(static_cast<std::uint32_t>(m.wParam));
    });
  }
  std::unique_ptr<comm::TApdBaseDispatcher> CreateDispatcher(comm::TApdComPort&, bool,
                                                             std::uintptr_t) override {
    auto driver = std::make_unique<LineDriver>(leftOnLine);
    driver->SetNotificationTransport(&transport);
    last = driver.get();
    return driver;
  }
  bool ReadHandleSettings(std::uintptr_t, comm::LineSettingsBlock&) override { return true; }
  comm::WindowRef CreateNotificationWindow(comm::TApdComPort& port) override {
    transport.Listen(kPortWindow, [&port](const FakeTransport::Message& m) {
      port.HandleNotification(m.message, m.wParam, m.lParam);
    });
    return kPortWindow;
  }
  void DestroyNotificationWindow(comm::WindowRef) override {}
  void SendToClient(comm::WindowRef client, std::uint32_t message) override {
    if (client != kTerminalWindow) return;
    if (message == comm::kPortOpenMessage) terminal_.Attach(last);
    if (message == comm::kPortClosingMessage) terminal_.Detach();
  }
  void PostDeferredClose(comm::WindowRef, int) override {}
  void PumpOneMessage() override {}
  bool SelectPort(int&) override { return false; }
  void HandleException(const std::exception&) override {}

  static constexpr comm::WindowRef kPortWindow = 0x7000;
  FakeTransport transport;
  LineDriver* last = nullptr;
  std::string leftOnLine;

 private:
  CapturingTerminal& terminal_;
};

// The port as the line device drives it.
class PortControl : public comm::TapiPortControl {
 public:
  explicit PortControl(comm::TApdComPort& port) : port_(port) {}
  comm::TTapiMode TapiMode() const override { return port_.TapiMode(); }
  void SetTapiMode(comm::TTapiMode mode) override { port_.SetTapiMode(mode); }
  void SetAutoOpen(bool autoOpen) override { port_.AutoOpen = autoOpen; }
  bool Open() const override { return port_.Open(); }
  void SetOpen(bool open) override { port_.SetOpen(open); }
  void SetTapiHandle(std::uintptr_t handle) override { port_.TapiHandle = handle; }

 private:
  comm::TApdComPort& port_;
};

// The main window's components as the connection flow drives them.
class Devices : public capture::ConnectionDevices {
 public:
  Devices(comm::TApdComPort& port, comm::TApdCustomTapiDevice& line) : port_(port), line_(line) {}
  void PrepareLine() override { port_.SetTapiMode(comm::TTapiMode::tmAuto); }
  void OpenDirect(int portNumber) override {
    port_.SetComNumber(portNumber);
    port_.SetOpen(true);
  }
  void CloseDirect() override { port_.SetOpen(false); }
  void UseCallPort() override { port_.SetComNumber(0); }
  void ActivateTerminal(bool) override {}
  void StartMonitoring() override {}
  void Dial(const std::string& device, const std::string& number) override {
    line_.SetSelectedDevice(device);
    line_.Dial(number);
  }
  void CancelCall() override { line_.CancelCall(); }
  void CancelCallWithin(std::uint32_t ms) override { line_.CancelCallWithin(ms); }
  void SetTapiModeOff() override { port_.SetTapiMode(comm::TTapiMode::tmOff); }

 private:
  comm::TApdComPort& port_;
  comm::TApdCustomTapiDevice& line_;
};

class NoView : public capture::ConnectionView {
 public:
  void ShowStatus(const std::string&) override {}
  void ShowConnectCaption(const std::string&) override {}
};

enum class End { kExit, kDisconnect, kSessionEnd, kFarEndHangUp, kVanishedCable, kCancelledCall };

struct EndCase {
  End end;
  bool call;  // over a modem call, else a direct port
};

std::string EndName(const EndCase& c) {
  static const char* const names[] = {"Exit",         "Disconnect",    "SessionEnd",
                                      "FarEndHangUp", "VanishedCable", "CancelledCall"};
  return std::string(names[static_cast<int>(c.end)]) + (c.call ? "OfACall" : "OfAPort");
}
std::string Name(const ::testing::TestParamInfo<EndCase>& info) { return EndName(info.param); }
void PrintTo(const EndCase& c, std::ostream* os) { *os << EndName(c); }

class ConnectionEnd : public ::testing::TestWithParam<EndCase> {
 protected:
  ConnectionEnd() {
    comm::fake::Install();
    comm::fake::Lib().lines = {"Shop Modem"};
    line = std::make_unique<comm::TApdTapiDevice>(nullptr, host);
    line->SetComPort(&control);
    line->OnTapiConnect = [this](comm::TApdCustomTapiDevice&) { flow->CallConnected(); };
    line->OnTapiPortClose = [this](comm::TApdCustomTapiDevice&) { flow->LineClosed(); };
    devices = std::make_unique<Devices>(port, *line);
    flow.emplace(*devices, view, session, notices);
    port.RegisterClientWindow(kTerminalWindow);
    session.NewCaptureFile();
  }
  ~ConnectionEnd() override {
    line.reset();
    comm::SetTapiLoader(nullptr);
  }

  std::string Device() const { return GetParam().call ? "Shop Modem" : "Direct to COM3"; }
  std::string Phone() const { return GetParam().call ? "5551234" : ""; }

  CapturingTerminal terminal;
  Platform platform{terminal};
  comm::TApdComPort port{platform};
  PortControl control{port};
  comm::fake::Host host;
  std::unique_ptr<comm::TApdTapiDevice> line;
  std::unique_ptr<Devices> devices;
  FakeFiles files;
  FixedDate date;
  RecordingNotices notices;
  NoView view;
  capture::CaptureSession session{terminal, files, date, notices, "C:\\shop\\"};
  std::optional<capture::ConnectionFlow> flow;
};

TEST_P(ConnectionEnd, EveryByteTakenFromTheLineReachesTheCaptureFile) {
  const EndCase& c = GetParam();
  comm::fake::Lib().attempts = {c.end == End::kFarEndHangUp ? "hangup" : "connect"};
  comm::fake::Lib().hangupAfterMs = 5000;
  flow->Toggle(Device(), Phone());
  ASSERT_EQ(flow->Status(), "COLLECTING");
  ASSERT_NE(terminal.dispatcher, nullptr) << "the terminal listens to the open port";
  LineDriver& driver = *platform.last;

  // Bytes the terminal has had, bytes the port took and still holds, bytes
  // still in the driver.
  const std::string delivered = "RECEIPT 1   COFFEE 2.40\r\n";
  const std::string inRing = "RECEIPT 2   TEA 1.90\r\nRECEIPT 3   TOTAL 4.30\r\n";
  const std::string onLine = "RECEIPT 4   WATER 0.90\r\n";
  driver.Feed(delivered);
  driver.DispatchPass(false, 0);
  ASSERT_EQ(terminal.file, delivered);
  driver.Feed(inRing);
  ASSERT_TRUE(driver.FillReceiveRing());
  driver.Feed(onLine);

  switch (c.end) {
    case End::kExit:
      flow->Close(Phone());
      break;
    case End::kDisconnect:
    case End::kCancelledCall:
      flow->Toggle(Device(), Phone());
      break;
    case End::kSessionEnd:
      flow->EndSession(Phone());
      break;
    case End::kFarEndHangUp:
      host.RunFor(6000);
      break;
    case End::kVanishedCable:
      driver.statusError = 1167;  // the device is not connected: every driver call fails
      flow->LineFailed("COM3", "The device is not connected.");
      break;
  }
  EXPECT_FALSE(port.Open());
  EXPECT_FALSE(terminal.capturing);
  EXPECT_EQ(terminal.file, delivered + inRing);
  EXPECT_EQ(terminal.notCaptured, "");
  EXPECT_EQ(platform.leftOnLine, onLine) << "bytes not taken stay with the line";
}

INSTANTIATE_TEST_SUITE_P(Ends, ConnectionEnd,
                         ::testing::Values(EndCase{End::kExit, false}, EndCase{End::kExit, true},
                                           EndCase{End::kDisconnect, false}, EndCase{End::kSessionEnd, false},
                                           EndCase{End::kSessionEnd, true}, EndCase{End::kFarEndHangUp, true},
                                           EndCase{End::kVanishedCable, false},
                                           EndCase{End::kCancelledCall, true}),
                         Name);

}  // namespace
