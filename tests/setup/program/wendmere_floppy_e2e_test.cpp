// The setup program's floppy set from end to end, with a real 2.88 MB floppy
// as drive A: (wendmere_floppy_run.sh): Wendmere.exe -b builds the
// distribution, Wendmere.exe -f copies the self-extracting setup onto as many
// disks as it takes, and the set installs the capture program again. The test
// plays the user at the drive: a disk taken out goes onto a shelf of its own
// (a folder per disk), a disk put in comes from its shelf.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/setup/program/wendmere_driving.h"

namespace {

using namespace wendmere_test;

constexpr std::int64_t kDiskBytes = 2949120;
const char kShelves[] = "C:\\Disks";
// The text control of a message box.
constexpr int kMessageBoxText = 0xFFFF;

std::string Shelf(int disk) { return std::string(kShelves) + "\\disk" + std::to_string(disk); }

// The disk in the drive; a blank disk becomes the disk whose files are
// written onto it.
int inDrive = 1;

// Takes the disk in the drive out onto its shelf and puts `disk` in (a blank
// one when its shelf is empty).
void ChangeDisk(int disk) {
  CreateDirectoryA(kShelves, nullptr);
  CreateDirectoryA(Shelf(inDrive).c_str(), nullptr);
  for (const auto& name : FilesIn("A:"))
    EXPECT_TRUE(MoveFileA(("A:\\" + name).c_str(), (Shelf(inDrive) + "\\" + name).c_str()))
        << name << " out of the drive: " << GetLastError();
  for (const auto& name : FilesIn(Shelf(disk)))
    EXPECT_TRUE(MoveFileA((Shelf(disk) + "\\" + name).c_str(), ("A:\\" + name).c_str()))
        << name << " into the drive: " << GetLastError();
  inDrive = disk;
}

struct Transfer {
  std::vector<std::string> boxes;
  int exitCode = -1;
};

// Runs Wendmere.exe -f with the self-extracting setup the build made, as its
// loading program would pass it; every message box is answered with the
// button `answer` names for its text.
Transfer TransferToFloppies(const std::function<std::string(const std::string&)>& answer) {
  Transfer transfer;
  Process copy;
  if (!copy.Start("\"" + std::string(kSetupFolder) + "\\Wendmere.exe\" -f -esetup.exe \"-s" + kDistFolder + "\"",
                  kSetupFolder)) {
    ADD_FAILURE() << "Wendmere.exe does not start";
    return transfer;
  }
  const DWORD start = GetTickCount();
  while (!copy.Ended() && GetTickCount() - start < 90000) {
    HWND box = TopWindow("Setup");
    if (!box) {
      Sleep(50);
      continue;
    }
    char text[512] = {};
    GetDlgItemTextA(box, kMessageBoxText, text, sizeof text);
    transfer.boxes.push_back(text);
    const std::string button = answer(text);
    if (!Click(box, button)) {
      ADD_FAILURE() << "no \"" << button << "\" in the box \"" << text << "\"";
      break;
    }
    WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000);
  }
  transfer.exitCode = copy.Wait(10000);
  return transfer;
}

class WendmereFloppies : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::getenv("TALLIMO_FLOPPY_SKIP")) return;
    PrepareBuildMachine(HereFolder() + "\\shipped\\Wendmere.exe", HereFolder() + "\\shipped\\stand_in_loader.exe");
  }
  void SetUp() override {
    if (const char* reason = std::getenv("TALLIMO_FLOPPY_SKIP")) GTEST_SKIP() << reason;
    if (GetDriveTypeA("A:\\") != DRIVE_REMOVABLE) GTEST_SKIP() << "drive A: is not a floppy in this prefix";
  }
};

TEST_F(WendmereFloppies, TheDistributionTakesMoreThanOneDisk) {
  ASSERT_EQ(BuildDistribution(), 0);
  EXPECT_GT(FileSizeOf(std::string(kDistFolder) + "\\setup.exe"), kDiskBytes);
}

TEST_F(WendmereFloppies, CancelAtTheNextDiskShowsAbortedByUser) {
  ASSERT_TRUE(Exists(std::string(kDistFolder) + "\\setup.exe")) << "the build comes first";
  ASSERT_TRUE(FilesIn("A:").empty());
  const Transfer transfer = TransferToFloppies([](const std::string& text) {
    return text.rfind("Please insert disk ", 0) == 0 ? "Cancel" : "OK";
  });
  EXPECT_EQ(transfer.boxes, (std::vector<std::string>{"Please insert disk 2", "Aborted by user"}));
  EXPECT_EQ(transfer.exitCode, 1);
  // The disk filled so far is of no use: a blank one for the next copy.
  for (const auto& name : FilesIn("A:")) DeleteFileA(("A:\\" + name).c_str());
}

TEST_F(WendmereFloppies, TheSetupGoesOntoAsManyDisksAsItTakes) {
  ASSERT_TRUE(Exists(std::string(kDistFolder) + "\\setup.exe")) << "the build comes first";
  ASSERT_TRUE(FilesIn("A:").empty());
  inDrive = 1;
  const std::string prompt = "Please insert disk ";
  const Transfer transfer = TransferToFloppies([&prompt](const std::string& text) {
    if (text.rfind(prompt, 0) == 0) ChangeDisk(std::atoi(text.c_str() + prompt.size()));
    return "OK";
  });
  EXPECT_EQ(transfer.exitCode, 0);
  // Every further disk in turn, then disk 1 again for the archive's headers.
  const int disks = static_cast<int>(transfer.boxes.size());
  ASSERT_GE(disks, 2);
  std::vector<std::string> expected;
  for (int disk = 2; disk <= disks; ++disk) expected.push_back(prompt + std::to_string(disk));
  expected.push_back(prompt + "1");
  EXPECT_EQ(transfer.boxes, expected);
  ASSERT_EQ(inDrive, 1);

  EXPECT_EQ(FilesIn("A:"), (std::vector<std::string>{"files.1", "setup.1", "setup.exe"}));
  // Disk 1 is filled up but for the last part of a block.
  ULARGE_INTEGER free{};
  ASSERT_TRUE(GetDiskFreeSpaceExA("A:\\", &free, nullptr, nullptr));
  EXPECT_LT(free.QuadPart, 3u * 4096u);
  EXPECT_EQ(ReadFileText("A:\\setup.exe"), ReadFileText(std::string(kVendorFolder) + "\\PembrinLoadProgram.exe"));
  EXPECT_EQ(ReadFileText("A:\\setup.1"), ReadFileText(std::string(kDistFolder) + "\\setup.1"));
  for (int disk = 2; disk <= disks; ++disk) {
    const std::string name = "files." + std::to_string(disk);
    EXPECT_EQ(FilesIn(Shelf(disk)), std::vector<std::string>{name});
    // Each disk but the last is filled to the last byte.
    if (disk < disks) {
      EXPECT_EQ(FileSizeOf(Shelf(disk) + "\\" + name), kDiskBytes) << name;
    }
  }
}

TEST_F(WendmereFloppies, InstallsFromTheDisks) {
  ASSERT_TRUE(Exists(Shelf(2) + "\\files.2")) << "the copy onto disks comes first";
  ASSERT_EQ(inDrive, 1);
  int disks = 2;
  while (Exists(Shelf(disks + 1))) ++disks;

  // The loading program starts the installer and leaves the drive.
  Process setup;
  ASSERT_TRUE(setup.Start("A:\\setup.exe", "C:\\"));
  EXPECT_EQ(setup.Wait(), 0);
  Press("Quorvane INSTALL", "Next >");
  Press("Welcome", "Next >");
  Press("Software license agreement", "Next >");
  Press("Readme information", "Next >");
  Press("Setup type", "Next >");
  Press("Select folder in start menu", "Next >");
  // The user at the drive puts in each disk the form asks for.
  const std::string prompt = "Please insert disk number ";
  std::vector<int> asked;
  const DWORD start = GetTickCount();
  while (!TopWindow("Setup complete") && !TopWindow("Setup incomplete") && GetTickCount() - start < 90000) {
    HWND form = TopWindow("Setup needs the next disk");
    const std::string text = form ? ChildTextStarting(form, prompt) : "";
    if (text.empty() || !VisibleButton(form, "Proceed")) {
      Sleep(50);
      continue;
    }
    if (asked.empty()) {
      Sleep(500);  // painted
      Shot("Setup needs the next disk", "wendmere_floppy_next_disk.bmp");
    }
    asked.push_back(std::atoi(text.c_str() + prompt.size()));
    ChangeDisk(asked.back());
    ASSERT_TRUE(Click(form, "Proceed"));
    WaitUntil([form] { return !IsWindow(form) || !IsWindowVisible(form); }, 10000);
  }
  std::vector<int> expected;
  for (int disk = 2; disk <= disks; ++disk) expected.push_back(disk);
  EXPECT_EQ(asked, expected);
  if (TopWindow("Setup incomplete")) {
    Press("Setup incomplete", "Finish");
    Sleep(2000);
    ADD_FAILURE() << "the install failed; windows:" << VisibleWindows();
  }
  Press("Setup complete", "Finish");
  EXPECT_TRUE(WaitUntil([] { return !TopWindow("Ostrel SYSTEMS PRESENTS"); }, 30000)) << "the installer ends";

  for (const char* name : {"Quorvane - Brask.exe", "QUORVANE.HLP", "QUORVANE.CNT", "uninstall.exe"}) {
    const std::string installed = std::string(kInstalled) + "\\" + name;
    ASSERT_TRUE(Exists(installed)) << name;
    EXPECT_TRUE(ReadFileText(installed) == ReadFileText(std::string(kSourceFolder) + "\\" + name)) << name;
  }
  EXPECT_TRUE(InstanceKeys().empty());
}

}  // namespace
