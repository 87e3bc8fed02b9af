#include "capture/viewer/view_logs_win.h"

#include <functional>
#include <memory>

#include "capture/settings/about.h"
#include "capture/program/files.h"
#include "capture/viewer/file_win.h"
#include "capture/viewer/search.h"
#include "capture/viewer/search_results_win.h"
#include "capture/settings/settings_win.h"
#include "capture/viewer/shell_print_win.h"
#include "framework/application.h"

namespace capture {

namespace {

const std::string kCaptionPrefix = "Quorvane - View Logs - ";
const std::string kNoFile = "No File Selected";
constexpr int kHelpContext = 5;

// The hourglass on every control of a window while it is alive; each control
// gets its own cursor back afterwards, also when the search fails.
class BusyCursor {
 public:
  explicit BusyCursor(fw::TWinControl& window) {
    Collect(window);
    for (auto& [control, cursor] : saved_) control->SetCursor(fw::crHourGlass);
    ::SetCursor(fw::CursorHandle(fw::crHourGlass));
  }
  ~BusyCursor() {
    for (auto& [control, cursor] : saved_) control->SetCursor(cursor);
    ::SetCursor(fw::CursorHandle(fw::crArrow));
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  void Collect(fw::TWinControl& parent) {
    saved_.push_back({&parent, parent.Cursor()});
    for (fw::TControl* control : parent.Controls()) {
      if (auto* win = dynamic_cast<fw::TWinControl*>(control))
        Collect(*win);
      else
        saved_.push_back({control, control->Cursor()});
    }
  }
  std::vector<std::pair<fw::TControl*, fw::TCursor>> saved_;
};

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

fw::TPanel* AddPanel(fw::TForm* form, fw::TWinControl* parent, const std::string& name, fw::TAlign align,
                     int size) {
  auto* panel = new fw::TPanel(form);
  panel->SetName(name);
  panel->SetParent(parent);
  panel->SetBevelOuter(fw::TBevelCut::bvNone);
  if (align == fw::TAlign::alLeft || align == fw::TAlign::alRight)
    panel->SetWidth(size);
  else if (align != fw::TAlign::alClient)
    panel->SetHeight(size);
  panel->SetAlign(align);
  return panel;
}

// Lends the viewer a search text for one Find Next and gives it back with
// the buttons as they were, also when the search fails.
class BorrowedSearchText {
 public:
  BorrowedSearchText(TfrmCaptureViewLogs& viewer, const std::string& text)
      : viewer_(viewer),
        text_(viewer.edtSearch->Text()),
        defaults_{viewer.btnSearch->Default(), viewer.btnAgain->Default(), viewer.btnClose->Default()} {
    viewer_.edtSearch->SetText(text);
  }
  ~BorrowedSearchText() {
    viewer_.edtSearch->SetText(text_);
    viewer_.btnSearch->SetDefault(defaults_[0]);
    viewer_.btnAgain->SetDefault(defaults_[1]);
    viewer_.btnClose->SetDefault(defaults_[2]);
  }
  BorrowedSearchText(const BorrowedSearchText&) = delete;
  BorrowedSearchText& operator=(const BorrowedSearchText&) = delete;

 private:
  TfrmCaptureViewLogs& viewer_;
  std::string text_;
  bool defaults_[3];
};

}  // namespace

// --- LogMemo

bool LogMemo::PlaceCaretAtLine(size_t line) {
  HWND edit = Handle();
  const auto lines = static_cast<size_t>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
  if (line >= lines) return false;
  const LRESULT start = SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
  if (start < 0) return false;
  SelectRange(static_cast<size_t>(start), 0);
  return true;
}

void LogMemo::SelectRange(size_t start, size_t length) {
  HWND edit = Handle();
  SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
  SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

// --- TfrmCaptureViewLogs

fw::TButton* TfrmCaptureViewLogs::AddButton(fw::TWinControl* parent, const std::string& name, int top,
                                            const std::string& caption,
                                            void (TfrmCaptureViewLogs::*handler)(fw::TComponent*)) {
  auto* button = new fw::TButton(this);
  button->SetName(name);
  button->SetParent(parent);
  button->SetBounds(16, top, 126, 25);
  button->SetCaption(caption);
  button->OnClick = [this, handler](fw::TComponent* sender) { (this->*handler)(sender); };
  return button;
}

fw::TMenuItem* TfrmCaptureViewLogs::AddItem(fw::TMenuItem* parent, const std::string& name,
                                            const std::string& caption, fw::TShortCut shortCut,
                                            void (TfrmCaptureViewLogs::*handler)(fw::TComponent*)) {
  auto* item = new fw::TMenuItem(this);
  item->SetName(name);
  item->SetCaption(caption);
  item->SetShortCut(shortCut);
  if (handler) item->OnClick = [this, handler](fw::TComponent* sender) { (this->*handler)(sender); };
  if (parent) parent->Add(item);
  return item;
}

TfrmCaptureViewLogs::TfrmCaptureViewLogs(fw::TComponent* owner) : fw::TForm(owner) {
  fw::FormLoading loading(*this);
  SetName("frmCaptureViewLogs");
  SetCaption(kCaptionPrefix + kNoFile);
  SetPosition(fw::TPosition::poScreenCenter);
  SetBounds(0, 0, 638, 442);

  // Right panel: the search and the buttons.
  pnlRight = AddPanel(this, this, "pnlRight", fw::TAlign::alRight, 158);
  lblSearch = new fw::TLabel(this);
  lblSearch->SetName("lblSearch");
  lblSearch->SetParent(pnlRight);
  lblSearch->SetBounds(16, 12, 126, 13);
  lblSearch->SetCaption("Text To Find:");
  edtSearch = new fw::TEdit(this);
  edtSearch->SetName("edtSearch");
  edtSearch->SetParent(pnlRight);
  edtSearch->SetBounds(16, 30, 126, 21);
  edtSearch->SetMaxLength(20);
  edtSearch->OnChange = [this](fw::TComponent* sender) { edtSearchChange(sender); };
  btnSearch = AddButton(pnlRight, "btnSearch", 62, "&Find First", &TfrmCaptureViewLogs::btnSearchClick);
  btnAgain = AddButton(pnlRight, "btnAgain", 94, "Find &Next", &TfrmCaptureViewLogs::btnAgainClick);
  btnFindAll = AddButton(pnlRight, "btnFindAll", 126, "Find &All", &TfrmCaptureViewLogs::btnFindAllClick);
  btnPrint = AddButton(pnlRight, "btnPrint", 300, "&Print", &TfrmCaptureViewLogs::btnPrintClick);
  btnClose = AddButton(pnlRight, "btnClose", 340, "&Close", &TfrmCaptureViewLogs::btnCloseClick);
  btnClose->SetDefault(true);

  // The text, with blank margins at the top, left and bottom.
  pnlText = AddPanel(this, this, "pnlText", fw::TAlign::alClient, 0);
  pnlTextTop = AddPanel(this, pnlText, "pnlTextTop", fw::TAlign::alTop, 12);
  pnlTextBottom = AddPanel(this, pnlText, "pnlTextBottom", fw::TAlign::alBottom, 12);
  pnlTextLeft = AddPanel(this, pnlText, "pnlTextLeft", fw::TAlign::alLeft, 12);
  memLog = new LogMemo(this);
  memLog->SetName("memLog");
  memLog->SetParent(pnlText);
  memLog->SetAlign(fw::TAlign::alClient);
  memLog->SetReadOnly(true);
  memLog->SetWordWrap(false);
  memLog->SetScrollBars(fw::TMemo::TScrollStyle::ssBoth);
  memLog->SetParentFont(false);
  memLog->Font().SetName("Courier");
  memLog->Font().SetHeight(-11);
  // Where "Courier" is missing, still a fixed-pitch face: journal columns line up.
  memLog->Font().SetPitch(fw::TFontPitch::fpFixed);

  using fw::scCtrl;
  mnuMain = new fw::TMainMenu(this);
  mnuMain->SetName("mnuMain");
  mnuFile = AddItem(&mnuMain->Items(), "mnuFile", "&File", fw::scNone, nullptr);
  New1 = AddItem(mnuFile, "New1", "&New", scCtrl | 'N', &TfrmCaptureViewLogs::New1Click);
  mnuFileOpen =
      AddItem(mnuFile, "mnuFileOpen", "&Open...", scCtrl | 'O', &TfrmCaptureViewLogs::mnuFileOpenClick);
  SaveAs1 = AddItem(mnuFile, "SaveAs1", "&Save As...", scCtrl | 'S', &TfrmCaptureViewLogs::SaveAs1Click);
  mnuFilePrint =
      AddItem(mnuFile, "mnuFilePrint", "&Print...", scCtrl | 'P', &TfrmCaptureViewLogs::btnPrintClick);
  mnuFileClose = AddItem(mnuFile, "mnuFileClose", "&Close", fw::scNone, &TfrmCaptureViewLogs::btnCloseClick);
  mnuEdit = AddItem(&mnuMain->Items(), "mnuEdit", "&Edit", fw::scNone, nullptr);
  Copy1 = AddItem(mnuEdit, "Copy1", "&Copy", scCtrl | 'C', &TfrmCaptureViewLogs::Copy1Click);
  mnuFindFirst =
      AddItem(mnuEdit, "mnuFindFirst", "&Find First", scCtrl | 'F', &TfrmCaptureViewLogs::btnSearchClick);
  mnuFindNext = AddItem(mnuEdit, "mnuFindNext", "Find &Next", VK_F3, &TfrmCaptureViewLogs::btnAgainClick);
  mnuFindAll =
      AddItem(mnuEdit, "mnuFindAll", "Find &All...", fw::scNone, &TfrmCaptureViewLogs::btnFindAllClick);
  SelectAll1 =
      AddItem(mnuEdit, "SelectAll1", "&Select All", scCtrl | 'A', &TfrmCaptureViewLogs::SelectAll1Click);
  mnuHelp = AddItem(&mnuMain->Items(), "mnuHelp", "&Help", fw::scNone, nullptr);
  Contents1 =
      AddItem(mnuHelp, "Contents1", "&Help Contents...", fw::scNone, &TfrmCaptureViewLogs::Contents1Click);
  About1 = AddItem(mnuHelp, "About1", "&About...", fw::scNone, &TfrmCaptureViewLogs::About1Click);
  SetMenu(mnuMain);

  dlgOpen = new fw::TOpenDialog(this);
  dlgOpen->SetName("dlgOpen");
  dlgOpen->DefaultExt = "txt";
  dlgOpen->Filter = "Text File (*.txt)|*.txt|All Files|*.*";
  dlgOpen->Options = fw::ofHideReadOnly | fw::ofFileMustExist;
  // Where the capture program keeps its capture files.
  dlgOpen->InitialDir = ProgramFolder(ProgramFilePath());
  dlgSave = new fw::TSaveDialog(this);
  dlgSave->SetName("dlgSave");
  dlgSave->DefaultExt = "txt";
  dlgSave->Filter = "Text Files (*.txt)|*.txt|All Files|*.*";
  dlgSave->Options = fw::ofHideReadOnly | fw::ofPathMustExist;
  PrintDialog1 = new fw::TPrintDialog(this);
  PrintDialog1->SetName("PrintDialog1");

  OnCreate = [this](fw::TComponent* sender) { FormCreate(sender); };
  OnResize = [this](fw::TComponent* sender) { FormResize(sender); };
  OnClose = [this](fw::TComponent* sender, fw::TCloseAction& action) { FormClose(sender, action); };
  loading.End();
}

void TfrmCaptureViewLogs::FormCreate(fw::TComponent*) {
  ShowNoFile();
  edtSearchChange(edtSearch);
  FormResize(this);
}

void TfrmCaptureViewLogs::FormResize(fw::TComponent*) {
  const int height = pnlRight->ClientHeight();
  btnClose->SetTop(height - btnClose->Height());
  btnPrint->SetTop(height - 57);
}

std::string TfrmCaptureViewLogs::FileTitle() const {
  const std::string caption = Caption();
  return caption.compare(0, kCaptionPrefix.size(), kCaptionPrefix) == 0
             ? caption.substr(kCaptionPrefix.size())
             : caption;
}

void TfrmCaptureViewLogs::ShowFile(const std::string& path) {
  currentPath_ = path;
  SetCaption(kCaptionPrefix + FileNameOf(path));
  btnPrint->SetEnabled(true);
  mnuFilePrint->SetEnabled(true);
}

void TfrmCaptureViewLogs::ShowNoFile() {
  currentPath_.clear();
  SetCaption(kCaptionPrefix + kNoFile);
  // Nothing to print: the shell would be asked about an empty name.
  btnPrint->SetEnabled(false);
  mnuFilePrint->SetEnabled(false);
}

void TfrmCaptureViewLogs::mnuFileOpenClick(fw::TComponent*) {
  if (!dlgOpen->Execute()) return;
  OpenFile(dlgOpen->FileName);
}

void TfrmCaptureViewLogs::OpenFile(const std::string& path) {
  std::string bytes;
  const LogReadResult result = ReadLogFile(path, kMaxFileSize, bytes);
  if (result == LogReadResult::TooLarge) {
    fw::MessageDlg("File too large to open", fw::TMsgDlgType::mtError, fw::mbOK);
    return;
  }
  memLog->Lines().Clear();
  if (result == LogReadResult::Failed) {
    ShowNoFile();
    fw::MessageDlg("Cannot Open, File Already in Use", fw::TMsgDlgType::mtError, fw::mbOK);
    return;
  }
  memLog->SetText(MemoTextFromFile(bytes));
  ShowFile(path);
  memLog->SelectRange(0, 0);
}

void TfrmCaptureViewLogs::New1Click(fw::TComponent*) {
  memLog->Lines().Clear();
  ShowNoFile();
}

void TfrmCaptureViewLogs::SaveAs1Click(fw::TComponent*) {
  if (!dlgSave->Execute()) return;
  SaveAs(dlgSave->FileName);
}

void TfrmCaptureViewLogs::SaveAs(const std::string& path) {
  if (FileExists(path) && fw::MessageDlg("File already exists. Do you want to replace it?",
                                         fw::TMsgDlgType::mtWarning, fw::mbYesNo) != fw::mrYes)
    return;
  // The text as shown: every line break as CR LF, nothing added at the end.
  if (!WriteLogFile(path, memLog->Text())) {
    fw::MessageDlg("Cannot save, file already in use", fw::TMsgDlgType::mtError, fw::mbOK);
    return;
  }
  ShowFile(path);
}

void TfrmCaptureViewLogs::btnPrintClick(fw::TComponent*) {
  if (currentPath_.empty()) return;
  if (!PrintDialog1->Execute()) return;
  PrintCurrentFile(PrinterNameFromDevNames(PrintDialog1->DevNames()));
}

void TfrmCaptureViewLogs::PrintCurrentFile(const std::string& printerName) {
  if (currentPath_.empty()) return;
  // A refused request shows nothing: the associated program reports its own troubles.
  PrintFileThroughShell(currentPath_, printerName);
}

void TfrmCaptureViewLogs::btnCloseClick(fw::TComponent*) {
  // Asked here as well: while the viewer is modal a close request waits for
  // the loop, which the open preview holds up.
  if (RefuseCloseForPreview()) return;
  Close();
}

void TfrmCaptureViewLogs::FormClose(fw::TComponent*, fw::TCloseAction& action) {
  if (RefuseCloseForPreview()) action = fw::TCloseAction::caNone;
}

bool TfrmCaptureViewLogs::RefuseCloseForPreview() {
  // A results window's preview runs inside that window's click handler, which
  // would outlive the window if the viewer took its results windows along.
  for (fw::TComponent* component : Components())
    if (auto* results = dynamic_cast<TfrmCaptureSearchResults*>(component); results && results->Busy()) {
      fw::MessageDlg("Must close Print Preview First", fw::TMsgDlgType::mtWarning, fw::mbOK);
      return true;
    }
  return false;
}

void TfrmCaptureViewLogs::WndProc(fw::TMessage& message) {
  if (message.Msg == WM_CLOSE && RefuseCloseForPreview()) {
    message.Result = 0;
    return;
  }
  fw::TForm::WndProc(message);
}

void TfrmCaptureViewLogs::Copy1Click(fw::TComponent*) { memLog->CopyToClipboard(); }

void TfrmCaptureViewLogs::SelectAll1Click(fw::TComponent*) {
  memLog->SelectAll();
  memLog->SetFocus();
}

void TfrmCaptureViewLogs::Contents1Click(fw::TComponent*) { fw::Application()->HelpContext(kHelpContext); }

void TfrmCaptureViewLogs::About1Click(fw::TComponent*) {
  std::unique_ptr<TfrmCaptureAbout> about(new TfrmCaptureAbout(this));
  about->ShowModal();
}

void TfrmCaptureViewLogs::SetDefaultButton(fw::TButton* button) {
  for (fw::TButton* each : {btnSearch, btnAgain, btnClose}) each->SetDefault(each == button);
}

void TfrmCaptureViewLogs::NotFound(const std::string& text) {
  fw::MessageDlg("Search String '" + text + "' not found.", fw::TMsgDlgType::mtInformation, fw::mbOK);
}

void TfrmCaptureViewLogs::btnSearchClick(fw::TComponent*) {
  const std::string text = edtSearch->Text();
  if (text.empty()) return;
  std::optional<size_t> at;
  {
    BusyCursor busy(*this);
    at = FindNoCase(memLog->Text(), text);
  }
  if (!at) {
    NotFound(text);
    return;
  }
  memLog->SelectRange(*at, text.size());
  edtSearch->SetFocus();
  SetDefaultButton(btnAgain);
}

void TfrmCaptureViewLogs::btnAgainClick(fw::TComponent*) {
  const std::string text = edtSearch->Text();
  if (text.empty()) return;
  std::optional<size_t> at;
  {
    BusyCursor busy(*this);
    const size_t from = static_cast<size_t>(memLog->SelStart()) + static_cast<size_t>(memLog->SelLength());
    at = FindNoCase(memLog->Text(), text, from);
  }
  if (!at) {
    if (fw::MessageDlg("Reached end of document, do you want to continue from the begininning?",
                       fw::TMsgDlgType::mtConfirmation, fw::mbYesNo) == fw::mrYes)
      btnSearchClick(btnSearch);
    return;
  }
  memLog->SelectRange(*at, text.size());
  edtSearch->SetFocus();
}

void TfrmCaptureViewLogs::btnFindAllClick(fw::TComponent*) {
  const std::string text = edtSearch->Text();
  if (text.empty()) return;
  std::vector<std::string> entries;
  {
    BusyCursor busy(*this);
    const std::string memo = memLog->Text();
    for (const LineHit& hit : FindLinesNoCase(memo, text)) entries.push_back(SearchResultEntry(hit));
  }
  if (entries.empty()) {
    NotFound(text);
    return;
  }
  new TfrmCaptureSearchResults(this, FileTitle(), text, entries);
}

void TfrmCaptureViewLogs::edtSearchChange(fw::TComponent*) {
  const bool any = !edtSearch->Text().empty();
  for (fw::TButton* button : {btnSearch, btnAgain, btnFindAll}) button->SetEnabled(any);
  for (fw::TMenuItem* item : {mnuFindFirst, mnuFindNext, mnuFindAll}) item->SetEnabled(any);
  SetDefaultButton(any ? btnSearch : btnClose);
}

void TfrmCaptureViewLogs::GoToLine(size_t line, const std::string& searchText) {
  if (!memLog->PlaceCaretAtLine(line)) return;
  {
    BorrowedSearchText borrowed(*this, searchText);
    btnAgainClick(btnAgain);
  }
  BringToFront();
}

}  // namespace capture
