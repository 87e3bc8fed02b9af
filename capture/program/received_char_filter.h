// The received-character filter of the capture program: the register's
// journal is kept as plain text, so only CR, LF and printable bytes reach the
// screen and the capture file, and a blank line (LF after LF) becomes CR LF.
#pragma once

#include <cstddef>
#include <cstdint>

#include "comm/terminal/emu_command.h"

namespace capture {

class ReceivedCharFilter {
 public:
  void Apply(std::uint8_t ch, TEmuCommand& command);
  void Reset() { previous_ = 0; }
  std::uint8_t Previous() const { return previous_; }

 private:
  std::uint8_t previous_ = 0;
};

// How many bytes the command writes to the screen and the capture file.
std::size_t BytesWritten(const TEmuCommand& command);

// The program's one filter; its previous byte lives for the whole run, across
// connections and capture files.
ReceivedCharFilter& ProgramFilter();

}  // namespace capture

// The emulator's character handler: fills the command for one received byte.
void FilterReceivedChar(void* sender, std::uint8_t ch, TEmuCommand& command);
