#include "comm/keyboard/profile_access_win.h"
#include "tests/comm/keyboard/key_map_test_profile.h"

comm::ProfileAccess& TestProfile() { return comm::SystemProfiles(); }
