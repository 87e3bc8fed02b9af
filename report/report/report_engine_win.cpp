#include "report/report/report_engine_win.h"

#include <windows.h>

#include <oleauto.h>

#include <string>

#include "framework/application.h"
#include "framework/exceptions.h"
#include "framework/printers.h"
#include "report/preview/qr_progress_form_win.h"
#include "report/preview/qr_standard_preview_win.h"
#include "report/printing/measures_win.h"
#include "report/printing/print_dialog_win.h"
#include "report/printing/printing_platform_win.h"
#include "report/report/export_filters.h"

namespace report {
namespace {

// Date and time texts read as the user's locale writes them.
class WinDateTextConversion : public DateTextConversion {
 public:
  double StrToDate(std::string_view text) const override { return Read(text, VAR_DATEVALUEONLY, "date"); }
  double StrToTime(std::string_view text) const override { return Read(text, VAR_TIMEVALUEONLY, "time"); }
  double StrToDateTime(std::string_view text) const override { return Read(text, 0, "date and time"); }

 private:
  static double Read(std::string_view text, ULONG flags, const char* what) {
    const std::string quoted = "'" + std::string(text) + "' is not a valid " + what;
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (length > 0)
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    DATE date = 0;
    if (wide.empty() ||
        FAILED(VarDateFromStr(const_cast<OLECHAR*>(wide.c_str()), LOCALE_USER_DEFAULT, flags, &date)))
      throw fw::EConvertError(quoted);
    return date;
  }
};

class ProgressWindow : public QRProgressWindow {
 public:
  ProgressWindow(TQRPrinter& printer, bool show) : form_(std::make_unique<TQRProgressForm>(nullptr)) {
    form_->QRPrinter = &printer;
    if (show) {
      form_->Show();
      fw::Application()->ProcessMessages();
    }
  }
  QRWindow Handle() const override { return reinterpret_cast<QRWindow>(form_->Handle()); }

 private:
  std::unique_ptr<TQRProgressForm> form_;
};

}  // namespace

struct WinReportHost::Parts {
  Win32PrintingServices printing;
  QRScreenTextMeasurer measurer;
  WinDateTextConversion dates;
};

WinReportHost::WinReportHost() : parts_(std::make_unique<Parts>()) {}
WinReportHost::~WinReportHost() = default;

QRPrinterServices WinReportHost::PrinterServices() { return parts_->printing.Services(); }
void WinReportHost::ProcessMessages() { fw::Application()->ProcessMessages(); }
void WinReportHost::HandleMessage() { fw::Application()->HandleMessage(); }
bool WinReportHost::Terminated() { return fw::Application()->Terminated(); }
bool WinReportHost::JapaneseSystem() { return QRJapaneseSystem(); }
const DateTextConversion& WinReportHost::DateConversion() { return parts_->dates; }

std::unique_ptr<QRProgressWindow> WinReportHost::OpenProgress(TQRPrinter& printer, bool show) {
  return std::make_unique<ProgressWindow>(printer, show);
}

void WinReportHost::DetachPreview(TQRPrinter& printer) {
  // The producer is about to go: a preview window that still shows it closes
  // without telling the report, which is the one releasing it.
  printer.OwnerReport = 0;
  HWND window = reinterpret_cast<HWND>(printer.PreviewForm);
  if (window && IsWindow(window))
    if (auto* preview = dynamic_cast<TQRStandardPreview*>(fw::TControl::FromHandle(window));
        preview && preview->Producer() == &printer)
      preview->Close();
  printer.SetPreviewShown(false);
}

std::optional<QRSetupAnswer> WinReportHost::PrinterSetupDialog(const QRSetupRequest& request) {
  // Without any printer the dialog still opens: it tells the user so.
  fw::TPrinter printer;
  if (request.PrinterIndex >= 0 && request.PrinterIndex < static_cast<int>(printer.Printers().size()))
    printer.SetPrinterIndex(request.PrinterIndex);
  printer.SetOrientation(request.Orientation);
  TQRPrintDialog dialog(nullptr);
  dialog.Printer = &printer;
  dialog.Options = poPageNums | poWarning;
  dialog.MinPage = request.MinPage;
  dialog.MaxPage = request.MaxPage;
  dialog.FromPage = request.FromPage;
  dialog.ToPage = request.ToPage;
  dialog.SetCopies(request.Copies);
  if (!dialog.Execute()) return std::nullopt;
  QRSetupAnswer answer;
  answer.PrinterIndex = printer.PrinterIndex();
  answer.Orientation = printer.Orientation();
  answer.Copies = dialog.Copies();
  answer.PageRange = dialog.PrintRange == TPrintRange::prPageNums;
  answer.FromPage = dialog.FromPage;
  answer.ToPage = dialog.ToPage;
  return answer;
}

bool WinReportHost::MeasureText(const TQRFontDescription& font, const std::string& text, std::int32_t& width,
                                std::int32_t& height) {
  return parts_->measurer.Measure(font, text, width, height);
}

bool WinReportHost::MeasureCharacterEnds(const TQRFontDescription& font, const std::string& text,
                                         std::vector<std::int32_t>& ends) {
  return parts_->measurer.CharacterEnds(font, text, ends);
}

namespace {
WinReportHost* runningHost = nullptr;
}

void StartReportEngine() {
  InitReportMeasures();
  RegisterStandardPreview();
  if (!QRExportFilterLibrary) QRExportFilterLibrary = new TQRExportFilterLibrary;
  if (!runningHost) runningHost = new WinReportHost;
}

void FinishReportEngine() {
  delete runningHost;
  runningHost = nullptr;
  delete QRExportFilterLibrary;
  QRExportFilterLibrary = nullptr;
  RegisterPreviewInterface(nullptr);
}

QRReportHost& ReportEngineHost() {
  if (!runningHost) throw fw::Exception("The report engine has not been started.");
  return *runningHost;
}

}  // namespace report
