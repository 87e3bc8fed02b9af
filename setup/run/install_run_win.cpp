#include "setup/run/install_run_win.h"

#include <algorithm>
#include <fstream>

#include "framework/application.h"
#include "framework/command_line.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "setup/archive/archive_files.h"
#include "setup/archive/archive_files_win.h"
#include "setup/base/exceptions.h"
#include "setup/base/extraction_info.h"
#include "setup/base/net_file_list.h"
#include "setup/base/registry_win.h"
#include "setup/base/text_routines.h"
#include "setup/base/windows_routines_win.h"
#include "setup/build/build_win.h"
#include "setup/install/file_replace_win.h"
#include "setup/install/install_file.h"
#include "setup/install/base_form_win.h"
#include "setup/install/tree_hooks_win.h"
#include "setup/net/location_win.h"
#include "setup/paths/machine_folders_win.h"
#include "setup/paths/path_specifiers.h"
#include "setup/translator/translator.h"
#include "setup/wizard/wizard_win.h"

namespace setup {
namespace {

using translator::GlobalTranslator;
using translator::TPmbrLanguage;
using translator::TranslateString;
using translator::TTranslator;

std::string ModulePath() {
  char path[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, length);
}

// Day count since 30 December 1899, with the day's fraction.
double NowAsDate() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME file;
  SystemTimeToFileTime(&now, &file);
  const ULONGLONG ticks = (static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  // 1601-01-01 lies 109205 days before 1899-12-30.
  return static_cast<double>(ticks) / 864000000000.0 - 109205.0;
}

bool EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  const bool ok = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid) &&
                  AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  CloseHandle(token);
  return ok;
}

bool SystemRestart() {
  const int kind = WindowsKind();
  if (kind == 2) EnableShutdownPrivilege();
  if (kind != 1 && kind != 2) return false;
  return ExitWindowsEx(EWX_REBOOT, 0) != FALSE;
}

std::string TempFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof path, path);
  return RemoveBackslash(std::string(path, length));
}

// cmd expands "%...%" in the command line that starts a batch, quoted or
// not, and a temporary folder may be called anything. So cmd starts in the
// batch's folder and is given only the batch's own name, which is ours and
// holds no "%".
void StartCleanupBatch(const std::string& batch) {
  char system[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryA(system, sizeof system);
  if (length == 0 || length >= sizeof system) return;
  const std::string cmd = std::string(system, length) + "\\cmd.exe";
  std::string line = "cmd.exe /c \"" + FileNameOf(batch) + "\"";
  const std::string folder = FolderOf(batch);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(cmd.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      folder.c_str(), &startup, &process))
    return;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

SystemFileInstall& DefaultFileSystem() {
  static SystemFileInstall system;
  return system;
}

}  // namespace

InstallRunSeams& RunSeams() {
  static InstallRunSeams seams{SystemRestart,
                               [] {
                                 std::vector<std::string> arguments;
                                 for (int i = 1; i <= fw::ParamCount(); ++i) arguments.push_back(fw::ParamStr(i));
                                 return arguments;
                               },
                               ModulePath,
                               NowAsDate,
                               [](TInstall& install) {
                                 BuildSettings settings;
                                 settings.DistributeType = install.DistributeType();
                                 settings.UseLoadingProgram = install.UseLoadingProgram();
                                 settings.PresetupFiles = install.PresetupFiles();
                                 return RunBuild(install, settings);
                               },
                               [](TInstall& install) { return RunTransferToFloppies(install); }};
  return seams;
}

void ConnectSetupProgram() {
  EnsureSpecifiersOnForms();
  UseSystemMachine();
  UseSystemTreeHooks();
  ConnectStateOperations(SystemBuild());
}

TInstall* FindTInstall() { return dynamic_cast<TInstall*>(FindInstall()); }

// --- Construction ---

TInstall::TInstall(fw::TComponent* owner) : TCustomInstall(owner) {
  for (TInstallContainer* other : AllInstallContainers())
    if (other != this && dynamic_cast<TCustomInstall*>(other) && !other->Destroying())
      throw IEInstall("The TInstall component does not currently support the use of 2 TInstall components in "
                      "the same project");
  if (!dynamic_cast<fw::TForm*>(owner))
    throw IEInstall("The Owner of the TInstall component must either be a class of type TForm or TDataModule");
  if (auto* archive = PathSpecifiers().Find<TpsMainArchiveFile>()) SetArchiveFileType(archive);
  SetArchiveFile("");
  if (auto* programFiles = PathSpecifiers().Find<TpsProgramFiles>()) SetDefaultDestDirType(programFiles);
  SetDestDir("\\MyApplication");
  AllowChoice = false;
  AllowChangeDir = true;
  GroupName = "Main";
  try {
    themeBitmap_.LoadFromResource(GetModuleHandleA(nullptr), "INSTALLTHEME1");
  } catch (const std::exception&) {
    // A program without the picture shows the pages without it.
  }
  programPath_ = RunSeams().ProgramPath();
  if (!InstallSystem()) InstallSystem() = &DefaultFileSystem();

  previousExceptionHandler_ = fw::Application()->OnException;
  fw::Application()->OnException = [this](fw::TComponent* sender, const std::exception& error) {
    HandleException(sender, error);
  };
  UserAbortQuery() = [this] { return AskUserAbort(); };
  RebootFlag() = [this] { return &Reboot; };
  CopyAbortFlags().Archive = [] { return CurrentArchiveAbort(); };
  CopyAbortFlags().Download = [] { return DownloadAbortFlag(); };
  InstallThemeBitmap() = [this]() -> const fw::TBitmap* { return &themeBitmap_; };
}

TInstall::~TInstall() {
  MarkDestroying();
  fw::Application()->OnException = previousExceptionHandler_;
  UserAbortQuery() = nullptr;
  RebootFlag() = nullptr;
  CopyAbortFlags().Archive = nullptr;
  CopyAbortFlags().Download = nullptr;
  InstallThemeBitmap() = nullptr;
  if (hookedForm_) hookedForm_->RemoveFreeNotification(this);
  if (InstallSystem() == &DefaultFileSystem()) InstallSystem() = nullptr;
  SharedArchiveOffset() = {};
  // The temporary copy of the installer goes once this program has ended.
  if (cleanupPending_) StartCleanupBatch(cleanupBatch_);
}

const std::string* TInstall::ArchiveOption() const {
  return commandLine_.Has('e') ? &commandLine_.Value('e') : nullptr;
}

void TInstall::Notification(fw::TComponent* component, fw::TOperation operation) {
  TCustomInstall::Notification(component, operation);
  if (operation == fw::TOperation::opRemove && component == hookedForm_) hookedForm_ = nullptr;
}

// --- Properties ---

void TInstall::SetAutoMaximizeWindow(bool value) {
  autoMaximizeWindow_ = value;
  if (value && !Loading()) hideMainForm_ = false;
}

void TInstall::SetHideMainForm(bool value) {
  hideMainForm_ = value;
  if (value) autoMaximizeWindow_ = false;
}

void TInstall::SetDistributeType(TDistributeType type) {
  // Only the product's description chooses how the product is distributed.
  if (!Loading()) throw IEInstall("DistributeType can only be set at design-time");
  distributeType_ = type;
}

void TInstall::SetNetLocation(fw::TComponent* location) {
  TCustomInstall::SetNetLocation(location);
  SetMainNetLocation(dynamic_cast<TCustomNetInstallLocation*>(location));
  if (!location) distributeType_ = dtTraditional;
}

void TInstall::SetUseLoadingProgram(bool value) {
  useLoadingProgram_ = value;
  if (value && !Loading()) {
    if (auto* archive = PathSpecifiers().Find<TpsMainArchiveFile>()) SetArchiveFileType(archive);
    SetArchiveFile("");
  }
}

void TInstall::SetPresetupFiles(const std::vector<std::string>& files) {
  presetupFiles_.clear();
  for (const std::string& file : files)
    if (!TrimmedText(file).empty()) presetupFiles_.push_back(file);
}

// --- Start-up ---

void TInstall::ParseCommandLine() { commandLine_ = ParseInstallCommandLine(RunSeams().Arguments()); }

void TInstall::Loaded() {
  TCustomInstall::Loaded();
  ParseCommandLine();
  CheckDebugOptions(commandLine_);
  baseFolder_ = commandLine_.Has('s') ? commandLine_.Value('s') : FolderOf(programPath_);
  instanceKey_ = OpenInstanceKey(false);
  if (!instanceKey_.empty()) {
    const std::string local =
        RegReadString(kLocalMachine, instanceKey_ + "\\" + Name(), "LocalFile", "");
    if (!TrimmedText(local).empty() && GetFileAttributesA(local.c_str()) != INVALID_FILE_ATTRIBUTES)
      LocalArchivePath = local;
  }
  fw::TForm* form = fw::Application()->MainForm();
  if (!form) form = dynamic_cast<fw::TForm*>(Owner());
  if (!form && RunAutomatic)
    throw IEInstall("Application.MainForm is undefined and the TInstall is not on a form. Therefore, therefore the "
                    "TInstall can't run the installation automatically");
  hookedForm_ = form;
  if (hookedForm_) hookedForm_->FreeNotification(this);
  SetCurrentInstallType(itAlways);
  const TInstallType starting = StartingInstallType(InstallTypes());
  if (starting != itAlways) SetCurrentInstallType(starting);
  if (commandLine_.Has('b') || commandLine_.Has('f') || commandLine_.Has('r') || !hookedForm_) return;
  previousActivate_ = hookedForm_->OnActivate;
  hookedForm_->OnActivate = [this](fw::TComponent* sender) { Activated(sender); };
  if (hideMainForm_) {
    hookedForm_->SetLeft(-2 * hookedForm_->Width());
    hookedForm_->SetTop(-2 * hookedForm_->Height());
  }
}

void TInstall::AllLoaded() {
  TCustomInstall::AllLoaded();
  try {
    // The build and the floppy copy say themselves what went wrong; either
    // way the program ends without showing its window.
    if (commandLine_.Has('b')) {
      if (!RunSeams().Build(*this)) exitCode_ = 1;
      fw::Application()->Terminate();
    } else if (commandLine_.Has('f')) {
      if (!RunSeams().TransferToFloppies(*this)) exitCode_ = 1;
      fw::Application()->Terminate();
    } else if (commandLine_.Has('r')) {
      ContinueAfterReboot();
    }
  } catch (...) {
    fw::Application()->HandleException(this);
    fw::Application()->Terminate();
  }
}

void TInstall::Activated(fw::TComponent* sender) {
  (void)sender;
  if (activated_) return;
  if (previousActivate_) previousActivate_(Owner());
  activated_ = true;
  if (!hookedForm_) return;
  if (autoMaximizeWindow_) {
    hookedForm_->SetWindowState(fw::TWindowState::wsMaximized);
    hookedForm_->Repaint();
  }
  if (!RunAutomatic) return;
  // The run opens modal wizards; it starts once the activation has been
  // handled, not inside it.
  hookedForm_->PostCall([this] {
    if (hookedForm_ && !Owner()->Destroying()) hookedForm_->OnActivate = previousActivate_;
    Process();
  });
}

// --- The instance key ---

InstallerIdentity TInstall::Identity() const {
  InstallerIdentity identity;
  identity.Path = programPath_;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExA(programPath_.c_str(), GetFileExInfoStandard, &data))
    identity.Size = static_cast<std::int32_t>(data.nFileSizeLow);
  Win32ArchiveFiles files;
  files.GetFileDate(programPath_, identity.FileDate);
  if (commandLine_.Has('e')) {
    identity.HasSelfExtract = true;
    identity.SelfExtract = SelfExtractValue(commandLine_.Value('s'), commandLine_.Value('e'));
  }
  return identity;
}

std::string TInstall::OpenInstanceKey(bool create) {
  return setup::OpenInstanceKey(SystemRegistry(), Identity(), RunSeams().Now(), create);
}

void TInstall::RemoveInstanceKey() {
  setup::RemoveInstanceKey(SystemRegistry(), instanceKey_,
                           [](const std::string& path) { DeleteFileA(path.c_str()); });
  instanceKey_.clear();
}

void TInstall::AddUnfinished(const std::string& name, int kind) {
  if (instanceKey_.empty())
    throw IEInstall("The TInstall could not either write or read unfinished business from the registry");
  ++unfinishedCount_;
  setup::AddUnfinished(SystemRegistry(), instanceKey_, name, kind);
}

std::vector<std::string> TInstall::ReadUnfinished() { return setup::ReadUnfinished(SystemRegistry(), instanceKey_); }

void TInstall::ClearUnfinished() { setup::ClearUnfinished(SystemRegistry(), instanceKey_); }

// --- The run ---

void TInstall::Process() {
  FailedRegistrations.clear();
  unfinishedCount_ = 0;
  cleanupPending_ = false;
  restartCommand_.clear();
  running_ = true;
  if (useLoadingProgram_ && !commandLine_.Has('s'))
    throw IEInstall(
        "The path of the loading program was not passed correctly. If you are running your install project in "
        "the IDE, then you need to add two command line parameters. In Run | Parameters | \"Run Parameters\", "
        "type in: -d \"-sBUILDPATH\" where BUILDPATH is the path into which you built the distributables. "
        "Example: -d \"-sC:\\My Build\".");
  instanceKey_ = OpenInstanceKey(true);
  ClearUnfinished();
  if (commandLine_.Has('e')) {
    const std::string program = GetArchivePath();
    const TExtractionInfo info = ReadExtractionInfo(program);
    // Without an embedded archive the program itself is no archive.
    if (!info.HasFiles() || info.FilesStart > INT32_MAX) ExtractionInfoUnreadable(program);
    SharedArchiveOffset() = {program, static_cast<std::int32_t>(info.FilesStart)};
  }
  ReadArchiveInfo();
  if (OnAfterInitialized) OnAfterInitialized(this);
  for (int event : {ieRunStarted, ieBeforeWelcome1, ieBeforeWelcome2, ieWelcome, ieLicense, ieReadme,
                    ieBeforeInstallWizard})
    Broadcast(this, event, nullptr);
  CheckArchivesBeforeInstall(*this);
  TCustomInstall::Process();
  // Registrations that failed while their files were busy get a last try.
  const std::vector<TCustomInstallFile*> failed = FailedRegistrations;
  FailedRegistrations.clear();
  for (TCustomInstallFile* file : failed)
    if (auto* installFile = dynamic_cast<TInstallFile*>(file))
      InstallSystem()->SelfRegister(installFile->DestinationPath(), installFile->Name());
  if (unfinishedCount_ > 0 || Reboot) RegisterRestart();
  const bool restartAsked = Reboot;
  if (Reboot) {
    Broadcast(this, ieReboot, nullptr);
    if (Reboot && OnBeforeReboot) {
      bool proceed = Reboot;
      OnBeforeReboot(this, proceed);
      Reboot = proceed;
    }
  }
  if (Reboot) {
    RestartWindows();
    fw::Application()->Terminate();
    return;
  }
  // Declined: the restart command stays and the run goes on at the next start.
  if (restartAsked) {
    fw::Application()->Terminate();
    return;
  }
  GoodEnd();
}

void TInstall::GoodEnd() {
  NotifyGoodInstall();
  PrepareCleanup();
  RemoveInstanceKey();
  if (RunAutomatic) Shutdown();
  RunFilesAfterInstall();
  running_ = false;
}

void TInstall::ContinueAfterReboot() {
  running_ = true;
  instanceKey_ = OpenInstanceKey(false);
  if (TTranslator* translator = GlobalTranslator()) {
    const int current = static_cast<int>(translator->TranslateIntoLanguage());
    int saved = current;
    try {
      saved = RegReadInteger(kLocalMachine, instanceKey_, "Language", current);
      translator->SetTranslateIntoLanguage(static_cast<TPmbrLanguage>(saved));
    } catch (const std::exception&) {
      translator->SetTranslateIntoLanguage(static_cast<TPmbrLanguage>(current));
    }
  }
  const std::vector<std::string> lines = ReadUnfinished();
  ClearUnfinished();
  for (const std::string& line : lines) {
    const UnfinishedEntry entry = ParseUnfinished(line);
    if (entry.Kind == 0) {
      const std::vector<TInstallContainer*> objects = AllInstallContainers();
      for (TInstallContainer* object : objects)
        if (_stricmp(object->Name().c_str(), entry.Name.c_str()) == 0) object->ContinueAfterReboot();
    } else if (entry.Kind == 1) {
      DeleteFileA(entry.Name.c_str());
    }
  }
  GoodEnd();
}

void TInstall::ReadArchiveInfo() {
  if (InfoRead) return;
  if (OnBeforeReadArchiveInfo) OnBeforeReadArchiveInfo(this);
  Broadcast(this, ieBeforeReadArchiveInfo, nullptr);
  const fw::TCursor cursor = fw::Screen()->Cursor();
  fw::Screen()->SetCursor(fw::crHourGlass);
  PushStatus("Reading file information...");
  try {
    TCustomInstall::ReadArchiveInfo();
    if (distributeType_ != dtTraditional) ReadRemoteFileList();
  } catch (...) {
    fw::Screen()->SetCursor(cursor);
    PopStatus();
    throw;
  }
  fw::Screen()->SetCursor(cursor);
  PopStatus();
  InfoRead = true;
  if (OnAfterReadArchiveInfo) OnAfterReadArchiveInfo(this);
  Broadcast(this, ieAfterReadArchiveInfo, nullptr);
}

void TInstall::ReadRemoteFileList() {
  FileInstallSystem& system = *InstallSystem();
  fw::TComponent* location = DownloadLocation(*this);
  const std::string path = system.TemporaryPath();
  std::vector<TNetFileRecord> records;
  try {
    if (!system.Download(location, "filelist.lst", path, nullptr)) throw EAIUserAbort();
    records = ReadNetFileList(path);
  } catch (...) {
    system.RemoveFile(path);
    throw;
  }
  system.RemoveFile(path);
  const std::vector<TCustomInstallFile*> files = AllInstallFiles();
  std::vector<std::string> names;
  for (TCustomInstallFile* file : files) names.push_back(file->Name());
  const auto matches = MatchNetFileRecords(records, names);
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!matches[i]) continue;
    TCustomInstallFile* file = files[*matches[i]];
    file->Size = records[i].Size;
    if (auto* installFile = dynamic_cast<TInstallFile*>(file)) {
      installFile->FileDate = records[i].Date;
      installFile->Version = records[i].Version.substr(0, kMaxVersionText);
    }
  }
}

void TInstall::NotifyGoodInstall() {
  if (OnBeforeNotifyGoodInstall) OnBeforeNotifyGoodInstall(this);
  Broadcast(this, ieGoodInstallNotify, nullptr);
  Broadcast(this, ieAfterGoodInstall, nullptr);
  if (OnAfterNotifyGoodInstall) OnAfterNotifyGoodInstall(this);
}

void TInstall::NotifyBadInstall() {
  if (OnBeforeNotifyBadInstall) OnBeforeNotifyBadInstall(this);
  Broadcast(this, ieBadInstallNotify, nullptr);
  Broadcast(this, ieAfterBadInstall, nullptr);
  if (OnAfterNotifyBadInstall) OnAfterNotifyBadInstall(this);
}

void TInstall::Shutdown() {
  bool quit = true;
  if (OnBeforeShutdown) OnBeforeShutdown(this, quit);
  if (quit) fw::Application()->Terminate();
}

bool TInstall::AskUserAbort() {
  bool quit = true;
  if (OnUserAbort) OnUserAbort(this, quit);
  return quit;
}

void TInstall::RunFilesAfterInstall() {
  const std::vector<TCustomInstallFile*> files = AllInstallFiles();
  for (TCustomInstallFile* file : files) {
    auto* installFile = dynamic_cast<TInstallFile*>(file);
    if (!installFile || !installFile->RunAfterInstall) continue;
    bool defaultAction = true;
    if (OnBeforeRunFile) OnBeforeRunFile(this, installFile, defaultAction);
    if (defaultAction) SystemSeams().WinExec("\"" + installFile->DestinationPath() + "\"", SW_SHOW);
  }
}

void TInstall::RegisterRestart() {
  const bool selfExtract = commandLine_.Has('e');
  const std::string installer =
      RestartInstallerPath(selfExtract, GetArchivePath(), useLoadingProgram_, baseFolder_, programPath_);
  const std::string command = RestartCommand(programPath_, installer, selfExtract, commandLine_.Has('c'));
  setup::RegisterRestart(SystemRegistry(), command);
  restartCommand_ = command;
}

// A run that ends by error or cancel does not come back at the next start.
void TInstall::ForgetRestart() {
  if (restartCommand_.empty()) return;
  std::vector<std::string> ours;
  auto access = SystemRegistry().Open(kLocalMachine);
  if (access && access->OpenKey(kRunOnceKey, false)) {
    for (const std::string& name : access->ValueNames())
      if (_strnicmp(name.c_str(), "PembrinUnfinished", 17) == 0 && access->ReadString(name) == restartCommand_)
        ours.push_back(name);
    access->CloseKey();
  }
  for (const std::string& name : ours) RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRunOnceKey + 1, name.c_str());
  restartCommand_.clear();
}

void TInstall::RestartWindows() {
  if (TTranslator* translator = GlobalTranslator(); translator && !instanceKey_.empty())
    RegWriteInteger(kLocalMachine, instanceKey_, "Language", static_cast<std::int32_t>(translator->TranslateIntoLanguage()));
  if (RunSeams().RestartWindows()) return;
  if (OnFailedReboot)
    OnFailedReboot(this);
  else
    fw::MessageDlg(TranslateString("Could not reboot windows. Please manually reboot windows."),
                   fw::TMsgDlgType::mtError, fw::mbOK);
}

void TInstall::PrepareCleanup() {
  if (!useLoadingProgram_ || !commandLine_.Has('c') || commandLine_.Has('d')) return;
  bool proceed = true;
  if (OnBeforeCleanup) OnBeforeCleanup(this, proceed);
  if (!proceed) return;
  const std::string folder = FolderOf(programPath_);
  for (const std::string& file : presetupFiles_) DeleteFileA((folder + "\\" + file).c_str());
  const std::string batch = ChangeFileExt(UniqueTempFileName(false), ".bat");
  std::ofstream out(batch, std::ios::binary);
  out << CleanupBatchText(programPath_, TempFolder(), batch);
  out.close();
  if (!out) return;
  cleanupBatch_ = batch;
  cleanupPending_ = true;
}

// --- Exceptions ---

void TInstall::HandleException(fw::TComponent* sender, const std::exception& error) {
  (void)sender;
  if (!running_) {
    fw::Application()->ShowException(error);
    return;
  }
  running_ = false;
  // Whoever started the setup learns that nothing was installed.
  exitCode_ = 1;
  try {
    NotifyBadInstall();
    ForgetRestart();
    if (dynamic_cast<const EAIUserAbort*>(&error)) {
      PrepareCleanup();
      RemoveInstanceKey();
      if (RunAutomatic) Shutdown();
    } else {
      // A path in the message (a destination may be as long as a path can
      // be) is broken over lines, so that the box keeps within the screen.
      fw::Application()->ShowException(fw::Exception(BreakLongRuns(error.what(), 60)));
      Shutdown();
    }
  } catch (...) {
    if (RunAutomatic) fw::Application()->Terminate();
  }
}

}  // namespace setup
