#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "capture/settings/settings_win.h"
#include "capture/settings/version_info.h"
#include "framework/version_info_win.h"
#include "tests/support/files.h"

namespace capture {
namespace {

class VersionInfoWin : public ::testing::Test {
 protected:
  void SetUp() override { StartSupportLibrary(); }
  void TearDown() override { FinishSupportLibrary(); }

  // Expects `read` to raise EStVersionInfoError `code` with `message`.
  template <class Read>
  void ExpectError(Read read, std::int32_t code, const std::string& message) {
    try {
      read();
      ADD_FAILURE() << "no exception";
    } catch (const EStVersionInfoError& e) {
      EXPECT_EQ(e.ErrorCode, code);
      EXPECT_EQ(e.Message(), message);
    }
  }
};

TEST_F(VersionInfoWin, ReadsTextsNumbersAndFixedValuesOfAFixture) {
  TStVersionInfo info(nullptr, fw::SystemVersionInfo());
  info.SetFileName(test_support::FullPath("version_fixture.exe"));
  EXPECT_EQ(info.FileVersion(), "1.1.0.10");
  EXPECT_DOUBLE_EQ(info.FileVersionNumber(), 1.1);
  EXPECT_EQ(info.ProductVersion(), "2.5");
  EXPECT_DOUBLE_EQ(info.ProductVersionNumber(), 2.5);
  EXPECT_EQ(info.CompanyName(), "Fixture Makers");
  EXPECT_EQ(info.FileDescription(), "Version reader fixture");
  EXPECT_EQ(info.InternalName(), "version_fixture");
  EXPECT_EQ(info.LegalCopyright(), "No rights reserved");
  EXPECT_EQ(info.OriginalFilename(), "version_fixture.exe");
  EXPECT_EQ(info.ProductName(), "Fixture");
  EXPECT_EQ(info.Comments(), "");
  EXPECT_EQ(info.LegalTrademarks(), "");
  EXPECT_EQ(info.Language(), 0x409);
  EXPECT_EQ(info.CodePage(), 1252);
  EXPECT_EQ(info.TranslationCount(), 1u);
  EXPECT_NE(info.LanguageName().find("English"), std::string::npos) << info.LanguageName();
  const FixedVersionValues fixed = info.Fixed();
  EXPECT_EQ(fixed.fileVersionMS, 0x00010001u);
  EXPECT_EQ(fixed.fileVersionLS, 0x0000000Au);
  EXPECT_EQ(fixed.productVersionMS, 0x00020005u);
  EXPECT_EQ(fixed.productVersionLS, 0u);
  EXPECT_EQ(fixed.fileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed.fileFlags, 2u);
  EXPECT_EQ(fixed.fileOS, 0x40004u);
  EXPECT_EQ(fixed.fileType, 1u);
}

TEST_F(VersionInfoWin, SingleMissingKeyRaises134) {
  TStVersionInfo info(nullptr, fw::SystemVersionInfo());
  info.SetFileName(test_support::FullPath("version_fixture.exe"));
  EXPECT_EQ(info.KeyValue("ProductName"), "Fixture");
  ExpectError([&] { info.KeyValue("LegalTrademarks"); }, 134,
              "The specified key cannnot be found in version info");
}

TEST_F(VersionInfoWin, MissingFileRaises73AndKeepsThePreviousName) {
  TStVersionInfo info(nullptr, fw::SystemVersionInfo());
  const std::string fixture = test_support::FullPath("version_fixture.exe");
  info.SetFileName(fixture);
  ExpectError([&] { info.SetFileName(test_support::FullPath("no_such_fixture.exe")); }, 73,
              "Error opening file");
  EXPECT_EQ(info.FileName(), fixture);
  EXPECT_EQ(info.FileVersion(), "1.1.0.10");
}

TEST_F(VersionInfoWin, FilesWithoutUsableVersionInfoRaise100) {
  const std::string textFile = test_support::FullPath("version_fixture_plain.txt");
  std::ofstream(textFile) << "not a program\n";
  for (const std::string name :
       {"version_fixture_none.exe", "version_fixture_no_translation.exe", "version_fixture_plain.txt"}) {
    SCOPED_TRACE(name);
    TStVersionInfo info(nullptr, fw::SystemVersionInfo());
    info.SetFileName(test_support::FullPath(name));
    ExpectError([&] { info.FileVersion(); }, 100, "File does not contain version info");
  }
}

TEST_F(VersionInfoWin, WithoutAFileNameItReadsTheProgramItself) {
  TStVersionInfo info(nullptr, fw::SystemVersionInfo());
  EXPECT_EQ(info.FileName(), ProgramFilePath());
  // This test program carries the capture program's version resource.
  EXPECT_EQ(info.FileVersion(), "1.0.0.1");
}

TEST_F(VersionInfoWin, CaptureProgramCarriesItsVersionResource) {
  TStVersionInfo info(nullptr, fw::SystemVersionInfo());
  info.SetFileName(test_support::FullPath(TALLIMO_EXE));
  EXPECT_EQ(info.FileVersion(), "1.0.0.1");
  EXPECT_EQ(info.ProductVersion(), "1.0.0.1");
  EXPECT_EQ(info.CompanyName(), "Ostrel");
  EXPECT_EQ(info.ProductName(), "Quorvane");
  EXPECT_EQ(info.OriginalFilename(), "Tallimo.exe");
  EXPECT_EQ(info.Fixed().fileVersionMS, 0x00010000u);
  EXPECT_EQ(info.Fixed().fileVersionLS, 0x00000001u);
}

}  // namespace
}  // namespace capture
