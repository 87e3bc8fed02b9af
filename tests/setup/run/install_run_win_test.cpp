// The install run through a whole small installer (test_installer.exe): its
// event log, the files it leaves and the prefix's registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "framework/registry_win.h"
#include "setup/archive/archive_files_win.h"
#include "setup/archive/pmbr_compress.h"
#include "setup/base/net_file_list.h"
#include "tests/setup/run/run_checks.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/loopback_server.h"

namespace {

using namespace setup;
using namespace setup::run_checks;
using test_support::DeleteTree;
using test_support::FullPath;
using test_support::ReadFileText;
using test_support::WaitUntil;
using test_support::WriteFileText;

const char kProgramFiles[] = "C:\\Program Files";
const char kUninstallFiles[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallimo Run Test\\Files";

std::vector<std::string> RunOnceValues() {
  fw::TRegistry registry(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKeyReadOnly("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce")) return {};
  return registry.GetValueNames();
}

// One installer in a folder of its own: its archive, configuration and log.
class Installer {
 public:
  Installer(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files)
      // Archive entries keep their source path, which may not pass 100
      // characters: the installer's folder is short whatever the checkout's.
      : folder_("C:\\Tallimo Run\\" + name), dest_("\\Tallimo Run Test\\" + name) {
    CreateDirectoryA("C:\\Tallimo Run", nullptr);
    DeleteTree(folder_);
    DeleteTree(Destination());
    // Keys an earlier test run left for this program.
    for (const std::string& key : InstanceKeysOf(Program()))
      RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("SOFTWARE\\Pembrin\\Install\\" + key).c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallFiles);
    CreateDirectoryA(folder_.c_str(), nullptr);
    const std::string source = folder_ + "\\src";
    CreateDirectoryA(source.c_str(), nullptr);
    Win32ArchiveFiles disk;
    SystemArchiveVersions versions;
    int id = 1;
    for (const auto& [fileName, bytes] : files) {
      WriteFileText(source + "\\" + fileName, bytes);
      TPmbrCompress packer(nullptr, disk, versions, nullptr);
      packer.SetCompressedFile(folder_ + "\\files.1");
      std::vector<std::string> list = {source + "\\" + fileName};
      packer.SetFilesToProcess(list);
      packer.AddFiles(id > 1, id);
      names_ += (names_.empty() ? "" : ";") + fileName;
      ++id;
    }
    EXPECT_TRUE(CopyFileA("test_installer.exe", Program().c_str(), FALSE)) << GetLastError();
    Configure("");
  }

  std::string Folder() const { return folder_; }
  std::string Program() const { return folder_ + "\\test_installer.exe"; }
  std::string Destination() const { return std::string(kProgramFiles) + dest_; }
  std::string Log() const { return folder_ + "\\events.log"; }
  std::vector<std::string> Events() const { return Lines(ReadFileText(Log())); }

  // Extra "key=value" lines after the ones every run has.
  void Configure(const std::string& extra) {
    WriteFileText(folder_ + "\\test_installer.cfg", "log=" + Log() + "\nsrc=" + folder_ + "\\src\nfiles=" +
                                                         names_ + "\ndest=" + dest_ + "\n" + extra);
  }

  void Start(const std::string& arguments) {
    ASSERT_TRUE(process_.Start("\"" + Program() + "\" " + arguments, folder_)) << GetLastError();
  }

  // Waits for the end; the exit code, or -1 after the timeout.
  int Wait(DWORD timeoutMs = 60000) { return process_.Wait(timeoutMs); }

  int Run(const std::string& arguments) {
    Start(arguments);
    return Wait();
  }

  void Kill() { process_.Kill(); }

  std::string BuildSwitch() const { return "\"-s" + folder_ + "\""; }

 private:
  std::string folder_, dest_, names_;
  test_support::ChildProcess process_;
};

std::vector<std::string> UninstallLog() {
  fw::TRegistry registry(HKEY_LOCAL_MACHINE);
  std::vector<std::string> files;
  if (!registry.OpenKeyReadOnly(kUninstallFiles)) return files;
  const int entries = std::atoi(registry.ReadString("Entries").value_or("0").c_str());
  for (int i = 1; i <= entries; ++i) files.push_back(registry.ReadString("File" + std::to_string(i)).value_or(""));
  return files;
}

TEST(InstallRun, AGoodRunRaisesItsEventsInOrderInstallsAndRemovesItsKey) {
  Installer installer("good", {{"first.txt", "first file"}, {"second.dat", std::string(70000, 'x')}});
  ASSERT_EQ(installer.Run(installer.BuildSwitch()), 0);
  const auto events = installer.Events();
  int at = Find(events, "after initialized");
  ASSERT_GE(at, 0) << ReadFileText(installer.Log());
  for (const char* event : {"-986 Install1", "-976 Install1", "-975 Install1", "-982 Install1", "-981 Install1",
                            "-977 Install1", "-980 Install1", "after install objects complete", "-995 Install1",
                            "-979 Install1", "shutdown", "ended"}) {
    const int next = Find(events, event, at + 1);
    ASSERT_GT(next, at) << event << "\n" << ReadFileText(installer.Log());
    at = next;
  }
  EXPECT_FALSE(AnyStartsWith(events, "-994")) << "no failure pages";
  EXPECT_FALSE(AnyStartsWith(events, "restart"));
  EXPECT_EQ(ReadFileText(installer.Destination() + "\\first.txt"), "first file");
  EXPECT_TRUE(ReadFileText(installer.Destination() + "\\second.dat") == std::string(70000, 'x'));
  EXPECT_EQ(UninstallLog(), (std::vector<std::string>{installer.Destination() + "\\first.txt",
                                                      installer.Destination() + "\\second.dat"}));
  EXPECT_TRUE(InstanceKeysOf(installer.Program()).empty()) << "the instance key goes at a good end";
}

TEST(InstallRun, ACancelShowsTheFailurePagesKeepsTheOldFilesAndRemovesTheKey) {
  Installer installer("cancel", {{"kept.txt", "new bytes"}});
  CreateDirectoryA((std::string(kProgramFiles) + "\\Tallimo Run Test").c_str(), nullptr);
  CreateDirectoryA(installer.Destination().c_str(), nullptr);
  WriteFileText(installer.Destination() + "\\kept.txt", "old bytes");
  installer.Configure("cancel=-980\n");
  ASSERT_EQ(installer.Run(installer.BuildSwitch()), 1) << "a cancel is no success";
  const auto events = installer.Events();
  const int cancelled = Find(events, "-980 Install1");
  ASSERT_GE(cancelled, 0) << ReadFileText(installer.Log());
  const int bad = Find(events, "-994 Install1", cancelled);
  EXPECT_GT(bad, cancelled) << ReadFileText(installer.Log());
  EXPECT_GT(Find(events, "-978 Install1", bad), bad);
  EXPECT_FALSE(AnyStartsWith(events, "-995")) << "no good-end pages";
  EXPECT_FALSE(AnyStartsWith(events, "box:")) << "a cancel is no error to report";
  EXPECT_EQ(ReadFileText(installer.Destination() + "\\kept.txt"), "old bytes");
  EXPECT_TRUE(UninstallLog().empty());
  EXPECT_TRUE(InstanceKeysOf(installer.Program()).empty());
  for (const std::string& name : RunOnceValues()) EXPECT_NE(name.rfind("PembrinUnfinished", 0), 0u) << name;
}

// A Cancel while a file is taken out of the archive: the group learns the
// copy was aborted, and the run still ends as cancelled.
TEST(InstallRun, ACancelDuringTheCopyIsToldToTheGroupAsAborted) {
  std::string large(2 * 1024 * 1024, '\0');
  std::mt19937 random(5);
  for (char& c : large) c = static_cast<char>(random());
  Installer installer("aborted", {{"large.bin", large}, {"later.txt", "later"}});
  installer.Configure("abort=-998\n");
  ASSERT_EQ(installer.Run(installer.BuildSwitch()), 1) << "a cancelled install";
  const auto events = installer.Events();
  const int told = Find(events, "after install objects aborted");
  ASSERT_GE(told, 0) << ReadFileText(installer.Log());
  EXPECT_FALSE(AnyStartsWith(events, "after install objects complete"));
  EXPECT_GT(Find(events, "-994 Install1", told), told) << ReadFileText(installer.Log());
  EXPECT_FALSE(AnyStartsWith(events, "-995")) << "no good-end pages";
  EXPECT_EQ(GetFileAttributesA((installer.Destination() + "\\later.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(InstanceKeysOf(installer.Program()).empty());
}

TEST(InstallRun, AnErrorIsShownOnceAfterTheFailurePagesAndKeepsTheKey) {
  Installer installer("error", {{"one.txt", "one"}});
  installer.Configure("fail=-980\n");
  ASSERT_EQ(installer.Run(installer.BuildSwitch()), 1) << "a failure is no success";
  const auto events = installer.Events();
  const int bad = Find(events, "-994 Install1");
  ASSERT_GE(bad, 0) << ReadFileText(installer.Log());
  const int box = Find(events, "box: The test installer failed on purpose.", bad);
  EXPECT_GT(box, bad) << ReadFileText(installer.Log());
  EXPECT_EQ(std::count_if(events.begin(), events.end(),
                          [](const std::string& line) { return line.rfind("box:", 0) == 0; }),
            1);
  EXPECT_EQ(GetFileAttributesA((installer.Destination() + "\\one.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(InstanceKeysOf(installer.Program()).size(), 1u) << "an error end keeps the key";
  // The same program run again finds its key and uses it.
  installer.Configure("");
  ASSERT_EQ(installer.Run(installer.BuildSwitch()), 0);
  EXPECT_EQ(ReadFileText(installer.Destination() + "\\one.txt"), "one");
  EXPECT_TRUE(InstanceKeysOf(installer.Program()).empty());
}

TEST(InstallRun, DamageInTheLastEntryIsFoundBeforeAnyFileIsReplaced) {
  std::string journal;
  for (int line = 0; journal.size() < 60000; ++line)
    journal += "receipt " + std::to_string(line * 7919) + "\r\n";
  Installer installer("damaged",
                      {{"first.exe", "new program"}, {"second.hlp", journal}, {"third.exe", journal}});
  CreateDirectoryA((std::string(kProgramFiles) + "\\Tallimo Run Test").c_str(), nullptr);
  CreateDirectoryA(installer.Destination().c_str(), nullptr);
  for (const char* name : {"first.exe", "second.hlp", "third.exe"})
    WriteFileText(installer.Destination() + "\\" + name, std::string("old ") + name);
  // One bit flipped in the middle of the last entry's compressed data.
  const std::string archivePath = installer.Folder() + "\\files.1";
  Win32ArchiveFiles disk;
  SystemArchiveVersions versions;
  TPmbrCompress reader(nullptr, disk, versions, nullptr);
  reader.SetCompressedFile(archivePath);
  reader.ReadHeaders();
  ASSERT_EQ(reader.Headers().Count(), 3);
  const TFileHeader& last = *reader.Headers().Items().back();
  std::string bytes = ReadFileText(archivePath);
  bytes[static_cast<std::size_t>(last.DataStart + last.PackedSize / 2)] ^= 0x08;
  WriteFileText(archivePath, bytes);

  ASSERT_NE(installer.Run(installer.BuildSwitch()), -1);
  const auto events = installer.Events();
  EXPECT_GE(Find(events, "-994 Install1"), 0) << ReadFileText(installer.Log());
  EXPECT_TRUE(AnyStartsWith(events, "box:")) << "the damage is reported\n" << ReadFileText(installer.Log());
  for (const char* name : {"first.exe", "second.hlp", "third.exe"})
    EXPECT_TRUE(ReadFileText(installer.Destination() + "\\" + name) == std::string("old ") + name) << name;
  EXPECT_TRUE(UninstallLog().empty());
}

// A "files.1" cut short (a copy broken off) is reported by the name of the
// user's archive, so that the user knows which file to fetch again.
TEST(InstallRun, ATruncatedArchiveIsNamedInTheMessage) {
  std::mt19937 random(11);
  std::string noise;
  for (int i = 0; i < 30000; ++i) noise += static_cast<char>('!' + random() % 90);
  struct Case {
    const char* name;
    std::function<std::size_t(std::size_t)> keep;
  } cases[] = {
      {"short by 1000", [](std::size_t size) { return size - 1000; }},
      {"half", [](std::size_t size) { return size / 2; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Installer installer(c.name, {{"first.txt", noise}, {"second.txt", noise.substr(100) + noise}});
    const std::string archivePath = installer.Folder() + "\\files.1";
    std::string bytes = ReadFileText(archivePath);
    ASSERT_GT(bytes.size(), 2000u);
    bytes.resize(c.keep(bytes.size()));
    WriteFileText(archivePath, bytes);

    ASSERT_NE(installer.Run(installer.BuildSwitch()), -1);
    const auto events = installer.Events();
    EXPECT_GE(Find(events, "box: Could not read the file headers for the compressed file " + archivePath +
                               ". The Archive file could possible be corrupt."),
              0)
        << ReadFileText(installer.Log());
    EXPECT_EQ(GetFileAttributesA((installer.Destination() + "\\first.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

// Names past the path limit of the "A" calls: through the wide calls with
// the "\\?\" prefix. Deletes the folder with everything in it.
void DeleteLongTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        DeleteLongTree(folder + L"\\" + name);
      else
        DeleteFileW((L"\\\\?\\" + folder + L"\\" + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// The message box a child program shows, by its title.
HWND BoxOf(const char* title) {
  HWND box = FindWindowA("#32770", title);
  return box && IsWindowVisible(box) ? box : nullptr;
}

// A destination folder that can be made, but leaves no room in the path for
// a file name in it: the install fails with the system's reason, leaves no
// file and no folder of its own behind, and its message keeps within the
// screen.
TEST(InstallRun, ADestinationTooLongLeavesNothingBehindAndItsMessageFitsTheScreen) {
  Installer installer("toolong", {{"one.txt", "one"}});
  // The long folder's path takes 255 characters: the system makes it, but
  // a file name in it passes the limit.
  const std::string longName(255 - installer.Destination().size() - 1, 'a');
  const std::string folder = installer.Destination() + "\\" + longName;
  ASSERT_EQ(folder.size(), 255u);
  DeleteLongTree(Wide(installer.Destination()));
  installer.Configure("box=show\ndest=\\Tallimo Run Test\\toolong\\" + longName + "\n");
  installer.Start(installer.BuildSwitch());
  ASSERT_TRUE(WaitUntil([] { return BoxOf("test_installer") != nullptr; }, 60000))
      << ReadFileText(installer.Log());
  Sleep(300);
  HWND box = BoxOf("test_installer");
  RECT r{};
  GetWindowRect(box, &r);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_GE(r.left, 0);
  EXPECT_GE(r.top, 0);
  EXPECT_LE(r.right, screenWidth) << "the box is " << r.right - r.left << " pixels wide";
  EXPECT_LE(r.bottom, screenHeight);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_EQ(installer.Wait(), 1) << ReadFileText(installer.Log());
  const std::string log = ReadFileText(installer.Log());
  EXPECT_NE(log.find("File name is too long"), std::string::npos) << log;
  // Neither the temporary file nor the folders the attempt made.
  EXPECT_EQ(GetFileAttributesW((L"\\\\?\\" + Wide(folder)).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(installer.Destination().c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteLongTree(Wide(installer.Destination()));
}

// cmd expands "%...%" also in the command line that starts a batch: the
// clean-up batch starts whatever the temporary folder is called, and takes
// the installer's copy and itself away.
TEST(InstallRun, TheCleanUpRemovesTheCopyAndItsBatchWhateverTheTemporaryFolderIsCalled) {
  Installer installer("cleanup", {{"one.txt", "one"}});
  const std::string temp = "C:\\tmp%PATH%x";
  const std::string copyFolder = temp + "\\setup copy";
  const std::string copy = copyFolder + "\\test_installer.exe";
  DeleteTree(temp);
  CreateDirectoryA(temp.c_str(), nullptr);
  CreateDirectoryA(copyFolder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(installer.Program().c_str(), copy.c_str(), FALSE)) << GetLastError();
  ASSERT_TRUE(CopyFileA((installer.Folder() + "\\test_installer.cfg").c_str(),
                        (copyFolder + "\\test_installer.cfg").c_str(), FALSE));
  char previousTmp[MAX_PATH] = {}, previousTemp[MAX_PATH] = {};
  GetEnvironmentVariableA("TMP", previousTmp, MAX_PATH);
  GetEnvironmentVariableA("TEMP", previousTemp, MAX_PATH);
  SetEnvironmentVariableA("TMP", temp.c_str());
  SetEnvironmentVariableA("TEMP", temp.c_str());
  test_support::ChildProcess run;
  const bool started = run.Start("\"" + copy + "\" " + installer.BuildSwitch() + " -c", installer.Folder());
  SetEnvironmentVariableA("TMP", previousTmp);
  SetEnvironmentVariableA("TEMP", previousTemp);
  ASSERT_TRUE(started) << GetLastError();
  ASSERT_EQ(run.Wait(60000), 0) << ReadFileText(installer.Log());
  EXPECT_EQ(ReadFileText(installer.Destination() + "\\one.txt"), "one");
  const auto batches = [&] {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((temp + "\\*.bat").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  };
  EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA(copy.c_str()) == INVALID_FILE_ATTRIBUTES; }, 20000))
      << "the installer's copy stays";
  EXPECT_TRUE(WaitUntil([&] { return batches().empty(); }, 20000)) << "a batch stays: " << batches().front();
  EXPECT_EQ(GetFileAttributesA(copyFolder.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteTree(temp);
}

TEST(InstallRun, ARegistrationThatStillFailsAtTheEndIsReportedAsTheRunsError) {
  // The library answers E_FAIL: while files install the failure waits, and
  // the run's last try reports it.
  const std::string library = ReadFileText("setup_selfreg_fail.dll");
  ASSERT_FALSE(library.empty());
  Installer installer("activex", {{"failing.dll", library}, {"after.txt", "after"}});
  installer.Configure("activex=failing.dll\n");
  ASSERT_EQ(installer.Run(installer.BuildSwitch()), 1);
  const auto events = installer.Events();
  EXPECT_EQ(ReadFileText(installer.Destination() + "\\after.txt"), "after") << "the failure did not stop the files";
  const int complete = Find(events, "after install objects complete");
  const int bad = Find(events, "-994 Install1");
  ASSERT_GE(complete, 0) << ReadFileText(installer.Log());
  EXPECT_GT(bad, complete) << ReadFileText(installer.Log());
  EXPECT_TRUE(AnyStartsWith(events, "box: Could not register")) << ReadFileText(installer.Log());
  EXPECT_FALSE(AnyStartsWith(events, "-995"));
}

TEST(InstallRun, WithoutRunAutomaticTheActivationInstallsNothing) {
  Installer installer("manual", {{"never.txt", "never"}});
  installer.Configure("manual=1\n");
  installer.Start(installer.BuildSwitch());
  ASSERT_TRUE(WaitUntil([&] { return AnyStartsWith(installer.Events(), "form activated"); }, 30000));
  Sleep(500);
  HWND window = FindWindowA(nullptr, "Test installer");
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(installer.Wait(), 0);
  const auto events = installer.Events();
  EXPECT_FALSE(AnyStartsWith(events, "-986")) << ReadFileText(installer.Log());
  EXPECT_FALSE(AnyStartsWith(events, "after initialized"));
  EXPECT_EQ(GetFileAttributesA(installer.Destination().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(InstallRun, AnInvalidSwitchStopsTheStartUp) {
  Installer installer("switch", {{"x.txt", "x"}});
  EXPECT_EQ(installer.Run("-x"), 1);
  EXPECT_TRUE(AnyStartsWith(installer.Events(), "start-up failed: Invalid parameter <-x>"))
      << ReadFileText(installer.Log());
}

TEST(InstallRun, AKilledRunLeavesEveryOldFileWholeAndTheNextRunInstallsCleanly) {
  // Random bytes compress badly, so the extraction takes a while.
  std::string large(24 * 1024 * 1024, '\0');
  std::mt19937 random(7);
  for (char& c : large) c = static_cast<char>(random());
  Installer installer("killed", {{"large.bin", large}, {"small.txt", "new small"}});
  CreateDirectoryA((std::string(kProgramFiles) + "\\Tallimo Run Test").c_str(), nullptr);
  CreateDirectoryA(installer.Destination().c_str(), nullptr);
  WriteFileText(installer.Destination() + "\\large.bin", "old large");
  WriteFileText(installer.Destination() + "\\small.txt", "old small");
  // The run stops at the first progress report of the large file, half of
  // it written, and is killed there.
  installer.Configure("pause=-998\n");
  installer.Start(installer.BuildSwitch());
  ASSERT_TRUE(WaitUntil([&] { return AnyStartsWith(installer.Events(), "paused"); }, 60000))
      << ReadFileText(installer.Log());
  ASSERT_TRUE(WaitUntil(
      [&] {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((installer.Destination() + "\\*.tmp").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return false;
        FindClose(search);
        return true;
      },
      60000))
      << ReadFileText(installer.Log());
  installer.Kill();
  EXPECT_EQ(ReadFileText(installer.Destination() + "\\large.bin"), "old large");
  EXPECT_EQ(ReadFileText(installer.Destination() + "\\small.txt"), "old small");
  EXPECT_TRUE(UninstallLog().empty() ||
              std::find(UninstallLog().begin(), UninstallLog().end(), installer.Destination() + "\\large.bin") ==
                  UninstallLog().end());

  installer.Configure("");
  ASSERT_EQ(installer.Run(installer.BuildSwitch()), 0);
  EXPECT_TRUE(ReadFileText(installer.Destination() + "\\large.bin") == large);
  EXPECT_EQ(ReadFileText(installer.Destination() + "\\small.txt"), "new small");
  EXPECT_TRUE(InstanceKeysOf(installer.Program()).empty());
}

// The value of the line that starts with `prefix`, after it; "-" when none.
std::string ValueAfter(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& line : lines)
    if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
  return "-";
}

// The temporary files downloads go to (and come from).
int DownloadFilesInTemp() {
  char folder[MAX_PATH + 1] = {};
  GetTempPathA(sizeof folder, folder);
  int count = 0;
  for (const char* pattern : {"bat*.1", "bat*.tmp"}) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do ++count;
    while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return count;
}

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The loading program the build puts in front, found through the user's
// registry; the value there before comes back afterwards.
class VendorFolder {
 public:
  explicit VendorFolder(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteFileText(folder + "\\P32V35.TXT", "vendor");
    WriteFileText(folder + "\\PembrinLoadProgram.exe", "MZ stand-in loader");
    fw::TRegistry registry(HKEY_CURRENT_USER);
    if (registry.OpenKey(kKey, true)) {
      previous_ = registry.ReadString(kValue);
      registry.WriteString(kValue, folder);
    }
  }
  ~VendorFolder() {
    fw::TRegistry registry(HKEY_CURRENT_USER);
    if (previous_ && registry.OpenKey(kKey, true))
      registry.WriteString(kValue, *previous_);
    else if (!previous_)
      RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, kValue);
  }

 private:
  static constexpr char kKey[] = "Software\\Corvath\\P32V35";
  static constexpr char kValue[] = "LibraryPath";
  std::optional<std::string> previous_;
};

TEST(InstallRun, AWebDistributionIsBuiltServedOverHttpAndInstalledFromTheServer) {
  std::string large(150000, '\0');
  std::mt19937 random(11);
  for (char& c : large) c = static_cast<char>(random());
  Installer installer("web", {{"first.txt", "first file"}, {"large.bin", large}});
  VendorFolder vendor(installer.Folder() + "\\vendor");
  const std::string dist = installer.Folder() + "\\dist";
  WriteFileText(installer.Folder() + "\\BUILD.INF", dist + "\r\n");
  installer.Configure("web=127.0.0.1/pub\n");
  ASSERT_EQ(installer.Run("-b"), 0);
  ASSERT_FALSE(AnyStartsWith(installer.Events(), "box:")) << ReadFileText(installer.Log());

  // The build puts the group's archive and the list of files in the folder
  // named for the server and its directory; the server gets their copies.
  const std::string built = dist + "\\127.0.0.1\\pub";
  const std::string served = FullPath("web-served");
  DeleteTree(served);
  CreateDirectoryA(served.c_str(), nullptr);
  CreateDirectoryA((served + "\\pub").c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((built + "\\Group1.1").c_str(), (served + "\\pub\\Group1.1").c_str(), FALSE));
  const std::string list = ReadFileText(built + "\\filelist.lst");
  auto records = DecodeNetFileList(std::span(reinterpret_cast<const std::uint8_t*>(list.data()), list.size()),
                                   "filelist.lst");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Name, "File1");
  EXPECT_EQ(records[0].Size, 10);
  EXPECT_EQ(records[1].Name, "File2");
  EXPECT_EQ(records[1].Size, 150000);
  // What the run shows must come from the list: a changed record (its name
  // in another case), and one that names no file.
  records[1] = {4242, records[1].Date, "file2", "9.8.7.6"};
  records.push_back({1, 0, "Nobody", "1.0"});
  const auto bytes = EncodeNetFileList(records);
  WriteFileText(served + "\\pub\\filelist.lst", std::string(bytes.begin(), bytes.end()));

  // Wine's library takes the environment's proxy; loopback is reached directly.
  for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY"}) SetEnvironmentVariableA(name, nullptr);
  test_support::LoopbackServer server(test_support::LoopbackServer::Kind::Http, served);
  const std::string web = "web=127.0.0.1:" + std::to_string(server.Port()) + "/pub\n";
  const int tempFiles = DownloadFilesInTemp();

  installer.Configure(web);
  ASSERT_EQ(installer.Run(installer.BuildSwitch()), 0);
  auto events = installer.Events();
  EXPECT_GE(Find(events, "info File1 10 "), 0) << ReadFileText(installer.Log());
  EXPECT_GE(Find(events, "info File2 4242 9.8.7.6"), 0) << ReadFileText(installer.Log());
  EXPECT_GE(Find(events, "-995 Install1"), 0) << ReadFileText(installer.Log());
  EXPECT_TRUE(AnyStartsWith(events, "-988 Install1")) << "the download reports its progress";
  EXPECT_EQ(ReadFileText(installer.Destination() + "\\first.txt"), "first file");
  EXPECT_TRUE(ReadFileText(installer.Destination() + "\\large.bin") == large);
  const std::string archive = ValueAfter(events, "archive ");
  EXPECT_EQ(archive.substr(archive.size() - 2), ".1") << archive;
  EXPECT_EQ(ValueAfter(events, "recorded "), archive) << "the download is recorded under the installer's key";
  EXPECT_EQ(GetFileAttributesA(archive.c_str()), INVALID_FILE_ATTRIBUTES)
      << "the download goes at the good end";
  EXPECT_TRUE(InstanceKeysOf(installer.Program()).empty());
  EXPECT_EQ(DownloadFilesInTemp(), tempFiles);
  std::string requests = server.RequestLog();
  EXPECT_EQ(Count(requests, "GET /pub/filelist.lst "), 1) << requests;
  EXPECT_EQ(Count(requests, "GET /pub/Group1.1 "), 1)
      << requests << "\nthe second file uses the same download";

  // A cancel while the archive arrives: no download is left and the run
  // ends as cancelled by the user.
  installer.Configure(web + "abort=-988\n");
  ASSERT_EQ(installer.Run(installer.BuildSwitch()), 1);
  events = installer.Events();
  // This run's lines only.
  auto start = events.end();
  while (start != events.begin() && (start - 1)->rfind("command: ", 0) != 0) --start;
  events.erase(events.begin(), start);
  EXPECT_TRUE(AnyStartsWith(events, "-988 Install1")) << ReadFileText(installer.Log());
  EXPECT_GE(Find(events, "-994 Install1"), 0) << ReadFileText(installer.Log());
  EXPECT_FALSE(AnyStartsWith(events, "-995")) << "no good-end pages";
  EXPECT_FALSE(AnyStartsWith(events, "box:")) << "a cancel is no error to report";
  EXPECT_EQ(ValueAfter(events, "archive "), "") << ReadFileText(installer.Log());
  EXPECT_GE(Find(events, "after install objects aborted"), 0) << ReadFileText(installer.Log());
  EXPECT_EQ(DownloadFilesInTemp(), tempFiles);
  EXPECT_TRUE(InstanceKeysOf(installer.Program()).empty());
  requests = server.RequestLog();
  EXPECT_EQ(Count(requests, "GET /pub/Group1.1 "), 2) << requests;
}

}  // namespace
