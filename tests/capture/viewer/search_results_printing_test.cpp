// The search results' report previewed and then printed for real on the PDF
// test printer, read back with pdftotext: every printed page holds the lines
// of the preview's page of the same number, broken at the same places, long
// entries stay inside the right margin, and a page range prints those
// preview pages.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "capture/viewer/search_results_report.h"
#include "report/report/report_engine_win.h"
#include "tests/support/pdf_output.h"

namespace {

using Report = report::WindowedReport<capture::TqrCaptureSearchResultsRpt>;
using PageLines = std::vector<std::vector<std::string>>;

// Entries as the results window lists them: long lines with and without
// blanks between short ones, enough for several pages.
std::vector<std::string> WrappingEntries() {
  std::vector<std::string> entries;
  for (int i = 0; i < 120; ++i) {
    const std::string number = std::to_string(3 * i + 1) + "     ";
    if (i % 3 == 0) {
      std::string line = number;
      while (line.size() < 250) line += "ITEM " + std::to_string(i) + " QTY 2 AMOUNT 12.25 ";
      entries.push_back(line);
    } else if (i % 3 == 1) {
      std::string line = number;
      while (line.size() < 160) line += "W" + std::to_string(i % 10) + "MXQ#";
      entries.push_back(line);
    } else {
      entries.push_back(number + "SUB TOTAL " + std::to_string(i) + ".25");
    }
  }
  return entries;
}

// One matching line, long enough for several pages, with blanks between its
// words or none at all.
std::vector<std::string> OneLongLine(bool blanks) {
  std::string line;
  for (int i = 0; line.size() < 25000; ++i)
    line += blanks ? "SUBTOTAL " + std::to_string(i % 97) + ".25 " : "W" + std::to_string(i % 10) + "MXQil#";
  return {line};
}

// A line's text without blanks: pdftotext may space letters set apart on
// paper otherwise than the words on the page.
std::string Letters(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
  return out;
}

// The page heading's first line holds the time of its run and the page
// number: it differs between a preview and a print.
bool IsDateLine(const std::string& letters) { return letters.rfind("Date:", 0) == 0; }

void AddLine(std::vector<std::string>& page, const std::string& text) {
  const std::string letters = Letters(text);
  if (!letters.empty() && !IsDateLine(letters)) page.push_back(letters);
}

// The lines of a stored page, from the texts its metafile draws: texts on
// one baseline make one line, left to right, lines top to bottom.
std::vector<std::string> StoredLines(const report::PageImage& image) {
  std::map<LONG, std::vector<std::pair<LONG, std::string>>> rows;
  for (std::size_t at = 0; at + 8 <= image.size();) {
    DWORD type = 0, size = 0;
    std::memcpy(&type, image.data() + at, 4);
    std::memcpy(&size, image.data() + at + 4, 4);
    if (size < 8 || at + size > image.size()) break;
    if ((type == EMR_EXTTEXTOUTW || type == EMR_EXTTEXTOUTA) && size >= sizeof(EMREXTTEXTOUTW)) {
      EMREXTTEXTOUTW record;
      std::memcpy(&record, image.data() + at, sizeof record);
      const EMRTEXT& text = record.emrtext;
      std::string line;
      if (type == EMR_EXTTEXTOUTA) {
        line.assign(reinterpret_cast<const char*>(image.data() + at + text.offString), text.nChars);
      } else {
        std::wstring wide(text.nChars, L'\0');
        std::memcpy(wide.data(), image.data() + at + text.offString, text.nChars * sizeof(wchar_t));
        for (wchar_t c : wide) line += static_cast<char>(c < 256 ? c : '?');
      }
      rows[text.ptlReference.y].emplace_back(text.ptlReference.x, line);
    }
    at += size;
  }
  std::vector<std::string> lines;
  for (auto& [y, texts] : rows) {
    std::sort(texts.begin(), texts.end());
    std::string row;
    for (const auto& [x, text] : texts) row += text + " ";
    AddLine(lines, row);
  }
  return lines;
}

// The lines of each page of pdftotext's output; pages end with a form feed.
PageLines PrintedPages(const std::string& text) {
  PageLines pages(1);
  std::string row;
  for (char c : text) {
    if (c == '\n' || c == '\f') {
      AddLine(pages.back(), row);
      row.clear();
      if (c == '\f') pages.emplace_back();
    } else {
      row += c;
    }
  }
  AddLine(pages.back(), row);
  if (pages.back().empty()) pages.pop_back();
  return pages;
}

class SearchResultsPrinting : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { report::StartReportEngine(); }
  static void TearDownTestSuite() { report::FinishReportEngine(); }

  // Previews the entries as the results window does, its window opening
  // nothing, and keeps the preview's stored pages.
  void PreviewAndKeepPages() {
    (*report_)->OnPreview = [](fw::TComponent*) {};
    (*report_)->Preview();
    report::TQRPrinter* preview = (*report_)->CurrentProducer();
    ASSERT_NE(preview, nullptr);
    for (int n = 1; n <= preview->PageCount(); ++n) {
      const std::optional<report::PageImage> page = preview->GetPage(n);
      ASSERT_TRUE(page) << n;
      previewPages_.push_back(StoredLines(*page));
    }
  }

  // Prints the entries, pages first to last (0, 0: all), as the preview's
  // Print does, and returns the PDF's path.
  std::string Print(int first = 0, int last = 0) {
    (*report_)->PrinterSettings.FirstPage = first;
    (*report_)->PrinterSettings.LastPage = last;
    (*report_)->Print();
    return output_.WaitForPdf("*" + title_);
  }

  void Start(std::vector<std::string> entries) {
    entries_ = std::move(entries);
    title_ = test_support::PdfOutput::UniqueTitle("results");
    report_ = std::make_unique<Report>(nullptr, report::ReportEngineHost(), title_, entries_);
  }

  // Every word of a PDF inside the right margin of the Letter page (612
  // points wide, its right margin 7.62 mm).
  void ExpectInsideTheMargin(const std::string& pdf) {
    const std::string boxes = output_.WordBoxes(pdf);
    const double marginLine = 612 - 7.62 / 25.4 * 72;
    const std::regex word(R"re(xMax="([0-9.]+)"[^>]*>([^<]*)<)re");
    int words = 0;
    for (std::sregex_iterator it(boxes.begin(), boxes.end(), word), end; it != end; ++it) {
      ++words;
      EXPECT_LE(std::stod((*it)[1]), marginLine + 0.5) << (*it)[2];
    }
    EXPECT_GT(words, 100);
  }

  // The report keeps a reference to its list, as the results window's.
  std::vector<std::string> entries_;
  std::string title_;
  std::unique_ptr<Report> report_;
  PageLines previewPages_;
  test_support::PdfOutput output_;
};

struct DataCase {
  const char* name;
  std::vector<std::string> (*entries)();
};

class EveryPrintedPage : public SearchResultsPrinting, public ::testing::WithParamInterface<DataCase> {};

TEST_P(EveryPrintedPage, HoldsTheLinesOfItsPreviewPage) {
  Start(GetParam().entries());
  PreviewAndKeepPages();
  ASSERT_GE(previewPages_.size(), 5u);
  const std::string pdf = Print();
  const PageLines printed = PrintedPages(output_.Text(pdf));
  EXPECT_EQ(test_support::PdfPageCount(output_.Info(pdf)), static_cast<int>(previewPages_.size()));
  ASSERT_EQ(printed.size(), previewPages_.size());
  for (std::size_t n = 0; n < printed.size(); ++n)
    EXPECT_EQ(printed[n], previewPages_[n]) << "page " << n + 1;
  ExpectInsideTheMargin(pdf);
}

INSTANTIATE_TEST_SUITE_P(
    Data, EveryPrintedPage,
    ::testing::Values(DataCase{"WrappingEntries", WrappingEntries},
                      DataCase{"OneLongLineWithBlanks", [] { return OneLongLine(true); }},
                      DataCase{"OneLongLineWithoutBlanks", [] { return OneLongLine(false); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SearchResultsPrinting, APageRangePrintsThosePagesOfThePreview) {
  Start(WrappingEntries());
  PreviewAndKeepPages();
  ASSERT_GE(previewPages_.size(), 5u);
  const std::string pdf = Print(3, 5);
  const PageLines printed = PrintedPages(output_.Text(pdf));
  EXPECT_EQ(test_support::PdfPageCount(output_.Info(pdf)), 3);
  EXPECT_EQ(printed, PageLines(previewPages_.begin() + 2, previewPages_.begin() + 5));
}

}  // namespace
