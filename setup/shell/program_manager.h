// Program Manager groups over a DDE conversation: the list of groups, the
// contents of one selected group, and the CreateGroup, ShowGroup,
// ReplaceItem and AddItem commands. The conversation is handed in, so the
// command texts and the group-data rules are plain code.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/component.h"
#include "setup/base/exceptions.h"

namespace setup {

class EAIPMError : public EAI {
 public:
  EAIPMError();

 protected:
  explicit EAIPMError(std::string message) : EAI(std::move(message)) {}
};

class EAIPMCannotOpen : public EAIPMError {
 public:
  EAIPMCannotOpen();
};

class EAIPMCannotOpenGroup : public EAIPMError {
 public:
  explicit EAIPMCannotOpenGroup(std::string group);
  std::string Group;
};

class EAIPMCannotCreateGroup : public EAIPMError {
 public:
  explicit EAIPMCannotCreateGroup(std::string group);
  std::string Group;
};

class EAIPMCannotAddItem : public EAIPMError {
 public:
  EAIPMCannotAddItem(std::string group, std::string item, std::string command);
  std::string Group, Item, Command;
};

class EAIPMCannotReplaceItem : public EAIPMError {
 public:
  EAIPMCannotReplaceItem(std::string group, std::string item);
  std::string Group, Item;
};

// The command texts, built exactly from their pieces.
std::string CreateGroupMacro(std::string_view name);
std::string ShowGroupMacro(std::string_view group);
std::string ReplaceItemMacro(std::string_view name);
std::string AddItemMacro(std::string_view commandLine, std::string_view name, std::string_view iconPath,
                         int iconIndex, std::string_view defaultDir, std::string_view hotKey);

// A name that would break a command: one holding a double quote, ",", "(",
// ")", "[" or "]".
bool IsUnsafeName(std::string_view name);

// The lines of a reply (CR LF, LF or CR each end a line; an empty last line
// is not counted).
std::vector<std::string> ReplyLines(std::string_view reply);

// The group-data rules over the lines of a group's reply (line 0 is the
// group itself, lines 1.. its items).
int ItemCount(const std::vector<std::string>& lines);
// Field n (from 1) of line i, split at every comma, with one leading and one
// trailing double quote removed, and once more for fields 1 and 2; "" for
// line 0, a line past the last or a missing field.
std::string ItemField(const std::vector<std::string>& lines, int i, int n);
// The first item from 1 whose name is exactly Name; -1 when none is.
int FindItem(const std::vector<std::string>& lines, std::string_view name);

// What Program Manager's conversation offers.
class TDdeConversation {
 public:
  virtual ~TDdeConversation() = default;
  virtual bool Open(const std::string& service, const std::string& topic) = 0;
  virtual void Close() = 0;
  // The item's text, nothing when no reply came.
  virtual std::optional<std::string> Request(const std::string& item) = 0;
  // True when the server took the command within its time-out.
  virtual bool Execute(const std::string& command) = 0;
};

class TProgramManager : public fw::TComponent {
 public:
  TProgramManager(fw::TComponent* owner, std::unique_ptr<TDdeConversation> conversation);
  ~TProgramManager() override;
  std::string ClassName() const override { return "TProgramManager"; }

  // The service and topic of the next Connect.
  std::string DdeService = "PROGMAN";
  std::string DdeTopic = "PROGMAN";

  virtual void Connect();
  bool Connected() const { return connected_; }
  void ListGroups(std::vector<std::string>& strings);
  void SelectGroup(const std::string& name);
  void CreateGroup(const std::string& name);
  int ItemCount() const { return setup::ItemCount(groupData_); }
  std::string ItemField(int i, int n) const { return setup::ItemField(groupData_, i, n); }
  int FindItem(const std::string& name) const { return setup::FindItem(groupData_, name); }
  void ReplaceItem(const std::string& name);
  void AddItem(const std::string& commandLine, const std::string& name, const std::string& iconPath,
               int iconIndex, const std::string& defaultDir, const std::string& hotKey);

  const std::string& SelectedGroup() const { return selectedGroup_; }
  const std::vector<std::string>& GroupData() const { return groupData_; }

 private:
  void ShowSelectedGroup();

  std::unique_ptr<TDdeConversation> conversation_;
  bool connected_ = false;
  std::string selectedGroup_;
  std::vector<std::string> groupData_;
};

// The one instance of the program. Its conversation comes from the factory
// set by the Windows side (UseSystemProgramManager); tests may set their own.
// Without a factory every Connect fails.
using DdeConversationFactory = std::function<std::unique_ptr<TDdeConversation>()>;
void SetDdeConversationFactory(DdeConversationFactory factory);
TProgramManager& ProgramManager();
// Frees the instance; the next ProgramManager() makes a new one.
void ResetProgramManager();

}  // namespace setup
