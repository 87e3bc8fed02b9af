// The small parsers and builders of call records the line device uses.
#include <charconv>

#include "comm/telephony/binding.h"
#include "comm/telephony/device.h"
#include "comm/telephony/device_detail.h"
#include "comm/telephony/records.h"

namespace comm {

using device_detail::RecordString;

namespace {

// Text for caller-ID flags that carry no number; nullopt: read the bytes.
std::optional<std::string> CallerIdFlagText(std::uint32_t flags, const std::string& blocked,
                                            const std::string& outOfArea) {
  if (flags & tapi::kPartyIdBlocked) return blocked;
  if (flags & tapi::kPartyIdOutOfArea) return outOfArea;
  if (flags & tapi::kPartyIdUnknown) return std::string("Unknown");
  if (flags & tapi::kPartyIdUnavail) return std::string("Unavailable");
  return std::nullopt;
}

}  // namespace

int CallStateIndexOf(std::uint32_t callState) {
  for (int bit = 0; bit <= 14; ++bit)
    if (callState == (1u << bit)) return bit;
  return 15;
}

int ParseLineComNumber(const std::string& portName) {
  const std::string text = portName.substr(0, 10);
  if (text.size() <= 3) return 0;
  const char* first = text.data() + 3;
  const char* last = text.data() + text.size();
  int number = 0;
  const auto [end, error] = std::from_chars(first, last, number);
  if (error != std::errc() || end != last) return 0;
  return number;
}

std::string CallerIdNumber(const std::vector<std::uint8_t>& callInfo, const std::string& blocked,
                           const std::string& outOfArea) {
  const std::uint32_t flags = RecordField(callInfo, tapi::callinfo::kCallerIdFlags).value_or(0);
  if (!(flags & tapi::kPartyIdAddress))
    if (auto text = CallerIdFlagText(flags, blocked, outOfArea)) return *text;
  return RecordString(callInfo, tapi::callinfo::kCallerIdSize, tapi::callinfo::kCallerIdOffset);
}

std::string CallerIdName(const std::vector<std::uint8_t>& callInfo, const std::string& blocked,
                         const std::string& outOfArea) {
  const std::uint32_t flags = RecordField(callInfo, tapi::callinfo::kCallerIdFlags).value_or(0);
  if (auto text = CallerIdFlagText(flags, blocked, outOfArea)) return *text;
  return RecordString(callInfo, tapi::callinfo::kCallerIdNameSize, tapi::callinfo::kCallerIdNameOffset);
}

std::vector<std::uint8_t> BuildCallParams(bool voice) {
  std::vector<std::uint8_t> params(tapi::callparams::kSize, 0);
  const auto put = [&](std::uint32_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) params[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  put(tapi::record::kTotalSize, tapi::callparams::kSize);
  put(tapi::callparams::kBearerMode, tapi::kBearerModeVoice);
  put(tapi::callparams::kMediaMode, voice ? tapi::kMediaAutomatedVoice : tapi::kMediaDataModem);
  put(tapi::callparams::kCallParamFlags, tapi::kCallParamFlagsIdle);
  put(tapi::callparams::kAddressMode, tapi::kAddressModeAddressId);
  put(tapi::callparams::kAddressId, 0);
  return params;
}

}  // namespace comm
