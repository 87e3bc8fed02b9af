#include "framework/textfile.h"

#include <algorithm>

#include "framework/exceptions.h"

namespace fw {

namespace {

[[noreturn]] void RaiseLastError() {
  const DWORD error = GetLastError();
  throw EInOutError(static_cast<int>(error ? error : ERROR_WRITE_FAULT));
}

}  // namespace

TextFileWriter::~TextFileWriter() {
  try {
    Close();
  } catch (...) {
  }
}

void TextFileWriter::Open(const std::string& path, DWORD disposition) {
  if (IsOpen()) Close();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) RaiseLastError();
  if (disposition == OPEN_EXISTING &&
      SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    throw EInOutError(static_cast<int>(error));
  }
  file_ = file;
  path_ = path;
  buffer_.clear();
  buffer_.reserve(kBufferSize);
}

void TextFileWriter::Rewrite(const std::string& path) { Open(path, CREATE_ALWAYS); }

void TextFileWriter::Append(const std::string& path) { Open(path, OPEN_EXISTING); }

void TextFileWriter::Write(const std::string& text) {
  if (!IsOpen()) throw EInOutError(103);
  size_t at = 0;
  while (at < text.size()) {
    const size_t room = kBufferSize - buffer_.size();
    const size_t take = std::min(room, text.size() - at);
    buffer_.append(text, at, take);
    at += take;
    if (buffer_.size() == kBufferSize) Flush();
  }
}

void TextFileWriter::Flush() {
  if (!IsOpen()) throw EInOutError(103);
  size_t done = 0;
  while (done < buffer_.size()) {
    DWORD written = 0;
    if (!WriteFile(file_, buffer_.data() + done, static_cast<DWORD>(buffer_.size() - done), &written,
                   nullptr)) {
      // Keep what was not written, for a later attempt.
      buffer_.erase(0, done);
      RaiseLastError();
    }
    if (written == 0) {
      buffer_.erase(0, done);
      throw EInOutError(ERROR_DISK_FULL);
    }
    done += written;
  }
  buffer_.clear();
}

void TextFileWriter::Close() {
  if (!IsOpen()) return;
  try {
    Flush();
  } catch (...) {
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    buffer_.clear();
    throw;
  }
  const BOOL closed = CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
  if (!closed) RaiseLastError();
}

}  // namespace fw
