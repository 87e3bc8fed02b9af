#include "report/printing/qr_printer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "report/pages/error.h"
#include "tests/report/printing/fake_printing.h"

namespace report {
namespace {

using testing::FakePlatformPrinter;
using testing::FakePrinting;
using testing::PostedMessage;
using Log = std::vector<std::string>;

constexpr QRWindow kClient = 0x1234;
constexpr QRWindow kOwner = 0x5678;
constexpr std::uint32_t kAllFields = DM_ORIENTATION_BIT | DM_PAPERSIZE_BIT | DM_PAPERLENGTH_BIT |
                                     DM_PAPERWIDTH_BIT | DM_COPIES_BIT | DM_DEFAULTSOURCE_BIT | DM_DUPLEX_BIT;

// A Letter printer at 300 dpi that declares every field and lists the given papers.
void LetterPrinter(FakePrinting& fake, std::vector<std::int16_t> papers = {1, 9}) {
  fake.printers.Prepare = [papers](FakePlatformPrinter& printer) {
    printer.Mode = QRDeviceMode{.Fields = kAllFields, .PaperSize = 1, .Copies = 1};
    printer.DpiX = printer.DpiY = 300;
    printer.Papers = papers;
  };
}

void RunPages(TQRPrinter& printer, int pages) {
  printer.BeginDoc();
  for (int i = 0; i < pages; ++i) printer.NewPage();
  printer.EndDoc();
}

void ExpectQRError(const std::function<void()>& call, const std::string& message) {
  try {
    call();
    ADD_FAILURE() << "no EQRError";
  } catch (const EQRError& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

TEST(QRPrinterTest, ConstructionCopiesTheGlobalIndexAndReadsTheSettings) {
  FakePrinting fake;
  LetterPrinter(fake);
  fake.printers.GlobalIndex = 0;
  fake.printers.Prepare = [prepare = fake.printers.Prepare](FakePlatformPrinter& printer) {
    prepare(printer);
    printer.Offset = QRDevicePoint{30, 60};
  };
  TQRPrinter printer(fake.Services());
  EXPECT_TRUE(printer.PrinterAvailable());
  EXPECT_EQ(printer.PrinterIndex(), 0);
  EXPECT_EQ(printer.PaperSize(), TQRPaperSize::Letter);
  EXPECT_EQ(printer.LeftOffset(), 25);  // 30 px at 300 dpi: 25.4
  EXPECT_EQ(printer.TopOffset(), 51);   // 60 px: 50.8
  EXPECT_EQ(printer.Status(), TQRStatus::qsReady);
  EXPECT_EQ(printer.Destination, TQRDestination::qdPageStore);
  EXPECT_EQ(printer.PixelsPerUnitX(), 1.0L);

  FakePrinting none;
  none.printers.Count = 0;
  TQRPrinter alone(none.Services());
  EXPECT_FALSE(alone.PrinterAvailable());
  EXPECT_EQ(alone.PaperSize(), TQRPaperSize::A4);
}

TEST(QRPrinterTest, StateTable) {
  FakePrinting fake;
  TQRPrinter printer(fake.Services());
  // Ready: NewPage raises, EndDoc and Abort do nothing.
  ExpectQRError([&] { printer.NewPage(); }, "Illegal call to NewPage");
  printer.EndDoc();
  printer.Abort();
  EXPECT_EQ(printer.Status(), TQRStatus::qsReady);
  EXPECT_TRUE(fake.messages.Messages.empty());

  printer.BeginDoc();
  EXPECT_EQ(printer.Status(), TQRStatus::qsBusy);
  ExpectQRError([&] { printer.BeginDoc(); }, "QRPrinter not ready");
  EXPECT_EQ(printer.Status(), TQRStatus::qsBusy);
  printer.NewPage();
  printer.Cancel();
  EXPECT_TRUE(printer.CancelRequested());
  EXPECT_EQ(printer.Status(), TQRStatus::qsBusy);
  printer.EndDoc();
  EXPECT_EQ(printer.Status(), TQRStatus::qsFinished);

  ExpectQRError([&] { printer.NewPage(); }, "Illegal call to NewPage");
  ExpectQRError([&] { printer.BeginDoc(); }, "QRPrinter not ready");
  printer.EndDoc();
  EXPECT_EQ(printer.Status(), TQRStatus::qsFinished);

  printer.Cleanup();
  EXPECT_EQ(printer.Status(), TQRStatus::qsReady);
  EXPECT_FALSE(printer.GetPage(1));
  printer.BeginDoc();
  EXPECT_FALSE(printer.CancelRequested());
  printer.NewPage();
  printer.Cleanup();
  EXPECT_TRUE(printer.CancelRequested());
  EXPECT_EQ(printer.Status(), TQRStatus::qsReady);
  EXPECT_EQ(fake.pages.Open, 0);
}

TEST(QRPrinterTest, EmptyRunStoresOnlyTheHeader) {
  FakePrinting fake;
  TQRPrinter printer(fake.Services());
  printer.ClientWindow = kClient;
  RunPages(printer, 0);
  EXPECT_EQ(fake.messages.Messages, (std::vector<PostedMessage>{{kClient, QRM_PAGEAVAILABLE, 1, 0, false}}));
  EXPECT_EQ(printer.PageList().PageCount, 0);
  EXPECT_EQ(printer.PageList().Stream()->Seek(0, SeekOrigin::End), kPageFileHeaderSize);
  EXPECT_FALSE(printer.GetPage(1));
}

TEST(QRPrinterTest, PageStoreRunKeepsEveryPageAndAnnouncesIt) {
  FakePrinting fake;
  LetterPrinter(fake);
  TQRPrinter printer(fake.Services());
  printer.ClientWindow = kClient;
  printer.BeginDoc();
  EXPECT_NEAR(printer.PixelsPerUnitX(), 96.0L / 254.0L, 1e-15L);
  EXPECT_EQ(printer.LeftOffset(), 0);
  printer.NewPage();
  printer.Canvas().TextOut(1, 2, "Page 1");
  printer.NewPage();
  // The open page is not stored yet.
  EXPECT_EQ(printer.PageCount(), 2);
  EXPECT_TRUE(printer.GetPage(1));
  EXPECT_FALSE(printer.GetPage(2));
  printer.NewPage();
  printer.EndDoc();
  EXPECT_EQ(fake.messages.PageMessages(), (std::vector<std::uintptr_t>{1, 2, 3}));
  ASSERT_TRUE(printer.GetPage(3));
  EXPECT_EQ(LoadInt32(&(*printer.GetPage(3))[116]), 3);
  EXPECT_EQ(printer.PageList().PageCount, 3);
  // Letter at 96 dpi: 2159 x 2794 native is 816 x 1056 pixels.
  EXPECT_EQ(fake.pages.Sizes[0], std::make_pair(816, 1056));
  EXPECT_EQ(fake.pages.Open, 0);
  ExpectQRError([&] { printer.Canvas(); }, "No report page is open to draw on.");
}

struct RangeCase {
  std::int32_t first, last, pages;
  Log jobs;
  int unprinted;  // pages laid out on the printer's measures and dropped
};

TEST(QRPrinterTest, PrintsOnlyThePagesInRange) {
  const RangeCase cases[] = {
      {3, 4, 6, {"Title Range", "BeginDoc", "NewPage", "EndDoc"}, 4},
      {0, 0, 3, {"Title Range", "BeginDoc", "NewPage", "NewPage", "EndDoc"}, 0},
      {7, 0, 6, {}, 6},
      {1, 1, 3, {"Title Range", "BeginDoc", "EndDoc"}, 2},
      {0, 2, 4, {"Title Range", "BeginDoc", "NewPage", "EndDoc"}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
    FakePrinting fake;
    LetterPrinter(fake);
    TQRPrinter printer(fake.Services());
    printer.Destination = TQRDestination::qdPrinter;
    printer.FirstPage = c.first;
    printer.LastPage = c.last;
    printer.Title = "Range";
    printer.ClientWindow = kClient;
    int afterPrint = 0;
    printer.OnAfterPrint = [&](TQRPrinter* sender) {
      EXPECT_EQ(sender, &printer);
      ++afterPrint;
    };
    fake.printers.Log.clear();
    printer.BeginDoc();
    int unprinted = 0;
    for (int i = 0; i < c.pages; ++i) {
      printer.NewPage();
      if (&printer.Canvas() == &fake.printers.Last->Unprinted) ++unprinted;
    }
    printer.EndDoc();
    EXPECT_EQ(fake.printers.Log, c.jobs);
    EXPECT_EQ(unprinted, c.unprinted);
    EXPECT_EQ(fake.pages.Started, 0);
    EXPECT_EQ(fake.pages.Open, 0);
    std::vector<std::uintptr_t> all;
    for (int i = 1; i <= c.pages; ++i) all.push_back(static_cast<std::uintptr_t>(i));
    EXPECT_EQ(fake.messages.PageMessages(), all);
    EXPECT_EQ(afterPrint, 1);
    EXPECT_NEAR(printer.PixelsPerUnitX(), 300.0L / 254.0L, 1e-15L);
  }
}

TEST(QRPrinterTest, PrinterPagesDrawOnThePrintersCanvas) {
  FakePrinting fake;
  LetterPrinter(fake);
  TQRPrinter printer(fake.Services());
  printer.Destination = TQRDestination::qdPrinter;
  printer.FirstPage = 2;
  fake.printers.Last->Surface.LineHeight = 40;
  printer.BeginDoc();
  printer.NewPage();
  // A page before the range measures as the printer does, or it would break elsewhere.
  EXPECT_EQ(printer.Canvas().TextHeight("W"), 40);
  printer.Canvas().TextOut(0, 0, "Page 1");
  printer.NewPage();
  printer.Canvas().TextOut(0, 0, "Page 2");
  printer.EndDoc();
  EXPECT_EQ(fake.printers.Last->Surface.Texts(), (std::vector<std::string>{"Page 2"}));
}

TEST(QRPrinterTest, AbortOnThePageStoreKeepsTheStoredPagesCounted) {
  FakePrinting fake;
  TQRPrinter printer(fake.Services());
  printer.ClientWindow = kClient;
  printer.BeginDoc();
  for (int i = 0; i < 3; ++i) printer.NewPage();
  printer.Abort();
  EXPECT_EQ(printer.Status(), TQRStatus::qsFinished);
  EXPECT_EQ(fake.pages.Open, 0);
  // No message from Abort: two for the pages finished by NewPage.
  EXPECT_EQ(fake.messages.PageMessages(), (std::vector<std::uintptr_t>{1, 2}));
  printer.Save("aborted.qrp");
  TQRPrinter reader(fake.Services());
  reader.Load("aborted.qrp");
  EXPECT_EQ(reader.PageCount(), 3);
}

TEST(QRPrinterTest, AbortOnThePrinterEndsTheJobAndFreesTheOpenPage) {
  FakePrinting fake;
  LetterPrinter(fake);
  TQRPrinter printer(fake.Services());
  printer.Destination = TQRDestination::qdPrinter;
  printer.LastPage = 1;
  printer.BeginDoc();
  printer.NewPage();
  printer.NewPage();
  printer.Abort();
  EXPECT_EQ(fake.pages.Open, 0);
  EXPECT_EQ(fake.printers.Log.back(), "Abort");
  EXPECT_EQ(printer.Status(), TQRStatus::qsFinished);
}

TEST(QRPrinterTest, CoordinatesRoundHalvesToEven) {
  FakePrinting fake;
  fake.printers.Prepare = [](FakePlatformPrinter& printer) {
    printer.Mode = QRDeviceMode{.Fields = kAllFields, .PaperSize = 1};
    // At 254 dpi a device pixel is one native unit; the offsets are 10 and 20 native.
    printer.DpiX = printer.DpiY = 254;
    printer.Offset = QRDevicePoint{10, 20};
  };
  TQRPrinter printer(fake.Services());
  printer.Destination = TQRDestination::qdPrinter;
  printer.BeginDoc();
  EXPECT_EQ(printer.ToDeviceX(12.5L), 2);
  EXPECT_EQ(printer.ToDeviceX(13.5L), 4);
  EXPECT_EQ(printer.ToDeviceY(22.5L), 2);
  EXPECT_EQ(printer.ToDeviceY(23.5L), 4);
  EXPECT_EQ(printer.ToDeviceWidth(0.5L), 0);
  EXPECT_EQ(printer.ToDeviceHeight(1.5L), 2);
  printer.EndDoc();
}

TEST(QRPrinterTest, PageExtentFollowsPaperAndOrientation) {
  FakePrinting fake;
  fake.printers.Prepare = [](FakePlatformPrinter& printer) {
    printer.Mode = QRDeviceMode{.Fields = kAllFields, .PaperSize = 1};
    printer.Papers = {1, 256};
    printer.Physical = QRDevicePoint{2480, 3508};  // A4 at 300 dpi
    printer.DpiX = printer.DpiY = 300;
  };
  TQRPrinter printer(fake.Services());
  const struct {
    TQRPaperSize paper;
    fw::TPrinterOrientation orientation;
    std::int32_t width, length;
  } cases[] = {
      {TQRPaperSize::Letter, fw::TPrinterOrientation::poPortrait, 2159, 2794},
      {TQRPaperSize::Letter, fw::TPrinterOrientation::poLandscape, 2794, 2159},
      {TQRPaperSize::Default, fw::TPrinterOrientation::poPortrait, 2100, 2970},
      {TQRPaperSize::Default, fw::TPrinterOrientation::poLandscape, 2970, 2100},
      {TQRPaperSize::Custom, fw::TPrinterOrientation::poPortrait, 1000, 1500},
      {TQRPaperSize::Custom, fw::TPrinterOrientation::poLandscape, 1500, 1000},
  };
  for (const auto& c : cases) {
    printer.SetPaperSize(c.paper);
    printer.SetOrientation(c.orientation);
    if (c.paper == TQRPaperSize::Custom) {
      printer.SetPaperWidth(1000);
      printer.SetPaperLength(1500);
    }
    EXPECT_EQ(printer.PageWidth(), c.width);
    EXPECT_EQ(printer.PageLength(), c.length);
  }
}

// A stored run of pages of the given size (0.1 mm) at 96 dpi, saved to a file.
std::string StoredRun(FakePrinting& fake, const std::string& name, int pages,
                      fw::TPrinterOrientation orientation = fw::TPrinterOrientation::poPortrait) {
  TQRPrinter writer(fake.Services());
  writer.SetOrientation(orientation);
  RunPages(writer, pages);
  writer.Save(name);
  return name;
}

TEST(QRPrinterTest, LoadGuessesThePaperFromTheFirstPagesFrame) {
  const struct {
    const char* name;
    std::vector<std::int16_t> papers;
    fw::TPrinterOrientation saved;
    TQRPaperSize paper;
    fw::TPrinterOrientation orientation;
  } cases[] = {
      {"A4 and A4Small listed",
       {1, 9, 10},
       fw::TPrinterOrientation::poPortrait,
       TQRPaperSize::A4Small,
       fw::TPrinterOrientation::poPortrait},
      {"A4 listed",
       {1, 9},
       fw::TPrinterOrientation::poPortrait,
       TQRPaperSize::A4,
       fw::TPrinterOrientation::poPortrait},
      {"A4 unlisted",
       {1},
       fw::TPrinterOrientation::poPortrait,
       TQRPaperSize::Letter,
       fw::TPrinterOrientation::poPortrait},
      {"landscape A4",
       {1, 9},
       fw::TPrinterOrientation::poLandscape,
       TQRPaperSize::A4,
       fw::TPrinterOrientation::poLandscape},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePrinting fake;
    // The writing producer has no printer: its paper stays A4.
    fake.printers.Count = 0;
    fake.printers.Prepare = [](FakePlatformPrinter& printer) {
      printer.Mode = QRDeviceMode{.Fields = kAllFields, .PaperSize = 9};
    };
    TQRPrinter writer(fake.Services());
    ASSERT_EQ(writer.PaperSize(), TQRPaperSize::A4);
    writer.PrinterSettings().AttachPrinter(nullptr);
    RunPages(writer, 2);
    writer.Save("a4.qrp");
    if (c.saved == fw::TPrinterOrientation::poLandscape) {
      // A landscape page: record one with width and length swapped.
      FakePrinting wide;
      wide.printers.Count = 1;
      LetterPrinter(wide, {9});
      TQRPrinter landscape(wide.Services());
      landscape.SetPaperSize(TQRPaperSize::A4);
      landscape.SetOrientation(fw::TPrinterOrientation::poLandscape);
      RunPages(landscape, 1);
      landscape.Save("a4.qrp");
      fake.files.Put("a4.qrp", wide.files.Bytes("a4.qrp"));
    }
    fake.printers.Count = 1;
    LetterPrinter(fake, c.papers);
    TQRPrinter reader(fake.Services());
    reader.Load("a4.qrp");
    EXPECT_EQ(reader.Status(), TQRStatus::qsFinished);
    EXPECT_TRUE(reader.FromFile());
    EXPECT_EQ(reader.PaperSize(), c.paper);
    EXPECT_EQ(reader.Orientation(), c.orientation);
  }
}

TEST(QRPrinterTest, LoadWithoutAPrinterKeepsA4) {
  FakePrinting fake;
  fake.printers.Count = 0;
  StoredRun(fake, "letter.qrp", 1);
  TQRPrinter reader(fake.Services());
  reader.Load("letter.qrp");
  EXPECT_EQ(reader.PaperSize(), TQRPaperSize::A4);
  EXPECT_EQ(reader.PageCount(), 1);
  EXPECT_NEAR(reader.PixelsPerUnitY(), 96.0L / 254.0L, 1e-15L);
}

TEST(QRPrinterTest, ARefusedFileLeavesThePagesAsTheyWere) {
  FakePrinting fake;
  TQRPrinter printer(fake.Services());
  RunPages(printer, 2);
  fake.files.Put("bad.qrp", std::vector<std::uint8_t>(200, 7));
  EXPECT_THROW(printer.Load("bad.qrp"), EQRError);
  EXPECT_EQ(printer.Status(), TQRStatus::qsFinished);
  EXPECT_EQ(printer.PageCount(), 2);
  EXPECT_TRUE(printer.GetPage(2));
  EXPECT_FALSE(printer.FromFile());
}

TEST(QRPrinterTest, AFirstPageThatCannotBeReadLeavesThePaperAndStopsPrinting) {
  // A stored page whose coded length runs past its bits: the file's records
  // are sound, the page itself does not decode.
  const std::string seed = std::string(PAGE_FILE_SEEDS) + "/damaged/coded_length_past_its_bits.qrp";
  std::ifstream in(seed, std::ios::binary);
  ASSERT_TRUE(in) << seed;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  FakePrinting fake;
  LetterPrinter(fake, {1, 9, 10});
  fake.files.Put("damaged.qrp", bytes);
  TQRPrinter printer(fake.Services());
  printer.Load("damaged.qrp");
  EXPECT_EQ(printer.Status(), TQRStatus::qsFinished);
  EXPECT_TRUE(printer.FromFile());
  EXPECT_EQ(printer.PaperSize(), TQRPaperSize::Letter);
  fake.printers.Log.clear();
  EXPECT_THROW(printer.Print(), EQRError);
  EXPECT_EQ(fake.printers.Log, (Log{"Title ", "BeginDoc", "Abort"}));
  EXPECT_FALSE(fake.printers.Last->IsPrinting);
}

TEST(QRPrinterTest, LoadWhileRunningIsRefused) {
  FakePrinting fake;
  StoredRun(fake, "two.qrp", 2);
  TQRPrinter printer(fake.Services());
  printer.BeginDoc();
  printer.NewPage();
  ExpectQRError([&] { printer.Load("two.qrp"); },
                "A report file cannot be opened while the report is running.");
  EXPECT_EQ(printer.Status(), TQRStatus::qsBusy);
  printer.NewPage();
  printer.EndDoc();
  EXPECT_EQ(printer.PageList().PageCount, 2);
}

TEST(QRPrinterTest, PrintOfALivePreviewAsksTheReport) {
  FakePrinting fake;
  LetterPrinter(fake);
  TQRPrinter printer(fake.Services());
  printer.OwnerReport = kOwner;
  RunPages(printer, 2);
  fake.printers.Log.clear();
  printer.Print();
  EXPECT_EQ(fake.messages.Messages.back(), (PostedMessage{kOwner, QRM_PRINT, 0, 0, false}));
  EXPECT_TRUE(fake.printers.Log.empty());
}

TEST(QRPrinterTest, PrintAfterLoadPrintsTheStoredPagesStretched) {
  FakePrinting fake;
  LetterPrinter(fake);
  StoredRun(fake, "three.qrp", 3);
  TQRPrinter printer(fake.Services());
  printer.OwnerReport = kOwner;
  printer.Title = "Stored";
  printer.Load("three.qrp");
  fake.printers.Log.clear();
  printer.Print();
  EXPECT_EQ(fake.printers.Log, (Log{"Title Stored", "BeginDoc", "DrawPage 1 2550x3300", "NewPage",
                                    "DrawPage 2 2550x3300", "NewPage", "DrawPage 3 2550x3300", "EndDoc"}));
  EXPECT_EQ(fake.messages.Pumps, 3);
}

TEST(QRPrinterTest, PrintStopsAtAMissingPage) {
  FakePrinting fake;
  LetterPrinter(fake);
  TQRPrinter printer(fake.Services());
  RunPages(printer, 3);
  // The store says it holds one page less than the run made.
  printer.PageList().PageCount = 2;
  fake.printers.Log.clear();
  EXPECT_THROW(printer.Print(), EQRError);
  EXPECT_EQ(fake.printers.Log, (Log{"Title ", "BeginDoc", "DrawPage 1 2550x3300", "NewPage",
                                    "DrawPage 2 2550x3300", "NewPage", "Abort"}));
  EXPECT_FALSE(fake.printers.Last->IsPrinting);
}

TEST(QRPrinterTest, PrintStopsWhenCancelled) {
  FakePrinting fake;
  LetterPrinter(fake);
  TQRPrinter printer(fake.Services());
  RunPages(printer, 3);
  printer.Cancel();
  fake.printers.Log.clear();
  printer.Print();
  EXPECT_EQ(fake.printers.Log, (Log{"Title ", "BeginDoc", "DrawPage 1 2550x3300", "NewPage", "Abort"}));
}

TEST(QRPrinterTest, PrintAndSaveBeforeTheRunFinishedDoNothing) {
  FakePrinting fake;
  LetterPrinter(fake);
  TQRPrinter printer(fake.Services());
  printer.BeginDoc();
  printer.NewPage();
  fake.printers.Log.clear();
  printer.Print();
  printer.Save("early.qrp");
  EXPECT_TRUE(fake.printers.Log.empty());
  EXPECT_EQ(fake.files.files.count("early.qrp"), 0u);
  printer.EndDoc();
  printer.Save("late.qrp");
  EXPECT_EQ(fake.files.files.count("late.qrp"), 1u);

  FakePrinting none;
  none.printers.Count = 0;
  TQRPrinter alone(none.Services());
  RunPages(alone, 1);
  alone.Print();
  EXPECT_TRUE(none.printers.Log.empty());
}

TEST(QRPrinterTest, ClosingThePreviewWhileBusyCancelsTheRun) {
  FakePrinting fake;
  TQRPrinter printer(fake.Services());
  int afterPreview = 0;
  printer.OnAfterPreview = [&](TQRPrinter*) {
    ++afterPreview;
    throw EQRError("hook failed");
  };
  printer.SetPreviewShown(true);
  printer.BeginDoc();
  EXPECT_THROW(printer.SetPreviewShown(false), EQRError);
  EXPECT_FALSE(printer.PreviewShown());
  EXPECT_TRUE(printer.CancelRequested());
  EXPECT_EQ(afterPreview, 1);
  printer.SetPreviewShown(false);
  EXPECT_EQ(afterPreview, 1);
}

TEST(QRPrinterTest, PreviewGoesToTheHookOrTheRegisteredPreview) {
  FakePrinting fake;
  TQRPrinter printer(fake.Services());
  printer.Preview();
  EXPECT_EQ(printer.PreviewForm, 0u);

  class Preview : public TQRPreviewInterface {
   public:
    QRWindow Show(TQRPrinter& shown) override {
      shown.Title = "shown";
      return 0x99;
    }
  };
  RegisterPreviewInterface([] { return std::make_unique<Preview>(); });
  printer.Preview();
  EXPECT_EQ(printer.PreviewForm, 0x99u);
  EXPECT_EQ(printer.Title, "shown");

  int requests = 0;
  printer.OnPreviewRequest = [&](TQRPrinter*) { ++requests; };
  printer.Title.clear();
  printer.Preview();
  EXPECT_EQ(requests, 1);
  EXPECT_EQ(printer.Title, "");
  RegisterPreviewInterface(nullptr);
}

TEST(QRPrinterTest, ProgressAndClosingTalkToTheirWindows) {
  FakePrinting fake;
  TQRPrinter printer(fake.Services());
  printer.SetProgress(40);
  printer.ClosePreview();
  EXPECT_TRUE(fake.messages.Messages.empty());
  EXPECT_EQ(printer.Progress(), 40);
  printer.ClientWindow = kClient;
  printer.OwnerReport = kOwner;
  printer.SetProgress(50);
  printer.ClosePreview();
  EXPECT_EQ(fake.messages.Messages,
            (std::vector<PostedMessage>{
                {kClient, QRM_PROGRESS, 50, 0, false},
                {kOwner, QRM_CLOSEPREVIEW, 0,
                 static_cast<std::intptr_t>(reinterpret_cast<std::uintptr_t>(&printer)), true}}));
}

TEST(QRPrinterTest, ChoosingAnotherPrinterReadsItsSettingsAgain) {
  FakePrinting fake;
  LetterPrinter(fake);
  fake.printers.Count = 2;
  TQRPrinter printer(fake.Services());
  fake.printers.Log.clear();
  fake.printers.Last->Mode->PaperSize = 9;
  printer.SetPrinterIndex(1);
  EXPECT_EQ(fake.printers.Log, (Log{"Index 1", "ResetDeviceMode"}));
  EXPECT_EQ(printer.PaperSize(), TQRPaperSize::A4);
}

}  // namespace
}  // namespace report
