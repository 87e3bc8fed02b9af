#include "report/printing/print_dialog_win.h"

#include <commdlg.h>

#include <cstring>
#include <vector>

#include "framework/application.h"

namespace report {

namespace {

// The dialog being opened: the hook procedure hands its window to it. One
// dialog opens at a time, on the GUI thread.
TQRCommonDialog* opening = nullptr;

const char kDialogProperty[] = "TQRCommonDialog";
const char kOwnerClass[] = "TQRCommonDialogOwner";

UINT HelpMessage() {
  static const UINT message = RegisterWindowMessageA("commdlg_help");
  return message;
}

HGLOBAL GlobalCopy(const void* data, SIZE_T size) {
  HGLOBAL block = GlobalAlloc(GHND, size);
  if (!block) return nullptr;
  void* to = GlobalLock(block);
  if (!to) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(to, data, size);
  GlobalUnlock(block);
  return block;
}

struct WindowsOfThread {
  std::vector<HWND> disabled;
};

BOOL CALLBACK DisableWindow(HWND window, LPARAM data) {
  auto* windows = reinterpret_cast<WindowsOfThread*>(data);
  if (IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    windows->disabled.push_back(window);
  }
  return TRUE;
}

}  // namespace

TQRCommonDialog::TQRCommonDialog(fw::TComponent* owner) : fw::TComponent(owner) { HelpMessage(); }

TQRCommonDialog::~TQRCommonDialog() {
  if (opening == this) opening = nullptr;
}

LRESULT TQRCommonDialog::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window_ || !previous_) return 0;
  return CallWindowProcA(previous_, window_, message, wParam, lParam);
}

LRESULT TQRCommonDialog::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      if (OnShow) OnShow(this);
      return 0;
    case WM_DESTROY: {
      const LRESULT result = DefaultHandler(message, wParam, lParam);
      if (OnClose) OnClose(this);
      return result;
    }
    case WM_NCDESTROY: {
      const LRESULT result = DefaultHandler(message, wParam, lParam);
      RemovePropA(window_, kDialogProperty);
      window_ = nullptr;
      previous_ = nullptr;
      return result;
    }
    default:
      return DefaultHandler(message, wParam, lParam);
  }
}

bool TQRCommonDialog::MessageHook(UINT message, WPARAM, LPARAM, LRESULT& result) {
  if (message != HelpMessage() || HelpContext == 0) return false;
  fw::Application()->HelpContext(HelpContext);
  result = 1;
  return true;
}

LRESULT CALLBACK TQRCommonDialog::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = static_cast<TQRCommonDialog*>(GetPropA(window, kDialogProperty));
  if (!dialog) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  fw::Guarded(dialog, [&] { result = dialog->WndProc(message, wParam, lParam); });
  return result;
}

LRESULT CALLBACK TQRCommonDialog::OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<TQRCommonDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (dialog) {
    LRESULT result = 0;
    bool handled = false;
    fw::Guarded(dialog, [&] { handled = dialog->MessageHook(message, wParam, lParam, result); });
    if (handled) return result;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

UINT_PTR CALLBACK TQRCommonDialog::HookProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG || !opening) return 0;
  RECT rect{};
  GetWindowRect(window, &rect);
  const QRDevicePoint origin = DialogOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                            rect.right - rect.left, rect.bottom - rect.top);
  SetWindowPos(window, nullptr, origin.X, origin.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  TQRCommonDialog* dialog = opening;
  opening = nullptr;
  dialog->window_ = window;
  SetPropA(window, kDialogProperty, dialog);
  dialog->previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DialogProcedure)));
  DialogProcedure(window, message, wParam, lParam);
  return 0;
}

BOOL TQRCommonDialog::TaskModalDialog(BOOL(WINAPI* dialog)(void* record, HWND owner), void* record) {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = OwnerProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kOwnerClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
  HWND active = GetActiveWindow();
  WindowsOfThread windows;
  EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&windows));
  // A hidden owner of our own, under the application's window, hears the
  // dialog's help requests.
  owner_ = CreateWindowExA(0, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, fw::Application()->Handle(), nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  if (owner_) SetWindowLongPtrA(owner_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  opening = this;
  BOOL result = FALSE;
  try {
    result = dialog(record, owner_);
  } catch (...) {
    opening = nullptr;
    if (owner_) DestroyWindow(owner_);
    owner_ = nullptr;
    for (HWND window : windows.disabled) EnableWindow(window, TRUE);
    if (active) SetActiveWindow(active);
    throw;
  }
  opening = nullptr;
  if (owner_) DestroyWindow(owner_);
  owner_ = nullptr;
  for (HWND window : windows.disabled) EnableWindow(window, TRUE);
  if (active) SetActiveWindow(active);
  return result;
}

// --- TQRPrintDialog

namespace {
SystemPrintDialogFunction systemPrintDialog = PrintDlgA;
}

void SetSystemPrintDialog(SystemPrintDialogFunction dialog) {
  systemPrintDialog = dialog ? dialog : PrintDlgA;
}

TQRPrintDialog::TQRPrintDialog(fw::TComponent* owner) : TQRCommonDialog(owner), Printer(&fw::Printer()) {}

void TQRPrintDialog::SetCopies(std::int32_t value) {
  copies_ = value;
  if (Printer) Printer->SetCopies(value);
}

bool TQRPrintDialog::Execute() {
  PRINTDLGA record{};
  record.lStructSize = sizeof record;
  record.hInstance = GetModuleHandleA(nullptr);
  if (Printer && !Printer->Printers().empty()) {
    std::string device, driver, port;
    HGLOBAL mode = nullptr;
    Printer->GetPrinter(device, driver, port, mode);
    if (mode) {
      const auto names = DevNamesBlock({device, driver, port});
      record.hDevNames = GlobalCopy(names.data(), names.size());
      const void* modeBytes = GlobalLock(mode);
      if (modeBytes) {
        record.hDevMode = GlobalCopy(modeBytes, GlobalSize(mode));
        GlobalUnlock(mode);
      }
    }
  }
  record.Flags = PrintDialogFlags(PrintRange, Collate, Options, PrintToFile);
  record.nFromPage = DialogPageNumber(FromPage);
  record.nToPage = DialogPageNumber(ToPage);
  record.nMinPage = DialogPageNumber(MinPage);
  record.nMaxPage = DialogPageNumber(MaxPage);
  record.lpfnPrintHook = HookProcedure;
  record.lpfnSetupHook = HookProcedure;

  const auto freeBlocks = [&] {
    if (record.hDevMode) GlobalFree(record.hDevMode);
    if (record.hDevNames) GlobalFree(record.hDevNames);
    record.hDevMode = record.hDevNames = nullptr;
  };
  BOOL confirmed = FALSE;
  try {
    confirmed = TaskModalDialog(
        [](void* data, HWND owner) -> BOOL {
          auto* dialogRecord = static_cast<PRINTDLGA*>(data);
          dialogRecord->hwndOwner = owner;
          return systemPrintDialog(dialogRecord);
        },
        &record);
    if (confirmed && Printer && record.hDevNames) {
      const auto* names = static_cast<const std::uint8_t*>(GlobalLock(record.hDevNames));
      const auto chosen = names ? ReadDevNames({names, GlobalSize(record.hDevNames)}) : std::nullopt;
      if (names) GlobalUnlock(record.hDevNames);
      if (chosen) Printer->SetPrinter(chosen->Device, chosen->Driver, chosen->Port, record.hDevMode);
    }
  } catch (...) {
    freeBlocks();
    throw;
  }
  // The printer keeps copies of its own; both blocks are ours to free.
  freeBlocks();
  if (!confirmed) return false;
  const PrintDialogChoice choice = ReadPrintDialogAnswer(
      {record.Flags, record.nFromPage, record.nToPage, record.nCopies}, Printer ? Printer->Copies() : 1);
  Collate = choice.Collate;
  PrintToFile = choice.PrintToFile;
  PrintRange = choice.PrintRange;
  FromPage = choice.FromPage;
  ToPage = choice.ToPage;
  copies_ = choice.Copies;
  return true;
}

}  // namespace report
