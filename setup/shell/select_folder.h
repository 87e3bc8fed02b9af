// The program-folder page's rules: which folders it offers, what name it
// starts with, and how the typed name sets the shortcut folder.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "setup/install/install_tree.h"

namespace setup {

struct FolderSources {
  std::function<std::vector<std::string>()> ProgramsSubfolders;
  std::function<std::vector<std::string>()> ProgramManagerGroups;
};

// The subfolders of the Programs menu on shells with links (Windows kinds 1
// and 2), the Program Manager groups on any other; sorted, without case.
std::vector<std::string> ProgramFolderList(int windowsKind, const FolderSources& sources);

// The last path component of the folder's DestDir when it lies in the
// Programs menu, else ""; an empty name becomes the first listed folder.
std::string InitialFolderName(const TInstallContainer* folder, const std::vector<std::string>& list);

// The folder goes to "\" + the name under the Programs menu.
void ApplyFolderName(TInstallContainer* folder, const std::string& name);

}  // namespace setup
