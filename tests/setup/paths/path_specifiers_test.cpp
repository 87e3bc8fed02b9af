#include "setup/paths/path_specifiers.h"

#include <gtest/gtest.h>

#include "setup/paths/machine_folders.h"
#include "tests/setup/install/install_test_support.h"

namespace setup {
namespace {

using test_support::StandInFile;
using test_support::StandInInstall;

// A machine without registry values: every folder takes its default.
class PathSpecifiers : public ::testing::Test {
 protected:
  void SetUp() override {
    MachineAccess access;
    access.WindowsDirectory = [] { return std::string("C:\\WINDOWS\\"); };
    access.SystemDirectory = [] { return std::string("C:\\WINDOWS\\system32"); };
    access.CurrentDirectory = [] { return std::string("D:\\setup\\disk1"); };
    SetMachineAccess(access);
    EnsureStandardSpecifiers(&form);
  }
  void TearDown() override { SetMachineAccess({}); }
  template <class T>
  T* Specifier() {
    return setup::PathSpecifiers().FindSpecifier<T>();
  }
  fw::TComponent form{nullptr};
};

TEST_F(PathSpecifiers, EveryStandardOneExistsOnceWithItsName) {
  EXPECT_EQ(StandardPathSpecifiers().Count(), 14);
  EnsureStandardSpecifiers(&form);
  EXPECT_EQ(StandardPathSpecifiers().Count(), 14);
  const char* names[] = {"psHDBDLL",           "psCommonFiles",  "psContainerArchiveFile",
                         "psContainerDestDir", "psDesktopMenu",  "psInstallSource",
                         "psMainInstall",      "psProgramFiles", "psProgramMenu",
                         "psStartMenu",        "psStartupMenu",  "psSystem",
                         "psMainArchiveFile",  "psWindow"};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(form.Component(i)->Name(), names[i]);
  EXPECT_EQ(Specifier<TpsSystem>()->DisplayText(), "Path of system directory");
  try {
    TPathSpecifierList empty;
    empty.FindSpecifier<TpsSystem>();
    FAIL();
  } catch (const IEPathSpecifier& e) {
    EXPECT_EQ(e.Message(), "Could not find the path specifier");
  }
  try {
    setup::PathSpecifiers().Add(nullptr);
    FAIL();
  } catch (const IEPathSpecifierList& e) {
    EXPECT_EQ(e.Message(), "Tried to add a nil object to the path specifier list");
  }
}

TEST_F(PathSpecifiers, MachineFoldersWithoutRegistryValues) {
  EXPECT_EQ(Specifier<TpsStartMenu>()->GetPath(nullptr), "C:\\WINDOWS\\Startmen");
  EXPECT_EQ(Specifier<TpsProgramMenu>()->GetPath(nullptr), "C:\\WINDOWS\\Startmen\\Programs");
  EXPECT_EQ(Specifier<TpsDesktopMenu>()->GetPath(nullptr), "C:\\WINDOWS\\Desktop");
  EXPECT_EQ(Specifier<TpsStartupMenu>()->GetPath(nullptr), "C:\\WINDOWS\\Startup");
  EXPECT_EQ(Specifier<TpsProgramFiles>()->GetPath(nullptr), "D:\\Program Files");
  EXPECT_EQ(Specifier<TpsCommonFiles>()->GetPath(nullptr), "D:\\Program Files\\Common Files");
  EXPECT_EQ(Specifier<TpsSystem>()->GetPath(nullptr), "C:\\WINDOWS\\system32");
  EXPECT_EQ(Specifier<TpsWindow>()->GetPath(nullptr), "C:\\WINDOWS");
  EXPECT_EQ(Specifier<TpsHDBDLL>()->GetPath(nullptr), "D:\\Program Files\\Harrowgate\\Common Files\\HDB");
  EXPECT_EQ(DriveOf("\\\\server\\share\\x"), "\\\\server\\share");
  EXPECT_EQ(DriveOf("relative"), "");
}

TEST_F(PathSpecifiers, InstallSpecifiersAgainstTheInstallRun) {
  auto* install = new StandInInstall(&form);
  install->SetName("Install");
  install->SetDestDir("E:\\Tallimo\\");
  auto* group = new TInstallFileGroup(&form);
  group->SetName("Group");
  group->SetContainer(install);
  group->SetDestDirType(Specifier<TpsMainInstall>());
  group->SetDestDir("\\Reports");
  EXPECT_EQ(group->GetDestDir(), "E:\\Tallimo\\Reports");
  EXPECT_EQ(Specifier<TpsInstallSource>()->GetPath(group), "C:\\setup");
  install->Base = "A:";  // a program in the root of drive A
  EXPECT_EQ(Specifier<TpsMainArchiveFile>()->GetPath(group), "A:\\files.1");
  install->Archive = "Setup.exe";
  EXPECT_EQ(Specifier<TpsMainArchiveFile>()->GetPath(group), "A:\\Setup.exe");
  install->Archive = "  ";
  try {
    Specifier<TpsMainArchiveFile>()->GetPath(group);
    FAIL();
  } catch (const IEInstall& e) {
    EXPECT_EQ(
        e.Message(),
        "You forgot to pass in the name of the self-extracting executable. Usage example: \"-eSetup.exe\"");
  }
  auto* file = new StandInFile(&form);
  file->SetName("File");
  file->SetContainer(group);
  group->GroupName = "Reports";
  EXPECT_EQ(Specifier<TpsContainerDestDir>()->DisplayTextFor(file), "Path of the <Reports> group");
  install->GroupName = "Main";
  EXPECT_EQ(Specifier<TpsContainerDestDir>()->DisplayTextFor(group), "Path of the <Main> group");
  auto* holder = new TGrabCall(&form);
  holder->SetName("Holder");
  auto* held = new TGrabCall(&form);
  held->SetContainer(holder);
  EXPECT_EQ(Specifier<TpsContainerDestDir>()->DisplayTextFor(held), "Path of the <Holder> group");
  EXPECT_EQ(Specifier<TpsContainerDestDir>()->DisplayTextFor(install), "Path of the group (container)");
  group->SetArchiveFileType(nullptr);
  group->SetArchiveFile("D:\\disk\\files.2");
  EXPECT_EQ(file->GetArchivePath(), "D:\\disk\\files.2");
}

TEST_F(PathSpecifiers, ChecksNameWhatIsMissing) {
  auto* bare = new TGrabCall(&form);
  bare->SetName("Bare");
  fw::TComponent plain(nullptr);
  plain.SetName("Plain");
  auto* dialog = new TGrabCall(&form);
  dialog->SetName("Dialog");
  dialog->SetContainer(bare);
  struct Row {
    TCustomPathSpecifier* specifier;
    fw::TComponent* object;
    std::string message;
  };
  const Row rows[] = {
      {Specifier<TpsContainerDestDir>(), &plain,
       "Plain must be a TInstallObject to use the psContainerDestDir path specifier"},
      {Specifier<TpsContainerArchiveFile>(), &plain,
       "Plain must be a TInstallObject to use the psContainerArchiveFile path specifier"},
      {Specifier<TpsContainerDestDir>(), bare,
       "Cannot use ddContainerDestDir for Bare unless you assign a Container"},
      {Specifier<TpsContainerArchiveFile>(), bare,
       "Cannot use ddContainerArchiveFile for Bare unless you assign a Container"},
      {Specifier<TpsContainerArchiveFile>(), dialog,
       "Cannot use the ddContainerArchiveFile path specifier for Dialog because the Container is not a "
       "TFileRelated "
       "descendant"},
      {Specifier<TpsInstallSource>(), bare,
       "There is no TInstall component so the path specifier could not be expanded for Bare"},
      {Specifier<TpsMainInstall>(), bare,
       "There is no TInstall component so the path specifier could not be expanded for Bare"},
      {Specifier<TpsMainArchiveFile>(), bare,
       "There is no TInstall component so the path specifier could not be expanded for Bare"},
  };
  for (const Row& row : rows) {
    try {
      row.specifier->CheckObject(row.object);
      ADD_FAILURE() << row.message;
    } catch (const IEPathSpecifier& e) {
      EXPECT_EQ(e.Message(), row.message);
    }
  }
  auto* install = new StandInInstall(&form);
  try {
    Specifier<TpsMainInstall>()->CheckObject(install);
    FAIL();
  } catch (const IEPathSpecifier& e) {
    EXPECT_EQ(e.Message(), "Cannot use the ddMainInstallDir path specifier for a TInstall component");
  }
  // Setting a specifier outside loading checks it.
  EXPECT_THROW(bare->SetDestDirType(Specifier<TpsContainerDestDir>()), IEPathSpecifier);
}

TEST_F(PathSpecifiers, ExpandMetaVariablesTable) {
  auto* install = new StandInInstall(&form);
  install->SetDestDir("E:\\Tallimo");
  auto* group = new TInstallFileGroup(&form);
  group->SetContainer(install);
  group->SetDestDir("\\Data\\");
  auto* file = new StandInFile(&form);
  file->SetContainer(group);
  file->SetDestDir("\\Sub");
  const std::pair<const char*, const char*> rows[] = {
      {"%%p", "%p"},
      {"%x", ""},
      {"run%", "run"},
      {"", ""},
      {"%W\\x.ini", "C:\\WINDOWS\\x.ini"},
      {"%s|%m|%b|%d",
       "C:\\WINDOWS\\system32|C:\\WINDOWS\\Startmen|C:\\WINDOWS\\Startmen\\Programs|C:\\WINDOWS\\Desktop"},
      {"%P;%F", "D:\\Program Files;D:\\Program Files\\Common Files"},
      {"%a|%C|%i", "E:\\Tallimo\\Data\\Sub|E:\\Tallimo\\Data|E:\\Tallimo"},
      {"100%% sure", "100% sure"},
  };
  for (auto [text, expanded] : rows) EXPECT_EQ(ExpandMetaVariables(text, file), expanded) << text;
}

TEST_F(PathSpecifiers, ExpandMetaVariablesErrors) {
  auto* lone = new TGrabCall(&form);
  struct Row {
    const char* text;
    TInstallContainer* component;
    std::string message;
    bool install;
  };
  const Row rows[] = {
      {"%a", nullptr, "Cannot expand the %a meta variable because the component is Nil", false},
      {"%c", nullptr, "Cannot expand the %c meta variable because the component is Nil", false},
      {"%c", lone, "Cannot expand the %c meta variable because the Container property is Nil", false},
      {"%i", lone, "Cannot expand the %i meta variable because there is no TInstall component", true},
  };
  for (const Row& row : rows) {
    try {
      ExpandMetaVariables(row.text, row.component);
      ADD_FAILURE() << row.text;
    } catch (const EAICannotExpandInstallDirMV& e) {
      EXPECT_TRUE(row.install);
      EXPECT_EQ(e.Message(), row.message);
    } catch (const EAICannotExpandContainerDirMV& e) {
      EXPECT_FALSE(row.install);
      EXPECT_EQ(e.Message(), row.message);
    }
  }
}

}  // namespace
}  // namespace setup
