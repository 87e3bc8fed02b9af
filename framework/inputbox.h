// A small modal box that asks for one line of text.
#pragma once

#include <string>

#include "framework/form.h"
#include "framework/stdctrls.h"

namespace fw {

// The box itself, for callers (and tests) that want its controls.
class TInputBoxForm : public TForm {
 public:
  TInputBoxForm(TComponent* owner, const std::string& caption, const std::string& prompt,
                const std::string& value);
  std::string ClassName() const override { return "TInputBoxForm"; }
  TLabel* Prompt = nullptr;
  TEdit* Value = nullptr;
  TButton* OkButton = nullptr;
  TButton* CancelButton = nullptr;
};

// Shows the box with value in its edit; true on OK, with value holding what
// was typed; false on Cancel, value unchanged.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
// The typed text on OK, value on Cancel.
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& value);

}  // namespace fw
