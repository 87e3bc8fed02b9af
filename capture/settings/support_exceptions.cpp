#include "capture/settings/support_exceptions.h"

#include "capture/settings/support_messages.h"
#include "comm/base/string_resource.h"

namespace capture {

EStException::EStException(std::uint32_t id)
    : fw::Exception(SupportMessage(id)), ErrorCode(static_cast<std::int32_t>(id)) {}

EStException::EStException(std::uint32_t id, std::int64_t number)
    : fw::Exception(comm::FillPlaceholder(SupportMessage(id), "%d", std::to_string(number))),
      ErrorCode(static_cast<std::int32_t>(id)) {}

namespace {

std::string SystemCallMessage(std::uint32_t errorCode, const std::string& systemText) {
  std::string text = systemText;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  const std::string code = "System error " + std::to_string(errorCode);
  return text.empty() ? code : text + " (" + code + ")";
}

}  // namespace

SystemCallError::SystemCallError(std::uint32_t errorCode, const std::string& systemText)
    : fw::Exception(SystemCallMessage(errorCode, systemText)), ErrorCode(errorCode) {}

}  // namespace capture
