#include "setup/product/capture_files.h"

#include <cctype>

#include "setup/base/text_routines.h"

namespace setup {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::string CaptureFileNewName(const FolderEntry& entry) {
  if (entry.IsFolder) return "";
  const std::string upper = Upper(entry.Name);
  if (upper.find(".CAP") == std::string::npos) return "";
  return upper.substr(0, upper.size() - 3) + "txt";
}

void RenameCaptureFiles(FolderFiles& files, const std::string& folder) {
  const std::string prefix = AddBackslash(folder);
  for (const FolderEntry& entry : files.List(prefix + "*.*")) {
    const std::string newName = CaptureFileNewName(entry);
    if (!newName.empty()) files.Rename(prefix + Upper(entry.Name), prefix + newName);
  }
}

}  // namespace setup
