#include "setup/install/install_rules.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "framework/format.h"
#include "setup/archive/archive_files.h"
#include "setup/base/exceptions.h"
#include "setup/base/text_routines.h"

namespace setup {
namespace {

constexpr int kCandidateLimit = 10000;
constexpr int kLogKeyLimit = 100;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool Blank(const std::string& text) { return TrimmedText(text).empty(); }

bool IsDecimal(const std::string& text) {
  return !text.empty() && text.size() <= 9 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A path on a batch line: quoted, and every "%" doubled, since cmd expands
// "%...%" even inside quotes and would then act on another path.
std::string BatchPath(const std::string& path) {
  std::string text;
  for (char c : path) text += c == '%' ? std::string("%%") : std::string(1, c);
  return Quoted(text);
}

std::string SourcePath(const InstallFileProperties& p) { return p.IncludeFromDir + "\\" + p.FileName; }

}  // namespace

std::string UpperExtension(const std::string& path) {
  const std::string name = FileNameOf(path);
  const auto dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : Upper(name.substr(dot));
}

// --- Overwrite decision ---

int FileInstallDecision(TVersionResource& reader, FileDates& files, int overwriteType,
                        const std::string& destination, const std::string& archivedVersion,
                        double archivedDate) {
  const int decision =
      IsFileNewerByVersion(reader, files, archivedVersion, destination, overwriteType, archivedDate);
  if (ReplacesFile(decision) || files.Exists(destination)) return decision;
  return kNewWins;
}

bool ReplacesFile(int decision) { return decision == kUndecided || decision == kNewWins; }

// --- Property rules ---

InstallFileProperties ApplyPropertyRules(const InstallFileProperties& current, InstallFileProperties wanted,
                                         const PropertyRuleInputs& inputs) {
  const bool nameChanged = wanted.FileName != current.FileName;
  const bool sourceChanged = nameChanged || wanted.IncludeFromDir != current.IncludeFromDir;
  if (inputs.HasContainer && (sourceChanged || inputs.ContainerChanged)) {
    const std::string source = SourcePath(wanted);
    for (const auto& sibling : inputs.SiblingSources)
      if (SameTextIgnoringCase(sibling, source))
        throw IEfcDuplicateFile("There is already a file with the name :%s", {source});
  }
  if (nameChanged && !Blank(wanted.FileName)) wanted.DestName = wanted.FileName;
  const std::string ext = UpperExtension(wanted.FileName);
  if (sourceChanged) {
    wanted.RegisterAsHelp = ext == ".HLP" || ext == ".CNT";
    wanted.ActiveX =
        ext == ".OCX" || (inputs.HasOLESelfRegister && inputs.HasOLESelfRegister(SourcePath(wanted)));
  }
  if (wanted.ActiveX && !current.ActiveX) wanted.FileType = iftSystemWideDLL;
  if (wanted.DestDirKind != current.DestDirKind &&
      (ext == ".DLL" || ext == ".OCX" || ext == ".BLL" || ext == ".EXE")) {
    if (wanted.DestDirKind == DestKind::Window || wanted.DestDirKind == DestKind::HDBDLL)
      wanted.OverwriteMode = owVersionDate;
    else if (wanted.DestDirKind == DestKind::System)
      wanted.FileType = iftSystemWideDLL;
  }
  if (wanted.FileType != current.FileType) {
    if (wanted.FileType == iftJustADLL || wanted.FileType == iftApplicationSpecificDLL) {
      wanted.OverwriteMode = owVersionDate;
    } else if (wanted.FileType == iftVendorSharedDLL || wanted.FileType == iftSystemWideDLL) {
      wanted.UpdateDLLCounter = true;
      wanted.OverwriteMode = owVersionDate;
    }
  }
  switch (wanted.FileType) {
    case iftApplicationSpecificDLL:
      wanted.DestDir = "\\System";
      wanted.DestDirKind = DestKind::MainInstall;
      break;
    case iftVendorSharedDLL:
      wanted.DestDir = "\\System";
      wanted.DestDirKind = DestKind::CommonFiles;
      break;
    case iftSystemWideDLL:
      wanted.DestDir.clear();
      wanted.DestDirKind = DestKind::System;
      break;
    default:
      break;
  }
  return wanted;
}

// --- A destination in use ---

std::string CandidateName(const std::string& destName, int n) {
  return ChangeFileExt(destName, "." + std::to_string(n));
}

std::string FreeCandidateName(const std::string& folder, const std::string& destName,
                              const std::function<bool(const std::string& path)>& exists) {
  for (int n = 1; n <= kCandidateLimit; ++n) {
    std::string candidate = CandidateName(destName, n);
    if (!exists(AddBackslash(folder) + candidate)) return candidate;
  }
  throw IECustomInstallFile("No free name to install %s beside the file in use", {destName});
}

std::string InUseBatchText(const std::string& oldPath, const std::string& newPath,
                           const std::string& batchPath) {
  return "erase " + BatchPath(oldPath) + "\r\n" + "move " + BatchPath(newPath) + " " + BatchPath(oldPath) +
         "\r\n" + "erase " + BatchPath(batchPath) + "\r\n";
}

// --- Command line ---

namespace {

int LetterIndex(char letter) {
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  const std::string_view letters = InstallCommandLine::kLetters;
  const auto at = letters.find(lower);
  return lower == '\0' || at == std::string_view::npos ? -1 : static_cast<int>(at);
}

}  // namespace

bool InstallCommandLine::Has(char letter) const {
  const int index = LetterIndex(letter);
  return index >= 0 && (Flags >> index) & 1u;
}

const std::string& InstallCommandLine::Value(char letter) const {
  static const std::string none;
  const int index = LetterIndex(letter);
  return index >= 0 ? Values[static_cast<size_t>(index)] : none;
}

InstallCommandLine ParseInstallCommandLine(const std::vector<std::string>& arguments) {
  InstallCommandLine options;
  for (const std::string& argument : arguments) {
    const int index = argument.size() >= 2 && argument[0] == '-' ? LetterIndex(argument[1]) : -1;
    if (index < 0) {
      throw IException(
          "Invalid parameter <%s>. Valid command line parameters are: -b (Build), -d (Debug), -f (Transfer "
          "to "
          "floppies), -e (Called by self-extractor), -r (After reboot)",
          {argument});
    }
    options.Flags = static_cast<std::uint8_t>(options.Flags | (1u << index));
    options.Values[static_cast<size_t>(index)] = argument.substr(2);
  }
  return options;
}

void CheckDebugOptions(const InstallCommandLine& options) {
  if (options.Has('d') && (!options.Has('s') || Blank(options.Value('s'))))
    throw IEInstall(
        "You forgot to pass in the build directory. In Run | Parameters, follow this format: -d \"-sC:\\My "
        "Build\"");
}

std::string RestartCommand(const std::string& programPath, const std::string& installerPath, bool selfExtract,
                           bool cleanUp) {
  std::string command = Quoted(programPath) + " -r ";
  if (selfExtract) command += Quoted("-e" + FileNameOf(installerPath)) + " ";
  command += Quoted("-s" + FolderOf(installerPath));
  if (cleanUp) command += " -c";
  return command;
}

std::string RestartInstallerPath(bool selfExtract, const std::string& archivePath, bool useLoadingProgram,
                                 const std::string& baseFolder, const std::string& programPath) {
  if (selfExtract) return archivePath;
  if (useLoadingProgram) return AddBackslash(baseFolder) + FileNameOf(programPath);
  return programPath;
}

void RegisterRestart(Registry& registry, const std::string& command) {
  if (!AddRunOnceValue(registry, "PembrinUnfinished", command, true))
    throw IEInstall("Cannot register the install to be run on reboot in the RunOnce key in the registry");
}

void RegisterInUseBatch(Registry& registry, const std::string& batchPath, const std::string& componentName) {
  if (!AddRunOnceValue(registry, "PembrinBatFile", batchPath, true))
    throw IECustomInstallFile(
        "%s cannot register a routine in the register to move the files after the computer is reboot",
        {componentName});
}

// --- Clean-up ---

bool LiesInside(const std::string& folder, const std::string& tempFolder) {
  const std::string outer = AddBackslash(tempFolder);
  const std::string inner = AddBackslash(folder);
  if (Blank(tempFolder) || inner.size() <= outer.size()) return false;
  if (inner.find("\\..\\") != std::string::npos) return false;
  return SameTextIgnoringCase(inner.substr(0, outer.size()), outer);
}

std::string CleanupBatchText(const std::string& programPath, const std::string& tempFolder,
                             const std::string& batchPath) {
  std::string text = "del " + BatchPath(programPath) + "\r\n";
  const std::string folder = FolderOf(programPath);
  if (LiesInside(folder, tempFolder)) text += "rmdir /s /q " + BatchPath(folder) + "\r\n";
  text += "del " + BatchPath(ChangeFileExt(batchPath, ".PIF")) + "\r\n";
  text += "del " + BatchPath(batchPath) + "\r\n";
  return text;
}

// --- Instance key ---

std::string SelfExtractValue(const std::string& loaderFolder, const std::string& selfExtractName) {
  const bool ends = !loaderFolder.empty() && loaderFolder.back() == '\\';
  return loaderFolder + (ends ? "" : "\\") + selfExtractName;
}

std::string OpenInstanceKey(Registry& registry, const InstallerIdentity& installer, double now, bool create) {
  const std::string root = kInstanceRootKey;
  auto access = registry.Open(kLocalMachine);
  if (!access || !access->OpenKey(root, true)) return "";
  const std::vector<std::string> names = access->KeyNames();
  access->CloseKey();
  for (const std::string& name : names) {
    const std::string key = root + "\\" + name;
    if (!access->OpenKey(key, false)) continue;
    const auto path = access->ReadString("Path");
    const auto created = access->ReadFloat("CreationDate");
    const auto size = access->ReadInteger("Size");
    const bool matches =
        path && created && size && std::fabs(installer.FileDate - *created) < 1e-7 && *size == installer.Size;
    if (matches) {
      access->WriteFloat("LastRunDate", now);
      access->WriteString("Path", installer.Path);
      access->CloseKey();
      return key;
    }
    access->CloseKey();
  }
  if (!create) return "";
  auto taken = [&](const std::string& name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameTextIgnoringCase(n, name); });
  };
  int n = 0;
  while (taken("Install" + std::to_string(n))) ++n;
  const std::string key = root + "\\Install" + std::to_string(n);
  if (!access->OpenKey(key, true)) return "";
  bool written = access->WriteString("Path", installer.Path) && access->WriteFloat("LastRunDate", now) &&
                 access->WriteFloat("CreationDate", installer.FileDate) &&
                 access->WriteInteger("Size", installer.Size);
  if (written && installer.HasSelfExtract) written = access->WriteString("SelfExtract", installer.SelfExtract);
  access->CloseKey();
  return written ? key : "";
}

void RemoveInstanceKey(Registry& registry, const std::string& instanceKey,
                       const std::function<void(const std::string& path)>& deleteFile) {
  if (instanceKey.empty()) return;
  std::vector<std::string> subkeys;
  if (auto access = registry.Open(kLocalMachine); access && access->OpenKeyReadOnly(instanceKey)) {
    subkeys = access->KeyNames();
    access->CloseKey();
  }
  for (const std::string& subkey : subkeys) {
    const std::string file =
        RegReadString(registry, kLocalMachine, instanceKey + "\\" + subkey, "LocalFile", "");
    if (!Blank(file) && deleteFile) deleteFile(file);
  }
  RegDeleteTree(registry, kLocalMachine, instanceKey);
  // The parents go when nothing else is left in them.
  for (const std::string parent : {std::string(kInstanceRootKey), std::string("\\Software\\Pembrin")}) {
    auto access = registry.Open(kLocalMachine);
    if (!access || !access->OpenKeyReadOnly(parent)) return;
    const bool empty = access->KeyNames().empty();
    access->CloseKey();
    if (!empty) return;
    access->DeleteKey(parent);
  }
}

// --- Unfinished list ---

namespace {

std::string UnfinishedKey(const std::string& instanceKey) {
  if (instanceKey.empty())
    throw IEInstall("The TInstall could not either write or read unfinished business from the registry");
  return AddBackslash(instanceKey) + "Unfinished";
}

}  // namespace

void AddUnfinished(Registry& registry, const std::string& instanceKey, const std::string& name, int kind) {
  RegWriteString(registry, kLocalMachine, UnfinishedKey(instanceKey), name, std::to_string(kind));
}

std::vector<std::string> ReadUnfinished(Registry& registry, const std::string& instanceKey) {
  const std::string key = UnfinishedKey(instanceKey);
  std::vector<std::string> lines;
  const auto access = registry.Open(kLocalMachine);
  if (!access || !access->OpenKeyReadOnly(key)) return lines;
  for (const std::string& name : access->ValueNames())
    lines.push_back(name + ";" + access->ReadString(name).value_or(""));
  access->CloseKey();
  return lines;
}

void ClearUnfinished(Registry& registry, const std::string& instanceKey) {
  RegDeleteTree(registry, kLocalMachine, UnfinishedKey(instanceKey));
}

UnfinishedEntry ParseUnfinished(const std::string& line) {
  const std::string kind = GetField(line, 2, ";");
  const std::string trimmed = TrimmedText(kind);
  const bool negative = !trimmed.empty() && trimmed[0] == '-';
  if (!IsDecimal(negative ? trimmed.substr(1) : trimmed))
    throw IEInstall("There is an invalid entry for the unfinished install list %s", {line});
  return {GetField(line, 1, ";"), std::stoi(trimmed)};
}

// --- Registrations and the uninstall log ---

void RegisterHelpFile(Registry& registry, const std::string& destName, const std::string& folder) {
  RegWriteString(registry, kLocalMachine, kHelpKey, Upper(destName), RemoveBackslash(folder));
}

bool IncrementSharedDLLCount(Registry& registry, const std::string& shortPath, const std::string& longPath) {
  const auto access = registry.Open(kLocalMachine);
  if (!access || !access->OpenKey(kSharedDLLsKey, true)) return false;
  const std::string& name = access->ValueExists(shortPath) ? shortPath : longPath;
  const std::int32_t count = access->ReadInteger(name).value_or(0);
  const bool written = access->WriteInteger(name, count + 1);
  access->CloseKey();
  return written;
}

void WriteUninstallLog(Registry& registry, const std::string& productKey, const std::string& path,
                       bool activeX) {
  const auto writeEntry = [&](const std::string& key, const std::string& value) {
    const std::string entries = RegReadString(registry, kLocalMachine, key, "Entries", "0");
    if (!IsDecimal(TrimmedText(entries))) return false;
    const std::string n = std::to_string(std::stoi(TrimmedText(entries)) + 1);
    RegWriteString(registry, kLocalMachine, key, "File" + n, value);
    RegWriteString(registry, kLocalMachine, key, "Entries", n);
    return true;
  };
  if (activeX) {
    const std::string key = AddBackslash(productKey) + "ActiveX";
    const std::string value = path + (UpperExtension(path) == ".EXE" ? ";1" : ";0");
    if (!writeEntry(key, value))
      throw EIRCannotWriteValue(
          fw::Format("Cannot install into registry. Key: %s Ident: %s Value %s", {key, "Entries", value}));
    return;
  }
  for (int k = 0;; ++k) {
    const std::string key = AddBackslash(productKey) + "Files" + (k == 0 ? "" : std::to_string(k));
    try {
      if (writeEntry(key, path)) return;
      if (k + 1 == kLogKeyLimit)
        throw EIRCannotWriteValue(
            fw::Format("Cannot install into registry. Key: %s Ident: %s Value %s", {key, "Entries", path}));
    } catch (const EIRCannotWriteValue&) {
      if (k + 1 == kLogKeyLimit) throw;
    }
  }
}

TInstallType StartingInstallType(TInstallTypeSet types) {
  for (const TInstallType type : {itDefault, itCompact, itFull, itCustom})
    if (Contains(types, type)) return type;
  return itAlways;
}

}  // namespace setup
