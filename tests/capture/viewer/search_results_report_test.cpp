// The search results printout generated into the page store on faked
// printing: text measures 10 pixels a byte, lines are 16 tenths of a
// millimetre high.
#include "capture/viewer/search_results_report.h"

#include <gtest/gtest.h>

#include "tests/report/report/report_test_support.h"

namespace capture {
namespace {

using report::testing::TestReportHost;

class SearchResultsReportTest : public ::testing::Test {
 public:
  SearchResultsReportTest() : engine_(platform_) { platform_.dateTimeText = "3/4/2026 9:05:07"; }

  // Previews the entries; gives every text drawn, in order.
  std::vector<std::string> Preview(const std::vector<std::string>& entries) {
    TqrCaptureSearchResultsRpt rpt(nullptr, host_, "Search Results - journal.cap", entries);
    rpt.WindowHandle = 42;
    host_.report = &rpt;
    auto needData = rpt.OnNeedData;
    rpt.OnNeedData = [&](fw::TComponent* sender, bool& more) {
      ++needDataCalls_;
      needData(sender, more);
    };
    rpt.Preview();
    pages_ = rpt.CurrentProducer() ? rpt.CurrentProducer()->PageCount() : 0;
    host_.report = nullptr;
    return host_.trace.Texts();
  }

  report::FixedExpressionPlatform platform_;
  report::ReportExpressionsScope engine_;
  TestReportHost host_;
  int needDataCalls_ = 0;
  int pages_ = 0;
};

TEST_F(SearchResultsReportTest, ThreeEntriesGiveThreeRowsInOrderUnderTheHeader) {
  const std::vector<std::string> entries = {"12 SALE 1.00", "40 SALE 2.50", "41 VOID"};
  EXPECT_EQ(Preview(entries), std::vector<std::string>({"Date:", "3/4/2026 9:05:07", "Page:", "1",
                                                        "Search Results - journal.cap", "12 SALE 1.00",
                                                        "40 SALE 2.50", "41 VOID"}));
  EXPECT_EQ(needDataCalls_, 4);
  EXPECT_EQ(pages_, 1);
}

TEST_F(SearchResultsReportTest, ManyEntriesFillSeveralPagesNumberedFromOne) {
  std::vector<std::string> entries;
  for (int i = 0; i < 200; ++i) entries.push_back("line " + std::to_string(i));
  const std::vector<std::string> texts = Preview(entries);
  ASSERT_GT(pages_, 1);
  std::vector<std::string> rows, numbers;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (texts[i] == "Page:") numbers.push_back(texts[i + 1]);
    if (texts[i].rfind("line ", 0) == 0) rows.push_back(texts[i]);
  }
  EXPECT_EQ(rows, entries);
  ASSERT_EQ(static_cast<int>(numbers.size()), pages_);
  for (int page = 1; page <= pages_; ++page) EXPECT_EQ(numbers[page - 1], std::to_string(page));
  EXPECT_EQ(needDataCalls_, 201);
}

TEST_F(SearchResultsReportTest, ALongEntryPrintsWholeWithinItsRow) {
  std::string entry;
  for (int i = 0; entry.size() < 300; ++i) entry += "w" + std::to_string(i) + (i % 7 == 6 ? "-" : " ");
  entry += std::string(400, 'x');
  const std::vector<std::string> texts = Preview({entry});
  std::string printed;
  for (std::size_t i = 5; i < texts.size(); ++i) printed += texts[i];
  EXPECT_EQ(printed, entry);
  EXPECT_GT(texts.size(), 6u);  // it took several lines
}

TEST_F(SearchResultsReportTest, BandsHoldTheirLabelsWhereTheFontIsTallerThanTheirPlaces) {
  // Text as tall as a large screen font: the title's line alone is taller
  // than the header's 40 pixels.
  for (std::int32_t height : {12, 60}) {
    host_.textHeight = height;
    TqrCaptureSearchResultsRpt rpt(nullptr, host_, "Search Results - journal.cap", {"1 TOTAL"});
    const auto bottom = [](report::TQRLabel* label) {
      return label->Size().NativeTop() + label->Size().NativeHeight();
    };
    EXPECT_GE(rpt.PageHeaderBand->Size().NativeHeight(), bottom(rpt.lblTitle)) << height;
    EXPECT_GE(rpt.DetailBand->Size().NativeHeight(), bottom(rpt.lblText)) << height;
    if (height == 60) {
      EXPECT_GT(bottom(rpt.lblTitle), 40 * 254 / 96.0L) << "the case must need the growth";
    }
  }
}

TEST_F(SearchResultsReportTest, NoEntriesMakeNoDocument) {
  EXPECT_TRUE(Preview({}).empty());
  EXPECT_EQ(pages_, 0);
  EXPECT_EQ(needDataCalls_, 0);
}

TEST_F(SearchResultsReportTest, TheReportIsOnLetterWithItsMargins) {
  const std::vector<std::string> entries = {"a"};
  TqrCaptureSearchResultsRpt rpt(nullptr, host_, "t", entries);
  EXPECT_EQ(rpt.Page().PaperSize(), report::TQRPaperSize::Letter);
  EXPECT_EQ(rpt.Units(), report::TQRUnit::Inches);
  EXPECT_DOUBLE_EQ(static_cast<double>(rpt.Page().NativeTopMargin()), 127);
  EXPECT_DOUBLE_EQ(static_cast<double>(rpt.Page().NativeLeftMargin()), 76.2);
  EXPECT_EQ(rpt.ReportTitle, "t");
  EXPECT_EQ(rpt.lblTitle->Caption(), "t");
  // Both labels span their bands: 2006.6 tenths of a millimetre at 96 pixels an inch.
  EXPECT_EQ(rpt.lblTitle->Width(), 758);
  EXPECT_EQ(rpt.lblText->Width(), 758);
}

}  // namespace
}  // namespace capture
