// Messages a dispatcher sends to the windows that listen to it. lParam holds
// the dispatcher's handle in the bits above the low 16 and a value below.
#pragma once

#include <cstdint>

namespace comm {

inline constexpr std::uint32_t kAvailMessage = 0x7E01;        // wParam: bytes available
inline constexpr std::uint32_t kDataMessage = 0x7E02;         // not sent in this system
inline constexpr std::uint32_t kTimerMessage = 0x7E03;        // wParam: timer-trigger handle
inline constexpr std::uint32_t kStatusMessage = 0x7E04;       // wParam: status-trigger handle, value
inline constexpr std::uint32_t kPortOpenMessage = 0x7E08;     // sent by the port
inline constexpr std::uint32_t kPortClosingMessage = 0x7E09;  // sent by the port
inline constexpr std::uint32_t kDeferredCloseMessage = 0x7E0A;

constexpr std::intptr_t NotificationLParam(int dispatcherHandle, std::uint16_t value) {
  return static_cast<std::intptr_t>(dispatcherHandle) * 65536 + value;
}
constexpr int DispatcherHandleOf(std::intptr_t lParam) { return static_cast<int>((lParam >> 16) & 0xFFFF); }

// Comm event bits the dispatch thread handles.
inline constexpr std::uint32_t kEventReceived = 0x0001;
inline constexpr std::uint32_t kEventModemLines = 0x2138;  // CTS, DSR, DCD, ring, ring trailing edge
inline constexpr std::uint32_t kEventRing = 0x0100;
inline constexpr std::uint32_t kEventRingTrailingEdge = 0x2000;

// Status trigger types.
inline constexpr std::uint32_t kStatusModem = 1, kStatusLine = 2, kStatusOutFree = 3, kStatusOutUsed = 4,
                               kStatusOutSent = 5;

// Line error bits of LineErrors.
inline constexpr std::uint32_t kLineOverflow = 1, kLineOverrun = 2, kLineParity = 4, kLineFraming = 8,
                               kLineBreak = 16;

}  // namespace comm
