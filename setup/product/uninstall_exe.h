// The uninstaller among the files of an installation: it installs like any
// other file, and instead of entering the file log it names itself as the
// product's uninstall command in the system's list of installed programs.
#pragma once

#include <string>

#include "setup/install/install_file.h"

namespace setup {

class TUninstallEXE : public TInstallFile {
 public:
  explicit TUninstallEXE(fw::TComponent* owner);
  std::string ClassName() const override { return "TUninstallEXE"; }

  // "DisplayName" and "UninstallString" under the product's uninstall key
  // (the key handed in is not used: the entry is always the install's own).
  // Without an install it raises IEUninstallEXE.
  void WriteUninstallInfo(const std::string& key) override;
};

// The command Windows runs to uninstall: the program's path in double quotes,
// so that a path with blanks can never be read as another program, then the
// product name as its argument.
std::string UninstallCommand(const std::string& programPath, const std::string& productName);

}  // namespace setup
