// The result codes the screen buffer and its capture file return. Negative
// codes are failures; -2 .. -162 are I/O results (minus the system's error number).
#pragma once

#include "comm/base/error_codes.h"

namespace comm {

// Failures are codes of the communications table (codes::kBadArgument for a
// dimension outside the limits) or I/O results.
constexpr int bufferOk = 0;
// Fewer bytes reached the capture file than were handed to the write
// (I/O error 101, "Disk write error").
constexpr int captureShortWrite = -101;

}  // namespace comm
