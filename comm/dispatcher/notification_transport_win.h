// Notifications as window messages: sent with SendMessageTimeoutA so that a
// listener runs on its own (GUI) thread while the dispatch thread waits.
#pragma once

#include <windows.h>

#include "comm/dispatcher/notification_transport.h"

namespace comm {

class WindowMessageTransport : public NotificationTransport {
 public:
  SendResult Send(WindowRef window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                  std::uint32_t timeoutMs, DeliveryId delivery) override;
  DeliveryId ServedDelivery() override;
  bool Post(WindowRef window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
};

// The one transport every Win32 dispatcher uses.
NotificationTransport& WindowMessages();

// Held by a listener's window procedure while it handles a dispatcher's
// notification: it finds out which delivery, if any, the message is, so that
// the bytes the handler takes are counted for that delivery and no other.
class ServingNotification {
 public:
  explicit ServingNotification(HWND window);
  ~ServingNotification();
  ServingNotification(const ServingNotification&) = delete;
  ServingNotification& operator=(const ServingNotification&) = delete;
};

}  // namespace comm
