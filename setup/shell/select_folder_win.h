// The program-folder page: the user names the product's folder in the
// Programs menu or picks an existing one. TSelectFolderDlg shows it on its
// own when its shortcut folder is about to be created.
#pragma once

#include "framework/extctrls.h"
#include "framework/stdctrls.h"
#include "setup/install/base_form_win.h"
#include "setup/shell/select_folder.h"
#include "setup/shell/shell_links.h"

namespace setup {

class TSelectFolderForm : public TBasePembrinForm {
 public:
  explicit TSelectFolderForm(fw::TComponent* owner);
  std::string ClassName() const override { return "TSelectFolderForm"; }

  bool SkipPage() const { return Container == nullptr; }
  void PreparePage() override;

  fw::TPanel *LeftPanel, *BottomPanel, *ContentPanel;
  fw::TImage* ThemeBitmap;
  fw::TButton *BackBtn, *ProceedBtn, *CancelBtn;
  fw::TLabel *IntroLabel, *FolderLabel, *ListLabel;
  fw::TEdit* FolderEdit;
  fw::TListBox* FolderListBox;

 private:
  bool updating_ = false;
};

// Where the page finds the folders it lists; UseSystemFolderSources()
// connects the Programs menu and Program Manager.
FolderSources& SelectFolderSources();
void UseSystemFolderSources();

class TSelectFolderDlg : public TInstallObject {
 public:
  static constexpr int kRegisteredType = rtDialog;
  explicit TSelectFolderDlg(fw::TComponent* owner);
  std::string ClassName() const override { return "TSelectFolderDlg"; }
  int RegisteredType() const override { return rtDialog; }

  // The shortcut folder the page edits; another kind of object raises.
  virtual TCustomShellLinkGroup* GetContainer() const;
  virtual void SetShellContainer(TCustomShellLinkGroup* folder) { SetContainer(folder); }

  // Shows the page modally; Cancel ends the installation (EAIUserAbort).
  void Execute();
  void InformationEvent(TInstallContainer* sender, int code, TEventObject* parameter) override;
  // Set for tests: runs instead of the modal loop and returns its result.
  std::function<int(TSelectFolderForm& form)> OnShowModal;
};

}  // namespace setup
