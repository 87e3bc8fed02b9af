// How a command line splits into arguments.
#include "framework/command_line.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(SplitCommandLine, Table) {
  struct Row {
    const char* line;
    std::vector<std::string> arguments;
  };
  const Row rows[] = {
      {"", {}},
      {"   \t ", {}},
      {"setup.exe", {"setup.exe"}},
      {"\"C:\\Program Files\\setup.exe\" -r", {"C:\\Program Files\\setup.exe", "-r"}},
      // A backslash before a quote is no escape.
      {"setup -d \"-sC:\\My Build\\\"", {"setup", "-d", "-sC:\\My Build\\"}},
      // Quotes anywhere in an argument only group.
      {"setup -s\"C:\\My Build\" -e\"a b\".exe", {"setup", "-sC:\\My Build", "-ea b.exe"}},
      {"setup  \t-b\t\t-c  ", {"setup", "-b", "-c"}},
      {"setup \"\" x", {"setup", "", "x"}},
      {"setup \"unterminated arg", {"setup", "unterminated arg"}},
      {"a\"\"b", {"ab"}},
  };
  for (const Row& row : rows) EXPECT_EQ(SplitCommandLine(row.line), row.arguments) << row.line;
}

}  // namespace
}  // namespace fw
