// A read-only capable rich-text box on the system's rich edit control; it
// keeps the memo's lines interface.
#pragma once

#include "framework/stdctrls.h"

namespace fw {

class TRichEdit : public TMemo {
 public:
  explicit TRichEdit(TComponent* owner);

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void ColorChanged() override;
};

}  // namespace fw
