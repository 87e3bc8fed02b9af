#include "tests/support/tapi_script.h"

#include <windows.h>

#include <fstream>
#include <stdexcept>

namespace test_support {

TapiScript::TapiScript(const std::string& name, const std::string& script) {
  const std::string scriptPath = name + ".tapi-script";
  logPath_ = name + ".tapi-log";
  std::ofstream(scriptPath, std::ios::binary | std::ios::trunc) << script;
  std::ofstream(logPath_, std::ios::binary | std::ios::trunc);
  SetEnvironmentVariableA("TALLIMO_TAPI_SCRIPT", scriptPath.c_str());
  SetEnvironmentVariableA("TALLIMO_TAPI_LOG", logPath_.c_str());
  // The stand-in reads its script once per load; tell an already loaded one.
  if (HMODULE library = GetModuleHandleA("tapi32.dll")) {
    if (auto reset = reinterpret_cast<void(WINAPI*)()>(GetProcAddress(library, "standinReset"))) reset();
  }
}

std::vector<std::string> TapiScript::Calls() const {
  std::ifstream in(logPath_, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> TapiScript::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> matching;
  for (const auto& line : Calls())
    if (line.rfind(prefix, 0) == 0) matching.push_back(line);
  return matching;
}

}  // namespace test_support
