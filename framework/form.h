// Forms: top-level windows built in code. A form's constructor describes it
// inside a FormLoading bracket (see docs/forms.md); OnCreate runs when the
// description is complete.
#pragma once

#include <windows.h>

#include <deque>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "framework/controls.h"

namespace fw {

class TMainMenu;
class TMenu;
class TButton;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO;

enum class TPosition { poDesigned, poDefault, poScreenCenter };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormStyle { fsNormal, fsStayOnTop };
using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  void SetClientWidth(int width);
  void SetClientHeight(int height);
  int ClientWidth() const override;
  int ClientHeight() const override;
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  unsigned BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(unsigned icons);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  // The state the form is shown in, and while shown the state it is in.
  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);
  // A stay-on-top form stays over every window that is not one.
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style);
  // With key preview on, the form's OnKeyDown and OnKeyUp see the keys of its
  // controls before they do; a key the form sets to 0 goes no further.
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }

  TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate;
  TCloseEvent OnClose;

  void Show() { SetVisible(true); }
  void SetVisible(bool visible) override;
  // Shows the form and handles messages until ModalResult is set. Windows the
  // form disables for that time are exactly the ones it enables again.
  TModalResult ShowModal();
  bool Modal() const { return modal_; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result) { modalResult_ = result; }
  // Ends the modal loop with an exception, raised by ShowModal once the loop
  // has unwound and the other windows are enabled again.
  void AbortModal(std::exception_ptr error);
  void Close();
  // Frees the form once the message being handled now has returned.
  void Release();
  void BringToFront();
  bool Active() const;
  // Runs `call` once the message being handled now has returned (posted to
  // the form's window); what it throws goes to the application's
  // HandleException. Calls still waiting when the form goes are dropped.
  void PostCall(std::function<void()> call);

  // The focused control of this form (if any) and moving through tab stops.
  TWinControl* ActiveControl() const;
  void SelectNext(bool forward);
  // Form-wide keys: menu shortcuts (of every menu the form owns, shown or
  // not), Enter for the default button, Esc for the cancel button, Tab, and
  // Alt with a caption's underlined letter.
  // Returns true when the key was used.
  bool PreprocessKey(const MSG& message);

  // Hints of the form's controls as tooltips.
  void UpdateHint(TControl* control);

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  // The ShowModal loop asks this when ModalResult is set: OnClose may refuse.
  bool CloseQuery(TCloseAction& action);

 private:
  void ApplyPosition();
  DWORD WindowStyle() const;
  DWORD WindowExStyle() const;
  TButton* FindButton(bool wantDefault) const;
  // Alt with a caption's mnemonic: clicks the button, or focuses the
  // label's control.
  bool DispatchMnemonic(char key);
  void CollectTabStops(TWinControl* parent, std::vector<TWinControl*>& stops) const;

  TPosition position_ = TPosition::poDesigned;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  unsigned borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TWindowState windowState_ = TWindowState::wsNormal;
  TFormStyle formStyle_ = TFormStyle::fsNormal;
  bool keyPreview_ = false;
  TMainMenu* menu_ = nullptr;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool positioned_ = false;
  bool shownOnce_ = false;
  std::exception_ptr modalError_;
  HWND tooltip_ = nullptr;
  std::deque<std::function<void()>> postedCalls_;
  HWND lastFocus_ = nullptr;
  int clientWidth_ = -1, clientHeight_ = -1;
};

}  // namespace fw
