#include "setup/net/location.h"

#include <gtest/gtest.h>

#include <limits>

namespace setup {
namespace {

TEST(NetLocationRules, ServerFormsOfTheFolder) {
  struct Case {
    std::string directory, ftp, http;
  } cases[] = {
      {"", "/", "/files.1"},
      {"  ", "/", "/  /files.1"},
      {"\\pub\\setup", "/pub/setup", "/pub/setup/files.1"},
      {"\\pub\\setup\\", "/pub/setup/", "/pub/setup/files.1"},
      {"setup", "setup", "/setup/files.1"},
      {"a/b\\c", "a/b/c", "/a/b/c/files.1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.directory);
    EXPECT_EQ(FtpServerFolder(c.directory), c.ftp);
    EXPECT_EQ(HttpObjectName(c.directory, "files.1"), c.http);
  }
}

TEST(NetLocationRules, LoginIsUsable) {
  struct Case {
    bool anonymous;
    std::string host, user, password;
    bool usable;
  } cases[] = {
      {true, "ftp.example", "", "", true}, {true, "  ", "user", "secret", false},
      {true, "", "", "", false},           {false, "", "user", "", true},
      {false, "", "", " pw ", true},       {false, " \t", " ", "", false},
  };
  for (const Case& c : cases) {
    TLoginInformation login;
    login.Anonymous = c.anonymous;
    login.Hostname = c.host;
    login.Username = c.user;
    login.Password = c.password;
    EXPECT_EQ(IsLoginUsable(login), c.usable) << c.anonymous << " '" << c.host << "' '" << c.user << "'";
  }
}

TEST(NetLocationRules, AssignCopiesAllSixValues) {
  TLoginInformation source, target;
  source.Anonymous = false;
  source.Directory = "\\pub";
  source.Hostname = "host";
  source.Password = "pw";
  source.Protocol = ipFTP;
  source.Username = "me";
  target.Assign(source);
  EXPECT_FALSE(target.Anonymous);
  EXPECT_EQ(target.Directory, "\\pub");
  EXPECT_EQ(target.Hostname, "host");
  EXPECT_EQ(target.Password, "pw");
  EXPECT_EQ(target.Protocol, ipFTP);
  EXPECT_EQ(target.Username, "me");
  const TLoginInformation fresh;
  EXPECT_TRUE(fresh.Anonymous);
  EXPECT_EQ(fresh.Protocol, ipHTTP);
}

TEST(NetLocationRules, ErrorCodeNames) {
  struct Case {
    std::uint32_t code;
    const char* name;
  } cases[] = {
      {0, "Unregistered error code"},
      {6, "ERROR_INVALID_HANDLE"},
      {12000, "Unregistered error code"},
      {12001, "ERROR_INTERNET_OUT_OF_HANDLES"},
      {12007, "ERROR_INTERNET_NAME_NOT_RESOLVED"},
      {12029, "ERROR_INTERNET_CANNOT_CONNECT"},
      {12031, "ERROR_INTERNET_CONNECTION_RESET"},
      {12032, "ERROR_INTERNET_FORCE_RETRY"},
      {12033, "Unregistered error code"},
      {12036, "ERROR_INTERNET_HANDLE_EXISTS"},
      {12041, "ERROR_INTERNET_MIXED_SECURITY"},
      {12110, "ERROR_FTP_TRANSFER_IN_PROGRESS"},
      {12111, "ERROR_FTP_DROPPED"},
      {12112, "Unregistered error code"},
      {12130, "ERROR_GOPHER_PROTOCOL_ERROR"},
      {12138, "ERROR_GOPHER_UNKNOWN_LOCATOR"},
      {12139, "Unregistered error code"},
      {12150, "ERROR_HTTP_HEADER_NOT_FOUND"},
      {12155, "ERROR_HTTP_HEADER_ALREADY_EXISTS"},
      {12156, "Unregistered error code"},
      {std::numeric_limits<std::uint32_t>::max(), "Unregistered error code"},
  };
  for (const Case& c : cases) EXPECT_STREQ(InternetErrorName(c.code), c.name) << c.code;
}

TEST(NetLocationRules, ErrorTextHasFourParts) {
  EXPECT_EQ(NetErrorText("Cannot connect to host h", 12029, "h", std::string("220 ready\r\n")),
            "Cannot connect to host h. Error message ERROR_INTERNET_CANNOT_CONNECT. Server h. "
            "Response from server 220 ready\r\n");
  EXPECT_EQ(
      NetErrorText("100% %s", 1, "", std::nullopt),
      "100% %s. Error message Unregistered error code. Server . Response from server No server response");
}

TEST(NetLocationRules, OnlyStatus200BringsTheFile) {
  EXPECT_EQ(ClassifyHttpStatus(200), THttpStatusOutcome::Ok);
  EXPECT_EQ(ClassifyHttpStatus(404), THttpStatusOutcome::NotFound);
  for (std::uint32_t status : {0u, 201u, 204u, 206u, 301u, 403u, 500u, 503u})
    EXPECT_EQ(ClassifyHttpStatus(status), THttpStatusOutcome::Failed) << status;
}

TEST(NetLocationRules, ContentLengthText) {
  struct Case {
    const char* text;
    std::int32_t value;
  } cases[] = {{"20000", 20000},  {" 42 ", 42},
               {"0", 0},          {"", 0},
               {"abc", 0},        {"12x", 0},
               {"-5", 0},         {"2147483647", 2147483647},
               {"2147483648", 0}, {"99999999999999999999", 0},
               {"+7", 0}};
  for (const Case& c : cases) EXPECT_EQ(ContentLengthValue(c.text), c.value) << c.text;
}

TEST(NetLocationRules, RunningTotalHoldsAtTheLargestValue) {
  EXPECT_EQ(AddToRunningTotal(0, 8192), 8192);
  EXPECT_EQ(AddToRunningTotal(8192, 1808), 10000);
  EXPECT_EQ(AddToRunningTotal(2147483000, 8192), 2147483647);
  EXPECT_EQ(AddToRunningTotal(2147483647, 4294967295u), 2147483647);
}

TEST(NetLocationRules, HowATransferEnds) {
  struct Case {
    std::int64_t received;
    std::int32_t expected;
    TInternetProtocol protocol;
    TTransferEnd end;
  } cases[] = {
      {0, 0, ipHTTP, TTransferEnd::Empty},
      {0, 100, ipHTTP, TTransferEnd::Empty},
      {0, 0, ipFTP, TTransferEnd::Empty},
      {100, 100, ipHTTP, TTransferEnd::Complete},
      {50, 100, ipHTTP, TTransferEnd::Short},
      {100, 0, ipHTTP, TTransferEnd::Complete},
      {150, 100, ipHTTP, TTransferEnd::Complete},
      {50, 100, ipFTP, TTransferEnd::Complete},
      {3000000000, 2147483647, ipHTTP, TTransferEnd::Complete},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ClassifyTransferEnd(c.received, c.expected, c.protocol), c.end)
        << c.received << " " << c.expected << " " << c.protocol;
}

}  // namespace
}  // namespace setup
