// The small window "Printing progress" that watches a printer run: a gauge,
// a line saying how far it has come, and Cancel.
#pragma once

#include <windows.h>

#include "framework/comctrls.h"
#include "framework/form.h"
#include "framework/stdctrls.h"
#include "report/printing/qr_printer.h"

namespace report {

class TQRProgressForm : public fw::TForm {
 public:
  explicit TQRProgressForm(fw::TComponent* owner);

  // The producer watched (set by the report for one run).
  TQRPrinter* QRPrinter = nullptr;

  fw::TProgressBar& Gauge() { return *gauge_; }
  int GaugePosition() const;
  fw::TLabel& Info() { return *info_; }
  fw::TButton& CancelButton() { return *cancelButton_; }

  void WndProc(fw::TMessage& message) override;

 private:
  void CancelButtonClick();

  fw::TProgressBar* gauge_;
  fw::TLabel* info_;
  fw::TButton* cancelButton_;
  // The multiple of five the gauge and the line show.
  std::int32_t shownStep_ = 0;
};

}  // namespace report
