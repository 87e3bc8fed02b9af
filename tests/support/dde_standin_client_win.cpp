#include <windows.h>

#include <fstream>
#include <stdexcept>

#include "tests/support/dde_standin.h"

namespace test_support {
namespace {

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD size = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, size);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace

DdeStandIn::DdeStandIn(const std::string& service, const std::string& script) {
  folder_ = ProgramFolder();
  const std::string scriptPath = folder_ + "dde_" + service + ".script";
  log_ = folder_ + "dde_" + service + ".log";
  std::ofstream(scriptPath, std::ios::binary) << script;
  DeleteFileA(log_.c_str());
  const std::string eventName = "dde_standin_ready_" + service + "_" + std::to_string(GetCurrentProcessId());
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
  std::string command = "\"" + folder_ + "dde_standin.exe\" \"" + service + "\" \"" + scriptPath + "\" \"" +
                        log_ + "\" \"" + eventName + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    CloseHandle(ready);
    throw std::runtime_error("cannot start dde_standin.exe");
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  thread_ = info.dwThreadId;
  HANDLE both[] = {ready, info.hProcess};
  const DWORD woke = WaitForMultipleObjects(2, both, FALSE, 30000);
  CloseHandle(ready);
  if (woke != WAIT_OBJECT_0) {
    TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    process_ = nullptr;
    throw std::runtime_error("dde_standin.exe did not register its service");
  }
}

DdeStandIn::~DdeStandIn() {
  if (!process_) return;
  PostThreadMessageA(thread_, WM_QUIT, 0, 0);
  if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
  CloseHandle(process_);
}

std::vector<std::string> DdeStandIn::Log() const {
  std::vector<std::string> lines;
  std::ifstream in(log_, std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> DdeStandIn::Executes() const {
  std::vector<std::string> lines;
  for (auto& line : Log())
    if (line.rfind("?", 0) != 0) lines.push_back(line);
  return lines;
}

void DdeStandIn::ClearExecutes() const { DeleteFileA(log_.c_str()); }

}  // namespace test_support
