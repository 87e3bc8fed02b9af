#include "report/printing/printer_settings.h"

#include <gtest/gtest.h>

#include "tests/report/printing/fake_printer_device.h"

namespace report {
namespace {

using testing::FakePrinterDevice;

constexpr std::uint32_t kAllFields = DM_ORIENTATION_BIT | DM_PAPERSIZE_BIT | DM_PAPERLENGTH_BIT |
                                     DM_PAPERWIDTH_BIT | DM_COPIES_BIT | DM_DEFAULTSOURCE_BIT | DM_DUPLEX_BIT;

FakePrinterDevice DeviceWith(QRDeviceMode mode) {
  FakePrinterDevice device;
  device.Mode = mode;
  return device;
}

TEST(PrinterSettingsTest, StartsWithA4AndNothingElse) {
  TPrinterSettings settings;
  EXPECT_EQ(settings.PaperSize(), TQRPaperSize::A4);
  EXPECT_EQ(settings.Copies(), 0);
  EXPECT_EQ(settings.PixelsPerInchX(), 0);
  EXPECT_FALSE(settings.PaperSupported(TQRPaperSize::A4));
}

TEST(PrinterSettingsTest, ReadsThePaperByItsCode) {
  const struct {
    std::int16_t code;
    TQRPaperSize paper;
  } cases[] = {{9, TQRPaperSize::A4},
               {256, TQRPaperSize::Custom},
               {70, TQRPaperSize::Default},
               {1, TQRPaperSize::Letter},
               {26, TQRPaperSize::ESheet}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    auto device = DeviceWith({.Fields = kAllFields, .PaperSize = c.code});
    TPrinterSettings settings;
    settings.AttachPrinter(&device);
    EXPECT_EQ(settings.PaperSize(), c.paper);
  }
  // Without the paper-size field the paper is Default.
  auto device = DeviceWith({.Fields = DM_COPIES_BIT, .PaperSize = 9});
  TPrinterSettings settings;
  settings.AttachPrinter(&device);
  EXPECT_EQ(settings.PaperSize(), TQRPaperSize::Default);
}

TEST(PrinterSettingsTest, ReadsBinDuplexAndCopies) {
  const struct {
    std::uint32_t fields;
    std::int16_t source, duplex, copies;
    TQRBin bin;
    bool duplexOn;
    std::int32_t copiesRead;
  } cases[] = {
      {kAllFields, 1, 1, 3, TQRBin::First, false, 3}, {kAllFields, 14, 2, 1, TQRBin::Cassette, true, 1},
      {kAllFields, 7, 3, 2, TQRBin::Auto, true, 2},   {kAllFields, 99, 1, 2, TQRBin::First, false, 2},
      {0, 14, 2, 5, TQRBin::First, false, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    auto device =
        DeviceWith({.Fields = c.fields, .Copies = c.copies, .DefaultSource = c.source, .Duplex = c.duplex});
    TPrinterSettings settings;
    settings.AttachPrinter(&device);
    EXPECT_EQ(settings.OutputBin(), c.bin);
    EXPECT_EQ(settings.Duplex(), c.duplexOn);
    EXPECT_EQ(settings.Copies(), c.copiesRead);
  }
}

TEST(PrinterSettingsTest, OffsetsAndPhysicalSizeComeFromTheEscapes) {
  auto device = DeviceWith({.Fields = kAllFields});
  TPrinterSettings settings;
  settings.AttachPrinter(&device);
  EXPECT_EQ(settings.LeftOffset(), 0);
  EXPECT_EQ(settings.TopOffset(), 0);
  EXPECT_EQ(settings.PaperWidth(), 0);

  device.Offset = QRDevicePoint{100, 120};
  device.Physical = QRDevicePoint{5100, 6600};
  settings.LoadFromPrinter();
  EXPECT_EQ(settings.PixelsPerInchX(), 600);
  EXPECT_EQ(settings.LeftOffset(), 42);  // 42.33
  EXPECT_EQ(settings.TopOffset(), 51);   // 50.8
  // Default paper reads the physical page.
  EXPECT_EQ(settings.PaperWidth(), 2159);
  EXPECT_EQ(settings.PaperLength(), 2794);

  // A device without a resolution gives zeros, not a division by zero.
  device.DpiX = device.DpiY = 0;
  settings.LoadFromPrinter();
  EXPECT_EQ(settings.LeftOffset(), 0);
  EXPECT_EQ(settings.TopOffset(), 0);
  EXPECT_EQ(settings.PaperWidth(), 0);
  EXPECT_EQ(settings.PaperLength(), 0);
}

TEST(PrinterSettingsTest, ListsTheFirst256PaperCodes) {
  auto device = DeviceWith({.Fields = kAllFields, .PaperSize = 1});
  // 300 codes: A4 (9) lies within the first 256, B4 (12) only after them.
  device.Papers.assign(300, 500);
  device.Papers[0] = 1;
  device.Papers[255] = 9;
  device.Papers[256] = 12;
  TPrinterSettings settings;
  settings.AttachPrinter(&device);
  EXPECT_TRUE(settings.PaperSupported(TQRPaperSize::Letter));
  EXPECT_TRUE(settings.PaperSupported(TQRPaperSize::A4));
  EXPECT_FALSE(settings.PaperSupported(TQRPaperSize::B4));
  EXPECT_FALSE(settings.PaperSupported(TQRPaperSize::Default));
}

TEST(PrinterSettingsTest, WritersRefuseWhatTheDriverDoesNotDeclare) {
  auto device = DeviceWith({.Fields = DM_PAPERSIZE_BIT, .PaperSize = 1});
  device.Papers = {1, 9};
  TPrinterSettings settings;
  settings.AttachPrinter(&device);
  settings.SetCopies(4);
  EXPECT_EQ(settings.Copies(), 1);
  settings.SetOrientation(fw::TPrinterOrientation::poLandscape);
  EXPECT_EQ(settings.Orientation(), fw::TPrinterOrientation::poPortrait);
  settings.SetOutputBin(TQRBin::Cassette);
  EXPECT_EQ(settings.OutputBin(), TQRBin::First);
  settings.SetPaperSize(TQRPaperSize::B4);
  EXPECT_EQ(settings.PaperSize(), TQRPaperSize::Letter);
  settings.SetPaperSize(TQRPaperSize::A4);
  EXPECT_EQ(settings.PaperSize(), TQRPaperSize::A4);
  settings.SetPaperSize(TQRPaperSize::Default);
  EXPECT_EQ(settings.PaperSize(), TQRPaperSize::Default);
  // Custom sizes are kept only for Custom paper, which this driver does not list.
  settings.SetPaperWidth(1234);
  EXPECT_EQ(settings.PaperWidth(), 0);

  auto all = DeviceWith({.Fields = kAllFields, .PaperSize = 256});
  TPrinterSettings custom;
  custom.AttachPrinter(&all);
  custom.SetCopies(4);
  custom.SetOrientation(fw::TPrinterOrientation::poLandscape);
  custom.SetOutputBin(TQRBin::Cassette);
  custom.SetPaperWidth(1234);
  custom.SetPaperLength(2345);
  EXPECT_EQ(custom.Copies(), 4);
  EXPECT_EQ(custom.Orientation(), fw::TPrinterOrientation::poLandscape);
  EXPECT_EQ(custom.OutputBin(), TQRBin::Cassette);
  EXPECT_EQ(custom.PaperWidth(), 1234);
  EXPECT_EQ(custom.PaperLength(), 2345);
}

TEST(PrinterSettingsTest, NamedPapersMeasureFromTheTable) {
  auto device = DeviceWith({.Fields = kAllFields, .PaperSize = 1});
  device.Papers = {1, 19};
  TPrinterSettings settings;
  settings.AttachPrinter(&device);
  EXPECT_EQ(settings.PaperWidth(), 2159);
  EXPECT_EQ(settings.PaperLength(), 2794);
  settings.SetPaperSize(TQRPaperSize::Env9);
  EXPECT_EQ(settings.PaperWidth(), 984);
  EXPECT_EQ(settings.PaperLength(), 2254);
}

TEST(PrinterSettingsTest, ApplyWritesTheReportsWishesIntoTheDeviceMode) {
  const std::uint32_t declared = DM_PAPERSIZE_BIT | DM_COPIES_BIT | DM_DEFAULTSOURCE_BIT | DM_ORIENTATION_BIT;
  auto device =
      DeviceWith({.Fields = declared, .PaperSize = 1, .Copies = 1, .DefaultSource = 0x0101, .Duplex = 1});
  device.Papers = {1};
  TPrinterSettings settings;
  settings.AttachPrinter(&device);
  settings.SetCopies(2);
  settings.SetOutputBin(TQRBin::Auto);
  settings.ApplyToPrinter();
  EXPECT_EQ(device.ModeWrites, 1);
  const QRDeviceMode expected{.Fields = declared,
                              .Orientation = 1,
                              .PaperSize = 1,
                              .Copies = 2,
                              .DefaultSource = 0x0107,
                              .Duplex = 1};
  EXPECT_EQ(*device.Mode, expected);
}

TEST(PrinterSettingsTest, ApplySetsCopiesBinAndOrientationDeclaredOrNot) {
  // Nothing declared: the paper is left alone, the rest is written anyway.
  auto device =
      DeviceWith({.Fields = 0, .PaperSize = 9, .PaperLength = 7, .DefaultSource = 0x0100, .Duplex = 1});
  TPrinterSettings settings;
  settings.AttachPrinter(&device);
  settings.SetDuplex(true);
  settings.ApplyToPrinter();
  const QRDeviceMode expected{
      .Fields = DM_COPIES_BIT | DM_DEFAULTSOURCE_BIT | DM_ORIENTATION_BIT | DM_DUPLEX_BIT,
      .Orientation = 1,
      .PaperSize = 9,
      .PaperLength = 7,
      .Copies = 1,
      .DefaultSource = 0x0101,
      .Duplex = 3};
  EXPECT_EQ(*device.Mode, expected);
}

TEST(PrinterSettingsTest, ApplyWritesCustomSizesAndLandscape) {
  auto device = DeviceWith({.Fields = kAllFields, .PaperSize = 256});
  TPrinterSettings settings;
  settings.AttachPrinter(&device);
  settings.SetPaperWidth(1000);
  settings.SetPaperLength(1500);
  settings.SetOrientation(fw::TPrinterOrientation::poLandscape);
  settings.ApplyToPrinter();
  EXPECT_EQ(device.Mode->PaperSize, 256);
  EXPECT_EQ(device.Mode->PaperWidth, 1000);
  EXPECT_EQ(device.Mode->PaperLength, 1500);
  EXPECT_EQ(device.Mode->Orientation, 2);
}

TEST(PrinterSettingsTest, NoPrinterMeansDefaultsOnly) {
  FakePrinterDevice device;
  device.Count = 0;
  TPrinterSettings settings;
  settings.AttachPrinter(&device);
  EXPECT_EQ(settings.PaperSize(), TQRPaperSize::A4);
  EXPECT_EQ(settings.PixelsPerInchX(), 0);
  EXPECT_EQ(settings.DeviceName(), "");
}

TEST(PrinterSettingsTest, ReportSettingsDefaults) {
  const TQRReportPrinterSettings settings;
  EXPECT_EQ(settings.Copies, 1);
  EXPECT_FALSE(settings.Duplex);
  EXPECT_EQ(settings.FirstPage, 0);
  EXPECT_EQ(settings.LastPage, 0);
  EXPECT_EQ(settings.OutputBin, TQRBin::Auto);
  EXPECT_EQ(settings.PrinterIndex, -1);
  EXPECT_EQ(settings.PaperSize, TQRPaperSize::Letter);
  EXPECT_EQ(settings.Title, "");
}

}  // namespace
}  // namespace report
