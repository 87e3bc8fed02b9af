// A traditional build under Wine: BUILD.INF beside the installer program, the
// loading program found through the user's registry, real files and the
// real version reader; its errors in the application's message boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/dialogs.h"
#include "framework/form.h"
#include "setup/base/extraction_info.h"
#include "tests/setup/build/build_win_support.h"
#include "tests/support/message_box_answers.h"

namespace build_test {
namespace {

using TraditionalBuild = BuildMachine;

TEST_F(TraditionalBuild, BuildInfNamesTheFolderOfASelfExtractingSetup) {
  auto* group = new setup::TInstallFileGroup(&form);
  group->SetName("Program");
  group->SetContainer(install);
  const Bytes data = RandomBytes(100000, 3);
  File("Capture", group, data, 9);
  File("Help", group, "help text", 2);
  auto* tool = File("Tool", install, test_support::ReadFileText(program), 4);
  test_support::WriteFileText(work + "\\prog\\BUILD.INF", work + "\\out\r\nsecond line\r\n");

  fwtest::BoxAnswerer boxes(fw::mrOk);
  ASSERT_TRUE(setup::RunBuild(*install, settings, setup::SystemBuild(), program));
  EXPECT_TRUE(boxes.boxes.empty());

  const std::string out = work + "\\out";
  EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"files.1", "setup.1", "setup.exe"}));
  const std::int64_t loaderSize = FileSizeOf(loader), setupSize = FileSizeOf(out + "\\setup.1"),
                     filesSize = FileSizeOf(out + "\\files.1");
  const setup::TExtractionInfo info = setup::ReadExtractionInfo(out + "\\setup.exe");
  EXPECT_EQ(info.SetupStart, loaderSize);
  EXPECT_EQ(info.SetupEnd, loaderSize + setupSize - 1);
  EXPECT_EQ(info.FilesStart, loaderSize + setupSize);
  EXPECT_EQ(info.FilesEnd, loaderSize + setupSize + filesSize - 1);
  EXPECT_EQ(FileSizeOf(out + "\\setup.exe"), loaderSize + setupSize + filesSize + 56);

  // Both archives inside the self-extractor give back what went in.
  EXPECT_EQ(Extracted(out + "\\setup.exe", program, static_cast<std::int32_t>(info.SetupStart)),
            test_support::ReadFileText(program));
  EXPECT_EQ(
      Extracted(out + "\\setup.exe", work + "\\src\\Capture.dat", static_cast<std::int32_t>(info.FilesStart)),
      data);
  EXPECT_EQ(Extracted(out + "\\files.1", work + "\\src\\Help.dat"), "help text");
  EXPECT_EQ(tool->Version, "3.1.0.7");
  EXPECT_EQ(tool->Size, FileSizeOf(program));
}

TEST_F(TraditionalBuild, WithoutFilesTheTrailerHasNoEmbeddedArchive) {
  fwtest::BoxAnswerer boxes(fw::mrOk);
  setup::TDistributionBuild(*install, settings, setup::SystemBuild()).Build(program, work + "\\out", true);
  const std::string out = work + "\\out";
  EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"setup.1", "setup.exe"}));
  const setup::TExtractionInfo info = setup::ReadExtractionInfo(out + "\\setup.exe");
  EXPECT_EQ(info.FilesStart, 0);
  EXPECT_EQ(info.FilesEnd, 0);
  EXPECT_EQ(FileSizeOf(out + "\\setup.exe"), FileSizeOf(loader) + FileSizeOf(out + "\\setup.1") + 56);
}

TEST_F(TraditionalBuild, ErrorsAreShownInAnErrorBox) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"no BUILD.INF", [] {},
       "Need to have a BUILD.INF file in this directory with the first line specifying the build directory"},
      {"empty BUILD.INF", [&] { test_support::WriteFileText(work + "\\prog\\BUILD.INF", ""); },
       "Must be 1 line in BUILD.INF. This line should specify the build directory"},
      {"no vendor folder",
       [&] {
         test_support::WriteFileText(work + "\\prog\\BUILD.INF", work + "\\out");
         setup::RegWriteString(setup::kCurrentUser, setup::kVendorLibraryKey, setup::kVendorLibraryValue,
                               "C:\\bld\\none");
       },
       "The HKEY_LOCAL_MACHINE | \\Software\\Corvath\\P32V35 key in the registry is either missing or points "
       "to "
       "an invalid Pembrin directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange();
    fwtest::BoxAnswerer boxes(fw::mrOk);
    EXPECT_FALSE(setup::RunBuild(*install, settings, setup::SystemBuild(), program));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].Text, c.message);
    EXPECT_EQ(boxes.boxes[0].Type, fw::TMsgDlgType::mtError);
    EXPECT_EQ(FileSizeOf(work + "\\out\\setup.exe"), -1);
  }
}

}  // namespace
}  // namespace build_test
