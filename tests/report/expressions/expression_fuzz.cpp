// Prepares and evaluates arbitrary texts: directly, as an environment entry
// and in aggregate passes. The first byte picks the locale: bit 0 a ","
// decimal separator, bit 1 double-byte lead bytes 0x81-0x9F.
#include <cstddef>
#include <cstdint>
#include <string>

#include "report/expressions/platform_fixed.h"
#include "report/expressions/environment.h"
#include "report/expressions/evaluator.h"
#include "report/expressions/startup.h"
#include "tests/report/expressions/memory_data_set.h"

using namespace report;

namespace {

FixedExpressionPlatform& Platform() {
  static FixedExpressionPlatform platform;
  return platform;
}

void Check(const TQRExprValue& value) {
  if (value.Kind > evError || value.StrValue.size() > kMaxExprText) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  FixedExpressionPlatform& platform = Platform();
  platform.decimalSeparator = (data[0] & 1) ? ',' : '.';
  platform.thousandSeparator = (data[0] & 1) ? '.' : ',';
  platform.leadBytes.reset();
  if (data[0] & 2)
    for (int b = 0x81; b <= 0x9F; ++b) platform.leadBytes.set(static_cast<std::size_t>(b));
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  ReportExpressionsScope engine(platform);
  testing::MemoryDataSet orders("Orders",
                                {{"Qty", FieldKind::Integer},
                                 {"Price", FieldKind::Float},
                                 {"Name", FieldKind::String},
                                 {"Paid", FieldKind::Boolean},
                                 {"Blob", FieldKind::Other}},
                                true);
  orders.AddRecord({3, 2.5, std::string("Pen"), true, 0});
  orders.AddRecord({-7, 1e300, std::string(300, 'x'), false, 0});
  DataSets list{&orders};
  {
    TQREvEnvironment functions;
    functions.SetDataSetList(&list);
    functions.AddEntry("PAGENUMBER", "0");
    functions.AddEntry("FUZZ", text);
    functions.AddEntry("TWICE", "FUZZ + FUZZ");
    functions.Prepare();

    TQREvaluator evaluator;
    evaluator.SetLocalEnvironment(&functions);
    evaluator.SetDataSetList(&list);
    evaluator.Prepare(text);
    evaluator.HasAggregates();
    for (orders.First(); !orders.Eof(); orders.Next()) {
      evaluator.AggregatePass();
      Check(evaluator.Value());
    }
    orders.First();
    Check(evaluator.Value());
    evaluator.Reset();
    Check(evaluator.Value());

    TQREvEnvironment::SetInteger(functions.FirstElement("PAGENUMBER"), 2);
    Check(functions.EntryValue("TWICE"));
    evaluator.Prepare("TWICE + PAGENUMBER");
    Check(evaluator.Value());
    functions.RemoveEntry("FUZZ");
    Check(evaluator.Value());
    functions.Unprepare();
  }
  // Every use of the global environment was given back.
  if (QRGlobalEnvironment->PrepareCount() != 0) __builtin_trap();
  return 0;
}
