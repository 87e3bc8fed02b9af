// Byte streams: an abstract stream with Read, Write
// and Seek, from which size and position follow, and a growable memory stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/exceptions.h"

namespace fw {

// A stream that cannot deliver or take the bytes asked of it.
class StreamError : public Exception {
 public:
  using Exception::Exception;
};

enum class SeekOrigin { Begin, Current, End };

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // Both return the number of bytes moved; Read returns fewer at the end.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // Returns the new position.
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;

  std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Begin); }
  std::int64_t Size();

  // Raise StreamError unless every byte moves.
  void ReadExact(void* buffer, std::size_t count);
  void WriteExact(const void* buffer, std::size_t count);
  std::int32_t ReadInt32();
  void WriteInt32(std::int32_t value);
};

class MemoryStream : public ByteStream {
 public:
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// Little-endian fields of binary layouts.
inline std::int32_t LoadInt32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                   static_cast<std::uint32_t>(p[2]) << 16 |
                                   static_cast<std::uint32_t>(p[3]) << 24);
}
inline void StoreInt32(std::uint8_t* p, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

}  // namespace fw
