// Translating forms: every text of a component and of everything it owns,
// and the fonts that suit the target language; a label and a button that
// are translated by their own text identifier.
#pragma once

#include <cstdint>

#include "framework/controls.h"
#include "framework/stdctrls.h"
#include "setup/translator/translator.h"

namespace setup::translator {

class TTranslateLabel : public fw::TLabel {
 public:
  explicit TTranslateLabel(fw::TComponent* owner) : fw::TLabel(owner) {}
  std::string ClassName() const override { return "TTranslateLabel"; }
  std::int32_t GLID = 0;
};

class TTranslateBitBtn : public fw::TButton {
 public:
  explicit TTranslateBitBtn(fw::TComponent* owner) : fw::TButton(owner) {}
  std::string ClassName() const override { return "TTranslateBitBtn"; }
  std::int32_t GLID = 0;
};

// Returns the language the component's texts are in afterwards.
TPmbrLanguage TranslateComponent(TTranslator& translator, TPmbrLanguage source, fw::TComponent* component);
TPmbrLanguage TranslateComponentInto(TTranslator& translator, TPmbrLanguage source, TPmbrLanguage target,
                                     fw::TComponent* component);
// Fonts of the control and its children for the target language; without
// texts in the target and with keep false, the English fonts.
void SetFonts(TTranslator& translator, fw::TControl* control, bool keep);
void SetFontsIn(TTranslator& translator, TPmbrLanguage language, fw::TControl* control, bool keep);

// Through the global translator; nothing happens without one.
TPmbrLanguage TranslateFormText(TPmbrLanguage source, fw::TComponent* form);
TPmbrLanguage TranslateFormTextInto(TPmbrLanguage source, TPmbrLanguage target, fw::TComponent* form);
void SetFormFonts(fw::TControl* form, bool keep);
void SetFormFontsIn(TPmbrLanguage language, fw::TControl* form, bool keep);

// The user's language from the system's user default language.
void UseSystemUserLanguage();
// Texts are looked up with the system's locale-neutral comparison.
void UseSystemTextComparison();

}  // namespace setup::translator
