#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <limits>
#include <thread>

#include "comm/base/buffer_helpers.h"
#include "comm/base/path_text.h"
#include "comm/base/tick_timer.h"

namespace comm {
namespace {

std::uint32_t fakeNow = 0;
std::uint32_t FakeClock() { return fakeNow; }

class TickTimerTest : public ::testing::Test {
 protected:
  void SetUp() override { SetTickClock(&FakeClock); }
  void TearDown() override { SetTickClock(nullptr); }
};

TEST_F(TickTimerTest, ExpiresAfterItsTicksOf55Milliseconds) {
  fakeNow = 1000;
  TTickTimer timer;
  StartTickTimer(timer, 20);
  fakeNow = 1000 + 20 * 55 - 1;
  EXPECT_FALSE(TickTimerExpired(timer));
  fakeNow = 1000 + 20 * 55;
  EXPECT_TRUE(TickTimerExpired(timer));
}

TEST_F(TickTimerTest, TicksAboveTheCapCountAsTheCap) {
  fakeNow = 5;
  TTickTimer timer;
  StartTickTimer(timer, kMaxTimerTicks + 1000);
  EXPECT_EQ(timer.IntervalMs, static_cast<std::uint32_t>(kMaxTimerTicks) * 55u);
  fakeNow = 5 + kMaxTimerTicks * 55u - 1;
  EXPECT_FALSE(TickTimerExpired(timer));
  fakeNow = 5 + kMaxTimerTicks * 55u;
  EXPECT_TRUE(TickTimerExpired(timer));
}

TEST_F(TickTimerTest, ZeroOrNegativeTicksHaveExpiredAtOnce) {
  fakeNow = 77;
  TTickTimer timer;
  StartTickTimer(timer, 0);
  EXPECT_TRUE(TickTimerExpired(timer));
  StartTickTimer(timer, -5);
  EXPECT_TRUE(TickTimerExpired(timer));
}

// A 20-tick timer started 10 ms before the millisecond count reaches 2^31
// (where a signed count turns negative) or 2^32 (where it starts over) still
// expires 1.1 s later, not weeks later.
TEST_F(TickTimerTest, ExpiresOnTimeAcrossTheWrapOfTheMillisecondCount) {
  for (std::uint64_t wrapAt : {std::uint64_t{1} << 31, std::uint64_t{1} << 32}) {
    SCOPED_TRACE(wrapAt);
    const auto start = static_cast<std::uint32_t>(wrapAt - 10);
    fakeNow = start;
    TTickTimer timer;
    StartTickTimer(timer, 20);
    fakeNow = start + 20;  // just past the wrap
    EXPECT_FALSE(TickTimerExpired(timer));
    fakeNow = start + 1099;
    EXPECT_FALSE(TickTimerExpired(timer));
    fakeNow = start + 1100;
    EXPECT_TRUE(TickTimerExpired(timer));
    fakeNow = start + 5000;
    EXPECT_TRUE(TickTimerExpired(timer));
  }
}

TEST(TickClock, DefaultClockAdvances) {
  SetTickClock(nullptr);
  const std::uint32_t first = TickClockNow();
  TTickTimer timer;
  StartTickTimer(timer, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(80));
  EXPECT_TRUE(TickTimerExpired(timer));
  EXPECT_GE(TickClockNow() - first, 55u);
}

TEST(PathText, WithTrailingBackslash) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""}, {"C:", "C:"}, {"C:\\x", "C:\\x\\"}, {"C:\\x\\", "C:\\x\\"}, {"dir", "dir\\"}};
  for (const auto& [path, expected] : cases) EXPECT_EQ(WithTrailingBackslash(path), expected) << path;
}

TEST(PathText, FileNamePart) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\a\\b.txt", "b.txt"}, {"a:b", "b"}, {"name.ext", "name.ext"}, {"C:\\dir\\", ""}, {"", ""}};
  for (const auto& [path, expected] : cases) EXPECT_EQ(FileNamePart(path), expected) << path;
  EXPECT_EQ(FileNamePart("C:\\" + std::string(300, 'n')), std::string(255, 'n'));
}

TEST(PathText, SubstringFrom) {
  EXPECT_EQ(SubstringFrom("abcdef", 2, 3), "cde");
  EXPECT_EQ(SubstringFrom("abcdef", 4, 10), "ef");
  EXPECT_EQ(SubstringFrom("abcdef", 6, 1), "");
  EXPECT_EQ(SubstringFrom("abcdef", 100, 1), "");
  EXPECT_EQ(SubstringFrom("abcdef", 0, 0), "");
}

TEST(Flags, SetClearAndTest) {
  EXPECT_TRUE(FlagIsSet(0x80000001u, 0x80000000u));
  EXPECT_FALSE(FlagIsSet(0x0Fu, 0xF0u));
  std::uint8_t flags = 0x01;
  SetByteFlags(flags, 0x82);
  EXPECT_EQ(flags, 0x83);
  EXPECT_TRUE(ByteFlagIsSet(flags, 0x80));
  ClearByteFlags(flags, 0x81);
  EXPECT_EQ(flags, 0x02);
  EXPECT_FALSE(ByteFlagIsSet(flags, 0x81));
}

TEST(BufferHelpers, AddOffsetMovesByBytesWhateverThePointedType) {
  std::uint32_t words[4] = {};
  void* start = words;
  EXPECT_EQ(AddOffset(start, 0), start);
  EXPECT_EQ(AddOffset(start, 5), reinterpret_cast<char*>(words) + 5);
  const void* constant = words;
  EXPECT_EQ(AddOffset(constant, 12), static_cast<const void*>(&words[3]));
}

TEST(BufferHelpers, NumberToPCharWritesZeroTerminatedDecimalText) {
  const struct {
    std::int64_t number;
    const char* text;
  } cases[] = {{0, "0"},
               {7, "7"},
               {-42, "-42"},
               {2147483647, "2147483647"},
               {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
               {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"}};
  for (const auto& c : cases) {
    char buffer[kNumberTextSize];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(NumberToPChar(buffer, c.number), buffer);
    EXPECT_STREQ(buffer, c.text) << c.number;
  }
}

}  // namespace
}  // namespace comm
