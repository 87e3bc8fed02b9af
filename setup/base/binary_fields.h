// Little-endian fields of the setup program's binary files, read and written
// byte by byte so that no layout depends on the compiler's alignment.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace setup::binary {

inline void Put32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t Get32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
  return value;
}

inline void Put64(std::uint8_t* at, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint64_t Get64(const std::uint8_t* at) {
  std::uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value |= static_cast<std::uint64_t>(at[i]) << (8 * i);
  return value;
}

inline void PutDouble(std::uint8_t* at, double value) { Put64(at, std::bit_cast<std::uint64_t>(value)); }
inline double GetDouble(const std::uint8_t* at) { return std::bit_cast<double>(Get64(at)); }

}  // namespace setup::binary
