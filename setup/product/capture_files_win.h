// The renaming of earlier capture files on the real file system, and the
// handler the product binds to its install's OnAfterInstallObjects.
#pragma once

#include <string>

#include "setup/install/install_tree.h"
#include "setup/product/capture_files.h"

namespace setup {

// FindFirstFileA/FindNextFileA and MoveFileA.
class Win32FolderFiles : public FolderFiles {
 public:
  std::vector<FolderEntry> List(const std::string& pattern) override;
  bool Rename(const std::string& from, const std::string& to) override;
};

// RenameCaptureFiles on the real files of `folder`.
void RenameCaptureFiles(const std::string& folder);

// Runs once the install has processed its objects, also after a cancel: the
// old capture files are worth renaming either way. Raises nothing.
void ChangeFileType(TInstallContainer* container, bool wasAborted);

}  // namespace setup
