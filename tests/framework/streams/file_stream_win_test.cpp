// The Windows file stream's open modes and file dates, on real files.
#include "framework/streams/file_stream_win.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

constexpr double kSecond = 1.0 / 86400;

std::string Fresh(const char* name) {
  DeleteFileA(name);
  return name;
}

TEST(FileOpenModes, OpenExistingFilesOrCreateNewOnes) {
  const std::string path = Fresh("fw_stream_modes.bin");
  EXPECT_EQ(OpenFileHandle(path, FileOpenMode::ReadShared), INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenFileHandle(path, FileOpenMode::ReadWriteShared), INVALID_HANDLE_VALUE);
  {
    Win32FileStream created(OpenFileHandle(path, FileOpenMode::Create), path);
    created.WriteExact("abc", 3);
    // Readers may share a file being written; nobody may write beside it.
    HANDLE reader = OpenFileHandle(path, FileOpenMode::ReadShared);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    EXPECT_EQ(OpenFileHandle(path, FileOpenMode::ReadWriteShared), INVALID_HANDLE_VALUE);
  }
  Win32FileStream both(OpenFileHandle(path, FileOpenMode::ReadWriteShared), path);
  Win32FileStream reader(OpenFileHandle(path, FileOpenMode::ReadShared), path);
  EXPECT_EQ(both.Size(), 3);
  both.SetPosition(3);
  both.WriteExact("d", 1);
  char bytes[4];
  reader.ReadExact(bytes, 4);
  EXPECT_EQ(std::string(bytes, 4), "abcd");
}

TEST(FileDates, LocalDateTimesInTwoSecondSteps) {
  const std::string path = Fresh("fw_stream_dates.bin");
  CloseHandle(OpenFileHandle(path, FileOpenMode::Create));
  struct Case {
    double set, read;
  } cases[] = {{36526.5, 36526.5},
               {36526.5 + 7 * kSecond, 36526.5 + 6 * kSecond},
               {45000.75, 45000.75},
               {20000.5 + 7 * kSecond, 20000.5 + 7 * kSecond}};  // 1954: before DOS dates
  for (const Case& c : cases) {
    ASSERT_TRUE(SetFileDate(path, c.set));
    double date = 0;
    ASSERT_TRUE(GetFileDate(path, date));
    EXPECT_NEAR(date, c.read, 1e-9) << c.set;
  }
  double date;
  EXPECT_FALSE(GetFileDate(Fresh("fw_stream_missing.bin"), date));
  EXPECT_FALSE(SetFileDate("fw_stream_missing.bin", 36526.5));
}

}  // namespace
}  // namespace fw
