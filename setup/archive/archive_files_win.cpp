#include "setup/archive/archive_files_win.h"

#include <windows.h>

#include <algorithm>

#include "framework/application.h"
#include "framework/exceptions.h"
#include "framework/streams/file_stream_win.h"
#include "setup/base/version_resource_win.h"
#include "setup/base/windows_routines_win.h"

namespace setup {

namespace {

[[noreturn]] void RaiseLastError(const std::string& path) {
  const DWORD code = GetLastError();
  throw fw::EInOutError(static_cast<int>(code), fw::InOutErrorText(static_cast<int>(code)) + ": " + path);
}

class Win32ArchiveStream : public ArchiveStream {
 public:
  Win32ArchiveStream(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~Win32ArchiveStream() override { CloseHandle(handle_); }
  Win32ArchiveStream(const Win32ArchiveStream&) = delete;
  Win32ArchiveStream& operator=(const Win32ArchiveStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override {
    std::size_t total = 0;
    while (total < count) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - total, 1u << 30));
      DWORD read = 0;
      if (!ReadFile(handle_, static_cast<char*>(buffer) + total, chunk, &read, nullptr))
        RaiseLastError(path_);
      if (read == 0) break;
      total += read;
    }
    return total;
  }

  std::size_t Write(const void* buffer, std::size_t count) override {
    std::size_t total = 0;
    while (total < count) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - total, 1u << 30));
      DWORD written = 0;
      if (!WriteFile(handle_, static_cast<const char*>(buffer) + total, chunk, &written, nullptr)) {
        const DWORD error = GetLastError();
        // A full disk first takes part of a write, then fails the next one.
        if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) break;
        RaiseLastError(path_);
      }
      if (written == 0) break;
      total += written;
    }
    return total;
  }

  void Seek(std::int64_t position) override {
    LARGE_INTEGER distance;
    distance.QuadPart = position;
    if (!SetFilePointerEx(handle_, distance, nullptr, FILE_BEGIN)) RaiseLastError(path_);
  }

  std::int64_t Position() override {
    LARGE_INTEGER zero{}, position;
    if (!SetFilePointerEx(handle_, zero, &position, FILE_CURRENT)) RaiseLastError(path_);
    return position.QuadPart;
  }

  std::int64_t Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) RaiseLastError(path_);
    return size.QuadPart;
  }

 private:
  HANDLE handle_;
  std::string path_;
};

}  // namespace

std::unique_ptr<ArchiveStream> Win32ArchiveFiles::Open(const std::string& path, ArchiveOpenMode mode) {
  const fw::FileOpenMode modes[] = {fw::FileOpenMode::ReadShared, fw::FileOpenMode::ReadWriteShared,
                                    fw::FileOpenMode::Create};
  HANDLE handle = fw::OpenFileHandle(path, modes[static_cast<int>(mode)]);
  if (handle == INVALID_HANDLE_VALUE) {
    lastFailure_ = GetLastError();
    return nullptr;
  }
  return std::make_unique<Win32ArchiveStream>(handle, path);
}

bool Win32ArchiveFiles::Exists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32ArchiveFiles::CreateFolders(const std::string& folder) {
  if (folder.empty()) return true;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
    lastFailure_ = ERROR_ALREADY_EXISTS;  // a file has the folder's name
    return false;
  }
  const std::string parent = FolderOf(folder);
  if (!parent.empty() && parent != folder && !CreateFolders(parent)) return false;
  if (CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  lastFailure_ = GetLastError();
  return false;
}

bool Win32ArchiveFiles::RenameOver(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  lastFailure_ = GetLastError();
  return false;
}

bool Win32ArchiveFiles::Delete(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool Win32ArchiveFiles::GetFileDate(const std::string& path, double& date) {
  return fw::GetFileDate(path, date);
}

bool Win32ArchiveFiles::SetFileDate(const std::string& path, double date) {
  return fw::SetFileDate(path, date);
}

std::string Win32ArchiveFiles::CreateTemporaryFile(const std::string& folder) {
  if (folder.empty()) return UniqueTempFileName(true);
  // Beside a target, so that putting it in place is a rename on one volume.
  char name[MAX_PATH];
  if (GetTempFileNameA(folder.c_str(), "bat", 0, name) == 0) {
    lastFailure_ = GetLastError();
    RaiseLastError(folder);
  }
  return name;
}

std::string SystemErrorText(unsigned long code) {
  char buffer[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                buffer, sizeof buffer, nullptr);
  while (length > 0 &&
         (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == ' '))
    --length;
  if (length == 0) return "system error " + std::to_string(code);
  return std::string(buffer, length);
}

std::string Win32ArchiveFiles::FailureText() {
  if (lastFailure_ == 0) return {};
  return SystemErrorText(lastFailure_);
}

std::string SystemArchiveVersions::FileVersionOf(const std::string& path) {
  TVersionResource& reader = SharedVersionResource();
  reader.SetFileName(path);
  return reader.VersionInfo().FileVersion();
}

int SystemArchiveVersions::IsFileNewerByVersion(const std::string& newVersion,
                                                const std::string& existingFile, int overwriteType,
                                                double newDate) {
  return setup::IsFileNewerByVersion(newVersion, existingFile, overwriteType, newDate);
}

int SystemArchiveVersions::IsFileNewerByName(const std::string& newFile, const std::string& existingFile,
                                             int overwriteType) {
  return setup::IsFileNewerByName(newFile, existingFile, overwriteType);
}

void ProcessApplicationMessages() {
  if (fw::TApplication* application = fw::Application()) application->ProcessMessages();
}

}  // namespace setup
