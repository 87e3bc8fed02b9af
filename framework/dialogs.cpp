#include "framework/dialogs.h"

#include <cderr.h>
#include <commdlg.h>

#include <vector>

#include "framework/application.h"
#include "framework/exceptions.h"
#include "framework/form.h"

namespace fw {

namespace {

int SystemMessageBox(const MessageBoxRequest& request) {
  UINT flags = MB_TASKMODAL;
  switch (request.Type) {
    case TMsgDlgType::mtWarning:
      flags |= MB_ICONWARNING;
      break;
    case TMsgDlgType::mtError:
      flags |= MB_ICONERROR;
      break;
    case TMsgDlgType::mtInformation:
      flags |= MB_ICONINFORMATION;
      break;
    case TMsgDlgType::mtConfirmation:
      flags |= MB_ICONQUESTION;
      break;
    default:
      break;
  }
  const unsigned b = request.Buttons;
  if ((b & mbYes) && (b & mbNo))
    flags |= (b & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else if ((b & mbOK) && (b & mbCancel))
    flags |= MB_OKCANCEL;
  else
    flags |= MB_OK;
  return MessageBoxA(request.Owner, request.Text.c_str(), request.Caption.c_str(), flags);
}

MessageBoxFunction& CurrentFunction() {
  static MessageBoxFunction function = SystemMessageBox;
  return function;
}

}  // namespace

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function) {
  MessageBoxFunction previous = CurrentFunction();
  CurrentFunction() = function ? std::move(function) : MessageBoxFunction(SystemMessageBox);
  return previous;
}

int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons, int /*helpContext*/) {
  HWND owner = GetActiveWindow();
  MessageBoxRequest request{text, Application()->Title, type, buttons == 0 ? unsigned(mbOK) : buttons, owner};
  // A copy: the box's own message loop may replace the function.
  MessageBoxFunction function = CurrentFunction();
  return function(request);
}

void ShowMessage(const std::string& text) { MessageDlg(text, TMsgDlgType::mtInformation, mbOK); }

std::string DialogFilter(const std::string& filter) {
  std::string result = filter;
  for (char& c : result)
    if (c == '|') c = '\0';
  result.push_back('\0');
  result.push_back('\0');
  return result;
}

bool TOpenDialog::Execute() { return Run(false); }

bool TOpenDialog::Run(bool save) {
  std::vector<char> file(MAX_PATH * 4, '\0');
  FileName.copy(file.data(), file.size() - 1);
  const std::string filter = DialogFilter(Filter);
  const std::string ext = DefaultExt.size() > 0 && DefaultExt[0] == '.' ? DefaultExt.substr(1) : DefaultExt;
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(FilterIndex);
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  dialog.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING;
  if (Options & ofOverwritePrompt) dialog.Flags |= OFN_OVERWRITEPROMPT;
  if (Options & ofHideReadOnly) dialog.Flags |= OFN_HIDEREADONLY;
  if (Options & ofPathMustExist) dialog.Flags |= OFN_PATHMUSTEXIST;
  if (Options & ofFileMustExist) dialog.Flags |= OFN_FILEMUSTEXIST;
  if (Options & ofNoChangeDir) dialog.Flags |= OFN_NOCHANGEDIR;
  const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (!chosen) {
    if (const DWORD error = CommDlgExtendedError())
      throw Exception("The file dialog failed (error " + std::to_string(error) + ")");
    return false;
  }
  FileName = file.data();
  FilterIndex = static_cast<int>(dialog.nFilterIndex);
  return true;
}

TPrintDialog::~TPrintDialog() {
  if (devMode_) GlobalFree(devMode_);
  if (devNames_) GlobalFree(devNames_);
}

bool TPrintDialog::Execute() {
  PRINTDLGA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.hDevMode = devMode_;
  dialog.hDevNames = devNames_;
  dialog.Flags = PD_USEDEVMODECOPIESANDCOLLATE | (PrintRange ? PD_PAGENUMS : PD_NOPAGENUMS);
  dialog.nCopies = static_cast<WORD>(Copies > 0 ? Copies : 1);
  dialog.nFromPage = static_cast<WORD>(FromPage);
  dialog.nToPage = static_cast<WORD>(ToPage);
  dialog.nMinPage = static_cast<WORD>(MinPage);
  dialog.nMaxPage = static_cast<WORD>(MaxPage);
  const BOOL chosen = PrintDlgA(&dialog);
  devMode_ = dialog.hDevMode;
  devNames_ = dialog.hDevNames;
  if (!chosen) {
    if (const DWORD error = CommDlgExtendedError())
      throw Exception(error == PDERR_NODEFAULTPRN
                          ? std::string("There is no default printer")
                          : "The print dialog failed (error " + std::to_string(error) + ")");
    return false;
  }
  Copies = dialog.nCopies;
  FromPage = dialog.nFromPage;
  ToPage = dialog.nToPage;
  PrintRange = (dialog.Flags & PD_PAGENUMS) != 0;
  return true;
}

}  // namespace fw
