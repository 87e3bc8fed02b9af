// The plain values of the framework's graphics: colours, pen and brush styles
// and the printer's orientation. No Windows header: the report engine's core
// describes its drawing with them.
#pragma once

#include <cstdint>

namespace fw {

// An RGB value (0x00BBGGRR) or, with the top bit set, a system colour index.
using TColor = std::int32_t;
constexpr TColor SystemColor(int index) {
  return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index));
}

enum class TPenStyle { psSolid, psDash, psDot, psClear };
enum class TBrushStyle { bsSolid, bsClear };

enum class TPrinterOrientation { poPortrait, poLandscape };

}  // namespace fw
