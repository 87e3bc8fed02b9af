// The Windows side of the version readers: version.dll on real files.
#pragma once

#include "framework/version_info_source.h"

#include <string>

namespace fw {

VersionInfoSource& SystemVersionInfo();

// The full path of the running program's file; "" when the system cannot give it.
std::string ProgramFilePath();

}  // namespace fw
