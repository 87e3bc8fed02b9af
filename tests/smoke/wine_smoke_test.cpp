// Windows API calls behave under the test prefix as the tests assume.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

TEST(WinePrefix, FileRoundTripThroughWin32Api) {
  char folder[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  char path[MAX_PATH];
  ASSERT_NE(GetTempFileNameA(folder, "smk", 0, path), 0u);

  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const std::string text = "journal\r\n";
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
  CloseHandle(file);

  file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char buffer[64] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
  CloseHandle(file);
  DeleteFileA(path);
  EXPECT_EQ(std::string(buffer, read), text);
}
