// The profile seam a key map test executable runs on.
#pragma once

#include "comm/keyboard/profile_access.h"

comm::ProfileAccess& TestProfile();
