// The device selection dialog's rules, apart from its window: which items it
// lists, which one it preselects and what the chosen item means.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comm/telephony/device.h"

namespace comm {

inline constexpr const char* kDirectToComPrefix = "Direct to COM";
inline constexpr int kHighestProbedPort = 50;

// The names of the telephony lines, through a temporary line application
// ("<noname>" for a line without a name); none when the library fails.
std::vector<std::string> ListTapiLineNames(void* moduleInstance);

// Lines first (when wanted), then "Direct to COMn" for each port n = 1..50
// that `portPresent` finds (when wanted). `afterProbe` runs after each probe.
std::vector<std::string> BuildDeviceItems(bool showTapiDevices, bool showPorts,
                                          const std::vector<std::string>& lines,
                                          const std::function<bool(int)>& portPresent,
                                          const std::function<void()>& afterProbe = {});

// The item to preselect: the port `comNumber` in TTapiMode::tmOff, else the item equal
// to `deviceName` ignoring case, else the first; nullopt for an empty list.
std::optional<std::size_t> InitialSelection(const std::vector<std::string>& items, TTapiMode mode,
                                            std::uint16_t comNumber, const std::string& deviceName);

struct DeviceChoice {
  std::string deviceName;
  TTapiMode mode = TTapiMode::tmAuto;
  std::uint16_t comNumber = 0;
};

// A port item is "Direct to COM" followed by its number and nothing else;
// any other text is a line.
DeviceChoice ChoiceOf(const std::string& itemText);

}  // namespace comm
