#include "setup/archive/archive_files.h"

#include <cctype>

namespace setup {

namespace {
std::size_t NameStart(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? 0 : separator + 1;
}
}  // namespace

std::string FolderOf(const std::string& path) {
  const std::size_t start = NameStart(path);
  if (start == 0) return "";
  std::string folder = path.substr(0, start);
  // "C:\" keeps its backslash off like every other folder; "C:" stays a drive.
  if (folder.back() == '\\' || folder.back() == '/') folder.pop_back();
  return folder;
}

std::string FileNameOf(const std::string& path) { return path.substr(NameStart(path)); }

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
  const std::size_t start = NameStart(path);
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < start) return path + extension;
  return path.substr(0, dot) + extension;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace setup
