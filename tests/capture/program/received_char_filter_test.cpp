// The bytes that reach the capture file through a real screen buffer whose
// emulator is the program's filter.
#include "capture/program/received_char_filter.h"

#include <gtest/gtest.h>

#include <string>

#include "comm/terminal/screen_buffer.h"
#include "tests/comm/terminal/buffer_fakes.h"

namespace {

using comm::testing::RecordingView;
using comm::testing::ScriptedWriter;

// The program's filter, counting what it says it writes (the sender is the count).
void CountingFilter(void* sender, std::uint8_t ch, TEmuCommand& command) {
  FilterReceivedChar(sender, ch, command);
  *static_cast<std::size_t*>(sender) += capture::BytesWritten(command);
}

class FilteredCapture {
 public:
  FilteredCapture() : buffer_(&view_, 200, 133, &writer_) {
    buffer_.SetDimensions(200, 133, 150);
    // The buffer calls its emulator only when given a sender.
    buffer_.SetEmulator(&counted_, &CountingFilter);
    capture::ProgramFilter().Reset();
  }
  ~FilteredCapture() { capture::ProgramFilter().Reset(); }
  void Feed(const std::string& bytes) {
    for (unsigned char ch : bytes) buffer_.HandleChar(ch);
  }
  void Start(bool append) { EXPECT_EQ(buffer_.ControlCapture(true, append, "day.txt"), 0); }
  std::string Stop() {
    EXPECT_EQ(buffer_.ControlCapture(false, false, ""), 0);
    return writer_.file;
  }
  // The bytes the filter's commands wrote, by its own count.
  std::size_t Counted() const { return counted_; }

 private:
  std::size_t counted_ = 0;
  RecordingView view_;
  ScriptedWriter writer_;
  TBuffer buffer_;
};

struct FilterCase {
  const char* what;
  std::string received;
  std::string captured;
};

class ReceivedCharFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(ReceivedCharFilterTest, WritesOnlyPlainJournalText) {
  FilteredCapture capture;
  capture.Start(false);
  capture.Feed(GetParam().received);
  EXPECT_EQ(capture.Stop(), GetParam().captured) << GetParam().what;
  EXPECT_EQ(capture.Counted(), GetParam().captured.size()) << "the size check counts what was written";
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, ReceivedCharFilterTest,
    ::testing::Values(FilterCase{"LF after LF becomes CR LF", "AB\n\nC", "AB\n\r\nC"},
                      FilterCase{"CR LF passes unchanged", "\n\r\n", "\n\r\n"},
                      FilterCase{"three LFs", "\n\n\n", "\n\r\n\r\n"}, FilterCase{"TAB dropped", "\t", ""},
                      FilterCase{"ESC dropped", "\x1b", ""}, FilterCase{"0x80 dropped", "\x80", ""},
                      FilterCase{"0xFF dropped", "\xff", ""},
                      FilterCase{"NUL dropped", std::string(1, '\0'), ""}, FilterCase{"FF dropped", "\f", ""},
                      FilterCase{"DEL kept", "\x7f", "\x7f"}, FilterCase{"blank and tilde kept", " ~", " ~"},
                      FilterCase{"dropped byte breaks the pairing", "\n\t\n", "\n\n"},
                      FilterCase{"a receipt line", "TOTAL\t12.50\x1b\r\n\n", "TOTAL12.50\r\n\r\n"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(ReceivedCharFilter, PreviousByteOutlivesTheCaptureFile) {
  FilteredCapture capture;
  capture.Start(false);
  capture.Feed("A\n");
  EXPECT_EQ(capture.Stop(), "A\n");
  capture.Start(true);
  capture.Feed("\nB");
  EXPECT_EQ(capture.Stop(), "A\n\r\nB");
}

TEST(ReceivedCharFilter, LeavesTheCommandTheBufferExpects) {
  capture::ReceivedCharFilter filter;
  TEmuCommand command{};
  command.Char = 'x';
  filter.Apply('\n', command);
  EXPECT_EQ(command.Code, ecChar);
  EXPECT_EQ(command.Char, '\n');
  filter.Apply('\n', command);
  EXPECT_EQ(command.Code, ecText);
  EXPECT_EQ(command.Text[0], 2);
  EXPECT_EQ(command.Text[1], '\r');
  EXPECT_EQ(command.Text[2], '\n');
  EXPECT_EQ(command.Char, '\n') << "Char is left alone for text";
  filter.Apply(0x1b, command);
  EXPECT_EQ(command.Code, ecChar);
  EXPECT_EQ(command.Char, 0);
  EXPECT_EQ(filter.Previous(), 0x1b);
}

}  // namespace
