// The trace and the dispatch log: ring behaviour, the file texts pinned as
// golden files, and the Tracing/Logging property transitions.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "comm/base/exceptions.h"
#include "comm/dispatcher/trace.h"
#include "comm/base/error_codes.h"
#include "comm/dispatcher/trace_log_state.h"
#include "tests/comm/dispatcher/dispatcher_test_support.h"
#include "tests/comm/base/str0_test_support.h"
#include "tests/support/files.h"

namespace {

using comm::TraceRing;

std::string Golden(const std::string& name) {
  std::ifstream in(std::string(COMM_TEST_DIR) + "/dispatch_golden/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void AddAll(TraceRing& trace, std::uint8_t kind, const std::string& bytes) {
  for (char c : bytes) trace.Add(kind, static_cast<std::uint8_t>(c));
}

TEST(Trace, SizeFourAfterSixBytesHoldsTheLastFour) {
  TraceRing trace;
  ASSERT_EQ(trace.Start(4), 0);
  AddAll(trace, 'R', "abcdef");
  EXPECT_EQ(trace.Render(false), Golden("trace_size4.trc"));
}

TEST(Trace, BlocksOfEachDirectionAreApartByAnEmptyLine) {
  TraceRing trace;
  ASSERT_EQ(trace.Start(100), 0);
  AddAll(trace, 'T', "AT\r");
  AddAll(trace, 'R', "OK\r\n");
  AddAll(trace, 'T', "x");
  EXPECT_EQ(trace.Render(false), Golden("trace_blocks.trc"));
  EXPECT_EQ(trace.Render(true), Golden("trace_blocks_hex.trc"));
}

TEST(Trace, ByteRenderings) {
  const struct {
    std::uint8_t byte;
    bool hex;
    const char* shown;
  } cases[] = {{' ', true, "[20]"},  {' ', false, " "},   {0x0D, true, "[0D]"},  {0x0D, false, "[13]"},
               {5, false, "[5]"},    {31, false, "[31]"}, {200, false, "[200]"}, {'~', true, "~"},
               {0x7F, true, "[7F]"}, {'!', true, "!"}};
  for (const auto& c : cases) EXPECT_EQ(comm::RenderedTraceByte(c.byte, c.hex), c.shown) << int(c.byte);
}

TEST(Trace, SeventyEightColumnsFitOnALineAndTheNextCharacterWraps) {
  TraceRing trace;
  ASSERT_EQ(trace.Start(200), 0);
  AddAll(trace, 'R', std::string(78, 'a'));
  EXPECT_EQ(trace.Render(false), "Receive: \r\n" + std::string(78, 'a'));
  trace.Add('R', 'b');
  EXPECT_EQ(trace.Render(false), "Receive: \r\n" + std::string(78, 'a') + "\r\nb");
}

TEST(Trace, SizesOutsideTheLimitsAreRefused) {
  TraceRing trace;
  EXPECT_EQ(trace.Start(0), comm::codes::kBadArgument);
  EXPECT_EQ(trace.Start(4000001), comm::codes::kBadArgument);
  EXPECT_FALSE(trace.On());
  EXPECT_EQ(trace.Start(4000000), 0);
}

TEST(DispatchLog, FullRingDropsTheOldestEntriesWhole) {
  comm::DispatchLogRing log;
  ASSERT_EQ(log.Start(64), 0);
  const std::uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  log.Add(1, 1, 10, 1, eight);
  log.Add(1, 1, 20, 2, eight);
  log.Add(1, 1, 30, 3, eight);  // 3 x 24 bytes do not fit in 64
  auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].value, 2u);
  EXPECT_EQ(entries[1].value, 3u);
  EXPECT_EQ(entries[1].data, std::vector<std::uint8_t>(eight, eight + 8));
  EXPECT_EQ(log.FreeBytes(), 64u - 48u);
}

TEST(DispatchLog, EntryLargerThanTheRingIsNotRecordedAndNothingIsLost) {
  comm::DispatchLogRing log;
  ASSERT_EQ(log.Start(64), 0);
  log.Add(9, 16, 0, 7, {});
  const std::vector<std::uint8_t> big(60, 'x');  // data fits, header and data do not
  log.Add(1, 2, 1, 60, big);
  const std::vector<std::uint8_t> huge(100, 'y');
  log.Add(1, 2, 2, 100, huge);
  auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].value, 7u);
  EXPECT_EQ(log.FreeBytes(), 48u);
}

TEST(DispatchLog, EntriesWrapAroundTheRingsEnd) {
  comm::DispatchLogRing log;
  ASSERT_EQ(log.Start(50), 0);
  for (std::uint32_t i = 0; i < 20; ++i) {
    const std::uint8_t data[3] = {std::uint8_t(i), std::uint8_t(i + 1), std::uint8_t(i + 2)};
    log.Add(1, 1, i, i, data);
  }
  auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].value, 19u);
  EXPECT_EQ(entries[1].data, (std::vector<std::uint8_t>{19, 20, 21}));
}

TEST(DispatchLog, TimeTextKeepsSecondsRightPastTwoHoursFortySix) {
  EXPECT_EQ(comm::LogTimeText(0), "0000.000");
  EXPECT_EQ(comm::LogTimeText(123456), "0123.456");
  EXPECT_EQ(comm::LogTimeText(9999999), "9999.999");
  EXPECT_EQ(comm::LogTimeText(10000000), "10000.000");
}

class LogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    module.Add("CVL_ERROR_STRINGS_ENGLISH", comm_test::GeneratedTable("cvl_error_strings_english.str0"));
    comm::StartErrorTexts(module, nullptr);
  }
  void TearDown() override { comm::FinishErrorTexts(); }
  comm::MemoryResourceModule module;
};

TEST_F(LogFile, EntriesAreWrittenWithTheirWordsAndIndentedData) {
  comm::DispatchLogRing log;
  ASSERT_EQ(log.Start(4096), 0);
  log.Add(9, 16, 0, 1, {});
  const std::uint8_t type = 3;
  log.Add(5, 15, 123456, 0x13, {&type, 1});
  const std::string pattern = comm_test::Pattern(100);
  log.Add(1, 2, 10000000, 100, {reinterpret_cast<const std::uint8_t*>(pattern.data()), pattern.size()});
  const std::string text =
      comm::RenderLog(log.Entries(), false, {"GCC test build", "Windows NT 6.1 Service Pack 1"},
                      [](std::uint32_t id) { return comm::ErrorText(static_cast<int>(id)); });
  EXPECT_EQ(text, Golden("log_entries.log"));
}

std::uint32_t fakeNow = 0;

TEST_F(LogFile, DispatcherWritesItsLogAndTraceFilesAndSwitchesThemOff) {
  comm::SetTickClock([] { return fakeNow; });
  fakeNow = 5000;
  test_support::TApdFakeDispatcher port;
  ASSERT_EQ(port.OpenPort("\\\\.\\COM1", 9600, 0, 8, 1, 4096, 4096, true, true), 0);
  ASSERT_EQ(port.StartLog(65500), 0);
  ASSERT_EQ(port.StartTrace(1000), 0);
  fakeNow += 1500;
  port.Feed("hi");
  port.FillReceiveRing();
  std::uint8_t c;
  while (port.FetchChar(c) == 0) {
  }
  port.SendBlock({reinterpret_cast<const std::uint8_t*>("ok"), 2});
  comm::SetTickClock(nullptr);
  std::remove("dispatcher_test.trc");
  std::remove("dispatcher_test.log");
  EXPECT_EQ(port.DumpTrace("dispatcher_test.trc", false, false), 0);
  EXPECT_EQ(test_support::ReadFileText("dispatcher_test.trc"), "Receive: \r\nhi\r\n\r\nTransmit: \r\nok");
  EXPECT_FALSE(port.TraceOn());
  EXPECT_EQ(port.DumpLog("dispatcher_test.log", false, false), 0);
  const std::string log = test_support::ReadFileText("dispatcher_test.log");
  EXPECT_NE(log.find("\r\n0001.500  Dispatch  ReadCom       00000002  hi\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\r\n0001.500  Dispatch  WriteCom      00000002  ok\r\n"), std::string::npos) << log;
  EXPECT_FALSE(port.LogOn());
  EXPECT_EQ(port.DumpLog("dispatcher_test.log", false, false), 0) << "nothing recorded: no file";
  EXPECT_EQ(test_support::ReadFileText("dispatcher_test.log"), log);
}

TEST(DumpFile, AppendAddsAndAFolderThatIsMissingGivesAnError) {
  std::remove("append_test.txt");
  EXPECT_EQ(comm::WriteDumpFile("append_test.txt", "one", false), 0);
  EXPECT_EQ(comm::WriteDumpFile("append_test.txt", "two", true), 0);
  EXPECT_EQ(test_support::ReadFileText("append_test.txt"), "onetwo");
  EXPECT_EQ(comm::WriteDumpFile("append_test.txt", "three", false), 0);
  EXPECT_EQ(test_support::ReadFileText("append_test.txt"), "three");
  EXPECT_GT(comm::WriteDumpFile("no_such_folder/x.txt", "x", false), 0);
}

// ---------------------------------------------------------------- property transitions

struct RecordingActions : comm::TraceLogActions {
  std::string done;
  void Start() override { done += "start;"; }
  void Stop() override { done += "stop;"; }
  void Resume() override { done += "resume;"; }
  void Pause() override { done += "pause;"; }
  void Dump(bool append) override { done += append ? "append;" : "dump;"; }
  void Clear() override { done += "clear;"; }
};

struct Transition {
  comm::TTraceLogState current, wanted;
  bool open;
  const char* actions;
  comm::TTraceLogState result;
};

TEST(TraceLogState, TransitionTable) {
  using enum comm::TTraceLogState;
  const Transition table[] = {
      {tlOff, tlDump, true, "", tlOff},
      {tlOn, tlDump, true, "resume;dump;", tlOff},
      {tlPause, tlAppend, true, "resume;append;", tlOff},
      {tlOff, tlOn, true, "start;", tlOn},
      {tlPause, tlOn, true, "resume;", tlOn},
      {tlOn, tlOff, true, "stop;", tlOff},
      {tlOn, tlPause, true, "pause;", tlPause},
      {tlOff, tlPause, true, "", tlOff},
      {tlOn, tlClear, true, "clear;", tlOn},
      {tlOff, tlClear, true, "", tlOff},
      {tlOn, tlOn, true, "", tlOn},
      {tlOff, tlOn, false, "", tlOn},
      {tlOn, tlDump, false, "", tlOff},
      {tlOff, tlAppend, false, "", tlOff},
      {tlOff, tlClear, false, "", tlOff},
      {tlOn, tlPause, false, "", tlOff},
  };
  for (const Transition& t : table) {
    RecordingActions actions;
    EXPECT_EQ(comm::ApplyTraceLogState(t.current, t.wanted, t.open, false, actions), t.result)
        << int(t.current) << "->" << int(t.wanted) << " open " << t.open;
    EXPECT_EQ(actions.done, t.actions) << int(t.current) << "->" << int(t.wanted);
  }
}

TEST(TraceLogState, ForceApplyRestartsTheSameValue) {
  RecordingActions actions;
  EXPECT_EQ(
      comm::ApplyTraceLogState(comm::TTraceLogState::tlOn, comm::TTraceLogState::tlOn, true, true, actions),
      comm::TTraceLogState::tlOn);
  EXPECT_EQ(actions.done, "start;");
}

}  // namespace
