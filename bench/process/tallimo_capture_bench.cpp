// Whole-program timing: the capture program collecting from a pseudo-terminal
// into its capture file, beside head/cat copying the same kind of
// pseudo-terminal into a file in the same run; then the program's CPU time per
// 100 KB received at the pace of a 9600-baud line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/pty_cable.h"

namespace {

const char* const kProgram = "build\\win64\\capture\\Tallimo.exe";
constexpr std::size_t kBurstBytes = 600000;  // below the rollover size: one file, no boxes
constexpr std::size_t kPacedBytes = 20000;
constexpr std::size_t kBytesPerSecondAt9600 = 960;  // 10 bits per byte on the line

std::string Payload(std::size_t size) {
  std::string bytes;
  for (int line = 0; bytes.size() < size; ++line)
    bytes += "SALE " + std::to_string(line) + " ................................ 9.99\r\n";
  bytes.resize(size);
  return bytes;
}

std::uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

std::string LinuxProgramEnd(int port) {
  char prefix[1024] = {};
  GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  std::string state(prefix);
  return state.substr(0, state.find_last_of('/')) + "/cables/com" + std::to_string(port) + "/program";
}

double CatSeconds(const std::string& payload) {
  test_support::PtyCable cable;
  const std::string out = "/tmp/tallimo_bench_cat.out";
  DeleteFileA(("Z:" + out).c_str());
  test_support::StartLinuxProgram("/bin/sh -c 'exec /usr/bin/timeout 120 /usr/bin/head -c " +
                                  std::to_string(payload.size()) + " " +
                                  LinuxProgramEnd(cable.ProgramPort()) + " > " + out + "'");
  Sleep(500);
  const LARGE_INTEGER start = Now();
  cable.Send(payload);
  test_support::WaitUntil([&] { return FileSize("Z:" + out) >= payload.size(); }, 120000);
  const LARGE_INTEGER end = Now();
  if (FileSize("Z:" + out) != payload.size())
    std::printf("cat: only %llu bytes arrived\n", FileSize("Z:" + out));
  return Seconds(start, end);
}

BOOL CALLBACK FindDisconnect(HWND window, LPARAM found) {
  char text[64] = {};
  GetWindowTextA(window, text, sizeof text);
  if (std::string(text) != "&Disconnect") return TRUE;
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

struct Program {
  PROCESS_INFORMATION process{};
  std::string folder;
  std::string captureFile;

  bool Start(int port) {
    char full[MAX_PATH];
    CreateDirectoryA("build\\win64\\tallimo_bench", nullptr);
    GetFullPathNameA("build\\win64\\tallimo_bench", MAX_PATH, full, nullptr);
    folder = full;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*.txt").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
      do DeleteFileA((folder + "\\" + entry.cFileName).c_str());
      while (FindNextFileA(find, &entry));
      FindClose(find);
    }
    if (!CopyFileA(kProgram, (folder + "\\Tallimo.exe").c_str(), FALSE)) return false;
    const std::string settings =
        "[Maintain]\r\nCommPort=Direct to COM" + std::to_string(port) + "\r\nAutoConnect=TRUE\r\n";
    HANDLE file =
        CreateFileA((folder + "\\icbr424.cgr").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, settings.data(), static_cast<DWORD>(settings.size()), &written, nullptr);
    CloseHandle(file);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + folder + "\\Tallimo.exe\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
      return false;
    return test_support::WaitUntil([&] { return Collecting(); }, 30000);
  }

  bool Collecting() {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, "Quorvane")) != nullptr;) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner != process.dwProcessId) continue;
      bool found = false;
      EnumChildWindows(window, FindDisconnect, reinterpret_cast<LPARAM>(&found));
      if (found) return true;
    }
    return false;
  }

  std::uint64_t Captured() {
    WIN32_FIND_DATAA entry;
    std::uint64_t total = 0;
    HANDLE find = FindFirstFileA((folder + "\\*_*.txt").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do total += FileSize(folder + "\\" + entry.cFileName);
    while (FindNextFileA(find, &entry));
    FindClose(find);
    return total;
  }

  double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user)) return -1;
    auto ticks = [](FILETIME t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return double(ticks(kernel) + ticks(user)) / 1e7;
  }

  void Close() {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, "Quorvane")) != nullptr;) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == process.dwProcessId) PostMessageA(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
};

// A minute idle, then a minute collecting at the pace of a 9600-baud line,
// from one connected program; prints a marker at each phase boundary so that
// bench/process/tallimo_cpu.sh can read the CPU time of the program and of
// the wineserver from Linux, where both are visible.
int IdleThenCollecting(int seconds) {
  test_support::PtyCable cable;
  Program program;
  if (!program.Start(cable.ProgramPort())) {
    std::printf("the capture program did not start collecting\n");
    return 1;
  }
  Sleep(2000);
  auto mark = [](const char* phase) {
    std::printf("PHASE %s\n", phase);
    std::fflush(stdout);
    Sleep(300);  // the script samples before the phase begins
  };
  mark("idle");
  Sleep(static_cast<DWORD>(seconds) * 1000);
  mark("collecting");
  const std::size_t chunk = kBytesPerSecondAt9600 / 10;
  const std::string paced = Payload(kBytesPerSecondAt9600 * static_cast<std::size_t>(seconds));
  const LARGE_INTEGER start = Now();
  for (std::size_t sent = 0; sent < paced.size(); sent += chunk) {
    cable.Send(paced.substr(sent, chunk));
    // Paced by the clock, not by the sleeps, so the line rate holds.
    const double due = double(sent + chunk) / double(kBytesPerSecondAt9600);
    const double late = due - Seconds(start, Now());
    if (late > 0) Sleep(static_cast<DWORD>(late * 1000));
  }
  mark("end");
  program.Close();
  std::printf("sent %zu bytes; capture file holds %llu after close\n", paced.size(), program.Captured());
  std::fflush(stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--idle-then-collecting")
    return IdleThenCollecting(std::atoi(argv[2]));
  const std::string burst = Payload(kBurstBytes);
  const double catSeconds = CatSeconds(burst);

  double programSeconds = 0;
  {
    test_support::PtyCable cable;
    Program program;
    if (!program.Start(cable.ProgramPort())) {
      std::printf("the capture program did not start collecting\n");
      return 1;
    }
    const LARGE_INTEGER start = Now();
    cable.Send(burst);
    // The last block stays in the capture buffer until capture stops.
    test_support::WaitUntil([&] { return program.Captured() + 8192 > burst.size(); }, 120000);
    programSeconds = Seconds(start, Now());
    program.Close();
    std::printf("capture file holds %llu of %zu bytes after close\n", program.Captured(), burst.size());
  }
  std::printf("burst of %zu bytes: Tallimo %.0f bytes/s, cat %.0f bytes/s, ratio %.2f\n", burst.size(),
              burst.size() / programSeconds, burst.size() / catSeconds, catSeconds / programSeconds);

  {
    test_support::PtyCable cable;
    Program program;
    if (!program.Start(cable.ProgramPort())) return 1;
    Sleep(1000);
    const double before = program.CpuSeconds();
    const std::string paced = Payload(kPacedBytes);
    const std::size_t chunk = kBytesPerSecondAt9600 / 10;
    for (std::size_t sent = 0; sent < paced.size(); sent += chunk) {
      cable.Send(paced.substr(sent, chunk));
      Sleep(100);
    }
    Sleep(500);
    const double after = program.CpuSeconds();
    program.Close();
    if (before < 0 || after <= 0)
      std::printf("CPU time of the program is not reported here\n");
    else
      std::printf("9600-baud pacing: %.3f s CPU for %zu bytes = %.3f s CPU per 100 KB\n", after - before,
                  paced.size(), (after - before) * 102400.0 / double(paced.size()));
  }
  return 0;
}
