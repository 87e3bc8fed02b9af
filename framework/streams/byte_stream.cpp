#include "framework/streams/byte_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace fw {

std::int64_t ByteStream::Size() {
  const std::int64_t position = Position();
  const std::int64_t size = Seek(0, SeekOrigin::End);
  SetPosition(position);
  return size;
}

void ByteStream::ReadExact(void* buffer, std::size_t count) {
  if (Read(buffer, count) != count) throw StreamError("Stream read error");
}

void ByteStream::WriteExact(const void* buffer, std::size_t count) {
  if (Write(buffer, count) != count) throw StreamError("Stream write error");
}

std::int32_t ByteStream::ReadInt32() {
  std::uint8_t bytes[4];
  ReadExact(bytes, sizeof bytes);
  return LoadInt32(bytes);
}

void ByteStream::WriteInt32(std::int32_t value) {
  std::uint8_t bytes[4];
  StoreInt32(bytes, value);
  WriteExact(bytes, sizeof bytes);
}

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
  if (position_ >= bytes_.size()) return 0;
  const std::size_t n = std::min(count, bytes_.size() - position_);
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

std::size_t MemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  if (count > std::numeric_limits<std::size_t>::max() - position_) throw StreamError("Stream write error");
  // A position past the end (after a seek) leaves zero bytes in the gap.
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
  return count;
}

std::int64_t MemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = static_cast<std::int64_t>(position_);
  if (origin == SeekOrigin::End) base = static_cast<std::int64_t>(bytes_.size());
  if ((offset < 0 && base + offset < 0) ||
      (offset > 0 && offset > std::numeric_limits<std::int64_t>::max() - base))
    throw StreamError("Stream seek error");
  position_ = static_cast<std::size_t>(base + offset);
  return base + offset;
}

}  // namespace fw
