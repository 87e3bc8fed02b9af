// Installing files on real files and the real registry under Wine: a
// destination held open, the arrangements for the next start (through the
// move seam: a real delayed move would fire at the next start of the shared
// test prefix), self-registration of built fixtures, help, shared-library
// and uninstall entries read back from the registry.
#include "setup/install/file_replace_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <tuple>
#include <thread>

#include "framework/registry_win.h"
#include "setup/archive/archive_files_win.h"
#include "setup/archive/pmbr_compress.h"
#include "setup/base/registry_win.h"
#include "setup/base/text_routines.h"
#include "setup/base/windows_routines_win.h"
#include "setup/install/install_rules.h"
#include "tests/support/files.h"

namespace setup {
namespace {

using test_support::FullPath;
using test_support::ReadFileText;
using test_support::WriteFileText;

// An archive of one file, as a build makes it.
void PackFile(ArchiveFileSystem& disk, ArchiveVersions& versions, const std::string& archive,
              const std::string& file) {
  TPmbrCompress packer(nullptr, disk, versions, nullptr);
  packer.SetCompressedFile(archive);
  std::vector<std::string> list = {file};
  packer.SetFilesToProcess(list);
  packer.AddFiles(false, 0);
}

// A file held open without any sharing, as a running program holds itself.
class HeldOpen {
 public:
  explicit HeldOpen(const std::string& path)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~HeldOpen() { Release(); }
  bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Release() {
    if (Held()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

// A fresh folder beside the tests.
// An empty folder in the system's temporary folder: an archive holds source
// paths of at most 100 characters, which a checkout in a deep folder passes.
std::string FreshFolder(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = temp + name;
  std::string command = "cmd /c rmdir /s /q \"" + folder + "\" >nul 2>&1";
  std::system(command.c_str());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// Takes a value out of an HKEY_LOCAL_MACHINE key ("\..." paths).
void DeleteValue(const std::string& key, const std::string& name) {
  HKEY opened;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.substr(1).c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS)
    return;
  RegDeleteValueA(opened, name.c_str());
  RegCloseKey(opened);
}

// Seams put back at the end of each test.
class SeamsRestored : public ::testing::Test {
 protected:
  void TearDown() override { SystemSeams() = saved_; }
  InstallSystemSeams saved_ = SystemSeams();
};

class InUse : public SeamsRestored {};

TEST_F(InUse, AHeldDestinationStaysWholeAndTheNewFileWaitsUnderTheNextNumber) {
  const std::string folder = FreshFolder("in use dest");
  const std::string source = FreshFolder("in use src") + "\\Quorvane - Brask.exe";
  WriteFileText(source, "new program bytes");
  Win32ArchiveFiles disk;
  SystemArchiveVersions versions;
  const std::string archivePath = folder + "\\..\\in use src\\files.1";
  PackFile(disk, versions, archivePath, source);
  const std::string destination = folder + "\\Quorvane - Brask.exe";
  WriteFileText(destination, "old program");
  WriteFileText(folder + "\\Quorvane - Brask.1", "an earlier leftover");

  HeldOpen holder(destination);
  ASSERT_TRUE(holder.Held());
  InUseRedirectFiles files(disk);
  TPmbrCompress archive(nullptr, files, versions, nullptr);
  archive.SetCompressedFile(archivePath);
  archive.ExtractDirectory = folder;
  std::vector<std::string> list = {source};
  archive.SetFilesToProcess(list);
  archive.ExtractFiles();
  holder.Release();

  EXPECT_EQ(ReadFileText(destination), "old program");
  EXPECT_EQ(ReadFileText(folder + "\\Quorvane - Brask.1"), "an earlier leftover");
  EXPECT_EQ(ReadFileText(folder + "\\Quorvane - Brask.2"), "new program bytes");
  ASSERT_EQ(files.Redirected().size(), 1u);
  EXPECT_EQ(files.Redirected()[0].Destination, destination);
  EXPECT_EQ(files.Redirected()[0].NewFile, folder + "\\Quorvane - Brask.2");
}

TEST_F(InUse, AnInstallFileWritesItsDestinationNameOrWaitsBesideIt) {
  const std::string sourceFolder = FreshFolder("install file src");
  const std::string folder = FreshFolder("install file dest");
  WriteFileText(sourceFolder + "\\prog.exe", "version 2");
  Win32ArchiveFiles disk;
  SystemArchiveVersions versions;
  PackFile(disk, versions, sourceFolder + "\\files.1", sourceFolder + "\\prog.exe");
  SystemFileInstall system;
  InstallSystem() = &system;
  fw::TComponent owner(nullptr);
  auto* file = new TInstallFile(&owner);
  file->SetName("File1");
  file->FileName = "prog.exe";
  file->IncludeFromDir = sourceFolder;
  file->DestName = "Quorvane Program.exe";
  file->SetDestDir(folder);
  file->SetArchiveFile(sourceFolder + "\\files.1");
  const std::string destination = folder + "\\Quorvane Program.exe";
  EXPECT_TRUE(file->Install());
  EXPECT_EQ(ReadFileText(destination), "version 2");
  EXPECT_FALSE(file->InUse());

  WriteFileText(destination, "version 1, running");
  std::vector<std::string> moves;
  SystemSeams().WindowsKind = [] { return 2; };
  SystemSeams().MoveFileEx = [&](const std::string& from, const std::string& to, DWORD) {
    moves.push_back(from + " -> " + to);
    return true;
  };
  {
    HeldOpen holder(destination);
    ASSERT_TRUE(holder.Held());
    EXPECT_TRUE(file->Install());
  }
  InstallSystem() = nullptr;
  EXPECT_TRUE(file->InUse());
  EXPECT_EQ(ReadFileText(destination), "version 1, running");
  EXPECT_EQ(ReadFileText(folder + "\\Quorvane Program.1"), "version 2");
  EXPECT_EQ(moves, (std::vector<std::string>{folder + "\\Quorvane Program.1 -> " + destination}));
  EXPECT_EQ(file->DestinationPath(), destination);
}

// A drive letter the prefix does not have.
std::string MissingDrive() {
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'Q'; letter <= 'Y'; ++letter)
    if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
  return "";
}

// A destination typed by the user that cannot be made: the install names
// the file with the system's reason, and leaves no folder it made.
TEST_F(InUse, ADestinationThatCannotBeMadeSaysWhyAndLeavesNoFolders) {
  const std::string sourceFolder = FreshFolder("unmakeable src");
  const std::string root = FreshFolder("unmakeable dest");
  WriteFileText(sourceFolder + "\\prog.exe", "program");
  Win32ArchiveFiles disk;
  SystemArchiveVersions versions;
  PackFile(disk, versions, sourceFolder + "\\files.1", sourceFolder + "\\prog.exe");
  // As root a read-only attribute stops no write: the read-only folder is
  // the system's process folder (Z: is the machine's root), and a file in
  // the way stops a folder as well.
  WriteFileText(root + "\\taken", "a file");
  struct Case {
    const char* what;
    std::string destination;
  } cases[] = {
      {"too long", root + "\\made\\" + std::string(300, 'x')},
      {"forbidden characters", root + "\\made\\a<b>c|d"},
      {"a drive that does not exist", MissingDrive() + "\\Quorvane"},
      {"a read-only folder", "Z:\\proc\\Quorvane"},
      {"a file in the way", root + "\\taken\\Quorvane"},
  };
  SystemFileInstall system;
  InstallSystem() = &system;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fw::TComponent owner(nullptr);
    auto* file = new TInstallFile(&owner);
    file->SetName("File1");
    file->FileName = "prog.exe";
    file->IncludeFromDir = sourceFolder;
    file->SetDestDir(c.destination);
    file->SetArchiveFile(sourceFolder + "\\files.1");
    try {
      file->Install();
      ADD_FAILURE() << "installed";
    } catch (const std::exception& e) {
      const std::string text = e.what(), start = "Cannot create the file " + c.destination + "\\prog.exe: ";
      EXPECT_EQ(text.rfind(start, 0), 0u) << text;
      EXPECT_GT(text.size(), start.size()) << "no reason: " << text;
    }
    EXPECT_EQ(GetFileAttributesA((root + "\\made").c_str()), INVALID_FILE_ATTRIBUTES);
  }
  InstallSystem() = nullptr;
  WIN32_FIND_DATAA found;
  HANDLE listing = FindFirstFileA((root + "\\*").c_str(), &found);
  std::vector<std::string> left;
  for (BOOL more = listing != INVALID_HANDLE_VALUE; more; more = FindNextFileA(listing, &found))
    if (found.cFileName[0] != '.') left.push_back(found.cFileName);
  if (listing != INVALID_HANDLE_VALUE) FindClose(listing);
  EXPECT_EQ(left, std::vector<std::string>{"taken"}) << "no folder or temporary file is left";
}

PendingReplace MadePending(const std::string& folderName) {
  const std::string folder = FreshFolder(folderName);
  PendingReplace pending{folder + "\\Long Program Name.exe", folder + "\\Long Program Name.1"};
  WriteFileText(pending.Destination, "old");
  WriteFileText(pending.NewFile, "new");
  return pending;
}

TEST_F(InUse, OnNTTheMoveReplacesTheOldFileAtTheNextStart) {
  const PendingReplace pending = MadePending("delayed move");
  std::vector<std::tuple<std::string, std::string, DWORD>> moves;
  SystemSeams().WindowsKind = [] { return 2; };
  SystemSeams().MoveFileEx = [&](const std::string& from, const std::string& to, DWORD flags) {
    moves.emplace_back(from, to, flags);
    return true;
  };
  EXPECT_EQ(ScheduleReplace(pending, "File1"), ReplaceWay::DelayedMove);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(std::get<0>(moves[0]), pending.NewFile);
  EXPECT_EQ(std::get<1>(moves[0]), pending.Destination);
  EXPECT_EQ(std::get<2>(moves[0]),
            static_cast<DWORD>(MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
}

TEST_F(InUse, WhenTheSystemRefusesTheMoveABatchRunsOnceAndErasesItself) {
  const PendingReplace pending = MadePending("batch move");
  SystemSeams().WindowsKind = [] { return 2; };
  SystemSeams().MoveFileEx = [](const std::string&, const std::string&, DWORD) { return false; };
  // A value of an earlier install keeps its name: ours takes the next one.
  ASSERT_TRUE(AddRunOnceValue("PembrinBatFile", "earlier.bat", false));
  EXPECT_EQ(ScheduleReplace(pending, "File1"), ReplaceWay::Batch);
  const std::string batch = RegReadString(kLocalMachine, kRunOnceKey, "PembrinBatFile1", "");
  // Never leave them for the next start of the shared prefix.
  DeleteValue(kRunOnceKey, "PembrinBatFile");
  DeleteValue(kRunOnceKey, "PembrinBatFile1");
  ASSERT_FALSE(batch.empty());
  EXPECT_EQ(UpperExtension(batch), ".BAT");
  const std::string& oldPath = pending.Destination;
  EXPECT_EQ(ReadFileText(batch), "erase \"" + oldPath + "\"\r\nmove \"" + pending.NewFile + "\" \"" +
                                     oldPath + "\"\r\nerase \"" + batch + "\"\r\n");
  // The batch does its work when run, and takes itself away.
  std::system(("cmd /c \"" + batch + "\" >nul 2>&1").c_str());
  EXPECT_EQ(ReadFileText(pending.Destination), "new");
  EXPECT_EQ(GetFileAttributesA(pending.NewFile.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(batch.c_str()), INVALID_FILE_ATTRIBUTES);
}

// cmd expands "%...%" inside quotes too: a folder whose name holds one must
// reach the batch commands as it is, not as the folder the variable names.
TEST_F(InUse, APercentInAFolderNameStaysInTheBatches) {
  // Made before the variable is set: the clearing of a fresh folder goes
  // through cmd as well.
  const PendingReplace pending = MadePending("batch %SETUPDECOY% move");
  SetEnvironmentVariableA("SETUPDECOY", "decoy");
  const PendingReplace decoy = MadePending("batch decoy move");
  SystemSeams().WindowsKind = [] { return 2; };
  SystemSeams().MoveFileEx = [](const std::string&, const std::string&, DWORD) { return false; };
  EXPECT_EQ(ScheduleReplace(pending, "File1"), ReplaceWay::Batch);
  const std::string inUse = RegReadString(kLocalMachine, kRunOnceKey, "PembrinBatFile", "");
  DeleteValue(kRunOnceKey, "PembrinBatFile");
  ASSERT_FALSE(inUse.empty());
  std::system(("cmd /c \"" + inUse + "\" >nul 2>&1").c_str());
  EXPECT_EQ(ReadFileText(pending.Destination), "new");
  EXPECT_EQ(ReadFileText(decoy.Destination), "old");
  EXPECT_EQ(ReadFileText(decoy.NewFile), "new");

  const std::string temp = FreshFolder("cleanup percent");
  const std::string program = temp + "\\inst %SETUPDECOY%\\setup.exe";
  const std::string decoyProgram = temp + "\\inst decoy\\setup.exe";
  for (const std::string& path : {program, decoyProgram}) {
    CreateDirectoryA(FolderOf(path).c_str(), nullptr);
    WriteFileText(path, "setup");
  }
  const std::string cleanup = temp + "\\bat1.bat";
  WriteFileText(cleanup, CleanupBatchText(program, temp, cleanup));
  std::system(("cmd /c \"" + cleanup + "\" >nul 2>&1").c_str());
  EXPECT_EQ(GetFileAttributesA(FolderOf(program).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadFileText(decoyProgram), "setup");
  EXPECT_EQ(GetFileAttributesA(cleanup.c_str()), INVALID_FILE_ATTRIBUTES);
  SetEnvironmentVariableA("SETUPDECOY", nullptr);
}

TEST_F(InUse, OnThe95FamilyWininitGetsShortPathsBothSides) {
  const PendingReplace pending = MadePending("wininit move");
  SystemSeams().WindowsKind = [] { return 1; };
  SystemSeams().MoveFileEx = [](const std::string&, const std::string&, DWORD) -> bool {
    ADD_FAILURE() << "no delayed move on the 95 family";
    return false;
  };
  EXPECT_EQ(ScheduleReplace(pending, "File1"), ReplaceWay::Wininit);
  char data[MAX_PATH] = {};
  const std::string oldShort = ShortPathOf(pending.Destination);
  GetPrivateProfileStringA("Rename", oldShort.c_str(), "", data, sizeof data, "WININIT.INI");
  WritePrivateProfileStringA("Rename", nullptr, nullptr, "WININIT.INI");
  EXPECT_EQ(std::string(data), ShortPathOf(pending.NewFile));
  EXPECT_NE(oldShort, pending.Destination);  // the long name has blanks: the short one differs
}

class SelfRegistration : public SeamsRestored {
 protected:
  // A fixture copied into a fresh destination folder.
  std::string Installed(const std::string& fixture, const std::string& as) {
    folder = FreshFolder("selfreg " + as);
    const std::string path = folder + "\\" + as;
    EXPECT_TRUE(CopyFileA(FullPath(fixture).c_str(), path.c_str(), FALSE)) << fixture;
    return path;
  }
  std::string folder;
};

TEST_F(SelfRegistration, ALibraryRegistersInItsFolderAndIsReleased) {
  const std::string path = Installed("setup_selfreg_ok.dll", "grid.ocx");
  const std::string before = FullPath(".");
  SelfRegister(path, "File1");
  EXPECT_EQ(ReadFileText(folder + "\\selfreg.marker"), "grid.ocx\r\n");
  EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
  EXPECT_EQ(FullPath("."), before);
}

TEST_F(SelfRegistration, AFailingLibraryIsReportedAndReleasedToo) {
  const std::string path = Installed("setup_selfreg_fail.dll", "bad.dll");
  try {
    SelfRegister(path, "File2");
    FAIL() << "no exception";
  } catch (const IECustomInstallFile& e) {
    EXPECT_EQ(std::string(e.what()), "Could not register the ActiveX component, " + path +
                                         ", because the DllRegisterServer function returned a value of "
                                         "-2147467259. The file component is File2");
  }
  EXPECT_EQ(ReadFileText(folder + "\\selfreg.marker"), "bad.dll\r\n");
  EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
}

TEST_F(SelfRegistration, ALibraryWithoutTheEntryAndAMissingFileAreReported) {
  const std::string path = Installed("setup_regserver_program.exe", "noentry.dll");
  try {
    SelfRegister(path, "File3");
    FAIL() << "no exception";
  } catch (const IECustomInstallFile& e) {
    EXPECT_NE(
        std::string(e.what()).find("because the DllRegisterServer function could not be found. The file "
                                   "component is File3."),
        std::string::npos)
        << e.what();
  }
  EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
  try {
    SelfRegister(folder + "\\missing.ocx", "File4");
    FAIL() << "no exception";
  } catch (const IECustomInstallFile& e) {
    EXPECT_STREQ(
        e.what(),
        "Cannot compress,copy, or install the following file because it's destination directory is blank. "
        "File is :File4");
  }
}

TEST_F(SelfRegistration, AProgramIsStartedWithRegserver) {
  const std::string path = Installed("setup_regserver_program.exe", "server.exe");
  // The folder is "...\selfreg server.exe": unquoted, the system would take
  // "...\selfreg" as the program and start this decoy instead.
  const std::string decoy = FolderOf(folder) + "\\selfreg.exe";
  ASSERT_TRUE(CopyFileA(FullPath("setup_regserver_program.exe").c_str(), decoy.c_str(), FALSE));
  DeleteFileA((decoy + ".regserver").c_str());
  std::string command;
  const auto system = SystemSeams().WinExec;
  SystemSeams().WinExec = [&](const std::string& line, UINT show) {
    command = line;
    EXPECT_EQ(show, static_cast<UINT>(SW_HIDE));
    return system(line, show);
  };
  SelfRegister(path, "File5");
  EXPECT_EQ(command, "\"" + path + "\" /REGSERVER");
  std::string marker;
  for (int i = 0; i < 200 && marker.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    marker = ReadFileText(path + ".regserver");
  }
  EXPECT_TRUE(SameTextIgnoringCase(marker, folder)) << marker;
  EXPECT_EQ(GetFileAttributesA((decoy + ".regserver").c_str()), INVALID_FILE_ATTRIBUTES) << "the decoy ran";
  DeleteFileA(decoy.c_str());

  SystemSeams().WinExec = [](const std::string&, UINT) -> UINT { return 2; };
  try {
    SelfRegister(path, "File5");
    FAIL() << "no exception";
  } catch (const IECustomInstallFile& e) {
    EXPECT_NE(std::string(e.what()).find(
                  "because the WinExec(\"" + path +
                  "\" /REGSERVER,SW_HIDE) function returned a value < 32. The file component "
                  "is File5."),
              std::string::npos)
        << e.what();
  }
}

TEST(Registrations, OLESelfRegisterInTheVersionInformationMakesAControl) {
  EXPECT_TRUE(HasOLESelfRegister(FullPath("setup_selfreg_marked.dll")));
  EXPECT_FALSE(HasOLESelfRegister(FullPath("setup_selfreg_ok.dll")));    // no version information
  EXPECT_FALSE(HasOLESelfRegister(FullPath("setup_version_full.exe")));  // version information without it
  EXPECT_FALSE(HasOLESelfRegister(FullPath("no such file.dll")));
  // The property rules take it from there.
  InstallFileProperties wanted;
  wanted.IncludeFromDir = FullPath(".");
  wanted.FileName = "setup_selfreg_marked.dll";
  PropertyRuleInputs inputs;
  inputs.HasOLESelfRegister = HasOLESelfRegister;
  const InstallFileProperties result = ApplyPropertyRules({}, wanted, inputs);
  EXPECT_TRUE(result.ActiveX);
  EXPECT_EQ(result.FileType, iftSystemWideDLL);
}

TEST(Registrations, HelpAndSharedLibraryCountInTheRegistry) {
  const std::string folder = FreshFolder("registrations");
  const std::string help = folder + "\\Quorvane.hlp";
  RegisterHelp(help);
  EXPECT_EQ(RegReadString(kLocalMachine, kHelpKey, "QUORVANE.HLP", ""), folder);

  const std::string library = folder + "\\shared library.dll";
  WriteFileText(library, "library");
  CountSharedLibrary(library, "File1");
  CountSharedLibrary(library, "File1");
  EXPECT_EQ(RegReadInteger(kLocalMachine, kSharedDLLsKey, library, 0), 2);

  DeleteValue(kSharedDLLsKey, library);
  DeleteValue(kHelpKey, "QUORVANE.HLP");
}

TEST(Registrations, UninstallLogAsTextValues) {
  const std::string product = std::string(kUninstallKey) + "Tallimo install test";
  RegDeleteTree(kLocalMachine, product);
  RegWriteString(kLocalMachine, product + "\\Files", "Entries", "not a number");
  WriteUninstallLog(SystemRegistry(), product, "C:\\App\\a.exe", false);
  WriteUninstallLog(SystemRegistry(), product, "C:\\App\\server.exe", true);
  WriteUninstallLog(SystemRegistry(), product, "C:\\App\\grid.ocx", true);
  EXPECT_EQ(RegReadString(kLocalMachine, product + "\\Files1", "File1", ""), "C:\\App\\a.exe");
  EXPECT_EQ(RegReadString(kLocalMachine, product + "\\ActiveX", "File1", ""), "C:\\App\\server.exe;1");
  EXPECT_EQ(RegReadString(kLocalMachine, product + "\\ActiveX", "File2", ""), "C:\\App\\grid.ocx;0");
  // "Entries" is text, not a number.
  EXPECT_EQ(RegReadString(kLocalMachine, product + "\\Files1", "Entries", ""), "1");
  fw::TRegistry raw(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(raw.OpenKeyReadOnly(product.substr(1) + "\\Files1"));
  EXPECT_EQ(raw.ValueType("Entries"), std::optional<DWORD>(REG_SZ));
  raw.CloseKey();
  EXPECT_EQ(RegReadString(kLocalMachine, product + "\\ActiveX", "Entries", ""), "2");
  RegDeleteTree(kLocalMachine, product);
}

TEST(Registrations, UnfinishedListInTheRegistry) {
  const std::string instance = "\\SOFTWARE\\Pembrin\\Install\\Install test";
  RegDeleteTree(kLocalMachine, instance);
  AddUnfinished(SystemRegistry(), instance, "File1", 0);
  AddUnfinished(SystemRegistry(), instance, "C:\\T\\bat1.bat", 1);
  RegWriteString(kLocalMachine, instance + "\\Unfinished", "File2", "zero");
  auto lines = ReadUnfinished(SystemRegistry(), instance);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{"C:\\T\\bat1.bat;1", "File1;0", "File2;zero"}));
  EXPECT_THROW(ParseUnfinished("File2;zero"), IEInstall);
  ClearUnfinished(SystemRegistry(), instance);
  EXPECT_TRUE(ReadUnfinished(SystemRegistry(), instance).empty());
  RegDeleteTree(kLocalMachine, instance);
}

}  // namespace
}  // namespace setup
