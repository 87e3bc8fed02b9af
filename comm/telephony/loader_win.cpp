#include "comm/telephony/loader_win.h"

#include "comm/telephony/binding.h"
#include "framework/library_win.h"

namespace comm {

void UseSystemTapiLoader() { SetTapiLoader(&fw::SystemLibraryLoader()); }

}  // namespace comm
