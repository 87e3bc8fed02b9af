#include "setup/wizard/install_forms_win.h"

#include "framework/application.h"
#include "setup/base/exceptions.h"
#include "setup/wizard/folder_browser_win.h"

namespace setup {

namespace {

using translator::TTranslateBitBtn;
using translator::TTranslateLabel;

void DialogFont(fw::TForm& form) {
  form.Font().SetName("Arial");
  form.Font().SetHeight(-11);
  form.Font().SetColor(fw::clBlack);
}

TTranslateLabel* GlidLabel(fw::TForm* form, fw::TWinControl* parent, std::int32_t glid, const char* caption,
                           int left, int top) {
  auto* label = new TTranslateLabel(form);
  label->SetParent(parent);
  label->GLID = glid;
  label->SetLeft(left);
  label->SetTop(top);
  label->SetCaption(caption);
  return label;
}

TTranslateBitBtn* GlidButton(fw::TForm* form, std::int32_t glid, const char* caption, int left, int top,
                             int width) {
  auto* button = new TTranslateBitBtn(form);
  button->SetParent(form);
  button->GLID = glid;
  button->SetBounds(left, top, width, 25);
  button->SetCaption(caption);
  return button;
}

// A picture of the system's: an icon of its own that the image frees.
void SystemPicture(fw::TImage* image, LPCSTR icon) {
  image->SetCenter(true);
  image->SetIcon(CopyIcon(LoadIconA(nullptr, icon)));
}

}  // namespace

// --- Copy progress

TCopyFileForm::TCopyFileForm(fw::TComponent* owner) : TBaseDuringCopyForm(owner) {
  fw::FormLoading loading(*this);
  SetName("CopyFileForm");
  SetCaption("Copying installation files");
  SetBorderStyle(fw::TFormBorderStyle::bsDialog);
  SetBorderIcons(0);
  SetPosition(fw::TPosition::poDesigned);
  DialogFont(*this);
  SetClientWidth(466);
  SetClientHeight(119);
  UnZipImage = new fw::TImage(this);
  UnZipImage->SetName("UnZipImage");
  UnZipImage->SetParent(this);
  UnZipImage->SetBounds(8, 8, 48, 48);
  SystemPicture(UnZipImage, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
  TransferBitmap = new fw::TImage(this);
  TransferBitmap->SetName("TransferBitmap");
  TransferBitmap->SetParent(this);
  TransferBitmap->SetBounds(8, 8, 48, 48);
  SystemPicture(TransferBitmap, MAKEINTRESOURCEA(32516));  // IDI_INFORMATION
  TransferBitmap->SetVisible(false);
  lblCopyFileHeader = GlidLabel(this, this, 14, "Processing", 64, 8);
  lblCopyFileHeader->SetName("lblCopyFileHeader");
  pnlCopyingFile = new fw::TPanel(this);
  pnlCopyingFile->SetName("pnlCopyingFile");
  pnlCopyingFile->SetParent(this);
  pnlCopyingFile->SetBounds(64, 24, 304, 19);
  pnlCopyingFile->SetBevelOuter(fw::TBevelCut::bvLowered);
  pnlCopyingFile->SetCaption("");
  lblCopyingFile = new fw::TLabel(this);
  lblCopyingFile->SetName("lblCopyingFile");
  lblCopyingFile->SetParent(pnlCopyingFile);
  lblCopyingFile->SetAutoSize(false);
  lblCopyingFile->SetBounds(4, 3, 296, 13);
  lblCopyingFile->SetCaption("---");
  GlidLabel(this, this, 15, "File progress", 64, 50)->SetName("lblFileProgress");
  ProgressBar1 = new fw::TProgressBar(this);
  ProgressBar1->SetName("ProgressBar1");
  ProgressBar1->SetParent(this);
  ProgressBar1->SetBounds(64, 64, 304, 14);
  ProgressBar1->SetRange(0, 100);
  GlidLabel(this, this, 16, "Total progress", 64, 84)->SetName("lblTotalProgress");
  ProgressBar2 = new fw::TProgressBar(this);
  ProgressBar2->SetName("ProgressBar2");
  ProgressBar2->SetParent(this);
  ProgressBar2->SetBounds(64, 98, 304, 14);
  ProgressBar2->SetRange(0, 100);
  CancelBtn = GlidButton(this, 6, "Cancel", 382, 8, 75);
  CancelBtn->SetName("CancelBtn");
  CancelBtn->SetCancel(true);
  CancelBtn->OnClick = [this](fw::TComponent*) { Guarded(nullptr, [this] { CancelCopy(); }); };
  DM = FindDialogManager(dmDuringCopyFiles);
  loading.End();
}

std::function<std::uint32_t()>& CopyFormClock() {
  static std::function<std::uint32_t()> clock = [] { return static_cast<std::uint32_t>(GetTickCount()); };
  return clock;
}

void TCopyFileForm::ShowProgress(TFileStatusParameter* fileStatus, TDownloadStatusParameter* download) {
  if (!fileStatus && !download) return;
  // Progress comes for every few kilobytes: the form shows a person's pace
  // of it, and the end of each file and download.
  const bool last = fileStatus ? fileStatus->Stats.EntryFinished : download->Percent >= 100;
  if (!pace_.Due(CopyFormClock()(), last)) return;
  const auto showName = [this](const std::string& name) {
    if (lblCopyingFile->Caption() != name) lblCopyingFile->SetCaption(name);
  };
  if (fileStatus) {
    if (TransferBitmap->Visible()) TransferBitmap->SetVisible(false);
    ProgressBar2->SetPosition(ClampPercent(fileStatus->TotalPercent));
    ProgressBar1->SetPosition(ClampPercent(fileStatus->FilePercent));
    showName(fileStatus->FileName);
  } else {
    // The transfer picture lies over the extraction picture; the total bar
    // keeps the archive's progress.
    if (!TransferBitmap->Visible()) {
      TransferBitmap->SetVisible(true);
      SetWindowPos(TransferBitmap->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    ProgressBar1->SetPosition(ClampPercent(download->Percent));
    showName(download->FileName);
  }
  Repaint();
}

TCopyFileDlg::TCopyFileDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
  entry_ = RegisterDuringCopyForm([](fw::TComponent* o) { return new TCopyFileForm(o); }, this);
  SetDialogManager(FindDialogManager(dmDuringCopyFiles));
}

TCopyFileDlg::~TCopyFileDlg() { UnregisterDuringCopyForm(entry_); }

void TCopyFileDlg::PlaceDuringCopyForm(fw::TForm& form) {
  const TScreenPlace p = PlaceOnScreen(Position, RelativeLeftOffset, RelativeTopOffset, Width, Height,
                                       GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                       GetSystemMetrics(SM_CYCAPTION));
  form.SetPosition(fw::TPosition::poDesigned);
  // The window first, so that its designed client size does not win over
  // the component's outer size.
  form.Handle();
  form.SetBounds(p.Left, p.Top, Width, Height);
}

// --- Disk change

TChangeDiskForm::TChangeDiskForm(fw::TComponent* owner) : TBaseChangeDiskForm(owner) {
  fw::FormLoading loading(*this);
  SetName("ChangeDiskForm");
  SetCaption("Setup needs the next disk");
  SetBorderStyle(fw::TFormBorderStyle::bsDialog);
  SetBorderIcons(0);
  SetPosition(fw::TPosition::poScreenCenter);
  DialogFont(*this);
  SetClientWidth(413);
  SetClientHeight(178);
  ThemeBitmap = new fw::TImage(this);
  ThemeBitmap->SetName("ThemeBitmap");
  ThemeBitmap->SetParent(this);
  ThemeBitmap->SetBounds(8, 8, 57, 113);
  SystemPicture(ThemeBitmap, MAKEINTRESOURCEA(32515));  // IDI_WARNING
  PromptDiskLabel = GlidLabel(this, this, 45, "Please insert disk number %d", 76, 10);
  PromptDiskLabel->SetName("PromptDiskLabel");
  PromptDiskLabel->Font().SetStyle(fw::fsBold);
  auto* text =
      GlidLabel(this, this, 46,
                "If the files on this disk can be found in another location, for example, in another "
                "drive, enter its full path or click the Browse button to select its path.",
                76, 32);
  text->SetName("lblLocation");
  text->SetAutoSize(false);
  text->SetWordWrap(true);
  text->SetBounds(76, 32, 328, 56);
  GlidLabel(this, this, 47, "Path:", 76, 98)->SetName("lblPath");
  PathEdit = new fw::TEdit(this);
  PathEdit->SetName("PathEdit");
  PathEdit->SetParent(this);
  PathEdit->SetBounds(76, 114, 246, 21);
  PathEdit->SetReadOnly(true);
  BrowseBtn = GlidButton(this, 48, "&Browse...", 329, 112, 75);
  BrowseBtn->SetName("BrowseBtn");
  BrowseBtn->OnClick = [this](fw::TComponent*) { Guarded(this, [this] { Browse(); }); };
  InstallBtn = GlidButton(this, 49, "Proceed", 248, 146, 75);
  InstallBtn->SetName("InstallBtn");
  InstallBtn->SetDefault(true);
  InstallBtn->SetModalResult(fw::mrOk);
  CancelBtn = GlidButton(this, 6, "Cancel", 329, 146, 75);
  CancelBtn->SetName("CancelBtn");
  CancelBtn->SetCancel(true);
  CancelBtn->OnClick = [this](fw::TComponent*) { Guarded(this, [this] { CancelDisk(); }); };
  OnShow = [this](fw::TComponent*) { Guarded(this, [this] { Showing(); }); };
  DM = FindDialogManager(dmChangeDisk);
  loading.End();
}

void TChangeDiskForm::Showing() {
  // After the form's translation: the prompt is filled in from the
  // translated format, which may not fit the number.
  if (DiskParameter) {
    PromptDiskLabel->SetCaption(FormatTranslated("Please insert disk number %d", {DiskParameter->Disk}));
    PathEdit->SetText(DiskParameter->Path);
  }
  InstallBtn->SetFocus();
}

void TChangeDiskForm::Browse() {
  if (!DiskParameter) return;
  TOpenFolderDialog browser(nullptr);
  browser.ShowCreateButton = false;
  browser.ShowPathEdit = false;
  browser.Directory = DiskParameter->Path;
  if (browser.Execute()) DiskParameter->Path = browser.Directory;
  PathEdit->SetText(DiskParameter->Path);
}

TChangeDiskDlg::TChangeDiskDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
  entry_ = RegisterChangeDiskForm([](fw::TComponent* o) { return new TChangeDiskForm(o); }, this);
  SetDialogManager(FindDialogManager(dmChangeDisk));
}

TChangeDiskDlg::~TChangeDiskDlg() { UnregisterChangeDiskForm(entry_); }

// --- Status messages

TInstallStatusForm::TInstallStatusForm(fw::TComponent* owner) : fw::TForm(owner) {
  fw::FormLoading loading(*this);
  SetName("InstallStatusForm");
  SetBorderStyle(fw::TFormBorderStyle::bsNone);
  SetBorderIcons(0);
  SetPosition(fw::TPosition::poScreenCenter);
  DialogFont(*this);
  SetClientWidth(428);
  SetClientHeight(58);
  pnlBack = new fw::TPanel(this);
  pnlBack->SetName("pnlBack");
  pnlBack->SetParent(this);
  pnlBack->SetAlign(fw::TAlign::alClient);
  pnlBack->SetCaption("");
  Image1 = new fw::TImage(this);
  Image1->SetName("Image1");
  Image1->SetParent(pnlBack);
  Image1->SetBounds(1, 1, 49, 56);
  SystemPicture(Image1, MAKEINTRESOURCEA(32516));  // IDI_INFORMATION
  pnlMessage = new fw::TPanel(this);
  pnlMessage->SetName("pnlMessage");
  pnlMessage->SetParent(pnlBack);
  pnlMessage->SetBounds(50, 1, 377, 56);
  pnlMessage->SetBevelOuter(fw::TBevelCut::bvNone);
  pnlMessage->SetCaption("");
  lblMessage = new fw::TLabel(this);
  lblMessage->SetName("lblMessage");
  lblMessage->SetParent(pnlMessage);
  lblMessage->SetLeft(5);
  lblMessage->SetTop(20);
  lblMessage->SetCaption("");
  loading.End();
}

void TInstallStatusDlg::Translate() {
  TCustomBaseInstallDlg::Translate();
  if (!form_) return;
  if (AutoSetFont) {
    if (OverrideMainTranslator)
      translator::SetFormFontsIn(TranslateIntoLanguage, form_.get(), false);
    else
      translator::SetFormFonts(form_.get(), false);
  }
  // Every message arrives in English, so each is translated from English.
  if (AutoTranslate) {
    if (OverrideMainTranslator)
      translator::TranslateFormTextInto(translator::plEnglish, TranslateIntoLanguage, form_.get());
    else
      translator::TranslateFormText(translator::plEnglish, form_.get());
  }
}

void TInstallStatusDlg::InformationEvent(TInstallContainer* sender, int code, TEventObject* parameter) {
  TCustomBaseInstallDlg::InformationEvent(sender, code, parameter);
  if (DialogManager()) return;
  if (code == ieStatusText) {
    if (!parameter) throw IException("%s got a nil PO parameter", {Name()});
    auto* message = dynamic_cast<TMessageParameter*>(parameter);
    if (!message) throw IException("The PO object passed to %s is not a TMessageParameter object", {Name()});
    text_ = stack_.Push(message->Text);
    ShowStatus();
  } else if (code == ieStatusClose) {
    if (const auto below = stack_.Pop()) {
      text_ = *below;
      ShowStatus();
      return;
    }
    if (form_) form_->SetVisible(false);
    if (fw::Application()) fw::Application()->ProcessMessages();
  }
}

void TInstallStatusDlg::ShowStatus() {
  if (!form_) {
    form_ = std::make_unique<TInstallStatusForm>(nullptr);
    // Centred as designed; later messages change the width and left only.
    form_->SetPosition(fw::TPosition::poDesigned);
    form_->SetTop(DivideRoundedEven(GetSystemMetrics(SM_CYSCREEN) - form_->Height(), 2));
    Translate();
  }
  TInstallStatusForm& form = *form_;
  fw::TLabel& label = *form.lblMessage;
  label.SetAlignment(fw::TAlignment::taLeftJustify);
  label.SetWordWrap(false);
  label.SetCaption(text_);
  Translate();
  label.SetAutoSize(false);
  label.SetAutoSize(true);
  label.SetTop(DivideRoundedEven(form.ClientHeight() - label.Height(), 2));
  // The text's width on the form's own canvas, in the form's font.
  int textWidth = 0;
  if (HDC dc = GetDC(form.Handle())) {
    {
      fw::TCanvas canvas(dc);
      canvas.Font.Assign(form.Font());
      textWidth = canvas.TextWidth(label.Text());
    }
    ReleaseDC(form.Handle(), dc);
  }
  const int width = StatusFormWidth(textWidth, form.pnlBack->Left(), form.pnlMessage->Left(), label.Left());
  form.SetBounds(DivideRoundedEven(GetSystemMetrics(SM_CXSCREEN) - width, 2), form.Top(), width,
                 form.Height());
  form.pnlMessage->SetWidth(form.pnlBack->ClientWidth() - form.pnlMessage->Left() - 1);
  form.Show();
  form.Repaint();
  if (fw::Application()) fw::Application()->ProcessMessages();
}

}  // namespace setup
