#include "report/pages/page_list.h"

#include <cstring>
#include <limits>

#include "report/pages/metafile_image.h"
#include "report/pages/compress.h"
#include "report/pages/error.h"

namespace report {

namespace {

constexpr std::uint16_t kHeaderWord0 = 3;
constexpr std::uint16_t kHeaderWord1 = 304;
constexpr std::size_t kCountOffset = 8;
constexpr std::size_t kDateOffset = 12;
constexpr std::size_t kCompressionOffset = 21;
// Page number, next-record offset and the record's own start around the data.
constexpr std::int64_t kRecordFrame = 12;
// The smallest record: its frame and a coded page's length.
constexpr std::int64_t kMinimalRecord = kRecordFrame + 4;
constexpr std::int64_t kMaxOffset = std::numeric_limits<std::int32_t>::max();

[[noreturn]] void Damaged(const std::string& detail) {
  throw EQRError("The report file is damaged: " + detail + ".");
}

}  // namespace

TQRPageList::TQRPageList(QRFileService& files, LocalClock& clock) : files_(files), clock_(clock) {}

TQRPageList::~TQRPageList() = default;

void TQRPageList::SetStream(std::unique_ptr<TQRStream> stream) {
  std::lock_guard guard(lock_);
  stream_ = std::move(stream);
}

std::unique_ptr<TQRStream> TQRPageList::ReleaseStream() {
  std::lock_guard guard(lock_);
  return std::move(stream_);
}

TQRStream& TQRPageList::RequireStream() {
  if (!stream_) throw EQRError("There is no report.");
  return *stream_;
}

void TQRPageList::Clear() { PageCount = 0; }

void TQRPageList::WriteHeaderBytes() {
  std::uint8_t header[kPageFileHeaderSize] = {};
  header[0] = static_cast<std::uint8_t>(kHeaderWord0);
  header[1] = static_cast<std::uint8_t>(kHeaderWord0 >> 8);
  header[2] = static_cast<std::uint8_t>(kHeaderWord1);
  header[3] = static_cast<std::uint8_t>(kHeaderWord1 >> 8);
  StoreInt32(header + kCountOffset, PageCount);
  const double now = clock_.Now();
  std::uint64_t bits;
  std::memcpy(&bits, &now, sizeof bits);
  for (int i = 0; i < 8; ++i) header[kDateOffset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  header[kCompressionOffset] = Compression ? 1 : 0;
  TQRStream& stream = RequireStream();
  stream.SetPosition(0);
  stream.WriteExact(header, sizeof header);
}

void TQRPageList::WriteFileHeader() {
  std::lock_guard guard(lock_);
  WriteHeaderBytes();
}

void TQRPageList::ReadFileHeader() {
  std::lock_guard guard(lock_);
  TQRStream& stream = RequireStream();
  stream.SetPosition(0);
  std::uint8_t header[kPageFileHeaderSize];
  if (stream.Read(header, sizeof header) != sizeof header)
    Damaged("it is shorter than a report file's header");
  PageCount = LoadInt32(header + kCountOffset);
  Compression = header[kCompressionOffset] != 0;
}

void TQRPageList::Finish() { WriteFileHeader(); }

void TQRPageList::AddPage(const PageImage& page) {
  std::lock_guard guard(lock_);
  TQRStream& stream = RequireStream();
  const std::string fault = MetafileImageFault(page, static_cast<std::int64_t>(page.size()));
  if (!fault.empty()) throw EQRError("The page cannot be stored: " + fault + ".");
  if (static_cast<std::int64_t>(page.size()) > kMaxOffset) throw EQRError("The page is too large to store.");
  if (PageCount == std::numeric_limits<std::int32_t>::max()) throw EQRError("The report has too many pages.");

  // Code the page first, so the record's whole length is known before a byte
  // of it is written.
  MemoryStream coded;
  if (Compression) {
    TQRCompress coder(coded, true);
    for (std::uint8_t byte : page) coder.Encode(byte);
    coder.Finish();
  }
  const std::int64_t dataLength = Compression ? 4 + static_cast<std::int64_t>(coded.Bytes().size())
                                              : static_cast<std::int64_t>(page.size());

  ++PageCount;
  try {
    if (PageCount == 1) WriteHeaderBytes();
    const std::int64_t start = stream.Seek(0, SeekOrigin::End);
    if (start > kMaxOffset - kRecordFrame - dataLength) throw EQRError("The report is too large to store.");
    stream.WriteInt32(PageCount);
    const std::int64_t nextField = stream.Position();
    stream.WriteInt32(static_cast<std::int32_t>(nextField));
    if (Compression) {
      stream.WriteInt32(static_cast<std::int32_t>(page.size()));
      stream.WriteExact(coded.Bytes().data(), coded.Bytes().size());
    } else {
      stream.WriteExact(page.data(), page.size());
    }
    stream.WriteInt32(static_cast<std::int32_t>(start));
    const std::int64_t end = stream.Position();
    stream.SetPosition(nextField);
    stream.WriteInt32(static_cast<std::int32_t>(end));
    stream.SetPosition(end);
  } catch (...) {
    --PageCount;
    throw;
  }
}

TQRPageList::Record TQRPageList::ReadRecordAt(std::int64_t start, std::int32_t expectedNumber,
                                              std::int64_t size) {
  if (start < kPageFileHeaderSize || start > size - kMinimalRecord) Damaged("a record lies outside the file");
  TQRStream& stream = *stream_;
  stream.SetPosition(start);
  if (stream.ReadInt32() != expectedNumber)
    Damaged("page " + std::to_string(expectedNumber) + " is out of order");
  const std::int64_t next = stream.ReadInt32();
  if (next < start + kMinimalRecord || next > size)
    Damaged("page " + std::to_string(expectedNumber) + " links outside the file");
  stream.SetPosition(next - 4);
  if (stream.ReadInt32() != start)
    Damaged("page " + std::to_string(expectedNumber) + " does not end where it should");
  return {start, next};
}

void TQRPageList::SeekToFirst() {
  std::lock_guard guard(lock_);
  RequireStream().SetPosition(kPageFileHeaderSize);
}

void TQRPageList::SeekToLast() {
  std::lock_guard guard(lock_);
  TQRStream& stream = RequireStream();
  const std::int64_t size = stream.Size();
  if (size < kPageFileHeaderSize + kMinimalRecord) Damaged("it holds no page");
  stream.SetPosition(size - 4);
  const std::int64_t last = stream.ReadInt32();
  if (last < kPageFileHeaderSize || last > size - kMinimalRecord)
    Damaged("the last page lies outside the file");
  stream.SetPosition(last);
}

void TQRPageList::SeekToPage(std::int32_t n) {
  std::lock_guard guard(lock_);
  TQRStream& stream = RequireStream();
  if (n < 1 || n > PageCount) throw EQRError("The report has no page " + std::to_string(n) + ".");
  if (n == 1) return SeekToFirst();

  // Walk the links from the record the stream is at; every step must reach
  // the neighbouring page, so the walk ends within PageCount steps.
  const std::int64_t size = stream.Size();
  if (n == PageCount || stream.Position() == size) SeekToLast();
  std::int64_t position = stream.Position();
  if (position > size - 4) Damaged("a record lies outside the file");
  std::int32_t page = stream.ReadInt32();
  if (page == n) return stream.SetPosition(position);
  if (page < 1 || page > PageCount) {
    // An aborted run keeps records beyond the count its header was given.
    position = kPageFileHeaderSize;
    page = 1;
  }
  for (std::int32_t steps = 0; page != n; ++steps) {
    if (steps >= PageCount) Damaged("its pages are linked in a loop");
    const Record here = ReadRecordAt(position, page, size);
    if (n > page) {
      position = here.next;
      ++page;
      ReadRecordAt(position, page, size);
    } else {
      stream.SetPosition(here.start - 4);
      const std::int64_t previous = stream.ReadInt32();
      if (previous >= here.start) Damaged("page " + std::to_string(page) + " links the wrong way");
      --page;
      if (ReadRecordAt(previous, page, size).next != here.start)
        Damaged("page " + std::to_string(page) + " does not end where it should");
      position = previous;
    }
  }
  stream.SetPosition(position);
}

std::optional<PageImage> TQRPageList::GetPage(std::int32_t n) {
  if (n < 1 || n > PageCount) return std::nullopt;
  std::lock_guard guard(lock_);
  TQRStream& stream = RequireStream();
  try {
    SeekToPage(n);
    const Record record = ReadRecordAt(stream.Position(), n, stream.Size());
    const std::int64_t dataLength = record.next - record.start - kRecordFrame;
    stream.SetPosition(record.start + 8);
    PageImage page;
    if (Compression) {
      const std::int32_t length = stream.ReadInt32();
      const std::int64_t codedLength = dataLength - 4;
      // Every byte takes at least one bit of code.
      if (length < 0 || length > 8 * codedLength)
        Damaged("page " + std::to_string(n) + " has a wrong length");
      std::vector<std::uint8_t> codedBytes(static_cast<std::size_t>(codedLength));
      stream.ReadExact(codedBytes.data(), codedBytes.size());
      MemoryStream coded;
      coded.WriteExact(codedBytes.data(), codedBytes.size());
      coded.SetPosition(0);
      page.reserve(static_cast<std::size_t>(length));
      try {
        TQRCompress decoder(coded, false);
        for (std::int32_t i = 0; i < length; ++i) page.push_back(decoder.Decode());
      } catch (const StreamError&) {
        Damaged("page " + std::to_string(n) + " ends too early");
      }
      if (coded.Position() != codedLength) Damaged("page " + std::to_string(n) + " has bytes left over");
    } else {
      page.resize(static_cast<std::size_t>(dataLength));
      stream.ReadExact(page.data(), page.size());
    }
    const std::string fault = MetafileImageFault(page, static_cast<std::int64_t>(page.size()));
    if (!fault.empty()) Damaged(fault);
    stream.SetPosition(record.next);
    return page;
  } catch (...) {
    // Leave the stream where the next walk can start from.
    stream.Seek(0, SeekOrigin::End);
    throw;
  }
}

void TQRPageList::CheckPageData(const Record& record) {
  TQRStream& stream = *stream_;
  const std::int64_t dataLength = record.next - record.start - kRecordFrame;
  stream.SetPosition(record.start + 8);
  if (Compression) {
    const std::int64_t length = stream.ReadInt32();
    if (length < static_cast<std::int64_t>(kEmfMinimalHeaderSize) || length > 8 * (dataLength - 4))
      Damaged("a page has a wrong length");
    return;
  }
  if (dataLength < static_cast<std::int64_t>(kEmfMinimalHeaderSize))
    Damaged("a page is too short for a metafile");
  std::uint8_t header[kEmfMinimalHeaderSize];
  stream.ReadExact(header, sizeof header);
  const std::string fault = MetafileImageFault(header, dataLength);
  if (!fault.empty()) Damaged(fault);
}

void TQRPageList::CheckWholeStore() {
  TQRStream& stream = *stream_;
  const std::int64_t size = stream.Size();
  if (PageCount < 0) Damaged("its page count is negative");
  const std::int64_t mostRecords = (size - kPageFileHeaderSize) / kMinimalRecord;
  if (PageCount > mostRecords) Damaged("it holds fewer pages than its header says");
  // Every record is checked, also those after the page count that a run
  // stopped early leaves behind, so no later walk meets a bad link.
  std::int64_t position = kPageFileHeaderSize;
  std::int64_t records = 0;
  while (position != size) {
    if (records == mostRecords || records == std::numeric_limits<std::int32_t>::max())
      Damaged("it ends inside a page");
    const auto page = static_cast<std::int32_t>(++records);
    const Record record = ReadRecordAt(position, page, size);
    CheckPageData(record);
    position = record.next;
  }
  if (records < PageCount) Damaged("it holds fewer pages than its header says");
  stream.SetPosition(kPageFileHeaderSize);
}

void TQRPageList::LoadFromFile(const std::string& fileName) {
  std::lock_guard guard(lock_);
  auto loaded = std::make_unique<TQRStream>(files_, fileName);
  std::unique_ptr<TQRStream> previous = std::move(stream_);
  const std::int32_t previousCount = PageCount;
  const bool previousCompression = Compression;
  stream_ = std::move(loaded);
  try {
    ReadFileHeader();
    CheckWholeStore();
  } catch (const fw::Exception& e) {
    stream_ = std::move(previous);
    PageCount = previousCount;
    Compression = previousCompression;
    throw EQRError("Cannot load the report file \"" + fileName + "\". " + e.Message());
  } catch (...) {
    stream_ = std::move(previous);
    PageCount = previousCount;
    Compression = previousCompression;
    throw;
  }
}

void TQRPageList::SaveToFile(const std::string& fileName) {
  std::lock_guard guard(lock_);
  TQRStream& stream = RequireStream();
  // A loaded report is its file: saving onto that file has nothing to change,
  // and replacing a file that is open for reading may not be allowed.
  if (!stream.SourceFileName().empty() && files_.SameFile(stream.SourceFileName(), fileName)) {
    stream.Seek(0, SeekOrigin::End);
    return;
  }
  try {
    files_.WriteReplacing(fileName, [&stream](ByteStream& target) { stream.CopyTo(target); });
  } catch (...) {
    stream.Seek(0, SeekOrigin::End);
    throw;
  }
  stream.Seek(0, SeekOrigin::End);
}

}  // namespace report
