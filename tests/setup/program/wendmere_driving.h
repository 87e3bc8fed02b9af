// What the setup program's end-to-end tests share: the build machine they
// make the distribution on, and the hands that drive the wizard's windows by
// their captions, as a user would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/registry_win.h"
#include "tests/setup/run/run_checks.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/screenshot.h"
#include "tests/support/window_find.h"

namespace wendmere_test {

using test_support::ReadFileText;
using test_support::WriteFileText;

inline constexpr char kSourceFolder[] = "C:\\Quorvane Build";
inline constexpr char kVendorFolder[] = "C:\\Corvath\\P32V35";
inline constexpr char kSetupFolder[] = "C:\\Quorvane Setup";
inline constexpr char kDistFolder[] = "C:\\Quorvane Dist";
inline constexpr char kInstalled[] = "C:\\Program Files\\OSTREL SYSTEMS\\QUORVANE";
inline constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QUORVANE";
inline constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

inline std::string HereFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.find_last_of('\\'));
}

inline bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

using test_support::FileSizeOf;
using test_support::FilesIn;
using test_support::WaitUntil;
using test_support::TextOf;
using test_support::TopWindow;
using test_support::VisibleButton;

// The text of the window's first visible child that begins with `start`;
// empty when there is none.
inline std::string ChildTextStarting(HWND window, const std::string& start) {
  struct Search {
    const std::string* start;
    std::string found;
  } search{&start, {}};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        const std::string text = TextOf(child);
        if (!IsWindowVisible(child) || text.rfind(*s->start, 0) != 0) return TRUE;
        s->found = text;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The visible top-level windows with their texts, for a failure message.
inline std::string VisibleWindows() {
  std::string list;
  EnumWindows(
      [](HWND window, LPARAM p) {
        if (!IsWindowVisible(window)) return TRUE;
        auto* out = reinterpret_cast<std::string*>(p);
        *out += "\n  [" + TextOf(window) + "]";
        EnumChildWindows(
            window,
            [](HWND child, LPARAM q) {
              if (IsWindowVisible(child) && !TextOf(child).empty())
                *reinterpret_cast<std::string*>(q) += " {" + TextOf(child) + "}";
              return TRUE;
            },
            p);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&list));
  return list;
}

// Waits for the page and its button; the button, or null after a failure.
inline HWND AwaitButton(const std::string& page, const std::string& button, DWORD timeoutMs = 60000) {
  HWND target = nullptr;
  const bool found = WaitUntil(
      [&] {
        HWND window = TopWindow(page);
        return window && (target = VisibleButton(window, button)) != nullptr;
      },
      timeoutMs);
  EXPECT_TRUE(found) << "no page \"" << page << "\" with \"" << button << "\"; windows:" << VisibleWindows();
  return found ? target : nullptr;
}

// Waits for the page and presses its button, as a user would.
inline void Press(const std::string& page, const std::string& button, DWORD timeoutMs = 60000) {
  HWND target = AwaitButton(page, button, timeoutMs);
  if (!target) return;
  HWND window = GetAncestor(target, GA_ROOT);
  PostMessageA(target, BM_CLICK, 0, 0);
  // The next page replaces this one in the same host window.
  WaitUntil([&] { return TextOf(window) != page || !IsWindowVisible(window); }, 10000);
}

// Presses the window's button, as a user would.
inline bool Click(HWND window, const std::string& button) {
  HWND target = VisibleButton(window, button);
  if (!target) return false;
  PostMessageA(target, BM_CLICK, 0, 0);
  return true;
}

inline void Shot(const std::string& caption, const std::string& file) {
  HWND window = TopWindow(caption);
  if (!window) return;
  RECT r;
  GetWindowRect(window, &r);
  // A maximised window reaches past the screen's edges.
  r.left = std::max(r.left, 0L);
  r.top = std::max(r.top, 0L);
  r.right = std::min(r.right, static_cast<LONG>(GetSystemMetrics(SM_CXSCREEN)));
  r.bottom = std::min(r.bottom, static_cast<LONG>(GetSystemMetrics(SM_CYSCREEN)));
  test_support::SaveBitmap(file, test_support::CaptureScreen(r));
}

using Process = test_support::ChildProcess;

inline std::vector<std::string> InstanceKeys() {
  fw::TRegistry registry(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKeyReadOnly("SOFTWARE\\Pembrin\\Install")) return {};
  return registry.GetKeyNames();
}

using setup::run_checks::MachineValues;

inline std::string RegText(HKEY root, const std::string& key, const std::string& name) {
  fw::TRegistry registry(root);
  if (!registry.OpenKeyReadOnly(key)) return "<no key>";
  return registry.ReadString(name).value_or("<no value>");
}

// The build machine: the product's files, the vendor folder with the
// loading program, and the setup program with its BUILD.INF. The programs
// are by default those the build made (build\setup and build\capture), and
// the stand-ins beside the test; `wendmere` and `loader` name others.
inline void PrepareBuildMachine(std::string wendmere = {}, std::string loader = {}) {
  const std::string here = HereFolder();
  const std::string source = kSourceFolder, vendor = kVendorFolder, setupFolder = kSetupFolder;
  const std::string build = here + "\\..\\..";
  if (wendmere.empty()) wendmere = build + "\\setup\\Wendmere.exe";
  if (loader.empty()) loader = here + "\\stand_in_loader.exe";
  CreateDirectoryA(kSourceFolder, nullptr);
  CopyFileA((build + "\\capture\\Tallimo.exe").c_str(), (source + "\\Quorvane - Brask.exe").c_str(), FALSE);
  CopyFileA((here + "\\stand_in_uninstaller.exe").c_str(), (source + "\\uninstall.exe").c_str(), FALSE);
  // No help is written for the program: the build packs placeholders.
  WriteFileText(source + "\\QUORVANE.HLP", "placeholder help file\r\n");
  WriteFileText(source + "\\QUORVANE.CNT", ":Base QUORVANE.HLP\r\n");
  CreateDirectoryA("C:\\Corvath", nullptr);
  CreateDirectoryA(kVendorFolder, nullptr);
  CopyFileA(loader.c_str(), (vendor + "\\PembrinLoadProgram.exe").c_str(), FALSE);
  WriteFileText(vendor + "\\P32V35.TXT", "");
  fw::TRegistry registry(HKEY_CURRENT_USER);
  registry.OpenKey("Software\\Corvath\\P32V35", true);
  registry.WriteString("LibraryPath", "C:\\Elsewhere;" + vendor);
  CreateDirectoryA(kSetupFolder, nullptr);
  CopyFileA(wendmere.c_str(), (setupFolder + "\\Wendmere.exe").c_str(), FALSE);
  WriteFileText(setupFolder + "\\BUILD.INF", std::string(kDistFolder) + "\r\n");
}

// Wendmere.exe -b; its exit code.
inline int BuildDistribution() {
  Process build;
  if (!build.Start("\"" + std::string(kSetupFolder) + "\\Wendmere.exe\" -b", kSetupFolder)) return -2;
  return build.Wait();
}

}  // namespace wendmere_test
