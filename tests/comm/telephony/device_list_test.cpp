#include "comm/telephony/device_list.h"

#include <gtest/gtest.h>

#include "tests/comm/telephony/fake_tapi.h"

namespace comm {
namespace {

using Items = std::vector<std::string>;

const auto kPorts3And12 = [](int port) { return port == 3 || port == 12; };

TEST(DeviceItems, LinesThenPresentPortsInAscendingOrder) {
  int probes = 0;
  EXPECT_EQ(BuildDeviceItems(true, true, {"Modem A", "Modem B"}, kPorts3And12, [&] { ++probes; }),
            (Items{"Modem A", "Modem B", "Direct to COM3", "Direct to COM12"}));
  EXPECT_EQ(probes, 50);
  EXPECT_EQ(BuildDeviceItems(true, false, {"Modem A"}, kPorts3And12), (Items{"Modem A"}));
  EXPECT_EQ(BuildDeviceItems(false, true, {"Modem A"}, kPorts3And12),
            (Items{"Direct to COM3", "Direct to COM12"}));
}

TEST(DeviceItems, Preselection) {
  const Items items = {"Modem A", "Modem B", "Direct to COM3", "Direct to COM12"};
  EXPECT_EQ(InitialSelection(items, TTapiMode::tmOff, 3, "Modem B"), 2u);
  EXPECT_EQ(InitialSelection(items, TTapiMode::tmAuto, 3, "modem b"), 1u);
  EXPECT_EQ(InitialSelection(items, TTapiMode::tmAuto, 0, "Unknown"), 0u);
  EXPECT_EQ(InitialSelection(items, TTapiMode::tmOff, 7, ""), 0u);
  EXPECT_EQ(InitialSelection({}, TTapiMode::tmAuto, 0, ""), std::nullopt);
}

TEST(DeviceItems, ChosenItems) {
  struct Row {
    const char* text;
    TTapiMode mode;
    int number;
  };
  const std::vector<Row> rows = {{"Direct to COM12", TTapiMode::tmOff, 12},
                                 {"Direct to COM3", TTapiMode::tmOff, 3},
                                 {"Modem A", TTapiMode::tmAuto, 0},
                                 // Lines whose names merely resemble a port item stay lines.
                                 {"Fast Direct to COM3 Modem", TTapiMode::tmAuto, 0},
                                 {"Direct to COM", TTapiMode::tmAuto, 0},
                                 {"Direct to COMx", TTapiMode::tmAuto, 0},
                                 {"Direct to COM99999", TTapiMode::tmAuto, 0}};
  for (const Row& row : rows) {
    const DeviceChoice choice = ChoiceOf(row.text);
    EXPECT_EQ(choice.deviceName, row.text);
    EXPECT_EQ(choice.mode, row.mode) << row.text;
    EXPECT_EQ(choice.comNumber, row.number) << row.text;
  }
}

TEST(TapiLineNames, AreListedThroughATemporaryLineApplication) {
  fake::Install();
  fake::Lib().lines = {"Modem A", "", "Modem C"};
  EXPECT_EQ(ListTapiLineNames(nullptr), (Items{"Modem A", "<noname>", "Modem C"}));
  EXPECT_EQ(fake::CallsStartingWith("lineShutdown").size(), 1u);
  fake::Install(false);
  EXPECT_TRUE(ListTapiLineNames(nullptr).empty());
  SetTapiLoader(nullptr);
}

}  // namespace
}  // namespace comm
