#include "setup/wizard/folder_browser.h"

#include <cctype>
#include <string_view>

namespace setup {

TBrowserRect CreateButtonPlace(const TBrowserControls& c) {
  TBrowserRect r{20, 230, 140, 253};
  if (c.Ok && c.Cancel) {
    const int pitch = c.Cancel->Left - c.Ok->Left;
    r = {c.Ok->Left - pitch, c.Ok->Top - 22, c.Ok->Right - pitch, c.Ok->Bottom - 22};
  }
  if (c.Tree) r.Left = c.Tree->Left;
  return r;
}

TPathEditPlace PathEditPlace(const TBrowserControls& c) {
  TPathEditPlace place;
  place.Edit = {20, 230, 140, 230};
  if (c.Tree) {
    TBrowserRect tree = *c.Tree;
    tree.Bottom -= 60;
    place.Tree = tree;
    if (c.Ok) place.Edit = {tree.Left, tree.Bottom + 15, tree.Right, tree.Bottom + 15};
  }
  return place;
}

std::optional<std::string> BrowserSelection(const std::string& path, const TFolderExists& exists) {
  if (path.find_first_not_of(" \t") == std::string::npos) return std::nullopt;
  std::string folder = path;
  while (!folder.empty() && !exists(folder)) {
    const std::size_t slash = folder.find_last_of('\\');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
  }
  if (folder.empty()) return std::nullopt;
  if (folder.size() <= 3) {
    if (folder.back() != '\\') folder += '\\';
  } else {
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  }
  return folder;
}

bool ValidNewFolderName(const std::string& name) {
  if (name.find_first_not_of(' ') == std::string::npos || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c < 32 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
      return false;
  return true;
}

bool FullyQualifiedPath(const std::string& path) {
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      separator(path[2]))
    return true;
  return path.size() > 2 && separator(path[0]) && separator(path[1]) && !separator(path[2]);
}

}  // namespace setup
