#include "tests/support/pdf_output.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/pty_cable.h"

namespace test_support {

namespace {

std::string WindowsPath(const std::string& linuxPath) {
  std::string path = "Z:" + linuxPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string ReadWindowsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string LineAfter(const std::string& text, const std::string& key) {
  const auto at = text.find(key);
  if (at == std::string::npos) return {};
  auto start = text.find_first_not_of(' ', at + key.size());
  const auto end = text.find('\n', start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

PdfOutput::PdfOutput() {
  lock_ = CreateMutexA(nullptr, FALSE, "TallimoPdfTestPrinter");
  if (!lock_) throw std::runtime_error("PdfOutput: no lock, error " + std::to_string(GetLastError()));
  const DWORD waited = WaitForSingleObject(lock_, 240000);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(lock_);
    throw std::runtime_error("PdfOutput: another test held the test printer for four minutes");
  }
  try {
    Prepare();
  } catch (...) {
    ReleaseMutex(lock_);
    CloseHandle(lock_);
    throw;
  }
}

PdfOutput::~PdfOutput() {
  ReleaseMutex(lock_);
  CloseHandle(lock_);
}

void PdfOutput::Prepare() {
  char value[1024];
  const DWORD length = GetEnvironmentVariableA("TALLIMO_PDF_OUT", value, sizeof value);
  if (length == 0 || length >= sizeof value)
    throw std::runtime_error(
        "The PDF test printer is not set up: TALLIMO_PDF_OUT is not set (tools/pdf-printer, run as root, "
        "makes the "
        "\"PDF\" queue and prints the folder to set it to).");
  folder_.assign(value, length);
  if (!LinuxPathExists(folder_))
    throw std::runtime_error("The PDF output folder " + folder_ + " does not exist.");
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  std::string cwd = current;
  if (cwd.size() < 2 || (cwd[0] != 'Z' && cwd[0] != 'z') || cwd[1] != ':')
    throw std::runtime_error("PdfOutput: the test must run in a folder of drive Z:, not " + cwd);
  scratch_ = cwd.substr(2);
  for (char& c : scratch_)
    if (c == '\\') c = '/';
}

std::string PdfOutput::UniqueTitle(const std::string& stem) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return stem + "_" + std::to_string(GetCurrentProcessId()) + "_" +
         std::to_string(now.QuadPart % 1000000007LL);
}

std::string PdfOutput::RunForOutput(const std::string& command, unsigned timeoutMs) {
  const std::string base =
      scratch_ + "/pdf_output_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++runs_);
  const std::string done = base + ".out";
  // The output appears under its final name only once the command has ended.
  const std::string temporary = ShellWord(base + ".tmp");
  StartLinuxProgram("/bin/sh -c '" + command + " >" + temporary + " 2>&1; mv " + temporary + " " +
                    ShellWord(done) + "'");
  if (!WaitUntil([&] { return LinuxPathExists(done); }, timeoutMs))
    throw std::runtime_error("No answer from: " + command);
  std::string output = ReadWindowsFile(WindowsPath(done));
  DeleteFileA(WindowsPath(done).c_str());
  return output;
}

std::string PdfOutput::WaitForPdf(const std::string& title) {
  const DWORD start = GetTickCount();
  const std::string pattern = WindowsPath(folder_) + "\\" + title + "*.pdf";
  while (GetTickCount() - start < 60000) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      FindClose(search);
      const std::string pdf = folder_ + "/" + found.cFileName;
      // cups-pdf writes the file before it is complete: wait until pdfinfo reads it.
      if (Info(pdf).find("Pages:") != std::string::npos) return pdf;
    }
    Sleep(250);
  }
  throw std::runtime_error(
      "No PDF for the print job \"" + title + "\" came to " + folder_ +
      " within 60 s (is the \"PDF\" queue of tools/pdf-printer there and the scheduler running?)");
}

std::string PdfOutput::Info(const std::string& pdf) { return RunForOutput("/usr/bin/pdfinfo " + pdf, 20000); }

std::string PdfOutput::Text(const std::string& pdf) {
  return RunForOutput("/usr/bin/pdftotext -layout " + pdf + " -", 20000);
}

std::string PdfOutput::Text(const std::string& pdf, int first, int last) {
  return RunForOutput("/usr/bin/pdftotext -layout -f " + std::to_string(first) + " -l " +
                          std::to_string(last) + " " + pdf + " -",
                      20000);
}

std::string PdfOutput::WordBoxes(const std::string& pdf) {
  return RunForOutput("/usr/bin/pdftotext -bbox " + pdf + " -", 20000);
}

int PdfPageCount(const std::string& info) {
  const std::string pages = LineAfter(info, "Pages:");
  return pages.empty() ? -1 : std::stoi(pages);
}

std::string PdfPageSize(const std::string& info) {
  const std::string size = LineAfter(info, "Page size:");
  const auto pts = size.find(" pts");
  return pts == std::string::npos ? size : size.substr(0, pts);
}

}  // namespace test_support
