// The page store: every finished page of a report as an enhanced metafile
// image, one record per page, in one stream whose layout is the report page
// file itself. Saving is a byte copy; loading opens the file as the store.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "report/pages/streams.h"
#include "report/pages/stream.h"

namespace report {

// An enhanced metafile in its file form.
using PageImage = std::vector<std::uint8_t>;

constexpr std::int64_t kPageFileHeaderSize = 124;
constexpr std::int32_t kPageStoreMemoryLimit = 100000;

class TQRPageList {
 public:
  TQRPageList(QRFileService& files, LocalClock& clock);
  ~TQRPageList();
  TQRPageList(const TQRPageList&) = delete;
  TQRPageList& operator=(const TQRPageList&) = delete;

  // Gives the store the stream its pages go to (freeing any earlier one).
  void SetStream(std::unique_ptr<TQRStream> stream);
  TQRStream* Stream() const { return stream_.get(); }
  // Hands the stream back to the caller; the store then has none.
  std::unique_ptr<TQRStream> ReleaseStream();

  // Forgets the pages; the stream is untouched.
  void Clear();
  void AddPage(const PageImage& page);
  // Page n (1-based), or nothing when there is no such page.
  std::optional<PageImage> GetPage(std::int32_t n);

  // Place the stream at the start of a record.
  void SeekToPage(std::int32_t n);
  void SeekToFirst();
  void SeekToLast();

  void WriteFileHeader();
  void ReadFileHeader();
  // Writes the header once more at the end of a report.
  void Finish();

  // Opens a report page file as the store, after checking all of its records;
  // a file that fails is refused and the current store stays as it was.
  void LoadFromFile(const std::string& fileName);
  // Writes the store to a file; on failure the old file stays unchanged.
  void SaveToFile(const std::string& fileName);

  bool Compression = false;
  std::int32_t PageCount = 0;

 private:
  TQRStream& RequireStream();
  struct Record {
    std::int64_t start;
    std::int64_t next;
  };
  // Reads the head of the record at start and checks its links.
  Record ReadRecordAt(std::int64_t start, std::int32_t expectedNumber, std::int64_t size);
  void CheckPageData(const Record& record);
  void CheckWholeStore();
  void WriteHeaderBytes();

  QRFileService& files_;
  LocalClock& clock_;
  std::recursive_mutex lock_;
  std::unique_ptr<TQRStream> stream_;
};

}  // namespace report
