// The setup program's install as a whole process under Wine, and the archive's
// own extraction of the same files, for bench/process/wendmere_install.sh.
//   wendmere_install_bench install SETUP.EXE FOLDER
//     starts the self-extracting setup in FOLDER, goes through its pages as a
//     user would (Next on each), and prints "copy: S" - the seconds from Next
//     on the program-folder page to the page that says the setup is complete -
//     then presses Finish and waits for the setup to end.
//   wendmere_install_bench extract SETUP.EXE FOLDER
//     takes every entry of the archive inside SETUP.EXE out into FOLDER, with
//     nothing shown, and prints "extract: S".
//   wendmere_install_bench check SETUP.EXE
//     reads every entry of that archive to its end, as the install does
//     before it replaces the first file, and prints "check: S".
//   wendmere_install_bench start
//     only starts and ends.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "setup/archive/archive_files_win.h"
#include "setup/archive/pmbr_compress.h"
#include "setup/base/extraction_info.h"
#include "tests/support/window_find.h"

namespace {

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

using test_support::TextOf;
using test_support::TopWindow;

// Polls every 2 ms, for a minute at most.
bool WaitFor(const std::function<bool()>& condition) {
  for (int tries = 0; tries < 30000; ++tries) {
    if (condition()) return true;
    Sleep(2);
  }
  return false;
}

bool Press(const std::string& page, const std::string& caption) {
  HWND button = nullptr;
  if (!WaitFor([&] {
        HWND window = TopWindow(page);
        return window && (button = test_support::VisibleButton(window, caption)) != nullptr;
      })) {
    std::fprintf(stderr, "no page \"%s\" with \"%s\"\n", page.c_str(), caption.c_str());
    return false;
  }
  HWND window = GetAncestor(button, GA_ROOT);
  PostMessageA(button, BM_CLICK, 0, 0);
  WaitFor([&] { return TextOf(window) != page || !IsWindowVisible(window); });
  return true;
}

int Install(const std::string& setup, const std::string& folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + setup + "\"";
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process)) {
    std::fprintf(stderr, "cannot start %s: %lu\n", setup.c_str(), GetLastError());
    return 1;
  }
  CloseHandle(process.hThread);
  bool done = true;
  for (const char* page :
       {"Quorvane INSTALL", "Welcome", "Software license agreement", "Readme information", "Setup type"})
    done = done && Press(page, "Next >");
  // The program folder is the last page before the copy.
  done = done && Press("Select folder in start menu", "Next >");
  const double from = Seconds();
  done = done && WaitFor([] { return TopWindow("Setup complete") || TopWindow("Setup incomplete"); });
  const double to = Seconds();
  if (done && TopWindow("Setup incomplete")) {
    std::fprintf(stderr, "the install failed\n");
    done = false;
  }
  if (done) std::printf("copy: %.3f\n", to - from);
  Press(done ? "Setup complete" : "Setup incomplete", "Finish");
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  return done && code == 0 ? 0 : 1;
}

// Every entry of the archive inside the setup, taken out into `folder` or,
// without one, only read through.
int Extract(const std::string& setup, const std::string& folder) {
  const double from = Seconds();
  const setup::TExtractionInfo info = setup::ReadExtractionInfo(setup);
  setup::Win32ArchiveFiles files;
  setup::SystemArchiveVersions versions;
  setup::TPmbrCompress archive(nullptr, files, versions, nullptr);
  archive.SetCompressedFile(setup);
  archive.Offset = static_cast<std::int32_t>(info.FilesStart);
  archive.ReadHeaders();
  std::vector<std::string> names;
  for (const auto& header : archive.Headers().Items()) names.push_back(header->SourcePath);
  archive.ExtractDirectory = folder;
  archive.SetFilesToProcess(names);
  if (folder.empty())
    archive.CheckFiles();
  else
    archive.ExtractFiles();
  std::printf("%s: %.3f\n", folder.empty() ? "check" : "extract", Seconds() - from);
  return archive.Abort ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  try {
    if (mode == "install" && argc == 4) return Install(argv[2], argv[3]);
    if (mode == "extract" && argc == 4) return Extract(argv[2], argv[3]);
    if (mode == "check" && argc == 3) return Extract(argv[2], "");
    if (mode == "start") return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  std::fprintf(stderr, "usage: wendmere_install_bench install|extract SETUP.EXE FOLDER | check SETUP.EXE | start\n");
  return 2;
}
