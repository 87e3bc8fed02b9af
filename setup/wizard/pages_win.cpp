#include "setup/wizard/wizard_win.h"

#include <algorithm>
#include <cctype>

#include "framework/application.h"
#include "setup/base/exceptions.h"
#include "setup/base/windows_routines_win.h"
#include "setup/wizard/folder_browser_win.h"

namespace setup {

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

void TTextPageForm::PreparePage() {
  PrepareButtons();
  // The box scrolls along as its text is put in: back to the first line.
  if (Text->HandleAllocated()) {
    SendMessageA(Text->Handle(), EM_SETSEL, 0, 0);
    SendMessageA(Text->Handle(), WM_VSCROLL, SB_TOP, 0);
  }
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
