#include "setup/shell/program_manager.h"

#include "framework/format.h"

namespace setup {
namespace {

// The translated format filled in; a translation that does not fit falls
// back to the English one. Names are arguments, never part of the format.
std::string FilledMessage(const std::string& format, const fw::FormatArgs& args) {
  if (auto text = fw::TryFormat(Translated(format), args)) return *std::move(text);
  return fw::FormatLeniently(format, args);
}

std::string StripQuotes(std::string text) {
  if (!text.empty() && text.front() == '"') text.erase(0, 1);
  if (!text.empty() && text.back() == '"') text.pop_back();
  return text;
}

}  // namespace

EAIPMError::EAIPMError()
    : EAI(FilledMessage("The TProgramManager object was unable to communicate with Program Manager", {})) {}

EAIPMCannotOpen::EAIPMCannotOpen()
    : EAIPMError(FilledMessage(
          "The TProgramManager object was unable to establish a link with Program Manager", {})) {}

EAIPMCannotOpenGroup::EAIPMCannotOpenGroup(std::string group)
    : EAIPMError(FilledMessage(
          "The TProgramManager object was unable to open the following program group: %s", {group})),
      Group(std::move(group)) {}

EAIPMCannotCreateGroup::EAIPMCannotCreateGroup(std::string group)
    : EAIPMError(FilledMessage(
          "The TProgramManager object was unable to create the following program group: %s", {group})),
      Group(std::move(group)) {}

EAIPMCannotAddItem::EAIPMCannotAddItem(std::string group, std::string item, std::string command)
    : EAIPMError(FilledMessage("The TProgramManager object was unable to add the following program item: %s "
                               "to the following group: "
                               "%s. The arguments passed to  Program Manager were: %s",
                               {item, group, command})),
      Group(std::move(group)),
      Item(std::move(item)),
      Command(std::move(command)) {}

EAIPMCannotReplaceItem::EAIPMCannotReplaceItem(std::string group, std::string item)
    : EAIPMError(FilledMessage(
          "The TProgramManager object was unable to replace the following program item: %s to the following "
          "group: %s",
          {item, group})),
      Group(std::move(group)),
      Item(std::move(item)) {}

std::string CreateGroupMacro(std::string_view name) { return "[CreateGroup(\"" + std::string(name) + "\")]"; }

std::string ShowGroupMacro(std::string_view group) { return "[ShowGroup(" + std::string(group) + ",8)]"; }

std::string ReplaceItemMacro(std::string_view name) { return "[ReplaceItem(\"" + std::string(name) + "\")]"; }

std::string AddItemMacro(std::string_view commandLine, std::string_view name, std::string_view iconPath,
                         int iconIndex, std::string_view defaultDir, std::string_view hotKey) {
  std::string macro = "[AddItem(";
  macro.append(commandLine).append(",").append(name).append(",").append(iconPath).append(",");
  macro.append(std::to_string(iconIndex)).append(",").append(",,");
  macro.append(defaultDir).append(",").append(hotKey).append(")]");
  return macro;
}

bool IsUnsafeName(std::string_view name) { return name.find_first_of("\",()[]") != std::string_view::npos; }

std::vector<std::string> ReplyLines(std::string_view reply) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < reply.size()) {
    const size_t end = reply.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(reply.substr(start));
      break;
    }
    lines.emplace_back(reply.substr(start, end - start));
    start = end + 1;
    if (reply[end] == '\r' && start < reply.size() && reply[start] == '\n') ++start;
  }
  return lines;
}

int ItemCount(const std::vector<std::string>& lines) {
  return lines.size() < 2 ? 0 : static_cast<int>(lines.size()) - 1;
}

std::string ItemField(const std::vector<std::string>& lines, int i, int n) {
  if (i <= 0 || i >= static_cast<int>(lines.size()) || n < 1) return "";
  const std::string& line = lines[static_cast<size_t>(i)];
  size_t start = 0;
  for (int field = 1; field < n; ++field) {
    const size_t comma = line.find(',', start);
    if (comma == std::string::npos) return "";
    start = comma + 1;
  }
  const size_t end = line.find(',', start);
  std::string text =
      StripQuotes(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
  if (n <= 2) text = StripQuotes(std::move(text));
  return text;
}

int FindItem(const std::vector<std::string>& lines, std::string_view name) {
  for (int i = 1; i <= ItemCount(lines); ++i)
    if (ItemField(lines, i, 1) == name) return i;
  return -1;
}

// --- TProgramManager ---

TProgramManager::TProgramManager(fw::TComponent* owner, std::unique_ptr<TDdeConversation> conversation)
    : fw::TComponent(owner), conversation_(std::move(conversation)) {}

TProgramManager::~TProgramManager() {
  if (connected_ && conversation_) conversation_->Close();
}

void TProgramManager::Connect() {
  if (connected_) return;
  connected_ = conversation_ && conversation_->Open(DdeService, DdeTopic);
  if (!connected_) throw EAIPMCannotOpen();
}

void TProgramManager::ListGroups(std::vector<std::string>& strings) {
  Connect();
  const auto reply = conversation_->Request("Groups");
  strings = reply ? ReplyLines(*reply) : std::vector<std::string>();
}

void TProgramManager::SelectGroup(const std::string& nameGiven) {
  // A copy: the name may be the selected group itself, cleared below.
  const std::string name = nameGiven;
  Connect();
  selectedGroup_.clear();
  groupData_.clear();
  if (const auto reply = conversation_->Request(name)) {
    groupData_ = ReplyLines(*reply);
    selectedGroup_ = name;
  }
}

void TProgramManager::CreateGroup(const std::string& name) {
  Connect();
  if (name.empty()) return;
  if (IsUnsafeName(name) || !conversation_->Execute(CreateGroupMacro(name)))
    throw EAIPMCannotCreateGroup(name);
  SelectGroup(name);
}

void TProgramManager::ShowSelectedGroup() {
  if (IsUnsafeName(selectedGroup_) || !conversation_->Execute(ShowGroupMacro(selectedGroup_)))
    throw EAIPMCannotOpenGroup(selectedGroup_);
}

void TProgramManager::ReplaceItem(const std::string& name) {
  Connect();
  if (selectedGroup_.empty()) return;
  if (IsUnsafeName(name)) throw EAIPMCannotReplaceItem(selectedGroup_, name);
  ShowSelectedGroup();
  if (!conversation_->Execute(ReplaceItemMacro(name))) throw EAIPMCannotReplaceItem(selectedGroup_, name);
  SelectGroup(selectedGroup_);
}

void TProgramManager::AddItem(const std::string& commandLine, const std::string& name,
                              const std::string& iconPath, int iconIndex, const std::string& defaultDir,
                              const std::string& hotKey) {
  Connect();
  if (selectedGroup_.empty()) return;
  const std::string macro = AddItemMacro(commandLine, name, iconPath, iconIndex, defaultDir, hotKey);
  if (IsUnsafeName(name)) throw EAIPMCannotAddItem(selectedGroup_, name, macro);
  ShowSelectedGroup();
  if (!conversation_->Execute(macro)) throw EAIPMCannotAddItem(selectedGroup_, name, macro);
  SelectGroup(selectedGroup_);
}

// --- the program's instance ---

namespace {

DdeConversationFactory& Factory() {
  static DdeConversationFactory factory;
  return factory;
}

std::unique_ptr<TProgramManager>& Instance() {
  static std::unique_ptr<TProgramManager> instance;
  return instance;
}

}  // namespace

void SetDdeConversationFactory(DdeConversationFactory factory) { Factory() = std::move(factory); }

TProgramManager& ProgramManager() {
  auto& instance = Instance();
  if (!instance) instance = std::make_unique<TProgramManager>(nullptr, Factory() ? Factory()() : nullptr);
  return *instance;
}

void ResetProgramManager() { Instance().reset(); }

}  // namespace setup
