// The capture file behind a screen buffer: every written character is held in
// an 8192-byte block that goes to the file when full and when capture stops.
// Bytes a failed write could not store are kept and written first at the next
// successful open, so a passing disk error loses no journal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "comm/terminal/buffer_sinks.h"

namespace comm {

constexpr std::size_t captureBlockSize = 8192;
constexpr std::size_t captureNameLimit = 255;
inline constexpr char defaultCaptureName[] = "CAPTURE.CAP";

class CaptureBuffer {
 public:
  // Either may be null: without a writer every open fails, without a view
  // write failures are returned but not reported.
  CaptureBuffer(CaptureWriter* writer, ViewSink* view) : writer_(writer), view_(view) {}
  ~CaptureBuffer();
  CaptureBuffer(const CaptureBuffer&) = delete;
  CaptureBuffer& operator=(const CaptureBuffer&) = delete;

  // Opens (closing a file already open first) or closes. Returns 0 or a
  // negative I/O result; an open returns the open's result.
  int Control(bool open, bool append, std::string_view name);
  void Put(std::uint8_t ch);

  bool On() const { return on_; }
  const std::string& Name() const { return name_; }
  // Bytes not yet on disk.
  std::size_t Held() const { return count_; }

  // Hands the bytes not yet on disk to another buffer (window recreation).
  std::vector<std::uint8_t> TakeHeld();
  void GiveHeld(const std::vector<std::uint8_t>& bytes);

 private:
  int Open(bool append, std::string_view name);
  int Close();
  int Flush();
  int Fail(int failure);
  void ReleaseIfEmpty();

  CaptureWriter* writer_;
  ViewSink* view_;
  std::unique_ptr<std::uint8_t[]> block_;
  std::size_t count_ = 0;
  std::string name_;
  bool on_ = false;
};

}  // namespace comm
