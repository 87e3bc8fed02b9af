// Which family of Windows the program runs on, from the system's version
// query; the query itself is handed in, so every family can be tested.
#pragma once

#include <cstdint>
#include <optional>

namespace setup {

// What the system's version query reports.
struct WindowsVersion {
  std::uint32_t platformId = 0;  // 0 Win32s, 1 the 95 family, 2 NT
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

// 0 Win32s, 1 the 95 family, 2 NT whose "major.minor" does not contain
// "3.5", 3 NT 3.5x, 4 any other platform. A failed query (nothing) raises
// EAPIRoutines.
int WindowsKindOf(const std::optional<WindowsVersion>& version);

}  // namespace setup
