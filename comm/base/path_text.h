// Small text helpers for paths and flags used across the communications layer.
// Paths are ANSI texts with '\' separators and an optional "X:" drive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace comm {

inline constexpr std::size_t kMaxShortString = 255;

// The part after the last ':' or '\' (the whole path when it has neither), at
// most 255 characters.
std::string FileNamePart(std::string_view path);

// At most `count` characters from zero-based `start`; "" when start is at or
// past the end.
std::string SubstringFrom(std::string_view source, std::size_t start, std::size_t count);

// Appends '\' unless the path is empty or already ends in ':' or '\'.
std::string WithTrailingBackslash(std::string_view path);

constexpr bool FlagIsSet(std::uint32_t value, std::uint32_t mask) { return (value & mask) != 0; }
constexpr bool ByteFlagIsSet(std::uint8_t value, std::uint8_t mask) { return (value & mask) != 0; }
constexpr void SetByteFlags(std::uint8_t& value, std::uint8_t mask) {
  value = static_cast<std::uint8_t>(value | mask);
}
constexpr void ClearByteFlags(std::uint8_t& value, std::uint8_t mask) {
  value = static_cast<std::uint8_t>(value & ~mask);
}

}  // namespace comm
