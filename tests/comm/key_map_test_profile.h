// The profile seam a key map test executable runs on.
#pragma once

#include "comm/profile_access.h"

comm::ProfileAccess& TestProfile();
