// Threads and text files, through the real Win32 calls under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>

#include "framework/exceptions.h"
#include "framework/locale.h"
#include "framework/textfile.h"
#include "framework/thread.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(TextFileWriter, RewriteThenAppendWithCrLfLineEnds) {
  fw::TextFileWriter writer;
  writer.Rewrite("textfile_lines.txt");
  writer.WriteLine("first");
  writer.Close();
  writer.Append("textfile_lines.txt");
  writer.Write("sec");
  writer.WriteLine("ond");
  writer.Close();
  EXPECT_EQ(ReadAll("textfile_lines.txt"), "first\r\nsecond\r\n");
  writer.Rewrite("textfile_lines.txt");
  writer.Close();
  EXPECT_EQ(ReadAll("textfile_lines.txt"), "");
}

TEST(TextFileWriter, BuffersFiveHundredTwelveBytesAndFlushesTheRest) {
  fw::TextFileWriter writer;
  writer.Rewrite("textfile_buffer.txt");
  writer.Write(std::string(511, 'a'));
  EXPECT_EQ(ReadAll("textfile_buffer.txt").size(), 0u) << "written before the buffer was full";
  writer.Write("bc");
  EXPECT_EQ(ReadAll("textfile_buffer.txt").size(), 512u);
  writer.Write(std::string(2000, 'd'));
  writer.Close();
  EXPECT_EQ(ReadAll("textfile_buffer.txt").size(), 2513u);
}

TEST(TextFileWriter, FailuresCarryTheWindowsErrorNumber) {
  struct Case {
    const char* what;
    int code;
  };
  // Held open without sharing, as another program would.
  HANDLE held = CreateFileA("textfile_held.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  for (const Case& c : {Case{"append to a missing file", 2}, Case{"rewrite in a missing folder", 3},
                        Case{"rewrite a file in use", 32}, Case{"write to a closed file", 103}}) {
    fw::TextFileWriter writer;
    try {
      const std::string what = c.what;
      if (what == "append to a missing file") writer.Append("textfile_missing.txt");
      if (what == "rewrite in a missing folder") writer.Rewrite("no such folder\\x.txt");
      if (what == "rewrite a file in use") writer.Rewrite("textfile_held.txt");
      if (what == "write to a closed file") writer.WriteLine("x");
      ADD_FAILURE() << c.what << ": no error";
    } catch (const fw::EInOutError& error) {
      EXPECT_EQ(error.ErrorCode, c.code) << c.what;
    }
  }
  CloseHandle(held);
}

class CountingThread : public fw::TThread {
 public:
  explicit CountingThread(bool suspended) : TThread(suspended) {}
  ~CountingThread() override {
    Terminate();
    if (Started() && !Finished()) WaitFor();
  }
  std::atomic<int> loops{0};
  HWND notify = nullptr;

 protected:
  void Execute() override {
    while (!Terminated()) {
      ++loops;
      if (notify) SendMessageA(notify, WM_USER, 0, 0);  // answered while the creator waits
      Sleep(1);
    }
    ReturnValue = 7;
  }
};

TEST(Thread, RunsUntilTerminatedAndWaitForReturnsItsValueWhileServingSentMessages) {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  CountingThread thread(true);
  thread.notify = window;
  thread.SetPriority(fw::TThreadPriority::tpLower);
  EXPECT_EQ(thread.Priority(), fw::TThreadPriority::tpLower);
  thread.Start();
  while (thread.loops < 3) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(1);
  }
  thread.Terminate();
  EXPECT_EQ(thread.WaitFor(), 7u);
  EXPECT_TRUE(thread.Finished());
  DestroyWindow(window);
}

TEST(Thread, FreeOnTerminateFreesTheObjectAndAnExceptionIsKept) {
  static std::atomic<bool> destroyed{false};
  class OneShot : public fw::TThread {
   public:
    OneShot() : TThread(true) { FreeOnTerminate = true; }
    ~OneShot() override { destroyed = true; }

   protected:
    void Execute() override {}
  };
  (new OneShot())->Start();
  for (int i = 0; i < 500 && !destroyed; ++i) Sleep(2);
  EXPECT_TRUE(destroyed);

  class Failing : public fw::TThread {
   public:
    Failing() : TThread(false) {}

   protected:
    void Execute() override { throw fw::EInOutError(5); }
  };
  Failing failing;
  failing.WaitFor();
  ASSERT_TRUE(failing.FatalException());
  EXPECT_THROW(std::rethrow_exception(failing.FatalException()), fw::EInOutError);
}

TEST(Thread, ASuspendedThreadThatNeverStartedIsFreedWithoutHanging) {
  auto* thread = new CountingThread(true);
  delete thread;
  SUCCEED();
}

TEST(Locale, DateAndTimeFollowTheLocaleFormats) {
  SYSTEMTIME time{};
  time.wYear = 2026;
  time.wMonth = 12;
  time.wDay = 10;
  time.wHour = 14;
  time.wMinute = 5;
  time.wSecond = 9;
  const LCID unitedStates = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
  const LCID germany = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
  EXPECT_EQ(fw::DateTimeText(time, unitedStates), "12/10/2026 2:05:09 PM");
  EXPECT_EQ(fw::DateTimeText(time, germany), "10.12.2026 14:05:09");
  time.wMonth = 13;
  EXPECT_THROW(fw::ShortDateText(time, unitedStates), fw::EConvertError);
}

TEST(Locale, ThousandSeparatorsOfTheLocale) {
  EXPECT_EQ(fw::ThousandSeparator(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT)), ",");
  EXPECT_EQ(fw::ThousandSeparator(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT)), ".");
}

}  // namespace
