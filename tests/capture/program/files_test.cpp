#include "capture/program/files.h"

#include <gtest/gtest.h>

#include "tests/capture/program/fakes.h"

namespace {

using capture::testing::FakeFiles;

TEST(CaptureFileName, TakesTheFirstFreeCounter) {
  FakeFiles files;
  EXPECT_EQ(capture::NextCaptureFileName("C:\\shop\\", "12/8/2026", files), "C:\\shop\\12_8_2026_1.txt");
  files.sizes["C:\\shop\\12_8_2026_1.txt"] = 5;
  files.sizes["C:\\shop\\12_8_2026_2.txt"] = 0;
  EXPECT_EQ(capture::NextCaptureFileName("C:\\shop\\", "12/8/2026", files), "C:\\shop\\12_8_2026_3.txt");
  files.sizes.erase("C:\\shop\\12_8_2026_2.txt");
  files.sizes["C:\\shop\\12_8_2026_3.txt"] = 0;
  EXPECT_EQ(capture::NextCaptureFileName("C:\\shop\\", "12/8/2026", files), "C:\\shop\\12_8_2026_2.txt")
      << "a gap is reused";
}

TEST(CaptureFileName, EveryCharacterAFileNameCannotHoldBecomesUnderscore) {
  EXPECT_EQ(capture::DateForFileName("12/8/2026"), "12_8_2026");
  EXPECT_EQ(capture::DateForFileName("08.12.2026"), "08.12.2026");
  EXPECT_EQ(capture::DateForFileName("2026-12-08"), "2026-12-08");
  EXPECT_EQ(capture::DateForFileName("d\\M:y*?\"<>|\t"), "d_M_y_______");
}

struct OpenNameCase {
  const char* chosen;
  bool exists;
  const char* captured;
};

class OpenedCaptureNameTest : public ::testing::TestWithParam<OpenNameCase> {};

TEST_P(OpenedCaptureNameTest, AddsTxtOnlyToNewNamesWithoutIt) {
  EXPECT_EQ(capture::OpenedCaptureName(GetParam().chosen, GetParam().exists), GetParam().captured);
}

INSTANTIATE_TEST_SUITE_P(Names, OpenedCaptureNameTest,
                         ::testing::Values(OpenNameCase{"daily", false, "daily.txt"},
                                           OpenNameCase{"daily.TXT", false, "daily.TXT"},
                                           OpenNameCase{"daily.txt", false, "daily.txt"},
                                           OpenNameCase{"daily.log", false, "daily.log.txt"},
                                           OpenNameCase{"daily.log", true, "daily.log"},
                                           OpenNameCase{"txt", false, "txt.txt"}));

TEST(CaptureLimit, SevenHundredThousandBytesIsStillRoom) {
  EXPECT_FALSE(capture::ExceedsCaptureLimit(700000));
  EXPECT_TRUE(capture::ExceedsCaptureLimit(700001));
}

TEST(ProgramFolder, KeepsTheTrailingBackslash) {
  EXPECT_EQ(capture::ProgramFolder("C:\\Program Files\\Tallimo\\Tallimo.exe"),
            "C:\\Program Files\\Tallimo\\");
  EXPECT_EQ(capture::ProgramFolder("Tallimo.exe"), "");
}

}  // namespace
