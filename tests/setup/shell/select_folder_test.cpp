// The program-folder page's rules: which folders it lists, the name it
// starts with, and what a typed name does to the shortcut folder.
#include "setup/shell/select_folder.h"

#include <gtest/gtest.h>

#include "setup/paths/path_specifiers.h"
#include "setup/shell/shell_links.h"

namespace setup {
namespace {

TEST(SelectFolderRules, ListComesFromTheShellOrProgramManagerSorted) {
  FolderSources sources;
  sources.ProgramsSubfolders = [] { return std::vector<std::string>{"zed", "Alpha", "beta"}; };
  sources.ProgramManagerGroups = [] { return std::vector<std::string>{"Main", "Accessories"}; };
  struct Case {
    int kind;
    std::vector<std::string> list;
  } cases[] = {{1, {"Alpha", "beta", "zed"}},
               {2, {"Alpha", "beta", "zed"}},
               {0, {"Accessories", "Main"}},
               {3, {"Accessories", "Main"}},
               {4, {"Accessories", "Main"}}};
  for (const auto& c : cases) EXPECT_EQ(ProgramFolderList(c.kind, sources), c.list) << c.kind;
  EXPECT_TRUE(ProgramFolderList(2, {}).empty());
}

TEST(SelectFolderRules, StartingNameAndTypedName) {
  fw::TComponent form(nullptr);
  EnsureStandardSpecifiers(&form);
  auto* folder = new TCustomShellLinkGroup(&form);
  folder->SetDestDir("\\Ostrel\\Quorvane");
  EXPECT_EQ(InitialFolderName(folder, {"First"}), "First");  // not in the Programs menu
  folder->SetDestDirType(PathSpecifiers().FindSpecifier<TpsProgramMenu>());
  EXPECT_EQ(InitialFolderName(folder, {"First"}), "Quorvane");
  folder->SetDestDir("\\");
  EXPECT_EQ(InitialFolderName(folder, {"First"}), "First");
  EXPECT_EQ(InitialFolderName(folder, {}), "");
  EXPECT_EQ(InitialFolderName(nullptr, {"First"}), "First");

  folder->SetDestDirType(PathSpecifiers().FindSpecifier<TpsDesktopMenu>());
  ApplyFolderName(folder, "X");
  EXPECT_EQ(folder->DestDir(), "\\X");
  EXPECT_NE(dynamic_cast<TpsProgramMenu*>(folder->DestDirType()), nullptr);
  ApplyFolderName(folder, "");
  EXPECT_EQ(folder->DestDir(), "\\");
  ApplyFolderName(nullptr, "Y");
}

}  // namespace
}  // namespace setup
