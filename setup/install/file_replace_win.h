// What installing a file asks of Windows: the replacement of a file in use
// at the next start, self-registration of libraries and programs, and the
// help and shared-library entries. The system calls that restart Windows or
// start programs go through seams, so tests never restart the test prefix.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "setup/install/file_replace.h"
#include "setup/install/install_file.h"

namespace setup {

struct InstallSystemSeams {
  // MoveFileExA.
  std::function<bool(const std::string& from, const std::string& to, DWORD flags)> MoveFileEx;
  // WinExec: a result below 32 is a failure.
  std::function<UINT(const std::string& command, UINT show)> WinExec;
  // The Windows family (see WindowsKind).
  std::function<int()> WindowsKind;
};
// The system's calls; tests replace members and put them back.
InstallSystemSeams& SystemSeams();

// The main archive of a setup started by its self-extracting program lies
// inside that program from an offset on; the run sets it once it has read
// the program's trailer.
struct MainArchiveOffset {
  std::string Path;
  std::int32_t Offset = 0;
};
MainArchiveOffset& SharedArchiveOffset();
// The abort flag of the archive extracting now (a cancel during copying
// sets it); between extractions, the shared flag below.
bool* CurrentArchiveAbort();
// Whether the last extraction was aborted, or a cancel came between two:
// what a container's OnAfterInstallObjects is told. Each extraction, and
// each archive operation of the build, starts it afresh.
bool& SharedArchiveAborted();

enum class ReplaceWay { Wininit, DelayedMove, Batch };

// Arranges for `pending.NewFile` to take the place of `pending.Destination`
// at the next start: on the 95 family through "WININIT.INI" [Rename] (short
// paths both sides), else as a delayed move that replaces the old file, and
// when the system refuses that, through a batch file run once at the start
// (RunOnce "PembrinBatFile"). Raises IECustomInstallFile (naming the
// component) when nothing can be arranged.
ReplaceWay ScheduleReplace(const PendingReplace& pending, const std::string& componentName);

// Self-registration of an installed file: DllRegisterServer of a library
// (the library and OLE released on every path), or the program started,
// its path quoted, with " /REGSERVER" for a ".EXE". Failures raise IECustomInstallFile.
void SelfRegister(const std::string& path, const std::string& componentName);

// Whether the file's version information has an "OLESelfRegister" value in
// the block of its first translation.
bool HasOLESelfRegister(const std::string& path);

// The help entry and the shared-library count of an installed file in the
// system's registry.
void RegisterHelp(const std::string& path);
void CountSharedLibrary(const std::string& path, const std::string& componentName);

// The files of an installation on real files, archives and the registry.
class SystemFileInstall : public FileInstallSystem {
 public:
  bool Exists(const std::string& path) override;
  int Decide(int overwriteType, const std::string& destination, const std::string& archivedVersion,
             double archivedDate) override;
  // The archive writes the file under a temporary name and renames it into
  // place; a destination in use leaves it under the next free number.
  std::optional<PendingReplace> Extract(TInstallFile& file) override;
  void ScheduleReplace(const PendingReplace& pending, const std::string& componentName) override;
  void RegisterHelp(const std::string& path) override;
  void CountSharedLibrary(const std::string& path, const std::string& componentName) override;
  void SelfRegister(const std::string& path, const std::string& componentName) override;
  Registry& SystemRegistry() override;
  std::optional<TFileHeader> ArchivedHeader(const std::string& archivePath, std::int32_t uniqueID) override;
  // A split archive is checked entry by entry as its disks arrive instead.
  void CheckArchive(const std::string& archivePath, const std::vector<std::string>& names) override;
  // "Please insert disk #n" with OK and Cancel.
  bool AskForDisk(const std::string& text) override;
  // Locations are network install locations; a download goes to a file of
  // its own and takes the local name only once it is whole.
  const TCustomLoginInformation* LoginOf(fw::TComponent* location) override;
  std::string TemporaryPath() override;
  bool Download(fw::TComponent* location, const std::string& remoteName, const std::string& localPath,
                const DownloadProgressFunction& progress) override;
  void RemoveFile(const std::string& path) override;

 private:
  std::optional<PendingReplace> ExtractInto(TInstallFile& file, const std::string& archivePath,
                                            ArchiveFileSystem& disk, InUseRedirectFiles& files);
};

}  // namespace setup
