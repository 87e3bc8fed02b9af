// Notifications, shared takes and triggers of the dispatcher, with listeners
// that are called directly by a fake transport.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "comm/base/error_codes.h"
#include "comm/base/tick_timer.h"
#include "tests/comm/dispatcher/dispatcher_test_support.h"

namespace {

using comm_test::OpenedFake;
using comm_test::Pattern;
using Message = test_support::FakeTransport::Message;
namespace codes = comm::codes;

constexpr comm::WindowRef kPortWindow = 0x100;
constexpr comm::WindowRef kTerminal = 0x200;
constexpr comm::WindowRef kOther = 0x300;

class Notifications : public OpenedFake {
 protected:
  void SetUp() override {
    OpenedFake::SetUp();
    port.RegisterWindow(kPortWindow);
    port.RegisterWindow(kTerminal);
    port.SetLengthTrigger(1);
  }
  // The terminal takes up to `limit` bytes per notification.
  void TerminalTakes(std::size_t limit) {
    transport.Listen(kTerminal, [this, limit](const Message& m) {
      if (m.message != comm::kAvailMessage) return;
      std::uint8_t c;
      for (std::size_t i = 0; i < limit && port.FetchChar(c) == 0; ++i)
        terminalGot.push_back(static_cast<char>(c));
    });
  }
  std::vector<std::uintptr_t> AvailCounts(comm::WindowRef window) const {
    std::vector<std::uintptr_t> counts;
    for (const Message& m : transport.messages) {
      if (m.window == window && m.message == comm::kAvailMessage) counts.push_back(m.wParam);
    }
    return counts;
  }
  std::string terminalGot;
};

TEST_F(Notifications, OneAvailPerArrivalWithTheCountWaiting) {
  TerminalTakes(SIZE_MAX);
  Arrive("abc");
  Arrive("de");
  port.DispatchPass(false, 0);  // nothing new
  EXPECT_EQ(AvailCounts(kTerminal), (std::vector<std::uintptr_t>{3, 2}));
  EXPECT_EQ(terminalGot, "abcde");
  EXPECT_EQ(port.ReceivedCount(), 0u);
}

TEST_F(Notifications, ListenerThatTakesNothingHearsAgainOnlyWhenMoreArrives) {
  TerminalTakes(0);
  Arrive("abc");
  port.DispatchPass(false, 0);
  port.DispatchPass(false, 0);
  EXPECT_EQ(AvailCounts(kTerminal), (std::vector<std::uintptr_t>{3}));
  Arrive("d");
  EXPECT_EQ(AvailCounts(kTerminal), (std::vector<std::uintptr_t>{3, 4}));
}

TEST_F(Notifications, MessageCarriesTheDispatcherHandleInTheHighWord) {
  TerminalTakes(SIZE_MAX);
  Arrive("xy");
  ASSERT_FALSE(transport.messages.empty());
  const Message& m = transport.messages.front();
  EXPECT_EQ(m.window, kPortWindow);
  EXPECT_EQ(m.message, 0x7E01u);
  EXPECT_EQ(m.wParam, 2u);
  EXPECT_EQ(m.lParam, static_cast<std::intptr_t>(port.Handle()) * 65536);
  EXPECT_EQ(transport.lastTimeoutMs, 3000u);
}

TEST_F(Notifications, TwoListenersShareTheSameBytesAndTheRingAdvancesByTheMost) {
  std::string first, second;
  transport.Listen(kPortWindow, [&](const Message&) {
    std::uint8_t c;
    for (int i = 0; i < 2 && port.FetchChar(c) == 0; ++i) first.push_back(static_cast<char>(c));
    EXPECT_TRUE(port.HasReceived());
    EXPECT_EQ(port.ReceivedCount(), 5u);
  });
  transport.Listen(kTerminal, [&](const Message&) {
    std::uint8_t c;
    for (int i = 0; i < 5 && port.FetchChar(c) == 0; ++i) second.push_back(static_cast<char>(c));
  });
  port.Feed("ABCDEFG");
  port.FillReceiveRing();
  EXPECT_FALSE(port.NotifyListeners(comm::kAvailMessage, 7, 0));
  EXPECT_EQ(first, "AB");
  EXPECT_EQ(second, "ABCDE");
  EXPECT_EQ(port.InTail(), 5u);
  EXPECT_EQ(port.ReceivedCount(), 2u);
  transport.Listen(kPortWindow, nullptr);
  EXPECT_TRUE(port.NotifyListeners(comm::kAvailMessage, 2, 0))
      << "all taken when the count was the most taken";
}

TEST_F(Notifications, ExactlyAFullRingAtOnceIsAnnouncedAndReceptionGoesOn) {
  TerminalTakes(SIZE_MAX);
  Arrive(Pattern(8192));
  EXPECT_EQ(AvailCounts(kTerminal), (std::vector<std::uintptr_t>{8192}));
  Arrive("tail");
  EXPECT_EQ(terminalGot, Pattern(8192) + "tail");
}

TEST_F(Notifications, BytesLeftInTheDriverBehindAFullRingAreReadWhenRoomComes) {
  TerminalTakes(0);
  port.Feed(Pattern(8192) + "rest");
  port.DispatchPass(false, 0);
  EXPECT_TRUE(port.RingFull());
  std::uint8_t c;
  for (int i = 0; i < 8192; ++i) ASSERT_EQ(port.FetchChar(c), 0);  // the terminal's own take
  port.DispatchPass(false, 0);  // no new event: the pass reads the driver anyway
  EXPECT_EQ(port.ReceivedCount(), 4u);
  EXPECT_TRUE(port.input.empty());
}

// Before a close: nothing more is read from the driver, the ring goes to the
// listeners, however many rounds they need, and the driver keeps what it holds.
TEST_F(Notifications, EndingReceptionHandsTheRingOverAndLeavesTheDriversBytes) {
  TerminalTakes(3);
  port.Feed("RECEIPT 7\r\n");
  ASSERT_TRUE(port.FillReceiveRing());
  port.Feed("RECEIPT 8\r\n");
  port.EndReception();
  EXPECT_EQ(terminalGot, "RECEIPT 7\r\n");
  EXPECT_EQ(port.ReceivedCount(), 0u);
  EXPECT_TRUE(port.ReceptionEnded());
  port.DispatchPass(false, 0);
  EXPECT_EQ(terminalGot, "RECEIPT 7\r\n") << "nothing more is taken from the driver";
  port.ClosePort();
  EXPECT_EQ(std::string(port.input.begin(), port.input.end()), "RECEIPT 8\r\n")
      << "the close leaves the driver's bytes with the line";
}

TEST_F(Notifications, EndingReceptionAnnouncesOnceWhenNobodyTakes) {
  TerminalTakes(0);
  port.Feed("RECEIPT 9\r\n");
  ASSERT_TRUE(port.FillReceiveRing());
  port.EndReception();
  EXPECT_EQ(AvailCounts(kTerminal), (std::vector<std::uintptr_t>{11}));
}

// Asked from inside the port's own notification, the end cannot wait for the
// dispatch thread, which waits for that very handler.
TEST_F(Notifications, EndingReceptionInsideANotificationDoesNotWaitForIt) {
  int inside = 0;
  transport.Listen(kTerminal, [&](const Message& m) {
    if (m.message != comm::kAvailMessage || inside++ > 0) return;
    port.EndReception();
  });
  Arrive("A");
  EXPECT_EQ(inside, 1) << "no second announcement from inside the first";
  EXPECT_TRUE(port.ReceptionEnded());
}

TEST_F(Notifications, HungListenerIsAnnouncedAgainWhenItAnswers) {
  TerminalTakes(SIZE_MAX);
  transport.Hang(kTerminal);
  Arrive("end of journal\r\n");
  EXPECT_TRUE(AvailCounts(kTerminal).empty());
  transport.Answer(kTerminal);
  port.DispatchPass(false, 0);  // no new bytes, yet they are announced again
  EXPECT_EQ(terminalGot, "end of journal\r\n");
  port.DispatchPass(false, 0);
  EXPECT_EQ(AvailCounts(kTerminal).size(), 1u);
}

// Plays the GUI thread handling the terminal's own posted request between
// two sends of a running notification: a take that is no delivery's.
struct TakeBetweenSends : comm::NotificationTransport {
  test_support::FakeTransport* inner = nullptr;
  test_support::TApdFakeDispatcher* port = nullptr;
  int refused = 0;
  SendResult Send(comm::WindowRef w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp, std::uint32_t t,
                  comm::DeliveryId d) override {
    std::uint8_t b;
    if (port->FetchChar(b) == comm::codes::kBufferIsEmpty) ++refused;
    return inner->Send(w, m, wp, lp, t, d);
  }
  comm::DeliveryId ServedDelivery() override { return inner->ServedDelivery(); }
  bool Post(comm::WindowRef w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) override {
    return inner->Post(w, m, wp, lp);
  }
};

// The terminal's handler took its bytes, then stalled past the time-out (a
// capture write held up); it goes on taking while the GUI thread still has
// not reached the next delivery, which is out to the port's window.
struct LateHandlerBeforeNextSend : comm::NotificationTransport {
  test_support::FakeTransport* inner = nullptr;
  std::function<void()> late;
  SendResult Send(comm::WindowRef w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp, std::uint32_t t,
                  comm::DeliveryId d) override {
    if (late) std::exchange(late, nullptr)();
    return inner->Send(w, m, wp, lp, t, d);
  }
  comm::DeliveryId ServedDelivery() override { return inner->ServedDelivery(); }
  bool Post(comm::WindowRef w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) override {
    return inner->Post(w, m, wp, lp);
  }
};

TEST_F(Notifications, ALateHandlerNeverTakesForTheNextDeliveryAndEveryByteArrivesOnce) {
  std::string portGot;
  transport.Listen(kPortWindow, [&](const Message& m) {
    if (m.message != comm::kAvailMessage) return;
    std::uint8_t c;
    while (port.FetchChar(c) == 0) portGot.push_back(static_cast<char>(c));
  });
  TerminalTakes(SIZE_MAX);
  transport.AnswerLate(kTerminal);
  Arrive("first part ");
  EXPECT_EQ(terminalGot, "first part ");
  EXPECT_EQ(port.ReceivedCount(), 0u) << "the ring moved by what was taken";
  const comm::DeliveryId stalled = transport.messages.back().delivery;
  ASSERT_NE(stalled, 0u);
  transport.AnswerLate(kTerminal, false);

  LateHandlerBeforeNextSend between;
  between.inner = &transport;
  int lateTakes = 0;
  between.late = [&] {
    transport.ServeLate(stalled, [&] {
      std::uint8_t c;
      while (port.HasReceived() && port.FetchChar(c) == 0) {
        terminalGot.push_back(static_cast<char>(c));
        ++lateTakes;
      }
    });
  };
  port.SetNotificationTransport(&between);
  Arrive("second part");
  port.SetNotificationTransport(&transport);
  EXPECT_EQ(lateTakes, 0) << "the late handler's delivery has ended";
  EXPECT_EQ(portGot, "first part second part");
  EXPECT_EQ(terminalGot, "first part second part");
  EXPECT_EQ(port.ReceivedCount(), 0u);

  // Even with no delivery running, the late handler takes nothing on its own:
  // the port's window would never see those bytes.
  port.Feed("third");
  port.FillReceiveRing();
  transport.ServeLate(stalled, [&] {
    std::uint8_t c;
    EXPECT_EQ(port.FetchChar(c), codes::kBufferIsEmpty);
  });
  port.DispatchPass(false, 0);
  EXPECT_EQ(portGot, "first part second partthird");
  EXPECT_EQ(terminalGot, "first part second partthird");
}

TEST_F(Notifications, ATimedOutDeliveryEndsTheWalkAndIsAnnouncedAgain) {
  port.RegisterWindow(kOther);
  TerminalTakes(SIZE_MAX);
  transport.Hang(kTerminal);
  Arrive("abc");
  EXPECT_TRUE(std::none_of(transport.messages.begin(), transport.messages.end(), [](const Message& m) {
    return m.window == kOther;
  })) << "the listeners after a hung one share its thread";
  transport.Answer(kTerminal);
  port.DispatchPass(false, 0);
  EXPECT_EQ(terminalGot, "abc");
  EXPECT_EQ(AvailCounts(kOther), (std::vector<std::uintptr_t>{3}));
}

TEST_F(Notifications, TakeOutsideTheRunningDeliveryNeverRereadsBytes) {
  port.RegisterWindow(kOther);
  TerminalTakes(SIZE_MAX);
  port.Feed("abc");
  port.FillReceiveRing();
  TakeBetweenSends between;
  between.inner = &transport;
  between.port = &port;
  port.SetNotificationTransport(&between);
  port.NotifyListeners(comm::kAvailMessage, 3, 0);
  EXPECT_EQ(between.refused, 3) << "refused before each of the three sends";
  EXPECT_EQ(terminalGot, "abc");
  EXPECT_EQ(port.ReceivedCount(), 0u);
}

TEST_F(Notifications, RefusedOutsideTakeIsAnnouncedAgainAfterTheNotification) {
  TerminalTakes(0);  // the terminal is in its scroll-back
  Arrive("queued");
  // It leaves the scroll-back while a status notification is being delivered.
  TakeBetweenSends between;
  between.inner = &transport;
  between.port = &port;
  port.SetNotificationTransport(&between);
  port.NotifyListeners(comm::kAvailMessage, 0, 0);
  port.SetNotificationTransport(&transport);
  EXPECT_EQ(between.refused, 2);
  TerminalTakes(SIZE_MAX);
  port.DispatchPass(false, 0);
  EXPECT_EQ(terminalGot, "queued");
}

TEST_F(Notifications, NothingIsSentWhenNobodyListens) {
  test_support::TApdFakeDispatcher lonely;
  test_support::FakeTransport quiet;
  lonely.SetNotificationTransport(&quiet);
  ASSERT_EQ(lonely.OpenPort("\\\\.\\COM2", 9600, 0, 8, 1, 4096, 4096, true, true), 0);
  lonely.SetLengthTrigger(1);
  lonely.Feed("abc");
  lonely.DispatchPass(false, 0);
  EXPECT_FALSE(lonely.ServiceNeeded());
  lonely.RegisterWindow(kPortWindow);  // only the port's own window, no events wanted
  lonely.Feed("d");
  lonely.DispatchPass(false, 0);
  EXPECT_TRUE(quiet.messages.empty());
  lonely.UpdateServiceFlags(1);
  lonely.Feed("e");
  lonely.DispatchPass(false, 0);
  EXPECT_EQ(quiet.messages.size(), 1u);
}

TEST_F(Notifications, UnregisterInsideAHandlerIsDeferredToTheEnd) {
  transport.Listen(kPortWindow, [&](const Message&) {
    port.UnregisterWindow(kTerminal);
    EXPECT_EQ(port.ListenerCount(), 2u);
  });
  Arrive("a");
  EXPECT_EQ(port.ListenerCount(), 1u);
  EXPECT_TRUE(AvailCounts(kTerminal).empty()) << "a deleted listener is skipped";
  EXPECT_FALSE(port.ServiceNeeded());
}

TEST_F(Notifications, CloseInsideAHandlerEndsTheDeliveryAndLeavesTheRing) {
  transport.Listen(kPortWindow, [&](const Message&) {
    std::uint8_t c;
    port.FetchChar(c);
    port.ClosePort();
  });
  TerminalTakes(SIZE_MAX);
  port.Feed("abc");
  port.FillReceiveRing();
  EXPECT_FALSE(port.NotifyListeners(comm::kAvailMessage, 3, 0));
  EXPECT_TRUE(port.ClosePending());
  EXPECT_TRUE(terminalGot.empty());
  EXPECT_EQ(port.InTail(), 0u);
  EXPECT_FALSE(port.InNotify());
  EXPECT_FALSE(port.Dispatching());
}

// ---------------------------------------------------------------- triggers

class Triggers : public Notifications {
 protected:
  std::vector<Message> StatusMessages() const {
    std::vector<Message> found;
    for (const Message& m : transport.messages) {
      if (m.message == comm::kStatusMessage && m.window == kPortWindow) found.push_back(m);
    }
    return found;
  }
};

TEST_F(Triggers, OutputFreeFiresOnceWithTheFreeSpaceThenWaitsForRearming) {
  const int handle = port.AddStatusTrigger(comm::kStatusOutFree);
  ASSERT_GT(handle, 0);
  EXPECT_EQ(handle & 7, 3);
  ASSERT_EQ(port.SetStatusTrigger(handle, 100, true), 0);
  port.DispatchPass(false, 0);
  port.DispatchPass(false, 0);
  auto fired = StatusMessages();
  ASSERT_EQ(fired.size(), 1u);
  EXPECT_EQ(fired[0].wParam, static_cast<std::uintptr_t>(handle));
  EXPECT_EQ(fired[0].lParam, static_cast<std::intptr_t>(port.Handle()) * 65536 + 4096);
  port.SetStatusTrigger(handle, 100, true);
  port.DispatchPass(false, 0);
  EXPECT_EQ(StatusMessages().size(), 2u);
}

TEST_F(Triggers, OutputUsedFiresWhenTheRingDrainsBelowTheThreshold) {
  port.autoDrain = false;
  ASSERT_EQ(port.SendBlock(std::vector<std::uint8_t>(10, 'x')), 0);
  const int handle = port.AddStatusTrigger(comm::kStatusOutUsed);
  port.SetStatusTrigger(handle, 5, true);
  port.DispatchPass(false, 0);
  EXPECT_TRUE(StatusMessages().empty());
  port.DrainOutput(6);
  port.DispatchPass(false, 0);
  ASSERT_EQ(StatusMessages().size(), 1u);
  EXPECT_EQ(StatusMessages()[0].lParam & 0xFFFF, 4);
}

TEST_F(Triggers, LineErrorTriggerArmedForBreakFiresAndTakesTheErrorBits) {
  const int handle = port.AddStatusTrigger(comm::kStatusLine);
  port.SetStatusTrigger(handle, 8, true);
  port.pendingLineErrors = comm::kLineParity;
  port.DispatchPass(true, 0x80);
  EXPECT_TRUE(StatusMessages().empty()) << "parity is not watched";
  port.pendingLineErrors = comm::kLineBreak;
  port.DispatchPass(true, 0x40);
  ASSERT_EQ(StatusMessages().size(), 1u);
  EXPECT_EQ(port.StatusTriggers()[0].data, comm::kLineParity | comm::kLineBreak);
}

TEST_F(Triggers, ModemTriggerFiresOnACtsChange) {
  const int handle = port.AddStatusTrigger(comm::kStatusModem);
  port.SetStatusTrigger(handle, 0x10, true);
  port.DispatchPass(true, 0x10);  // DSR event, CTS unchanged
  EXPECT_TRUE(StatusMessages().empty());
  port.modemStatus = 0x10;
  port.DispatchPass(true, 0x08);
  ASSERT_EQ(StatusMessages().size(), 1u);
  EXPECT_EQ(StatusMessages()[0].wParam & 7, 1u);
}

TEST_F(Triggers, ModemLinesAreWatchedWithoutEventsOnceEventsWereGivenUp) {
  const int handle = port.AddStatusTrigger(comm::kStatusModem);
  port.SetStatusTrigger(handle, 0x80, true);
  port.commEventError = 87;
  port.modemStatus = 0x80;  // the carrier comes up and no event reports it
  port.DispatchPass(false, 0);
  ASSERT_EQ(StatusMessages().size(), 1u);
  EXPECT_EQ(StatusMessages()[0].wParam & 7, 1u);
  EXPECT_EQ(port.ModemImage() & 0x88, 0x88) << "line state and its change bit";
}

TEST_F(Triggers, AModemLineChangeWithoutAnEventShowsWithTheNextBytes) {
  const int handle = port.AddStatusTrigger(comm::kStatusModem);
  port.SetStatusTrigger(handle, 0x10, true);
  port.modemStatus = 0x10;  // CTS rose while no wait for line events was posted
  port.Feed("x");           // the byte after it, taken by a pass without an event
  port.DispatchPass(false, 0);
  ASSERT_EQ(StatusMessages().size(), 1u);
  EXPECT_EQ(StatusMessages()[0].wParam & 7, 1u);
  EXPECT_EQ(port.ModemImage() & 0x11, 0x11) << "line state and its change bit";
}

// A line event's handler runs before the pass reads the driver; what the
// sender does meanwhile (drop CTS, then send a byte) must still be seen.
TEST_F(Triggers, ALineChangeDuringALineEventsHandlerShowsWithTheBytesReadAfterIt) {
  const int handle = port.AddStatusTrigger(comm::kStatusModem);
  port.SetStatusTrigger(handle, 0x10, true);
  bool changedAgain = false;
  transport.Listen(kPortWindow, [&](const Message& m) {
    if (m.message != comm::kStatusMessage) return;
    port.SetStatusTrigger(handle, 0x10, true);
    if (changedAgain) return;
    changedAgain = true;
    port.modemStatus = 0;  // while the handler runs: CTS drops, and a byte follows
    port.Feed("y");
  });
  port.modemStatus = 0x10;
  port.DispatchPass(true, 0x08);  // CTS event
  ASSERT_EQ(StatusMessages().size(), 2u) << "the rise, then the fall";
  EXPECT_EQ(port.ModemImage() & 0x10, 0) << "CTS is down";
}

TEST_F(Triggers, OutputSentFiresOncePerSend) {
  const int handle = port.AddStatusTrigger(comm::kStatusOutSent);
  port.SetStatusTrigger(handle, 0, true);
  port.DispatchPass(false, 0);
  EXPECT_TRUE(StatusMessages().empty());
  port.SendBlock({reinterpret_cast<const std::uint8_t*>("x"), 1});
  port.DispatchPass(false, 0);
  port.DispatchPass(false, 0);
  EXPECT_EQ(StatusMessages().size(), 1u);
}

std::uint32_t fakeNow = 0;

TEST_F(Triggers, TimerFiresOnceWhenItsTicksHavePassed) {
  comm::SetTickClock([] { return fakeNow; });
  fakeNow = 1000;
  const int handle = port.AddTimerTrigger();
  ASSERT_EQ(port.SetTimerTrigger(handle, 2, true), 0);
  fakeNow += 109;
  port.DispatchPass(false, 0);
  fakeNow += 1;
  port.DispatchPass(false, 0);
  port.DispatchPass(false, 0);
  comm::SetTickClock(nullptr);
  int timers = 0;
  for (const Message& m : transport.messages) {
    if (m.message == comm::kTimerMessage && m.window == kPortWindow) {
      ++timers;
      EXPECT_EQ(m.wParam, static_cast<std::uintptr_t>(handle));
    }
  }
  EXPECT_EQ(timers, 1);
  EXPECT_FALSE(port.TimerTriggers()[0].active);
}

TEST_F(Triggers, HandleErrors) {
  EXPECT_EQ(port.RemoveTrigger(1), 0);
  EXPECT_EQ(port.LengthTrigger(), 0u);
  EXPECT_EQ(port.RemoveTrigger(0), codes::kBadTriggerHandle);
  EXPECT_EQ(port.RemoveTrigger(64), codes::kBadTriggerHandle);
  EXPECT_EQ(port.AddStatusTrigger(6), codes::kBadArgument);
  const int timer = port.AddTimerTrigger();
  EXPECT_EQ(port.SetStatusTrigger(timer, 1, true), codes::kBadTriggerHandle);
  EXPECT_EQ(port.SetTimerTrigger(timer + 1, 1, true), codes::kBadTriggerHandle);
}

TEST_F(Triggers, RemovingTheLengthTriggerSwitchesAvailOff) {
  TerminalTakes(SIZE_MAX);
  port.RemoveTrigger(1);
  Arrive("abc");
  EXPECT_TRUE(AvailCounts(kTerminal).empty());
}

TEST_F(Triggers, AfterTheCounterRunsOutFreeHandlesAreReusedWithoutDuplicates) {
  EXPECT_EQ(port.AddTimerTrigger(), 8);
  for (int i = 2; i <= 4095; ++i) ASSERT_EQ(port.AddTimerTrigger(), 8 * i);
  ASSERT_EQ(port.RemoveTrigger(8), 0);
  ASSERT_EQ(port.RemoveTrigger(16), 0);
  EXPECT_EQ(port.AddStatusTrigger(3), 8 | 3);
  EXPECT_EQ(port.AddStatusTrigger(3), 16 | 3) << "base 8 is taken by the status trigger 11";
  EXPECT_EQ(port.AddTimerTrigger(), 4096 * 8);
}

TEST(TriggerSets, SaveAndRestoreAcrossACloseKeepHandlesValidAndUnique) {
  test_support::TApdFakeDispatcher port;
  ASSERT_EQ(port.OpenPort("\\\\.\\COM1", 9600, 0, 8, 1, 4096, 4096, true, true), 0);
  port.SetLengthTrigger(1);
  const int timer = port.AddTimerTrigger();
  const int status = port.AddStatusTrigger(comm::kStatusOutSent);
  comm::SavedTriggerSet saved;
  port.SaveTriggers(saved);
  port.ClosePort();
  ASSERT_EQ(port.OpenPort("\\\\.\\COM1", 9600, 0, 8, 1, 4096, 4096, true, true), 0);
  EXPECT_TRUE(port.TimerTriggers().empty());
  port.RestoreTriggers(saved);
  EXPECT_EQ(port.LengthTrigger(), 1u);
  EXPECT_EQ(port.SetTimerTrigger(timer, 1, true), 0);
  EXPECT_EQ(port.SetStatusTrigger(status, 0, true), 0);
  const int fresh = port.AddTimerTrigger();
  EXPECT_NE(fresh, timer);
  EXPECT_NE(fresh, status & ~7);
  EXPECT_EQ(saved.timers.size(), 1u) << "the saved set stays intact";
}

TEST(LockOrder, TakingALowerLockWhileHoldingAHigherOneIsReported) {
  static int breaches;
  breaches = 0;
  comm::SetLockOrderViolationHandler([](comm::LockLevel, comm::LockLevel) { ++breaches; });
  comm::OrderedLock in(comm::LockLevel::kInput), state(comm::LockLevel::kState),
      out(comm::LockLevel::kOutput);
  { comm::OrderedGuard a(in), b(state), c(out), again(state); }
  EXPECT_EQ(breaches, 0) << "the order and re-entry are fine";
  { comm::OrderedGuard a(out), b(state); }
  comm::SetLockOrderViolationHandler(nullptr);
  EXPECT_EQ(breaches, 1);
}

}  // namespace

namespace {

std::uint32_t failingNow = 0;

TEST_F(Notifications, ADriverThatKeepsFailingMarksTheLineFailedAndTellsThePortOnce) {
  comm::SetTickClock([] { return failingNow; });
  failingNow = 5000;
  TerminalTakes(SIZE_MAX);
  Arrive("last words");
  port.statusError = 1167;  // the device is not connected
  for (std::uint32_t at : {5000u, 5400u, 5800u}) {
    failingNow = at;
    port.DispatchPass(false, 0);
  }
  EXPECT_EQ(port.LineFailure(), 0u) << "three failures, but not yet over a second";
  port.statusError = 0;
  failingNow = 6000;
  port.DispatchPass(false, 0);  // one success starts the count again
  port.statusError = 1167;
  for (std::uint32_t at : {6100u, 6600u, 7000u}) {
    failingNow = at;
    port.DispatchPass(false, 0);
    EXPECT_TRUE(transport.posted.empty());
  }
  failingNow = 7100;
  port.DispatchPass(false, 0);
  EXPECT_EQ(port.LineFailure(), 1167u);
  ASSERT_EQ(transport.posted.size(), 1u);
  EXPECT_EQ(transport.posted[0].window, kPortWindow) << "the port's own window, first listener";
  EXPECT_EQ(transport.posted[0].message, comm::kLineFailedMessage);
  EXPECT_EQ(transport.posted[0].wParam, 1167u);
  EXPECT_EQ(comm::DispatcherHandleOf(transport.posted[0].lParam), port.Handle());
  port.DispatchPass(false, 0);
  EXPECT_EQ(transport.posted.size(), 1u) << "told once";
  EXPECT_EQ(port.SendBlock({reinterpret_cast<const std::uint8_t*>("x"), 1}), codes::kPutBlockFail)
      << "a failed line takes nothing to send";
  EXPECT_EQ(terminalGot, "last words");
  comm::SetTickClock(nullptr);
}

}  // namespace
