// The installer's questions to Windows: short paths, temporary files, the
// system folders and the Windows family.
#pragma once

#include <optional>
#include <string>

#include "setup/base/windows_kind.h"

namespace setup {

// The short (8.3) form of the path. When the system cannot give one, or it
// would need more than 400 characters, the path itself.
std::string ShortPathOf(const std::string& path);

// The Windows family of the system (see WindowsKindOf).
int WindowsKind();
// The system's version query (GetVersionEx); nothing when it fails.
std::optional<WindowsVersion> SystemWindowsVersion();

// A new file "bat....tmp" in the temporary folder, made by the system; unless
// `keep`, the file is deleted again and only its name is returned. Raises
// EAPIRoutines "Cannot create a temporary file".
std::string UniqueTempFileName(bool keep);

// The Windows system folder and the Windows folder; EAPIRoutines when the
// system cannot give them.
std::string SystemDirectory();
std::string WindowsDirectory();

// True when path names an existing folder.
bool FolderExists(const std::string& path);
// Creates the folder with every missing parent; true when it exists
// afterwards. A drive ("C:") or a share root ends the climb.
bool CreateFolders(const std::string& folder);

}  // namespace setup
