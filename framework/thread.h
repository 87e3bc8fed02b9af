// A thread object over CreateThread: a virtual Execute, a priority, a handle
// that can be joined, and an option to free the object when it ends.
#pragma once

#include <windows.h>

#include <atomic>
#include <exception>

namespace fw {

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread {
 public:
  // A suspended thread starts with Start(); otherwise it runs at once.
  explicit TThread(bool createSuspended);
  // Waits for the thread to end when it runs (after Terminate). A derived
  // class whose Execute uses its own members terminates and waits for the
  // thread in its own destructor, before those members go.
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Start();
  // Asks Execute to stop; Execute looks at Terminated().
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Waits until Execute has returned, serving messages sent to this thread's
  // windows meanwhile (a worker may SendMessage to the GUI). Returns ReturnValue.
  DWORD WaitFor();
  bool Started() const { return started_; }
  bool Finished() const { return finished_; }

  HANDLE Handle() const { return handle_; }
  DWORD ThreadId() const { return threadId_; }
  TThreadPriority Priority() const;
  void SetPriority(TThreadPriority priority);
  // Frees the object when Execute returns; such a thread is never waited for.
  bool FreeOnTerminate = false;
  DWORD ReturnValue = 0;
  // What Execute raised, if it raised (the thread ends; nothing is lost).
  std::exception_ptr FatalException() const { return fatal_; }

 protected:
  virtual void Execute() = 0;

 private:
  static DWORD WINAPI ThreadMain(LPVOID self);
  HANDLE handle_ = nullptr;
  DWORD threadId_ = 0;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  bool started_ = false;
  std::atomic<bool> abandoned_{false};
  std::exception_ptr fatal_;
};

}  // namespace fw
