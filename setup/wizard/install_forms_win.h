// The forms that keep the user informed outside the wizards: copy progress
// while files are extracted or downloaded, the request for the next archive
// disk, and a borderless window of nested status messages.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/comctrls.h"
#include "framework/extctrls.h"
#include "framework/stdctrls.h"
#include "setup/translator/form_translation_win.h"
#include "setup/wizard/install_forms.h"
#include "setup/wizard/wizard_win.h"

namespace setup {

// The millisecond count the copy form paces its painting by (GetTickCount;
// tests put in their own).
std::function<std::uint32_t()>& CopyFormClock();

class TCopyFileForm : public TBaseDuringCopyForm {
 public:
  explicit TCopyFileForm(fw::TComponent* owner);
  std::string ClassName() const override { return "TCopyFileForm"; }
  void ShowProgress(TFileStatusParameter* fileStatus, TDownloadStatusParameter* download) override;

  fw::TImage* UnZipImage = nullptr;
  fw::TImage* TransferBitmap = nullptr;
  translator::TTranslateBitBtn* CancelBtn = nullptr;
  translator::TTranslateLabel* lblCopyFileHeader = nullptr;
  fw::TPanel* pnlCopyingFile = nullptr;
  fw::TLabel* lblCopyingFile = nullptr;
  fw::TProgressBar* ProgressBar1 = nullptr;
  fw::TProgressBar* ProgressBar2 = nullptr;

 private:
  TPaintPace pace_;
};

// Shows no form of its own: the during-copy manager shows its form, placed
// by the component's size, position and offsets.
class TCopyFileDlg : public TCustomBaseInstallDlg {
 public:
  explicit TCopyFileDlg(fw::TComponent* owner);
  ~TCopyFileDlg() override;
  std::string ClassName() const override { return "TCopyFileDlg"; }
  TFormClass FormClass() const override { return {}; }
  bool CanShow() override { return false; }
  void PlaceDuringCopyForm(fw::TForm& form) override;

  int Height = 146;
  int Width = 474;
  TPembrinDialogPosition Position = pdpBottomCenter;
  int RelativeLeftOffset = 0;
  int RelativeTopOffset = 30;

 private:
  std::shared_ptr<TDCFEntry> entry_;
};

class TChangeDiskForm : public TBaseChangeDiskForm {
 public:
  explicit TChangeDiskForm(fw::TComponent* owner);
  std::string ClassName() const override { return "TChangeDiskForm"; }
  void Browse();

  fw::TImage* ThemeBitmap = nullptr;
  translator::TTranslateLabel* PromptDiskLabel = nullptr;
  fw::TEdit* PathEdit = nullptr;
  translator::TTranslateBitBtn* BrowseBtn = nullptr;
  translator::TTranslateBitBtn* InstallBtn = nullptr;
  translator::TTranslateBitBtn* CancelBtn = nullptr;

 private:
  void Showing();
};

class TChangeDiskDlg : public TCustomBaseInstallDlg {
 public:
  explicit TChangeDiskDlg(fw::TComponent* owner);
  ~TChangeDiskDlg() override;
  std::string ClassName() const override { return "TChangeDiskDlg"; }
  TFormClass FormClass() const override { return {}; }
  bool CanShow() override { return false; }

 private:
  std::shared_ptr<TBCDFEntry> entry_;
};

// A plain borderless window: a picture and one line of text.
class TInstallStatusForm : public fw::TForm {
 public:
  explicit TInstallStatusForm(fw::TComponent* owner);
  std::string ClassName() const override { return "TInstallStatusForm"; }
  fw::TPanel* pnlBack = nullptr;
  fw::TImage* Image1 = nullptr;
  fw::TPanel* pnlMessage = nullptr;
  fw::TLabel* lblMessage = nullptr;
};

// Opens, changes and closes the status window on ieStatusText and
// ieStatusClose; always on its own, never a page of a manager.
class TInstallStatusDlg : public TCustomBaseInstallDlg {
 public:
  explicit TInstallStatusDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {}
  std::string ClassName() const override { return "TInstallStatusDlg"; }
  TFormClass FormClass() const override { return {}; }
  bool CanShow() override { return false; }
  void Translate() override;
  void InformationEvent(TInstallContainer* sender, int code, TEventObject* parameter) override;

  // The window, once the first message has created it.
  TInstallStatusForm* Form() const { return form_.get(); }
  const std::string& CurrentText() const { return text_; }

 private:
  void ShowStatus();
  std::unique_ptr<TInstallStatusForm> form_;
  TStatusStack stack_;
  std::string text_;
};

}  // namespace setup
