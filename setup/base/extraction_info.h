// The 56-byte trailer at the end of a self-extracting setup program: where
// the embedded "setup.1" and "files.1" lie in the file.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace setup {

struct TExtractionInfo {
  // Offsets in the file; the ends are inclusive. FilesStart 0 means that no
  // "files.1" is embedded (FilesEnd is then 0 too).
  std::int64_t SetupStart = 0;
  std::int64_t SetupEnd = 0;
  std::int64_t FilesStart = 0;
  std::int64_t FilesEnd = 0;

  bool HasFiles() const { return FilesStart != 0; }
  friend bool operator==(const TExtractionInfo&, const TExtractionInfo&) = default;
};

constexpr std::size_t kExtractionInfoSize = 56;

// The trailer's bytes. Offsets that do not fit its signed 32-bit fields
// raise IEInstall.
std::array<std::uint8_t, kExtractionInfoSize> EncodeExtractionInfo(const TExtractionInfo& info);

// The offsets of a file of `fileSize` bytes whose last 56 bytes are given;
// the magic is not compared. A trailer shorter than 56 bytes, or offsets
// that do not lie in order within the bytes before the trailer, raise
// IEInstall "Could not read the extraction info ..." with `path`.
TExtractionInfo DecodeExtractionInfo(std::span<const std::uint8_t> trailer, std::int64_t fileSize,
                                     const std::string& path);

// Raises IEInstall "Could not read the extraction info ..." naming `path`.
[[noreturn]] void ExtractionInfoUnreadable(const std::string& path);

// Reads the trailer of the file at `path`; a file that cannot be opened or
// read gives the same failure.
TExtractionInfo ReadExtractionInfo(const std::string& path);

}  // namespace setup
