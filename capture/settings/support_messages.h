// The support library's message table ("STSUPPORT_STRINGS_ENGLISH"): the
// texts of the settings store and the version reader, found by id. The
// program opens it at start-up and closes it at its end.
#pragma once

#include <cstdint>
#include <string>

#include "comm/base/string_resource.h"

namespace capture {

inline constexpr const char* kSupportStringsName = "STSUPPORT_STRINGS_ENGLISH";

// Ids of the texts the program uses.
enum SupportMessageId : std::uint32_t {
  kStFalseText = 0,
  kStTrueText = 1,
  kStNoIniFileOrKey = 2,
  kStCreateKeyFailed = 5,  // holds "%d" for the system's error number
  kStWriteValueFailed = 7,
  kStNoKeyName = 9,
  kStNoValueName = 40,
  kStFileOpenError = 73,
  kStNoVersionInfo = 100,
  kStVersionKeyNotFound = 134,
};

// Opens the table among the module's resources; a missing or damaged table
// raises comm::ECvsStringResourceError (the program cannot report its own
// errors without it).
void StartSupportMessages(comm::ResourceModule& module);
void FinishSupportMessages();

// The text of `id`; "" when the table is not open or lacks the id.
std::string SupportMessage(std::uint32_t id);

}  // namespace capture
