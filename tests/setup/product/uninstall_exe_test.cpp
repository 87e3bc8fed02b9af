// The uninstaller among an install's files, over a system that notes what it
// is asked and a registry in memory: its defaults, the file it installs, the
// uninstall entry byte for byte, and the error without an install.
#include "setup/product/uninstall_exe.h"

#include <gtest/gtest.h>

#include "setup/install/install_rules.h"
#include "setup/paths/path_specifiers.h"
#include "tests/support/memory_registry.h"

namespace setup {
namespace {

class ProductInstall : public TCustomInstall {
 public:
  using TCustomInstall::TCustomInstall;
  std::string BaseFolder() const override { return "C:\\setup"; }
  const std::string* ArchiveOption() const override { return nullptr; }
  std::string ProductName() const override { return "QUORVANE"; }
};

class NotingSystem : public FileInstallSystem {
 public:
  std::vector<std::string> journal;
  test_support::MemoryRegistry registry;

  bool Exists(const std::string&) override { return false; }
  int Decide(int, const std::string&, const std::string&, double) override { return kNewWins; }
  std::optional<PendingReplace> Extract(TInstallFile& file) override {
    journal.push_back("extract " + file.DestinationPath());
    return std::nullopt;
  }
  void ScheduleReplace(const PendingReplace&, const std::string&) override { journal.push_back("schedule"); }
  void RegisterHelp(const std::string& path) override { journal.push_back("help " + path); }
  void CountSharedLibrary(const std::string& path, const std::string&) override {
    journal.push_back("count " + path);
  }
  void SelfRegister(const std::string& path, const std::string&) override {
    journal.push_back("self-register " + path);
  }
  Registry& SystemRegistry() override { return registry; }
};

class UninstallEXE : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureStandardSpecifiers(&form);
    InstallSystem() = &system;
    uninstaller = new TUninstallEXE(&form);
    uninstaller->SetName("UninstallEXE");
    uninstaller->FileName = uninstaller->DestName = "uninstall.exe";
  }
  void TearDown() override { InstallSystem() = nullptr; }

  fw::TComponent form{nullptr};
  NotingSystem system;
  TUninstallEXE* uninstaller;
};

TEST_F(UninstallEXE, PublishesTheDefaultsOfAnInstallFileExceptNet) {
  TInstallFile plain(nullptr);
  EXPECT_EQ(uninstaller->ClassName(), "TUninstallEXE");
  EXPECT_EQ(uninstaller->RegisteredType(), rtFile);
  EXPECT_TRUE(uninstaller->Net);
  EXPECT_FALSE(plain.Net);
  EXPECT_EQ(uninstaller->State(), ifsNone);
  EXPECT_EQ(uninstaller->AddToArchive, lzcOverwrite);
  EXPECT_TRUE(uninstaller->Include);
  EXPECT_EQ(uninstaller->InstallTypes(), InstallTypeSet({itAlways}));
  EXPECT_EQ(uninstaller->FileType, iftNormal);
  EXPECT_EQ(uninstaller->OverwriteMode, owAlways);
  EXPECT_FALSE(uninstaller->UpdateDLLCounter);
  EXPECT_TRUE(uninstaller->Processable);
}

TEST_F(UninstallEXE, InstallsItsFileAndNamesItselfAsTheUninstallCommand) {
  auto* install = new ProductInstall(&form);
  install->SetName("Install1");
  uninstaller->SetContainer(install);
  uninstaller->SetDestDirType(nullptr);
  uninstaller->SetDestDir("C:\\Program Files\\OSTREL SYSTEMS\\QUORVANE");
  uninstaller->SetArchiveFileType(nullptr);
  uninstaller->SetArchiveFile("C:\\setup\\files.1");
  install->Process();

  EXPECT_TRUE(uninstaller->Installed);
  EXPECT_EQ(system.journal,
            (std::vector<std::string>{"extract C:\\Program Files\\OSTREL SYSTEMS\\QUORVANE\\uninstall.exe"}));
  const std::string key = std::string(kUninstallKey) + "QUORVANE";
  EXPECT_EQ(system.registry.Text(kLocalMachine, key, "DisplayName"), "QUORVANE");
  EXPECT_EQ(system.registry.Text(kLocalMachine, key, "UninstallString"),
            "\"C:\\Program Files\\OSTREL SYSTEMS\\QUORVANE\\uninstall.exe\" QUORVANE");
  // The two values are all: the uninstaller enters no file log.
  ASSERT_NE(system.registry.Find(kLocalMachine, key), nullptr);
  EXPECT_EQ(system.registry.Find(kLocalMachine, key)->values.size(), 2u);
  EXPECT_EQ(system.registry.Find(kLocalMachine, key + "\\Files"), nullptr);
}

TEST_F(UninstallEXE, WithoutAnInstallNothingIsWritten) {
  try {
    uninstaller->WriteUninstallInfo(std::string(kUninstallKey) + "QUORVANE");
    FAIL() << "no exception";
  } catch (const IEUninstallEXE& error) {
    EXPECT_EQ(error.Message(),
              "UninstallEXE could not write information about the uninstall to the registry because there "
              "was no TInstall component");
  }
  EXPECT_TRUE(system.registry.keys.empty());
}

}  // namespace
}  // namespace setup
