// The binding against the stand-in library under Wine: the real LoadLibrary
// path, posted callbacks and the comm-handle hand-over of a connected call.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "comm/telephony/binding.h"
#include "comm/telephony/loader_win.h"
#include "comm/telephony/records.h"
#include "tests/support/pty_cable.h"
#include "tests/support/tapi_script.h"

namespace comm {
namespace {

struct Callback {
  std::uintptr_t device;
  std::uint32_t message;
  std::uintptr_t instance, p1, p2;
};
std::vector<Callback> received;

void COMM_TAPI_CALL OnLine(std::uintptr_t device, std::uint32_t message, std::uintptr_t instance,
                           std::uintptr_t p1, std::uintptr_t p2, std::uintptr_t) {
  received.push_back({device, message, instance, p1, p2});
}

void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(5);
  }
}

class StandIn : public testing::Test {
 protected:
  void SetUp() override {
    received.clear();
    UseSystemTapiLoader();
  }
  void TearDown() override { SetTapiLoader(nullptr); }
};

TEST_F(StandIn, LoadsFromTheProgramFolderWithoutTheLastEntry) {
  test_support::TapiScript script("loads", "line Modem\n");
  ASSERT_TRUE(LoadTapi());
  HMODULE library = GetModuleHandleA("tapi32.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_NE(GetProcAddress(library, "standinReset"), nullptr) << "Wine's own library was loaded";
  EXPECT_EQ(GetProcAddress(library, "lineGetTranslateCaps"), nullptr);
  EXPECT_NE(GetProcAddress(library, "lineMakeCall"), nullptr);
}

TEST_F(StandIn, LineNamesAreFetchedThroughTheTooSmallAndNeededPaths) {
  test_support::TapiScript script("names", "line Fast Modem\nline Second\ndevcaps_min 1000\n");
  tapi::Handle app = 0;
  std::uint32_t devices = 0;
  ASSERT_EQ(lineInitialize(&app, GetModuleHandleA(nullptr), &OnLine, "names", &devices), 0);
  ASSERT_EQ(devices, 2u);
  std::uint32_t version = 0;
  std::uint8_t extension[16];
  ASSERT_EQ(lineNegotiateAPIVersion(app, 0, tapi::kApiVersion, tapi::kApiVersion, &version, extension), 0);
  const auto caps = GetDevCapsRecord(app, 0, version, 0);
  ASSERT_EQ(caps.result, 0);
  ASSERT_TRUE(caps.buffer);
  const auto name = RecordBytes(*caps.buffer, tapi::devcaps::kLineNameSize, tapi::devcaps::kLineNameOffset);
  ASSERT_TRUE(name);
  EXPECT_EQ(RecordText(*name), "Fast Modem");
  EXPECT_EQ(script.CallsStartingWith("lineGetDevCaps"),
            (std::vector<std::string>{"lineGetDevCaps dev=0 total=240", "lineGetDevCaps dev=0 total=1024"}));
  EXPECT_EQ(lineShutdown(app), 0);
}

TEST_F(StandIn, ACallArrivesAsPostedCallbacksAndHandsOverAWorkingPort) {
  test_support::PtyCable cable;
  test_support::TapiScript script(
      "call", "line Modem\nport " + std::to_string(cable.ProgramPort()) + "\nattempt connect\n");
  tapi::Handle app = 0, line = 0, call = 0;
  std::uint32_t devices = 0;
  ASSERT_EQ(lineInitialize(&app, nullptr, &OnLine, "call", &devices), 0);
  ASSERT_EQ(lineOpen(app, 0, &line, tapi::kApiVersion, 0, 0x55, tapi::kPrivilegeNone, tapi::kMediaDataModem,
                     nullptr),
            0);
  const std::int32_t request = lineMakeCall(line, &call, "5551234", 0, nullptr);
  ASSERT_GT(request, 0);
  EXPECT_TRUE(received.empty()) << "callbacks must come through the message loop";
  PumpFor(200);
  ASSERT_GE(received.size(), 2u);
  EXPECT_EQ(received.front().message, tapi::kLineReply);
  EXPECT_EQ(received.front().p1, static_cast<std::uintptr_t>(request));
  EXPECT_EQ(received.front().instance, 0x55u);
  EXPECT_EQ(received.back().message, tapi::kLineCallState);
  EXPECT_EQ(received.back().p1, tapi::kCallStateConnected);

  const auto status = GetCallStatusRecord(call);
  ASSERT_TRUE(status.buffer);
  EXPECT_EQ(RecordField(*status.buffer, tapi::callstatus::kCallState), tapi::kCallStateConnected);

  std::vector<std::uint8_t> id(1028, 0);
  id[0] = 0x04, id[1] = 0x04;  // total size 1028
  ASSERT_EQ(lineGetID(line, 0, call, tapi::kCallSelectCall, id.data(), "comm/datamodem"), 0);
  const auto bytes = RecordBytes(id, tapi::varstring::kStringSize, tapi::varstring::kStringOffset);
  ASSERT_TRUE(bytes);
  ASSERT_GE(bytes->size(), sizeof(HANDLE));
  HANDLE port;
  std::memcpy(&port, bytes->data(), sizeof port);
  ASSERT_NE(port, INVALID_HANDLE_VALUE);
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD written = 0;
  if (!WriteFile(port, "hello", 5, nullptr, &overlapped)) {
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
  }
  ASSERT_TRUE(GetOverlappedResult(port, &overlapped, &written, TRUE));
  EXPECT_EQ(cable.Receive(5, 3000), "hello");
  CloseHandle(overlapped.hEvent);
  CloseHandle(port);
  EXPECT_EQ(lineShutdown(app), 0);
}

}  // namespace
}  // namespace comm
