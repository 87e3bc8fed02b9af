#include "setup/install/install_file.h"

#include <algorithm>

#include "framework/exceptions.h"
#include "setup/base/exceptions.h"
#include "setup/archive/archive_files.h"
#include "setup/base/text_routines.h"

namespace setup {
namespace {

FileInstallSystem& System() {
  FileInstallSystem* system = InstallSystem();
  if (!system) throw IECustomInstallFile("No system to install files through");
  return *system;
}

}  // namespace

FileInstallSystem*& InstallSystem() {
  static FileInstallSystem* system = nullptr;
  return system;
}

TInstallFile::~TInstallFile() {
  if (TCustomInstall* install = FindInstall()) {
    auto& failed = install->FailedRegistrations;
    failed.erase(std::remove(failed.begin(), failed.end(), this), failed.end());
  }
}

std::string TInstallFile::DestinationPath() const { return AddBackslash(GetDestDir()) + DestName; }

void TInstallFile::Report(int code, TEventObject* parameter) {
  if (Container()) Container()->DoInformationEventControl(this, code, parameter);
}

bool TInstallFile::Install() {
  inUse_ = false;
  try {
    Report(icBeforeInstallFile, this);
    if (OnBeforeInstall) OnBeforeInstall(this);
  } catch (const fw::EAbort&) {
    Report(icFileAborted, this);
    return false;
  }
  if (TrimmedText(GetDestDir()).empty())
    throw IECustomInstallFile(
        "Cannot compress,copy, or install the following file because it's destination directory is blank. "
        "File "
        "is :%s",
        {Name()});
  FileInstallSystem& system = System();
  const std::string destination = DestinationPath();
  bool replace = ReplacesFile(system.Decide(OverwriteMode, destination, Version, FileDate));
  // Only an existing file is replaced; a missing one is simply written.
  if (replace && system.Exists(destination)) replace = PrepareReplace();
  if (!replace) {
    Report(icFileSkipped, this);
  } else {
    std::optional<PendingReplace> pending;
    SetState(ifsInstall);
    try {
      pending = system.Extract(*this);
    } catch (...) {
      SetState(ifsNone);
      Broadcast(this, ieCopyFinished, this);
      throw;
    }
    SetState(ifsNone);
    Broadcast(this, ieCopyFinished, this);
    if (pending) {
      inUse_ = true;
      system.ScheduleReplace(*pending, Name());
      if (TCustomInstall* install = FindInstall()) install->Reboot = true;
    }
  }
  Registrations();
  if (OnAfterInstall) OnAfterInstall(this);
  Report(icAfterInstallFile, this);
  return TCustomInstallFile::Install();
}

bool TInstallFile::PrepareReplace() {
  try {
    if (OnReplacing) OnReplacing(this);
    Broadcast(this, ieReplacing, this);
    Report(icReplacing, this);
  } catch (const fw::EAbort&) {
    return false;
  }
  return true;
}

void TInstallFile::Registrations() {
  FileInstallSystem& system = System();
  const std::string path = DestinationPath();
  if (RegisterAsHelp) system.RegisterHelp(path);
  if (UpdateDLLCounter) system.CountSharedLibrary(path, Name());
  TCustomInstall* install = FindInstall();
  if (inUse_ && install) {
    // The file registers itself once it has its place, after the restart.
    install->AddUnfinished(Name(), 0);
    return;
  }
  if (!ActiveX) return;
  try {
    system.SelfRegister(path, Name());
  } catch (const fw::EAbort&) {
    throw;
  } catch (const std::exception&) {
    if (!install || !install->Running()) throw;
    install->FailedRegistrations.push_back(this);
  }
}

void TInstallFile::ReadInfoFromArchive() {
  TCustomInstall* install = FindInstall();
  if (install && install->Running() && InfoRead) return;
  const std::string archivePath = GetArchivePath();
  if (TrimmedText(archivePath).empty())
    throw IECustomInstallFile(
        "Cannot either compress or decompress the following file because it's archive file property is "
        "blank. File is :%s",
        {FileName});
  if (const auto header = System().ArchivedHeader(archivePath, UniqueID())) {
    PackedSize = header->PackedSize;
    FileDate = header->FileDate;
    Size = header->FileSize;
    Version = header->VersionText.substr(0, kMaxVersionText);
  }
  InfoRead = true;
}

void TInstallFile::ArchiveStatus(const TlzhFileStats& stats) {
  TFileStatusParameter status;
  status.BytesDone = stats.FileDone;
  status.FilePercent = stats.FilePercent;
  status.FileName = FileName;
  status.Stats.EntryFinished = stats.EntryFinished;
  status.Stats.FileSize = stats.FileSize;
  status.TotalBytesDone = stats.TotalDone;
  status.TotalPercent = stats.TotalPercent;
  if (OnStatus) OnStatus(this, status.FilePercent, status.TotalPercent);
  Broadcast(this, ieFileStatus, &status);
  TEventList list{this, &status};
  Report(State() == ifsCompress ? icFileStatusCompress
         : State() == ifsCopying ? icFileStatusCopying
                                 : icFileStatusInstall,
         &list);
}

std::string TInstallFile::NewDisk(std::int32_t disk, bool& cancelled) {
  cancelled = false;
  Tag = 0;
  TDiskParameter parameter;
  parameter.Disk = disk;
  parameter.Path = FolderOf(GetArchivePath());
  TEventList list{this, &parameter};
  if (OnNewDisk) OnNewDisk(this, disk, parameter.Path);
  Broadcast(this, ieChangeDisk, &list);
  Report(icChangeDisk, &list);
  if (!OnNewDisk && Tag == 0) {
    const std::string text = FormatTranslated("Please insert disk #%d", {disk});
    if (!System().AskForDisk(text)) cancelled = true;
  }
  Tag = 0;
  return RemoveBackslash(parameter.Path);
}

void TInstallFile::ContinueAfterReboot() {
  if (ActiveX) System().SelfRegister(DestinationPath(), Name());
}

void TInstallFile::WriteUninstallInfo(const std::string& key) {
  WriteUninstallLog(System().SystemRegistry(), key, DestinationPath(), ActiveX);
}

}  // namespace setup
