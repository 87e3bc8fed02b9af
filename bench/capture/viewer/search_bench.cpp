// Find All over a 750000-byte capture-like log (the viewer's largest file):
// the core search, from reading the file to the list of entries, beside
// `grep -n -i -F` on the same file in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "bench/capture/viewer/capture_like_log.h"
#include "capture/viewer/search.h"

namespace {

constexpr size_t kLogSize = 750000;
const char* const kLogPath = "log_search_bench.txt";

const std::string& LogFile() {
  static const std::string path = [] {
    const std::string log = CaptureLikeLog(kLogSize);
    std::ofstream(kLogPath, std::ios::binary | std::ios::trunc).write(log.data(), static_cast<std::streamsize>(log.size()));
    return std::string(kLogPath);
  }();
  return path;
}

// What the viewer does: read the file, make the memo's text, list the lines.
size_t CoreFindAll(const std::string& path, const std::string& pattern) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string text = capture::MemoTextFromFile(bytes.str());
  size_t entries = 0, size = 0;
  for (const auto& hit : capture::FindLinesNoCase(text, pattern)) {
    size += capture::SearchResultEntry(hit).size();
    ++entries;
  }
  benchmark::DoNotOptimize(size);
  return entries;
}

size_t GrepFindAll(const std::string& path, const std::string& pattern) {
  const std::string command = "grep -n -i -F -e '" + pattern + "' " + path;
  FILE* grep = popen(command.c_str(), "r");
  if (!grep) return 0;
  char buffer[65536];
  size_t lines = 0, got;
  while ((got = std::fread(buffer, 1, sizeof buffer, grep)) > 0)
    for (size_t i = 0; i < got; ++i) lines += buffer[i] == '\n';
  pclose(grep);
  return lines;
}

void RunFindAll(benchmark::State& state, size_t (*search)(const std::string&, const std::string&),
                const char* pattern) {
  const std::string& path = LogFile();
  size_t hits = 0;
  for (auto _ : state) hits = search(path, pattern);
  state.counters["hits"] = static_cast<double>(hits);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLogSize));
}

void BM_CoreFindAll(benchmark::State& state, const char* pattern) { RunFindAll(state, CoreFindAll, pattern); }
void BM_GrepFindAll(benchmark::State& state, const char* pattern) { RunFindAll(state, GrepFindAll, pattern); }

BENCHMARK_CAPTURE(BM_CoreFindAll, total, "total")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_GrepFindAll, total, "total")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CoreFindAll, rare, "#100777")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_GrepFindAll, rare, "#100777")->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints the runs as usual and then each core time as a share of grep's.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  void Summary() const {
    std::printf("\nFind All on %zu bytes, core / grep -n -i -F (wall time, lower is faster;\n grep's includes starting the process):\n", kLogSize);
    for (const char* pattern : {"total", "rare"}) {
      const double core = Time(std::string("BM_CoreFindAll/") + pattern + "/real_time");
      const double grep = Time(std::string("BM_GrepFindAll/") + pattern + "/real_time");
      std::printf("  %-6s core %.3f ms, grep %.3f ms, ratio %.2f\n", pattern, core, grep, grep > 0 ? core / grep : 0);
    }
  }

 private:
  double Time(const std::string& name) const {
    const auto found = times_.find(name);
    return found == times_.end() ? 0 : found->second;
  }
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.Summary();
  benchmark::Shutdown();
  return 0;
}
