// How a dispatcher reaches the windows that listen to it. The Win32 layer
// sends real window messages; tests hand in their own.
#pragma once

#include <cstdint>

namespace comm {

using WindowRef = std::uintptr_t;

class NotificationTransport {
 public:
  enum class SendResult { kAnswered, kTimedOut, kFailed };
  virtual ~NotificationTransport() = default;
  // Delivers the message and waits up to `timeoutMs` for the window to handle it.
  virtual SendResult Send(WindowRef window, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam, std::uint32_t timeoutMs) = 0;
  // True while the calling thread is handling a message that a dispatcher sent.
  virtual bool CallerServesDelivery() = 0;
};

}  // namespace comm
