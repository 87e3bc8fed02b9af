#include "framework/thread.h"

#include <string>

#include "framework/exceptions.h"

namespace fw {

namespace {

constexpr int kPriorities[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                               THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                               THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                               THREAD_PRIORITY_TIME_CRITICAL};

}  // namespace

TThread::TThread(bool createSuspended) {
  handle_ = CreateThread(nullptr, 0, &TThread::ThreadMain, this, CREATE_SUSPENDED, &threadId_);
  if (!handle_) throw Exception("Thread creation error: error " + std::to_string(GetLastError()));
  if (!createSuspended) Start();
}

TThread::~TThread() {
  if (started_ && !finished_ && !FreeOnTerminate) {
    Terminate();
    WaitFor();
  } else if (!started_) {
    // Never ran: the thread ends at once without Execute (whose object is
    // already gone), so that its handle can be closed.
    terminated_ = true;
    abandoned_ = true;
    Start();
    WaitFor();
  }
  if (handle_) CloseHandle(handle_);
}

void TThread::Start() {
  if (started_) return;
  started_ = true;
  ResumeThread(handle_);
}

DWORD WINAPI TThread::ThreadMain(LPVOID parameter) {
  auto* self = static_cast<TThread*>(parameter);
  try {
    if (!self->abandoned_) self->Execute();
  } catch (...) {
    self->fatal_ = std::current_exception();
  }
  const DWORD result = self->ReturnValue;
  if (self->FreeOnTerminate) {
    self->finished_ = true;
    delete self;
  } else {
    self->finished_ = true;
  }
  return result;
}

DWORD TThread::WaitFor() {
  if (!started_) throw Exception("Cannot wait for a thread that was not started");
  if (GetCurrentThreadId() == threadId_) throw Exception("A thread cannot wait for itself");
  for (;;) {
    const DWORD wait = MsgWaitForMultipleObjects(1, &handle_, FALSE, INFINITE, QS_SENDMESSAGE);
    if (wait == WAIT_OBJECT_0) break;
    if (wait == WAIT_OBJECT_0 + 1) {
      // Serves sent messages only; posted ones stay for the message loop.
      MSG message;
      PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      continue;
    }
    throw Exception("Waiting for a thread failed: error " + std::to_string(GetLastError()));
  }
  DWORD code = 0;
  GetExitCodeThread(handle_, &code);
  return code;
}

TThreadPriority TThread::Priority() const {
  const int value = GetThreadPriority(handle_);
  for (int i = 0; i < 7; ++i)
    if (kPriorities[i] == value) return static_cast<TThreadPriority>(i);
  return TThreadPriority::tpNormal;
}

void TThread::SetPriority(TThreadPriority priority) {
  SetThreadPriority(handle_, kPriorities[static_cast<int>(priority)]);
}

}  // namespace fw
