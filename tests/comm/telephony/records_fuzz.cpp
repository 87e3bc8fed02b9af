// Fuzz target: telephony records as the library might write them, and the
// texts read from them. Every read must stay inside the record, and the
// record fetch must end whatever sizes the library claims.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "comm/telephony/binding.h"
#include "comm/telephony/defs.h"
#include "comm/telephony/device.h"
#include "comm/telephony/device_list.h"
#include "comm/telephony/records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace comm;
  const std::vector<std::uint8_t> record(data, data + size);
  UsedPart(record);
  RecordBytes(record, tapi::devcaps::kLineNameSize, tapi::devcaps::kLineNameOffset);
  RecordBytes(record, tapi::varstring::kStringSize, tapi::varstring::kStringOffset);
  if (size >= 2) RecordBytes(record, data[0], data[1]);
  CallerIdNumber(record, "B", "O");
  CallerIdName(record, "B", "O");

  const std::string text(reinterpret_cast<const char*>(data), size);
  ParseLineComNumber(text);
  ChoiceOf(text);

  // The library answers each call with the next 8 bytes: result, needed size.
  std::size_t at = 0;
  FetchTapiRecord(tapi::devcaps::kInitialSize, [&](std::uint8_t* buffer) -> std::int32_t {
    std::uint8_t answer[8] = {};
    for (std::size_t i = 0; i < 8 && at < size; ++i) answer[i] = data[at++];
    std::int32_t result;
    std::memcpy(&result, answer, 4);
    std::memcpy(buffer + tapi::record::kNeededSize, answer + 4, 4);
    return result;
  });
  return 0;
}
