#include "framework/application.h"

#include <algorithm>
#include <set>

#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/form.h"
#include "framework/utility_window.h"

namespace fw {

namespace {

// Messages of the application's hidden window.
constexpr UINT kReleaseForm = WM_APP + 0x100;
constexpr UINT kShowException = WM_APP + 0x101;

std::set<TForm*>& PendingReleases() {
  static std::set<TForm*> forms;
  return forms;
}

std::string ModuleTitle() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  if (auto slash = name.find_last_of("\\/"); slash != std::string::npos) name.erase(0, slash + 1);
  if (auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
  return name;
}

}  // namespace

TApplication::TApplication()
    : TComponent(nullptr), Title(ModuleTitle()), mainThreadId_(GetCurrentThreadId()) {}

TApplication::~TApplication() {
  DestroyComponents();
  delete window_;
}

TApplication* Application() {
  static TApplication* application = new TApplication();  // lives as long as the process
  return application;
}

HWND TApplication::Handle() {
  if (!window_)
    window_ = new UtilityWindow([this](TMessage& message) { return HandleUtilityMessage(message); });
  return window_->Handle();
}

bool TApplication::HandleUtilityMessage(TMessage& message) {
  switch (message.Msg) {
    case kReleaseForm: {
      auto* form = reinterpret_cast<TForm*>(message.LParam);
      if (PendingReleases().erase(form)) delete form;
      return true;
    }
    case kShowException: {
      std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(message.LParam));
      ShowException(Exception(*text));
      return true;
    }
    case WM_QUERYENDSESSION:
      message.Result = TRUE;
      return true;
    default:
      return false;
  }
}

bool TApplication::HelpContext(int context) {
  if (HelpFile.empty()) return false;
  HWND owner = mainForm_ && mainForm_->HandleAllocated() ? mainForm_->Handle() : Handle();
  return WinHelpA(owner, HelpFile.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(context)) != FALSE;
}

void TApplication::Run() {
  // A Terminate while the forms were created (a program that only does its
  // work from the command line) ends the run before anything is shown.
  if (terminated_) return;
  if (mainForm_) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

bool TApplication::PreprocessMessage(MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  TControl* control = TControl::FromHandle(message.hwnd);
  if (!control) return false;
  TForm* form = control->ParentForm();
  // A form disabled by a modal one takes no keys.
  return form && form->HandleAllocated() && IsWindowEnabled(form->Handle()) && form->PreprocessKey(message);
}

bool TApplication::ProcessMessage(MSG& message) {
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  try {
    if (!PreprocessMessage(message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  } catch (...) {
    HandleException(TControl::FromHandle(message.hwnd));
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG message;
  while (ProcessMessage(message)) {
  }
}

void TApplication::HandleMessage() {
  MSG message;
  if (!ProcessMessage(message)) WaitMessage();
}

void TApplication::ResetTerminated() {
  terminated_ = false;
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::ShowException(const std::exception& error) {
  std::string text = error.what();
  if (!text.empty() && text.back() != '.' && text.back() != '!' && text.back() != '?') text += '.';
  MessageDlg(text, TMsgDlgType::mtError, mbOK);
}

void TApplication::HandleException(TComponent* sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;  // called outside a handler: nothing to show
  try {
    std::rethrow_exception(current);
  } catch (const EAbort&) {
    // Quiet by design.
  } catch (const std::exception& error) {
    try {
      if (GetCurrentThreadId() != mainThreadId_) {
        // Boxes belong to the GUI thread.
        PostMessageA(Handle(), kShowException, 0, reinterpret_cast<LPARAM>(new std::string(error.what())));
      } else if (OnException) {
        OnException(sender, error);
      } else {
        ShowException(error);
      }
    } catch (...) {
      // The handler itself failed: there is nobody left to tell.
    }
  } catch (...) {
    try {
      Exception unknown("An unexpected error occurred");
      if (OnException)
        OnException(sender, unknown);
      else
        ShowException(unknown);
    } catch (...) {
    }
  }
}

void TApplication::FormDestroyed(TForm* form) {
  PendingReleases().erase(form);
  if (mainForm_ == form) mainForm_ = nullptr;
}

void TApplication::ReleaseForm(TForm* form) {
  PendingReleases().insert(form);
  PostMessageA(Handle(), kReleaseForm, 0, reinterpret_cast<LPARAM>(form));
}

// --- TScreen

void TScreen::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  ::SetCursor(CursorHandle(cursor == crDefault ? crArrow : cursor));
}

TScreen* Screen() {
  static TScreen screen;
  return &screen;
}

}  // namespace fw
