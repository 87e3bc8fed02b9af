#include "tests/comm/keyboard/key_map_test_profile.h"

comm::ProfileAccess& TestProfile() {
  static comm::TextFileProfile profile;
  return profile;
}
