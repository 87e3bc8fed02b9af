// The build and the floppy transfer on this machine: real files, the
// version resources, the user's registry and the application's message boxes.
#pragma once

#include "setup/build/build.h"

namespace setup {

// One per process; a test may replace members and put them back.
BuildSystem& SystemBuild();

// -b of the running program: builds into the folder BUILD.INF beside it
// names; a failure is shown in an error box. False when it failed.
bool RunBuild(TCustomInstall& install, const BuildSettings& settings);
// -f onto drive a:; a failure is shown in an error box. False when it failed.
bool RunTransferToFloppies(TCustomInstall& install);

}  // namespace setup
