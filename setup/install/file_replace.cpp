#include "setup/install/file_replace.h"

#include "setup/base/text_routines.h"
#include "setup/install/install_rules.h"

namespace setup {

bool InUseRedirectFiles::RenameOver(const std::string& from, const std::string& to) {
  if (files_.RenameOver(from, to)) return true;
  // Only a destination that is there can be in use; any other failure stays
  // the archive's.
  if (!files_.Exists(to)) return false;
  const std::string folder = FolderOf(to);
  const std::string candidate =
      AddBackslash(folder) + FreeCandidateName(folder, FileNameOf(to), [this](const std::string& path) {
        return files_.Exists(path);
      });
  if (!files_.RenameOver(from, candidate)) return false;
  redirected_.push_back({to, candidate});
  return true;
}

}  // namespace setup
