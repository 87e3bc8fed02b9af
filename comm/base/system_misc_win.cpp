#include "comm/base/system_misc_win.h"

#include <windows.h>
#include <mmsystem.h>

#include "comm/base/tick_timer.h"
#include "framework/streams/file_stream_win.h"

namespace comm {
namespace {

std::uint32_t SystemMilliseconds() { return timeGetTime(); }

}  // namespace

void UseSystemTickClock() { SetTickClock(&SystemMilliseconds); }

std::uint32_t PumpOneMessage() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return 0;
  if (message.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(message.wParam));
  } else {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  const auto window = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(message.hwnd) & 0xFFFF);
  const std::uint32_t result = (message.message & 0xFFFF) | window << 16;
  return result != 0 ? result : 1;  // a waiting message is never reported as none
}

bool ExistsFile(const char* path) { return fw::FileExists(path); }

}  // namespace comm
