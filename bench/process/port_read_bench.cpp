// Reception speed through a COM port of the Wine prefix: 10 MB pushed into
// the test cable reach a listener window through the dispatcher, and the same
// 10 MB are read from the same pseudo-terminal by `cat` in the same run.
// Prints bytes per second of both and their ratio.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "comm/dispatcher/dispatcher_win.h"
#include "tests/support/pty_cable.h"

namespace {

constexpr std::size_t kTotal = 10u << 20;

struct Listener {
  comm::TApdBaseDispatcher* port = nullptr;
  std::size_t received = 0;
};

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* listener = reinterpret_cast<Listener*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (listener && message == comm::kAvailMessage) {
    std::uint8_t c;
    while (listener->port->FetchChar(c) == 0) ++listener->received;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(Listener* listener) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = ListenerProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "PortReadBench";
  RegisterClassA(&windowClass);
  HWND window =
      CreateWindowExA(0, "PortReadBench", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(listener));
  return window;
}

std::thread SendTotal(test_support::PtyCable& cable) {
  return std::thread([&cable] {
    const std::string block(65536, 'J');
    for (std::size_t sent = 0; sent < kTotal; sent += block.size()) cable.Send(block);
  });
}

double ThroughDispatcher(test_support::PtyCable& cable) {
  comm::TApdWin32Dispatcher port(nullptr);
  Listener listener;
  listener.port = &port;
  HWND own = MakeWindow(nullptr), window = MakeWindow(&listener);
  const std::string name = "\\\\.\\COM" + std::to_string(cable.ProgramPort());
  if (port.OpenPort(name, 115200, 0, 8, 1, 4096, 4096, true, true) != 0) return 0;
  port.RegisterWindow(reinterpret_cast<comm::WindowRef>(own));
  port.RegisterWindow(reinterpret_cast<comm::WindowRef>(window));
  port.SetLengthTrigger(1);
  const DWORD start = GetTickCount();
  std::thread sender = SendTotal(cable);
  DWORD lastReport = start;
  while (listener.received < kTotal && GetTickCount() - start < 300000) {
    if (std::getenv("PORT_READ_BENCH_PROGRESS") && GetTickCount() - lastReport > 1000) {
      lastReport = GetTickCount();
      std::fprintf(stderr, "received %zu, in ring %u, head %u tail %u full %d\n", listener.received,
                   port.ReceivedCount(), port.InHead(), port.InTail(), port.RingFull());
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  const DWORD elapsed = GetTickCount() - start;
  const bool progress = std::getenv("PORT_READ_BENCH_PROGRESS") != nullptr;
  if (progress) std::fprintf(stderr, "all received in %lu ms\n", elapsed);
  sender.join();
  if (progress) std::fprintf(stderr, "sender done\n");
  port.ClosePort();
  if (progress) std::fprintf(stderr, "port closed\n");
  DestroyWindow(own);
  DestroyWindow(window);
  return listener.received * 1000.0 / (elapsed ? elapsed : 1);
}

double ThroughCat(test_support::PtyCable& cable) {
  char prefix[1024];
  const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  if (length == 0 || length >= sizeof prefix) return 0;
  const std::string pty = std::string(prefix) + "/dosdevices/com" + std::to_string(cable.ProgramPort());
  const std::string out = std::string(prefix) + "/../port_read_bench.out";
  std::string windowsOut = "Z:" + out;
  for (char& c : windowsOut)
    if (c == '/') c = '\\';
  DeleteFileA(windowsOut.c_str());
  // Raw, as the COM port reads it; a line-mode terminal would hold lines back.
  test_support::StartLinuxProgram("/usr/bin/timeout 300 /bin/sh -c 'stty -F " + pty + " raw -echo; cat " +
                                  pty + " > " + out + "'");
  Sleep(500);  // cat is reading before the first byte leaves
  const DWORD start = GetTickCount();
  std::thread sender = SendTotal(cable);
  std::size_t size = 0;
  while (size < kTotal && GetTickCount() - start < 120000) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(windowsOut.c_str(), GetFileExInfoStandard, &data)) size = data.nFileSizeLow;
    Sleep(5);
  }
  const DWORD elapsed = GetTickCount() - start;
  sender.join();
  test_support::StartLinuxProgram("/usr/bin/pkill -f 'cat " + pty + "'");
  DeleteFileA(windowsOut.c_str());
  return size * 1000.0 / (elapsed ? elapsed : 1);
}

}  // namespace

int main() {
  test_support::PtyCable cable;
  const double dispatcher = ThroughDispatcher(cable);
  const double cat = ThroughCat(cable);
  std::printf("10 MB through the COM port into a listener window: %.0f bytes/s\n", dispatcher);
  std::printf("10 MB from the same pseudo-terminal by cat:           %.0f bytes/s\n", cat);
  std::printf("ratio dispatcher / cat: %.2f\n", cat > 0 ? dispatcher / cat : 0.0);
  return 0;
}
