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
};

class RunInstall : public test_support::StandInInstall {
 public:
  using StandInInstall::StandInInstall;
  bool Running() const override { return running; }
  void AddUnfinished(const std::string& name, int kind) override {
    unfinished.push_back(name + ";" + std::to_string(kind));
  }
  bool running = true;
  std::vector<std::string> unfinished;
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

}  // namespace
}  // namespace setup
