// A port opened without a number asks for one: the "Select Port" dialog lists
// the ports present, and the choice (or a cancel) decides the open.
#include "comm/port/select_form_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "comm/port/com_port.h"
#include "comm/port/com_port_win.h"
#include "comm/base/exceptions.h"
#include "framework/application.h"
#include "framework/timer.h"
#include "tests/support/pty_cable.h"

namespace comm {
namespace {

// This process's own dialog (other test programs share the display).
TComSelectForm* ShownDialog() {
  for (int i = 0; i < fw::Application()->ComponentCount(); ++i)
    if (auto* form = dynamic_cast<TComSelectForm*>(fw::Application()->Components()[i]))
      if (IsWindowVisible(form->Handle())) return form;
  return nullptr;
}

// What the test does once the dialog is up; runs from the modal loop.
std::function<void(TComSelectForm&)> whileShown;
void CALLBACK RunWhileShown(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  TComSelectForm* dialog = ShownDialog();
  if (!dialog) {
    SetTimer(nullptr, 0, 100, &RunWhileShown);  // not up yet on a loaded machine
    return;
  }
  whileShown(*dialog);
}

class PortWithoutNumber : public testing::Test {
 protected:
  void SetUp() override {
    port.SetBaud(9600);
    port.PromptForPort = true;
  }
  void TearDown() override { whileShown = nullptr; }

  // Opens the port; `act` answers the dialog.
  void OpenAnswering(std::function<void(TComSelectForm&)> act) {
    whileShown = std::move(act);
    SetTimer(nullptr, 0, 200, &RunWhileShown);
    port.SetOpen(true);
  }

  test_support::PtyCable cable;
  TApdComPort port{Win32Ports()};
};

TEST_F(PortWithoutNumber, ListsThePortsPresentAndOpensTheChosenOne) {
  std::vector<std::string> items;
  std::string caption;
  OpenAnswering([&](TComSelectForm& dialog) {
    caption = dialog.Caption();
    items = dialog.PortsComboBox->Items().Strings();
    const std::string wanted = "COM" + std::to_string(cable.ProgramPort());
    for (int i = 0; i < static_cast<int>(items.size()); ++i)
      if (items[i] == wanted) dialog.PortsComboBox->SetItemIndex(i);
    dialog.OkBtn->Click();
  });
  EXPECT_EQ(caption, "Select Port");
  // The cable's two ends are present; the list is in ascending order.
  const std::string program = "COM" + std::to_string(cable.ProgramPort());
  EXPECT_NE(std::find(items.begin(), items.end(), program), items.end());
  EXPECT_TRUE(std::is_sorted(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
    return std::stoi(a.substr(3)) < std::stoi(b.substr(3));
  }));
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(port.ComNumber(), cable.ProgramPort());
  port.SetOpen(false);
}

TEST_F(PortWithoutNumber, CancelLeavesThePortClosedWithNoPortSelected) {
  try {
    OpenAnswering([](TComSelectForm& dialog) { dialog.AbortBtn->Click(); });
    FAIL() << "opening without a chosen port must fail";
  } catch (const EAPDException& error) {
    EXPECT_EQ(error.ErrorCode, -2011);
  }
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.ComNumber(), 0);
}

TEST_F(PortWithoutNumber, WithoutPromptingNoDialogIsShown) {
  port.PromptForPort = false;
  EXPECT_THROW(port.SetOpen(true), ENoPortSelected);
  EXPECT_FALSE(port.Open());
}

TEST(SelectPortForm, SelectedNumberReadsTheItemAndIsZeroWithoutOne) {
  TComSelectForm dialog(fw::Application(), [](int n) { return n == 3 || n == 17; });
  EXPECT_EQ(dialog.PortsComboBox->Items().Strings(), (std::vector<std::string>{"COM3", "COM17"}));
  EXPECT_EQ(dialog.SelectedPortNumber(), 3);
  dialog.PortsComboBox->SetItemIndex(1);
  EXPECT_EQ(dialog.SelectedPortNumber(), 17);
  dialog.PortsComboBox->SetItemIndex(-1);
  EXPECT_EQ(dialog.SelectedPortNumber(), 0);
}

}  // namespace
}  // namespace comm
