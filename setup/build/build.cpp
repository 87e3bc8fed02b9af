#include "setup/build/build.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "framework/exceptions.h"
#include "setup/archive/pmbr_compress.h"
#include "setup/base/exceptions.h"
#include "setup/build/busy_cursor.h"
#include "setup/base/net_file_list.h"
#include "setup/base/text_routines.h"
#include "setup/paths/path_specifiers.h"

namespace setup {
namespace {

constexpr std::size_t kCopyChunk = 8192;
constexpr char kSetupProgram[] = "setup.exe";
constexpr char kSetupArchive[] = "setup.1";
constexpr char kFilesArchive[] = "files.1";

std::string UpperText(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// `folder` and `tail` joined by exactly one backslash.
std::string JoinPath(const std::string& folder, const std::string& tail) {
  std::string rest = tail;
  while (!rest.empty() && (rest.front() == '\\' || rest.front() == '/')) rest.erase(0, 1);
  return AddBackslash(RemoveBackslash(folder)) + rest;
}

void Report(TInstallContainer& object, int code, TEventObject* parameter) {
  if (auto* installObject = dynamic_cast<TInstallObject*>(&object);
      installObject && installObject->Container())
    installObject->Container()->DoInformationEventControl(&object, code, parameter);
}

// Copies all of `from` over `to`; false when either cannot be opened or the
// copy comes out short (a full disk).
bool CopyWholeFile(ArchiveFileSystem& files, const std::string& from, const std::string& to) {
  auto source = files.Open(from, ArchiveOpenMode::ReadShared);
  if (!source) return false;
  auto target = files.Open(to, ArchiveOpenMode::Create);
  if (!target) return false;
  std::vector<std::uint8_t> chunk(kCopyChunk);
  for (;;) {
    const std::size_t n = source->Read(chunk.data(), chunk.size());
    if (n == 0) return true;
    if (target->Write(chunk.data(), n) != n) return false;
  }
}

// Appends all of `from` to `target`; false when it cannot be read or the
// append comes out short.
bool AppendWholeFile(ArchiveFileSystem& files, const std::string& from, ArchiveStream& target) {
  auto source = files.Open(from, ArchiveOpenMode::ReadShared);
  if (!source) return false;
  std::vector<std::uint8_t> chunk(kCopyChunk);
  for (;;) {
    const std::size_t n = source->Read(chunk.data(), chunk.size());
    if (n == 0) return true;
    if (target.Write(chunk.data(), n) != n) return false;
  }
}

std::int64_t SizeOf(ArchiveFileSystem& files, const std::string& path) {
  auto stream = files.Open(path, ArchiveOpenMode::ReadShared);
  return stream ? stream->Size() : -1;
}

// A file with its own net archive: its overwrite rule needs the archived
// version or date of that one file.
bool HasOwnNetArchive(const TCustomInstallFile& file) {
  const auto* installFile = dynamic_cast<const TInstallFile*>(&file);
  return installFile && (installFile->OverwriteMode == owVersion || installFile->OverwriteMode == owDate ||
                         installFile->OverwriteMode == owVersionDate);
}

std::int32_t AllFilesSize(const TFileContainer& container) {
  std::int64_t total = 0;
  for (auto* child : container.Children()) {
    if (auto* file = dynamic_cast<TCustomInstallFile*>(child)) total += file->FileSize();
    if (auto* sub = dynamic_cast<TFileContainer*>(child)) total += AllFilesSize(*sub);
  }
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(total, 0, std::numeric_limits<std::int32_t>::max()));
}

void CollectFiles(const TFileContainer& container, std::vector<TCustomInstallFile*>& files) {
  for (auto* child : container.Children()) {
    if (auto* file = dynamic_cast<TCustomInstallFile*>(child)) files.push_back(file);
    if (auto* sub = dynamic_cast<TFileContainer*>(child)) CollectFiles(*sub, files);
  }
}

// Runs `body` with the container in `state`; afterwards, also on failure,
// the state goes back to none and the end of the copy is broadcast.
template <class Body>
void InState(TFileContainer& container, TInstallFileState state, Body body) {
  container.EnterState(state);
  try {
    body();
  } catch (...) {
    container.EnterState(ifsNone);
    try {
      container.Broadcast(&container, ieCopyFinished, nullptr);
    } catch (...) {
    }
    throw;
  }
  container.EnterState(ifsNone);
  container.Broadcast(&container, ieCopyFinished, nullptr);
}

// The file is in `state` while it lives: its progress reports go out under
// the matching code.
class FileInState {
 public:
  FileInState(TCustomInstallFile* file, TInstallFileState state) : file_(file) {
    if (file_) file_->EnterState(state);
  }
  ~FileInState() {
    if (file_) file_->EnterState(ifsNone);
  }
  FileInState(const FileInState&) = delete;
  FileInState& operator=(const FileInState&) = delete;

 private:
  TCustomInstallFile* file_;
};

}  // namespace

TCompressOptions CompressOptionsFor(TDistributeType type) {
  switch (type) {
    case dtWeb:
      return coRelocateArchives | coReserved | coForceFilesNet | coIncludeAll;
    case dtTraditionalNet:
      return coRelocateArchives | coReserved | coIncludeAll;
    case dtTraditional:
    default:
      return coRelocateArchives | coReserved | coForceNetFilesLocal | coIncludeAll;
  }
}

void AddPresetupFile(std::vector<std::string>& list, const std::string& path, bool unique) {
  if (unique) {
    const std::string name = UpperText(FileNameOf(path));
    for (const auto& entry : list)
      if (UpperText(FileNameOf(entry)) == name) return;
  }
  list.push_back(path);
}

std::string ReadBuildFolder(ArchiveFileSystem& files, const std::string& programFolder) {
  const std::string path = JoinPath(programFolder, "BUILD.INF");
  auto stream = files.Exists(path) ? files.Open(path, ArchiveOpenMode::ReadShared) : nullptr;
  if (!stream)
    throw IEInstall(
        "Need to have a BUILD.INF file in this directory with the first line specifying the build directory");
  std::string text(static_cast<std::size_t>(std::max<std::int64_t>(stream->Size(), 0)), '\0');
  text.resize(stream->Read(text.data(), text.size()));
  const std::string line = TrimmedText(text.substr(0, text.find_first_of("\r\n")));
  if (line.empty())
    throw IEInstall("Must be 1 line in BUILD.INF. This line should specify the build directory");
  return line;
}

TDistributionBuild::TDistributionBuild(TCustomInstall& install, const BuildSettings& settings,
                                       BuildSystem& system)
    : install_(install), settings_(settings), system_(system) {}

// --- the whole build ---

void TDistributionBuild::Build(const std::string& program, const std::string& folder, bool selfExtracting) {
  if (selfExtracting && !settings_.UseLoadingProgram)
    throw IEInstall(
        "Cannot build a stand alone executable if the UseLoadingProgram property of the TInstall is set to "
        "False");
  const bool netList = settings_.DistributeType != dtTraditional;
  // The net file list holds each name in a field of 40 bytes: a longer name
  // stops the build before anything is written.
  if (netList) CheckNetNames();
  wholeBuild_ = true;
  MakeSetupProgram(folder, program);

  TCustomPathSpecifier* savedType = install_.ArchiveFileType();
  const std::string savedFile = install_.ArchiveFile();
  install_.SetArchiveFileType(nullptr);
  install_.SetArchiveFile(JoinPath(folder, kFilesArchive));
  try {
    Compress(install_, CompressOptionsFor(settings_.DistributeType));
    if (netList) WriteNetFileList();
  } catch (...) {
    install_.SetArchiveFileType(savedType);
    install_.SetArchiveFile(savedFile);
    throw;
  }
  install_.SetArchiveFileType(savedType);
  install_.SetArchiveFile(savedFile);
  if (selfExtracting) WriteSelfExtractor(folder);
}

void TDistributionBuild::CheckNetNames() {
  std::vector<TCustomInstallFile*> files;
  CollectFiles(install_, files);
  for (auto* file : files)
    if (file->Name().size() >= kNetFileNameField)
      throw IEInstall("The name %s is too long for the remote list of files", {file->Name()});
}

void TDistributionBuild::MakeSetupProgram(const std::string& folder, const std::string& program) {
  ArchiveFileSystem& files = *system_.Files;
  if (!settings_.UseLoadingProgram) {
    files.CreateFolders(RemoveBackslash(folder));
    const std::string target = JoinPath(folder, FileNameOf(program));
    if (!CopyWholeFile(files, program, target))
      throw IEInstall("Cannot copy the installation application from %s to %s", {program, target});
    return;
  }
  try {
    MakeSetupArchive(folder, program);
  } catch (const EpcDiskFull&) {
    throw IEInstall(
        "The disk that you have specified has been determined to be either too full or is corrupt while "
        "trying to copy the SETUP.1 archive file. You should probably clear all files off of the drive. "
        "Minimally, you should leave enough space on the drive for the SETUP.1 archive file.");
  }
  std::string vendor;
  try {
    vendor = FindVendorFolder();
  } catch (const IENoPembrinPath&) {
    throw IEInstall(
        "The HKEY_LOCAL_MACHINE | %s key in the registry is either missing or points to an invalid Pembrin "
        "directory",
        {std::string("\\") + kVendorLibraryKey});
  }
  const std::string loader = vendor + "\\PembrinLoadProgram.exe";
  if (!files.Exists(loader)) throw IEInstall("The loader program %s was not found", {loader});
  const std::string target = JoinPath(folder, kSetupProgram);
  if (!CopyWholeFile(files, loader, target))
    throw IEInstall("Cannot copy the loading program from %s to %s", {loader, target});
}

std::string TDistributionBuild::FindVendorFolder() {
  std::string searchPath;
  if (system_.SystemRegistry)
    searchPath =
        RegReadString(*system_.SystemRegistry, kCurrentUser, kVendorLibraryKey, kVendorLibraryValue, "");
  std::vector<std::string> folders;
  SplitFields(searchPath, ';', folders);
  for (const auto& entry : folders) {
    const std::string folder = RemoveBackslash(TrimmedText(entry));
    if (folder.empty()) continue;
    if (system_.Files->Exists(folder + "\\P32V35.TXT")) return folder;
  }
  throw IENoPembrinPath("The library path of the build tool names no folder holding P32V35.TXT");
}

void TDistributionBuild::MakeSetupArchive(const std::string& folder, const std::string& program) {
  if (TrimmedText(program).empty()) throw IEInstall("Cannot create setup file. Executable is blank");
  if (!system_.Files->Exists(program))
    throw IEInstall("TInstall: Cannot find the executable file %s", {program});
  const std::string archive = JoinPath(folder, kSetupArchive);
  std::int32_t uniqueID = 0;
  AddToArchive(archive, program, false, uniqueID++, nullptr);
  for (const auto& entry : settings_.PresetupFiles) AddToArchive(archive, entry, true, uniqueID++, nullptr);
}

// --- compress ---

void TDistributionBuild::AddToArchive(const std::string& archive, const std::string& source, bool append,
                                      std::int32_t uniqueID, TInstallFile* file) {
  TPmbrCompress compressor(nullptr, *system_.Files, *system_.Versions, system_.ProcessMessages);
  compressor.SetCompressedFile(archive);
  std::vector<std::string> list = {source};
  compressor.SetFilesToProcess(list);
  if (TreeHooks().ArchiveStarting) TreeHooks().ArchiveStarting();
  compressor.OnStatus = [file](TPmbrCompress* sender, const TlzhFileStats& stats) {
    auto& hooks = TreeHooks();
    if (hooks.ArchiveAborted && hooks.ArchiveAborted()) sender->Abort = true;
    if (file) file->ArchiveStatus(stats);
  };
  // A whole build starts each archive anew at its first add; an operation
  // started on its own adds to what the archive holds, as it was asked.
  const bool fresh = wholeBuild_ && begunArchives_.insert(UpperText(archive)).second;
  compressor.AddFiles(append && !fresh, uniqueID);
  if (compressor.Abort) throw EAIUserAbort();
}

fw::TComponent* TDistributionBuild::NetLocationOf(TFileRelated& object) const {
  if (object.NetLocation()) return object.NetLocation();
  if (dynamic_cast<TCustomInstallFile*>(&object))
    if (auto* container = dynamic_cast<TFileRelated*>(object.Container());
        container && container->NetLocation())
      return container->NetLocation();
  return install_.NetLocation();
}

std::string TDistributionBuild::NetFolderName(TFileRelated& object) {
  fw::TComponent* location = NetLocationOf(object);
  const TCustomLoginInformation* login = location && system_.LoginOf ? system_.LoginOf(location) : nullptr;
  if (!login) throw IEFileRel_NoNetLocation("Could not find a net install location for %s", {object.Name()});
  // A folder whose every character is unsafe counts as blank, so the path
  // never ends in a bare backslash.
  std::string directory = TrimmedText(MakeFileNameSafe(login->Directory));
  if (directory.empty()) directory = login->Protocol == ipFTP ? "FTP Root directory" : "HTTP Root directory";
  return MakeFileNameSafe(login->Hostname) + "\\" + directory;
}

void TDistributionBuild::Compress(TFileContainer& container, TCompressOptions options) {
  if ((options & coForceNetFilesLocal) && (options & coForceFilesNet))
    throw IEFileContainer("Cannot pass both coForceNetFilesLocal and coForceFilesNet to Compress");
  if (&container == &install_) {
    for (auto* file : AllInstallFiles()) {
      file->BuildMark = 0;
      file->NetArchiveBuilt = false;
      file->BuiltArchivePath.clear();
    }
  }
  InState(container, ifsCompress, [&] {
    if (container.OnBeforeProcess) container.OnBeforeProcess(&container);
    if (!container.Include) return;
    Report(container, icBeforeInstallObjects, &container);
    ReadSourceInfo(container);
    container.TotalBytes = (options & coIncludeAll) ? AllFilesSize(container) : container.TotalSize();
    container.BytesDone = 0;

    const std::string folder = FolderOf(container.GetArchivePath());
    try {
      container.LocalArchivePath =
          JoinPath(folder, NetFolderName(container) + "\\" + container.Name() + ".1");
    } catch (const IEFileRel_NoNetLocation&) {
      if (!(options & coForceNetFilesLocal)) throw;
      container.LocalArchivePath.clear();
    }

    if (container.AddToArchive == lzcOverwrite) {
      ArchiveFileSystem& files = *system_.Files;
      const auto removeArchive = [&](const std::string& path) {
        if (files.Exists(path) && !files.Delete(path))
          throw IEFileContainer("%s cannot delete the archive file %s", {container.Name(), path});
      };
      removeArchive(ChangeFileExt(container.GetArchivePath(), ".1"));
      bool hasNet = false;
      for (auto* child : container.Children())
        if (auto* file = dynamic_cast<TCustomInstallFile*>(child))
          hasNet = hasNet || file->Net || (options & coForceFilesNet);
      if (hasNet && !container.LocalArchivePath.empty()) removeArchive(container.LocalArchivePath);
    }

    const std::vector<TInstallContainer*> children = container.Children();
    for (auto* child : children)
      if (auto* related = dynamic_cast<TFileRelated*>(child)) CompressChild(container, *related, options);

    if (container.OnAfterProcess) container.OnAfterProcess(&container);
    Report(container, icAfterInstallObjects, &container);
  });
}

void TDistributionBuild::CompressChild(TFileContainer& container, TFileRelated& child,
                                       TCompressOptions options) {
  const TlzhCommand savedAdd = child.AddToArchive;
  const std::string savedFile = child.ArchiveFile();
  TCustomPathSpecifier* savedType = child.ArchiveFileType();
  const bool savedInclude = child.Include;
  const auto restore = [&] {
    child.AddToArchive = savedAdd;
    child.SetArchiveFile(savedFile);
    child.SetArchiveFileType(savedType);
    child.Include = savedInclude;
  };
  try {
    if (options & coIncludeAll) child.Include = true;
    auto* file = dynamic_cast<TCustomInstallFile*>(&child);
    const bool net = file && !(options & coForceNetFilesLocal) && (child.Net || (options & coForceFilesNet));
    const std::string folder = FolderOf(container.GetArchivePath());
    if (net) {
      const auto ownArchive = [&] {
        return JoinPath(folder, NetFolderName(child) + "\\" + child.Name() + ".1");
      };
      if (child.NetLocation()) {
        child.AddToArchive = lzcOverwrite;
        child.SetArchiveFileType(nullptr);
        child.SetArchiveFile(ownArchive());
      } else {
        child.AddToArchive = lzcOnlyAdd;
        child.SetArchiveFileType(nullptr);
        child.SetArchiveFile(HasOwnNetArchive(*file) ? ownArchive() : container.LocalArchivePath);
      }
      file->NetArchiveBuilt = true;
    } else if (HasRole(savedType, TSpecifierRole::ContainerArchiveFile)) {
      child.AddToArchive = lzcOnlyAdd;
    } else if (dynamic_cast<TpsInstallSource*>(savedType)) {
      // The install looks for it beside its own archive.
      child.SetArchiveFile(JoinPath(FolderOf(install_.GetArchivePath()), savedFile));
      child.AddToArchive = lzcOverwrite;
      child.SetArchiveFileType(nullptr);
    } else if (options & coRelocateArchives) {
      // A path on the build machine moves under the build folder, drive
      // and all; a blank one stays blank and fails as such.
      const std::string path = child.GetArchivePath();
      if (!TrimmedText(path).empty()) {
        child.SetArchiveFile(JoinPath(folder, TextAfterColon(path)));
        child.AddToArchive = lzcOverwrite;
        child.SetArchiveFileType(nullptr);
      }
    }
    if (auto* sub = dynamic_cast<TFileContainer*>(&child)) {
      Compress(*sub, options);
    } else if (auto* installFile = dynamic_cast<TInstallFile*>(&child)) {
      CompressFile(*installFile);
    } else if (file) {
      throw IECustomInstallFile("%s cannot be compressed because it has no source file", {child.Name()});
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TDistributionBuild::CompressFile(TInstallFile& file) {
  try {
    const FileInState compressing(&file, ifsCompress);
    if (file.OnBeforeCompress) file.OnBeforeCompress(&file);
    Report(file, icBeforeCompress, &file);
    const std::string archive = file.GetArchivePath();
    if (TrimmedText(archive).empty())
      throw IECustomInstallFile(
          "Cannot either compress or decompress the following file because it's archive file property is "
          "blank. File is :%s",
          {file.FileName});
    if (file.Include) {
      system_.Files->CreateFolders(FolderOf(archive));
      AddToArchive(archive, file.IncludeFromDir + "\\" + file.FileName, file.AddToArchive == lzcOnlyAdd,
                   file.UniqueID(), &file);
      file.BuildMark = 2;
      file.BuiltArchivePath = archive;
      if (file.OnAfterCompress) file.OnAfterCompress(&file);
      Report(file, icAfterCompress, &file);
    }
  } catch (const fw::EAbort&) {
  } catch (...) {
    try {
      file.Broadcast(&file, ieCopyFinished, nullptr);
    } catch (...) {
    }
    throw;
  }
  file.Broadcast(&file, ieCopyFinished, nullptr);
}

void TDistributionBuild::ReadSourceInfo(TInstallFile& file) {
  ArchiveFileSystem& files = *system_.Files;
  const std::string path = file.IncludeFromDir + "\\" + file.FileName;
  auto stream = files.Open(path, ArchiveOpenMode::ReadShared);
  double date = 0;
  if (!stream || !files.GetFileDate(path, date))
    throw IECustomInstallFile(
        "Could not open or find the following file when trying to read the Size, Date, and Version :%s",
        {path});
  file.FileDate = date;
  file.Size = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(stream->Size(), 0, std::numeric_limits<std::int32_t>::max()));
  file.Version = system_.Versions->FileVersionOf(path).substr(0, kNetFileVersionField);
}

void TDistributionBuild::ReadSourceInfo(TFileContainer& container) {
  BusyCursor busy;
  const std::vector<TInstallContainer*> children = container.Children();
  for (auto* child : children)
    if (auto* file = dynamic_cast<TInstallFile*>(child)) ReadSourceInfo(*file);
  for (auto* child : children)
    if (auto* sub = dynamic_cast<TFileContainer*>(child)) ReadSourceInfo(*sub);
}

// --- files installed unpacked ---

void TDistributionBuild::CopyUnpacked(TInstallFile& file) {
  try {
    const FileInState copying(&file, ifsCopying);
    if (file.OnBeforeCopy) file.OnBeforeCopy(&file);
    Report(file, icBeforeCopy, &file);
    if (file.Include) {
      const std::string folder = file.GetDestDir();
      if (TrimmedText(folder).empty())
        throw IECustomInstallFile(
            "Cannot compress,copy, or install the following file because it's destination directory is "
            "blank. "
            "File is :%s",
            {file.Name()});
      system_.Files->CreateFolders(RemoveBackslash(folder));
      TPmbrCompress copier(nullptr, *system_.Files, *system_.Versions, system_.ProcessMessages);
      copier.Overwrite = owAlways;
      if (TreeHooks().ArchiveStarting) TreeHooks().ArchiveStarting();
      copier.OnStatus = [&file](TPmbrCompress* sender, const TlzhFileStats& stats) {
        auto& hooks = TreeHooks();
        if (hooks.ArchiveAborted && hooks.ArchiveAborted()) sender->Abort = true;
        file.ArchiveStatus(stats);
      };
      copier.CopyFile(file.IncludeFromDir + "\\" + file.FileName, file.DestinationPath());
      if (copier.Abort) throw EAIUserAbort();
      if (file.OnAfterCopy) file.OnAfterCopy(&file);
      Report(file, icAfterCopy, &file);
    }
  } catch (...) {
    try {
      file.Broadcast(&file, ieCopyFinished, nullptr);
    } catch (...) {
    }
    throw;
  }
  file.Broadcast(&file, ieCopyFinished, nullptr);
}

void TDistributionBuild::CopyUnpacked(TFileContainer& container) {
  InState(container, ifsCopying, [&] {
    if (!container.Include) return;
    Report(container, icBeforeInstallObjects, &container);
    container.TotalBytes = container.TotalSize();
    container.BytesDone = 0;
    const std::vector<TInstallContainer*> children = container.Children();
    for (auto* child : children)
      if (auto* file = dynamic_cast<TInstallFile*>(child)) CopyUnpacked(*file);
    for (auto* child : children)
      if (auto* sub = dynamic_cast<TFileContainer*>(child)) CopyUnpacked(*sub);
    Report(container, icAfterInstallObjects, &container);
  });
}

// --- the files of the distribution ---

void TDistributionBuild::WriteNetFileList() {
  std::vector<TNetFileRecord> records;
  for (auto* file : AllInstallFiles()) {
    if (file->BuildMark != 1 && file->BuildMark != 2) continue;
    TNetFileRecord record;
    record.Size = file->Size;
    record.Name = file->Name();
    if (auto* installFile = dynamic_cast<TInstallFile*>(file)) {
      record.Date = installFile->FileDate;
      record.Version = installFile->Version;
    }
    records.push_back(record);
  }
  // Encoded first: a name too long for its field leaves no list behind.
  const std::vector<std::uint8_t> bytes = EncodeNetFileList(records);
  const std::string folder = JoinPath(FolderOf(install_.GetArchivePath()), NetFolderName(install_));
  ArchiveFileSystem& files = *system_.Files;
  files.CreateFolders(folder);
  const std::string path = folder + "\\filelist.lst";
  auto stream = files.Open(path, ArchiveOpenMode::Create);
  if (!stream || stream->Write(bytes.data(), bytes.size()) != bytes.size())
    throw IEInstall("Cannot create the file %s", {path});
}

void TDistributionBuild::WriteSelfExtractor(const std::string& folder) {
  ArchiveFileSystem& files = *system_.Files;
  const std::string program = JoinPath(folder, kSetupProgram);
  const std::string setupArchive = JoinPath(folder, kSetupArchive);
  const std::string filesArchive = JoinPath(folder, kFilesArchive);
  const auto cannotLoad = [&](const std::string& part) {
    return IEInstall("Cannot create the self-extracting exe because %s could not be loaded onto %s",
                     {part, program});
  };
  auto target = files.Open(program, ArchiveOpenMode::ReadWriteShared);
  if (!target) throw cannotLoad(setupArchive);
  TExtractionInfo info;
  target->Seek(target->Size());
  info.SetupStart = target->Position();
  if (!AppendWholeFile(files, setupArchive, *target)) throw cannotLoad(setupArchive);
  info.SetupEnd = target->Position() - 1;
  if (info.SetupEnd < info.SetupStart) throw cannotLoad(setupArchive);
  // An empty "files.1" would give a part that ends before it starts.
  if (files.Exists(filesArchive) && SizeOf(files, filesArchive) > 0) {
    info.FilesStart = target->Position();
    if (!AppendWholeFile(files, filesArchive, *target)) throw cannotLoad(filesArchive);
    info.FilesEnd = target->Position() - 1;
  }
  const auto trailer = EncodeExtractionInfo(info);
  if (target->Write(trailer.data(), trailer.size()) != trailer.size()) throw cannotLoad(setupArchive);
}

void ConnectStateOperations(BuildSystem& system) {
  BuildSystem* machine = &system;
  const auto withBuild = [machine](const std::string& name, const auto& operation) {
    TCustomInstall* install = FindInstall();
    if (!install) throw IEInstall("%s cannot be compressed or copied without a TInstall", {name});
    BuildSettings settings;
    settings.DistributeType = install->DistributeType();
    TDistributionBuild build(*install, settings, *machine);
    operation(build);
  };
  const auto sourceFile = [](TCustomInstallFile& file) -> TInstallFile& {
    auto* installFile = dynamic_cast<TInstallFile*>(&file);
    if (!installFile)
      throw IECustomInstallFile("%s cannot be compressed or copied because it has no source file",
                                {file.Name()});
    return *installFile;
  };
  auto& hooks = TreeHooks();
  hooks.Compress = [withBuild](TFileContainer& container) {
    withBuild(container.Name(), [&](TDistributionBuild& build) { build.Compress(container, 0); });
  };
  hooks.CopyUnpacked = [withBuild](TFileContainer& container) {
    withBuild(container.Name(), [&](TDistributionBuild& build) { build.CopyUnpacked(container); });
  };
  hooks.CompressFile = [withBuild, sourceFile](TCustomInstallFile& file) {
    TInstallFile& source = sourceFile(file);
    withBuild(file.Name(), [&](TDistributionBuild& build) { build.CompressFile(source); });
  };
  hooks.CopyUnpackedFile = [withBuild, sourceFile](TCustomInstallFile& file) {
    TInstallFile& source = sourceFile(file);
    withBuild(file.Name(), [&](TDistributionBuild& build) { build.CopyUnpacked(source); });
  };
}

bool RunBuild(TCustomInstall& install, const BuildSettings& settings, BuildSystem& system,
              const std::string& program) {
  try {
    const std::string folder = ReadBuildFolder(*system.Files, FolderOf(program));
    TDistributionBuild(install, settings, system).Build(program, folder, true);
    return true;
  } catch (const fw::EAbort&) {
    return false;
  } catch (const std::exception& error) {
    if (system.ShowError) system.ShowError(error.what());
    return false;
  }
}

}  // namespace setup
