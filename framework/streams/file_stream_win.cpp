#include "framework/streams/file_stream_win.h"

#include <oleauto.h>

#include <algorithm>

#include "framework/exceptions.h"

namespace fw {

namespace {

[[noreturn]] void RaiseLastError(const std::string& what) {
  const DWORD code = GetLastError();
  throw EInOutError(static_cast<int>(code), what + " " + InOutErrorText(static_cast<int>(code)) + ".");
}

}  // namespace

Win32FileStream::~Win32FileStream() { CloseHandle(handle_); }

std::size_t Win32FileStream::Read(void* buffer, std::size_t count) {
  std::size_t total = 0;
  while (total < count) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - total, 1u << 30));
    DWORD read = 0;
    if (!ReadFile(handle_, static_cast<char*>(buffer) + total, chunk, &read, nullptr))
      RaiseLastError("Cannot read file \"" + path_ + "\".");
    if (read == 0) break;
    total += read;
  }
  return total;
}

std::size_t Win32FileStream::Write(const void* buffer, std::size_t count) {
  std::size_t total = 0;
  while (total < count) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - total, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle_, static_cast<const char*>(buffer) + total, chunk, &written, nullptr))
      RaiseLastError("Cannot write file \"" + path_ + "\".");
    if (written == 0) break;
    total += written;
  }
  return total;
}

std::int64_t Win32FileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  const DWORD method = origin == SeekOrigin::Begin     ? FILE_BEGIN
                       : origin == SeekOrigin::Current ? FILE_CURRENT
                                                       : FILE_END;
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER position;
  if (!SetFilePointerEx(handle_, distance, &position, method))
    RaiseLastError("Cannot seek in file \"" + path_ + "\".");
  return position.QuadPart;
}

void Win32FileStream::Flush() {
  if (!FlushFileBuffers(handle_)) RaiseLastError("Cannot write file \"" + path_ + "\".");
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

HANDLE OpenFileHandle(const std::string& path, FileOpenMode mode) {
  DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE, disposition = OPEN_EXISTING;
  if (mode == FileOpenMode::ReadWriteShared) access |= GENERIC_WRITE;
  if (mode == FileOpenMode::Create) {
    access |= GENERIC_WRITE;
    share = FILE_SHARE_READ;
    disposition = CREATE_ALWAYS;
  }
  return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool GetFileDate(const std::string& path, double& date) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  FILETIME local, rounded;
  WORD dosDate, dosTime;
  SYSTEMTIME parts;
  if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local)) return false;
  if (!FileTimeToDosDateTime(&local, &dosDate, &dosTime) ||
      !DosDateTimeToFileTime(dosDate, dosTime, &rounded))
    rounded = local;
  if (!FileTimeToSystemTime(&rounded, &parts)) return false;
  parts.wMilliseconds = 0;
  return SystemTimeToVariantTime(&parts, &date) != 0;
}

bool SetFileDate(const std::string& path, double date) {
  SYSTEMTIME parts;
  FILETIME local, utc;
  if (!VariantTimeToSystemTime(date, &parts) || !SystemTimeToFileTime(&parts, &local) ||
      !LocalFileTimeToFileTime(&local, &utc))
    return false;
  HANDLE handle = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool set = SetFileTime(handle, nullptr, nullptr, &utc) != 0;
  CloseHandle(handle);
  return set;
}

}  // namespace fw
