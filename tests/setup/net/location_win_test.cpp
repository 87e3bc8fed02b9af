// Downloads through the system's Internet client library under Wine, from
// real HTTP and FTP servers on loopback.
#include "setup/net/location_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "framework/library_win.h"
#include "tests/support/files.h"
#include "tests/support/loopback_server.h"

namespace setup {
namespace {

using test_support::LoopbackServer;

const std::string kServed = "net-served";
const std::string kLocal = "net-download.bin";

// Bytes that show a block out of place or a byte changed.
std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 12345;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  return bytes;
}

const std::string kFile = Pattern(20000);

::testing::AssertionResult Begins(const std::string& text, const std::string& start) {
  if (text.rfind(start, 0) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << text << "\" does not begin with \"" << start << "\"";
}

// Compared whole, so a failure does not print 20000 bytes.
bool LocalFileIsTheServedOne() { return test_support::ReadFileText(kLocal) == kFile; }

bool LocalFileExists() { return GetFileAttributesA(kLocal.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Received {
  std::int32_t bytes, total, fileSize;
};

class NetLocation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Wine's library falls back to the proxy of the environment when the
    // prefix names none; loopback must be reached directly.
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY"}) {
      SetEnvironmentVariableA(name, nullptr);
      _putenv((std::string(name) + "=").c_str());
    }
    const std::string root = test_support::FullPath(kServed);
    for (const char* folder : {"", "\\pub", "\\pub\\setup"})
      CreateDirectoryA((root + folder).c_str(), nullptr);
    test_support::WriteFileText(root + "\\pub\\setup\\files.1", kFile);
    test_support::WriteFileText(root + "\\pub\\setup\\empty.1", "");
    http = new LoopbackServer(LoopbackServer::Kind::Http, root);
    ftp = new LoopbackServer(LoopbackServer::Kind::Ftp, root);
  }
  static void TearDownTestSuite() {
    delete http;
    delete ftp;
  }
  void SetUp() override { DeleteFileA(kLocal.c_str()); }
  void TearDown() override {
    SetDownloadAborted(false);
    SetWinInetLoader(nullptr);
    DeleteFileA(kLocal.c_str());
  }

  // A location on one of the servers that notes its events.
  std::unique_ptr<TNetInstallLocation> Location(TInternetProtocol protocol, const std::string& directory) {
    auto location = std::make_unique<TNetInstallLocation>(nullptr);
    location->SetName("NetLocation");
    location->LoginInformation().Hostname = "127.0.0.1";
    location->LoginInformation().Protocol = protocol;
    location->LoginInformation().Directory = directory;
    location->Port = (protocol == ipHTTP ? http : ftp)->Port();
    location->OnBeforeLogin = [this](fw::TComponent*) { events.push_back("BeforeLogin"); };
    location->OnAfterLogin = [this](fw::TComponent*) { events.push_back("AfterLogin"); };
    location->OnBeforeDownload = [this](fw::TComponent*) { events.push_back("BeforeDownload"); };
    location->OnDataReceived = [this](TEventObject*, const std::string& name, std::int32_t bytes,
                                      std::int32_t total, std::int32_t fileSize, const void*) {
      EXPECT_EQ(name, remoteName);
      received.push_back({bytes, total, fileSize});
    };
    location->OnDownloadProgress = [this](TEventObject*, const std::string&, std::int32_t, std::int32_t total,
                                          std::int32_t, const void*) { progress.push_back(total); };
    location->OnAfterDownload = [this](fw::TComponent*, bool aborted) {
      events.push_back(aborted ? "AfterDownload(aborted)" : "AfterDownload");
    };
    return location;
  }

  bool Download(TNetInstallLocation& location, const std::string& name) {
    remoteName = name;
    received.clear();
    progress.clear();
    events.clear();
    return location.Download(name, test_support::FullPath(kLocal));
  }

  // The error a download raises, after checking its class and that it left
  // no local file behind.
  template <class Error>
  std::string DownloadError(TNetInstallLocation& location, const std::string& name) {
    try {
      (void)Download(location, name);
    } catch (const std::exception& e) {
      EXPECT_NE(dynamic_cast<const Error*>(&e), nullptr) << typeid(e).name() << ": " << e.what();
      EXPECT_FALSE(LocalFileExists());
      EXPECT_EQ(std::count(events.begin(), events.end(), "AfterDownload"), 0);
      return e.what();
    }
    ADD_FAILURE() << name << " downloaded";
    return {};
  }

  // The first download of a location: logged in, whole, and each block
  // reported with the running total and the file's size.
  void ExpectFirstDownloadWhole(TNetInstallLocation& location) {
    ASSERT_TRUE(Download(location, "files.1"));
    EXPECT_TRUE(LocalFileIsTheServedOne());
    EXPECT_EQ(events,
              (std::vector<std::string>{"BeforeLogin", "AfterLogin", "BeforeDownload", "AfterDownload"}));
    std::int32_t total = 0;
    for (const Received& block : received) {
      total += block.bytes;
      EXPECT_EQ(block.total, total);
      EXPECT_EQ(block.fileSize, 20000);
    }
    EXPECT_EQ(total, 20000);
  }

  static LoopbackServer* http;
  static LoopbackServer* ftp;
  std::string remoteName;
  std::vector<std::string> events;
  std::vector<Received> received;
  std::vector<std::int32_t> progress;
};

LoopbackServer* NetLocation::http = nullptr;
LoopbackServer* NetLocation::ftp = nullptr;

TEST_F(NetLocation, HttpDownloadIsByteForByteAndReusesTheConnection) {
  auto location = Location(ipHTTP, "\\pub\\setup");
  ExpectFirstDownloadWhole(*location);
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(progress, (std::vector<std::int32_t>{received[0].total, received[1].total, received[2].total}));
  const std::string log = http->RequestLog();
  EXPECT_TRUE(Begins(log, "GET /pub/setup/files.1 HTTP/1.1\n"));
  EXPECT_NE(log.find("\nAccept: */*\n"), std::string::npos) << log;
  EXPECT_EQ(ConnectingNetLocation(), location.get());

  // The second download keeps the session and the connection.
  DeleteFileA(kLocal.c_str());
  ASSERT_TRUE(Download(*location, "files.1"));
  EXPECT_TRUE(LocalFileIsTheServedOne());
  EXPECT_EQ(events, (std::vector<std::string>{"BeforeDownload", "AfterDownload"}));
}

TEST_F(NetLocation, HttpWithoutContentLengthReportsSizeZero) {
  auto location = Location(ipHTTP, "\\nolength\\pub\\setup");
  ASSERT_TRUE(Download(*location, "files.1"));
  EXPECT_TRUE(LocalFileIsTheServedOne());
  ASSERT_FALSE(received.empty());
  for (const Received& block : received) EXPECT_EQ(block.fileSize, 0);
  EXPECT_EQ(received.back().total, 20000);
}

// Each failure names its cause in the full four-part text and leaves no file.
TEST_F(NetLocation, HttpFailuresLeaveNoLocalFile) {
  struct Case {
    std::string directory, name, message;
    bool notFound;  // ENIL_FileNotFound, else ENIL_ReadFile
  } cases[] = {
      {"\\pub\\setup", "missing.1", "Could not find the file missing.1 on the server", true},
      {"\\pub\\setup", "empty.1", "Could not find the file empty.1 on the server", true},
      {"\\status500", "files.1", "Could not read from file files.1 on the server (HTTP status 500)", false},
      {"\\cut\\pub\\setup", "files.1", "Could not read from file files.1 on the server", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.directory + " " + c.name);
    auto location = Location(ipHTTP, c.directory);
    const std::string text = c.notFound ? DownloadError<ENIL_FileNotFound>(*location, c.name)
                                        : DownloadError<ENIL_ReadFile>(*location, c.name);
    EXPECT_TRUE(Begins(text, c.message + ". Error message "));
    EXPECT_NE(text.find(". Server 127.0.0.1. Response from server "), std::string::npos) << text;
  }
}

TEST_F(NetLocation, CancelFromTheDataEventLeavesNoFile) {
  auto location = Location(ipHTTP, "\\pub\\setup");
  location->OnDataReceived = [this](TEventObject*, const std::string&, std::int32_t bytes, std::int32_t total,
                                    std::int32_t fileSize, const void*) {
    received.push_back({bytes, total, fileSize});
    SetDownloadAborted(true);
  };
  EXPECT_FALSE(Download(*location, "files.1"));
  EXPECT_EQ(received.size(), 1u);
  EXPECT_EQ(events, (std::vector<std::string>{"BeforeLogin", "AfterLogin", "BeforeDownload",
                                              "AfterDownload(aborted)"}));
  EXPECT_FALSE(LocalFileExists());

  // The flag stays set: the next download stops after its first block too.
  EXPECT_FALSE(Download(*location, "files.1"));
  EXPECT_EQ(received.size(), 1u);
  EXPECT_EQ(events, (std::vector<std::string>{"BeforeDownload", "AfterDownload(aborted)"}));
  EXPECT_FALSE(LocalFileExists());
}

TEST_F(NetLocation, FtpDownloadFromTheServersFolder) {
  // Wine reports the size the server announced when the transfer opened.
  auto location = Location(ipFTP, "\\pub\\setup");
  ExpectFirstDownloadWhole(*location);

  // The failure also removes the file the download before left.
  const std::string text = DownloadError<ENIL_FTPOpenFile>(*location, "missing.1");
  EXPECT_TRUE(Begins(text, "Cannot open file missing.1 on server. Error message "));
  EXPECT_NE(text.find(". Server 127.0.0.1. Response from server 550"), std::string::npos) << text;

  EXPECT_TRUE(Begins(DownloadError<ENIL_FileNotFound>(*location, "empty.1"),
                     "Could not find the file empty.1 on the server. "));
}

TEST_F(NetLocation, FtpMissingFolder) {
  auto location = Location(ipFTP, "\\pub\\nothere");
  const std::string text = DownloadError<ENIL_FTPSetDir>(*location, "files.1");
  EXPECT_TRUE(Begins(text, "Cannot set directory on server to /pub/nothere. Error message "));
  EXPECT_NE(text.find("Response from server 550"), std::string::npos) << text;
}

TEST_F(NetLocation, NobodyListeningGivesAClearError) {
  const std::uint16_t closed = test_support::FreeLoopbackPort();
  auto web = Location(ipHTTP, "\\pub\\setup");
  web->Port = closed;
  EXPECT_TRUE(Begins(DownloadError<ENIL_HTTPSendRequest>(*web, "files.1"),
                     "Cannot send request for file files.1 to the server. Error message "
                     "ERROR_INTERNET_CANNOT_CONNECT. Server 127.0.0.1. "));

  auto files = Location(ipFTP, "\\pub\\setup");
  files->Port = closed;
  EXPECT_TRUE(Begins(DownloadError<ENIL_OpenService>(*files, "files.1"),
                     "Cannot connect to host 127.0.0.1. Error message ERROR_INTERNET_CANNOT_CONNECT. "
                     "Server 127.0.0.1. "));

  // No host at all (Wine's FTP would take the local machine for it).
  for (TInternetProtocol protocol : {ipHTTP, ipFTP}) {
    auto nowhere = Location(protocol, "\\pub\\setup");
    nowhere->LoginInformation().Hostname = " ";
    EXPECT_TRUE(
        Begins(DownloadError<ENIL_OpenService>(*nowhere, "files.1"),
               "Cannot connect to host  . Error message ERROR_INTERNET_NAME_NOT_RESOLVED. Server  . "));
  }
}

// A loader that gives the system's library without one entry.
const char* leftOut = nullptr;
void* EntryLeavingOneOut(void* library, const char* name) {
  return std::string(name) == leftOut ? nullptr : fw::SystemLibraryLoader().entry(library, name);
}
void* NoLibrary(const char*) { return nullptr; }

TEST_F(NetLocation, BindingWithoutAnEntryOrTheLibrary) {
  const auto& system = fw::SystemLibraryLoader();
  const fw::LibraryLoader withoutEntry{system.load, &EntryLeavingOneOut, system.unload};
  const std::pair<const char*, const char*> cases[] = {{"HttpQueryInfoA", "HttpQueryInfo"},
                                                       {"InternetCloseHandle", "InternetCloseHandle"}};
  for (const auto& [name, shown] : cases) {
    leftOut = name;
    SetWinInetLoader(&withoutEntry);
    auto location = Location(ipHTTP, "");
    try {
      location->Connect();
      ADD_FAILURE() << "bound without " << name;
    } catch (const ENIL_FailLoadDLLProc& e) {
      EXPECT_EQ(e.Message(), std::string("Failed to load the procedure ") + shown + " from WININET.DLL");
    }
    EXPECT_FALSE(location->Bound());
    EXPECT_TRUE(events.empty());
  }

  const fw::LibraryLoader withoutLibrary{&NoLibrary, system.entry, system.unload};
  SetWinInetLoader(&withoutLibrary);
  auto location = Location(ipHTTP, "");
  EXPECT_THROW(location->Connect(), ENIL_FailLoadWININET);
  SetWinInetLoader(nullptr);
  location->LoadWinInet();
  EXPECT_TRUE(location->Bound());
}

TEST_F(NetLocation, ProcessWideReferencesForgetADestroyedLocation) {
  auto location = Location(ipHTTP, "\\pub\\setup");
  ASSERT_TRUE(Download(*location, "files.1"));
  SetMainNetLocation(location.get());
  EXPECT_NE(std::find(NetLocations().begin(), NetLocations().end(), location.get()), NetLocations().end());
  TNetInstallLocation* gone = location.get();
  location.reset();
  EXPECT_EQ(MainNetLocation(), nullptr);
  EXPECT_EQ(ConnectingNetLocation(), nullptr);
  EXPECT_EQ(std::find(NetLocations().begin(), NetLocations().end(), gone), NetLocations().end());
}

}  // namespace
}  // namespace setup
