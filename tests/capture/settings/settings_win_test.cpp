#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "capture/settings/location.h"
#include "capture/settings/settings_win.h"
#include "capture/settings/reg_ini.h"
#include "tests/support/files.h"

namespace capture {
namespace {

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override { StartSupportLibrary(); }
  void TearDown() override { FinishSupportLibrary(); }

  // A path of this test's own in the build folder, with nothing there yet.
  std::string FreshPath() {
    const std::string name =
        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".cgr";
    const std::string path = test_support::FullPath(name);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(path.c_str());
    return path;
  }
};

TEST_F(SettingsFile, MissingFileIsCreatedWithAnEmptyMaintainSectionAndReadsGiveDefaults) {
  const std::string path = FreshPath();
  const auto settings = OpenSettingsFile(SystemProfileFile(), path, "Maintain");
  EXPECT_EQ(test_support::ReadFileText(path), "[Maintain]\r\n");
  EXPECT_EQ(settings->ReadText(kCommPortKey, ""), "");
  EXPECT_EQ(settings->ReadText(kPhoneNumKey, ""), "");
  EXPECT_FALSE(settings->ReadFlag(kAutoConnectKey, false));
  EXPECT_EQ(settings->ReadNumber(kRegisterKey, 0), 0);
}

TEST_F(SettingsFile, ValuesRoundTripThroughTheFileWithPinnedBytes) {
  const std::string path = FreshPath();
  {
    const auto settings = OpenSettingsFile(SystemProfileFile(), path, "Maintain");
    settings->WriteText(kCommPortKey, "None Selected");
    settings->WriteText(kPhoneNumKey, "555 0100");
    settings->WriteFlag(kAutoConnectKey, true);
    settings->WriteNumber(kRegisterKey, 3);
  }
  EXPECT_EQ(
      test_support::ReadFileText(path),
      "[Maintain]\r\nCommPort=None Selected\r\nPhoneNum=555 0100\r\nAutoConnect=TRUE\r\nRegister=3\r\n");
  const auto settings = OpenSettingsFile(SystemProfileFile(), path, "Maintain");
  EXPECT_EQ(settings->ReadText(kCommPortKey, ""), "None Selected");
  EXPECT_EQ(settings->ReadText(kPhoneNumKey, ""), "555 0100");
  EXPECT_TRUE(settings->ReadFlag(kAutoConnectKey, false));
  EXPECT_EQ(settings->ReadNumber(kRegisterKey, 0), 3);
}

TEST_F(SettingsFile, ValuesWrittenByHandAreReadWithTheTypedRules) {
  const std::string path = FreshPath();
  std::ofstream(path, std::ios::binary) << "[Maintain]\r\nAutoConnect=yes\r\nRegister=abc\r\n"
                                           "[Other]\r\nAutoConnect=1\r\nRegister=12\r\n";
  const auto settings = OpenSettingsFile(SystemProfileFile(), path, "Maintain");
  EXPECT_FALSE(settings->ReadFlag(kAutoConnectKey, false));
  EXPECT_EQ(settings->ReadNumber(kRegisterKey, 0), 0);
  settings->SelectSection("Other");
  EXPECT_TRUE(settings->ReadFlag(kAutoConnectKey, false));
  EXPECT_EQ(settings->ReadNumber(kRegisterKey, 0), 12);
}

TEST_F(SettingsFile, DirectoryInTheFilesPlaceFailsTheSectionCheckWithTheSystemError) {
  const std::string path = FreshPath();
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  try {
    OpenSettingsFile(SystemProfileFile(), path, "Maintain");
    ADD_FAILURE() << "no exception";
  } catch (const EStRegIniError& e) {
    EXPECT_EQ(e.ErrorCode, 5);
    const std::string prefix = "Failed to create key\\nError Code: ";
    ASSERT_EQ(e.Message().substr(0, prefix.size()), prefix);
    const std::string number = e.Message().substr(prefix.size());
    EXPECT_FALSE(number.empty());
    EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << number;
    EXPECT_NE(number, "0");
  }
  RemoveDirectoryA(path.c_str());
}

TEST_F(SettingsFile, DirectoryInTheFilesPlaceFailsAWriteWithError7) {
  const std::string path = FreshPath();
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  TStRegIni settings(SystemProfileFile(), path);
  settings.SelectSection("Maintain");
  try {
    settings.WriteText(kCommPortKey, "COM1");
    ADD_FAILURE() << "no exception";
  } catch (const EStRegIniError& e) {
    EXPECT_EQ(e.ErrorCode, 7);
    EXPECT_EQ(e.Message(), "Failed to write value to INI file");
  }
  RemoveDirectoryA(path.c_str());
}

// The engine folder is made and removed within this one test, so no other
// test sees it.
TEST_F(SettingsFile, ProgramSettingsLiveInTheEngineFolderOnlyWhileItExists) {
  const std::string program = ProgramFilePath();
  ASSERT_FALSE(program.empty());
  const std::string beside = FolderOf(program) + "ICBR424.CGR";
  const std::string engine = std::string(kEngineFolder);
  const std::string inEngine = engine + "\\icbr424.cgr";
  ASSERT_FALSE(FolderExists(engine));

  DeleteFileA(beside.c_str());
  std::string upperBeside = beside;
  for (char& c : upperBeside) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(OpenSettings("Maintain")->FileName(), upperBeside);
  EXPECT_TRUE(FileExists(beside));
  DeleteFileA(beside.c_str());

  const char* folders[] = {"C:\\Program Files\\Harrowgate", "C:\\Program Files\\Harrowgate\\Common Files",
                           kEngineFolder};
  for (const char* folder : folders) CreateDirectoryA(folder, nullptr);
  ASSERT_TRUE(FolderExists(engine));
  const auto settings = OpenSettings("Maintain");
  EXPECT_EQ(settings->FileName(), "C:\\PROGRAM FILES\\HARROWGATE\\COMMON FILES\\HDB\\ICBR424.CGR");
  EXPECT_TRUE(FileExists(inEngine));
  EXPECT_EQ(test_support::ReadFileText(inEngine), "[Maintain]\r\n");
  EXPECT_FALSE(FileExists(beside));

  DeleteFileA(inEngine.c_str());
  for (int i = 2; i >= 0; --i) RemoveDirectoryA(folders[i]);
  EXPECT_FALSE(FolderExists(engine));
}

TEST_F(SettingsFile, AFileNamedLikeTheEngineFolderDoesNotCount) {
  const std::string path = FreshPath();
  std::ofstream(path) << "x";
  EXPECT_FALSE(FolderExists(path));
  EXPECT_TRUE(FolderExists(FolderOf(path)));
  DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace capture
