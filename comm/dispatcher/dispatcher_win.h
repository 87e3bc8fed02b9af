// The dispatcher on the Win32 serial API, with its three worker threads:
// the event thread waits for comm events, the dispatch thread fills the
// receive ring and runs the trigger passes, the output thread writes the
// output ring. Threads are joined by their handles; every wait is bounded or
// also ends on the stop event.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "comm/dispatcher/dispatcher.h"

namespace comm {

class TApdWin32Dispatcher : public TApdBaseDispatcher {
 public:
  explicit TApdWin32Dispatcher(TApdComPort* owner);
  ~TApdWin32Dispatcher() override;

  // True once the worker threads have all returned (or never ran).
  bool WorkersFinished() { return WaitWorkersFinished(0); }
  bool WaitWorkersFinished(std::uint32_t ms) override;
  // The last failure of the comm-event wait after the event thread gave up
  // on events (0 while events work); reception then goes on by polling.
  std::uint32_t CommEventError() const override { return commEventError_; }
  HANDLE CommHandle() const { return comm_; }

 protected:
  int EscapeFunction(int code) override;
  int FlushQueue(bool input) override;
  std::uint32_t ReadStatus(CommStatus& status) override;
  int ReportReadError(int) override { return 0; }
  int GetState(LineSettingsBlock& block) override;
  int ReadInto(std::uint8_t* buffer, std::uint32_t count) override;
  int SetState(const LineSettingsBlock& block) override;
  int WriteFrom(std::span<const std::uint8_t> data) override;
  bool WaitEvent(std::uint32_t& mask) override;
  int SetupQueues(std::uint32_t inSize, std::uint32_t outSize) override;
  void FreeBuffers() override;
  void StartThreads() override;
  void StopThreads() override;
  int OpenDevice(const std::string& name, std::uint32_t inSize, std::uint32_t outSize) override;
  int CloseDevice() override;
  int YieldTimeSlice() override;
  void SetPriorities(int step) override;
  bool GetModemStatus(std::uint32_t& status) override;
  void SleepMs(std::uint32_t ms) override { Sleep(ms); }
  // The dispatch thread hands the ring over; sent messages are served
  // meanwhile, since its notifications come to this thread's windows.
  void AwaitHandOver(std::uint32_t ms) override;
  LogFileHeading LogHeading() override;

  // Opens the device's events and sets its time-outs once the handle is known.
  int PrepareHandle(HANDLE handle);
  std::atomic<HANDLE> comm_{INVALID_HANDLE_VALUE};

 private:
  static unsigned __stdcall EventThreadMain(void* self);
  static unsigned __stdcall DispatchThreadMain(void* self);
  static unsigned __stdcall OutputThreadMain(void* self);
  void EventThread();
  void DispatchThread();
  void OutputThread();
  void WriteRing();
  void CloseEvents();
  void JoinThreads(HANDLE* threads, int count);

  // One event per purpose.
  HANDLE stop_ = nullptr;         // manual: every thread ends
  HANDLE commEvent_ = nullptr;    // auto: event thread -> dispatch thread
  HANDLE eventDone_ = nullptr;    // auto: dispatch thread -> event thread
  HANDLE outputReady_ = nullptr;  // auto: WriteFrom -> output thread
  HANDLE outputFlush_ = nullptr;  // auto: FlushQueue -> output thread
  HANDLE flushDone_ = nullptr;    // auto: output thread -> FlushQueue
  HANDLE handOver_ = nullptr;     // auto: AwaitHandOver -> dispatch thread
  HANDLE handedOver_ = nullptr;   // manual: dispatch thread -> AwaitHandOver
  HANDLE readDone_ = nullptr;     // manual: overlapped reads
  HANDLE writeDone_ = nullptr;    // manual: overlapped writes
  HANDLE started_[3] = {};        // auto: each thread is running
  HANDLE eventThread_ = nullptr, dispatchThread_ = nullptr, outputThread_ = nullptr;
  std::atomic<std::uint32_t> pendingMask_{0};
  std::atomic<DWORD> commEventError_{0};
};

// A dispatcher on a comm handle that the telephony layer opened. It owns the
// handle from its creation: closing the port closes it, and so does an open
// that fails or never comes.
class TApdTAPI32Dispatcher : public TApdWin32Dispatcher {
 public:
  TApdTAPI32Dispatcher(TApdComPort* owner, HANDLE handle) : TApdWin32Dispatcher(owner), handed_(handle) {}
  ~TApdTAPI32Dispatcher() override;

 protected:
  int OpenDevice(const std::string& name, std::uint32_t inSize, std::uint32_t outSize) override;

 private:
  HANDLE handed_;  // until the open takes it into use
};

// The system description for the log file: "Windows NT 6.1 Service Pack 1".
std::string OperatingSystemText();

}  // namespace comm
