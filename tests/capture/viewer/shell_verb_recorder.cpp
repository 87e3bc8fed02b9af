// Stands in for the program a file type is associated with: appends its
// arguments after the first, joined by "|", as one line to the file named by
// the first. The print tests register it for a file type of their own.
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string line;
  for (int i = 2; i < argc; ++i) line += (i > 2 ? "|" : "") + std::string(argv[i]);
  FILE* log = std::fopen(argv[1], "ab");
  if (!log) return 1;
  std::fprintf(log, "%s\n", line.c_str());
  return std::fclose(log) == 0 ? 0 : 1;
}
