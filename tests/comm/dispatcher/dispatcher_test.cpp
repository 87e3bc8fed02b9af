// Receive ring, output, line state, handles and opening of the dispatcher,
// over the in-memory driver.
#include <gtest/gtest.h>

#include <memory>

#include "comm/base/error_codes.h"
#include "tests/comm/dispatcher/dispatcher_test_support.h"

namespace {

using comm_test::OpenedFake;
using comm_test::Pattern;
using test_support::TApdFakeDispatcher;
namespace codes = comm::codes;

using DispatcherRing = OpenedFake;

TEST_F(DispatcherRing, FetchWrapsFromTheRingsEndToItsStart) {
  port.PlaceReceiveRing(8190);
  port.Feed("wxyz");
  ASSERT_TRUE(port.FillReceiveRing());
  EXPECT_EQ(port.readRequests, (std::vector<std::uint32_t>{2, 2}));
  EXPECT_EQ(port.InHead(), 2u);
  std::uint8_t c;
  for (char expected : std::string("wxyz")) {
    ASSERT_EQ(port.FetchChar(c), 0);
    EXPECT_EQ(c, expected);
  }
  EXPECT_EQ(port.InTail(), 2u);
  EXPECT_EQ(port.FetchChar(c), codes::kBufferIsEmpty);
}

TEST_F(DispatcherRing, FullRingReportsEverythingWaitingAndOneFetchClearsFull) {
  port.Feed(Pattern(8192));
  ASSERT_TRUE(port.FillReceiveRing());
  EXPECT_TRUE(port.RingFull());
  EXPECT_EQ(port.InHead(), port.InTail());
  EXPECT_EQ(port.ReceivedCount(), 8192u);
  std::uint8_t c;
  ASSERT_EQ(port.FetchChar(c), 0);
  EXPECT_FALSE(port.RingFull());
  EXPECT_EQ(port.ReceivedCount(), 8191u);
}

TEST_F(DispatcherRing, PeekAheadShowsWithoutTaking) {
  port.Feed("abc");
  port.FillReceiveRing();
  std::uint8_t peeked, fetched;
  ASSERT_EQ(port.PeekAhead(peeked, 1), 0);
  ASSERT_EQ(port.FetchChar(fetched), 0);
  EXPECT_EQ(peeked, fetched);
  ASSERT_EQ(port.PeekAhead(peeked, 2), 0);
  EXPECT_EQ(peeked, 'c');
  EXPECT_EQ(port.PeekAhead(peeked, 3), codes::kBufferIsEmpty);
  EXPECT_EQ(port.PeekAhead(peeked, 0), codes::kBufferIsEmpty);
  EXPECT_EQ(port.ReceivedCount(), 2u);
}

struct FillCase {
  const char* name;
  std::uint32_t position;   // head and tail of the empty ring
  std::uint32_t alreadyIn;  // bytes put in and left untaken first
  std::uint32_t waiting;    // then waiting in the driver
  std::vector<std::uint32_t> requests;
  std::uint32_t head;
  bool overflowing;
  std::uint32_t leftInDriver;
};

class FillReceiveRingTable : public OpenedFake, public ::testing::WithParamInterface<FillCase> {};

TEST_P(FillReceiveRingTable, ReadsAtMostTwoPiecesIntoTheFreeSpace) {
  const FillCase& c = GetParam();
  port.PlaceReceiveRing(c.position);
  if (c.alreadyIn > 0) {
    port.Feed(Pattern(c.alreadyIn));
    port.FillReceiveRing();
    port.readRequests.clear();
  }
  port.Feed(Pattern(c.waiting));
  port.FillReceiveRing();
  EXPECT_EQ(port.readRequests, c.requests);
  EXPECT_EQ(port.InHead(), c.head);
  EXPECT_EQ(port.Overflowing(), c.overflowing);
  EXPECT_EQ(port.input.size(), c.leftInDriver);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FillReceiveRingTable,
    ::testing::Values(FillCase{"EmptyAt8000", 8000, 0, 500, {192, 308}, 308, false, 0},
                      FillCase{"TenFreeHundredWaiting", 0, 8182, 100, {10}, 0, true, 90},
                      FillCase{"FullRingReadsNothing", 0, 8192, 5, {}, 0, false, 5},
                      FillCase{"FillsUpToTheTailAcrossTheEnd", 100, 8000, 292, {92, 100}, 100, true, 100},
                      FillCase{"ExactlyFillsAcrossTheEnd", 4000, 0, 8192, {4192, 4000}, 4000, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DispatcherRing, PurgeInputOutsideANotificationEmptiesTheRing) {
  port.Feed(Pattern(8192));
  port.FillReceiveRing();
  port.Feed("more");
  EXPECT_EQ(port.PurgeInput(), 0);
  EXPECT_EQ(port.ReceivedCount(), 0u);
  EXPECT_FALSE(port.RingFull());
  EXPECT_TRUE(port.input.empty());
}

using DispatcherOutput = OpenedFake;

struct SendCase {
  const char* name;
  std::size_t queuedFirst;
  std::size_t length;
  int result;
  std::size_t usedAfter;
};

class SendBlockTable : public OpenedFake, public ::testing::WithParamInterface<SendCase> {};

TEST_P(SendBlockTable, FitsOrIsRefusedWhole) {
  const SendCase& c = GetParam();
  port.autoDrain = false;
  if (c.queuedFirst > 0) {
    ASSERT_EQ(port.SendBlock(std::vector<std::uint8_t>(c.queuedFirst, 'q')), 0);
  }
  const std::vector<std::uint8_t> block(c.length, 'b');
  EXPECT_EQ(port.SendBlock(block), c.result);
  EXPECT_EQ(port.OutputUsed(), c.usedAfter);
  EXPECT_EQ(port.OutputFree(), 4096u - c.usedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SendBlockTable,
    ::testing::Values(SendCase{"Empty", 0, 0, 0, 0}, SendCase{"Small", 0, 10, 0, 10},
                      SendCase{"ExactFreeSpaceFillsTheRing", 96, 4000, 0, 4096},
                      SendCase{"OneByteTooManyIsRefused", 96, 4001, codes::kOutputBufferTooSmall, 96},
                      SendCase{"LargerThanTheRing", 0, 5000, codes::kOutputBufferTooSmall, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DispatcherOutput, SentBytesReachTheLineInOrder) {
  const std::string text = "PRINT 12.50\r\n";
  ASSERT_EQ(port.SendBlock({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}), 0);
  ASSERT_EQ(port.SendBlock({reinterpret_cast<const std::uint8_t*>("OK"), 2}), 0);
  EXPECT_EQ(port.sent, text + "OK");
}

TEST_F(DispatcherOutput, WriteReportingNoBytesGivesPutBlockFail) {
  port.writeFails = true;
  EXPECT_EQ(port.SendBlock({reinterpret_cast<const std::uint8_t*>("x"), 1}), codes::kPutBlockFail);
}

TEST_F(DispatcherOutput, SendKeepsLineErrorsRecordedEarlier) {
  port.pendingLineErrors = comm::kLineOverrun | comm::kLineBreak;
  port.OutputUsed();  // the status read records them
  ASSERT_EQ(port.SendBlock({reinterpret_cast<const std::uint8_t*>("x"), 1}), 0);
  EXPECT_EQ(port.LineErrors(), comm::kLineOverrun | comm::kLineBreak);
  port.pendingLineErrors = comm::kLineParity;  // read by the send itself
  ASSERT_EQ(port.SendBlock({reinterpret_cast<const std::uint8_t*>("y"), 1}), 0);
  EXPECT_EQ(port.LineErrors(), comm::kLineOverrun | comm::kLineBreak | comm::kLineParity);
}

using DispatcherLineState = OpenedFake;

TEST_F(DispatcherLineState, NextLineErrorReportsInOrderAndBreakStaysUntilSeen) {
  port.pendingLineErrors = comm::kLineOverrun | comm::kLineBreak;
  port.OutputUsed();
  EXPECT_EQ(port.NextLineError(), 2);
  EXPECT_EQ(port.NextLineError(), 9);
  EXPECT_EQ(port.NextLineError(), 9);
  EXPECT_TRUE(port.BreakSeen());
  EXPECT_FALSE(port.BreakSeen());
  EXPECT_EQ(port.NextLineError(), 0);
}

TEST_F(DispatcherLineState, NextLineErrorCodesForEachBit) {
  const std::pair<std::uint32_t, int> cases[] = {{1, 1},  {2, 2},     {4, 3},    {8, 4},
                                                 {16, 9}, {1 | 8, 1}, {4 | 8, 3}};
  for (auto [bits, code] : cases) {
    port.pendingLineErrors = bits;
    port.OutputUsed();
    EXPECT_EQ(port.NextLineError(), code) << "bits " << bits;
    port.BreakSeen();
    while (port.NextLineError() != 0) {
    }
  }
}

TEST_F(DispatcherLineState, DriveRtsUnderHandshakeIsRefusedAndKeepsTheLevel) {
  ASSERT_EQ(port.SetHardwareFlow(256, 200, 2), 0);
  port.escapes.clear();
  EXPECT_EQ(port.DriveRts(false), 1);
  EXPECT_TRUE(port.RtsLevel());
  EXPECT_TRUE(port.escapes.empty());
  EXPECT_EQ(port.DriveDtr(false), 0);
  EXPECT_EQ(port.escapes, (std::vector<int>{6}));
}

TEST_F(DispatcherLineState, WithoutTheEscapeTheLevelGoesWithTheLineSettings) {
  port.escapeFails = true;
  port.statesWritten.clear();
  EXPECT_EQ(port.DriveDtr(false), 0);
  ASSERT_EQ(port.statesWritten.size(), 1u);
  EXPECT_EQ(port.statesWritten[0].DtrControl, comm::kDtrControlDisable);
  port.setStateResult = -50;
  EXPECT_EQ(port.DriveRts(false), codes::kBadArgument) << "neither way worked";
}

TEST_F(DispatcherLineState, EachModemQueryClearsOnlyItsOwnChangeBit) {
  port.modemStatus = 0x10 | 0x20 | 0x80;  // CTS, DSR, DCD up
  port.DispatchPass(true, 0x8 | 0x10 | 0x20);
  EXPECT_EQ(port.ModemImage(), 0xB0 | 0x1 | 0x2 | 0x8);
  EXPECT_TRUE(port.CtsOn());
  EXPECT_EQ(port.ModemImage(), 0xB0 | 0x2 | 0x8);
  EXPECT_TRUE(port.DsrOn());
  EXPECT_EQ(port.ModemImage(), 0xB0 | 0x8);
  EXPECT_TRUE(port.DcdOn());
  EXPECT_EQ(port.ModemImage(), 0xB0);
  EXPECT_FALSE(port.RingSeenSince());
}

TEST(DispatcherList, FreedHandleIsReusedAndTheListShrinksFromTheEnd) {
  const std::size_t before = comm::DispatcherListSize();
  auto first = std::make_unique<TApdFakeDispatcher>();
  auto second = std::make_unique<TApdFakeDispatcher>();
  const int firstHandle = first->Handle();
  EXPECT_EQ(second->Handle(), firstHandle + 1);
  first.reset();
  auto third = std::make_unique<TApdFakeDispatcher>();
  EXPECT_EQ(third->Handle(), firstHandle);
  {
    auto lock = comm::LockDispatcherList();
    EXPECT_EQ(comm::FindDispatcher(firstHandle), third.get());
    EXPECT_EQ(comm::FindDispatcher(-1), nullptr);
    EXPECT_EQ(comm::FindDispatcher(1000), nullptr);
  }
  second.reset();
  EXPECT_EQ(comm::DispatcherListSize(), before + 1);
  third.reset();
  EXPECT_EQ(comm::DispatcherListSize(), before);
}

struct OpenFailure {
  const char* name;
  int openResult;
  int setupQueuesResult;
  int setStateResult;
  int expected;
};

class OpenFailureTable : public ::testing::TestWithParam<OpenFailure> {};

TEST_P(OpenFailureTable, FailsWithTheCodeAndLeavesNothingBehind) {
  const OpenFailure& c = GetParam();
  TApdFakeDispatcher port;
  port.openResult = c.openResult;
  port.setupQueuesResult = c.setupQueuesResult;
  port.setStateResult = c.setStateResult;
  EXPECT_EQ(port.OpenPort("\\\\.\\COM3", 9600, 0, 8, 1, 4096, 4096, true, true), c.expected);
  EXPECT_FALSE(port.DeviceOpen());
  EXPECT_FALSE(port.BuffersAllocated());
  EXPECT_EQ(port.devicesOpen, 0);
  EXPECT_EQ(port.startThreadsCalls, 0);
  std::uint8_t c8;
  EXPECT_EQ(port.FetchChar(c8), codes::kBufferIsEmpty);
  EXPECT_EQ(port.SendBlock({reinterpret_cast<const std::uint8_t*>("x"), 1}), codes::kCommNotOpen);
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenFailureTable,
                         ::testing::Values(OpenFailure{"EventsNotCreated", -8, 0, 0, -8},
                                           OpenFailure{"NoSuchDevice", -2, 0, 0, -2},
                                           OpenFailure{"AccessDenied", -5, 0, 0, -5},
                                           OpenFailure{"QueuesRefused", 0, -87, 0, -87},
                                           OpenFailure{"LineSettingsRefused", 0, 0, -87, -87}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DispatcherOpen, WritesTheWorkingBlockWithTheOpenFlagsAndStartsThreads) {
  TApdFakeDispatcher port;
  port.driverBlock.Binary = false;
  port.driverBlock.ParityCheck = true;
  port.driverBlock.NullStrip = true;
  port.driverBlock.DsrSensitivity = true;
  port.driverBlock.BaudRate = 9600;  // equal settings are written anyway
  ASSERT_EQ(port.OpenPort("\\\\.\\COM3", 9600, 0, 8, 1, 4096, 2048, true, false), 0);
  ASSERT_EQ(port.statesWritten.size(), 1u);
  const comm::LineSettingsBlock& block = port.statesWritten[0];
  EXPECT_EQ(block.BaudRate, 9600u);
  EXPECT_EQ(block.ByteSize, 8);
  EXPECT_EQ(block.Parity, comm::kNoParity);
  EXPECT_EQ(block.StopBits, comm::kOneStopBit);
  EXPECT_TRUE(block.Binary);
  EXPECT_FALSE(block.ParityCheck);
  EXPECT_FALSE(block.NullStrip);
  EXPECT_FALSE(block.DsrSensitivity);
  EXPECT_TRUE(block.TxContinueOnXoff);
  EXPECT_EQ(block.DtrControl, comm::kDtrControlEnable);
  EXPECT_EQ(block.RtsControl, comm::kRtsControlDisable);
  EXPECT_EQ(port.startThreadsCalls, 1);
  EXPECT_EQ(port.OutSize(), 2048u);
  EXPECT_EQ(port.OutputFree(), 2048u);
  EXPECT_EQ(port.OpenPort("\\\\.\\COM3", 9600, 0, 8, 1, 4096, 2048, true, false), codes::kAlreadyOpen);
}

TEST(DispatcherOpen, CloseStopsThreadsClosesTheDeviceAndFreesTheRings) {
  TApdFakeDispatcher port;
  ASSERT_EQ(port.OpenPort("\\\\.\\COM3", 9600, 0, 8, 1, 4096, 4096, true, true), 0);
  port.Feed("left in driver");
  port.ClosePort();
  EXPECT_EQ(port.stopThreadsCalls, 1);
  EXPECT_EQ(port.devicesOpen, 0);
  EXPECT_FALSE(port.BuffersAllocated());
  EXPECT_FALSE(port.ThreadsRunning());
}

}  // namespace
