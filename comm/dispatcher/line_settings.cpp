#include "comm/dispatcher/line_settings.h"

namespace comm {

std::uint32_t RateOfBaudValue(std::uint32_t baud) {
  if (baud == 0xFEFF) return 115200;
  if (baud >= 0xFF10 && baud <= 0xFF27) {
    static constexpr std::uint32_t kIndexRates[0x18] = {110,   300, 600, 1200,   2400, 4800, 9600, 14400,
                                                        19200, 0,   0,   38400,  0,    0,    0,    56000,
                                                        0,     0,   0,   128000, 0,    0,    0,    256000};
    const std::uint32_t rate = kIndexRates[baud - 0xFF10];
    if (rate != 0) return rate;
  }
  return baud;
}

}  // namespace comm
