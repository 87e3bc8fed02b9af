// One file of an installation installed: its overwrite decision, a file in
// use left for the next start, its registrations and its uninstall entry,
// with the information codes and events around them. What the system does
// for it comes through FileInstallSystem, so the sequence is plain code.
#pragma once

#include <optional>
#include <string>

#include "setup/archive/pmbr_compress.h"
#include "setup/base/registry_routines.h"
#include "setup/install/file_replace.h"
#include "setup/install/install_rules.h"
#include "setup/install/install_tree.h"

namespace setup {

class TInstallFile;

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
  // Asks for the next disk of a split archive; false on Cancel.
  virtual bool AskForDisk(const std::string& text) {
    (void)text;
    return true;
  }
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

  // The destination was in use: the new file waits for the next start.
  bool InUse() const { return inUse_; }
  // The full path of the installed file, under its intended name also while
  // the new file waits under another.
  std::string DestinationPath() const;

  bool Install() override;
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
  void Registrations();

  bool inUse_ = false;
};

}  // namespace setup
