#include "setup/shell/select_folder_win.h"

#include <windows.h>

#include "framework/format.h"
#include "setup/paths/machine_folders.h"
#include "setup/shell/program_manager.h"

namespace setup {
namespace {

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

TSelectFolderForm::TSelectFolderForm(fw::TComponent* owner) : TBaseInstallForm(owner) {
  fw::FormLoading loading(*this);
  SetName("SelectFolderForm");
  SetCaption("Select folder in start menu");
  BuildLayout(false);
  StayOnTop = true;
  const int width = 470 - 136 - 16;
  IntroLabel = AddText(ContentPanel,
                       "Setup will add program icons to the Program Folder listed below. You may type a new "
                       "folder name, or select from the E&xisting Folders list.",
                       41, 8, 8, width, 44);
  FolderLabel = AddText(ContentPanel, "&Program Folder", 42, 8, 62, width, 14);
  FolderEdit = new fw::TEdit(this);
  FolderEdit->SetName("FolderEdit");
  FolderEdit->SetParent(ContentPanel);
  FolderEdit->SetBounds(8, 78, width, 21);
  ListLabel = AddText(ContentPanel, "E&xisting Folders", 43, 8, 109, width, 14);
  FolderListBox = new fw::TListBox(this);
  FolderListBox->SetName("FolderListBox");
  FolderListBox->SetParent(ContentPanel);
  FolderListBox->SetBounds(8, 125, width, 368 - 52 - 125 - 8);
  FolderLabel->SetFocusControl(FolderEdit);
  ListLabel->SetFocusControl(FolderListBox);

  FolderListBox->OnClick = [this](fw::TComponent*) {
    const int index = FolderListBox->ItemIndex();
    if (index >= 0 && index < FolderListBox->Items().Count())
      FolderEdit->SetText(FolderListBox->Items()[index]);
  };
  FolderEdit->OnChange = [this](fw::TComponent*) {
    if (!updating_ && Container) ApplyFolderName(Container, FolderEdit->Text());
  };
  Container = MainLinkGroup();
  DM = FindDialogManager(dmBeforeInstall);
  Order = 60;
  loading.End();
}

void TSelectFolderForm::PreparePage() {
  PrepareButtons();  // with the focus on Next
  const int kind = Shell().WindowsKind ? Shell().WindowsKind() : 2;
  const std::vector<std::string> list = ProgramFolderList(kind, SelectFolderSources());
  FolderListBox->Items().Assign(list);
  const std::string name = InitialFolderName(Container, list);
  // Showing the name writes it to the folder, as typing it would, with or
  // without the edit's window.
  FolderEdit->SetText(name);
  if (!FolderEdit->HandleAllocated() && FolderEdit->OnChange) FolderEdit->OnChange(FolderEdit);
}

// --- TSelectFolderDlg ---

TSelectFolderDlg::TSelectFolderDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
  Order = 60;
  SetDialogManager(FindDialogManager(dmBeforeInstall));
  RegisterPage();
  // The main shortcut folder made before it, also in a description: one
  // that names no folder leaves it there.
  if (MainLinkGroup()) SetContainer(MainLinkGroup());
}

TCustomShellLinkGroup* TSelectFolderDlg::GetContainer() const {
  if (!Container()) return nullptr;
  auto* folder = dynamic_cast<TCustomShellLinkGroup*>(Container());
  if (!folder) throw fw::Exception(Filled("The container for %s must be a TCustomShellLinkGroup", Name()));
  return folder;
}

TFormClass TSelectFolderDlg::FormClass() const { return FormClassOf<TSelectFolderForm>(); }

void TSelectFolderDlg::AssignDialogProperties() {
  TCustomBaseInstallDlg::AssignDialogProperties();
  PrepareShownPage();
}

bool TSelectFolderDlg::ShowDialog() { return ShowWithContainer(GetContainer() != nullptr); }

}  // namespace setup
