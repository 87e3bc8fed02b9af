// The installer archive over real files under Wine, with the real floppy.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/setup/archive/archive_cases.h"
#include "tests/setup/archive/win32_world.h"

namespace archive_test {
namespace {

INSTANTIATE_TYPED_TEST_SUITE_P(RealFiles, ArchiveCases, Win32World);

using RealArchive = ArchiveCases<Win32World>;

// A target held open without sharing cannot be replaced: the extraction
// fails, and the old file and its folder stay as they were.
TEST_F(RealArchive, ATargetHeldOpenKeepsItsBytes) {
  Put(W("src\\app.exe"), RandomBytes(50000, 21));
  MakeArchive({W("src\\app.exe")});
  const Bytes old = TextBytes("running program");
  Put(W("out\\app.exe"), old);
  HANDLE held = CreateFileA(W("out\\app.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  archive.ExtractDirectory = W("out");
  List({W("src\\app.exe")});
  try {
    archive.ExtractFiles();
    ADD_FAILURE() << "replaced a file held open";
  } catch (const setup::EPmbrCompress& e) {
    // With the system's reason after the name.
    const std::string text = e.what(), start = "Cannot create the file " + W("out\\app.exe") + ": ";
    EXPECT_EQ(text.rfind(start, 0), 0u) << text;
    EXPECT_GT(text.size(), start.size()) << text;
  }
  CloseHandle(held);
  EXPECT_EQ(Read(W("out\\app.exe")), old);
  EXPECT_TRUE(Temporaries(W("out")).empty());
}

// Dates pass through the local DOS date: odd seconds are cut to even ones.
TEST_F(RealArchive, FileDatesKeepTwoSecondSteps) {
  const double second = 1.0 / 86400;
  Put(W("src\\odd.txt"), TextBytes("odd"), 36526.5 + 7 * second);
  double date = 0;
  ASSERT_TRUE(world.Files().GetFileDate(W("src\\odd.txt"), date));
  EXPECT_NEAR(date, 36526.5 + 6 * second, 1e-9);
  MakeArchive({W("src\\odd.txt")});
  archive.ExtractDirectory = W("out");
  List({W("src\\odd.txt")});
  archive.ExtractFiles();
  EXPECT_NEAR(DateOf(W("out\\odd.txt")), 36526.5 + 6 * second, 1e-9);
}

// The real version reader: the entry keeps the program's numeric FileVersion,
// and owVersion replaces a program without a version but keeps an equal one.
TEST_F(RealArchive, VersionsComeFromTheVersionResource) {
  char self[MAX_PATH];
  const std::string own(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
  const std::string fixtures = setup::FolderOf(own);
  ASSERT_TRUE(world.Files().CreateFolders(W("src")));
  ASSERT_TRUE(CopyFileA((fixtures + "\\setup_version_full.exe").c_str(), W("src\\app.exe").c_str(), FALSE));
  MakeArchive({W("src\\app.exe")});
  setup::TlzhFileStats stats;
  archive.GetFileStats(0, stats);
  const Bytes header(stats.Header.begin(), stats.Header.end());
  EXPECT_EQ(std::string(header.begin() + 149, header.begin() + 149 + header[148]), "3.1.0.7");

  const Bytes versioned = Read(W("src\\app.exe"));
  ASSERT_TRUE(world.Files().CreateFolders(W("out")));
  struct Case {
    const char* existing;
    bool replaced;
  } cases[] = {{"setup_version_none.exe", true}, {"setup_version_full.exe", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.existing);
    ASSERT_TRUE(CopyFileA((fixtures + "\\" + c.existing).c_str(), W("out\\app.exe").c_str(), FALSE));
    const Bytes before = Read(W("out\\app.exe"));
    archive.Overwrite = setup::owVersion;
    archive.ExtractDirectory = W("out");
    List({W("src\\app.exe")});
    archive.ExtractFiles();
    EXPECT_EQ(Read(W("out\\app.exe")), c.replaced ? versioned : before);
  }
}

}  // namespace
}  // namespace archive_test
