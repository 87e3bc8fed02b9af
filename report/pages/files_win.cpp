#include "report/pages/files_win.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "framework/exceptions.h"
#include "report/pages/error.h"

namespace report {

namespace {

[[noreturn]] void RaiseLastError(const std::string& what) {
  const DWORD code = GetLastError();
  throw fw::EInOutError(static_cast<int>(code),
                        what + " " + fw::InOutErrorText(static_cast<int>(code)) + ".");
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

// Creates a uniquely named empty file in folder (the system makes the name).
std::string CreateUniqueFile(const std::string& folder, const std::string& failure) {
  char name[MAX_PATH];
  if (GetTempFileNameA(folder.c_str(), "QRP", 0, name) == 0) RaiseLastError(failure);
  return name;
}

std::unique_ptr<Win32FileStream> OpenForWriting(const std::string& path) {
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) RaiseLastError("Cannot create file \"" + path + "\".");
  return std::make_unique<Win32FileStream>(handle, path);
}

}  // namespace

std::unique_ptr<ByteStream> Win32QRFiles::CreateTemporary(std::string& path) {
  char folder[1000];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) RaiseLastError("Cannot find the folder for temporary files.");
  const std::string name =
      CreateUniqueFile(folder, "Cannot create a temporary file in \"" + std::string(folder) + "\".");
  try {
    auto stream = OpenForWriting(name);
    path = name;
    return stream;
  } catch (...) {
    DeleteFileA(name.c_str());
    throw;
  }
}

bool Win32QRFiles::Remove(const std::string& path) noexcept { return DeleteFileA(path.c_str()) != 0; }

std::unique_ptr<ByteStream> Win32QRFiles::OpenShared(const std::string& path) {
  // Sharing with everyone, deleting included, lets a save replace the very
  // file a loaded report reads from.
  HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) RaiseLastError("Cannot open file \"" + path + "\".");
  return std::make_unique<Win32FileStream>(handle, path);
}

void Win32QRFiles::WriteReplacing(const std::string& path,
                                  const std::function<void(ByteStream&)>& writeContent) {
  // A read-only file is the user's wish to keep it; some systems would let
  // the rename below replace it anyway.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    RaiseLastError("Cannot save file \"" + path + "\".");
  }
  // The new content goes to a file beside the target first, so the target is
  // only ever replaced whole and a failure leaves it as it was.
  const std::string temporary = CreateUniqueFile(FolderOf(path), "Cannot save file \"" + path + "\".");
  try {
    {
      auto stream = OpenForWriting(temporary);
      writeContent(*stream);
      stream->Flush();
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      RaiseLastError("Cannot save file \"" + path + "\".");
  } catch (...) {
    DeleteFileA(temporary.c_str());
    throw;
  }
}

namespace {
// The volume and index that name a file whatever path leads to it.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  return known;
}
}  // namespace

bool Win32QRFiles::SameFile(const std::string& first, const std::string& second) {
  BY_HANDLE_FILE_INFORMATION a, b;
  if (!FileIdentity(first, a) || !FileIdentity(second, b)) return false;
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

double Win32LocalClock::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return DateTimeFromParts(
      {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds});
}

PageImage MetafileImageOf(HENHMETAFILE metafile) {
  const UINT size = GetEnhMetaFileBits(metafile, 0, nullptr);
  if (size == 0) throw EQRError("The page's metafile cannot be read.");
  PageImage image(size);
  if (GetEnhMetaFileBits(metafile, size, image.data()) != size)
    throw EQRError("The page's metafile cannot be read.");
  return image;
}

EnhMetafile MetafileFromImage(const PageImage& image) {
  if (image.size() > std::numeric_limits<UINT>::max())
    throw EQRError("The page is too large for a metafile.");
  HENHMETAFILE metafile = SetEnhMetaFileBits(static_cast<UINT>(image.size()), image.data());
  if (!metafile) throw EQRError("The page is not a valid metafile.");
  return EnhMetafile(metafile);
}

}  // namespace report
