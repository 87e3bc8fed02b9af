// Recording stand-ins for the window, the port and the capture file.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "comm/terminal/buffer_sinks.h"

namespace comm::testing {

class RecordingView : public ViewSink {
 public:
  void Invalidate(const PixelRect&) override { ++invalidations; }
  void InvalidateAll() override { ++invalidations; }
  void Scroll(int, int dy, const PixelRect*) override { scrolled += dy; }
  void UpdateNow() override {}
  void SetScrollPosition(bool, int) override {}
  void SetScrollRange(bool, int, int) override {}
  void SetCaretPosition(int x, int y) override { caret = {x, y}; }
  void PostStatus(std::uint32_t wParam, std::uint32_t lParam) override { status.emplace_back(wParam, lParam); }
  void SendCaptureError(std::uint16_t wParam, std::int32_t lParam) override { errors.emplace_back(wParam, lParam); }
  void SendCursorReport(std::uint32_t wParam, std::int32_t lParam) override { reports.emplace_back(wParam, lParam); }

  int invalidations = 0;
  int scrolled = 0;
  std::pair<int, int> caret{-1, -1};
  std::vector<std::pair<std::uint32_t, std::uint32_t>> status;
  std::vector<std::pair<std::uint16_t, std::int32_t>> errors;
  std::vector<std::pair<std::uint32_t, std::int32_t>> reports;
};

class RecordingPort : public PortSink {
 public:
  void SendBlock(const std::uint8_t* bytes, std::size_t count) override { sent.append(bytes, bytes + count); }
  std::string sent;
};

// Keeps the "file" in memory; a write can be told to store fewer bytes or fail.
class ScriptedWriter : public CaptureWriter {
 public:
  int Open(const std::string& name, bool append) override {
    opens.emplace_back(name, append);
    if (openError) return openError;
    if (!append) file.clear();
    isOpen = true;
    return 0;
  }
  int Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) override {
    blocks.push_back(count);
    written = std::min(count, writeLimit);
    file.append(bytes, bytes + written);
    return written < count ? writeError : 0;
  }
  int Close() override {
    isOpen = false;
    ++closes;
    return 0;
  }

  std::string file;
  std::vector<std::pair<std::string, bool>> opens;
  std::vector<std::size_t> blocks;
  std::size_t writeLimit = SIZE_MAX;
  int writeError = 0;
  int openError = 0;
  int closes = 0;
  bool isOpen = false;
};

}  // namespace comm::testing
