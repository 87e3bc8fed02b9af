#include "setup/install/file_replace_win.h"

#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/format.h"
#include "framework/form.h"
#include "framework/library.h"
#include "framework/library_win.h"
#include "framework/version_info_win.h"
#include "setup/archive/archive_files_win.h"
#include "setup/archive/pmbr_compress.h"
#include "setup/base/exceptions.h"
#include "setup/base/registry_win.h"
#include "setup/base/text_routines.h"
#include "setup/base/version_resource_win.h"
#include "setup/base/windows_routines_win.h"
#include "setup/install/install_rules.h"
#include "setup/net/location_win.h"

namespace setup {
namespace {

const char kBlankDestination[] =
    "Cannot compress,copy, or install the following file because it's destination directory is blank. File "
    "is :%s";

bool WriteWholeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

// The destination folder is current while a file registers itself (it may
// look for its companions there); the previous one comes back afterwards.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (length > 0 && length < sizeof buffer) previous_.assign(buffer, length);
    SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentFolder() {
    if (!previous_.empty()) SetCurrentDirectoryA(previous_.c_str());
  }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::string previous_;
};

class OleSession {
 public:
  OleSession() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleSession() {
    if (initialized_) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool initialized_;
};

void RegisterLibrary(const std::string& path, const std::string& componentName) {
  OleSession ole;
  fw::BoundLibrary library({"DllRegisterServer"});
  if (!library.Load(&fw::SystemLibraryLoader(), path.c_str()))
    throw IECustomInstallFile(
        "Could not register the ActiveX component, %s, because the LoadLibrary(%s) procedure returned a "
        "value "
        "of 0. The file component is %s. The following value is the value of the GetLastError function: %d",
        {path, path, componentName, static_cast<int>(GetLastError())});
  using RegisterServer = HRESULT(WINAPI*)();
  const auto registerServer = reinterpret_cast<RegisterServer>(library.Entry(0));
  if (!registerServer)
    throw IECustomInstallFile(
        "Could not register the ActiveX component, %s, because the DllRegisterServer function could not be "
        "found. The file component is %s. The following value is the value of the GetLastError function: %d",
        {path, componentName, static_cast<int>(GetLastError())});
  const HRESULT result = registerServer();
  if (result != 0)
    throw IECustomInstallFile(
        "Could not register the ActiveX component, %s, because the DllRegisterServer function returned a "
        "value "
        "of %d. The file component is %s",
        {path, static_cast<int>(result), componentName});
}

void RegisterProgram(const std::string& path, const std::string& componentName) {
  // Unquoted, a blank in the folder would start the program named by the
  // path's first word instead, and WinExec would report success.
  const std::string command = "\"" + path + "\" /REGSERVER";
  if (SystemSeams().WinExec(command, SW_HIDE) < 32)
    throw IECustomInstallFile(
        "Could not register the ActiveX component, %s, because the WinExec(%s,SW_HIDE) function returned a "
        "value < 32. The file component is %s. The following value is the value of the GetLastError "
        "function: "
        "%d",
        {path, command, componentName, static_cast<int>(GetLastError())});
}

}  // namespace

InstallSystemSeams& SystemSeams() {
  static InstallSystemSeams seams{
      [](const std::string& from, const std::string& to, DWORD flags) {
        return MoveFileExA(from.c_str(), to.c_str(), flags) != FALSE;
      },
      [](const std::string& command, UINT show) { return ::WinExec(command.c_str(), show); },
      [] { return WindowsKind(); }};
  return seams;
}

ReplaceWay ScheduleReplace(const PendingReplace& pending, const std::string& componentName) {
  const std::string oldShort = ShortPathOf(pending.Destination);
  // The new file exists by now, so it has a short name too.
  const std::string newShort = ShortPathOf(pending.NewFile);
  if (SystemSeams().WindowsKind() == 1) {
    if (!WritePrivateProfileStringA("Rename", oldShort.c_str(), newShort.c_str(), "WININIT.INI"))
      throw IECustomInstallFile(
          "%s cannot register a routine in the register to move the files after the computer is reboot",
          {componentName});
    return ReplaceWay::Wininit;
  }
  // Without REPLACE_EXISTING the move at the start finds the old file still
  // there and leaves it.
  if (SystemSeams().MoveFileEx(pending.NewFile, pending.Destination,
                               MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING))
    return ReplaceWay::DelayedMove;
  const std::string batch = ChangeFileExt(UniqueTempFileName(false), ".bat");
  // Long paths, quoted: once the old file is erased its short alias is gone,
  // and a move to that alias would make a file of that very name.
  if (!WriteWholeFile(batch, InUseBatchText(pending.Destination, pending.NewFile, batch)))
    throw IECustomInstallFile(
        "%s cannot register a routine in the register to move the files after the computer is reboot",
        {componentName});
  RegisterInUseBatch(SystemRegistry(), batch, componentName);
  return ReplaceWay::Batch;
}

void SelfRegister(const std::string& path, const std::string& componentName) {
  const std::string folder = FolderOf(path);
  if (TrimmedText(folder).empty() || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
    throw IECustomInstallFile(kBlankDestination, {componentName});
  CurrentFolder current(folder);
  if (UpperExtension(path) == ".EXE")
    RegisterProgram(path, componentName);
  else
    RegisterLibrary(path, componentName);
}

bool HasOLESelfRegister(const std::string& path) {
  fw::VersionInfoSource& source = fw::SystemVersionInfo();
  std::vector<std::uint8_t> block;
  if (source.Load(path, block).step != fw::VersionInfoSource::LoadStep::kDone) return false;
  const auto translation = source.Query(block, "\\VarFileInfo\\Translation");
  if (!translation || translation->size() < 4) return false;
  const auto& t = *translation;
  char key[64];
  std::snprintf(key, sizeof key, "\\StringFileInfo\\%04X%04X\\OLESelfRegister", t[0] | t[1] << 8,
                t[2] | t[3] << 8);
  return source.Query(block, key).has_value();
}

void RegisterHelp(const std::string& path) {
  RegisterHelpFile(SystemRegistry(), FileNameOf(path), FolderOf(path));
}

void CountSharedLibrary(const std::string& path, const std::string& componentName) {
  if (!IncrementSharedDLLCount(SystemRegistry(), ShortPathOf(path), path))
    throw IECustomInstallFile(
        "Could not open the key SharedDLLs key in the registry. File component %s. GetLastError return: %d",
        {componentName, static_cast<int>(GetLastError())});
}

// --- SystemFileInstall ---

bool SystemFileInstall::Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int SystemFileInstall::Decide(int overwriteType, const std::string& destination,
                              const std::string& archivedVersion, double archivedDate) {
  return FileInstallDecision(SharedVersionResource(), SystemFileDates(), overwriteType, destination,
                             archivedVersion, archivedDate);
}

namespace {
TPmbrCompress* extracting = nullptr;

// The headers last read from each archive, by path and offset. A split
// archive keeps them on disk 1: once a later disk is in the drive, the files
// still to come are taken out with these instead of asking for disk 1 back.
struct HeadersOfArchive {
  std::string Path;
  std::int32_t Offset = 0;
  TFileHeaders Headers;
};
std::vector<HeadersOfArchive>& HeadersRead() {
  static std::vector<HeadersOfArchive> read;
  return read;
}
void RememberHeaders(const TPmbrCompress& archive, const std::string& path) {
  auto& read = HeadersRead();
  auto found = std::find_if(read.begin(), read.end(), [&](const HeadersOfArchive& r) {
    return r.Offset == archive.Offset && _stricmp(r.Path.c_str(), path.c_str()) == 0;
  });
  if (found == read.end()) found = read.insert(read.end(), HeadersOfArchive{path, archive.Offset, {}});
  found->Headers.Clear();
  found->Headers.MultiDisk = archive.Headers().MultiDisk;
  for (const auto& header : archive.Headers().Items()) found->Headers.Add(std::make_unique<TFileHeader>(*header));
}
const TFileHeaders* RememberedHeaders(const std::string& path, std::int32_t offset) {
  for (const auto& r : HeadersRead())
    if (r.Offset == offset && _stricmp(r.Path.c_str(), path.c_str()) == 0) return &r.Headers;
  return nullptr;
}
}  // namespace

MainArchiveOffset& SharedArchiveOffset() {
  static MainArchiveOffset offset;
  return offset;
}

namespace {
// Where an archive's data starts in its file: after the program inside a
// self-extracting setup, at the start of any other file.
std::int32_t ArchiveOffsetOf(const std::string& archivePath) {
  const MainArchiveOffset& shared = SharedArchiveOffset();
  if (!shared.Path.empty() && _stricmp(shared.Path.c_str(), archivePath.c_str()) == 0) return shared.Offset;
  return 0;
}
}  // namespace

bool& SharedArchiveAborted() {
  static bool aborted = false;
  return aborted;
}

bool* CurrentArchiveAbort() { return extracting ? &extracting->Abort : &SharedArchiveAborted(); }

std::optional<TFileHeader> SystemFileInstall::ArchivedHeader(const std::string& archivePath,
                                                             std::int32_t uniqueID) {
  Win32ArchiveFiles disk;
  SystemArchiveVersions versions;
  TPmbrCompress archive(nullptr, disk, versions, ProcessApplicationMessages);
  archive.SetCompressedFile(archivePath);
  archive.Offset = ArchiveOffsetOf(archivePath);
  archive.ReadHeaders();
  RememberHeaders(archive, archivePath);
  int index = 0;
  if (!archive.FindUniqueID(uniqueID, index)) return std::nullopt;
  const auto& items = archive.Headers().Items();
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return std::nullopt;
  return *items[static_cast<std::size_t>(index)];
}

void SystemFileInstall::CheckArchive(const std::string& archivePath, const std::vector<std::string>& names) {
  Win32ArchiveFiles disk;
  if (!disk.Exists(archivePath)) return;
  SystemArchiveVersions versions;
  TPmbrCompress archive(nullptr, disk, versions, ProcessApplicationMessages);
  archive.SetCompressedFile(archivePath);
  archive.Offset = ArchiveOffsetOf(archivePath);
  archive.ReadHeaders();
  if (archive.Headers().MultiDisk) return;
  std::vector<std::string> list = names;
  archive.SetFilesToProcess(list);
  archive.CheckFiles();
}

bool SystemFileInstall::AskForDisk(const std::string& text) {
  return fw::MessageDlg(text, fw::TMsgDlgType::mtInformation, fw::mbOKCancel) == fw::mrOk;
}

namespace {

// The folder and those above it that do not exist yet, deepest first.
std::vector<std::string> MissingFolders(const std::string& folder) {
  std::vector<std::string> missing;
  for (std::string at = RemoveBackslash(folder);
       !at.empty() && GetFileAttributesA(at.c_str()) == INVALID_FILE_ATTRIBUTES;) {
    missing.push_back(at);
    const std::string parent = FolderOf(at);
    if (parent == at) break;
    at = parent;
  }
  return missing;
}

// The destination's files for one extraction. A temporary file is made
// beside a target only where its whole name fits the path limit: past it the
// system still makes the file but hands back its name cut short, so nothing
// could reach the file again and it would keep its folder from going. Each
// one made is remembered until it is put in place or deleted, so that a
// failed attempt removes what is left of it before the folders it made.
class DestinationFiles : public InUseRedirectFiles {
 public:
  using InUseRedirectFiles::InUseRedirectFiles;

  std::string CreateTemporaryFile(const std::string& folder) override {
    // The folder, a backslash, "bat", up to four hex digits and ".tmp".
    tooLong_ = !folder.empty() && folder.size() + 12 > MAX_PATH - 1;
    if (tooLong_) throw fw::EInOutError(ERROR_FILENAME_EXCED_RANGE, FailureText() + ": " + folder);
    std::string name = InUseRedirectFiles::CreateTemporaryFile(folder);
    made_.push_back(name);
    return name;
  }
  bool RenameOver(const std::string& from, const std::string& to) override {
    const bool moved = InUseRedirectFiles::RenameOver(from, to);
    if (moved) Forget(from);
    return moved;
  }
  bool Delete(const std::string& path) override {
    const bool deleted = InUseRedirectFiles::Delete(path);
    if (deleted) Forget(path);
    return deleted;
  }
  std::string FailureText() override {
    return tooLong_ ? SystemErrorText(ERROR_FILENAME_EXCED_RANGE) : InUseRedirectFiles::FailureText();
  }

  void RemoveTemporaryFiles() {
    for (const std::string& name : made_) DeleteFileA(name.c_str());
    made_.clear();
  }

 private:
  void Forget(const std::string& path) {
    made_.erase(std::remove(made_.begin(), made_.end(), path), made_.end());
  }

  std::vector<std::string> made_;
  bool tooLong_ = false;
};

}  // namespace

std::optional<PendingReplace> SystemFileInstall::Extract(TInstallFile& file) {
  const std::string archivePath = file.GetArchivePath();
  if (TrimmedText(archivePath).empty())
    throw IECustomInstallFile(
        "Cannot either compress or decompress the following file because it's archive file property is "
        "blank. "
        "File is :%s",
        {file.FileName});
  // A failed attempt takes away the folders it made: a destination that
  // cannot be written leaves no empty folders behind.
  const std::vector<std::string> missing = MissingFolders(file.GetDestDir());
  Win32ArchiveFiles disk;
  DestinationFiles files(disk);
  try {
    return ExtractInto(file, archivePath, disk, files);
  } catch (...) {
    // A file left in a folder keeps the folder: the files go first.
    files.RemoveTemporaryFiles();
    for (const std::string& folder : missing) RemoveDirectoryA(folder.c_str());
    throw;
  }
}

std::optional<PendingReplace> SystemFileInstall::ExtractInto(TInstallFile& file,
                                                             const std::string& archivePath,
                                                             ArchiveFileSystem& disk,
                                                             InUseRedirectFiles& files) {
  disk.CreateFolders(file.GetDestDir());
  SystemArchiveVersions versions;
  TPmbrCompress archive(nullptr, files, versions, ProcessApplicationMessages);
  archive.SetCompressedFile(archivePath);
  archive.ExtractDirectory = file.GetDestDir();
  archive.ExtractName = file.DestName;
  // The file has made its decision: the archive writes what it is given.
  archive.Overwrite = owAlways;
  std::vector<std::string> list = {file.IncludeFromDir + "\\" + file.FileName};
  archive.SetFilesToProcess(list);
  archive.Offset = ArchiveOffsetOf(archivePath);
  // Only when the archive's first file is gone, as when another disk is in
  // the drive: an archive that is there is read afresh.
  if (!disk.Exists(archivePath))
    if (const TFileHeaders* headers = RememberedHeaders(archivePath, archive.Offset)) archive.UseHeaders(*headers);
  archive.OnStatus = [&file](TPmbrCompress*, const TlzhFileStats& stats) { file.ArchiveStatus(stats); };
  archive.OnNewDisk = [&file](TPmbrCompress* sender, std::int32_t disk, std::string& path) {
    bool cancelled = false;
    path = file.NewDisk(disk, cancelled);
    if (cancelled) sender->Abort = true;
  };
  // An aborted extraction, by a cancel or a failure, stays known after the
  // archive is gone.
  struct Current {
    explicit Current(TPmbrCompress* archive) {
      extracting = archive;
      SharedArchiveAborted() = false;
    }
    ~Current() {
      if (extracting->Abort) SharedArchiveAborted() = true;
      extracting = nullptr;
    }
  } current(&archive);
  archive.ExtractFiles();
  if (archive.Abort) throw EAIUserAbort();
  if (files.Redirected().empty()) return std::nullopt;
  return files.Redirected().front();
}

void SystemFileInstall::ScheduleReplace(const PendingReplace& pending, const std::string& componentName) {
  setup::ScheduleReplace(pending, componentName);
}

void SystemFileInstall::RegisterHelp(const std::string& path) { setup::RegisterHelp(path); }

void SystemFileInstall::CountSharedLibrary(const std::string& path, const std::string& componentName) {
  setup::CountSharedLibrary(path, componentName);
}

void SystemFileInstall::SelfRegister(const std::string& path, const std::string& componentName) {
  setup::SelfRegister(path, componentName);
}

Registry& SystemFileInstall::SystemRegistry() { return setup::SystemRegistry(); }

const TCustomLoginInformation* SystemFileInstall::LoginOf(fw::TComponent* location) {
  auto* net = dynamic_cast<TCustomNetInstallLocation*>(location);
  return net ? &net->LoginInformation() : nullptr;
}

std::string SystemFileInstall::TemporaryPath() { return UniqueTempFileName(false); }

bool SystemFileInstall::Download(fw::TComponent* location, const std::string& remoteName,
                                 const std::string& localPath, const DownloadProgressFunction& progress) {
  auto* net = dynamic_cast<TCustomNetInstallLocation*>(location);
  if (!net) throw IEFileRel_NoNetLocation("Could not find a net install location for %s", {remoteName});
  // The blocks go to a file whose name is taken until the move: a download
  // cut short never lies under the name the install reads.
  const std::string partial = UniqueTempFileName(true);
  struct ProgressHook {
    TCustomNetInstallLocation& location;
    TDataReceivedEvent previous;
    ~ProgressHook() { location.OnDownloadProgress = previous; }
  } hook{*net, net->OnDownloadProgress};
  if (progress)
    net->OnDownloadProgress = [&progress](TEventObject*, const std::string& name, std::int32_t chunk,
                                          std::int32_t received, std::int32_t size, const void* block) {
      progress(chunk, received, size, name, block);
    };
  else
    net->OnDownloadProgress = nullptr;
  bool whole = false;
  try {
    whole = net->Download(remoteName, partial);
  } catch (...) {
    DeleteFileA(partial.c_str());
    throw;
  }
  if (!whole) {
    DeleteFileA(partial.c_str());
    return false;
  }
  if (!MoveFileExA(partial.c_str(), localPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
    DeleteFileA(partial.c_str());
    throw ENIL_WriteDestFile(
        fw::Format("%s could not write to the local dest file %s", {net->Name(), localPath}));
  }
  return true;
}

void SystemFileInstall::RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

}  // namespace setup
