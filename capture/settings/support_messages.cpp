#include "capture/settings/support_messages.h"

#include <memory>

namespace capture {
namespace {

// Opened once at start-up, read from any thread afterwards.
std::unique_ptr<comm::TAdStringResource>& Table() {
  static std::unique_ptr<comm::TAdStringResource> table;
  return table;
}

}  // namespace

void StartSupportMessages(comm::ResourceModule& module) {
  Table() = std::make_unique<comm::TAdStringResource>(module, kSupportStringsName);
}

void FinishSupportMessages() { Table().reset(); }

std::string SupportMessage(std::uint32_t id) {
  const auto& table = Table();
  return table ? table->LookupText(id) : std::string();
}

}  // namespace capture
