// Shortcuts made for real under Wine: link files in the prefix's Programs
// menu and desktop folders read back through the shell's link object,
// internet shortcut files, the uninstall log in the real registry, and
// Program Manager items sent to the stand-in server.
#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "setup/base/registry_win.h"
#include "setup/paths/machine_folders.h"
#include "setup/paths/machine_folders_win.h"
#include "setup/paths/path_specifiers.h"
#include "setup/shell/program_manager_win.h"
#include "setup/shell/shell_links_win.h"
#include "tests/setup/install/install_test_support.h"
#include "tests/support/dde_standin.h"

namespace setup {
namespace {

constexpr char kProductKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallimo";
constexpr char kAppFolder[] = "C:\\tallimo-shell-test\\app";

struct LinkRead {
  std::string path, arguments, workingDirectory;
};

LinkRead ReadLink(const std::string& file) {
  LinkRead read;
  IShellLinkA* link = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                             reinterpret_cast<void**>(&link)),
            S_OK);
  if (!link) return read;
  IPersistFile* persist = nullptr;
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
  EXPECT_EQ(persist->Load(wide, STGM_READ), S_OK) << file;
  char buffer[MAX_PATH] = {};
  link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
  read.path = buffer;
  buffer[0] = 0;
  link->GetArguments(buffer, MAX_PATH);
  read.arguments = buffer;
  buffer[0] = 0;
  link->GetWorkingDirectory(buffer, MAX_PATH);
  read.workingDirectory = buffer;
  persist->Release();
  link->Release();
  return read;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class UninstallerFile : public TCustomInstallFile {
 public:
  using TCustomInstallFile::TCustomInstallFile;
  std::string ClassName() const override { return "TUninstallEXE"; }
};

class ShellLinks : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSystemMachine();
    UseSystemShell();
    RegDeleteTree(kLocalMachine, kProductKey);
    EnsureStandardSpecifiers(&form);
    install = new test_support::StandInInstall(&form);
    main = new TMainLinkGroup(&form);
    programs = ProgramsFolder() + "\\Tallimo";
    CreateDirectoryA("C:\\tallimo-shell-test", nullptr);
    CreateDirectoryA(kAppFolder, nullptr);
  }
  void TearDown() override { RegDeleteTree(kLocalMachine, kProductKey); }

  template <class T = test_support::StandInFile>
  T* InstalledFile(const std::string& name, bool installed = true) {
    auto* file = new T(&form);
    file->FileName = name;
    file->SetDestDir(kAppFolder);
    file->Installed = installed;
    std::ofstream(std::string(kAppFolder) + "\\" + name) << "program";
    return file;
  }
  TInstallShellLink* LinkTo(TInstallContainer* folder, TInstallContainer* target) {
    auto* link = new TInstallShellLink(&form);
    link->SetContainer(folder);
    if (target) link->SetObjectLink(target);
    return link;
  }
  std::string Log(const std::string& key, const std::string& name) {
    return RegReadString(kLocalMachine, std::string(kProductKey) + "\\" + key, name, "<none>");
  }

  fw::TComponent form{nullptr};
  test_support::StandInInstall* install = nullptr;
  TMainLinkGroup* main = nullptr;
  std::string programs;
};

TEST_F(ShellLinks, LinkInTheProgramsMenuReadsBackTargetArgumentsAndFolder) {
  auto* link = LinkTo(main, InstalledFile("prog.exe"));
  link->Parameters = "-x 100%%";
  EXPECT_EQ(link->LinkName(), "prog.lnk");
  main->Process();
  const std::string path = programs + "\\prog.lnk";
  ASSERT_TRUE(Exists(path)) << path;
  const LinkRead read = ReadLink(path);
  EXPECT_EQ(read.path, std::string(kAppFolder) + "\\prog.exe");
  EXPECT_EQ(read.arguments, "-x 100%");
  EXPECT_EQ(read.workingDirectory, kAppFolder);
  EXPECT_EQ(Log("Files", "File1"), path);
  EXPECT_EQ(Log("Files", "Entries"), "1");
}

TEST_F(ShellLinks, LinkOnTheDesktopAndOneToTheUninstallerWithTheProductName) {
  auto* desktop = new TCustomShellLinkGroup(&form);
  desktop->SetDestDirType(PathSpecifiers().FindSpecifier<TpsDesktopMenu>());
  LinkTo(desktop, InstalledFile("desk.exe"));
  LinkTo(desktop, InstalledFile<UninstallerFile>("remove.exe"));
  desktop->Process();
  const LinkRead desk = ReadLink(DesktopFolder() + "\\desk.lnk");
  EXPECT_EQ(desk.path, std::string(kAppFolder) + "\\desk.exe");
  const LinkRead remove = ReadLink(DesktopFolder() + "\\remove.lnk");
  EXPECT_EQ(remove.path, std::string(kAppFolder) + "\\remove.exe");
  EXPECT_EQ(remove.arguments, "Tallimo");
  EXPECT_EQ(Log("Files", "Entries"), "2");
  EXPECT_EQ(Log("Files", "File2"), DesktopFolder() + "\\remove.lnk");
  DeleteFileA((DesktopFolder() + "\\desk.lnk").c_str());
  DeleteFileA((DesktopFolder() + "\\remove.lnk").c_str());
}

TEST_F(ShellLinks, TargetNotInstalledMakesNoFileButIsLogged) {
  LinkTo(main, InstalledFile("skipped.exe", false));
  main->Process();
  EXPECT_FALSE(Exists(programs + "\\skipped.lnk"));
  EXPECT_EQ(Log("Files", "File1"), programs + "\\skipped.lnk");
}

TEST_F(ShellLinks, InternetShortcutIsAnIniFileWithItsUrl) {
  auto* link = LinkTo(main, nullptr);
  link->SetObjectLocation("http://example.test/a/../b?x=1");
  EXPECT_EQ(link->LinkName(), "example.test_a_.._b_x=1.URL");
  main->Process();
  const std::string path = programs + "\\example.test_a_.._b_x=1.URL";
  EXPECT_EQ(Bytes(path), "[InternetShortcut]\r\nURL=http://example.test/a/../b?x=1\r\n");
  char url[256] = {};
  GetPrivateProfileStringA("InternetShortcut", "URL", "", url, sizeof url, path.c_str());
  EXPECT_STREQ(url, "http://example.test/a/../b?x=1");
  DeleteFileA(path.c_str());
}

TEST_F(ShellLinks, UninstallLogMovesOnPastEntriesThatAreNotNumbers) {
  RegWriteString(kLocalMachine, std::string(kProductKey) + "\\Files", "Entries", "abc");
  WriteUninstallFileEntry(SystemRegistry(), kProductKey, "C:\\one.lnk");
  EXPECT_EQ(Log("Files1", "File1"), "C:\\one.lnk");
  EXPECT_EQ(Log("Files1", "Entries"), "1");
  RegWriteString(kLocalMachine, std::string(kProductKey) + "\\Files1", "Entries", "4");
  WriteUninstallFileEntry(SystemRegistry(), kProductKey, "C:\\two.lnk");
  EXPECT_EQ(Log("Files1", "File5"), "C:\\two.lnk");
  EXPECT_EQ(Log("Files1", "Entries"), "5");
  EXPECT_EQ(Log("Files", "Entries"), "abc");
}

TEST_F(ShellLinks, UninstallLogStopsAfterItsLastKey) {
  for (int n = 0; n < kUninstallKeySuffixes; ++n)
    RegWriteString(kLocalMachine, std::string(kProductKey) + "\\Files" + (n ? std::to_string(n) : ""),
                   "Entries", "x");
  EXPECT_THROW(WriteUninstallFileEntry(SystemRegistry(), kProductKey, "C:\\x.lnk"), EIRCannotWriteValue);
  EXPECT_EQ(Log("Files100", "Entries"), "<none>");
}

TEST_F(ShellLinks, ProgramManagerItemGoesToTheStandIn) {
  ::test_support::DdeStandIn server("PMLINKS", "group Quorvane\n\"Quorvane\",1\n\"prog\",\"x\"\n");
  SetDdeConversationFactory(NewSystemDdeConversation);
  ResetProgramManager();
  ProgramManager().DdeService = ProgramManager().DdeTopic = "PMLINKS";
  auto* folder = new TCustomShellLinkGroup(&form);
  folder->SetDestDirType(PathSpecifiers().FindSpecifier<TpsProgramMenu>());
  folder->SetDestDir("\\Quorvane");
  auto* link = LinkTo(folder, InstalledFile("prog.exe"));
  // Items are made for shortcuts whose own destination is in the Programs menu.
  link->SetDestDirType(PathSpecifiers().FindSpecifier<TpsProgramMenu>());
  link->SetDestDir("\\Quorvane");
  link->Method = mtProgramManager;
  link->Parameters = "-a";
  // In the main folder the destination is the container's: no item.
  auto* mainLink = new TInstallMainLink(&form);
  mainLink->SetObjectLink(InstalledFile("other.exe"));
  mainLink->Method = mtProgramManager;
  folder->Process();
  main->Process();
  EXPECT_EQ(server.Executes(),
            (std::vector<std::string>{"[CreateGroup(\"Quorvane\")]", "[ShowGroup(Quorvane,8)]",
                                      "[ReplaceItem(\"prog\")]", "[ShowGroup(Quorvane,8)]",
                                      "[AddItem(\"C:\\tallimo-shell-test\\app\\prog.exe\" -a,prog,,0,,,"
                                      "\"C:\\tallimo-shell-test\\app\",)]"}));
  EXPECT_EQ(Log("Files", "File1"), ProgramsFolder() + "\\Quorvane\\prog.lnk");
  EXPECT_EQ(Log("Files", "File2"), programs + "\\other.lnk");
  EXPECT_FALSE(Exists(programs + "\\other.lnk"));
  ResetProgramManager();
}

TEST(ShellLinkFile, PathLongerThanTheShellTakesIsRefusedNotCut) {
  ShellLinkData link;
  link.Target = "C:\\windows\\notepad.exe";
  link.ObjectName = "L1";
  link.LinkPath = "C:\\tallimo-shell-test\\" + std::string(240, 'x') + "\\" + std::string(20, 'y') + ".lnk";
  try {
    SaveShellLinkFile(link);
    ADD_FAILURE();
  } catch (const IEInstallShellLink& e) {
    EXPECT_EQ(
        e.Message(),
        "The TCustomInstallShellLink L1 name could not be installed. The following error was reported The "
        "link file path " +
            link.LinkPath + " is longer than 259 characters");
  }
  link.LinkPath.resize(MAX_PATH - 1);  // the name a cut would give
  EXPECT_FALSE(Exists(link.LinkPath));
}

TEST(ShellLinkFile, ShellFailureNamesTheShortcutAndTheCode) {
  ShellLinkData link;
  link.Target = "C:\\windows\\notepad.exe";
  link.ObjectName = "L1";
  link.LinkPath = "C:\\tallimo-no-such-folder\\x.lnk";
  try {
    SaveShellLinkFile(link);
    ADD_FAILURE();
  } catch (const IEInstallShellLink& e) {
    const std::string text = e.Message();
    EXPECT_EQ(
        text.rfind("The TCustomInstallShellLink L1 name could not be installed. The following error was "
                   "reported ",
                   0),
        0u)
        << text;
    EXPECT_NE(text.find(". Error code -2147"), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace setup

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
