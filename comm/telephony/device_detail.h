// What the line device's source files share among themselves; no other
// module includes this.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "comm/telephony/defs.h"

namespace comm {

class TApdCustomTapiDevice;

namespace device_detail {

inline constexpr std::uint32_t kPumpSliceMs = 50;

// Devices alive: a callback whose instance is not among them is dropped.
std::set<const TApdCustomTapiDevice*>& LiveDevices();

void Raise(int code);
void RaiseTapi(std::int32_t result);

// Clears a flag when the scope ends, also by an exception.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

std::string RecordString(const std::vector<std::uint8_t>& record, std::uint32_t sizeField,
                         std::uint32_t offsetField);

// The library's callback for the line application of every device.
void COMM_TAPI_CALL LineCallback(std::uintptr_t device, std::uint32_t message, std::uintptr_t instance,
                                 std::uintptr_t p1, std::uintptr_t p2, std::uintptr_t p3);

}  // namespace device_detail
}  // namespace comm
