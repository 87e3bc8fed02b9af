#include "comm/dispatcher/notification_transport_win.h"

#include <windows.h>

namespace comm {

NotificationTransport::SendResult WindowMessageTransport::Send(WindowRef window, std::uint32_t message,
                                                               std::uintptr_t wParam, std::intptr_t lParam,
                                                               std::uint32_t timeoutMs) {
  DWORD_PTR answer = 0;
  SetLastError(0);
  if (SendMessageTimeoutA(reinterpret_cast<HWND>(window), message, wParam, lParam, SMTO_BLOCK, timeoutMs,
                          &answer)) {
    return SendResult::kAnswered;
  }
  const DWORD error = GetLastError();
  return error == ERROR_TIMEOUT || error == 0 ? SendResult::kTimedOut : SendResult::kFailed;
}

bool WindowMessageTransport::CallerServesDelivery() { return (InSendMessageEx(nullptr) & ISMEX_SEND) != 0; }

NotificationTransport& WindowMessages() {
  static WindowMessageTransport transport;
  return transport;
}

}  // namespace comm
