// Notifications as window messages: sent with SendMessageTimeoutA so that a
// listener runs on its own (GUI) thread while the dispatch thread waits.
#pragma once

#include "comm/dispatcher/notification_transport.h"

namespace comm {

class WindowMessageTransport : public NotificationTransport {
 public:
  SendResult Send(WindowRef window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                  std::uint32_t timeoutMs) override;
  bool CallerServesDelivery() override;
};

// The one transport every Win32 dispatcher uses.
NotificationTransport& WindowMessages();

}  // namespace comm
