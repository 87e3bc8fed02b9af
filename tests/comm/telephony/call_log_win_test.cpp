// The call history file and the locale timestamp under Wine.
#include "comm/telephony/call_log_win.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "framework/exceptions.h"

namespace comm {
namespace {

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(LogTimestamp, IsTheLocalesShortDateAndLongTime) {
  SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
  if (GetUserDefaultLCID() != MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT))
    GTEST_SKIP() << "the prefix's user locale is not English (US)";
  SYSTEMTIME time{};
  time.wYear = 2026, time.wMonth = 12, time.wDay = 8, time.wHour = 15, time.wMinute = 4, time.wSecond = 5;
  EXPECT_EQ(FormatLogTimestamp(time), "12/8/2026 3:04:05 PM");
}

TEST(SystemHistoryFile, CreatesAMissingFileThenAppends) {
  const std::string path = "history_create.his";
  DeleteFileA(path.c_str());
  SystemHistoryFile file;
  TApdTapiLog log(nullptr, [] { return std::string("T"); }, file);
  log.TapiHistoryName = path;
  log.UpdateLog(TTapiLogCode::ltapiCallStart);
  log.UpdateLog(TTapiLogCode::ltapiCallFinish);
  EXPECT_EQ(Contents(path), "T : call started\r\nT : call finished\r\n\r\n");
}

TEST(SystemHistoryFile, ALockedHistoryIsReportedAndKept) {
  const std::string path = "history_locked.his";
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "earlier calls\r\n";
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  SystemHistoryFile file(200);
  try {
    file.Append(path, "new\r\n");
    ADD_FAILURE() << "no error for a locked file";
  } catch (const fw::EInOutError& error) {
    EXPECT_EQ(error.ErrorCode, 32);
  }
  CloseHandle(lock);
  EXPECT_EQ(Contents(path), "earlier calls\r\n");
}

TEST(SystemHistoryFile, AShortLockIsWaitedFor) {
  const std::string path = "history_short_lock.his";
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "earlier calls\r\n";
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  std::thread release([lock] {
    Sleep(200);
    CloseHandle(lock);
  });
  SystemHistoryFile file(3000);
  file.Append(path, "new\r\n");
  release.join();
  EXPECT_EQ(Contents(path), "earlier calls\r\nnew\r\n");
}

TEST(SystemHistoryFile, AFolderThatDoesNotExistIsAnError) {
  SystemHistoryFile file;
  EXPECT_THROW(file.Append("no_such_folder\\x.his", "x"), fw::EInOutError);
}

}  // namespace
}  // namespace comm
