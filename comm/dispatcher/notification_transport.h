// How a dispatcher reaches the windows that listen to it. The Win32 layer
// sends real window messages; tests hand in their own.
#pragma once

#include <cstdint>

namespace comm {

using WindowRef = std::uintptr_t;
// Names one delivery of a notification to one window; 0 names none.
using DeliveryId = std::uint64_t;
// Served by the handler of a sent notification whose delivery had already
// been given up when the handler started.
inline constexpr DeliveryId kStaleDelivery = ~DeliveryId{0};

class NotificationTransport {
 public:
  enum class SendResult { kAnswered, kTimedOut, kFailed };
  virtual ~NotificationTransport() = default;
  // Delivers the message and waits up to `timeoutMs` for the window to handle
  // it; the handler that receives it serves `delivery`.
  virtual SendResult Send(WindowRef window, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam, std::uint32_t timeoutMs, DeliveryId delivery) = 0;
  // The delivery that the calling thread's innermost handler serves; 0 when
  // it serves none (a posted message, a timer, no handler at all). A handler
  // still running after its delivery timed out keeps naming that delivery.
  virtual DeliveryId ServedDelivery() = 0;
  // Queues the message for the window and returns at once.
  virtual bool Post(WindowRef window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace comm
