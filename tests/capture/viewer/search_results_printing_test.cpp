// The search results' report printed for real on the PDF test printer and
// read back: long entries stay inside the right margin, and a page range
// prints what those pages hold in the whole document.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "capture/viewer/search_results_report.h"
#include "report/report/report_engine_win.h"
#include "tests/support/pdf_output.h"

namespace {

using Report = report::WindowedReport<capture::TqrCaptureSearchResultsRpt>;

// Entries as the results window lists them: long lines with and without
// blanks between short ones, enough for several pages.
std::vector<std::string> Entries() {
  std::vector<std::string> entries;
  for (int i = 0; i < 60; ++i) {
    const std::string number = std::to_string(3 * i + 1) + "     ";
    if (i % 3 == 0) {
      std::string line = number;
      while (line.size() < 400) line += "ITEM " + std::to_string(i) + " QTY 2 AMOUNT 12.25 ";
      entries.push_back(line);
    } else if (i % 3 == 1) {
      std::string line = number;
      while (line.size() < 225) line += "W" + std::to_string(i % 10) + "MXQ#";
      entries.push_back(line);
    } else {
      entries.push_back(number + "SUB TOTAL " + std::to_string(i) + ".25");
    }
  }
  return entries;
}

class SearchResultsPrinting : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { report::StartReportEngine(); }
  static void TearDownTestSuite() { report::FinishReportEngine(); }

  // Prints the entries, pages first to last (0, 0: all), and returns the PDF's path.
  std::string Print(int first = 0, int last = 0) {
    const std::string title = test_support::PdfOutput::UniqueTitle("results");
    Report report(nullptr, report::ReportEngineHost(), title, entries_);
    report->PrinterSettings.FirstPage = first;
    report->PrinterSettings.LastPage = last;
    report->Print();
    return output_.WaitForPdf("*" + title);
  }

  // The words without the date and title lines, which hold the time and job
  // of their print; blanks squeezed, as the layout spaces them by the title.
  static std::string WithoutHeading(const std::string& text) {
    const std::string body = std::regex_replace(text, std::regex("(Date:|results_)[^\n]*\n"), "");
    return std::regex_replace(body, std::regex("\\s+"), " ");
  }

  // The report keeps a reference to its list, as the results window's.
  const std::vector<std::string> entries_ = Entries();
  test_support::PdfOutput output_;
};

TEST_F(SearchResultsPrinting, NoPrintedWordPassesTheRightMargin) {
  const std::string boxes = output_.WordBoxes(Print());
  // Letter is 612 points wide; the right margin is 7.62 mm (21.6 points).
  const double marginLine = 612 - 7.62 / 25.4 * 72;
  const std::regex word(R"re(xMax="([0-9.]+)"[^>]*>([^<]*)<)re");
  int words = 0;
  for (std::sregex_iterator it(boxes.begin(), boxes.end(), word), end; it != end; ++it) {
    ++words;
    EXPECT_LE(std::stod((*it)[1]), marginLine + 0.5) << (*it)[2];
  }
  EXPECT_GT(words, 500);
}

TEST_F(SearchResultsPrinting, APageRangePrintsWhatThosePagesHoldInTheWholeDocument) {
  const std::string whole = Print();
  ASSERT_GE(test_support::PdfPageCount(output_.Info(whole)), 4);
  const std::string range = Print(2, 3);
  ASSERT_EQ(test_support::PdfPageCount(output_.Info(range)), 2);
  EXPECT_EQ(WithoutHeading(output_.Text(range)), WithoutHeading(output_.Text(whole, 2, 3)));
}

}  // namespace
