#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "capture/settings/version_info.h"
#include "tests/capture/settings/support_table_fixture.h"

namespace capture {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Files and their version values in memory; counts the loads.
class FakeVersionSource : public VersionInfoSource {
 public:
  std::string ProgramFileName() override { return "C:\\Shop\\Tallimo.exe"; }
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }

  LoadResult Load(const std::string& path, std::vector<std::uint8_t>& block) override {
    ++loads;
    if (sizeError) return {LoadStep::kSizeFailed, *sizeError};
    if (readError) return {LoadStep::kReadFailed, *readError};
    block = Bytes(path);  // the block names its file, so Query knows which
    return {LoadStep::kDone, 0};
  }

  std::optional<std::vector<std::uint8_t>> Query(std::vector<std::uint8_t>& block,
                                                 const std::string& subBlock) override {
    const auto found = values.find(std::string(block.begin(), block.end()) + "|" + subBlock);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }

  std::string LanguageName(std::uint32_t language) override {
    return language == 0x409 ? "English (United States)" : "?";
  }
  std::string SystemErrorText(std::uint32_t error) override { return "system text " + std::to_string(error); }

  void SetText(const std::string& file, const std::string& key, const std::string& text) {
    values[file + "|StringFileInfo\\040904e4\\" + key] = Bytes(text + '\0');
  }

  std::set<std::string> files = {"C:\\Shop\\Tallimo.exe", "C:\\other.dll"};
  std::map<std::string, std::vector<std::uint8_t>> values;
  std::optional<std::uint32_t> sizeError, readError;
  int loads = 0;
};

class VersionInfo : public capture_test::SupportTable {
 protected:
  void SetUp() override {
    capture_test::SupportTable::SetUp();
    const std::string program = "C:\\Shop\\Tallimo.exe";
    source.values[program + "|\\VarFileInfo\\Translation"] = {0x09, 0x04, 0xE4, 0x04, 0x07, 0x04, 0xB0, 0x04};
    std::vector<std::uint8_t> fixed(52, 0);
    const std::uint32_t fields[13] = {0xFEEF04BD, 0x10000, 0x10001, 0xA, 0x20005, 0, 0x3F,
                                      2,          0x40004, 1,       0,   7,       9};
    for (int i = 0; i < 13; ++i) {
      for (int b = 0; b < 4; ++b) fixed[i * 4 + b] = static_cast<std::uint8_t>(fields[i] >> (8 * b));
    }
    source.values[program + "|\\"] = fixed;
    source.SetText(program, "FileVersion", "1.1.0.10");
    source.SetText(program, "ProductVersion", "2.5");
    source.SetText(program, "CompanyName", "Ostrel");
    source.values[program + "|StringFileInfo\\040904e4\\Comments"] = {};  // present, length 0
  }

  FakeVersionSource source;
};

TEST_F(VersionInfo, StartsOnTheProgramFileAndReadsEverythingOnFirstUse) {
  TStVersionInfo info(nullptr, source);
  EXPECT_EQ(info.FileName(), "C:\\Shop\\Tallimo.exe");
  EXPECT_EQ(source.loads, 0);
  EXPECT_EQ(info.FileVersion(), "1.1.0.10");
  EXPECT_DOUBLE_EQ(info.FileVersionNumber(), 1.1);
  EXPECT_EQ(info.ProductVersion(), "2.5");
  EXPECT_DOUBLE_EQ(info.ProductVersionNumber(), 2.5);
  EXPECT_EQ(info.CompanyName(), "Ostrel");
  EXPECT_EQ(info.Comments(), "");
  EXPECT_EQ(info.LegalTrademarks(), "");
  EXPECT_EQ(info.Language(), 0x409);
  EXPECT_EQ(info.CodePage(), 1252);
  EXPECT_EQ(info.TranslationCount(), 2u);
  EXPECT_EQ(info.LanguageName(), "English (United States)");
  const FixedVersionValues fixed = info.Fixed();
  EXPECT_EQ(fixed.fileVersionMS, 0x10001u);
  EXPECT_EQ(fixed.fileVersionLS, 0xAu);
  EXPECT_EQ(fixed.productVersionMS, 0x20005u);
  EXPECT_EQ(fixed.fileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed.fileFlags, 2u);
  EXPECT_EQ(fixed.fileOS, 0x40004u);
  EXPECT_EQ(fixed.fileType, 1u);
  EXPECT_EQ(fixed.fileDate, 0x700000009ull);
  EXPECT_EQ(source.loads, 1);
  info.SetVersion("9.99");
  EXPECT_EQ(info.Version(), "2.03");
}

TEST_F(VersionInfo, MissingFileRaises73AndKeepsThePreviousName) {
  TStVersionInfo info(nullptr, source);
  info.SetFileName("C:\\other.dll");
  try {
    info.SetFileName("C:\\missing.exe");
    FAIL() << "no exception";
  } catch (const EStVersionInfoError& e) {
    EXPECT_EQ(e.ErrorCode, 73);
    EXPECT_EQ(e.Message(), "Error opening file");
  }
  EXPECT_EQ(info.FileName(), "C:\\other.dll");
}

TEST_F(VersionInfo, ANewFileNameLoadsAgainAndAnEmptyOneMeansTheProgram) {
  TStVersionInfo info(nullptr, source);
  source.SetText("C:\\other.dll", "FileVersion", "7.0");
  source.values["C:\\other.dll|\\VarFileInfo\\Translation"] = {0x09, 0x04, 0xE4, 0x04};
  EXPECT_EQ(info.FileVersion(), "1.1.0.10");
  info.SetFileName("C:\\other.dll");
  EXPECT_EQ(info.FileVersion(), "7.0");
  EXPECT_EQ(info.TranslationCount(), 1u);
  info.SetFileName("");
  EXPECT_EQ(info.FileName(), "C:\\Shop\\Tallimo.exe");
  EXPECT_EQ(info.FileVersion(), "1.1.0.10");
  EXPECT_EQ(source.loads, 3);
}

struct LoadFailure {
  std::optional<std::uint32_t> sizeError, readError;
  bool removeTranslation;
  bool raisesVersionError;  // else SystemCallError
  std::string message;
  friend std::ostream& operator<<(std::ostream& out, const LoadFailure& c) { return out << c.message; }
};

class VersionInfoFailure : public VersionInfo, public ::testing::WithParamInterface<LoadFailure> {};

TEST_P(VersionInfoFailure, NoVersionInfoIsError100AndOtherFailuresNameTheSystemError) {
  const LoadFailure& c = GetParam();
  source.sizeError = c.sizeError;
  source.readError = c.readError;
  if (c.removeTranslation) source.values.erase("C:\\Shop\\Tallimo.exe|\\VarFileInfo\\Translation");
  TStVersionInfo info(nullptr, source);
  try {
    info.FileVersion();
    FAIL() << "no exception";
  } catch (const EStVersionInfoError& e) {
    EXPECT_TRUE(c.raisesVersionError);
    EXPECT_EQ(e.ErrorCode, 100);
    EXPECT_EQ(e.Message(), c.message);
  } catch (const SystemCallError& e) {
    EXPECT_FALSE(c.raisesVersionError);
    EXPECT_EQ(e.Message(), c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionInfoFailure,
    ::testing::Values(LoadFailure{1813, {}, false, true, "File does not contain version info"},
                      LoadFailure{1812, {}, false, true, "File does not contain version info"},
                      LoadFailure{1814, {}, false, true, "File does not contain version info"},
                      LoadFailure{0, {}, false, true, "File does not contain version info"},
                      LoadFailure{{}, {}, true, true, "File does not contain version info"},
                      LoadFailure{5, {}, false, false, "system text 5 (System error 5)"},
                      LoadFailure{{}, 32, false, false, "system text 32 (System error 32)"}));

TEST_F(VersionInfo, AFailedLoadIsTriedAgainOnTheNextRead) {
  TStVersionInfo info(nullptr, source);
  source.sizeError = 1813;
  EXPECT_THROW(info.FileVersion(), EStVersionInfoError);
  source.sizeError.reset();
  EXPECT_EQ(info.FileVersion(), "1.1.0.10");
}

TEST_F(VersionInfo, SingleKeyReadsAnyTextAndRaises134WhenMissing) {
  TStVersionInfo info(nullptr, source);
  source.SetText("C:\\Shop\\Tallimo.exe", "SpecialBuild", "night");
  EXPECT_EQ(info.KeyValue("SpecialBuild"), "night");
  try {
    info.KeyValue("LegalTrademarks");
    FAIL() << "no exception";
  } catch (const EStVersionInfoError& e) {
    EXPECT_EQ(e.ErrorCode, 134);
    EXPECT_EQ(e.Message(), "The specified key cannnot be found in version info");
  }
  // A single-key read is no full load: the texts still come.
  EXPECT_EQ(info.FileVersion(), "1.1.0.10");
}

TEST_F(VersionInfo, ShortFixedBlockLeavesTheFixedValuesZero) {
  source.values["C:\\Shop\\Tallimo.exe|\\"].resize(51);
  TStVersionInfo info(nullptr, source);
  EXPECT_EQ(info.Fixed().fileVersionMS, 0u);
  EXPECT_EQ(info.FileVersion(), "1.1.0.10");
}

}  // namespace
}  // namespace capture
