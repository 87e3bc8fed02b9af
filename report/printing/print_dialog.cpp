#include "report/printing/print_dialog.h"

#include <cstring>

namespace report {

std::uint32_t PrintDialogFlags(TPrintRange range, bool collate, TPrintDialogOptions options,
                               bool printToFile) {
  std::uint32_t flags = range == TPrintRange::prSelection  ? kPdSelection
                        : range == TPrintRange::prPageNums ? kPdPageNums
                                                           : 0;
  flags |= kPdEnablePrintHook | kPdEnableSetupHook;
  if (collate) flags |= kPdCollate;
  if (!(options & poPrintToFile)) flags |= kPdHidePrintToFile;
  if (!(options & poPageNums)) flags |= kPdNoPageNums;
  if (!(options & poSelection)) flags |= kPdNoSelection;
  if (options & poDisablePrintToFile) flags |= kPdDisablePrintToFile;
  if (printToFile) flags |= kPdPrintToFile;
  if (options & poHelp) flags |= kPdShowHelp;
  if (!(options & poWarning)) flags |= kPdNoWarning;
  return flags;
}

std::uint16_t DialogPageNumber(std::int32_t page) {
  if (page < 0) return 0;
  if (page > 0xFFFF) return 0xFFFF;
  return static_cast<std::uint16_t>(page);
}

namespace {

constexpr std::size_t kDevNamesHeader = 8;

void StoreWord(std::uint8_t* at, std::size_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::size_t LoadWord(const std::uint8_t* at) { return static_cast<std::size_t>(at[0] | (at[1] << 8)); }

std::optional<std::string> NameAt(std::span<const std::uint8_t> block, std::size_t offset) {
  if (offset < kDevNamesHeader || offset >= block.size()) return std::nullopt;
  const auto* start = block.data() + offset;
  const void* end = std::memchr(start, 0, block.size() - offset);
  if (!end) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(start), static_cast<const std::uint8_t*>(end) - start);
}

}  // namespace

std::vector<std::uint8_t> DevNamesBlock(const QRPrinterNames& names) {
  // Offsets are 16 bits: names that would not fit are cut to what does.
  const std::size_t limit = 0xFFFF / 4;
  const std::string driver = names.Driver.substr(0, limit), device = names.Device.substr(0, limit),
                    port = names.Port.substr(0, limit);
  std::vector<std::uint8_t> block(kDevNamesHeader + driver.size() + device.size() + port.size() + 3, 0);
  const std::size_t driverAt = kDevNamesHeader;
  const std::size_t deviceAt = driverAt + driver.size() + 1;
  const std::size_t portAt = deviceAt + device.size() + 1;
  StoreWord(&block[0], driverAt);
  StoreWord(&block[2], deviceAt);
  StoreWord(&block[4], portAt);
  std::memcpy(&block[driverAt], driver.data(), driver.size());
  std::memcpy(&block[deviceAt], device.data(), device.size());
  std::memcpy(&block[portAt], port.data(), port.size());
  return block;
}

std::optional<QRPrinterNames> ReadDevNames(std::span<const std::uint8_t> block) {
  if (block.size() < kDevNamesHeader) return std::nullopt;
  auto driver = NameAt(block, LoadWord(&block[0]));
  auto device = NameAt(block, LoadWord(&block[2]));
  auto port = NameAt(block, LoadWord(&block[4]));
  if (!driver || !device || !port) return std::nullopt;
  return QRPrinterNames{*device, *driver, *port};
}

PrintDialogChoice ReadPrintDialogAnswer(const PrintDialogAnswer& answer, std::int32_t printerCopies) {
  PrintDialogChoice choice;
  choice.Collate = (answer.Flags & kPdCollate) != 0;
  choice.PrintToFile = (answer.Flags & kPdPrintToFile) != 0;
  choice.PrintRange = (answer.Flags & kPdSelection)  ? TPrintRange::prSelection
                      : (answer.Flags & kPdPageNums) ? TPrintRange::prPageNums
                                                     : TPrintRange::prAllPages;
  choice.FromPage = answer.FromPage;
  choice.ToPage = answer.ToPage;
  choice.Copies = answer.Copies == 1 ? printerCopies : answer.Copies;
  return choice;
}

QRDevicePoint DialogOrigin(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t dialogWidth,
                           std::int32_t dialogHeight) {
  return {(screenWidth - dialogWidth) / 2, (screenHeight - dialogHeight) / 3};
}

}  // namespace report
