#include "comm/dispatcher/dispatcher_win.h"

#include <process.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

#include "comm/base/error_codes.h"
#include "comm/dispatcher/notification_transport_win.h"
#include "framework/exceptions.h"

namespace comm {
namespace {

constexpr DWORD kNtEventMask = EV_RXCHAR | EV_CTS | EV_DSR | EV_RLSD | EV_BREAK | EV_ERR | EV_RING;  // 0x1F9
constexpr DWORD kStartWaitMs = 3000;
constexpr DWORD kFlushWaitMs = 5000;
constexpr DWORD kReadWaitMs = 200;
// A comm-event wait that keeps failing (or completing with nothing) is given
// up after this many tries; the dispatch thread then polls the driver alone.
constexpr int kEventFailuresBeforeGivingUp = 20;
constexpr DWORD kLongestBackOffMs = 500;

int SystemErrorCode() {
  const DWORD error = GetLastError();
  return error != 0 ? -static_cast<int>(error) : kOpenFailedWithoutError;
}

void ToDcb(const LineSettingsBlock& block, DCB& dcb) {
  dcb.DCBlength = sizeof(DCB);
  dcb.BaudRate = block.BaudRate;
  dcb.fBinary = block.Binary;
  dcb.fParity = block.ParityCheck;
  dcb.fOutxCtsFlow = block.OutxCtsFlow;
  dcb.fOutxDsrFlow = block.OutxDsrFlow;
  dcb.fDtrControl = block.DtrControl;
  dcb.fDsrSensitivity = block.DsrSensitivity;
  dcb.fTXContinueOnXoff = block.TxContinueOnXoff;
  dcb.fOutX = block.OutX;
  dcb.fInX = block.InX;
  dcb.fErrorChar = block.ErrorCharOn;
  dcb.fNull = block.NullStrip;
  dcb.fRtsControl = block.RtsControl;
  dcb.fAbortOnError = block.AbortOnError;
  dcb.XonLim = block.XonLim;
  dcb.XoffLim = block.XoffLim;
  dcb.ByteSize = block.ByteSize;
  dcb.Parity = block.Parity;
  dcb.StopBits = block.StopBits;
  dcb.XonChar = block.XonChar;
  dcb.XoffChar = block.XoffChar;
  dcb.ErrorChar = block.ErrorChar;
  dcb.EofChar = block.EofChar;
  dcb.EvtChar = block.EvtChar;
}

void FromDcb(const DCB& dcb, LineSettingsBlock& block) {
  block.BaudRate = dcb.BaudRate;
  block.Binary = dcb.fBinary;
  block.ParityCheck = dcb.fParity;
  block.OutxCtsFlow = dcb.fOutxCtsFlow;
  block.OutxDsrFlow = dcb.fOutxDsrFlow;
  block.DtrControl = static_cast<std::uint8_t>(dcb.fDtrControl);
  block.DsrSensitivity = dcb.fDsrSensitivity;
  block.TxContinueOnXoff = dcb.fTXContinueOnXoff;
  block.OutX = dcb.fOutX;
  block.InX = dcb.fInX;
  block.ErrorCharOn = dcb.fErrorChar;
  block.NullStrip = dcb.fNull;
  block.RtsControl = static_cast<std::uint8_t>(dcb.fRtsControl);
  block.AbortOnError = dcb.fAbortOnError;
  block.XonLim = dcb.XonLim;
  block.XoffLim = dcb.XoffLim;
  block.ByteSize = dcb.ByteSize;
  // A driver may report values no line has (Wine on a pty reads back parity 7).
  block.Parity = dcb.Parity <= SPACEPARITY ? dcb.Parity : NOPARITY;
  block.StopBits = dcb.StopBits <= TWOSTOPBITS ? dcb.StopBits : ONESTOPBIT;
  block.XonChar = dcb.XonChar;
  block.XoffChar = dcb.XoffChar;
  block.ErrorChar = dcb.ErrorChar;
  block.EofChar = dcb.EofChar;
  block.EvtChar = dcb.EvtChar;
}

HANDLE NewEvent(bool manualReset) { return CreateEventA(nullptr, manualReset, FALSE, nullptr); }

void CloseAndClear(HANDLE& handle) {
  if (handle) CloseHandle(handle);
  handle = nullptr;
}

// Shows what ended a worker thread; nothing else can be done there.
void ReportThreadException(const char* what) {
  MessageBoxA(nullptr, what, "Communications error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

template <typename Body>
unsigned RunGuarded(Body body) {
  try {
    body();
  } catch (const std::exception& e) {
    ReportThreadException(e.what());
  } catch (...) {
    ReportThreadException("Unknown exception");
  }
  return 0;
}

}  // namespace

TApdWin32Dispatcher::TApdWin32Dispatcher(TApdComPort* owner) : TApdBaseDispatcher(owner) {
  SetNotificationTransport(&WindowMessages());
}

TApdWin32Dispatcher::~TApdWin32Dispatcher() {
  DestroyPort();
  if (threadsRunning_) StopThreads();
  CloseEvents();
}

int TApdWin32Dispatcher::OpenDevice(const std::string& name, std::uint32_t, std::uint32_t) {
  HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return SystemErrorCode();
  const int result = PrepareHandle(handle);
  if (result < 0) CloseHandle(handle);
  return result;
}

int TApdWin32Dispatcher::PrepareHandle(HANDLE handle) {
  CloseEvents();
  stop_ = NewEvent(true);
  commEvent_ = NewEvent(false);
  eventDone_ = NewEvent(false);
  outputReady_ = NewEvent(false);
  outputFlush_ = NewEvent(false);
  flushDone_ = NewEvent(false);
  handOver_ = NewEvent(false);
  handedOver_ = NewEvent(true);
  readDone_ = NewEvent(true);
  writeDone_ = NewEvent(true);
  bool created = stop_ && commEvent_ && eventDone_ && outputReady_ && outputFlush_ && flushDone_ &&
                 handOver_ && handedOver_ && readDone_ && writeDone_;
  for (HANDLE& started : started_) {
    started = NewEvent(false);
    created = created && started;
  }
  if (!created) {
    CloseEvents();
    return -8;  // events cannot be created
  }
  // Reads return at once with what the driver holds.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  SetCommTimeouts(handle, &timeouts);
  comm_ = handle;
  return 0;
}

void TApdWin32Dispatcher::CloseEvents() {
  for (HANDLE* event :
       {&stop_, &commEvent_, &eventDone_, &outputReady_, &outputFlush_, &flushDone_, &handOver_, &handedOver_,
        &readDone_, &writeDone_, &started_[0], &started_[1], &started_[2]}) {
    CloseAndClear(*event);
  }
}

int TApdWin32Dispatcher::CloseDevice() {
  HANDLE handle = comm_;
  if (handle == INVALID_HANDLE_VALUE) return -1;
  if (threadsRunning_) {
    // The event and output threads use the handle: they end before it closes.
    // The dispatch thread may be waiting for this very thread in a
    // notification; it ends on its own once that returns.
    stopRequested_ = true;
    SetEvent(stop_);
    SetCommMask(handle, 0);
    CancelIoEx(handle, nullptr);
    HANDLE threads[] = {eventThread_, outputThread_};
    JoinThreads(threads, 2);
  }
  comm_ = INVALID_HANDLE_VALUE;
  return CloseHandle(handle) ? 0 : -1;
}

void TApdWin32Dispatcher::FreeBuffers() {
  TApdBaseDispatcher::FreeBuffers();
  CloseEvents();
}

namespace {

// Waits for any of `handles` for at most `ms` (INFINITE: no limit) while
// serving the messages other threads send to this one; true when one was
// signalled.
bool WaitServingSentMessages(DWORD count, const HANDLE* handles, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD left = INFINITE;
    if (ms != INFINITE) {
      const DWORD elapsed = GetTickCount() - start;
      if (elapsed >= ms) return false;
      left = ms - elapsed;
    }
    const DWORD woke = MsgWaitForMultipleObjects(count, handles, FALSE, left, QS_SENDMESSAGE);
    if (woke != WAIT_OBJECT_0 + count) return woke < WAIT_OBJECT_0 + count;
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

void TApdWin32Dispatcher::JoinThreads(HANDLE* threads, int count) {
  for (int i = 0; i < count; ++i) {
    // Sent messages are served meanwhile: the dispatch thread may be
    // delivering a notification to this thread's windows.
    if (threads[i]) WaitServingSentMessages(1, &threads[i], INFINITE);
  }
}

void TApdWin32Dispatcher::AwaitHandOver(std::uint32_t ms) {
  HANDLE thread = dispatchThread_;
  // Without a dispatch thread nobody announces bytes any more.
  if (!thread || !handOver_ || WaitForSingleObject(thread, 0) != WAIT_TIMEOUT) return;
  ResetEvent(handedOver_);
  SetEvent(handOver_);
  HANDLE waits[2] = {handedOver_, thread};
  WaitServingSentMessages(2, waits, ms);
}

bool TApdWin32Dispatcher::WaitWorkersFinished(std::uint32_t ms) {
  HANDLE threads[3];
  DWORD count = 0;
  for (HANDLE thread : {eventThread_, dispatchThread_, outputThread_}) {
    if (thread) threads[count++] = thread;
  }
  if (count == 0) return true;
  return WaitForMultipleObjects(count, threads, TRUE, ms) < WAIT_OBJECT_0 + count;
}

void TApdWin32Dispatcher::StartThreads() {
  if (threadsRunning_) throw fw::Exception("Dispatcher already started");
  threadsRunning_ = true;
  stopRequested_ = false;
  commEventError_ = 0;
  ResetEvent(stop_);
  auto start = [this](unsigned(__stdcall * main)(void*), int index) {
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, main, this, 0, nullptr));
    if (thread) WaitForSingleObject(started_[index], kStartWaitMs);
    return thread;
  };
  eventThread_ = start(&EventThreadMain, 0);
  dispatchThread_ = start(&DispatchThreadMain, 1);
  outputThread_ = start(&OutputThreadMain, 2);
  if (!eventThread_ || !dispatchThread_ || !outputThread_) {
    StopThreads();
    throw fw::EOutOfMemory();
  }
  const int step = threadPriority_;
  threadPriority_ = -1;
  SetPriorities(step);
}

void TApdWin32Dispatcher::StopThreads() {
  if (!threadsRunning_) throw fw::Exception("Dispatcher not running");
  stopRequested_ = true;
  SetEvent(stop_);
  HANDLE handle = comm_;
  if (handle != INVALID_HANDLE_VALUE) {
    SetCommMask(handle, 0);
    CancelIoEx(handle, nullptr);
  }
  HANDLE threads[] = {outputThread_, eventThread_, dispatchThread_};
  JoinThreads(threads, 3);
  CloseAndClear(outputThread_);
  CloseAndClear(eventThread_);
  CloseAndClear(dispatchThread_);
  threadsRunning_ = false;
}

void TApdWin32Dispatcher::SetPriorities(int step) {
  if (step == threadPriority_) return;
  threadPriority_ = step;
  auto priority = [](int level) {
    static constexpr int kLevels[] = {THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL,
                                      THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_TIME_CRITICAL};
    return kLevels[std::clamp(level, 0, 3)];
  };
  if (eventThread_) SetThreadPriority(eventThread_, priority(step));
  if (dispatchThread_) SetThreadPriority(dispatchThread_, priority(step));
  if (outputThread_) SetThreadPriority(outputThread_, priority(step + (rs485_ ? 1 : 0)));
}

unsigned __stdcall TApdWin32Dispatcher::EventThreadMain(void* self) {
  return RunGuarded([self] { static_cast<TApdWin32Dispatcher*>(self)->EventThread(); });
}
unsigned __stdcall TApdWin32Dispatcher::DispatchThreadMain(void* self) {
  return RunGuarded([self] { static_cast<TApdWin32Dispatcher*>(self)->DispatchThread(); });
}
unsigned __stdcall TApdWin32Dispatcher::OutputThreadMain(void* self) {
  return RunGuarded([self] { static_cast<TApdWin32Dispatcher*>(self)->OutputThread(); });
}

void TApdWin32Dispatcher::EventThread() {
  HANDLE handle = comm_;
  SetCommMask(handle, kNtEventMask);
  OVERLAPPED overlapped{};
  overlapped.hEvent = NewEvent(true);
  SetEvent(started_[0]);
  int failures = 0;
  DWORD backOff = 10;
  DWORD lastError = 0;
  while (!stopRequested_ && overlapped.hEvent) {
    DWORD mask = 0;
    ResetEvent(overlapped.hEvent);
    BOOL done = WaitCommEvent(handle, &mask, &overlapped);
    DWORD error = done ? 0 : GetLastError();
    if (!done && error == ERROR_IO_PENDING) {
      HANDLE waits[2] = {stop_, overlapped.hEvent};
      if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
        DWORD ignored;
        CancelIoEx(handle, &overlapped);
        GetOverlappedResult(handle, &overlapped, &ignored, TRUE);
        break;
      }
      DWORD ignored;
      done = GetOverlappedResult(handle, &overlapped, &ignored, FALSE);
      error = done ? 0 : GetLastError();
    }
    if (done && mask != 0) {
      failures = 0;
      backOff = 10;
      if (mask & (EV_RING | 0x2000)) MarkRingSeen();
      pendingMask_ |= mask;
      SetEvent(commEvent_);
      HANDLE waits[2] = {stop_, eventDone_};
      if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) break;
      continue;
    }
    // A failed wait, or one that reports nothing, is no event: back off
    // rather than spin; the dispatch thread reads the driver meanwhile.
    if (error != 0) lastError = error;
    if (++failures >= kEventFailuresBeforeGivingUp) {
      commEventError_ = lastError != 0 ? lastError : ERROR_INVALID_FUNCTION;
      AddLogEntry(3, 0, {}, commEventError_);
      break;
    }
    if (WaitForSingleObject(stop_, backOff) == WAIT_OBJECT_0) break;
    backOff = std::min(backOff * 2, kLongestBackOffMs);
  }
  if (overlapped.hEvent) CloseHandle(overlapped.hEvent);
}

void TApdWin32Dispatcher::DispatchThread() {
  SetEvent(started_[1]);
  DWORD wait = 50;
  while (!stopRequested_ && !closePending_) {
    HANDLE waits[3] = {stop_, commEvent_, handOver_};
    const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, wait);
    if (woke == WAIT_OBJECT_0 || stopRequested_) break;
    if (woke == WAIT_OBJECT_0 + 2) {
      HandOverRing();
      SetEvent(handedOver_);
      continue;
    }
    const bool event = woke == WAIT_OBJECT_0 + 1;
    const std::uint32_t mask = event ? pendingMask_.exchange(0) : 0;
    const std::uint64_t before = BytesReceived();
    DispatchPass(event, mask);
    if (event) SetEvent(eventDone_);
    // While bytes flow the driver is read again at once.
    wait = BytesReceived() != before ? 0 : 50;
  }
}

void TApdWin32Dispatcher::OutputThread() {
  SetEvent(started_[2]);
  HANDLE waits[3] = {stop_, outputFlush_, outputReady_};
  for (;;) {
    const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
    if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) break;
    if (woke == WAIT_OBJECT_0 + 1) {
      {
        OrderedGuard out(OutLock);
        outRing_.Clear();
      }
      SetEvent(flushDone_);
      continue;
    }
    WriteRing();
  }
}

void TApdWin32Dispatcher::WriteRing() {
  HANDLE handle = comm_;
  for (;;) {
    if (WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) return;
    if (WaitForSingleObject(outputFlush_, 0) == WAIT_OBJECT_0) {
      OrderedGuard out(OutLock);
      outRing_.Clear();
      SetEvent(flushDone_);
      return;
    }
    const std::uint8_t* data;
    DWORD length;
    {
      OrderedGuard out(OutLock);
      const auto block = outRing_.NextBlock();
      if (block.empty()) return;
      data = block.data();
      length = static_cast<DWORD>(block.size());
    }
    // The block stays in the ring, untouched by WriteFrom, until consumed.
    OVERLAPPED overlapped{};
    overlapped.hEvent = writeDone_;
    ResetEvent(writeDone_);
    DWORD written = 0;
    BOOL done = WriteFile(handle, data, length, &written, &overlapped);
    if (!done && GetLastError() == ERROR_IO_PENDING) {
      HANDLE waits[3] = {writeDone_, stop_, outputFlush_};
      const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
      if (woke != WAIT_OBJECT_0) {
        // The write must be over before its buffer or record is touched again.
        CancelIoEx(handle, &overlapped);
        GetOverlappedResult(handle, &overlapped, &written, TRUE);
        if (woke == WAIT_OBJECT_0 + 2) {
          OrderedGuard out(OutLock);
          outRing_.Clear();
          SetEvent(flushDone_);
        }
        return;
      }
      done = GetOverlappedResult(handle, &overlapped, &written, FALSE);
    }
    NoteDriverCall(done != FALSE, done ? 0 : GetLastError());
    OrderedGuard out(OutLock);
    outRing_.Consume(done ? written : length);  // a failed write drops its block
  }
}

int TApdWin32Dispatcher::WriteFrom(std::span<const std::uint8_t> data) {
  {
    OrderedGuard out(OutLock);
    if (!outRing_.Append(data)) return 0;
  }
  SetEvent(outputReady_);
  return static_cast<int>(data.size());
}

int TApdWin32Dispatcher::FlushQueue(bool input) {
  HANDLE handle = comm_;
  if (input) {
    return PurgeComm(handle, PURGE_RXABORT | PURGE_RXCLEAR) ? 0 : SystemErrorCode();
  }
  if (threadsRunning_ && outputThread_ && WaitForSingleObject(outputThread_, 0) == WAIT_TIMEOUT) {
    SetEvent(outputFlush_);
    // Bounded, and over at once when the output thread has ended.
    HANDLE waits[2] = {flushDone_, outputThread_};
    WaitForMultipleObjects(2, waits, FALSE, kFlushWaitMs);
  }
  {
    OrderedGuard out(OutLock);
    outRing_.Clear();
  }
  return PurgeComm(handle, PURGE_TXABORT | PURGE_TXCLEAR) ? 0 : SystemErrorCode();
}

std::uint32_t TApdWin32Dispatcher::ReadStatus(CommStatus& status) {
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(comm_, &errors, &stat)) {
    const DWORD error = GetLastError();
    status.error = error != 0 ? error : kUnknownDriverError;
    status.inQueue = 0;
    return 0;
  }
  status.error = 0;
  status.flags = 0;
  status.inQueue = stat.cbInQue;
  return errors & 0x1F;
}

int TApdWin32Dispatcher::GetState(LineSettingsBlock& block) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(comm_, &dcb)) return -1;
  FromDcb(dcb, block);
  return 0;
}

int TApdWin32Dispatcher::SetState(const LineSettingsBlock& block) {
  DCB dcb{};
  ToDcb(block, dcb);
  return SetCommState(comm_, &dcb) ? 0 : SystemErrorCode();
}

int TApdWin32Dispatcher::ReadInto(std::uint8_t* buffer, std::uint32_t count) {
  HANDLE handle = comm_;
  // The caller asks only for what the status read found in the driver.
  if (count == 0) return 0;
  OVERLAPPED overlapped{};
  overlapped.hEvent = readDone_;
  ResetEvent(readDone_);
  DWORD read = 0;
  if (ReadFile(handle, buffer, count, &read, &overlapped)) return static_cast<int>(read);
  if (GetLastError() != ERROR_IO_PENDING) return SystemErrorCode();
  if (WaitForSingleObject(readDone_, kReadWaitMs) != WAIT_OBJECT_0) CancelIoEx(handle, &overlapped);
  GetOverlappedResult(handle, &overlapped, &read, TRUE);
  return static_cast<int>(read);
}

bool TApdWin32Dispatcher::WaitEvent(std::uint32_t& mask) {
  DWORD value = 0;
  OVERLAPPED overlapped{};
  const bool done = WaitCommEvent(comm_, &value, &overlapped);
  mask = value;
  return done;
}

int TApdWin32Dispatcher::SetupQueues(std::uint32_t inSize, std::uint32_t outSize) {
  return SetupComm(comm_, inSize, outSize) ? 0 : SystemErrorCode();
}

int TApdWin32Dispatcher::EscapeFunction(int code) {
  return EscapeCommFunction(comm_, static_cast<DWORD>(code)) ? 0 : SystemErrorCode();
}

bool TApdWin32Dispatcher::GetModemStatus(std::uint32_t& status) {
  DWORD value = 0;
  if (!GetCommModemStatus(comm_, &value)) return false;
  status = value;
  return true;
}

int TApdWin32Dispatcher::YieldTimeSlice() {
  Sleep(0);
  return 0;
}

LogFileHeading TApdWin32Dispatcher::LogHeading() {
  return {"GCC " __VERSION__ " (MinGW-w64)", OperatingSystemText()};
}

std::string OperatingSystemText() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return "Unknown";
  const char* platform = info.dwPlatformId == 0   ? "Win32s on Windows "
                         : info.dwPlatformId == 1 ? "Win32 on Windows "
                         : info.dwPlatformId == 2 ? "Windows NT "
                                                  : nullptr;
  if (!platform) return "Unknown";
  char text[160];
  std::snprintf(text, sizeof text, "%s%lu.%lu %s", platform, info.dwMajorVersion, info.dwMinorVersion,
                info.szCSDVersion);
  return std::string(text).substr(0, 80);
}

TApdTAPI32Dispatcher::~TApdTAPI32Dispatcher() {
  if (handed_ != nullptr && handed_ != INVALID_HANDLE_VALUE) CloseHandle(handed_);
}

int TApdTAPI32Dispatcher::OpenDevice(const std::string&, std::uint32_t, std::uint32_t) {
  if (handed_ == nullptr || handed_ == INVALID_HANDLE_VALUE) {
    SetLastError(2007);
    return codes::kCommNotOpen;
  }
  // In use from here: the port's close closes it.
  HANDLE handle = std::exchange(handed_, nullptr);
  const int result = PrepareHandle(handle);
  if (result < 0) CloseHandle(handle);
  return result;
}

}  // namespace comm
