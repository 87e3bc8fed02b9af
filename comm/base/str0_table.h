// A read-only view of a "STR0" string table held in memory (normally a
// resource of the program). The whole index is checked when the view is
// attached, so a damaged table is refused up front and no lookup can read
// outside the bytes it was given.
//
// Layout, all integers little-endian u32: "STR0", count N, N index entries
// {id, byte offset from the table start, length in UTF-16 units} sorted by id
// without duplicates, then the UTF-16LE texts without terminators.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace comm {

class Str0Table {
 public:
  enum class AttachResult { kOk, kBadMagic, kDamaged };

  struct Entry {
    std::uint32_t id;
    std::uint32_t offset;
    std::uint32_t length;  // UTF-16 code units
  };

  static constexpr std::size_t kHeaderSize = 8;
  static constexpr std::size_t kEntrySize = 12;

  // Checks the magic, the count, the order of the ids and every text range.
  // On failure the view stays empty.
  AttachResult Attach(std::span<const std::uint8_t> bytes);
  void Detach() {
    bytes_ = {};
    count_ = 0;
  }

  bool Attached() const { return !bytes_.empty(); }
  std::uint32_t Count() const { return count_; }
  Entry EntryAt(std::uint32_t index) const;

  // Binary search over the index in place; nothing when the id is absent.
  std::optional<std::u16string> Find(std::uint32_t id) const;

 private:
  std::span<const std::uint8_t> bytes_;
  std::uint32_t count_ = 0;
};

}  // namespace comm
