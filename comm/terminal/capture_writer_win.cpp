#include "comm/terminal/capture_writer_win.h"

#include <windows.h>

#include <algorithm>
#include <limits>

namespace comm {

int Win32CaptureWriter::Open(const std::string& name, bool append) {
  Close();
  HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  if (append) {
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(file, zero, nullptr, FILE_END)) {
      const int error = static_cast<int>(GetLastError());
      CloseHandle(file);
      return error;
    }
  }
  handle_ = file;
  return 0;
}

int Win32CaptureWriter::Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) {
  written = 0;
  if (!handle_) return ERROR_INVALID_HANDLE;
  while (written < count) {
    const DWORD chunk =
        static_cast<DWORD>(std::min<std::size_t>(count - written, std::numeric_limits<DWORD>::max()));
    DWORD done = 0;
    if (!WriteFile(static_cast<HANDLE>(handle_), bytes + written, chunk, &done, nullptr))
      return static_cast<int>(GetLastError());
    if (done == 0) break;  // the caller sees the short write
    written += done;
  }
  return 0;
}

int Win32CaptureWriter::Close() {
  if (!handle_) return 0;
  const BOOL closed = CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
  return closed ? 0 : static_cast<int>(GetLastError());
}

}  // namespace comm
