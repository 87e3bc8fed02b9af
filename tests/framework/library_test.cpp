#include "framework/library.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw {
namespace {

// A library of two entries, "first" and "second", that notes its loads and frees.
int library = 0;
std::vector<std::string> calls;
const char* missing = nullptr;

void* Load(const char* name) {
  calls.push_back(std::string("load ") + name);
  return std::string(name) == "present" ? &library : nullptr;
}
void* Entry(void*, const char* name) {
  static int first = 1, second = 2;
  if (missing && std::string(name) == missing) return nullptr;
  return std::string(name) == "first" ? static_cast<void*>(&first) : static_cast<void*>(&second);
}
void Unload(void* handle) {
  EXPECT_EQ(handle, &library);
  calls.push_back("unload");
}

const LibraryLoader kLoader{&Load, &Entry, &Unload};

class BoundLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    missing = nullptr;
  }
};

TEST_F(BoundLibraryTest, BindsEveryEntryInTheOrderOfTheNames) {
  BoundLibrary bound({"first", "second"});
  EXPECT_FALSE(bound.Loaded());
  ASSERT_TRUE(bound.Load(&kLoader, "present"));
  EXPECT_EQ(*static_cast<int*>(bound.Entry(0)), 1);
  EXPECT_EQ(*static_cast<int*>(bound.Entry(1)), 2);
  EXPECT_EQ(bound.FirstMissing(), nullptr);
  bound.Unload();
  EXPECT_FALSE(bound.Loaded());
  EXPECT_EQ(bound.Entry(0), nullptr);
  bound.Unload();
  EXPECT_EQ(calls, (std::vector<std::string>{"load present", "unload"}));
}

TEST_F(BoundLibraryTest, AnEntryLeftOutStaysNullAndIsNamed) {
  missing = "second";
  BoundLibrary bound({"first", "second"});
  ASSERT_TRUE(bound.Load(&kLoader, "present"));
  EXPECT_NE(bound.Entry(0), nullptr);
  EXPECT_EQ(bound.Entry(1), nullptr);
  EXPECT_STREQ(bound.FirstMissing(), "second");
}

TEST_F(BoundLibraryTest, NoLibraryOrNoLoaderLoadsNothing) {
  {
    BoundLibrary bound({"first"});
    EXPECT_FALSE(bound.Load(&kLoader, "absent"));
    EXPECT_FALSE(bound.Load(nullptr, "present"));
    EXPECT_FALSE(bound.Loaded());
    EXPECT_EQ(bound.Entry(0), nullptr);
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"load absent"}));
}

TEST_F(BoundLibraryTest, DestructionAndReloadingFreeTheLibraryOnce) {
  {
    BoundLibrary bound({"first"});
    ASSERT_TRUE(bound.Load(&kLoader, "present"));
    ASSERT_TRUE(bound.Load(&kLoader, "present"));
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"load present", "unload", "load present", "unload"}));
}

}  // namespace
}  // namespace fw
