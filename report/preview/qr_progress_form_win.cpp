#include "report/preview/qr_progress_form_win.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "framework/application.h"
#include "report/preview/preview_rules.h"

namespace report {

TQRProgressForm::TQRProgressForm(fw::TComponent* owner)
    : TForm(owner), info_(new fw::TLabel(this)), cancelButton_(new fw::TButton(this)) {
  SetCaption("Printing progress");
  SetBorderStyle(fw::TFormBorderStyle::bsDialog);
  SetPosition(fw::TPosition::poScreenCenter);
  SetClientWidth(149);
  SetClientHeight(97);
  info_->SetParent(this);
  info_->SetAutoSize(false);
  info_->SetAlignment(fw::TAlignment::taCenter);
  info_->SetBounds(8, 38, 133, 16);
  cancelButton_->SetParent(this);
  cancelButton_->SetCaption("Cancel");
  cancelButton_->SetBounds(37, 64, 75, 25);
  cancelButton_->OnClick = [this](fw::TComponent*) { CancelButtonClick(); };
  gauge_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 8, 10, 133, 18, Handle(), nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  SendMessageA(gauge_, PBM_SETRANGE32, 0, 100);
  SendMessageA(gauge_, PBM_SETPOS, 0, 0);
}

void TQRProgressForm::CreateParams(fw::TCreateParams& params) {
  TForm::CreateParams(params);
  // Stays over the report's windows while it prints.
  params.ExStyle |= WS_EX_TOPMOST;
}

int TQRProgressForm::GaugePosition() const {
  return static_cast<int>(SendMessageA(gauge_, PBM_GETPOS, 0, 0));
}

void TQRProgressForm::CancelButtonClick() {
  if (QRPrinter) QRPrinter->Cancel();
}

void TQRProgressForm::WndProc(fw::TMessage& message) {
  if (message.Msg == QRM_PROGRESS) {
    // The producer's own value, not the message's: a late message then
    // shows where the run is now.
    if (!QRPrinter) return;
    const std::int32_t progress = QRPrinter->Progress();
    if (const std::optional<std::string> info = ProgressFormInfo(progress)) {
      SendMessageA(gauge_, PBM_SETPOS, static_cast<WPARAM>(progress), 0);
      info_->SetCaption(*info);
      fw::Application()->ProcessMessages();
    }
    return;
  }
  TForm::WndProc(message);
}

}  // namespace report
