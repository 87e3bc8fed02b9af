// The application object: title, help file, the message loop and the one
// place where exceptions that reach a window procedure, a timer or a hook end.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "framework/component.h"
#include "framework/controls.h"

namespace fw {

class TForm;
class UtilityWindow;

// The replaceable exception hook: gets every exception HandleException sees.
using TExceptionEvent = std::function<void(TComponent* sender, const std::exception& error)>;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  std::string Title;
  std::string HelpFile;
  // Opens the help file at a context through WinHelpA; false when there is no
  // help file or the call fails.
  bool HelpContext(int context);

  // Creates a form owned by the application; the first one becomes the main
  // form, already while its constructor runs (its window may be made there).
  template <class Form, class... Args>
  Form* CreateForm(Args&&... args) {
    claimMainForm_ = mainForm_ == nullptr;
    Form* form;
    try {
      form = new Form(this, std::forward<Args>(args)...);
    } catch (...) {
      claimMainForm_ = false;
      throw;
    }
    claimMainForm_ = false;
    if (!mainForm_) mainForm_ = form;
    return form;
  }
  // Called by every form's constructor.
  void FormCreated(TForm* form) {
    if (claimMainForm_ && !mainForm_) mainForm_ = form;
    claimMainForm_ = false;
  }
  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form) { mainForm_ = form; }

  // Shows the main form and handles messages until it closes or Terminate;
  // returns at once when Terminate came first.
  void Run();
  // Handles every waiting message, then returns.
  void ProcessMessages();
  // Handles one message, waiting for one when none is there.
  void HandleMessage();
  // Ends the main loop once the message being handled returns, and every
  // modal loop it runs under; valid before Run too.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // A new loop after the last one ended (tests run many loops in one
  // process): the flag cleared and a quit message still waiting dropped.
  void ResetTerminated();

  // Handles the exception being handled now (call it in a catch block): the
  // hook when one is set, else ShowException. EAbort is quiet. Never throws.
  // From another thread the message is shown by the GUI thread.
  void HandleException(TComponent* sender);
  void ShowException(const std::exception& error);
  TExceptionEvent OnException;

  DWORD MainThreadId() const { return mainThreadId_; }
  // The hidden window of the application (owner of forms without one).
  HWND Handle();

  // Called by forms: a form that is going away.
  void FormDestroyed(TForm* form);
  // Frees a form after the message being handled returns.
  void ReleaseForm(TForm* form);

 private:
  bool ProcessMessage(MSG& message);
  bool PreprocessMessage(MSG& message);
  bool HandleUtilityMessage(TMessage& message);

  TForm* mainForm_ = nullptr;
  bool claimMainForm_ = false;
  bool terminated_ = false;
  DWORD mainThreadId_;
  UtilityWindow* window_ = nullptr;
};

TApplication* Application();

// Screen-wide settings: the cursor shown over every window of the program
// (crHourGlass while busy; crDefault gives each control its own again).
class TScreen {
 public:
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);

 private:
  TCursor cursor_ = crDefault;
};

TScreen* Screen();

// Runs a callback body so that no exception leaves it: what is thrown goes to
// the application's HandleException. For timer, hook and thread callbacks.
template <class Body>
void Guarded(TComponent* sender, Body&& body) noexcept {
  try {
    body();
  } catch (...) {
    Application()->HandleException(sender);
  }
}

}  // namespace fw
