// The program-folder page: the user names the product's folder in the
// Programs menu or picks an existing one. A page of the before-install
// wizard; TSelectFolderDlg without a manager shows it on its own when its
// shortcut folder is about to be created.
#pragma once

#include "framework/stdctrls.h"
#include "setup/shell/select_folder.h"
#include "setup/shell/shell_links.h"
#include "setup/wizard/wizard_win.h"

namespace setup {

class TSelectFolderForm : public TBaseInstallForm {
 public:
  explicit TSelectFolderForm(fw::TComponent* owner);
  std::string ClassName() const override { return "TSelectFolderForm"; }

  bool SkipPage() override { return Container == nullptr; }
  void PreparePage() override;

  fw::TLabel *IntroLabel = nullptr, *FolderLabel = nullptr, *ListLabel = nullptr;
  fw::TEdit* FolderEdit = nullptr;
  fw::TListBox* FolderListBox = nullptr;

 private:
  bool updating_ = false;
};

// Where the page finds the folders it lists; UseSystemFolderSources()
// connects the Programs menu and Program Manager.
FolderSources& SelectFolderSources();
void UseSystemFolderSources();

class TSelectFolderDlg : public TCustomBaseInstallDlg {
 public:
  explicit TSelectFolderDlg(fw::TComponent* owner);
  std::string ClassName() const override { return "TSelectFolderDlg"; }

  // The shortcut folder the page edits; another kind of object raises.
  virtual TCustomShellLinkGroup* GetContainer() const;
  virtual void SetShellContainer(TCustomShellLinkGroup* folder) { SetContainer(folder); }

  TFormClass FormClass() const override;
  int TriggerEvent() const override { return ieCreateLinkGroup; }
  void AssignDialogProperties() override;
  // Without a folder there is nothing to edit: raises.
  bool ShowDialog() override;
};

}  // namespace setup
