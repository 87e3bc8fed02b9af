#include "capture/viewer/shell_print_win.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlwapi.h>

namespace capture {

bool ShellVerbs::Has(const std::string& file, const std::string& verb) {
  const char* extension = PathFindExtensionA(file.c_str());
  if (!extension || !*extension) return false;
  char command[2048];
  DWORD size = sizeof command;
  return AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, extension, verb.c_str(), command, &size) == S_OK;
}

bool ShellVerbs::Run(const ShellRequest& request) {
  const HINSTANCE result =
      ShellExecuteA(nullptr, request.Verb.c_str(), request.File.c_str(),
                    request.Parameters.empty() ? nullptr : request.Parameters.c_str(), nullptr, request.Show);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

namespace {

ShellVerbs& SystemShell() {
  static ShellVerbs shell;
  return shell;
}

ShellVerbs*& CurrentShell() {
  static ShellVerbs* shell = &SystemShell();
  return shell;
}

}  // namespace

ShellVerbs* SetShellVerbs(ShellVerbs* verbs) {
  ShellVerbs* previous = CurrentShell();
  CurrentShell() = verbs ? verbs : &SystemShell();
  return previous;
}

bool PrintFileThroughShell(const std::string& file, const std::string& printerName) {
  ShellVerbs& shell = *CurrentShell();
  if (!printerName.empty() && shell.Has(file, "printto"))
    return shell.Run({"printto", file, "\"" + printerName + "\"", SW_HIDE});
  return shell.Run({"Print", file, "", SW_HIDE});
}

std::string PrinterNameFromDevNames(HGLOBAL devNames) {
  if (!devNames) return {};
  const SIZE_T size = GlobalSize(devNames);
  const auto* names = static_cast<const DEVNAMES*>(GlobalLock(devNames));
  if (!names) return {};
  std::string name;
  // The block comes from the dialog, but its offsets are still checked.
  const SIZE_T offset = names->wDeviceOffset;
  if (size >= sizeof(DEVNAMES) && offset >= sizeof(DEVNAMES) && offset < size) {
    const char* text = reinterpret_cast<const char*>(names) + offset;
    name.assign(text, strnlen(text, size - offset));
  }
  GlobalUnlock(devNames);
  return name;
}

}  // namespace capture
