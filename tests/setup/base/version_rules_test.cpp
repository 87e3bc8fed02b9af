// The version reader's plain rules: comparisons, date steps, the texts of
// the fixed part and the string-table key.
#include <gtest/gtest.h>

#include "setup/base/overwrite_decision.h"
#include "setup/base/version_resource.h"

namespace setup {
namespace {

TEST(CompareVersionTexts, Table) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  };
  const Case cases[] = {
      {"1.2.3", "1.2.3", 0},
      {"1.2", "1.2.1", 2},
      {"2.0", "10.0", 2},
      {"1.a", "1.b", 2},
      {"", "", 0},
      {"1.10", "1.9", 1},
      {"1.0.1", "1.0", 1},
      {"10000000000", "9", 1},                                         // beyond 32 bits, by value
      {"1.99999999999999999999999", "1.100000000000000000000000", 2},  // beyond 64 bits too
      {"1.007", "1.7", 0},                                             // leading zeros do not count
      {"1.0", "", 1},                                                  // a version against none
      {"", "0", 2},
      {"1.b", "1.a", 1},
      {"1.a", "1.a", 0},
      {"1.9", "1.a", 2},  // a non-number compares byte-wise: '9' < 'a'
      {"1.-1", "1.2", 2},
      {"1..2", "1..2", 0},
      {"1.\xE9", "1.z", 1},  // bytes compare unsigned
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareVersionTexts(c.a, c.b), c.expected) << "'" << c.a << "' against '" << c.b << "'";
  }
}

TEST(CompareFileDates, TwoSecondSteps) {
  const double second = 1.0 / 86400.0;
  const double base = 36525.0 + 10.0 * 3600.0 * second;  // 1 January 2000, 10:00:00
  struct Case {
    double a;
    double b;
    int expected;
  };
  const Case cases[] = {
      {base, base, 1},
      {base + 1 * second, base, 1},  // an odd second lies in the same step
      {base + 1.999 * second, base, 1},
      {base + 2 * second, base, 2},
      {base - 1e-12, base, 1},  // a hair below after a conversion
      {base, base + 2 * second, 3},
      {base + 1 * second, base + 2 * second, 3},
      {-0.25, -0.25 + second, 1},    // before the epoch
      {-1.0 / 86400.0 / 2, 0.0, 3},  // half a second before midnight of day 0
  };
  for (const auto& c : cases) EXPECT_EQ(CompareFileDates(c.a, c.b), c.expected) << c.a << " / " << c.b;
}

TEST(FixedPartTexts, Tables) {
  const std::pair<std::uint32_t, const char*> os[] = {{1, "Windows 3.0 or later"},
                                                      {2, "16 bit OS/2 Presentation Manager"},
                                                      {3, "32 bit OS/2 Presentation Manager"},
                                                      {4, "32 bit Windows"},
                                                      {0x10000, "MS-Dos"},
                                                      {0x10001, "Windows 3.0 or later with MS-Dos"},
                                                      {0x10004, "32 bit Windows with MS-Dos"},
                                                      {0x20000, "16 bit OS/2"},
                                                      {0x20002, "16 bit OS/2 with Presentation Manager"},
                                                      {0x30000, "32 bit OS/2"},
                                                      {0x30003, "32 bit OS/2 with Presentation Manager"},
                                                      {0x40000, "Windows NT"},
                                                      {0x40004, "Windows NT with 32 bit Windows"},
                                                      {0, "Unknown"},
                                                      {0x50000, "Unknown"}};
  for (const auto& [value, text] : os) EXPECT_EQ(FileOSText(value), text) << value;
  const std::pair<std::uint32_t, const char*> types[] = {
      {1, "Application"},           {2, "Dynamic-Link Library"},
      {3, "Device Driver"},         {4, "Font"},
      {5, "Virtual Device Driver"}, {6, "Unknown"},
      {7, "Static-Link Library"},   {0, "Unknown"}};
  for (const auto& [value, text] : types) EXPECT_EQ(FileTypeText(value), text) << value;
  const char* drivers[] = {"Unknown", "Printer", "Keyboard",    "Language", "Display",        "Mouse",
                           "Network", "System",  "Installable", "Sound",    "Communications", "Unknown"};
  for (std::uint32_t sub = 0; sub < 12; ++sub) EXPECT_EQ(FileSubTypeText(3, sub), drivers[sub]) << sub;
  const char* fonts[] = {"Unknown", "Raster", "Vector", "TrueType", "Unknown"};
  for (std::uint32_t sub = 0; sub < 5; ++sub) EXPECT_EQ(FileSubTypeText(4, sub), fonts[sub]) << sub;
  EXPECT_EQ(FileSubTypeText(1, 3), "");
  EXPECT_EQ(FileSubTypeText(2, 1), "");
}

TEST(VersionResourceKeys, LanguagesAndCodePages) {
  using namespace versionres;
  EXPECT_EQ(LanguageId(lnArabic), 1025);
  EXPECT_EQ(LanguageId(lnGerman), 1031);
  EXPECT_EQ(LanguageId(lnUSEnglish), 1033);
  EXPECT_EQ(LanguageId(lnBahasa), 1057);
  EXPECT_EQ(LanguageId(lnSimplifiedChinese), 2052);
  EXPECT_EQ(LanguageId(lnUKEnglish), 2057);
  EXPECT_EQ(LanguageId(lnSerboCroatian), 2074);
  EXPECT_EQ(LanguageId(lnCanadianFrench), 3084);
  EXPECT_EQ(LanguageId(lnSwissFrench), 4108);
  EXPECT_EQ(CodePage(csASCII), 0);
  EXPECT_EQ(CodePage(csJapan), 932);
  EXPECT_EQ(CodePage(csUnicode), 1200);
  EXPECT_EQ(CodePage(csMultilingual), 1252);
  EXPECT_EQ(CodePage(csArabic), 1256);
}

}  // namespace
}  // namespace setup
