// The base of the installer's dialog forms: they set the fonts of the
// language they are shown in and translate their own texts.
#pragma once

#include <vector>

#include "framework/form.h"
#include "setup/install/install_tree.h"
#include "setup/translator/translator.h"

namespace setup {

class TBasePembrinForm : public fw::TForm {
 public:
  explicit TBasePembrinForm(fw::TComponent* owner);
  ~TBasePembrinForm() override;
  std::string ClassName() const override { return "TBasePembrinForm"; }

  bool AutoSetFont = true;
  bool AutoTranslate = true;
  TInstallContainer* Container = nullptr;
  // The language the form's texts are in.
  translator::TPmbrLanguage TextLanguage = translator::plEnglish;
  bool OverrideMainTranslator = false;
  translator::TPmbrLanguage TranslateIntoLanguage = translator::plUser;

  virtual void Retranslate() { TranslateForm(); }
  virtual void PreparePage() {}
  virtual void TranslateForm();
};

// Install objects built on a form find the standard path specifiers there.
void EnsureSpecifiersOnForms();

// Every installer form that exists, in creation order.
const std::vector<TBasePembrinForm*>& AllPembrinForms();

}  // namespace setup
