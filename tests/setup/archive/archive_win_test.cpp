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
    EXPECT_EQ(e.what(), "Cannot create the file " + W("out\\app.exe"));
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

}  // namespace
}  // namespace archive_test
