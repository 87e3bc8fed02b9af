#include "setup/wizard/wizard_win.h"

#include <algorithm>
#include <cctype>

#include "framework/application.h"
#include "setup/base/exceptions.h"
#include "setup/base/windows_routines_win.h"
#include "setup/wizard/folder_browser_win.h"

namespace setup {

namespace {

TDialogManager* currentManager = nullptr;

// The framework's Exception with a translated text, formatted by the checked
// formatter (a translation that does not fit the arguments falls back).
[[noreturn]] void Raise(const std::string& format, const fw::FormatArgs& args = {}) {
  throw fw::Exception(FormatTranslated(format, args));
}

// Sets the current manager for one showing and clears it on every way out.
class CurrentManagerScope {
 public:
  explicit CurrentManagerScope(TDialogManager* manager) { currentManager = manager; }
  ~CurrentManagerScope() { currentManager = nullptr; }
  CurrentManagerScope(const CurrentManagerScope&) = delete;
  CurrentManagerScope& operator=(const CurrentManagerScope&) = delete;
};

template <class Entry>
std::vector<std::shared_ptr<Entry>>& Registry() {
  static std::vector<std::shared_ptr<Entry>> list;
  return list;
}

template <class Entry, class FormClass>
std::shared_ptr<Entry> Register(std::vector<std::shared_ptr<Entry>>& list, FormClass formClass,
                                TCustomBaseInstallDlg* dialog) {
  auto entry = std::make_shared<Entry>();
  entry->FormClass = std::move(formClass);
  entry->Dialog = dialog;
  list.push_back(entry);
  return entry;
}

template <class Entry>
void Unregister(std::vector<std::shared_ptr<Entry>>& list, const std::shared_ptr<Entry>& entry) {
  list.erase(std::remove(list.begin(), list.end(), entry), list.end());
}

}  // namespace

void Guarded(fw::TForm* modal, const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    if (modal && modal->Modal())
      modal->AbortModal(std::current_exception());
    else
      throw;
  }
}

std::vector<std::shared_ptr<TBIFEntry>>& BIFList() { return Registry<TBIFEntry>(); }

std::shared_ptr<TBIFEntry> RegisterWizardPage(TFormClass formClass, TCustomBaseInstallDlg* dialog) {
  return Register(BIFList(), std::move(formClass), dialog);
}

void UnregisterWizardPage(const std::shared_ptr<TBIFEntry>& entry) { Unregister(BIFList(), entry); }

std::vector<std::shared_ptr<TDCFEntry>>& DCFList() { return Registry<TDCFEntry>(); }

std::shared_ptr<TDCFEntry> RegisterDuringCopyForm(TPembrinFormClass formClass,
                                                  TCustomBaseInstallDlg* dialog) {
  return Register(DCFList(), std::move(formClass), dialog);
}

void UnregisterDuringCopyForm(const std::shared_ptr<TDCFEntry>& entry) { Unregister(DCFList(), entry); }

std::vector<std::shared_ptr<TBCDFEntry>>& ChangeDiskFormList() { return Registry<TBCDFEntry>(); }

std::shared_ptr<TBCDFEntry> RegisterChangeDiskForm(TPembrinFormClass formClass,
                                                   TCustomBaseInstallDlg* dialog) {
  return Register(ChangeDiskFormList(), std::move(formClass), dialog);
}

void UnregisterChangeDiskForm(const std::shared_ptr<TBCDFEntry>& entry) {
  Unregister(ChangeDiskFormList(), entry);
}

TDialogManager* CurrentDialogManager() { return currentManager; }

std::function<bool()>& UserAbortQuery() {
  static std::function<bool()> query;
  return query;
}

TFolderChooser& FolderChooser() {
  static TFolderChooser chooser = [](const std::string& start, std::string& chosen) {
    TOpenFolderDialog browser(nullptr);
    browser.Directory = start;
    if (!browser.Execute()) return false;
    chosen = browser.Directory;
    return true;
  };
  return chooser;
}

std::function<const fw::TBitmap*()>& InstallThemeBitmap() {
  static std::function<const fw::TBitmap*()> picture;
  return picture;
}

std::function<bool*()>& RebootFlag() {
  static std::function<bool*()> flag;
  return flag;
}

TCopyAbortFlags& CopyAbortFlags() {
  static TCopyAbortFlags flags;
  return flags;
}

bool AskUserAbort() { return UserAbortQuery() ? UserAbortQuery()() : true; }

TDialogManager* FindDialogManager(TManagerType type) {
  TCustomInstall* install = FindInstall();
  for (TInstallContainer* object : AllInstallContainers())
    if (auto* manager = dynamic_cast<TDialogManager*>(object);
        manager && manager->ManagerType == type && manager->Container() == install)
      return manager;
  return nullptr;
}

// --- TDialogManager

void TDialogManager::InformationEvent(TInstallContainer* sender, int code, TEventObject* parameter) {
  TInstallObject::InformationEvent(sender, code, parameter);
  switch (ManagerActionFor(code, ManagerType)) {
    case TManagerAction::ShowWizard:
      ShowWizard();
      break;
    case TManagerAction::UpdateFileStatus:
    case TManagerAction::UpdateDownloadStatus: {
      const bool file = code == ieFileStatus;
      if (!parameter) throw IException("%s got a nil PO parameter", {Name()});
      const bool fits = file ? dynamic_cast<TFileStatusParameter*>(parameter) != nullptr
                             : dynamic_cast<TDownloadStatusParameter*>(parameter) != nullptr;
      if (!fits)
        throw IException(file ? "The PO object passed to %s is not a TFileStatusParameter object"
                              : "The PO object passed to %s is not a TDownloadStatusParameter object",
                         {Name()});
      if (file)
        UpdateDuringCopyForms(static_cast<TFileStatusParameter*>(parameter), nullptr);
      else
        UpdateDuringCopyForms(nullptr, static_cast<TDownloadStatusParameter*>(parameter));
      break;
    }
    case TManagerAction::CloseDuringCopyForms:
      CloseDuringCopyForms();
      break;
    case TManagerAction::ShowChangeDisk:
      ShowChangeDisk(parameter);
      break;
    case TManagerAction::None:
      break;
  }
}

TDialogManager::~TDialogManager() { CloseDuringCopyForms(); }

void TDialogManager::CreateDuringCopyForms() {
  const auto entries = DCFList();
  for (const auto& entry : entries) {
    std::unique_ptr<TBasePembrinForm> created(entry->FormClass(nullptr));
    auto* form = dynamic_cast<TBaseDuringCopyForm*>(created.get());
    if (!form || form->DM != this) continue;
    created.release();
    copyForms_.emplace_back(form);
    if (entry->Dialog) entry->Dialog->PlaceDuringCopyForm(*form);
    form->PreparePage();
    form->TranslateForm();
    form->Show();
  }
}

void TDialogManager::UpdateDuringCopyForms(TFileStatusParameter* fileStatus,
                                           TDownloadStatusParameter* download) {
  if (copyForms_.empty()) CreateDuringCopyForms();
  for (const auto& form : copyForms_) form->ShowProgress(fileStatus, download);
}

void TDialogManager::CloseDuringCopyForms() {
  auto forms = std::move(copyForms_);
  copyForms_.clear();
  for (const auto& form : forms) form->Close();
}

std::vector<TBaseDuringCopyForm*> TDialogManager::DuringCopyForms() const {
  std::vector<TBaseDuringCopyForm*> forms;
  for (const auto& form : copyForms_) forms.push_back(form.get());
  return forms;
}

void TDialogManager::ShowChangeDisk(TEventObject* parameter) {
  if (ChangeDiskFormList().empty()) return;
  std::unique_ptr<TBasePembrinForm> created(ChangeDiskFormList().front()->FormClass(nullptr));
  CurrentManagerScope scope(this);
  auto* form = dynamic_cast<TBaseChangeDiskForm*>(created.get());
  if (!form || form->DM != this) return;
  if (!parameter) Raise("The ParameterObject is Nil in the TDialogManager. Cannot show the change disk form");
  auto* list = dynamic_cast<TEventList*>(parameter);
  if (!list) Raise("TChangeDiskDlg--PO is not a TList object");
  if (list->Items.size() < 2) Raise("TChangeDiskDlg--Not engouh parameters for status event");
  auto* file = dynamic_cast<TCustomInstallFile*>(list->Items[0]);
  if (!file) throw fw::Exception("TChangeDiskDlg says bad first parameter");
  auto* disk = dynamic_cast<TDiskParameter*>(list->Items[1]);
  if (!disk) throw fw::Exception("TChangeDiskDlg says bad second parameter");
  // The file installation leaves its own prompt out for this disk.
  file->Tag = 1;
  form->DiskParameter = disk;
  form->PreparePage();
  form->TranslateForm();
  if (form->ShowModal() == fw::mrAbort) throw EAIUserAbort();
}

void TBaseDuringCopyForm::CancelCopy() {
  if (!AskUserAbort()) return;
  // The copy stops at the flags' next check; the form stays until the
  // copy reports that it has finished.
  for (const auto& flag : {CopyAbortFlags().Archive, CopyAbortFlags().Download})
    if (bool* set = flag ? flag() : nullptr) *set = true;
}

void TBaseChangeDiskForm::CancelDisk() {
  if (AskUserAbort()) SetModalResult(fw::mrAbort);
}

void TDialogManager::ShowWizard() {
  CurrentManagerScope scope(this);
  // One owner for the host (and its pages) on every path.
  std::unique_ptr<TBaseFormContainer> host(new TBaseFormContainer(nullptr));
  host->SetBounds(host->Left(), host->Top(), Width, Height);
  host->PlaceOnScreen(Position, RelativeLeftOffset, RelativeTopOffset);
  if (host->LoadPages() == 0) return;
  // Every page skipping itself would leave an empty window that cannot be
  // closed: there is nothing to ask, so the wizard ends as finished.
  bool anyShown = false;
  for (TBaseInstallForm* page : host->Pages()) anyShown = anyShown || !page->SkipPage();
  if (!anyShown) return;
  const fw::TModalResult result = host->ShowModal();
  if (result == fw::mrAbort) throw EAIUserAbort();
  if (fw::TForm* main = fw::Application()->MainForm()) main->Repaint();
  fw::Application()->ProcessMessages();
}

void TDialogManager::AddDialog(TCustomBaseInstallDlg* dialog) {
  if (!dialog) Raise("Cannot add a NIL Dialog to the Dialog Manager %s", {Name()});
  dialogs_.push_back(dialog);
}

void TDialogManager::RemoveDialog(TCustomBaseInstallDlg* dialog) {
  dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), dialog), dialogs_.end());
}

// --- TCustomBaseInstallDlg

TCustomBaseInstallDlg::TCustomBaseInstallDlg(fw::TComponent* owner) : TInstallObject(owner) {}

TCustomBaseInstallDlg::~TCustomBaseInstallDlg() {
  if (entry_) UnregisterWizardPage(entry_);
  if (dialogManager_) {
    dialogManager_->RemoveDialog(this);
    dialogManager_->RemoveFreeNotification(this);
  }
}

void TCustomBaseInstallDlg::RegisterPage() { entry_ = RegisterWizardPage(FormClass(), this); }

void TCustomBaseInstallDlg::SetDialogManager(TDialogManager* manager) {
  if (manager == dialogManager_) return;
  if (manager) {
    manager->AddDialog(this);
    manager->FreeNotification(this);
  }
  if (dialogManager_) dialogManager_->RemoveDialog(this);
  dialogManager_ = manager;
}

void TCustomBaseInstallDlg::Notification(fw::TComponent* component, fw::TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation == fw::TOperation::opRemove && component == dialogManager_) dialogManager_ = nullptr;
}

void TCustomBaseInstallDlg::AssignDialogProperties() {
  if (!form_) Raise("Cannot AssignDialogProperties for %s because the Dialog is Nil", {Name()});
  form_->AutoSetFont = AutoSetFont;
  form_->AutoTranslate = AutoTranslate;
  form_->Container = Container();
  form_->OverrideMainTranslator = OverrideMainTranslator;
  form_->TranslateIntoLanguage = TranslateIntoLanguage;
  form_->DC = this;
  Translate();
  // Every page component: no Back on its own, Next (and Finish) end it with
  // mrOk. Inside a wizard PreparePage sets the buttons again.
  if (form_->PreviousButton) form_->PreviousButton->SetVisible(false);
  if (form_->NextButton) form_->NextButton->SetModalResult(fw::mrOk);
  if (form_->FinishButton) form_->FinishButton->SetModalResult(fw::mrOk);
  if (form_->ThemeBitmap) {
    ApplyThemeBitmap(form_->ThemeBitmap->Picture());
    form_->ThemeBitmap->PictureChanged();
  }
}

void TCustomBaseInstallDlg::ApplyThemeBitmap(fw::TBitmap& picture) const {
  if (!themeBitmap_.Empty()) {
    picture.Assign(themeBitmap_);
    return;
  }
  // A page without a picture of its own shows the installer's.
  if (InstallThemeBitmap())
    if (const fw::TBitmap* installs = InstallThemeBitmap()(); installs && !installs->Empty())
      picture.Assign(*installs);
}

void TCustomBaseInstallDlg::Translate() {
  if (form_) form_->TranslateForm();
}

bool TCustomBaseInstallDlg::Execute() {
  try {
    if (OnBeforeExecute) OnBeforeExecute(this);
    const bool result = ShowDialog();
    fw::Application()->ProcessMessages();
    if (OnAfterExecute) OnAfterExecute(this);
    return result;
  } catch (const fw::EAbort&) {
    return false;
  }
}

bool TCustomBaseInstallDlg::ShowDialog() {
  if (!CanShow()) return true;
  std::unique_ptr<TBaseInstallForm> form(FormClass()(nullptr));
  form_ = form.get();
  struct Clear {
    TBaseInstallForm*& ref;
    ~Clear() { ref = nullptr; }
  } clear{form_};
  AssignDialogProperties();
  if (form->ShowModal() != fw::mrOk) throw EAIUserAbort();
  return true;
}

void TCustomBaseInstallDlg::PrepareShownPage() {
  ShownForm()->PreparePage();
  if (ShownForm()->PreviousButton) ShownForm()->PreviousButton->SetVisible(false);
}

bool TCustomBaseInstallDlg::ShowWithContainer(bool hasContainer) {
  if (!hasContainer) Raise("Cannot run this dialog %s with a blank Container property", {Name()});
  return TCustomBaseInstallDlg::ShowDialog();
}

void TCustomBaseInstallDlg::InformationEvent(TInstallContainer* sender, int code, TEventObject* parameter) {
  TInstallObject::InformationEvent(sender, code, parameter);
  if (!dialogManager_ && code != 0 && code == TriggerEvent()) Execute();
}

}  // namespace setup
