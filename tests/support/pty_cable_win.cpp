#include "tests/support/pty_cable.h"

#include <cctype>
#include <cstring>
#include <stdexcept>

namespace test_support {

namespace {

constexpr int kFirstPort = 10;
constexpr int kLastPort = 49;
constexpr DWORD kStepTimeoutMs = 10000;

std::string WindowsPathOf(const std::string& linuxPath) {
  std::string path = "Z:" + linuxPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string Environment(const char* name) {
  char value[1024];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  if (length == 0 || length >= sizeof value) return {};
  return std::string(value, length);
}

std::string Link(const std::string& prefix, int port) {
  return prefix + "/dosdevices/com" + std::to_string(port);
}

}  // namespace

void StartLinuxProgram(const std::string& commandLine) {
  // Through a shell that detaches the program from every descriptor it
  // inherits: a Linux child left running (a cable whose test crashed) would
  // otherwise hold the test runner's output pipe open, and the runner would
  // wait for it. Wine splits the command line by Windows rules: quote with
  // double quotes.
  std::string line =
      "/bin/bash -c \"for fd in $(ls /proc/$$/fd); do [ $fd -gt 2 ] && eval exec $fd'>&-'; done 2>/dev/null; "
      "exec " +
      commandLine + " </dev/null >/dev/null 2>&1\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    throw std::runtime_error("cannot start " + commandLine);
  // A Linux program started this way has no Windows process: Wine leaves
  // stale values in the handles it reports (seen: 0 and 0xC, the standard
  // output's handle). Closing them would close handles of this process, so
  // they are left alone; there is nothing of the child to close.
}

std::string ShellWord(const std::string& path) {
  // A backslash before every other character keeps it literal for the shell
  // that runs the line, and survives single quotes for a shell inside it.
  std::string word;
  for (char c : path) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && !std::strchr("/._-+=,:@", c)) word += '\\';
    word += c;
  }
  return word;
}

bool LinuxPathExists(const std::string& path) {
  // Wine answers GetFileAttributes with failure for character devices such as
  // a pseudo-terminal, but lists them in a directory search.
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(WindowsPathOf(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

PtyCable::PtyCable() {
  prefix_ = Environment("WINEPREFIX");
  if (prefix_.empty()) throw std::runtime_error("PtyCable: WINEPREFIX is not set (run under tools/wine-run)");
  // Cables live beside the prefix (the runner's state folder).
  const std::string cables = prefix_.substr(0, prefix_.find_last_of('/')) + "/cables";
  CreateDirectoryA(WindowsPathOf(cables).c_str(), nullptr);

  // Claim a pair of free numbers: creating a folder is atomic, so two tests
  // never get the same one.
  for (int port = kFirstPort; port < kLastPort && programPort_ == 0; port += 2) {
    const std::string folder = cables + "/com" + std::to_string(port);
    if (CreateDirectoryA(WindowsPathOf(folder).c_str(), nullptr)) {
      programPort_ = port;
      registerPort_ = port + 1;
      folder_ = folder;
    }
  }
  if (programPort_ == 0) throw std::runtime_error("PtyCable: no free COM numbers");

  const std::string programEnd = folder_ + "/program", registerEnd = folder_ + "/register";
  // socat removes its links when it ends; timeout ends it should a test crash.
  StartLinuxProgram("/usr/bin/timeout 900 /usr/bin/socat pty,raw,echo=0,link=" + ShellWord(programEnd) +
                    " pty,raw,echo=0,link=" + ShellWord(registerEnd));
  if (!WaitUntil([&] { return LinuxPathExists(programEnd) && LinuxPathExists(registerEnd); }, kStepTimeoutMs))
    throw std::runtime_error("PtyCable: socat did not create " + folder_);
  StartLinuxProgram("/bin/ln -sfn " + ShellWord(programEnd) + " " + ShellWord(Link(prefix_, programPort_)));
  StartLinuxProgram("/bin/ln -sfn " + ShellWord(registerEnd) + " " + ShellWord(Link(prefix_, registerPort_)));
  if (!WaitUntil(
          [&] {
            return LinuxPathExists(Link(prefix_, programPort_)) &&
                   LinuxPathExists(Link(prefix_, registerPort_));
          },
          kStepTimeoutMs))
    throw std::runtime_error("PtyCable: COM links did not appear");
  OpenRegisterSide();
}

void PtyCable::OpenRegisterSide() {
  const std::string name = "\\\\.\\COM" + std::to_string(registerPort_);
  registerSide_ =
      CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (registerSide_ == INVALID_HANDLE_VALUE)
    throw std::runtime_error("PtyCable: cannot open " + name + ", error " + std::to_string(GetLastError()));
}

void PtyCable::Cut() {
  StartLinuxProgram("/usr/bin/pkill -f link=" + ShellWord(folder_ + "/program"));
  const std::string programEnd = folder_ + "/program";
  WaitUntil([&] { return !LinuxPathExists(programEnd); }, kStepTimeoutMs);
  cut_ = true;
}

PtyCable::~PtyCable() {
  if (registerSide_ != INVALID_HANDLE_VALUE) CloseHandle(registerSide_);
  if (folder_.empty()) return;
  StartLinuxProgram("/bin/rm -f " + ShellWord(Link(prefix_, programPort_)) + " " +
                    ShellWord(Link(prefix_, registerPort_)));
  // Once cut, socat is gone: a second pkill would start late, after this
  // folder is free, and could end the socat of the next cable that claims it.
  if (!cut_) StartLinuxProgram("/usr/bin/pkill -f link=" + ShellWord(folder_ + "/program"));
  const std::string programEnd = folder_ + "/program";
  WaitUntil([&] { return !LinuxPathExists(programEnd) && !LinuxPathExists(Link(prefix_, programPort_)); },
            kStepTimeoutMs);
  RemoveDirectoryA(WindowsPathOf(folder_).c_str());
}

void PtyCable::Send(const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    DWORD written = 0;
    if (!WriteFile(registerSide_, bytes.data() + sent, static_cast<DWORD>(bytes.size() - sent), &written,
                   nullptr))
      throw std::runtime_error("PtyCable: write failed, error " + std::to_string(GetLastError()));
    sent += written;
  }
}

std::string PtyCable::Receive(std::size_t count, DWORD timeoutMs) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 0;
  timeouts.ReadTotalTimeoutConstant = 50;
  SetCommTimeouts(registerSide_, &timeouts);
  std::string received;
  const DWORD start = GetTickCount();
  while (received.size() < count && GetTickCount() - start < timeoutMs) {
    char buffer[4096];
    DWORD read = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, count - received.size()));
    if (!ReadFile(registerSide_, buffer, wanted, &read, nullptr)) break;
    received.append(buffer, read);
  }
  return received;
}

std::string PtyCable::ReadProgramSide(DWORD quietMs) {
  const std::string name = "\\\\.\\COM" + std::to_string(programPort_);
  HANDLE port =
      CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (port == INVALID_HANDLE_VALUE) return {};
  COMMTIMEOUTS timeouts{};
  timeouts.ReadTotalTimeoutConstant = 50;
  SetCommTimeouts(port, &timeouts);
  std::string received;
  DWORD lastByte = GetTickCount();
  while (GetTickCount() - lastByte < quietMs) {
    char buffer[4096];
    DWORD read = 0;
    if (!ReadFile(port, buffer, sizeof buffer, &read, nullptr)) break;
    if (read > 0) lastByte = GetTickCount();
    received.append(buffer, read);
  }
  CloseHandle(port);
  return received;
}

}  // namespace test_support
