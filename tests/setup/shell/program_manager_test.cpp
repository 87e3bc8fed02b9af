// Program Manager command texts, the group-data rules, the exception texts,
// and the order of commands over a recording conversation.
#include "setup/shell/program_manager.h"

#include <gtest/gtest.h>

#include <map>

namespace setup {
namespace {

TEST(ProgramManagerMacros, AreBuiltByteForByte) {
  EXPECT_EQ(CreateGroupMacro("Grp"), "[CreateGroup(\"Grp\")]");
  EXPECT_EQ(ShowGroupMacro("Grp"), "[ShowGroup(Grp,8)]");
  EXPECT_EQ(ReplaceItemMacro("Item"), "[ReplaceItem(\"Item\")]");
  EXPECT_EQ(AddItemMacro("\"C:\\P\\a.exe\" ARGS", "Item", "", 0, "\"C:\\P\"", ""),
            "[AddItem(\"C:\\P\\a.exe\" ARGS,Item,,0,,,\"C:\\P\",)]");
  EXPECT_EQ(AddItemMacro("c", "n", "i.ico", 3, "d", "h"), "[AddItem(c,n,i.ico,3,,,d,h)]");
}

TEST(ProgramManagerGroupData, FieldsAndItems) {
  const std::vector<std::string> empty = ReplyLines("\"Grp\",0,0,0,0\r\n");
  EXPECT_EQ(ItemCount(empty), 0);
  EXPECT_EQ(FindItem(empty, "Grp"), -1);
  EXPECT_EQ(ItemCount({}), 0);

  const std::vector<std::string> lines = ReplyLines(
      "\"Grp\",2\r\n"
      "\"\"\"Quoted\"\"\",\"\"\"C:\\a.exe\"\"\",\"\"\"dir\"\"\"\r\n"
      "\"Name, with comma\",\"C:\\b.exe\",x\n"
      "Plain,cmd");
  ASSERT_EQ(ItemCount(lines), 3);
  struct Case {
    int i, n;
    const char* field;
  } cases[] = {
      {0, 1, ""},               // line 0 is the group itself
      {4, 1, ""},               // past the last line
      {1, 1, "\"Quoted\""},     // the name loses two quotes at each end
      {1, 2, "\"C:\\a.exe\""},  // so does field 2
      {1, 3, "\"\"dir\"\""},    // field 3 loses one
      {2, 1, "Name"},           // a name with a comma is cut at it
      {2, 2, " with comma"},
      {2, 3, "C:\\b.exe"},
      {3, 1, "Plain"},
      {3, 3, ""},  // a missing field
      {3, 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ItemField(lines, c.i, c.n), c.field) << c.i << "," << c.n;
  EXPECT_EQ(FindItem(lines, "Plain"), 3);
  EXPECT_EQ(FindItem(lines, "plain"), -1);  // case-sensitive
  EXPECT_EQ(FindItem(lines, "Name"), 2);
  EXPECT_EQ(FindItem(lines, "Name, with comma"), -1);
}

TEST(ProgramManagerGroupData, ReplyLinesEndAtEveryLineBreak) {
  EXPECT_EQ(ReplyLines("a\r\nb\nc\rd\r\n"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(ReplyLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(ReplyLines("").empty());
}

TEST(ProgramManagerExceptions, TextsKeepNamesOutOfTheFormat) {
  EXPECT_EQ(EAIPMError().Message(),
            "The TProgramManager object was unable to communicate with Program Manager");
  EXPECT_EQ(EAIPMCannotOpen().Message(),
            "The TProgramManager object was unable to establish a link with Program Manager");
  EXPECT_EQ(EAIPMCannotOpenGroup("100% Tools").Message(),
            "The TProgramManager object was unable to open the following program group: 100% Tools");
  EXPECT_EQ(EAIPMCannotCreateGroup("%s%d").Message(),
            "The TProgramManager object was unable to create the following program group: %s%d");
  const EAIPMCannotAddItem add("100% Tools", "Item %d", "[AddItem(x)]");
  EXPECT_EQ(
      add.Message(),
      "The TProgramManager object was unable to add the following program item: Item %d to the following "
      "group: 100% Tools. The arguments passed to  Program Manager were: [AddItem(x)]");
  EXPECT_EQ(add.Group, "100% Tools");
  EXPECT_EQ(add.Item, "Item %d");
  EXPECT_EQ(add.Command, "[AddItem(x)]");
  const EAIPMCannotReplaceItem replace("G%", "I%s");
  EXPECT_EQ(
      replace.Message(),
      "The TProgramManager object was unable to replace the following program item: I%s to the following "
      "group: G%");
  EXPECT_EQ(replace.Group, "G%");
  EXPECT_EQ(replace.Item, "I%s");
}

// A Program Manager that answers from a table and records what it is sent.
class RecordingConversation : public TDdeConversation {
 public:
  bool Open(const std::string& service, const std::string& topic) override {
    ++opens;
    openedAs = service + "|" + topic;
    return available;
  }
  void Close() override {}
  std::optional<std::string> Request(const std::string& item) override {
    log.push_back("?" + item);
    auto found = replies.find(item);
    if (found == replies.end()) return std::nullopt;
    return found->second;
  }
  bool Execute(const std::string& command) override {
    log.push_back(command);
    for (const auto& prefix : refused)
      if (command.rfind(prefix, 0) == 0) return false;
    return true;
  }
  bool available = true;
  int opens = 0;
  std::string openedAs;
  std::map<std::string, std::string> replies;
  std::vector<std::string> refused;
  std::vector<std::string> log;
};

struct Fixture {
  Fixture() {
    auto owned = std::make_unique<RecordingConversation>();
    conversation = owned.get();
    manager = std::make_unique<TProgramManager>(nullptr, std::move(owned));
  }
  RecordingConversation* conversation;
  std::unique_ptr<TProgramManager> manager;
};

TEST(TProgramManager, NoServerRaisesAndEveryCallTriesAgain) {
  Fixture f;
  f.conversation->available = false;
  std::vector<std::string> groups{"old"};
  EXPECT_THROW(f.manager->ListGroups(groups), EAIPMCannotOpen);
  EXPECT_THROW(f.manager->CreateGroup("G"), EAIPMCannotOpen);
  EXPECT_EQ(f.conversation->opens, 2);
  EXPECT_EQ(f.conversation->openedAs, "PROGMAN|PROGMAN");
  f.conversation->available = true;
  f.conversation->replies["Groups"] = "A\r\nB\r\n";
  f.manager->ListGroups(groups);
  EXPECT_EQ(groups, (std::vector<std::string>{"A", "B"}));
  f.manager->ListGroups(groups);
  EXPECT_EQ(f.conversation->opens, 3);  // once connected, it stays
}

TEST(TProgramManager, CreateGroupSelectsAndEmptyNameSendsNothing) {
  Fixture f;
  f.conversation->replies["G"] = "\"G\",1\r\n\"App\",\"x\"\r\n";
  f.manager->CreateGroup("");
  EXPECT_TRUE(f.conversation->log.empty());
  EXPECT_EQ(f.manager->SelectedGroup(), "");
  f.manager->CreateGroup("G");
  EXPECT_EQ(f.conversation->log, (std::vector<std::string>{"[CreateGroup(\"G\")]", "?G"}));
  EXPECT_EQ(f.manager->SelectedGroup(), "G");
  EXPECT_EQ(f.manager->FindItem("App"), 1);
}

TEST(TProgramManager, GroupWithoutReplyLeavesNothingSelectedSoItemsAreNotSent) {
  Fixture f;
  f.manager->CreateGroup("G");
  EXPECT_EQ(f.manager->SelectedGroup(), "");
  f.manager->ReplaceItem("I");
  f.manager->AddItem("c", "I", "", 0, "d", "");
  EXPECT_EQ(f.conversation->log, (std::vector<std::string>{"[CreateGroup(\"G\")]", "?G"}));
}

TEST(TProgramManager, ReplaceAndAddShowTheGroupAndRefreshIt) {
  Fixture f;
  f.conversation->replies["G"] = "\"G\",1\r\n\"I\",\"x\"\r\n";
  f.manager->SelectGroup("G");
  f.manager->ReplaceItem("I");
  f.manager->AddItem("\"C:\\a.exe\" ", "I", "", 0, "\"C:\\\"", "");
  EXPECT_EQ(
      f.conversation->log,
      (std::vector<std::string>{"?G", "[ShowGroup(G,8)]", "[ReplaceItem(\"I\")]", "?G", "[ShowGroup(G,8)]",
                                "[AddItem(\"C:\\a.exe\" ,I,,0,,,\"C:\\\",)]", "?G"}));
}

TEST(TProgramManager, RefusedCommandsRaiseTheirExceptions) {
  struct Case {
    const char* refused;
    std::function<void(TProgramManager&)> call;
    std::function<bool(const std::exception&)> expected;
  } cases[] = {
      {"[CreateGroup", [](TProgramManager& m) { m.CreateGroup("G"); },
       [](const std::exception& e) { return dynamic_cast<const EAIPMCannotCreateGroup*>(&e) != nullptr; }},
      {"[ShowGroup", [](TProgramManager& m) { m.ReplaceItem("I"); },
       [](const std::exception& e) { return dynamic_cast<const EAIPMCannotOpenGroup*>(&e) != nullptr; }},
      {"[ReplaceItem", [](TProgramManager& m) { m.ReplaceItem("I"); },
       [](const std::exception& e) { return dynamic_cast<const EAIPMCannotReplaceItem*>(&e) != nullptr; }},
      {"[AddItem", [](TProgramManager& m) { m.AddItem("c", "I", "", 0, "d", ""); },
       [](const std::exception& e) {
         auto* add = dynamic_cast<const EAIPMCannotAddItem*>(&e);
         return add && add->Group == "G" && add->Item == "I" && add->Command == "[AddItem(c,I,,0,,,d,)]";
       }},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.conversation->replies["G"] = "\"G\"\r\n";
    f.manager->SelectGroup("G");
    f.conversation->refused = {c.refused};
    try {
      c.call(*f.manager);
      ADD_FAILURE() << c.refused << " passed";
    } catch (const std::exception& e) {
      EXPECT_TRUE(c.expected(e)) << c.refused << ": " << e.what();
    }
  }
}

TEST(TProgramManager, NamesThatWouldBreakACommandAreRefusedBeforeSending) {
  for (const char* name : {"A\"B", "A,B", "A(B", "A)B", "A[B", "A]B"}) {
    Fixture f;
    f.conversation->replies["G"] = "\"G\"\r\n";
    EXPECT_THROW(f.manager->CreateGroup(name), EAIPMCannotCreateGroup) << name;
    f.manager->SelectGroup("G");
    EXPECT_THROW(f.manager->ReplaceItem(name), EAIPMCannotReplaceItem) << name;
    EXPECT_THROW(f.manager->AddItem("c", name, "", 0, "d", ""), EAIPMCannotAddItem) << name;
    EXPECT_EQ(f.conversation->log, (std::vector<std::string>{"?G"})) << name;
  }
}

}  // namespace
}  // namespace setup
