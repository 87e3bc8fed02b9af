// The installer archive's entry headers: the 172-byte record with its fields
// at fixed little-endian offsets, and the header block that begins every
// archive (entry count, multi-disk flag, then the headers of a split archive
// back to back, or each header before its data in a single file).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "setup/archive/archive_files.h"

namespace setup {

constexpr int kFileHeaderSize = 172;
constexpr int kHeaderBlockStart = 5;  // count and multi-disk flag
constexpr std::size_t kMaxSourcePath = 100;
constexpr std::size_t kMaxVersionText = 20;

using FileHeaderBytes = std::array<std::uint8_t, kFileHeaderSize>;

class TFileHeader {
 public:
  std::int32_t Sequence = 0;
  double FileDate = 0;
  std::uint8_t LastDisk = 0;
  std::int32_t EndOnLastDisk = 0;
  std::string SourcePath;
  std::int32_t NextHeader = 0;
  std::int32_t FileSize = 0;
  std::int32_t DataStart = 0;
  std::int32_t PackedSize = 0;
  std::uint8_t FirstDisk = 0;
  std::int32_t UniqueID = 0;
  std::string VersionText;
  // Read from an existing archive: an add call does not compress it again.
  bool FromArchive = false;

  // Reserved bytes and the bytes past a short string are written as zeros.
  FileHeaderBytes Encode() const;
  // Raises EPmbrCompress (corrupt headers) on a length byte past its field.
  static TFileHeader Decode(const FileHeaderBytes& bytes);
};

extern const char* const kCorruptHeadersMessage;

class TFileHeaders {
 public:
  bool MultiDisk = false;

  int Count() const { return static_cast<int>(headers_.size()); }
  TFileHeader& GetFileHeaders(int index);
  const std::vector<std::unique_ptr<TFileHeader>>& Items() const { return headers_; }
  // Raises "Tried to add an invalid file header" for a blank SourcePath.
  TFileHeader& Add(std::unique_ptr<TFileHeader> header);
  void Clear() { headers_.clear(); }
  // Keeps the first `count` headers.
  void Truncate(int count) {
    if (count >= 0 && count < Count()) headers_.resize(static_cast<std::size_t>(count));
  }
  // The first entry whose SourcePath equals the first ";" field of the name,
  // ignoring case; -1 when there is none.
  int IndexOfFile(const std::string& name) const;

  // Reads the block at `offset`, checking every number before it is used.
  void ReadFrom(ArchiveStream& stream, std::int64_t offset);
  // Writes the block from position 0; a split archive's headers get their
  // NextHeader set to their own position + 172.
  void WriteTo(ArchiveStream& stream);
  // Writes only the count and the flag, so that an archive being added to
  // claims just the entries already written in full.
  void WriteStart(ArchiveStream& stream, std::int32_t count);

 private:
  std::vector<std::unique_ptr<TFileHeader>> headers_;
};

}  // namespace setup
