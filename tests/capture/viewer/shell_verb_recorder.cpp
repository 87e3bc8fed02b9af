// Stands in for the program a file type is associated with: appends its
// arguments, joined by "|", as one line to the file named by the environment
// variable TALLIMO_VERB_LOG. The print tests register it for a file type of
// their own. The log is not named on the command line: the shell reads an
// association's command into a buffer of its own, and a short command fits
// wherever the test's files are.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const char* logPath = std::getenv("TALLIMO_VERB_LOG");
  if (!logPath || !*logPath) return 2;
  std::string line;
  for (int i = 1; i < argc; ++i) line += (i > 1 ? "|" : "") + std::string(argv[i]);
  FILE* log = std::fopen(logPath, "ab");
  if (!log) return 1;
  std::fprintf(log, "%s\n", line.c_str());
  return std::fclose(log) == 0 ? 0 : 1;
}
