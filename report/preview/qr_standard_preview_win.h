// The standard preview window "Print Preview": the preview control under a
// tool bar (zoom, page moves, print, printer setup, save, load, close) above
// a status bar with the run's progress and the page shown.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/comctrls.h"
#include "framework/form.h"
#include "framework/imagelist.h"
#include "framework/toolbar.h"
#include "report/preview/preview_rules.h"
#include "report/preview/qr_preview_win.h"
#include "report/printing/qr_printer.h"

namespace report {

// What the window asks the user for a file name with.
struct QRFileDialogRequest {
  bool Save = false;
  std::string Title;
  std::string Filter;
  std::string DefaultExt;
};
struct QRFileDialogAnswer {
  std::string FileName;
  int FilterIndex = 1;
};
using QRFileDialogFunction = std::function<std::optional<QRFileDialogAnswer>(const QRFileDialogRequest&)>;
// Replaces the system's open and save dialogs (empty restores them); returns
// the previous function.
QRFileDialogFunction SetPreviewFileDialog(QRFileDialogFunction function);

// The tool bar's buttons, by command id.
enum class QRPreviewButton : int {
  ZoomFit = 101,
  Zoom100,
  ZoomToWidth,
  FirstPage,
  PreviousPage,
  NextPage,
  LastPage,
  PrintSetup,
  Print,
  SaveReport,
  LoadReport,
  Exit,
};

class TQRStandardPreview : public fw::TForm {
 public:
  TQRStandardPreview(fw::TComponent* owner, TQRPrinter& producer);

  TQRPreview& QRPreview() { return *preview_; }
  TQRPrinter* Producer() const { return producer_; }
  HWND ToolBar() const { return toolBar_->Handle(); }
  fw::TToolBar& ToolBarControl() { return *toolBar_; }
  // The tool button of a command (null for Exit, a speed button).
  fw::TToolButton* ToolButton(QRPreviewButton button) const;
  fw::TSpeedButton& CloseButton() { return *closeButton_; }
  HWND StatusBar() const { return statusBar_->Handle(); }
  std::string PanelText(int panel) const;
  bool ButtonEnabled(QRPreviewButton button) const;
  bool ButtonChecked(QRPreviewButton button) const;
  std::string ButtonHint(QRPreviewButton button) const;
  // What a click on the button does.
  void Click(QRPreviewButton button);
  void FormKeyDown(WORD& key, unsigned shift);
  void UpdatePageStatus();

 protected:
  void Resize() override;

 private:
  void CreateBars();
  void LayOut();
  void SetPanel(int panel, const std::string& text);
  void EnableFileButtons();
  void SaveClick();
  void LoadClick();
  void ProgressUpdate(std::int32_t progress);

  TQRPrinter* producer_;
  TQRPreview* preview_;
  fw::TImageList* images_ = nullptr;
  fw::TToolBar* toolBar_ = nullptr;
  std::vector<fw::TToolButton*> buttons_;  // in the order of QRPreviewButton
  fw::TSpeedButton* closeButton_ = nullptr;
  fw::TStatusBar* statusBar_ = nullptr;
  QRProgressPanel progressPanel_;
  bool loaded_ = false;
};

// Opens TQRStandardPreview for a producer.
class TQRStandardPreviewInterface : public TQRPreviewInterface {
 public:
  QRWindow Show(TQRPrinter& printer) override;
  // Shows the window modally; it is freed when it closes, and 0 returned.
  QRWindow ShowModal(TQRPrinter& printer) override;
};

// Makes the standard preview the one producers open (at start-up).
void RegisterStandardPreview();

}  // namespace report
