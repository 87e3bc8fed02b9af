// Evaluations per second of report expressions, each beside a hand-written
// C++ reference computing the same result from the same input.
#include <benchmark/benchmark.h>

#include "bench/figures_reporter.h"

#include <map>
#include <string>

#include "report/expressions/platform_fixed.h"
#include "report/expressions/environment.h"
#include "report/expressions/evaluator.h"
#include "report/expressions/startup.h"
#include "tests/report/expressions/memory_data_set.h"

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

}  // namespace

int main(int argc, char** argv) {
  return bench::RunAndSummarise(argc, argv, [](const bench::FiguresReporter& figures) {
    for (const std::string name : {"PageHeader", "SumOverRecords"}) {
      const double ours = figures.Figure(name + "Expression", "items_per_second");
      const double reference = figures.Figure(name + "Reference", "items_per_second");
      if (ours > 0 && reference > 0)
        std::printf("%s: %.0f evaluations/s (reference %.0f/s), reference/ours = %.1f\n", name.c_str(), ours,
                    reference, reference / ours);
    }
  });
}
