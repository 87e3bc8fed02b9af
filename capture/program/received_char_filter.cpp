#include "capture/program/received_char_filter.h"

namespace capture {

namespace {
constexpr std::uint8_t lineFeed = 10;
constexpr std::uint8_t carriageReturn = 13;
}  // namespace

void ReceivedCharFilter::Apply(std::uint8_t ch, TEmuCommand& command) {
  if (ch == lineFeed && previous_ == lineFeed) {
    command.Code = ecText;
    command.Text[0] = 2;
    command.Text[1] = carriageReturn;
    command.Text[2] = lineFeed;
  } else {
    command.Code = ecChar;
    const bool kept = ch == lineFeed || ch == carriageReturn || (ch >= 32 && ch <= 127);
    // Char 0 writes nothing: TAB, FF, ESC and bytes above 127 never appear.
    command.Char = kept ? ch : 0;
  }
  previous_ = ch;
}

std::size_t BytesWritten(const TEmuCommand& command) {
  if (command.Code == ecText) return command.Text[0];
  return command.Code == ecChar && command.Char != 0 ? 1 : 0;
}

ReceivedCharFilter& ProgramFilter() {
  static ReceivedCharFilter filter;
  return filter;
}

}  // namespace capture

void FilterReceivedChar(void*, std::uint8_t ch, TEmuCommand& command) {
  capture::ProgramFilter().Apply(ch, command);
}
