#include "framework/command_line.h"

namespace fw {

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> arguments;
  std::size_t at = 0;
  for (;;) {
    while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t')) ++at;
    if (at >= commandLine.size()) return arguments;
    std::string argument;
    bool quoted = false;
    for (; at < commandLine.size(); ++at) {
      const char c = commandLine[at];
      if (c == '"') {
        quoted = !quoted;
      } else if (!quoted && (c == ' ' || c == '\t')) {
        break;
      } else {
        argument += c;
      }
    }
    arguments.push_back(std::move(argument));
  }
}

}  // namespace fw
