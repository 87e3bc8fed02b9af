// Turns bytes into a layout (page, one to three columns, header and footer
// bands, a detail band with stretching texts and forced breaks, up to two
// groups over an in-memory data set) and generates it on the page model.
// Every pass must end within a page bound worked out from the layout, and
// every record's detail band must start exactly once, in order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "report/expr_platform_fixed.h"
#include "report/qr_expr_startup.h"
#include "tests/report/layout/page_model.h"
#include "tests/report/memory_data_set.h"

using namespace report;
using namespace report::testing;

namespace {

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  int Next() { return at_ < size_ ? data_[at_++] : 0; }
  // 0 .. limit-1
  int Below(int limit) { return Next() % limit; }
  // A length in tenths of a millimetre up to about 1.6 pages of 1000.
  int Length() { return (Next() << 8 | Next()) % 1600; }
  bool Flag() { return Next() & 1; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

TQRCustomBand* Band(PageModel& model, TQRBandType type, int height) {
  auto* band = new TQRBand(&model);
  band->SetBandType(type);
  band->SetParent(&model);
  band->SetUnits(TQRUnit::Native);
  band->Size().SetHeight(height);
  return band;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FixedExpressionPlatform platform;
  ReportExpressionsScope engine(platform);
  Bytes in(data, size);

  MemoryDataSet records("Items",
                        {{"Name", FieldKind::String}, {"G1", FieldKind::String}, {"G2", FieldKind::String}});
  const int recordCount = in.Below(40);
  for (int i = 0; i < recordCount; ++i)
    records.AddRecord({"R" + std::to_string(i), std::string(1, static_cast<char>('A' + in.Below(3))),
                       std::string(1, static_cast<char>('A' + in.Below(3)))});

  PageModel model;
  model.PageLengthValue = 100 + in.Length();
  model.TopMargin = in.Below(50);
  model.BottomMargin_ = in.Below(50);
  model.Columns = 1 + in.Below(3);
  model.ColumnSpace = in.Below(30);
  model.FirstPageHeader = in.Flag();
  model.LastPageFooter = in.Flag();
  const bool useOnNeedData = in.Flag();
  int given = 0;
  if (useOnNeedData)
    model.OnNeedData = [&](fw::TComponent*, bool& more) {
      more = given < recordCount;
      if (more) {
        if (given == 0)
          records.First();
        else
          records.Next();
        ++given;
      }
    };
  else
    model.controller().SetDataSet(&records);
  model.ReportDataSetValue = &records;

  int bandCount = 0;
  int totalLines = 0;
  auto maybe = [&](TQRBandType type) -> TQRCustomBand* {
    if (!in.Flag()) return nullptr;
    ++bandCount;
    return Band(model, type, in.Length());
  };
  if (TQRCustomBand* header = maybe(rbPageHeader)) header->ForceNewPage = in.Flag();
  maybe(rbPageFooter);
  if (TQRCustomBand* header = maybe(rbColumnHeader)) header->ForceNewPage = in.Flag();
  maybe(rbTitle);
  if (TQRCustomBand* summary = maybe(rbSummary)) summary->AlignToBottom = in.Flag();

  const int groups = in.Below(3);
  for (int g = 0; g < groups; ++g) {
    auto* group = new TQRGroup(&model);
    group->SetParent(&model);
    group->SetUnits(TQRUnit::Native);
    group->Size().SetHeight(in.Length());
    group->SetExpression(g == 0 ? "G1" : "G2");
    group->ReprintOnNewPage = in.Flag();
    group->ForceNewPage = in.Flag();
    if (in.Flag()) group->SetFooterBand(dynamic_cast<TQRBand*>(Band(model, rbGroupFooter, in.Length())));
    bandCount += 2;
  }

  TQRCustomBand* detail = Band(model, rbDetail, in.Length());
  ++bandCount;
  detail->ForceNewPage = in.Flag();
  detail->ForceNewColumn = in.Flag();
  if (in.Flag()) {
    detail->SetHasChild(true);
    detail->ChildBand()->SetUnits(TQRUnit::Native);
    detail->ChildBand()->Size().SetHeight(in.Length());
    ++bandCount;
  }
  const int texts = in.Below(3);
  for (int t = 0; t < texts; ++t) {
    const int lines = in.Below(25);
    auto* text = new StretchText(&model, model.trace, "X" + std::to_string(t), lines, 1 + in.Length());
    text->SetParent(detail);
    text->Size().SetUnits(TQRUnit::Native);
    text->Size().SetTop(in.Below(100));
    text->Size().SetHeight(in.Length());
    totalLines += lines;
  }

  std::vector<std::string> printed;
  detail->BeforePrint = [&](TQRCustomBand*, bool&) {
    printed.push_back(recordCount == 0 ? std::string("empty") : records.FieldAt(0)->AsText());
  };

  // Each band print starts at most one page by the room test and one more by
  // a forced break; each text line at most one column.
  const long long prints = static_cast<long long>(recordCount + 1) * (bandCount + 2);
  const long long bound = 2 * prints + static_cast<long long>(recordCount + 1) * (totalLines + 1) + 8;
  model.OnNewPage = [&](int page) {
    if (page > bound) __builtin_trap();
  };

  model.Run();

  const bool empty = recordCount == 0;
  if (empty) {
    // With OnNeedData an empty source prints nothing; a data set prints once.
    const std::size_t expected = useOnNeedData ? 0 : 1;
    if (printed.size() != expected) __builtin_trap();
  } else {
    if (printed.size() != static_cast<std::size_t>(recordCount)) __builtin_trap();
    for (int i = 0; i < recordCount; ++i)
      if (printed[static_cast<std::size_t>(i)] != "R" + std::to_string(i)) __builtin_trap();
  }
  return 0;
}
