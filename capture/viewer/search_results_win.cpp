#include "capture/viewer/search_results_win.h"

#include "capture/viewer/search.h"
#include "capture/viewer/search_results_report.h"
#include "capture/viewer/search_results_owner.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "report/report/report_engine_win.h"

namespace capture {

namespace {

fw::TPanel* AddPanel(fw::TForm* form, const std::string& name, fw::TAlign align, int size) {
  auto* panel = new fw::TPanel(form);
  panel->SetName(name);
  panel->SetParent(form);
  panel->SetBevelOuter(fw::TBevelCut::bvNone);
  if (align == fw::TAlign::alLeft || align == fw::TAlign::alRight)
    panel->SetWidth(size);
  else
    panel->SetHeight(size);
  panel->SetAlign(align);
  return panel;
}

}  // namespace

TfrmCaptureSearchResults::TfrmCaptureSearchResults(fw::TComponent* owner, const std::string& fileTitle,
                                                   const std::string& searchText,
                                                   const std::vector<std::string>& entries)
    : fw::TForm(owner), searchText_(searchText), entries_(entries) {
  fw::FormLoading loading(*this);
  // Several may exist at once beside each other: no name.
  SetCaption("Search Results");
  SetPosition(fw::TPosition::poDefault);
  SetBounds(0, 0, 553, 371);

  lblTitle = new fw::TLabel(this);
  lblTitle->SetName("lblTitle");
  lblTitle->SetParent(this);
  lblTitle->SetAutoSize(false);
  lblTitle->SetHeight(41);
  lblTitle->SetAlign(fw::TAlign::alTop);
  lblTitle->SetAlignment(fw::TAlignment::taCenter);
  lblTitle->SetParentFont(false);
  lblTitle->Font().SetStyle(fw::fsBold);
  lblTitle->Font().SetHeight(-16);
  lblTitle->SetCaption("Search Results - " + fileTitle);

  pnlBottom = AddPanel(this, "pnlBottom", fw::TAlign::alBottom, 41);
  pnlLeft = AddPanel(this, "pnlLeft", fw::TAlign::alLeft, 12);
  pnlRight = AddPanel(this, "pnlRight", fw::TAlign::alRight, 12);

  lstResults = new fw::TListBox(this);
  lstResults->SetName("lstResults");
  lstResults->SetParent(this);
  lstResults->SetAlign(fw::TAlign::alClient);
  lstResults->OnDblClick = [this](fw::TComponent* sender) { btnGoToClick(sender); };

  auto addButton = [this](const std::string& name, const std::string& caption) {
    auto* button = new fw::TButton(this);
    button->SetName(name);
    button->SetParent(pnlBottom);
    button->SetBounds(0, 8, 75, 25);
    button->SetCaption(caption);
    return button;
  };
  btnPrint = addButton("btnPrint", "Print &Preview");
  btnPrint->OnClick = [this](fw::TComponent* sender) { btnPrintClick(sender); };
  btnGoTo = addButton("btnGoTo", "&Go To Line");
  btnGoTo->SetDefault(true);
  btnGoTo->OnClick = [this](fw::TComponent* sender) { btnGoToClick(sender); };
  btnClose = addButton("btnClose", "&Close");
  btnClose->OnClick = [this](fw::TComponent* sender) { btnCloseClick(sender); };

  // Never shown: it only carries the window's shortcuts.
  mnuShortcuts = new fw::TMainMenu(this);
  mnuShortcuts->SetName("mnuShortcuts");
  Shortcuts1 = new fw::TMenuItem(this);
  Shortcuts1->SetName("Shortcuts1");
  Shortcuts1->SetCaption("Shortcuts");
  mnuShortcuts->Items().Add(Shortcuts1);
  PrintPreview1 = new fw::TMenuItem(this);
  PrintPreview1->SetName("PrintPreview1");
  PrintPreview1->SetCaption("Print Preview");
  PrintPreview1->SetShortCut(fw::scCtrl | 'P');
  PrintPreview1->OnClick = [this](fw::TComponent* sender) { btnPrintClick(sender); };
  Shortcuts1->Add(PrintPreview1);
  GoToLine1 = new fw::TMenuItem(this);
  GoToLine1->SetName("GoToLine1");
  GoToLine1->SetCaption("Go To Line");
  GoToLine1->SetShortCut(fw::scCtrl | 'G');
  GoToLine1->OnClick = [this](fw::TComponent* sender) { btnGoToClick(sender); };
  Shortcuts1->Add(GoToLine1);

  OnClose = [this](fw::TComponent* sender, fw::TCloseAction& action) { FormClose(sender, action); };
  OnResize = [this](fw::TComponent* sender) { FormResize(sender); };
  loading.End();

  lstResults->Items().Assign(entries);
  lstResults->SetItemIndex(entries.empty() ? -1 : 0);
  FormResize(this);
  Show();
}

void TfrmCaptureSearchResults::btnPrintClick(fw::TComponent*) {
  if (busy_) return;
  busy_ = true;
  struct Idle {
    bool& busy;
    ~Idle() { busy = false; }
  } idle{busy_};
  report::WindowedReport<TqrCaptureSearchResultsRpt> report(nullptr, report::ReportEngineHost(),
                                                            lblTitle->Caption(), entries_);
  report->Preview();
}

void TfrmCaptureSearchResults::btnGoToClick(fw::TComponent*) {
  auto* owner = dynamic_cast<SearchResultsOwner*>(Owner());
  if (!owner) return;
  const int index = lstResults->ItemIndex();
  if (index < 0 || index >= lstResults->Items().Count()) return;
  const std::string& entry = lstResults->Items()[index];
  const auto line = EntryLineNumber(entry);
  if (!line) throw fw::EConvertError("'" + entry.substr(0, entry.find(' ')) + "' is not a valid line number");
  owner->GoToLine(*line, searchText_);
}

void TfrmCaptureSearchResults::btnCloseClick(fw::TComponent*) { Close(); }

void TfrmCaptureSearchResults::FormClose(fw::TComponent*, fw::TCloseAction& action) {
  if (busy_) {
    // The preview runs inside this window's click handler: it must end first.
    fw::MessageDlg("Must close Print Preview First", fw::TMsgDlgType::mtWarning, fw::mbOK);
    action = fw::TCloseAction::caNone;
    return;
  }
  action = fw::TCloseAction::caFree;
}

void TfrmCaptureSearchResults::FormResize(fw::TComponent*) {
  const int half = pnlBottom->ClientWidth() / 2;
  btnGoTo->SetLeft(half - btnGoTo->Width() / 2);
  btnPrint->SetLeft(half - 150);
  btnClose->SetLeft(half + 75);
}

}  // namespace capture
