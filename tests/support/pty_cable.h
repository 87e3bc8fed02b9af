// A serial cable for tests under Wine: two pseudo-terminals joined by socat and
// mapped as two COM ports of the test prefix. The program under test opens one
// end (ProgramPort) with the real comm API; the test plays the register on the
// other end through Send and Receive.
//
// Port numbers are taken from 10 to 49 by claiming a folder per number, so
// tests running in parallel never share a port. Wine starts Linux programs
// (socat, ln, rm, pkill) when a Windows process asks for them, but gives no
// usable handle for them, so every step waits for its effect on disk instead.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/files.h"

namespace test_support {

class PtyCable {
 public:
  // Creates the cable; throws std::runtime_error when it cannot.
  PtyCable();
  ~PtyCable();
  PtyCable(const PtyCable&) = delete;
  PtyCable& operator=(const PtyCable&) = delete;

  // The COM number the program under test opens ("\\.\COMn").
  int ProgramPort() const { return programPort_; }

  // Writes bytes into the line as the register would.
  void Send(const std::string& bytes);
  // Reads what the program sent, until `count` bytes came or `timeoutMs` passed.
  std::string Receive(std::size_t count, DWORD timeoutMs);
  // Once the program has closed its port: reads, from the program's end,
  // what the line holds for it, until nothing came for `quietMs`. Empty when
  // the port cannot be opened (the program still has it).
  std::string ReadProgramSide(DWORD quietMs);
  // Ends the cable under the program, as pulling out an adapter would: the
  // joining program ends and both pseudo-terminals go away.
  void Cut();

 private:
  void OpenRegisterSide();
  std::string prefix_;  // Linux path of the Wine prefix
  std::string folder_;  // Linux path of this cable's folder
  bool cut_ = false;    // socat already ended by Cut()
  int programPort_ = 0;
  int registerPort_ = 0;
  HANDLE registerSide_ = INVALID_HANDLE_VALUE;
};

// Runs a Linux program from a Windows process under Wine (no wait, no handle).
void StartLinuxProgram(const std::string& commandLine);
// A path as one word of that command line, also inside a nested sh -c '...':
// a build folder may have blanks in its name.
std::string ShellWord(const std::string& path);
// True when the Linux path has a directory entry (seen through Wine's Z: drive).
bool LinuxPathExists(const std::string& path);

}  // namespace test_support
