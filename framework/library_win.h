// The system's library loader (LoadLibrary, GetProcAddress, FreeLibrary).
#pragma once

#include "framework/library.h"

namespace fw {

const LibraryLoader& SystemLibraryLoader();

}  // namespace fw
