// The print dialog's rules without the dialog: its flags, the DEVNAMES block
// that names the printer to it and back, what its answer means, and where it
// opens on the screen.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "report/printing/printer_device.h"

namespace report {

enum TPrintDialogOption : unsigned {
  poPrintToFile = 1,
  poPageNums = 2,
  poSelection = 4,
  poWarning = 8,
  poHelp = 16,
  poDisablePrintToFile = 32,
};
// A set of TPrintDialogOption bits.
using TPrintDialogOptions = unsigned;

enum class TPrintRange : std::uint8_t { prAllPages, prSelection, prPageNums };

// The print dialog record's flag bits used here.
constexpr std::uint32_t kPdSelection = 0x1;
constexpr std::uint32_t kPdPageNums = 0x2;
constexpr std::uint32_t kPdNoSelection = 0x4;
constexpr std::uint32_t kPdNoPageNums = 0x8;
constexpr std::uint32_t kPdCollate = 0x10;
constexpr std::uint32_t kPdPrintToFile = 0x20;
constexpr std::uint32_t kPdNoWarning = 0x80;
constexpr std::uint32_t kPdShowHelp = 0x800;
constexpr std::uint32_t kPdEnablePrintHook = 0x1000;
constexpr std::uint32_t kPdEnableSetupHook = 0x2000;
constexpr std::uint32_t kPdDisablePrintToFile = 0x80000;
constexpr std::uint32_t kPdHidePrintToFile = 0x100000;

std::uint32_t PrintDialogFlags(TPrintRange range, bool collate, TPrintDialogOptions options,
                               bool printToFile);

// The dialog's page numbers are 16 bits wide: others are held at its ends.
std::uint16_t DialogPageNumber(std::int32_t page);

// A DEVNAMES block: four 16-bit offsets (driver, device, port, default flag)
// and the three names, each ending in a NUL.
std::vector<std::uint8_t> DevNamesBlock(const QRPrinterNames& names);
// The names of a DEVNAMES block; nothing when an offset leads outside it or
// a name has no end within it.
std::optional<QRPrinterNames> ReadDevNames(std::span<const std::uint8_t> block);

// What the dialog answered, and what it means for the dialog's properties.
struct PrintDialogAnswer {
  std::uint32_t Flags = 0;
  std::uint16_t FromPage = 0;
  std::uint16_t ToPage = 0;
  std::uint16_t Copies = 0;
};
struct PrintDialogChoice {
  bool Collate = false;
  bool PrintToFile = false;
  TPrintRange PrintRange = TPrintRange::prAllPages;
  std::int32_t FromPage = 0;
  std::int32_t ToPage = 0;
  std::int32_t Copies = 0;
  friend bool operator==(const PrintDialogChoice&, const PrintDialogChoice&) = default;
};
// A count of 1 copy takes the printer's own count: a driver may keep the
// number of copies in its device mode and tell the dialog 1.
PrintDialogChoice ReadPrintDialogAnswer(const PrintDialogAnswer& answer, std::int32_t printerCopies);

// Where a dialog of the given size opens: centred across, a third of the
// free height down.
QRDevicePoint DialogOrigin(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t dialogWidth,
                           std::int32_t dialogHeight);

}  // namespace report
