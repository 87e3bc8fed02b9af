// Windows side of the call log: the locale's date and time, and the history
// file.
#pragma once

#include <windows.h>

#include <string>

#include "comm/telephony/call_log.h"

namespace comm {

// "<short date> <long time>" of `time` in the user's locale.
std::string FormatLogTimestamp(const SYSTEMTIME& time);
// The same for the current local time.
std::string LogTimestampNow();

// Appends with FILE_APPEND_DATA. A missing file is created; a file another
// program holds is tried again for about a second, then EInOutError (32) is
// raised; any other failure raises EInOutError with the system's error.
class SystemHistoryFile : public HistoryFileAppender {
 public:
  explicit SystemHistoryFile(DWORD sharingRetryMs = 1000) : sharingRetryMs_(sharingRetryMs) {}
  void Append(const std::string& path, std::string_view bytes) override;

 private:
  DWORD sharingRetryMs_;
};

}  // namespace comm
