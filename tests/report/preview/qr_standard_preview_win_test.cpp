// The standard preview window on the test display: opened by a real producer
// through its preview factory, fed page by page by the test, with a stand-in
// owner window for the report that records what the window tells it.
#include "report/preview/qr_standard_preview_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "report/printing/printing_platform_win.h"
#include "tests/support/pdf_output.h"
#include "tests/support/screenshot.h"

namespace report {
namespace {

using Button = QRPreviewButton;

// The report's window: records QRM_PRINT and QRM_CLOSEPREVIEW; on the latter
// it checks that the preview let go of the producer, then frees it.
struct OwnerRecord {
  int prints = 0;
  int closes = 0;
  bool detachedWhenClosed = false;
  bool cancelledWhenClosed = false;
  std::unique_ptr<TQRPrinter>* producer = nullptr;
};
OwnerRecord owner;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == QRM_PRINT) {
    ++owner.prints;
    return 0;
  }
  if (message == QRM_CLOSEPREVIEW) {
    ++owner.closes;
    auto* closing = reinterpret_cast<TQRPrinter*>(lParam);
    if (owner.producer && owner.producer->get() == closing) {
      owner.detachedWhenClosed = closing->ClientWindow == 0 && !closing->PreviewShown();
      owner.cancelledWhenClosed = closing->CancelRequested();
      owner.producer->reset();
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND OwnerWindow() {
  static HWND window = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PreviewTestOwner";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "PreviewTestOwner", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }();
  return window;
}

class StandardPreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterStandardPreview();
    owner = OwnerRecord{};
    owner.producer = &producer_;
    producer_ = NewProducer();
    messageBoxes_.clear();
    previousBox_ = fw::SetMessageBoxFunction([this](const fw::MessageBoxRequest& request) {
      messageBoxes_.push_back(request.Text);
      return fw::mrOk;
    });
  }

  void TearDown() override {
    SetPreviewFileDialog(nullptr);
    fw::SetMessageBoxFunction(previousBox_);
    if (form_ && IsWindow(window_)) {
      form_->Close();
      Pump();
    }
    owner.producer = nullptr;
    producer_.reset();
  }

  std::unique_ptr<TQRPrinter> NewProducer() {
    auto producer = std::make_unique<TQRPrinter>(services_.Services());
    producer->OwnerReport = reinterpret_cast<QRWindow>(OwnerWindow());
    return producer;
  }

  void Pump() { services_.Services().Messages.ProcessMessages(); }

  TQRStandardPreview* OpenPreview(TQRPrinter& producer) {
    producer.Preview();
    window_ = reinterpret_cast<HWND>(producer.PreviewForm);
    form_ = dynamic_cast<TQRStandardPreview*>(fw::TControl::FromHandle(window_));
    Pump();
    return form_;
  }

  void DrawPage(TQRPrinter& producer, int n) {
    producer.NewPage();
    QRPageCanvas& canvas = producer.Canvas();
    canvas.SetFont({"Arial", 24, 0, 0});
    canvas.SetTransparentText(true);
    canvas.TextOut(producer.ToDeviceX(254), producer.ToDeviceY(254), "Page " + std::to_string(n));
    Pump();
  }

  void RunPages(TQRPrinter& producer, int pages) {
    producer.BeginDoc();
    for (int i = 1; i <= pages; ++i) DrawPage(producer, i);
    producer.EndDoc();
    Pump();
  }

  void Screenshot(const std::string& name) {
    Pump();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(test_support::SaveBitmap(name, test_support::CaptureWindow(window_))) << name;
  }

  std::string Status() { return form_->PanelText(1); }

  Win32PrintingServices services_;
  std::unique_ptr<TQRPrinter> producer_;
  TQRStandardPreview* form_ = nullptr;
  HWND window_ = nullptr;
  std::vector<std::string> messageBoxes_;
  fw::MessageBoxFunction previousBox_;
};

TEST_F(StandardPreviewTest, TheWindowAndItsBars) {
  RunPages(*producer_, 1);
  ASSERT_NE(OpenPreview(*producer_), nullptr);
  EXPECT_TRUE(IsZoomed(window_));
  EXPECT_EQ(form_->WindowState(), fw::TWindowState::wsMaximized);
  EXPECT_TRUE(form_->KeyPreview());
  EXPECT_EQ(form_->Caption(), "Print Preview");
  EXPECT_EQ(producer_->ClientWindow, reinterpret_cast<QRWindow>(form_->QRPreview().Handle()));
  EXPECT_TRUE(form_->ButtonChecked(Button::ZoomToWidth));
  EXPECT_FALSE(form_->ButtonChecked(Button::ZoomFit));
  const struct {
    Button button;
    const char* hint;
  } hints[] = {{Button::ZoomFit, "Zoom to fit"},
               {Button::Zoom100, "100%"},
               {Button::ZoomToWidth, "Zoom to width"},
               {Button::FirstPage, "First page"},
               {Button::PreviousPage, "Previous page"},
               {Button::NextPage, "Next page"},
               {Button::LastPage, "Last page"},
               {Button::PrintSetup, "Printer setup"},
               {Button::Print, "Print"},
               {Button::SaveReport, "Save Report"},
               {Button::LoadReport, "Load Report"},
               {Button::Exit, "&Close"}};
  for (const auto& h : hints) {
    EXPECT_EQ(form_->ButtonHint(h.button), h.hint);
    EXPECT_TRUE(form_->ButtonEnabled(h.button)) << h.hint;
    // What the tool bar's tooltip shows.
    if (fw::TToolButton* button = form_->ToolButton(h.button)) {
      EXPECT_EQ(form_->ToolBarControl().TooltipText(*button), h.hint);
    }
  }
  int setupRequests = 0;
  producer_->OnSetupRequest = [&](TQRPrinter* sender) {
    EXPECT_EQ(sender, producer_.get());
    ++setupRequests;
  };
  form_->Click(Button::PrintSetup);
  EXPECT_EQ(setupRequests, 1);
  // Eleven buttons and the close button's room, with dividers between the
  // five groups; the close button a speed button in the bar.
  EXPECT_EQ(SendMessageA(form_->ToolBar(), TB_BUTTONCOUNT, 0, 0), 16);
  EXPECT_EQ(GetParent(form_->CloseButton().Handle()), form_->ToolBar());
  EXPECT_EQ(form_->CloseButton().Caption(), "&Close");
  RECT toolBar{}, preview{}, status{};
  GetWindowRect(form_->ToolBar(), &toolBar);
  GetWindowRect(form_->QRPreview().Handle(), &preview);
  GetWindowRect(form_->StatusBar(), &status);
  EXPECT_LE(toolBar.bottom, preview.top);
  EXPECT_LE(preview.bottom, status.top);
  EXPECT_EQ(Status(), "Page 1 of 1");
}

TEST_F(StandardPreviewTest, ALiveRunOfFivePages) {
  producer_->Title = "Five pages";
  ASSERT_NE(OpenPreview(*producer_), nullptr);
  EXPECT_EQ(form_->Caption(), "Five pages");
  EXPECT_EQ(form_->PanelText(0), "0%");
  producer_->BeginDoc();
  DrawPage(*producer_, 1);
  EXPECT_FALSE(form_->QRPreview().Image().HasPage());
  DrawPage(*producer_, 2);
  EXPECT_TRUE(form_->QRPreview().Image().HasPage());
  EXPECT_EQ(Status(), "Page 1 of 1");
  EXPECT_FALSE(form_->ButtonEnabled(Button::SaveReport));
  EXPECT_FALSE(form_->ButtonEnabled(Button::LoadReport));
  WORD end = kKeyEnd;
  form_->FormKeyDown(end, 0);
  EXPECT_EQ(Status(), "Page 1 of 1") << "the page being drawn is out of reach";
  const struct {
    int progress;
    const char* panel;
  } progress[] = {{3, "0%"}, {5, "5%"}, {7, "5%"}, {10, "10%"}, {100, ""}};
  for (const auto& p : progress) {
    producer_->SetProgress(p.progress);
    Pump();
    EXPECT_EQ(form_->PanelText(0), p.panel) << p.progress;
  }
  for (int i = 3; i <= 5; ++i) DrawPage(*producer_, i);
  producer_->EndDoc();
  Pump();
  EXPECT_EQ(Status(), "Page 1 of 5");
  EXPECT_TRUE(form_->ButtonEnabled(Button::SaveReport));
  EXPECT_TRUE(form_->ButtonEnabled(Button::LoadReport));
  Screenshot("report_standard_preview_width.bmp");

  const struct {
    WORD key;
    unsigned shift;
    const char* status;
  } keys[] = {{kKeyEnd, 0, "Page 5 of 5"},      {kKeyHome, 0, "Page 1 of 5"},
              {kKeyPageUp, 0, "Page 1 of 5"},   {kKeyPageDown, fw::ssCtrl, "Page 5 of 5"},
              {kKeyPageUp, 0, "Page 4 of 5"},   {kKeyPageUp, fw::ssCtrl, "Page 1 of 5"},
              {kKeyPageDown, 0, "Page 2 of 5"}, {kKeyPageDown, fw::ssCtrl | fw::ssShift, "Page 3 of 5"}};
  for (const auto& k : keys) {
    WORD key = k.key;
    form_->FormKeyDown(key, k.shift);
    EXPECT_EQ(Status(), k.status) << k.key << " " << k.shift;
  }
  // A real key press reaches the window too.
  SetForegroundWindow(window_);
  form_->QRPreview().SetFocus();
  PostMessageA(form_->QRPreview().Handle(), WM_KEYDOWN, VK_END, 0);
  Pump();
  EXPECT_EQ(Status(), "Page 5 of 5");
  // The form previews the keys of the control with the focus, with the
  // keyboard's shift state: Ctrl+Page Up goes to the first page.
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = 0x80;
  SetKeyboardState(state);
  PostMessageA(form_->QRPreview().Handle(), WM_KEYDOWN, VK_PRIOR, 0);
  Pump();
  state[VK_CONTROL] = 0;
  SetKeyboardState(state);
  EXPECT_EQ(Status(), "Page 1 of 5");
  PostMessageA(form_->QRPreview().Handle(), WM_KEYDOWN, VK_NEXT, 0);
  Pump();
  EXPECT_EQ(Status(), "Page 2 of 5");
  PostMessageA(form_->QRPreview().Handle(), WM_KEYDOWN, VK_END, 0);
  Pump();

  const struct {
    Button button;
    const char* status;
  } clicks[] = {{Button::FirstPage, "Page 1 of 5"}, {Button::PreviousPage, "Page 1 of 5"},
                {Button::NextPage, "Page 2 of 5"},  {Button::LastPage, "Page 5 of 5"},
                {Button::NextPage, "Page 5 of 5"},  {Button::PreviousPage, "Page 4 of 5"}};
  for (const auto& c : clicks) {
    SendMessageA(window_, WM_COMMAND, static_cast<WPARAM>(form_->ToolButton(c.button)->CommandId()),
                 reinterpret_cast<LPARAM>(form_->ToolBar()));
    EXPECT_EQ(Status(), c.status);
  }
  form_->Click(Button::ZoomFit);
  EXPECT_TRUE(form_->ButtonChecked(Button::ZoomFit));
  EXPECT_FALSE(form_->ButtonChecked(Button::ZoomToWidth));
  EXPECT_EQ(form_->QRPreview().ZoomState(), TQRZoomState::zmFit);
  Screenshot("report_standard_preview_fit.bmp");
  form_->Click(Button::Zoom100);
  EXPECT_EQ(form_->QRPreview().Zoom(), 100);

  // Closed after the run: the report hears once and releases the producer.
  form_->Click(Button::Exit);
  Pump();
  EXPECT_EQ(owner.closes, 1);
  EXPECT_TRUE(owner.detachedWhenClosed);
  EXPECT_EQ(producer_, nullptr);
  EXPECT_FALSE(IsWindow(window_));
  form_ = nullptr;
}

TEST_F(StandardPreviewTest, ClosingDuringTheRunCancelsItAndNeverTouchesTheReleasedProducer) {
  ASSERT_NE(OpenPreview(*producer_), nullptr);
  TQRPrinter* producer = producer_.get();
  producer->BeginDoc();
  DrawPage(*producer, 1);
  DrawPage(*producer, 2);
  PostMessageA(window_, WM_CLOSE, 0, 0);
  // The report's loop: it pumps between pages and stops once told.
  for (int i = 3; i <= 5 && producer_; ++i) DrawPage(*producer, i);
  Pump();
  EXPECT_EQ(owner.closes, 1);
  EXPECT_TRUE(owner.detachedWhenClosed);
  EXPECT_TRUE(owner.cancelledWhenClosed);
  EXPECT_EQ(producer_, nullptr);
  EXPECT_FALSE(IsWindow(window_));
  form_ = nullptr;
}

TEST_F(StandardPreviewTest, PrintOnALivePreviewAsksTheReport) {
  RunPages(*producer_, 2);
  ASSERT_NE(OpenPreview(*producer_), nullptr);
  form_->Click(Button::Print);
  Pump();
  EXPECT_EQ(owner.prints, 1);
  EXPECT_TRUE(messageBoxes_.empty());
}

// The modal preview, driven from a timer while its loop runs: it comes up
// maximised on page 1, and closing it tells the report once, detached, and
// frees the window before ShowModal returns.
struct ModalVisit {
  bool seen = false, zoomed = false;
  std::string status;
  HWND window = nullptr;
  bool terminate = false;
};
ModalVisit modalVisit;

void CALLBACK VisitModalPreview(HWND, UINT, UINT_PTR id, DWORD) {
  HWND window = FindWindowA(nullptr, "Modal pages");
  if (!window || !IsWindowVisible(window)) return;
  KillTimer(nullptr, id);
  auto* form = dynamic_cast<TQRStandardPreview*>(fw::TControl::FromHandle(window));
  modalVisit.seen = form != nullptr;
  modalVisit.window = window;
  modalVisit.zoomed = IsZoomed(window) != FALSE;
  if (form) modalVisit.status = form->PanelText(1);
  if (modalVisit.terminate)
    fw::Application()->Terminate();
  else
    PostMessageA(window, WM_CLOSE, 0, 0);
}

TEST_F(StandardPreviewTest, ShowModalReturnsOnceTheWindowClosed) {
  for (const bool terminate : {false, true}) {
    SCOPED_TRACE(terminate ? "application ends" : "window closed");
    owner = OwnerRecord{};
    owner.producer = &producer_;
    producer_ = NewProducer();
    producer_->Title = "Modal pages";
    RunPages(*producer_, 3);
    modalVisit = ModalVisit{};
    modalVisit.terminate = terminate;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, VisitModalPreview);
    TQRStandardPreviewInterface preview;
    EXPECT_EQ(preview.ShowModal(*producer_), 0u);
    KillTimer(nullptr, timer);
    fw::Application()->ResetTerminated();
    // The quit message of an ended application is not left for the next case.
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    EXPECT_TRUE(modalVisit.seen);
    EXPECT_TRUE(modalVisit.zoomed);
    EXPECT_EQ(modalVisit.status, "Page 1 of 3");
    EXPECT_FALSE(IsWindow(modalVisit.window));
    EXPECT_EQ(owner.closes, 1);
    EXPECT_TRUE(owner.detachedWhenClosed);
    EXPECT_EQ(producer_, nullptr);
  }
}

// The application ends with the modeless preview open: its loop is over, so
// the window's deferred release never comes. Either the report goes first
// (it closes the window showing its producer, then frees the producer) or the
// application frees its forms first; neither touches a released producer.
TEST_F(StandardPreviewTest, TheApplicationEndsWithThePreviewOpen) {
  for (const bool reportFirst : {true, false}) {
    SCOPED_TRACE(reportFirst ? "report freed first" : "window freed first");
    owner = OwnerRecord{};
    owner.producer = &producer_;
    producer_ = NewProducer();
    RunPages(*producer_, 2);
    ASSERT_NE(OpenPreview(*producer_), nullptr);
    fw::Application()->Terminate();
    Pump();
    if (reportFirst) {
      // The report's release: the window showing the producer closes without
      // telling the report, which is the one releasing it.
      producer_->OwnerReport = 0;
      form_->Close();
      EXPECT_EQ(form_->QRPreview().Producer(), nullptr);
      EXPECT_EQ(form_->QRPreview().Image().Producer(), nullptr);
      EXPECT_FALSE(producer_->PreviewShown());
      EXPECT_EQ(producer_->ClientWindow, 0u);
      producer_.reset();
      EXPECT_TRUE(IsWindow(window_)) << "freed only when the application frees its forms";
      delete form_;
    } else {
      delete form_;
      EXPECT_FALSE(producer_->PreviewShown());
      EXPECT_EQ(producer_->ClientWindow, 0u);
      producer_.reset();
    }
    form_ = nullptr;
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(owner.closes, 0);
    fw::Application()->ResetTerminated();
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    Pump();
  }
}

TEST_F(StandardPreviewTest, TheBaseInterfaceOpensNothing) {
  TQRPreviewInterface none;
  EXPECT_EQ(none.Show(*producer_), 0u);
  EXPECT_EQ(none.ShowModal(*producer_), 0u);
  EXPECT_FALSE(producer_->PreviewShown());
}

// No printer at all: the system knows none.
class NoPrinters : public QRPrinterFactory {
 public:
  std::int32_t GlobalPrinterCount() override { return 0; }
  std::int32_t GlobalPrinterIndex() override { return -1; }
  std::unique_ptr<QRPlatformPrinter> CreatePrinter() override { return nullptr; }
};

TEST_F(StandardPreviewTest, PrintWithoutAPrinterSaysSo) {
  NoPrinters none;
  const QRPrinterServices real = services_.Services();
  auto producer = std::make_unique<TQRPrinter>(
      QRPrinterServices{none, real.Pages, real.Messages, real.Files, real.Clock});
  producer->OwnerReport = reinterpret_cast<QRWindow>(OwnerWindow());
  ASSERT_FALSE(producer->PrinterAvailable());
  RunPages(*producer, 1);
  ASSERT_NE(OpenPreview(*producer), nullptr);
  form_->Click(Button::Print);
  Pump();
  EXPECT_EQ(owner.prints, 0);
  EXPECT_EQ(messageBoxes_, (std::vector<std::string>{"No printer is installed."}));
  form_->Close();
  Pump();
  form_ = nullptr;
}

// A page file written by a preview and read back by another.
class PreviewFileTest : public StandardPreviewTest {
 protected:
  std::string Path(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    DeleteFileA(path.c_str());
    return path;
  }
  void Answer(const std::string& name, int filterIndex = 1) {
    SetPreviewFileDialog([this, name, filterIndex](const QRFileDialogRequest& request) {
      requests_.push_back(request);
      return std::optional<QRFileDialogAnswer>(QRFileDialogAnswer{name, filterIndex});
    });
  }
  std::vector<QRFileDialogRequest> requests_;
};

TEST_F(PreviewFileTest, SaveThenLoadInAFreshPreviewThenPrintIt) {
  test_support::PdfOutput output;
  const std::string file = Path("preview_test.QRP");
  RunPages(*producer_, 3);
  ASSERT_NE(OpenPreview(*producer_), nullptr);
  Answer(file, 2);
  form_->Click(Button::SaveReport);
  EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES) << "only the first file type saves";
  Answer(file);
  form_->Click(Button::SaveReport);
  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_TRUE(requests_[1].Save);
  EXPECT_EQ(requests_[1].Title, "Save report");
  EXPECT_EQ(requests_[1].Filter, "Report file(*.QRP)|*.QRP");
  EXPECT_EQ(requests_[1].DefaultExt, "QRP");
  ASSERT_NE(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
  form_->Close();
  Pump();
  form_ = nullptr;

  producer_ = NewProducer();
  ASSERT_NE(OpenPreview(*producer_), nullptr);
  requests_.clear();
  form_->Click(Button::LoadReport);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_FALSE(requests_[0].Save);
  EXPECT_EQ(requests_[0].Title, "Load report");
  EXPECT_EQ(requests_[0].Filter, "Report file (*.QRP)|*.QRP");
  EXPECT_TRUE(messageBoxes_.empty());
  EXPECT_EQ(producer_->PageCount(), 3);
  EXPECT_TRUE(form_->QRPreview().Image().HasPage());
  EXPECT_EQ(Status(), "Page 1 of 3");
  EXPECT_FALSE(form_->ButtonEnabled(Button::PrintSetup));

  producer_->Title = test_support::PdfOutput::UniqueTitle("PreviewLoaded");
  form_->Click(Button::Print);
  const std::string pdf = output.WaitForPdf(producer_->Title);
  EXPECT_EQ(test_support::PdfPageCount(output.Info(pdf)), 3);
  std::string text;
  for (char c : output.Text(pdf))
    if (c != ' ' && c != '\n' && c != '\f' && c != '\r') text += c;
  EXPECT_EQ(text, "Page1Page2Page3");
  DeleteFileA(file.c_str());
}

TEST_F(PreviewFileTest, AMissingOrDamagedFileLeavesThePagesShown) {
  RunPages(*producer_, 2);
  ASSERT_NE(OpenPreview(*producer_), nullptr);
  Answer(Path("no_such_report.QRP"));
  form_->Click(Button::LoadReport);
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_EQ(messageBoxes_[0], "File does not exist");
  EXPECT_EQ(producer_->PageCount(), 2);

  const std::string damaged = Path("damaged_report.QRP");
  std::ofstream(damaged, std::ios::binary) << "not a report file at all, just some words";
  Answer(damaged);
  form_->Click(Button::LoadReport);
  ASSERT_EQ(messageBoxes_.size(), 2u);
  EXPECT_FALSE(messageBoxes_[1].empty());
  EXPECT_EQ(producer_->PageCount(), 2);
  EXPECT_TRUE(form_->ButtonEnabled(Button::PrintSetup));
  EXPECT_EQ(Status(), "Page 1 of 2");
  DeleteFileA(damaged.c_str());
}

// The system's save dialog, answered by the test as a user would: the name
// typed into its file name box, then OK.
std::string typedName;
bool dialogSeen = false;

void CALLBACK TypeIntoSaveDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = FindWindowA(nullptr, "Save report");
  if (!dialog) return;
  KillTimer(nullptr, id);
  dialogSeen = true;
  // The file name box of the Explorer-style and of the old-style dialog.
  for (int box : {0x47C, 0x480}) SetDlgItemTextA(dialog, box, typedName.c_str());
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

TEST_F(PreviewFileTest, SaveThroughTheSystemDialog) {
  typedName = Path("typed_report.QRP");
  dialogSeen = false;
  RunPages(*producer_, 2);
  ASSERT_NE(OpenPreview(*producer_), nullptr);
  SetPreviewFileDialog(nullptr);
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, TypeIntoSaveDialog);
  form_->Click(Button::SaveReport);
  KillTimer(nullptr, timer);
  EXPECT_TRUE(dialogSeen);
  ASSERT_NE(GetFileAttributesA(typedName.c_str()), INVALID_FILE_ATTRIBUTES);
  form_->Close();
  Pump();
  form_ = nullptr;

  producer_ = NewProducer();
  ASSERT_NE(OpenPreview(*producer_), nullptr);
  Answer(typedName);
  form_->Click(Button::LoadReport);
  EXPECT_TRUE(messageBoxes_.empty());
  EXPECT_EQ(producer_->PageCount(), 2);
  EXPECT_EQ(Status(), "Page 1 of 2");
  DeleteFileA(typedName.c_str());
}

// Every file of the page-file fuzz corpus that the loader takes is shown and
// each of its pages painted: the system plays the metafile records, so a
// hostile page shows here.
TEST_F(PreviewFileTest, EveryPageOfTheCorpusFilesTheLoaderTakesIsPainted) {
  RunPages(*producer_, 1);
  ASSERT_NE(OpenPreview(*producer_), nullptr);
  int files = 0, taken = 0, pages = 0;
  for (const std::string& folder : {std::string(PAGE_FILE_SEEDS), std::string(PAGE_FILE_SEEDS) + "/damaged"}) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "/*.qrp").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << folder;
    do {
      const std::string file = folder + "/" + found.cFileName;
      SCOPED_TRACE(file);
      ++files;
      messageBoxes_.clear();
      Answer(file);
      form_->Click(Button::LoadReport);
      if (!messageBoxes_.empty()) continue;  // refused, with its message
      ++taken;
      for (int n = 1; n <= producer_->PageCount(); ++n) {
        form_->QRPreview().SetPageNumber(n);
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
        ++pages;
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  EXPECT_GT(files, 10);
  EXPECT_GT(taken, 3);
  EXPECT_GT(pages, 10);
  EXPECT_TRUE(IsWindow(window_));
}

}  // namespace
}  // namespace report
