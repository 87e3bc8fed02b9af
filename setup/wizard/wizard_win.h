// The installer's dialog layer: dialog managers that show wizards of pages
// on install events, the wizard host, the page base and dialog components.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/extctrls.h"
#include "framework/radiogroup.h"
#include "framework/tabcontrol.h"
#include "framework/richedit.h"
#include "framework/stdctrls.h"
#include "setup/install/base_form_win.h"
#include "setup/install/install_tree.h"
#include "setup/translator/form_translation_win.h"
#include "setup/wizard/wizard_core.h"

namespace setup {

class TDialogManager;
class TBaseInstallForm;
class TCustomBaseInstallDlg;
class TBaseDuringCopyForm;

using TFormClass = std::function<TBaseInstallForm*(fw::TComponent* owner)>;
// The form class of a page type: creates the page with its owner.
template <class Form>
TFormClass FormClassOf() {
  return [](fw::TComponent* owner) -> TBaseInstallForm* { return new Form(owner); };
}

struct TBIFEntry {
  TFormClass FormClass;
  TCustomBaseInstallDlg* Dialog = nullptr;
  std::int32_t Reserved = 0;
};

// Wizard pages in registration order.
std::vector<std::shared_ptr<TBIFEntry>>& BIFList();
std::shared_ptr<TBIFEntry> RegisterWizardPage(TFormClass formClass, TCustomBaseInstallDlg* dialog);
void UnregisterWizardPage(const std::shared_ptr<TBIFEntry>& entry);

// Forms shown outside a wizard: the during-copy forms and the change-disk
// form, each registered with the dialog component that shows it (or nil).
using TPembrinFormClass = std::function<TBasePembrinForm*(fw::TComponent* owner)>;
struct TDCFEntry {
  TPembrinFormClass FormClass;
  TCustomBaseInstallDlg* Dialog = nullptr;
  std::int32_t Reserved = 0;
};
struct TBCDFEntry : TDCFEntry {};

std::vector<std::shared_ptr<TDCFEntry>>& DCFList();
std::shared_ptr<TDCFEntry> RegisterDuringCopyForm(TPembrinFormClass formClass, TCustomBaseInstallDlg* dialog);
void UnregisterDuringCopyForm(const std::shared_ptr<TDCFEntry>& entry);
std::vector<std::shared_ptr<TBCDFEntry>>& ChangeDiskFormList();
std::shared_ptr<TBCDFEntry> RegisterChangeDiskForm(TPembrinFormClass formClass,
                                                   TCustomBaseInstallDlg* dialog);
void UnregisterChangeDiskForm(const std::shared_ptr<TBCDFEntry>& entry);

// Runs a handler of a form's control; with a modal form up, an exception
// that escapes the handler ends the form's loop and is raised again by
// ShowModal, so it reaches the run once.
void Guarded(fw::TForm* modal, const std::function<void()>& handler);

// The manager whose wizard is being built and shown; nil otherwise.
TDialogManager* CurrentDialogManager();

// The install run's answer to "abort the installation?" (true: abort). The
// run connects it; without one the answer is yes.
std::function<bool()>& UserAbortQuery();
bool AskUserAbort();

TDialogManager* FindDialogManager(TManagerType type);

// The folder browser that Browse on the setup-type page opens; true with
// the chosen folder on OK. start is empty when there is no starting folder.
using TFolderChooser = std::function<bool(const std::string& start, std::string& chosen)>;
TFolderChooser& FolderChooser();

// Browses for a destination starting at dir, which is created for the
// browser when missing and removed again afterwards while still empty. True
// on OK, with the chosen folder without a trailing backslash.
bool BrowseForDestination(const std::string& dir, std::string& chosen);

// The install run's picture for pages that have none of their own (the run
// connects it); nil without a run.
std::function<const fw::TBitmap*()>& InstallThemeBitmap();

// The install run's restart flag (the run connects it); nil without a run.
std::function<bool*()>& RebootFlag();

// The flags a cancel during copying sets: the archive's Abort and the
// process-wide download abort flag. The run connects them; nil without one.
struct TCopyAbortFlags {
  std::function<bool*()> Archive;
  std::function<bool*()> Download;
};
TCopyAbortFlags& CopyAbortFlags();

class TDialogManager : public TInstallObject {
 public:
  static constexpr int kRegisteredType = rtDialog;
  explicit TDialogManager(fw::TComponent* owner) : TInstallObject(owner) {}
  ~TDialogManager() override;
  std::string ClassName() const override { return "TDialogManager"; }
  int RegisteredType() const override { return rtDialog; }

  int Height = 395;
  int Width = 478;
  TManagerType ManagerType = dmBeforeInstall;
  TPembrinDialogPosition Position = pdpCenter;
  int RelativeLeftOffset = 0;
  int RelativeTopOffset = 0;

  void InformationEvent(TInstallContainer* sender, int code, TEventObject* parameter) override;
  virtual void ShowWizard();
  // Shows the first registered change-disk form modally for the event's
  // {file, TDiskParameter} list; Cancel answered yes raises EAIUserAbort.
  virtual void ShowChangeDisk(TEventObject* parameter);
  virtual void AddDialog(TCustomBaseInstallDlg* dialog);
  virtual void RemoveDialog(TCustomBaseInstallDlg* dialog);
  const std::vector<TCustomBaseInstallDlg*>& Dialogs() const { return dialogs_; }

  void CreateDuringCopyForms();
  void UpdateDuringCopyForms(TFileStatusParameter* fileStatus, TDownloadStatusParameter* download);
  void CloseDuringCopyForms();
  std::vector<TBaseDuringCopyForm*> DuringCopyForms() const;

 private:
  std::vector<TCustomBaseInstallDlg*> dialogs_;
  std::vector<std::unique_ptr<TBaseDuringCopyForm>> copyForms_;
};

// A form shown modeless while files are copied; its Cancel stops the copy
// through the abort flags, and it stays until the copy has finished.
class TBaseDuringCopyForm : public TBasePembrinForm {
 public:
  explicit TBaseDuringCopyForm(fw::TComponent* owner) : TBasePembrinForm(owner) {}
  std::string ClassName() const override { return "TBaseDuringCopyForm"; }
  TDialogManager* DM = nullptr;
  virtual void CancelCopy();
  virtual void ShowProgress(TFileStatusParameter* /*fileStatus*/, TDownloadStatusParameter* /*download*/) {}
};

// The form that asks for the next archive disk; the file installation reads
// the folder from DiskParameter once the form has closed.
class TBaseChangeDiskForm : public TBasePembrinForm {
 public:
  explicit TBaseChangeDiskForm(fw::TComponent* owner) : TBasePembrinForm(owner) {}
  std::string ClassName() const override { return "TBaseChangeDiskForm"; }
  TDiskParameter* DiskParameter = nullptr;
  TDialogManager* DM = nullptr;
  virtual void CancelDisk();
};

// The wizard window: shows one manager's pages one at a time.
class TBaseFormContainer : public fw::TForm {
 public:
  explicit TBaseFormContainer(fw::TComponent* owner);
  ~TBaseFormContainer() override;
  std::string ClassName() const override { return "TBaseFormContainer"; }

  int LoadPages();
  bool ShowPage(int index, bool backward);
  virtual void NextPage();
  virtual void PreviousPage();
  virtual void PlaceOnScreen(TPembrinDialogPosition position, int leftOffset, int topOffset);

  const std::vector<TBaseInstallForm*>& Pages() const { return pages_; }
  TBaseInstallForm* CurrentPage() const;
  int TabIndex() const { return nav_ ? nav_->Current() : -1; }
  bool Finished() const { return nav_ && nav_->Finished(); }
  fw::TPanel* DisplayPanel = nullptr;

 protected:
  void Resize() override;

 private:
  void Arrange();
  std::vector<TBaseInstallForm*> pages_;
  std::unique_ptr<TPageNavigator> nav_;
  bool resizing_ = false;
};

// A wizard page; inside a host it is a child window of the host.
class TBaseInstallForm : public TBasePembrinForm {
 public:
  explicit TBaseInstallForm(fw::TComponent* owner);
  std::string ClassName() const override { return "TBaseInstallForm"; }

  TCustomBaseInstallDlg* DC = nullptr;
  TDialogManager* DM = nullptr;
  int Order = 0;

  virtual bool IsFirstPage();
  virtual bool IsLastPage();
  virtual void PageLeaving() {}
  virtual void AbortWizard();
  virtual void NextPage();
  virtual void PreviousPage();
  virtual void PageActivated();
  virtual bool SkipPage() { return false; }
  virtual void CancelWizard();
  TBaseFormContainer* Host() const;
  // Runs a handler of one of the page's controls; an exception ends the
  // modal loop of the wizard (or of the page) and reaches its caller.
  void Guard(const std::function<void()>& handler);

  // The common layout: left picture panel, bottom button row, content area.
  fw::TPanel* LeftPanel = nullptr;
  fw::TPanel* BottomPanel = nullptr;
  fw::TPanel* ContentPanel = nullptr;
  fw::TButton* PreviousButton = nullptr;
  fw::TButton* NextButton = nullptr;
  fw::TButton* FinishButton = nullptr;
  fw::TButton* CancelButton = nullptr;
  // The picture of the left panel.
  fw::TImage* ThemeBitmap = nullptr;
  // Shown on its own, the page stays above other windows.
  bool StayOnTop = false;

 protected:
  void CreateParams(fw::TCreateParams& params) override;
  // Builds the layout; with withFinish the page has a Finish button.
  void BuildLayout(bool withFinish);
  // A word-wrapped text that the translator replaces by its identifier.
  translator::TTranslateLabel* AddText(fw::TWinControl* parent, const std::string& text, int glid, int left,
                                       int top, int width, int height);
  // Previous only when not first; Next/Finish by IsLastPage.
  void PrepareButtons();
};

// A dialog component: a page of a manager's wizard, or a modal dialog of its
// own on its trigger event when it has no manager.
class TCustomBaseInstallDlg : public TInstallObject {
 public:
  static constexpr int kRegisteredType = rtDialog;
  explicit TCustomBaseInstallDlg(fw::TComponent* owner);
  ~TCustomBaseInstallDlg() override;
  std::string ClassName() const override { return "TCustomBaseInstallDlg"; }
  int RegisteredType() const override { return rtDialog; }

  bool AutoSetFont = true;
  bool AutoTranslate = true;
  bool OverrideMainTranslator = false;
  translator::TPmbrLanguage TranslateIntoLanguage = translator::plUser;
  int Order = 0;
  fw::TNotifyEvent OnBeforeExecute, OnAfterExecute;

  TDialogManager* DialogManager() const { return dialogManager_; }
  virtual void SetDialogManager(TDialogManager* manager);
  // The picture the component's page shows; setting it copies.
  const fw::TBitmap& ThemeBitmap() const { return themeBitmap_; }
  virtual void SetThemeBitmap(const fw::TBitmap& picture) { themeBitmap_.Assign(picture); }
  // Puts the component's picture into the page's; without one of its own
  // the page keeps the picture it has.
  void ApplyThemeBitmap(fw::TBitmap& picture) const;
  virtual void AssignDialogProperties();
  virtual void Translate();
  virtual bool Execute();
  virtual bool ShowDialog();
  virtual TFormClass FormClass() const = 0;
  virtual bool CanShow() { return true; }
  // Places a during-copy form this component registered (by its own size
  // and position); nothing in the base.
  virtual void PlaceDuringCopyForm(fw::TForm& /*form*/) {}
  // The event that shows the dialog on its own (0: none).
  virtual int TriggerEvent() const { return 0; }

  TBaseInstallForm* ShownForm() const { return form_; }
  void SetShownForm(TBaseInstallForm* form) { form_ = form; }
  void InformationEvent(TInstallContainer* sender, int code, TEventObject* parameter) override;

 protected:
  // Registers the component's page; called by the concrete constructor.
  void RegisterPage();
  // Sets up the page now and hides Back again (pages that show the state
  // they edit even before the wizard activates them).
  void PrepareShownPage();
  // The standalone showing of a page that edits its Container: without
  // one it raises.
  bool ShowWithContainer(bool hasContainer);
  void Notification(fw::TComponent* component, fw::TOperation operation) override;

 private:
  TDialogManager* dialogManager_ = nullptr;
  TBaseInstallForm* form_ = nullptr;
  std::shared_ptr<TBIFEntry> entry_;
  fw::TBitmap themeBitmap_;
};

// --- Pages

class TWelcomeForm : public TBaseInstallForm {
 public:
  explicit TWelcomeForm(fw::TComponent* owner);
  std::string ClassName() const override { return "TWelcomeForm"; }
  void PreparePage() override;
  fw::TLabel* WelcomeText = nullptr;
};

class TWelcomeDlg : public TCustomBaseInstallDlg {
 public:
  explicit TWelcomeDlg(fw::TComponent* owner);
  std::string ClassName() const override { return "TWelcomeDlg"; }
  TFormClass FormClass() const override;
  int TriggerEvent() const override { return ieWelcome; }
};

// The product's own first page: a page of every before-install wizard.
class TfrmBeforeInstallDialog : public TBaseInstallForm {
 public:
  explicit TfrmBeforeInstallDialog(fw::TComponent* owner);
  std::string ClassName() const override { return "TfrmBeforeInstallDialog"; }
  void PreparePage() override { PrepareButtons(); }
};
// Registers the product's first page (with no dialog); the program calls it
// once at start-up.
std::shared_ptr<TBIFEntry> RegisterProductPage();

// A page that shows a text in a read-only rich-text box (licence, readme).
class TTextPageForm : public TBaseInstallForm {
 public:
  // The text opens at its first line each time the page shows.
  void PreparePage() override;
  fw::TRichEdit* Text = nullptr;

 protected:
  TTextPageForm(fw::TComponent* owner, const char* name, const char* caption, int order, const char* above,
                int aboveGlid, const char* below, int belowGlid);
};

class TLicenseForm : public TTextPageForm {
 public:
  explicit TLicenseForm(fw::TComponent* owner);
  std::string ClassName() const override { return "TLicenseForm"; }
};

class TReadmeForm : public TTextPageForm {
 public:
  explicit TReadmeForm(fw::TComponent* owner);
  std::string ClassName() const override { return "TReadmeForm"; }
};

class TLicenseDlg : public TCustomBaseInstallDlg {
 public:
  explicit TLicenseDlg(fw::TComponent* owner);
  std::string ClassName() const override { return "TLicenseDlg"; }
  TFormClass FormClass() const override;
  int TriggerEvent() const override { return ieLicense; }
  void AssignDialogProperties() override;
  std::vector<std::string> LicenseAgreement;
};

class TReadmeDlg : public TCustomBaseInstallDlg {
 public:
  explicit TReadmeDlg(fw::TComponent* owner);
  std::string ClassName() const override { return "TReadmeDlg"; }
  TFormClass FormClass() const override;
  int TriggerEvent() const override { return ieReadme; }
  void AssignDialogProperties() override;
  std::vector<std::string> ReadmeText;
};

// Completion and failure pages: one Finish button.
class TEndPageForm : public TBaseInstallForm {
 public:
  TEndPageForm(fw::TComponent* owner, TManagerType type, const std::string& caption, const std::string& text,
               int glid);
  void PreparePage() override;
  fw::TLabel* Message = nullptr;
};

class TGoodInstallationDlg : public TCustomBaseInstallDlg {
 public:
  explicit TGoodInstallationDlg(fw::TComponent* owner);
  std::string ClassName() const override { return "TGoodInstallationDlg"; }
  TFormClass FormClass() const override;
  int TriggerEvent() const override { return ieGoodInstallNotify; }
};

class TBadInstallationDlg : public TCustomBaseInstallDlg {
 public:
  explicit TBadInstallationDlg(fw::TComponent* owner);
  std::string ClassName() const override { return "TBadInstallationDlg"; }
  TFormClass FormClass() const override;
  int TriggerEvent() const override { return ieBadInstallNotify; }
};

// An edit that turns what is typed into lower case.
class TLowerCaseEdit : public fw::TEdit {
 public:
  explicit TLowerCaseEdit(fw::TComponent* owner) : fw::TEdit(owner) {}

 protected:
  DWORD EditStyle() const override { return fw::TEdit::EditStyle() | ES_LOWERCASE; }
};

// Setup type: the kinds of installation the product offers, and where to.
class TInstallTypeForm : public TBaseInstallForm {
 public:
  enum { TypicalTab, CompactTab, FullTab, CustomTab };
  explicit TInstallTypeForm(fw::TComponent* owner);
  std::string ClassName() const override { return "TInstallTypeForm"; }
  void PreparePage() override;
  bool SkipPage() override;
  void Browse();

  fw::TTabControl* PageControl = nullptr;
  fw::TLabel* TabText = nullptr;
  fw::TGroupBox* DestinationGroup = nullptr;
  TLowerCaseEdit* edDestDir = nullptr;
  fw::TButton* BrowseBtn = nullptr;

 private:
  void ShowTabText();
  bool updating_ = false;
};

class TInstallTypeDlg : public TCustomBaseInstallDlg {
 public:
  explicit TInstallTypeDlg(fw::TComponent* owner);
  std::string ClassName() const override { return "TInstallTypeDlg"; }
  TFormClass FormClass() const override;
  int TriggerEvent() const override { return ieBeforeInstallObject; }
  void AssignDialogProperties() override;
  bool ShowDialog() override;
};

// Restart: asks whether to restart Windows now.
class TRebootForm : public TBaseInstallForm {
 public:
  explicit TRebootForm(fw::TComponent* owner);
  std::string ClassName() const override { return "TRebootForm"; }
  void PreparePage() override;
  fw::TRadioGroup* RG = nullptr;

 private:
  bool updating_ = false;
};

class TRebootDlg : public TCustomBaseInstallDlg {
 public:
  explicit TRebootDlg(fw::TComponent* owner);
  std::string ClassName() const override { return "TRebootDlg"; }
  TFormClass FormClass() const override;
  int TriggerEvent() const override { return ieReboot; }
  void AssignDialogProperties() override;
};

}  // namespace setup
