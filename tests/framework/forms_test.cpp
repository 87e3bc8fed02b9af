// Forms, controls and the message loop on real windows (Wine on Xvfb).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/extctrls.h"
#include "framework/form.h"
#include "framework/menus.h"
#include "framework/stdctrls.h"
#include "framework/timer.h"
#include "tests/framework/gui_support.h"

namespace {

using namespace fw;
using fwtest::BoxAnswerer;
using fwtest::PostKey;
using fwtest::PumpFor;

// A plain form placed away from where other tests of the same display look
// (the screenshots of the smoke test and of the sample form).
class TestForm : public TForm {
 public:
  TestForm() : TForm(nullptr) { SetBounds(900, 300, 320, 240); }
};

// A label that writes what happens to it into a journal.
class JournalLabel : public TLabel {
 public:
  JournalLabel(TComponent* owner, std::vector<std::string>& journal) : TLabel(owner), journal_(journal) {}
  void SetFocusControl(TComponent* control) { focusControl_ = control; }
  void SetText(const std::string& text) override {
    TLabel::SetText(text);
    journal_.push_back("caption " + Name() + (Loading() ? " (loading)" : ""));
  }
  void Loaded() override {
    TLabel::Loaded();
    journal_.push_back("loaded " + Name() + " caption=" + Caption() +
                       " focus=" + (focusControl_ ? focusControl_->Name() : std::string("none")) +
                       " parent=" + (Parent() ? Parent()->Name() : std::string("none")));
  }

 private:
  std::vector<std::string>& journal_;
  TComponent* focusControl_ = nullptr;
};

// A form described the way the programs' forms are.
class DescribedForm : public TForm {
 public:
  DescribedForm(TComponent* owner, std::vector<std::string>& journal) : TForm(owner) {
    FormLoading loading(*this);
    SetName("DescribedForm");
    SetCaption("Described");
    SetClientWidth(300);
    SetClientHeight(120);
    SetBounds(900, 300, Width(), Height());
    OnCreate = [&journal](TComponent*) { journal.push_back("OnCreate"); };

    lblFirst = new JournalLabel(this, journal);
    lblFirst->SetName("lblFirst");
    lblFirst->SetParent(this);
    lblFirst->SetCaption("&Name");
    // The edit the label points at is created after it.
    loading.Refer("edtName", [this](TComponent* c) { lblFirst->SetFocusControl(c); });

    edtName = new TEdit(this);
    edtName->SetName("edtName");
    edtName->SetParent(this);
    edtName->SetBounds(8, 24, 150, 21);

    lblSecond = new JournalLabel(this, journal);
    lblSecond->SetName("lblSecond");
    lblSecond->SetParent(this);
    lblSecond->SetCaption("Second");
    loading.End();
  }
  JournalLabel* lblFirst;
  TEdit* edtName;
  JournalLabel* lblSecond;
};

TEST(FormDescription, LoadedRunsInCreationOrderAfterPropertiesAndReferences) {
  std::vector<std::string> journal;
  DescribedForm form(nullptr, journal);
  EXPECT_EQ(journal, (std::vector<std::string>{
                         "caption lblFirst (loading)", "caption lblSecond (loading)",
                         "loaded lblFirst caption=&Name focus=edtName parent=DescribedForm",
                         "loaded lblSecond caption=Second focus=none parent=DescribedForm", "OnCreate"}));
  EXPECT_FALSE(form.Loading());
  form.lblFirst->SetCaption("After");
  EXPECT_EQ(journal.back(), "caption lblFirst");
}

TEST(FormDescription, ClientSizeAndCentringApplyWhenShown) {
  std::vector<std::string> journal;
  DescribedForm form(nullptr, journal);
  form.SetPosition(TPosition::poScreenCenter);
  form.Show();
  PumpFor(50);
  RECT client;
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 120);
  RECT window;
  GetWindowRect(form.Handle(), &window);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_NEAR((window.left + window.right) / 2, screenWidth / 2, 2);
}

TEST(Form, ShowRunsOnShowBeforeTheWindowAppearsThenActivatesIt) {
  TestForm form;
  std::vector<std::string> events;
  form.OnShow = [&](TComponent*) {
    events.push_back(std::string("show, window visible: ") + (IsWindowVisible(form.Handle()) ? "yes" : "no"));
  };
  form.OnActivate = [&](TComponent*) { events.push_back("activate"); };
  form.Show();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[0], "show, window visible: no");
  EXPECT_EQ(events[1], "activate");
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
}

TEST(Form, WindowStateMaximisedShowsTheFormMaximisedAndIsKeptForTheNextShowing) {
  TestForm form;
  form.SetWindowState(TWindowState::wsMaximized);
  EXPECT_EQ(form.WindowState(), TWindowState::wsMaximized);
  form.Show();
  PumpFor(50);
  EXPECT_TRUE(IsZoomed(form.Handle()));
  EXPECT_EQ(form.WindowState(), TWindowState::wsMaximized);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_GE(form.Width(), work.right - work.left);
  // The user's restore is what the form remembers when hidden.
  form.SetWindowState(TWindowState::wsNormal);
  EXPECT_FALSE(IsZoomed(form.Handle()));
  EXPECT_EQ(form.Width(), 320);
  form.Hide();
  form.Show();
  EXPECT_FALSE(IsZoomed(form.Handle()));
  form.SetWindowState(TWindowState::wsMaximized);
  EXPECT_TRUE(IsZoomed(form.Handle()));
}

TEST(Form, StayOnTopFormsAreTopmostBeforeAndAfterTheyAreShown) {
  const auto topmost = [](TForm& form) {
    return (GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  };
  TestForm early;
  early.SetFormStyle(TFormStyle::fsStayOnTop);
  early.Show();
  EXPECT_TRUE(topmost(early));
  TestForm late;
  late.Show();
  EXPECT_FALSE(topmost(late));
  EXPECT_EQ(late.FormStyle(), TFormStyle::fsNormal);
  late.SetFormStyle(TFormStyle::fsStayOnTop);
  EXPECT_TRUE(topmost(late));
  // (Wine keeps a window topmost once it was, whatever HWND_NOTOPMOST asks.)
}

TEST(Form, KeyPreviewGivesTheFormsOnKeyDownTheKeysOfItsControlsFirst) {
  TestForm form;
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  std::vector<std::string> seen;
  form.OnKeyDown = [&](TComponent* sender, WORD& key, unsigned shift) {
    EXPECT_EQ(sender, &form);
    seen.push_back("form " + std::to_string(key) + " " + std::to_string(shift));
    if (key == VK_F2) key = 0;  // used up here
  };
  edit->OnKeyDown = [&](TComponent*, WORD& key, unsigned shift) {
    seen.push_back("edit " + std::to_string(key) + " " + std::to_string(shift));
  };
  form.Show();
  edit->SetFocus();
  const struct {
    bool preview;
    WORD key;
    bool ctrl, shift;
    std::vector<std::string> seen;
  } cases[] = {
      {false, VK_NEXT, true, false, {"edit 34 4"}},
      {true, VK_NEXT, true, false, {"form 34 4", "edit 34 4"}},
      {true, VK_HOME, false, false, {"form 36 0", "edit 36 0"}},
      {true, VK_PRIOR, true, true, {"form 33 5", "edit 33 5"}},
      {true, VK_F2, false, false, {"form 113 0"}},
  };
  for (const auto& c : cases) {
    form.SetKeyPreview(c.preview);
    seen.clear();
    PostKey(edit->Handle(), c.key, c.ctrl, c.shift);
    PumpFor(30);
    fwtest::ReleaseModifiers();
    EXPECT_EQ(seen, c.seen) << c.key;
  }
}

TEST(Components, FreeingAControlTakesItOutOfItsParentAndNotifiesTheForm) {
  TestForm form;
  auto* menu = new TMainMenu(&form);
  auto* item = new TMenuItem(&form);
  item->SetCaption("&File");
  menu->Items().Add(item);
  form.SetMenu(menu);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  auto* button = new TButton(&form);
  button->SetParent(panel);
  form.Show();
  PumpFor(30);
  ASSERT_NE(GetMenu(form.Handle()), nullptr);
  delete menu;
  EXPECT_EQ(form.Menu(), nullptr);
  EXPECT_EQ(GetMenu(form.Handle()), nullptr);
  delete button;
  EXPECT_EQ(panel->ControlCount(), 0);
  delete panel;
  EXPECT_EQ(form.ControlCount(), 0);
  EXPECT_EQ(form.ComponentCount(), 1);  // the menu item is left
}

// A modal dialog with OK (default) and Cancel (cancel) and an edit.
class OkCancelForm : public TForm {
 public:
  explicit OkCancelForm(TComponent* owner) : TForm(owner) {
    FormLoading loading(*this);
    SetCaption("Question");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(240);
    SetClientHeight(90);
    edit = new TEdit(this);
    edit->SetParent(this);
    edit->SetBounds(8, 8, 220, 21);
    ok = new TButton(this);
    ok->SetParent(this);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    ok->SetBounds(70, 50, 75, 25);
    cancel = new TButton(this);
    cancel->SetParent(this);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    cancel->SetBounds(155, 50, 75, 25);
    // A test that goes wrong ends with mrAbort instead of hanging.
    auto* guard = new TTimer(this);
    guard->SetInterval(3000);
    guard->OnTimer = [this](TComponent*) { SetModalResult(mrAbort); };
    loading.End();
  }
  TEdit* edit;
  TButton* ok;
  TButton* cancel;
};

TEST(ModalForm, EnterPressesTheDefaultButton) {
  OkCancelForm dialog(nullptr);
  dialog.OnShow = [&](TComponent*) { PostKey(dialog.edit->Handle(), VK_RETURN); };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(dialog.Visible());
}

TEST(ModalForm, EscPressesTheCancelButton) {
  OkCancelForm dialog(nullptr);
  bool cancelClicked = false;
  dialog.cancel->OnClick = [&](TComponent*) { cancelClicked = true; };
  dialog.OnShow = [&](TComponent*) { PostKey(dialog.edit->Handle(), VK_ESCAPE); };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_TRUE(cancelClicked);
}

TEST(ModalForm, EnterOnAFocusedButtonPressesThatButton) {
  OkCancelForm dialog(nullptr);
  dialog.OnShow = [&](TComponent*) {
    dialog.cancel->SetFocus();
    PostKey(dialog.cancel->Handle(), VK_RETURN);
  };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

// Alt held in the thread's key state, as while the user holds it down.
class AltHeld {
 public:
  AltHeld() { Set(0x80); }
  ~AltHeld() { Set(0); }

 private:
  static void Set(BYTE value) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_MENU] = value;
    SetKeyboardState(state);
  }
};

TEST(Form, AltWithACaptionsUnderlinedLetterPressesTheButtonOrFocusesTheLabelsControl) {
  OkCancelForm form(nullptr);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetCaption("&Name");
  label->SetFocusControl(form.edit);
  form.ok->SetCaption("&Go");
  auto* find = new TButton(&form);
  find->SetParent(&form);
  find->SetCaption("&Find && replace");
  find->SetBounds(8, 50, 55, 25);
  int gone = 0, found = 0;
  form.ok->OnClick = [&](TComponent*) { ++gone; };
  find->OnClick = [&](TComponent*) { ++found; };
  form.Show();
  PumpFor(30);
  form.cancel->SetFocus();
  auto altKey = [&](char letter) {
    AltHeld alt;
    MSG message{GetFocus(), WM_SYSKEYDOWN, static_cast<WPARAM>(letter), 1 | (1 << 29), 0, {}};
    return form.PreprocessKey(message);
  };
  EXPECT_TRUE(altKey('N'));
  EXPECT_EQ(GetFocus(), form.edit->Handle());
  EXPECT_TRUE(altKey('G'));
  EXPECT_EQ(gone, 1);
  EXPECT_FALSE(altKey('Q'));  // no caption underlines it
  EXPECT_TRUE(altKey('F'));
  EXPECT_EQ(found, 1);
  // With a menu bar, its letters open the menu and no control takes them.
  auto* menu = new TMainMenu(&form);
  auto* file = new TMenuItem(&form);
  file->SetCaption("&File");
  menu->Items().Add(file);
  form.SetMenu(menu);
  EXPECT_FALSE(altKey('F'));
  EXPECT_EQ(found, 1);
  // A label whose control has gone focuses nothing.
  delete form.edit;
  EXPECT_EQ(label->FocusControl(), nullptr);
  EXPECT_FALSE(altKey('N'));
}

// One round of Tab, Tab, Shift+Tab from the edit; returns the controls entered.
std::vector<std::string> TabRound() {
  OkCancelForm dialog(nullptr);
  std::vector<std::string> visited;
  // Getting the activation back enters the same control again: not a step.
  auto entered = [&](const char* name) {
    if (!visited.empty() && visited.back() == name) return false;
    visited.push_back(name);
    return visited.size() < 3 || (dialog.SetModalResult(mrAbort), false);
  };
  dialog.OnShow = [&](TComponent*) { PostKey(dialog.edit->Handle(), VK_TAB); };
  dialog.ok->OnEnter = [&](TComponent*) {
    if (entered("ok")) PostKey(dialog.ok->Handle(), VK_TAB);
  };
  dialog.cancel->OnEnter = [&](TComponent*) {
    if (entered("cancel")) PostKey(dialog.cancel->Handle(), VK_TAB, false, true);  // Shift+Tab
  };
  dialog.ShowModal();
  fwtest::ReleaseModifiers();
  return visited;
}

TEST(ModalForm, TabMovesThroughTheTabStopsInOrder) {
  // Other test programs share the display and may take the focus while a
  // posted key waits; a round they disturbed is run again.
  const std::vector<std::string> expected{"ok", "cancel", "ok"};
  std::vector<std::string> visited;
  for (int round = 0; round < 3 && visited != expected; ++round) visited = TabRound();
  EXPECT_EQ(visited, expected);
}

TEST(ModalForm, ReenablesExactlyTheWindowsItDisabled) {
  TestForm enabledForm, disabledForm;
  enabledForm.SetCaption("Enabled");
  disabledForm.SetCaption("Disabled");
  enabledForm.Show();
  disabledForm.Show();
  EnableWindow(disabledForm.Handle(), FALSE);
  OkCancelForm dialog(nullptr);
  bool enabledDuringModal = true;
  dialog.OnShow = [&](TComponent*) {
    enabledDuringModal = IsWindowEnabled(enabledForm.Handle()) != FALSE;
    PostKey(dialog.edit->Handle(), VK_RETURN);
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(enabledDuringModal);
  EXPECT_TRUE(IsWindowEnabled(enabledForm.Handle()));
  EXPECT_FALSE(IsWindowEnabled(disabledForm.Handle()));
}

TEST(ModalForm, AModelessFormOwnedByTheModalOneStaysUsableAndDiesWithIt) {
  TestForm background;
  background.Show();
  auto* dialog = new OkCancelForm(nullptr);
  bool childEnabled = false;
  HWND childWindow = nullptr;
  dialog->OnShow = [&](TComponent*) {
    auto* child = new TForm(dialog);  // owned by the modal form
    child->SetCaption("Owned");
    child->SetBounds(900, 300, 200, 100);
    child->Show();
    childWindow = child->Handle();
    childEnabled = IsWindowEnabled(childWindow) != FALSE;
    PostKey(dialog->edit->Handle(), VK_RETURN);
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_TRUE(childEnabled);
  EXPECT_EQ(GetWindow(childWindow, GW_OWNER), dialog->Handle());
  delete dialog;
  EXPECT_FALSE(IsWindow(childWindow));
}

TEST(ModalForm, OnCloseCanRefuseAndTheLoopGoesOn) {
  OkCancelForm dialog(nullptr);
  int closeAsked = 0;
  dialog.OnClose = [&](TComponent*, TCloseAction& action) {
    if (++closeAsked == 1) action = TCloseAction::caNone;
  };
  dialog.OnShow = [&](TComponent*) {
    PostKey(dialog.edit->Handle(), VK_ESCAPE);
    PostKey(dialog.edit->Handle(), VK_RETURN);
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(closeAsked, 2);
}

TEST(ModalForm, AnExceptionThatEndsTheLoopIsRaisedAfterItHasUnwound) {
  TestForm background;
  background.Show();
  OkCancelForm dialog(nullptr);
  dialog.ok->OnClick = [&](TComponent*) {
    try {
      throw EInOutError(5);
    } catch (...) {
      dialog.AbortModal(std::current_exception());
    }
  };
  dialog.OnShow = [&](TComponent*) { PostKey(dialog.edit->Handle(), VK_RETURN); };
  try {
    dialog.ShowModal();
    FAIL() << "ShowModal returned";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.ErrorCode, 5);
  }
  EXPECT_FALSE(dialog.Modal());
  EXPECT_TRUE(IsWindowEnabled(background.Handle()));
}

TEST(Form, CloseActionsHideRefuseOrFreeLater) {
  struct Case {
    TCloseAction action;
    bool visibleAfter;
    bool freed;
  };
  for (const Case& c : {Case{TCloseAction::caHide, false, false}, Case{TCloseAction::caNone, true, false},
                        Case{TCloseAction::caFree, false, true}}) {
    bool destroyed = false;
    auto* form = new TestForm();
    form->OnClose = [&](TComponent*, TCloseAction& action) { action = c.action; };
    form->OnDestroy = [&](TComponent*) { destroyed = true; };
    form->Show();
    form->Close();
    EXPECT_FALSE(destroyed) << "freed at once";
    PumpFor(30);
    EXPECT_EQ(destroyed, c.freed);
    if (!destroyed) {
      EXPECT_EQ(form->Visible(), c.visibleAfter);
      delete form;
    } else {
      EXPECT_FALSE(c.visibleAfter);
    }
  }
}

TEST(Form, ReleaseInsideAButtonHandlerFreesTheFormAfterwards) {
  bool destroyed = false;
  auto* form = new OkCancelForm(nullptr);
  form->OnDestroy = [&](TComponent*) { destroyed = true; };
  form->ok->SetModalResult(mrNone);
  form->ok->OnClick = [&](TComponent*) {
    form->Release();
    form->ok->SetCaption("still here");  // the form lives until the handler returns
  };
  form->Show();
  SendMessageA(form->ok->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(destroyed);
  PumpFor(30);
  EXPECT_TRUE(destroyed);
}

TEST(Application, RunEndsWhenTheMainFormCloses) {
  Application()->ResetTerminated();
  auto* main = Application()->CreateForm<TForm>();
  auto* second = Application()->CreateForm<TForm>();
  EXPECT_EQ(Application()->MainForm(), main);
  main->SetBounds(900, 300, 320, 240);
  bool shown = false;
  main->OnShow = [&](TComponent*) {
    shown = true;
    PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
  };
  Application()->Run();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(Application()->Terminated());
  // The cases share one application: leave it without a main form.
  delete second;
  delete main;
  EXPECT_EQ(Application()->MainForm(), nullptr);
  Application()->ResetTerminated();
}

// A main form whose window is made while it is described, with a dialog
// form created inside its constructor.
class EagerMainForm : public TForm {
 public:
  explicit EagerMainForm(TComponent* owner) : TForm(owner) {
    FormLoading loading(*this);
    SetBounds(900, 300, 320, 240);
    HandleNeeded();
    inner = new TForm(this);
    loading.End();
  }
  TForm* inner;
};

TEST(Application, TerminateBeforeRunEndsItWithoutShowingTheMainForm) {
  Application()->ResetTerminated();
  auto* main = Application()->CreateForm<TForm>();
  main->SetBounds(900, 300, 320, 240);
  bool shown = false;
  main->OnShow = [&](TComponent*) { shown = true; };
  Application()->Terminate();
  Application()->Run();
  EXPECT_FALSE(shown);
  EXPECT_TRUE(Application()->Terminated());
  delete main;
  Application()->ResetTerminated();
}

TEST(Application, TerminateInsideANestedModalLoopEndsRunAfterTheHandlerReturns) {
  Application()->ResetTerminated();
  auto* main = Application()->CreateForm<TForm>();
  main->SetBounds(900, 300, 320, 240);
  std::vector<std::string> steps;
  auto* start = new TTimer(main);
  start->SetInterval(50);
  start->OnTimer = [&](TComponent*) {
    start->SetEnabled(false);
    OkCancelForm dialog(nullptr);
    dialog.OnShow = [&](TComponent*) {
      steps.push_back("modal shown");
      Application()->Terminate();
    };
    steps.push_back(dialog.ShowModal() == mrCancel ? "modal cancelled" : "modal other");
    steps.push_back("handler goes on");  // the steps after the shut-down still run
  };
  // A test that goes wrong closes the main form instead of hanging.
  auto* guard = new TTimer(main);
  guard->SetInterval(5000);
  guard->OnTimer = [&](TComponent*) {
    steps.push_back("guard");
    main->Close();
  };
  Application()->Run();
  EXPECT_EQ(steps, (std::vector<std::string>{"modal shown", "modal cancelled", "handler goes on"}));
  delete main;
  Application()->ResetTerminated();
}

TEST(Application, TheFirstFormIsTheMainFormAlreadyInItsConstructor) {
  auto* main = Application()->CreateForm<EagerMainForm>();
  EXPECT_EQ(Application()->MainForm(), main);
  EXPECT_EQ(GetWindow(main->Handle(), GW_OWNER), nullptr) << "a main window has no owner";
  EXPECT_EQ(GetWindow(main->inner->Handle(), GW_OWNER), main->Handle());
  auto* second = Application()->CreateForm<TForm>();
  EXPECT_EQ(Application()->MainForm(), main);
  EXPECT_EQ(GetWindow(second->Handle(), GW_OWNER), Application()->Handle());
  delete main;
  EXPECT_EQ(Application()->MainForm(), nullptr);
}

TEST(Menus, ShortcutsRunTheirHandlersAlsoFromAMenuThatIsNotShown) {
  TestForm form;
  auto* menu = new TMainMenu(&form);
  auto* file = new TMenuItem(&form);
  file->SetCaption("&File");
  auto* fileNew = new TMenuItem(&form);
  fileNew->SetCaption("&New");
  fileNew->SetShortCut(ShortCut('N', ssCtrl));
  file->Add(fileNew);
  menu->Items().Add(file);
  form.SetMenu(menu);
  auto* hidden = new TPopupMenu(&form);  // never shown
  auto* find = new TMenuItem(&form);
  find->SetCaption("Find &Next");
  find->SetShortCut(VK_F3);
  hidden->Items().Add(find);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  std::vector<std::string> clicks;
  fileNew->OnClick = [&](TComponent*) { clicks.push_back("new"); };
  find->OnClick = [&](TComponent*) { clicks.push_back("find next"); };
  form.Show();
  PostKey(edit->Handle(), 'N', true);
  PumpFor(30);
  PostKey(edit->Handle(), 'N');  // plain N is typing, not the shortcut
  PumpFor(30);
  PostKey(edit->Handle(), VK_F3);
  PumpFor(30);
  fwtest::ReleaseModifiers();
  EXPECT_EQ(clicks, (std::vector<std::string>{"new", "find next"}));
  EXPECT_EQ(ShortCutToText(fileNew->ShortCut()), "Ctrl+N");
  char text[64] = {};
  GetMenuStringA(GetSubMenu(GetMenu(form.Handle()), 0), 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&New\tCtrl+N");
}

TEST(Menus, ChoosingAMenuItemRunsItsHandler) {
  TestForm form;
  auto* menu = new TMainMenu(&form);
  auto* exit = new TMenuItem(&form);
  exit->SetCaption("E&xit");
  menu->Items().Add(exit);
  form.SetMenu(menu);
  int clicks = 0;
  exit->OnClick = [&](TComponent*) { ++clicks; };
  form.Show();
  PostMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(exit->Command(), 0), 0);
  PumpFor(30);
  EXPECT_EQ(clicks, 1);
}

TEST(MessageBoxes, AHookAnswersThemAndSeesTextTypeAndTitle) {
  Application()->Title = "Quorvane";
  BoxAnswerer answer(mrYes);
  EXPECT_EQ(MessageDlg("Delete the file?", TMsgDlgType::mtConfirmation, mbYesNo), mrYes);
  ShowMessage("Done");
  ASSERT_EQ(answer.boxes.size(), 2u);
  EXPECT_EQ(answer.boxes[0].Text, "Delete the file?");
  EXPECT_EQ(answer.boxes[0].Caption, "Quorvane");
  EXPECT_EQ(answer.boxes[0].Type, TMsgDlgType::mtConfirmation);
  EXPECT_EQ(answer.boxes[0].Buttons, mbYesNo);
  EXPECT_EQ(answer.boxes[1].Type, TMsgDlgType::mtInformation);
  EXPECT_EQ(answer.boxes[1].Buttons, unsigned(mbOK));
}

TEST(Exceptions, AnExceptionInAClickHandlerReachesHandleExceptionWhichShowsTheTitle) {
  Application()->Title = "Quorvane";
  BoxAnswerer answer(mrOk);
  OkCancelForm form(nullptr);
  form.ok->SetModalResult(mrNone);
  form.ok->OnClick = [](TComponent*) { throw EConvertError("'12x' is not a valid integer value"); };
  form.Show();
  SendMessageA(form.ok->Handle(), BM_CLICK, 0, 0);  // through the window procedure
  ASSERT_EQ(answer.boxes.size(), 1u);
  EXPECT_EQ(answer.boxes[0].Caption, "Quorvane");
  EXPECT_EQ(answer.boxes[0].Text, "'12x' is not a valid integer value.");
  EXPECT_EQ(answer.boxes[0].Type, TMsgDlgType::mtError);
}

TEST(Exceptions, TheReplaceableHookSeesSenderAndErrorAndAbortIsQuiet) {
  BoxAnswerer answer(mrOk);
  OkCancelForm form(nullptr);
  form.ok->SetModalResult(mrNone);
  std::vector<std::string> seen;
  TComponent* sender = nullptr;
  Application()->OnException = [&](TComponent* s, const std::exception& e) {
    sender = s;
    seen.push_back(e.what());
  };
  form.ok->OnClick = [](TComponent*) { throw std::runtime_error("plain failure"); };
  form.Show();
  SendMessageA(form.ok->Handle(), BM_CLICK, 0, 0);
  form.ok->OnClick = [](TComponent*) { throw EAbort(); };
  SendMessageA(form.ok->Handle(), BM_CLICK, 0, 0);
  // Through the message loop too: a key handled before dispatch.
  form.ok->OnClick = [](TComponent*) { throw Exception("from a key"); };
  form.ok->SetFocus();
  PostKey(form.ok->Handle(), VK_RETURN);
  PumpFor(30);
  Application()->OnException = nullptr;
  EXPECT_EQ(seen, (std::vector<std::string>{"plain failure", "from a key"}));
  EXPECT_EQ(sender, form.ok);  // the control the key went to, for the last one
  EXPECT_TRUE(answer.boxes.empty());
}

TEST(Exceptions, AnExceptionOfAWorkerThreadIsShownByTheGuiThread) {
  Application()->Title = "Quorvane";
  Application()->Handle();  // the window that carries it exists before the worker needs it
  BoxAnswerer answer(mrOk);
  DWORD boxThread = 0;
  auto previous = SetMessageBoxFunction([&](const MessageBoxRequest& request) {
    boxThread = GetCurrentThreadId();
    answer.boxes.push_back(request);
    return mrOk;
  });
  HANDLE worker = CreateThread(
      nullptr, 0,
      [](LPVOID) -> DWORD {
        Guarded(nullptr, [] { throw EInOutError(5); });
        return 0;
      },
      nullptr, 0, nullptr);
  ASSERT_NE(worker, nullptr);
  WaitForSingleObject(worker, 5000);
  CloseHandle(worker);
  EXPECT_TRUE(answer.boxes.empty()) << "shown on the worker thread";
  PumpFor(50);
  SetMessageBoxFunction(previous);
  ASSERT_EQ(answer.boxes.size(), 1u);
  EXPECT_EQ(answer.boxes[0].Text, "File access denied.");
  EXPECT_EQ(answer.boxes[0].Caption, "Quorvane");
  EXPECT_EQ(boxThread, GetCurrentThreadId());
}

TEST(Exceptions, AFailingTimerHandlerReachesHandleException) {
  BoxAnswerer answer(mrOk);
  TTimer timer(nullptr);
  timer.SetInterval(10);
  timer.OnTimer = [&](TComponent*) {
    timer.SetEnabled(false);
    throw Exception("timer failed");
  };
  PumpFor(150);
  ASSERT_EQ(answer.boxes.size(), 1u);
  EXPECT_EQ(answer.boxes[0].Text, "timer failed.");
}

TEST(Timer, FreedInsideItsOwnHandlerDoesNoHarm) {
  int ticks = 0;
  auto* timer = new TTimer(nullptr);
  timer->SetInterval(10);
  timer->OnTimer = [&](TComponent* sender) {
    ++ticks;
    delete sender;
  };
  PumpFor(200);
  EXPECT_EQ(ticks, 1);
}

TEST(Timer, FiresRepeatedlyUntilDisabledAndWaitsForLoaded) {
  TComponent owner(nullptr);
  int ticks = 0;
  TTimer* timer;
  {
    FormLoading loading(owner);
    timer = new TTimer(&owner);
    timer->SetInterval(10);
    timer->OnTimer = [&](TComponent*) {
      if (++ticks == 3) timer->SetEnabled(false);
    };
    PumpFor(60);
    EXPECT_EQ(ticks, 0) << "fired while loading";
    loading.End();
  }
  PumpFor(250);
  EXPECT_EQ(ticks, 3);
}

TEST(WindowProcedure, AnInstanceOverrideSeesMessagesFirstAndFallsThrough) {
  TestForm form;
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  form.Show();
  std::vector<UINT> seen;
  auto saved = edit->WindowProc;
  edit->WindowProc = [&, edit](TMessage& message) {
    if (message.Msg == WM_USER + 7) {
      seen.push_back(message.Msg);
      message.Result = 42;
      return;
    }
    edit->WndProc(message);  // on to the control and the class procedure
  };
  EXPECT_EQ(SendMessageA(edit->Handle(), WM_USER + 7, 0, 0), 42);
  SetWindowTextA(edit->Handle(), "through");
  EXPECT_EQ(edit->Text(), "through");
  edit->WindowProc = saved;
  EXPECT_EQ(seen.size(), 1u);
}

// A control of its own window class, as a terminal window is.
class OwnClassControl : public TWinControl {
 public:
  explicit OwnClassControl(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 50, 20); }
  std::vector<std::string> events;

  void WndProc(TMessage& message) override {
    if (message.Msg == WM_USER + 0x3C) {
      events.push_back("private message");
      message.Result = 1;
      return;
    }
    TWinControl::WndProc(message);
  }

 protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    RegisterControlClass("FwTestTerminal", CS_DBLCLKS | CS_OWNDC);
    params.ClassName = "FwTestTerminal";
    params.Style |= WS_VSCROLL;
  }
  void Resize() override {
    events.push_back("size " + std::to_string(ClientWidth()));
    TWinControl::Resize();
  }
  void FontChanged() override {
    TWinControl::FontChanged();
    events.push_back("font " + Font().Name());
  }
  void Loaded() override {
    TWinControl::Loaded();
    // A component may need its window while its form is still loading.
    events.push_back(std::string("loaded with window ") + (HandleAllocated() ? "yes" : "no"));
  }
};

TEST(WindowProcedure, AControlOfItsOwnClassGetsItsWindowOnDemandAndItsMessages) {
  TestForm form;
  OwnClassControl* control;
  {
    FormLoading loading(form);
    control = new OwnClassControl(&form);
    control->SetParent(&form);
    EXPECT_FALSE(form.HandleAllocated());
    control->HandleNeeded();  // the parent's window first
    EXPECT_TRUE(form.HandleAllocated());
    loading.End();
  }
  char name[64] = {};
  GetClassNameA(control->Handle(), name, sizeof name);
  EXPECT_STREQ(name, "FwTestTerminal");
  EXPECT_EQ(SendMessageA(control->Handle(), WM_USER + 0x3C, 0, 0), 1);
  EXPECT_EQ(control->ParentForm(), &form);
  control->SetWidth(80);
  control->Font().SetName("Courier New");
  // Falls through to the class procedure: the window keeps its text.
  SetWindowTextA(control->Handle(), "text");
  EXPECT_EQ(control->Text(), "text");
  EXPECT_NE(std::find(control->events.begin(), control->events.end(), "loaded with window yes"),
            control->events.end());
  EXPECT_NE(std::find(control->events.begin(), control->events.end(), "private message"),
            control->events.end());
  EXPECT_NE(std::find(control->events.begin(), control->events.end(), "font Courier New"),
            control->events.end());
  EXPECT_NE(std::find(control->events.begin(), control->events.end(),
                      "size " + std::to_string(80 - GetSystemMetrics(SM_CXVSCROLL))),
            control->events.end());
}

TEST(WindowProcedure, RecreatingTheWindowKeepsTextItemsAndChecks) {
  TestForm form;
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  auto* combo = new TComboBox(&form);
  combo->SetParent(&form);
  combo->Items().Add("ER-600");
  combo->Items().Add("ER-650");
  auto* check = new TCheckBox(&form);
  check->SetParent(&form);
  form.Show();
  SetWindowTextA(edit->Handle(), "typed");
  combo->SetItemIndex(1);
  SendMessageA(check->Handle(), BM_SETCHECK, BST_CHECKED, 0);
  HWND before = form.Handle();
  form.RecreateWnd();
  EXPECT_NE(form.Handle(), before);
  EXPECT_TRUE(edit->HandleAllocated());
  EXPECT_EQ(edit->Text(), "typed");
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "ER-650");
  EXPECT_TRUE(check->Checked());
}

TEST(Controls, AlignLaysOutPanelsAgainAfterAResize) {
  TestForm form;
  form.SetClientWidth(400);
  form.SetClientHeight(300);
  auto* top = new TPanel(&form);
  top->SetParent(&form);
  top->SetHeight(40);
  top->SetAlign(TAlign::alTop);
  auto* right = new TPanel(&form);
  right->SetParent(&form);
  right->SetWidth(158);
  right->SetAlign(TAlign::alRight);
  auto* client = new TPanel(&form);
  client->SetParent(&form);
  client->SetAlign(TAlign::alClient);
  form.Show();
  PumpFor(20);
  EXPECT_EQ(top->Width(), 400);
  EXPECT_EQ(right->Left(), 400 - 158);
  EXPECT_EQ(right->Height(), 260);
  EXPECT_EQ(client->Width(), 400 - 158);
  int resizes = 0;
  form.OnResize = [&](TComponent*) { ++resizes; };
  form.SetClientWidth(500);
  PumpFor(20);
  EXPECT_GE(resizes, 1);
  EXPECT_EQ(right->Left(), 500 - 158);
  EXPECT_EQ(client->Width(), 500 - 158);
}

TEST(Controls, EditReportsChangesAndExitAndKeepsItsLimit) {
  TestForm form;
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  auto* other = new TEdit(&form);
  other->SetParent(&form);
  other->SetTop(30);
  edit->SetMaxLength(5);
  int changes = 0, exits = 0;
  edit->OnChange = [&](TComponent*) { ++changes; };
  edit->OnExit = [&](TComponent*) { ++exits; };
  form.Show();
  edit->SetFocus();
  SendMessageA(edit->Handle(), WM_CHAR, 'a', 0);
  for (char c : std::string("bcdefgh")) SendMessageA(edit->Handle(), WM_CHAR, c, 0);
  EXPECT_EQ(edit->Text(), "abcde");
  EXPECT_GE(changes, 5);
  other->SetFocus();
  EXPECT_EQ(exits, 1);
  edit->SetReadOnly(true);
  SendMessageA(edit->Handle(), WM_CHAR, 'z', 0);
  EXPECT_EQ(edit->Text(), "abcde");
  edit->SetColor(clBtnFace);
  EXPECT_EQ(edit->Color(), clBtnFace);
}

TEST(Controls, MemoLinesCanBeReadChangedSelectedAndCopied) {
  TestForm form;
  auto* memo = new TMemo(&form);
  memo->SetParent(&form);
  memo->Lines().Add("first");
  memo->Lines().Add("third");
  form.Show();
  memo->Lines().Insert(1, "second");
  ASSERT_EQ(memo->Lines().Count(), 3);
  EXPECT_EQ(memo->Lines()[1], "second");
  memo->Lines().Delete(0);
  EXPECT_EQ(memo->Lines().Text(), "second\r\nthird\r\n");
  // Typed and set from outside: the lines follow.
  SendMessageA(memo->Handle(), EM_SETSEL, 0, 0);
  SendMessageA(memo->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("typed "));
  EXPECT_EQ(memo->Lines()[0], "typed second");
  SetWindowTextA(memo->Handle(), "one\r\ntwo\r\nthree");
  EXPECT_EQ(memo->Lines().Count(), 3);
  memo->Lines().Delete(0);
  memo->Lines().Delete(0);
  EXPECT_THROW(memo->Lines()[5], Exception);
  memo->SelectAll();
  EXPECT_EQ(memo->SelStart(), 0);
  EXPECT_EQ(memo->SelLength(), static_cast<int>(memo->Text().size()));
  memo->SetSelStart(2);
  memo->SetSelLength(3);
  EXPECT_EQ(memo->SelLength(), 3);
  memo->CopyToClipboard();
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_TEXT);
  ASSERT_NE(data, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(data)), "ree");
  GlobalUnlock(data);
  CloseClipboard();
  // Far beyond the old 32K ceiling of an edit control.
  std::string log;
  for (int i = 0; i < 3000; ++i) log += "12/10/26 09:14  SALE     12.50 .......\r\n";
  memo->SetText(log);
  EXPECT_EQ(memo->Text().size(), log.size());
  EXPECT_GT(log.size(), 100000u);
  EXPECT_EQ(memo->Lines().Count(), 3000);
}

TEST(Controls, MemoLinesSurviveASaveAndLoad) {
  TestForm form;
  auto* memo = new TMemo(&form);
  memo->SetParent(&form);
  form.Show();
  memo->Lines().Add("Line one");
  memo->Lines().Add("Line two");
  memo->Lines().SaveToFile("memo_lines.txt");
  memo->Lines().Clear();
  EXPECT_EQ(memo->Lines().Count(), 0);
  memo->Lines().LoadFromFile("memo_lines.txt");
  EXPECT_EQ(memo->Lines().Count(), 2);
  EXPECT_EQ(memo->Lines()[1], "Line two");
  EXPECT_THROW(memo->Lines().LoadFromFile("no such folder\\missing.txt"), EInOutError);
}

TEST(Controls, ListBoxAndComboBoxReportSelectionAndDoubleClick) {
  TestForm form;
  auto* list = new TListBox(&form);
  list->SetParent(&form);
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) list->Items().Add(name);
  auto* combo = new TComboBox(&form);
  combo->SetParent(&form);
  combo->SetTop(110);
  combo->Items().Add("Direct to COM1");
  combo->Items().Add("Direct to COM2");
  int doubleClicks = 0, changes = 0;
  list->OnDblClick = [&](TComponent*) { ++doubleClicks; };
  combo->OnChange = [&](TComponent*) { ++changes; };
  form.Show();
  list->SetItemIndex(2);
  EXPECT_EQ(list->ItemIndex(), 2);
  SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list->Handle()));
  EXPECT_EQ(doubleClicks, 1);
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "Direct to COM2");
  SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo->Handle()));
  EXPECT_EQ(changes, 1);
  combo->SetItemIndex(7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  list->Items().Delete(2);
  EXPECT_EQ(list->ItemIndex(), -1);
}

// A list of thousands of lines goes in at once, in its order, with its selection.
TEST(Controls, ListBoxFilledAtOnceHoldsEveryLineInOrder) {
  TestForm form;
  auto* list = new TListBox(&form);
  list->SetParent(&form);
  list->SetBounds(0, 0, 300, 200);
  form.Show();
  std::vector<std::string> lines;
  for (int i = 0; i < 3000; ++i) lines.push_back(std::to_string(i) + "     TOTAL " + std::to_string(i % 40));
  list->Items().Assign(lines);
  list->SetItemIndex(2);
  PumpFor(100);
  ASSERT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 3000);
  char text[64] = {};
  SendMessageA(list->Handle(), LB_GETTEXT, 2999, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "2999     TOTAL 39");
  EXPECT_EQ(list->ItemIndex(), 2);
}

TEST(Controls, HourglassCursorShowsOverEveryControlAndControlsHaveTheirOwn) {
  TestForm form;
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetCaption("link");
  label->SetCursor(crHandPoint);
  form.Show();
  SendMessageA(label->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(label->Handle()),
               MAKELPARAM(HTCLIENT, 0));
  EXPECT_EQ(GetCursor(), CursorHandle(crHandPoint));
  Screen()->SetCursor(crHourGlass);
  SendMessageA(label->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(label->Handle()),
               MAKELPARAM(HTCLIENT, 0));
  EXPECT_EQ(GetCursor(), CursorHandle(crHourGlass));
  Screen()->SetCursor(crDefault);
}

TEST(Controls, LabelSizesItselfToItsTextAndClicks) {
  TestForm form;
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetCaption("A longer caption than before");
  const int wide = label->Width();
  label->SetCaption("Short");
  EXPECT_LT(label->Width(), wide);
  EXPECT_GT(label->Height(), 0);
  int clicks = 0;
  label->OnClick = [&](TComponent*) { ++clicks; };
  form.Show();
  SendMessageA(label->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageA(label->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(clicks, 1);
}

TEST(Controls, ALabelsWindowReadsItsCurrentText) {
  TestForm form;
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetCaption("IDLE");
  form.Show();
  label->SetCaption("COLLECTING");
  char text[32] = {};
  GetWindowTextA(label->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "COLLECTING");
  EXPECT_EQ(label->Text(), "COLLECTING");
}

TEST(Controls, HintsBecomeTooltipsOfTheForm) {
  TestForm form;
  auto* check = new TCheckBox(&form);
  check->SetParent(&form);
  check->SetCaption("Auto Connect");
  check->SetHint("With this option checked the software will attempt to automatically connect.");
  form.Show();
  HWND tooltip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0) *reinterpret_cast<HWND*>(found) = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tooltip));
  ASSERT_NE(tooltip, nullptr);
  EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
  check->SetHint("");
  EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 0);
}

TEST(Fonts, SizeAndHeightAreTwoViewsAndChangesReachTheControl) {
  TestForm form;
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  form.Show();
  EXPECT_TRUE(edit->ParentFont());
  form.Font().SetName("Courier New");
  form.Font().SetHeight(-12);
  EXPECT_EQ(edit->Font().Name(), "Courier New");
  EXPECT_EQ(edit->Font().Height(), -12);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(edit->Handle(), WM_GETFONT, 0, 0)), edit->Font().Handle());
  label->Font().SetStyle(fsBold);
  EXPECT_FALSE(label->ParentFont());
  int changes = 0;
  TFont font;
  font.OnChange = [&] { ++changes; };
  font.SetSize(9);
  EXPECT_EQ(font.Height(), -MulDiv(9, ScreenPixelsPerInch(), 72));
  EXPECT_EQ(font.Size(), 9);
  font.SetColor(clMaroon);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clMaroon), RGB(128, 0, 0));
}

}  // namespace
