// Loads arbitrary bytes as a report page file and reads every page back, in
// an order that exercises the forward and backward walks; then loads them
// into a page producer, which guesses their paper and prints them.
#include <cstddef>
#include <cstdint>

#include "report/printing/qr_printer.h"
#include "report/pages/error.h"
#include "report/pages/page_list.h"
#include "tests/report/printing/fake_printing.h"
#include "tests/report/pages/memory_files.h"

namespace {

// A producer on a printer that lists every paper loads the file, guesses its
// paper and prints it; a refused file leaves it as it was.
void LoadIntoProducer(const std::vector<std::uint8_t>& bytes) {
  report::testing::FakePrinting fake;
  fake.files.Put("input.qrp", bytes);
  fake.printers.Prepare = [](report::testing::FakePlatformPrinter& printer) {
    printer.Mode = report::QRDeviceMode{.Fields = 0x1 | 0x2, .PaperSize = 1};
    for (std::int16_t code = 1; code <= 26; ++code) printer.Papers.push_back(code);
  };
  report::TQRPrinter producer(fake.Services());
  try {
    producer.Load("input.qrp");
  } catch (const fw::Exception&) {
    if (producer.Status() != report::TQRStatus::qsReady || producer.FromFile()) __builtin_trap();
    return;
  }
  if (producer.Status() != report::TQRStatus::qsFinished ||
      producer.PageCount() != producer.PageList().PageCount)
    __builtin_trap();
  if (static_cast<int>(producer.PaperSize()) >= report::kQRPaperSizeCount) __builtin_trap();
  if (producer.PageCount() > 64) return;
  try {
    producer.Print();
  } catch (const fw::Exception&) {
  }
  if (fake.printers.Last && fake.printers.Last->IsPrinting) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  report::testing::MemoryFiles files;
  report::testing::FixedClock clock;
  const std::vector<std::uint8_t> bytes(data, data + size);
  files.Put("input.qrp", bytes);
  LoadIntoProducer(bytes);
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
