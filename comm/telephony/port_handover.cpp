// The modem's comm handle of a connected call, handed to the port and taken back.
#include "comm/telephony/binding.h"
#include "comm/telephony/device.h"
#include "comm/telephony/device_detail.h"
#include "comm/telephony/records.h"

namespace comm {

using device_detail::RecordString;

namespace {

constexpr std::uint32_t kIdBufferSize = 1028;

}  // namespace

std::optional<std::uintptr_t> TApdCustomTapiDevice::GetCommHandle() {
  std::vector<std::uint8_t> id(kIdBufferSize, 0);
  for (int i = 0; i < 4; ++i) id[i] = static_cast<std::uint8_t>(kIdBufferSize >> (8 * i));
  if (lineGetID(line_, 0, call_, tapi::kCallSelectCall, id.data(), "comm/datamodem") != 0)
    return std::nullopt;
  const auto bytes = RecordBytes(id, tapi::varstring::kStringSize, tapi::varstring::kStringOffset);
  if (!bytes || bytes->size() < sizeof(std::uintptr_t)) return std::nullopt;
  std::uintptr_t handle = 0;
  for (std::size_t i = 0; i < sizeof handle; ++i)
    handle |= static_cast<std::uintptr_t>((*bytes)[i]) << (8 * i);
  if (handle == 0 || handle == ~std::uintptr_t{0}) return std::nullopt;
  return handle;
}

bool TApdCustomTapiDevice::HandOverPort() {
  if (!comPort_) return true;
  const auto handle = GetCommHandle();
  if (!handle) return false;
  try {
    comPort_->SetOpen(false);
  } catch (...) {
    // Not handed over yet: the handle is still ours to close.
    host_.CloseCommHandle(*handle);
    return false;
  }
  comPort_->SetTapiHandle(*handle);
  try {
    // The port owns the handle from here on: it closes it when it closes,
    // and when this open fails.
    comPort_->SetOpen(true);
  } catch (...) {
    try {
      comPort_->SetOpen(false);
    } catch (...) {
    }
    comPort_->SetTapiHandle(0);
    return false;
  }
  Fire(OnTapiPortOpen);
  return true;
}

bool TApdCustomTapiDevice::TakeBackPort() {
  if (!comPort_) return false;
  const bool wasOpen = comPort_->Open();
  try {
    comPort_->SetOpen(false);
  } catch (...) {
  }
  comPort_->SetTapiHandle(0);
  return wasOpen;
}

int TApdCustomTapiDevice::LineComNumber() {
  if (line_ == 0) return 0;
  std::vector<std::uint8_t> id(kIdBufferSize, 0);
  for (int i = 0; i < 4; ++i) id[i] = static_cast<std::uint8_t>(kIdBufferSize >> (8 * i));
  if (lineGetID(line_, 0, 0, tapi::kCallSelectLine, id.data(), "comm/datamodem/portname") != 0) return 0;
  return ParseLineComNumber(RecordString(id, tapi::varstring::kStringSize, tapi::varstring::kStringOffset));
}

}  // namespace comm
