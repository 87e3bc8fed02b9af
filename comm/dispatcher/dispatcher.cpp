#include "comm/dispatcher/dispatcher.h"

#include <algorithm>

#include "comm/base/exceptions.h"
#include "comm/base/error_codes.h"

namespace comm {
namespace {

struct DispatcherList {
  OrderedLock lock{LockLevel::kDispatcherList};
  std::vector<TApdBaseDispatcher*> entries;
};

DispatcherList& List() {
  static DispatcherList list;
  return list;
}

int EnterList(TApdBaseDispatcher* dispatcher) {
  DispatcherList& list = List();
  OrderedGuard guard(list.lock);
  auto empty = std::find(list.entries.begin(), list.entries.end(), nullptr);
  if (empty != list.entries.end()) {
    *empty = dispatcher;
    return static_cast<int>(empty - list.entries.begin());
  }
  list.entries.push_back(dispatcher);
  return static_cast<int>(list.entries.size() - 1);
}

void LeaveList(int handle) {
  DispatcherList& list = List();
  OrderedGuard guard(list.lock);
  if (handle < 0 || static_cast<std::size_t>(handle) >= list.entries.size()) return;
  list.entries[handle] = nullptr;
  while (!list.entries.empty() && list.entries.back() == nullptr) list.entries.pop_back();
}

}  // namespace

std::unique_lock<OrderedLock> LockDispatcherList() { return std::unique_lock<OrderedLock>(List().lock); }

TApdBaseDispatcher* FindDispatcher(int handle) {
  DispatcherList& list = List();
  if (handle < 0 || static_cast<std::size_t>(handle) >= list.entries.size()) return nullptr;
  return list.entries[handle];
}

std::size_t DispatcherListSize() {
  OrderedGuard guard(List().lock);
  return List().entries.size();
}

TApdBaseDispatcher::TApdBaseDispatcher(TApdComPort* owner) : owner_(owner) {
  logText_ = [](std::uint32_t id) { return ErrorText(static_cast<int>(id)); };
  handle_ = EnterList(this);
}

TApdBaseDispatcher::~TApdBaseDispatcher() {
  // The lower layer is gone here; DestroyPort ran in the derived destructor.
  FreeRings();
  if (!destroyed_) LeaveList(handle_);
}

void TApdBaseDispatcher::DestroyPort() {
  if (destroyed_) return;
  if (closePending_) {
    FreeBuffers();
  } else {
    ClosePort();
  }
  LeaveList(handle_);
  destroyed_ = true;
}

// ---------------------------------------------------------------- open, close

int TApdBaseDispatcher::OpenPort(const std::string& deviceName, std::uint32_t baud, std::uint8_t parity,
                                 std::uint8_t dataBits, std::uint8_t stopBits, std::uint32_t inSize,
                                 std::uint32_t outSize, bool dtr, bool rts) {
  if (deviceOpen_) return codes::kAlreadyOpen;
  if (outSize == 0) return codes::kBadArgument;
  {
    OrderedGuard state(StateLock);
    ringSeen_ = false;
    dispatching_ = false;
    removalPending_ = false;
  }
  closePending_ = false;
  int result = OpenDevice(deviceName, inSize, outSize);
  if (result < 0 || result > 0) {
    // A failure always carries a negative code, whatever the system said.
    if (result >= 0) result = kOpenFailedWithoutError;
    ClosePort();
    return result;
  }
  deviceOpen_ = true;
  inSize_ = inSize;
  outSize_ = outSize;
  result = ResizeQueues(inSize, outSize);
  if (result < 0) {
    ClosePort();
    return result;
  }
  {
    OrderedGuard in(InLock);
    inRing_.assign(kReceiveRingSize, 0);
    inHead_ = inTail_ = 0;
    ringFull_ = false;
    bytesReceived_ = 0;
    takenCount_ = 0;
    maxTakenCount_ = 0;
    inNotify_ = false;
    activeDelivery_ = 0;
    overflowing_ = false;
    receptionEnded_ = false;
    OrderedGuard state(StateLock);
    lineErrors_ = 0;
    rs485_ = false;
    lengthTrigger_ = 0;
    timers_.clear();
    statuses_.clear();
    nextHandleCounter_ = 1;
    lastAvailReceived_ = 0;
    statusFired_ = false;
    OrderedGuard out(OutLock);
    outRing_.Allocate(outSize);
  }
  outputSent_ = false;
  reannounce_ = false;
  lineFailure_ = 0;
  lineFailureAnnounced_ = false;
  {
    std::lock_guard<std::mutex> guard(failureLock_);
    failuresInARow_ = 0;
  }
  {
    OrderedGuard state(StateLock);
    GetState(dcb_);
    DriveDtr(dtr);
    DriveRts(rts);
    // The driver must pass every byte through as it came.
    dcb_.Binary = true;
    dcb_.ParityCheck = false;
    dcb_.DsrSensitivity = false;
    dcb_.TxContinueOnXoff = true;
    dcb_.NullStrip = false;
    modemImage_ = 0;
    ModemLines(0xF0);
    baudInDriver_ = 115200;
  }
  result = ChangeLineImpl(baud, parity, stopBits, dataBits, true);
  if (result < 0) {
    ClosePort();
    return result;
  }
  RefreshStatus();
  {
    OrderedGuard state(StateLock);
    trace_.Stop();
    traceOn_ = false;
    log_.Stop();
    startTime_ = TickClockNow();
  }
  StartThreads();
  return 0;
}

void TApdBaseDispatcher::ClosePort() {
  if (deviceOpen_) {
    PurgeOutput();
    {
      OrderedGuard in(InLock);
      DiscardRingLocked();
    }
    CloseDevice();
    deviceOpen_ = false;
  }
  bool dispatching;
  {
    OrderedGuard state(StateLock);
    dispatching = dispatching_;
  }
  if (dispatching) {
    closePending_ = true;
  } else {
    FreeBuffers();
  }
}

void TApdBaseDispatcher::FreeBuffers() {
  if (threadsRunning_) StopThreads();
  FreeRings();
}

void TApdBaseDispatcher::FreeRings() {
  OrderedGuard in(InLock);
  std::vector<std::uint8_t>().swap(inRing_);
  inHead_ = inTail_ = 0;
  ringFull_ = false;
  OrderedGuard out(OutLock);
  outRing_.Allocate(0);
}

bool TApdBaseDispatcher::BuffersAllocated() {
  OrderedGuard in(InLock);
  OrderedGuard out(OutLock);
  return !inRing_.empty() || outRing_.Allocated();
}

int TApdBaseDispatcher::ResizeQueues(std::uint32_t inSize, std::uint32_t outSize) {
  const int result = SetupQueues(inSize, outSize);
  return result < 0 ? result : 0;
}

void TApdBaseDispatcher::SetPriorities(int step) { threadPriority_ = step; }

LogFileHeading TApdBaseDispatcher::LogHeading() { return {"GCC " __VERSION__, "Unknown"}; }

// ---------------------------------------------------------------- receive ring

std::uint32_t TApdBaseDispatcher::WaitingLocked() const {
  if (inHead_ == inTail_) return ringFull_ ? kReceiveRingSize : 0;
  return (inHead_ + kReceiveRingSize - inTail_) % kReceiveRingSize;
}

namespace {
constexpr DeliveryId kCarriesBytes = DeliveryId{1} << 39;
}

DeliveryId TApdBaseDispatcher::NewDeliveryIdLocked(bool carriesBytes) {
  // The dispatcher's handle in the high bits tells its deliveries apart from
  // another port's.
  return (static_cast<DeliveryId>(handle_ + 1) << 40) | (carriesBytes ? kCarriesBytes : 0) |
         (++deliveriesMade_ & (kCarriesBytes - 1));
}

bool TApdBaseDispatcher::OwnDelivery(DeliveryId delivery) const {
  return delivery != kStaleDelivery && (delivery >> 40) == static_cast<DeliveryId>(handle_ + 1);
}

bool TApdBaseDispatcher::OwnByteDelivery(DeliveryId delivery) const {
  return OwnDelivery(delivery) && (delivery & kCarriesBytes) != 0;
}

TApdBaseDispatcher::Taker TApdBaseDispatcher::CallerLocked() {
  const DeliveryId served = transport_ ? transport_->ServedDelivery() : 0;
  if (served == kStaleDelivery) return Taker::kRefused;
  if (inNotify_) {
    // Only the handler of the delivery now running shares its bytes: anyone
    // else would read bytes that window already has, or will be given.
    return activeDelivery_ != 0 && served == activeDelivery_ ? Taker::kShared : Taker::kRefused;
  }
  // A handler still running after its delivery of bytes ended takes nothing
  // more on its own: the bytes are announced to every listener again.
  return OwnByteDelivery(served) ? Taker::kRefused : Taker::kDirect;
}

std::uint32_t TApdBaseDispatcher::AvailableToCallerLocked() {
  const std::uint32_t waiting = WaitingLocked();
  switch (CallerLocked()) {
    case Taker::kDirect:
      return waiting;
    case Taker::kShared:
      return waiting > static_cast<std::uint32_t>(takenCount_) ? waiting - takenCount_ : 0;
    case Taker::kRefused:
      break;
  }
  return 0;
}

std::uint32_t TApdBaseDispatcher::TakeLocked(std::uint8_t* bytes, std::uint32_t most) {
  if (inRing_.empty() || most == 0) return 0;
  std::uint32_t taken = 0;
  switch (CallerLocked()) {
    case Taker::kRefused:
      // Taken up again once the running notification has ended.
      reannounce_ = true;
      return 0;
    case Taker::kShared: {
      const std::uint32_t waiting = WaitingLocked();
      while (taken < most && static_cast<std::uint32_t>(takenCount_) < waiting) {
        bytes[taken++] = inRing_[(inTail_ + takenCount_) % kReceiveRingSize];
        ++takenCount_;
      }
      break;
    }
    case Taker::kDirect: {
      const std::uint32_t waiting = WaitingLocked();
      while (taken < most && taken < waiting) {
        bytes[taken++] = inRing_[inTail_];
        inTail_ = (inTail_ + 1) % kReceiveRingSize;
      }
      if (taken > 0) ringFull_ = false;
      break;
    }
  }
  return taken;
}

void TApdBaseDispatcher::TraceReceived(const std::uint8_t* bytes, std::uint32_t count) {
  // Looked at without the lock first: most ports never trace.
  if (count == 0 || !traceOn_.load(std::memory_order_relaxed)) return;
  OrderedGuard state(StateLock);
  if (!trace_.On()) return;
  for (std::uint32_t i = 0; i < count; ++i) trace_.Add(kTraceReceived, bytes[i]);
}

int TApdBaseDispatcher::FetchChar(std::uint8_t& c) {
  std::uint32_t taken;
  {
    OrderedGuard in(InLock);
    taken = TakeLocked(&c, 1);
  }
  if (taken == 0) return codes::kBufferIsEmpty;
  TraceReceived(&c, 1);
  return 0;
}

std::uint32_t TApdBaseDispatcher::FetchBlock(std::uint8_t* bytes, std::uint32_t most) {
  std::uint32_t taken;
  {
    OrderedGuard in(InLock);
    taken = TakeLocked(bytes, most);
  }
  TraceReceived(bytes, taken);
  return taken;
}

int TApdBaseDispatcher::PeekAhead(std::uint8_t& c, std::uint32_t n) {
  OrderedGuard in(InLock);
  if (inRing_.empty() || n == 0 || WaitingLocked() < n) return codes::kBufferIsEmpty;
  c = inRing_[(inTail_ + n - 1) % kReceiveRingSize];
  return 0;
}

bool TApdBaseDispatcher::HasReceived() {
  OrderedGuard in(InLock);
  return !inRing_.empty() && AvailableToCallerLocked() > 0;
}

std::uint32_t TApdBaseDispatcher::ReceivedCount() {
  OrderedGuard in(InLock);
  return inRing_.empty() ? 0 : AvailableToCallerLocked();
}

int TApdBaseDispatcher::PurgeInput() {
  OrderedGuard in(InLock);
  const int result = FlushQueue(true);
  DiscardRingLocked();
  return result;
}

void TApdBaseDispatcher::DiscardRingLocked() {
  if (inNotify_) {
    maxTakenCount_ = WaitingLocked();
  } else {
    inTail_ = inHead_;
    takenCount_ = 0;
  }
  ringFull_ = false;
}

std::uint32_t TApdBaseDispatcher::RingWaiting() {
  OrderedGuard in(InLock);
  return inRing_.empty() ? 0 : WaitingLocked();
}

void TApdBaseDispatcher::EndReception(std::uint32_t ms) {
  {
    OrderedGuard in(InLock);
    if (inRing_.empty()) return;
    receptionEnded_ = true;
  }
  // Asked from inside one of this port's own notifications, waiting would
  // only wait out the limit: the dispatch thread waits for this very caller.
  if (transport_ && OwnDelivery(transport_->ServedDelivery())) return;
  AwaitHandOver(ms);
}

bool TApdBaseDispatcher::ReceptionEnded() {
  OrderedGuard in(InLock);
  return receptionEnded_;
}

bool TApdBaseDispatcher::FillReceiveRing() {
  OrderedGuard in(InLock);
  if (inRing_.empty() || receptionEnded_) return false;
  if (ringFull_) return true;  // the bytes wait in the driver, held back by flow control
  const std::uint32_t waiting = RefreshStatus();
  if (waiting == 0) return false;
  std::uint32_t freeSpace, contiguous;
  if (inTail_ == inHead_) {
    freeSpace = kReceiveRingSize;
    contiguous = kReceiveRingSize - inHead_;
  } else if (inTail_ < inHead_) {
    freeSpace = inTail_ + kReceiveRingSize - inHead_;
    contiguous = kReceiveRingSize - inHead_;
  } else {
    freeSpace = contiguous = inTail_ - inHead_;
  }
  overflowing_ = freeSpace < waiting;
  const std::uint32_t take = std::min(freeSpace, waiting);
  std::uint32_t second = take > contiguous ? take - contiguous : 0;
  auto readPiece = [&](std::uint32_t count) -> std::uint32_t {
    int n = ReadInto(inRing_.data() + inHead_, count);
    NoteDriverCall(n >= 0, n < 0 ? static_cast<std::uint32_t>(-n) : 0);
    if (n < 0) {
      ReportReadError(n);
      n = 0;
    }
    const auto got = std::min(static_cast<std::uint32_t>(n), count);
    if (got > 0) {
      OrderedGuard state(StateLock);
      if (log_.On()) {
        log_.Add(1, 1, MillisecondsSinceOpen(), got,
                 std::span<const std::uint8_t>(inRing_.data() + inHead_, got));
      }
    }
    inHead_ = (inHead_ + got) % kReceiveRingSize;
    bytesReceived_ += got;
    if (got > 0) ringFull_ = inHead_ == inTail_;
    return got;
  };
  // The request is sized from the status just read: asking the driver again
  // would clear line errors that nobody records.
  const std::uint32_t first = std::min(contiguous, take);
  const std::uint32_t n = first > 0 ? readPiece(first) : 0;
  if (n < first) second = 0;
  if (second > 0) readPiece(second);
  return true;
}

// ---------------------------------------------------------------- output

std::uint32_t TApdBaseDispatcher::DriverLineErrors(CommStatus& status) {
  std::uint32_t bits;
  {
    OrderedGuard out(OutLock);
    bits = ReadStatus(status);
    status.outQueue = static_cast<std::uint32_t>(outRing_.Used());
  }
  NoteDriverCall(status.error == 0, status.error);
  return bits;
}

void TApdBaseDispatcher::NoteDriverCall(bool succeeded, std::uint32_t systemError) {
  if (lineFailure_ != 0) return;
  std::lock_guard<std::mutex> guard(failureLock_);
  if (succeeded) {
    failuresInARow_ = 0;
    return;
  }
  const std::uint32_t now = TickClockNow();
  if (failuresInARow_++ == 0) firstFailureMs_ = now;
  if (failuresInARow_ >= kFailuresBeforeLineFails && now - firstFailureMs_ >= kFailingMsBeforeLineFails)
    lineFailure_ = systemError != 0 ? systemError : kUnknownDriverError;
}

void TApdBaseDispatcher::AnnounceLineFailure() {
  const std::uint32_t error = lineFailure_;
  if (error == 0 || lineFailureAnnounced_.exchange(true) || !transport_) return;
  WindowRef portWindow = 0;
  {
    OrderedGuard state(StateLock);
    for (const WindowListener& listener : listeners_) {
      if (!listener.deleted) {
        portWindow = listener.window;
        break;
      }
    }
    LogLocked(3, 1, {}, error);
  }
  // Posted: the port's owner closes the port in answer, which it may not do
  // while this thread waits for it.
  if (portWindow != 0)
    transport_->Post(portWindow, kLineFailedMessage, error, NotificationLParam(handle_, 0));
}

std::uint32_t TApdBaseDispatcher::RefreshStatus() {
  CommStatus status;
  const std::uint32_t bits = DriverLineErrors(status);
  OrderedGuard state(StateLock);
  lineErrors_ = (lineErrors_ | bits) & 0x1F;
  commStat_ = status;
  return status.inQueue;
}

int TApdBaseDispatcher::SendBlock(std::span<const std::uint8_t> data) {
  if (data.empty()) return 0;
  // A line that has failed takes nothing: saying it was sent would be a lie.
  if (lineFailure_ != 0) return codes::kPutBlockFail;
  int result = 0;
  std::uint32_t bits = 0;
  {
    OrderedGuard out(OutLock);
    if (!outRing_.Allocated()) return codes::kCommNotOpen;
    CommStatus status;
    bits = ReadStatus(status);
    if (outRing_.Free() < data.size()) {
      result = codes::kOutputBufferTooSmall;
    } else if (WriteFrom(data) <= 0) {
      bits |= ReadStatus(status);
      result = codes::kPutBlockFail;
    }
  }
  OrderedGuard state(StateLock);
  // Errors recorded earlier stay until someone takes them.
  lineErrors_ = (lineErrors_ | bits) & 0x1F;
  if (result == 0) {
    outputSent_ = true;
    if (log_.On()) log_.Add(1, 2, MillisecondsSinceOpen(), static_cast<std::uint32_t>(data.size()), data);
    if (trace_.On()) {
      for (std::uint8_t byte : data) trace_.Add(kTraceTransmitted, byte);
    }
  }
  return result;
}

std::uint32_t TApdBaseDispatcher::OutputUsed() {
  RefreshStatus();
  OrderedGuard out(OutLock);
  return static_cast<std::uint32_t>(outRing_.Used());
}

std::uint32_t TApdBaseDispatcher::OutputFree() {
  const std::uint32_t used = OutputUsed();
  return outSize_ > used ? outSize_ - used : 0;
}

int TApdBaseDispatcher::PurgeOutput() { return FlushQueue(false); }

// ---------------------------------------------------------------- line state

int TApdBaseDispatcher::DriveDtr(bool on) {
  OrderedGuard state(StateLock);
  if (dtrByFlow_) return 1;
  dtrLevel_ = on;
  dcb_.DtrControl = on ? kDtrControlEnable : kDtrControlDisable;
  int result = EscapeFunction(on ? 5 : 6);
  // Drivers without the escape take the level with the line settings.
  if (result < 0) result = SetState(dcb_);
  return result < 0 ? codes::kBadArgument : result;
}

int TApdBaseDispatcher::DriveRts(bool on) {
  OrderedGuard state(StateLock);
  if (rtsByFlow_) return 1;
  rtsLevel_ = on;
  dcb_.RtsControl = on ? kRtsControlEnable : kRtsControlDisable;
  int result = EscapeFunction(on ? 3 : 4);
  if (result < 0) result = SetState(dcb_);
  return result < 0 ? codes::kBadArgument : result;
}

std::uint8_t TApdBaseDispatcher::ModemLines(std::uint8_t mask) {
  OrderedGuard state(StateLock);
  std::uint32_t status = 0;
  if (GetModemStatus(status)) modemImage_ = (status & 0xF0) | (modemImage_ & 0x0F);
  if (ringSeen_) {
    ringSeen_ = false;
    modemImage_ |= 0x04;
  }
  const auto result = static_cast<std::uint8_t>(modemImage_ & 0xFF);
  modemImage_ &= mask;
  return result;
}

void TApdBaseDispatcher::MarkRingSeen() {
  OrderedGuard state(StateLock);
  ringSeen_ = true;
}

std::uint64_t TApdBaseDispatcher::BytesReceived() {
  OrderedGuard in(InLock);
  return bytesReceived_;
}

void TApdBaseDispatcher::RefreshModemImage() {
  OrderedGuard state(StateLock);
  const std::uint32_t old = modemImage_ & 0xFF;
  ModemLines(0xFF);
  modemImage_ |= ((old ^ modemImage_) & 0xF0) >> 4;
}

int TApdBaseDispatcher::NextLineError() {
  OrderedGuard state(StateLock);
  int result = 0;
  if (lineErrors_ & kLineOverflow) {
    result = 1;
  } else if (lineErrors_ & kLineOverrun) {
    result = 2;
  } else if (lineErrors_ & kLineParity) {
    result = 3;
  } else if (lineErrors_ & kLineFraming) {
    result = 4;
  } else if (lineErrors_ & kLineBreak) {
    result = 9;
  }
  if (result != 0) lineErrors_ &= ~(kLineOverflow | kLineOverrun | kLineParity | kLineFraming);
  return result;
}

bool TApdBaseDispatcher::BreakSeen() {
  OrderedGuard state(StateLock);
  const bool seen = (lineErrors_ & kLineBreak) != 0;
  lineErrors_ &= ~kLineBreak;
  return seen;
}

void TApdBaseDispatcher::SetOptionBits(std::uint32_t bits) {
  OrderedGuard state(StateLock);
  optionWord_ |= bits;
}

void TApdBaseDispatcher::ClearOptionBits(std::uint32_t bits) {
  OrderedGuard state(StateLock);
  optionWord_ &= ~bits;
}

// ---------------------------------------------------------------- readers

std::uint32_t TApdBaseDispatcher::InHead() {
  OrderedGuard in(InLock);
  return inHead_;
}
std::uint32_t TApdBaseDispatcher::InTail() {
  OrderedGuard in(InLock);
  return inTail_;
}
bool TApdBaseDispatcher::RingFull() {
  OrderedGuard in(InLock);
  return ringFull_;
}
bool TApdBaseDispatcher::Overflowing() {
  OrderedGuard in(InLock);
  return overflowing_;
}
bool TApdBaseDispatcher::InNotify() {
  OrderedGuard in(InLock);
  return inNotify_;
}
std::uint32_t TApdBaseDispatcher::LineErrors() {
  OrderedGuard state(StateLock);
  return lineErrors_;
}
std::uint8_t TApdBaseDispatcher::ModemImage() {
  OrderedGuard state(StateLock);
  return static_cast<std::uint8_t>(modemImage_);
}
bool TApdBaseDispatcher::ServiceNeeded() {
  OrderedGuard state(StateLock);
  return serviceNeeded_;
}
bool TApdBaseDispatcher::PortWantsEvents() {
  OrderedGuard state(StateLock);
  return portWantsEvents_;
}
bool TApdBaseDispatcher::Dispatching() {
  OrderedGuard state(StateLock);
  return dispatching_;
}
std::uint32_t TApdBaseDispatcher::LengthTrigger() {
  OrderedGuard state(StateLock);
  return lengthTrigger_;
}
std::size_t TApdBaseDispatcher::ListenerCount() {
  OrderedGuard state(StateLock);
  return listeners_.size();
}
std::vector<TimerTrigger> TApdBaseDispatcher::TimerTriggers() {
  OrderedGuard state(StateLock);
  return timers_;
}
std::vector<StatusTrigger> TApdBaseDispatcher::StatusTriggers() {
  OrderedGuard state(StateLock);
  return statuses_;
}
LineSettingsBlock TApdBaseDispatcher::WorkingLineSettings() {
  OrderedGuard state(StateLock);
  return dcb_;
}
std::uint32_t TApdBaseDispatcher::BaudInDriver() {
  OrderedGuard state(StateLock);
  return baudInDriver_;
}
bool TApdBaseDispatcher::DtrLevel() {
  OrderedGuard state(StateLock);
  return dtrLevel_;
}
bool TApdBaseDispatcher::RtsLevel() {
  OrderedGuard state(StateLock);
  return rtsLevel_;
}
bool TApdBaseDispatcher::TraceOn() {
  OrderedGuard state(StateLock);
  return trace_.On();
}
bool TApdBaseDispatcher::LogOn() {
  OrderedGuard state(StateLock);
  return log_.On();
}

}  // namespace comm
