// A self-extracting setup copied onto the real 1.44 MB floppy A: under Wine
// (see tests/support/floppy_run.sh). The test plays the user at the drive: each "Please
// insert disk %d" box is answered by putting the files of the disk in the
// drive aside and bringing back those of the disk asked for.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <map>

#include "framework/dialogs.h"
#include "framework/form.h"
#include "tests/setup/build/build_win_support.h"

namespace build_test {
namespace {

class Floppies : public BuildMachine {
 protected:
  void SetUp() override {
    if (const char* reason = std::getenv("TALLIMO_FLOPPY_SKIP")) GTEST_SKIP() << reason;
    if (GetDriveTypeA("A:\\") != DRIVE_REMOVABLE) GTEST_SKIP() << "drive A: is not a floppy in this prefix";
    BuildMachine::SetUp();
    for (const auto& name : FilesIn("A:")) DeleteFileA(("A:\\" + name).c_str());
    // More than two disks of data that does not compress.
    File("Capture", install, data, 9);
    File("Help", install, "help text", 2);
    setup::TDistributionBuild(*install, settings, setup::SystemBuild()).Build(program, work + "\\out", true);
    install->Archive = "setup.exe";
    install->SetArchiveFileType(setup::PathSpecifiers().FindSpecifier<setup::TpsMainArchiveFile>());
    install->SetArchiveFile("");

    fw::SetMessageBoxFunction([this](const fw::MessageBoxRequest& box) {
      boxes.push_back(box.Text);
      const std::string prefix = "Please insert disk ";
      if (box.Text.rfind(prefix, 0) != 0) return fw::mrOk;
      EXPECT_EQ(box.Buttons, fw::mbOKCancel);
      const int asked = std::stoi(box.Text.substr(prefix.size()));
      if (asked == cancelAt) return fw::mrCancel;
      Shelve(inDrive);
      const std::string shelf = Shelf(asked);
      for (const auto& name : FilesIn(shelf))
        EXPECT_TRUE(MoveFileA((shelf + "\\" + name).c_str(), ("A:\\" + name).c_str())) << name;
      inDrive = asked;
      return fw::mrOk;
    });
  }
  void TearDown() override {
    if (!work.empty())
      for (const auto& name : FilesIn("A:")) DeleteFileA(("A:\\" + name).c_str());
    BuildMachine::TearDown();
  }
  std::string Shelf(int disk) { return work + "\\disk" + std::to_string(disk); }
  void Shelve(int disk) {
    files.CreateFolders(Shelf(disk));
    for (const auto& name : FilesIn("A:"))
      EXPECT_TRUE(MoveFileA(("A:\\" + name).c_str(), (Shelf(disk) + "\\" + name).c_str())) << name;
  }

  const Bytes data = RandomBytes(3200000, 5);
  std::vector<std::string> boxes;
  int inDrive = 1;
  int cancelAt = 0;
};

TEST_F(Floppies, TheSetupIsSplitOverThreeDisks) {
  ASSERT_TRUE(setup::RunTransferToFloppies(*install, setup::SystemBuild(), "a:"));
  EXPECT_EQ(boxes, (std::vector<std::string>{"Please insert disk 2", "Please insert disk 3",
                                             "Please insert disk 1"}));
  ASSERT_EQ(inDrive, 1);
  EXPECT_EQ(FilesIn("A:"), (std::vector<std::string>{"files.1", "setup.1", "setup.exe"}));
  EXPECT_EQ(FilesIn(Shelf(2)), std::vector<std::string>{"files.2"});
  EXPECT_EQ(FilesIn(Shelf(3)), std::vector<std::string>{"files.3"});
  EXPECT_EQ(test_support::ReadFileText("A:\\setup.exe"), test_support::ReadFileText(loader));
  EXPECT_EQ(test_support::ReadFileText("A:\\setup.1"), test_support::ReadFileText(work + "\\out\\setup.1"));
  // Disks 1 and 2 were filled to the last byte.
  EXPECT_EQ(FileSizeOf(Shelf(2) + "\\files.2"), 1474560);

  const auto newDisk = [this](setup::TPmbrCompress*, std::int32_t disk, std::string& path) {
    path = Shelf(disk);
  };
  EXPECT_EQ(Extracted("A:\\files.1", work + "\\src\\Capture.dat", 0, newDisk), data);
  EXPECT_EQ(Extracted("A:\\files.1", work + "\\src\\Help.dat", 0, newDisk), "help text");
}

TEST_F(Floppies, CancelAtTheThirdDiskShowsAbortedByUser) {
  cancelAt = 3;
  EXPECT_FALSE(setup::RunTransferToFloppies(*install, setup::SystemBuild(), "a:"));
  EXPECT_EQ(boxes,
            (std::vector<std::string>{"Please insert disk 2", "Please insert disk 3", "Aborted by user"}));
}

// A disk already holding other files: the copy of the loading program runs
// out of room (a short write, then ERROR_DISK_FULL) and says so.
TEST_F(Floppies, ADiskTooFullForTheSetupProgramIsReported) {
  test_support::WriteFileText("A:\\filler", std::string(1474560 - 64 * 1024, 'f'));
  EXPECT_FALSE(setup::RunTransferToFloppies(*install, setup::SystemBuild(), "a:"));
  EXPECT_EQ(boxes,
            std::vector<std::string>{"Cannot create setup.exe on the A drive. Probably not enough room"});
}

}  // namespace
}  // namespace build_test
