// What the setup program connects before its form is made, on this machine:
// the hourglass while a container installs and while the build reads its
// source files, the cancel a container's OnAfterInstallObjects is told of,
// and the State setters reaching the build on real files.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/application.h"
#include "setup/archive/archive_files_win.h"
#include "setup/build/build_win.h"
#include "setup/install/file_replace_win.h"
#include "setup/paths/path_specifiers.h"
#include "setup/run/install_run_win.h"
#include "tests/setup/install/install_test_support.h"
#include "tests/support/files.h"

namespace setup {
namespace {

using test_support::StandInFile;
using test_support::StandInInstall;

// The machine's versions, noting the cursor each time a source file is read.
class CursorNotingVersions : public ArchiveVersions {
 public:
  explicit CursorNotingVersions(ArchiveVersions& real) : real_(real) {}
  std::string FileVersionOf(const std::string& path) override {
    cursors.push_back(fw::Screen()->Cursor());
    return real_.FileVersionOf(path);
  }
  int IsFileNewerByVersion(const std::string& a, const std::string& b, int mode, double date) override {
    return real_.IsFileNewerByVersion(a, b, mode, date);
  }
  int IsFileNewerByName(const std::string& a, const std::string& b, int mode) override {
    return real_.IsFileNewerByName(a, b, mode);
  }
  std::vector<fw::TCursor> cursors;

 private:
  ArchiveVersions& real_;
};

class ProgramHooks : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = TreeHooks();
    ConnectSetupProgram();
    EnsureStandardSpecifiers(&form);
    fw::Screen()->SetCursor(fw::crDefault);
    work = ::test_support::FullPath("program-hooks");
    ::test_support::DeleteTree(work);
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA((work + "\\src").c_str(), nullptr);
    install = new StandInInstall(&form);
    install->SetName("Install");
    group = new TInstallFileGroup(&form);
    group->SetName("Group");
    group->SetContainer(install);
  }
  void TearDown() override {
    TreeHooks() = saved;
    SharedArchiveAborted() = false;
    fw::Screen()->SetCursor(fw::crDefault);
  }
  TInstallFile* SourceFile(const std::string& name, const std::string& bytes) {
    auto* file = new TInstallFile(&form);
    file->SetName(name);
    file->SetContainer(group);
    file->FileName = name + ".txt";
    file->DestName = file->FileName;
    file->IncludeFromDir = work + "\\src";
    file->SetDestDirType(nullptr);
    file->SetDestDir(work + "\\dest");
    ::test_support::WriteFileText(work + "\\src\\" + file->FileName, bytes);
    return file;
  }

  InstallTreeHooks saved;
  fw::TComponent form{nullptr};
  StandInInstall* install = nullptr;
  TInstallFileGroup* group = nullptr;
  std::string work;
};

TEST_F(ProgramHooks, AContainerInstallsUnderTheHourglass) {
  auto* file = new StandInFile(&form, 3);
  file->SetName("File");
  file->SetContainer(group);
  std::vector<fw::TCursor> during;
  file->Action = [&](StandInFile&) {
    during.push_back(fw::Screen()->Cursor());
    return true;
  };
  group->Process();
  EXPECT_EQ(during, (std::vector<fw::TCursor>{fw::crHourGlass}));
  EXPECT_EQ(fw::Screen()->Cursor(), fw::crDefault);
}

TEST_F(ProgramHooks, TheBuildReadsItsSourceFilesUnderTheHourglass) {
  SourceFile("One", "one");
  SourceFile("Two", "two");
  BuildSystem& system = SystemBuild();
  ArchiveVersions* real = system.Versions;
  CursorNotingVersions noting(*real);
  system.Versions = &noting;
  BuildSettings settings;
  try {
    TDistributionBuild(*install, settings, system).ReadSourceInfo(*group);
  } catch (...) {
    system.Versions = real;
    throw;
  }
  system.Versions = real;
  EXPECT_EQ(noting.cursors, (std::vector<fw::TCursor>{fw::crHourGlass, fw::crHourGlass}));
  EXPECT_EQ(fw::Screen()->Cursor(), fw::crDefault);
}

// A cancel between extractions sets the flag the copy forms' Cancel sets:
// the container is told it was aborted, and only then.
TEST_F(ProgramHooks, AfterInstallObjectsIsToldOfACancel) {
  std::vector<bool> told;
  group->OnAfterInstallObjects = [&](TInstallContainer*, bool aborted) { told.push_back(aborted); };
  group->Process();
  *CurrentArchiveAbort() = true;
  group->Process();
  EXPECT_EQ(told, (std::vector<bool>{false, true}));
}

// Also after an install was cancelled: the copy starts afresh.
TEST_F(ProgramHooks, SettingTheCopyStateCopiesTheSourceFiles) {
  SourceFile("Copied", "copied bytes");
  *CurrentArchiveAbort() = true;
  group->SetState(ifsCopying);
  EXPECT_EQ(::test_support::ReadFileText(work + "\\dest\\Copied.txt"), "copied bytes");
  EXPECT_EQ(group->State(), ifsNone);
}

}  // namespace
}  // namespace setup
