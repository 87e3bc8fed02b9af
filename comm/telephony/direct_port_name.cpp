#include "comm/telephony/direct_port_name.h"

#include <cctype>

namespace comm {

std::string DirectPortName(int number) { return kDirectToComPrefix + std::to_string(number); }

std::optional<std::uint16_t> DirectPortNumber(std::string_view name) {
  const std::string_view prefix = kDirectToComPrefix;
  if (name.size() <= prefix.size()) return std::nullopt;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(name[i])) !=
        std::toupper(static_cast<unsigned char>(prefix[i])))
      return std::nullopt;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.size() > 3) return std::nullopt;
  int number = 0;
  for (char ch : digits) {
    if (ch < '0' || ch > '9') return std::nullopt;
    number = number * 10 + (ch - '0');
  }
  if (number < 1 || number > kHighestDirectPort) return std::nullopt;
  return static_cast<std::uint16_t>(number);
}

}  // namespace comm
