#include "setup/install/install_file.h"

#include <algorithm>

#include "framework/exceptions.h"
#include "setup/base/exceptions.h"
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
  } else if (const auto pending = system.Extract(*this)) {
    inUse_ = true;
    system.ScheduleReplace(*pending, Name());
    if (TCustomInstall* install = FindInstall()) install->Reboot = true;
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

void TInstallFile::ContinueAfterReboot() {
  if (ActiveX) System().SelfRegister(DestinationPath(), Name());
}

void TInstallFile::WriteUninstallInfo(const std::string& key) {
  WriteUninstallLog(System().SystemRegistry(), key, DestinationPath(), ActiveX);
}

}  // namespace setup
