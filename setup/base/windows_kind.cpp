#include "setup/base/windows_kind.h"

#include <string>

#include "setup/base/exceptions.h"

namespace setup {

int WindowsKindOf(const std::optional<WindowsVersion>& version) {
  if (!version) throw EAPIRoutines("Could not get information about the current version of Windows");
  switch (version->platformId) {
    case 0:
      return 0;
    case 1:
      return 1;
    case 2: {
      const std::string text = std::to_string(version->major) + "." + std::to_string(version->minor);
      return text.find("3.5") == std::string::npos ? 2 : 3;
    }
    default:
      return 4;
  }
}

}  // namespace setup
