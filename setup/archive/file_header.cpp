#include "setup/archive/file_header.h"

#include <cstring>
#include <limits>

#include "setup/base/exceptions.h"

namespace setup {

const char* const kCorruptHeadersMessage =
    "Could not read the file headers for the compressed file. The Archive file could possible be corrupt";

namespace {

// Field offsets within the record.
enum : int {
  kSequence = 0,
  kFileDate = 4,
  kLastDisk = 12,
  kEndOnLastDisk = 16,
  kSourcePath = 20,
  kNextHeader = 124,
  kFileSize = 128,
  kDataStart = 132,
  kPackedSize = 136,
  kFirstDisk = 140,
  kUniqueID = 144,
  kVersionText = 148
};

void Put32(FileHeaderBytes& b, int at, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::int32_t Get32(const std::uint8_t* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | p[i];
  return static_cast<std::int32_t>(v);
}
void PutString(FileHeaderBytes& b, int at, const std::string& text, std::size_t max) {
  const std::size_t n = std::min(text.size(), max);
  b[at] = static_cast<std::uint8_t>(n);
  std::memcpy(b.data() + at + 1, text.data(), n);
}
std::string GetString(const FileHeaderBytes& b, int at, std::size_t max) {
  const std::size_t n = b[at];
  if (n > max) throw EPmbrCompress(kCorruptHeadersMessage);
  return std::string(reinterpret_cast<const char*>(b.data() + at + 1), n);
}

[[noreturn]] void Corrupt() { throw EPmbrCompress(kCorruptHeadersMessage); }

}  // namespace

FileHeaderBytes TFileHeader::Encode() const {
  FileHeaderBytes b{};
  Put32(b, kSequence, Sequence);
  std::uint64_t date;
  std::memcpy(&date, &FileDate, sizeof date);
  for (int i = 0; i < 8; ++i) b[kFileDate + i] = static_cast<std::uint8_t>(date >> (8 * i));
  b[kLastDisk] = LastDisk;
  Put32(b, kEndOnLastDisk, EndOnLastDisk);
  PutString(b, kSourcePath, SourcePath, kMaxSourcePath);
  Put32(b, kNextHeader, NextHeader);
  Put32(b, kFileSize, FileSize);
  Put32(b, kDataStart, DataStart);
  Put32(b, kPackedSize, PackedSize);
  b[kFirstDisk] = FirstDisk;
  Put32(b, kUniqueID, UniqueID);
  PutString(b, kVersionText, VersionText, kMaxVersionText);
  return b;
}

TFileHeader TFileHeader::Decode(const FileHeaderBytes& b) {
  TFileHeader h;
  h.Sequence = Get32(&b[kSequence]);
  std::uint64_t date = 0;
  for (int i = 7; i >= 0; --i) date = date << 8 | b[kFileDate + i];
  std::memcpy(&h.FileDate, &date, sizeof date);
  h.LastDisk = b[kLastDisk];
  h.EndOnLastDisk = Get32(&b[kEndOnLastDisk]);
  h.SourcePath = GetString(b, kSourcePath, kMaxSourcePath);
  h.NextHeader = Get32(&b[kNextHeader]);
  h.FileSize = Get32(&b[kFileSize]);
  h.DataStart = Get32(&b[kDataStart]);
  h.PackedSize = Get32(&b[kPackedSize]);
  h.FirstDisk = b[kFirstDisk];
  h.UniqueID = Get32(&b[kUniqueID]);
  h.VersionText = GetString(b, kVersionText, kMaxVersionText);
  return h;
}

TFileHeader& TFileHeaders::GetFileHeaders(int index) {
  if (index < 0 || index >= Count())
    throw EPmbrCompress(std::to_string(index) +
                        " is an invalid TFileHeader index in TFileHeaders.GetFileHeaders");
  return *headers_[static_cast<std::size_t>(index)];
}

TFileHeader& TFileHeaders::Add(std::unique_ptr<TFileHeader> header) {
  if (TrimmedText(header->SourcePath).empty()) throw EPmbrCompress("Tried to add an invalid file header");
  headers_.push_back(std::move(header));
  return *headers_.back();
}

int TFileHeaders::IndexOfFile(const std::string& name) const {
  const std::string wanted = name.substr(0, name.find(';'));
  for (std::size_t i = 0; i < headers_.size(); ++i)
    if (SameTextIgnoringCase(headers_[i]->SourcePath, wanted)) return static_cast<int>(i);
  return -1;
}

void TFileHeaders::ReadFrom(ArchiveStream& stream, std::int64_t offset) {
  Clear();
  MultiDisk = false;
  const std::int64_t fileSize = stream.Size();
  if (offset < 0 || offset > fileSize) Corrupt();
  stream.Seek(offset);
  std::uint8_t start[kHeaderBlockStart];
  if (stream.Read(start, sizeof start) != sizeof start)
    throw EPmbrCompress("Could not read the file header count for the compressed file");
  const std::int32_t count = Get32(start);
  if (start[4] > 1) Corrupt();
  MultiDisk = start[4] == 1;
  // Every header must fit in the file before anything is walked or kept.
  const std::int64_t room = fileSize - offset - kHeaderBlockStart;
  if (count < 0 || static_cast<std::int64_t>(count) * kFileHeaderSize > room) Corrupt();
  headers_.reserve(static_cast<std::size_t>(count));

  std::int64_t p = offset + kHeaderBlockStart;
  for (std::int32_t i = 0; i < count; ++i) {
    if (p + kFileHeaderSize > fileSize) Corrupt();
    stream.Seek(p);
    FileHeaderBytes bytes;
    if (stream.Read(bytes.data(), bytes.size()) != bytes.size()) Corrupt();
    auto header = std::make_unique<TFileHeader>(TFileHeader::Decode(bytes));
    const TFileHeader& h = *header;
    if (h.FileSize < 0 || h.PackedSize < 0 || h.DataStart < 0 || h.EndOnLastDisk < 0 || h.NextHeader < 0)
      Corrupt();
    if (h.FirstDisk > h.LastDisk) Corrupt();
    const std::int64_t ownPosition = p - offset;  // relative to the archive start
    const std::int64_t next = offset + static_cast<std::int64_t>(h.NextHeader);
    if (next < p + kFileHeaderSize || next > fileSize) Corrupt();
    if (MultiDisk) {
      if (h.FirstDisk < 1 || h.NextHeader != ownPosition + kFileHeaderSize) Corrupt();
    } else {
      // A single file holds each entry's data right after its header.
      const std::int64_t dataStart = h.DataStart, dataEnd = dataStart + h.PackedSize;
      if (h.FirstDisk != 0 || h.LastDisk != 0) Corrupt();
      if (dataStart < ownPosition + kFileHeaderSize || offset + dataEnd > fileSize) Corrupt();
      if (h.NextHeader != dataEnd || h.EndOnLastDisk != dataEnd - 1) Corrupt();
    }
    header->FromArchive = true;
    p = next;
    Add(std::move(header));
  }
}

namespace {
bool WriteBlockStart(ArchiveStream& stream, std::int32_t count, bool multiDisk) {
  std::uint8_t start[kHeaderBlockStart];
  for (int i = 0; i < 4; ++i)
    start[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(count) >> (8 * i));
  start[4] = multiDisk ? 1 : 0;
  stream.Seek(0);
  return stream.Write(start, sizeof start) == sizeof start;
}
}  // namespace

void TFileHeaders::WriteStart(ArchiveStream& stream, std::int32_t count) {
  if (!WriteBlockStart(stream, count, MultiDisk))
    throw EPmbrCompress("Could not write the file headers for the compressed file");
}

void TFileHeaders::WriteTo(ArchiveStream& stream) {
  bool complete = WriteBlockStart(stream, Count(), MultiDisk);
  if (MultiDisk) {
    std::int64_t position = kHeaderBlockStart;
    for (auto& header : headers_) {
      if (!complete) break;
      header->NextHeader = static_cast<std::int32_t>(position + kFileHeaderSize);
      const FileHeaderBytes bytes = header->Encode();
      complete = stream.Write(bytes.data(), bytes.size()) == bytes.size();
      position += kFileHeaderSize;
    }
  }
  if (!complete) throw EPmbrCompress("Could not write the file headers for the compressed file");
}

}  // namespace setup
