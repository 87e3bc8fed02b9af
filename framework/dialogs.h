// Message dialogs and the common dialogs (open, save, print).
//
// Every message box goes through one replaceable function, so that tests can
// answer the boxes a program shows and read what they said.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/component.h"

namespace fw {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgButton : unsigned { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
constexpr unsigned mbYesNo = mbYes | mbNo, mbOKCancel = mbOK | mbCancel,
                   mbYesNoCancel = mbYes | mbNo | mbCancel;

struct MessageBoxRequest {
  std::string Text;
  std::string Caption;
  TMsgDlgType Type;
  unsigned Buttons;
  HWND Owner;
};

// Returns the modal result of the button pressed (mrOk, mrYes, ...).
using MessageBoxFunction = std::function<int(const MessageBoxRequest&)>;
// Replaces the function that shows message boxes (an empty one restores the
// system's); returns the previous one.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);

// A message box titled with the application title.
int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons, int helpContext = 0);
// An information box with OK, titled with the application title.
void ShowMessage(const std::string& text);

enum TOpenOption : unsigned {
  ofOverwritePrompt = 1,
  ofHideReadOnly = 2,
  ofPathMustExist = 4,
  ofFileMustExist = 8,
  ofNoChangeDir = 16,
};

// "Text File (*.txt)|*.txt|All Files|*.*" as the double-zero-terminated list
// the open and save dialogs take.
std::string DialogFilter(const std::string& filter);

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
  std::string Filter;
  int FilterIndex = 1;
  std::string DefaultExt;
  std::string FileName;
  std::string InitialDir;
  std::string Title;
  unsigned Options = ofHideReadOnly;
  // Shows the dialog; true when the user chose a file (FileName holds it).
  virtual bool Execute();

 protected:
  bool Run(bool save);
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;
  bool Execute() override { return Run(true); }
};

class TPrintDialog : public TComponent {
 public:
  explicit TPrintDialog(TComponent* owner) : TComponent(owner) {}
  ~TPrintDialog() override;
  int Copies = 1;
  int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
  bool PrintRange = false;
  // Shows PrintDlgA; true when the user pressed Print. The device mode and
  // names blocks stay with the dialog for the next call.
  bool Execute();
  HGLOBAL DevMode() const { return devMode_; }
  HGLOBAL DevNames() const { return devNames_; }

 private:
  HGLOBAL devMode_ = nullptr, devNames_ = nullptr;
};

}  // namespace fw
