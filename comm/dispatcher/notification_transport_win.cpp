#include "comm/dispatcher/notification_transport_win.h"

#include <map>
#include <mutex>
#include <vector>

namespace comm {
namespace {

// Deliveries on their way, by window: a window hears from one dispatcher at a
// time, and a window's handler looks up what it serves when it starts.
struct Deliveries {
  std::mutex lock;
  std::map<WindowRef, DeliveryId> out;
};

Deliveries& Outstanding() {
  static Deliveries deliveries;
  return deliveries;
}

// The deliveries this thread's handlers serve, innermost last.
thread_local std::vector<DeliveryId> served;

}  // namespace

NotificationTransport::SendResult WindowMessageTransport::Send(WindowRef window, std::uint32_t message,
                                                               std::uintptr_t wParam, std::intptr_t lParam,
                                                               std::uint32_t timeoutMs, DeliveryId delivery) {
  Deliveries& deliveries = Outstanding();
  {
    std::lock_guard<std::mutex> guard(deliveries.lock);
    deliveries.out[window] = delivery;
  }
  DWORD_PTR answer = 0;
  SetLastError(0);
  const BOOL answered = SendMessageTimeoutA(reinterpret_cast<HWND>(window), message, wParam, lParam,
                                            SMTO_BLOCK, timeoutMs, &answer);
  const DWORD error = answered ? 0 : GetLastError();
  {
    std::lock_guard<std::mutex> guard(deliveries.lock);
    auto found = deliveries.out.find(window);
    if (found != deliveries.out.end() && found->second == delivery) deliveries.out.erase(found);
  }
  if (answered) return SendResult::kAnswered;
  return error == ERROR_TIMEOUT || error == 0 ? SendResult::kTimedOut : SendResult::kFailed;
}

DeliveryId WindowMessageTransport::ServedDelivery() { return served.empty() ? 0 : served.back(); }

bool WindowMessageTransport::Post(WindowRef window, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
  return PostMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam) != 0;
}

NotificationTransport& WindowMessages() {
  static WindowMessageTransport transport;
  return transport;
}

ServingNotification::ServingNotification(HWND window) {
  DeliveryId delivery = 0;
  // A posted notification (the terminal's own request) is no delivery; a
  // sent one that nobody waits for any more is a stale one.
  if ((InSendMessageEx(nullptr) & ISMEX_SEND) != 0) {
    Deliveries& deliveries = Outstanding();
    std::lock_guard<std::mutex> guard(deliveries.lock);
    auto found = deliveries.out.find(reinterpret_cast<WindowRef>(window));
    delivery = found != deliveries.out.end() ? found->second : kStaleDelivery;
  }
  served.push_back(delivery);
}

ServingNotification::~ServingNotification() { served.pop_back(); }

}  // namespace comm
