// Bytes per second from the line into the capture file: parser and screen
// buffer with capture on, against the floor of writing the same bytes straight
// through the same capture writer. Both run on a journal-like stream and on an
// escape-heavy stream; the ratio is printed at the end.
#include <benchmark/benchmark.h>

#include "bench/figures_reporter.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "comm/terminal/capture_buffer.h"
#include "comm/terminal/emu_parser.h"
#include "comm/terminal/screen_buffer.h"
#include "tests/comm/terminal/file_capture_writer.h"

namespace {

class NullView : public comm::ViewSink {
 public:
  void Invalidate(const comm::PixelRect&) override {}
  void InvalidateAll() override {}
  void Scroll(int, int, const comm::PixelRect*) override {}
  void UpdateNow() override {}
  void SetScrollPosition(bool, int) override {}
  void SetScrollRange(bool, int, int) override {}
  void SetCaretPosition(int, int) override {}
  void PostStatus(std::uint32_t, std::uint32_t) override {}
  void SendCaptureError(std::uint16_t, std::int32_t) override {}
  void SendCursorReport(std::uint32_t, std::int32_t) override {}
};

// About 1 MB of register journal: receipt lines ending in CR LF.
std::string JournalStream() {
  std::string s;
  char line[128];
  for (int receipt = 0; s.size() < (1u << 20); ++receipt) {
    std::snprintf(line, sizeof line, "RECEIPT %06d   10.12.2026 13:%02d   TILL 2\r\n", receipt, receipt % 60);
    s += line;
    for (int item = 0; item < 8; ++item) {
      std::snprintf(line, sizeof line, "  %-24s %3d x %7.2f %9.2f\r\n", "WHOLEMEAL BREAD 800G", item + 1,
                    1.25 + item, (item + 1) * (1.25 + item));
      s += line;
    }
    s += "  TOTAL                                  123.45\r\n  CASH 150.00  CHANGE 26.55\r\n\r\n";
  }
  return s;
}

// About 1 MB where most bytes belong to escape sequences: colours, cursor
// addressing, erasing, short texts.
std::string EscapeStream() {
  std::string s;
  char chunk[160];
  for (int i = 0; s.size() < (1u << 20); ++i) {
    std::snprintf(chunk, sizeof chunk,
                  "\x1b[%d;%dH\x1b[1;%d;%dm%02d\x1b[0m\x1b[K\x1b[%dC\x1b[2D#\x1b[s\x1b[u\r\n", 1 + i % 25,
                  1 + i % 70, 30 + i % 8, 40 + (i / 8) % 8, i % 100, i % 5);
    s += chunk;
  }
  return s;
}

const std::string& Stream(int which) {
  static const std::string journal = JournalStream(), escapes = EscapeStream();
  return which == 0 ? journal : escapes;
}

std::string TempCapturePath(const char* tag) {
  return (std::filesystem::temp_directory_path() / (std::string("emulator_bench_") + tag + ".cap")).string();
}

void Parse(void* data, std::uint8_t ch, TEmuCommand& command) {
  ParseEmuChar(static_cast<TEmuParser*>(data), ch, command);
}

void ParserAndBuffer(benchmark::State& state) {
  const std::string& bytes = Stream(static_cast<int>(state.range(0)));
  const std::string path = TempCapturePath("buffer");
  NullView view;
  comm::testing::FileCaptureWriter writer;
  std::unique_ptr<TEmuParser, void (*)(TEmuParser*)> parser(CreateEmuParser(etANSI), &FreeEmuParser);
  TBuffer buffer(&view, 200, 80, &writer);
  buffer.SetCharSize(16, 8);
  buffer.SetClientSize(640, 16 * 25);
  buffer.SetEmulator(parser.get(), &Parse);
  if (buffer.ControlCapture(true, false, path) != 0) state.SkipWithError("capture file");
  for (auto _ : state) {
    for (unsigned char ch : bytes) buffer.HandleChar(ch);
    buffer.ApplyRepaint();
  }
  buffer.ControlCapture(false, false, "");
  std::filesystem::remove(path);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// The floor: the same bytes in capture-sized blocks through the same writer.
void WriterFloor(benchmark::State& state) {
  const std::string& bytes = Stream(static_cast<int>(state.range(0)));
  const std::string path = TempCapturePath("floor");
  comm::testing::FileCaptureWriter writer;
  if (writer.Open(path, false) != 0) state.SkipWithError("capture file");
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  for (auto _ : state) {
    for (std::size_t at = 0; at < bytes.size(); at += comm::captureBlockSize) {
      std::size_t written = 0;
      writer.Write(data + at, std::min(comm::captureBlockSize, bytes.size() - at), written);
    }
  }
  writer.Close();
  std::filesystem::remove(path);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

BENCHMARK(ParserAndBuffer)->ArgName("escapes")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(WriterFloor)->ArgName("escapes")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Prints the usual table, then each stream's two figures and their ratio.
}  // namespace

int main(int argc, char** argv) {
  return bench::RunAndSummarise(argc, argv, [](const bench::FiguresReporter& figures) {
    const char* names[] = {"journal-like", "escape-heavy"};
    for (int stream = 0; stream < 2; ++stream) {
      const std::string arg = "/escapes:" + std::to_string(stream);
      const double ours = figures.Figure("ParserAndBuffer" + arg, "bytes_per_second");
      const double floor = figures.Figure("WriterFloor" + arg, "bytes_per_second");
      if (ours <= 0 || floor <= 0) continue;
      std::printf("%s stream: parser+buffer+capture %.1f MB/s, writer floor %.1f MB/s, ratio %.3f\n",
                  names[stream], ours / 1e6, floor / 1e6, ours / floor);
    }
  });
}
