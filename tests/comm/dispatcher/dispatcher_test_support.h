// Shared set-up of the dispatcher tests: an opened fake dispatcher with a
// direct transport, and a lock-order watch that fails the test on a breach.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "comm/dispatcher/ordered_lock.h"
#include "tests/support/fake_dispatcher.h"

namespace comm_test {

inline int& LockOrderBreaches() {
  static int breaches = 0;
  return breaches;
}

class OpenedFake : public ::testing::Test {
 protected:
  void SetUp() override {
    LockOrderBreaches() = 0;
    comm::SetLockOrderViolationHandler([](comm::LockLevel, comm::LockLevel) { ++LockOrderBreaches(); });
    port.SetNotificationTransport(&transport);
    ASSERT_EQ(port.OpenPort("\\\\.\\COM1", 9600, 0, 8, 1, 4096, 4096, true, true), 0);
  }
  void TearDown() override {
    EXPECT_EQ(LockOrderBreaches(), 0) << "locks taken out of order";
    comm::SetLockOrderViolationHandler(nullptr);
  }

  // Bytes arrive in the driver and the dispatch thread makes one pass.
  void Arrive(const std::string& bytes) {
    port.Feed(bytes);
    port.DispatchPass(false, 0);
  }

  std::string FetchAll() {
    std::string taken;
    std::uint8_t c;
    while (port.FetchChar(c) == 0) taken.push_back(static_cast<char>(c));
    return taken;
  }

  test_support::TApdFakeDispatcher port;
  test_support::FakeTransport transport;
};

inline std::string Pattern(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text.push_back(static_cast<char>('A' + i % 26));
  return text;
}

}  // namespace comm_test
