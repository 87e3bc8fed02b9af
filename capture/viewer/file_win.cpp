#include "capture/viewer/file_win.h"

#include <windows.h>

#include <algorithm>

namespace capture {

namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  void close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

}  // namespace

LogReadResult ReadLogFile(const std::string& path, size_t limit, std::string& bytes) {
  Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return LogReadResult::Failed;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return LogReadResult::Failed;
  if (static_cast<unsigned long long>(size.QuadPart) > limit) return LogReadResult::TooLarge;
  // One byte more than the limit: a file that grew meanwhile is still refused.
  std::string content(limit + 1, '\0');
  size_t total = 0;
  while (total < content.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(content.size() - total, 1 << 20));
    if (!ReadFile(file.get(), content.data() + total, want, &got, nullptr)) return LogReadResult::Failed;
    if (got == 0) break;
    total += got;
  }
  if (total > limit) return LogReadResult::TooLarge;
  content.resize(total);
  bytes = std::move(content);
  return LogReadResult::Ok;
}

bool WriteLogFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".~tmp";
  Handle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  bool written = true;
  for (size_t done = 0; written && done < text.size();) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1 << 20));
    written = WriteFile(file.get(), text.data() + done, want, &put, nullptr) && put > 0;
    done += put;
  }
  written = written && FlushFileBuffers(file.get());
  file.close();
  if (written && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileA(temporary.c_str());
  return false;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace capture
