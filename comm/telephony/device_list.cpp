#include "comm/telephony/device_list.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "comm/telephony/binding.h"
#include "comm/telephony/records.h"

namespace comm {
namespace {

void COMM_TAPI_CALL IgnoreLineMessages(std::uintptr_t, std::uint32_t, std::uintptr_t, std::uintptr_t,
                                       std::uintptr_t, std::uintptr_t) {}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::string PortItem(int number) { return kDirectToComPrefix + std::to_string(number); }

}  // namespace

std::vector<std::string> ListTapiLineNames(void* moduleInstance) {
  std::vector<std::string> names;
  tapi::Handle app = 0;
  std::uint32_t devices = 0;  // a stub library may leave it alone
  if (lineInitialize(&app, moduleInstance, &IgnoreLineMessages, "", &devices) != 0) return names;
  for (std::uint32_t device = 0; device < devices; ++device) {
    std::uint32_t version = 0;
    std::uint8_t extension[16];
    if (lineNegotiateAPIVersion(app, device, tapi::kApiVersion, tapi::kApiVersion, &version, extension) != 0)
      continue;
    const auto caps = GetDevCapsRecord(app, device, version, 0);
    if (caps.result != 0 || !caps.buffer) continue;
    const auto bytes =
        RecordBytes(*caps.buffer, tapi::devcaps::kLineNameSize, tapi::devcaps::kLineNameOffset);
    if (!bytes) continue;
    const std::string name = RecordText(*bytes);
    names.push_back(name.empty() ? "<noname>" : name);
  }
  lineShutdown(app);
  return names;
}

std::vector<std::string> BuildDeviceItems(bool showTapiDevices, bool showPorts,
                                          const std::vector<std::string>& lines,
                                          const std::function<bool(int)>& portPresent,
                                          const std::function<void()>& afterProbe) {
  std::vector<std::string> items;
  if (showTapiDevices) items = lines;
  if (showPorts) {
    for (int port = 1; port <= kHighestProbedPort; ++port) {
      if (portPresent(port)) items.push_back(PortItem(port));
      if (afterProbe) afterProbe();
    }
  }
  return items;
}

std::optional<std::size_t> InitialSelection(const std::vector<std::string>& items, TTapiMode mode,
                                            std::uint16_t comNumber, const std::string& deviceName) {
  if (items.empty()) return std::nullopt;
  const auto found = std::find_if(items.begin(), items.end(), [&](const std::string& item) {
    return mode == TTapiMode::tmOff ? item == PortItem(comNumber) : EqualIgnoringCase(item, deviceName);
  });
  return found == items.end() ? 0 : static_cast<std::size_t>(found - items.begin());
}

DeviceChoice ChoiceOf(const std::string& itemText) {
  DeviceChoice choice;
  choice.deviceName = itemText;
  const std::string prefix = kDirectToComPrefix;
  if (itemText.size() <= prefix.size() || itemText.compare(0, prefix.size(), prefix) != 0) return choice;
  const char* first = itemText.data() + prefix.size();
  const char* last = itemText.data() + itemText.size();
  std::uint16_t number = 0;
  const auto [end, error] = std::from_chars(first, last, number);
  if (error != std::errc() || end != last || number == 0) return choice;
  choice.mode = TTapiMode::tmOff;
  choice.comNumber = number;
  return choice;
}

}  // namespace comm
