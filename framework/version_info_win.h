// The Windows side of the version readers: version.dll on real files.
#pragma once

#include "framework/version_info_source.h"

namespace fw {

VersionInfoSource& SystemVersionInfo();

}  // namespace fw
