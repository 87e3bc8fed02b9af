// Listeners, triggers, the notifications sent to windows, the checks of the
// dispatch thread, and the trace and log operations of a dispatcher.
#include <algorithm>
#include <cstring>

#include "comm/dispatcher/dispatcher.h"
#include "comm/base/error_codes.h"

namespace comm {
namespace {

std::span<const std::uint8_t> BytesOf(const void* data, std::size_t size) {
  return {static_cast<const std::uint8_t*>(data), size};
}

std::span<const std::uint8_t> U32Bytes(std::uint32_t value, std::uint8_t (&buffer)[4]) {
  for (int i = 0; i < 4; ++i) buffer[i] = static_cast<std::uint8_t>(value >> (8 * i));
  return buffer;
}

}  // namespace

std::uint32_t TApdBaseDispatcher::MillisecondsSinceOpen() const { return TickClockNow() - startTime_; }

void TApdBaseDispatcher::LogLocked(std::uint8_t kind, std::uint8_t subkind,
                                   std::span<const std::uint8_t> data, std::uint32_t value) {
  if (log_.On()) log_.Add(kind, subkind, MillisecondsSinceOpen(), value, data);
}

// ---------------------------------------------------------------- listeners

int TApdBaseDispatcher::RegisterWindow(WindowRef window) {
  OrderedGuard state(StateLock);
  listeners_.push_back({window, false});
  serviceNeeded_ = true;
  LogLocked(7, 17, {}, static_cast<std::uint32_t>(window));
  return 0;
}

int TApdBaseDispatcher::UnregisterWindow(WindowRef window) {
  OrderedGuard state(StateLock);
  auto found = std::find_if(listeners_.begin(), listeners_.end(),
                            [&](const WindowListener& l) { return l.window == window && !l.deleted; });
  if (found != listeners_.end()) {
    LogLocked(8, 17, {}, static_cast<std::uint32_t>(window));
    if (dispatching_) {
      found->deleted = true;
      removalPending_ = true;
    } else {
      listeners_.erase(found);
    }
  }
  UpdateServiceFlags(0);
  return 0;
}

std::size_t TApdBaseDispatcher::LiveListenerCountLocked() const {
  return static_cast<std::size_t>(std::count_if(listeners_.begin(), listeners_.end(),
                                                [](const WindowListener& l) { return !l.deleted; }));
}

void TApdBaseDispatcher::UpdateServiceFlags(int kind) {
  OrderedGuard state(StateLock);
  const bool others = LiveListenerCountLocked() > 1;
  switch (kind) {
    case 0:
      serviceNeeded_ = others || portWantsEvents_;
      break;
    case 1:
      portWantsEvents_ = true;
      serviceNeeded_ = true;
      break;
    case 2:
      portWantsEvents_ = false;
      serviceNeeded_ = others;
      break;
    default:
      break;
  }
}

void TApdBaseDispatcher::RemoveDeletedListenersLocked() {
  std::erase_if(listeners_, [](const WindowListener& l) { return l.deleted; });
  removalPending_ = false;
  UpdateServiceFlags(0);
}

// ---------------------------------------------------------------- triggers

int TApdBaseDispatcher::NewTriggerHandleLocked() {
  if (nextHandleCounter_ < 4096) return 8 * nextHandleCounter_++;
  for (std::uint32_t handle = 8; handle <= 0xFFF8; handle += 8) {
    const bool used = std::any_of(timers_.begin(), timers_.end(),
                                  [&](const TimerTrigger& t) { return t.handle == handle; }) ||
                      std::any_of(statuses_.begin(), statuses_.end(),
                                  [&](const StatusTrigger& s) { return (s.handle & ~7u) == handle; });
    if (!used) return static_cast<int>(handle);
  }
  return codes::kNoMoreTriggers;
}

int TApdBaseDispatcher::SetLengthTrigger(std::uint32_t length) {
  OrderedGuard state(StateLock);
  lengthTrigger_ = length;
  LogLocked(9, 16, {}, length);
  return 0;
}

int TApdBaseDispatcher::AddTimerTrigger() {
  OrderedGuard state(StateLock);
  const int handle = NewTriggerHandleLocked();
  if (handle < 0) return handle;
  TimerTrigger trigger;
  trigger.handle = static_cast<std::uint32_t>(handle);
  timers_.push_back(trigger);
  LogLocked(5, 14, {}, trigger.handle);
  return handle;
}

int TApdBaseDispatcher::AddStatusTrigger(std::uint32_t type) {
  if (type > 5) return codes::kBadArgument;
  OrderedGuard state(StateLock);
  const int base = NewTriggerHandleLocked();
  if (base < 0) return base;
  StatusTrigger trigger;
  trigger.handle = static_cast<std::uint32_t>(base) | type;
  trigger.type = type;
  statuses_.push_back(trigger);
  const auto typeByte = static_cast<std::uint8_t>(type);
  LogLocked(5, 15, BytesOf(&typeByte, 1), trigger.handle);
  return static_cast<int>(trigger.handle);
}

int TApdBaseDispatcher::SetTimerTrigger(std::uint32_t handle, std::int32_t ticks, bool activate) {
  OrderedGuard state(StateLock);
  auto found =
      std::find_if(timers_.begin(), timers_.end(), [&](const TimerTrigger& t) { return t.handle == handle; });
  if (found == timers_.end()) return codes::kBadTriggerHandle;
  if (activate) {
    if (ticks != 0) found->ticks = static_cast<std::uint32_t>(ticks);
    StartTickTimer(found->timer, static_cast<std::int32_t>(found->ticks));
    std::uint8_t buffer[4];
    LogLocked(9, 14, U32Bytes(static_cast<std::uint32_t>(ticks), buffer), handle);
  } else {
    static constexpr char kDeactivated[] = "Deactivated";
    LogLocked(9, 14, BytesOf(kDeactivated, sizeof kDeactivated - 1), handle);
  }
  found->active = activate;
  return 0;
}

int TApdBaseDispatcher::SetStatusTrigger(std::uint32_t handle, std::uint32_t value, bool activate) {
  OrderedGuard state(StateLock);
  auto found = std::find_if(statuses_.begin(), statuses_.end(),
                            [&](const StatusTrigger& s) { return s.handle == handle; });
  if (found == statuses_.end()) return codes::kBadTriggerHandle;
  if (activate) {
    switch (found->type) {
      case kStatusModem: {
        const std::uint32_t mask = value & 0xFF;
        const std::uint32_t states = value & modemImage_ & 0xFF;
        found->data = static_cast<std::uint16_t>(mask << 8 | states);
        break;
      }
      case kStatusLine: {
        std::uint16_t mask = 0;
        if (value & 1) mask |= kLineOverrun;
        if (value & 2) mask |= kLineParity;
        if (value & 4) mask |= kLineFraming;
        if (value & 8) mask |= kLineBreak;
        found->data = mask;
        break;
      }
      case kStatusOutFree:
      case kStatusOutUsed:
        found->data = static_cast<std::uint16_t>(std::min<std::uint32_t>(value, 0xFFFF));
        break;
      default:
        break;
    }
    const std::uint8_t logged[4] = {static_cast<std::uint8_t>(found->data),
                                    static_cast<std::uint8_t>(found->data >> 8), found->armed, found->fired};
    LogLocked(9, 15, logged, handle);
  }
  found->armed = activate;
  return 0;
}

int TApdBaseDispatcher::RemoveTrigger(std::uint32_t handle) {
  OrderedGuard state(StateLock);
  if (handle == 1) {
    lengthTrigger_ = 0;
    return 0;
  }
  if (handle < 2) return codes::kBadTriggerHandle;
  auto timer =
      std::find_if(timers_.begin(), timers_.end(), [&](const TimerTrigger& t) { return t.handle == handle; });
  if (timer != timers_.end()) {
    timers_.erase(timer);
    LogLocked(6, 6, {}, handle);
    return 0;
  }
  auto status = std::find_if(statuses_.begin(), statuses_.end(),
                             [&](const StatusTrigger& s) { return s.handle == handle; });
  if (status != statuses_.end()) {
    statuses_.erase(status);
    const auto type = static_cast<std::uint8_t>(handle & 7);
    LogLocked(6, 15, BytesOf(&type, 1), handle);
    return 0;
  }
  return codes::kBadTriggerHandle;
}

void TApdBaseDispatcher::SaveTriggers(SavedTriggerSet& saved) {
  OrderedGuard state(StateLock);
  saved.lengthTrigger = lengthTrigger_;
  saved.timers = timers_;
  saved.statuses = statuses_;
}

void TApdBaseDispatcher::RestoreTriggers(const SavedTriggerSet& saved) {
  OrderedGuard state(StateLock);
  lengthTrigger_ = saved.lengthTrigger;
  timers_ = saved.timers;
  statuses_ = saved.statuses;
  // New handles must not repeat the restored ones.
  std::uint32_t highest = 0;
  for (const TimerTrigger& t : timers_) highest = std::max(highest, t.handle & ~7u);
  for (const StatusTrigger& s : statuses_) highest = std::max(highest, s.handle & ~7u);
  nextHandleCounter_ = std::max<std::int32_t>(nextHandleCounter_, static_cast<std::int32_t>(highest / 8) + 1);
}

// ---------------------------------------------------------------- notifications

bool TApdBaseDispatcher::NotifyListeners(std::uint32_t message, std::uintptr_t wParam, std::uint16_t value) {
  bool result = true;
  bool walk;
  {
    OrderedGuard state(StateLock);
    if (!serviceNeeded_) return true;
    dispatching_ = true;
    walk = LiveListenerCountLocked() > 1 || portWantsEvents_;
  }
  const bool carriesBytes = message == kAvailMessage || message == kDataMessage;
  {
    OrderedGuard in(InLock);
    maxTakenCount_ = 0;
    inNotify_ = carriesBytes;
  }
  const std::intptr_t lParam = NotificationLParam(handle_, value);
  bool closed = false;
  for (std::size_t i = 0; walk; ++i) {
    WindowListener listener;
    {
      OrderedGuard state(StateLock);
      if (i >= listeners_.size()) break;
      listener = listeners_[i];
    }
    DeliveryId delivery;
    {
      OrderedGuard in(InLock);
      takenCount_ = 0;
      delivery = NewDeliveryIdLocked(carriesBytes);
      activeDelivery_ = carriesBytes ? delivery : 0;
    }
    bool timedOut = false;
    if (!listener.deleted && transport_) {
      timedOut = transport_->Send(listener.window, message, wParam, lParam, notifyTimeoutMs_, delivery) ==
                 NotificationTransport::SendResult::kTimedOut;
    }
    OrderedGuard in(InLock);
    activeDelivery_ = 0;
    if (closePending_) {
      result = false;
      closed = true;
      break;
    }
    maxTakenCount_ = std::max(maxTakenCount_, static_cast<std::uint32_t>(takenCount_));
    if (timedOut && carriesBytes) {
      // The listeners share one thread: the rest would time out behind the
      // hung one. The ring moves by what was taken; the rest is announced
      // again, and the late handler's own takes are refused from now on.
      reannounce_ = true;
      result = false;
      break;
    }
  }
  {
    OrderedGuard in(InLock);
    if (carriesBytes && !closed) {
      inTail_ = (inTail_ + std::min(maxTakenCount_, kReceiveRingSize)) % kReceiveRingSize;
      if (maxTakenCount_ > 0) ringFull_ = false;
      if (message == kAvailMessage && maxTakenCount_ != wParam) result = false;
    }
    inNotify_ = false;
    takenCount_ = 0;
  }
  OrderedGuard state(StateLock);
  dispatching_ = false;
  if (removalPending_) RemoveDeletedListenersLocked();
  return result;
}

// ---------------------------------------------------------------- checks

bool TApdBaseDispatcher::CheckStatusTriggers() {
  for (std::size_t i = 0;; ++i) {
    std::uint32_t handle = 0;
    std::uint16_t value = 0;
    bool fire = false;
    {
      OrderedGuard state(StateLock);
      if (i >= statuses_.size()) return false;
      StatusTrigger& trigger = statuses_[i];
      if (!trigger.armed || trigger.fired) continue;
      switch (trigger.type) {
        case kStatusModem:
          fire = ((trigger.data ^ modemImage_) & (trigger.data >> 8) & 0xFF) != 0;
          break;
        case kStatusLine:
          fire = (trigger.data & lineErrors_) != 0;
          if (fire) trigger.data = static_cast<std::uint16_t>(lineErrors_);
          break;
        case kStatusOutFree: {
          const std::uint32_t v = OutputFree();
          fire = v >= trigger.data;
          value = static_cast<std::uint16_t>(std::min<std::uint32_t>(v, 0xFFFF));
          break;
        }
        case kStatusOutUsed: {
          const std::uint32_t v = OutputUsed();
          fire = v <= trigger.data;
          value = static_cast<std::uint16_t>(std::min<std::uint32_t>(v, 0xFFFF));
          break;
        }
        case kStatusOutSent:
          fire = outputSent_.exchange(false);
          break;
        default:
          break;
      }
      if (!fire) continue;
      trigger.armed = false;
      trigger.fired = true;
      statusFired_ = true;
      handle = trigger.handle;
      LogLocked(2, 8, {}, handle);
    }
    return NotifyListeners(kStatusMessage, handle, value);
  }
}

bool TApdBaseDispatcher::CheckTimerTriggers() {
  std::uint32_t handle = 0;
  {
    OrderedGuard state(StateLock);
    auto expired = std::find_if(timers_.begin(), timers_.end(),
                                [](const TimerTrigger& t) { return t.active && TickTimerExpired(t.timer); });
    if (expired == timers_.end()) return false;
    expired->active = false;
    handle = expired->handle;
    LogLocked(2, 6, {}, handle);
  }
  return NotifyListeners(kTimerMessage, handle, 0);
}

bool TApdBaseDispatcher::CheckAvail() {
  std::uint32_t count;
  bool arrived;
  {
    OrderedGuard in(InLock);
    count = inRing_.empty() ? 0 : WaitingLocked();
    arrived = bytesReceived_ != lastAvailReceived_;
    OrderedGuard state(StateLock);
    if (lengthTrigger_ == 0 || count == 0 || lengthTrigger_ > count) return false;
    if (!arrived && !reannounce_) return false;
    lastAvailReceived_ = bytesReceived_;
    reannounce_ = false;
    LogLocked(2, 5, {}, count);
  }
  return NotifyListeners(kAvailMessage, count, 0);
}

void TApdBaseDispatcher::HandOverRing() {
  for (std::uint32_t waiting = RingWaiting(); waiting > 0 && !closePending_;) {
    reannounce_ = true;  // announced although nothing new arrived
    CheckAvail();
    const std::uint32_t left = RingWaiting();
    if (left >= waiting) break;
    waiting = left;
  }
  reannounce_ = false;
}

void TApdBaseDispatcher::ClearFiredFlags() {
  OrderedGuard state(StateLock);
  if (!statusFired_) return;
  for (StatusTrigger& trigger : statuses_) trigger.fired = false;
  statusFired_ = false;
}

void TApdBaseDispatcher::StatusLoop() {
  while (!closePending_ && CheckStatusTriggers()) {
  }
}

void TApdBaseDispatcher::IdlePass() {
  if (closePending_ || Dispatching()) return;
  // Without comm events nothing reports a modem-line change: look each pass,
  // so status lights and modem triggers keep up.
  if (CommEventError() != 0) RefreshModemImage();
  {
    OrderedGuard state(StateLock);
    statusFired_ = false;
  }
  while (!closePending_ && (CheckStatusTriggers() || CheckTimerTriggers())) {
  }
  ClearFiredFlags();
}

void TApdBaseDispatcher::DispatchPass(bool eventSignalled, std::uint32_t eventMask) {
  if (eventSignalled) {
    eventMask_ = eventMask;
    if (eventMask & kEventModemLines) {
      RefreshModemImage();
      if (!Dispatching()) {
        StatusLoop();
        ClearFiredFlags();
      }
    }
    if ((eventMask & 0xFF) >= 0x40) {
      RefreshStatus();
      if (!Dispatching()) {
        StatusLoop();
        ClearFiredFlags();
      }
    }
  }
  // The driver is read on every pass, event or not: bytes left there while
  // the ring was full, or sent with no event reported, are never stranded.
  const bool received = FillReceiveRing();
  // Bytes also bring a look at the modem lines: a change made while no wait
  // for line events was posted raises no event under Wine (a wait compares
  // with the lines as they were when it began), and the bytes after it are
  // all that tell. This holds also after a line event: its handlers ran
  // before the read, and the lines may have changed again meanwhile.
  if (received) RefreshModemImage();
  if (received && !Dispatching()) {
    StatusLoop();
    while (!closePending_ && CheckAvail()) {
    }
    ClearFiredFlags();
  } else if (reannounce_ && !closePending_ && !Dispatching()) {
    while (!closePending_ && CheckAvail()) {
    }
  }
  IdlePass();
  if (lineFailure_ != 0) AnnounceLineFailure();
}

// ---------------------------------------------------------------- trace and log

int TApdBaseDispatcher::StartTrace(std::uint32_t entries) {
  OrderedGuard state(StateLock);
  const int result = trace_.Start(entries);
  traceOn_ = trace_.On();
  return result;
}

void TApdBaseDispatcher::AddTraceEntry(std::uint8_t kind, std::uint8_t byte) {
  OrderedGuard state(StateLock);
  trace_.Add(kind, byte);
}

int TApdBaseDispatcher::ClearTrace() {
  OrderedGuard state(StateLock);
  trace_.Clear();
  traceOn_ = trace_.On();
  return 0;
}

void TApdBaseDispatcher::StopTrace() {
  OrderedGuard state(StateLock);
  trace_.Stop();
  traceOn_ = false;
}

void TApdBaseDispatcher::ResumeTrace() {
  OrderedGuard state(StateLock);
  trace_.Resume();
  traceOn_ = trace_.On();
}

void TApdBaseDispatcher::PauseTrace() {
  OrderedGuard state(StateLock);
  trace_.Pause();
  traceOn_ = false;
}

int TApdBaseDispatcher::DumpTrace(const std::string& fileName, bool hex, bool append) {
  std::string text;
  {
    OrderedGuard state(StateLock);
    if (!trace_.HasBuffer()) return 0;
    trace_.Pause();
    const bool empty = trace_.EntryCount() == 0;
    if (!empty) text = trace_.Render(hex);
    trace_.Stop();
    traceOn_ = false;
    if (empty) return 0;
  }
  const int error = WriteDumpFile(fileName, text, append);
  return error == 0 ? 0 : -error;
}

int TApdBaseDispatcher::StartLog(std::uint32_t bytes) {
  OrderedGuard state(StateLock);
  return log_.Start(bytes);
}

void TApdBaseDispatcher::AddLogEntry(std::uint8_t kind, std::uint8_t subkind,
                                     std::span<const std::uint8_t> data, std::uint32_t value) {
  OrderedGuard state(StateLock);
  LogLocked(kind, subkind, data, value);
}

int TApdBaseDispatcher::ClearLog() {
  OrderedGuard state(StateLock);
  log_.Clear();
  return 0;
}

void TApdBaseDispatcher::StopLog() {
  OrderedGuard state(StateLock);
  log_.Stop();
}

void TApdBaseDispatcher::ResumeLog() {
  OrderedGuard state(StateLock);
  log_.Resume();
}

void TApdBaseDispatcher::PauseLog() {
  OrderedGuard state(StateLock);
  log_.Pause();
}

void TApdBaseDispatcher::SetLogTextLookup(LogTextLookup lookup) {
  OrderedGuard state(StateLock);
  logText_ = std::move(lookup);
}

int TApdBaseDispatcher::DumpLog(const std::string& fileName, bool hex, bool append) {
  std::string text;
  {
    OrderedGuard state(StateLock);
    if (!log_.HasRing() || log_.Empty()) {
      log_.Stop();
      return 0;
    }
    log_.Pause();
    text = RenderLog(log_.Entries(), hex, LogHeading(), logText_);
    log_.Stop();
  }
  // The file is written outside the lock: the dispatch thread goes on meanwhile.
  const int error = WriteDumpFile(fileName, text, append);
  return error == 0 ? 0 : -error;
}

}  // namespace comm
