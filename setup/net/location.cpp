#include "setup/net/location.h"

#include <array>
#include <charconv>
#include <limits>

#include "framework/format.h"
#include "setup/base/text_routines.h"

namespace setup {
namespace {

std::string Slashed(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

struct ErrorRange {
  std::uint32_t first;
  const char* const* names;
  std::size_t count;
};

const char* const kInternetNames[] = {"ERROR_INTERNET_OUT_OF_HANDLES",
                                      "ERROR_INTERNET_TIMEOUT",
                                      "ERROR_INTERNET_EXTENDED_ERROR",
                                      "ERROR_INTERNET_INTERNAL_ERROR",
                                      "ERROR_INTERNET_INVALID_URL",
                                      "ERROR_INTERNET_UNRECOGNIZED_SCHEME",
                                      "ERROR_INTERNET_NAME_NOT_RESOLVED",
                                      "ERROR_INTERNET_PROTOCOL_NOT_FOUND",
                                      "ERROR_INTERNET_INVALID_OPTION",
                                      "ERROR_INTERNET_BAD_OPTION_LENGTH",
                                      "ERROR_INTERNET_OPTION_NOT_SETTABLE",
                                      "ERROR_INTERNET_SHUTDOWN",
                                      "ERROR_INTERNET_INCORRECT_USER_NAME",
                                      "ERROR_INTERNET_INCORRECT_PASSWORD",
                                      "ERROR_INTERNET_LOGIN_FAILURE",
                                      "ERROR_INTERNET_INVALID_OPERATION",
                                      "ERROR_INTERNET_OPERATION_CANCELLED",
                                      "ERROR_INTERNET_INCORRECT_HANDLE_TYPE",
                                      "ERROR_INTERNET_INCORRECT_HANDLE_STATE",
                                      "ERROR_INTERNET_NOT_PROXY_REQUEST",
                                      "ERROR_INTERNET_REGISTRY_VALUE_NOT_FOUND",
                                      "ERROR_INTERNET_BAD_REGISTRY_PARAMETER",
                                      "ERROR_INTERNET_NO_DIRECT_ACCESS",
                                      "ERROR_INTERNET_NO_CONTEXT",
                                      "ERROR_INTERNET_NO_CALLBACK",
                                      "ERROR_INTERNET_REQUEST_PENDING",
                                      "ERROR_INTERNET_INCORRECT_FORMAT",
                                      "ERROR_INTERNET_ITEM_NOT_FOUND",
                                      "ERROR_INTERNET_CANNOT_CONNECT",
                                      "ERROR_INTERNET_CONNECTION_ABORTED",
                                      "ERROR_INTERNET_CONNECTION_RESET"};
const char* const kForceRetry[] = {"ERROR_INTERNET_FORCE_RETRY"};
const char* const kHandleExists[] = {"ERROR_INTERNET_HANDLE_EXISTS"};
const char* const kMixedSecurity[] = {"ERROR_INTERNET_MIXED_SECURITY"};
const char* const kFtpNames[] = {"ERROR_FTP_TRANSFER_IN_PROGRESS", "ERROR_FTP_DROPPED"};
const char* const kGopherNames[] = {"ERROR_GOPHER_PROTOCOL_ERROR",  "ERROR_GOPHER_NOT_FILE",
                                    "ERROR_GOPHER_DATA_ERROR",      "ERROR_GOPHER_END_OF_DATA",
                                    "ERROR_GOPHER_INVALID_LOCATOR", "ERROR_GOPHER_INCORRECT_LOCATOR_TYPE",
                                    "ERROR_GOPHER_NOT_GOPHER_PLUS", "ERROR_GOPHER_ATTRIBUTE_NOT_FOUND",
                                    "ERROR_GOPHER_UNKNOWN_LOCATOR"};
const char* const kHttpNames[] = {"ERROR_HTTP_HEADER_NOT_FOUND",        "ERROR_HTTP_DOWNLEVEL_SERVER",
                                  "ERROR_HTTP_INVALID_SERVER_RESPONSE", "ERROR_HTTP_INVALID_HEADER",
                                  "ERROR_HTTP_INVALID_QUERY_REQUEST",   "ERROR_HTTP_HEADER_ALREADY_EXISTS"};
const char* const kInvalidHandle[] = {"ERROR_INVALID_HANDLE"};

template <std::size_t N>
constexpr ErrorRange Range(std::uint32_t first, const char* const (&names)[N]) {
  return {first, names, N};
}

const std::array kErrorRanges = {Range(6, kInvalidHandle),     Range(12001, kInternetNames),
                                 Range(12032, kForceRetry),    Range(12036, kHandleExists),
                                 Range(12041, kMixedSecurity), Range(12110, kFtpNames),
                                 Range(12130, kGopherNames),   Range(12150, kHttpNames)};

}  // namespace

bool IsLoginUsable(const TCustomLoginInformation& login) {
  if (login.Anonymous) return !TrimmedText(login.Hostname).empty();
  return !TrimmedText(login.Hostname).empty() || !TrimmedText(login.Password).empty() ||
         !TrimmedText(login.Username).empty();
}

std::string FtpServerFolder(const std::string& directory) {
  if (TrimmedText(directory).empty()) return "/";
  return Slashed(directory);
}

std::string HttpObjectName(const std::string& directory, const std::string& remoteName) {
  std::string name = Slashed(AddBackslash(directory));
  // An empty folder is the server's root; a relative one is taken from there.
  if (name.empty() || name.front() != '/') name = "/" + name;
  return name + remoteName;
}

const char* InternetErrorName(std::uint32_t code) {
  for (const ErrorRange& range : kErrorRanges)
    if (code >= range.first && code - range.first < range.count) return range.names[code - range.first];
  return "Unregistered error code";
}

std::string NetErrorText(const std::string& message, std::uint32_t lastError, const std::string& hostname,
                         const std::optional<std::string>& response) {
  return fw::Format("%s. Error message %s. Server %s. Response from server %s",
                    {message, std::string(InternetErrorName(lastError)), hostname,
                     response ? *response : std::string("No server response")});
}

THttpStatusOutcome ClassifyHttpStatus(std::uint32_t status) {
  if (status == 200) return THttpStatusOutcome::Ok;
  if (status == 404) return THttpStatusOutcome::NotFound;
  return THttpStatusOutcome::Failed;
}

std::int32_t ContentLengthValue(const std::string& text) {
  const std::string digits = TrimmedText(text);
  std::int32_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [at, error] = std::from_chars(digits.data(), end, value);
  if (digits.empty() || error != std::errc() || at != end || value < 0) return 0;
  return value;
}

std::int32_t AddToRunningTotal(std::int32_t total, std::uint32_t block) {
  const std::int64_t sum = static_cast<std::int64_t>(total) + block;
  return sum > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                        : static_cast<std::int32_t>(sum);
}

TTransferEnd ClassifyTransferEnd(std::int64_t received, std::int32_t expectedSize,
                                 TInternetProtocol protocol) {
  if (received < 1) return TTransferEnd::Empty;
  if (protocol == ipHTTP && expectedSize > 0 && received < expectedSize) return TTransferEnd::Short;
  return TTransferEnd::Complete;
}

}  // namespace setup
