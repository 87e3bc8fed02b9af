// The network install location: logs in to an FTP or HTTP server and
// downloads one named file at a time to a local file, with events for the
// login and each received block. The system's Internet client library is
// bound by name at the first connection, so the setup program starts on a
// system without it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/library.h"
#include "setup/install/install_tree.h"
#include "setup/net/location.h"

namespace setup {

using TLoginEvent = fw::TNotifyEvent;
using TNotifyWithAbortFlag = std::function<void(fw::TComponent* sender, bool aborted)>;

class TCustomNetInstallLocation : public fw::TComponent, public TEventObject {
 public:
  explicit TCustomNetInstallLocation(fw::TComponent* owner);
  ~TCustomNetInstallLocation() override;
  std::string ClassName() const override { return "TCustomNetInstallLocation"; }

  const TLoginInformation& LoginInformation() const { return login_; }
  TLoginInformation& LoginInformation() { return login_; }
  virtual void SetLoginInformation(const TCustomLoginInformation& value) { login_.Assign(value); }

  // The server's port; 0 is the service's own. Not a published setting: an
  // installation always uses the service's port, tests point it elsewhere.
  std::uint16_t Port = 0;

  TLoginEvent OnBeforeLogin, OnAfterLogin;
  fw::TNotifyEvent OnBeforeDownload;
  TDataReceivedEvent OnDataReceived;
  TNotifyWithAbortFlag OnAfterDownload;
  // Raised right after OnDataReceived, for the install files' progress.
  TDataReceivedEvent OnDownloadProgress;

  // Binds the library; raises ENIL_FailLoadWININET or ENIL_FailLoadDLLProc
  // and stays unbound when the library or one of its entries is missing.
  virtual void LoadWinInet();
  bool Bound() const { return library_.Loaded(); }
  // Makes sure a session and a connection exist (kept until destruction) and,
  // over FTP, sets the server's folder.
  virtual void Connect();
  // Transfers the remote file (under Directory) into the local file: true
  // when it arrived whole, false when it was cancelled. A cancelled or failed
  // download leaves no local file.
  [[nodiscard]] virtual bool Download(const std::string& remoteName, const std::string& localName);

 private:
  template <class E>
  [[noreturn]] void Raise(std::uint32_t lastError, const std::string& message);
  std::optional<std::string> LastResponse();
  void OpenRemoteFile();
  bool Transfer();
  std::int32_t ExpectedSize();
  std::uint32_t ReadBlock(std::vector<char>& block);
  void CloseRemoteFile(bool raise);

  TLoginInformation login_;
  fw::BoundLibrary library_;
  void* session_ = nullptr;
  void* connection_ = nullptr;
  void* remoteFile_ = nullptr;
  std::string localName_, remoteName_;
};

class TNetInstallLocation : public TCustomNetInstallLocation {
 public:
  using TCustomNetInstallLocation::TCustomNetInstallLocation;
  std::string ClassName() const override { return "TNetInstallLocation"; }
};

// Every location of the process, in order of creation.
const std::vector<TCustomNetInstallLocation*>& NetLocations();
// The location that last began connecting (its host names the server in
// error texts); null when none or when it is gone.
TCustomNetInstallLocation* ConnectingNetLocation();
// The installation's own location, set by the installer.
TCustomNetInstallLocation* MainNetLocation();
void SetMainNetLocation(TCustomNetInstallLocation* location);

// Set by the download progress form's cancel button; stays set, so every
// later download of the process is cancelled too.
bool DownloadAborted();
void SetDownloadAborted(bool aborted);
// The flag itself, for the cancel of the copy-progress forms.
bool* DownloadAbortFlag();

// The loader the library is bound through: the system's, or (for tests) one
// that lacks an entry; null gives back the system's.
void SetWinInetLoader(const fw::LibraryLoader* loader);

}  // namespace setup
