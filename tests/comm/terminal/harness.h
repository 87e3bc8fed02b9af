// A screen buffer driven by a real parser, with recording sinks.
#pragma once

#include <memory>
#include <string_view>

#include "comm/terminal/emu_parser.h"
#include "comm/terminal/screen_buffer.h"
#include "tests/comm/terminal/buffer_fakes.h"

namespace comm::testing {

struct Terminal {
  explicit Terminal(int type, int rows = 200, int columns = 80, int pageHeight = 25,
                    CaptureWriter* captureWriter = nullptr)
      : parser(CreateEmuParser(type), &FreeEmuParser),
        buffer(&view, 200, 80, captureWriter ? captureWriter : &writer) {
    buffer.SetDimensions(rows, columns, pageHeight);
    buffer.SetPort(&port);
    buffer.SetEmulator(parser.get(), &Parse);
  }
  static void Parse(void* data, std::uint8_t ch, TEmuCommand& command) {
    ParseEmuChar(static_cast<TEmuParser*>(data), ch, command);
  }
  void Feed(std::string_view bytes) {
    for (unsigned char ch : bytes) buffer.HandleChar(ch);
  }

  RecordingView view;
  RecordingPort port;
  ScriptedWriter writer;
  std::unique_ptr<TEmuParser, void (*)(TEmuParser*)> parser;
  TBuffer buffer;
};

}  // namespace comm::testing
