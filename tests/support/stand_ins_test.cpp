// The stand-in loading program, run as a self-extracting setup and as a
// plain loader beside "setup.1": the installer it takes out of the archive
// (here the recording stand-in) runs from a new temporary folder with the
// arguments of a loaded install, and a damaged trailer is shown in a message
// box and starts nothing. The recording stand-in is the uninstaller of the
// distributions, so its log format is checked on the way.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "setup/archive/archive_files_win.h"
#include "setup/archive/pmbr_compress.h"
#include "setup/base/extraction_info.h"
#include "tests/support/files.h"

namespace {

using test_support::FullPath;
using test_support::ReadFileText;
using test_support::WriteFileText;

// An empty folder in the system's temporary folder (the archive keeps source
// paths of at most 100 characters, which a deep checkout would pass).
std::string FreshFolder(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = temp + name;
  const std::string command = "cmd /c rmdir /s /q \"" + folder + "\" >nul 2>&1";
  std::system(command.c_str());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void RemoveFolder(const std::string& folder) {
  const std::string command = "cmd /c rmdir /s /q \"" + folder + "\" >nul 2>&1";
  std::system(command.c_str());
}

void Pack(const std::string& archive, std::vector<std::string> files) {
  setup::Win32ArchiveFiles disk;
  setup::SystemArchiveVersions versions;
  setup::TPmbrCompress packer(nullptr, disk, versions, nullptr);
  packer.SetCompressedFile(archive);
  packer.SetFilesToProcess(files);
  packer.AddFiles(false, 0);
  ASSERT_FALSE(packer.Abort);
}

std::string Trailer(const setup::TExtractionInfo& info) {
  const auto bytes = setup::EncodeExtractionInfo(info);
  return std::string(bytes.begin(), bytes.end());
}

HANDLE Start(const std::string& program) {
  std::string command = "\"" + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

// The exit code, or STILL_ACTIVE when the program has not ended in time.
DWORD Finish(HANDLE process) {
  WaitForSingleObject(process, 60000);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

struct Record {
  std::string commandLine, program;
  std::vector<std::string> arguments;
};

Record ReadRecord(const std::string& path) {
  Record record;
  const std::string text = ReadFileText(path);
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end - at);
    at = end == std::string::npos ? text.size() : end + 1;
    const auto value = [&](const std::string& label) {
      return line.rfind(label, 0) == 0 ? line.substr(label.size()) : std::string();
    };
    if (line.rfind("command line: ", 0) == 0) record.commandLine = value("command line: ");
    if (line.rfind("program: ", 0) == 0) record.program = value("program: ");
    if (line.rfind("argument: ", 0) == 0) record.arguments.push_back(value("argument: "));
  }
  return record;
}

class StandInLoader : public ::testing::Test {
 protected:
  void SetUp() override {
    source = FreshFolder("stand in source");
    CopyFileA(FullPath("stand_in_uninstaller.exe").c_str(), (source + "\\Wendmere.exe").c_str(), FALSE);
    WriteFileText(source + "\\helper.txt", "a file the installer needs");
    Pack(source + "\\setup.1", {source + "\\Wendmere.exe", source + "\\helper.txt"});
    loader = ReadFileText(FullPath("stand_in_loader.exe"));
    build = FreshFolder("stand in build");
    log = build + "\\installer.log";
    SetEnvironmentVariableA("TALLIMO_STAND_IN_LOG", log.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("TALLIMO_STAND_IN_LOG", nullptr);
    RemoveFolder(source);
    RemoveFolder(build);
  }

  // What the installer recorded, checking that it ran from a folder of its
  // own in the temporary folder with everything "setup.1" holds beside it.
  Record Installer() {
    const Record record = ReadRecord(log);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = setup::FolderOf(record.program);
    EXPECT_EQ(setup::FileNameOf(record.program), "Wendmere.exe");
    EXPECT_EQ(setup::FolderOf(folder) + "\\", temp);
    EXPECT_EQ(ReadFileText(folder + "\\helper.txt"), "a file the installer needs");
    EXPECT_EQ(ReadFileText(record.program), ReadFileText(source + "\\Wendmere.exe"));
    RemoveFolder(folder);
    return record;
  }

  std::string source, build, log, loader;
};

TEST_F(StandInLoader, AsASelfExtractingSetupItStartsTheEmbeddedInstaller) {
  const std::string archive = ReadFileText(source + "\\setup.1");
  const std::int64_t start = static_cast<std::int64_t>(loader.size());
  const std::int64_t end = start + static_cast<std::int64_t>(archive.size()) - 1;
  WriteFileText(build + "\\setup.exe", loader + archive + Trailer({start, end, 0, 0}));

  EXPECT_EQ(Finish(Start(build + "\\setup.exe")), 0u);
  const Record record = Installer();
  EXPECT_EQ(record.arguments, (std::vector<std::string>{"-esetup.exe", "-s" + build, "-c"}));
  EXPECT_EQ(record.commandLine, "\"" + record.program + "\" \"-esetup.exe\" \"-s" + build + "\" \"-c\"");
}

TEST_F(StandInLoader, AsAPlainLoaderItReadsTheArchiveBesideIt) {
  WriteFileText(build + "\\setup.exe", loader);
  CopyFileA((source + "\\setup.1").c_str(), (build + "\\setup.1").c_str(), FALSE);
  WriteFileText(build + "\\files.1", "the installation's archive, not read by the loader");

  EXPECT_EQ(Finish(Start(build + "\\setup.exe")), 0u);
  const Record record = Installer();
  EXPECT_EQ(record.arguments, (std::vector<std::string>{"-s" + build, "-c"}));
}

// The text of the message box a process shows, after which it is answered
// with OK; "" when none appears in time.
std::string AnswerMessageBox(HANDLE process) {
  struct Search {
    DWORD id;
    HWND box = nullptr;
  } search{GetProcessId(process)};
  for (int tries = 0; tries < 400 && !search.box; ++tries) {
    Sleep(50);
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
          auto* s = reinterpret_cast<Search*>(parameter);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          char name[16] = {};
          GetClassNameA(window, name, sizeof name);
          if (owner != s->id || std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
          s->box = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
  }
  if (!search.box) return "";
  std::string text;
  EnumChildWindows(
      search.box,
      [](HWND child, LPARAM parameter) -> BOOL {
        char name[16] = {}, caption[1024] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::string(name) == "Static" && GetWindowTextA(child, caption, sizeof caption) > 0)
          *reinterpret_cast<std::string*>(parameter) += caption;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  PostMessageA(search.box, WM_COMMAND, IDOK, 0);
  return text;
}

TEST_F(StandInLoader, ADamagedTrailerIsShownAndStartsNothing) {
  const std::string setup = build + "\\setup.exe";
  const std::int64_t size = static_cast<std::int64_t>(loader.size()) + 56;
  // The embedded archive would lie past the end of the file.
  WriteFileText(setup, loader + Trailer({size + 10, size + 100, 0, 0}));

  const HANDLE process = Start(setup);
  ASSERT_NE(process, nullptr);
  const std::string text = AnswerMessageBox(process);
  EXPECT_EQ(Finish(process), 2u);
  EXPECT_EQ(text, "Could not read the extraction info from the archive file " + setup +
                      " when trying to find the correct offset into the self extracting file");
  EXPECT_EQ(GetFileAttributesA(log.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
