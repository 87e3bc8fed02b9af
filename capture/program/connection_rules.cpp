#include "capture/program/connection_rules.h"

#include "comm/telephony/direct_port_name.h"

namespace capture {

bool IsDirectDevice(std::string_view device) { return comm::DirectPortNumber(device).has_value(); }

std::optional<int> DirectPortNumber(std::string_view device) {
  if (const auto number = comm::DirectPortNumber(device)) return *number;
  return std::nullopt;
}

std::string CleanPhoneNumber(std::string_view number) {
  std::string clean;
  for (char ch : number)
    if (ch != '(' && ch != ')' && ch != '-' && ch != ' ') clean += ch;
  return clean;
}

}  // namespace capture
