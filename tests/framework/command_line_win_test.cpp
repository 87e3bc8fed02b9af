// The running program's own arguments.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/command_line.h"

namespace fw {
namespace {

TEST(ParamStr, ReadsTheProgramsCommandLine) {
  EXPECT_EQ(SplitCommandLine(GetCommandLineA()).size(), static_cast<std::size_t>(ParamCount()) + 1);
  EXPECT_NE(ParamStr(0).find("fw_command_line_win_test"), std::string::npos) << ParamStr(0);
  EXPECT_EQ(ParamStr(ParamCount() + 1), "");
  EXPECT_EQ(ParamStr(-1), "");
}

}  // namespace
}  // namespace fw
