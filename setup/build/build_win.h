// The build and the floppy transfer on this machine: real files, the
// version resources, the user's registry and the application's message boxes.
#pragma once

#include "setup/build/build.h"

namespace setup {

// One per process; a test may replace members and put them back.
BuildSystem& SystemBuild();

}  // namespace setup
