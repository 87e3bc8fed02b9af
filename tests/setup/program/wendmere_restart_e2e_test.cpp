// The setup program across a restart of Windows, in a Wine prefix of its own
// (wendmere_run.sh): an older capture program is installed and running, so
// its file cannot be replaced; the install asks for a restart, the user
// agrees, and the restart (Windows' own, asked for by the installer) puts the
// new program in place and continues the install, which then ends as any
// good install does. Wine's restart keeps this windowless test running.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/setup/program/wendmere_driving.h"

namespace {

using namespace wendmere_test;

const char kOldProgram[] = "the capture program of an older version, running";

std::string Program() { return std::string(kInstalled) + "\\Quorvane - Brask.exe"; }

// The renames left for the next start, a "|" for each zero between names.
std::string PendingRenames() {
  std::string text = setup::run_checks::PendingRenames();
  std::replace(text.begin(), text.end(), '\0', '|');
  return text;
}

// Whether a program of that name runs in this Windows.
bool Running(const char* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
    found = _stricmp(entry.szExeFile, name) == 0;
  CloseHandle(snapshot);
  return found;
}

bool Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::string Listed(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += "\n  " + value;
  return text;
}

TEST(WendmereRestart, ReplacesTheRunningProgramAtTheRestartAndEndsTheInstallThen) {
  PrepareBuildMachine();
  ASSERT_EQ(BuildDistribution(), 0);
  const std::string program = Program();
  const std::string fresh = ReadFileText(std::string(kSourceFolder) + "\\Quorvane - Brask.exe");
  ASSERT_FALSE(fresh.empty());

  // The older program, installed long ago and running: its file is open and
  // shared with nobody.
  CreateDirectoryA("C:\\Program Files\\OSTREL SYSTEMS", nullptr);
  CreateDirectoryA(kInstalled, nullptr);
  WriteFileText(program, kOldProgram);
  HANDLE held =
      CreateFileA(program.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SYSTEMTIME old{2001, 3, 0, 14, 12, 0, 0, 0};
  FILETIME written{};
  SystemTimeToFileTime(&old, &written);
  ASSERT_TRUE(SetFileTime(held, nullptr, nullptr, &written));

  Process setup;
  ASSERT_TRUE(setup.Start("\"" + std::string(kDistFolder) + "\\setup.exe\"", kDistFolder));
  Press("Quorvane INSTALL", "Next >");
  Press("Welcome", "Next >");
  Press("Software license agreement", "Next >");
  Press("Readme information", "Next >");
  Press("Setup type", "Next >");
  Press("Select folder in start menu", "Next >");

  // The copy could not replace the program: the restart page proposes it.
  HWND finish = AwaitButton("Reboot windows", "Finish");
  if (!finish) CloseHandle(held);
  ASSERT_NE(finish, nullptr);
  HWND page = GetAncestor(finish, GA_ROOT);
  HWND yes = VisibleButton(page, "Yes, I would like to reboot windows");
  HWND no = VisibleButton(page, "No, I would not like to reboot windows");
  ASSERT_TRUE(yes && no) << VisibleWindows();
  EXPECT_TRUE(Checked(yes));
  EXPECT_FALSE(Checked(no));

  // What waits for the restart: the new program beside the old one, its move
  // over the old one, and the install's continuation.
  const std::string candidate = std::string(kInstalled) + "\\Quorvane - Brask.1";
  EXPECT_TRUE(ReadFileText(candidate) == fresh) << "the new program waits as " << candidate;
  EXPECT_NE(PendingRenames().find(candidate + "|!\\??\\" + program + "|"), std::string::npos)
      << PendingRenames();
  const std::vector<std::string> waiting = MachineValues(kRunOnceKey);
  ASSERT_EQ(waiting.size(), 1u) << Listed(waiting);
  EXPECT_EQ(waiting[0].rfind("PembrinUnfinished=", 0), 0u) << waiting[0];
  EXPECT_NE(waiting[0].find(" -r \"-esetup.exe\" \"-s" + std::string(kDistFolder) + "\""), std::string::npos)
      << waiting[0];
  EXPECT_EQ(InstanceKeys().size(), 1u);

  // The user closes the old program and agrees to the restart.
  CloseHandle(held);
  EXPECT_EQ(ReadFileText(program), kOldProgram);
  PostMessageA(finish, BM_CLICK, 0, 0);

  // Windows starts again and continues the install, which ends as a good one.
  // The start-up waits for it.
  AwaitButton("Setup complete", "Finish");
  EXPECT_TRUE(Running("wineboot.exe"));
  Press("Setup complete", "Finish");
  // The first run has ended by now; its loader passes on its exit code.
  EXPECT_EQ(setup.Wait(30000), 0);
  EXPECT_TRUE(WaitUntil([] { return !Running("wineboot.exe"); }, 60000)) << "the start-up does not end";

  EXPECT_TRUE(ReadFileText(program) == fresh)
      << (ReadFileText(program) == kOldProgram ? "the old program is still in place"
                                               : "the program is neither");
  EXPECT_FALSE(Exists(candidate));
  EXPECT_EQ(PendingRenames().find("Quorvane"), std::string::npos) << PendingRenames();
  EXPECT_TRUE(MachineValues(kRunOnceKey).empty()) << Listed(MachineValues(kRunOnceKey));
  EXPECT_TRUE(InstanceKeys().empty()) << Listed(InstanceKeys());
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "QUORVANE");
  for (const char* name : {"QUORVANE.HLP", "QUORVANE.CNT", "uninstall.exe"})
    EXPECT_TRUE(ReadFileText(std::string(kInstalled) + "\\" + name) ==
                ReadFileText(std::string(kSourceFolder) + "\\" + name))
        << name;
}

}  // namespace
