// The registry access on the test prefix's real registry.
#include "framework/registry_win.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fw {
namespace {

const std::string kBase = "Software\\TallimoTests\\Framework";

// The raw type and bytes of a value, read past the class under test.
std::pair<DWORD, std::vector<std::uint8_t>> RawValue(const std::string& key, const std::string& name) {
  DWORD type = 0, size = 256;
  std::vector<std::uint8_t> bytes(size);
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return {0, {}};
  const LONG result = RegQueryValueExA(opened, name.c_str(), nullptr, &type, bytes.data(), &size);
  RegCloseKey(opened);
  if (result != ERROR_SUCCESS) return {0, {}};
  bytes.resize(size);
  return {type, bytes};
}

bool RawKeyExists(const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = kBase + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }
  std::string key_;
};

TEST_F(Registry, ValuesOfEachTypeWithAndWithoutTheLeadingBackslash) {
  for (const std::string prefix : {"", "\\"}) {
    SCOPED_TRACE("prefix '" + prefix + "'");
    TRegistry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(prefix + key_, true)) << registry.LastError();
    const std::vector<std::uint8_t> eight = {1, 2, 3, 4, 0xFD, 0xFE, 0xFF, 0};
    EXPECT_TRUE(registry.WriteString("Text", "C:\\Program Files\\QUORVANE"));
    EXPECT_TRUE(registry.WriteString("Empty", ""));
    EXPECT_TRUE(registry.WriteInteger("Number", -2));
    EXPECT_TRUE(registry.WriteBinary("Eight", eight));
    EXPECT_TRUE(registry.FlushKey());
    registry.CloseKey();

    const auto [textType, textBytes] = RawValue(key_, "Text");
    EXPECT_EQ(textType, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(textBytes.begin(), textBytes.end()),
              std::string("C:\\Program Files\\QUORVANE") + '\0');
    const auto [numberType, numberBytes] = RawValue(key_, "Number");
    EXPECT_EQ(numberType, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(numberBytes, (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    const auto [binaryType, binaryBytes] = RawValue(key_, "Eight");
    EXPECT_EQ(binaryType, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(binaryBytes, eight);

    ASSERT_TRUE(registry.OpenKeyReadOnly(prefix + key_));
    EXPECT_EQ(registry.ReadString("Text"), "C:\\Program Files\\QUORVANE");
    EXPECT_EQ(registry.ReadString("Empty"), "");
    EXPECT_EQ(registry.ReadInteger("Number"), -2);
    EXPECT_EQ(registry.ReadBinary("Eight"), eight);
    EXPECT_EQ(registry.ValueType("Number"), static_cast<DWORD>(REG_DWORD));
    // Another type, or no value, reads as nothing.
    EXPECT_EQ(registry.ReadInteger("Text"), std::nullopt);
    EXPECT_EQ(registry.ReadString("Number"), std::nullopt);
    EXPECT_EQ(registry.ReadBinary("Text"), std::nullopt);
    EXPECT_EQ(registry.ReadString("Missing"), std::nullopt);
    EXPECT_FALSE(registry.ValueExists("Missing"));
    // A read-only key takes no writes.
    EXPECT_FALSE(registry.WriteString("Text", "x"));
    registry.CloseKey();
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()), ERROR_SUCCESS);
  }
}

TEST_F(Registry, OnlyOneLeadingBackslashIsRemoved) {
  TRegistry registry(HKEY_CURRENT_USER);
  EXPECT_FALSE(registry.OpenKey("\\\\" + key_, true));
  EXPECT_FALSE(RawKeyExists(key_));
}

TEST_F(Registry, OpeningForReadingNeverCreates) {
  TRegistry registry(HKEY_CURRENT_USER);
  EXPECT_FALSE(registry.OpenKeyReadOnly(key_ + "\\Missing"));
  EXPECT_FALSE(registry.OpenKey(key_ + "\\Missing", false));
  EXPECT_FALSE(registry.KeyExists("\\" + key_ + "\\Missing"));
  EXPECT_FALSE(RawKeyExists(key_));
  EXPECT_FALSE(registry.WriteString("NoKeyOpen", "x"));
}

TEST_F(Registry, ListsSubkeysAndValuesAndDeletesKeys) {
  TRegistry registry(HKEY_CURRENT_USER);
  for (const char* sub : {"Alpha", "Beta", "Gamma"}) ASSERT_TRUE(registry.OpenKey(key_ + "\\" + sub, true));
  ASSERT_TRUE(registry.OpenKey("\\" + key_, false));
  registry.WriteString("One", "1");
  registry.WriteInteger("Two", 2);
  auto keys = registry.GetKeyNames();
  auto values = registry.GetValueNames();
  std::sort(keys.begin(), keys.end());
  std::sort(values.begin(), values.end());
  EXPECT_EQ(keys, (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
  EXPECT_EQ(values, (std::vector<std::string>{"One", "Two"}));
  registry.CloseKey();

  EXPECT_TRUE(registry.DeleteKey("\\" + key_ + "\\Beta"));
  EXPECT_FALSE(registry.KeyExists(key_ + "\\Beta"));
  EXPECT_TRUE(registry.KeyExists(key_ + "\\Alpha"));
  EXPECT_FALSE(registry.DeleteKey(key_ + "\\Beta"));
  EXPECT_NE(registry.LastError(), ERROR_SUCCESS);
}

TEST_F(Registry, RootKeyCanChange) {
  TRegistry registry(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(registry.RootKey(), HKEY_LOCAL_MACHINE);
  EXPECT_TRUE(registry.OpenKeyReadOnly("\\Software\\Microsoft\\Windows\\CurrentVersion"));
  EXPECT_TRUE(registry.ReadString("ProgramFilesDir").has_value());
  registry.SetRootKey(HKEY_CURRENT_USER);
  EXPECT_EQ(registry.CurrentKey(), nullptr);
  EXPECT_TRUE(registry.OpenKey(key_, true));
  EXPECT_TRUE(RawKeyExists(key_));
}

}  // namespace
}  // namespace fw
