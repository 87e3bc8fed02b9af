// Program Manager over the system's DDE messages, against the stand-in
// server in its own process: the commands one shortcut sends, refusals, and
// no server at all.
#include <gtest/gtest.h>

#include "setup/shell/program_manager_win.h"
#include "tests/support/dde_standin.h"

namespace setup {
namespace {

std::unique_ptr<TProgramManager> ManagerFor(const std::string& service) {
  auto manager = std::make_unique<TProgramManager>(nullptr, NewSystemDdeConversation());
  manager->DdeService = manager->DdeTopic = service;
  return manager;
}

TEST(ProgramManagerOverDde, ListsTheScriptedGroups) {
  test_support::DdeStandIn server("PMLIST",
                                  "group Accessories\n\"Accessories\",1\ngroup Games\n\"Games\",0\n");
  auto manager = ManagerFor("PMLIST");
  std::vector<std::string> groups;
  manager->ListGroups(groups);
  EXPECT_EQ(groups, (std::vector<std::string>{"Accessories", "Games"}));
}

TEST(ProgramManagerOverDde, OneShortcutSendsCreateReplaceAddEachFollowedByARefresh) {
  test_support::DdeStandIn server("PMITEM",
                                  "group Quorvane\n\"Quorvane\",2\n\"Brask\",\"\"\"C:\\Q\\b.exe\"\"\",C:\\Q\n"
                                  "\"Other\",x\n");
  auto manager = ManagerFor("PMITEM");
  manager->CreateGroup("Quorvane");
  ASSERT_EQ(manager->SelectedGroup(), "Quorvane");
  ASSERT_EQ(manager->FindItem("Brask"), 1);
  manager->ReplaceItem("Brask");
  manager->AddItem("\"C:\\Q\\b.exe\" -x", "Brask", "", 0, "\"C:\\Q\"", "");
  EXPECT_EQ(server.Log(),
            (std::vector<std::string>{"[CreateGroup(\"Quorvane\")]", "?Quorvane", "[ShowGroup(Quorvane,8)]",
                                      "[ReplaceItem(\"Brask\")]", "?Quorvane", "[ShowGroup(Quorvane,8)]",
                                      "[AddItem(\"C:\\Q\\b.exe\" -x,Brask,,0,,,\"C:\\Q\",)]", "?Quorvane"}));
  EXPECT_EQ(manager->SelectedGroup(), "Quorvane");
  EXPECT_EQ(manager->ItemField(1, 2), "\"C:\\Q\\b.exe\"");
}

TEST(ProgramManagerOverDde, RefusedCommandsRaise) {
  test_support::DdeStandIn server("PMREFUSE", "group G\n\"G\",0\nrefuse [CreateGroup\nrefuse [AddItem\n");
  auto manager = ManagerFor("PMREFUSE");
  EXPECT_THROW(manager->CreateGroup("G"), EAIPMCannotCreateGroup);
  manager->SelectGroup("G");
  ASSERT_EQ(manager->SelectedGroup(), "G");
  EXPECT_THROW(manager->AddItem("c", "I", "", 0, "d", ""), EAIPMCannotAddItem);
  manager->ReplaceItem("I");  // accepted
  EXPECT_EQ(server.Executes(),
            (std::vector<std::string>{"[CreateGroup(\"G\")]", "[ShowGroup(G,8)]", "[AddItem(c,I,,0,,,d,)]",
                                      "[ShowGroup(G,8)]", "[ReplaceItem(\"I\")]"}));
}

TEST(ProgramManagerOverDde, NoServerRaisesAndTheNextCallTriesAgain) {
  auto manager = ManagerFor("PMLATE");
  std::vector<std::string> groups;
  EXPECT_THROW(manager->ListGroups(groups), EAIPMCannotOpen);
  EXPECT_FALSE(manager->Connected());
  test_support::DdeStandIn server("PMLATE", "group Late\n\"Late\"\n");
  manager->ListGroups(groups);
  EXPECT_EQ(groups, (std::vector<std::string>{"Late"}));
}

}  // namespace
}  // namespace setup
