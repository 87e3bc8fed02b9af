#include "setup/wizard/folder_browser_win.h"

#include <shlobj.h>

#include <utility>
#include <vector>

#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/format.h"
#include "framework/inputbox.h"
#include "setup/base/exceptions.h"
#include "setup/base/text_routines.h"
#include "setup/base/windows_routines_win.h"

namespace setup {

// The browser calls back into plain functions; they reach the dialog's
// private handlers through this.
struct TOpenFolderDialogAccess {
  static void Initialized(TOpenFolderDialog* d, HWND window) {
    d->Guard([&] { d->Initialized(window); });
  }
  static void SelectionChanged(TOpenFolderDialog* d, LPCITEMIDLIST item) {
    d->Guard([&] { d->SelectionChanged(item); });
  }
  static void PathTyped(TOpenFolderDialog* d) {
    d->Guard([&] { d->PathTyped(); });
  }
  static void CreateClicked(TOpenFolderDialog* d) {
    d->Guard([&] { d->CreateClicked(); });
  }
  static bool OkPressed(TOpenFolderDialog* d) {
    bool proceed = false;
    d->Guard([&] { proceed = d->OkPressed(); });
    return proceed;
  }
  static WNDPROC BrowserProc(TOpenFolderDialog* d) { return d->browserProc_; }
  static WNDPROC EditProc(TOpenFolderDialog* d) { return d->editProc_; }
};

namespace {

constexpr int kCreateButtonId = 0x3A01;
constexpr int kPathEditId = 0x3A02;
constexpr int kPathEditHeight = 21;
const char kDialogProperty[] = "TallimoFolderDialog";

std::string LibraryString(const char* library, UINT id) {
  HMODULE module = LoadLibraryA(library);
  if (!module) return {};
  std::string text(4096, '\0');
  const int length = LoadStringA(module, id, text.data(), static_cast<int>(text.size()));
  FreeLibrary(module);
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

std::string OrFallback(const std::string& text, const char* fallback) {
  return text.empty() ? fallback : text;
}

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

TOpenFolderDialog* DialogOf(HWND window) {
  return static_cast<TOpenFolderDialog*>(GetPropA(window, kDialogProperty));
}

LRESULT CALLBACK BrowserProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TOpenFolderDialog* dialog = DialogOf(window);
  const WNDPROC previous = TOpenFolderDialogAccess::BrowserProc(dialog);
  if (message == WM_COMMAND && LOWORD(wParam) == kCreateButtonId && HIWORD(wParam) == BN_CLICKED) {
    TOpenFolderDialogAccess::CreateClicked(dialog);
    return 0;
  }
  // OK by its button, by Enter or by its accelerator: all come as IDOK.
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK && !TOpenFolderDialogAccess::OkPressed(dialog))
    return 0;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(window, kDialogProperty);
  }
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK PathEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TOpenFolderDialog* dialog = DialogOf(window);
  const WNDPROC previous = TOpenFolderDialogAccess::EditProc(dialog);
  const LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
  if (message == WM_KEYUP) TOpenFolderDialogAccess::PathTyped(dialog);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(window, kDialogProperty);
  }
  return result;
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data) {
  auto* dialog = reinterpret_cast<TOpenFolderDialog*>(data);
  if (message == BFFM_INITIALIZED) TOpenFolderDialogAccess::Initialized(dialog, window);
  if (message == BFFM_SELCHANGED)
    TOpenFolderDialogAccess::SelectionChanged(dialog, reinterpret_cast<LPCITEMIDLIST>(lParam));
  return 0;
}

// COM for the shell's browser, for the time of one Execute.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

bool SamePath(const std::string& a, const std::string& b) {
  return lstrcmpiA(RemoveBackslash(a).c_str(), RemoveBackslash(b).c_str()) == 0;
}

[[noreturn]] void CannotCreate(const std::string& path) {
  throw fw::Exception(Translated("Unable to create directory") + " " + path);
}

// A relative path would be made under the setup's own working folder.
bool RefusedAsNotFull(const std::string& path) {
  if (path.empty() || FullyQualifiedPath(path)) return false;
  fw::MessageDlg(
      FormatTranslated("\"%s\" is not a full path. Type the folder's full path, beginning with its "
                       "drive, as in C:\\Program Files.",
                       {path}),
      fw::TMsgDlgType::mtError, fw::mbOK);
  return true;
}

}  // namespace

std::string TOFDResourceStrings::CreateButtonCaption() {
  return OrFallback(LibraryString("comdlg32.dll", 703), "Make New Folder");
}

std::string TOFDResourceStrings::NewFolderPrompt() {
  return OrFallback(LibraryString("shell32.dll", 8977), "Type the name of a new folder");
}

std::string TOFDResourceStrings::BrowserTitle() {
  const std::string format = LibraryString("shell32.dll", 9248);
  return OrFallback(fw::FormatLeniently(format, {std::string()}), "Browse for Folder");
}

bool TOpenFolderDialog::Execute() {
  ComScope com;
  for (;;) {
    error_ = nullptr;
    const bool chosen = Browse();
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    if (!restart_) return chosen;
    // A folder was created: open again on it.
    Directory = currentPath_;
  }
}

bool TOpenFolderDialog::Browse() {
  restart_ = selecting_ = pushing_ = false;
  window_ = tree_ = ok_ = cancel_ = nullptr;
  rects_ = {};
  createButton_ = {};
  pathEdit_ = {};
  currentPath_.clear();
  const std::string title = TOFDResourceStrings::BrowserTitle();
  char display[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.hwndOwner = GetActiveWindow();
  info.pszDisplayName = display;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(this);
  LPITEMIDLIST item = SHBrowseForFolderA(&info);
  window_ = nullptr;
  createButton_.Handle = nullptr;
  pathEdit_.Handle = nullptr;
  if (!item) return false;
  std::string path = currentPath_;
  if (!ShowPathEdit) {
    char buffer[MAX_PATH] = {};
    path = SHGetPathFromIDListA(item, buffer) ? buffer : "";
  }
  CoTaskMemFree(item);
  if (error_ || restart_) return false;
  // The shell's root has no path: that is no choice of a folder.
  if (path.empty()) return false;
  if (ShowPathEdit && !CreateFolders(path)) CannotCreate(path);
  Directory = path;
  return true;
}

void TOpenFolderDialog::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    if (!error_) error_ = std::current_exception();
    if (window_) PostMessageA(window_, WM_COMMAND, IDCANCEL, 0);
  }
}

void TOpenFolderDialog::Initialized(HWND window) {
  window_ = window;
  struct Found {
    HWND tree = nullptr;
    std::vector<HWND> buttons;
  } found;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) {
        auto* f = reinterpret_cast<Found*>(data);
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        if (!f->tree &&
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, 7, "SYSTREE", 7) == CSTR_EQUAL)
          f->tree = child;
        else if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, 6, "BUTTON", 6) == CSTR_EQUAL)
          f->buttons.push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  tree_ = found.tree;
  ok_ = found.buttons.size() > 0 ? found.buttons[0] : nullptr;
  cancel_ = found.buttons.size() > 1 ? found.buttons[1] : nullptr;
  // The added controls are children of the browser: measure in its client area.
  auto measure = [window](HWND control) -> std::optional<TBrowserRect> {
    if (!control) return std::nullopt;
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return TBrowserRect{r.left, r.top, r.right, r.bottom};
  };
  rects_.Tree = measure(tree_);
  rects_.Ok = measure(ok_);
  rects_.Cancel = measure(cancel_);
  const auto font = reinterpret_cast<WPARAM>(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  SetPropA(window, kDialogProperty, this);
  browserProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BrowserProc)));
  if (ShowCreateButton) {
    const TBrowserRect r = CreateButtonPlace(rects_);
    createButton_ = {this, CreateWindowExA(0, "BUTTON", TOFDResourceStrings::CreateButtonCaption().c_str(),
                                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, r.Left, r.Top,
                                           r.Width(), r.Height(), window,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCreateButtonId)),
                                           instance, nullptr)};
    SendMessageA(createButton_.Handle, WM_SETFONT, font, FALSE);
  }
  if (ShowPathEdit) {
    const TPathEditPlace place = PathEditPlace(rects_);
    if (place.Tree && tree_)
      MoveWindow(tree_, place.Tree->Left, place.Tree->Top, place.Tree->Width(), place.Tree->Height(), FALSE);
    const TBrowserRect& r = place.Edit;
    pathEdit_ = {this, CreateWindowExA(
                           WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                           r.Left, r.Top, r.Width(), kPathEditHeight, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPathEditId)), instance, nullptr)};
    SendMessageA(pathEdit_.Handle, WM_SETFONT, font, FALSE);
    SetPropA(pathEdit_.Handle, kDialogProperty, this);
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(pathEdit_.Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PathEditProc)));
  }
  if (tree_) SetWindowLongPtrA(tree_, GWL_STYLE, GetWindowLongPtrA(tree_, GWL_STYLE) | TVS_SHOWSELALWAYS);
  SelectPath(Directory);
}

void TOpenFolderDialog::SelectPath(const std::string& path) {
  if (!window_) return;
  selecting_ = true;
  // Wine's browser sometimes misses a folder on the first request and finds
  // it on the next.
  if (const auto folder = BrowserSelection(path, FolderExists))
    for (int attempt = 0; attempt < 3 && !SamePath(currentPath_, *folder); ++attempt)
      SendMessageA(window_, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder->c_str()));
  selecting_ = false;
}

void TOpenFolderDialog::SelectionChanged(LPCITEMIDLIST item) {
  char buffer[MAX_PATH] = {};
  currentPath_ = item && SHGetPathFromIDListA(item, buffer) ? buffer : "";
  if (pathEdit_.Handle && !pushing_) SetWindowTextA(pathEdit_.Handle, currentPath_.c_str());
  if (ok_ && createButton_.Handle) ShowWindow(createButton_.Handle, IsWindowEnabled(ok_) ? SW_SHOW : SW_HIDE);
}

void TOpenFolderDialog::PathTyped() {
  if (selecting_ || !pathEdit_.Handle) return;
  pushing_ = true;
  const std::string typed = WindowText(pathEdit_.Handle);
  // An empty selection would select the shell's root.
  if (!typed.empty())
    SendMessageA(window_, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(typed.c_str()));
  currentPath_ = typed;
  pushing_ = false;
}

bool TOpenFolderDialog::OkPressed() {
  // The create button's own click on OK carries the folder it made.
  if (restart_ || !pathEdit_.Handle) return true;
  const std::string shown = WindowText(pathEdit_.Handle);
  if (RefusedAsNotFull(shown)) return false;
  currentPath_ = shown;
  return true;
}

void TOpenFolderDialog::CreateClicked() {
  bool allow = true;
  if (OnCreateFolder) OnCreateFolder(&createButton_, allow);
  if (!allow) return;
  // What the edit shows now, however it got there (typed, pasted, set).
  if (pathEdit_.Handle) {
    const std::string shown = WindowText(pathEdit_.Handle);
    if (RefusedAsNotFull(shown)) return;
    currentPath_ = shown;
  }
  if (!pathEdit_.Handle || FolderExists(currentPath_)) {
    // The shell's root has no path to create a folder in.
    if (currentPath_.empty()) return;
    std::string name;
    if (!fw::InputQuery(TOFDResourceStrings::CreateButtonCaption(), TOFDResourceStrings::NewFolderPrompt(),
                        name))
      return;
    if (!ValidNewFolderName(name)) {
      fw::MessageDlg(Translated("A folder name cannot contain any of the characters \\ / : * ? \" < > |"),
                     fw::TMsgDlgType::mtError, fw::mbOK);
      return;
    }
    currentPath_ = AddBackslash(currentPath_) + name;
  }
  if (currentPath_.empty()) return;
  if (!CreateFolders(currentPath_)) CannotCreate(currentPath_);
  // A disabled OK takes no click: the browser stays open as it is, and a
  // later Cancel is a cancel.
  if (ok_ && !IsWindowEnabled(ok_)) return;
  restart_ = true;
  if (ok_)
    PostMessageA(ok_, BM_CLICK, 0, 0);
  else
    PostMessageA(window_, WM_COMMAND, IDOK, 0);
}

}  // namespace setup
