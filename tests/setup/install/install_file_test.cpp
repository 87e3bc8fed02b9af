// One file installed in an install tree, over a system that records what it
// is asked and a registry in memory: the information codes its container
// sees, extraction, the arrangements for a file in use, registrations and
// the uninstall entry.
#include "setup/install/install_file.h"

#include <gtest/gtest.h>

#include "framework/exceptions.h"
#include "setup/archive/archive_files.h"
#include "setup/paths/path_specifiers.h"
#include "tests/setup/install/install_test_support.h"
#include "tests/support/memory_registry.h"

namespace setup {
namespace {

class RecordingSystem : public FileInstallSystem {
 public:
  bool destinationExists = true;
  int decision = kNewWins;
  bool inUse = false;
  bool registrationFails = false;
  std::vector<std::string> journal;
  test_support::MemoryRegistry registry;

  bool Exists(const std::string&) override { return destinationExists; }
  int Decide(int type, const std::string& destination, const std::string& version, double date) override {
    journal.push_back("decide " + std::to_string(type) + " " + destination + " " + version + " " +
                      std::to_string(static_cast<int>(date)));
    return decision;
  }
  std::optional<PendingReplace> Extract(TInstallFile& file) override {
    journal.push_back("extract " + file.Name());
    extractedFrom.push_back(file.GetArchivePath());
    if (!inUse) return std::nullopt;
    return PendingReplace{file.DestinationPath(), ChangeFileExt(file.DestinationPath(), ".1")};
  }
  void ScheduleReplace(const PendingReplace& pending, const std::string& name) override {
    journal.push_back("schedule " + pending.NewFile + " -> " + pending.Destination + " for " + name);
  }
  void RegisterHelp(const std::string& path) override { journal.push_back("help " + path); }
  void CountSharedLibrary(const std::string& path, const std::string&) override {
    journal.push_back("count " + path);
  }
  void SelfRegister(const std::string& path, const std::string& name) override {
    journal.push_back("self-register " + path);
    if (registrationFails) throw IECustomInstallFile("registration of %s failed", {name});
  }
  Registry& SystemRegistry() override { return registry; }

  // Downloads: every location has `login`; the server sends two blocks of a
  // file of 16384 bytes, or the user cancels after the first.
  TLoginInformation login;
  bool cancelDownload = false;
  int temporaryFiles = 0;
  std::vector<std::string> extractedFrom;
  const TCustomLoginInformation* LoginOf(fw::TComponent*) override { return &login; }
  std::string TemporaryPath() override { return "C:\\Temp\\bat" + std::to_string(++temporaryFiles) + ".tmp"; }
  bool Download(fw::TComponent* location, const std::string& remote, const std::string& local,
                const DownloadProgressFunction& progress) override {
    journal.push_back("download " + remote + " from " + location->Name() + " to " + local);
    progress(8192, 8192, 16384, remote, nullptr);
    if (cancelDownload) return false;
    progress(8192, 16384, 16384, remote, nullptr);
    return true;
  }
  void RemoveFile(const std::string& path) override { journal.push_back("remove " + path); }
  void CheckArchive(const std::string& archive, const std::vector<std::string>& names) override {
    std::string line = "check " + archive + ":";
    for (const auto& name : names) line += " " + name;
    journal.push_back(line);
  }
};

class RunInstall : public test_support::StandInInstall {
 public:
  using StandInInstall::StandInInstall;
  bool Running() const override { return running; }
  void AddUnfinished(const std::string& name, int kind) override {
    unfinished.push_back(name + ";" + std::to_string(kind));
  }
  TDistributeType DistributeType() const override { return distributeType; }
  std::string InstanceKey() const override { return instanceKey; }
  bool running = true;
  std::vector<std::string> unfinished;
  TDistributeType distributeType = dtTraditional;
  std::string instanceKey = "\\SOFTWARE\\Pembrin\\Install\\Install0";
};

// A group that notes every information code its files report.
class RecordingGroup : public TInstallFileGroup {
 public:
  using TInstallFileGroup::TInstallFileGroup;
  void DoInformationEventControl(TInstallContainer* sender, int code, TEventObject* parameter) override {
    codes.push_back(code);
    TInstallFileGroup::DoInformationEventControl(sender, code, parameter);
  }
  std::vector<int> codes;
};

class InstallFile : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureStandardSpecifiers(&form);
    InstallSystem() = &system;
    install = new RunInstall(&form);
    install->SetName("Install");
    group = new RecordingGroup(&form);
    group->SetName("Group");
    group->SetContainer(install);
    group->SetDestDirType(nullptr);
    group->SetDestDir("C:\\App");
    file = new TInstallFile(&form);
    file->SetName("File1");
    file->SetContainer(group);
    file->DestName = "Quorvane - Brask.exe";
    file->Version = "2.0.0.0";
    file->FileDate = 40000;
    file->SetArchiveFileType(nullptr);
    file->SetArchiveFile("C:\\setup\\files.1");
  }
  void TearDown() override { InstallSystem() = nullptr; }

  std::string Log(const std::string& key, const std::string& name) {
    return system.registry.Text(kLocalMachine, std::string(kUninstallKey) + "Tallimo\\" + key, name);
  }

  fw::TComponent form{nullptr};
  RecordingSystem system;
  RunInstall* install;
  RecordingGroup* group;
  TInstallFile* file;
};

const std::string kDestination = "C:\\App\\Quorvane - Brask.exe";

TEST_F(InstallFile, DecisionAndDestinationGiveCodesAndExtraction) {
  struct Row {
    const char* what;
    int decision;
    bool exists;
    std::vector<int> codes;
    bool extracted;
  };
  const Row rows[] = {
      {"replace an existing file",
       kNewWins,
       true,
       {icBeforeInstallFile, icReplacing, icAfterInstallFile},
       true},
      {"write a missing file", kNewWins, false, {icBeforeInstallFile, icAfterInstallFile}, true},
      {"undecided: write", kUndecided, false, {icBeforeInstallFile, icAfterInstallFile}, true},
      {"same: keep", kSame, true, {icBeforeInstallFile, icFileSkipped, icAfterInstallFile}, false},
      {"existing wins: keep",
       kExistingWins,
       true,
       {icBeforeInstallFile, icFileSkipped, icAfterInstallFile},
       false},
  };
  for (const Row& row : rows) {
    system.journal.clear();
    group->codes.clear();
    system.decision = row.decision;
    system.destinationExists = row.exists;
    file->OverwriteMode = owVersionDate;
    file->RegisterAsHelp = true;
    int afterInstall = 0;
    file->OnAfterInstall = [&](TCustomInstallFile*) { ++afterInstall; };
    install->Process();
    EXPECT_EQ(group->codes, row.codes) << row.what;
    std::vector<std::string> expected = {"decide 4 " + kDestination + " 2.0.0.0 40000"};
    if (row.extracted) expected.push_back("extract File1");
    expected.push_back("help " + kDestination);  // kept files are registered too
    EXPECT_EQ(system.journal, expected) << row.what;
    EXPECT_EQ(afterInstall, 1) << row.what;
    EXPECT_TRUE(file->Installed) << row.what;
  }
  // Every installed or kept file is logged once per run.
  EXPECT_EQ(Log("Files", "Entries"), "5");
  EXPECT_EQ(Log("Files", "File5"), kDestination);
}

TEST_F(InstallFile, TheCheckBeforeInstallingReadsEveryEntryTheRunWillTakeOutArchiveByArchive) {
  file->FileName = "one.exe";
  file->IncludeFromDir = "C:\\src";
  const auto add = [&](const char* name, const char* archive) {
    auto* more = new TInstallFile(&form);
    more->SetName(name);
    more->SetContainer(group);
    more->DestName = more->FileName = std::string(name) + ".dat";
    more->IncludeFromDir = "C:\\src";
    more->SetArchiveFileType(nullptr);
    more->SetArchiveFile(archive);
    return more;
  };
  add("two", "C:\\setup\\other.1");
  add("three", "c:\\SETUP\\FILES.1");
  add("left", "C:\\setup\\files.1")->Include = false;
  add("remote", "C:\\setup\\files.1")->Net = true;  // from the archive at hand in a traditional install

  CheckArchivesBeforeInstall(*install);
  std::vector<std::string> checks;
  for (const auto& line : system.journal)
    if (line.rfind("check ", 0) == 0) checks.push_back(line);
  EXPECT_EQ(checks, (std::vector<std::string>{
                        "check C:\\setup\\files.1: C:\\src\\one.exe C:\\src\\three.dat C:\\src\\remote.dat",
                        "check C:\\setup\\other.1: C:\\src\\two.dat"}));
  EXPECT_EQ(std::count_if(system.journal.begin(), system.journal.end(),
                          [](const std::string& line) { return line.rfind("extract", 0) == 0; }),
            0);

  // Files of a web install come from their downloads, which are read as
  // they install; files the run keeps are not taken out, so not read.
  system.journal.clear();
  install->distributeType = dtWeb;
  CheckArchivesBeforeInstall(*install);
  EXPECT_TRUE(std::none_of(system.journal.begin(), system.journal.end(),
                           [](const std::string& line) { return line.rfind("check", 0) == 0; }));
  install->distributeType = dtTraditional;
  system.journal.clear();
  system.decision = kExistingWins;
  CheckArchivesBeforeInstall(*install);
  EXPECT_TRUE(std::none_of(system.journal.begin(), system.journal.end(),
                           [](const std::string& line) { return line.rfind("check", 0) == 0; }));
}

TEST_F(InstallFile, AFileInUseWaitsForTheRestartUnderItsIntendedName) {
  system.inUse = true;
  file->ActiveX = true;
  file->UpdateDLLCounter = true;
  install->Process();
  EXPECT_EQ(system.journal, (std::vector<std::string>{
                                "decide 0 " + kDestination + " 2.0.0.0 40000", "extract File1",
                                "schedule C:\\App\\Quorvane - Brask.1 -> " + kDestination + " for File1",
                                "count " + kDestination}));
  EXPECT_TRUE(file->InUse());
  EXPECT_TRUE(install->Reboot);
  // It registers itself after the restart, and is logged under its own name.
  EXPECT_EQ(install->unfinished, (std::vector<std::string>{"File1;0"}));
  EXPECT_EQ(Log("ActiveX", "File1"), kDestination + ";1");
  system.journal.clear();
  file->ContinueAfterReboot();
  EXPECT_EQ(system.journal, (std::vector<std::string>{"self-register " + kDestination}));
}

TEST_F(InstallFile, AnAbortBeforeInstallingSkipsEverything) {
  file->OnBeforeInstall = [](TCustomInstallFile*) { throw fw::EAbort(); };
  install->Process();
  EXPECT_EQ(group->codes, (std::vector<int>{icBeforeInstallFile, icFileAborted}));
  EXPECT_TRUE(system.journal.empty());
  EXPECT_FALSE(file->Installed);
  EXPECT_EQ(Log("Files", "Entries"), "");
}

TEST_F(InstallFile, AnAbortWhileReplacingKeepsTheFile) {
  file->OnReplacing = [](TCustomInstallFile*) { throw fw::EAbort(); };
  install->Process();
  EXPECT_EQ(group->codes, (std::vector<int>{icBeforeInstallFile, icFileSkipped, icAfterInstallFile}));
  EXPECT_EQ(system.journal.size(), 1u);  // decided, not extracted
  EXPECT_TRUE(file->Installed);
}

TEST_F(InstallFile, AFailedSelfRegistrationWaitsForTheEndOfTheRun) {
  system.registrationFails = true;
  file->ActiveX = true;
  // Outside a run the failure is the caller's.
  install->running = false;
  EXPECT_THROW(file->Install(), IECustomInstallFile);
  EXPECT_TRUE(install->FailedRegistrations.empty());
  install->running = true;
  install->Process();
  EXPECT_EQ(install->FailedRegistrations, (std::vector<TCustomInstallFile*>{file}));
  EXPECT_EQ(Log("ActiveX", "File1"), kDestination + ";1");
  delete file;  // a file that goes leaves the list
  EXPECT_TRUE(install->FailedRegistrations.empty());
}

TEST_F(InstallFile, ABlankDestinationFolderIsAnError) {
  group->SetDestDir("  ");
  try {
    file->Install();
    FAIL() << "no exception";
  } catch (const IECustomInstallFile& e) {
    EXPECT_STREQ(
        e.what(),
        "Cannot compress,copy, or install the following file because it's destination directory is blank. "
        "File is :File1");
  }
}

// --- files on the server ---

class NetInstallFile : public InstallFile {
 protected:
  void SetUp() override {
    InstallFile::SetUp();
    system.journal.clear();
    system.extractedFrom.clear();
    system.registry.keys.clear();
    system.temporaryFiles = 0;
    install->distributeType = dtWeb;
    location = new fw::TComponent(&form);
    location->SetName("Server");
    install->SetNetLocation(location);
    system.login.Hostname = "www.ostrel.example";
    system.destinationExists = false;
    second = new TInstallFile(&form);
    second->SetName("File2");
    second->SetContainer(group);
    second->DestName = "QUORVANE.HLP";
  }
  std::string Recorded(const std::string& name) {
    return system.registry.Text(kLocalMachine, install->instanceKey + "\\" + name, "LocalFile");
  }
  std::vector<std::string> Downloads() const {
    std::vector<std::string> downloads;
    for (const std::string& entry : system.journal)
      if (entry.rfind("download ", 0) == 0 || entry.rfind("remove ", 0) == 0) downloads.push_back(entry);
    return downloads;
  }
  fw::TComponent* location;
  TInstallFile* second;
};

TEST_F(NetInstallFile, FilesOfAGroupShareOneDownloadOfItsArchiveRecordedUnderTheInstallersKey) {
  std::vector<std::vector<std::int32_t>> received;
  group->OnDataReceived = [&](TEventObject* sender, const std::string& name, std::int32_t chunk,
                              std::int32_t total, std::int32_t size, const void*) {
    EXPECT_EQ(sender, group);
    EXPECT_EQ(name, "Group.1");
    received.push_back({chunk, total, size});
  };
  ASSERT_TRUE(file->Install());
  ASSERT_TRUE(second->Install());
  EXPECT_EQ(Downloads(), (std::vector<std::string>{"download Group.1 from Server to C:\\Temp\\bat1.1"}));
  EXPECT_EQ(system.extractedFrom, (std::vector<std::string>{"C:\\Temp\\bat1.1", "C:\\Temp\\bat1.1"}));
  EXPECT_EQ(received, (std::vector<std::vector<std::int32_t>>{{8192, 8192, 16384}, {8192, 16384, 16384}}));
  EXPECT_EQ(Recorded("Group"), "C:\\Temp\\bat1.1");
  EXPECT_EQ(file->GetArchivePath(), "C:\\setup\\files.1")
      << "outside extraction the archive is the file's own";
}

TEST_F(NetInstallFile, WhereTheArchiveComesFrom) {
  struct Row {
    const char* what;
    std::function<void()> arrange;
    std::vector<std::string> downloads;
    std::string extractedFrom;
  };
  const std::vector<Row> rows = {
      {"traditional: the file's own archive",
       [&] { install->distributeType = dtTraditional; },
       {},
       "C:\\setup\\files.1"},
      {"net distribution, a file not marked Net",
       [&] { install->distributeType = dtTraditionalNet; },
       {},
       "C:\\setup\\files.1"},
      {"net distribution, a file marked Net",
       [&] {
         install->distributeType = dtTraditionalNet;
         file->Net = true;
       },
       {"download Group.1 from Server to C:\\Temp\\bat1.1"},
       "C:\\Temp\\bat1.1"},
      {"a version rule needs the file's own archive",
       [&] { file->OverwriteMode = owVersion; },
       {"download File1.1 from Server to C:\\Temp\\bat1.1"},
       "C:\\Temp\\bat1.1"},
      {"a download recorded earlier is used again",
       [&] {
         RegWriteString(system.registry, kLocalMachine, install->instanceKey + "\\Group", "LocalFile",
                        "C:\\Temp\\earlier.1");
         system.destinationExists = true;
       },
       {},
       "C:\\Temp\\earlier.1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TearDown();
    form.DestroyComponents();
    SetUp();
    row.arrange();
    ASSERT_TRUE(file->Install());
    EXPECT_EQ(Downloads(), row.downloads);
    EXPECT_EQ(system.extractedFrom, std::vector<std::string>{row.extractedFrom});
  }
}

TEST_F(NetInstallFile, ACancelledDownloadLeavesNoFileAndIsTheUsersAbort) {
  system.cancelDownload = true;
  EXPECT_THROW(file->Install(), EAIUserAbort);
  EXPECT_EQ(Downloads(), (std::vector<std::string>{"download Group.1 from Server to C:\\Temp\\bat1.1",
                                                   "remove C:\\Temp\\bat1.1"}));
  EXPECT_TRUE(group->LocalArchivePath.empty());
  EXPECT_EQ(Recorded("Group"), "");
  EXPECT_TRUE(system.extractedFrom.empty());
}

TEST_F(NetInstallFile, WithoutAUsableLocationNothingIsDownloaded) {
  struct Row {
    const char* what;
    std::function<void()> arrange;
    std::string message;
  };
  const std::vector<Row> rows = {
      {"no location anywhere", [&] { install->SetNetLocation(nullptr); },
       "Could not find a net install location for Group"},
      {"the install's location without a host", [&] { system.login.Hostname = " "; },
       "Group could not install itself because the LoginInformation property of the TInstall component has "
       "not "
       "been properly filled in"},
      {"the group's own location without a host",
       [&] {
         group->SetNetLocation(location);
         system.login.Hostname.clear();
       },
       "Group could not install itself because the TNetLocation component's properties, in the NetLocation "
       "property, have not been filled in"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TearDown();
    form.DestroyComponents();
    SetUp();
    row.arrange();
    try {
      file->Install();
      ADD_FAILURE() << "no error";
    } catch (const IEFileRelated& error) {
      EXPECT_EQ(std::string(error.what()), row.message);
    }
    EXPECT_TRUE(Downloads().empty());
  }
}

}  // namespace
}  // namespace setup
