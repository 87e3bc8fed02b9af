// The Windows side of the version reader: version.dll on real files.
#pragma once

#include "capture/settings/version_info.h"

namespace capture {

VersionInfoSource& SystemVersionInfo();

}  // namespace capture
