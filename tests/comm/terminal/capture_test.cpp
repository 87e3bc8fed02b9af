#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "comm/terminal/buffer_errors.h"
#include "comm/terminal/capture_buffer.h"
#include "tests/comm/terminal/file_capture_writer.h"
#include "tests/comm/terminal/harness.h"

namespace {

namespace fs = std::filesystem;
using comm::testing::FileCaptureWriter;
using comm::testing::RecordingView;
using comm::testing::ScriptedWriter;
using comm::testing::Terminal;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class CaptureFile : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path("capture_test_files") / testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  fs::path folder;
  FileCaptureWriter writer;
};

struct StreamCase {
  const char* what;
  int type;
  std::string input;
  std::string file;
};

class CaptureStreams : public testing::TestWithParam<StreamCase> {};

// The file holds exactly the bytes that reached the buffer's write, in order.
TEST_P(CaptureStreams, FileHoldsExactlyTheWrittenBytes) {
  const StreamCase& c = GetParam();
  std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
  for (char& ch : name)
    if (ch == '/') ch = '_';
  const fs::path path = fs::path("capture_stream_" + name + ".cap");
  FileCaptureWriter writer;
  {
    Terminal t(c.type, 200, 80, 25, &writer);
    ASSERT_EQ(t.buffer.ControlCapture(true, false, path.string()), 0);
    t.Feed(c.input);
    ASSERT_EQ(t.buffer.ControlCapture(false, false, ""), 0);
  }
  EXPECT_EQ(ReadFile(path), c.file) << c.what;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Fixtures, CaptureStreams, testing::Values(
  StreamCase{"the 80th character wraps and adds no byte", etANSI, std::string(80, 'a') + "b", std::string(80, 'a') + "b"},
  StreamCase{"CR LF stays two bytes", etANSI, "x\r\ny", "x\r\ny"},
  StreamCase{"BS at column 0 is captured", etANSI, "\b\bz\b", "\b\bz\b"},
  StreamCase{"escape sequences leave nothing", etANSI, "a\x1b[31mb\x1b[5;5Hc\x1b[K", "abc"},
  StreamCase{"unknown escape writes its character", etVT100, "\x1bYq", "Yq"},
  StreamCase{"tab moves without a byte", etANSI, "a\tb", "ab"},
  StreamCase{"NUL through the emulator is not written", etANSI, std::string("a\0b", 3), "ab"}));
// clang-format on

TEST_F(CaptureFile, EmptyNameWritesCaptureCapInCurrentFolder) {
  const fs::path old = fs::current_path();
  fs::current_path(folder);
  {
    FileCaptureWriter local;
    Terminal t(etANSI, 200, 80, 25, &local);
    EXPECT_EQ(t.buffer.ControlCapture(true, false, ""), 0);
    EXPECT_EQ(t.buffer.CaptureName(), "CAPTURE.CAP");
    t.Feed("hello");
    EXPECT_EQ(t.buffer.ControlCapture(false, false, ""), 0);
  }
  fs::current_path(old);
  EXPECT_EQ(ReadFile(folder / "CAPTURE.CAP"), "hello");
}

TEST_F(CaptureFile, AppendCreatesMissingFileAndKeepsExistingBytes) {
  const fs::path path = folder / "journal.txt";
  Terminal t(etANSI, 200, 80, 25, &writer);
  ASSERT_EQ(t.buffer.ControlCapture(true, true, path.string()), 0);
  t.Feed("one\r\n");
  ASSERT_EQ(t.buffer.ControlCapture(false, false, ""), 0);
  ASSERT_EQ(t.buffer.ControlCapture(true, true, path.string()), 0);
  t.Feed("two");
  ASSERT_EQ(t.buffer.ControlCapture(false, false, ""), 0);
  EXPECT_EQ(ReadFile(path), "one\r\ntwo");
}

TEST_F(CaptureFile, OpenWithoutAppendTruncates) {
  const fs::path path = folder / "journal.txt";
  WriteFile(path, "old contents");
  Terminal t(etANSI, 200, 80, 25, &writer);
  ASSERT_EQ(t.buffer.ControlCapture(true, false, path.string()), 0);
  t.Feed("new");
  ASSERT_EQ(t.buffer.ControlCapture(false, false, ""), 0);
  EXPECT_EQ(ReadFile(path), "new");
}

TEST_F(CaptureFile, MissingFolderGivesNegativeCodeAndCaptureOff) {
  Terminal t(etANSI, 200, 80, 25, &writer);
  EXPECT_EQ(t.buffer.ControlCapture(true, true, (folder / "no such folder" / "x.txt").string()), -3);
  EXPECT_FALSE(t.buffer.Capturing());
  t.Feed("ignored");
  EXPECT_EQ(t.buffer.CaptureHeld(), 0u);
}

TEST_F(CaptureFile, OpenWhileOnClosesFirstAndOpensTheNewFile) {
  const fs::path first = folder / "first.txt", second = folder / "second.txt";
  Terminal t(etANSI, 200, 80, 25, &writer);
  ASSERT_EQ(t.buffer.ControlCapture(true, false, first.string()), 0);
  t.Feed("to first");
  EXPECT_EQ(t.buffer.ControlCapture(true, false, second.string()), 0);
  EXPECT_TRUE(t.buffer.Capturing());
  t.Feed("to second");
  ASSERT_EQ(t.buffer.ControlCapture(false, false, ""), 0);
  EXPECT_EQ(ReadFile(first), "to first");
  EXPECT_EQ(ReadFile(second), "to second");
}

TEST_F(CaptureFile, OpenWhileOnReturnsTheFailingOpensResult) {
  Terminal t(etANSI, 200, 80, 25, &writer);
  ASSERT_EQ(t.buffer.ControlCapture(true, false, (folder / "a.txt").string()), 0);
  EXPECT_EQ(t.buffer.ControlCapture(true, false, (folder / "missing" / "b.txt").string()), -3);
  EXPECT_FALSE(t.buffer.Capturing());
}

TEST(Capture, ClearPageLineFeedsReachTheFile) {
  ScriptedWriter writer;
  Terminal t(etANSI, 200, 80, 150, &writer);
  ASSERT_EQ(t.buffer.ControlCapture(true, false, "x"), 0);
  t.Feed("a\x1b[2J");
  ASSERT_EQ(t.buffer.ControlCapture(false, false, ""), 0);
  EXPECT_EQ(writer.file, "a" + std::string(150, '\n'));
}

TEST(Capture, FullBlockIsWrittenAtOnceAndNextByteStartsNewBlock) {
  ScriptedWriter writer;
  Terminal t(etANSI, 200, 80, 25, &writer);
  ASSERT_EQ(t.buffer.ControlCapture(true, false, "x"), 0);
  t.Feed(std::string(comm::captureBlockSize - 1, 'a'));
  EXPECT_TRUE(writer.blocks.empty());
  t.Feed("b");
  EXPECT_EQ(writer.blocks, (std::vector<std::size_t>{8192}));
  t.Feed("c");
  EXPECT_EQ(t.buffer.CaptureHeld(), 1u);
  ASSERT_EQ(t.buffer.ControlCapture(false, false, ""), 0);
  EXPECT_EQ(writer.blocks, (std::vector<std::size_t>{8192, 1}));
  EXPECT_EQ(writer.file.size(), 8193u);
}

TEST(Capture, ShortWriteReportsErrorAndKeepsUnwrittenBytesForNextOpen) {
  ScriptedWriter writer;
  Terminal t(etANSI, 200, 80, 25, &writer);
  ASSERT_EQ(t.buffer.ControlCapture(true, false, "x"), 0);
  writer.writeLimit = 3;
  t.Feed("abcdef");
  EXPECT_EQ(t.buffer.ControlCapture(false, false, ""), comm::captureShortWrite);
  ASSERT_EQ(t.view.errors.size(), 1u);
  EXPECT_EQ(t.view.errors[0], (std::pair<std::uint16_t, std::int32_t>{101, 0}));
  EXPECT_FALSE(t.buffer.Capturing());
  EXPECT_FALSE(writer.isOpen);
  EXPECT_EQ(t.buffer.CaptureHeld(), 3u);
  EXPECT_EQ(writer.file, "abc");

  writer.writeLimit = SIZE_MAX;
  EXPECT_EQ(t.buffer.ControlCapture(true, true, "x"), 0);
  EXPECT_EQ(t.buffer.CaptureHeld(), 0u);
  EXPECT_EQ(writer.file, "abcdef");
  t.Feed("g");
  ASSERT_EQ(t.buffer.ControlCapture(false, false, ""), 0);
  EXPECT_EQ(writer.file, "abcdefg");
}

TEST(Capture, FailedWriteOfFullBlockKeepsEveryByte) {
  ScriptedWriter writer;
  Terminal t(etANSI, 200, 80, 25, &writer);
  ASSERT_EQ(t.buffer.ControlCapture(true, false, "x"), 0);
  writer.writeLimit = 0;
  writer.writeError = 112;  // disk full
  t.Feed(std::string(comm::captureBlockSize, 'q'));
  EXPECT_FALSE(t.buffer.Capturing());
  ASSERT_EQ(t.view.errors.size(), 1u);
  EXPECT_EQ(t.view.errors[0].first, 101);  // fewer written than held
  EXPECT_EQ(t.buffer.CaptureHeld(), comm::captureBlockSize);
  t.Feed("lost while off");
  writer.writeLimit = SIZE_MAX;
  writer.writeError = 0;
  ASSERT_EQ(t.buffer.ControlCapture(true, true, "x"), 0);
  EXPECT_EQ(writer.file, std::string(comm::captureBlockSize, 'q'));
}

TEST(Capture, WriteErrorWithAllBytesWrittenReportsTheErrorNumber) {
  struct FailingAfterWrite : ScriptedWriter {
    int Write(const std::uint8_t* b, std::size_t n, std::size_t& w) override {
      ScriptedWriter::Write(b, n, w);
      return 5;
    }
  } failing;
  Terminal t(etANSI, 200, 80, 25, &failing);
  ASSERT_EQ(t.buffer.ControlCapture(true, false, "x"), 0);
  t.Feed("abc");
  EXPECT_EQ(t.buffer.ControlCapture(false, false, ""), -5);
  ASSERT_EQ(t.view.errors.size(), 1u);
  EXPECT_EQ(t.view.errors[0].first, 5);
  EXPECT_EQ(t.buffer.CaptureHeld(), 0u);
}

TEST(Capture, NameIsBoundedTo255Characters) {
  ScriptedWriter writer;
  Terminal t(etANSI, 200, 80, 25, &writer);
  ASSERT_EQ(t.buffer.ControlCapture(true, false, std::string(400, 'n')), 0);
  EXPECT_EQ(t.buffer.CaptureName().size(), 255u);
  EXPECT_EQ(writer.opens.back().first.size(), 255u);
}

TEST(Capture, RecreatedWindowKeepsGrowingTheSameFile) {
  ScriptedWriter writer;
  comm::BufferSnapshot saved;
  {
    Terminal t(etANSI, 200, 80, 25, &writer);
    ASSERT_EQ(t.buffer.ControlCapture(true, false, "journal.txt"), 0);
    t.Feed("before\r\n");
    saved = t.buffer.SaveState();
    EXPECT_FALSE(t.buffer.Capturing());
    EXPECT_EQ(writer.file, "before\r\n");
  }
  const int closesBefore = writer.closes;
  Terminal t(etANSI, 200, 80, 25, &writer);
  EXPECT_EQ(t.buffer.RestoreState(saved), 0);
  EXPECT_EQ(writer.closes, closesBefore);  // nothing closed twice
  EXPECT_TRUE(t.buffer.Capturing());
  EXPECT_EQ(writer.opens.back(), (std::pair<std::string, bool>{"journal.txt", true}));
  EXPECT_EQ(t.buffer.CursorRow(), 1);
  EXPECT_EQ(t.buffer.RowText(0).substr(0, 6), "before");
  t.Feed("after");
  ASSERT_EQ(t.buffer.ControlCapture(false, false, ""), 0);
  EXPECT_EQ(writer.file, "before\r\nafter");
}

TEST(Capture, RestoreRefusesInconsistentSnapshot) {
  ScriptedWriter writer;
  Terminal t(etANSI, 200, 80, 25, &writer);
  comm::BufferSnapshot saved = t.buffer.SaveState();
  saved.rows = 300;
  EXPECT_EQ(t.buffer.RestoreState(saved), comm::codes::kBadArgument);
  EXPECT_EQ(t.buffer.Rows(), 200);
}

}  // namespace
