// Helpers for window tests: pumping messages for a while and posting keys
// (message boxes are answered by tests/support/message_box_answers.h).
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "tests/support/message_box_answers.h"
#include "tests/support/window_find.h"

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

// Types a key on the keyboard, with Ctrl held if asked: the input goes through
// the system's input queue to the focused window of the foreground window.
inline void TypeKey(WORD key, bool ctrl = false) {
  INPUT inputs[4] = {};
  int count = 0;
  const auto add = [&](WORD virtualKey, DWORD flags) {
    inputs[count].type = INPUT_KEYBOARD;
    inputs[count].ki.wVk = virtualKey;
    inputs[count].ki.dwFlags = flags;
    ++count;
  };
  if (ctrl) add(VK_CONTROL, 0);
  add(key, 0);
  add(key, KEYEVENTF_KEYUP);
  if (ctrl) add(VK_CONTROL, KEYEVENTF_KEYUP);
  SendInput(count, inputs, sizeof(INPUT));
}

inline void ReleaseModifiers() {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = state[VK_SHIFT] = 0;
  SetKeyboardState(state);
}

// The texts of a system tab control's tabs, as it shows them.
inline std::vector<std::string> TabTexts(HWND tabs) {
  std::vector<std::string> texts;
  const int n = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    char text[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    texts.push_back(text);
  }
  return texts;
}

namespace detail {
inline std::string& ShownFolder() {
  static std::string folder;
  return folder;
}

inline void CALLBACK ReadFolderAndCancel(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = test_support::ThreadDialogBox();
  if (!dialog) return;
  KillTimer(nullptr, timer);
  char folder[MAX_PATH] = {};
  SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
  ShownFolder() = folder[0] ? folder : "(no folder)";
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}
}  // namespace detail

// Runs `open`, which shows a file dialog of this thread and waits for it; the
// folder the dialog showed when it came up (it is then cancelled). Empty when
// no dialog came.
inline std::string FolderShownByFileDialog(const std::function<void()>& open) {
  detail::ShownFolder().clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, detail::ReadFolderAndCancel);
  open();
  KillTimer(nullptr, timer);
  return detail::ShownFolder();
}

}  // namespace fwtest
