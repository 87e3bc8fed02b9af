#include "setup/shell/program_manager_win.h"

#include "framework/dde_win.h"

namespace setup {
namespace {

// Executes wait this long for Program Manager's answer, so that a refused
// command raises instead of passing as done.
constexpr DWORD kAnswerTimeoutMs = 5000;

class SystemDdeConversation : public TDdeConversation {
 public:
  bool Open(const std::string& service, const std::string& topic) override {
    conversation_.ConnectMode = fw::TDataMode::ddeManual;
    conversation_.DdeService = service;
    conversation_.DdeTopic = topic;
    return conversation_.OpenLink();
  }
  void Close() override { conversation_.CloseLink(); }
  std::optional<std::string> Request(const std::string& item) override {
    return conversation_.RequestData(item, kAnswerTimeoutMs);
  }
  bool Execute(const std::string& command) override {
    return conversation_.ExecuteMacro(command, kAnswerTimeoutMs);
  }

 private:
  fw::TDdeClientConv conversation_;
};

}  // namespace

std::unique_ptr<TDdeConversation> NewSystemDdeConversation() {
  return std::make_unique<SystemDdeConversation>();
}

void UseSystemProgramManager() { SetDdeConversationFactory(NewSystemDdeConversation); }

}  // namespace setup
