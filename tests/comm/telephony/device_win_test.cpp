// The line device under Wine against the stand-in library: posted callbacks
// through the real message loop, the real registry, and a comm handle opened
// on a pseudo-terminal.
#include "comm/telephony/device_win.h"

#include <gtest/gtest.h>

#include "comm/port/com_port_win.h"
#include "comm/port/com_port_component.h"
#include "comm/base/exceptions.h"
#include "comm/base/error_codes.h"
#include "comm/telephony/binding.h"
#include "comm/telephony/loader_win.h"
#include "tests/support/pty_cable.h"
#include "tests/support/tapi_script.h"

namespace comm {
namespace {

// A port that runs on the handle it is given, as the serial port does in
// TTapiMode::tmOn: it owns the handle from Open on, and closes it when it
// closes or when the open fails.
class HandlePort : public TapiPortControl {
 public:
  TTapiMode mode = TTapiMode::tmOn;
  HANDLE handle = INVALID_HANDLE_VALUE;
  std::uintptr_t pending = 0;
  bool open = false;

  TTapiMode TapiMode() const override { return mode; }
  void SetTapiMode(TTapiMode m) override { mode = m; }
  void SetAutoOpen(bool) override {}
  bool Open() const override { return open; }
  void SetOpen(bool value) override {
    if (value == open) return;
    if (value) {
      handle = reinterpret_cast<HANDLE>(pending);
      DCB dcb{};
      dcb.DCBlength = sizeof dcb;
      if (!GetCommState(handle, &dcb)) {
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        throw std::runtime_error("not a comm handle");
      }
    } else {
      CloseHandle(handle);
      handle = INVALID_HANDLE_VALUE;
    }
    open = value;
  }
  void SetTapiHandle(std::uintptr_t value) override { pending = value; }

  std::string Read(std::size_t count, DWORD timeoutMs) {
    std::string bytes;
    const DWORD start = GetTickCount();
    while (bytes.size() < count && GetTickCount() - start < timeoutMs) {
      char buffer[64];
      OVERLAPPED overlapped{};
      overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
      DWORD got = 0;
      if (!ReadFile(handle, buffer, sizeof buffer, nullptr, &overlapped) &&
          GetLastError() == ERROR_IO_PENDING) {
        if (WaitForSingleObject(overlapped.hEvent, 200) != WAIT_OBJECT_0) CancelIo(handle);
      }
      GetOverlappedResult(handle, &overlapped, &got, TRUE);
      CloseHandle(overlapped.hEvent);
      bytes.append(buffer, got);
    }
    return bytes;
  }

  void Write(const std::string& bytes) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &overlapped))
      GetOverlappedResult(handle, &overlapped, &written, TRUE);
    CloseHandle(overlapped.hEvent);
  }
};

void RunLoopFor(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
}

template <typename Condition>
bool RunLoopUntil(Condition condition, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start >= ms) return false;
    RunLoopFor(20);
  }
  return true;
}

// The system host, keeping every handle it is asked to close and whether it
// was still open then.
class ClosingHost : public SystemTapiDeviceHost {
 public:
  struct Close {
    std::uintptr_t handle;
    bool wasOpen;
  };
  std::vector<Close> closes;

  void CloseCommHandle(std::uintptr_t handle) override {
    DWORD flags = 0;
    closes.push_back({handle, GetHandleInformation(reinterpret_cast<HANDLE>(handle), &flags) != FALSE});
    SystemTapiDeviceHost::CloseCommHandle(handle);
  }
};

// Whether this program can open the COM port for itself (nothing holds it).
bool PortFree(int number) {
  const std::string name = "\\\\.\\COM" + std::to_string(number);
  HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  CloseHandle(handle);
  return true;
}

class TapiDeviceWine : public testing::Test {
 protected:
  void SetUp() override { UseSystemTapiLoader(); }
  void TearDown() override { SetTapiLoader(nullptr); }

  // Without an owner the device is bound to the test's port; with one it
  // finds the owner's port itself.
  std::unique_ptr<TApdTapiDevice> MakeDevice(fw::TComponent* owner = nullptr) {
    auto device = std::make_unique<TApdTapiDevice>(owner, host);
    if (!owner) device->SetComPort(&port);
    device->OnTapiLog = [this](TApdCustomTapiDevice&, TTapiLogCode code) {
      codes.push_back(static_cast<int>(code));
    };
    device->OnTapiPortOpen = [this](TApdCustomTapiDevice&) { events.push_back("PortOpen"); };
    device->OnTapiPortClose = [this](TApdCustomTapiDevice&) { events.push_back("PortClose"); };
    device->OnTapiConnect = [this](TApdCustomTapiDevice&) { events.push_back("Connect"); };
    device->OnTapiFail = [this](TApdCustomTapiDevice&) { events.push_back("Fail"); };
    return device;
  }

  ClosingHost host;
  HandlePort port;
  std::vector<int> codes;
  std::vector<std::string> events;
};

TEST_F(TapiDeviceWine, AConnectedCallRunsThePortOnTheHandedOverHandle) {
  test_support::PtyCable cable;
  test_support::TapiScript script(
      "connect", "line Shop Modem\nport " + std::to_string(cable.ProgramPort()) + "\nattempt connect\n");
  auto device = MakeDevice();
  device->Dial("5551234");
  ASSERT_TRUE(RunLoopUntil([&] { return device->Connected(); }, 5000));
  EXPECT_EQ(events, (std::vector<std::string>{"PortOpen", "Connect"}));
  ASSERT_TRUE(port.open);
  port.Write("journal line\r\n");
  EXPECT_EQ(cable.Receive(14, 3000), "journal line\r\n");
  cable.Send("Z-REPORT 0042\r\n");
  EXPECT_EQ(port.Read(15, 3000), "Z-REPORT 0042\r\n");
  EXPECT_EQ(device->LineComNumber(), cable.ProgramPort());

  EXPECT_EQ(script.CallsStartingWith("lineOpen"),
            (std::vector<std::string>{"lineOpen dev=0 api=00010004 ext=0 priv=1 media=16 params=none"}));
  EXPECT_EQ(script.CallsStartingWith("lineSetStatusMessages"),
            (std::vector<std::string>{"lineSetStatusMessages 01FFFFFF 000001FF"}));
  const std::string params =
      "70000000"
      "01000000"
      "00000000"
      "00000000"
      "10000000"
      "02000000"
      "01000000" +
      std::string(2 * (112 - 28), '0');
  EXPECT_EQ(script.CallsStartingWith("lineMakeCall"),
            (std::vector<std::string>{"lineMakeCall dest=5551234 country=0 params=" + params}));
  EXPECT_EQ(script.CallsStartingWith("lineGetID"),
            (std::vector<std::string>{"lineGetID select=4 class=comm/datamodem",
                                      "lineGetID select=1 class=comm/datamodem/portname"}));
  device->CancelCall();
  EXPECT_FALSE(port.open);
  EXPECT_EQ(codes, (std::vector<int>{1, 3, 6, 7, 8, 2}));
  EXPECT_EQ(script.CallsStartingWith("lineDrop").size(), 1u);
  EXPECT_EQ(script.CallsStartingWith("lineDeallocateCall").size(), 1u);
  EXPECT_EQ(script.CallsStartingWith("lineClose").size(), 1u);
}

TEST_F(TapiDeviceWine, TheFormsSerialPortComponentIsFoundAndRunsOnTheCallAndClosesWithIt) {
  test_support::PtyCable cable;
  test_support::TapiScript script(
      "component",
      "line Shop Modem\nport " + std::to_string(cable.ProgramPort()) + "\nattempt hangup 2500\n");
  std::vector<std::string> portErrors;
  SetPortExceptionHandler([&](const std::exception& e) { portErrors.push_back(e.what()); });
  fw::TComponent form(nullptr);
  auto* panel = new fw::TComponent(&form);
  TApdComPort& comPort = (new ComPortComponent(panel, Win32Ports()))->Port();
  std::string received;
  comPort.SetOnTriggerAvail([&](TApdComPort& p, std::uint32_t) {
    std::uint8_t c;
    while (p.Dispatcher()->FetchChar(c) == 0) received.push_back(static_cast<char>(c));
  });
  auto device = MakeDevice(&form);
  EXPECT_EQ(comPort.TapiMode(), TTapiMode::tmOn);
  EXPECT_FALSE(comPort.AutoOpen);
  device->Dial("5551234");
  ASSERT_TRUE(RunLoopUntil([&] { return device->Connected(); }, 5000));
  EXPECT_TRUE(comPort.Open());
  EXPECT_NE(comPort.TapiHandle, 0u);
  const std::string journal = "12/10/26 14:02  SALE  3 x 1.20\r\nTOTAL 3.60\r\n";
  cable.Send(journal);
  EXPECT_TRUE(RunLoopUntil([&] { return received.size() >= journal.size(); }, 5000));
  EXPECT_EQ(received, journal);
  // The far end hangs up: the port closes and gives the handle back.
  ASSERT_TRUE(RunLoopUntil([&] { return events.size() >= 3; }, 5000));
  EXPECT_EQ(events, (std::vector<std::string>{"PortOpen", "Connect", "PortClose"}));
  EXPECT_FALSE(comPort.Open());
  EXPECT_EQ(comPort.TapiHandle, 0u);
  EXPECT_TRUE(portErrors.empty());
  SetPortExceptionHandler(nullptr);
}

// The serial port takes the call's handle into its dispatcher, then a client
// refuses the open: the port's roll-back closes the handle, and nobody else.
TEST_F(TapiDeviceWine, AnOpenThatFailsAfterThePortTookTheHandleClosesItOnce) {
  test_support::PtyCable cable;
  test_support::TapiScript script(
      "refused", "line Shop Modem\nport " + std::to_string(cable.ProgramPort()) + "\nattempt connect\n");
  fw::TComponent form(nullptr);
  TApdComPort& comPort = (new ComPortComponent(&form, Win32Ports()))->Port();
  int opensRefused = 0;
  comPort.RegisterClientCallback(
      [&](TApdComPort&, bool opening) {
        if (!opening) return;
        ++opensRefused;
        throw std::runtime_error("client refuses the open");
      },
      &opensRefused);
  auto device = MakeDevice(&form);
  device->Dial("5551234");
  ASSERT_TRUE(RunLoopUntil([&] { return !events.empty(); }, 5000));
  EXPECT_EQ(opensRefused, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"Fail"}));
  EXPECT_FALSE(comPort.Open());
  EXPECT_EQ(comPort.TapiHandle, 0u);
  for (const auto& close : host.closes)
    ADD_FAILURE() << "the device closed the handle " << close.handle << " the port had taken"
                  << (close.wasOpen ? "" : ", already closed");
  // Closed, not leaked: the port is free again.
  EXPECT_TRUE(PortFree(cable.ProgramPort()));
}

TEST_F(TapiDeviceWine, TheCallersNumberAndNameAreReported) {
  test_support::PtyCable cable;
  test_support::TapiScript script("callerid", "line Shop Modem\nport " + std::to_string(cable.ProgramPort()) +
                                                  "\ncallerid 5551234|Corner Shop\n");
  auto device = MakeDevice();
  std::string id, name;
  device->OnTapiCallerID = [&](TApdCustomTapiDevice&, const std::string& i, const std::string& n) {
    id = i;
    name = n;
  };
  device->Dial("5551234");
  ASSERT_TRUE(RunLoopUntil([&] { return !id.empty(); }, 5000));
  EXPECT_EQ(id, "5551234");
  EXPECT_EQ(name, "Corner Shop");
  device->CancelCall();
}

TEST_F(TapiDeviceWine, AFarEndHangUpClosesThePort) {
  test_support::PtyCable cable;
  test_support::TapiScript script(
      "hangup", "line Shop Modem\nport " + std::to_string(cable.ProgramPort()) + "\nattempt hangup 300\n");
  auto device = MakeDevice();
  device->Dial("5551234");
  ASSERT_TRUE(RunLoopUntil([&] { return events.size() >= 3; }, 5000));
  EXPECT_EQ(events, (std::vector<std::string>{"PortOpen", "Connect", "PortClose"}));
  EXPECT_FALSE(port.open);
  EXPECT_EQ(codes, (std::vector<int>{1, 3, 6, 8, 2}));
}

TEST_F(TapiDeviceWine, ABusyNumberIsTriedMaxAttemptsTimesRetryWaitApart) {
  test_support::TapiScript script("busy", "line Shop Modem\nattempt busy\n");
  auto device = MakeDevice();
  device->RetryWait = 1;
  device->Dial("5551234");
  ASSERT_TRUE(RunLoopUntil([&] { return !events.empty(); }, 10000));
  EXPECT_EQ(events, (std::vector<std::string>{"Fail"}));
  EXPECT_EQ(codes, (std::vector<int>{1, 3, 9, 8, 3, 9, 8, 3, 9, 8, 2, 10}));
  EXPECT_EQ(script.CallsStartingWith("lineMakeCall").size(), 3u);
}

TEST_F(TapiDeviceWine, CancelDuringTheRetryWaitNeverRedials) {
  test_support::TapiScript script("cancel_wait", "line Shop Modem\nattempt busy\n");
  auto device = MakeDevice();
  device->RetryWait = 2;
  device->Dial("5551234");
  RunLoopFor(1500);
  device->CancelCall();
  RunLoopFor(2500);
  EXPECT_EQ(script.CallsStartingWith("lineMakeCall").size(), 1u);
  EXPECT_EQ(events, (std::vector<std::string>{"Fail"}));
}

TApdCustomTapiDevice* cancelTarget = nullptr;
void CALLBACK CancelFromTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  cancelTarget->CancelCall();
}

TEST_F(TapiDeviceWine, CancelDuringADialEndsTheWaitPromptly) {
  test_support::TapiScript script("cancel_dial", "line Shop Modem\nattempt noreply\n");
  auto device = MakeDevice();
  cancelTarget = device.get();
  SetTimer(nullptr, 0, 300, &CancelFromTimer);
  const DWORD start = GetTickCount();
  device->Dial("5551234");  // the cancel runs from the wait's own pump
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_FALSE(device->LineInUse());
  EXPECT_EQ(codes, (std::vector<int>{1, 3, 7, 8, 2, 10}));
}

TEST_F(TapiDeviceWine, TheHandleRegistryKeepsTheOwnValueAndClearsStaleOnes) {
  test_support::TapiScript script("registry", "line Shop Modem\n");
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SystemTapiDeviceHost::kHandleKey, 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "$0000FFFF", 0, REG_SZ, reinterpret_cast<const BYTE*>("1234"), 5);
  const std::string own = TApdCustomTapiDevice::HandleValueName(GetCurrentProcessId());
  {
    auto device = MakeDevice();
    EXPECT_EQ(script.CallsStartingWith("lineShutdown"), (std::vector<std::string>{"lineShutdown 1234"}));
    EXPECT_NE(RegQueryValueExA(key, "$0000FFFF", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    char data[32] = {};
    DWORD size = sizeof data - 1;
    ASSERT_EQ(RegQueryValueExA(key, own.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    EXPECT_GT(std::atoi(data), 0);
  }
  EXPECT_NE(RegQueryValueExA(key, own.c_str(), nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(TapiDeviceWine, AReinitRequestAtStartIsWaitedForOnce) {
  test_support::TapiScript script("reinit", "line Shop Modem\nreinit 1\n");
  const DWORD start = GetTickCount();
  auto device = MakeDevice();
  EXPECT_GE(GetTickCount() - start, 4900u);
  EXPECT_EQ(device->DeviceNames(), (std::vector<std::string>{"Shop Modem"}));
  EXPECT_EQ(script.CallsStartingWith("lineInitialize").size(), 2u);
}

TEST_F(TapiDeviceWine, AFailedHandOverDropsTheCallAndClosesTheLine) {
  test_support::TapiScript script("getid_fail", "line Shop Modem\ngetid_fail\n");
  auto device = MakeDevice();
  device->Dial("5551234");
  ASSERT_TRUE(RunLoopUntil([&] { return !events.empty(); }, 5000));
  EXPECT_EQ(events, (std::vector<std::string>{"Fail"}));
  EXPECT_EQ(script.CallsStartingWith("lineDrop").size(), 1u);
  EXPECT_EQ(script.CallsStartingWith("lineClose").size(), 1u);
  EXPECT_FALSE(device->LineInUse());
}

}  // namespace
}  // namespace comm
