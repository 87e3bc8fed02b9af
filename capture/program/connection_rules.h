// Device names and phone numbers of the main window. A serial port is offered
// as "Direct to COM" and its number; every other name is a telephony line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace capture {

inline constexpr char noDeviceName[] = "None Selected";

// The one test for "a serial port, not a telephony line", used everywhere.
bool IsDirectDevice(std::string_view device);
// The port number of a direct device; nothing when the name does not end in a
// number from 1 to 255.
std::optional<int> DirectPortNumber(std::string_view device);
// Parentheses, dashes and blanks removed; everything else kept in order.
std::string CleanPhoneNumber(std::string_view number);

}  // namespace capture
