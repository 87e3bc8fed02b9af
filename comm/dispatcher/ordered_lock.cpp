#include "comm/dispatcher/ordered_lock.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace comm {
namespace {

void AbortOnViolation([[maybe_unused]] LockLevel held, [[maybe_unused]] LockLevel wanted) {
#ifndef NDEBUG
  std::fprintf(stderr, "lock order broken: level %d taken while holding level %d\n", static_cast<int>(wanted),
               static_cast<int>(held));
  std::abort();
#endif
}

std::atomic<LockOrderViolationHandler> violationHandler{&AbortOnViolation};

// Per thread: how many times each level is held.
constexpr int kLevels = 4;
thread_local int heldCount[kLevels] = {};

void CheckOrder(LockLevel wanted) {
  const int w = static_cast<int>(wanted);
  if (heldCount[w] > 0) return;  // re-entry
  for (int level = kLevels - 1; level > w; --level) {
    if (heldCount[level] > 0) {
      violationHandler.load()(static_cast<LockLevel>(level), wanted);
      return;
    }
  }
}

}  // namespace

void SetLockOrderViolationHandler(LockOrderViolationHandler handler) {
  violationHandler = handler ? handler : &AbortOnViolation;
}

void OrderedLock::lock() {
  CheckOrder(level_);
  mutex_.lock();
  ++heldCount[static_cast<int>(level_)];
}

void OrderedLock::unlock() {
  --heldCount[static_cast<int>(level_)];
  mutex_.unlock();
}

}  // namespace comm
