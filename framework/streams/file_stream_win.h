// A byte stream over a Windows file handle.
#pragma once

#include <windows.h>

#include <string>

#include "framework/streams/byte_stream.h"

namespace fw {

// A stream over an open file handle, which it closes.
class Win32FileStream : public ByteStream {
 public:
  Win32FileStream(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~Win32FileStream() override;
  Win32FileStream(const Win32FileStream&) = delete;
  Win32FileStream& operator=(const Win32FileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  // Makes the written bytes durable before the file is put in place.
  void Flush();

 private:
  HANDLE handle_;
  std::string path_;
};

}  // namespace fw
