// Small Windows services of the communications layer.
#pragma once

#include <cstdint>

namespace comm {

// Makes the tick timers read timeGetTime.
void UseSystemTickClock();

// Takes at most one waiting message of the calling thread and dispatches it.
// A WM_QUIT is posted again with its exit code, so the main loop still sees
// it. Returns 0 when nothing was waiting, else the low words of the message
// number (low half) and of the window handle (high half). GUI thread only.
std::uint32_t PumpOneMessage();

bool ExistsFile(const char* path);

}  // namespace comm
