#include "setup/wizard/wizard_win.h"

#include <algorithm>
#include <cctype>

#include "framework/application.h"
#include "setup/base/exceptions.h"
#include "setup/base/windows_routines_win.h"
#include "setup/wizard/folder_browser_win.h"

namespace setup {

namespace {

// The framework's Exception with a translated text, formatted by the checked
// formatter (a translation that does not fit the arguments falls back).
[[noreturn]] void Raise(const std::string& format, const fw::FormatArgs& args = {}) {
  throw fw::Exception(FormatTranslated(format, args));
}

int ScreenCaptionHeight() { return GetSystemMetrics(SM_CYCAPTION); }

}  // namespace

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
  // Every page starts with the installer's picture; a dialog component with
  // a picture of its own puts that in its place.
  if (InstallThemeBitmap())
    if (const fw::TBitmap* installs = InstallThemeBitmap()(); installs && !installs->Empty())
      ThemeBitmap->Picture().Assign(*installs);
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

}  // namespace setup
