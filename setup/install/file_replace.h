// A destination in use does not stop an installation: the archive writes
// every file under a temporary name and renames it over its destination; when
// that rename fails on an existing file (held open by a running program), the
// new file takes the first free name "<name>.1", "<name>.2", ... beside it
// and the replacement is left for the next start of Windows.
#pragma once

#include <string>
#include <vector>

#include "setup/archive/archive_files.h"

namespace setup {

// A new file that waits beside the file it replaces.
struct PendingReplace {
  std::string Destination;  // the file in use, under its own name
  std::string NewFile;      // where the new bytes are
};

// The archive's files, with a rename over a file in use turned aside.
class InUseRedirectFiles : public ArchiveFileSystem {
 public:
  explicit InUseRedirectFiles(ArchiveFileSystem& files) : files_(files) {}

  // The renames turned aside, in order.
  const std::vector<PendingReplace>& Redirected() const { return redirected_; }

  std::unique_ptr<ArchiveStream> Open(const std::string& path, ArchiveOpenMode mode) override {
    return files_.Open(path, mode);
  }
  bool Exists(const std::string& path) override { return files_.Exists(path); }
  bool CreateFolders(const std::string& folder) override { return files_.CreateFolders(folder); }
  bool RenameOver(const std::string& from, const std::string& to) override;
  bool Delete(const std::string& path) override { return files_.Delete(path); }
  bool GetFileDate(const std::string& path, double& date) override { return files_.GetFileDate(path, date); }
  bool SetFileDate(const std::string& path, double date) override { return files_.SetFileDate(path, date); }
  std::string CreateTemporaryFile(const std::string& folder) override {
    return files_.CreateTemporaryFile(folder);
  }
  std::string FailureText() override { return files_.FailureText(); }

 private:
  ArchiveFileSystem& files_;
  std::vector<PendingReplace> redirected_;
};

}  // namespace setup
