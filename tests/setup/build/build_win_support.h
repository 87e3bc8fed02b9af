// A build machine under Wine for the build tests: a work folder on drive C:,
// a vendor folder with a stand-in loading program (a small program of the
// tests) found through the user's registry, an installer program, source
// files and an install tree over them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "setup/archive/archive_files_win.h"
#include "setup/base/registry_win.h"
#include "setup/build/build_win.h"
#include "setup/paths/path_specifiers.h"
#include "tests/setup/install/install_test_support.h"
#include "tests/support/files.h"

namespace build_test {

using Bytes = std::string;

inline Bytes RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size, '\0');
  for (auto& b : bytes) b = static_cast<char>(random());
  return bytes;
}

using test_support::DeleteTree;
using test_support::FileSizeOf;
using test_support::FilesIn;



class BuildMachine : public ::testing::Test {
 protected:
  void SetUp() override {
    work = std::string("C:\\bld\\") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    DeleteTree(work);
    files.CreateFolders(work + "\\vendor");
    files.CreateFolders(work + "\\prog");
    files.CreateFolders(work + "\\src");
    char self[MAX_PATH];
    const std::string fixtures =
        setup::FolderOf(std::string(self, GetModuleFileNameA(nullptr, self, MAX_PATH)));
    loader = work + "\\vendor\\PembrinLoadProgram.exe";
    program = work + "\\prog\\Wendmere.exe";
    ASSERT_TRUE(CopyFileA((fixtures + "\\setup_version_none.exe").c_str(), loader.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((fixtures + "\\setup_version_full.exe").c_str(), program.c_str(), FALSE));
    test_support::WriteFileText(work + "\\vendor\\P32V35.TXT", "library");
    setup::RegWriteString(setup::kCurrentUser, setup::kVendorLibraryKey, setup::kVendorLibraryValue,
                          "C:\\bld\\none;" + work + "\\vendor\\");

    setup::EnsureStandardSpecifiers(&form);
    install = new setup::test_support::StandInInstall(&form);
    install->SetName("Install");
    install->Base = work + "\\out";
  }
  void TearDown() override { fw::SetMessageBoxFunction({}); }

  setup::TInstallFile* File(const std::string& name, setup::TInstallContainer* container,
                            const Bytes& content, std::int32_t uniqueID) {
    auto* file = new setup::TInstallFile(&form);
    file->SetName(name);
    file->FileName = name + ".dat";
    file->DestName = file->FileName;
    file->IncludeFromDir = work + "\\src";
    file->SetUniqueID(uniqueID);
    file->SetContainer(container);
    test_support::WriteFileText(work + "\\src\\" + file->FileName, content);
    return file;
  }
  // The entry's bytes taken out of an archive (at an offset, over disks).
  Bytes Extracted(const std::string& archivePath, const std::string& entry, std::int32_t offset = 0,
                  setup::TlzhNewDiskEvent newDisk = {}) {
    setup::SystemArchiveVersions versions;
    setup::TPmbrCompress archive(nullptr, files, versions, {});
    archive.SetCompressedFile(archivePath);
    archive.Offset = offset;
    archive.ExtractDirectory = work + "\\check";
    archive.OnNewDisk = std::move(newDisk);
    std::vector<std::string> list = {entry};
    archive.SetFilesToProcess(list);
    archive.ExtractFiles();
    const std::string path = work + "\\check\\" + setup::FileNameOf(entry);
    Bytes bytes = test_support::ReadFileText(path);
    DeleteFileA(path.c_str());
    return bytes;
  }

  fw::TComponent form{nullptr};
  setup::test_support::StandInInstall* install = nullptr;
  setup::Win32ArchiveFiles files;
  setup::BuildSettings settings;
  std::string work, loader, program;
};

}  // namespace build_test
