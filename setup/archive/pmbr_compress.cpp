#include "setup/archive/pmbr_compress.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace setup {

namespace {

constexpr std::size_t kInflateInput = 65536;
constexpr std::size_t kInflateOutput = 4096;
constexpr std::size_t kCopyChunk = 8192;
constexpr std::size_t kDeflateChunk = 65536;
constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
constexpr const char* kAborted = "Operation aborted by user";

[[noreturn]] void Fail(const std::string& message) { throw EPmbrCompress(message); }

// Damage is in the user's archive: its name says which file to fetch again;
// the entry's source path would name a folder of the build machine.
[[noreturn]] void Damaged(const TFileHeader& header, const std::string& archiveName) {
  Fail("The compressed data of " + FileNameOf(header.SourcePath) + " in " + archiveName + " is damaged");
}

// Headers that cannot be read name the archive too: a copy broken off
// leaves a "files.1" that is too short.
[[noreturn]] void UnreadableHeaders(const std::string& archiveName) {
  Fail("Could not read the file headers for the compressed file " + archiveName +
       ". The Archive file could possible be corrupt");
}

[[noreturn]] void WrongSize(const TFileHeader& header, const std::string& archiveName) {
  Fail("The decompressed file's size does not match with the actual size of the file.  The file is " +
       FileNameOf(header.SourcePath) + " in " + archiveName);
}

// The file cannot be made: the system's reason follows the name.
[[noreturn]] void CannotCreate(ArchiveFileSystem& files, const std::string& path) {
  const std::string reason = files.FailureText();
  Fail("Cannot create the file " + path + (reason.empty() ? "" : ": " + reason));
}

// ".n" of disk n.
std::string DiskExtension(int disk) {
  std::string extension = std::to_string(disk);
  extension.insert(extension.begin(), '.');
  return extension;
}

std::int32_t Clamped(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, kLargest));
}

int DeflateLevel(TCompressionLevel level) {
  switch (level) {
    case colNone:
      return 0;
    case colFastest:
      return 1;
    case colDefault:
      return Z_DEFAULT_COMPRESSION;
    case colMax:
      break;
  }
  return 9;
}

// Deletes a temporary file on the way out unless it was put in place.
class TemporaryFile {
 public:
  TemporaryFile(ArchiveFileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!path_.empty()) files_.Delete(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& Path() const { return path_; }
  void Release() { path_.clear(); }

 private:
  ArchiveFileSystem& files_;
  std::string path_;
};

std::string TemporaryBeside(ArchiveFileSystem& files, const std::string& target) {
  const std::string folder = FolderOf(target);
  try {
    return files.CreateTemporaryFile(folder.empty() ? "." : folder);
  } catch (const fw::Exception&) {
    CannotCreate(files, target);
  }
}

// Takes whatever is written and keeps only its count.
class DiscardingStream : public ArchiveStream {
 public:
  std::size_t Read(void*, std::size_t) override { return 0; }
  std::size_t Write(const void*, std::size_t count) override {
    size_ += static_cast<std::int64_t>(count);
    return count;
  }
  void Seek(std::int64_t) override {}
  std::int64_t Position() override { return size_; }
  std::int64_t Size() override { return size_; }

 private:
  std::int64_t size_ = 0;
};

struct DeflateStream {
  z_stream z{};
  explicit DeflateStream(int level) {
    if (deflateInit(&z, level) != Z_OK) throw EPmbrCompress("Cannot start the compression");
  }
  ~DeflateStream() { deflateEnd(&z); }
};

struct InflateStream {
  z_stream z{};
  InflateStream() {
    if (inflateInit(&z) != Z_OK) throw EPmbrCompress("Cannot start the decompression");
  }
  ~InflateStream() { inflateEnd(&z); }
};

}  // namespace

std::uint8_t PercentOf(std::int64_t part, std::int64_t whole) {
  if (whole <= 0 || part <= 0) return 0;
  const double percent = std::nearbyint(static_cast<double>(part) * 100.0 / static_cast<double>(whole));
  return static_cast<std::uint8_t>(std::min(percent, 100.0));
}

double ToTwoSecondDate(double date) {
  if (!(date >= 0) || date > 1e7) return date;
  double days = std::floor(date);
  long long seconds = std::llround((date - days) * 86400000.0) / 1000;
  seconds -= seconds % 2;
  return days + static_cast<double>(seconds) / 86400.0;
}

TPmbrCompress::TPmbrCompress(fw::TComponent* owner, ArchiveFileSystem& files, ArchiveVersions& versions,
                             std::function<void()> processMessages)
    : fw::TComponent(owner),
      files_(files),
      versions_(versions),
      processMessages_(std::move(processMessages)) {}

TPmbrCompress::~TPmbrCompress() = default;

void TPmbrCompress::SetCompressedFile(const std::string& name) {
  // Another disk of the same archive keeps the headers read from disk 1.
  if (!SameTextIgnoringCase(name, compressedFile_) &&
      !SameTextIgnoringCase(ChangeFileExt(name, ".1"), ChangeFileExt(compressedFile_, ".1")))
    headersLoaded_ = false;
  compressedFile_ = name;
}

void TPmbrCompress::SetFilesToProcess(std::vector<std::string>& list) {
  std::erase_if(list, [](const std::string& line) { return TrimmedText(line).empty(); });
  filesToProcess_ = list;
}

void TPmbrCompress::DiskFull() {
  if (OnFullDisk)
    OnFullDisk(this);
  else
    throw EpcDiskFull("The disk is full");
}

void TPmbrCompress::WriteOrDiskFull(ArchiveStream& stream, const void* buffer, std::size_t count) {
  const std::size_t written = stream.Write(buffer, count);
  if (written == count) return;
  DiskFull();
  // The handler may have made room: one more try for the rest.
  const std::size_t rest = count - written;
  if (stream.Write(static_cast<const std::uint8_t*>(buffer) + written, rest) != rest)
    throw EpcDiskFull("The disk is full");
}

void TPmbrCompress::CheckAbort() {
  if (Abort) throw EpcAborted(kAborted);
}

template <class Operation>
void TPmbrCompress::Guarded(bool clearsExtractName, Operation operation) {
  const auto finish = [this, clearsExtractName] {
    filesToProcess_.clear();
    if (clearsExtractName) ExtractName.clear();
  };
  try {
    operation();
  } catch (const EpcAborted&) {
    finish();
    Abort = true;
    if (OnAborted) OnAborted(this);
    return;
  } catch (const fw::EAbort&) {
    finish();
    return;
  } catch (...) {
    finish();
    Abort = true;
    throw;
  }
  finish();
}

void TPmbrCompress::ComputeTotals(const TFileHeaders& headers) {
  std::int64_t size = 0, packed = 0;
  for (const auto& header : headers.Items()) {
    size += header->FileSize;
    packed += header->PackedSize;
  }
  stats_.TotalSize = Clamped(size);
  stats_.TotalPacked = Clamped(packed);
  stats_.TotalDone = 0;
  stats_.TotalPercent = 0;
  stats_.TotalRatio = PercentOf(stats_.TotalPacked, stats_.TotalSize);
}

void TPmbrCompress::LoadEntry(const TFileHeader& header) {
  stats_.FilePercent = 0;
  stats_.FileDone = 0;
  stats_.EntryName = header.SourcePath;
  stats_.PackedSize = header.PackedSize;
  stats_.FileSize = header.FileSize;
  stats_.Ratio = PercentOf(header.PackedSize, header.FileSize);
  stats_.Header = header.Encode();
  stats_.EntryFinished = false;
}

void TPmbrCompress::Status() {
  if (OnStatus) OnStatus(this, stats_);
}

void TPmbrCompress::ReadHeaders() {
  std::unique_ptr<ArchiveStream> stream;
  std::string name = compressedFile_;
  if (OnNewDisk && !files_.Exists(compressedFile_)) {
    // The headers of a split archive are on disk 1, which a later disk may
    // have replaced in the drive: ask for it back.
    stream = OpenDiskFile(1, ArchiveOpenMode::ReadShared, name);
  } else {
    stream = files_.Open(compressedFile_, ArchiveOpenMode::ReadShared);
  }
  if (!stream) Fail("Cannot open the compressed file " + compressedFile_);
  uniqueIndex_.fill(0);
  headersLoaded_ = false;
  try {
    headers_.ReadFrom(*stream, Offset);
  } catch (const fw::Exception&) {
    headers_.Clear();
    UnreadableHeaders(name);
  }
  IndexUniqueIDs();
  headersLoaded_ = true;
}

void TPmbrCompress::UseHeaders(const TFileHeaders& headers) {
  if (&headers == &headers_) return;
  headers_.Clear();
  headers_.MultiDisk = headers.MultiDisk;
  for (const auto& header : headers.Items()) headers_.Add(std::make_unique<TFileHeader>(*header));
  uniqueIndex_.fill(0);
  IndexUniqueIDs();
  headersLoaded_ = true;
}

void TPmbrCompress::IndexUniqueIDs() {
  for (int i = 0; i < headers_.Count(); ++i) {
    const std::int32_t id = headers_.GetFileHeaders(i).UniqueID;
    if (id >= 0 && id < static_cast<std::int32_t>(uniqueIndex_.size()))
      uniqueIndex_[static_cast<std::size_t>(id)] = i;
  }
}

int TPmbrCompress::FileCount() {
  if (!headersLoaded_ && kind_ != Kind::Adding) ReadHeaders();
  return headers_.Count();
}

void TPmbrCompress::GetFileStats(int index, TlzhFileStats& stats) {
  if (!headersLoaded_ && kind_ != Kind::Adding) ReadHeaders();
  if (index < 0 || index >= headers_.Count())
    Fail("Tried to access the " + std::to_string(index) + "th file. This file is not defined");
  ComputeTotals(headers_);
  LoadEntry(headers_.GetFileHeaders(index));
  stats = stats_;
}

int TPmbrCompress::IndexOfUniqueID(std::int32_t id) const {
  if (id < 0 || id >= static_cast<std::int32_t>(uniqueIndex_.size())) return 0;
  return uniqueIndex_[static_cast<std::size_t>(id)];
}

bool TPmbrCompress::FindUniqueID(std::int32_t id, int& index) const {
  bool found = false;
  for (int i = 0; i < headers_.Count(); ++i)
    if (headers_.Items()[static_cast<std::size_t>(i)]->UniqueID == id) {
      index = i;  // a later entry with the same identifier wins
      found = true;
    }
  return found;
}

// ---- adding ---------------------------------------------------------------

void TPmbrCompress::AddFiles(bool append, std::int32_t uniqueID) {
  Guarded(false, [&] { DoAddFiles(append, uniqueID); });
}

void TPmbrCompress::DoAddFiles(bool append, std::int32_t uniqueID) {
  Abort = false;
  kind_ = Kind::Adding;
  headers_.MultiDisk = false;
  Offset = 0;
  headersLoaded_ = false;
  headers_.Clear();
  uniqueIndex_.fill(0);

  const std::string archiveName = compressedFile_;
  const std::string folder = FolderOf(archiveName);
  if (!folder.empty()) files_.CreateFolders(folder);
  const bool appending = append && files_.Exists(archiveName);
  auto archive =
      files_.Open(archiveName, appending ? ArchiveOpenMode::ReadWriteShared : ArchiveOpenMode::Create);
  if (!archive) Fail("Cannot create the file " + archiveName);

  // New entries go right after the last whole entry.
  std::int64_t end = kHeaderBlockStart;
  if (appending) {
    headers_.ReadFrom(*archive, 0);
    if (headers_.MultiDisk) Fail("Cannot add files to the split archive " + archiveName);
    if (headers_.Count() > 0) end = headers_.GetFileHeaders(headers_.Count() - 1).NextHeader;
    for (int i = 0; i < headers_.Count(); ++i) {
      const std::int32_t id = headers_.GetFileHeaders(i).UniqueID;
      if (id >= 0 && id < 2000) uniqueIndex_[static_cast<std::size_t>(id)] = i;
    }
  }
  const int existing = headers_.Count();

  std::int32_t sequence = 0;
  for (const std::string& line : filesToProcess_) {
    auto header = std::make_unique<TFileHeader>();
    header->SourcePath = line.substr(0, line.find(';'));
    const std::string& path = header->SourcePath;
    if (path.size() > kMaxSourcePath) Fail("The source path " + path + " is longer than 100 characters");
    if (!TrimmedText(path).empty()) {
      auto source = files_.Open(path, ArchiveOpenMode::ReadShared);
      double date = 0;
      if (!source || !files_.GetFileDate(path, date)) Fail("Cannot open the file " + path);
      const std::int64_t size = source->Size();
      if (size >= kLargest) Fail("The file " + path + " is too large for the archive");
      header->FileDate = ToTwoSecondDate(date);
      header->FileSize = static_cast<std::int32_t>(size);
      header->VersionText = versions_.FileVersionOf(path).substr(0, kMaxVersionText);
    }
    header->Sequence = ++sequence;
    headers_.Add(std::move(header));
  }

  headers_.WriteStart(*archive, existing);
  ComputeTotals(headers_);
  for (int i = existing; i < headers_.Count(); ++i) {
    TFileHeader& header = headers_.GetFileHeaders(i);
    archive->Seek(end);
    try {
      AddEntry(header, *archive, uniqueID);
    } catch (...) {
      // The list in memory, which FileCount counts after an add, holds only
      // what the archive holds.
      headers_.Truncate(i);
      throw;
    }
    if (uniqueID >= 0 && uniqueID < 2000) uniqueIndex_[static_cast<std::size_t>(uniqueID)] = i;
    // Only now does the archive claim the entry.
    headers_.WriteStart(*archive, i + 1);
    end = header.NextHeader;
    stats_.Header = header.Encode();
    if (OnAfterAdding) OnAfterAdding(this, stats_);
  }
  headersLoaded_ = false;
}

void TPmbrCompress::AddEntry(TFileHeader& header, ArchiveStream& archive, std::int32_t uniqueID) {
  TemporaryFile temporary(files_, files_.CreateTemporaryFile(""));
  auto source = files_.Open(header.SourcePath, ArchiveOpenMode::ReadShared);
  if (!source) Fail("Cannot open the file " + header.SourcePath);
  auto packed = files_.Open(temporary.Path(), ArchiveOpenMode::Create);
  if (!packed) Fail("Cannot create the file " + temporary.Path());

  LoadEntry(header);
  stats_.PackedSize = 0;
  stats_.EntryFinished = false;
  if (OnBeforeAdding) OnBeforeAdding(this, stats_);
  CompressInto(*source, *packed, header);

  const std::int64_t packedSize = packed->Size();
  const std::int64_t headerAt = archive.Position();
  if (headerAt + kFileHeaderSize + packedSize > kLargest)
    Fail("The compressed file " + compressedFile_ + " would grow past 2 GB");
  header.DataStart = static_cast<std::int32_t>(headerAt + kFileHeaderSize);
  header.PackedSize = static_cast<std::int32_t>(packedSize);
  FileHeaderBytes bytes = header.Encode();
  WriteOrDiskFull(archive, bytes.data(), bytes.size());

  std::vector<std::uint8_t> buffer(kDeflateChunk);
  packed->Seek(0);
  std::int64_t copied = 0;
  for (;;) {
    const std::size_t n = packed->Read(buffer.data(), buffer.size());
    if (n == 0) break;
    WriteOrDiskFull(archive, buffer.data(), n);
    copied += static_cast<std::int64_t>(n);
  }
  if (copied != packedSize) Fail("Cannot open the file " + temporary.Path());

  const std::int64_t end = archive.Position();
  stats_.TotalPacked = Clamped(stats_.TotalPacked + packedSize);
  header.EndOnLastDisk = static_cast<std::int32_t>(end - 1);
  header.NextHeader = static_cast<std::int32_t>(end);
  header.UniqueID = uniqueID;
  archive.Seek(headerAt);
  bytes = header.Encode();
  WriteOrDiskFull(archive, bytes.data(), bytes.size());
  archive.Seek(end);
}

void TPmbrCompress::CompressInto(ArchiveStream& source, ArchiveStream& packed, TFileHeader& header) {
  DeflateStream deflater(DeflateLevel(CompressionLevel));
  z_stream& z = deflater.z;
  std::vector<std::uint8_t> input(kDeflateChunk), output(kDeflateChunk);
  std::int64_t read = 0, written = 0, reported = 0;

  const auto report = [&] {
    CheckAbort();
    if (processMessages_) processMessages_();
    stats_.TotalDone = Clamped(stats_.TotalDone + (read - stats_.FileDone));
    stats_.FileDone = static_cast<std::int32_t>(read);
    stats_.PackedSize = Clamped(written);
    stats_.FilePercent = PercentOf(stats_.FileDone, stats_.FileSize);
    stats_.TotalPercent = PercentOf(stats_.TotalDone, stats_.TotalSize);
    Status();
  };

  int flush = Z_NO_FLUSH;
  while (flush != Z_FINISH) {
    const std::size_t n = source.Read(input.data(), input.size());
    read += static_cast<std::int64_t>(n);
    if (read >= kLargest) Fail("The file " + header.SourcePath + " is too large for the archive");
    flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = input.data();
    z.avail_in = static_cast<uInt>(n);
    do {
      z.next_out = output.data();
      z.avail_out = static_cast<uInt>(output.size());
      if (deflate(&z, flush) == Z_STREAM_ERROR) Fail("Cannot compress the file " + header.SourcePath);
      const std::size_t have = output.size() - z.avail_out;
      WriteOrDiskFull(packed, output.data(), have);
      written += static_cast<std::int64_t>(have);
      while (written - reported >= static_cast<std::int64_t>(kDeflateChunk)) {
        reported += kDeflateChunk;
        report();
      }
    } while (z.avail_out == 0);
  }
  // The entry records what was read, should the file have changed meanwhile.
  header.FileSize = static_cast<std::int32_t>(read);
  stats_.FileSize = header.FileSize;
  stats_.TotalSize = Clamped(stats_.TotalSize);
  stats_.Ratio = PercentOf(written, read);
  stats_.EntryFinished = true;
  report();
  stats_.EntryFinished = false;
}

// ---- extracting -----------------------------------------------------------

std::unique_ptr<ArchiveStream> TPmbrCompress::OpenDiskFile(int disk, ArchiveOpenMode mode,
                                                           std::string& name) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (headers_.MultiDisk) name = ChangeFileExt(name, DiskExtension(disk));
    if (!files_.Exists(name)) {
      if (!OnNewDisk) Fail("Could not open the correct disk file " + std::to_string(disk));
      std::string path = RemoveBackslash(FolderOf(name));
      OnNewDisk(this, disk, path);
      // A Cancel in the disk prompt ends the operation as the user's abort.
      CheckAbort();
      name = AddBackslash(path) + FileNameOf(name);
      if (!files_.Exists(name)) continue;
    }
    auto stream = files_.Open(name, mode);
    if (!stream) Fail("Cannot open the compressed file " + name);
    return stream;
  }
  Fail("Cannot open the compressed file " + name);
}

void TPmbrCompress::ExtractFiles() {
  Guarded(true, [&] { DoExtractFiles(); });
}

void TPmbrCompress::StartReadingEntries() {
  Abort = false;
  kind_ = Kind::Extracting;
  if (!headersLoaded_) ReadHeaders();
  currentDisk_ = 0;
  ComputeTotals(headers_);
}

TFileHeader& TPmbrCompress::ListedEntry(const std::string& line) {
  const int index = headers_.IndexOfFile(line);
  if (index < 0) Fail("The file <" + line + "> was not found in the archive <" + compressedFile_ + ">");
  TFileHeader& header = headers_.GetFileHeaders(index);
  LoadEntry(header);
  return header;
}

void TPmbrCompress::DoExtractFiles() {
  StartReadingEntries();
  const std::vector<std::string> lines = filesToProcess_;
  for (const std::string& line : lines) {
    TFileHeader& header = ListedEntry(line);
    if (TrimmedText(ExtractName).empty()) ExtractName = FileNameOf(header.SourcePath);
    if (OnBeforeExtracting) OnBeforeExtracting(this, stats_);
    const auto targetOf = [this] {
      ExtractName = FileNameOf(ExtractName);
      const std::string name = TrimmedText(ExtractName);
      const std::string target = AddBackslash(ExtractDirectory) + ExtractName;
      // A stored name must not lead out of the folder it is extracted to.
      if (name.empty() || name == "." || name == "..") Fail("Cannot create the file " + target);
      return target;
    };
    std::string target = targetOf();
    bool write = true;
    if (files_.Exists(target)) {
      const int verdict =
          versions_.IsFileNewerByVersion(header.VersionText, target, Overwrite, header.FileDate);
      if (verdict == 1 || verdict == 3) {
        write = false;
      } else if (verdict == 2) {
        if (OnReplace) OnReplace(this, stats_);
        target = targetOf();
      } else {
        Fail("Error comparing file versions in TPmbrCompress");
      }
    }
    if (write) {
      ExtractEntry(header, target);
    } else {
      stats_.EntryFinished = true;
      Status();
    }
    ExtractName.clear();
  }
}

void TPmbrCompress::CheckFiles() {
  Guarded(true, [&] { DoCheckFiles(); });
}

void TPmbrCompress::DoCheckFiles() {
  StartReadingEntries();
  const std::vector<std::string> lines = filesToProcess_;
  for (const std::string& line : lines) {
    const TFileHeader& header = ListedEntry(line);
    auto archive = OpenDiskFile(header.FirstDisk == 0 ? 1 : header.FirstDisk, ArchiveOpenMode::ReadShared,
                                compressedFile_);
    currentDisk_ = header.FirstDisk;
    archive->Seek(static_cast<std::int64_t>(Offset) + header.DataStart);
    DiscardingStream nowhere;
    if (Inflate(header, archive, nowhere) != header.FileSize) WrongSize(header, compressedFile_);
  }
}

void TPmbrCompress::ExtractEntry(TFileHeader& header, const std::string& target) {
  auto archive = OpenDiskFile(header.FirstDisk == 0 ? 1 : header.FirstDisk, ArchiveOpenMode::ReadShared,
                              compressedFile_);
  currentDisk_ = header.FirstDisk;
  const std::string folder = FolderOf(target);
  if (!folder.empty() && !files_.CreateFolders(folder)) CannotCreate(files_, target);
  // The entry goes to a file beside the target, which it replaces only once
  // it is whole: a damaged entry, a full disk or a cancel leave the old file.
  TemporaryFile temporary(files_, TemporaryBeside(files_, target));
  {
    auto output = files_.Open(temporary.Path(), ArchiveOpenMode::Create);
    if (!output) CannotCreate(files_, target);
    archive->Seek(static_cast<std::int64_t>(Offset) + header.DataStart);
    const std::int64_t produced = Inflate(header, archive, *output);
    if (produced != header.FileSize || output->Size() != header.FileSize) WrongSize(header, compressedFile_);
  }
  archive.reset();
  if (!files_.SetFileDate(temporary.Path(), header.FileDate))
    Fail("Cannot set the date of the file just extracted.");
  if (!files_.RenameOver(temporary.Path(), target)) CannotCreate(files_, target);
  temporary.Release();
  stats_.EntryFinished = true;
  Status();
}

std::int64_t TPmbrCompress::Inflate(const TFileHeader& header, std::unique_ptr<ArchiveStream>& archive,
                                    ArchiveStream& target) {
  InflateStream inflater;
  z_stream& z = inflater.z;
  std::vector<std::uint8_t> input(kInflateInput), output(kInflateOutput);
  std::int64_t position = archive->Position();
  const std::int64_t lastByte = static_cast<std::int64_t>(Offset) + header.EndOnLastDisk;
  const std::int64_t fileSize = header.FileSize;
  std::int64_t produced = 0;
  bool ended = false;

  for (;;) {
    std::size_t filled = 0;
    while (filled < output.size() && !ended) {
      if (z.avail_in == 0) {
        std::int64_t want = static_cast<std::int64_t>(input.size());
        if (currentDisk_ == header.LastDisk) want = std::min(want, lastByte + 1 - position);
        const std::size_t n = want > 0 ? archive->Read(input.data(), static_cast<std::size_t>(want)) : 0;
        if (n == 0) break;
        position += static_cast<std::int64_t>(n);
        z.next_in = input.data();
        z.avail_in = static_cast<uInt>(n);
      }
      // One byte of room past FileSize shows an entry that would grow beyond it.
      const std::int64_t room =
          std::min<std::int64_t>(static_cast<std::int64_t>(output.size() - filled),
                                 fileSize - produced - static_cast<std::int64_t>(filled) + 1);
      z.next_out = output.data() + filled;
      z.avail_out = static_cast<uInt>(room);
      const int result = inflate(&z, Z_NO_FLUSH);
      filled = static_cast<std::size_t>(z.next_out - output.data());
      if (produced + static_cast<std::int64_t>(filled) > fileSize) Damaged(header, compressedFile_);
      if (result == Z_STREAM_END)
        ended = true;
      else if (result != Z_OK)
        Damaged(header, compressedFile_);
    }
    CheckAbort();
    if (processMessages_) processMessages_();
    if (filled > 0) {
      WriteOrDiskFull(target, output.data(), filled);
      produced += static_cast<std::int64_t>(filled);
      stats_.FileDone = Clamped(stats_.FileDone + static_cast<std::int64_t>(filled));
      stats_.TotalDone = Clamped(stats_.TotalDone + static_cast<std::int64_t>(filled));
      stats_.FilePercent = PercentOf(stats_.FileDone, stats_.FileSize);
      stats_.TotalPercent = PercentOf(stats_.TotalDone, stats_.TotalSize);
      Status();
      continue;
    }
    if (ended || currentDisk_ >= header.LastDisk) break;
    // This disk holds no more of the entry: it goes on at the start of the next.
    ++currentDisk_;
    archive.reset();
    archive = OpenDiskFile(currentDisk_, ArchiveOpenMode::ReadShared, compressedFile_);
    archive->Seek(0);
    position = 0;
  }
  // The stream must end exactly where the entry does.
  if (!ended || z.avail_in > 0 || currentDisk_ != header.LastDisk || position != lastByte + 1)
    Damaged(header, compressedFile_);
  return produced;
}

// ---- splitting ------------------------------------------------------------

void TPmbrCompress::SplitToDisks(const std::string& targetDir, const std::string& fileName) {
  Guarded(false, [&] { DoSplitToDisks(targetDir, fileName); });
}

void TPmbrCompress::DoSplitToDisks(const std::string& targetDir, const std::string& fileName) {
  Abort = false;
  if (!headersLoaded_) ReadHeaders();
  if (headers_.MultiDisk) Fail("The compressed file " + compressedFile_ + " is split over disks already");
  // The loaded headers keep describing the source; the copies describe the disks.
  TFileHeaders target;
  for (const auto& header : headers_.Items()) target.Add(std::make_unique<TFileHeader>(*header));
  target.MultiDisk = true;
  currentDisk_ = 1;
  ComputeTotals(target);

  auto source = files_.Open(compressedFile_, ArchiveOpenMode::ReadShared);
  if (!source) Fail("Cannot open the compressed file " + compressedFile_);
  std::string diskName = AddBackslash(targetDir) + fileName;
  if (!targetDir.empty()) files_.CreateFolders(targetDir);
  auto disk = files_.Open(diskName, ArchiveOpenMode::Create);
  if (!disk) Fail("Cannot create the file " + diskName);
  target.WriteTo(*disk);
  std::int64_t diskPosition = disk->Position();

  std::vector<std::uint8_t> chunk(kCopyChunk);
  for (const auto& entry : target.Items()) {
    TFileHeader& header = *entry;
    LoadEntry(header);
    std::int64_t from = static_cast<std::int64_t>(header.DataStart) + Offset;
    const std::int64_t last = static_cast<std::int64_t>(header.EndOnLastDisk) + Offset;
    source->Seek(from);
    header.DataStart = static_cast<std::int32_t>(diskPosition);
    header.FirstDisk = static_cast<std::uint8_t>(currentDisk_);
    for (;;) {
      CheckAbort();
      if (from > last) break;
      const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(kCopyChunk, last - from + 1));
      if (source->Read(chunk.data(), n) != n) Damaged(header, compressedFile_);
      from += static_cast<std::int64_t>(n);
      if (processMessages_) processMessages_();
      const std::size_t written = disk->Write(chunk.data(), n);
      diskPosition += static_cast<std::int64_t>(written);
      if (written < n) {
        // The disk is full: the rest of the chunk opens the next one.
        disk.reset();
        if (currentDisk_ >= 255) Fail("There is too little space on this disk to operate");
        ++currentDisk_;
        if (!OnNewDisk)
          Fail("There was no event handler for the OnNewDisk event, therefore no new disk could be inserted");
        std::string path = targetDir;
        OnNewDisk(this, currentDisk_, path);
        CheckAbort();
        diskName = AddBackslash(path) + ChangeFileExt(fileName, DiskExtension(currentDisk_));
        disk = files_.Open(diskName, ArchiveOpenMode::Create);
        if (!disk) Fail("Cannot create the file " + diskName);
        const std::size_t rest = n - written;
        if (disk->Write(chunk.data() + written, rest) != rest)
          Fail("There is too little space on this disk to operate");
        diskPosition = static_cast<std::int64_t>(rest);
      }
      stats_.FileDone = Clamped(stats_.FileDone + static_cast<std::int64_t>(n));
      stats_.TotalDone = Clamped(stats_.TotalDone + static_cast<std::int64_t>(n));
      stats_.FilePercent = PercentOf(stats_.FileDone, stats_.PackedSize);
      stats_.TotalPercent = PercentOf(stats_.TotalDone, stats_.TotalPacked);
      Status();
    }
    header.EndOnLastDisk = static_cast<std::int32_t>(diskPosition - 1);
    header.LastDisk = static_cast<std::uint8_t>(currentDisk_);
  }
  disk.reset();
  source.reset();

  // Disk 1 of the target (asked for again when it was taken out) gets the
  // final positions; the source is never written.
  std::string firstDisk = AddBackslash(targetDir) + fileName;
  for (int attempt = 0; attempt < 4 && !files_.Exists(firstDisk); ++attempt) {
    if (!OnNewDisk) break;
    std::string path = RemoveBackslash(FolderOf(firstDisk));
    OnNewDisk(this, 1, path);
    CheckAbort();
    firstDisk = AddBackslash(path) + fileName;
  }
  disk = files_.Open(firstDisk, ArchiveOpenMode::ReadWriteShared);
  if (!disk) Fail("Cannot open the compressed file " + firstDisk);
  target.WriteTo(*disk);
}

// ---- plain copy -----------------------------------------------------------

void TPmbrCompress::CopyFile(const std::string& source, const std::string& dest) {
  Guarded(true, [&] { DoCopyFile(source, dest); });
}

void TPmbrCompress::DoCopyFile(std::string source, std::string dest) {
  Abort = false;
  Offset = 0;
  ExtractDirectory = FolderOf(dest);
  ExtractName = FileNameOf(dest);
  stats_ = TlzhFileStats{};
  stats_.EntryName = source;
  if (files_.Exists(dest)) {
    const int verdict = versions_.IsFileNewerByName(source, dest, Overwrite);
    if (verdict == 1 || verdict == 3) return;
    if (verdict != 2) Fail("Error comparing file versions in TPmbrCompress");
    if (OnReplace) OnReplace(this, stats_);
    dest = AddBackslash(ExtractDirectory) + ExtractName;
  }
  auto input = files_.Open(source, ArchiveOpenMode::ReadShared);
  if (!input) Fail("Cannot open the file " + source);
  const std::int64_t size = input->Size();
  stats_.FileSize = stats_.TotalSize = Clamped(size);
  const std::string folder = FolderOf(dest);
  if (!folder.empty() && !files_.CreateFolders(folder)) CannotCreate(files_, dest);
  TemporaryFile temporary(files_, TemporaryBeside(files_, dest));
  {
    auto output = files_.Open(temporary.Path(), ArchiveOpenMode::Create);
    if (!output) CannotCreate(files_, dest);
    std::vector<std::uint8_t> chunk(kCopyChunk);
    std::int64_t copied = 0;
    for (;;) {
      CheckAbort();
      const std::size_t n = input->Read(chunk.data(), chunk.size());
      WriteOrDiskFull(*output, chunk.data(), n);
      copied += static_cast<std::int64_t>(n);
      stats_.FileDone = stats_.TotalDone = Clamped(copied);
      stats_.FilePercent = stats_.TotalPercent = PercentOf(copied, size);
      Status();
      if (processMessages_) processMessages_();
      if (n < chunk.size()) break;
    }
  }
  input.reset();
  double date = 0;
  if (!files_.GetFileDate(source, date) || !files_.SetFileDate(temporary.Path(), date))
    Fail("Cannot set the date of the file just extracted.");
  if (!files_.RenameOver(temporary.Path(), dest)) CannotCreate(files_, dest);
  temporary.Release();
  stats_.EntryFinished = true;
  Status();
}

}  // namespace setup
