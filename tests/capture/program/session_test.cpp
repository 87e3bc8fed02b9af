#include "capture/program/session.h"

#include <gtest/gtest.h>

#include "comm/terminal/capture_buffer.h"
#include "tests/capture/program/fakes.h"

namespace {

using namespace capture::testing;
using Log = std::vector<std::string>;

const std::string folder = "C:\\shop\\";

struct SessionTest : ::testing::Test {
  SessionTest() : terminal(files), session(terminal, files, date, notices, folder) {
    session.onFileNameChanged = [this](const std::string& name) { shown = name; };
  }
  FakeFiles files;
  FixedDate date;
  FakeTerminal terminal;
  RecordingNotices notices;
  capture::CaptureSession session;
  std::string shown;
};

TEST_F(SessionTest, NewCaptureFileRestartsCaptureOnTheNextDatedName) {
  files.sizes[folder + "12_8_2026_1.txt"] = 10;
  session.NewCaptureFile();
  EXPECT_EQ(terminal.log, (Log{"off", "file C:\\shop\\12_8_2026_2.txt", "on"}));
  EXPECT_EQ(session.FileName(), folder + "12_8_2026_2.txt");
  EXPECT_EQ(shown, session.FileName());
}

TEST_F(SessionTest, NameLongerThan255IsRefusedBeforeCaptureChanges) {
  const std::string deepFolder = "C:\\" + std::string(250, 'd') + "\\";
  capture::CaptureSession deep(terminal, files, date, notices, deepFolder);
  try {
    deep.NewCaptureFile();
    ADD_FAILURE() << "a name over 255 characters was accepted";
  } catch (const fw::Exception& failure) {
    EXPECT_EQ(failure.Message(), capture::NameNotMadeText(deepFolder + "12_8_2026_1.txt"));
  }
  EXPECT_TRUE(terminal.log.empty());
  EXPECT_EQ(deep.FileName(), "");
}

// Without a dated name there is no capture file: connecting and the timer
// must not start capture on the terminal's own default file.
TEST_F(SessionTest, WithoutANameNothingIsCapturedUntilAFileIsChosen) {
  capture::CaptureSession deep(terminal, files, date, notices, "C:\\" + std::string(250, 'd') + "\\");
  EXPECT_THROW(deep.NewCaptureFile(), fw::Exception);
  try {
    deep.Reopen();
    ADD_FAILURE() << "connecting captured into " << terminal.file;
  } catch (const fw::Exception& failure) {
    EXPECT_EQ(failure.Message(), capture::noCaptureFileText);
  }
  deep.TimerTick();
  EXPECT_TRUE(terminal.log.empty()) << terminal.log.back();
  EXPECT_FALSE(terminal.capturing);
  EXPECT_TRUE(notices.boxes.empty()) << "the user was told once, when the name failed";

  deep.OpenChosen("C:\\shop\\daily.txt");
  EXPECT_EQ(terminal.log.back(), "append");
  terminal.log.clear();
  deep.TimerTick();
  EXPECT_EQ(terminal.log, (Log{"off", "append"}));
}

TEST_F(SessionTest, FileNewAndOpenOnlyShowTheirBoxesWhileConnected) {
  session.FileNew(false);
  EXPECT_FALSE(session.MayOpen(false));
  EXPECT_EQ(notices.boxes, (Log{"info: You must disconnect before selecting New",
                                "info: You must disconnect before selecting Open"}));
  EXPECT_TRUE(terminal.log.empty());
}

TEST_F(SessionTest, FileNewStopsCaptureBeforeClearing) {
  session.FileNew(true);
  EXPECT_EQ(terminal.log, (Log{"off", "clear all", "off", "file C:\\shop\\12_8_2026_1.txt", "on"}));
}

TEST_F(SessionTest, FileOpenStopsCaptureBeforeClearingThePage) {
  session.NewCaptureFile();
  terminal.log.clear();
  session.OpenChosen("C:\\shop\\daily");
  EXPECT_EQ(terminal.log, (Log{"off", "clear page", "file C:\\shop\\daily.txt", "append"}));
  EXPECT_EQ(session.FileName(), "C:\\shop\\daily.txt");
  EXPECT_EQ(shown, "C:\\shop\\daily.txt");
}

struct OpenCase {
  std::uint64_t size;
  bool locked;
  const char* box;  // empty: accepted
};

class FileOpenChecks : public SessionTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(FileOpenChecks, RefusesFullOrBusyFiles) {
  const std::string chosen = "C:\\shop\\old.txt";
  files.sizes[chosen] = GetParam().size;
  if (GetParam().locked) files.locked[chosen] = true;
  session.OpenChosen(chosen);
  if (*GetParam().box) {
    EXPECT_EQ(notices.boxes, Log{GetParam().box});
    EXPECT_TRUE(terminal.log.empty());
  } else {
    EXPECT_TRUE(notices.boxes.empty());
    EXPECT_EQ(session.FileName(), chosen);
    EXPECT_EQ(terminal.log.back(), "append");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FileOpenChecks,
    ::testing::Values(OpenCase{700000, false, ""},
                      OpenCase{700001, false, "error: File selected is too big.  Please select another"},
                      OpenCase{10, true, "error: Cannot Open, File Already in Use"}));

TEST_F(SessionTest, FileOpenRefusesANameLongerThan255) {
  session.OpenChosen("C:\\" + std::string(250, 'n'));
  EXPECT_EQ(notices.boxes, Log{std::string("error: ") + capture::tooLongNameText});
  EXPECT_TRUE(terminal.log.empty());
}

struct TickCase {
  std::uint64_t size;
  bool rolls;
};

class TimerRollover : public SessionTest, public ::testing::WithParamInterface<TickCase> {};

TEST_P(TimerRollover, RollsOverOnlyAboveTheLimit) {
  session.NewCaptureFile();
  files.sizes[session.FileName()] = GetParam().size;
  terminal.log.clear();
  session.TimerTick();
  if (GetParam().rolls) {
    EXPECT_EQ(terminal.log, (Log{"off", "append", "off", "file C:\\shop\\12_8_2026_2.txt", "on"}));
    EXPECT_EQ(notices.boxes, Log{"info: File reached max size. New file is C:\\shop\\12_8_2026_2.txt"});
  } else {
    EXPECT_EQ(terminal.log, (Log{"off", "append"}));
    EXPECT_TRUE(notices.boxes.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TimerRollover,
                         ::testing::Values(TickCase{700000, false}, TickCase{700001, true}));

TEST_F(SessionTest, SizeIsCheckedWhenBytesReachTheDiskToo) {
  session.NewCaptureFile();
  files.sizes[session.FileName()] = 708192;
  session.CheckSize();
  EXPECT_EQ(session.FileName(), folder + "12_8_2026_2.txt");
  EXPECT_EQ(notices.boxes.size(), 1u);
}

// Between timer ticks the file is looked at once half a block has been
// written since the last look, and only one look is pending at a time.
TEST_F(SessionTest, AsksForASizeLookAfterEveryHalfBlockOneAtATime) {
  session.NewCaptureFile();
  EXPECT_FALSE(session.CountWritten(4095));
  EXPECT_TRUE(session.CountWritten(1));
  EXPECT_FALSE(session.CountWritten(comm::captureBlockSize)) << "a look is already pending";
  session.CheckSize();
  EXPECT_FALSE(session.CountWritten(4095)) << "counted afresh from the look";
  EXPECT_TRUE(session.CountWritten(1));
  session.SizeCheckNotQueued();
  EXPECT_TRUE(session.CountWritten(1)) << "asked again when the look could not be queued";
}

TEST_F(SessionTest, UnwritableFolderIsReportedOncePerOutage) {
  session.NewCaptureFile();
  files.sizes[session.FileName()] = 800000;
  terminal.failOpen = true;
  session.TimerTick();
  session.TimerTick();
  session.TimerTick();
  ASSERT_EQ(notices.boxes, Log{"error: Cannot open the capture file"});
  EXPECT_EQ(session.FileName(), folder + "12_8_2026_1.txt") << "no size check while failing";
  files.sizes[session.FileName()] = 10;
  terminal.failOpen = false;
  session.TimerTick();
  terminal.failOpen = true;
  session.TimerTick();
  EXPECT_EQ(notices.boxes.size(), 2u) << "reported again after capture recovered";
  EXPECT_EQ(terminal.log.back(), "append") << "append is retried on every tick";
}

}  // namespace
