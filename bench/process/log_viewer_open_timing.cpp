// The time from Open to a shown search results window: the log viewer opens
// a 750000-byte capture-like file, Find All runs and the results window is
// shown and painted. Prints the median of several runs for a common and a
// rare search text, with the Open alone, the search alone (the memo's text
// read and every matching line found) and the rest of Find All, which is
// making, filling and painting the results window. Run it under Wine with
// log_viewer_open.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/capture/viewer/capture_like_log.h"
#include "capture/viewer/search.h"
#include "capture/viewer/search_results_win.h"
#include "capture/viewer/view_logs_win.h"
#include "framework/application.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One run: a fresh viewer, Open, Find All, and every message handled until
// the results window has painted.
struct Run {
  double Total = 0, Open = 0, Search = 0, FindAll = 0;
  int Entries = 0;
};

Run OpenToResults(const std::string& path, const std::string& text) {
  Run run;
  capture::TfrmCaptureViewLogs viewer(nullptr);
  viewer.Show();
  fw::Application()->ProcessMessages();
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  viewer.OpenFile(path);
  LARGE_INTEGER opened;
  QueryPerformanceCounter(&opened);
  run.Open = Milliseconds(start, opened);
  viewer.edtSearch->SetText(text);
  fw::Application()->ProcessMessages();
  LARGE_INTEGER searchStart, searched;
  QueryPerformanceCounter(&searchStart);
  const std::string memo = viewer.memLog->Text();
  const size_t hits = capture::FindLinesNoCase(memo, text).size();
  QueryPerformanceCounter(&searched);
  run.Search = Milliseconds(searchStart, searched);
  LARGE_INTEGER findAllStart;
  QueryPerformanceCounter(&findAllStart);
  viewer.btnFindAllClick(viewer.btnFindAll);
  capture::TfrmCaptureSearchResults* results = nullptr;
  for (fw::TComponent* component : viewer.Components())
    if (auto* window = dynamic_cast<capture::TfrmCaptureSearchResults*>(component)) results = window;
  if (results) UpdateWindow(results->Handle());
  fw::Application()->ProcessMessages();
  QueryPerformanceCounter(&end);
  run.FindAll = Milliseconds(findAllStart, end);
  run.Total = run.Open + run.FindAll;
  run.Entries = results && IsWindowVisible(results->Handle()) && hits == static_cast<size_t>(results->lstResults->Items().Count())
                    ? results->lstResults->Items().Count()
                    : -1;
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::string log = CaptureLikeLog(capture::TfrmCaptureViewLogs::kMaxFileSize);
  // --write-log PATH: only write the log, for a reference tool to read the same bytes.
  if (argc == 3 && std::string(argv[1]) == "--write-log") {
    std::ofstream(argv[2], std::ios::binary | std::ios::trunc).write(log.data(), static_cast<std::streamsize>(log.size()));
    return 0;
  }
  const char* const name = "log_viewer_open_timing.txt";
  std::ofstream(name, std::ios::binary | std::ios::trunc).write(log.data(), static_cast<std::streamsize>(log.size()));
  char path[MAX_PATH];
  GetFullPathNameA(name, MAX_PATH, path, nullptr);

  std::printf("log viewer, %zu-byte log, median of 9 runs (Open and Find All to the results painted):\n",
              log.size());
  for (const char* text : {"total", "#100777"}) {
    std::vector<double> totals, opens, searches, findAlls;
    int entries = 0;
    for (int i = 0; i < 9; ++i) {
      const Run run = OpenToResults(path, text);
      totals.push_back(run.Total);
      opens.push_back(run.Open);
      searches.push_back(run.Search);
      findAlls.push_back(run.FindAll);
      entries = run.Entries;
    }
    std::printf("  %-8s %5d entries: Open to results %7.1f ms; Open %7.1f ms; Find All %7.1f ms, of which the "
                "search %5.1f ms\n",
                text, entries, Median(totals), Median(opens), Median(findAlls), Median(searches));
  }
  DeleteFileA(path);
  return 0;
}
