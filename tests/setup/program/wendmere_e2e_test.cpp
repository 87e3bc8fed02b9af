// The setup program from end to end, in a Wine prefix of its own
// (wendmere_run.sh): Wendmere.exe -b builds the distribution from the build
// machine's folder; the self-extracting setup.exe (the stand-in loading
// program) starts the installer, which this test drives through its windows'
// buttons; then the installed files, shortcuts and registry entries.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "setup/base/extraction_info.h"
#include "tests/setup/program/wendmere_driving.h"

namespace {

using namespace wendmere_test;

class Wendmere : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { PrepareBuildMachine(); }
};

TEST_F(Wendmere, BuildsTheSelfExtractingDistribution) {
  ASSERT_EQ(BuildDistribution(), 0);
  const std::string dist = kDistFolder;
  for (const char* name : {"setup.exe", "setup.1", "files.1"}) EXPECT_TRUE(Exists(dist + "\\" + name)) << name;
  EXPECT_FALSE(Exists(dist + "\\filelist.lst"));
  const auto size = [](const std::string& path) { return static_cast<std::int64_t>(ReadFileText(path).size()); };
  const std::int64_t loader = size(std::string(kVendorFolder) + "\\PembrinLoadProgram.exe");
  const std::int64_t setup1 = size(dist + "\\setup.1"), files1 = size(dist + "\\files.1");
  const setup::TExtractionInfo info = setup::ReadExtractionInfo(dist + "\\setup.exe");
  EXPECT_EQ(info.SetupStart, loader);
  EXPECT_EQ(info.SetupEnd, loader + setup1 - 1);
  EXPECT_EQ(info.FilesStart, loader + setup1);
  EXPECT_EQ(info.FilesEnd, loader + setup1 + files1 - 1);
  EXPECT_EQ(size(dist + "\\setup.exe"), loader + setup1 + files1 + 56);
}

TEST_F(Wendmere, ACancelInstallsNothingAndLeavesNoKey) {
  ASSERT_TRUE(Exists(std::string(kDistFolder) + "\\setup.exe")) << "the build comes first";
  Process setup;
  ASSERT_TRUE(setup.Start("\"" + std::string(kDistFolder) + "\\setup.exe\"", kDistFolder));
  Press("Quorvane INSTALL", "Next >");
  Press("Welcome", "Cancel");
  Press("Setup incomplete", "Finish");
  EXPECT_EQ(setup.Wait(), 1) << "a cancel is no success";
  EXPECT_FALSE(Exists(kInstalled));
  EXPECT_TRUE(InstanceKeys().empty());
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "<no key>");
}

TEST_F(Wendmere, InstallsTheCaptureProgramThroughTheWizard) {
  ASSERT_TRUE(Exists(std::string(kDistFolder) + "\\setup.exe")) << "the build comes first";
  // Capture files an earlier version left in its own folder.
  CreateDirectoryA("C:\\Program Files\\QUORVANE", nullptr);
  WriteFileText("C:\\Program Files\\QUORVANE\\LOG1.CAP", "an old journal");

  Process setup;
  ASSERT_TRUE(setup.Start("\"" + std::string(kDistFolder) + "\\setup.exe\"", kDistFolder));
  ASSERT_TRUE(WaitUntil([] { return TopWindow("Quorvane INSTALL") != nullptr; }, 60000));
  Sleep(500);
  Shot("Ostrel SYSTEMS PRESENTS", "wendmere_main_window.bmp");
  Shot("Quorvane INSTALL", "wendmere_product_page.bmp");
  Press("Quorvane INSTALL", "Next >");
  Press("Welcome", "Next >");
  Press("Software license agreement", "Next >");
  Press("Readme information", "Next >");
  Press("Setup type", "Next >");
  // The program-folder page names the main shortcut folder.
  ASSERT_TRUE(WaitUntil([] { return TopWindow("Select folder in start menu") != nullptr; }, 60000));
  Sleep(500);
  Shot("Select folder in start menu", "wendmere_program_folder_page.bmp");
  Press("Select folder in start menu", "Next >");
  // The copy is short: a picture of the window while it runs, when caught.
  for (int tries = 0; tries < 1000 && !TopWindow("Setup complete"); ++tries) {
    if (TopWindow("Copying installation files")) {
      Sleep(100);  // its first paint
      Shot("Ostrel SYSTEMS PRESENTS", "wendmere_copying.bmp");
      break;
    }
    Sleep(2);
  }
  if (WaitUntil([] { return TopWindow("Setup complete") || TopWindow("Setup incomplete"); }, 60000) &&
      TopWindow("Setup incomplete")) {
    // Say what went wrong: the error follows the failure page.
    Press("Setup incomplete", "Finish");
    Sleep(2000);
    ADD_FAILURE() << "the install failed; windows:" << VisibleWindows();
  }
  Press("Setup complete", "Finish");
  ASSERT_EQ(setup.Wait(), 0);

  const std::string folder = kInstalled;
  EXPECT_EQ(ReadFileText(folder + "\\Quorvane - Brask.exe"),
            ReadFileText(std::string(kSourceFolder) + "\\Quorvane - Brask.exe"));
  for (const char* name : {"QUORVANE.HLP", "QUORVANE.CNT", "uninstall.exe"})
    EXPECT_EQ(ReadFileText(folder + "\\" + name), ReadFileText(std::string(kSourceFolder) + "\\" + name)) << name;
  EXPECT_EQ(ReadFileText("C:\\Program Files\\QUORVANE\\LOG1.txt"), "an old journal");
  EXPECT_FALSE(Exists("C:\\Program Files\\QUORVANE\\LOG1.CAP"));
  EXPECT_TRUE(InstanceKeys().empty());

  // The uninstall entry and its log.
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "QUORVANE");
  const std::string uninstall = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
  EXPECT_EQ(uninstall, "\"" + folder + "\\uninstall.exe\" QUORVANE");
  const std::string files = std::string(kUninstallKey) + "\\Files";
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, files, "Entries"), "6");
  for (int i = 1; i <= 6; ++i) {
    const std::string logged = RegText(HKEY_LOCAL_MACHINE, files, "File" + std::to_string(i));
    EXPECT_TRUE(Exists(logged)) << i << ": " << logged;
  }
  for (const char* help : {"QUORVANE.HLP", "QUORVANE.CNT"})
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\Help", help), folder) << help;

  // The shortcuts, read back through the shell.
  char programs[MAX_PATH] = {}, desktop[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
  SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
  CoInitialize(nullptr);
  const auto target = [](const std::string& link) {
    IShellLinkA* shell = nullptr;
    std::string path;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shell)))) {
      IPersistFile* file = nullptr;
      if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
          char found[MAX_PATH] = {};
          shell->GetPath(found, MAX_PATH, nullptr, 0);
          path = found;
        }
        file->Release();
      }
      shell->Release();
    }
    return path;
  };
  const std::string menu = std::string(programs) + "\\OSTREL SYSTEMS";
  EXPECT_EQ(target(menu + "\\Quorvane Brask.LNK"), folder + "\\Quorvane - Brask.exe");
  EXPECT_EQ(target(menu + "\\Uninstall Quorvane.LNK"), folder + "\\uninstall.exe");
  EXPECT_EQ(target(std::string(desktop) + "\\Quorvane Brask.LNK"), folder + "\\Quorvane - Brask.exe");
  CoUninitialize();
  // The prefix's shell folders are its own, not the machine's home folder.
  char documents[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documents);
  EXPECT_FALSE(Exists(std::string(documents) + "\\Quorvane Brask.LNK")) << documents;

  // Windows starts the uninstaller with the entry as its command line.
  Process uninstaller;
  ASSERT_TRUE(uninstaller.Start(uninstall, ""));
  EXPECT_EQ(uninstaller.Wait(), 0);
  const std::string log = ReadFileText(folder + "\\uninstall.log");
  EXPECT_NE(log.find("argument: QUORVANE"), std::string::npos) << log;
}

}  // namespace
