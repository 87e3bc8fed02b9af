// A program a test starts and waits for: its exit code, or an end by force
// when it runs too long.
#pragma once

#include <windows.h>

#include <string>

namespace test_support {

class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() { Close(); }

  // Starts the command line in `folder` (the caller's when empty).
  bool Start(const std::string& commandLine, const std::string& folder = "") {
    Close();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info_) != FALSE;
  }
  bool Ended() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }
  // The exit code; -1 when it had to be ended after `timeoutMs`.
  int Wait(DWORD timeoutMs = 120000) {
    if (!info_.hProcess) return -2;
    int result = -1;
    if (WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(info_.hProcess, &code);
      result = static_cast<int>(code);
    } else {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 10000);
    }
    Close();
    return result;
  }
  // Ends it at once, as a power cut or the task manager would.
  void Kill() {
    if (!info_.hProcess) return;
    TerminateProcess(info_.hProcess, 9);
    WaitForSingleObject(info_.hProcess, 10000);
    Close();
  }

 private:
  void Close() {
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
    info_ = {};
  }
  PROCESS_INFORMATION info_{};
};

}  // namespace test_support
