// Line settings and flow control of a dispatcher. The working settings block
// is the authority: it is read from the driver once at open, changed here,
// and written whole, so the open-time flags survive every later change.
#include "comm/dispatcher/dispatcher.h"
#include "comm/base/error_codes.h"

namespace comm {

std::uint32_t TApdBaseDispatcher::LineChangeDelayMs(std::uint32_t rate, std::uint32_t bitsPerChar) {
  if (rate == 0) return 0;
  std::uint64_t units = std::uint64_t{10000000 / rate} * bitsPerChar * 18;  // 0.1 microseconds
  if (units < 10000) units *= 2;
  return static_cast<std::uint32_t>(units / 10000 + (units % 10000 != 0 ? 1 : 0));
}

int TApdBaseDispatcher::ChangeLine(std::uint32_t baud, std::uint8_t parity, std::uint8_t stopBits,
                                   std::uint8_t dataBits) {
  return ChangeLineImpl(baud, parity, stopBits, dataBits, false);
}

int TApdBaseDispatcher::ChangeLineImpl(std::uint32_t baud, std::uint8_t parity, std::uint8_t stopBits,
                                       std::uint8_t dataBits, bool force) {
  if (parity > 5 || (dataBits != 9 && (dataBits < 5 || dataBits > 8))) return codes::kBadArgument;
  LineSettingsBlock wanted;
  {
    OrderedGuard state(StateLock);
    wanted = dcb_;
    if (stopBits == 0) stopBits = 1;
    if (stopBits > 3) stopBits = 2;
    if (baud != 0) wanted.BaudRate = baud;
    if (parity != 5) wanted.Parity = parity;
    if (dataBits != 9) wanted.ByteSize = dataBits;
    if (stopBits == 1) {
      wanted.StopBits = kOneStopBit;
    } else if (stopBits == 2) {
      // Five data bits have one and a half stop bits where others have two.
      wanted.StopBits = wanted.ByteSize == 5 ? kOne5StopBits : kTwoStopBits;
    }
    if (!force && wanted.BaudRate == dcb_.BaudRate && wanted.Parity == dcb_.Parity &&
        wanted.ByteSize == dcb_.ByteSize && wanted.StopBits == dcb_.StopBits) {
      return 0;
    }
  }
  // Let the bytes already queued leave at the old settings.
  for (int sleeps = 0; sleeps < 5000 && OutputUsed() > 0; ++sleeps) SleepMs(2);
  const std::uint32_t bits = wanted.ByteSize + 2u + (wanted.Parity != kNoParity ? 1u : 0u) +
                             (wanted.StopBits != kOneStopBit ? 1u : 0u);
  const std::uint32_t delay = LineChangeDelayMs(BaudInDriver(), bits);
  if (delay > 0) SleepMs(delay);
  OrderedGuard state(StateLock);
  LineSettingsBlock block = dcb_;
  block.BaudRate = wanted.BaudRate;
  block.Parity = wanted.Parity;
  block.ByteSize = wanted.ByteSize;
  block.StopBits = wanted.StopBits;
  return ApplyState(block);
}

int TApdBaseDispatcher::ApplyState(const LineSettingsBlock& block) {
  OrderedGuard state(StateLock);
  dcb_ = block;
  const int result = SetState(dcb_);
  baudInDriver_ = RateOfBaudValue(dcb_.BaudRate);
  DriveDtr(dtrLevel_);
  if (!rs485_) DriveRts(rtsLevel_);
  return result;
}

int TApdBaseDispatcher::QueryLine(std::uint32_t& baud, std::uint8_t& parity, std::uint8_t& stopBits,
                                  std::uint8_t& dataBits) {
  OrderedGuard state(StateLock);
  baud = RateOfBaudValue(dcb_.BaudRate);
  parity = dcb_.Parity;
  stopBits = dcb_.StopBits == kOneStopBit ? 1 : 2;
  dataBits = dcb_.ByteSize;
  return 0;
}

int TApdBaseDispatcher::SetHardwareFlow(std::uint32_t full, std::uint32_t resume, std::uint32_t options) {
  if (full < resume || full > inSize_) return codes::kBadArgument;
  OrderedGuard state(StateLock);
  LineSettingsBlock block = dcb_;
  block.OutxCtsFlow = block.OutxDsrFlow = false;
  block.DtrControl = kDtrControlDisable;
  block.RtsControl = kRtsControlDisable;
  dtrByFlow_ = rtsByFlow_ = false;
  if (options & 1) {
    block.DtrControl = kDtrControlHandshake;
    dtrByFlow_ = true;
  } else if (dtrLevel_) {
    block.DtrControl = kDtrControlEnable;
  }
  if (options & 2) {
    block.RtsControl = kRtsControlHandshake;
    rtsByFlow_ = true;
  } else if (rtsLevel_) {
    block.RtsControl = kRtsControlEnable;
  }
  if (rs485_) {
    block.RtsControl = kRtsControlToggle;
    rtsByFlow_ = true;
  }
  block.XoffLim = static_cast<std::uint16_t>(inSize_ - full);
  block.XonLim = static_cast<std::uint16_t>(resume);
  block.OutxDsrFlow = (options & 4) != 0;
  block.OutxCtsFlow = (options & 8) != 0;
  return ApplyState(block);
}

int TApdBaseDispatcher::SetSoftwareFlow(std::uint32_t full, std::uint32_t resume, std::uint32_t options) {
  if (full < resume || full > inSize_) return codes::kBadArgument;
  OrderedGuard state(StateLock);
  LineSettingsBlock block = dcb_;
  if (options & 2) {
    block.InX = true;
    block.XoffLim = static_cast<std::uint16_t>(inSize_ - full);
    block.XonLim = static_cast<std::uint16_t>(resume);
    block.XonChar = 17;
    block.XoffChar = 19;
  }
  if (options & 1) {
    block.OutX = true;
    block.XonChar = 17;
    block.XoffChar = 19;
  }
  return ApplyState(block);
}

int TApdBaseDispatcher::ClearSoftwareFlow() {
  OrderedGuard state(StateLock);
  LineSettingsBlock block = dcb_;
  block.InX = block.OutX = false;
  return ApplyState(block);
}

int TApdBaseDispatcher::SetFlowChars(char xOn, char xOff) {
  OrderedGuard state(StateLock);
  LineSettingsBlock block = dcb_;
  block.XonChar = xOn;
  block.XoffChar = xOff;
  return ApplyState(block);
}

int TApdBaseDispatcher::QueryFlow(std::uint32_t& hardwareOptions, std::uint32_t& softwareOptions, char& xOff,
                                  char& xOn) {
  OrderedGuard state(StateLock);
  hardwareOptions = (dcb_.DtrControl == kDtrControlHandshake ? 1u : 0u) |
                    (dcb_.RtsControl == kRtsControlHandshake ? 2u : 0u) | (dcb_.OutxDsrFlow ? 4u : 0u) |
                    (dcb_.OutxCtsFlow ? 8u : 0u);
  softwareOptions = (dcb_.InX ? 2u : 0u) | (dcb_.OutX ? 1u : 0u);
  xOff = dcb_.XoffChar;
  xOn = dcb_.XonChar;
  return 0;
}

int TApdBaseDispatcher::SetRS485(bool on) {
  OrderedGuard state(StateLock);
  rs485_ = on;
  // The output thread's priority depends on the mode: apply the step anew.
  const int step = threadPriority_;
  threadPriority_ = -1;
  SetPriorities(step);
  return 0;
}

}  // namespace comm
