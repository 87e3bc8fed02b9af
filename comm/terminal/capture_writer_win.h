// The capture file on Windows. The file is shared for reading and writing, so
// the log viewer and File Open can read today's journal while capture is on.
#pragma once

#include "comm/terminal/buffer_sinks.h"

namespace comm {

class Win32CaptureWriter : public CaptureWriter {
 public:
  Win32CaptureWriter() = default;
  ~Win32CaptureWriter() override { Close(); }
  Win32CaptureWriter(const Win32CaptureWriter&) = delete;
  Win32CaptureWriter& operator=(const Win32CaptureWriter&) = delete;

  int Open(const std::string& name, bool append) override;
  int Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) override;
  int Close() override;

 private:
  void* handle_ = nullptr;  // HANDLE; kept opaque so the header stays free of Windows
};

}  // namespace comm
