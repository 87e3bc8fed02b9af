#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "capture/settings/location.h"

namespace capture {
namespace {

struct LocationCase {
  int variant;
  bool engineFolderExists;
  const char* expected;
  friend std::ostream& operator<<(std::ostream& out, const LocationCase& c) {
    return out << "variant " << c.variant << (c.engineFolderExists ? " with" : " without")
               << " engine folder";
  }
};

class SettingsLocation : public ::testing::TestWithParam<LocationCase> {};

TEST_P(SettingsLocation, VariantNameInTheEngineFolderElseBesideTheProgram) {
  const LocationCase& c = GetParam();
  EXPECT_EQ(SettingsFilePath(c.variant, "C:\\Shop\\Till\\Tallimo.exe", c.engineFolderExists), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsLocation,
    ::testing::Values(LocationCase{0, false, "C:\\Shop\\Till\\icbr424.cgr"},
                      LocationCase{1, false, "C:\\Shop\\Till\\ictu424.cgr"},
                      LocationCase{2, false, "C:\\Shop\\Till\\icmo424.cgr"},
                      LocationCase{3, false, "C:\\Shop\\Till\\Tallimo.cgr"},
                      LocationCase{-1, false, "C:\\Shop\\Till\\Tallimo.cgr"},
                      LocationCase{0, true, "C:\\Program Files\\Harrowgate\\Common Files\\HDB\\icbr424.cgr"},
                      LocationCase{1, true, "C:\\Program Files\\Harrowgate\\Common Files\\HDB\\ictu424.cgr"},
                      LocationCase{2, true, "C:\\Program Files\\Harrowgate\\Common Files\\HDB\\icmo424.cgr"},
                      LocationCase{3, true, "C:\\Shop\\Till\\Tallimo.cgr"}));

TEST(SettingsPathParts, FolderKeepsItsSeparatorAndExtensionChangesOnlyInTheFileName) {
  EXPECT_EQ(FolderOf("C:\\a\\b.exe"), "C:\\a\\");
  EXPECT_EQ(FolderOf("C:b.exe"), "C:");
  EXPECT_EQ(FolderOf("b.exe"), "");
  EXPECT_EQ(WithExtension("C:\\a.dir\\prog", ".cgr"), "C:\\a.dir\\prog.cgr");
  EXPECT_EQ(WithExtension("C:\\a\\prog.x.exe", ".cgr"), "C:\\a\\prog.x.cgr");
  EXPECT_EQ(WithExtension("", ".cgr"), ".cgr");
}

}  // namespace
}  // namespace capture
