// The outside world of the screen buffer: the port it answers through, the
// window it paints in and the file it captures to. The buffer is handed these,
// so it stays free of any platform call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace comm {

// The port the buffer sends its answers to (cursor report, identification).
class PortSink {
 public:
  virtual ~PortSink() = default;
  virtual void SendBlock(const std::uint8_t* bytes, std::size_t count) = 0;
};

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
};

// The terminal window. Coordinates are client pixels.
class ViewSink {
 public:
  virtual ~ViewSink() = default;
  virtual void Invalidate(const PixelRect& area) = 0;
  virtual void InvalidateAll() = 0;
  // Scrolls the client area (or only the band when given) by dx, dy pixels.
  virtual void Scroll(int dx, int dy, const PixelRect* band) = 0;
  virtual void UpdateNow() = 0;
  virtual void SetScrollPosition(bool vertical, int position) = 0;
  virtual void SetScrollRange(bool vertical, int minimum, int maximum) = 0;
  virtual void SetCaretPosition(int x, int y) = 0;
  // Posted status (wParam cursor, lParam view origin).
  virtual void PostStatus(std::uint32_t wParam, std::uint32_t lParam) = 0;
  // A capture write failed; wParam is the failure code negated, as 16 bits.
  virtual void SendCaptureError(std::uint16_t wParam, std::int32_t lParam) = 0;
  // A position report arrived from the line (column, row as received).
  virtual void SendCursorReport(std::uint32_t wParam, std::int32_t lParam) = 0;
};

// The capture file. Every operation returns 0 or the system's error number
// (2 file not found, 3 path not found, 5 access denied, 32 sharing violation ...).
class CaptureWriter {
 public:
  virtual ~CaptureWriter() = default;
  // append: positioned at the end, and created when missing; otherwise created or truncated.
  virtual int Open(const std::string& name, bool append) = 0;
  // Writes the block; written receives how many bytes reached the file.
  virtual int Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) = 0;
  virtual int Close() = 0;
};

}  // namespace comm
