// Shortcut folders and shortcuts: shell link files, internet shortcuts and
// Program Manager items made for what was installed, and the shortcut's
// entry in the uninstall log. The operating system is reached through
// ShellAccess (shell_links_win.cpp connects the real one).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "setup/base/registry_routines.h"
#include "setup/install/install_tree.h"
#include "setup/install/path_specifier.h"

namespace setup {

enum TMethodType : std::uint8_t { mtAutoDetect = 0, mtShellLinkInterface = 1, mtProgramManager = 2 };

// What a shell link file is made of.
struct ShellLinkData {
  std::string LinkPath, Target, Arguments, WorkingDirectory;
  std::uint16_t HotKey = 0;
  std::string ObjectName;  // the shortcut's Name, for messages
};

struct ShellAccess {
  // Creates the folder with every missing parent; false when it cannot.
  std::function<bool(const std::string& folder)> ForceDirectories;
  // Saves the link file; raises IEInstallShellLink with a finished message.
  std::function<void(const ShellLinkData& link)> SaveShellLink;
  // Sets a key of a section of a profile (INI) file; false when it cannot.
  std::function<bool(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value)>
      WriteIniString;
  std::function<int()> WindowsKind;
  // The uninstall log lives here (HKEY_LOCAL_MACHINE).
  Registry* registry = nullptr;
};
void SetShellAccess(ShellAccess access);
const ShellAccess& Shell();

// What the shortcuts need of install files and the uninstaller; the file
// installation connects these. By default a file's name is its FileName and
// its installed path its destination folder and that name; the uninstaller
// is the object of class "TUninstallEXE".
struct InstallFileAccess {
  std::function<std::string(const TCustomInstallFile& file)> DestName;
  // The path the file has once the installation is complete (a file written
  // under a temporary name because it was in use gets its final name).
  std::function<std::string(const TCustomInstallFile& file)> InstalledPath;
  std::function<bool(const TInstallContainer& object)> IsUninstaller;
};
InstallFileAccess& InstallFiles();

// The name rules, plain text in and out.
// The upper-cased extension of a file name (with its dot), "" when none.
std::string UpperExtension(std::string_view name);
// The name with its extension replaced (or appended).
std::string ChangeExtension(std::string_view name, std::string_view extension);
// A name derived from a URL made fit for a file of the shortcut folder:
// separators, ":", "?", "*", quotes, "<", ">" and "|" become "_", and the
// name cannot climb out of the folder.
std::string SafeLinkNameFromUrl(std::string_view rest);
// The shortcut name derived from a location: "<rest>.URL" after "HTTP://" or
// "FTP://" (any case), else the file name without extension (nothing: let
// the caller apply the name rules).
bool UrlLinkName(std::string_view location, std::string& name);
// The text of a COM failure: the explanation of the well-known codes, ""
// for 0, the system's message for any other; and the full message.
std::string ComErrorExplanation(std::int32_t code, const std::string& systemMessage);
std::string ShellLinkComErrorMessage(const std::string& name, std::int32_t code,
                                     const std::string& systemMessage);
std::string ShellLinkOtherErrorMessage(const std::string& name, const std::string& error);

class TCustomShellLinkGroup : public TInstallObject {
 public:
  static constexpr int kRegisteredType = rtShortcutFolder;
  explicit TCustomShellLinkGroup(fw::TComponent* owner);
  std::string ClassName() const override { return "TCustomShellLinkGroup"; }
  int RegisteredType() const override { return rtShortcutFolder; }
  bool Install() override;

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override;
  void ContainerChanged() override;

 private:
  fw::TComponent* watchedContainer_ = nullptr;
};

// The product's own folder in the Programs menu; one per program.
class TMainLinkGroup : public TCustomShellLinkGroup {
 public:
  explicit TMainLinkGroup(fw::TComponent* owner);
  ~TMainLinkGroup() override;
  std::string ClassName() const override { return "TMainLinkGroup"; }
  // Always the Programs-menu specifier, whatever is given.
  void SetDestDirType(TCustomPathSpecifier* specifier) override;
};
TMainLinkGroup* MainLinkGroup();

class TCustomInstallShellLink : public TInstallObject {
 public:
  static constexpr int kRegisteredType = rtShortcut;
  explicit TCustomInstallShellLink(fw::TComponent* owner);
  std::string ClassName() const override { return "TCustomInstallShellLink"; }
  int RegisteredType() const override { return rtShortcut; }

  std::uint16_t HotKey = 0;
  TMethodType Method = mtAutoDetect;
  std::string Parameters;
  // Cleared before each Program Manager installation.
  std::vector<std::string> ProgramManagerLines;

  const std::string& LinkName() const { return linkName_; }
  virtual void SetLinkName(const std::string& value);
  TInstallContainer* ObjectLink() const { return objectLink_; }
  virtual void SetObjectLink(TInstallContainer* value);
  const std::string& ObjectLocation() const { return objectLocation_; }
  virtual void SetObjectLocation(const std::string& value);
  TCustomPathSpecifier* ObjectLocationType() const { return objectLocationType_; }
  virtual void SetObjectLocationType(TCustomPathSpecifier* value);
  virtual std::string GetTargetPath() const;
  // The expanded destination folder and LinkName.
  std::string LinkFilePath() const;

  void SetDestDirType(TCustomPathSpecifier* specifier) override;
  bool Install() override;
  void WriteUninstallInfo(const std::string& key) override;

 protected:
  virtual void InstallProgramManagerItem();
  virtual void InstallShellLinkFile();
  virtual void InstallInternetShortcut();
  void Notification(fw::TComponent* component, fw::TOperation operation) override;
  void ContainerChanged() override;

 private:
  // After a reference moved from old to value: free notifications follow.
  void Rewatch(fw::TComponent* old, fw::TComponent* value);

  std::string linkName_, objectLocation_;
  TInstallContainer* objectLink_ = nullptr;
  TCustomPathSpecifier* objectLocationType_ = nullptr;
  fw::TComponent* watchedContainer_ = nullptr;
};

class TInstallShellLink : public TCustomInstallShellLink {
 public:
  using TCustomInstallShellLink::TCustomInstallShellLink;
  std::string ClassName() const override { return "TInstallShellLink"; }
};

// A shortcut in the main shortcut folder.
class TInstallMainLink : public TCustomInstallShellLink {
 public:
  explicit TInstallMainLink(fw::TComponent* owner);
  std::string ClassName() const override { return "TInstallMainLink"; }
  void SetContainer(TInstallContainer* container) override;
  void SetDestDirType(TCustomPathSpecifier* specifier) override;
};

// The installed location of a shortcut's ObjectLink.
class TpsObjectLink : public TCustomPathSpecifier {
 public:
  explicit TpsObjectLink(fw::TComponent* owner);
  std::string ClassName() const override { return "TpsObjectLink"; }
  void CheckObject(fw::TComponent* object) const override;
  std::string DisplayText() const override {
    return "Path of the file or file group in the ObjectLink property";
  }
  std::string GetPath(fw::TComponent* object) const override;
};

// The bound of the uninstall log's keys: "Files" to "Files99".
constexpr int kUninstallKeySuffixes = 100;
// Enters the path in the uninstall log under the product key (see the .cpp).
void WriteUninstallFileEntry(Registry& registry, const std::string& productKey, const std::string& path);

}  // namespace setup
