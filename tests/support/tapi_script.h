// Test side of the stand-in telephony library: writes its script, resets it,
// and reads back the calls it logged.
#pragma once

#include <string>
#include <vector>

namespace test_support {

class TapiScript {
 public:
  // Writes `script` to a file of the test's folder (named after `name`) and
  // points the stand-in at it and at a fresh call log.
  TapiScript(const std::string& name, const std::string& script);

  // Every call the stand-in logged so far, one line each.
  std::vector<std::string> Calls() const;
  // The logged calls that start with `prefix`.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

 private:
  std::string logPath_;
};

}  // namespace test_support
