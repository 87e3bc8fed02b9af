// The log viewer: opens a capture file (or any text file) read-only, searches
// it, lists every matching line in search results windows, saves a copy and
// prints the file through the shell.
#pragma once

#include <string>
#include <vector>

#include "capture/viewer/search_results_owner.h"
#include "framework/dialogs.h"
#include "framework/extctrls.h"
#include "framework/form.h"
#include "framework/menus.h"
#include "framework/stdctrls.h"

namespace capture {

// The viewer's memo: a read-only multi-line edit that keeps its selection
// visible when it loses the focus.
class LogMemo : public fw::TMemo {
 public:
  using fw::TMemo::TMemo;
  // Puts the caret at the start of a line (no selection); false when the
  // memo has no such line.
  bool PlaceCaretAtLine(size_t line);
  // Selects `length` characters from `start` and scrolls them into view.
  void SelectRange(size_t start, size_t length);

 protected:
  DWORD EditStyle() const override { return fw::TMemo::EditStyle() | ES_NOHIDESEL; }
};

class TfrmCaptureViewLogs : public fw::TForm, public SearchResultsOwner {
 public:
  explicit TfrmCaptureViewLogs(fw::TComponent* owner);

  // Largest file the viewer opens.
  static constexpr size_t kMaxFileSize = 750000;

  const std::string& CurrentPath() const { return currentPath_; }
  // Open without the dialog: the size gate, loading, caption and caret.
  void OpenFile(const std::string& path);
  // Save As without the dialog: asks before replacing an existing file.
  void SaveAs(const std::string& path);
  // Print without the dialog, on the printer chosen there (empty: default).
  void PrintCurrentFile(const std::string& printerName);
  // The file-name part of the caption.
  std::string FileTitle() const;
  // Go To Line of the search results windows it opened.
  void GoToLine(size_t line, const std::string& searchText) override;

  fw::TPanel* pnlRight;
  fw::TPanel* pnlText;
  fw::TPanel* pnlTextTop;
  fw::TPanel* pnlTextLeft;
  fw::TPanel* pnlTextBottom;
  LogMemo* memLog;
  fw::TLabel* lblSearch;
  fw::TEdit* edtSearch;
  fw::TButton* btnSearch;
  fw::TButton* btnAgain;
  fw::TButton* btnFindAll;
  fw::TButton* btnPrint;
  fw::TButton* btnClose;

  fw::TMainMenu* mnuMain;
  fw::TMenuItem* mnuFile;
  fw::TMenuItem* New1;
  fw::TMenuItem* mnuFileOpen;
  fw::TMenuItem* SaveAs1;
  fw::TMenuItem* mnuFilePrint;
  fw::TMenuItem* mnuFileClose;
  fw::TMenuItem* mnuEdit;
  fw::TMenuItem* Copy1;
  fw::TMenuItem* mnuFindFirst;
  fw::TMenuItem* mnuFindNext;
  fw::TMenuItem* mnuFindAll;
  fw::TMenuItem* SelectAll1;
  fw::TMenuItem* mnuHelp;
  fw::TMenuItem* Contents1;
  fw::TMenuItem* About1;

  fw::TOpenDialog* dlgOpen;
  fw::TSaveDialog* dlgSave;
  fw::TPrintDialog* PrintDialog1;

  void FormCreate(fw::TComponent* sender);
  void FormResize(fw::TComponent* sender);
  void FormClose(fw::TComponent* sender, fw::TCloseAction& action);
  void WndProc(fw::TMessage& message) override;
  void mnuFileOpenClick(fw::TComponent* sender);
  void New1Click(fw::TComponent* sender);
  void SaveAs1Click(fw::TComponent* sender);
  void btnPrintClick(fw::TComponent* sender);
  void btnCloseClick(fw::TComponent* sender);
  void Copy1Click(fw::TComponent* sender);
  void btnSearchClick(fw::TComponent* sender);
  void btnAgainClick(fw::TComponent* sender);
  void btnFindAllClick(fw::TComponent* sender);
  void SelectAll1Click(fw::TComponent* sender);
  void edtSearchChange(fw::TComponent* sender);
  void Contents1Click(fw::TComponent* sender);
  void About1Click(fw::TComponent* sender);

 private:
  fw::TButton* AddButton(fw::TWinControl* parent, const std::string& name, int top,
                         const std::string& caption, void (TfrmCaptureViewLogs::*handler)(fw::TComponent*));
  fw::TMenuItem* AddItem(fw::TMenuItem* parent, const std::string& name, const std::string& caption,
                         fw::TShortCut shortCut, void (TfrmCaptureViewLogs::*handler)(fw::TComponent*));
  void ShowFile(const std::string& path);
  void ShowNoFile();
  void SetDefaultButton(fw::TButton* button);
  void NotFound(const std::string& text);
  // Warns and answers true while a results window's preview is open.
  bool RefuseCloseForPreview();

  std::string currentPath_;
};

}  // namespace capture
