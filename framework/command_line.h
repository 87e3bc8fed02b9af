// The program's arguments as the setup program and the tools read them: a
// double quote only switches quoting on and off (it may stand anywhere in an
// argument and is removed), blanks and tabs outside quotes separate
// arguments, and a backslash is an ordinary character, so
// -d "-sC:\My Build\" gives the folder with its backslash.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw {

// The arguments of a command line, the program's name first.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Argument `index` of the running program's command line (0 the program as
// started); "" beyond the last.
std::string ParamStr(int index);
// The number of arguments after the program's name.
int ParamCount();

}  // namespace fw
