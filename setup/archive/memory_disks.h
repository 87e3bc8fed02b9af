// Files held in memory on "disks" of a set capacity, for the archive where no
// real files are wanted (native tests, fuzzing, the benchmark). A disk is a
// path root such as "A:"; writes past its capacity come back short, as on a
// full floppy. Paths on no declared disk land on a disk without limit.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "setup/archive/archive_files.h"

namespace setup {

class MemoryDisks : public ArchiveFileSystem {
 public:
  MemoryDisks();
  ~MemoryDisks() override;

  void AddDisk(const std::string& root, std::int64_t capacity);
  std::int64_t FreeSpace(const std::string& root) const;
  // Puts a whole file in place (its folders too).
  void PutFile(const std::string& path, const std::vector<std::uint8_t>& bytes, double date = 0);
  // The bytes of a file; raises when it is missing.
  std::vector<std::uint8_t> FileBytes(const std::string& path) const;
  // Every file's path, as first created.
  std::vector<std::string> FileNames() const;
  // The folder for temporary files (default "T:\Temp").
  std::string TemporaryFolder = "T:\\Temp";
  // Makes a rename fail when it answers true (a target held open, say).
  std::function<bool(const std::string& from, const std::string& to)> RefuseRename;

  std::unique_ptr<ArchiveStream> Open(const std::string& path, ArchiveOpenMode mode) override;
  bool Exists(const std::string& path) override;
  bool CreateFolders(const std::string& folder) override;
  bool RenameOver(const std::string& from, const std::string& to) override;
  bool Delete(const std::string& path) override;
  bool GetFileDate(const std::string& path, double& date) override;
  bool SetFileDate(const std::string& path, double date) override;
  std::string CreateTemporaryFile(const std::string& folder) override;

  struct Disk;
  struct Data;

 private:
  struct File {
    std::string path;
    std::shared_ptr<Data> data;
  };
  Disk* DiskOf(const std::string& path) const;
  bool FolderExists(const std::string& folder) const;

  std::vector<std::unique_ptr<Disk>> disks_;
  std::map<std::string, File> files_;  // by lower-case path
  std::set<std::string> folders_;      // lower-case, without trailing backslash
  unsigned temporaryCounter_ = 0;
};

}  // namespace setup
