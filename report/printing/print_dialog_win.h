// The system's print dialog around a printer object: printer, copies,
// collation and page range land in the printer object and in the dialog's
// properties. TQRCommonDialog runs a system dialog modally over the
// program's windows, centred a third down, and raises OnShow and OnClose.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <cstdint>

#include "framework/component.h"
#include "framework/printers.h"
#include "report/printing/print_dialog.h"

namespace report {

class TQRCommonDialog : public fw::TComponent {
 public:
  explicit TQRCommonDialog(fw::TComponent* owner);
  ~TQRCommonDialog() override;

  // Kept for descriptions that set it: there is no 3D look to switch.
  bool Ctl3D = true;
  int HelpContext = 0;
  fw::TNotifyEvent OnClose;
  fw::TNotifyEvent OnShow;

  // The dialog's window while it is open.
  HWND Handle() const { return window_; }

  virtual bool Execute() = 0;

 protected:
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  // A message to the dialog's owner: "commdlg_help" opens HelpContext.
  virtual bool MessageHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Runs dialog(record, owner) with every other window of the program
  // disabled; the dialog takes the owner window, which hears its help
  // requests. Returns what dialog returned.
  virtual BOOL TaskModalDialog(BOOL(WINAPI* dialog)(void* record, HWND owner), void* record);
  // The hook procedure for the dialog record.
  static UINT_PTR CALLBACK HookProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  WNDPROC previous_ = nullptr;
  HWND owner_ = nullptr;
};

// The system's print dialog that TQRPrintDialog runs; a test may put its own
// in its place to see the record the dialog is given. Null restores it.
using SystemPrintDialogFunction = BOOL(WINAPI*)(PRINTDLGA* record);
void SetSystemPrintDialog(SystemPrintDialogFunction dialog);

class TQRPrintDialog : public TQRCommonDialog {
 public:
  explicit TQRPrintDialog(fw::TComponent* owner);

  // The printer the dialog reads and sets: the application's at first.
  fw::TPrinter* Printer;

  bool Collate = false;
  std::int32_t Copies() const { return copies_; }
  // Also the printer's number of copies; without a printer only stored.
  void SetCopies(std::int32_t value);
  std::int32_t FromPage = 0;
  std::int32_t MinPage = 0;
  std::int32_t MaxPage = 0;
  TPrintDialogOptions Options = 0;
  bool PrintToFile = false;
  TPrintRange PrintRange = TPrintRange::prAllPages;
  std::int32_t ToPage = 0;

  // True when the user confirmed; a cancelled or failed dialog changes nothing.
  bool Execute() override;

 private:
  std::int32_t copies_ = 0;
};

}  // namespace report
