// A capture writer over the C runtime, for native tests and benchmarks. Error
// numbers follow the system's (3 path not found, 5 access denied).
#pragma once

#include <cstdio>

#include "comm/terminal/buffer_sinks.h"

namespace comm::testing {

class FileCaptureWriter : public CaptureWriter {
 public:
  ~FileCaptureWriter() override { Close(); }
  int Open(const std::string& name, bool append) override;
  int Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) override;
  int Close() override;

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace comm::testing
