// The system's library loader for the telephony binding.
#pragma once

namespace comm {

// Makes the binding load the library with LoadLibrary/GetProcAddress.
void UseSystemTapiLoader();

}  // namespace comm
