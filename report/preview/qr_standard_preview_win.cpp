#include "report/preview/qr_standard_preview_win.h"

#include <array>
#include <memory>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/streams/file_stream_win.h"

namespace report {
namespace {

constexpr int kGlyphSize = 16;
constexpr COLORREF kGlyphMask = RGB(255, 0, 255);

constexpr int kGlyphCount = 12;

struct ButtonRow {
  QRPreviewButton Id;
  const char* Hint;
  bool Grouped;
  bool DividerAfter;
};
// The tool buttons in the bar's order; the close button follows them.
constexpr std::array<ButtonRow, 11> kButtons{{
    {QRPreviewButton::ZoomFit, "Zoom to fit", true, false},
    {QRPreviewButton::Zoom100, "100%", true, false},
    {QRPreviewButton::ZoomToWidth, "Zoom to width", true, true},
    {QRPreviewButton::FirstPage, "First page", false, false},
    {QRPreviewButton::PreviousPage, "Previous page", false, false},
    {QRPreviewButton::NextPage, "Next page", false, false},
    {QRPreviewButton::LastPage, "Last page", false, true},
    {QRPreviewButton::PrintSetup, "Printer setup", false, false},
    {QRPreviewButton::Print, "Print", false, true},
    {QRPreviewButton::SaveReport, "Save Report", false, false},
    {QRPreviewButton::LoadReport, "Load Report", false, true},
}};
constexpr const char* kCloseHint = "&Close";

QRFileDialogFunction& FileDialog() {
  static QRFileDialogFunction function;
  return function;
}

std::optional<QRFileDialogAnswer> SystemFileDialog(const QRFileDialogRequest& request) {
  std::unique_ptr<fw::TOpenDialog> dialog =
      request.Save ? std::make_unique<fw::TSaveDialog>(nullptr) : std::make_unique<fw::TOpenDialog>(nullptr);
  dialog->Title = request.Title;
  dialog->Filter = request.Filter;
  dialog->DefaultExt = request.DefaultExt;
  if (!dialog->Execute()) return std::nullopt;
  return QRFileDialogAnswer{dialog->FileName, dialog->FilterIndex};
}

// The twelve glyphs, drawn here in the order of the buttons.
void DrawGlyph(HDC dc, int index) {
  const auto pen = [&](COLORREF colour, int width = 1) {
    DeleteObject(SelectObject(dc, CreatePen(PS_SOLID, width, colour)));
  };
  const auto brush = [&](COLORREF colour) { DeleteObject(SelectObject(dc, CreateSolidBrush(colour))); };
  const auto poly = [&](std::initializer_list<POINT> points) {
    Polygon(dc, points.begin(), static_cast<int>(points.size()));
  };
  const auto line = [&](int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  };
  const auto page = [&](int l, int t, int r, int b) {
    pen(RGB(0, 0, 0));
    brush(RGB(255, 255, 255));
    Rectangle(dc, l, t, r, b);
  };
  const COLORREF blue = RGB(0, 0, 160);
  switch (index) {
    case 0:  // zoom to fit: a page in four corner brackets
      page(5, 3, 11, 13);
      pen(blue);
      line(1, 4, 1, 1), line(1, 1, 4, 1), line(12, 1, 15, 1), line(14, 1, 14, 4);
      line(1, 12, 1, 15), line(1, 14, 4, 14), line(12, 14, 15, 14), line(14, 12, 14, 15);
      break;
    case 1:  // 100%: a magnifying glass
      pen(RGB(0, 0, 0));
      brush(RGB(200, 230, 255));
      Ellipse(dc, 1, 1, 11, 11);
      pen(RGB(0, 0, 0), 3);
      line(10, 10, 14, 14);
      pen(blue);
      line(6, 3, 6, 9), line(5, 4, 6, 3);
      break;
    case 2:  // zoom to width: a page with an arrow across it
      page(3, 1, 13, 15);
      pen(blue);
      brush(blue);
      line(1, 8, 15, 8);
      poly({{0, 8}, {3, 5}, {3, 11}});
      poly({{15, 8}, {12, 5}, {12, 11}});
      break;
    case 3:  // first page
    case 4:  // previous page
    case 5:  // next page
    case 6:  // last page
      pen(blue);
      brush(blue);
      if (index <= 4)
        poly({{4, 8}, {11, 2}, {11, 14}});
      else
        poly({{11, 8}, {4, 2}, {4, 14}});
      if (index == 3) Rectangle(dc, 2, 2, 4, 15);
      if (index == 6) Rectangle(dc, 12, 2, 14, 15);
      break;
    case 7:  // printer setup: a printer with a check list beside it
    case 8:  // print: a printer with a sheet in it
      page(4, 1, 12, 7);
      pen(RGB(0, 0, 0));
      brush(RGB(160, 160, 160));
      Rectangle(dc, 1, 6, 15, 13);
      brush(RGB(255, 255, 255));
      Rectangle(dc, 4, 11, 12, 15);
      if (index == 7) {
        brush(RGB(255, 200, 0));
        Ellipse(dc, 9, 7, 16, 14);
        pen(RGB(0, 0, 0));
        line(12, 8, 12, 13), line(10, 10, 15, 10);
      } else {
        pen(RGB(0, 160, 0));
        line(3, 8, 5, 8);
      }
      break;
    case 9:  // save: a diskette
      pen(RGB(0, 0, 0));
      brush(blue);
      Rectangle(dc, 1, 1, 15, 15);
      brush(RGB(255, 255, 255));
      Rectangle(dc, 4, 2, 12, 7);
      brush(RGB(192, 192, 192));
      Rectangle(dc, 4, 10, 12, 15);
      break;
    case 10:  // load: an open folder
      pen(RGB(0, 0, 0));
      brush(RGB(220, 180, 40));
      poly({{1, 4}, {5, 4}, {6, 5}, {13, 5}, {13, 13}, {1, 13}});
      brush(RGB(255, 230, 120));
      poly({{3, 8}, {15, 8}, {13, 13}, {1, 13}});
      break;
    case 11:  // close: a door with an arrow out of it
      pen(RGB(0, 0, 0));
      brush(RGB(150, 90, 40));
      Rectangle(dc, 2, 1, 9, 15);
      pen(RGB(200, 0, 0), 2);
      line(8, 8, 14, 8);
      line(11, 5, 14, 8), line(11, 11, 14, 8);
      break;
  }
  DeleteObject(SelectObject(dc, GetStockObject(BLACK_PEN)));
  DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
}

void AddGlyphs(fw::TImageList& images) {
  fw::TBitmap strip;
  strip.SetSize(kGlyphSize * kGlyphCount, kGlyphSize);
  HDC dc = strip.Canvas().Handle();
  HBRUSH background = CreateSolidBrush(kGlyphMask);
  RECT all{0, 0, kGlyphSize * kGlyphCount, kGlyphSize};
  FillRect(dc, &all, background);
  DeleteObject(background);
  for (int i = 0; i < kGlyphCount; ++i) {
    SetViewportOrgEx(dc, i * kGlyphSize, 0, nullptr);
    DrawGlyph(dc, i);
  }
  SetViewportOrgEx(dc, 0, 0, nullptr);
  images.AddMasked(strip, static_cast<fw::TColor>(kGlyphMask));
}

}  // namespace

QRFileDialogFunction SetPreviewFileDialog(QRFileDialogFunction function) {
  QRFileDialogFunction previous = std::move(FileDialog());
  FileDialog() = std::move(function);
  return previous;
}

TQRStandardPreview::TQRStandardPreview(fw::TComponent* owner, TQRPrinter& producer)
    : TForm(owner), producer_(&producer), preview_(new TQRPreview(this)) {
  SetCaption(producer.Title.empty() ? "Print Preview" : producer.Title);
  SetPosition(fw::TPosition::poScreenCenter);
  SetBounds(0, 0, 640, 480);
  preview_->SetParent(this);
  preview_->OnPageAvailable = [this](fw::TComponent*, std::int32_t) {
    UpdatePageStatus();
    EnableFileButtons();
  };
  preview_->OnProgressUpdate = [this](fw::TComponent*, std::int32_t p) { ProgressUpdate(p); };
  SetWindowState(fw::TWindowState::wsMaximized);
  SetKeyPreview(true);
  OnKeyDown = [this](fw::TComponent*, WORD& key, unsigned shift) { FormKeyDown(key, shift); };
  preview_->SetTabStop(true);
  OnClose = [this](fw::TComponent*, fw::TCloseAction& action) {
    // Detached first: the report may release the producer when told.
    TQRPrinter* producer = producer_;
    producer_ = nullptr;
    preview_->SetProducer(nullptr);
    if (producer) producer->ClosePreview();
    action = fw::TCloseAction::caFree;
  };
  HandleNeeded();
  CreateBars();
  preview_->SetProducer(&producer);
  ToolButton(QRPreviewButton::ZoomToWidth)->SetDown(true);
  SetPanel(0, "0%");
  SetPanel(1, "Page");
  EnableFileButtons();
  LayOut();
}

void TQRStandardPreview::CreateBars() {
  images_ = new fw::TImageList(this, kGlyphSize, kGlyphSize);
  AddGlyphs(*images_);
  // The bar gets its window once its buttons are all there, not once for each.
  toolBar_ = new fw::TToolBar(this);
  toolBar_->SetFlat(true);
  toolBar_->SetAutoSize(true);
  toolBar_->SetBorderWidth(2);
  toolBar_->SetImages(images_);
  int image = 0;
  for (const ButtonRow& row : kButtons) {
    auto* button = new fw::TToolButton(
        toolBar_, row.Grouped ? fw::TToolButtonStyle::tbsCheck : fw::TToolButtonStyle::tbsButton);
    // The button's id is its command, for programs that drive the window.
    button->SetCommandId(static_cast<int>(row.Id));
    button->SetGrouped(row.Grouped);
    button->SetImageIndex(image++);
    button->SetHint(row.Hint);
    button->OnClick = [this, id = row.Id](fw::TComponent*) { fw::Guarded(this, [&] { Click(id); }); };
    buttons_.push_back(button);
    if (row.DividerAfter) new fw::TToolButton(toolBar_, fw::TToolButtonStyle::tbsDivider);
  }
  closeButton_ = new fw::TSpeedButton(this);
  closeButton_->SetCaption("&Close");
  closeButton_->SetHint(kCloseHint);
  closeButton_->SetGlyph(images_, image);
  closeButton_->SetWidth(70);
  closeButton_->OnClick = [this](fw::TComponent*) { fw::Guarded(this, [&] { Click(QRPreviewButton::Exit); }); };
  toolBar_->AddControl(closeButton_);
  toolBar_->SetParent(this);

  statusBar_ = new fw::TStatusBar(this);
  statusBar_->SetParent(this);
  statusBar_->AddPanel(40, fw::TAlignment::taRightJustify);
  statusBar_->AddPanel(50);
}

fw::TToolButton* TQRStandardPreview::ToolButton(QRPreviewButton button) const {
  const auto index = static_cast<size_t>(static_cast<int>(button) - static_cast<int>(QRPreviewButton::ZoomFit));
  return index < buttons_.size() ? buttons_[index] : nullptr;
}

void TQRStandardPreview::LayOut() {
  if (!toolBar_ || !statusBar_) return;
  const int top = toolBar_->Height();
  const int bottom = statusBar_->BarHeight();
  preview_->SetBounds(0, top, ClientWidth(), std::max(ClientHeight() - top - bottom, 0));
}

void TQRStandardPreview::Resize() {
  LayOut();
  TForm::Resize();
}

void TQRStandardPreview::SetPanel(int panel, const std::string& text) {
  statusBar_->SetPanelText(panel, text);
}

std::string TQRStandardPreview::PanelText(int panel) const { return statusBar_->Panel(panel).Text; }

bool TQRStandardPreview::ButtonEnabled(QRPreviewButton button) const {
  const fw::TToolButton* tool = ToolButton(button);
  return tool ? tool->Enabled() : closeButton_->Enabled();
}

bool TQRStandardPreview::ButtonChecked(QRPreviewButton button) const {
  const fw::TToolButton* tool = ToolButton(button);
  return tool && tool->Down();
}

std::string TQRStandardPreview::ButtonHint(QRPreviewButton button) const {
  const fw::TToolButton* tool = ToolButton(button);
  return tool ? tool->Hint() : closeButton_->Hint();
}

void TQRStandardPreview::EnableFileButtons() {
  // A run still storing pages can be neither saved whole nor replaced.
  const bool busy = producer_ && producer_->Status() == TQRStatus::qsBusy;
  ToolButton(QRPreviewButton::SaveReport)->SetEnabled(!busy);
  ToolButton(QRPreviewButton::LoadReport)->SetEnabled(!busy);
  if (loaded_) ToolButton(QRPreviewButton::PrintSetup)->SetEnabled(false);
}

void TQRStandardPreview::UpdatePageStatus() {
  SetPanel(1, PreviewPageStatus(preview_->PageNumber(), preview_->PagesAvailable()));
}

void TQRStandardPreview::ProgressUpdate(std::int32_t progress) {
  if (const std::optional<std::string> text = progressPanel_.Update(progress)) SetPanel(0, *text);
  EnableFileButtons();
}

void TQRStandardPreview::Click(QRPreviewButton button) {
  const auto check = [&] { ToolButton(button)->SetDown(true); };
  switch (button) {
    case QRPreviewButton::ZoomFit:
      check();
      fw::Application()->ProcessMessages();
      preview_->ZoomToFit();
      break;
    case QRPreviewButton::Zoom100:
      check();
      fw::Application()->ProcessMessages();
      preview_->SetZoom(100);
      break;
    case QRPreviewButton::ZoomToWidth:
      check();
      fw::Application()->ProcessMessages();
      preview_->ZoomToWidth();
      break;
    case QRPreviewButton::FirstPage:
    case QRPreviewButton::PreviousPage:
    case QRPreviewButton::NextPage:
    case QRPreviewButton::LastPage: {
      const QRPageKeyMove move = button == QRPreviewButton::FirstPage      ? QRPageKeyMove::First
                                 : button == QRPreviewButton::PreviousPage ? QRPageKeyMove::Previous
                                 : button == QRPreviewButton::NextPage     ? QRPageKeyMove::Next
                                                                           : QRPageKeyMove::Last;
      preview_->SetPageNumber(PreviewMoveTarget(move, preview_->PageNumber(), preview_->PagesAvailable()));
      UpdatePageStatus();
      break;
    }
    case QRPreviewButton::PrintSetup:
      if (producer_ && producer_->OnSetupRequest) producer_->OnSetupRequest(producer_);
      break;
    case QRPreviewButton::Print:
      if (!producer_) break;
      if (!producer_->PrinterAvailable()) {
        fw::MessageDlg("No printer is installed.", fw::TMsgDlgType::mtError, fw::mbOK);
        break;
      }
      try {
        producer_->Print();
      } catch (const fw::Exception& e) {
        fw::MessageDlg(e.Message(), fw::TMsgDlgType::mtError, fw::mbOK);
      }
      break;
    case QRPreviewButton::SaveReport:
      SaveClick();
      break;
    case QRPreviewButton::LoadReport:
      LoadClick();
      break;
    case QRPreviewButton::Exit:
      Close();
      break;
  }
}

void TQRStandardPreview::SaveClick() {
  if (!producer_ || producer_->Status() == TQRStatus::qsBusy) return;
  QRFileDialogRequest request{true, "Save report",
                              std::string("Report file") + "(*." + "QRP" + ")|*." + "QRP", "QRP"};
  const std::optional<QRFileDialogAnswer> answer =
      FileDialog() ? FileDialog()(request) : SystemFileDialog(request);
  if (!answer || answer->FilterIndex != 1) return;
  try {
    producer_->Save(answer->FileName);
  } catch (const fw::Exception& e) {
    fw::MessageDlg(e.Message(), fw::TMsgDlgType::mtError, fw::mbOK);
  }
}

void TQRStandardPreview::LoadClick() {
  if (!producer_ || producer_->Status() == TQRStatus::qsBusy) return;
  QRFileDialogRequest request{false, "Load report",
                              std::string("Report file") + " (*." + "QRP" + ")|*." + "QRP", ""};
  const std::optional<QRFileDialogAnswer> answer =
      FileDialog() ? FileDialog()(request) : SystemFileDialog(request);
  if (!answer) return;
  if (!fw::FileExists(answer->FileName)) {
    fw::ShowMessage("File does not exist");
    return;
  }
  try {
    producer_->Load(answer->FileName);
  } catch (const fw::Exception& e) {
    fw::MessageDlg(e.Message(), fw::TMsgDlgType::mtError, fw::mbOK);
    return;
  }
  loaded_ = true;
  preview_->ShowFirstPage();
  UpdatePageStatus();
  EnableFileButtons();
}

void TQRStandardPreview::FormKeyDown(WORD& key, unsigned shift) {
  const QRPageKeyMove move = PreviewKeyMove(key, shift == fw::ssCtrl);
  if (move == QRPageKeyMove::None) return;
  preview_->SetPageNumber(PreviewMoveTarget(move, preview_->PageNumber(), preview_->PagesAvailable()));
  UpdatePageStatus();
}

QRWindow TQRStandardPreviewInterface::Show(TQRPrinter& printer) {
  auto* form = new TQRStandardPreview(fw::Application(), printer);
  form->Show();
  form->QRPreview().SetFocus();
  form->UpdatePageStatus();
  return reinterpret_cast<QRWindow>(form->Handle());
}

QRWindow TQRStandardPreviewInterface::ShowModal(TQRPrinter& printer) {
  std::unique_ptr<TQRStandardPreview> form(new TQRStandardPreview(fw::Application(), printer));
  form->OnShow = [form = form.get()](fw::TComponent*) { form->UpdatePageStatus(); };
  // Closing runs the window's close handler (detach, then tell the report);
  // the window is freed here rather than later, as the caller may end next.
  form->ShowModal();
  // A loop ended by the application's end skips the close handler: the
  // report is told all the same, so it can let the producer go.
  if (form->Producer() && form->OnClose) {
    fw::TCloseAction action = fw::TCloseAction::caFree;
    form->OnClose(form.get(), action);
  }
  return 0;
}

void RegisterStandardPreview() {
  RegisterPreviewInterface([] { return std::make_unique<TQRStandardPreviewInterface>(); });
}

}  // namespace report
