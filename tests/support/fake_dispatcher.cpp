#include "tests/support/fake_dispatcher.h"

#include <algorithm>

namespace test_support {

void TApdFakeDispatcher::DrainOutput(std::size_t count) {
  comm::OrderedGuard out(OutLock);
  while (count > 0 && outRing_.Used() > 0) {
    auto block = outRing_.NextBlock();
    const std::size_t n = std::min(count, block.size());
    sent.append(block.begin(), block.begin() + n);
    outRing_.Consume(n);
    count -= n;
  }
}

void TApdFakeDispatcher::PlaceReceiveRing(std::uint32_t position) {
  comm::OrderedGuard in(InLock);
  inHead_ = inTail_ = position;
  ringFull_ = false;
}

std::size_t TApdFakeDispatcher::OutputRingUsed() {
  comm::OrderedGuard out(OutLock);
  return outRing_.Used();
}

int TApdFakeDispatcher::EscapeFunction(int code) {
  escapes.push_back(code);
  return escapeFails ? -50 : 0;
}

int TApdFakeDispatcher::FlushQueue(bool inputSide) {
  if (inputSide) {
    input.clear();
  } else {
    comm::OrderedGuard out(OutLock);
    outRing_.Clear();
  }
  return 0;
}

std::uint32_t TApdFakeDispatcher::ReadStatus(comm::CommStatus& status) {
  status.error = statusError;
  if (statusError != 0) {
    status.inQueue = 0;
    return 0;
  }
  status.inQueue = static_cast<std::uint32_t>(input.size());
  const std::uint32_t errors = pendingLineErrors;
  pendingLineErrors = 0;
  return errors;
}

int TApdFakeDispatcher::GetState(comm::LineSettingsBlock& block) {
  block = driverBlock;
  return 0;
}

int TApdFakeDispatcher::ReadInto(std::uint8_t* buffer, std::uint32_t count) {
  readRequests.push_back(count);
  std::uint32_t n = 0;
  while (n < count && !input.empty()) {
    buffer[n++] = input.front();
    input.pop_front();
  }
  return static_cast<int>(n);
}

int TApdFakeDispatcher::SetState(const comm::LineSettingsBlock& block) {
  statesWritten.push_back(block);
  if (setStateResult == 0) driverBlock = block;
  return setStateResult;
}

int TApdFakeDispatcher::WriteFrom(std::span<const std::uint8_t> data) {
  if (writeFails) return 0;
  comm::OrderedGuard out(OutLock);
  if (!outRing_.Append(data)) return 0;
  if (autoDrain) DrainOutput(data.size());
  return static_cast<int>(data.size());
}

bool TApdFakeDispatcher::WaitEvent(std::uint32_t& mask) {
  mask = 0;
  return false;
}

void TApdFakeDispatcher::StartThreads() {
  ++startThreadsCalls;
  threadsRunning_ = true;
}

void TApdFakeDispatcher::StopThreads() {
  ++stopThreadsCalls;
  threadsRunning_ = false;
}

int TApdFakeDispatcher::OpenDevice(const std::string& name, std::uint32_t, std::uint32_t) {
  openedName = name;
  if (openResult != 0) return openResult;
  ++devicesOpen;
  return 0;
}

int TApdFakeDispatcher::CloseDevice() {
  --devicesOpen;
  return 0;
}

bool TApdFakeDispatcher::GetModemStatus(std::uint32_t& status) {
  status = modemStatus;
  return modemStatusWorks;
}

FakeTransport::SendResult FakeTransport::Send(comm::WindowRef window, std::uint32_t message,
                                              std::uintptr_t wParam, std::intptr_t lParam,
                                              std::uint32_t timeoutMs, comm::DeliveryId delivery) {
  lastTimeoutMs = timeoutMs;
  if (hung_[window]) return SendResult::kTimedOut;
  const Message m{window, message, wParam, lParam, delivery};
  messages.push_back(m);
  auto handler = handlers_.find(window);
  if (handler != handlers_.end() && handler->second) {
    served_.push_back(delivery);
    handler->second(m);
    served_.pop_back();
  }
  return late_[window] ? SendResult::kTimedOut : SendResult::kAnswered;
}

void FakeTransport::ServeLate(comm::DeliveryId delivery, const std::function<void()>& body) {
  served_.push_back(delivery);
  body();
  served_.pop_back();
}

bool FakeTransport::Post(comm::WindowRef window, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam) {
  posted.push_back({window, message, wParam, lParam, 0});
  return true;
}

}  // namespace test_support
