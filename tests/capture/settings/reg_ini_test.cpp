#include <gtest/gtest.h>

#include <ostream>

#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "capture/settings/reg_ini.h"
#include "tests/capture/settings/support_table_fixture.h"

namespace capture {
namespace {

// A profile file in memory that records every write and can fail the n-th.
class MemoryProfile : public ProfileFile {
 public:
  struct Write {
    std::string file, section, name;
    std::optional<std::string> value;
  };

  std::string ReadValue(const std::string& file, const std::string& section, const std::string& name,
                        const std::string& defaultValue, std::size_t bufferSize) override {
    lastReadDefault = defaultValue;
    lastBufferSize = bufferSize;
    const auto found = values.find(file + "|" + section + "|" + name);
    return found == values.end() ? defaultValue : found->second;
  }

  WriteResult WriteValue(const std::string& file, const std::string& section, const std::string& name,
                         const std::optional<std::string>& value) override {
    writes.push_back({file, section, name, value});
    if (failWriteNumber == static_cast<int>(writes.size())) return {false, 32};
    const std::string key = file + "|" + section + "|" + name;
    if (value) {
      values[key] = *value;
    } else {
      values.erase(key);
    }
    return {true, 0};
  }

  std::map<std::string, std::string> values;
  std::vector<Write> writes;
  int failWriteNumber = 0;  // 1-based; 0 never fails
  std::string lastReadDefault;
  std::size_t lastBufferSize = 0;
};

class RegIni : public capture_test::SupportTable {
 protected:
  void Store(const std::string& name, const std::string& value) {
    profile.values["C:\\APP\\ICBR424.CGR|Maintain|" + name] = value;
  }
  MemoryProfile profile;
};

TEST_F(RegIni, OpenWritesAndDeletesTheProbeThenSelectsTheSection) {
  const auto settings = OpenSettingsFile(profile, "C:\\App\\icbr424.cgr", "Maintain");
  EXPECT_EQ(settings->FileName(), "C:\\APP\\ICBR424.CGR");
  EXPECT_EQ(settings->CurrentSection(), "Maintain");
  ASSERT_EQ(profile.writes.size(), 2u);
  EXPECT_EQ(profile.writes[0].name, "$ABC123098FED");
  EXPECT_EQ(profile.writes[0].value, " ");
  EXPECT_EQ(profile.writes[1].name, "$ABC123098FED");
  EXPECT_EQ(profile.writes[1].value, std::nullopt);
  EXPECT_TRUE(profile.values.empty());
}

TEST_F(RegIni, ReadsOfMissingValuesGiveTheDefaults) {
  const auto settings = OpenSettingsFile(profile, "C:\\App\\icbr424.cgr", "Maintain");
  EXPECT_EQ(settings->ReadText("CommPort", ""), "");
  EXPECT_EQ(settings->ReadText("PhoneNum", "555"), "555");
  EXPECT_FALSE(settings->ReadFlag("AutoConnect", false));
  EXPECT_TRUE(settings->ReadFlag("AutoConnect", true));
  EXPECT_EQ(profile.lastReadDefault, "TRUE");
  EXPECT_EQ(settings->ReadNumber("Register", 0), 0);
  EXPECT_EQ(settings->ReadNumber("Register", -17), -17);
  EXPECT_EQ(profile.lastReadDefault, "-17");
  EXPECT_EQ(profile.lastBufferSize, 1024u);
}

TEST_F(RegIni, EmptyTextValueGivesTheDefault) {
  const auto settings = OpenSettingsFile(profile, "C:\\App\\icbr424.cgr", "Maintain");
  Store("CommPort", "");
  EXPECT_EQ(settings->ReadText("CommPort", "COM9"), "COM9");
}

struct FlagCase {
  std::string stored;
  bool defaultValue;
  bool expected;
  friend std::ostream& operator<<(std::ostream& out, const FlagCase& c) {
    return out << '"' << c.stored << "\" default " << c.defaultValue;
  }
};

class RegIniFlag : public RegIni, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(RegIniFlag, ReadsWordsAnyCaseThenNumbersElseTheDefault) {
  const auto settings = OpenSettingsFile(profile, "C:\\App\\icbr424.cgr", "Maintain");
  Store("AutoConnect", GetParam().stored);
  EXPECT_EQ(settings->ReadFlag("AutoConnect", GetParam().defaultValue), GetParam().expected)
      << '"' << GetParam().stored << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, RegIniFlag,
                         ::testing::Values(FlagCase{"yes", false, false}, FlagCase{"yes", true, true},
                                           FlagCase{"1", false, true}, FlagCase{"0.0", true, false},
                                           FlagCase{"true", false, true}, FlagCase{"TRUE", false, true},
                                           FlagCase{"tRuE", false, true}, FlagCase{"FALSE", true, false},
                                           FlagCase{"false", true, false}, FlagCase{"", true, true},
                                           FlagCase{"", false, false}, FlagCase{"2.5", false, true},
                                           FlagCase{"-1", false, true}, FlagCase{"2,5", false, false}));

struct NumberCase {
  std::string stored;
  std::int32_t defaultValue;
  std::int32_t expected;
  friend std::ostream& operator<<(std::ostream& out, const NumberCase& c) {
    return out << '"' << c.stored << "\" default " << c.defaultValue;
  }
};

class RegIniNumber : public RegIni, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(RegIniNumber, ReadsDecimalIntegersElseTheDefault) {
  const auto settings = OpenSettingsFile(profile, "C:\\App\\icbr424.cgr", "Maintain");
  Store("Register", GetParam().stored);
  EXPECT_EQ(settings->ReadNumber("Register", GetParam().defaultValue), GetParam().expected)
      << '"' << GetParam().stored << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, RegIniNumber,
                         ::testing::Values(NumberCase{"abc", 0, 0}, NumberCase{"", 0, 0},
                                           NumberCase{"12", 0, 12}, NumberCase{"-3", 0, -3},
                                           NumberCase{"99999999999", 4, 4}, NumberCase{"0x10", 4, 4},
                                           NumberCase{"$10", 4, 4}, NumberCase{"7.5", 4, 4}));

TEST_F(RegIni, WritesStoreTextsNumbersAndFlagsInTheCurrentSection) {
  const auto settings = OpenSettingsFile(profile, "C:\\App\\icbr424.cgr", "Maintain");
  settings->WriteText("CommPort", "None Selected");
  settings->WriteNumber("Register", -42);
  settings->WriteFlag("AutoConnect", true);
  settings->WriteFlag("Other", false);
  EXPECT_EQ(profile.values.at("C:\\APP\\ICBR424.CGR|Maintain|CommPort"), "None Selected");
  EXPECT_EQ(profile.values.at("C:\\APP\\ICBR424.CGR|Maintain|Register"), "-42");
  EXPECT_EQ(profile.values.at("C:\\APP\\ICBR424.CGR|Maintain|AutoConnect"), "TRUE");
  EXPECT_EQ(profile.values.at("C:\\APP\\ICBR424.CGR|Maintain|Other"), "FALSE");
  EXPECT_EQ(settings->ReadText("CommPort", ""), "None Selected");
  EXPECT_EQ(settings->ReadNumber("Register", 0), -42);
  EXPECT_TRUE(settings->ReadFlag("AutoConnect", false));
}

// Each failure: what it does, the error id and its exact text.
struct FailureCase {
  const char* what;
  int failWriteNumber;
  std::int32_t errorCode;
  const char* message;
  friend std::ostream& operator<<(std::ostream& out, const FailureCase& c) {
    return out << c.what << " failing write " << c.failWriteNumber;
  }
};

class RegIniFailure : public RegIni, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RegIniFailure, RaisesEStRegIniErrorWithItsIdAndText) {
  const FailureCase& c = GetParam();
  profile.failWriteNumber = c.failWriteNumber;
  try {
    const std::string what = c.what;
    if (what == "no file name") {
      TStRegIni settings(profile, "");
    } else if (what == "no section") {
      TStRegIni(profile, "x.cgr").EnsureSection("");
    } else if (what == "open") {
      OpenSettingsFile(profile, "x.cgr", "Maintain");
    } else {
      TStRegIni settings(profile, "x.cgr");
      settings.SelectSection("Maintain");
      if (what == "no value name") settings.WriteText("", "v");
      if (what == "write text") settings.WriteText("CommPort", "COM1");
      if (what == "write number") settings.WriteNumber("Register", 1);
      if (what == "write flag") settings.WriteFlag("AutoConnect", true);
    }
    FAIL() << c.what << ": no exception";
  } catch (const EStRegIniError& e) {
    EXPECT_EQ(e.ErrorCode, c.errorCode) << c.what;
    EXPECT_EQ(e.Message(), c.message) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegIniFailure,
    ::testing::Values(FailureCase{"no file name", 0, 2, "No Ini File or Primary Key specified"},
                      FailureCase{"no section", 0, 9, "No key name specified"},
                      FailureCase{"open", 1, 5, "Failed to create key\\nError Code: 32"},
                      FailureCase{"open", 2, 7, "Failed to write value to INI file"},
                      FailureCase{"no value name", 0, 40, "No Value Name specified"},
                      FailureCase{"write text", 1, 7, "Failed to write value to INI file"},
                      FailureCase{"write number", 1, 7, "Failed to write value to INI file"},
                      FailureCase{"write flag", 1, 7, "Failed to write value to INI file"}));

TEST_F(RegIni, LockIsReleasedWhenAnOperationRaises) {
  TStRegIni settings(profile, "x.cgr");
  EXPECT_THROW(settings.WriteText("", "v"), EStRegIniError);
  // Would deadlock if the failed write had kept the lock.
  settings.SelectSection("Maintain");
  EXPECT_EQ(settings.CurrentSection(), "Maintain");
}

}  // namespace
}  // namespace capture
