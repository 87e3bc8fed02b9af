#include "comm/terminal/capture_writer_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "comm/terminal/screen_buffer.h"
#include "tests/comm/terminal/buffer_fakes.h"

namespace {

using comm::testing::RecordingView;

class Win32Capture : public testing::Test {
 protected:
  void SetUp() override {
    path = std::string("win32_capture_") + testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    DeleteFileA(path.c_str());
  }
  void TearDown() override { DeleteFileA(path.c_str()); }

  void Feed(const std::string& bytes) {
    for (unsigned char ch : bytes) buffer.HandleChar(ch);
  }
  static std::string ReadShared(const std::string& name) {
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<open failed " + std::to_string(GetLastError()) + ">";
    std::string bytes(65536, '\0');
    DWORD got = 0;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
  }

  std::string path;
  RecordingView view;
  comm::Win32CaptureWriter writer;
  TBuffer buffer{&view, 200, 80, &writer};
};

TEST_F(Win32Capture, FileCanBeReadWhileCaptureIsOn) {
  ASSERT_EQ(buffer.ControlCapture(true, false, path), 0);
  Feed(std::string(8192, 'x'));  // one full block reaches the disk
  EXPECT_EQ(ReadShared(path), std::string(8192, 'x'));
  EXPECT_TRUE(buffer.Capturing());
  EXPECT_EQ(buffer.ControlCapture(false, false, ""), 0);
}

TEST_F(Win32Capture, AppendCreatesMissingFileThenAppends) {
  ASSERT_EQ(buffer.ControlCapture(true, true, path), 0);
  Feed("one\r\n");
  ASSERT_EQ(buffer.ControlCapture(false, false, ""), 0);
  ASSERT_EQ(buffer.ControlCapture(true, true, path), 0);
  Feed("two");
  ASSERT_EQ(buffer.ControlCapture(false, false, ""), 0);
  EXPECT_EQ(ReadShared(path), "one\r\ntwo");
}

TEST_F(Win32Capture, OpenWithoutAppendTruncates) {
  ASSERT_EQ(buffer.ControlCapture(true, false, path), 0);
  Feed("a long first text");
  ASSERT_EQ(buffer.ControlCapture(false, false, ""), 0);
  ASSERT_EQ(buffer.ControlCapture(true, false, path), 0);
  Feed("short");
  ASSERT_EQ(buffer.ControlCapture(false, false, ""), 0);
  EXPECT_EQ(ReadShared(path), "short");
}

TEST_F(Win32Capture, FileHeldExclusivelyGivesSharingViolation) {
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(buffer.ControlCapture(true, true, path), -32);
  EXPECT_FALSE(buffer.Capturing());
  CloseHandle(held);
}

TEST_F(Win32Capture, MissingFolderGivesPathNotFound) {
  EXPECT_EQ(buffer.ControlCapture(true, true, "no_such_folder\\journal.txt"), -3);
  EXPECT_FALSE(buffer.Capturing());
}

}  // namespace
