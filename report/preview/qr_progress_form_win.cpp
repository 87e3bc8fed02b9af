#include "report/preview/qr_progress_form_win.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "framework/application.h"
#include "report/preview/preview_rules.h"

namespace report {

TQRProgressForm::TQRProgressForm(fw::TComponent* owner)
    : TForm(owner),
      gauge_(new fw::TProgressBar(this)),
      info_(new fw::TLabel(this)),
      cancelButton_(new fw::TButton(this)) {
  SetCaption("Printing progress");
  SetBorderStyle(fw::TFormBorderStyle::bsDialog);
  // Stays over the report's windows while it prints.
  SetFormStyle(fw::TFormStyle::fsStayOnTop);
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
  gauge_->SetParent(this);
  gauge_->SetBounds(8, 10, 133, 18);
  gauge_->SetRange(0, 100);
}

int TQRProgressForm::GaugePosition() const { return gauge_->Position(); }

void TQRProgressForm::CancelButtonClick() {
  if (QRPrinter) QRPrinter->Cancel();
}

void TQRProgressForm::WndProc(fw::TMessage& message) {
  if (message.Msg == QRM_PROGRESS) {
    // The producer's own value, not the message's: a late message then
    // shows where the run is now.
    if (!QRPrinter) return;
    // Progress counted in records rarely lands on every multiple of five:
    // the window moves to each one the run has reached.
    const std::int32_t progress = QRPrinter->Progress();
    const std::int32_t step = progress - progress % 5;
    if (step == shownStep_) return;
    if (const std::optional<std::string> info = ProgressFormInfo(step)) {
      shownStep_ = step;
      gauge_->SetPosition(step);
      info_->SetCaption(*info);
      fw::Application()->ProcessMessages();
    }
    return;
  }
  TForm::WndProc(message);
}

}  // namespace report
