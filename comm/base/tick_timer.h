// Tick timers: intervals counted in 55 ms ticks against the system's
// millisecond count. Start and interval are kept in milliseconds and compared
// by modular difference, so a timer that runs while the millisecond count
// wraps (every 49.7 days, or its sign bit every 24.8 days) expires on time.
#pragma once

#include <cstdint>

namespace comm {

inline constexpr std::int32_t kMillisecondsPerTick = 55;
// The longest interval: 39045157 ticks is just under 2^31 ms.
inline constexpr std::int32_t kMaxTimerTicks = 39045157;

struct TTickTimer {
  std::uint32_t StartMs = 0;
  std::uint32_t IntervalMs = 0;
};

// The millisecond clock the timers read; the system's by default, replaceable
// for tests. Null restores the default.
using MillisecondClock = std::uint32_t (*)();
void SetTickClock(MillisecondClock clock);
std::uint32_t TickClockNow();

// Ticks above kMaxTimerTicks count as kMaxTimerTicks; zero or fewer ticks give
// a timer that has already expired.
void StartTickTimer(TTickTimer& timer, std::int32_t ticks);
bool TickTimerExpired(const TTickTimer& timer);

}  // namespace comm
