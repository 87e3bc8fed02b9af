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

int ScreenCaptionHeight() { return GetSystemMetrics(SM_CYCAPTION); }

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

// --- TBaseFormContainer

TBaseFormContainer::TBaseFormContainer(fw::TComponent* owner) : fw::TForm(owner) {
  fw::FormLoading loading(*this);
  SetName("BaseFormContainer");
  SetCaption("BaseFormContainer");
  SetBorderStyle(fw::TFormBorderStyle::bsDialog);
  SetBorderIcons(0);
  Font().SetName("Arial");
  Font().SetHeight(-11);
  Font().SetColor(fw::clBlack);
  Font().SetCharset(0);
  DisplayPanel = new fw::TPanel(this);
  DisplayPanel->SetName("DisplayPanel");
  DisplayPanel->SetParent(this);
  DisplayPanel->SetBevelOuter(fw::TBevelCut::bvNone);
  DisplayPanel->SetAlign(fw::TAlign::alClient);
  resizing_ = true;
  SetBounds(Left(), Top(), 478, 395);
  resizing_ = false;
  // Closing is refused unless the wizard finished or was aborted.
  OnClose = [this](fw::TComponent*, fw::TCloseAction& action) {
    if (!Finished() && ModalResult() != fw::mrAbort) action = fw::TCloseAction::caNone;
  };
  loading.End();
}

TBaseFormContainer::~TBaseFormContainer() {
  // Pages are owned by the host; they go before its window.
  for (TBaseInstallForm* page : pages_)
    if (page->DC && page->DC->ShownForm() == page) page->DC->SetShownForm(nullptr);
}

TBaseInstallForm* TBaseFormContainer::CurrentPage() const {
  const int i = TabIndex();
  return i >= 0 && i < static_cast<int>(pages_.size()) ? pages_[i] : nullptr;
}

int TBaseFormContainer::LoadPages() {
  TDialogManager* manager = CurrentDialogManager();
  if (!manager) Raise("The current dialog manager is not defined");
  const auto entries = BIFList();
  for (const auto& entry : entries) {
    TCustomBaseInstallDlg* dialog = entry->Dialog;
    if (dialog && (dialog->DialogManager() != manager || !dialog->CanShow())) continue;
    TBaseInstallForm* page = entry->FormClass(this);
    if (!dialog && page->DM != manager) {
      delete page;
      continue;
    }
    if (dialog) {
      page->DC = dialog;
      page->Container = dialog->Container();
      page->Order = dialog->Order;
      dialog->SetShownForm(page);
      dialog->AssignDialogProperties();
    }
    page->TranslateForm();
    pages_.push_back(page);
  }
  ExchangeSortByOrder(pages_, [](TBaseInstallForm* p) { return p->Order; });
  nav_ = std::make_unique<TPageNavigator>(static_cast<int>(pages_.size()),
                                          [this](int i) { return pages_[i]->SkipPage(); });
  nav_->OnActivate = [this](int i) {
    SetCaption(pages_[i]->Caption());
    for (int j = 0; j < static_cast<int>(pages_.size()); ++j)
      if (j != i) pages_[j]->SetVisible(false);
    pages_[i]->PageActivated();
  };
  Arrange();
  OnShow = [this](fw::TComponent*) { Guarded(this, [this] { nav_->Start(); }); };
  return static_cast<int>(pages_.size());
}

bool TBaseFormContainer::ShowPage(int index, bool backward) {
  return nav_ && nav_->ShowPage(index, backward);
}

void TBaseFormContainer::NextPage() {
  if (!nav_) return;
  TBaseInstallForm* leaving = CurrentPage();
  if (nav_->Next()) {
    SetModalResult(fw::mrOk);
    Close();
  } else if (leaving && leaving != CurrentPage()) {
    leaving->PageLeaving();
  }
}

void TBaseFormContainer::PreviousPage() {
  if (!nav_) return;
  TBaseInstallForm* leaving = CurrentPage();
  nav_->Previous();
  if (leaving && leaving != CurrentPage()) leaving->PageLeaving();
}

void TBaseFormContainer::PlaceOnScreen(TPembrinDialogPosition position, int leftOffset, int topOffset) {
  const TScreenPlace p =
      setup::PlaceOnScreen(position, leftOffset, topOffset, Width(), Height(), GetSystemMetrics(SM_CXSCREEN),
                           GetSystemMetrics(SM_CYSCREEN), ScreenCaptionHeight());
  SetPosition(fw::TPosition::poDesigned);
  SetBounds(p.Left, p.Top, Width(), Height());
}

void TBaseFormContainer::Resize() {
  fw::TForm::Resize();
  if (!resizing_) Arrange();
}

void TBaseFormContainer::Arrange() {
  // Pages take the host's client area (not its outer height).
  for (TBaseInstallForm* page : pages_) page->SetBounds(0, 0, ClientWidth(), ClientHeight());
}

// --- TBaseInstallForm

TBaseInstallForm::TBaseInstallForm(fw::TComponent* owner) : TBasePembrinForm(owner) {}

TBaseFormContainer* TBaseInstallForm::Host() const { return dynamic_cast<TBaseFormContainer*>(Owner()); }

void TBaseInstallForm::CreateParams(fw::TCreateParams& params) {
  TBasePembrinForm::CreateParams(params);
  if (TBaseFormContainer* host = Host()) {
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    params.ExStyle = WS_EX_CONTROLPARENT;
    params.WndParent = host->Handle();
    params.X = params.Y = 0;
    params.Width = host->ClientWidth();
    params.Height = host->ClientHeight();
  } else if (StayOnTop) {
    params.ExStyle |= WS_EX_TOPMOST;
  }
}

bool TBaseInstallForm::IsFirstPage() {
  TBaseFormContainer* host = Host();
  if (!host) return false;
  for (TBaseInstallForm* page : host->Pages()) {
    if (page == this) return true;
    if (!page->SkipPage()) return false;
  }
  return true;
}

bool TBaseInstallForm::IsLastPage() {
  TBaseFormContainer* host = Host();
  return host && !host->Pages().empty() && host->Pages().back() == this;
}

void TBaseInstallForm::AbortWizard() {
  if (TBaseFormContainer* host = Host())
    host->SetModalResult(fw::mrAbort);
  else
    SetModalResult(fw::mrAbort);
}

void TBaseInstallForm::NextPage() {
  if (TBaseFormContainer* host = Host()) host->NextPage();
}

void TBaseInstallForm::PreviousPage() {
  if (TBaseFormContainer* host = Host()) host->PreviousPage();
}

void TBaseInstallForm::PageActivated() {
  if (!Host()) return;
  // Shown first, so that PreparePage can give the focus to its button.
  SetVisible(true);
  PreparePage();
  BringToFront();
}

void TBaseInstallForm::Guard(const std::function<void()>& handler) {
  Guarded(Host() ? static_cast<fw::TForm*>(Host()) : this, handler);
}

void TBaseInstallForm::CancelWizard() {
  if (AskUserAbort()) AbortWizard();
}

void TBaseInstallForm::BuildLayout(bool withFinish) {
  SetBorderStyle(fw::TFormBorderStyle::bsDialog);
  SetBorderIcons(0);
  // Inside a host the page sits at 0, 0 of the host's client area.
  SetPosition(Host() ? fw::TPosition::poDesigned : fw::TPosition::poScreenCenter);
  Font().SetName("Arial");
  Font().SetHeight(-11);
  SetClientWidth(470);
  SetClientHeight(368);
  LeftPanel = new fw::TPanel(this);
  LeftPanel->SetParent(this);
  LeftPanel->SetWidth(136);
  LeftPanel->SetAlign(fw::TAlign::alLeft);
  LeftPanel->SetBevelOuter(fw::TBevelCut::bvNone);
  ThemeBitmap = new fw::TImage(this);
  ThemeBitmap->SetParent(LeftPanel);
  ThemeBitmap->SetAlign(fw::TAlign::alClient);
  ThemeBitmap->SetCenter(true);
  // The content comes before the button row, so Tab visits it first.
  ContentPanel = new fw::TPanel(this);
  ContentPanel->SetParent(this);
  ContentPanel->SetAlign(fw::TAlign::alClient);
  ContentPanel->SetBevelOuter(fw::TBevelCut::bvNone);
  BottomPanel = new fw::TPanel(this);
  BottomPanel->SetParent(this);
  BottomPanel->SetHeight(52);
  BottomPanel->SetAlign(fw::TAlign::alBottom);
  BottomPanel->SetBevelOuter(fw::TBevelCut::bvNone);
  auto* line = new fw::TBevel(this);
  line->SetParent(BottomPanel);
  line->SetShape(fw::TBevelShape::bsTopLine);
  line->SetBounds(8, 4, 454, 2);
  auto button = [&](const char* caption, int glid, int left, int width, std::function<void()> action) {
    auto* b = new translator::TTranslateBitBtn(this);
    b->SetParent(BottomPanel);
    b->SetBounds(left, 15, width, 33);
    b->SetCaption(caption);
    b->GLID = glid;
    b->OnClick = [this, action](fw::TComponent*) { Guard(action); };
    return b;
  };
  // Pages with Finish have no Cancel; Next and Finish share one place.
  const int proceedLeft = withFinish ? 384 : 288;
  PreviousButton = button("< Previous", 4, withFinish ? 304 : 208, 75, [this] { PreviousPage(); });
  NextButton = button("Next >", 5, proceedLeft, 75, [this] { NextPage(); });
  NextButton->SetDefault(true);
  if (withFinish) {
    FinishButton = button("Finish", 72, proceedLeft, 75, [this] { NextPage(); });
    FinishButton->SetDefault(true);
  } else {
    CancelButton = button("Cancel", 6, 368, 89, [this] { CancelWizard(); });
    CancelButton->SetCancel(true);
  }
}

translator::TTranslateLabel* TBaseInstallForm::AddText(fw::TWinControl* parent, const std::string& text, int glid,
                                                      int left, int top, int width, int height) {
  auto* label = new translator::TTranslateLabel(this);
  label->SetParent(parent);
  label->SetAutoSize(false);
  label->SetWordWrap(true);
  label->SetBounds(left, top, width, height);
  label->SetCaption(text);
  label->GLID = glid;
  return label;
}

void TBaseInstallForm::PrepareButtons() {
  if (PreviousButton) PreviousButton->SetVisible(!IsFirstPage());
  if (FinishButton) {
    NextButton->SetVisible(!IsLastPage());
    FinishButton->SetVisible(!NextButton->Visible());
  }
  fw::TButton* proceed = FinishButton && FinishButton->Visible() ? FinishButton : NextButton;
  if (proceed && proceed->Visible() && Visible() && proceed->CanFocus()) proceed->SetFocus();
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

// --- Pages

TWelcomeForm::TWelcomeForm(fw::TComponent* owner) : TBaseInstallForm(owner) {
  fw::FormLoading loading(*this);
  SetName("WelcomeForm");
  SetCaption("Welcome");
  BuildLayout(false);
  StayOnTop = true;
  WelcomeText = AddText(ContentPanel, "This program will install the software on your computer.", 10, 12, 16, 310,
                        30);
  AddText(ContentPanel,
          "It is strongly recommended that you exit all Windows programs before running this setup. If you "
          "need to close any programs, click Cancel to quit the setup and then close the programs.",
          11, 12, 56, 310, 60);
  AddText(ContentPanel, "Click Next to continue with the installation.", 12, 12, 126, 310, 30);
  DM = FindDialogManager(dmBeforeInstall);
  Order = 5;
  loading.End();
}

void TWelcomeForm::PreparePage() { PrepareButtons(); }

TWelcomeDlg::TWelcomeDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
  Order = 10;
  SetDialogManager(FindDialogManager(dmBeforeInstall));
  RegisterPage();
}

TFormClass TWelcomeDlg::FormClass() const { return FormClassOf<TWelcomeForm>(); }

TfrmBeforeInstallDialog::TfrmBeforeInstallDialog(fw::TComponent* owner) : TBaseInstallForm(owner) {
  fw::FormLoading loading(*this);
  SetName("frmBeforeInstallDialog");
  SetCaption("Quorvane INSTALL");
  BuildLayout(false);
  SetPosition(fw::TPosition::poDesigned);
  auto label = [&](const char* text, int top, int height, unsigned style, fw::TColor colour) {
    auto* l = new fw::TLabel(this);
    l->SetParent(ContentPanel);
    l->SetAutoSize(false);
    l->SetBounds(0, top, 329, 12 - height);  // height is the (negative) font height
    l->SetAlignment(fw::TAlignment::taCenter);
    l->Font().SetName("Arial");
    l->Font().SetHeight(height);
    l->Font().SetStyle(style);
    l->Font().SetColor(colour);
    l->SetCaption(text);
  };
  label("Ostrel SYSTEMS PRESENTS", 64, -21, 0, fw::clNavy);
  label("Brask Quorvane", 120, -27, fw::fsBold, 2650111);
  DM = FindDialogManager(dmBeforeInstall);
  Order = 0;
  loading.End();
}

std::shared_ptr<TBIFEntry> RegisterProductPage() {
  return RegisterWizardPage(FormClassOf<TfrmBeforeInstallDialog>(), nullptr);
}

TTextPageForm::TTextPageForm(fw::TComponent* owner, const char* name, const char* caption, int order,
                             const char* above, int aboveGlid, const char* below, int belowGlid)
    : TBaseInstallForm(owner) {
  fw::FormLoading loading(*this);
  SetName(name);
  SetCaption(caption);
  BuildLayout(false);
  StayOnTop = true;
  AddText(ContentPanel, above, aboveGlid, 8, 8, 318, 30);
  Text = new fw::TRichEdit(this);
  Text->SetParent(ContentPanel);
  Text->SetReadOnly(true);
  Text->SetScrollBars(fw::TMemo::TScrollStyle::ssVertical);
  Text->SetColor(fw::clBtnFace);
  Text->SetBounds(8, 40, 318, below ? 200 : 260);
  if (below) AddText(ContentPanel, below, belowGlid, 8, 246, 318, 56);
  DM = FindDialogManager(dmBeforeInstall);
  Order = order;
  loading.End();
}

TLicenseForm::TLicenseForm(fw::TComponent* owner)
    : TTextPageForm(owner, "LicenseForm", "Software license agreement", 20,
                    "Please read the following License Agreement.", 2,
                    "By clicking on the Next button below, you agree to all terms stated in the License "
                    "Agreement. You may cancel the installation by clicking on the Cancel button.",
                    3) {}

TReadmeForm::TReadmeForm(fw::TComponent* owner)
    : TTextPageForm(owner, "ReadmeForm", "Readme information", 30,
                    "Please read the information below before you install this software on your computer.", 8,
                    nullptr, 0) {}

namespace {
void ShowLines(TBaseInstallForm* form, const std::vector<std::string>& lines) {
  auto* page = dynamic_cast<TTextPageForm*>(form);
  if (!page) return;
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  page->Text->SetText(text);
}
}  // namespace

TLicenseDlg::TLicenseDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
  Order = 20;
  SetDialogManager(FindDialogManager(dmBeforeInstall));
  RegisterPage();
}

TFormClass TLicenseDlg::FormClass() const { return FormClassOf<TLicenseForm>(); }

void TLicenseDlg::AssignDialogProperties() {
  TCustomBaseInstallDlg::AssignDialogProperties();
  ShowLines(ShownForm(), LicenseAgreement);
}

TReadmeDlg::TReadmeDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
  Order = 30;
  SetDialogManager(FindDialogManager(dmBeforeInstall));
  RegisterPage();
}

TFormClass TReadmeDlg::FormClass() const { return FormClassOf<TReadmeForm>(); }

void TReadmeDlg::AssignDialogProperties() {
  TCustomBaseInstallDlg::AssignDialogProperties();
  ShowLines(ShownForm(), ReadmeText);
}

TEndPageForm::TEndPageForm(fw::TComponent* owner, TManagerType type, const std::string& caption,
                           const std::string& text, int glid)
    : TBaseInstallForm(owner) {
  fw::FormLoading loading(*this);
  SetCaption(caption);
  BuildLayout(true);
  StayOnTop = true;
  Message = AddText(ContentPanel, text, glid, 12, 16, 310, 200);
  DM = FindDialogManager(type);
  Order = 10;
  loading.End();
}

void TEndPageForm::PreparePage() { PrepareButtons(); }

TGoodInstallationDlg::TGoodInstallationDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
  Order = 10;
  SetDialogManager(FindDialogManager(dmAfterGoodInstall));
  RegisterPage();
}

TFormClass TGoodInstallationDlg::FormClass() const {
  return [](fw::TComponent* owner) {
    return new TEndPageForm(
        owner, dmAfterGoodInstall, "Setup complete",
        "The software has been properly installed. You may start the software by clicking on the icon.", 38);
  };
}

TBadInstallationDlg::TBadInstallationDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
  Order = 10;
  SetDialogManager(FindDialogManager(dmAfterBadInstall));
  RegisterPage();
}

TFormClass TBadInstallationDlg::FormClass() const {
  return [](fw::TComponent* owner) {
    return new TEndPageForm(
        owner, dmAfterBadInstall, "Setup incomplete",
        "This software has not been properly installed and will not work correctly if you try to use it.", 60);
  };
}

namespace {

const char* const kTabTexts[] = {
    "Program will be installed with the most common options.",
    "Program will be installed with minimum required options.",
    "Program will be installed with all options.",
    "You may choose the options you want to install. Recommended for advanced users.",
};

std::string Trimmed(const std::string& text) {
  std::size_t a = 0, b = text.size();
  while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
  return text.substr(a, b - a);
}

// Folders created only so that the browser can start there; removed again,
// deepest first, when still empty.
class BrowseFolders {
 public:
  ~BrowseFolders() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) RemoveDirectoryA(it->c_str());
  }
  // Creates dir with its missing parents; returns the deepest folder that
  // exists afterwards ("" when none).
  std::string Prepare(const std::string& dir) {
    std::string path = dir;
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    std::string deepest;
    std::size_t from = path.size() > 2 && path[1] == ':' ? 3 : 0;
    if (path.rfind("\\\\", 0) == 0) {  // \\server\share is the root of a network path
      const std::size_t server = path.find('\\', 2);
      from = server == std::string::npos ? path.size() : path.find('\\', server + 1);
      if (from == std::string::npos) from = path.size();
    }
    if (from > 0 && FolderExists(path.substr(0, from))) deepest = path.substr(0, from);
    while (from < path.size()) {
      std::size_t next = path.find_first_of("\\/", from);
      if (next == std::string::npos) next = path.size();
      const std::string level = path.substr(0, next);
      if (!level.empty() && !FolderExists(level)) {
        if (!CreateDirectoryA(level.c_str(), nullptr)) break;
        created_.push_back(level);
      }
      if (!level.empty()) deepest = level;
      from = next + 1;
    }
    return deepest;
  }

 private:
  std::vector<std::string> created_;
};

}  // namespace

TInstallTypeForm::TInstallTypeForm(fw::TComponent* owner) : TBaseInstallForm(owner) {
  fw::FormLoading loading(*this);
  SetName("InstallTypeForm");
  SetCaption("Setup type");
  BuildLayout(false);
  AddText(ContentPanel, "Click the type of Setup you prefer, then click the Next button.", 59, 8, 8, 318, 28);
  PageControl = new fw::TTabControl(this);
  PageControl->SetParent(ContentPanel);
  PageControl->SetBounds(8, 40, 318, 120);
  for (const char* tab : {"Typical", "Compact", "Full", "Custom"}) PageControl->AddTab(tab);
  TabText = new fw::TLabel(this);
  TabText->SetParent(PageControl);
  TabText->SetAutoSize(false);
  TabText->SetWordWrap(true);
  TabText->SetBounds(12, 36, 290, 70);
  PageControl->OnChange = [this](fw::TComponent*) {
    ShowTabText();
    if (updating_ || !Container) return;
    const int tab = PageControl->ActiveTab();
    Container->SetCurrentInstallType(tab == CompactTab  ? itCompact
                                     : tab == FullTab   ? itFull
                                     : tab == CustomTab ? itCustom
                                                        : itDefault);
  };
  DestinationGroup = new fw::TGroupBox(this);
  DestinationGroup->SetParent(ContentPanel);
  DestinationGroup->SetBounds(8, 176, 318, 60);
  DestinationGroup->SetCaption("Destination Directory");
  edDestDir = new TLowerCaseEdit(this);
  edDestDir->SetParent(DestinationGroup);
  edDestDir->SetBounds(10, 24, 210, 21);
  edDestDir->OnChange = [this](fw::TComponent*) {
    if (updating_ || !Container) return;
    Container->SetDestDirType(nullptr);
    Container->SetDestDir(edDestDir->Text());
  };
  auto* browse = new translator::TTranslateBitBtn(this);
  browse->GLID = 26;
  BrowseBtn = browse;
  BrowseBtn->SetParent(DestinationGroup);
  BrowseBtn->SetBounds(228, 21, 80, 27);
  BrowseBtn->SetCaption("&Browse");
  BrowseBtn->OnClick = [this](fw::TComponent*) { Guard([this] { Browse(); }); };
  Container = FindInstall();
  DM = FindDialogManager(dmBeforeInstall);
  Order = 40;
  loading.End();
}

bool TInstallTypeForm::SkipPage() {
  return !Container || Container->InstallTypes() == InstallTypeSet({itAlways});
}

void TInstallTypeForm::ShowTabText() {
  const int tab = PageControl->ActiveTab();
  TabText->SetCaption(tab >= 0 ? Translated(kTabTexts[tab]) : "");
}

void TInstallTypeForm::PreparePage() {
  updating_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{updating_};
  PrepareButtons();
  if (!Container) return;
  const TInstallTypeSet types = Container->InstallTypes();
  PageControl->SetTabVisible(TypicalTab, Contains(types, itDefault));
  PageControl->SetTabVisible(CompactTab, Contains(types, itCompact));
  PageControl->SetTabVisible(CustomTab, Contains(types, itCustom));
  PageControl->SetTabVisible(FullTab, Contains(types, itFull));
  const std::string dir = Container->GetDestDir();
  DestinationGroup->SetVisible(!dir.empty());
  edDestDir->SetText(dir);
  const TInstallType current = Container->CurrentInstallType();
  PageControl->SetActiveTab(current == itFull      ? FullTab
                            : current == itDefault ? TypicalTab
                            : current == itCompact ? CompactTab
                                                   : CustomTab);
  ShowTabText();
}

bool BrowseForDestination(const std::string& dir, std::string& chosen) {
  if (!FolderChooser()) return false;
  const std::string trimmed = Trimmed(dir);
  BrowseFolders folders;  // removes what it created on every way out
  const std::string start = trimmed.empty() ? std::string() : folders.Prepare(trimmed);
  if (!FolderChooser()(start, chosen)) return false;
  while (chosen.size() > 3 && chosen.back() == '\\') chosen.pop_back();
  return true;
}

void TInstallTypeForm::Browse() {
  std::string chosen;
  if (!Container || !BrowseForDestination(Container->GetDestDir(), chosen)) return;
  Container->SetDestDirType(nullptr);
  Container->SetDestDir(chosen);
  updating_ = true;
  edDestDir->SetText(Container->DestDir());
  updating_ = false;
}

TInstallTypeDlg::TInstallTypeDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
  Order = 40;
  SetDialogManager(FindDialogManager(dmBeforeInstall));
  RegisterPage();
}

TFormClass TInstallTypeDlg::FormClass() const { return FormClassOf<TInstallTypeForm>(); }

void TInstallTypeDlg::AssignDialogProperties() {
  TCustomBaseInstallDlg::AssignDialogProperties();
  PrepareShownPage();
}

bool TInstallTypeDlg::ShowDialog() { return ShowWithContainer(Container() != nullptr); }

TRebootForm::TRebootForm(fw::TComponent* owner) : TBaseInstallForm(owner) {
  fw::FormLoading loading(*this);
  SetName("RebootForm");
  SetCaption("Reboot windows");
  BuildLayout(true);
  SetClientWidth(475);
  AddText(ContentPanel,
          "Several components could not be installed on your system because they were in use. For the "
          "installation to proceed, you will need to reboot your computer. If you decide not to reboot now, the "
          "software will probably not work until you do reboot.",
          52, 8, 8, 320, 110);
  RG = new fw::TRadioGroup(this);
  RG->SetParent(ContentPanel);
  RG->SetBounds(8, 130, 320, 70);
  RG->SetItems({"Yes, I would like to reboot windows", "No, I would not like to reboot windows"});
  RG->OnClick = [this](fw::TComponent*) {
    if (updating_) return;
    if (bool* reboot = RebootFlag() ? RebootFlag()() : nullptr) *reboot = RG->ItemIndex() == 0;
  };
  DM = FindDialogManager(dmReboot);
  Order = 10;
  loading.End();
}

void TRebootForm::PreparePage() {
  PrepareButtons();
  // Preselecting shows the current answer and never changes it.
  updating_ = true;
  RG->SetItemIndex(1);
  if (bool* reboot = RebootFlag() ? RebootFlag()() : nullptr; reboot && *reboot) RG->SetItemIndex(0);
  updating_ = false;
}

TRebootDlg::TRebootDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
  Order = 10;
  SetDialogManager(FindDialogManager(dmReboot));
  RegisterPage();
}

TFormClass TRebootDlg::FormClass() const { return FormClassOf<TRebootForm>(); }

void TRebootDlg::AssignDialogProperties() {
  TCustomBaseInstallDlg::AssignDialogProperties();
  PrepareShownPage();
}

}  // namespace setup
