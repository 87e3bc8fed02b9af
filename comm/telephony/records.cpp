#include "comm/telephony/records.h"

#include <algorithm>

#include "comm/telephony/defs.h"

namespace comm {
namespace {

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
  return value;
}

}  // namespace

std::span<const std::uint8_t> UsedPart(std::span<const std::uint8_t> record) {
  if (record.size() < tapi::record::kUsedSize + 4) return {};
  const std::size_t total = Read32(record, tapi::record::kTotalSize);
  const std::size_t used = Read32(record, tapi::record::kUsedSize);
  return record.first(std::min({record.size(), total, used}));
}

std::optional<std::uint32_t> RecordField(std::span<const std::uint8_t> record, std::uint32_t offset) {
  const auto used = UsedPart(record);
  if (static_cast<std::size_t>(offset) + 4 > used.size()) return std::nullopt;
  return Read32(used, offset);
}

std::optional<std::span<const std::uint8_t>> RecordBytes(std::span<const std::uint8_t> record,
                                                         std::uint32_t sizeField, std::uint32_t offsetField) {
  const auto size = RecordField(record, sizeField);
  const auto offset = RecordField(record, offsetField);
  if (!size || !offset) return std::nullopt;
  if (*size == 0) return std::span<const std::uint8_t>{};
  const auto used = UsedPart(record);
  if (static_cast<std::uint64_t>(*offset) + *size > used.size()) return std::nullopt;
  return used.subspan(*offset, *size);
}

std::string RecordText(std::span<const std::uint8_t> bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return std::string(bytes.begin(), end);
}

}  // namespace comm
