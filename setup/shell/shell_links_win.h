// Shortcuts on this machine: the shell's link object, profile files, the
// system's registry and Windows family. COM is initialised by the program's
// main block before any shortcut is saved.
#pragma once

#include "setup/shell/shell_links.h"

namespace setup {

void UseSystemShell();
// Saves a shell link file through the shell's link object.
void SaveShellLinkFile(const ShellLinkData& link);

}  // namespace setup
