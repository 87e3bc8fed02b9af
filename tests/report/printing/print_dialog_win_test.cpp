// The system's print dialog under Wine, on the PDF test printer, answered from
// its OnShow through the dialog's standard control ids.
#include "report/printing/print_dialog_win.h"

#include <gtest/gtest.h>

#include <commdlg.h>

#include <functional>
#include <string>

#include "tests/support/pdf_output.h"
#include "tests/support/screenshot.h"

namespace report {
namespace {

// Control ids of the system's print dialog template.
constexpr int kAllPagesButton = 0x420;
constexpr int kPagesButton = 0x422;
constexpr int kFromEdit = 0x480;
constexpr int kToEdit = 0x481;
constexpr int kHelpButton = 0x40e;

// What the test does once the dialog is on the screen.
std::function<void(HWND)> answer;
HWND answered = nullptr;

void CALLBACK AnswerTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  if (answer) answer(window);
}

// Opens the dialog and runs respond on it half a second after it showed.
bool RunDialog(TQRPrintDialog& dialog, std::function<void(HWND)> respond) {
  answer = std::move(respond);
  answered = nullptr;
  dialog.OnShow = [&](fw::TComponent*) {
    answered = dialog.Handle();
    SetTimer(dialog.Handle(), 77, 500, AnswerTimer);
  };
  const bool confirmed = dialog.Execute();
  answer = nullptr;
  return confirmed;
}

TEST(PrintDialogWinTest, OpensCentredAThirdDownAndTakesAPageRange) {
  test_support::PdfOutput output;  // fails, saying so, without the test printer
  fw::TPrinter printer;
  ASSERT_FALSE(printer.Printers().empty());
  TQRPrintDialog dialog(nullptr);
  dialog.Printer = &printer;
  dialog.Options = poPageNums | poWarning;
  dialog.MinPage = 1;
  dialog.MaxPage = 9;
  dialog.FromPage = 1;
  dialog.ToPage = 9;
  int closed = 0;
  dialog.OnClose = [&](fw::TComponent*) { ++closed; };
  RECT shownAt{};
  LRESULT helpAnswer = -1;
  const bool confirmed = RunDialog(dialog, [&](HWND window) {
    // Help asked for without a help context is passed on, unanswered.
    helpAnswer = GetWindow(window, GW_OWNER)
                     ? SendMessageA(GetWindow(window, GW_OWNER), RegisterWindowMessageA("commdlg_help"), 0, 0)
                     : -2;
    GetWindowRect(window, &shownAt);
    const auto pixels = test_support::CaptureScreen(shownAt);
    test_support::SaveBitmap("print_dialog_win_test.bmp", pixels);
    SendMessageA(GetDlgItem(window, kPagesButton), BM_CLICK, 0, 0);
    SetDlgItemTextA(window, kFromEdit, "2");
    SetDlgItemTextA(window, kToEdit, "3");
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
  });
  ASSERT_NE(answered, nullptr) << "the dialog did not show";
  ASSERT_TRUE(confirmed);
  EXPECT_EQ(dialog.PrintRange, TPrintRange::prPageNums);
  EXPECT_EQ(dialog.FromPage, 2);
  EXPECT_EQ(dialog.ToPage, 3);
  EXPECT_EQ(dialog.Copies(), printer.Copies());
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(helpAnswer, 0);
  EXPECT_EQ(dialog.Handle(), nullptr);
  const QRDevicePoint origin = DialogOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                            shownAt.right - shownAt.left, shownAt.bottom - shownAt.top);
  EXPECT_EQ(shownAt.left, origin.X);
  EXPECT_EQ(shownAt.top, origin.Y);
  std::string device, driver, port;
  HGLOBAL mode = nullptr;
  printer.GetPrinter(device, driver, port, mode);
  EXPECT_EQ(device, "PDF");
  // The names come back from the dialog's own DEVNAMES: Wine names the driver there.
  EXPECT_FALSE(driver.empty());
  EXPECT_EQ(port, "CUPS:PDF");
}

// A dialog that counts the help requests its owner hears.
class HelpCountingDialog : public TQRPrintDialog {
 public:
  using TQRPrintDialog::TQRPrintDialog;
  int helpRequests = 0;

 protected:
  bool MessageHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    const bool handled = TQRPrintDialog::MessageHook(message, wParam, lParam, result);
    if (message == RegisterWindowMessageA("commdlg_help")) ++helpRequests;
    return handled;
  }
};

// The dialog's Help button asks its owner, which opens the help context.
TEST(PrintDialogWinTest, HelpReachesTheDialogsOwner) {
  test_support::PdfOutput output;
  fw::TPrinter printer;
  HelpCountingDialog dialog(nullptr);
  dialog.Printer = &printer;
  dialog.Options = poPageNums | poWarning | poHelp;
  dialog.HelpContext = 7;
  HWND owner = nullptr;
  const bool confirmed = RunDialog(dialog, [&](HWND window) {
    owner = GetWindow(window, GW_OWNER);
    SendMessageA(GetDlgItem(window, kHelpButton), BM_CLICK, 0, 0);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
  });
  ASSERT_NE(answered, nullptr);
  EXPECT_FALSE(confirmed);
  EXPECT_NE(owner, nullptr);
  EXPECT_EQ(dialog.helpRequests, 1);
}

TEST(PrintDialogWinTest, ACancelChangesNothing) {
  test_support::PdfOutput output;
  fw::TPrinter printer;
  TQRPrintDialog dialog(nullptr);
  dialog.Printer = &printer;
  dialog.Options = poPageNums | poWarning;
  dialog.MinPage = 1;
  dialog.MaxPage = 9;
  dialog.FromPage = 4;
  dialog.ToPage = 5;
  dialog.PrintRange = TPrintRange::prPageNums;
  const bool confirmed = RunDialog(dialog, [](HWND window) {
    SendMessageA(GetDlgItem(window, kAllPagesButton), BM_CLICK, 0, 0);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
  });
  ASSERT_NE(answered, nullptr);
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(dialog.PrintRange, TPrintRange::prPageNums);
  EXPECT_EQ(dialog.FromPage, 4);
  EXPECT_EQ(dialog.ToPage, 5);
}

// Windows refuses a range from 1 to 0 and PrintDlgA fails; Wine opens the
// dialog anyway. Either way the caller sees a cancel and nothing changes.
TEST(PrintDialogWinTest, AnEmptyPageRangeEndsAsACancel) {
  test_support::PdfOutput output;
  fw::TPrinter printer;
  TQRPrintDialog dialog(nullptr);
  dialog.Printer = &printer;
  dialog.Options = poPageNums | poWarning;
  // A finished run without pages: from 1 to 0.
  dialog.MinPage = 1;
  dialog.MaxPage = 0;
  dialog.FromPage = 1;
  dialog.ToPage = 0;
  const bool confirmed = RunDialog(dialog, [](HWND window) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
  });
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(dialog.FromPage, 1);
  EXPECT_EQ(dialog.ToPage, 0);
}

TEST(PrintDialogWinTest, TheDialogRecordIsThe64BitOne) { EXPECT_EQ(sizeof(PRINTDLGA), 120u); }

TEST(PrintDialogWinTest, CopiesWithoutAPrinterAreOnlyStored) {
  TQRPrintDialog dialog(nullptr);
  dialog.Printer = nullptr;
  dialog.SetCopies(3);
  EXPECT_EQ(dialog.Copies(), 3);
}

}  // namespace
}  // namespace report
