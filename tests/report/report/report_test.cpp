// The report component: the layout tables through a whole report on faked
// printing, and the report's own pass, page, print and preview behaviour.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/report/expressions/memory_data_set.h"
#include "tests/report/layout/band_rows.h"
#include "tests/report/layout/controller_rows.h"
#include "tests/report/report/report_test_support.h"

namespace report::testing {
namespace {

class ReportTest : public LayoutTest {
 public:
  LayoutSubject& subject() override { return subject_; }
  TracedReport& report() { return subject_.report; }
  TestReportHost& host() { return subject_.host; }
  Trace& trace() { return subject_.host.trace; }

  ReportSubject subject_;
};

class ReportBandTable : public ReportTest, public ::testing::WithParamInterface<LayoutRow> {};
TEST_P(ReportBandTable, GivesTheTraceOfThePageModel) {
  GetParam().build(subject(), *this);
  subject().Run();
  EXPECT_EQ(trace().Text(), GetParam().trace);
}
INSTANTIATE_TEST_SUITE_P(Bands, ReportBandTable, ::testing::ValuesIn(BandRows()),
                         [](const auto& info) { return std::string(info.param.name); });

class ReportControllerTable : public ReportTest, public ::testing::WithParamInterface<LayoutRow> {};
TEST_P(ReportControllerTable, GivesTheTraceOfThePageModel) {
  GetParam().build(subject(), *this);
  subject().Run();
  EXPECT_EQ(trace().Text(), GetParam().trace);
}
INSTANTIATE_TEST_SUITE_P(Controllers, ReportControllerTable, ::testing::ValuesIn(ControllerRows()),
                         [](const auto& info) { return std::string(info.param.name); });

// A title, a page header and footer, a detail and a summary.
void StandardBands(LayoutSubject& s) {
  AddBand(s, rbPageHeader, "PH", 50);
  AddBand(s, rbTitle, "T", 30);
  AddBand(s, rbDetail, "D", 400);
  AddBand(s, rbSummary, "S", 40);
  AddBand(s, rbPageFooter, "PF", 50);
}

struct OptionsRow {
  const char* name;
  TQRReportOptions options;
  std::string trace;
};
class ReportOptions : public ReportTest, public ::testing::WithParamInterface<OptionsRow> {};
TEST_P(ReportOptions, DecideTheFirstHeaderAndLastFooter) {
  StandardBands(subject());
  report().Options = GetParam().options;
  Feed(3);
  subject().Run();
  EXPECT_EQ(trace().Text(), GetParam().trace);
}
INSTANTIATE_TEST_SUITE_P(
    Options, ReportOptions,
    ::testing::Values(
        OptionsRow{"Default", FirstPageHeader | LastPageFooter,
                   "P1 PH@0 T@50 D@80 D@480 PF@950 P2 PH@0 D@50 S@450 PF@950"},
        OptionsRow{"NoFirstPageHeader", LastPageFooter, "P1 T@0 D@30 D@430 PF@950 P2 PH@0 D@50 S@450 PF@950"},
        OptionsRow{"NoLastPageFooter", FirstPageHeader, "P1 PH@0 T@50 D@80 D@480 PF@950 P2 PH@0 D@50 S@450"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportTest, MarginsWiderThanThePageBecomeZeroAndStaySo) {
  report().Page().SetLeftMargin(400);
  report().Page().SetRightMargin(300);
  report().Page().SetTopMargin(100);
  AddBand(subject(), rbDetail, "D", 100);
  Feed(1);
  subject().Run();
  EXPECT_EQ(report().Page().LeftMargin(), 0);
  EXPECT_EQ(report().Page().RightMargin(), 0);
  EXPECT_EQ(report().Page().TopMargin(), 100);
  EXPECT_EQ(trace().Text(), "P1 D@100");
}

TEST_F(ReportTest, ThreeColumnsFillAcrossThenANewPage) {
  report().Page().SetColumns(3);
  report().Page().SetColumnSpace(30);
  AddBand(subject(), rbColumnHeader, "CH", 20);
  AddBand(subject(), rbDetail, "D", 400);
  report().LayoutBands();
  Feed(7);
  subject().Run();
  // Column width (600 - 2 x 30) / 3 = 180, so columns start 210 apart.
  EXPECT_EQ(trace().Text(),
            "P1 CH@0 D@20 D@420 C2 CH@210,0 D@210,20 D@210,420 C3 CH@420,0 D@420,20 D@420,420 "
            "P2 CH@0 D@20");
}

TEST_F(ReportTest, NoDataAndNoOnNeedDataPrintsTitleDetailAndSummaryOnce) {
  AddBand(subject(), rbTitle, "T", 30);
  AddBand(subject(), rbDetail, "D", 100);
  AddBand(subject(), rbSummary, "S", 40);
  subject().Run();
  EXPECT_EQ(trace().Text(), "P1 T@0 D@30 S@130");
}

TEST_F(ReportTest, ZoomOutsideOneToThreeHundredIsIgnored) {
  report().SetZoom(150);
  report().SetZoom(0);
  EXPECT_EQ(report().Zoom(), 150);
  report().SetZoom(301);
  EXPECT_EQ(report().Zoom(), 150);
  report().SetZoom(300);
  EXPECT_EQ(report().Zoom(), 300);
}

TEST_F(ReportTest, AnExceptionFromOnNeedDataLeavesTheReportReadyForTheNextRun) {
  AddBand(subject(), rbDetail, "D", 100);
  report().Page().SetUnits(TQRUnit::MM);
  report().SetVisible(false);
  subject().SetOnNeedData([](fw::TComponent*, bool&) { throw fw::EConvertError("bad record"); });
  EXPECT_THROW(report().Preview(), fw::EConvertError);
  EXPECT_FALSE(report().Generating());
  EXPECT_FALSE(report().Visible());
  EXPECT_EQ(report().Units(), TQRUnit::MM);
  EXPECT_EQ(report().ReportDataSets(), nullptr);
  // The document of the failed run was ended: a new run begins one.
  trace().Clear();
  Feed(1);
  report().Preview();
  EXPECT_EQ(trace().Text(), "P1 D@0");
  ASSERT_NE(report().CurrentProducer(), nullptr);
  EXPECT_EQ(report().CurrentProducer()->Status(), TQRStatus::qsFinished);
}

TEST_F(ReportTest, ClosingThePreviewMidRunAbortsAndLeavesNoProducerNorFile) {
  AddBand(subject(), rbDetail, "D", 600);
  int records = 0;
  subject().SetOnNeedData([&](fw::TComponent*, bool& more) { more = ++records <= 100; });
  TQRPrinter* running = nullptr;
  subject().SetOnProcessMessages([&] {
    running = report().CurrentProducer();
    if (records == 3) running->ClosePreview();
  });
  report().Preview();
  EXPECT_TRUE(report().Cancelled());
  EXPECT_EQ(report().CurrentProducer(), nullptr);
  EXPECT_LE(records, 4);
  EXPECT_EQ(host().files.files.size(), 0u);
}

TEST_F(ReportTest, ProgressCancelFinishesTheLastPageAndEndsTheDocument) {
  AddBand(subject(), rbDetail, "D", 600);
  AddBand(subject(), rbPageFooter, "PF", 50);
  int records = 0;
  subject().SetOnNeedData([&](fw::TComponent*, bool& more) { more = ++records <= 100; });
  subject().SetOnProcessMessages([&] {
    if (records == 3) subject().RequestCancel();
  });
  // Printed pages draw on the printer: their ends show here.
  report().OnEndPage = [&](TCustomQRReport* r) { trace().Add("end" + std::to_string(r->PageNo())); };
  report().Print();
  EXPECT_EQ(host().log, std::vector<std::string>({"progress shown"}));
  EXPECT_EQ(host().printers.Log.back(), "EndDoc");
  EXPECT_EQ(trace().Text(), "P1 end1 P2 end2");
  EXPECT_EQ(report().CurrentProducer(), nullptr);
}

// A data set component of the form the report is on.
class FormDataSet : public fw::TComponent, public MemoryDataSet {
 public:
  FormDataSet(fw::TComponent* form, std::string name)
      : fw::TComponent(form), MemoryDataSet(std::move(name), {{"Item", FieldKind::String}}) {}
};

// Expressions of a pass read every data set of the report's form, the
// report's own among them.
TEST_F(ReportTest, APassOffersEveryDataSetOfTheReportsForm) {
  fw::TComponent form(nullptr);
  new FormDataSet(&form, "Orders");
  new fw::TComponent(&form);  // not a data set
  auto* customers = new FormDataSet(&form, "Customers");
  FormDataSet elsewhere(nullptr, "Elsewhere");
  report().ChangeOwner(&form);
  struct OwnerBack {
    TracedReport& report;
    ~OwnerBack() { report.ChangeOwner(nullptr); }
  } ownerBack{report()};
  std::vector<std::vector<std::string>> offered;
  report().BeforePrint = [&](TCustomQRReport*, bool& print) {
    std::vector<std::string> names;
    for (DataSet* dataSet : *report().ReportDataSets()) names.push_back(dataSet->Name());
    offered.push_back(names);
    print = false;
  };
  subject().Run();
  report().SetDataSet(customers);
  subject().Run();
  // The report's own data set, when it is not on its form, comes after them.
  report().SetDataSet(&elsewhere);
  subject().Run();
  report().SetDataSet(nullptr);
  EXPECT_EQ(offered,
            (std::vector<std::vector<std::string>>{
                {"Orders", "Customers"}, {"Orders", "Customers"}, {"Orders", "Customers", "Elsewhere"}}));
}

// The list of data sets lasts one pass: nothing keeps it afterwards, and the
// report's functions prepared between passes see no data set.
TEST_F(ReportTest, NothingHoldsThePassesDataSetsOnceItEnds) {
  fw::TComponent form(nullptr);
  new FormDataSet(&form, "Orders");
  report().ChangeOwner(&form);
  struct OwnerBack {
    TracedReport& report;
    ~OwnerBack() { report.ChangeOwner(nullptr); }
  } ownerBack{report()};
  AddBand(subject(), rbDetail, "D", 100);
  TQRGroup* group = AddGroup(subject(), "GH", "'X'", 10);
  report().Functions().AddEntry("ITEMNAME", "Item");
  Feed(1);
  subject().Run();
  EXPECT_EQ(group->Evaluator().DataSetList(), nullptr);
  report().Functions().Prepare();
  const TQRExprValue item = report().Functions().EntryValue("ITEMNAME");
  report().Functions().Unprepare();
  EXPECT_EQ(item.Kind, evError);
}

TEST_F(ReportTest, PrintWithoutAPrinterDoesNothing) {
  host().printers.Count = 0;
  AddBand(subject(), rbDetail, "D", 100);
  Feed(1);
  report().Print();
  EXPECT_EQ(trace().Text(), "");
  EXPECT_TRUE(host().log.empty());
}

TEST_F(ReportTest, PrintWhileGeneratingIsIgnored) {
  AddBand(subject(), rbDetail, "D", 600);
  Feed(2);
  int prints = 0;
  subject().SetOnProcessMessages([&] {
    if (prints++ == 0) report().HandleWindowMessage(QRM_PRINT, 0);
  });
  report().Preview();
  EXPECT_EQ(trace().Text(), "P1 D@0 P2 D@0");
  EXPECT_TRUE(host().log.empty());  // no progress window: no print run
}

TEST_F(ReportTest, PreviewsPrintRunsFromTheWindowAndKeepsThePreviewsProducer) {
  AddBand(subject(), rbDetail, "D", 600);
  int given = 0;
  subject().SetOnNeedData([&](fw::TComponent*, bool& more) { more = given++ % 3 < 2; });
  report().Preview();
  TQRPrinter* previewed = report().CurrentProducer();
  ASSERT_NE(previewed, nullptr);
  previewed->Print();  // posted to the report's window
  ASSERT_EQ(host().posted.size(), 1u);
  host().HandleMessage();
  EXPECT_EQ(report().CurrentProducer(), previewed);
  EXPECT_EQ(host().printers.Log.back(), "EndDoc");
}

TEST_F(ReportTest, ThePreviewClosingDuringAPrintReleasesItsProducerAndThePrintGoesOn) {
  AddBand(subject(), rbDetail, "D", 600);
  int given = 0;
  subject().SetOnNeedData([&](fw::TComponent*, bool& more) { more = given++ % 3 < 2; });
  report().Preview();
  TQRPrinter* previewed = report().CurrentProducer();
  previewed->SetPreviewShown(true);
  subject().SetOnProcessMessages([&] {
    if (previewed) {
      previewed->ClosePreview();
      previewed = nullptr;
    }
  });
  report().Print();
  EXPECT_EQ(host().printers.Log.back(), "EndDoc");
  EXPECT_EQ(report().CurrentProducer(), nullptr);  // never put back once released
  EXPECT_EQ(host().log, std::vector<std::string>({"progress shown", "detach"}));
}

TEST_F(ReportTest, DestroyingTheReportReleasesTheProducerOfItsLastPreview) {
  TestReportHost host;
  auto report = std::make_unique<TracedReport>(host);
  auto* band = new TQRBand(report.get());
  band->SetBandType(rbDetail);
  band->SetParent(report.get());
  report->Preview();
  ASSERT_NE(report->CurrentProducer(), nullptr);
  report.reset();
  EXPECT_EQ(host.log, std::vector<std::string>({"detach"}));
}

TEST_F(ReportTest, PrinterSetupAfterARunOfNoPageKeepsTheWholeRange) {
  AddBand(subject(), rbDetail, "D", 100);
  report().BeforePrint = [](TCustomQRReport*, bool& print) { print = true; };
  subject().SetOnNeedData([](fw::TComponent*, bool& more) { more = false; });
  report().ReportController().PrintIfEmpty = false;
  report().Preview();
  report().PrinterSetup();
  EXPECT_EQ(host().lastSetup.MinPage, 0);
  EXPECT_EQ(host().lastSetup.MaxPage, 9999);
  EXPECT_EQ(report().Tag, 1);
}

TEST_F(ReportTest, PrinterSetupAfterARunOffersItsPagesAndTakesTheAnswer) {
  AddBand(subject(), rbDetail, "D", 600);
  Feed(3);
  report().Preview();
  host().setupAnswer = QRSetupAnswer{2, fw::TPrinterOrientation::poLandscape, 4, true, 2, 3};
  report().PrinterSetup();
  EXPECT_EQ(host().lastSetup.MinPage, 1);
  EXPECT_EQ(host().lastSetup.MaxPage, 3);
  EXPECT_EQ(host().lastSetup.ToPage, 3);
  EXPECT_EQ(report().PrinterSettings.Copies, 4);
  EXPECT_EQ(report().PrinterSettings.PrinterIndex, 2);
  EXPECT_EQ(report().PrinterSettings.FirstPage, 2);
  EXPECT_EQ(report().PrinterSettings.LastPage, 3);
  EXPECT_EQ(report().Page().Orientation(), fw::TPrinterOrientation::poLandscape);
  EXPECT_EQ(report().Tag, 0);
}

TEST_F(ReportTest, FootersFollowThePageNotThePrintersPaper) {
  // The printer's paper (the default, larger) differs from the custom page.
  AddBand(subject(), rbDetail, "D", 300);
  AddBand(subject(), rbPageFooter, "PF", 50);
  AddBand(subject(), rbSummary, "S", 40)->AlignToBottom = true;
  Feed(3);
  subject().Run();
  EXPECT_EQ(trace().Text(), "P1 D@0 D@300 D@600 S@910 PF@950");
}

TEST_F(ReportTest, BeforePrintRefusingProducesNoDocument) {
  AddBand(subject(), rbDetail, "D", 100);
  Feed(1);
  report().BeforePrint = [](TCustomQRReport*, bool& print) { print = false; };
  report().Preview();
  EXPECT_EQ(trace().Text(), "");
  EXPECT_FALSE(report().Generating());
}

TEST_F(ReportTest, ThePageNumberAndTitleAreInTheFunctions) {
  report().ReportTitle = "Daily";
  auto* d = AddBand(subject(), rbDetail, "D", 600);
  std::vector<std::string> seen;
  d->AfterPrint = [&](TQRCustomBand*, bool) {
    seen.push_back(std::to_string(report().PageNo()) + ":" +
                   std::to_string(report().Functions().EntryValue("PAGENUMBER").IntValue));
  };
  Feed(2);
  subject().Run();
  EXPECT_EQ(seen, std::vector<std::string>({"1:1", "2:2"}));
}

}  // namespace
}  // namespace report::testing
