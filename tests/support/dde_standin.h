// Starts and stops the stand-in DDE server (dde_standin.exe, copied beside
// the test program) and reads back the execute strings it recorded.
#pragma once

#include <string>
#include <vector>

namespace test_support {

class DdeStandIn {
 public:
  // Runs the server under the service name with the script text (see
  // dde_standin_win.cpp); returns once the name is registered.
  DdeStandIn(const std::string& service, const std::string& script);
  ~DdeStandIn();
  DdeStandIn(const DdeStandIn&) = delete;
  DdeStandIn& operator=(const DdeStandIn&) = delete;

  // Requests ("?" + item) and execute strings, in the order they came.
  std::vector<std::string> Log() const;
  // The execute strings alone.
  std::vector<std::string> Executes() const;
  void ClearExecutes() const;

 private:
  std::string folder_, log_;
  void* process_ = nullptr;
  unsigned long thread_ = 0;
};

}  // namespace test_support
