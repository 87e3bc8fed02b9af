#include "tests/comm/terminal/file_capture_writer.h"

#include <cerrno>

namespace comm::testing {
namespace {

int SystemError(int error) {
  switch (error) {
    case ENOENT:
      return 3;
    case EACCES:
      return 5;
    default:
      return 29;  // write fault
  }
}

}  // namespace

int FileCaptureWriter::Open(const std::string& name, bool append) {
  Close();
  file_ = std::fopen(name.c_str(), append ? "ab" : "wb");
  return file_ ? 0 : SystemError(errno);
}

int FileCaptureWriter::Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) {
  written = 0;
  if (!file_) return 6;  // invalid handle
  written = std::fwrite(bytes, 1, count, file_);
  if (std::fflush(file_) != 0 || written < count) return SystemError(errno);
  return 0;
}

int FileCaptureWriter::Close() {
  if (!file_) return 0;
  const int result = std::fclose(file_);
  file_ = nullptr;
  return result == 0 ? 0 : SystemError(errno);
}

}  // namespace comm::testing
