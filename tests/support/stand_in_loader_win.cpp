// The loading program of a distribution, for tests and for trying the setup
// program by hand. Run as a self-extracting "setup.exe" (its file ends with
// the extraction trailer) it takes everything out of the embedded "setup.1"
// into a new temporary folder and starts the first entry, the installer,
// with "-e<its own file name>", "-s<its own folder>" and "-c". Run as a plain
// loader beside "setup.1" it does the same with that archive and without
// "-e". It waits for the installer and exits with its exit code; its own
// failures are shown in a message box and end it with exit code 2. Started
// from a removable disk it ends once the installer runs, with exit code 0:
// a running program cannot leave its disk, and the installer may ask for the
// next one.
#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "setup/archive/archive_files.h"
#include "setup/archive/archive_files_win.h"
#include "setup/archive/pmbr_compress.h"
#include "setup/base/extraction_info.h"

namespace {

constexpr int kLoaderFailed = 2;

std::string OwnPath() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) throw std::runtime_error("Cannot find the setup program's own path");
  return std::string(path, length);
}

// Whether the file ends with a trailer: its last 56 bytes begin with the
// trailer's mark. A plain loader ends with anything else.
bool HasTrailer(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("Cannot open " + path);
  static constexpr char kMark[] = "\x0eSELFEXTRACTING";
  char mark[sizeof kMark] = {};
  LARGE_INTEGER size{}, at{};
  DWORD read = 0;
  bool marked = false;
  if (GetFileSizeEx(file, &size) && size.QuadPart >= static_cast<LONGLONG>(setup::kExtractionInfoSize)) {
    at.QuadPart = size.QuadPart - static_cast<LONGLONG>(setup::kExtractionInfoSize);
    marked = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
             ReadFile(file, mark, sizeof mark, &read, nullptr) && read == sizeof mark &&
             std::memcmp(mark, kMark, sizeof mark) == 0;
  }
  CloseHandle(file);
  return marked;
}

std::string NewTemporaryFolder() {
  char temp[MAX_PATH], name[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, temp) || !GetTempFileNameA(temp, "stl", 0, name))
    throw std::runtime_error("Cannot make a temporary folder");
  // The unique name was made as a file; the folder takes its place.
  DeleteFileA(name);
  if (!CreateDirectoryA(name, nullptr))
    throw std::runtime_error(std::string("Cannot create the folder ") + name);
  return name;
}

// Takes every entry of the archive into the folder; the path of the first.
std::string ExtractAll(const std::string& archivePath, std::int64_t offset, const std::string& folder) {
  setup::Win32ArchiveFiles files;
  setup::SystemArchiveVersions versions;
  setup::TPmbrCompress archive(nullptr, files, versions, [] {});
  archive.SetCompressedFile(archivePath);
  archive.Offset = static_cast<std::int32_t>(offset);
  archive.ReadHeaders();
  std::vector<std::string> entries;
  for (const auto& header : archive.Headers().Items()) entries.push_back(header->SourcePath);
  if (entries.empty()) throw std::runtime_error("The archive " + archivePath + " holds no installer program");
  const std::string first = setup::FileNameOf(entries.front());
  archive.ExtractDirectory = folder;
  archive.SetFilesToProcess(entries);
  archive.ExtractFiles();
  if (archive.Abort) throw std::runtime_error("Cannot take the installer program out of " + archivePath);
  return folder + "\\" + first;
}

DWORD Run(const std::string& program, const std::string& arguments, const std::string& folder, bool wait) {
  std::string command = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process))
    throw std::runtime_error("Cannot start the installer program " + program);
  CloseHandle(process.hThread);
  if (!wait) {
    CloseHandle(process.hProcess);
    return 0;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = kLoaderFailed;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  return code;
}

int Load() {
  const std::string own = OwnPath();
  const std::string folder = setup::FolderOf(own);
  std::string archive = own, arguments;
  std::int64_t offset = 0;
  if (HasTrailer(own)) {
    // Offsets that do not lie inside this file raise the extraction-info error.
    offset = setup::ReadExtractionInfo(own).SetupStart;
    arguments = "\"-e" + setup::FileNameOf(own) + "\" ";
  } else {
    archive = folder + "\\setup.1";
  }
  arguments += "\"-s" + folder + "\" \"-c\"";
  const std::string temporary = NewTemporaryFolder();
  const std::string installer = ExtractAll(archive, offset, temporary);
  // The installer starts in the loader's folder: nothing holds the temporary
  // folder, which the installer's clean-up removes after it ends.
  const bool removable = GetDriveTypeA((own.substr(0, 2) + "\\").c_str()) == DRIVE_REMOVABLE;
  return static_cast<int>(Run(installer, arguments, folder, !removable));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return Load();
  } catch (const std::exception& error) {
    MessageBoxA(nullptr, error.what(), "Setup", MB_OK | MB_ICONERROR);
    return kLoaderFailed;
  }
}
