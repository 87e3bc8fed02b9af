// The installer's registry routines on the test prefix's real registry.
#include "setup/base/registry_win.h"

#include <gtest/gtest.h>

#include "setup/base/exceptions.h"

namespace setup {
namespace {

const std::string kBase = "Software\\TallimoTests\\SetupBase";

DWORD RawType(HKEY root, const std::string& key, const std::string& name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return REG_NONE;
  DWORD type = REG_NONE;
  const LONG result = RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, nullptr);
  RegCloseKey(opened);
  return result == ERROR_SUCCESS ? type : REG_NONE;
}

bool RawKeyExists(HKEY root, const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

class RegistryRoutines : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = kBase + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }
  std::string key_;
};

TEST_F(RegistryRoutines, WriteAndReadEachTypeWithAndWithoutTheLeadingBackslash) {
  for (const std::string prefix : {"\\", ""}) {
    SCOPED_TRACE("prefix '" + prefix + "'");
    const std::string key = prefix + key_;
    RegWriteString(kCurrentUser, key, "Folder", "C:\\Program Files\\QUORVANE");
    RegWriteInteger(kCurrentUser, key, "Count", -7);
    EXPECT_EQ(RawType(HKEY_CURRENT_USER, key_, "Folder"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(RawType(HKEY_CURRENT_USER, key_, "Count"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(RegReadString(kCurrentUser, key, "Folder", "default"), "C:\\Program Files\\QUORVANE");
    EXPECT_EQ(RegReadInteger(kCurrentUser, key, "Count", 99), -7);
    // Of another type, or missing, the value reads as the default.
    EXPECT_EQ(RegReadString(kCurrentUser, key, "Count", "default"), "default");
    EXPECT_EQ(RegReadInteger(kCurrentUser, key, "Folder", 99), 99);
    EXPECT_EQ(RegReadString(kCurrentUser, key, "Missing", "default"), "default");
    // The same key under another root is another key.
    EXPECT_EQ(RegReadString(kUsers, key, "Folder", "elsewhere"), "elsewhere");
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()), ERROR_SUCCESS);
  }
}

TEST_F(RegistryRoutines, ReadOfAMissingKeyLeavesNoKeyBehind) {
  EXPECT_EQ(RegReadString(kCurrentUser, "\\" + key_ + "\\Inner", "Name", "default"), "default");
  EXPECT_EQ(RegReadInteger(kCurrentUser, "\\" + key_ + "\\Inner", "Name", 5), 5);
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, key_));
}

TEST_F(RegistryRoutines, FailedWritesRaiseWithTheirMessages) {
  try {
    RegWriteString(9, "\\" + key_, "Ident", "Value");
    ADD_FAILURE() << "no exception";
  } catch (const EIRCannotWriteValue& e) {
    EXPECT_EQ(e.Message(), "Cannot install into registry. Key: \\" + key_ + " Ident: Ident Value Value");
  }
  // A key name longer than the registry allows cannot be created.
  const std::string longKey = "\\" + key_ + "\\" + std::string(300, 'k');
  try {
    RegWriteInteger(kCurrentUser, longKey, "Ident", 1);
    ADD_FAILURE() << "no exception";
  } catch (const EIRCannotWriteValue& e) {
    EXPECT_EQ(e.Message(), longKey);
  }
  EXPECT_EQ(RegReadInteger(-1, key_, "Ident", 3), 3);
}

TEST_F(RegistryRoutines, DeleteTreeRemovesThreeLevels) {
  for (const char* sub : {"\\A\\A1\\A11", "\\A\\A1\\A12", "\\A\\A2", "\\B"}) {
    RegWriteString(kCurrentUser, "\\" + key_ + sub, "Here", sub);
  }
  RegWriteInteger(kCurrentUser, "\\" + key_, "Top", 1);
  // A sibling stays.
  RegWriteString(kCurrentUser, "\\" + key_ + "Sibling", "Here", "yes");
  RegDeleteTree(kCurrentUser, "\\" + key_);
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, key_));
  EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, key_ + "Sibling"));
  RegDeleteTreeA(HKEY_CURRENT_USER, (key_ + "Sibling").c_str());
  // Missing keys are passed over in silence.
  EXPECT_NO_THROW(RegDeleteTree(kCurrentUser, "\\" + key_));
  EXPECT_NO_THROW(RegDeleteTree(17, "\\" + key_));
}

TEST_F(RegistryRoutines, DeleteTreeOfAKeyPathEndingInABackslash) {
  RegWriteString(kCurrentUser, key_ + "\\Inner", "Here", "x");
  RegDeleteTree(kCurrentUser, key_ + "\\");
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, key_ + "\\Inner"));
}

class RunOnce : public ::testing::Test {
 protected:
  // A restart of the prefix would run the values: every one is removed again.
  void TearDown() override {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey + 1, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    for (const std::string suffix : {"", "1", "2", "3"}) RegDeleteValueA(key, (kName + suffix).c_str());
    RegCloseKey(key);
  }
  const std::string kName = "TallimoSetupBaseTest";
};

TEST_F(RunOnce, UniqueNamesTakeTheFirstFreeSuffix) {
  const std::string key = std::string(kRunOnceKey);
  ASSERT_TRUE(AddRunOnceValue(kName, "cmd /c rem first", true));
  ASSERT_TRUE(AddRunOnceValue(kName, "cmd /c rem second", true));
  ASSERT_TRUE(AddRunOnceValue(kName, "cmd /c rem third", true));
  EXPECT_EQ(RegReadString(kLocalMachine, key, kName, ""), "cmd /c rem first");
  EXPECT_EQ(RegReadString(kLocalMachine, key, kName + "1", ""), "cmd /c rem second");
  EXPECT_EQ(RegReadString(kLocalMachine, key, kName + "2", ""), "cmd /c rem third");
  EXPECT_EQ(RawType(HKEY_LOCAL_MACHINE, key.substr(1), kName + "2"), static_cast<DWORD>(REG_SZ));
  // Without unique the value is written over.
  ASSERT_TRUE(AddRunOnceValue(kName, "cmd /c rem again", false));
  EXPECT_EQ(RegReadString(kLocalMachine, key, kName, ""), "cmd /c rem again");
  EXPECT_EQ(RegReadString(kLocalMachine, key, kName + "3", "none"), "none");
}

TEST(RootKeys, IndexOfEachPredefinedRoot) {
  const std::pair<HKEY, int> roots[] = {{HKEY_CLASSES_ROOT, 0},  {HKEY_CURRENT_CONFIG, 1},
                                        {HKEY_CURRENT_USER, 2},  {HKEY_DYN_DATA, 3},
                                        {HKEY_LOCAL_MACHINE, 4}, {HKEY_USERS, 5}};
  for (const auto& [root, index] : roots) {
    EXPECT_EQ(RootKeyIndex(root, -1), index);
    EXPECT_EQ(RootKeyOfIndex(index), root);
  }
  EXPECT_EQ(RootKeyIndex(HKEY_PERFORMANCE_DATA, 7), 7);
  EXPECT_EQ(RootKeyIndex(nullptr, -3), -3);
  EXPECT_EQ(RootKeyOfIndex(6), nullptr);
  EXPECT_EQ(RootKeyOfIndex(-1), nullptr);
}

}  // namespace
}  // namespace setup
