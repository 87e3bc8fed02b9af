#include "setup/product/capture_files_win.h"

#include <windows.h>

namespace setup {

std::vector<FolderEntry> Win32FolderFiles::List(const std::string& pattern) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return entries;
}

bool Win32FolderFiles::Rename(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != 0;
}

void RenameCaptureFiles(const std::string& folder) {
  Win32FolderFiles files;
  RenameCaptureFiles(files, folder);
}

void ChangeFileType(TInstallContainer*, bool) { RenameCaptureFiles(kEarlierCaptureFolder); }

}  // namespace setup
