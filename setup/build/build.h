// The build of a distribution on the build machine (-b) and the copy of a
// self-extracting setup onto floppies (-f). The build compresses every file
// of the install tree into archives, makes "setup.exe" (the loading program)
// and "setup.1" (the installer and its helper files), writes the net file
// list of a net distribution and joins it all into one self-extracting
// program. Everything it touches on the machine comes through BuildSystem,
// so the same code runs on real files and on in-memory disks.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "setup/archive/archive_files.h"
#include "setup/base/extraction_info.h"
#include "setup/base/registry_routines.h"
#include "setup/install/install_file.h"
#include "setup/install/install_tree.h"
#include "setup/net/location.h"

namespace setup {

// Compress options: a set of bits handed on to nested containers.
using TCompressOptions = unsigned;
// A local file archived by path gets its archive re-rooted under the folder
// of its container's archive.
constexpr TCompressOptions coRelocateArchives = 2;
// Carried along; changes nothing.
constexpr TCompressOptions coReserved = 4;
// Net files are treated as local files; a missing net location is tolerated.
constexpr TCompressOptions coForceNetFilesLocal = 8;
// Every file is treated as a net file.
constexpr TCompressOptions coForceFilesNet = 16;
// Objects with Include False are compressed too and counted in the totals.
constexpr TCompressOptions coIncludeAll = 32;

// What the product's description keeps about building its distribution,
// beside the install. The build reads none of it: its folder comes from
// "BUILD.INF".
struct TBuildInfo {
  std::string AppName;
  std::string AppURL;
  std::string BuildDirectory = "c:\\build";
  std::string CredentialsFile;
  std::string OCXName = "pbsetup";
  std::string PrivateKeyFile;
  bool SignCode = false;
  std::string URLPath;
  bool operator==(const TBuildInfo&) const = default;
};

// 46 for dtTraditional, 54 for dtWeb, 38 for dtTraditionalNet.
TCompressOptions CompressOptionsFor(TDistributeType type);

// What the install run hands the build besides its tree.
struct BuildSettings {
  TDistributeType DistributeType = dtTraditional;
  // "setup.exe" is the loading program, and the installer goes into "setup.1".
  bool UseLoadingProgram = true;
  // Files the loading program unpacks beside the installer, in order.
  std::vector<std::string> PresetupFiles;
};

// Adds `path` to the list; with `unique`, not when an entry with the same
// file name (case ignored) is listed already.
void AddPresetupFile(std::vector<std::string>& list, const std::string& path, bool unique);

// The machine the build and the transfer work on.
struct BuildSystem {
  ArchiveFileSystem* Files = nullptr;
  ArchiveVersions* Versions = nullptr;
  // HKEY_CURRENT_USER holds the vendor's library search path.
  Registry* SystemRegistry = nullptr;
  std::function<void()> ProcessMessages;
  // A confirmation box with OK and Cancel; true for OK.
  std::function<bool(const std::string& text)> Confirm;
  // An error box.
  std::function<void(const std::string& text)> ShowError;
  // The login of a network location component; null when it is none.
  std::function<const TCustomLoginInformation*(fw::TComponent* location)> LoginOf;
};

// Where the vendor's library search path is kept (HKEY_CURRENT_USER).
inline constexpr char kVendorLibraryKey[] = "Software\\Corvath\\P32V35";
inline constexpr char kVendorLibraryValue[] = "LibraryPath";

// The first line of "BUILD.INF" in `programFolder`: the build folder.
std::string ReadBuildFolder(ArchiveFileSystem& files, const std::string& programFolder);

class TDistributionBuild {
 public:
  TDistributionBuild(TCustomInstall& install, const BuildSettings& settings, BuildSystem& system);

  // The whole build of `program` (the installer) into `folder`.
  void Build(const std::string& program, const std::string& folder, bool selfExtracting);
  void MakeSetupProgram(const std::string& folder, const std::string& program);
  void MakeSetupArchive(const std::string& folder, const std::string& program);
  // The vendor folder holding "P32V35.TXT", without trailing backslash.
  std::string FindVendorFolder();

  // Compresses the container's files and sub-containers; the install itself
  // first clears every file's build marks.
  void Compress(TFileContainer& container, TCompressOptions options);
  void CompressFile(TInstallFile& file);
  void ReadSourceInfo(TInstallFile& file);
  void ReadSourceInfo(TFileContainer& container);
  // Copies files that are installed unpacked to their destinations.
  void CopyUnpacked(TInstallFile& file);
  void CopyUnpacked(TFileContainer& container);

  // Host folder + "\" + directory folder of the object's net location.
  std::string NetFolderName(TFileRelated& object);
  // "filelist.lst" of the files archived by this build.
  void WriteNetFileList();
  // Appends "setup.1", "files.1" (when built) and the trailer to "setup.exe".
  void WriteSelfExtractor(const std::string& folder);

 private:
  fw::TComponent* NetLocationOf(TFileRelated& object) const;
  void CompressChild(TFileContainer& container, TFileRelated& child, TCompressOptions options);
  void AddToArchive(const std::string& archive, const std::string& source, bool append, std::int32_t uniqueID,
                    TInstallFile* file);
  void CheckNetNames();

  TCustomInstall& install_;
  const BuildSettings& settings_;
  BuildSystem& system_;
  // Set by Build: the archives of a whole build are all written afresh.
  bool wholeBuild_ = false;
  // The archives this whole build has begun (upper-cased paths): an add goes
  // onto one of them, never onto what an earlier build left under the same
  // name.
  std::set<std::string> begunArchives_;
};

// Lets the State setters of the install tree start the build's compress
// (without options) and copy of files unpacked on `system`, for the install
// of this process; without an install they raise.
void ConnectStateOperations(BuildSystem& system);

// -b: reads "BUILD.INF" beside `program` and builds into the folder it
// names; any failure is shown in an error box. False when it failed.
bool RunBuild(TCustomInstall& install, const BuildSettings& settings, BuildSystem& system,
              const std::string& program);

// What a self-extracting setup of `fileSize` bytes ending in `trailer` puts on
// the floppies: the loading program, "setup.1", and the embedded archive.
// A trailer whose parts do not lie in order inside the file raises the
// extraction-info error.
struct FloppyPlan {
  std::int64_t LoaderSize = 0;                // bytes 0 .. LoaderSize-1 become "setup.exe"
  std::int64_t SetupStart = 0, SetupEnd = 0;  // inclusive, become "setup.1"
  bool HasFiles = false;
  std::int64_t FilesStart = 0, FilesEnd = 0;  // inclusive, split as "files.1", ...
};
FloppyPlan PlanFloppyTransfer(std::span<const std::uint8_t> trailer, std::int64_t fileSize,
                              const std::string& path);

// -f: copies the self-extracting setup the install runs from (its -e value)
// onto the floppies in `target`, asking for every further disk. Raises on
// failure; "Aborted by user" when a disk prompt is cancelled.
void TransferToFloppies(TCustomInstall& install, BuildSystem& system, const std::string& target = "a:");
// The same with any failure shown in an error box. False when it failed.
bool RunTransferToFloppies(TCustomInstall& install, BuildSystem& system, const std::string& target = "a:");

}  // namespace setup
