// The whole capture program against a pseudo-terminal: started with its
// settings file saying "connect to this port at start", it collects what the
// register sends into today's capture file, rolls over past the limit, and
// stores its settings when its window is closed. And a user's way through
// the log viewer to a printed list of the lines that hold a text.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/capture/program/paced_register.h"
#include "tests/capture/program/todays_capture_name.h"
#include "tests/support/pty_cable.h"
#include "tests/support/tapi_script.h"
#include "tests/support/files.h"
#include "tests/support/pdf_output.h"
#include "tests/support/screenshot.h"

namespace {

const char* const kProgram = "..\\..\\capture\\Tallimo.exe";

// What the received-character filter lets through, worked out independently.
std::string Filtered(const std::string& received) {
  std::string kept;
  unsigned char previous = 0;
  for (unsigned char ch : received) {
    if (ch == '\n' && previous == '\n')
      kept += "\r\n";
    else if (ch == '\n' || ch == '\r' || (ch >= 32 && ch <= 127))
      kept += static_cast<char>(ch);
    previous = ch;
  }
  return kept;
}

using capture_test::TodayName;

struct FoundWindow {
  DWORD process;
  std::string className;  // empty: any but a dialog box
  std::string title;      // empty: any
  HWND window = nullptr;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM data) {
  auto* wanted = reinterpret_cast<FoundWindow*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != wanted->process || !IsWindowVisible(window)) return TRUE;
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  const bool dialog = std::string(className) == "#32770";
  if (wanted->className.empty() ? dialog : wanted->className != className) return TRUE;
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  if (!wanted->title.empty() && wanted->title != title) return TRUE;
  wanted->window = window;
  return FALSE;
}

HWND FindTopWindow(DWORD process, const std::string& className, const std::string& title = "") {
  FoundWindow found{process, className, title};
  EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

struct ChildText {
  std::string text;
  bool whole = false;  // the whole text, not a part of it
  HWND window = nullptr;
};

BOOL CALLBACK MatchChildText(HWND window, LPARAM data) {
  auto* wanted = reinterpret_cast<ChildText*>(data);
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  if (wanted->whole ? wanted->text != text : std::string(text).find(wanted->text) == std::string::npos)
    return TRUE;
  wanted->window = window;
  return FALSE;
}

HWND FindChildText(HWND parent, const std::string& text, bool whole = false) {
  ChildText found{text, whole};
  EnumChildWindows(parent, MatchChildText, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct ChildOfClass {
  std::string className;
  HWND window = nullptr;
};

BOOL CALLBACK MatchChildClass(HWND window, LPARAM data) {
  auto* wanted = reinterpret_cast<ChildOfClass*>(data);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (!IsWindowVisible(window) || wanted->className != className) return TRUE;
  // A field, not the viewer's text.
  if (wanted->className == "Edit" && (GetWindowLongA(window, GWL_STYLE) & ES_MULTILINE)) return TRUE;
  wanted->window = window;
  return FALSE;
}

// The first visible child of the class; of edits, the first one-line field.
HWND FindChildOfClass(HWND parent, const std::string& className) {
  ChildOfClass found{className};
  EnumChildWindows(parent, MatchChildClass, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

// A status bar part's text. The message writes into the caller's buffer, so
// for a bar of another process the buffer must be in that process.
std::string StatusText(HANDLE process, HWND bar, int part) {
  constexpr SIZE_T kSize = 1024;
  void* remote = VirtualAllocEx(process, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote) return "";
  std::string text;
  const LRESULT length = SendMessageA(bar, SB_GETTEXTLENGTHA, part, 0);
  if (LOWORD(length) < kSize) {
    SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote));
    char buffer[kSize] = {};
    SIZE_T read = 0;
    if (ReadProcessMemory(process, remote, buffer, LOWORD(length) + 1, &read)) text = buffer;
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return text;
}

// The text with every run of blanks, line breaks and page breaks made one blank.
std::string CollapseBlanks(const std::string& text) {
  std::string collapsed;
  for (char ch : text) {
    const bool blank = std::isspace(static_cast<unsigned char>(ch)) != 0;
    if (!blank)
      collapsed += ch;
    else if (!collapsed.empty() && collapsed.back() != ' ')
      collapsed += ' ';
  }
  return collapsed;
}

class TallimoRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetFileAttributesA("C:\\Program Files\\Harrowgate\\Common Files\\HDB"), INVALID_FILE_ATTRIBUTES)
        << "the settings would live in the engine folder";
    PinShortDate("M/d/yyyy");
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    CreateDirectoryA("tallimo_e2e", nullptr);
    folder_ = std::string("tallimo_e2e\\") + test->name();
    CreateDirectoryA(folder_.c_str(), nullptr);
    char full[MAX_PATH];
    GetFullPathNameA(folder_.c_str(), MAX_PATH, full, nullptr);
    folder_ = full;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder_ + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
      do DeleteFileA((folder_ + "\\" + entry.cFileName).c_str());
      while (FindNextFileA(find, &entry));
      FindClose(find);
    }
    ASSERT_TRUE(CopyFileA(kProgram, (folder_ + "\\Tallimo.exe").c_str(), FALSE)) << GetLastError();
  }

  void TearDown() override {
    if (process_.hProcess) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
  }

  static void PinShortDate(const char* format) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "sShortDate", 0, REG_SZ, reinterpret_cast<const BYTE*>(format),
                   static_cast<DWORD>(strlen(format) + 1));
    RegCloseKey(key);
  }

  // The stand-in telephony library beside the program, playing the script
  // `name` (the program runs in its own folder: the stand-in gets whole paths).
  void UseStandIn(const std::string& name) {
    char full[MAX_PATH];
    GetFullPathNameA((name + ".tapi-script").c_str(), MAX_PATH, full, nullptr);
    SetEnvironmentVariableA("TALLIMO_TAPI_SCRIPT", full);
    GetFullPathNameA((name + ".tapi-log").c_str(), MAX_PATH, full, nullptr);
    SetEnvironmentVariableA("TALLIMO_TAPI_LOG", full);
    ASSERT_TRUE(CopyFileA("tapi32.dll", (folder_ + "\\tapi32.dll").c_str(), FALSE)) << GetLastError();
  }

  void WriteSettings(const std::string& text) {
    test_support::WriteFileText(folder_ + "\\icbr424.cgr", text);
  }

  void Launch() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + folder_ + "\\Tallimo.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                               &startup, &process_))
        << GetLastError();
  }

  void Start() {
    Launch();
    ASSERT_TRUE(test_support::WaitUntil([&] { return (main_ = MainWindow()) != nullptr; }, 30000));
  }

  HWND MainWindow() { return FindTopWindow(process_.dwProcessId, "", "Quorvane"); }

  // A message box of the program; its text, after pressing its OK.
  std::string AnswerBox(DWORD timeoutMs) {
    HWND box = nullptr;
    if (!test_support::WaitUntil(
            [&] { return (box = FindTopWindow(process_.dwProcessId, "#32770")) != nullptr; }, timeoutMs))
      return "";
    std::string text;
    HWND child = nullptr;
    while ((child = FindWindowExA(box, child, "Static", nullptr)) != nullptr)
      if (!WindowText(child).empty()) text = WindowText(child);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    // Gone before the next look, which would otherwise find it again.
    test_support::WaitUntil([&] { return !IsWindow(box); }, 5000);
    return text;
  }

  // The status label says it: the button reads "&Disconnect" from the
  // moment a connect starts, while dialling too.
  bool StatusIs(const std::string& status) { return FindChildText(main_, status, true) != nullptr; }
  bool Collecting() { return StatusIs("COLLECTING"); }

  void CloseAndWait() {
    PostMessageA(main_, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process_.hProcess, 30000), WAIT_OBJECT_0);
  }

  std::string folder_;
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
};

TEST_F(TallimoRun, AutoConnectCollectsEveryByteFilteredAndStoresItsSettings) {
  test_support::PtyCable cable;
  const std::string device = "Direct to COM" + std::to_string(cable.ProgramPort());
  WriteSettings("[Maintain]\r\nCommPort=" + device + "\r\nPhoneNum=\r\nAutoConnect=TRUE\r\n");
  Start();
  ASSERT_TRUE(test_support::WaitUntil([&] { return Collecting(); }, 20000)) << AnswerBox(100);

  std::string journal;
  for (int line = 0; line < 400; ++line)
    journal += "ITEM " + std::to_string(line) + "\t  1.25\x1b[0m\r\n" + (line % 7 == 0 ? "\n\n" : "");
  journal += std::string("\x80\xff\x7f end\n", 8);
  cable.Send(journal);
  Sleep(3000);
  CloseAndWait();

  EXPECT_EQ(test_support::ReadFileText(folder_ + "\\" + TodayName(1)), Filtered(journal));
  EXPECT_EQ(test_support::ReadFileText(folder_ + "\\icbr424.cgr"),
            "[Maintain]\r\nCommPort=" + device + "\r\nPhoneNum=\r\nAutoConnect=TRUE\r\n");
}

// The register keeps printing while the user ends the connection: the
// capture file holds exactly the bytes the program took from the line, that
// is everything sent less what the line still holds once the port is closed.
class TallimoLineEnd : public TallimoRun {
 protected:
  enum class End { kExit, kDisconnect };

  void EndWhileTheRegisterSends(End end, std::size_t pace) {
    test_support::PtyCable cable;
    WriteSettings("[Maintain]\r\nCommPort=Direct to COM" + std::to_string(cable.ProgramPort()) +
                  "\r\nAutoConnect=TRUE\r\n");
    Start();
    ASSERT_TRUE(test_support::WaitUntil([&] { return Collecting(); }, 20000)) << AnswerBox(100);
    capture_test::PacedRegister register_(cable, capture_test::NumberedJournal(1000000), pace);
    Sleep(2000);  // the register prints for a while; the end comes while it goes on
    if (end == End::kExit) {
      CloseAndWait();
    } else {
      HWND button = FindChildText(main_, "&Disconnect", true);
      ASSERT_NE(button, nullptr);
      PostMessageA(button, BM_CLICK, 0, 0);
      ASSERT_TRUE(test_support::WaitUntil([&] { return StatusIs("IDLE"); }, 20000)) << AnswerBox(100);
    }
    const std::string left = capture_test::StopAndTakeWhatTheLineHolds(cable, register_);
    if (end == End::kDisconnect) CloseAndWait();  // capture is over: the file is whole on disk
    const std::string sent = register_.Sent();
    const std::string written = test_support::ReadFileText(folder_ + "\\" + TodayName(1));
    capture_test::PrintFigures(end == End::kExit ? "exit" : "disconnect", pace, sent.size(), left.size(),
                               written.size());
    ASSERT_LE(left.size(), sent.size());
    EXPECT_EQ(written.size(), sent.size() - left.size()) << "bytes taken from the line and not written";
    EXPECT_TRUE(written + left == sent) << "the file and what the line holds are not the journal";
    EXPECT_GT(written.size(), pace) << "the program collected too little to tell";
  }
};

TEST_F(TallimoLineEnd, ExitWhileTheRegisterSendsAt9600Baud) {
  EndWhileTheRegisterSends(End::kExit, capture_test::k9600BaudPace);
}
TEST_F(TallimoLineEnd, ExitWhileTheRegisterSendsAt115200Baud) {
  EndWhileTheRegisterSends(End::kExit, capture_test::k115200BaudPace);
}
TEST_F(TallimoLineEnd, DisconnectWhileTheRegisterSendsAt9600Baud) {
  EndWhileTheRegisterSends(End::kDisconnect, capture_test::k9600BaudPace);
}
TEST_F(TallimoLineEnd, DisconnectWhileTheRegisterSendsAt115200Baud) {
  EndWhileTheRegisterSends(End::kDisconnect, capture_test::k115200BaudPace);
}

// The file rolls over when a write takes it past the limit, not only at the
// two-minute timer: the register sends most of the journal at once, then the
// rest at 9600 baud, and the threshold is crossed long before the first tick.
TEST_F(TallimoRun, RolloverTellsTheNewNameAndLosesNothingAtTheSeam) {
  test_support::PtyCable cable;
  WriteSettings("[Maintain]\r\nCommPort=Direct to COM" + std::to_string(cable.ProgramPort()) +
                "\r\nAutoConnect=TRUE\r\n");
  const DWORD launched = GetTickCount();
  Start();
  ASSERT_TRUE(test_support::WaitUntil([&] { return Collecting(); }, 20000)) << AnswerBox(100);

  std::string journal;
  for (int line = 0; journal.size() < 712000; ++line)
    journal += "SALE " + std::to_string(line) + " ........................................ 9.99\r\n";
  const std::size_t atOnce = 688000;  // short of the limit by less than two capture blocks
  cable.Send(journal.substr(0, atOnce));
  // 960 characters a second, in the pieces a register's line delivers.
  constexpr std::size_t kPiece = 96;
  std::string box;
  for (std::size_t at = atOnce; at < journal.size(); at += kPiece) {
    cable.Send(journal.substr(at, kPiece));
    Sleep(100);
    if (box.empty()) box = AnswerBox(0);
  }
  if (box.empty()) box = AnswerBox(30000);
  const DWORD boxAfter = GetTickCount() - launched;
  EXPECT_EQ(box, "File reached max size. New file is " + folder_ + "\\" + TodayName(2));
  EXPECT_LT(boxAfter, 115000u) << "too late to tell the write's rollover from the timer's";
  Sleep(3000);
  CloseAndWait();

  const std::string first = test_support::ReadFileText(folder_ + "\\" + TodayName(1));
  const std::string second = test_support::ReadFileText(folder_ + "\\" + TodayName(2));
  EXPECT_GT(first.size(), 700000u);
  EXPECT_LE(first.size(), 750000u) << "the log viewer must still open it";
  EXPECT_FALSE(second.empty()) << "the rest of the journal goes to the new file";
  EXPECT_TRUE(first + second == journal)
      << first.size() << " + " << second.size() << " of " << journal.size();
}

// A program folder so deep that today's first dated name is longer than 255
// characters: the user is told, and nothing is captured anywhere (not into the
// terminal's own default file) until a file is chosen.
TEST_F(TallimoRun, AFolderTooDeepForADatedNameCapturesNowhere) {
  test_support::PtyCable cable;
  const std::string name = TodayName(1);
  const std::size_t depth = 255 + 4 - 1 - name.size();  // the name is 259 characters long
  std::string deep = folder_ + "\\";
  deep += std::string(depth - deep.size(), 'd');
  test_support::DeleteTree(deep);
  ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << GetLastError();
  folder_ = deep;
  ASSERT_TRUE(CopyFileA(kProgram, (folder_ + "\\Tallimo.exe").c_str(), FALSE)) << GetLastError();
  WriteSettings("[Maintain]\r\nCommPort=Direct to COM" + std::to_string(cable.ProgramPort()) +
                "\r\nAutoConnect=TRUE\r\n");
  Launch();
  EXPECT_EQ(AnswerBox(30000),
            "The capture file name could not be made: it would be longer than 255 "
            "characters.\n\n" +
                folder_ + "\\" + name +
                "\n\nThere is no capture file to collect into: choose one with File, Open, "
                "or move the program to a folder with a shorter path.");
  // The automatic connect finds no capture file and stays idle.
  EXPECT_EQ(AnswerBox(30000),
            "There is no capture file to collect into: choose one with File, Open, or move the program to a "
            "folder with a shorter path.");
  ASSERT_TRUE(test_support::WaitUntil([&] { return (main_ = MainWindow()) != nullptr; }, 30000));
  EXPECT_TRUE(test_support::WaitUntil([&] { return StatusIs("IDLE"); }, 5000));
  cable.Send("RECEIPT 1\r\n");
  Sleep(1000);
  CloseAndWait();
  EXPECT_EQ(test_support::FilesIn(folder_), (std::vector<std::string>{"Tallimo.exe", "icbr424.cgr"}));
}

TEST_F(TallimoRun, AutoConnectDialsThroughTheTelephonyLineAndCollectsFromTheCall) {
  test_support::PtyCable cable;
  test_support::TapiScript script(
      "tallimo_call", "line Shop Modem\nport " + std::to_string(cable.ProgramPort()) + "\nattempt connect\n");
  UseStandIn("tallimo_call");
  WriteSettings("[Maintain]\r\nCommPort=Shop Modem\r\nPhoneNum=(555) 123-4567\r\nAutoConnect=TRUE\r\n");
  Start();
  ASSERT_TRUE(test_support::WaitUntil([&] { return Collecting(); }, 20000)) << AnswerBox(100);
  ASSERT_TRUE(test_support::WaitUntil([&] { return !script.CallsStartingWith("lineGetID").empty(); }, 20000))
      << "the call never handed its port over";
  ASSERT_EQ(script.CallsStartingWith("lineMakeCall").size(), 1u);
  EXPECT_NE(script.CallsStartingWith("lineMakeCall")[0].find("5551234567"), std::string::npos)
      << script.CallsStartingWith("lineMakeCall")[0];

  const std::string journal = "CALL RECEIPT\r\n\n\tTOTAL 3.00\r\n";
  Sleep(500);
  cable.Send(journal);
  Sleep(3000);
  CloseAndWait();

  EXPECT_EQ(test_support::ReadFileText(folder_ + "\\" + TodayName(1)), Filtered(journal));
  EXPECT_EQ(test_support::ReadFileText(folder_ + "\\icbr424.cgr"),
            "[Maintain]\r\nCommPort=Shop Modem\r\nPhoneNum=5551234567\r\nAutoConnect=TRUE\r\n");
}

TEST_F(TallimoRun, AMissingPortIsReportedAndTheWindowStaysIdle) {
  // No test maps COM77: the automatic connect fails with a clear message and
  // leaves the window ready for another try.
  WriteSettings("[Maintain]\r\nCommPort=Direct to COM77\r\nAutoConnect=TRUE\r\n");
  Launch();  // the box comes while the main window is being created
  const std::string box = AnswerBox(30000);
  ASSERT_TRUE(test_support::WaitUntil([&] { return (main_ = MainWindow()) != nullptr; }, 30000));
  EXPECT_EQ(box, "Unable to Open Port, it is either unavailable or in use");
  EXPECT_TRUE(test_support::WaitUntil([&] { return StatusIs("IDLE"); }, 5000));
  EXPECT_FALSE(Collecting());
  CloseAndWait();
}

TEST_F(TallimoRun, TheFarEndHangingUpReturnsTheWindowToIdle) {
  test_support::PtyCable cable;
  test_support::TapiScript script(
      "tallimo_hangup",
      "line Shop Modem\nport " + std::to_string(cable.ProgramPort()) + "\nattempt hangup 1500\n");
  UseStandIn("tallimo_hangup");
  WriteSettings("[Maintain]\r\nCommPort=Shop Modem\r\nPhoneNum=5551234\r\nAutoConnect=TRUE\r\n");
  Start();
  ASSERT_TRUE(test_support::WaitUntil([&] { return Collecting(); }, 20000)) << AnswerBox(100);
  EXPECT_TRUE(test_support::WaitUntil([&] { return FindChildText(main_, "Connec&t") != nullptr; }, 20000))
      << "still connected after the far end hung up";
  EXPECT_EQ(AnswerBox(500), "") << "no message for an ordinary hang-up";
  CloseAndWait();
}

TEST_F(TallimoRun, ABusyLineEndsIdleWithTheModemBoxAfterItsRetries) {
  test_support::TapiScript script("tallimo_busy", "line Shop Modem\nattempt busy\n");
  UseStandIn("tallimo_busy");
  WriteSettings("[Maintain]\r\nCommPort=Shop Modem\r\nPhoneNum=5551234\r\nAutoConnect=TRUE\r\n");
  Start();
  ASSERT_TRUE(test_support::WaitUntil([&] { return StatusIs("DIALING"); }, 20000)) << AnswerBox(100);
  // Three attempts a minute apart, as the line device does by default.
  EXPECT_EQ(AnswerBox(150000), "Unable to Connect to Modem");
  EXPECT_EQ(script.CallsStartingWith("lineMakeCall").size(), 3u);
  EXPECT_TRUE(test_support::WaitUntil([&] { return StatusIs("IDLE"); }, 5000));
  EXPECT_NE(FindChildText(main_, "Connec&t", true), nullptr) << "ready to connect again";
  CloseAndWait();
}

TEST_F(TallimoRun, ALineThatIsGoneIsChosenAgainFromTheLinesPresent) {
  test_support::PtyCable cable;
  test_support::TapiScript script("tallimo_gone", "line Shop Modem\nline Back Office Modem\nport " +
                                                      std::to_string(cable.ProgramPort()) +
                                                      "\nattempt connect\n");
  UseStandIn("tallimo_gone");
  WriteSettings("[Maintain]\r\nCommPort=Old Modem\r\nPhoneNum=5551234\r\nAutoConnect=TRUE\r\n");
  Launch();
  // The line device asks which line to use, offering the lines only.
  HWND dialog = nullptr;
  ASSERT_TRUE(test_support::WaitUntil(
      [&] { return (dialog = FindTopWindow(process_.dwProcessId, "", "Device Selection")) != nullptr; },
      30000))
      << AnswerBox(100);
  HWND list = FindWindowExA(dialog, nullptr, "ComboBox", nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 2) << "lines only, no \"Direct to COM\" items";
  SendMessageA(list, CB_SETCURSEL, 1, 0);
  HWND ok = FindChildText(dialog, "OK");
  ASSERT_NE(ok, nullptr);
  PostMessageA(ok, BM_CLICK, 0, 0);

  ASSERT_TRUE(test_support::WaitUntil([&] { return (main_ = MainWindow()) != nullptr; }, 30000));
  ASSERT_TRUE(test_support::WaitUntil([&] { return Collecting(); }, 20000)) << AnswerBox(100);
  ASSERT_TRUE(
      test_support::WaitUntil([&] { return !script.CallsStartingWith("lineMakeCall").empty(); }, 20000));
  const auto opens = script.CallsStartingWith("lineOpen");
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].rfind("lineOpen dev=1 ", 0), 0u) << opens[0];
  CloseAndWait();
}

// Print preview ids of the tool bar's buttons.
constexpr int kPreviewPrint = 109;
constexpr int kPreviewSave = 110;

TEST_F(TallimoRun, ViewLogsFindAllPreviewsAndPrintsEveryMatchingLine) {
  test_support::PdfOutput output;
  // The capture file's name is unique: it is in the printed title, and the
  // PDF printer names its file after the title.
  const std::string stem = test_support::PdfOutput::UniqueTitle("journal");
  const std::string fileName = stem + ".txt";
  std::string journal;
  std::vector<std::string> entries;
  for (int line = 0; line < 900; ++line) {
    if (line % 3 == 1) {
      const std::string text =
          "SUB TOTAL " + std::to_string(line) + ".25 RECEIPT " + std::to_string(line / 3);
      entries.push_back(std::to_string(line) + " " + text);
      journal += text + "\r\n";
    } else {
      journal += "ITEM " + std::to_string(line) + " COFFEE 2.40\r\n";
    }
  }
  test_support::WriteFileText(folder_ + "\\" + fileName, journal);
  WriteSettings("[Maintain]\r\nCommPort=\r\nAutoConnect=FALSE\r\n");
  Start();

  // View Logs, then File, Open... by the menu's letters.
  HWND viewLogs = FindChildText(main_, "View &Logs", true);
  ASSERT_NE(viewLogs, nullptr);
  PostMessageA(viewLogs, BM_CLICK, 0, 0);
  HWND viewer = nullptr;
  ASSERT_TRUE(test_support::WaitUntil(
      [&] {
        return (viewer = FindTopWindow(process_.dwProcessId, "",
                                       "Quorvane - View Logs - No File Selected")) != nullptr;
      },
      20000))
      << AnswerBox(100);
  PostMessageA(viewer, WM_SYSCOMMAND, SC_KEYMENU, 'f');
  ASSERT_TRUE(test_support::WaitUntil(
      [&] { return FindTopWindow(process_.dwProcessId, "#32768") != nullptr; }, 10000))
      << "the File menu did not drop down";
  PostMessageA(viewer, WM_CHAR, 'o', 0);

  // The system's open dialog, in the program's folder: the name alone opens it.
  HWND dialog = nullptr;
  ASSERT_TRUE(test_support::WaitUntil(
      [&] { return (dialog = FindTopWindow(process_.dwProcessId, "#32770", "Open")) != nullptr; }, 20000));
  HWND nameField = nullptr;
  ASSERT_TRUE(test_support::WaitUntil(
      [&] { return (nameField = FindChildOfClass(dialog, "Edit")) != nullptr; }, 10000));
  SendMessageA(nameField, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(test_support::WaitUntil(
      [&] { return WindowText(viewer) == "Quorvane - View Logs - " + fileName; }, 20000))
      << WindowText(viewer) << " " << AnswerBox(100);

  // Find All for "total", then Print Preview in the results window.
  HWND searchField = FindChildOfClass(viewer, "Edit");
  ASSERT_NE(searchField, nullptr);
  SendMessageA(searchField, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("total"));
  HWND findAll = FindChildText(viewer, "Find &All", true);
  ASSERT_NE(findAll, nullptr);
  ASSERT_TRUE(test_support::WaitUntil([&] { return IsWindowEnabled(findAll) != FALSE; }, 5000));
  PostMessageA(findAll, BM_CLICK, 0, 0);
  HWND results = nullptr;
  ASSERT_TRUE(test_support::WaitUntil(
      [&] { return (results = FindTopWindow(process_.dwProcessId, "", "Search Results")) != nullptr; },
      20000))
      << AnswerBox(100);
  HWND printPreview = FindChildText(results, "Print &Preview", true);
  ASSERT_NE(printPreview, nullptr);
  ASSERT_TRUE(IsWindowEnabled(printPreview));
  PostMessageA(printPreview, BM_CLICK, 0, 0);

  // The preview, once its run has stored every page: the status no longer
  // changes and the report can be saved whole.
  const std::string title = "Search Results - " + fileName;
  HWND preview = nullptr;
  ASSERT_TRUE(test_support::WaitUntil(
      [&] { return (preview = FindTopWindow(process_.dwProcessId, "", title)) != nullptr; }, 30000))
      << AnswerBox(100);
  HWND statusBar = FindChildOfClass(preview, STATUSCLASSNAMEA);
  HWND toolBar = FindChildOfClass(preview, TOOLBARCLASSNAMEA);
  ASSERT_NE(statusBar, nullptr);
  ASSERT_NE(toolBar, nullptr);
  std::string status;
  DWORD steadySince = GetTickCount();
  ASSERT_TRUE(test_support::WaitUntil(
      [&] {
        const std::string now = StatusText(process_.hProcess, statusBar, 1);
        if (now != status) {
          status = now;
          steadySince = GetTickCount();
        }
        return status.rfind("Page 1 of ", 0) == 0 &&
               SendMessageA(toolBar, TB_ISBUTTONENABLED, kPreviewSave, 0) &&
               GetTickCount() - steadySince > 1500;
      },
      60000))
      << status;
  RECT area;
  GetWindowRect(preview, &area);
  EXPECT_TRUE(test_support::ImportDisplayArea("..\\tallimo_search_results_preview.png", area));

  // Print, from the preview's tool bar; the progress form shows meanwhile.
  PostMessageA(preview, WM_COMMAND, MAKEWPARAM(kPreviewPrint, BN_CLICKED), reinterpret_cast<LPARAM>(toolBar));
  HWND progress = nullptr;
  if (test_support::WaitUntil(
          [&] {
            return (progress = FindTopWindow(process_.dwProcessId, "", "Printing progress")) != nullptr;
          },
          20000)) {
    GetWindowRect(progress, &area);
    test_support::ImportDisplayArea("..\\tallimo_search_results_printing.png", area);
  }
  EXPECT_NE(progress, nullptr) << "no progress form while printing";
  const std::string pdf = output.WaitForPdf("*" + stem);
  const std::string info = output.Info(pdf);
  EXPECT_EQ(status, "Page 1 of " + std::to_string(test_support::PdfPageCount(info)));
  EXPECT_GT(test_support::PdfPageCount(info), 1);
  EXPECT_EQ(test_support::PdfPageSize(info), "612 x 792");
  const std::string text = CollapseBlanks(output.Text(pdf));
  // The title's hyphen reads back as another dash: its two sides are checked.
  EXPECT_NE(text.find("Search Results"), std::string::npos) << text.substr(0, 300);
  EXPECT_NE(text.find(fileName), std::string::npos) << text.substr(0, 300);
  size_t at = 0;
  for (const std::string& entry : entries) {
    const size_t found = text.find(entry, at);
    ASSERT_NE(found, std::string::npos) << entry << " missing, or out of order";
    at = found + entry.size();
  }
  EXPECT_EQ(text.find("ITEM"), std::string::npos) << "a line without the text was printed";
  EXPECT_EQ(text.find("COFFEE"), std::string::npos);

  // Closing the preview, the results and the viewer leaves the main window.
  PostMessageA(preview, WM_CLOSE, 0, 0);
  ASSERT_TRUE(test_support::WaitUntil([&] { return !IsWindow(preview); }, 20000));
  PostMessageA(results, WM_CLOSE, 0, 0);
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  ASSERT_TRUE(test_support::WaitUntil([&] { return !IsWindow(viewer); }, 20000)) << AnswerBox(100);
  CloseAndWait();
}

}  // namespace
