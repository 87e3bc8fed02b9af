// Evaluations per second of report expressions, each beside a hand-written
// C++ reference computing the same result from the same input.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "report/expr_platform_fixed.h"
#include "report/qr_environment.h"
#include "report/qr_evaluator.h"
#include "report/qr_expr_startup.h"
#include "tests/report/memory_data_set.h"

using namespace report;

namespace {

constexpr int kRecords = 100000;

struct Engine {
  FixedExpressionPlatform platform;
  ReportExpressionsScope scope{platform};
};

Engine& TheEngine() {
  static Engine engine;
  return engine;
}

testing::MemoryDataSet& Orders() {
  static testing::MemoryDataSet* orders = [] {
    auto* data = new testing::MemoryDataSet("Orders", {{"Amount", FieldKind::Float}});
    for (int i = 0; i < kRecords; ++i) data->AddRecord({1.0 + (i % 100) * 0.25});
    return data;
  }();
  return *orders;
}

void PageHeaderExpression(benchmark::State& state) {
  TheEngine();
  TQREvEnvironment functions;
  functions.AddEntry("PAGENUMBER", "0");
  functions.AddEntry("REPORTTITLE", "'Search results'");
  functions.Prepare();
  TQREvaluator header;
  header.SetLocalEnvironment(&functions);
  header.Prepare("REPORTTITLE + ' - ' + AppName + ' - Page ' + STR(PAGENUMBER)");
  TQREvElement* page = functions.FirstElement("PAGENUMBER");
  int number = 0;
  for (auto _ : state) {
    TQREvEnvironment::SetInteger(page, ++number);
    benchmark::DoNotOptimize(header.Value());
  }
  state.SetItemsProcessed(state.iterations());
  header.Unprepare();
  functions.Unprepare();
}
BENCHMARK(PageHeaderExpression);

void PageHeaderReference(benchmark::State& state) {
  const std::string title = "Search results", appName = "Tallimo";
  int number = 0;
  for (auto _ : state) {
    std::string text = title + " - " + appName + " - Page " + std::to_string(++number);
    benchmark::DoNotOptimize(text);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PageHeaderReference);

void SumOverRecordsExpression(benchmark::State& state) {
  TheEngine();
  testing::MemoryDataSet& orders = Orders();
  DataSets list{&orders};
  TQREvaluator sum;
  sum.SetDataSetList(&list);
  sum.Prepare("SUM(Amount)");
  for (auto _ : state) {
    sum.Reset();
    for (orders.First(); !orders.Eof(); orders.Next()) sum.AggregatePass();
    orders.First();
    benchmark::DoNotOptimize(sum.Value());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(SumOverRecordsExpression)->Unit(benchmark::kMillisecond);

void SumOverRecordsReference(benchmark::State& state) {
  testing::MemoryDataSet& orders = Orders();
  DataField* amount = orders.FieldAt(0);
  for (auto _ : state) {
    double total = 0;
    for (orders.First(); !orders.Eof(); orders.Next()) total += amount->AsFloat();
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(SumOverRecordsReference)->Unit(benchmark::kMillisecond);

// Prints each expression's rate beside its reference.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto items = run.counters.find("items_per_second");
      if (items != run.counters.end()) rates_[run.benchmark_name()] = items->second;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const char* name : {"PageHeader", "SumOverRecords"}) {
      const double ours = rates_[std::string(name) + "Expression"];
      const double reference = rates_[std::string(name) + "Reference"];
      if (ours > 0 && reference > 0)
        std::printf("%s: %.0f evaluations/s (reference %.0f/s), reference/ours = %.1f\n", name, ours,
                    reference, reference / ours);
    }
  }

 private:
  std::map<std::string, double> rates_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
