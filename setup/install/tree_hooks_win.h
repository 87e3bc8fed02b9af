// The install tree's hooks on this machine: the hourglass while a container
// installs or the build reads its source files, and the archive's abort
// flag that tells a container's OnAfterInstallObjects of a cancel.
#pragma once

namespace setup {

void UseSystemTreeHooks();

}  // namespace setup
