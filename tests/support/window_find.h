// Finding windows by their captions, as a user sees them: shared by the tests
// and the whole-process benchmarks that drive a program's windows.
#pragma once

#include <windows.h>

#include <string>

namespace test_support {

inline std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// A visible top-level window with the caption, of any process.
inline HWND TopWindow(const std::string& caption) {
  struct Search {
    const std::string* caption;
    HWND found;
  } search{&caption, nullptr};
  EnumWindows(
      [](HWND window, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        if (!IsWindowVisible(window) || TextOf(window) != *s->caption) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A visible, enabled button (push button, radio button, check box) of the
// window with the caption.
inline HWND VisibleButton(HWND window, const std::string& caption) {
  struct Search {
    const std::string* caption;
    HWND found;
  } search{&caption, nullptr};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        char name[32] = {};
        GetClassNameA(child, name, sizeof name);
        if (!IsWindowVisible(child) || !IsWindowEnabled(child) || lstrcmpiA(name, "Button") != 0 ||
            TextOf(child) != *s->caption)
          return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A visible dialog box of this thread (other tests show theirs on the same
// display at the same time): a message box or a common dialog.
inline HWND ThreadDialogBox() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM result) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace test_support
