// The rules of installing one file and of the install run that need no
// system: whether a file is replaced, what its properties force, the names a
// file in use is written under, the setup command line, the restart command,
// the batch files, the unfinished list and what goes into the registry.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "setup/base/overwrite_decision.h"
#include "setup/base/registry_routines.h"
#include "setup/install/install_tree.h"

namespace setup {

// The upper-cased extension of the file name with its ".", "" when it has none.
std::string UpperExtension(const std::string& path);

// --- Overwrite decision ---

// The decision for an archived file against its destination (see
// IsFileNewerByVersion), except that a missing destination is always
// replaced: keeping a file that is not there would register and log it all
// the same.
int FileInstallDecision(TVersionResource& reader, FileDates& files, int overwriteType,
                        const std::string& destination, const std::string& archivedVersion,
                        double archivedDate);
// Decisions 0 and 2 replace the destination, 1 and 3 keep it.
bool ReplacesFile(int decision);

// --- Property rules ---

enum TInstallFileType : std::uint8_t {
  iftNormal,
  iftJustADLL,
  iftApplicationSpecificDLL,
  iftVendorSharedDLL,
  iftSystemWideDLL
};

// The destination folder kinds the rules look at.
enum class DestKind : std::uint8_t { Other, Window, HDBDLL, System, MainInstall, CommonFiles };

struct InstallFileProperties {
  std::string FileName, DestName, IncludeFromDir, DestDir;
  DestKind DestDirKind = DestKind::Other;
  TInstallFileType FileType = iftNormal;
  bool ActiveX = false;
  bool RegisterAsHelp = false;
  bool UpdateDLLCounter = false;
  TOverwriteType OverwriteMode = owAlways;
  bool operator==(const InstallFileProperties&) const = default;
};

struct PropertyRuleInputs {
  // Source paths (folder + "\" + file name) of the other files in the
  // file's container, when it has one.
  std::vector<std::string> SiblingSources;
  bool HasContainer = false;
  bool ContainerChanged = false;
  // Whether the source file's version information asks for self-registration.
  std::function<bool(const std::string& sourcePath)> HasOLESelfRegister;
};

// The properties after one setter outside loading: `wanted` is `current`
// with the one value the setter was given. A duplicate source path in the
// container raises IEfcDuplicateFile "There is already a file with the name :%s".
InstallFileProperties ApplyPropertyRules(const InstallFileProperties& current, InstallFileProperties wanted,
                                         const PropertyRuleInputs& inputs);

// --- A destination in use ---

// `destName` with its extension replaced by "." + n.
std::string CandidateName(const std::string& destName, int n);
// The first candidate (n = 1, 2, ...) that `exists` does not know in the
// folder; IECustomInstallFile when none of the first 10000 is free.
std::string FreeCandidateName(const std::string& folder, const std::string& destName,
                              const std::function<bool(const std::string& path)>& exists);

// The batch that replaces a file in use at the next start when the system
// cannot schedule the move: long paths, every one quoted with "%" doubled,
// and the batch erasing itself in its last line.
std::string InUseBatchText(const std::string& oldPath, const std::string& newPath,
                           const std::string& batchPath);

// --- Command line ---

struct InstallCommandLine {
  static constexpr char kLetters[] = "bfdersc";  // bits 0x01 .. 0x40
  std::uint8_t Flags = 0;
  std::array<std::string, 7> Values;
  bool Has(char letter) const;
  const std::string& Value(char letter) const;
};

// The arguments after the program's name; anything that is not "-", a
// known letter in either case and an optional value raises IException
// "Invalid parameter <%s>. ...". A later letter replaces the value.
InstallCommandLine ParseInstallCommandLine(const std::vector<std::string>& arguments);
// -d needs a -s that is not blank: IEInstall otherwise.
void CheckDebugOptions(const InstallCommandLine& options);

// The command that continues the install after a restart. `installerPath`
// gives -e's file name and -s's folder.
std::string RestartCommand(const std::string& programPath, const std::string& installerPath, bool selfExtract,
                           bool cleanUp);
// The installer path of the restart command: the self-extracting program
// with -e, else the running program in the base folder when the loading
// program started it, else the running program.
std::string RestartInstallerPath(bool selfExtract, const std::string& archivePath, bool useLoadingProgram,
                                 const std::string& baseFolder, const std::string& programPath);
// RunOnce "PembrinUnfinished" (with a free suffix); IEInstall when it fails.
void RegisterRestart(Registry& registry, const std::string& command);
// RunOnce "PembrinBatFile" (with a free suffix); IECustomInstallFile naming
// the component when it fails.
void RegisterInUseBatch(Registry& registry, const std::string& batchPath, const std::string& componentName);

// --- Clean-up ---

// Whether `folder` lies inside `tempFolder` (not the folder itself).
bool LiesInside(const std::string& folder, const std::string& tempFolder);
// The batch that deletes the temporary copy of the installer: the program,
// its folder only when that lies inside the temporary folder, then the
// batch's own .PIF and the batch itself. Paths quoted with "%" doubled, CRLF
// lines.
std::string CleanupBatchText(const std::string& programPath, const std::string& tempFolder,
                             const std::string& batchPath);

// --- Unfinished list (under the instance key) ---

void AddUnfinished(Registry& registry, const std::string& instanceKey, const std::string& name, int kind);
// One "name;kind" line per value.
std::vector<std::string> ReadUnfinished(Registry& registry, const std::string& instanceKey);
void ClearUnfinished(Registry& registry, const std::string& instanceKey);
struct UnfinishedEntry {
  std::string Name;
  int Kind = 0;
};
// IEInstall "There is an invalid entry for the unfinished install list %s"
// when the kind is not a number.
UnfinishedEntry ParseUnfinished(const std::string& line);

// --- The installer's instance key (HKEY_LOCAL_MACHINE) ---

constexpr char kInstanceRootKey[] = "\\SOFTWARE\\Pembrin\\Install";

// What identifies the running installer program.
struct InstallerIdentity {
  std::string Path;
  double FileDate = 0;
  std::int32_t Size = 0;
  // The "SelfExtract" value, when started by the self-extracting setup.
  std::string SelfExtract;
  bool HasSelfExtract = false;
};

// The key of this installer: the first "Install<n>" subkey whose
// "CreationDate" lies within 1e-7 of the program's date and whose "Size" is
// its size (its "LastRunDate" and "Path" brought up to date); else, with
// `create`, a new one under the first free n. "" when there is none or a
// write fails.
std::string OpenInstanceKey(Registry& registry, const InstallerIdentity& installer, double now, bool create);
// Deletes the instance key with its subkeys (each subkey's downloaded
// "LocalFile" through `deleteFile`), then the parents that are left empty.
void RemoveInstanceKey(Registry& registry, const std::string& instanceKey,
                       const std::function<void(const std::string& path)>& deleteFile);
// The "SelfExtract" value: the -s folder with a backslash, then the -e file.
std::string SelfExtractValue(const std::string& loaderFolder, const std::string& selfExtractName);

// --- Registrations and the uninstall log (HKEY_LOCAL_MACHINE) ---

constexpr char kHelpKey[] = "\\SOFTWARE\\Microsoft\\Windows\\Help";
constexpr char kSharedDLLsKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kUninstallKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

void RegisterHelpFile(Registry& registry, const std::string& destName, const std::string& folder);
// The count named by the short path goes up when it exists, else the one
// named by the long path (from 0). False when the key cannot be opened or
// written.
bool IncrementSharedDLLCount(Registry& registry, const std::string& shortPath, const std::string& longPath);
// "File<N>" and "Entries" under "Files", "Files1", ... (the first whose
// "Entries" is a number and that takes the write; at most 100 keys, then
// EIRCannotWriteValue), or under "ActiveX" with ";1" for a program and ";0"
// for a library.
void WriteUninstallLog(Registry& registry, const std::string& productKey, const std::string& path,
                       bool activeX);

// The first of itDefault, itCompact, itFull, itCustom in the set; itAlways
// when none is.
TInstallType StartingInstallType(TInstallTypeSet types);

}  // namespace setup
