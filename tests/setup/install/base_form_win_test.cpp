// The installer's form base on a real window: fonts and texts of the
// language it is shown in.
#include "setup/install/base_form_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "framework/stdctrls.h"
#include "setup/install/path_specifier.h"

namespace setup {
namespace {

using namespace translator;

LOGFONTA WindowFont(HWND window) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

class BaseForm : public ::testing::Test {
 protected:
  BaseForm() {
    form.SetBounds(900, 300, 300, 200);
    button = new fw::TButton(&form);
    button->SetParent(&form);
    button->SetCaption("Cancel");
    button->Font().SetSize(6);
    translator.Language(plEnglish).Strings().Assign({"6;Cancel"});
    translator.Language(plDanish).Strings().Assign({"6;Annuller"});
    form.Show();
  }
  TTranslator translator{nullptr};
  TBasePembrinForm form{nullptr};
  fw::TButton* button;
};

TEST_F(BaseForm, StartsInEnglishAndJoinsTheFormList) {
  EXPECT_EQ(form.Font().Charset(), 0);
  EXPECT_EQ(form.TextLanguage, plEnglish);
  EXPECT_EQ(form.TranslateIntoLanguage, plUser);
  ASSERT_FALSE(AllPembrinForms().empty());
  EXPECT_EQ(AllPembrinForms().back(), &form);
}

TEST_F(BaseForm, AnEmptyTargetGivesTheEnglishFontsAndKeepsTheTexts) {
  translator.SetTranslateIntoLanguage(plGerman);
  form.TranslateForm();
  EXPECT_STREQ(WindowFont(button->Handle()).lfFaceName, "Arial");
  EXPECT_EQ(WindowFont(button->Handle()).lfCharSet, 0);
  EXPECT_EQ(button->Font().Size(), 8);
  EXPECT_EQ(button->Caption(), "Cancel");
  EXPECT_EQ(form.TextLanguage, plEnglish);
}

TEST_F(BaseForm, ItsOwnLanguageOverridesTheTranslators) {
  translator.SetTranslateIntoLanguage(plGerman);
  form.OverrideMainTranslator = true;
  form.TranslateIntoLanguage = plDanish;
  form.TranslateForm();
  EXPECT_EQ(button->Caption(), "Annuller");
  EXPECT_EQ(form.TextLanguage, plDanish);
  EXPECT_EQ(translator.TranslateIntoLanguage(), plGerman);
  // Texts already in Danish stay so when translated again.
  form.TranslateForm();
  EXPECT_EQ(button->Caption(), "Annuller");
}

TEST_F(BaseForm, InstallObjectsOnAFormFindTheStandardSpecifiers) {
  EnsureSpecifiersOnForms();
  fw::TComponent notAForm(nullptr);
  new TInstallFileGroup(&notAForm);
  EXPECT_EQ(StandardPathSpecifiers().Count(), 0);
  auto* group = new TInstallFileGroup(&form);
  EXPECT_EQ(StandardPathSpecifiers().Count(), 14);
  EXPECT_EQ(form.FindComponent("psContainerDestDir")->Owner(), &form);
  auto* file = new TInstallFileGroup(&form);
  file->SetContainer(group);  // finds the container's specifier
  EXPECT_EQ(StandardPathSpecifiers().Count(), 14);
  TreeHooks().ObjectCreating = nullptr;
}

}  // namespace
}  // namespace setup
