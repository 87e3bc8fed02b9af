// windows.h before the registry routines, which undo one of its macros.
#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include "setup/base/registry_win.h"
#include "setup/base/windows_routines_win.h"
#include "setup/shell/shell_links_win.h"

namespace setup {
namespace {

// The shell link object and the interfaces it is used through.
const CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct ComFailure {
  HRESULT code;
};

void Check(HRESULT code) {
  if (FAILED(code)) throw ComFailure{code};
}

std::string SystemMessage(HRESULT code) {
  char* text = nullptr;
  const DWORD size = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message(text ? text : "", size);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
    message.pop_back();
  if (message.empty()) message = "Unspecified error";
  return message;
}

template <class T>
struct Released {
  T* pointer = nullptr;
  ~Released() {
    if (pointer) pointer->Release();
  }
};

}  // namespace

void SaveShellLinkFile(const ShellLinkData& link) {
  Released<IShellLinkA> shellLink;
  const HRESULT created = CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkA,
                                           reinterpret_cast<void**>(&shellLink.pointer));
  if (FAILED(created)) throw fw::Exception(SystemMessage(created));
  try {
    Check(shellLink.pointer->SetPath(link.Target.c_str()));
    Check(shellLink.pointer->SetHotkey(link.HotKey));
    Check(shellLink.pointer->SetArguments(link.Arguments.c_str()));
    Check(shellLink.pointer->SetWorkingDirectory(link.WorkingDirectory.c_str()));
    Released<IPersistFile> file;
    Check(shellLink.pointer->QueryInterface(kPersistFile, reinterpret_cast<void**>(&file.pointer)));
    // A path cut to fit would save the link under another name.
    wchar_t path[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, link.LinkPath.c_str(), -1, path, MAX_PATH))
      throw IEInstallShellLink("The link file path %s is longer than %d characters",
                               {link.LinkPath, MAX_PATH - 1});
    Check(file.pointer->Save(path, TRUE));
  } catch (const ComFailure& failure) {
    throw IEInstallShellLink(ShellLinkComErrorMessage(
        link.ObjectName, static_cast<std::int32_t>(failure.code), SystemMessage(failure.code)));
  } catch (const fw::Exception& error) {
    throw IEInstallShellLink(ShellLinkOtherErrorMessage(link.ObjectName, error.Message()));
  }
}

void UseSystemShell() {
  ShellAccess access;
  access.ForceDirectories = CreateFolders;
  access.SaveShellLink = SaveShellLinkFile;
  access.WriteIniString = [](const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
  };
  access.WindowsKind = [] { return setup::WindowsKind(); };
  access.registry = &SystemRegistry();
  SetShellAccess(std::move(access));
}

}  // namespace setup
