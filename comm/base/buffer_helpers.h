// Helpers over raw byte buffers: a pointer moved on by a byte count, and a
// number written as zero-terminated decimal text into a caller's buffer.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>

namespace comm {

inline void* AddOffset(void* pointer, std::size_t count) { return static_cast<std::byte*>(pointer) + count; }
inline const void* AddOffset(const void* pointer, std::size_t count) {
  return static_cast<const std::byte*>(pointer) + count;
}

// Room for the longest 64-bit decimal text ("-9223372036854775808") and its zero.
inline constexpr std::size_t kNumberTextSize = 21;

// The buffer is an array of at least kNumberTextSize characters, so the text
// always fits.
template <std::size_t N>
char* NumberToPChar(char (&buffer)[N], std::int64_t number) {
  static_assert(N >= kNumberTextSize, "too small for every number");
  const auto written = std::to_chars(buffer, buffer + N - 1, number);
  *written.ptr = '\0';
  return buffer;
}

}  // namespace comm
