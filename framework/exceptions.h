// Exception classes of the application framework. Plain C++: the core raises
// them too. Every exception the programs raise derives from fw::Exception, so
// the application's handler can show any of them with its message.
#pragma once

#include <exception>
#include <string>

namespace fw {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Raised to end an operation quietly: the application's handler shows nothing.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

class EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception("Out of memory") {}
};

// A failed file or device operation; ErrorCode is the operating system's error
// number (2 file not found, 5 access denied, ...).
class EInOutError : public Exception {
 public:
  explicit EInOutError(int errorCode);
  EInOutError(int errorCode, std::string message) : Exception(std::move(message)), ErrorCode(errorCode) {}
  int ErrorCode;
};

// A text that does not convert to the wanted type (number, date, ...).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// The message for an input/output error number: a fixed text for the common
// numbers, "I/O error N" otherwise.
std::string InOutErrorText(int errorCode);

}  // namespace fw
