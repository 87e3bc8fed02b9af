#include "setup/net/location_win.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "framework/application.h"
#include "framework/format.h"
#include "framework/library_win.h"
#include "setup/base/text_routines.h"

namespace setup {
namespace {

enum Entry {
  kGetLastResponseInfo,
  kOpen,
  kConnect,
  kFtpSetCurrentDirectory,
  kCloseHandle,
  kQueryDataAvailable,
  kReadFile,
  kFtpOpenFile,
  kHttpOpenRequest,
  kHttpSendRequest,
  kHttpQueryInfo
};

const std::vector<const char*> kEntryNames = {"InternetGetLastResponseInfoA",
                                              "InternetOpenA",
                                              "InternetConnectA",
                                              "FtpSetCurrentDirectoryA",
                                              "InternetCloseHandle",
                                              "InternetQueryDataAvailable",
                                              "InternetReadFile",
                                              "FtpOpenFileA",
                                              "HttpOpenRequestA",
                                              "HttpSendRequestA",
                                              "HttpQueryInfoA"};

constexpr DWORD kBlockSize = 8192;
constexpr DWORD kResponseSize = 3000;
constexpr DWORD kContentLengthSize = 33;
constexpr DWORD kFtpBinary = 2;
constexpr DWORD_PTR kFtpContext = 0x80000000;
// Reload, keep the connection, write nothing to the cache.
constexpr DWORD kHttpRequestFlags = 0xA4000000;
constexpr DWORD kFtpService = 1, kHttpService = 3;

// Lives as long as the process: a location may go after this file's statics.
std::vector<TCustomNetInstallLocation*>& Locations() {
  static auto* locations = new std::vector<TCustomNetInstallLocation*>;
  return *locations;
}
TCustomNetInstallLocation* connecting = nullptr;
TCustomNetInstallLocation* mainLocation = nullptr;
bool downloadAborted = false;
const fw::LibraryLoader* winInetLoader = nullptr;

const fw::LibraryLoader* WinInetLoader() {
  return winInetLoader ? winInetLoader : &fw::SystemLibraryLoader();
}

template <class Function>
Function* EntryOf(const fw::BoundLibrary& library, Entry entry) {
  return reinterpret_cast<Function*>(library.Entry(entry));
}

// The local file of a transfer: closed on every path, and deleted unless the
// transfer kept it, so a download is either whole or absent.
class LocalFile {
 public:
  explicit LocalFile(std::string path) : path_(std::move(path)) {
    handle_ =
        CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  ~LocalFile() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(handle_);
    if (!kept_) DeleteFileA(path_.c_str());
  }
  LocalFile(const LocalFile&) = delete;
  LocalFile& operator=(const LocalFile&) = delete;
  bool Opened() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Write(const char* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(handle_, data, size, &written, nullptr) && written == size;
  }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  HANDLE handle_;
  bool kept_ = false;
};

}  // namespace

TCustomNetInstallLocation::TCustomNetInstallLocation(fw::TComponent* owner)
    : fw::TComponent(owner), library_(kEntryNames) {
  Locations().push_back(this);
}

TCustomNetInstallLocation::~TCustomNetInstallLocation() {
  if (Bound()) {
    auto* close = EntryOf<decltype(InternetCloseHandle)>(library_, kCloseHandle);
    if (remoteFile_ && close(remoteFile_)) remoteFile_ = nullptr;
    if (connection_ && close(connection_)) connection_ = nullptr;
    if (session_ && close(session_)) session_ = nullptr;
  }
  library_.Unload();
  std::erase(Locations(), this);
  if (connecting == this) connecting = nullptr;
  if (mainLocation == this) mainLocation = nullptr;
}

std::optional<std::string> TCustomNetInstallLocation::LastResponse() {
  if (!Bound()) return std::nullopt;
  char text[kResponseSize];
  DWORD code = 0, length = kResponseSize;
  if (!EntryOf<decltype(InternetGetLastResponseInfoA)>(library_, kGetLastResponseInfo)(&code, text, &length))
    return std::nullopt;
  return std::string(text, std::min(length, kResponseSize));
}

template <class E>
void TCustomNetInstallLocation::Raise(std::uint32_t lastError, const std::string& message) {
  throw E(NetErrorText(message, lastError, connecting ? connecting->login_.Hostname : std::string(),
                       LastResponse()));
}

void TCustomNetInstallLocation::LoadWinInet() {
  if (!library_.Load(WinInetLoader(), "WININET.DLL"))
    throw ENIL_FailLoadWININET(
        "Failed to load the Wininet.dll. If this is a hybrid installation, you might want to include the "
        "WININET.DLL file in the PresetupFiles property of the TInstall component");
  if (const char* missing = library_.FirstMissing()) {
    std::string name = missing;
    if (name.back() == 'A') name.pop_back();
    library_.Unload();
    throw ENIL_FailLoadDLLProc(fw::Format("Failed to load the procedure %s from WININET.DLL", {name}));
  }
}

void TCustomNetInstallLocation::Connect() {
  connecting = this;
  if (!Bound()) LoadWinInet();
  if (!session_) {
    const std::string agent = fw::Application()->Name();
    session_ = EntryOf<decltype(InternetOpenA)>(library_, kOpen)(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                                                 nullptr, nullptr, 0);
    if (!session_) Raise<ENIL_OpenSession>(GetLastError(), "Cannot open internet connection");
  }
  const bool ftp = login_.Protocol == ipFTP;
  if (!connection_) {
    if (OnBeforeLogin) OnBeforeLogin(this);
    // Anonymous FTP names nobody, so the library logs in as "anonymous";
    // anonymous HTTP sends no credentials.
    const char* user = ftp ? nullptr : "";
    const char* password = ftp ? nullptr : "";
    if (!login_.Anonymous) {
      user = login_.Username.c_str();
      password = login_.Password.c_str();
    }
    // A blank host names no server; the library would take the local machine.
    if (TrimmedText(login_.Hostname).empty())
      Raise<ENIL_OpenService>(ERROR_INTERNET_NAME_NOT_RESOLVED,
                              fw::Format("Cannot connect to host %s", {login_.Hostname}));
    connection_ = EntryOf<decltype(InternetConnectA)>(library_, kConnect)(
        session_, login_.Hostname.c_str(), Port, user, password, ftp ? kFtpService : kHttpService, 0, 0);
    if (!connection_)
      Raise<ENIL_OpenService>(GetLastError(), fw::Format("Cannot connect to host %s", {login_.Hostname}));
    if (OnAfterLogin) OnAfterLogin(this);
  }
  if (ftp) {
    const std::string folder = FtpServerFolder(login_.Directory);
    if (!EntryOf<decltype(FtpSetCurrentDirectoryA)>(library_, kFtpSetCurrentDirectory)(connection_,
                                                                                       folder.c_str()))
      Raise<ENIL_FTPSetDir>(GetLastError(), fw::Format("Cannot set directory on server to %s", {folder}));
  }
}

bool TCustomNetInstallLocation::Download(const std::string& remoteName, const std::string& localName) {
  bool complete = false;
  try {
    Connect();
    remoteName_ = remoteName;
    localName_ = localName;
    if (OnBeforeDownload) OnBeforeDownload(this);
    OpenRemoteFile();
    complete = Transfer();
    CloseRemoteFile(true);
  } catch (...) {
    CloseRemoteFile(false);
    // No file of an earlier download stays either: a download is whole or absent.
    DeleteFileA(localName.c_str());
    throw;
  }
  if (OnAfterDownload) OnAfterDownload(this, !complete);
  return complete;
}

void TCustomNetInstallLocation::OpenRemoteFile() {
  if (login_.Protocol == ipFTP) {
    remoteFile_ = EntryOf<decltype(FtpOpenFileA)>(library_, kFtpOpenFile)(
        connection_, remoteName_.c_str(), GENERIC_READ, kFtpBinary, kFtpContext);
    if (!remoteFile_)
      Raise<ENIL_FTPOpenFile>(GetLastError(), fw::Format("Cannot open file %s on server", {remoteName_}));
    return;
  }
  const std::string object = HttpObjectName(login_.Directory, remoteName_);
  const char* acceptTypes[] = {nullptr};
  remoteFile_ = EntryOf<decltype(HttpOpenRequestA)>(library_, kHttpOpenRequest)(
      connection_, "GET", object.c_str(), nullptr, nullptr, acceptTypes, kHttpRequestFlags, 0);
  if (!remoteFile_)
    Raise<ENIL_HTTPOpenFile>(GetLastError(), fw::Format("Cannot open file %s on server", {remoteName_}));
  static const char kHeaders[] = "Accept: */*\r\n\r\n";
  if (!EntryOf<decltype(HttpSendRequestA)>(library_, kHttpSendRequest)(remoteFile_, kHeaders,
                                                                       sizeof kHeaders - 1, nullptr, 0))
    Raise<ENIL_HTTPSendRequest>(GetLastError(),
                                fw::Format("Cannot send request for file %s to the server", {remoteName_}));
}

std::int32_t TCustomNetInstallLocation::ExpectedSize() {
  const std::string queryFailed = fw::Format("Could not query file %s on server", {remoteName_});
  if (login_.Protocol == ipFTP) {
    DWORD available = 0;
    if (!EntryOf<decltype(InternetQueryDataAvailable)>(library_, kQueryDataAvailable)(remoteFile_, &available,
                                                                                      0, 0))
      Raise<ENIL_FailDataQuery>(GetLastError(), queryFailed);
    return static_cast<std::int32_t>(std::min<DWORD>(available, 0x7FFFFFFF));
  }
  auto* query = EntryOf<decltype(HttpQueryInfoA)>(library_, kHttpQueryInfo);
  // Only 200 brings the file: an error page is never saved as one.
  DWORD status = 0, size = sizeof status;
  if (!query(remoteFile_, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    Raise<ENIL_FailDataQuery>(GetLastError(), queryFailed);
  switch (ClassifyHttpStatus(status)) {
    case THttpStatusOutcome::Ok:
      break;
    case THttpStatusOutcome::NotFound:
      Raise<ENIL_FileNotFound>(0, fw::Format("Could not find the file %s on the server", {remoteName_}));
    case THttpStatusOutcome::Failed:
      Raise<ENIL_ReadFile>(0, fw::Format("Could not read from file %s on the server (HTTP status %d)",
                                         {remoteName_, static_cast<long long>(status)}));
  }
  char text[kContentLengthSize] = {};
  DWORD length = kContentLengthSize;
  if (query(remoteFile_, HTTP_QUERY_CONTENT_LENGTH, text, &length, nullptr))
    return ContentLengthValue(std::string(text, std::min(length, kContentLengthSize)));
  const DWORD error = GetLastError();
  if (error != ERROR_HTTP_HEADER_NOT_FOUND) Raise<ENIL_FailDataQuery>(error, queryFailed);
  return 0;
}

std::uint32_t TCustomNetInstallLocation::ReadBlock(std::vector<char>& block) {
  DWORD read = 0;
  if (!EntryOf<decltype(InternetReadFile)>(library_, kReadFile)(remoteFile_, block.data(), kBlockSize, &read))
    Raise<ENIL_ReadFile>(GetLastError(),
                         fw::Format("Could not read from file %s on the server", {remoteName_}));
  return read;
}

bool TCustomNetInstallLocation::Transfer() {
  const std::int32_t expected = ExpectedSize();
  LocalFile local(localName_);
  const std::string writeFailed =
      fw::Format("%s could not write to the local dest file %s", {Name(), localName_});
  if (!local.Opened()) throw ENIL_WriteDestFile(writeFailed);
  std::vector<char> block(kBlockSize);
  std::int64_t received = 0;
  std::int32_t total = 0;
  for (std::uint32_t read = ReadBlock(block); read > 0; read = ReadBlock(block)) {
    received += read;
    total = AddToRunningTotal(total, read);
    const auto bytes = static_cast<std::int32_t>(read);
    if (OnDataReceived) OnDataReceived(this, remoteName_, bytes, total, expected, block.data());
    if (OnDownloadProgress) OnDownloadProgress(this, remoteName_, bytes, total, expected, block.data());
    fw::Application()->ProcessMessages();
    if (downloadAborted) return false;
    if (!local.Write(block.data(), read)) throw ENIL_WriteDestFile(writeFailed);
  }
  switch (ClassifyTransferEnd(received, expected, login_.Protocol)) {
    case TTransferEnd::Complete:
      break;
    case TTransferEnd::Empty:
      Raise<ENIL_FileNotFound>(0, fw::Format("Could not find the file %s on the server", {remoteName_}));
    case TTransferEnd::Short:
      Raise<ENIL_ReadFile>(0, fw::Format("Could not read from file %s on the server", {remoteName_}));
  }
  local.Keep();
  return true;
}

void TCustomNetInstallLocation::CloseRemoteFile(bool raise) {
  if (!remoteFile_) return;
  void* file = remoteFile_;
  remoteFile_ = nullptr;
  if (!EntryOf<decltype(InternetCloseHandle)>(library_, kCloseHandle)(file) && raise)
    Raise<ENIL_FTPCloseFile>(GetLastError(),
                             fw::Format("Cannot close the file %s on the server", {remoteName_}));
}

const std::vector<TCustomNetInstallLocation*>& NetLocations() { return Locations(); }
TCustomNetInstallLocation* ConnectingNetLocation() { return connecting; }
TCustomNetInstallLocation* MainNetLocation() { return mainLocation; }
void SetMainNetLocation(TCustomNetInstallLocation* location) { mainLocation = location; }
bool DownloadAborted() { return downloadAborted; }
void SetDownloadAborted(bool aborted) { downloadAborted = aborted; }
bool* DownloadAbortFlag() { return &downloadAborted; }
void SetWinInetLoader(const fw::LibraryLoader* loader) { winInetLoader = loader; }

}  // namespace setup
