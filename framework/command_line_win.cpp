#include <windows.h>

#include "framework/command_line.h"

namespace fw {
namespace {

std::vector<std::string> Arguments() {
  const char* line = GetCommandLineA();
  return SplitCommandLine(line ? line : "");
}

}  // namespace

std::string ParamStr(int index) {
  const auto arguments = Arguments();
  return index >= 0 && static_cast<std::size_t>(index) < arguments.size()
             ? arguments[static_cast<std::size_t>(index)]
             : std::string();
}

int ParamCount() {
  const auto count = static_cast<int>(Arguments().size());
  return count > 0 ? count - 1 : 0;
}

}  // namespace fw
