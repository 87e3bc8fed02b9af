// The search results' printout as a whole process under Wine, one job per run
// (bench/process/search_results_report.sh times the runs beside enscript):
//   search_results_report_bench start
//       starts and ends: the start-up of a program of ours under Wine;
//   search_results_report_bench preview ENTRIES TITLE [PAGES_FILE]
//       Print Preview of the entries (one a line) until the last page is
//       stored, then the preview closes; the stored pages are written to
//       PAGES_FILE afterwards, untimed, for the floor;
//   search_results_report_bench print ENTRIES TITLE
//       prints the entries on the default printer (the PDF test printer,
//       TALLIMO_PDF_OUT) and ends once its PDF is complete.
// Prints the page count and the time from the first call to the last page.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "capture/viewer/search_results_report.h"
#include "framework/application.h"
#include "framework/timer.h"
#include "report/preview/qr_standard_preview_win.h"
#include "report/report/report_engine_win.h"
#include "tests/support/pdf_output.h"

namespace {

double Milliseconds(LARGE_INTEGER from) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::vector<std::string> ReadEntries(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> entries;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    entries.push_back(line);
  }
  return entries;
}

using Report = report::WindowedReport<capture::TqrCaptureSearchResultsRpt>;

int PreviewToLastPage(Report& report, const std::string& title, const char* pagesFile) {
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  double stored = -1;
  int pages = 0;
  fw::TTimer watch(nullptr);
  watch.SetInterval(1);
  watch.OnTimer = [&](fw::TComponent*) {
    auto* form = dynamic_cast<report::TQRStandardPreview*>(
        fw::TControl::FromHandle(FindWindowA(nullptr, title.c_str())));
    if (!form || !form->Producer() || form->Producer()->Status() != report::TQRStatus::qsFinished) return;
    stored = Milliseconds(start);
    watch.SetEnabled(false);
    pages = form->Producer()->PageCount();
    if (pagesFile) form->Producer()->Save(pagesFile);
    form->Close();
  };
  watch.SetEnabled(true);
  report->Preview();
  if (stored < 0) {
    std::fprintf(stderr, "the preview closed before its last page was stored\n");
    return 1;
  }
  std::printf("preview: %d pages, last page stored %.1f ms after Print Preview\n", pages, stored);
  return 0;
}

int PrintToPdf(Report& report, const std::string& title) {
  test_support::PdfOutput output;
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  report->Print();
  const double spooled = Milliseconds(start);
  std::string name = title;
  for (char& ch : name)
    if (ch == ' ') ch = '*';
  const std::string pdf = output.WaitForPdf("*" + name);
  const double complete = Milliseconds(start);
  std::printf("print: %d pages, spooled %.1f ms, PDF complete %.1f ms after Print\n",
              test_support::PdfPageCount(output.Info(pdf)), spooled, complete);
  DeleteFileA(("Z:" + pdf).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "start") return 0;
  if ((mode != "preview" && mode != "print") || argc < 4) {
    std::fprintf(stderr, "usage: %s start | preview ENTRIES TITLE [PAGES_FILE] | print ENTRIES TITLE\n", argv[0]);
    return 2;
  }
  const std::vector<std::string> entries = ReadEntries(argv[2]);
  // Each print job's title is its own: its PDF is found by it.
  const std::string title =
      mode == "print" ? argv[3] + std::string(" ") + test_support::PdfOutput::UniqueTitle("run") : argv[3];
  report::StartReportEngine();
  int status = 1;
  try {
    Report report(nullptr, report::ReportEngineHost(), title, entries);
    status = mode == "preview" ? PreviewToLastPage(report, title, argc > 4 ? argv[4] : nullptr)
                               : PrintToPdf(report, title);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  report::FinishReportEngine();
  return status;
}
