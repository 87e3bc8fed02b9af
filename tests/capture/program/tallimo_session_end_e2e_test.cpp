// Windows ending the session while the capture program collects: the journal
// it holds in memory must be on disk before the process is ended. Run in a
// Wine prefix of its own (tallimo_session_end_run.sh), since ending the
// session there ends every window program of the prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/capture/program/todays_capture_name.h"
#include "tests/support/files.h"
#include "tests/support/pty_cable.h"

namespace {

// The journal is plain text, so the received-character filter keeps it whole.
std::string Journal(std::size_t size) {
  std::string journal;
  for (int line = 0; journal.size() < size; ++line)
    journal += "RECEIPT " + std::to_string(line) + "   COFFEE 2.40  TOTAL 4.80\r\n";
  return journal;
}

using capture_test::TodayName;

struct Child {
  std::string text;
  HWND window = nullptr;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM data) {
  auto* wanted = reinterpret_cast<Child*>(data);
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  if (wanted->text != text) return TRUE;
  wanted->window = window;
  return FALSE;
}

bool HasChildText(HWND parent, const std::string& text) {
  Child found{text};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&found));
  return found.window != nullptr;
}

// Runs a program of the prefix and waits for it; its exit code, or -1.
long RunAndWait(std::string commandLine, DWORD timeoutMs) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<long>(code);
}

TEST(TallimoSessionEnd, HeldJournalIsOnDiskWhenWindowsEndsTheSession) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const char format[] = "M/d/yyyy";
  RegSetValueExA(key, "sShortDate", 0, REG_SZ, reinterpret_cast<const BYTE*>(format), sizeof format);
  RegCloseKey(key);
  const std::string folder = test_support::FullPath("session_end");
  test_support::DeleteTree(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA("..\\..\\capture\\Tallimo.exe", (folder + "\\Tallimo.exe").c_str(), FALSE))
      << GetLastError();

  test_support::PtyCable cable;
  const std::string device = "Direct to COM" + std::to_string(cable.ProgramPort());
  test_support::WriteFileText(folder + "\\icbr424.cgr",
                              "[Maintain]\r\nCommPort=" + device + "\r\nAutoConnect=TRUE\r\n");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION tallimo{};
  std::string command = "\"" + folder + "\\Tallimo.exe\"";
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                             &startup, &tallimo))
      << GetLastError();
  HWND main = nullptr;
  ASSERT_TRUE(
      test_support::WaitUntil([&] { return (main = FindWindowA(nullptr, "Quorvane")) != nullptr; }, 30000));
  ASSERT_TRUE(test_support::WaitUntil([&] { return HasChildText(main, "COLLECTING"); }, 20000));

  // Less than one capture block: all of it stays in memory until capture stops.
  const std::string journal = Journal(5800);
  cable.Send(journal);
  Sleep(3000);  // the terminal takes the bytes from the port
  const std::string captured = folder + "\\" + TodayName(1);
  ASSERT_EQ(test_support::FileSizeOf(captured), 0) << "the journal should still be held";

  // Wine sends WM_QUERYENDSESSION and WM_ENDSESSION to the program's windows,
  // waits for WM_ENDSESSION to return, then ends the process.
  EXPECT_EQ(RunAndWait("wineboot.exe --end-session", 60000), 0);
  const bool ended = WaitForSingleObject(tallimo.hProcess, 20000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(tallimo.hProcess, 1);  // what Windows does once the message returned
  CloseHandle(tallimo.hThread);
  CloseHandle(tallimo.hProcess);

  EXPECT_TRUE(test_support::ReadFileText(captured) == journal)
      << test_support::ReadFileText(captured).size() << " of " << journal.size() << " bytes";
  EXPECT_EQ(test_support::ReadFileText(folder + "\\icbr424.cgr"),
            "[Maintain]\r\nCommPort=" + device + "\r\nAutoConnect=TRUE\r\nPhoneNum=\r\n")
      << "the settings are kept as on Exit";
}

}  // namespace
