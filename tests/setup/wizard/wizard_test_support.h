// Driving wizards of real windows from a test: steps that run one per timer
// tick while a modal window is up, finding the wizard's window and its
// visible controls, pressing buttons as a user would, and a fixture with a
// small install tree and its before-install dialog manager.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "setup/paths/path_specifiers.h"
#include "setup/wizard/wizard_win.h"
#include "tests/setup/install/install_test_support.h"
#include "tests/support/screenshot.h"

namespace setup::wizard_test {

inline std::deque<std::function<void()>>& Steps() {
  static std::deque<std::function<void()>> steps;
  return steps;
}

inline void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
  if (Steps().empty()) return;
  auto step = std::move(Steps().front());
  Steps().pop_front();
  step();
}

// The visible, enabled top-level window of the thread: the wizard host or a
// standalone page (windows a modal one disables are passed over).
inline HWND WizardWindow() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM out) {
        if (!IsWindowVisible(w) || !IsWindowEnabled(w) || (GetWindowLongA(w, GWL_STYLE) & WS_CHILD))
          return TRUE;
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

inline std::string TextOf(HWND w) {
  std::string text(4096, '\0');
  text.resize(GetWindowTextA(w, text.data(), static_cast<int>(text.size())));
  return text;
}

inline std::string ClassOf(HWND w) {
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  return name;
}

// The first visible child of the wizard window that matches, or nullptr.
inline HWND VisibleChild(const std::function<bool(HWND)>& matches) {
  struct Search {
    const std::function<bool(HWND)>* matches;
    HWND found;
  } search{&matches, nullptr};
  EnumChildWindows(
      WizardWindow(),
      [](HWND w, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        if (!IsWindowVisible(w) || !(*s->matches)(w)) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// By window class (case-insensitive), e.g. "Edit", "ListBox".
inline HWND VisibleOfClass(const std::string& name) {
  return VisibleChild([&](HWND w) { return lstrcmpiA(ClassOf(w).c_str(), name.c_str()) == 0; });
}

inline HWND VisibleButton(const std::string& caption) {
  return VisibleChild([&](HWND w) { return lstrcmpiA(ClassOf(w).c_str(), "Button") == 0 && TextOf(w) == caption; });
}

inline void Click(const std::string& caption) {
  HWND button = VisibleButton(caption);
  ASSERT_NE(button, nullptr) << caption << " on " << TextOf(WizardWindow());
  SendMessageA(button, BM_CLICK, 0, 0);
}

// A step that expects the wizard window's caption, trying again on the next
// ticks (at most `tries`) while another window is still up.
inline std::function<void()> Waiting(std::string caption, int tries) {
  return [caption, tries] {
    if (TextOf(WizardWindow()) != caption && tries > 1) {
      Steps().push_front(Waiting(caption, tries - 1));
      return;
    }
    EXPECT_EQ(TextOf(WizardWindow()), caption);
  };
}

class WizardFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureStandardSpecifiers(&owner);
    install = new test_support::StandInInstall(&owner);
    manager = new TDialogManager(&owner);
    manager->SetName("BeforeManager");
    manager->SetContainer(install);
    timer = SetTimer(nullptr, 0, 150, RunStep);
  }
  void TearDown() override {
    KillTimer(nullptr, timer);
    Steps().clear();
    UserAbortQuery() = nullptr;
  }
  void Broadcast(int code) { install->Broadcast(install, code, nullptr); }
  void Expect(const std::string& caption) {
    Steps().push_back([caption] { EXPECT_EQ(TextOf(WizardWindow()), caption); });
  }
  // As Expect, for a window that may come up only after a few ticks (steps
  // also run in the message loops of work done before the window shows).
  void WaitFor(const std::string& caption) { Steps().push_back(Waiting(caption, 20)); }
  void Press(const std::string& caption) {
    Steps().push_back([caption] { Click(caption); });
  }
  void Shot(const std::string& file) {
    Steps().push_back([file] {
      RECT r;
      GetWindowRect(WizardWindow(), &r);
      ::test_support::SaveBitmap(file, ::test_support::CaptureScreen(r));
    });
  }
  fw::TComponent owner{nullptr};
  test_support::StandInInstall* install = nullptr;
  TDialogManager* manager = nullptr;
  UINT_PTR timer = 0;
};

}  // namespace setup::wizard_test
