// Without a working telephony library (none at all, or Wine's own stub): no
// lines, and dialling ends promptly with "no device selected".
#include <windows.h>

#include <gtest/gtest.h>

#include "comm/base/exceptions.h"
#include "comm/base/error_codes.h"
#include "comm/telephony/binding.h"
#include "comm/telephony/device_list.h"
#include "comm/telephony/device_win.h"
#include "comm/telephony/loader_win.h"

namespace comm {
namespace {

class NoPort : public TapiPortControl {
 public:
  TTapiMode TapiMode() const override { return TTapiMode::tmAuto; }
  void SetTapiMode(TTapiMode) override {}
  void SetAutoOpen(bool) override {}
  bool Open() const override { return false; }
  void SetOpen(bool) override {}
  void SetTapiHandle(std::uintptr_t) override {}
};

class AlwaysOn : public NoPort {
 public:
  TTapiMode TapiMode() const override { return TTapiMode::tmOn; }
};

TEST(TapiWithoutLibrary, DialingEndsInNoSelectionPromptly) {
  UseSystemTapiLoader();
  SystemTapiDeviceHost host;
  int dialogs = 0;
  host.chooseLine = [&](const std::string&) -> std::optional<std::string> {
    ++dialogs;
    return std::nullopt;
  };
  AlwaysOn port;
  const DWORD start = GetTickCount();
  TApdTapiDevice device(nullptr, host);
  device.SetComPort(&port);
  EXPECT_TRUE(device.DeviceNames().empty());
  int code = 0;
  try {
    device.Dial("5551234");
  } catch (const EAPDException& error) {
    code = error.ErrorCode;
  }
  EXPECT_EQ(code, codes::kTapiNoSelect);
  EXPECT_EQ(dialogs, 0);
  EXPECT_LT(GetTickCount() - start, 3000u);
  // Whatever was loaded, it must not be the stand-in beside the program.
  if (HMODULE library = GetModuleHandleA("tapi32.dll")) {
    EXPECT_EQ(GetProcAddress(library, "standinReset"), nullptr);
  }
  SetTapiLoader(nullptr);
}

TEST(TapiWithoutLibrary, TheDeviceDialogHasNoLinesToList) {
  UseSystemTapiLoader();
  EXPECT_TRUE(ListTapiLineNames(GetModuleHandleA(nullptr)).empty());
  // So with both lists on, only ports are offered.
  EXPECT_EQ(BuildDeviceItems(true, true, ListTapiLineNames(nullptr), [](int port) { return port == 4; }),
            (std::vector<std::string>{"Direct to COM4"}));
  SetTapiLoader(nullptr);
}

}  // namespace
}  // namespace comm
