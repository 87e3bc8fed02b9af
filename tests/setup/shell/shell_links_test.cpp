// The shortcut rules without the operating system: the name accessors, the
// loading state, the main folder and main links, the object-link specifier,
// the message texts, and what an install hands to the shell.
#include "setup/shell/shell_links.h"

#include <gtest/gtest.h>

#include "setup/paths/machine_folders.h"
#include "setup/paths/path_specifiers.h"
#include "tests/setup/install/install_test_support.h"

namespace setup {
namespace {

class ShellLinkRules : public ::testing::Test {
 protected:
  void SetUp() override {
    MachineAccess machine;
    machine.WindowsDirectory = [] { return std::string("C:\\WIN"); };
    SetMachineAccess(machine);
    ShellAccess shell;
    shell.ForceDirectories = [this](const std::string& folder) {
      folders.push_back(folder);
      return true;
    };
    shell.SaveShellLink = [this](const ShellLinkData& link) { saved.push_back(link); };
    shell.WindowsKind = [this] { return windowsKind; };
    SetShellAccess(shell);
    EnsureStandardSpecifiers(&form);
  }
  void TearDown() override {
    form.DestroyComponents();
    SetShellAccess({});
    SetMachineAccess({});
  }

  test_support::StandInFile* File(const std::string& name) {
    auto* file = new test_support::StandInFile(&form);
    file->FileName = name;
    file->SetDestDir("C:\\App");
    file->Installed = true;
    return file;
  }
  TInstallShellLink* Link(const std::string& name = "L1") {
    auto* link = new TInstallShellLink(&form);
    link->SetName(name);
    return link;
  }

  fw::TComponent form{nullptr};
  std::vector<std::string> folders;
  std::vector<ShellLinkData> saved;
  int windowsKind = 2;
};

TEST_F(ShellLinkRules, LinkNameExtensions) {
  struct Case {
    const char* old;
    const char* given;
    const char* stored;
  } cases[] = {
      {"", "App", "App.LNK"},          {"", "App.lnk", "App.lnk"},
      {"X.LNK", "App.txt", "App.LNK"}, {"X.PIF", "App.txt", "App.PIF"},
      {"X.pif", "App", "App.PIF"},     {"", "  ", "  "},
      {"", "App.url", "App.url"},      {"", "dir.v2\\App", "dir.v2\\App.LNK"},
  };
  for (const auto& c : cases) {
    TInstallShellLink* link = Link("");
    // An old name such as "X.PIF" only comes from a description.
    link->BeginLoading();
    link->SetLinkName(c.old);
    link->EndLoadingQuietly();
    link->SetLinkName(c.given);
    EXPECT_EQ(link->LinkName(), c.stored) << c.old << " then " << c.given;
    delete link;
  }
}

TEST_F(ShellLinkRules, UrlNameClearsTheObjectLink) {
  TInstallShellLink* link = Link();
  link->SetObjectLink(File("a.exe"));
  ASSERT_NE(link->ObjectLink(), nullptr);
  link->SetLinkName("Site.url");
  EXPECT_EQ(link->ObjectLink(), nullptr);
  EXPECT_EQ(link->ObjectLocationType(), nullptr);
}

TEST_F(ShellLinkRules, NamesDerivedFromTheLocation) {
  struct Case {
    const char* linkName;
    const char* location;
    const char* stored;
  } cases[] = {
      {"", "http://host/page", "host_page.URL"},       {"", "HTTP://host/a/b?x=1", "host_a_b_x=1.URL"},
      {"", "see http://h/..\\..\\x", "h_.._.._x.URL"}, {"", "http://..", "__.URL"},
      {"", "ftp://srv/f:*<>|\"", "srv_f______.URL"},   {"", "C:\\dir\\prog.exe", "prog.LNK"},
      {".lnk", "C:\\dir\\prog.exe", "prog.LNK"},  // ".LNK" alone counts as blank
      {"Keep.LNK", "http://host/page", "Keep.LNK"},
  };
  for (const auto& c : cases) {
    TInstallShellLink* link = Link("");
    link->SetLinkName(c.linkName);
    link->SetObjectLocation(c.location);
    EXPECT_EQ(link->LinkName(), c.stored) << c.location;
    EXPECT_EQ(link->ObjectLocation(), c.location);
    delete link;
  }
}

TEST_F(ShellLinkRules, ObjectLinkNamesTheShortcutAndBecomesItsContainer) {
  auto* group = new TInstallFileGroup(&form);
  group->GroupName = "G";
  auto* other = new TCustomShellLinkGroup(&form);
  other->SetName("Other");
  struct Case {
    TInstallContainer* target;
    const char* name;
  } cases[] = {{File("a.exe"), "a.lnk"}, {group, "G.lnk"}, {other, "Other.lnk"}};
  for (const auto& c : cases) {
    TInstallShellLink* link = Link("");
    link->SetObjectLocation("C:\\x\\y.exe");
    link->SetObjectLink(c.target);
    EXPECT_EQ(link->LinkName(), c.name);
    EXPECT_EQ(link->ObjectLocation(), "");
    EXPECT_NE(dynamic_cast<TpsObjectLink*>(link->ObjectLocationType()), nullptr);
    EXPECT_EQ(link->Container(), c.target);
    link->SetObjectLink(nullptr);
    EXPECT_EQ(link->ObjectLocationType(), nullptr);
    EXPECT_EQ(link->Container(), c.target);  // kept
    delete link;
  }
}

TEST_F(ShellLinkRules, WhileLoadingTheAccessorsOnlyStore) {
  auto* file = File("a.exe");
  form.BeginLoading();
  TInstallShellLink* link = Link();
  ASSERT_TRUE(link->Loading());
  link->SetLinkName("App");
  EXPECT_EQ(link->LinkName(), "App");
  link->SetLinkName("");
  link->SetObjectLocation("http://host/page");
  EXPECT_EQ(link->LinkName(), "");
  link->SetObjectLink(file);
  EXPECT_EQ(link->LinkName(), "");
  EXPECT_EQ(link->Container(), nullptr);
  EXPECT_EQ(link->ObjectLocationType(), nullptr);
  link->SetLinkName("Site.url");
  EXPECT_EQ(link->ObjectLink(), file);
  form.EndLoadingQuietly();
  link->EndLoadingQuietly();
}

TEST_F(ShellLinkRules, ShortcutGoesWhenItsTargetOrContainerGoes) {
  auto* file = File("a.exe");
  Link("ToFile")->SetObjectLink(file);
  auto* folder = new TCustomShellLinkGroup(&form);
  Link("InFolder")->SetContainer(folder);
  delete file;
  EXPECT_EQ(form.FindComponent("ToFile"), nullptr);
  EXPECT_NE(form.FindComponent("InFolder"), nullptr);
  delete folder;
  EXPECT_EQ(form.FindComponent("InFolder"), nullptr);
}

TEST_F(ShellLinkRules, OneMainFolderInTheProgramsMenu) {
  auto* main = new TMainLinkGroup(&form);
  EXPECT_EQ(MainLinkGroup(), main);
  EXPECT_EQ(main->DestDir(), "\\MainFolderName");
  EXPECT_NE(dynamic_cast<TpsProgramMenu*>(main->DestDirType()), nullptr);
  main->SetDestDirType(PathSpecifiers().FindSpecifier<TpsDesktopMenu>());
  EXPECT_NE(dynamic_cast<TpsProgramMenu*>(main->DestDirType()), nullptr);
  EXPECT_EQ(main->GetDestDir(), "C:\\WIN\\Startmen\\Programs\\MainFolderName");
  try {
    new TMainLinkGroup(&form);
    ADD_FAILURE();
  } catch (const IEShellLinkGroup& e) {
    EXPECT_STREQ(e.what(), "You can only have one TMainLinkGroup component in your project");
  }
  delete main;
  EXPECT_EQ(MainLinkGroup(), nullptr);
  new test_support::StandInInstall(&form);
  EXPECT_EQ((new TMainLinkGroup(&form))->DestDir(), "\\Tallimo");
}

TEST_F(ShellLinkRules, MainLinksNeedTheMainFolder) {
  try {
    new TInstallMainLink(&form);
    ADD_FAILURE();
  } catch (const IEInstallShellLink& e) {
    EXPECT_STREQ(
        e.what(),
        "To create a TInstallMainLink you must first have a TMainLinkGroup component in your project");
  }
  auto* main = new TMainLinkGroup(&form);
  auto* link = new TInstallMainLink(&form);
  EXPECT_EQ(link->Container(), main);
  EXPECT_TRUE(HasRole(link->DestDirType(), TSpecifierRole::ContainerDestDir));
  link->SetDestDirType(PathSpecifiers().FindSpecifier<TpsDesktopMenu>());
  EXPECT_TRUE(HasRole(link->DestDirType(), TSpecifierRole::ContainerDestDir));
  try {
    link->SetContainer(new TCustomShellLinkGroup(&form));
    ADD_FAILURE();
  } catch (const IEInstallShellLink& e) {
    EXPECT_STREQ(e.what(),
                 "The TMainLinkGroup component must be the Container for TInstallMainLink and TSubLinkGroup "
                 "components");
  }
  EXPECT_EQ(link->Container(), main);
}

TEST_F(ShellLinkRules, ObjectLinkSpecifierChecksItsObject) {
  TInstallShellLink* link = Link();
  TpsObjectLink* specifier = PathSpecifiers().FindSpecifier<TpsObjectLink>();
  ASSERT_NE(specifier, nullptr);
  EXPECT_EQ(specifier->Name(), "psObjectLink");
  auto* folder = new TCustomShellLinkGroup(&form);
  folder->SetName("Folder1");
  try {
    specifier->CheckObject(folder);
    ADD_FAILURE();
  } catch (const IEPathSpecifier& e) {
    EXPECT_STREQ(e.what(),
                 "Folder1 must be a TCustomInstallShellLink to use the psObjectLink path specifier");
  }
  try {
    link->SetObjectLocationType(specifier);
    ADD_FAILURE();
  } catch (const IEPathSpecifier& e) {
    EXPECT_STREQ(e.what(), "Cannot use ddObjectLink for L1 unless you assign a value to ObjectLink");
  }
  link->SetObjectLink(folder);
  folder->SetDestDir("C:\\Menu\\Sub\\");
  EXPECT_EQ(link->GetTargetPath(), "C:\\Menu\\Sub");
  link->SetObjectLink(File("a.exe"));
  EXPECT_EQ(link->GetTargetPath(), "C:\\App\\a.exe");
}

TEST_F(ShellLinkRules, TargetFollowsTheFilesFinalName) {
  // A file written under a temporary name while in use: the installation
  // reports the name it gets at the restart, and the shortcut points there.
  auto* file = File("Quorvane - Brask.exe");
  InstallFiles().InstalledPath = [](const TCustomInstallFile& f) { return "C:\\Final\\" + f.FileName; };
  file->FileName = "Quorvane - Brask.exe";
  TInstallShellLink* link = Link();
  link->SetObjectLink(file);
  EXPECT_EQ(link->GetTargetPath(), "C:\\Final\\Quorvane - Brask.exe");
  InstallFiles() = {};
  EXPECT_EQ(link->GetTargetPath(), "C:\\App\\Quorvane - Brask.exe");
}

TEST_F(ShellLinkRules, TargetWithoutSpecifierIsTheLocation) {
  TInstallShellLink* link = Link();
  link->SetObjectLocation("C:\\Tools\\");
  EXPECT_EQ(link->GetTargetPath(), "C:\\Tools");
  link->SetObjectLocationType(PathSpecifiers().FindSpecifier<TpsProgramFiles>());
  link->SetObjectLocation("\\x.exe");
  EXPECT_EQ(link->GetTargetPath(), ProgramFilesFolder() + "\\x.exe");
}

TEST_F(ShellLinkRules, InstallHandsTheLinkToTheShell) {
  auto* folder = new TCustomShellLinkGroup(&form);
  folder->SetDestDir("C:\\Links\\");
  TInstallShellLink* link = Link();
  link->SetContainer(folder);
  link->SetObjectLink(File("a.exe"));
  link->HotKey = 0x0641;
  link->Parameters = "-p %%";
  folder->Process();
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].LinkPath, "C:\\Links\\a.lnk");
  EXPECT_EQ(saved[0].Target, "C:\\App\\a.exe");
  EXPECT_EQ(saved[0].Arguments, "-p %");
  EXPECT_EQ(saved[0].WorkingDirectory, "C:\\App");
  EXPECT_EQ(saved[0].HotKey, 0x0641);
  EXPECT_EQ(saved[0].ObjectName, "L1");
  EXPECT_EQ(folders, (std::vector<std::string>{"C:\\Links", "C:\\Links"}));
}

TEST_F(ShellLinkRules, InstallFailures) {
  TInstallShellLink* link = Link();
  try {
    link->Install();
    ADD_FAILURE();
  } catch (const IEInstallShellLink& e) {
    EXPECT_STREQ(e.what(), "The LinkName is blank for L1 and therefore could not be installed");
  }
  class Uninstaller : public TCustomInstallFile {
   public:
    using TCustomInstallFile::TCustomInstallFile;
    std::string ClassName() const override { return "TUninstallEXE"; }
  };
  auto* uninstaller = new Uninstaller(&form);
  uninstaller->FileName = "remove.exe";
  uninstaller->Installed = true;
  link->SetObjectLink(uninstaller);
  try {
    link->Install();
    ADD_FAILURE();
  } catch (const IEInstallShellLink& e) {
    EXPECT_STREQ(e.what(), "L1 cannot perform operation because there is no TInstall component");
  }
  EXPECT_TRUE(saved.empty());
  // A Programs-menu item on a shell without links, with no folder name.
  TInstallShellLink* item = Link("L2");
  item->SetLinkName("x");
  item->SetDestDirType(PathSpecifiers().FindSpecifier<TpsProgramMenu>());
  item->SetDestDir("\\\\");
  windowsKind = 3;
  try {
    item->Install();
    ADD_FAILURE();
  } catch (const IEInstallShellLink& e) {
    EXPECT_STREQ(e.what(), "The LinkName is blank for L2 and therefore could not be installed");
  }
}

TEST_F(ShellLinkRules, FolderWithoutADestinationCannotBeCreated) {
  auto* folder = new TCustomShellLinkGroup(&form);
  try {
    folder->Install();
    ADD_FAILURE();
  } catch (const fw::Exception& e) {
    EXPECT_STREQ(e.what(), "Unable to create directory");
  }
  folder->SetDestDir("C:\\Refused");
  SetShellAccess({[](const std::string&) { return false; }, nullptr, nullptr, nullptr, nullptr});
  try {
    folder->Install();
    ADD_FAILURE();
  } catch (const IEInstallShellLink& e) {
    EXPECT_STREQ(e.what(), "Cannot create the folder C:\\Refused");
  }
}

TEST_F(ShellLinkRules, ComErrorTexts) {
  struct Case {
    std::uint32_t code;
    const char* text;
  } cases[] = {
      {0x8000FFFFu, "Indicates an unexpected error occurred"},
      {0x80040110u, "Indicates this class cannot be created as part of an aggregate"},
      {0x80040154u, "Indicates that a specified class is not registered in the registration database"},
      {0x8007000Eu, "Out of memory"},
      {0x80070057u, "Indicates one or more arguments are invalid"},
      {0, ""},
      {0x80004005u, "the system's own"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ComErrorExplanation(static_cast<std::int32_t>(c.code), "the system's own"), c.text) << c.code;
  EXPECT_EQ(ShellLinkComErrorMessage("L%s", static_cast<std::int32_t>(0x80070057u), ""),
            "The TCustomInstallShellLink L%s name could not be installed. The following error was reported "
            "Indicates one or more arguments are invalid. Error code -2147024809");
  EXPECT_EQ(
      ShellLinkOtherErrorMessage("100%", "disk %d full"),
      "The TCustomInstallShellLink 100% name could not be installed. The following error was reported disk "
      "%d full");
}

}  // namespace
}  // namespace setup
