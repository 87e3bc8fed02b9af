// A byte stream over a Windows file handle, the three ways files are opened
// for it, and file dates as local date-times.
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

enum class FileOpenMode {
  ReadShared,       // an existing file, for reading; others may read and write
  ReadWriteShared,  // an existing file, for reading and writing; others may too
  Create            // a new or emptied file, for reading and writing; others may read
};

// A file, not a folder, is at the path.
bool FileExists(const std::string& path);

// The file opened in the mode; INVALID_HANDLE_VALUE when it cannot be.
HANDLE OpenFileHandle(const std::string& path, FileOpenMode mode);

// A file's modification date as a local date-time (days since 30 December
// 1899) in the 2-second steps of DOS dates; a file older than DOS dates (1980)
// keeps its time to the second.
bool GetFileDate(const std::string& path, double& date);
bool SetFileDate(const std::string& path, double date);

}  // namespace fw
