// The time from Open to a shown search results window: the log viewer opens
// a 750000-byte capture-like file, Find All runs and the results window is
// shown and painted. Prints the median of several runs for a common and a
// rare search text. Run it under Wine with log_viewer_open.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/capture/viewer/capture_like_log.h"
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
double OpenToResults(const std::string& path, const std::string& text, int& entries, double& openOnly) {
  capture::TfrmCaptureViewLogs viewer(nullptr);
  viewer.Show();
  fw::Application()->ProcessMessages();
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  viewer.OpenFile(path);
  LARGE_INTEGER opened;
  QueryPerformanceCounter(&opened);
  openOnly = Milliseconds(start, opened);
  viewer.edtSearch->SetText(text);
  viewer.btnFindAllClick(viewer.btnFindAll);
  capture::TfrmCaptureSearchResults* results = nullptr;
  for (fw::TComponent* component : viewer.Components())
    if (auto* window = dynamic_cast<capture::TfrmCaptureSearchResults*>(component)) results = window;
  if (results) UpdateWindow(results->Handle());
  fw::Application()->ProcessMessages();
  QueryPerformanceCounter(&end);
  entries = results && IsWindowVisible(results->Handle()) ? results->lstResults->Items().Count() : -1;
  return Milliseconds(start, end);
}

}  // namespace

int main() {
  const std::string log = CaptureLikeLog(capture::TfrmCaptureViewLogs::kMaxFileSize);
  const char* const name = "log_viewer_open_timing.txt";
  std::ofstream(name, std::ios::binary | std::ios::trunc).write(log.data(), static_cast<std::streamsize>(log.size()));
  char path[MAX_PATH];
  GetFullPathNameA(name, MAX_PATH, path, nullptr);

  std::printf("Open to shown results window, %zu-byte log, median of 9 runs:\n", log.size());
  for (const char* text : {"total", "#100777"}) {
    std::vector<double> times, opens;
    int entries = 0;
    for (int run = 0; run < 9; ++run) {
      double open = 0;
      times.push_back(OpenToResults(path, text, entries, open));
      opens.push_back(open);
    }
    std::sort(times.begin(), times.end());
    std::sort(opens.begin(), opens.end());
    std::printf("  %-8s %6d entries  median %8.1f ms  (min %.1f, max %.1f); of which Open %.1f ms\n", text, entries,
                times[4], times[0], times[8], opens[4]);
  }
  DeleteFileA(path);
  return 0;
}
