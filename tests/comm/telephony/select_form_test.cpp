// The device selection dialog on the screen: lines from the stand-in
// library, ports from a probe the test answers.
#include "comm/telephony/select_form_win.h"

#include <gtest/gtest.h>

#include "comm/telephony/binding.h"
#include "comm/telephony/loader_win.h"
#include "framework/application.h"
#include "framework/timer.h"
#include "tests/support/pty_cable.h"
#include "tests/support/tapi_script.h"

namespace comm {
namespace {

// The dialog of this test process (other tests show theirs on the same
// display at the same time).
HWND FindOwnDialog() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM result) -> BOOL {
        char caption[64] = {};
        GetWindowTextA(window, caption, sizeof caption);
        if (IsWindowVisible(window) && std::string(caption) == "Device Selection") {
          *reinterpret_cast<HWND*>(result) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// What a test does once the dialog is up (run from the modal loop).
std::function<void()> whileShown;
void CALLBACK RunWhileShown(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  // Wait until the dialog is on the screen (a loaded machine is slow).
  if (!FindOwnDialog()) {
    SetTimer(nullptr, 0, 100, &RunWhileShown);
    return;
  }
  if (whileShown) whileShown();
}

// A test that goes wrong ends the dialog with mrAbort instead of hanging.
void GuardAgainstHanging(fw::TForm& dialog) {
  auto* guard = new fw::TTimer(&dialog);
  guard->SetInterval(15000);
  guard->OnTimer = [&dialog](fw::TComponent*) { dialog.SetModalResult(fw::mrAbort); };
}

class DeviceSelection : public testing::Test {
 protected:
  void SetUp() override {
    UseSystemTapiLoader();
    // Each test its own files: the cases run in parallel in one folder.
    const std::string name =
        std::string("select_") + testing::UnitTest::GetInstance()->current_test_info()->name();
    script = std::make_unique<test_support::TapiScript>(name, "line Shop Modem\nline Back Office Modem\n");
  }
  void TearDown() override {
    whileShown = nullptr;
    SetTapiLoader(nullptr);
  }

  // Shows the dialog; `act` runs while it is up and must end it.
  fw::TModalResult Show(TDeviceSelectionForm& dialog, std::function<void()> act) {
    whileShown = std::move(act);
    GuardAgainstHanging(dialog);
    SetTimer(nullptr, 0, 200, &RunWhileShown);
    return dialog.ShowModal();
  }

  std::vector<std::string> Items(TDeviceSelectionForm& dialog) {
    return dialog.dsfComboBox->Items().Strings();
  }

  void Prepare(TDeviceSelectionForm& dialog) {
    dialog.ShowTapiDevices = dialog.ShowPorts = true;
    dialog.portPresent = [](int port) { return port == 3 || port == 12; };
  }

  std::unique_ptr<test_support::TapiScript> script;
};

TEST_F(DeviceSelection, ListsLinesThenPortsAndReturnsAPortChoice) {
  TDeviceSelectionForm dialog(fw::Application());
  Prepare(dialog);
  std::vector<std::string> items;
  const auto result = Show(dialog, [&] {
    items = Items(dialog);
    dialog.dsfComboBox->SetItemIndex(3);
    dialog.dsfOkBitBtn->Click();
  });
  EXPECT_EQ(dialog.Caption(), "Device Selection");
  EXPECT_EQ(items, (std::vector<std::string>{"Shop Modem", "Back Office Modem", "Direct to COM3",
                                             "Direct to COM12"}));
  EXPECT_EQ(result, fw::mrOk);
  EXPECT_EQ(dialog.TapiMode, TTapiMode::tmOff);
  EXPECT_EQ(dialog.ComNumber, 12);
  EXPECT_EQ(dialog.DeviceName, "Direct to COM12");
  // The temporary line application is shut down again.
  EXPECT_EQ(script->CallsStartingWith("lineShutdown").size(), 1u);
}

TEST_F(DeviceSelection, ALineChoiceGivesAutoAndNoPort) {
  TDeviceSelectionForm dialog(fw::Application());
  Prepare(dialog);
  dialog.TapiMode = TTapiMode::tmOff;
  dialog.ComNumber = 3;
  int selected = -1;
  const auto result = Show(dialog, [&] {
    selected = dialog.dsfComboBox->ItemIndex();
    dialog.dsfComboBox->SetItemIndex(1);
    dialog.dsfOkBitBtn->Click();
  });
  EXPECT_EQ(selected, 2);  // "Direct to COM3" preselected
  EXPECT_EQ(result, fw::mrOk);
  EXPECT_EQ(dialog.TapiMode, TTapiMode::tmAuto);
  EXPECT_EQ(dialog.ComNumber, 0);
  EXPECT_EQ(dialog.DeviceName, "Back Office Modem");
}

TEST_F(DeviceSelection, PreselectsTheNamedLineOrElseTheFirstAndListsOnlyOnce) {
  TDeviceSelectionForm dialog(fw::Application());
  Prepare(dialog);
  int listings = 0;
  dialog.listLines = [&] {
    ++listings;
    return std::vector<std::string>{"Shop Modem", "Back Office Modem"};
  };
  dialog.DeviceName = "back office modem";
  int selected = -1;
  Show(dialog, [&] {
    selected = dialog.dsfComboBox->ItemIndex();
    dialog.dsfCancelBitBtn->Click();
  });
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(Show(dialog, [&] { dialog.dsfCancelBitBtn->Click(); }), fw::mrCancel);
  EXPECT_EQ(listings, 1);

  TDeviceSelectionForm other(fw::Application());
  Prepare(other);
  other.DeviceName = "Nowhere";
  Show(other, [&] {
    selected = other.dsfComboBox->ItemIndex();
    other.dsfCancelBitBtn->Click();
  });
  EXPECT_EQ(selected, 0);
}

TEST_F(DeviceSelection, OkWithNothingListedActsAsCancel) {
  TDeviceSelectionForm dialog(fw::Application());
  dialog.ShowPorts = true;
  dialog.portPresent = [](int) { return false; };
  EXPECT_EQ(Show(dialog, [&] { dialog.dsfOkBitBtn->Click(); }), fw::mrCancel);
}

TEST_F(DeviceSelection, RealProbesFindTheCablePorts) {
  test_support::PtyCable cable;
  TDeviceSelectionForm dialog(fw::Application());
  dialog.ShowPorts = true;
  std::vector<std::string> items;
  Show(dialog, [&] {
    items = Items(dialog);
    dialog.dsfCancelBitBtn->Click();
  });
  const std::string port = "Direct to COM" + std::to_string(cable.ProgramPort());
  EXPECT_NE(std::find(items.begin(), items.end(), port), items.end()) << port;
}

TEST_F(DeviceSelection, TheLineDevicesDialogListsLinesOnly) {
  std::optional<std::string> chosen;
  whileShown = [] {
    auto* form = dynamic_cast<TDeviceSelectionForm*>(fw::TControl::FromHandle(FindOwnDialog()));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->dsfComboBox->Items().Strings(),
              (std::vector<std::string>{"Shop Modem", "Back Office Modem"}));
    form->dsfComboBox->SetItemIndex(1);
    form->dsfOkBitBtn->Click();
  };
  SetTimer(nullptr, 0, 300, &RunWhileShown);
  chosen = ChooseTapiLine("Nowhere");
  EXPECT_EQ(chosen, "Back Office Modem");
}

}  // namespace
}  // namespace comm
