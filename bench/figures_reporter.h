// Side-by-side figures for our benchmark programs: the usual console output of
// every run, and each run's counters kept by benchmark name, so that a program
// can print its own comparison (ours against a reference) at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

class FiguresReporter : public benchmark::ConsoleReporter {
 public:
  using ConsoleReporter::ConsoleReporter;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      for (const auto& [counter, value] : run.counters) figures_[run.benchmark_name()][counter] = value.value;
  }

  // The counter's value in the named benchmark's last run; 0 when absent.
  double Figure(const std::string& benchmark, const std::string& counter) const {
    const auto runs = figures_.find(benchmark);
    if (runs == figures_.end()) return 0;
    const auto value = runs->second.find(counter);
    return value == runs->second.end() ? 0 : value->second;
  }

  // ours / reference for one counter; 0 when either is missing.
  double Ratio(const std::string& ours, const std::string& reference, const std::string& counter) const {
    const double theirs = Figure(reference, counter);
    return theirs > 0 ? Figure(ours, counter) / theirs : 0;
  }

 private:
  std::map<std::string, std::map<std::string, double>> figures_;
};

// Runs the registered benchmarks, then hands the figures to `summary`.
template <typename Summary>
int RunAndSummarise(int argc, char** argv, Summary summary,
                    benchmark::ConsoleReporter::OutputOptions options = benchmark::ConsoleReporter::OO_Defaults) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  FiguresReporter reporter(options);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  summary(reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
