// Real servers on loopback for tests under Wine: a Linux program started from
// the Windows test, listening on a free port of 127.0.0.1 only, ended by its
// process id when the test is done.
//   HTTP: our own file server (http_test_server.py) that records the request
//         lines and headers it gets and can answer with faults;
//   FTP:  pyftpdlib serving a folder to anonymous users, read only.
#pragma once

#include <cstdint>
#include <string>

namespace test_support {

class LoopbackServer {
 public:
  enum class Kind { Http, Ftp };
  // Serves `folder` (a Windows path on Wine's Z: drive, created when missing);
  // throws std::runtime_error when the server does not answer.
  LoopbackServer(Kind kind, const std::string& folder);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  std::uint16_t Port() const { return port_; }
  // What the HTTP server recorded: each request line followed by its header
  // lines and an empty line.
  std::string RequestLog() const;

 private:
  std::string folder_;  // Windows path of the served folder
  std::string state_;   // Windows path of the folder with the log and the process id
  std::uint16_t port_ = 0;
};

// A loopback port nothing listens on at the moment of asking.
std::uint16_t FreeLoopbackPort();
// The Linux path of a path on Wine's Z: drive.
std::string LinuxPathOf(const std::string& windowsPath);

}  // namespace test_support
