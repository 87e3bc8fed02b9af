// The framework's printer and metafile objects under Wine, on the PDF test
// printer of tools/pdf-printer.
#include "framework/printers.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/metafile.h"
#include "tests/support/pdf_output.h"

namespace fw {
namespace {

TEST(PrintersTest, SelectsTheDefaultAndKeepsDeviceModeFields) {
  TPrinter printer;
  ASSERT_FALSE(printer.Printers().empty())
      << "Wine lists no printer: tools/pdf-printer makes the \"PDF\" queue";
  printer.SetPrinterIndex(-1);
  ASSERT_GE(printer.PrinterIndex(), 0);
  EXPECT_EQ(printer.Printers()[static_cast<std::size_t>(printer.PrinterIndex())], "PDF");
  EXPECT_THROW(printer.SetPrinterIndex(static_cast<int>(printer.Printers().size())), EPrinter);

  printer.SetCopies(3);
  EXPECT_EQ(printer.Copies(), 3);
  printer.SetOrientation(TPrinterOrientation::poLandscape);
  EXPECT_EQ(printer.Orientation(), TPrinterOrientation::poLandscape);
  // The device context follows the device mode: landscape pages are wider.
  EXPECT_GT(printer.PageWidth(), printer.PageHeight());
  EXPECT_EQ(GetDeviceCaps(printer.Handle(), LOGPIXELSX), 300);

  // Selecting again without a device mode brings the driver's defaults back.
  std::string device, driver, port;
  HGLOBAL mode = nullptr;
  printer.GetPrinter(device, driver, port, mode);
  printer.SetPrinter(device, driver, port, nullptr);
  EXPECT_EQ(printer.Copies(), 1);
  EXPECT_EQ(printer.Orientation(), TPrinterOrientation::poPortrait);
  EXPECT_LT(printer.PageWidth(), printer.PageHeight());
}

TEST(PrintersTest, SetPrinterTakesACopyOfTheDeviceMode) {
  TPrinter first, second;
  first.SetCopies(2);
  std::string device, driver, port;
  HGLOBAL mode = nullptr;
  first.GetPrinter(device, driver, port, mode);
  second.SetPrinter(device, driver, port, mode);
  EXPECT_EQ(second.Copies(), 2);
  first.SetCopies(5);
  EXPECT_EQ(second.Copies(), 2);
}

TEST(PrintersTest, JobCallsOutOfOrderAreRefused) {
  test_support::PdfOutput output;  // one print job of the prefix at a time
  TPrinter printer;
  EXPECT_FALSE(printer.Printing());
  EXPECT_THROW(printer.NewPage(), EPrinter);
  EXPECT_THROW(printer.EndDoc(), EPrinter);
  printer.Abort();  // nothing to abort: no effect
  EXPECT_FALSE(printer.Aborted());
  printer.Title = "PrintersTest_aborted_job";
  printer.BeginDoc();
  EXPECT_TRUE(printer.Printing());
  EXPECT_THROW(printer.BeginDoc(), EPrinter);
  EXPECT_THROW(printer.SetPrinterIndex(-1), EPrinter);
  printer.NewPage();
  EXPECT_EQ(printer.PageNumber(), 2);
  printer.Abort();
  EXPECT_FALSE(printer.Printing());
  EXPECT_TRUE(printer.Aborted());
}

TEST(MetafileTest, TheFrameIsThePixelSizeAtScreenResolution) {
  TMetafile metafile;
  // A4 at 96 pixels per inch.
  metafile.Width = 794;
  metafile.Height = 1123;
  {
    TMetafileCanvas canvas(metafile);
    Rectangle(canvas.Handle(), 10, 10, 100, 100);
  }
  ASSERT_NE(metafile.Handle(), nullptr);
  ENHMETAHEADER header{};
  ASSERT_GT(GetEnhMetaFileHeader(metafile.Handle(), sizeof header, &header), 0u);
  EXPECT_EQ(header.rclFrame.left, 0);
  EXPECT_EQ(header.rclFrame.top, 0);
  EXPECT_EQ(header.rclFrame.right, 21008);   // 794 / 96 inch in 0.01 mm
  EXPECT_EQ(header.rclFrame.bottom, 29713);  // 1123 / 96 inch: 29712.9
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

TEST(MetafileTest, ARecordedEllipseStretchesOntoABitmap) {
  TMetafile metafile;
  metafile.Width = 100;
  metafile.Height = 100;
  {
    TMetafileCanvas recorder(metafile);
    TCanvas& canvas = recorder.Canvas();
    canvas.Pen.Color = clBlack;
    canvas.Brush.Color = clBlack;
    canvas.Ellipse(0, 0, 100, 100);
    canvas.ResetClip();
  }
  TBitmap bitmap;
  bitmap.SetSize(200, 100);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Color = clWhite;
  canvas.FillRect({0, 0, 200, 100});
  canvas.StretchDraw({0, 0, 200, 100}, metafile.Handle());
  // Stretched twice as wide: the middle of the wide ellipse is black, its corners white.
  EXPECT_EQ(GetPixel(canvas.Handle(), 100, 50) & 0xFFFFFF, 0u);
  EXPECT_EQ(GetPixel(canvas.Handle(), 160, 50) & 0xFFFFFF, 0u);
  EXPECT_EQ(GetPixel(canvas.Handle(), 3, 3) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(CanvasTest, AlignedTextOutsideAnyClip) {
  TBitmap bitmap;
  bitmap.SetSize(200, 40);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Color = clWhite;
  canvas.FillRect({0, 0, 200, 40});
  HRGN clip = CreateRectRgn(0, 0, 10, 10);
  SelectClipRgn(canvas.Handle(), clip);
  DeleteObject(clip);
  canvas.ResetClip();
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Font.SetColor(clBlack);
  canvas.Font.SetSize(14);
  canvas.SetTextAlign(TA_RIGHT | TA_TOP);
  canvas.ExtTextOut(190, 5, "WWW");
  // Right-aligned at 190: ink left of it, none right of it.
  int inkLeft = 0, inkRight = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 120; x < 190; ++x) inkLeft += (GetPixel(canvas.Handle(), x, y) & 0xFFFFFF) != 0xFFFFFF;
    for (int x = 192; x < 200; ++x) inkRight += (GetPixel(canvas.Handle(), x, y) & 0xFFFFFF) != 0xFFFFFF;
  }
  EXPECT_GT(inkLeft, 20);
  EXPECT_EQ(inkRight, 0);
}

}  // namespace
}  // namespace fw
