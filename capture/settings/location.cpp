#include "capture/settings/location.h"

namespace capture {

std::string FolderOf(std::string_view path) {
  const auto last = path.find_last_of("\\:");
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string WithExtension(std::string_view path, std::string_view extension) {
  const auto dot = path.find_last_of(".\\:");
  const bool hasExtension = dot != std::string_view::npos && path[dot] == '.';
  return std::string(hasExtension ? path.substr(0, dot) : path) + std::string(extension);
}

std::string SettingsFilePath(int variant, std::string_view programPath, bool engineFolderExists) {
  const char* name = nullptr;
  switch (variant) {
    case 0:
      name = "icbr424.cgr";
      break;
    case 1:
      name = "ictu424.cgr";
      break;
    case 2:
      name = "icmo424.cgr";
      break;
    default:
      return WithExtension(programPath, ".cgr");
  }
  const std::string folder = engineFolderExists ? std::string(kEngineFolder) + "\\" : FolderOf(programPath);
  return folder + name;
}

}  // namespace capture
