// A serial port offered as a device: "Direct to COM" followed by its number.
// The device dialog and the capture program's main window both decide with
// this one rule, so a name that one takes for a port the other never takes for
// a telephony line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace comm {

inline constexpr const char* kDirectToComPrefix = "Direct to COM";
inline constexpr int kHighestDirectPort = 255;

// The item text of port `number`.
std::string DirectPortName(int number);

// The port number of a name that is "Direct to COM" (in any case) followed by
// a number from 1 to 255 and nothing else; nothing for any other name, which
// is then a telephony line ("Direct to COM3 Modem" is a line).
std::optional<std::uint16_t> DirectPortNumber(std::string_view name);

}  // namespace comm
