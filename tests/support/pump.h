// Serving this thread's messages while a test waits for something that arrives
// through them (notifications, trigger events, timers).
#pragma once

#include <windows.h>

namespace test_support {

// Serves messages until `done` holds; false when `timeoutMs` passed first.
template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  return true;
}

}  // namespace test_support
