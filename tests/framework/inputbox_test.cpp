// The input box as a user meets it: its caption, the value it starts with,
// typing, and OK, Cancel or Esc.
#include "framework/inputbox.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/framework/gui_support.h"

namespace {

struct Answer {
  std::string Caption;
  std::string Typed;  // replaces the edit's text
  int Key;            // IDOK, IDCANCEL, or VK_ESCAPE posted to the edit
  std::string ShownValue;
  bool Found = false;
};
Answer* answer = nullptr;

HWND ChildOfClass(HWND parent, const char* name, const char* text = nullptr) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[32] = {}, caption[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, caption, sizeof caption);
    if (lstrcmpiA(cls, name) == 0 && (!text || lstrcmpA(caption, text) == 0)) return child;
  }
  return nullptr;
}

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowA(nullptr, answer->Caption.c_str());
  if (!box || !IsWindowVisible(box)) return;
  KillTimer(nullptr, timer);
  answer->Found = true;
  HWND edit = ChildOfClass(box, "Edit");
  char text[128] = {};
  GetWindowTextA(edit, text, sizeof text);
  answer->ShownValue = text;
  SetWindowTextA(edit, answer->Typed.c_str());
  if (answer->Key == VK_ESCAPE)
    fwtest::PostKey(edit, VK_ESCAPE);
  else
    SendMessageA(ChildOfClass(box, "Button", answer->Key == IDOK ? "OK" : "Cancel"), BM_CLICK, 0, 0);
}

TEST(InputBox, OkGivesTheTypedTextCancelAndEscKeepTheValue) {
  struct Case {
    int Key;
    bool Result;
    const char* Value;
  } cases[] = {
      {IDOK, true, "typed here"},
      {IDCANCEL, false, "start"},
      {VK_ESCAPE, false, "start"},
  };
  for (const Case& c : cases) {
    Answer a{"Name the folder", "typed here", c.Key, ""};
    answer = &a;
    SetTimer(nullptr, 0, 100, AnswerBox);
    std::string value = "start";
    EXPECT_EQ(fw::InputQuery("Name the folder", "Type the name", value), c.Result) << c.Key;
    EXPECT_TRUE(a.Found);
    EXPECT_EQ(a.ShownValue, "start");
    EXPECT_EQ(value, c.Value);
  }
  Answer a{"Name it", "other", IDCANCEL, ""};
  answer = &a;
  SetTimer(nullptr, 0, 100, AnswerBox);
  EXPECT_EQ(fw::InputBox("Name it", "Type the name", "kept"), "kept");
}

TEST(InputBox, ShowsCaptionPromptAndValue) {
  fw::TInputBoxForm form(nullptr, "Make New Folder", "Type the name of a new folder", "x");
  EXPECT_EQ(form.Caption(), "Make New Folder");
  EXPECT_EQ(form.Prompt->Caption(), "Type the name of a new folder");
  EXPECT_EQ(form.Value->Text(), "x");
  EXPECT_TRUE(form.OkButton->Default());
  EXPECT_TRUE(form.CancelButton->Cancel());
}

}  // namespace
