#include "framework/inputbox.h"

#include <memory>

namespace fw {

TInputBoxForm::TInputBoxForm(TComponent* owner, const std::string& caption, const std::string& prompt,
                             const std::string& value)
    : TForm(owner) {
  FormLoading loading(*this);
  SetName("InputBoxForm");
  SetCaption(caption);
  SetBorderStyle(TFormBorderStyle::bsDialog);
  SetBorderIcons(biSystemMenu);
  SetPosition(TPosition::poScreenCenter);
  SetClientWidth(300);
  SetClientHeight(96);
  Prompt = new TLabel(this);
  Prompt->SetName("Prompt");
  Prompt->SetParent(this);
  Prompt->SetBounds(8, 8, 284, 13);
  Prompt->SetCaption(prompt);
  Value = new TEdit(this);
  Value->SetName("Value");
  Value->SetParent(this);
  Value->SetBounds(8, 28, 284, 21);
  Value->SetText(value);
  OkButton = new TButton(this);
  OkButton->SetName("OkButton");
  OkButton->SetParent(this);
  OkButton->SetBounds(136, 62, 75, 25);
  OkButton->SetCaption("OK");
  OkButton->SetDefault(true);
  OkButton->SetModalResult(mrOk);
  CancelButton = new TButton(this);
  CancelButton->SetName("CancelButton");
  CancelButton->SetParent(this);
  CancelButton->SetBounds(217, 62, 75, 25);
  CancelButton->SetCaption("Cancel");
  CancelButton->SetCancel(true);
  CancelButton->SetModalResult(mrCancel);
  loading.End();
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  auto form = std::make_unique<TInputBoxForm>(nullptr, caption, prompt, value);
  form->OnShow = [&form](TComponent*) {
    form->Value->SetFocus();
    form->Value->SelectAll();
  };
  if (form->ShowModal() != mrOk) return false;
  value = form->Value->Text();
  return true;
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& value) {
  std::string result = value;
  InputQuery(caption, prompt, result);
  return result;
}

}  // namespace fw
