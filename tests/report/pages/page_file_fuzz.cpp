// Loads arbitrary bytes as a report page file and reads every page back, in
// an order that exercises the forward and backward walks.
#include <cstddef>
#include <cstdint>

#include "report/pages/error.h"
#include "report/pages/page_list.h"
#include "tests/report/pages/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  report::testing::MemoryFiles files;
  report::testing::FixedClock clock;
  files.Put("input.qrp", std::vector<std::uint8_t>(data, data + size));
  report::TQRPageList pages(files, clock);
  try {
    pages.LoadFromFile("input.qrp");
  } catch (const fw::Exception&) {
    return 0;
  }
  const std::int32_t count = pages.PageCount;
  const std::int32_t reads = count < 64 ? count : 64;
  for (std::int32_t i = 0; i < reads; ++i) {
    // Alternate between the end and the start, closing in on the middle.
    const std::int32_t n = i % 2 == 0 ? count - i / 2 : 1 + i / 2;
    try {
      pages.GetPage(n);
    } catch (const fw::Exception&) {
    }
  }
  try {
    pages.GetPage(0);
    pages.GetPage(count + 1 > 0 ? count + 1 : count);
    pages.SaveToFile("copy.qrp");
    if (files.Bytes("copy.qrp") != files.Bytes("input.qrp")) __builtin_trap();
  } catch (const fw::Exception&) {
  }
  return 0;
}
