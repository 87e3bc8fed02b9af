// The installer archive: adds files as zlib entries behind fixed 172-byte
// headers, reads them back (also from inside a self-extracting setup at an
// offset, and across the disks of a split archive), splits an archive over
// disks and copies unpacked files, with progress events, cancel and the
// overwrite rules of the version reader.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/component.h"
#include "setup/archive/archive_files.h"
#include "setup/archive/file_header.h"
#include "setup/base/exceptions.h"
#include "setup/base/overwrite_decision.h"
#include "setup/base/text_routines.h"

// <windows.h> maps CopyFile to CopyFileA; the archive's operation keeps its
// own name in code that sees both.
#ifdef CopyFile
#undef CopyFile
#endif

namespace setup {

enum TCompressionLevel { colNone, colFastest, colDefault, colMax };

struct TlzhFileStats {
  std::uint8_t FilePercent = 0;
  std::int32_t FileDone = 0;
  std::string EntryName;
  std::int32_t PackedSize = 0;
  std::uint8_t Ratio = 0;
  std::int32_t FileSize = 0;
  FileHeaderBytes Header{};
  bool EntryFinished = false;
  std::uint8_t TotalPercent = 0;
  std::int32_t TotalDone = 0;
  std::int32_t TotalPacked = 0;
  std::uint8_t TotalRatio = 0;
  std::int32_t TotalSize = 0;
};

class TPmbrCompress;
using TlzhFileStatsEvent = std::function<void(TPmbrCompress* sender, const TlzhFileStats& stats)>;
using TlzhNewDiskEvent =
    std::function<void(TPmbrCompress* sender, std::int32_t diskNumber, std::string& path)>;

// `part` of `whole` in percent, rounded to nearest with halves to even; 0 for
// a whole of 0 and never above 100.
std::uint8_t PercentOf(std::int64_t part, std::int64_t whole);
// A date-time cut down to the 2-second steps of file dates.
double ToTwoSecondDate(double date);

class TPmbrCompress : public fw::TComponent {
 public:
  // The files, the version reader and "process pending messages" are handed
  // in; all three outlive the component.
  TPmbrCompress(fw::TComponent* owner, ArchiveFileSystem& files, ArchiveVersions& versions,
                std::function<void()> processMessages);
  ~TPmbrCompress() override;

  // Properties.
  bool Abort = false;
  const std::string& CompressedFile() const { return compressedFile_; }
  void SetCompressedFile(const std::string& name);
  TCompressionLevel CompressionLevel = colMax;
  std::string ExtractDirectory;
  const std::vector<std::string>& FilesToProcess() const { return filesToProcess_; }
  // Deletes the blank lines of the caller's list first, then copies it.
  void SetFilesToProcess(std::vector<std::string>& list);
  std::int32_t Offset = 0;
  TOverwriteType Overwrite = owAlways;

  fw::TNotifyEvent OnAborted;
  TlzhFileStatsEvent OnAfterAdding;
  TlzhFileStatsEvent OnBeforeAdding;
  TlzhFileStatsEvent OnBeforeExtracting;
  fw::TNotifyEvent OnFullDisk;
  TlzhNewDiskEvent OnNewDisk;
  TlzhFileStatsEvent OnReplace;
  TlzhFileStatsEvent OnStatus;

  // The name the next extracted entry is written under; blank for its own.
  std::string ExtractName;

  // Operations.
  void AddFiles(bool append, std::int32_t uniqueID);
  void ExtractFiles();
  // Reads every entry named in FilesToProcess through to its end, as
  // ExtractFiles would, and writes nothing: raises on the first one whose
  // data is damaged or whose size is not the header's. Lets a caller find a
  // damaged archive before it replaces any file.
  void CheckFiles();
  void CopyFile(const std::string& source, const std::string& dest);
  void SplitToDisks(const std::string& targetDir, const std::string& fileName);
  int FileCount();
  void GetFileStats(int index, TlzhFileStats& stats);
  // 0 for an identifier outside 0..1999 or one no entry carries, as callers
  // expect; FindUniqueID tells "not found" apart from entry 0.
  int IndexOfUniqueID(std::int32_t id) const;
  bool FindUniqueID(std::int32_t id, int& index) const;
  void ReadHeaders();
  // Takes the headers an earlier reader of this archive read, instead of
  // reading them again: a split archive keeps them on disk 1, which need not
  // be in the drive any more.
  void UseHeaders(const TFileHeaders& headers);
  const TFileHeaders& Headers() const { return headers_; }

 protected:
  // Called for a short write; a handler in OnFullDisk may make room, after
  // which the write is tried once more.
  virtual void DiskFull();

 private:
  enum class Kind { None, Adding, Extracting };
  class OutputFile;

  // EpcAborted ends the operation quietly with OnAborted, any other failure
  // sets Abort; the list is emptied either way.
  template <class Operation>
  void Guarded(bool clearsExtractName, Operation operation);
  void DoAddFiles(bool append, std::int32_t uniqueID);
  void DoExtractFiles();
  void DoCheckFiles();
  // What extracting and checking share: a fresh start over the headers, and
  // the header of a listed file with its entry loaded.
  void StartReadingEntries();
  TFileHeader& ListedEntry(const std::string& line);
  void DoCopyFile(std::string source, std::string dest);
  void DoSplitToDisks(const std::string& targetDir, const std::string& fileName);

  void ComputeTotals(const TFileHeaders& headers);
  void LoadEntry(const TFileHeader& header);
  void Status();
  void CheckAbort();
  void WriteOrDiskFull(ArchiveStream& stream, const void* buffer, std::size_t count);
  std::unique_ptr<ArchiveStream> OpenDiskFile(int disk, ArchiveOpenMode mode, std::string& name);
  void AddEntry(TFileHeader& header, ArchiveStream& archive, std::int32_t uniqueID);
  void CompressInto(ArchiveStream& source, ArchiveStream& packed, TFileHeader& header);
  void ExtractEntry(TFileHeader& header, const std::string& target);
  std::int64_t Inflate(const TFileHeader& header, std::unique_ptr<ArchiveStream>& archive,
                       ArchiveStream& target);

  ArchiveFileSystem& files_;
  ArchiveVersions& versions_;
  std::function<void()> processMessages_;
  std::string compressedFile_;
  std::vector<std::string> filesToProcess_;
  void IndexUniqueIDs();
  TFileHeaders headers_;
  bool headersLoaded_ = false;
  Kind kind_ = Kind::None;
  int currentDisk_ = 0;
  TlzhFileStats stats_;
  std::array<std::int32_t, 2000> uniqueIndex_{};
};

}  // namespace setup
