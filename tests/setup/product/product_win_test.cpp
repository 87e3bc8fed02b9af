// The product's pieces on real files and the prefix's registry: earlier
// capture files renamed in a fixture folder, and an install that puts the
// uninstaller in place, renames the capture files in their fixed folder once
// its objects are done, and leaves an uninstall entry that, started as
// Windows starts it, runs the uninstaller with the product name.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "setup/archive/archive_files_win.h"
#include "setup/archive/pmbr_compress.h"
#include "setup/base/registry_win.h"
#include "setup/install/file_replace_win.h"
#include "setup/install/install_rules.h"
#include "setup/paths/path_specifiers.h"
#include "setup/product/capture_files_win.h"
#include "setup/product/uninstall_exe.h"
#include "tests/support/files.h"

namespace setup {
namespace {

using test_support::FullPath;
using test_support::ReadFileText;
using test_support::WriteFileText;

std::string TempFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return temp;
}

void RemoveFolder(const std::string& folder) {
  const std::string command = "cmd /c rmdir /s /q \"" + folder + "\" >nul 2>&1";
  std::system(command.c_str());
}

std::string FreshFolder(const std::string& name) {
  const std::string folder = TempFolder() + name;
  RemoveFolder(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The names in the folder, sorted, without "." and "..".
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CaptureFilesOnDisk, EachCaptureFileTakesItsTextNameUnlessThatIsTaken) {
  const std::string folder = FreshFolder("capture fixture");
  for (const char* name : {"LOG1.CAP", "OLD.CAPX", "log2.cap", "A.TXT", "B.CAP", "B.txt"})
    WriteFileText(folder + "\\" + name, name);
  CreateDirectoryA((folder + "\\X.CAP").c_str(), nullptr);

  RenameCaptureFiles(folder);

  EXPECT_EQ(Names(folder), (std::vector<std::string>{"A.TXT", "B.CAP", "B.txt", "LOG1.txt", "LOG2.txt",
                                                     "OLD.Ctxt", "X.CAP"}));
  struct Row {
    const char* name;
    const char* content;
  };
  const Row rows[] = {
      {"LOG1.txt", "LOG1.CAP"}, {"OLD.Ctxt", "OLD.CAPX"}, {"LOG2.txt", "log2.cap"},
      {"A.TXT", "A.TXT"},       {"B.CAP", "B.CAP"},       {"B.txt", "B.txt"},
  };
  for (const Row& row : rows) EXPECT_EQ(ReadFileText(folder + "\\" + row.name), row.content) << row.name;
  EXPECT_TRUE(GetFileAttributesA((folder + "\\X.CAP").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  RemoveFolder(folder);
}

TEST(CaptureFilesOnDisk, AMissingFolderIsLeftMissing) {
  const std::string folder = TempFolder() + "no capture folder";
  RemoveFolder(folder);
  RenameCaptureFiles(folder);
  EXPECT_FALSE(Exists(folder));
}

class ProductInstall : public TCustomInstall {
 public:
  using TCustomInstall::TCustomInstall;
  std::string BaseFolder() const override { return "C:\\setup"; }
  const std::string* ArchiveOption() const override { return nullptr; }
  std::string ProductName() const override { return "QUORVANE"; }
};

class InstalledProduct : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTree(kLocalMachine, productKey);
    captureFolderMade = CreateDirectoryA(kEarlierCaptureFolder, nullptr) != 0;
  }
  void TearDown() override {
    InstallSystem() = nullptr;
    RegDeleteTree(kLocalMachine, productKey);
    DeleteFileA((std::string(kEarlierCaptureFolder) + "\\LOG1.CAP").c_str());
    DeleteFileA((std::string(kEarlierCaptureFolder) + "\\LOG1.txt").c_str());
    if (captureFolderMade) RemoveDirectoryA(kEarlierCaptureFolder);
  }

  const std::string productKey = std::string(kUninstallKey) + "QUORVANE";
  bool captureFolderMade = false;
};

TEST_F(InstalledProduct, TheUninstallEntryStartsTheInstalledUninstallerWithTheProductName) {
  const std::string source = FreshFolder("uninstaller source");
  ASSERT_TRUE(
      CopyFileA(FullPath("stand_in_uninstaller.exe").c_str(), (source + "\\uninstall.exe").c_str(), FALSE));
  {
    Win32ArchiveFiles disk;
    SystemArchiveVersions versions;
    TPmbrCompress packer(nullptr, disk, versions, nullptr);
    packer.SetCompressedFile(source + "\\files.1");
    std::vector<std::string> list = {source + "\\uninstall.exe"};
    packer.SetFilesToProcess(list);
    packer.AddFiles(false, 0);
    ASSERT_FALSE(packer.Abort);
  }
  // Blanks in the path: the entry's quotes must keep it one program, so the
  // program the first blank would end is never started.
  const std::string top = FreshFolder("uninstall_test");
  ASSERT_TRUE(CopyFileA(FullPath("stand_in_uninstaller.exe").c_str(), (top + "\\OSTREL.exe").c_str(), FALSE));
  const std::string folder = top + "\\OSTREL SYSTEMS\\QUORVANE";
  WriteFileText(std::string(kEarlierCaptureFolder) + "\\LOG1.CAP", "an earlier capture");

  SystemFileInstall system;
  InstallSystem() = &system;
  {
    fw::TComponent form(nullptr);
    EnsureStandardSpecifiers(&form);
    auto* install = new ProductInstall(&form);
    install->SetName("Install1");
    install->OnAfterInstallObjects = ChangeFileType;
    auto* uninstaller = new TUninstallEXE(&form);
    uninstaller->SetName("UninstallEXE");
    uninstaller->SetContainer(install);
    uninstaller->FileName = uninstaller->DestName = "uninstall.exe";
    uninstaller->IncludeFromDir = source;
    uninstaller->SetDestDirType(nullptr);
    uninstaller->SetDestDir(folder);
    uninstaller->SetArchiveFileType(nullptr);
    uninstaller->SetArchiveFile(source + "\\files.1");
    install->Process();
    EXPECT_TRUE(uninstaller->Installed);
  }
  InstallSystem() = nullptr;

  const std::string program = folder + "\\uninstall.exe";
  EXPECT_EQ(ReadFileText(program), ReadFileText(source + "\\uninstall.exe"));
  EXPECT_EQ(Names(kEarlierCaptureFolder), (std::vector<std::string>{"LOG1.txt"}));
  EXPECT_EQ(RegReadString(kLocalMachine, productKey, "DisplayName", "(none)"), "QUORVANE");
  std::string command = RegReadString(kLocalMachine, productKey, "UninstallString", "");
  EXPECT_EQ(command, "\"" + program + "\" QUORVANE");
  HKEY files;
  EXPECT_NE(
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, (productKey.substr(1) + "\\Files").c_str(), 0, KEY_READ, &files),
      ERROR_SUCCESS);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process));
  CloseHandle(process.hThread);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  CloseHandle(process.hProcess);
  const std::string log = ReadFileText(folder + "\\uninstall.log");
  EXPECT_EQ(log,
            "command line: \"" + program + "\" QUORVANE\nprogram: " + program + "\nargument: QUORVANE\n");
  EXPECT_FALSE(Exists(top + "\\uninstall.log"));
  RemoveFolder(top);
  RemoveFolder(source);
}

}  // namespace
}  // namespace setup
