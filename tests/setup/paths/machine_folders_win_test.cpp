// The folder lookups read from the prefix's registry, with each value set
// and removed.
#include "setup/paths/machine_folders_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

#include "setup/paths/machine_folders.h"
#include "setup/paths/path_specifiers.h"

namespace setup {
namespace {

// Sets or removes one registry value for the test and puts back what was there.
class ValueForTest {
 public:
  ValueForTest(HKEY root, const char* key, const char* name) : root_(root), key_(key), name_(name) {
    RegCreateKeyExA(root_, key_, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle_, nullptr);
    char buffer[1024];
    DWORD size = sizeof buffer, type = 0;
    if (RegQueryValueExA(handle_, name_, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ)
      saved_ = std::string(buffer, size > 0 ? size - 1 : 0);
  }
  ~ValueForTest() {
    if (saved_)
      Set(*saved_);
    else
      Remove();
    RegCloseKey(handle_);
  }
  void Set(const std::string& value) {
    RegSetValueExA(handle_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
  void Remove() { RegDeleteValueA(handle_, name_); }

 private:
  HKEY root_;
  const char* key_;
  const char* name_;
  HKEY handle_ = nullptr;
  std::optional<std::string> saved_;
};

std::string CurrentDrive() {
  char buffer[MAX_PATH];
  GetCurrentDirectoryA(sizeof buffer, buffer);
  return std::string(buffer, 2);
}

std::string WindowsFolderOfSystem() {
  char buffer[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
  return std::string(buffer, length);
}

class MachineFolders : public ::testing::Test {
 protected:
  void SetUp() override { UseSystemMachine(); }
  void TearDown() override { SetMachineAccess({}); }
};

TEST_F(MachineFolders, EachLookupReadsItsValueOrTakesItsDefault) {
  const std::string windows = WindowsFolderOfSystem();
  ASSERT_EQ(WindowsFolder(), windows);
  struct Row {
    HKEY root;
    const char* key;
    const char* name;
    std::string (*lookup)();
    std::string fallback;
  };
  const std::string drive = CurrentDrive();
  const Row rows[] = {
      {HKEY_CURRENT_USER, kShellFoldersKey + 1, "Start Menu", &StartMenuFolder, windows + "\\Startmen"},
      {HKEY_CURRENT_USER, kShellFoldersKey + 1, "Desktop", &DesktopFolder, windows + "\\Desktop"},
      {HKEY_CURRENT_USER, kShellFoldersKey + 1, "Startup", &StartupFolder, windows + "\\Startup"},
      {HKEY_LOCAL_MACHINE, kCurrentVersionKey + 1, "ProgramFilesDir", &ProgramFilesFolder,
       drive + "\\Program Files"},
      {HKEY_LOCAL_MACHINE, kCurrentVersionKey + 1, "CommonFilesDir", &CommonFilesFolder,
       drive + "\\Program Files\\Common Files"},
  };
  for (const Row& row : rows) {
    ValueForTest value(row.root, row.key, row.name);
    value.Set("Q:\\Chosen\\");
    EXPECT_EQ(row.lookup(), "Q:\\Chosen") << row.name;
    value.Remove();
    EXPECT_EQ(row.lookup(), row.fallback) << row.name;
  }
}

TEST_F(MachineFolders, ProgramsFollowsTheStartMenu) {
  ValueForTest startMenu(HKEY_CURRENT_USER, kShellFoldersKey + 1, "Start Menu");
  ValueForTest programs(HKEY_CURRENT_USER, kShellFoldersKey + 1, "Programs");
  startMenu.Remove();
  programs.Remove();
  EXPECT_EQ(ProgramsFolder(), WindowsFolderOfSystem() + "\\Startmen\\Programs");
  startMenu.Set("Q:\\Menu");
  EXPECT_EQ(ProgramsFolder(), "Q:\\Menu\\Programs");
  programs.Set("Q:\\Progs");
  EXPECT_EQ(ProgramsFolder(), "Q:\\Progs");
}

TEST_F(MachineFolders, DatabaseEngineFolderTakesTheFirstFieldWithoutItsBackslash) {
  fw::TComponent form(nullptr);
  EnsureStandardSpecifiers(&form);
  auto* hdb = PathSpecifiers().FindSpecifier<TpsHDBDLL>();
  ValueForTest dllPath(HKEY_LOCAL_MACHINE, "Software\\Harrowgate\\Database Engine", "DLLPath");
  dllPath.Set("Q:\\HDB\\;Q:\\Other");
  EXPECT_EQ(hdb->GetPath(nullptr), "Q:\\HDB");
  dllPath.Remove();
  EXPECT_EQ(hdb->GetPath(nullptr), ProgramFilesFolder() + "\\Harrowgate\\Common Files\\HDB");
}

}  // namespace
}  // namespace setup
