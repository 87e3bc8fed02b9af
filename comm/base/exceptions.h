// Coded exceptions of the communications layer and the one code check through
// which every component operation passes its integer result.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "comm/base/error_codes.h"
#include "comm/base/string_resource.h"
#include "framework/exceptions.h"

namespace comm {

class EAPDException : public fw::Exception {
 public:
  // CreateForCode: the message is the text of |code|.
  explicit EAPDException(int code);
  // CreateWithText: a ready message, ErrorCode 0.
  explicit EAPDException(std::string text) : fw::Exception(std::move(text)), ErrorCode(0) {}

  static EAPDException CreateForCode(int code) { return EAPDException(code); }
  static EAPDException CreateWithText(std::string text) { return EAPDException(std::move(text)); }

  int ErrorCode;  // the negative code raised for, 0 with a ready message
};

#define COMM_APD_FAMILY(Family, ...)    \
  class Family : public EAPDException { \
   public:                              \
    using EAPDException::EAPDException; \
  };
#define COMM_APD_CLASS(Family, Class, ...) \
  class Class : public Family {            \
   public:                                 \
    using Family::Family;                  \
  };
#include "comm/base/exception_table.inc"
#undef COMM_APD_FAMILY
#undef COMM_APD_CLASS

// One row of the code-to-class table, for lookups and listings.
struct CodedExceptionKind {
  int code;
  const char* className;
  const char* familyName;
  void (*raise)(int code);  // throws the class for the code
};

// Every listed code, sorted by code.
std::span<const CodedExceptionKind> CodedExceptionKinds();
const CodedExceptionKind* FindCodedExceptionKind(int code);

// Returns `code` when it is not negative or the component is being loaded
// from its form description; otherwise raises the exception of the code:
// its listed class, EOutOfMemory for -8, EInOutError for -162..-2, and a
// plain EAPDException "Cvl exception" for any other code.
int CheckCode(bool componentLoading, int code);

// The system's message for an error number (FormatMessage on Windows); empty
// when the system has none.
class SystemMessageSource {
 public:
  virtual ~SystemMessageSource() = default;
  virtual std::string SystemMessage(std::uint32_t id) = 0;
};

// Control characters become spaces, then runs of spaces shrink to one: the
// system's trailing CR LF so becomes one trailing space.
std::string CleanSystemMessage(std::string text);

inline constexpr std::size_t kMaxErrorTextLength = 255;

// The message of a code: the table text of |code|, else the system's message
// for that number, else "". At most 255 characters.
std::string ErrorText(int code);

// Program start and end: the error-text table "CVL_ERROR_STRINGS_ENGLISH"
// (raises ECvsStringResourceError when it cannot be opened) and the system's
// messages as the fallback (may be null).
void StartErrorTexts(ResourceModule& module, SystemMessageSource* systemMessages);
void FinishErrorTexts();

}  // namespace comm
