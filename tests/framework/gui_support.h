// Helpers for window tests: pumping messages for a while and posting keys
// (message boxes are answered by tests/support/message_box_answers.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "tests/support/message_box_answers.h"

namespace fwtest {

inline void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    fw::Application()->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Posts a key press to a window as the keyboard would, with Ctrl or Shift
// held in the thread's key state while the message is handled.
inline void PostKey(HWND window, WORD key, bool ctrl = false, bool shift = false) {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = ctrl ? 0x80 : 0;
  state[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(state);
  PostMessageA(window, WM_KEYDOWN, key, 1);
}

inline void ReleaseModifiers() {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = state[VK_SHIFT] = 0;
  SetKeyboardState(state);
}

}  // namespace fwtest
