// One file of an installation installed: its overwrite decision, a file in
// use left for the next start, its registrations and its uninstall entry,
// with the information codes and events around them. What the system does
// for it comes through FileInstallSystem, so the sequence is plain code.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "setup/archive/pmbr_compress.h"
#include "setup/base/registry_routines.h"
#include "setup/install/file_replace.h"
#include "setup/install/install_rules.h"
#include "setup/install/install_tree.h"
#include "setup/net/location.h"

namespace setup {

class TInstallFile;

// What a download reports for each block: its bytes, the bytes received so
// far, the file's size (0 when the server did not say), the remote name and
// the block itself.
using DownloadProgressFunction =
    std::function<void(std::int32_t chunk, std::int32_t received, std::int32_t size, const std::string& name,
                       const void* block)>;

class FileInstallSystem {
 public:
  virtual ~FileInstallSystem() = default;
  virtual bool Exists(const std::string& path) = 0;
  // See FileInstallDecision.
  virtual int Decide(int overwriteType, const std::string& destination, const std::string& archivedVersion,
                     double archivedDate) = 0;
  // Takes the file out of its archive into its destination folder; where the
  // new file waits when its destination was in use.
  virtual std::optional<PendingReplace> Extract(TInstallFile& file) = 0;
  virtual void ScheduleReplace(const PendingReplace& pending, const std::string& componentName) = 0;
  virtual void RegisterHelp(const std::string& path) = 0;
  virtual void CountSharedLibrary(const std::string& path, const std::string& componentName) = 0;
  virtual void SelfRegister(const std::string& path, const std::string& componentName) = 0;
  virtual Registry& SystemRegistry() = 0;
  // The header of the entry with the identity in the archive; nothing when no
  // entry carries it.
  virtual std::optional<TFileHeader> ArchivedHeader(const std::string& archivePath, std::int32_t uniqueID) {
    (void)archivePath;
    (void)uniqueID;
    return std::nullopt;
  }
  // Reads the named entries of the archive through to their ends and raises
  // on the first that is damaged, writing nothing. An archive that is not
  // here whole (missing, or split over disks) is left alone.
  virtual void CheckArchive(const std::string& archivePath, const std::vector<std::string>& names) {
    (void)archivePath;
    (void)names;
  }
  // Asks for the next disk of a split archive; false on Cancel.
  virtual bool AskForDisk(const std::string& text) {
    (void)text;
    return true;
  }
  // The login of a network location component; null when it is none.
  virtual const TCustomLoginInformation* LoginOf(fw::TComponent* location) {
    (void)location;
    return nullptr;
  }
  // A path in the temporary folder that no file has. A system without
  // downloads raises in these three.
  virtual std::string TemporaryPath();
  // Transfers the remote file from the location into `localPath`: true when
  // it arrived whole, false when the user cancelled. Nothing is left under
  // `localPath` unless the whole file is; network errors raise.
  virtual bool Download(fw::TComponent* location, const std::string& remoteName, const std::string& localPath,
                        const DownloadProgressFunction& progress);
  virtual void RemoveFile(const std::string& path);
};

// The system the files of this process install through (set by the program
// or a test; null until then).
FileInstallSystem*& InstallSystem();

class TInstallFile : public TCustomInstallFile {
 public:
  explicit TInstallFile(fw::TComponent* owner) : TCustomInstallFile(owner) {}
  ~TInstallFile() override;
  std::string ClassName() const override { return "TInstallFile"; }

  bool ActiveX = false;
  std::string DestName;
  std::string IncludeFromDir;
  TInstallFileType FileType = iftNormal;
  TOverwriteType OverwriteMode = owAlways;
  bool RegisterAsHelp = false;
  bool RunAfterInstall = false;
  bool UpdateDLLCounter = false;
  std::string Version;
  double FileDate = 0;
  TInstallFileNotifyEvent OnBeforeInstall, OnAfterInstall, OnReplacing;
  // Around the build's compress of the file and its copy unpacked.
  TInstallFileNotifyEvent OnBeforeCompress, OnAfterCompress, OnBeforeCopy, OnAfterCopy;

  // The destination was in use: the new file waits for the next start.
  bool InUse() const { return inUse_; }
  // The full path of the installed file, under its intended name also while
  // the new file waits under another.
  std::string DestinationPath() const;

  bool Install() override;
  // While the file is extracted from a downloaded archive, that archive.
  std::string GetArchivePath() const override;
  // Size, date, packed size and version from the file's archive entry.
  void ReadInfoFromArchive() override;
  std::int32_t PackedSize = 0;
  // Registers the file once its replacement has happened (after a restart).
  void ContinueAfterReboot() override;
  void WriteUninstallInfo(const std::string& key) override;

  // What the archive calls while it extracts the file: its progress, and
  // the folder of disk `disk` of a split archive (cancelled set when the
  // user gave up).
  void ArchiveStatus(const TlzhFileStats& stats);
  std::string NewDisk(std::int32_t disk, bool& cancelled);
  TInstallFileNewDiskEvent OnNewDisk;
  TInstallFileStatusEvent OnStatus;

 private:
  void Report(int code, TEventObject* parameter);
  // False when OnReplacing aborts the replacement.
  bool PrepareReplace();
  // Downloads the archive the file comes from, when it is on the server.
  void ChooseArchive();
  void Registrations();

  bool inUse_ = false;
};

// Checks every entry the run will take out of an archive at hand (the files
// of `root` that are included and will be replaced, outside net installs),
// one archive at a time, before the first file is replaced: a damaged
// distribution then stops the run with the installation untouched.
void CheckArchivesBeforeInstall(TInstallContainer& root);

// Whether the install takes the object's files from its server: the
// distribution is not the traditional one, and either it is all on the web or
// the object is marked Net.
bool InstallsFromNet(const TFileRelated& object);

// A file with an archive of its own on the server: it names its own location,
// or its overwrite rule needs the version or date of that one file.
bool HasOwnNetArchive(const TInstallFile& file);

// The location the object downloads from: its own, else (for a file) its
// container's, else the install's. Raises when there is none or its login is
// not filled in.
fw::TComponent* DownloadLocation(TFileRelated& object);

// Brings the object's archive ("<Name>.1") from its location into a
// temporary file, its LocalArchivePath, and records that file under the
// installer's key, unless a recorded download still exists. A cancel leaves
// no file and raises EAIUserAbort.
void DownloadArchive(TFileRelated& object);

// A block of the object's download arrived: its progress goes to the
// object's OnDataReceived, its dialogs and its container.
void DownloadProgress(TFileRelated& object, std::int32_t chunk, std::int32_t received, std::int32_t size,
                      const std::string& name, const void* block);

}  // namespace setup
