#include "framework/richedit.h"

#include <richedit.h>

namespace fw {

TRichEdit::TRichEdit(TComponent* owner) : TMemo(owner) {}

void TRichEdit::CreateParams(TCreateParams& params) {
  TMemo::CreateParams(params);
  // The class exists once its library is loaded; it stays loaded.
  static HMODULE library = LoadLibraryA("riched20.dll");
  (void)library;
  params.ClassName = RICHEDIT_CLASSA;
}

void TRichEdit::HandleCreated() {
  TMemo::HandleCreated();
  ColorChanged();
}

void TRichEdit::ColorChanged() {
  TMemo::ColorChanged();
  // The control paints its own background and ignores the parent's colour message.
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, ColorToRGB(Color()));
}

}  // namespace fw
