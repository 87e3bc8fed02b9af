// Arbitrary line bytes through parser and screen buffer, for every emulator
// type and a few grid shapes. The cursor must stay inside the grid after every
// byte, and every written byte must reach the capture file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "comm/terminal/emu_parser.h"
#include "comm/terminal/screen_buffer.h"
#include "tests/comm/terminal/buffer_fakes.h"

namespace {

struct Shape {
  int rows, columns, pageHeight;
};

constexpr Shape kShapes[] = {{200, 80, 25},  {200, 80, 150}, {25, 133, 25}, {6, 20, 6},
                             {492, 133, 25}, {2, 1, 1},      {40, 10, 30},  {30, 80, 25}};

void Parse(void* data, std::uint8_t ch, TEmuCommand& command) {
  ParseEmuChar(static_cast<TEmuParser*>(data), ch, command);
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // etNone (0) runs the plain fallback: every byte but NUL is written.
  const int type = data[0] % 5;
  const Shape shape = kShapes[(data[1] & 7) % (sizeof kShapes / sizeof kShapes[0])];
  const bool smallWindow = data[1] & 0x08, scrollback = data[1] & 0x10;
  const int viewMoves = data[1] >> 5;
  data += 2;
  size -= 2;

  comm::testing::RecordingView view;
  comm::testing::RecordingPort port;
  comm::testing::ScriptedWriter writer;
  std::unique_ptr<TEmuParser, void (*)(TEmuParser*)> parser(CreateEmuParser(type), &FreeEmuParser);
  TBuffer buffer(&view, 200, 80, &writer);
  if (buffer.SetDimensions(shape.rows, shape.columns, shape.pageHeight) != 0) std::abort();
  buffer.SetCharSize(16, 8);
  buffer.SetClientSize(8 * shape.columns, 16 * (smallWindow ? 3 : shape.pageHeight + 2));
  buffer.SetScrollbackMode(scrollback);
  buffer.SetCaretOn(true);
  if (parser) buffer.SetEmulator(parser.get(), &Parse);
  Check(buffer.ControlCapture(true, false, "fuzz") == 0);

  for (std::size_t i = 0; i < size; ++i) {
    buffer.HandleChar(data[i]);
    Check(buffer.CursorRow() >= 0 && buffer.CursorRow() < buffer.Rows());
    Check(buffer.CursorColumn() >= 0 && buffer.CursorColumn() < buffer.Columns());
    Check(buffer.ViewTop() >= 0 && buffer.ViewTop() < buffer.Rows());
    Check(buffer.RegionTop() >= 1 && buffer.RegionTop() <= buffer.RegionBottom() &&
          buffer.RegionBottom() <= buffer.PageHeight());
    if (i % 97 == 96) buffer.ApplyRepaint();
  }
  Check(buffer.ControlCapture(false, false, "") == 0);
  if (!parser) {
    std::string expected;
    for (std::size_t i = 0; i < size; ++i)
      if (data[i] != 0) expected += static_cast<char>(data[i]);
    Check(writer.file == expected);
  }
  // The view operations of the window, from wherever the line left the buffer.
  buffer.ScrollView(viewMoves - 4, viewMoves * 9 - 30);
  buffer.ViewHome(viewMoves & 1);
  buffer.ViewEnd(viewMoves & 2);
  buffer.ClearPage();
  Check(buffer.CursorRow() >= 0 && buffer.CursorRow() < buffer.Rows());
  Check(buffer.ViewTop() >= 0 && buffer.ViewTop() < buffer.Rows());
  return 0;
}
