#include "setup/install/install_file.h"

#include <algorithm>
#include <cmath>

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

// The key under which the object's download is recorded; "" without an
// installer key or a name.
std::string DownloadKey(const TFileRelated& object) {
  const TCustomInstall* install = FindInstall();
  const std::string key = install ? install->InstanceKey() : std::string();
  if (TrimmedText(key).empty() || TrimmedText(object.Name()).empty()) return "";
  return key + "\\" + object.Name();
}

// The object's recorded download while its file still exists; "" otherwise.
std::string RecordedDownload(const TFileRelated& object) {
  const std::string key = DownloadKey(object);
  if (key.empty()) return "";
  FileInstallSystem& system = System();
  const std::string path = RegReadString(system.SystemRegistry(), kLocalMachine, key, "LocalFile", "");
  return !TrimmedText(path).empty() && system.Exists(path) ? path : "";
}

void RecordDownload(const TFileRelated& object, const std::string& path) {
  const std::string key = DownloadKey(object);
  if (key.empty() || TrimmedText(path).empty()) return;
  try {
    RegWriteString(System().SystemRegistry(), kLocalMachine, key, "LocalFile", path);
  } catch (const std::exception&) {
    // Unrecorded, the download is simply made again when asked for again.
  }
}

}  // namespace

std::string FileInstallSystem::TemporaryPath() {
  throw IECustomInstallFile("This system has no temporary files");
}

bool FileInstallSystem::Download(fw::TComponent*, const std::string& remoteName, const std::string&,
                                 const DownloadProgressFunction&) {
  throw IECustomInstallFile("This system cannot download %s", {remoteName});
}

void FileInstallSystem::RemoveFile(const std::string&) {}

namespace {

struct ArchiveEntries {
  std::string Archive;
  std::vector<std::string> Names;
};

void CollectEntriesToExtract(TInstallContainer& container, FileInstallSystem& system,
                             std::vector<ArchiveEntries>& archives) {
  for (TInstallContainer* child : container.Children()) {
    if (!child->Processable || !child->IsIncluded()) continue;
    auto* file = dynamic_cast<TInstallFile*>(child);
    if (!file) {
      CollectEntriesToExtract(*child, system, archives);
      continue;
    }
    if (InstallsFromNet(*file)) continue;
    if (!ReplacesFile(
            system.Decide(file->OverwriteMode, file->DestinationPath(), file->Version, file->FileDate)))
      continue;
    const std::string archive = file->GetArchivePath();
    // A blank archive path fails with its own message when the file installs.
    if (TrimmedText(archive).empty()) continue;
    auto found = std::find_if(archives.begin(), archives.end(), [&](const ArchiveEntries& a) {
      return SameTextIgnoringCase(a.Archive, archive);
    });
    if (found == archives.end()) found = archives.insert(archives.end(), ArchiveEntries{archive, {}});
    found->Names.push_back(file->IncludeFromDir + "\\" + file->FileName);
  }
}

}  // namespace

void CheckArchivesBeforeInstall(TInstallContainer& root) {
  FileInstallSystem& system = System();
  std::vector<ArchiveEntries> archives;
  CollectEntriesToExtract(root, system, archives);
  for (const ArchiveEntries& archive : archives) system.CheckArchive(archive.Archive, archive.Names);
}

bool InstallsFromNet(const TFileRelated& object) {
  const TCustomInstall* install = FindInstall();
  const TDistributeType type = install ? install->DistributeType() : dtTraditional;
  return type != dtTraditional && (object.Net || type == dtWeb);
}

bool HasOwnNetArchive(const TInstallFile& file) {
  return file.NetLocation() || file.OverwriteMode == owVersion || file.OverwriteMode == owDate ||
         file.OverwriteMode == owVersionDate;
}

fw::TComponent* DownloadLocation(TFileRelated& object) {
  fw::TComponent* location = object.NetLocation();
  // A file falls back to its container's location and then, as the build
  // put its archive, to the install's.
  if (!location && dynamic_cast<TCustomInstallFile*>(&object))
    if (auto* container = dynamic_cast<TFileContainer*>(object.Container()))
      location = container->NetLocation();
  if (!location)
    if (TCustomInstall* install = FindInstall()) location = install->NetLocation();
  if (!location)
    throw IEFileRel_NoNetLocation("Could not find a net install location for %s", {object.Name()});
  const TCustomLoginInformation* login = System().LoginOf(location);
  if (!login || !IsLoginUsable(*login)) {
    if (object.NetLocation())
      throw IEFileRelated(
          "%s could not install itself because the TNetLocation component's properties, in the NetLocation "
          "property, have not been filled in",
          {object.Name()});
    throw IEFileRelated(
        "%s could not install itself because the LoginInformation property of the TInstall component has not "
        "been properly filled in",
        {object.Name()});
  }
  return location;
}

void DownloadArchive(TFileRelated& object) {
  if (const std::string recorded = RecordedDownload(object); !recorded.empty()) {
    object.LocalArchivePath = recorded;
    return;
  }
  fw::TComponent* location = DownloadLocation(object);
  FileInstallSystem& system = System();
  const std::string local = ChangeFileExt(system.TemporaryPath(), ".1");
  object.LocalArchivePath = local;
  bool whole = false;
  try {
    whole = system.Download(
        location, object.Name() + ".1", local,
        [&object](std::int32_t chunk, std::int32_t received, std::int32_t size, const std::string& name,
                  const void* block) { DownloadProgress(object, chunk, received, size, name, block); });
  } catch (...) {
    object.LocalArchivePath.clear();
    throw;
  }
  if (!whole) {
    system.RemoveFile(local);
    object.LocalArchivePath.clear();
    throw EAIUserAbort();
  }
  RecordDownload(object, local);
}

void DownloadProgress(TFileRelated& object, std::int32_t chunk, std::int32_t received, std::int32_t size,
                      const std::string& name, const void* block) {
  TDownloadStatusParameter status;
  status.ChunkBytes = chunk;
  status.FileName = name;
  status.FileSize = size;
  status.BytesReceived = received;
  // A size the server did not give, or one smaller than what came, has no
  // percentage to speak of.
  const double percent = size > 0 ? std::round(100.0 * received / size) : 0.0;
  status.Percent = percent >= 0 && percent <= 100 ? static_cast<std::int32_t>(percent) : 0;
  if (object.OnDataReceived) object.OnDataReceived(&object, name, chunk, received, size, block);
  object.Broadcast(&object, ieDownloadStatus, &status);
  if (TInstallContainer* container = object.Container())
    container->DoInformationEventControl(&object, icDownloadStatus, &status);
}

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
    ChooseArchive();
    std::optional<PendingReplace> pending;
    EnterState(ifsInstall);
    try {
      pending = system.Extract(*this);
    } catch (...) {
      EnterState(ifsNone);
      Broadcast(this, ieCopyFinished, this);
      throw;
    }
    EnterState(ifsNone);
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

void TInstallFile::ChooseArchive() {
  if (const std::string recorded = RecordedDownload(*this); !recorded.empty()) LocalArchivePath = recorded;
  if (!InstallsFromNet(*this)) return;
  if (HasOwnNetArchive(*this)) {
    DownloadArchive(*this);
  } else if (auto* container = dynamic_cast<TFileContainer*>(Container());
             container && container->LocalArchivePath.empty()) {
    DownloadArchive(*container);
  }
}

std::string TInstallFile::GetArchivePath() const {
  if (State() == ifsInstall && InstallsFromNet(*this)) {
    if (HasOwnNetArchive(*this) && !LocalArchivePath.empty()) return LocalArchivePath;
    if (auto* container = dynamic_cast<TFileContainer*>(Container())) {
      if (container->LocalArchivePath.empty())
        throw IEFileContainer(
            "%s has not yet downloaded the archive file and therefore cannot retrieve the path of the "
            "archive file",
            {container->Name()});
      return container->LocalArchivePath;
    }
  }
  return TCustomInstallFile::GetArchivePath();
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
  std::string archivePath;
  if (!InstallsFromNet(*this)) {
    archivePath = GetArchivePath();
  } else if (HasOwnNetArchive(*this) && !LocalArchivePath.empty()) {
    archivePath = LocalArchivePath;
  } else {
    auto* container = dynamic_cast<TFileContainer*>(Container());
    if (!container)
      throw IECustomInstallFile(
          "%s cannot perform ReadInfoFromArchive because either no container is assigned or the container is "
          "not TFileContainer",
          {Name()});
    // Nothing downloaded yet: the server's list of files tells instead.
    if (container->LocalArchivePath.empty()) return;
    archivePath = container->LocalArchivePath;
  }
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
  Report(State() == ifsCompress  ? icFileStatusCompress
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
