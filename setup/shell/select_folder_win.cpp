#include "setup/shell/select_folder_win.h"

#include <windows.h>

#include "framework/format.h"
#include "setup/paths/machine_folders.h"
#include "setup/shell/program_manager.h"

namespace setup {
namespace {

fw::TLabel* NewLabel(fw::TComponent* owner, fw::TWinControl* parent, const std::string& text, int glid) {
  auto* label = new fw::TLabel(owner);
  label->SetParent(parent);
  label->SetText(text);
  label->Tag = glid;  // the translator's text id
  return label;
}

fw::TButton* NewButton(fw::TComponent* owner, fw::TWinControl* parent, const std::string& name,
                       const std::string& text, int left, int width, int glid) {
  auto* button = new fw::TButton(owner);
  button->SetName(name);
  button->SetParent(parent);
  button->SetBounds(left, 15, width, 33);
  button->SetText(text);
  button->Tag = glid;
  return button;
}

std::vector<std::string> ProgramsSubfolders() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((ProgramsFolder() + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
      names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

std::vector<std::string> ProgramManagerGroups() {
  std::vector<std::string> groups;
  ProgramManager().ListGroups(groups);
  return groups;
}

std::string Filled(const std::string& format, const std::string& name) {
  if (auto text = fw::TryFormat(Translated(format), {name})) return *text;
  return fw::FormatLeniently(format, {name});
}

}  // namespace

FolderSources& SelectFolderSources() {
  static FolderSources sources;
  return sources;
}

void UseSystemFolderSources() { SelectFolderSources() = {ProgramsSubfolders, ProgramManagerGroups}; }

// --- TSelectFolderForm ---

TSelectFolderForm::TSelectFolderForm(fw::TComponent* owner) : TBasePembrinForm(owner) {
  fw::FormLoading loading(*this);
  SetName("SelectFolderForm");
  SetCaption("Select folder in start menu");
  SetBorderStyle(fw::TFormBorderStyle::bsDialog);
  SetPosition(fw::TPosition::poScreenCenter);
  SetClientWidth(470);
  SetClientHeight(368);
  Font().SetName("Arial");
  Font().SetHeight(-11);

  LeftPanel = new fw::TPanel(this);
  LeftPanel->SetParent(this);
  LeftPanel->SetWidth(136);
  LeftPanel->SetAlign(fw::TAlign::alLeft);
  LeftPanel->SetBevelOuter(fw::TBevelCut::bvNone);
  ThemeBitmap = new fw::TImage(this);
  ThemeBitmap->SetParent(LeftPanel);
  ThemeBitmap->SetAlign(fw::TAlign::alClient);
  ThemeBitmap->SetCenter(true);

  BottomPanel = new fw::TPanel(this);
  BottomPanel->SetParent(this);
  BottomPanel->SetHeight(52);
  BottomPanel->SetAlign(fw::TAlign::alBottom);
  BottomPanel->SetBevelOuter(fw::TBevelCut::bvNone);
  auto* line = new fw::TBevel(this);
  line->SetParent(BottomPanel);
  line->SetShape(fw::TBevelShape::bsTopLine);
  line->SetBounds(0, 0, 470, 2);
  BackBtn = NewButton(this, BottomPanel, "BackBtn", "< Previous", 208, 75, 4);
  ProceedBtn = NewButton(this, BottomPanel, "ProceedBtn", "Next >", 288, 75, 5);
  CancelBtn = NewButton(this, BottomPanel, "CancelBtn", "Cancel", 368, 89, 6);
  CancelBtn->SetCancel(true);
  CancelBtn->SetModalResult(fw::mrCancel);

  ContentPanel = new fw::TPanel(this);
  ContentPanel->SetParent(this);
  ContentPanel->SetAlign(fw::TAlign::alClient);
  ContentPanel->SetBevelOuter(fw::TBevelCut::bvNone);
  const int width = 470 - 136 - 16;
  IntroLabel =
      NewLabel(this, ContentPanel,
               "Setup will add program icons to the Program Folder listed below. You may type a new folder "
               "name, or select from the E&xisting Folders list.",
               41);
  IntroLabel->SetAutoSize(false);
  IntroLabel->SetWordWrap(true);
  IntroLabel->SetBounds(8, 8, width, 44);
  FolderLabel = NewLabel(this, ContentPanel, "&Program Folder", 42);
  FolderLabel->SetBounds(8, 62, width, 14);
  FolderEdit = new fw::TEdit(this);
  FolderEdit->SetName("FolderEdit");
  FolderEdit->SetParent(ContentPanel);
  FolderEdit->SetBounds(8, 78, width, 21);
  ListLabel = NewLabel(this, ContentPanel, "E&xisting Folders", 43);
  ListLabel->SetBounds(8, 109, width, 14);
  FolderListBox = new fw::TListBox(this);
  FolderListBox->SetName("FolderListBox");
  FolderListBox->SetParent(ContentPanel);
  FolderListBox->SetBounds(8, 125, width, 368 - 52 - 125 - 8);

  FolderListBox->OnClick = [this](fw::TComponent*) {
    const int index = FolderListBox->ItemIndex();
    if (index >= 0 && index < FolderListBox->Items().Count())
      FolderEdit->SetText(FolderListBox->Items()[index]);
  };
  FolderEdit->OnChange = [this](fw::TComponent*) {
    if (!updating_ && Container) ApplyFolderName(Container, FolderEdit->Text());
  };
  Container = MainLinkGroup();
}

void TSelectFolderForm::PreparePage() {
  const int kind = Shell().WindowsKind ? Shell().WindowsKind() : 2;
  const std::vector<std::string> list = ProgramFolderList(kind, SelectFolderSources());
  FolderListBox->Items().Assign(list);
  const std::string name = InitialFolderName(Container, list);
  // Showing the name writes it to the folder, as typing it would, with or
  // without the edit's window.
  FolderEdit->SetText(name);
  if (!FolderEdit->HandleAllocated() && FolderEdit->OnChange) FolderEdit->OnChange(FolderEdit);
  if (ProceedBtn->Visible() && Visible() && ProceedBtn->CanFocus()) ProceedBtn->SetFocus();
}

// --- TSelectFolderDlg ---

TSelectFolderDlg::TSelectFolderDlg(fw::TComponent* owner) : TInstallObject(owner) {
  // Only outside a description: one that names no folder keeps none, and
  // its page then skips itself.
  if (!Loading() && MainLinkGroup()) SetContainer(MainLinkGroup());
}

TCustomShellLinkGroup* TSelectFolderDlg::GetContainer() const {
  if (!Container()) return nullptr;
  auto* folder = dynamic_cast<TCustomShellLinkGroup*>(Container());
  if (!folder) throw fw::Exception(Filled("The container for %s must be a TCustomShellLinkGroup", Name()));
  return folder;
}

void TSelectFolderDlg::Execute() {
  TCustomShellLinkGroup* folder = GetContainer();
  if (!folder)
    throw fw::Exception(Filled("Cannot run this dialog %s with a blank Container property", Name()));
  TSelectFolderForm form(nullptr);
  form.Container = folder;
  form.BackBtn->Hide();
  form.ProceedBtn->SetModalResult(fw::mrOk);
  form.PreparePage();
  form.BackBtn->Hide();
  const int result = OnShowModal ? OnShowModal(form) : form.ShowModal();
  if (result != fw::mrOk) throw EAIUserAbort();
}

void TSelectFolderDlg::InformationEvent(TInstallContainer*, int code, TEventObject*) {
  if (code == ieCreateLinkGroup) Execute();
}

}  // namespace setup
