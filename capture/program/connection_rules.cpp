#include "capture/program/connection_rules.h"

#include <cctype>

namespace capture {

namespace {
constexpr std::string_view directPrefix = "DIRECT TO COM";
}

bool IsDirectDevice(std::string_view device) {
  if (device.size() < directPrefix.size()) return false;
  for (std::size_t i = 0; i < directPrefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(device[i])) != directPrefix[i]) return false;
  return true;
}

std::optional<int> DirectPortNumber(std::string_view device) {
  if (!IsDirectDevice(device)) return std::nullopt;
  const std::string_view digits = device.substr(directPrefix.size());
  if (digits.empty() || digits.size() > 3) return std::nullopt;
  int number = 0;
  for (char ch : digits) {
    if (ch < '0' || ch > '9') return std::nullopt;
    number = number * 10 + (ch - '0');
  }
  if (number < 1 || number > 255) return std::nullopt;
  return number;
}

std::string CleanPhoneNumber(std::string_view number) {
  std::string clean;
  for (char ch : number)
    if (ch != '(' && ch != ')' && ch != '-' && ch != ' ') clean += ch;
  return clean;
}

}  // namespace capture
