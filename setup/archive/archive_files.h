// What the installer archive needs of files: a stream with reads that stop
// only at the end and writes that report how much a full disk took, and the
// handful of folder and name operations around it. The Win32 side gives real
// files, the core gives in-memory disks of a set capacity.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "setup/base/text_routines.h"

namespace setup {

class ArchiveStream {
 public:
  virtual ~ArchiveStream() = default;
  // Fewer bytes than asked only at the end of the file.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Fewer bytes than asked when the disk is full; other failures raise.
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  virtual void Seek(std::int64_t position) = 0;
  virtual std::int64_t Position() = 0;
  virtual std::int64_t Size() = 0;
};

enum class ArchiveOpenMode {
  ReadShared,       // existing file, reading, others may read and write
  ReadWriteShared,  // existing file, reading and writing, others may too
  Create            // new or emptied file, reading and writing
};

class ArchiveFileSystem {
 public:
  virtual ~ArchiveFileSystem() = default;
  // Null when the file cannot be opened (or created) in that mode.
  virtual std::unique_ptr<ArchiveStream> Open(const std::string& path, ArchiveOpenMode mode) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // Creates the folder and every missing folder above it.
  virtual bool CreateFolders(const std::string& folder) = 0;
  // Puts `from` in place of `to` in one step, replacing `to` when it exists.
  virtual bool RenameOver(const std::string& from, const std::string& to) = 0;
  virtual bool Delete(const std::string& path) = 0;
  // File dates are local date-times: days since 30 December 1899.
  virtual bool GetFileDate(const std::string& path, double& date) = 0;
  virtual bool SetFileDate(const std::string& path, double date) = 0;
  // Creates an empty file with a new unique name in the folder (in the
  // system's temporary folder when the folder is empty) and returns the name;
  // raises when none can be made.
  virtual std::string CreateTemporaryFile(const std::string& folder) = 0;
  // The system's own words for why the last operation here that failed
  // failed; empty when it has none.
  virtual std::string FailureText() { return {}; }
};

// The version reader's answers the archive asks for: a file's FileVersion and
// the overwrite decisions (0 undecided, 1 same, 2 the new file wins, 3 the
// existing file wins).
class ArchiveVersions {
 public:
  virtual ~ArchiveVersions() = default;
  virtual std::string FileVersionOf(const std::string& path) = 0;
  virtual int IsFileNewerByVersion(const std::string& newVersion, const std::string& existingFile,
                                   int overwriteType, double newDate) = 0;
  virtual int IsFileNewerByName(const std::string& newFile, const std::string& existingFile,
                                int overwriteType) = 0;
};

// Path pieces with "\" (and "/") as separators.
std::string FolderOf(const std::string& path);    // without trailing backslash
std::string FileNameOf(const std::string& path);  // after the last separator or drive colon
// The file name's extension (from its last ".") replaced by `extension`
// (which brings its own "."), or appended when it has none.
std::string ChangeFileExt(const std::string& path, const std::string& extension);
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

}  // namespace setup
