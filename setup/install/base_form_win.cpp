#include "setup/install/base_form_win.h"

#include <algorithm>

#include "framework/application.h"
#include "setup/paths/path_specifiers.h"
#include "setup/translator/form_translation_win.h"

namespace setup {
namespace {

std::vector<TBasePembrinForm*>& Forms() {
  static std::vector<TBasePembrinForm*> forms;
  return forms;
}

}  // namespace

const std::vector<TBasePembrinForm*>& AllPembrinForms() { return Forms(); }

void EnsureSpecifiersOnForms() {
  TreeHooks().ObjectCreating = [](fw::TComponent* owner) {
    if (dynamic_cast<fw::TForm*>(owner)) EnsureStandardSpecifiers(owner);
  };
}

TBasePembrinForm::TBasePembrinForm(fw::TComponent* owner) : fw::TForm(owner) {
  Font().SetCharset(0);
  Forms().push_back(this);
}

TBasePembrinForm::~TBasePembrinForm() {
  auto& forms = Forms();
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void TBasePembrinForm::TranslateForm() {
  // Fonts follow the target's texts: a language without texts shows the
  // English fonts, the same every time.
  if (AutoSetFont) {
    if (OverrideMainTranslator)
      translator::SetFormFontsIn(TranslateIntoLanguage, this, false);
    else
      translator::SetFormFonts(this, false);
  }
  if (AutoTranslate) {
    TextLanguage = OverrideMainTranslator
                       ? translator::TranslateFormTextInto(TextLanguage, TranslateIntoLanguage, this)
                       : translator::TranslateFormText(TextLanguage, this);
  }
  if (fw::TApplication* application = fw::Application()) application->ProcessMessages();
}

}  // namespace setup
