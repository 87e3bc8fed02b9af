// Capture files of earlier versions renamed to the text files the capture
// program writes now: every file whose name holds ".CAP" gets its name in
// upper case with its last three characters replaced by "txt".
#pragma once

#include <string>
#include <vector>

namespace setup {

struct FolderEntry {
  std::string Name;
  bool IsFolder = false;
};

class FolderFiles {
 public:
  virtual ~FolderFiles() = default;
  // The entries matching the pattern (a folder and "\*.*"); none when the
  // folder does not exist.
  virtual std::vector<FolderEntry> List(const std::string& pattern) = 0;
  // False when the rename fails; an existing target makes it fail.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
};

// Where earlier versions of the capture program kept their capture files.
// It is not the folder this installation installs to.
constexpr char kEarlierCaptureFolder[] = "C:\\Program Files\\QUORVANE";

// The new name of an entry, or "" when the entry is left alone.
std::string CaptureFileNewName(const FolderEntry& entry);

// Lists the folder first and renames afterwards, so a renamed file is never
// met a second time. Failed renames are ignored (the file keeps its name); a
// missing folder is no error.
void RenameCaptureFiles(FolderFiles& files, const std::string& folder);

}  // namespace setup
