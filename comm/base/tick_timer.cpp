#include "comm/base/tick_timer.h"

#include <algorithm>
#include <atomic>
#include <chrono>

namespace comm {
namespace {

std::uint32_t SteadyMilliseconds() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

std::atomic<MillisecondClock> currentClock{&SteadyMilliseconds};

}  // namespace

void SetTickClock(MillisecondClock clock) { currentClock = clock ? clock : &SteadyMilliseconds; }

std::uint32_t TickClockNow() { return currentClock.load()(); }

void StartTickTimer(TTickTimer& timer, std::int32_t ticks) {
  const std::int32_t bounded = std::clamp<std::int32_t>(ticks, 0, kMaxTimerTicks);
  timer.StartMs = TickClockNow();
  timer.IntervalMs = static_cast<std::uint32_t>(bounded) * kMillisecondsPerTick;
}

bool TickTimerExpired(const TTickTimer& timer) {
  const std::uint32_t elapsed = TickClockNow() - timer.StartMs;  // modular: right across the wrap
  return elapsed >= timer.IntervalMs;
}

}  // namespace comm
