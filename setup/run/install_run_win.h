// The install run: the root of the install tree and the conductor of the
// setup program. Once the product form has loaded it reads the command line
// and either continues after a restart or waits for the form's first
// activation; the run then identifies the installer in the registry, reads
// the archive's information, raises the wizard events in their order,
// installs every object, and ends with a restart, with the good-end pages and
// clean-up, or through its exception handler with the failure pages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/form.h"
#include "framework/graphics.h"
#include "setup/build/build.h"
#include "setup/install/install_rules.h"
#include "setup/install/install_tree.h"

namespace setup {

struct TInstallInformation {
  std::string CompanyName = "My Company";
  std::string ProductName = "My product";
  std::string Version = "1.0";
};

class TInstall;
using TInstallNotifyEvent = std::function<void(TInstall* install)>;
// Handlers may clear the flag: Continue, QuitOut, DefaultAction.
using TInstallFlagEvent = std::function<void(TInstall* install, bool& flag)>;
using TBeforeRunFileEvent = std::function<void(TInstall* install, TCustomInstallFile* file, bool& defaultAction)>;

// What the run asks of the system beyond files and the registry; tests
// replace members and put them back.
struct InstallRunSeams {
  // Restarts Windows; false when the system refused.
  std::function<bool()> RestartWindows;
  // The running program's arguments after its name.
  std::function<std::vector<std::string>()> Arguments;
  // The running program's full path.
  std::function<std::string()> ProgramPath;
  // The time now as a day count (for "LastRunDate").
  std::function<double()> Now;
  // What -b and -f do: the build of the distribution beside the program and
  // its copy onto floppies; false when they failed (and said so).
  std::function<bool(TInstall& install)> Build;
  std::function<bool(TInstall& install)> TransferToFloppies;
};
InstallRunSeams& RunSeams();

class TInstall : public TCustomInstall {
 public:
  // Refuses a second install and an owner that is not a form.
  explicit TInstall(fw::TComponent* owner);
  ~TInstall() override;
  std::string ClassName() const override { return "TInstall"; }

  // --- TCustomInstall ---
  std::string BaseFolder() const override { return baseFolder_; }
  const std::string* ArchiveOption() const override;
  std::string ProductName() const override { return Information.ProductName; }
  bool Running() const override { return running_; }
  void AddUnfinished(const std::string& name, int kind) override;

  // --- Properties ---
  bool AutoMaximizeWindow() const { return autoMaximizeWindow_; }
  void SetAutoMaximizeWindow(bool value);
  bool HideMainForm() const { return hideMainForm_; }
  void SetHideMainForm(bool value);
  TDistributeType DistributeType() const override { return distributeType_; }
  void SetDistributeType(TDistributeType type);
  // The install's net location is also the process's main one; none makes
  // the distribution a traditional one.
  void SetNetLocation(fw::TComponent* location);
  bool UseLoadingProgram() const { return useLoadingProgram_; }
  void SetUseLoadingProgram(bool value);
  const std::vector<std::string>& PresetupFiles() const { return presetupFiles_; }
  // Lines blank after trimming are left out.
  void SetPresetupFiles(const std::vector<std::string>& files);
  // The picture of the dialog pages that have none of their own.
  fw::TBitmap& DialogThemeBitmap() { return themeBitmap_; }
  TInstallInformation Information;
  // Kept with the install for the build machine; assigning copies it.
  TBuildInfo BuildInfo;
  bool RunAutomatic = true;

  TInstallNotifyEvent OnAfterInitialized, OnAfterNotifyBadInstall, OnAfterNotifyGoodInstall,
      OnAfterReadArchiveInfo, OnBeforeReadArchiveInfo, OnBeforeNotifyBadInstall, OnBeforeNotifyGoodInstall,
      OnFailedReboot;
  TInstallFlagEvent OnBeforeCleanup, OnBeforeReboot, OnBeforeShutdown, OnUserAbort;
  TBeforeRunFileEvent OnBeforeRunFile;

  const InstallCommandLine& CommandLine() const { return commandLine_; }
  // What the program exits with: 1 after a failed build or floppy copy.
  int ExitCode() const { return exitCode_; }
  // The installer's key under HKEY_LOCAL_MACHINE; "" when it has none.
  std::string InstanceKey() const override { return instanceKey_; }

  // --- The run ---
  // Start-up: the command line, the base folder, the instance key, the form
  // to hook and the install type.
  void Loaded() override;
  // The work the command line asks for once the whole form has loaded.
  void AllLoaded() override;
  // The whole installation.
  void Process() override;
  // The rest of the installation after the restart (-r).
  void ContinueAfterReboot() override;
  void ReadArchiveInfo() override;
  // Asks OnUserAbort whether to give up; true without a handler.
  bool AskUserAbort();
  // The application's exception handler while the install exists.
  void HandleException(fw::TComponent* sender, const std::exception& error);

  void NotifyGoodInstall();
  void NotifyBadInstall();
  void PrepareCleanup();
  void RemoveInstanceKey();
  void RunFilesAfterInstall();
  void RegisterRestart();
  std::vector<std::string> ReadUnfinished();
  void ClearUnfinished();

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override;

 private:
  void ParseCommandLine();
  // Sizes, dates and versions from the server's list of files.
  void ReadRemoteFileList();
  std::string OpenInstanceKey(bool create);
  void Activated(fw::TComponent* sender);
  void Shutdown();
  void RestartWindows();
  void GoodEnd();
  void ForgetRestart();
  InstallerIdentity Identity() const;

  InstallCommandLine commandLine_;
  std::string baseFolder_;
  std::string instanceKey_;
  std::string programPath_;
  int exitCode_ = 0;
  bool activated_ = false;
  bool running_ = false;
  bool autoMaximizeWindow_ = true;
  bool hideMainForm_ = false;
  bool useLoadingProgram_ = true;
  TDistributeType distributeType_ = dtTraditional;
  std::vector<std::string> presetupFiles_;
  fw::TBitmap themeBitmap_;
  int unfinishedCount_ = 0;
  std::string cleanupBatch_;
  bool cleanupPending_ = false;
  std::string restartCommand_;
  fw::TForm* hookedForm_ = nullptr;
  fw::TNotifyEvent previousActivate_;
  fw::TExceptionEvent previousExceptionHandler_;
};

// Connects the setup program's parts to this machine before its form is
// made: the standard path specifiers on every form, the machine's folders.
void ConnectSetupProgram();

// The install of this process as a TInstall; null when there is none.
TInstall* FindTInstall();

}  // namespace setup
