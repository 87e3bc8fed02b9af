// Takes the part of the uninstaller a distribution packs: it writes how it
// was started into "uninstall.log" beside itself (or into the file named by
// TALLIMO_STAND_IN_LOG, so a test finds it wherever the program runs) and
// exits with 0. Lines: "command line: ", "program: " and one "argument: " per
// argument.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char module[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  const std::string program(module, length);
  char named[MAX_PATH];
  const DWORD namedLength = GetEnvironmentVariableA("TALLIMO_STAND_IN_LOG", named, MAX_PATH);
  const std::string log = namedLength > 0 && namedLength < MAX_PATH
                              ? std::string(named, namedLength)
                              : program.substr(0, program.rfind('\\') + 1) + "uninstall.log";
  std::FILE* file = std::fopen(log.c_str(), "wb");
  if (!file) return 1;
  std::fprintf(file, "command line: %s\n", GetCommandLineA());
  std::fprintf(file, "program: %s\n", program.c_str());
  for (int i = 1; i < __argc; ++i) std::fprintf(file, "argument: %s\n", __argv[i]);
  return std::fclose(file) == 0 ? 0 : 1;
}
