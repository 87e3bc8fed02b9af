#include "comm/telephony/call_log_win.h"

#include "framework/exceptions.h"
#include "framework/locale.h"

namespace comm {

std::string FormatLogTimestamp(const SYSTEMTIME& time) { return fw::DateTimeText(time); }

std::string LogTimestampNow() { return fw::NowText(); }

namespace {

constexpr DWORD kSharingRetryStepMs = 50;

HANDLE OpenForAppend(const std::string& path, DWORD disposition) {
  return CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

void SystemHistoryFile::Append(const std::string& path, std::string_view bytes) {
  HANDLE file = INVALID_HANDLE_VALUE;
  for (DWORD waited = 0;; waited += kSharingRetryStepMs) {
    file = OpenForAppend(path, OPEN_EXISTING);
    DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (error == ERROR_FILE_NOT_FOUND) {
      // Only a file that does not exist is created; CREATE_NEW never
      // replaces one that appeared meanwhile.
      file = OpenForAppend(path, CREATE_NEW);
      error = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
      if (error == ERROR_FILE_EXISTS && waited < sharingRetryMs_) continue;
    }
    if (error == 0) break;
    if (error != ERROR_SHARING_VIOLATION || waited >= sharingRetryMs_)
      throw fw::EInOutError(static_cast<int>(error));
    Sleep(kSharingRetryStepMs);
  }
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!ok) throw fw::EInOutError(static_cast<int>(error));
  if (written != bytes.size()) throw fw::EInOutError(static_cast<int>(ERROR_HANDLE_DISK_FULL));
}

}  // namespace comm
