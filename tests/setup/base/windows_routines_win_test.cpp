// The installer's questions to Windows, asked of Wine.
#include "setup/base/windows_routines_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "setup/base/exceptions.h"
#include "tests/support/files.h"

namespace setup {
namespace {

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string LongPathOf(const std::string& path) {
  char buffer[1024];
  const DWORD length = GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

TEST(ShortPathOf, GivesTheSystemsShortNameOfALongOne) {
  const std::string folder = test_support::FullPath("Setup Base Long Folder Name");
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string file = folder + "\\program with a long name.exe";
  std::ofstream(file) << "x";

  const std::string shortPath = ShortPathOf(file);
  EXPECT_NE(shortPath, file);
  EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
  EXPECT_NE(shortPath.find('~'), std::string::npos) << shortPath;
  EXPECT_TRUE(FileExists(shortPath)) << shortPath;
  EXPECT_EQ(LongPathOf(shortPath), file);
  // The short form of a short path is itself.
  EXPECT_EQ(ShortPathOf(shortPath), shortPath);
  DeleteFileA(file.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST(ShortPathOf, GivesThePathItselfWhenTheSystemCannot) {
  const std::string missing = test_support::FullPath("no such folder here\\no such file.txt");
  EXPECT_EQ(ShortPathOf(missing), missing);
  EXPECT_EQ(ShortPathOf(""), "");
  // Longer than the 400 characters the result may have.
  std::string deep = test_support::FullPath("deep");
  while (deep.size() < 450) deep += "\\a folder with a long name";
  EXPECT_EQ(ShortPathOf(deep), deep);
}

TEST(UniqueTempFileName, KeptOrOnlyNamed) {
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string tempFolder = temp;

  const std::string kept = UniqueTempFileName(true);
  EXPECT_EQ(kept.rfind(tempFolder, 0), 0u) << kept;
  const std::string name = kept.substr(tempFolder.size());
  EXPECT_EQ(name.rfind("bat", 0), 0u) << name;
  EXPECT_TRUE(FileExists(kept));

  const std::string named = UniqueTempFileName(false);
  EXPECT_EQ(named.rfind(tempFolder + "bat", 0), 0u) << named;
  EXPECT_FALSE(FileExists(named));
  EXPECT_NE(named, kept);
  EXPECT_NE(UniqueTempFileName(true), kept);
  DeleteFileA(kept.c_str());
}

TEST(WindowsKind, WineReportsTheNtFamily) {
  EXPECT_EQ(WindowsKind(), 2);
  const auto version = SystemWindowsVersion();
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->platformId, 2u);
}

// Wine reports the Windows version of AppDefaults\<program>\Version to that
// program; the key is removed again afterwards.
int KindOfProbeUnder(const std::string& version) {
  const std::string key = "Software\\Wine\\AppDefaults\\setup_windows_kind_probe.exe";
  HKEY opened = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                      nullptr) != ERROR_SUCCESS) {
    return -1;
  }
  RegSetValueExA(opened, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                 static_cast<DWORD>(version.size() + 1));
  RegCloseKey(opened);
  std::string command = "\"" + test_support::FullPath("setup_windows_kind_probe.exe") + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  DWORD exitCode = static_cast<DWORD>(-1);
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &process)) {
    WaitForSingleObject(process.hProcess, 30000);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
  return static_cast<int>(exitCode);
}

TEST(WindowsKind, WineReportsThe95FamilyAndNt351PerProgram) {
  EXPECT_EQ(KindOfProbeUnder("win98"), 1);
  EXPECT_EQ(KindOfProbeUnder("win95"), 1);
  EXPECT_EQ(KindOfProbeUnder("nt351"), 3);
  EXPECT_EQ(KindOfProbeUnder("nt40"), 2);
  EXPECT_EQ(KindOfProbeUnder("win7"), 2);
}

TEST(SystemFolders, ExistAndLieInEachOther) {
  const std::string windows = WindowsDirectory();
  const std::string system = SystemDirectory();
  EXPECT_TRUE(FolderExists(windows)) << windows;
  EXPECT_TRUE(FolderExists(system)) << system;
  EXPECT_EQ(system.rfind(windows + "\\", 0), 0u) << system;
}

}  // namespace
}  // namespace setup
