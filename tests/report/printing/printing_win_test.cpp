// Printing for real: the "PDF" queue of tools/pdf-printer, seen through Wine's
// spooler, and the PDF files it writes read back with poppler.
#include <gtest/gtest.h>

#include <string>

#include "framework/printers.h"
#include "report/printing/printing_platform_win.h"
#include "report/printing/printer_settings.h"
#include "report/printing/qr_printer.h"
#include "report/printing/measures.h"
#include "tests/support/pdf_output.h"

namespace report {
namespace {

using test_support::PdfOutput;

// Text of a PDF with every run of blanks made one blank.
std::string Squeezed(const std::string& text) {
  std::string out;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\f' || c == '\t';
    if (blank) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

std::string WithoutBlanks(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '\n' && c != '\r' && c != '\f' && c != '\t') out += c;
  return out;
}

TEST(PrintingWinTest, TheTestQueueIsTheDefault300DpiPrinterWithLetterPaper) {
  PdfOutput output;  // fails, saying so, when the queue is not set up
  fw::TPrinter& printer = fw::Printer();
  ASSERT_FALSE(printer.Printers().empty()) << "Wine lists no printer: is the \"PDF\" queue there?";
  ASSERT_GE(printer.PrinterIndex(), 0);
  EXPECT_EQ(printer.Printers()[static_cast<std::size_t>(printer.PrinterIndex())], "PDF");
  std::string device, driver, port;
  HGLOBAL mode = nullptr;
  printer.GetPrinter(device, driver, port, mode);
  EXPECT_EQ(device, "PDF");
  EXPECT_EQ(driver, "winspool");
  EXPECT_EQ(port, "CUPS:PDF");
  ASSERT_NE(mode, nullptr) << "no default device mode from the driver";

  Win32PlatformPrinter own;
  TPrinterSettings settings;
  settings.AttachPrinter(&own);
  EXPECT_EQ(settings.DeviceName(), "PDF");
  EXPECT_EQ(settings.PixelsPerInchX(), 300);
  EXPECT_EQ(settings.PixelsPerInchY(), 300);
  EXPECT_TRUE(settings.PaperSupported(TQRPaperSize::Letter));
  EXPECT_TRUE(settings.PaperSupported(TQRPaperSize::A4));
  EXPECT_GT(settings.PaperWidth(), 0);
}

TEST(PrintingWinTest, AOnePageJobReadsBackAsItsText) {
  PdfOutput output;
  fw::TPrinter printer;
  printer.Title = PdfOutput::UniqueTitle("OnePage");
  printer.BeginDoc();
  TextOutA(printer.Canvas().Handle(), 300, 300, "Hello from the test printer", 27);
  printer.EndDoc();
  const std::string pdf = output.WaitForPdf(printer.Title);
  EXPECT_EQ(test_support::PdfPageCount(output.Info(pdf)), 1);
  EXPECT_EQ(Squeezed(output.Text(pdf)), "Hello from the test printer ");
}

// A run of pages, each showing "Page n" in 12-point Arial an inch from the corner.
void PrintPages(TQRPrinter& producer, int pages) {
  producer.BeginDoc();
  for (int i = 1; i <= pages; ++i) {
    producer.NewPage();
    QRPageCanvas& canvas = producer.Canvas();
    canvas.SetFont({"Arial", 12, 0, 0});
    canvas.SetTransparentText(true);
    canvas.TextOut(producer.ToDeviceX(254), producer.ToDeviceY(254), "Page " + std::to_string(i));
  }
  producer.EndDoc();
}

TEST(PrintingWinTest, APageRangePrintsOnlyItsPages) {
  PdfOutput output;
  Win32PrintingServices services;
  TQRPrinter producer(services.Services());
  ASSERT_TRUE(producer.PrinterAvailable());
  producer.Destination = TQRDestination::qdPrinter;
  producer.FirstPage = 3;
  producer.LastPage = 4;
  producer.Title = PdfOutput::UniqueTitle("Range");
  PrintPages(producer, 6);
  const std::string pdf = output.WaitForPdf(producer.Title);
  EXPECT_EQ(test_support::PdfPageCount(output.Info(pdf)), 2);
  EXPECT_EQ(Squeezed(output.Text(pdf)), "Page 3 Page 4 ");
}

TEST(PrintingWinTest, PaperSizesReachThePrinter) {
  PdfOutput output;
  const struct {
    TQRPaperSize paper;
    const char* points;
  } cases[] = {{TQRPaperSize::Letter, "612 x 792"}, {TQRPaperSize::A4, "595 x 842"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.points);
    Win32PrintingServices services;
    TQRPrinter producer(services.Services());
    producer.Destination = TQRDestination::qdPrinter;
    producer.SetPaperSize(c.paper);
    ASSERT_EQ(producer.PaperSize(), c.paper);
    producer.Title = PdfOutput::UniqueTitle("Paper");
    PrintPages(producer, 1);
    const std::string pdf = output.WaitForPdf(producer.Title);
    EXPECT_EQ(test_support::PdfPageSize(output.Info(pdf)).substr(0, 9), c.points);
  }
}

TEST(PrintingWinTest, AFontIsAsTallOnAStoredPageAsOnThePrinter) {
  PdfOutput output;
  Win32PrintingServices services;
  const auto heightInInches = [&](TQRDestination destination) {
    TQRPrinter producer(services.Services());
    producer.Destination = destination;
    producer.Title = PdfOutput::UniqueTitle("FontHeight");
    producer.BeginDoc();
    producer.NewPage();
    producer.Canvas().SetFont({"Arial", 12, 0, 0});
    const long double inches = producer.Canvas().TextHeight("W") / (producer.PixelsPerUnitY() * 254.0L);
    producer.Abort();
    return inches;
  };
  const long double onScreen = heightInInches(TQRDestination::qdPageStore);
  const long double onPrinter = heightInInches(TQRDestination::qdPrinter);
  // 12 points with the line spacing of Arial: about a fifth of an inch on both.
  EXPECT_NEAR(static_cast<double>(onScreen), 0.19, 0.02);
  EXPECT_NEAR(static_cast<double>(onPrinter), static_cast<double>(onScreen), 0.015);
}

TEST(PrintingWinTest, StoredPagesSavedLoadedAndPrintedComeOutWhole) {
  PdfOutput output;
  Win32PrintingServices services;
  const std::string file = "printing_win_test_three.qrp";
  {
    TQRPrinter store(services.Services());
    store.SetPaperSize(TQRPaperSize::Letter);
    PrintPages(store, 3);
    ASSERT_EQ(store.PageList().PageCount, 3);
    store.Save(file);
  }
  TQRPrinter loaded(services.Services());
  loaded.Load(file);
  EXPECT_EQ(loaded.PageCount(), 3);
  EXPECT_EQ(loaded.PaperSize(), TQRPaperSize::Letter);
  loaded.Title = PdfOutput::UniqueTitle("Stored");
  loaded.Print();
  const std::string pdf = output.WaitForPdf(loaded.Title);
  EXPECT_EQ(test_support::PdfPageCount(output.Info(pdf)), 3);
  // Stretched onto the printable area, a stored page's letters may come apart.
  EXPECT_EQ(WithoutBlanks(output.Text(pdf)), "Page1Page2Page3");
  DeleteFileA(file.c_str());
}

}  // namespace
}  // namespace report
