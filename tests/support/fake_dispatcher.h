// An in-memory serial driver under the dispatcher, for tests: an input queue
// the test feeds, an output sink, modem bits, injected line errors and open
// failures, a recorded line-settings block and a log of the driver calls.
// Threads are not started; the test plays the dispatch thread by calling
// DispatchPass itself.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "comm/dispatcher/dispatcher.h"

namespace test_support {

class TApdFakeDispatcher : public comm::TApdBaseDispatcher {
 public:
  TApdFakeDispatcher() : TApdBaseDispatcher(nullptr) {}
  ~TApdFakeDispatcher() override { DestroyPort(); }

  // ---- what the test injects ----
  void Feed(const std::string& bytes) { input.insert(input.end(), bytes.begin(), bytes.end()); }
  std::deque<std::uint8_t> input;
  std::uint32_t pendingLineErrors = 0;  // handed out (and cleared) by the next status read
  std::uint32_t modemStatus = 0;        // bits 4-7 as the driver reports them
  bool modemStatusWorks = true;
  int openResult = 0;  // what OpenDevice returns
  int setupQueuesResult = 0;
  int setStateResult = 0;
  bool escapeFails = false;
  bool autoDrain = true;  // the "line" takes every written byte at once
  bool writeFails = false;

  // ---- what the test reads ----
  std::string sent;  // bytes that left through the output
  std::vector<comm::LineSettingsBlock> statesWritten;
  std::vector<int> escapes;
  std::vector<std::uint32_t> readRequests;
  std::vector<std::uint32_t> sleeps;
  std::string openedName;
  int devicesOpen = 0;
  int startThreadsCalls = 0;
  int stopThreadsCalls = 0;
  comm::LineSettingsBlock driverBlock;  // the driver's settings before the open

  // Moves up to `count` bytes from the output ring to `sent`.
  void DrainOutput(std::size_t count);
  // Empty ring whose head and tail stand at `position`.
  void PlaceReceiveRing(std::uint32_t position);
  std::size_t OutputRingUsed();
  // No real threads: once the port is closing they count as ended.
  bool WaitWorkersFinished(std::uint32_t) override { return true; }

 protected:
  int EscapeFunction(int code) override;
  int FlushQueue(bool input) override;
  std::uint32_t ReadStatus(comm::CommStatus& status) override;
  int ReportReadError(int) override { return 0; }
  int GetState(comm::LineSettingsBlock& block) override;
  int ReadInto(std::uint8_t* buffer, std::uint32_t count) override;
  int SetState(const comm::LineSettingsBlock& block) override;
  int WriteFrom(std::span<const std::uint8_t> data) override;
  bool WaitEvent(std::uint32_t& mask) override;
  int SetupQueues(std::uint32_t, std::uint32_t) override { return setupQueuesResult; }
  void StartThreads() override;
  void StopThreads() override;
  int OpenDevice(const std::string& name, std::uint32_t inSize, std::uint32_t outSize) override;
  int CloseDevice() override;
  int YieldTimeSlice() override { return 0; }
  bool GetModemStatus(std::uint32_t& status) override;
  void SleepMs(std::uint32_t ms) override { sleeps.push_back(ms); }
};

// Delivers notifications by calling handlers directly on the calling thread.
class FakeTransport : public comm::NotificationTransport {
 public:
  struct Message {
    comm::WindowRef window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };
  using Handler = std::function<void(const Message&)>;

  void Listen(comm::WindowRef window, Handler handler) { handlers_[window] = std::move(handler); }
  void Hang(comm::WindowRef window) { hung_[window] = true; }
  void Answer(comm::WindowRef window) { hung_[window] = false; }

  SendResult Send(comm::WindowRef window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                  std::uint32_t timeoutMs) override;
  bool CallerServesDelivery() override { return inside_; }

  std::vector<Message> messages;  // every message that reached a handler, in order
  std::uint32_t lastTimeoutMs = 0;

 private:
  std::map<comm::WindowRef, Handler> handlers_;
  std::map<comm::WindowRef, bool> hung_;
  bool inside_ = false;
};

}  // namespace test_support
