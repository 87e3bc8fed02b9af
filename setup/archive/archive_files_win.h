// Real files for the installer archive, and the component wired to them and
// to the application's message pump.
#pragma once

#include <functional>
#include <memory>

#include "setup/archive/archive_files.h"
#include "setup/archive/pmbr_compress.h"

namespace setup {

class Win32ArchiveFiles : public ArchiveFileSystem {
 public:
  std::unique_ptr<ArchiveStream> Open(const std::string& path, ArchiveOpenMode mode) override;
  bool Exists(const std::string& path) override;
  bool CreateFolders(const std::string& folder) override;
  bool RenameOver(const std::string& from, const std::string& to) override;
  bool Delete(const std::string& path) override;
  // Dates go through the local DOS date and time, as the archive keeps them.
  bool GetFileDate(const std::string& path, double& date) override;
  bool SetFileDate(const std::string& path, double date) override;
  std::string CreateTemporaryFile(const std::string& folder) override;
  std::string FailureText() override;

 private:
  // Kept at the failure itself: later calls may change the thread's error.
  unsigned long lastFailure_ = 0;
};

// The shared version reader of the setup program: version.dll and the file
// system's dates.
class SystemArchiveVersions : public ArchiveVersions {
 public:
  std::string FileVersionOf(const std::string& path) override;
  int IsFileNewerByVersion(const std::string& newVersion, const std::string& existingFile, int overwriteType,
                           double newDate) override;
  int IsFileNewerByName(const std::string& newFile, const std::string& existingFile,
                        int overwriteType) override;
};

// The system's own text for an error code, as a user reads it after a file
// name: no line break at its end.
std::string SystemErrorText(unsigned long code);

// Lets the application handle pending messages between chunks, so a Cancel
// button can set Abort while an operation runs.
void ProcessApplicationMessages();

}  // namespace setup
