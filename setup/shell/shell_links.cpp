#include "setup/shell/shell_links.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "framework/format.h"
#include "setup/base/text_routines.h"
#include "setup/paths/path_specifiers.h"
#include "setup/shell/program_manager.h"

namespace setup {
namespace {

ShellAccess& Access() {
  static ShellAccess access;
  return access;
}

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return "";
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

// Where the extension starts: the last "." after the last separator.
size_t ExtensionStart(std::string_view name) {
  const size_t dot = name.find_last_of(".\\/:");
  if (dot == std::string_view::npos || name[dot] != '.') return std::string_view::npos;
  return dot;
}

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/:");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The folder of a path, without trailing backslash.
std::string FolderOf(std::string_view path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

void ForceDirectories(const std::string& folder) {
  const std::string path = RemoveBackslash(folder);
  if (path.empty()) throw fw::Exception(Translated("Unable to create directory"));
  if (!Shell().ForceDirectories) return;
  if (!Shell().ForceDirectories(path)) throw IEInstallShellLink("Cannot create the folder %s", {path});
}

template <class T>
T* SpecifierOf() {
  if (auto* found = StandardPathSpecifiers().Find<T>()) return found;
  return PathSpecifiers().FindSpecifier<T>();
}

std::string InstalledPathOf(const TCustomInstallFile& file) {
  auto& access = InstallFiles();
  if (access.InstalledPath) return access.InstalledPath(file);
  return AddBackslash(file.GetDestDir()) + (access.DestName ? access.DestName(file) : file.FileName);
}

bool IsUninstaller(const TInstallContainer& object) {
  auto& access = InstallFiles();
  return access.IsUninstaller ? access.IsUninstaller(object) : object.ClassName() == "TUninstallEXE";
}

TMainLinkGroup*& MainGroup() {
  static TMainLinkGroup* group = nullptr;
  return group;
}

}  // namespace

void SetShellAccess(ShellAccess access) { Access() = std::move(access); }
const ShellAccess& Shell() { return Access(); }

InstallFileAccess& InstallFiles() {
  static InstallFileAccess access;
  return access;
}

// --- name rules ---

std::string UpperExtension(std::string_view name) {
  const size_t start = ExtensionStart(name);
  return start == std::string_view::npos ? "" : Upper(name.substr(start));
}

std::string ChangeExtension(std::string_view name, std::string_view extension) {
  const size_t start = ExtensionStart(name);
  return std::string(name.substr(0, start)) + std::string(extension);
}

std::string SafeLinkNameFromUrl(std::string_view rest) {
  std::string name(rest);
  for (char& c : name)
    if (std::string_view("\\/:?*\"<>|").find(c) != std::string_view::npos) c = '_';
  // With every separator gone the name is one file name; a name of dots
  // alone would still mean a folder.
  if (name.find_first_not_of('.') == std::string::npos) name.assign(name.size(), '_');
  return name;
}

bool UrlLinkName(std::string_view location, std::string& name) {
  const std::string upper = Upper(location);
  for (std::string_view scheme : {"HTTP://", "FTP://"}) {
    const size_t at = upper.find(scheme);
    if (at == std::string::npos) continue;
    name = SafeLinkNameFromUrl(location.substr(at + scheme.size())) + ".URL";
    return true;
  }
  return false;
}

std::string ComErrorExplanation(std::int32_t code, const std::string& systemMessage) {
  switch (static_cast<std::uint32_t>(code)) {
    case 0x8000FFFFu:
      return Translated("Indicates an unexpected error occurred");
    case 0x80040110u:
      return Translated("Indicates this class cannot be created as part of an aggregate");
    case 0x80040154u:
      return Translated("Indicates that a specified class is not registered in the registration database");
    case 0x8007000Eu:
      return Translated("Out of memory");
    case 0x80070057u:
      return Translated("Indicates one or more arguments are invalid");
    case 0:
      return "";
    default:
      return systemMessage;
  }
}

std::string ShellLinkComErrorMessage(const std::string& name, std::int32_t code,
                                     const std::string& systemMessage) {
  return IEInstallShellLink(
             "The TCustomInstallShellLink %s name could not be installed. The following error was reported "
             "%s. "
             "Error code %d",
             {name, ComErrorExplanation(code, systemMessage), static_cast<long long>(code)})
      .Message();
}

std::string ShellLinkOtherErrorMessage(const std::string& name, const std::string& error) {
  return IEInstallShellLink(
             "The TCustomInstallShellLink %s name could not be installed. The following error was reported "
             "%s",
             {name, error})
      .Message();
}

// --- shortcut folders ---

TCustomShellLinkGroup::TCustomShellLinkGroup(fw::TComponent* owner) : TInstallObject(owner) {
  Include = true;
  Processable = true;
}

bool TCustomShellLinkGroup::Install() {
  Broadcast(this, ieCreateLinkGroup, nullptr);
  ForceDirectories(GetDestDir());
  return TInstallContainer::Install();
}

void TCustomShellLinkGroup::ContainerChanged() {
  if (watchedContainer_) watchedContainer_->RemoveFreeNotification(this);
  watchedContainer_ = Container();
  if (watchedContainer_) watchedContainer_->FreeNotification(this);
}

void TCustomShellLinkGroup::Notification(fw::TComponent* component, fw::TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation != fw::TOperation::opRemove || component != watchedContainer_) return;
  watchedContainer_ = nullptr;
  // A folder without its container goes with it.
  if (component->Destroying() && !Destroying()) delete this;
}

TMainLinkGroup::TMainLinkGroup(fw::TComponent* owner) : TCustomShellLinkGroup(owner) {
  if (MainGroup()) throw IEShellLinkGroup("You can only have one TMainLinkGroup component in your project");
  TMainLinkGroup::SetDestDirType(nullptr);
  const TCustomInstall* install = FindInstall();
  SetDestDir("\\" + (install ? install->ProductName() : std::string("MainFolderName")));
  MainGroup() = this;
}

TMainLinkGroup::~TMainLinkGroup() {
  if (MainGroup() == this) MainGroup() = nullptr;
}

void TMainLinkGroup::SetDestDirType(TCustomPathSpecifier*) {
  TCustomShellLinkGroup::SetDestDirType(SpecifierOf<TpsProgramMenu>());
}

TMainLinkGroup* MainLinkGroup() { return MainGroup(); }

// --- shortcuts ---

TCustomInstallShellLink::TCustomInstallShellLink(fw::TComponent* owner) : TInstallObject(owner) {
  Include = true;
  Processable = true;
  // The shortcuts of a form find their targets through this specifier.
  if (owner && !PathSpecifiers().Find<TpsObjectLink>()) {
    auto* specifier = new TpsObjectLink(owner);
    if (!owner->FindComponent("psObjectLink")) specifier->SetName("psObjectLink");
  }
}

void TCustomInstallShellLink::Rewatch(fw::TComponent* old, fw::TComponent* value) {
  if (old == value) return;
  // A reference is dropped only when no other slot holds the same object.
  if (old && old != objectLink_ && old != objectLocationType_ && old != watchedContainer_ &&
      old != DestDirType())
    old->RemoveFreeNotification(this);
  if (value) value->FreeNotification(this);
}

void TCustomInstallShellLink::SetDestDirType(TCustomPathSpecifier* specifier) {
  TInstallObject::SetDestDirType(specifier);
  // The base drops its notification from the old specifier, which may be
  // this shortcut's location specifier too.
  if (objectLocationType_) objectLocationType_->FreeNotification(this);
}

void TCustomInstallShellLink::SetLinkName(const std::string& value) {
  if (Loading()) {
    linkName_ = value;
    return;
  }
  const std::string oldExtension = UpperExtension(linkName_);
  linkName_ = value;
  if (Trim(value).empty()) return;
  const std::string extension = UpperExtension(value);
  if (extension == ".URL") {
    SetObjectLink(nullptr);
  } else if (extension != ".LNK") {
    linkName_ = ChangeExtension(value, oldExtension.empty() ? ".LNK" : oldExtension);
  }
}

void TCustomInstallShellLink::SetObjectLink(TInstallContainer* value) {
  fw::TComponent* old = objectLink_;
  // The link first, so that the specifier's check sees it.
  objectLink_ = value;
  Rewatch(old, value);
  if (Loading()) return;
  if (!value) {
    SetObjectLocationType(nullptr);
    return;
  }
  SetObjectLocationType(PathSpecifiers().FindSpecifier<TpsObjectLink>());
  objectLocation_.clear();
  if (auto* file = dynamic_cast<TCustomInstallFile*>(value))
    linkName_ =
        ChangeExtension(InstallFiles().DestName ? InstallFiles().DestName(*file) : file->FileName, ".lnk");
  else if (auto* group = dynamic_cast<TFileContainer*>(value))
    linkName_ = group->GroupName + ".lnk";
  else
    linkName_ = value->Name() + ".lnk";
  if (!Container()) SetContainer(value);
}

void TCustomInstallShellLink::SetObjectLocation(const std::string& value) {
  objectLocation_ = value;
  if (Loading()) return;
  if (dynamic_cast<TpsObjectLink*>(objectLocationType_)) objectLocation_.clear();
  const std::string trimmed = Upper(Trim(linkName_));
  if (!trimmed.empty() && trimmed != ".LNK") return;
  std::string name;
  if (UrlLinkName(objectLocation_, name))
    linkName_ = name;
  else
    SetLinkName(ChangeExtension(FileNameOf(value), ""));
}

void TCustomInstallShellLink::SetObjectLocationType(TCustomPathSpecifier* value) {
  if (!Loading() && value) {
    value->CheckObject(this);
    if (dynamic_cast<TpsObjectLink*>(value)) objectLocation_.clear();
  }
  fw::TComponent* old = objectLocationType_;
  objectLocationType_ = value;
  Rewatch(old, value);
}

std::string TCustomInstallShellLink::GetTargetPath() const {
  if (objectLocationType_)
    return objectLocationType_->GetPath(const_cast<TCustomInstallShellLink*>(this)) + objectLocation_;
  return RemoveBackslash(objectLocation_);
}

std::string TCustomInstallShellLink::LinkFilePath() const { return AddBackslash(GetDestDir()) + linkName_; }

void TCustomInstallShellLink::ContainerChanged() {
  fw::TComponent* old = watchedContainer_;
  watchedContainer_ = Container();
  Rewatch(old, watchedContainer_);
}

void TCustomInstallShellLink::Notification(fw::TComponent* component, fw::TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation != fw::TOperation::opRemove) return;
  bool lost = false;
  if (component == objectLocationType_) objectLocationType_ = nullptr;
  if (component == objectLink_) objectLink_ = nullptr, lost = true;
  if (component == watchedContainer_) watchedContainer_ = nullptr, lost = true;
  // A shortcut whose target or folder is freed goes with it.
  if (lost && component->Destroying() && !Destroying()) delete this;
}

bool TCustomInstallShellLink::Install() {
  if (Trim(linkName_).empty())
    throw IEInstallShellLink("The LinkName is blank for %s and therefore could not be installed", {Name()});
  if (objectLink_) {
    // Nothing to point at: no shortcut, though its log entry is written.
    if (!objectLink_->Installed) return true;
    if (IsUninstaller(*objectLink_)) {
      const TCustomInstall* install = FindInstall();
      if (!install)
        throw IEInstallShellLink("%s cannot perform operation because there is no TInstall component",
                                 {Name()});
      Parameters = install->ProductName();
    }
    if (dynamic_cast<TCustomShellLinkGroup*>(objectLink_)) ForceDirectories(objectLink_->GetDestDir());
  }
  if (UpperExtension(linkName_) == ".URL") {
    InstallInternetShortcut();
  } else {
    switch (Method) {
      case mtShellLinkInterface:
        InstallShellLinkFile();
        break;
      case mtProgramManager:
        InstallProgramManagerItem();
        break;
      case mtAutoDetect: {
        const int kind = Shell().WindowsKind ? Shell().WindowsKind() : 2;
        if (kind == 1 || kind == 2)
          InstallShellLinkFile();
        else
          InstallProgramManagerItem();
        break;
      }
    }
  }
  return TInstallContainer::Install();
}

void TCustomInstallShellLink::InstallShellLinkFile() {
  ForceDirectories(GetDestDir());
  ShellLinkData link;
  link.Arguments = ExpandMetaVariables(Parameters, this);
  link.Target = GetTargetPath();
  link.WorkingDirectory = FolderOf(link.Target);
  link.HotKey = HotKey;
  link.LinkPath = LinkFilePath();
  link.ObjectName = Name();
  if (!Shell().SaveShellLink) throw IEInstallShellLink(ShellLinkOtherErrorMessage(Name(), "no shell"));
  Shell().SaveShellLink(link);
}

void TCustomInstallShellLink::InstallInternetShortcut() {
  ForceDirectories(GetDestDir());
  const std::string path = LinkFilePath();
  if (!Shell().WriteIniString || !Shell().WriteIniString(path, "InternetShortcut", "URL", objectLocation_))
    throw IEInstallShellLink(ShellLinkOtherErrorMessage(Name(), "Cannot write " + path));
}

void TCustomInstallShellLink::InstallProgramManagerItem() {
  ProgramManagerLines.clear();
  if (!dynamic_cast<TpsProgramMenu*>(DestDirType())) return;
  const std::string group = FileNameOf(GetDestDir());
  if (Trim(group).empty())
    throw IEInstallShellLink("The LinkName is blank for %s and therefore could not be installed", {Name()});
  TProgramManager& manager = ProgramManager();
  manager.CreateGroup(group);
  const std::string item = ChangeExtension(linkName_, "");
  if (manager.FindItem(item) > 0) manager.ReplaceItem(item);
  const std::string args = ExpandMetaVariables(Parameters, this);
  const std::string target = GetTargetPath();
  manager.AddItem("\"" + target + "\" " + args, item, "", 0, "\"" + FolderOf(target) + "\"", "");
}

void TCustomInstallShellLink::WriteUninstallInfo(const std::string& key) {
  if (!Shell().registry) throw EIRCannotWriteValue("No registry for the uninstall log of " + Name());
  WriteUninstallFileEntry(*Shell().registry, key, LinkFilePath());
}

void WriteUninstallFileEntry(Registry& registry, const std::string& productKey, const std::string& path) {
  for (int n = 0; n < kUninstallKeySuffixes; ++n) {
    const std::string key = AddBackslash(productKey) + "Files" + (n > 0 ? std::to_string(n) : std::string());
    try {
      const std::string entries = RegReadString(registry, kLocalMachine, key, "Entries", "0");
      std::int32_t count = 0;
      const char* end = entries.data() + entries.size();
      const auto parsed = std::from_chars(entries.data(), end, count);
      if (entries.empty() || parsed.ec != std::errc() || parsed.ptr != end || count < 0 || count == INT32_MAX)
        continue;
      const std::string number = std::to_string(count + 1);
      RegWriteString(registry, kLocalMachine, key, "File" + number, path);
      RegWriteString(registry, kLocalMachine, key, "Entries", number);
      return;
    } catch (const EIRCannotWriteValue&) {
    }
  }
  throw EIRCannotWriteValue(
      fw::FormatLeniently(Translated("Cannot install into registry. Key: %s Ident: %s Value %s"),
                          {AddBackslash(productKey) + "Files99", "Entries", path}));
}

// --- TInstallMainLink ---

TInstallMainLink::TInstallMainLink(fw::TComponent* owner) : TCustomInstallShellLink(owner) {
  TMainLinkGroup* main = MainLinkGroup();
  if (!main)
    throw IEInstallShellLink(
        "To create a TInstallMainLink you must first have a TMainLinkGroup component in your project");
  TInstallMainLink::SetContainer(main);
  TInstallMainLink::SetDestDirType(nullptr);
}

void TInstallMainLink::SetContainer(TInstallContainer* container) {
  if (container != MainLinkGroup())
    throw IEInstallShellLink(
        "The TMainLinkGroup component must be the Container for TInstallMainLink and TSubLinkGroup "
        "components");
  TCustomInstallShellLink::SetContainer(container);
}

void TInstallMainLink::SetDestDirType(TCustomPathSpecifier*) {
  TCustomInstallShellLink::SetDestDirType(SharedSpecifier(TSpecifierRole::ContainerDestDir));
}

// --- TpsObjectLink ---

TpsObjectLink::TpsObjectLink(fw::TComponent* owner) : TCustomPathSpecifier(owner) {
  defaultName_ = "psObjectLink";
}

void TpsObjectLink::CheckObject(fw::TComponent* object) const {
  auto* link = dynamic_cast<TCustomInstallShellLink*>(object);
  if (!link)
    throw IEPathSpecifier(
        "%s must be a %s to use the %s path specifier",
        {object ? object->Name() : std::string(), "TCustomInstallShellLink", "psObjectLink"});
  if (!link->ObjectLink())
    throw IEPathSpecifier("Cannot use ddObjectLink for %s unless you assign a value to ObjectLink",
                          {link->Name()});
}

std::string TpsObjectLink::GetPath(fw::TComponent* object) const {
  CheckObject(object);
  TInstallContainer* target = static_cast<TCustomInstallShellLink*>(object)->ObjectLink();
  if (auto* file = dynamic_cast<TCustomInstallFile*>(target)) return RemoveBackslash(InstalledPathOf(*file));
  return RemoveBackslash(target->GetDestDir());
}

}  // namespace setup
