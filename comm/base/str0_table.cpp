#include "comm/base/str0_table.h"

#include <cstring>

namespace comm {
namespace {

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

Str0Table::AttachResult Str0Table::Attach(std::span<const std::uint8_t> bytes) {
  Detach();
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), "STR0", 4) != 0) {
    return AttachResult::kBadMagic;
  }
  // 64-bit arithmetic throughout: a count or offset near 2^32 must not wrap.
  const std::uint64_t count = ReadU32(bytes, 4);
  const std::uint64_t indexEnd = kHeaderSize + kEntrySize * count;
  if (indexEnd > bytes.size()) return AttachResult::kDamaged;
  std::uint64_t previousId = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::size_t at = kHeaderSize + kEntrySize * i;
    const std::uint64_t id = ReadU32(bytes, at);
    const std::uint64_t offset = ReadU32(bytes, at + 4);
    const std::uint64_t length = ReadU32(bytes, at + 8);
    if (i > 0 && id <= previousId) return AttachResult::kDamaged;  // the search needs strict order
    if (offset < indexEnd || offset + 2 * length > bytes.size()) return AttachResult::kDamaged;
    previousId = id;
  }
  bytes_ = bytes;
  count_ = static_cast<std::uint32_t>(count);
  return AttachResult::kOk;
}

Str0Table::Entry Str0Table::EntryAt(std::uint32_t index) const {
  const std::size_t at = kHeaderSize + kEntrySize * static_cast<std::size_t>(index);
  return {ReadU32(bytes_, at), ReadU32(bytes_, at + 4), ReadU32(bytes_, at + 8)};
}

std::optional<std::u16string> Str0Table::Find(std::uint32_t id) const {
  std::int64_t lo = 0;
  std::int64_t hi = static_cast<std::int64_t>(count_) - 1;
  while (hi >= lo) {
    const std::int64_t mid = (lo + hi) / 2;
    const Entry entry = EntryAt(static_cast<std::uint32_t>(mid));
    if (entry.id == id) {
      std::u16string text(entry.length, u'\0');
      for (std::uint32_t k = 0; k < entry.length; ++k) {
        const std::size_t at = entry.offset + 2 * static_cast<std::size_t>(k);
        text[k] = static_cast<char16_t>(bytes_[at] | bytes_[at + 1] << 8);
      }
      return text;
    }
    if (entry.id < id) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return std::nullopt;
}

}  // namespace comm
