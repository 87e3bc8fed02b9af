#include "comm/profile_access_win.h"
#include "tests/comm/key_map_test_profile.h"

comm::ProfileAccess& TestProfile() { return comm::SystemProfiles(); }
