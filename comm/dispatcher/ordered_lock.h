// Recursive locks with a fixed acquisition order. A thread may take a lock it
// already holds again, or a lock of a higher level than every lock it holds;
// taking a lower one is a deadlock waiting to happen. Every build checks the
// order (one thread-local count per lock); debug builds abort on a breach and
// tests install a handler that fails them.
#pragma once

#include <mutex>

namespace comm {

// Levels in the only order locks may be taken.
enum class LockLevel : int {
  kDispatcherList = 0,
  kInput = 1,   // receive ring
  kState = 2,   // line state, triggers, listeners, trace and log
  kOutput = 3,  // output ring
};

// Called with the held and the wanted level when the order is broken; the
// default prints both and aborts in debug builds. Tests install their own.
using LockOrderViolationHandler = void (*)(LockLevel held, LockLevel wanted);
void SetLockOrderViolationHandler(LockOrderViolationHandler handler);

class OrderedLock {
 public:
  explicit OrderedLock(LockLevel level) : level_(level) {}
  OrderedLock(const OrderedLock&) = delete;
  OrderedLock& operator=(const OrderedLock&) = delete;

  void lock();
  void unlock();
  LockLevel Level() const { return level_; }

 private:
  LockLevel level_;
  std::recursive_mutex mutex_;
};

using OrderedGuard = std::lock_guard<OrderedLock>;

}  // namespace comm
