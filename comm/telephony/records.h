// Checked reads from telephony records: nothing the library wrote is trusted.
// A field or a (size, offset) pair counts only when it lies within the part of
// the record that is both inside the buffer and reported as used.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace comm {

// The bytes of the record that may be read: min(buffer, total size, used size).
std::span<const std::uint8_t> UsedPart(std::span<const std::uint8_t> record);

// A 32-bit field at `offset` of the used part.
std::optional<std::uint32_t> RecordField(std::span<const std::uint8_t> record, std::uint32_t offset);

// The bytes described by the size and offset fields at `sizeField` and
// `offsetField`; size 0 gives an empty span; nullopt when they fall outside.
std::optional<std::span<const std::uint8_t>> RecordBytes(std::span<const std::uint8_t> record,
                                                         std::uint32_t sizeField, std::uint32_t offsetField);

// Text bytes up to the first zero byte (the library counts the final zero in
// the size; a missing one is tolerated).
std::string RecordText(std::span<const std::uint8_t> bytes);

}  // namespace comm
