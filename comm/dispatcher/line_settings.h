// The line settings block handed to the serial driver: the fields of the
// system's device control block, kept here without any system header so that
// the dispatcher's line logic stays plain C++. The Win32 layer copies it field
// by field into and out of the real block.
#pragma once

#include <cstdint>

namespace comm {

inline constexpr std::uint8_t kNoParity = 0, kOddParity = 1, kEvenParity = 2, kMarkParity = 3,
                              kSpaceParity = 4;
inline constexpr std::uint8_t kOneStopBit = 0, kOne5StopBits = 1, kTwoStopBits = 2;
inline constexpr std::uint8_t kDtrControlDisable = 0, kDtrControlEnable = 1, kDtrControlHandshake = 2;
inline constexpr std::uint8_t kRtsControlDisable = 0, kRtsControlEnable = 1, kRtsControlHandshake = 2,
                              kRtsControlToggle = 3;

struct LineSettingsBlock {
  std::uint32_t BaudRate = 9600;
  bool Binary = true;
  bool ParityCheck = false;
  bool OutxCtsFlow = false;
  bool OutxDsrFlow = false;
  std::uint8_t DtrControl = kDtrControlEnable;
  bool DsrSensitivity = false;
  bool TxContinueOnXoff = false;
  bool OutX = false;
  bool InX = false;
  bool ErrorCharOn = false;
  bool NullStrip = false;
  std::uint8_t RtsControl = kRtsControlEnable;
  bool AbortOnError = false;
  std::uint16_t XonLim = 0;
  std::uint16_t XoffLim = 0;
  std::uint8_t ByteSize = 8;
  std::uint8_t Parity = kNoParity;
  std::uint8_t StopBits = kOneStopBit;
  char XonChar = 17;
  char XoffChar = 19;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;

  friend bool operator==(const LineSettingsBlock&, const LineSettingsBlock&) = default;
};

// The rate of a baud value: the system's rate codes (0xFEFF and the index
// table 0xFF10..0xFF27) become their rates; any other value is the rate.
std::uint32_t RateOfBaudValue(std::uint32_t baud);

}  // namespace comm
