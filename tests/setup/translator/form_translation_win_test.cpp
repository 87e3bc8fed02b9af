// Translating a real form under Wine: texts by text and by identifier, the
// controls hidden during the walk and shown again after it, and the fonts
// read back from the windows.
#include "setup/translator/form_translation_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "framework/exceptions.h"
#include "framework/extctrls.h"
#include "framework/form.h"
#include "framework/radiogroup.h"
#include "framework/richedit.h"
#include "framework/tabcontrol.h"
#include "framework/stdctrls.h"
#include "tests/framework/gui_support.h"

namespace setup::translator {
namespace {

// A label that looks at its form's controls while it is being translated,
// and can fail there.
class WatchingLabel : public fw::TLabel {
 public:
  using fw::TLabel::TLabel;
  void SetText(const std::string& text) override {
    if (Watch) Watch();
    fw::TLabel::SetText(text);
  }
  std::function<void()> Watch;
};

class FormTranslation : public ::testing::Test {
 protected:
  FormTranslation() {
    form.SetBounds(900, 300, 400, 300);
    form.SetCaption("Welcome");
    button = Make<TTranslateBitBtn>();
    button->SetCaption("Cancel");
    button->GLID = 6;
    label = Make<TTranslateLabel>();
    label->SetCaption("Next >");
    label->GLID = 5;
    plain = Make<WatchingLabel>();
    plain->SetName("Welcome");  // a name is never translated
    plain->SetCaption("welcome");
    plain->SetHint("Cancel");
    edit = Make<fw::TEdit>();
    edit->SetText("Cancel");
    memo = Make<fw::TMemo>();
    memo->Lines().Add("Line one");
    memo->Lines().Add("Line two");
    list = Make<fw::TListBox>();
    list->Items().Assign({"Welcome", "Other"});
    hidden = Make<fw::TPanel>();
    hidden->SetVisible(false);
    translator.Language(plEnglish).Strings().Assign(
        {"5;Next >", "6;Cancel", "10;Welcome", "#20", "Line one", "Line two", "#"});
    translator.Language(plFrench).Strings().Assign(
        {"5;Suivant >", "6;Annuler", "10; Bienvenue", "#20", "Ligne un", "#"});
    translator.SetTranslateIntoLanguage(plFrench);
    form.Show();
  }
  template <class T>
  T* Make() {
    auto* control = new T(&form);
    control->SetParent(&form);
    return control;
  }

  TTranslator translator{nullptr};
  fw::TForm form{nullptr};
  TTranslateBitBtn* button;
  TTranslateLabel* label;
  WatchingLabel* plain;
  fw::TEdit* edit;
  fw::TMemo* memo;
  fw::TListBox* list;
  fw::TPanel* hidden;
};

TEST_F(FormTranslation, TranslatesEveryTextAndShowsTheControlsAgain) {
  bool hiddenDuringWalk = false;
  plain->Watch = [&] { hiddenDuringWalk = !plain->Visible() && !plain->AutoSize() && form.Visible(); };
  EXPECT_EQ(TranslateFormText(plEnglish, &form), plFrench);
  EXPECT_TRUE(hiddenDuringWalk);
  EXPECT_EQ(form.Caption(), " Bienvenue");
  EXPECT_EQ(button->Caption(), "Annuler");
  EXPECT_EQ(label->Caption(), "Suivant >");
  EXPECT_EQ(plain->Caption(), " Bienvenue");
  EXPECT_EQ(plain->Name(), "Welcome");
  EXPECT_EQ(plain->Hint(), "Annuler");
  EXPECT_EQ(edit->Text(), "Annuler");
  ASSERT_EQ(memo->Lines().Count(), 1);
  EXPECT_EQ(memo->Lines()[0], "Ligne un");
  EXPECT_EQ(list->Items().Strings(), (std::vector<std::string>{" Bienvenue", "Other"}));
  for (fw::TControl* control : std::initializer_list<fw::TControl*>{button, label, plain, edit, memo, list})
    EXPECT_TRUE(control->Visible() && IsWindowVisible(form.Handle())) << control->ClassName();
  EXPECT_FALSE(hidden->Visible());
  EXPECT_TRUE(plain->AutoSize());
}

TEST_F(FormTranslation, ByIdentifierOnlyAndUnchangedWithoutTargetTexts) {
  // The label's caption is no English text, but its identifier has one.
  label->SetCaption("Weiter");
  label->SetHint("Cancel");
  TranslateFormText(plEnglish, &form);
  EXPECT_EQ(label->Caption(), "Suivant >");
  EXPECT_EQ(label->Hint(), "Cancel");  // handled by its identifier alone
  // A target without texts leaves the form in its source language.
  EXPECT_EQ(TranslateFormTextInto(plEnglish, plGerman, &form), plEnglish);
  EXPECT_EQ(translator.TranslateIntoLanguage(), plFrench);
}

TEST_F(FormTranslation, AFailingTranslationStillRestoresTheControls) {
  plain->Watch = [] { throw fw::Exception("broken"); };
  EXPECT_THROW(TranslateFormText(plEnglish, &form), fw::Exception);
  for (fw::TControl* control : std::initializer_list<fw::TControl*>{button, label, plain, edit, memo, list})
    EXPECT_TRUE(control->Visible()) << control->ClassName();
  EXPECT_TRUE(plain->AutoSize());
}

TEST_F(FormTranslation, RichTextRadioGroupAndTabTextsAreTranslatedToo) {
  auto* rich = Make<fw::TRichEdit>();
  rich->SetText("Line one\r\nLine two");
  auto* group = Make<fw::TRadioGroup>();
  group->SetCaption("Cancel");
  group->SetItems({"Welcome", "Other"});
  group->SetItemIndex(0);
  auto* tabs = Make<fw::TTabControl>();
  tabs->AddTab("Other");
  tabs->AddTab("welcome");
  tabs->SetTabVisible(0, false);  // a hidden tab is translated as well
  tabs->SetActiveTab(1);
  form.Show();
  TranslateFormText(plEnglish, &form);
  ASSERT_EQ(rich->Lines().Count(), 1);
  EXPECT_EQ(rich->Lines()[0], "Ligne un");
  EXPECT_EQ(group->Caption(), "Annuler");
  EXPECT_EQ(group->Items(), (std::vector<std::string>{" Bienvenue", "Other"}));
  EXPECT_EQ(group->ItemIndex(), 0);  // the choice stays
  EXPECT_EQ(fwtest::TabTexts(tabs->Handle()), (std::vector<std::string>{" Bienvenue"}));
  EXPECT_EQ(tabs->TabCaption(0), "Other");
  EXPECT_EQ(tabs->ActiveTab(), 1);
  // The radio buttons are windows whose texts are the items.
  HWND first = FindWindowExA(group->Handle(), nullptr, "Button", nullptr);
  ASSERT_NE(first, nullptr);
  char text[64] = {};
  GetWindowTextA(first, text, sizeof text);
  EXPECT_STREQ(text, " Bienvenue");
  EXPECT_EQ(SendMessageA(first, BM_GETCHECK, 0, 0), BST_CHECKED);
}

LOGFONTA WindowFont(HWND window) {
  LOGFONTA font{};
  HFONT handle = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  GetObjectA(handle, sizeof font, &font);
  return font;
}

TEST_F(FormTranslation, FontsSuitTheTargetLanguage) {
  button->Font().SetSize(6);
  // German has no texts: with keep false the English fonts are used.
  SetFormFontsIn(plGerman, &form, false);
  LOGFONTA font = WindowFont(button->Handle());
  EXPECT_STREQ(font.lfFaceName, "Arial");
  EXPECT_EQ(font.lfCharSet, 0);
  EXPECT_EQ(button->Font().Size(), 8);
  // Hebrew keeps its character set and gets a face, without an error.
  translator.Language(plHebrew).Strings().Add("6;x");
  SetFormFontsIn(plHebrew, &form, false);
  font = WindowFont(edit->Handle());
  EXPECT_STREQ(font.lfFaceName, "Arial");
  EXPECT_EQ(font.lfCharSet, 177);
  // Japanese: its face name byte for byte.
  translator.Language(plJapanese).FontOverride = false;
  SetFormFontsIn(plJapanese, &form, true);
  EXPECT_EQ(edit->Font().Name(), "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E");
  EXPECT_EQ(edit->Font().Charset(), 128);
  EXPECT_EQ(edit->Font().Size(), 9);
  // A language's own font when it overrides.
  auto& french = translator.Language(plFrench);
  french.FontOverride = true;
  french.Font = {"Courier New", 12, 0};
  SetFormFonts(&form, false);
  EXPECT_STREQ(WindowFont(button->Handle()).lfFaceName, "Courier New");
  EXPECT_EQ(button->Font().Size(), 12);
}

}  // namespace
}  // namespace setup::translator
