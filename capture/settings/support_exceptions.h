// Exceptions of the support library (settings store, version reader). The
// ErrorCode of each is the id of its text in the support message table.
#pragma once

#include <cstdint>
#include <string>

#include "framework/exceptions.h"

namespace capture {

class EStException : public fw::Exception {
 public:
  // The message is the table text of `id`.
  explicit EStException(std::uint32_t id);
  // The table text with its "%d" replaced by `number`.
  EStException(std::uint32_t id, std::int64_t number);
  std::int32_t ErrorCode;
};

class EStRegIniError : public EStException {
 public:
  using EStException::EStException;
};

class EStVersionInfoError : public EStException {
 public:
  using EStException::EStException;
};

// A failed system call whose failure has no text of its own in the table:
// the system's message for its error number.
class SystemCallError : public fw::Exception {
 public:
  SystemCallError(std::uint32_t errorCode, const std::string& systemText);
  std::uint32_t ErrorCode;
};

}  // namespace capture
