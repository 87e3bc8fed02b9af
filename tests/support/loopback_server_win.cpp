#include "tests/support/loopback_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <stdexcept>

#include "tests/support/files.h"
#include "tests/support/pty_cable.h"

namespace test_support {
namespace {

constexpr DWORD kStartTimeoutMs = 15000;

void StartWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) throw std::runtime_error("LoopbackServer: winsock does not start");
}

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

bool Listening(std::uint16_t port) {
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (probe == INVALID_SOCKET) return false;
  const sockaddr_in address = Loopback(port);
  const bool connected = connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  closesocket(probe);
  return connected;
}

std::string CurrentFolder() {
  char folder[MAX_PATH];
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) throw std::runtime_error("LoopbackServer: no current folder");
  return std::string(folder, length);
}

}  // namespace

std::uint16_t FreeLoopbackPort() {
  StartWinsock();
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) throw std::runtime_error("FreeLoopbackPort: no socket");
  sockaddr_in address = Loopback(0);
  int size = sizeof address;
  const bool bound = bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                     getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) == 0;
  closesocket(listener);
  if (!bound) throw std::runtime_error("FreeLoopbackPort: cannot bind");
  return ntohs(address.sin_port);
}

std::string LinuxPathOf(const std::string& windowsPath) {
  if (windowsPath.size() < 3 || (windowsPath[0] != 'Z' && windowsPath[0] != 'z') || windowsPath[1] != ':')
    throw std::runtime_error("LinuxPathOf: not on the Z: drive: " + windowsPath);
  std::string path = windowsPath.substr(2);
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

LoopbackServer::LoopbackServer(Kind kind, const std::string& folder) : folder_(folder) {
  static int serial = 0;
  state_ = CurrentFolder() + "\\loopback-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++serial);
  CreateDirectoryA(state_.c_str(), nullptr);
  CreateDirectoryA(folder_.c_str(), nullptr);
  port_ = FreeLoopbackPort();
  const std::string port = std::to_string(port_);
  const std::string served = ShellWord(LinuxPathOf(folder_)), state = ShellWord(LinuxPathOf(state_));
  const std::string server = kind == Kind::Http
                                 ? "/usr/bin/python3 " + ShellWord(TEST_SUPPORT_DIR "/http_test_server.py") +
                                       " " + port + " " + served + " " + state + "/log"
                                 : "/usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p " + port + " -d " + served;
  // The shell notes its process id and becomes the server; timeout ends a
  // server whose test died before stopping it.
  StartLinuxProgram("/bin/sh -c 'echo $$ >" + state + "/pid; exec /usr/bin/timeout 600 " + server + "'");
  if (!WaitUntil([&] { return Listening(port_); }, kStartTimeoutMs))
    throw std::runtime_error("LoopbackServer: nothing listens on port " + port);
}

LoopbackServer::~LoopbackServer() {
  const std::string pid = ReadFileText(state_ + "\\pid");
  const auto digits = pid.find_first_not_of("0123456789\n");
  if (!pid.empty() && digits == std::string::npos) {
    StartLinuxProgram("/bin/kill " + pid.substr(0, pid.find('\n')));
    WaitUntil([&] { return !Listening(port_); }, kStartTimeoutMs);
  }
  DeleteFileA((state_ + "\\pid").c_str());
  DeleteFileA((state_ + "\\log").c_str());
  RemoveDirectoryA(state_.c_str());
}

std::string LoopbackServer::RequestLog() const { return ReadFileText(state_ + "\\log"); }

}  // namespace test_support
