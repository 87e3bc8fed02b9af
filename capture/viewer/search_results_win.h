// The search results window: every line of the log viewer's text that holds
// the search text, as its line number, five blanks and the line. Go To Line
// takes the viewer to a hit. Modeless, owned by the viewer, freed on close.
#pragma once

#include <string>
#include <vector>

#include "framework/extctrls.h"
#include "framework/form.h"
#include "framework/menus.h"
#include "framework/stdctrls.h"

namespace capture {

class TfrmCaptureSearchResults : public fw::TForm {
 public:
  // Shows itself at once; Go To Line goes to `owner` (the log viewer) when
  // it is a SearchResultsOwner.
  TfrmCaptureSearchResults(fw::TComponent* owner, const std::string& fileTitle, const std::string& searchText,
                           const std::vector<std::string>& entries);

  const std::string& SearchText() const { return searchText_; }
  // True while this window's preview is open.
  bool Busy() const { return busy_; }

  fw::TLabel* lblTitle;
  fw::TPanel* pnlLeft;
  fw::TPanel* pnlRight;
  fw::TPanel* pnlBottom;
  fw::TListBox* lstResults;
  fw::TButton* btnPrint;
  fw::TButton* btnGoTo;
  fw::TButton* btnClose;
  fw::TMainMenu* mnuShortcuts;
  fw::TMenuItem* Shortcuts1;
  fw::TMenuItem* PrintPreview1;
  fw::TMenuItem* GoToLine1;

  // Previews the list as a report; returns when the preview window closes.
  void btnPrintClick(fw::TComponent* sender);
  void btnGoToClick(fw::TComponent* sender);
  void btnCloseClick(fw::TComponent* sender);
  void FormClose(fw::TComponent* sender, fw::TCloseAction& action);
  void FormResize(fw::TComponent* sender);

 private:
  std::string searchText_;
  std::vector<std::string> entries_;
  bool busy_ = false;
};

}  // namespace capture
