// Little-endian 32-bit fields of the telephony records that test doubles
// write and read (records are laid out field by field, never as structs).
#pragma once

#include <cstdint>

namespace test_support {

inline void Put32(std::uint8_t* record, std::uint32_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) record[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t Get32(const std::uint8_t* record, std::uint32_t offset) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(record[offset + i]) << (8 * i);
  return value;
}

}  // namespace test_support
