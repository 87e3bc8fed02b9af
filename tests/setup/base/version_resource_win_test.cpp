// The version reader and the overwrite decisions on fixture programs and
// real files of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/version_info_win.h"
#include "setup/base/version_resource_win.h"
#include "tests/support/files.h"

namespace setup {
namespace {

std::string ProgramPath() {
  char buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  return std::string(buffer, length);
}

TEST(VersionResource, ReadsTheDefaultBlock) {
  TVersionResource reader(nullptr, fw::SystemVersionInfo());
  reader.SetFileName(test_support::FullPath("setup_version_full.exe"));
  EXPECT_EQ(reader.StringKeyPrefix(), "\\StringFileInfo\\040904E4\\");
  const TVersionInfo& info = reader.VersionInfo();
  // The numeric file version; the string one is never read.
  EXPECT_EQ(info.FileVersion(), "3.1.0.7");
  // The string product version replaces the numeric one.
  EXPECT_EQ(info.ProductVersion(), "3.0 beta");
  EXPECT_EQ(info.Comment(), "Singular comment");
  EXPECT_EQ(info.CompanyName(), "Ostrel");
  EXPECT_EQ(info.FileDescription(), "Setup fixture");
  EXPECT_EQ(info.InternalName(), "full");
  EXPECT_EQ(info.LegalCopyright(), "None reserved");
  // The system looks names up without regard to case.
  EXPECT_EQ(info.LegalTradeMarks(), "Marks");
  EXPECT_EQ(info.OriginalFileName(), "setup_version_full.exe");
  EXPECT_EQ(info.PrivateBuild(), "private");
  EXPECT_EQ(info.ProductName(), "Quorvane");
  EXPECT_EQ(info.SpecialBuild(), "special");
  EXPECT_EQ(info.FileOS(), "32 bit Windows");
  EXPECT_EQ(info.FileType(), "Device Driver");
  EXPECT_EQ(info.FileSubType(), "Communications");
}

TEST(VersionResource, AnotherLanguageAndCodePage) {
  TVersionResource reader(nullptr, fw::SystemVersionInfo());
  reader.SetFileName(test_support::FullPath("setup_version_german.exe"));
  const TVersionInfo& info = reader.VersionInfo();
  EXPECT_EQ(info.FileVersion(), "1.2.3.4");
  EXPECT_EQ(info.ProductVersion(), "1.2.0.0");
  EXPECT_EQ(info.FileOS(), "Windows 3.0 or later with MS-Dos");
  EXPECT_EQ(info.FileType(), "Font");
  EXPECT_EQ(info.FileSubType(), "TrueType");
  EXPECT_EQ(info.CompanyName(), "");
  reader.SetLanguage(versionres::lnGerman);
  EXPECT_EQ(reader.VersionInfo().CompanyName(), "");  // still the wrong code page
  reader.SetCharacterSet(versionres::csUnicode);
  EXPECT_EQ(reader.StringKeyPrefix(), "\\StringFileInfo\\040704B0\\");
  EXPECT_EQ(reader.VersionInfo().CompanyName(), "Ostrel GmbH");
  EXPECT_EQ(reader.VersionInfo().ProductName(), "Quorvane Schrift");
  EXPECT_EQ(reader.VersionInfo().FileVersion(), "1.2.3.4");
}

TEST(VersionResource, FilesWithoutAResourceGiveEmptyTexts) {
  TVersionResource reader(nullptr, fw::SystemVersionInfo());
  reader.SetFileName(test_support::FullPath("setup_version_full.exe"));
  ASSERT_EQ(reader.VersionInfo().CompanyName(), "Ostrel");
  const std::string plain = test_support::FullPath("setup_version_plain.txt");
  test_support::WriteFileText(plain, "not a program\n");
  for (const std::string name :
       {"setup_version_none.exe", "setup_version_plain.txt", "no_such_file.exe", ""}) {
    SCOPED_TRACE(name);
    reader.SetFileName(name.empty() ? name : test_support::FullPath(name));
    for (int text = 0; text < TVersionInfo::kTextCount; ++text) {
      EXPECT_EQ(reader.VersionInfo().Get(static_cast<TVersionInfo::Text>(text)), "") << text;
    }
  }
}

TEST(VersionResource, StartsOnTheProgramItself) {
  TVersionResource reader(nullptr, fw::SystemVersionInfo());
  EXPECT_EQ(reader.FileName(), ProgramPath());
  EXPECT_FALSE(reader.FileNameStored());
  EXPECT_EQ(reader.Language(), versionres::lnUSEnglish);
  EXPECT_EQ(reader.CharacterSet(), versionres::csMultilingual);
  reader.SetFileName(test_support::FullPath("setup_version_full.exe"));
  EXPECT_TRUE(reader.FileNameStored());
}

// Dates as TDateTime in local time, set on files through the system.
constexpr double kDay = 1.0;
constexpr double kSecond = 1.0 / 86400.0;
const double kDate = 45000.0 + 10 * 3600 * kSecond;  // 15 March 2023, 10:00:00

void SetFileDate(const std::string& path, double date) {
  const auto units = static_cast<ULONGLONG>((date + 109205.0) * 864000000000.0 + 0.5);
  FILETIME local{static_cast<DWORD>(units), static_cast<DWORD>(units >> 32)}, utc{};
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
  const HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &utc));
  CloseHandle(file);
}

std::string CopyOf(const std::string& fixture, const std::string& name, double date) {
  const std::string path = test_support::FullPath(name);
  EXPECT_TRUE(CopyFileA(test_support::FullPath(fixture).c_str(), path.c_str(), FALSE)) << name;
  SetFileDate(path, date);
  return path;
}

TEST(OverwriteDecision, FileDatesReadBackAsSet) {
  const std::string path = CopyOf("setup_version_none.exe", "setup_dates.exe", kDate + 4 * kSecond);
  const auto date = SystemFileDates().OpenedFileDate(path);
  ASSERT_TRUE(date.has_value());
  EXPECT_NEAR(*date, kDate + 4 * kSecond, 0.001 * kSecond);
  EXPECT_EQ(SystemFileDates().OpenedFileDate(test_support::FullPath("no_such_file.exe")), std::nullopt);
}

TEST(OverwriteDecision, ByVersionOverEveryTypeAndExistingFile) {
  struct Row {
    const char* existing;
    std::string path;
    const char* newVersion;
    double newDate;
    int decisions[6];  // for types 0 to 5
  };
  const std::string full = CopyOf("setup_version_full.exe", "setup_existing_full.exe", kDate);  // 3.1.0.7
  const std::string locked = CopyOf("setup_version_full.exe", "setup_existing_locked.exe", kDate);
  const std::string bare = CopyOf("setup_version_none.exe", "setup_existing_bare.exe", kDate);
  const std::string missing = test_support::FullPath("setup_existing_missing.exe");
  DeleteFileA(missing.c_str());
  const Row rows[] = {
      {"missing", missing, "3.1.0.7", kDate, {2, 2, 2, 0, 2, 0}},
      {"older", full, "3.1.0.8", kDate + kDay, {2, 3, 2, 2, 2, 0}},
      {"equal, an odd second later", full, "3.1.0.7", kDate + kSecond, {2, 3, 1, 1, 1, 0}},
      {"newer", full, "3.1.0.6", kDate - kDay, {2, 3, 3, 3, 3, 0}},
      {"newer version, older date", full, "3.1.0.6", kDate + kDay, {2, 3, 3, 2, 3, 0}},
      {"same version, newer date", full, "3.1.0.7", kDate - kDay, {2, 3, 1, 3, 3, 0}},
      {"unopenable", locked, "", kDate, {2, 3, 1, 0, 0, 0}},
      {"without a resource", bare, "3.1.0.7", kDate, {2, 3, 2, 1, 2, 0}},
      {"without a resource, no version", bare, "", kDate + kDay, {2, 3, 1, 2, 2, 0}},
  };
  // Held open without sharing, as a running program's file may be.
  const HANDLE holder =
      CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  for (const Row& row : rows) {
    for (int type = 0; type <= 5; ++type) {
      EXPECT_EQ(IsFileNewerByVersion(row.newVersion, row.path, type, row.newDate), row.decisions[type])
          << row.existing << ", type " << type;
    }
  }
  EXPECT_EQ(IsFileNewerByVersion("1.0", full, -1, kDate), 0);
  CloseHandle(holder);
  // The shared reader stays at the last file it examined.
  EXPECT_EQ(SharedVersionResource().FileName(), bare);
}

TEST(OverwriteDecision, ByNameOfTwoFilesOnDisk) {
  const std::string fullNew =
      CopyOf("setup_version_full.exe", "setup_new_full.exe", kDate + kDay);  // 3.1.0.7
  const std::string fullOld = CopyOf("setup_version_full.exe", "setup_old_full.exe", kDate);
  const std::string german = CopyOf("setup_version_german.exe", "setup_old_german.exe", kDate);  // 1.2.3.4
  const std::string missing = test_support::FullPath("setup_new_missing.exe");
  DeleteFileA(missing.c_str());
  struct Row {
    const char* what;
    std::string newFile, existing;
    int decisions[6];
  };
  const Row rows[] = {
      {"higher version, later date", fullNew, german, {2, 3, 2, 2, 2, 0}},
      {"lower version, earlier date", german, fullNew, {2, 3, 3, 3, 3, 0}},
      {"same version, later date", fullNew, fullOld, {2, 3, 1, 2, 2, 0}},
      {"same file", fullOld, fullOld, {2, 3, 1, 1, 1, 0}},
      {"new file missing", missing, fullOld, {2, 3, 3, 0, 3, 0}},
      {"existing missing", fullNew, missing, {2, 2, 2, 0, 2, 0}},
      {"existing name blank", fullNew, "  ", {2, 2, 2, 0, 2, 0}},
  };
  for (const Row& row : rows) {
    for (int type = 0; type <= 5; ++type) {
      EXPECT_EQ(IsFileNewerByName(row.newFile, row.existing, type), row.decisions[type])
          << row.what << ", type " << type;
    }
  }
}

}  // namespace
}  // namespace setup
