// The archive's file world under Wine: real files in a folder of drive C:
// per test, and the real 1,474,560-byte floppy A: (see floppy_run.sh); the
// second disk is a folder beside the work folder.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "setup/archive/archive_files_win.h"
#include "tests/support/files.h"

namespace archive_test {

using test_support::DeleteTree;

class Win32World {
 public:
  Win32World()
      : work_(std::string("C:\\arc\\") + ::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    DeleteTree(work_);
    files_.CreateFolders(work_);
  }
  setup::Win32ArchiveFiles& Files() { return files_; }
  setup::SystemArchiveVersions& Versions() { return versions_; }
  std::string Work() const { return work_; }
  std::string Floppy() const { return "A:"; }
  std::string SecondDisk() const { return work_ + "\\disk2"; }
  void Pump() { setup::ProcessApplicationMessages(); }

  // An empty floppy, checked to be the removable 1.44 MB drive.
  void UseFloppy() {
    ASSERT_EQ(GetDriveTypeA("A:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
    for (const std::string& name : FilesIn("A:")) DeleteFileA(("A:\\" + name).c_str());
    ULARGE_INTEGER free{}, total{};
    ASSERT_TRUE(GetDiskFreeSpaceExA("A:\\", &free, &total, nullptr));
    ASSERT_EQ(free.QuadPart, 1474560u);
    files_.CreateFolders(SecondDisk());
  }

  std::vector<std::string> FilesIn(const std::string& folder) { return test_support::FilesIn(folder); }


 private:
  std::string work_;
  setup::Win32ArchiveFiles files_;
  setup::SystemArchiveVersions versions_;
};

}  // namespace archive_test
