#include "setup/shell/select_folder.h"

#include <algorithm>
#include <cctype>

#include "setup/paths/path_specifiers.h"

namespace setup {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TpsProgramMenu* ProgramMenuSpecifier() {
  if (auto* found = StandardPathSpecifiers().Find<TpsProgramMenu>()) return found;
  return PathSpecifiers().FindSpecifier<TpsProgramMenu>();
}

}  // namespace

std::vector<std::string> ProgramFolderList(int windowsKind, const FolderSources& sources) {
  const auto& source =
      (windowsKind == 1 || windowsKind == 2) ? sources.ProgramsSubfolders : sources.ProgramManagerGroups;
  std::vector<std::string> list = source ? source() : std::vector<std::string>();
  std::stable_sort(list.begin(), list.end(),
                   [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  return list;
}

std::string InitialFolderName(const TInstallContainer* folder, const std::vector<std::string>& list) {
  std::string name;
  if (folder && dynamic_cast<TpsProgramMenu*>(folder->DestDirType())) {
    const std::string& dir = folder->DestDir();
    const size_t slash = dir.find_last_of('\\');
    name = slash == std::string::npos ? dir : dir.substr(slash + 1);
  }
  if (name.empty() && !list.empty()) name = list.front();
  return name;
}

void ApplyFolderName(TInstallContainer* folder, const std::string& name) {
  if (!folder) return;
  folder->SetDestDirType(ProgramMenuSpecifier());
  folder->SetDestDir("\\" + name);
}

}  // namespace setup
