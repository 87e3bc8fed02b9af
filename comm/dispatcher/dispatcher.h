// The port engine behind an open serial port: the receive ring every listener
// reads from, the output ring the output thread drains, a copy of the driver's
// line state, the triggers and notifications, the trace and the dispatch log.
// It reaches the operating system only through its lower-layer operations
// (the pure virtual functions below), so the same logic runs on the Win32
// serial API and on an in-memory driver in tests.
//
// Locks: InLock (receive ring), StateLock (line state, triggers, listeners,
// trace, log), OutLock (output ring) are taken in that order only.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "comm/dispatcher/trace.h"
#include "comm/dispatcher/messages.h"
#include "comm/dispatcher/line_settings.h"
#include "comm/dispatcher/notification_transport.h"
#include "comm/dispatcher/ordered_lock.h"
#include "comm/dispatcher/output_ring.h"
#include "comm/base/tick_timer.h"

namespace comm {

class TApdComPort;

inline constexpr std::uint32_t kReceiveRingSize = 8192;
inline constexpr std::uint32_t kDefaultNotifyTimeoutMs = 3000;
// The longest a close waits for the receive ring to reach its listeners.
inline constexpr std::uint32_t kHandOverLimitMs = 1000;
// A failed open whose system error reads 0 still fails, with this code.
inline constexpr int kOpenFailedWithoutError = -2005;
// The driver failing this many calls in a row, over at least this long, is a
// line that has gone (a USB adapter pulled out makes every call fail).
inline constexpr int kFailuresBeforeLineFails = 3;
inline constexpr std::uint32_t kFailingMsBeforeLineFails = 1000;
// A failure whose system error reads 0 counts with this one (ERROR_GEN_FAILURE).
inline constexpr std::uint32_t kUnknownDriverError = 31;

// The driver's status record.
struct CommStatus {
  std::uint32_t error = 0;  // the system error of a status read that failed
  std::uint32_t flags = 0;
  std::uint32_t inQueue = 0;   // bytes waiting in the driver's input queue
  std::uint32_t outQueue = 0;  // replaced by the output ring's fill
};

struct TimerTrigger {
  std::uint32_t handle = 0;
  TTickTimer timer;
  std::uint32_t ticks = 0;
  std::int32_t reserved = -1;
  bool active = false;
};

struct StatusTrigger {
  std::uint32_t handle = 0;
  std::uint32_t type = 0;
  std::uint16_t data = 0;
  bool armed = false;
  bool fired = false;
};

struct WindowListener {
  WindowRef window = 0;
  bool deleted = false;
};

// Kept by the port between a close and the next open.
struct SavedTriggerSet {
  std::uint32_t lengthTrigger = 0;
  std::vector<TimerTrigger> timers;
  std::vector<StatusTrigger> statuses;
};

class TApdBaseDispatcher {
 public:
  explicit TApdBaseDispatcher(TApdComPort* owner);
  virtual ~TApdBaseDispatcher();
  TApdBaseDispatcher(const TApdBaseDispatcher&) = delete;
  TApdBaseDispatcher& operator=(const TApdBaseDispatcher&) = delete;

  // Derived classes call this first in their destructor: closing needs the
  // lower layer, which is gone once the base destructor runs.
  void DestroyPort();

  TApdComPort* Owner() const { return owner_; }
  int Handle() const { return handle_; }

  // ---- port operations (GUI thread) ----
  int OpenPort(const std::string& deviceName, std::uint32_t baud, std::uint8_t parity, std::uint8_t dataBits,
               std::uint8_t stopBits, std::uint32_t inSize, std::uint32_t outSize, bool dtr, bool rts);
  // The driver's receive queue is left alone: bytes not taken from the line
  // stay there (under flow control, with the sender) for the next open.
  void ClosePort();
  bool DeviceOpen() const { return deviceOpen_; }
  // Before a close: stops taking bytes from the driver (a read under way
  // completes first), then hands every byte of the receive ring to the
  // listeners, waiting at most `ms` for them. Reception resumes at the next
  // open only.
  void EndReception(std::uint32_t ms = kHandOverLimitMs);
  bool ReceptionEnded();
  int ResizeQueues(std::uint32_t inSize, std::uint32_t outSize);

  int FetchChar(std::uint8_t& c);
  // Takes up to `most` bytes at once, as FetchChar would one by one; result
  // the number taken.
  std::uint32_t FetchBlock(std::uint8_t* bytes, std::uint32_t most);
  int PeekAhead(std::uint8_t& c, std::uint32_t n);
  bool HasReceived();
  std::uint32_t ReceivedCount();

  int SendBlock(std::span<const std::uint8_t> data);
  std::uint32_t OutputUsed();
  std::uint32_t OutputFree();
  int PurgeOutput();
  int PurgeInput();

  int DriveDtr(bool on);
  int DriveRts(bool on);
  std::uint8_t ModemLines(std::uint8_t mask);
  bool CtsOn() { return (ModemLines(0xFE) & 0x10) != 0; }
  bool DsrOn() { return (ModemLines(0xFD) & 0x20) != 0; }
  bool DcdOn() { return (ModemLines(0xF7) & 0x80) != 0; }
  bool RingSeenSince() { return (ModemLines(0xFB) & 0x04) != 0; }
  int NextLineError();
  bool BreakSeen();
  int YieldToThreads() { return YieldTimeSlice(); }
  void SetOptionBits(std::uint32_t bits);
  void ClearOptionBits(std::uint32_t bits);

  // ---- line settings and flow control ----
  int ChangeLine(std::uint32_t baud, std::uint8_t parity, std::uint8_t stopBits, std::uint8_t dataBits);
  int QueryLine(std::uint32_t& baud, std::uint8_t& parity, std::uint8_t& stopBits, std::uint8_t& dataBits);
  int SetHardwareFlow(std::uint32_t full, std::uint32_t resume, std::uint32_t options);
  int SetSoftwareFlow(std::uint32_t full, std::uint32_t resume, std::uint32_t options);
  int ClearSoftwareFlow();
  int SetFlowChars(char xOn, char xOff);
  int QueryFlow(std::uint32_t& hardwareOptions, std::uint32_t& softwareOptions, char& xOff, char& xOn);
  int SetRS485(bool on);
  // The delay before a line change: 18 characters at `rate` with `bitsPerChar`,
  // in whole milliseconds rounded up (36 characters when that is under 1 ms).
  static std::uint32_t LineChangeDelayMs(std::uint32_t rate, std::uint32_t bitsPerChar);

  // ---- listeners and triggers ----
  int RegisterWindow(WindowRef window);
  int UnregisterWindow(WindowRef window);
  int SetLengthTrigger(std::uint32_t length);
  int AddTimerTrigger();
  int AddStatusTrigger(std::uint32_t type);
  int SetTimerTrigger(std::uint32_t handle, std::int32_t ticks, bool activate);
  int SetStatusTrigger(std::uint32_t handle, std::uint32_t value, bool activate);
  int RemoveTrigger(std::uint32_t handle);
  void SaveTriggers(SavedTriggerSet& saved);
  void RestoreTriggers(const SavedTriggerSet& saved);
  virtual void UpdateServiceFlags(int kind);

  // ---- dispatch-thread work ----
  // Reads what the driver holds into the receive ring while it has room.
  // True when bytes were waiting or the ring is full.
  bool FillReceiveRing();
  // One pass of the dispatch thread: handles the comm event (when one was
  // signalled), reads the driver, announces new bytes, runs the idle checks.
  void DispatchPass(bool eventSignalled, std::uint32_t eventMask);
  bool CheckStatusTriggers();
  bool CheckTimerTriggers();
  bool CheckAvail();
  // Announces the ring's bytes again until it is empty or a round takes
  // nothing (no listener takes bytes any more).
  void HandOverRing();
  bool NotifyListeners(std::uint32_t message, std::uintptr_t wParam, std::uint16_t value);

  // ---- trace and log ----
  int StartTrace(std::uint32_t entries);
  void AddTraceEntry(std::uint8_t kind, std::uint8_t byte);
  int ClearTrace();
  void StopTrace();
  void ResumeTrace();
  void PauseTrace();
  int DumpTrace(const std::string& fileName, bool hex, bool append);
  int StartLog(std::uint32_t bytes);
  void AddLogEntry(std::uint8_t kind, std::uint8_t subkind, std::span<const std::uint8_t> data,
                   std::uint32_t value);
  int ClearLog();
  void StopLog();
  void ResumeLog();
  void PauseLog();
  int DumpLog(const std::string& fileName, bool hex, bool append);
  // Where the log's words come from (the communications string table by default).
  void SetLogTextLookup(LogTextLookup lookup);

  // ---- set-up ----
  void SetNotificationTransport(NotificationTransport* transport) { transport_ = transport; }
  void SetNotifyTimeoutMs(std::uint32_t ms) { notifyTimeoutMs_ = ms; }

  // ---- state readable by the port, the terminal and tests ----
  std::uint32_t InHead();
  std::uint32_t InTail();
  bool RingFull();
  bool Overflowing();
  std::uint32_t LineErrors();
  std::uint8_t ModemImage();
  bool ServiceNeeded();
  bool PortWantsEvents();
  bool Dispatching();
  bool ClosePending() const { return closePending_; }
  bool InNotify();
  std::uint32_t LengthTrigger();
  std::size_t ListenerCount();
  std::vector<TimerTrigger> TimerTriggers();
  std::vector<StatusTrigger> StatusTriggers();
  LineSettingsBlock WorkingLineSettings();
  std::uint32_t BaudInDriver();
  bool DtrLevel();
  bool RtsLevel();
  bool TraceOn();
  bool LogOn();
  std::uint32_t InSize() const { return inSize_; }
  std::uint32_t OutSize() const { return outSize_; }
  bool BuffersAllocated();

  // True once the worker threads have all returned; waits up to `ms` for it.
  virtual bool WaitWorkersFinished(std::uint32_t ms) {
    (void)ms;
    return !threadsRunning_;
  }
  void SetThreadPriorityStep(int step) { SetPriorities(step); }
  // Why comm events were given up (0 while they work or were never used);
  // reception then goes on by reading the driver every pass.
  virtual std::uint32_t CommEventError() const { return 0; }

  // The system error that made the line count as failed; 0 while it works.
  std::uint32_t LineFailure() const { return lineFailure_; }

  bool StopRequested() const { return stopRequested_; }
  bool ThreadsRunning() const { return threadsRunning_; }

 protected:
  // ---- the lower layer ----
  virtual int EscapeFunction(int code) = 0;
  virtual int FlushQueue(bool input) = 0;
  // Returns the driver's line-error bits (clearing them in the driver).
  virtual std::uint32_t ReadStatus(CommStatus& status) = 0;
  virtual int ReportReadError(int code) = 0;
  virtual int GetState(LineSettingsBlock& block) = 0;
  virtual int ReadInto(std::uint8_t* buffer, std::uint32_t count) = 0;
  virtual int SetState(const LineSettingsBlock& block) = 0;
  // Appends to the output ring (under OutLock) and wakes the output thread.
  virtual int WriteFrom(std::span<const std::uint8_t> data) = 0;
  virtual bool WaitEvent(std::uint32_t& mask) = 0;
  // 0, or the negative system error.
  virtual int SetupQueues(std::uint32_t inSize, std::uint32_t outSize) = 0;
  virtual void FreeBuffers();
  virtual void StartThreads() = 0;
  virtual void StopThreads() = 0;
  // 0 when the device opened; else -8 or the negative system error, never 0.
  virtual int OpenDevice(const std::string& name, std::uint32_t inSize, std::uint32_t outSize) = 0;
  virtual int CloseDevice() = 0;
  virtual int YieldTimeSlice() = 0;  // "Yield" is a macro of the system headers
  virtual void SetPriorities(int step);
  // Beyond the driver calls above: the modem status register and sleeping.
  virtual bool GetModemStatus(std::uint32_t& status) = 0;
  virtual void SleepMs(std::uint32_t ms) = 0;
  // Has HandOverRing run and waits up to `ms` for it. By default on the
  // calling thread: a layer without threads, or a test playing the dispatch
  // thread.
  virtual void AwaitHandOver(std::uint32_t ms) {
    (void)ms;
    HandOverRing();
  }
  // The log file's compiler and operating-system lines.
  virtual LogFileHeading LogHeading();

  // ---- helpers for derived layers ----
  std::uint32_t RefreshStatus();  // ORs the driver's line errors into LineErrors
  void RefreshModemImage();
  // Writes the block as the working settings and re-asserts DTR and RTS.
  int ApplyState(const LineSettingsBlock& block);
  void MarkRingSeen();
  std::uint64_t BytesReceived();
  bool IsDispatchingUnlocked() const { return dispatching_; }
  // Every driver call that can fail reports here; repeated failures mark
  // the line failed. Any thread.
  void NoteDriverCall(bool succeeded, std::uint32_t systemError = 0);
  // Tells the port's window, once, that the line failed.
  void AnnounceLineFailure();
  void SetDeviceOpen(bool open) { deviceOpen_ = open; }

  OrderedLock InLock{LockLevel::kInput};
  OrderedLock StateLock{LockLevel::kState};
  OrderedLock OutLock{LockLevel::kOutput};

  OutputRing outRing_;  // under OutLock
  std::vector<std::uint8_t> inRing_;
  std::uint32_t inHead_ = 0;  // under InLock
  std::uint32_t inTail_ = 0;
  bool ringFull_ = false;
  std::uint64_t bytesReceived_ = 0;  // every byte ever put in the ring

  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> threadsRunning_{false};
  std::atomic<bool> closePending_{false};
  std::atomic<bool> outputSent_{false};
  std::atomic<bool> reannounce_{false};  // bytes whose announcement did not get through
  std::atomic<std::uint32_t> lineFailure_{0};
  std::atomic<bool> lineFailureAnnounced_{false};
  std::mutex failureLock_;  // taken alone, never with another lock
  int failuresInARow_ = 0;
  std::uint32_t firstFailureMs_ = 0;

  CommStatus commStat_;  // under StateLock
  std::uint32_t eventMask_ = 0;
  int threadPriority_ = 0;
  bool rs485_ = false;

 private:
  // How a caller's take counts while the receive ring is locked.
  enum class Taker { kDirect, kShared, kRefused };
  std::uint32_t WaitingLocked() const;
  std::uint32_t RingWaiting();
  void DiscardRingLocked();
  Taker CallerLocked();
  std::uint32_t AvailableToCallerLocked();
  std::uint32_t TakeLocked(std::uint8_t* bytes, std::uint32_t most);
  void TraceReceived(const std::uint8_t* bytes, std::uint32_t count);
  DeliveryId NewDeliveryIdLocked(bool carriesBytes);
  bool OwnByteDelivery(DeliveryId delivery) const;
  bool OwnDelivery(DeliveryId delivery) const;
  void FreeRings();
  int NewTriggerHandleLocked();
  void StatusLoop();
  void IdlePass();
  void ClearFiredFlags();
  std::uint32_t DriverLineErrors(CommStatus& status);
  void RemoveDeletedListenersLocked();
  std::size_t LiveListenerCountLocked() const;
  void LogLocked(std::uint8_t kind, std::uint8_t subkind, std::span<const std::uint8_t> data,
                 std::uint32_t value);
  std::uint32_t MillisecondsSinceOpen() const;
  int ChangeLineImpl(std::uint32_t baud, std::uint8_t parity, std::uint8_t stopBits, std::uint8_t dataBits,
                     bool force);

  TApdComPort* owner_;
  int handle_ = -1;
  bool deviceOpen_ = false;
  NotificationTransport* transport_ = nullptr;
  std::uint32_t notifyTimeoutMs_ = kDefaultNotifyTimeoutMs;

  // Under StateLock.
  std::uint32_t lineErrors_ = 0;
  std::uint32_t modemImage_ = 0;
  bool ringSeen_ = false;
  LineSettingsBlock dcb_;
  std::uint32_t baudInDriver_ = 115200;
  std::uint32_t optionWord_ = 0;
  bool dtrLevel_ = false, dtrByFlow_ = false, rtsLevel_ = false, rtsByFlow_ = false;
  bool portWantsEvents_ = false;
  bool serviceNeeded_ = false;
  std::vector<WindowListener> listeners_;
  std::vector<TimerTrigger> timers_;
  std::vector<StatusTrigger> statuses_;
  std::uint32_t lengthTrigger_ = 0;
  std::uint64_t lastAvailReceived_ = 0;  // bytesReceived_ at the last avail
  bool statusFired_ = false;
  bool dispatching_ = false;
  bool removalPending_ = false;
  std::int32_t nextHandleCounter_ = 1;
  TraceRing trace_;
  std::atomic<bool> traceOn_{false};  // trace_.On(), readable without the lock
  DispatchLogRing log_;
  LogTextLookup logText_;
  std::uint32_t startTime_ = 0;

  // Under InLock.
  bool inNotify_ = false;
  DeliveryId activeDelivery_ = 0;  // the delivery out to one listener now
  std::uint64_t deliveriesMade_ = 0;
  std::int32_t takenCount_ = 0;
  std::uint32_t maxTakenCount_ = 0;
  bool overflowing_ = false;
  bool receptionEnded_ = false;
  std::uint32_t inSize_ = 0;
  std::uint32_t outSize_ = 0;
  bool destroyed_ = false;
};

// ---- the program's list of dispatchers ----
// A dispatcher's handle is its index; handles of live dispatchers never change
// and freed ones are reused. Holders of only a handle look it up under the lock.
std::unique_lock<OrderedLock> LockDispatcherList();
// Null when the handle names no dispatcher. Call with the list locked.
TApdBaseDispatcher* FindDispatcher(int handle);
std::size_t DispatcherListSize();

}  // namespace comm
