// Windows ending the session while the capture program collects: the journal
// it holds in memory, and every byte it has taken from the line, must be on
// disk before the process is ended, also while the register goes on sending;
// a call is hung up in seconds, after the settings are kept. Run in a
// Wine prefix of its own (tallimo_session_end_run.sh), since ending the
// session there ends every window program of the prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/capture/program/paced_register.h"
#include "tests/capture/program/todays_capture_name.h"
#include "tests/support/files.h"
#include "tests/support/pty_cable.h"
#include "tests/support/tapi_script.h"

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

void PinShortDate() {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const char format[] = "M/d/yyyy";
  RegSetValueExA(key, "sShortDate", 0, REG_SZ, reinterpret_cast<const BYTE*>(format), sizeof format);
  RegCloseKey(key);
}

// Starts the program in its own folder with `settings`; the folder holds the
// program (and, when asked, the stand-in telephony library) only.
struct Tallimo {
  Tallimo(const std::string& name, const std::string& settings, bool standIn = false) {
    folder = test_support::FullPath(name);
    test_support::DeleteTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_TRUE(CopyFileA("..\\..\\capture\\Tallimo.exe", (folder + "\\Tallimo.exe").c_str(), FALSE))
        << GetLastError();
    if (standIn)
      EXPECT_TRUE(CopyFileA("tapi32.dll", (folder + "\\tapi32.dll").c_str(), FALSE)) << GetLastError();
    test_support::WriteFileText(folder + "\\icbr424.cgr", settings);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + folder + "\\Tallimo.exe\"";
    EXPECT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                               &startup, &process))
        << GetLastError();
  }
  ~Tallimo() {
    if (!process.hProcess) return;
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  bool Collecting() {
    HWND main = nullptr;
    return test_support::WaitUntil([&] { return (main = FindWindowA(nullptr, "Quorvane")) != nullptr; },
                                   30000) &&
           test_support::WaitUntil([&] { return HasChildText(main, "COLLECTING"); }, 20000);
  }
  // Ends the session; the time until the program's answer to it came.
  DWORD EndSession() {
    const DWORD start = GetTickCount();
    EXPECT_EQ(RunAndWait("wineboot.exe --end-session", 120000), 0);
    const DWORD answered = GetTickCount() - start;
    // What Windows does once the message returned.
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    return answered;
  }
  std::string folder;
  PROCESS_INFORMATION process{};
};

TEST(TallimoSessionEnd, HeldJournalIsOnDiskWhenWindowsEndsTheSession) {
  PinShortDate();
  test_support::PtyCable cable;
  const std::string device = "Direct to COM" + std::to_string(cable.ProgramPort());
  Tallimo tallimo("session_end", "[Maintain]\r\nCommPort=" + device + "\r\nAutoConnect=TRUE\r\n");
  ASSERT_TRUE(tallimo.Collecting());

  // Less than one capture block: all of it stays in memory until capture stops.
  const std::string journal = Journal(5800);
  cable.Send(journal);
  Sleep(3000);  // the terminal takes the bytes from the port
  const std::string captured = tallimo.folder + "\\" + TodayName(1);
  ASSERT_EQ(test_support::FileSizeOf(captured), 0) << "the journal should still be held";

  // Wine sends WM_QUERYENDSESSION and WM_ENDSESSION to the program's windows,
  // waits for WM_ENDSESSION to return, then ends the process.
  tallimo.EndSession();

  EXPECT_TRUE(test_support::ReadFileText(captured) == journal)
      << test_support::ReadFileText(captured).size() << " of " << journal.size() << " bytes";
  EXPECT_EQ(test_support::ReadFileText(tallimo.folder + "\\icbr424.cgr"),
            "[Maintain]\r\nCommPort=" + device + "\r\nAutoConnect=TRUE\r\nPhoneNum=\r\n")
      << "the settings are kept as on Exit";
}

void EndWhileTheRegisterSends(std::size_t pace) {
  test_support::PtyCable cable;
  Tallimo tallimo("session_end_sending", "[Maintain]\r\nCommPort=Direct to COM" +
                                             std::to_string(cable.ProgramPort()) +
                                             "\r\nAutoConnect=TRUE\r\n");
  ASSERT_TRUE(tallimo.Collecting());
  capture_test::PacedRegister register_(cable, capture_test::NumberedJournal(1000000), pace);
  Sleep(2000);  // the register prints for a while; the end comes while it goes on
  tallimo.EndSession();
  const std::string left = capture_test::StopAndTakeWhatTheLineHolds(cable, register_);
  const std::string sent = register_.Sent();
  const std::string written = test_support::ReadFileText(tallimo.folder + "\\" + TodayName(1));
  capture_test::PrintFigures("session-end", pace, sent.size(), left.size(), written.size());
  ASSERT_LE(left.size(), sent.size());
  EXPECT_EQ(written.size(), sent.size() - left.size()) << "bytes taken from the line and not written";
  EXPECT_TRUE(written + left == sent) << "the file and what the line holds are not the journal";
  EXPECT_GT(written.size(), pace) << "the program collected too little to tell";
}

TEST(TallimoSessionEnd, EveryByteTakenIsOnDiskWhileTheRegisterSendsAt9600Baud) {
  PinShortDate();
  EndWhileTheRegisterSends(capture_test::k9600BaudPace);
}

TEST(TallimoSessionEnd, EveryByteTakenIsOnDiskWhileTheRegisterSendsAt115200Baud) {
  PinShortDate();
  EndWhileTheRegisterSends(capture_test::k115200BaudPace);
}

// A modem whose line never answers the hang-up: the program keeps its
// settings and lets Windows go on within seconds.
TEST(TallimoSessionEnd, ACallIsHungUpInSecondsAfterTheSettingsAreKept) {
  PinShortDate();
  test_support::PtyCable cable;
  test_support::TapiScript script(
      "session_end_call",
      "line Shop Modem\nport " + std::to_string(cable.ProgramPort()) + "\nattempt connect\ndrop_silent\n");
  // The program runs in its own folder: the stand-in gets whole paths.
  auto wholePath = [](const char* variable, const std::string& file) {
    char path[MAX_PATH];
    GetFullPathNameA(file.c_str(), MAX_PATH, path, nullptr);
    SetEnvironmentVariableA(variable, path);
  };
  wholePath("TALLIMO_TAPI_SCRIPT", "session_end_call.tapi-script");
  wholePath("TALLIMO_TAPI_LOG", "session_end_call.tapi-log");
  Tallimo tallimo("session_end_call",
                  "[Maintain]\r\nAutoConnect=TRUE\r\nCommPort=Shop Modem\r\nPhoneNum=(555) 123-4567\r\n",
                  true);
  ASSERT_TRUE(tallimo.Collecting());
  ASSERT_TRUE(test_support::WaitUntil([&] { return !script.CallsStartingWith("lineGetID").empty(); }, 20000))
      << "the call never handed its port over";
  cable.Send("CALL RECEIPT 1\r\n");
  Sleep(1000);  // the terminal takes the bytes from the port
  const DWORD answered = tallimo.EndSession();
  std::printf("FIGURES end=session-end-call answered_ms=%lu\n", static_cast<unsigned long>(answered));
  EXPECT_LT(answered, 10000u) << "the session's end waited for the line";
  EXPECT_EQ(script.CallsStartingWith("lineDrop").size(), 1u);
  EXPECT_EQ(test_support::ReadFileText(tallimo.folder + "\\icbr424.cgr"),
            "[Maintain]\r\nAutoConnect=TRUE\r\nCommPort=Shop Modem\r\nPhoneNum=5551234567\r\n")
      << "the settings are kept as on Exit";
  EXPECT_EQ(test_support::ReadFileText(tallimo.folder + "\\" + TodayName(1)), "CALL RECEIPT 1\r\n");
}

}  // namespace
