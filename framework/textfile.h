// A text file writer: Rewrite (create or empty) or Append, lines ended with
// CR LF, a 512-byte buffer. Every failure raises EInOutError with the
// operating system's error number; nothing written is dropped silently.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class TextFileWriter {
 public:
  TextFileWriter() = default;
  // Closes the file; a failing final flush is lost here, so callers that
  // care call Close() themselves.
  ~TextFileWriter();
  TextFileWriter(const TextFileWriter&) = delete;
  TextFileWriter& operator=(const TextFileWriter&) = delete;

  void Rewrite(const std::string& path);
  // Opens an existing file at its end; a missing file is an error (2).
  void Append(const std::string& path);
  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
  const std::string& Path() const { return path_; }

  void Write(const std::string& text);
  void WriteLine(const std::string& line) { Write(line + "\r\n"); }
  void Flush();
  void Close();

 private:
  void Open(const std::string& path, DWORD disposition);
  static constexpr size_t kBufferSize = 512;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::string path_;
  std::string buffer_;
};

}  // namespace fw
