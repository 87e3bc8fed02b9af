// The rules of the network install location that need no network: the login
// values, the server forms of the folder, the texts of its errors and what an
// HTTP status, a Content-Length and a finished transfer mean.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/exceptions.h"

namespace setup {

enum TInternetProtocol { ipFTP = 0, ipHTTP = 1 };

class TCustomLoginInformation {
 public:
  bool Anonymous = true;
  std::string Directory;
  std::string Hostname;
  std::string Password;
  TInternetProtocol Protocol = ipHTTP;
  std::string Username;

  void Assign(const TCustomLoginInformation& other) { *this = other; }
};

class TLoginInformation : public TCustomLoginInformation {};

// Whether the values can reach a server at all: a host for an anonymous
// login, any of host, user and password otherwise.
bool IsLoginUsable(const TCustomLoginInformation& login);

// The FTP server's folder for Directory ("\pub\setup" gives "/pub/setup").
std::string FtpServerFolder(const std::string& directory);
// The HTTP object name of a remote file under Directory ("\pub\setup" and
// "a.1" give "/pub/setup/a.1").
std::string HttpObjectName(const std::string& directory, const std::string& remoteName);

// The literal name of an Internet client error code.
const char* InternetErrorName(std::uint32_t code);

// The full text of a network error: the message, then the name of the last
// error, the server and its last response (none: "No server response").
std::string NetErrorText(const std::string& message, std::uint32_t lastError, const std::string& hostname,
                         const std::optional<std::string>& response);

// The network errors; the texts of the ENIL family are built by NetErrorText.
class ENIL : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

#define SETUP_ENIL_CLASS(Name, Parent) \
  class Name : public Parent {         \
   public:                             \
    using Parent::Parent;              \
  };

SETUP_ENIL_CLASS(ENIL_OpenSession, ENIL)
SETUP_ENIL_CLASS(ENIL_OpenService, ENIL)
SETUP_ENIL_CLASS(ENIL_FailDataQuery, ENIL)
SETUP_ENIL_CLASS(ENIL_ReadFile, ENIL)
SETUP_ENIL_CLASS(ENIL_FileNotFound, ENIL)
SETUP_ENIL_CLASS(ENIL_FTP, ENIL)
SETUP_ENIL_CLASS(ENIL_FTPSetDir, ENIL_FTP)
SETUP_ENIL_CLASS(ENIL_FTPOpenFile, ENIL_FTP)
SETUP_ENIL_CLASS(ENIL_FTPCloseFile, ENIL_FTP)
SETUP_ENIL_CLASS(ENIL_HTTP, ENIL)
SETUP_ENIL_CLASS(ENIL_HTTPOpenFile, ENIL_HTTP)
SETUP_ENIL_CLASS(ENIL_HTTPSendRequest, ENIL_HTTP)
SETUP_ENIL_CLASS(IENetList, ENIL)

#undef SETUP_ENIL_CLASS

// Errors of the local side and of the binding: their texts stand alone.
class ENIL_WriteDestFile : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

class ENIL_FailLoadWININET : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

class ENIL_FailLoadDLLProc : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

// What an HTTP status means for a download: only 200 brings the file.
enum class THttpStatusOutcome { Ok, NotFound, Failed };
THttpStatusOutcome ClassifyHttpStatus(std::uint32_t status);

// The expected size from a Content-Length text: a decimal count that fits a
// 32-bit integer, else 0 (size unknown).
std::int32_t ContentLengthValue(const std::string& text);

// The running total of a transfer as the events report it: 32 bits, held at
// the largest value instead of wrapping.
std::int32_t AddToRunningTotal(std::int32_t total, std::uint32_t block);

// How a transfer that read to its end came out.
enum class TTransferEnd { Complete, Empty, Short };
// Nothing received is an empty file; with an expected size (over HTTP, from
// Content-Length) fewer bytes than announced is a body cut short.
TTransferEnd ClassifyTransferEnd(std::int64_t received, std::int32_t expectedSize,
                                 TInternetProtocol protocol);

}  // namespace setup
