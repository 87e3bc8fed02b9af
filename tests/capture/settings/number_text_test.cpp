#include <gtest/gtest.h>

#include <ostream>

#include <optional>
#include <string>

#include "capture/settings/number_text.h"

namespace capture {
namespace {

struct IntCase {
  std::string text;
  std::optional<std::int32_t> expected;
  friend std::ostream& operator<<(std::ostream& out, const IntCase& c) { return out << '"' << c.text << '"'; }
};

class DecimalInt32 : public ::testing::TestWithParam<IntCase> {};

TEST_P(DecimalInt32, AcceptsOnlyDecimalIntegersInRange) {
  EXPECT_EQ(ParseDecimalInt32(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecimalInt32,
    ::testing::Values(IntCase{"12", 12}, IntCase{"-3", -3}, IntCase{"+7", 7}, IntCase{" 42 ", 42},
                      IntCase{"0", 0}, IntCase{"2147483647", 2147483647}, IntCase{"-2147483648", INT32_MIN},
                      IntCase{"2147483648", std::nullopt}, IntCase{"99999999999", std::nullopt},
                      IntCase{"abc", std::nullopt}, IntCase{"", std::nullopt}, IntCase{"-", std::nullopt},
                      IntCase{"0x10", std::nullopt}, IntCase{"$10", std::nullopt},
                      IntCase{"1.0", std::nullopt}, IntCase{"1 2", std::nullopt}));

struct RealCase {
  std::string text;
  std::optional<double> expected;
  friend std::ostream& operator<<(std::ostream& out, const RealCase& c) {
    return out << '"' << c.text << '"';
  }
};

class RealNumber : public ::testing::TestWithParam<RealCase> {};

TEST_P(RealNumber, UsesAFullStopAsDecimalSeparator) {
  EXPECT_EQ(ParseRealNumber(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, RealNumber,
                         ::testing::Values(RealCase{"2.5", 2.5}, RealCase{"0.0", 0.0}, RealCase{"-1", -1.0},
                                           RealCase{"+.5", 0.5}, RealCase{"5.", 5.0}, RealCase{"1e3", 1000.0},
                                           RealCase{" 3 ", 3.0}, RealCase{"2,5", std::nullopt},
                                           RealCase{".", std::nullopt}, RealCase{"", std::nullopt},
                                           RealCase{"inf", std::nullopt}, RealCase{"nan", std::nullopt},
                                           RealCase{"0x10", std::nullopt}, RealCase{"1e", std::nullopt},
                                           RealCase{"1e999", std::nullopt}, RealCase{"yes", std::nullopt},
                                           RealCase{"1.1.0.10", std::nullopt}));

struct VersionCase {
  std::string text;
  double expected;
  friend std::ostream& operator<<(std::ostream& out, const VersionCase& c) {
    return out << '"' << c.text << '"';
  }
};

class VersionNumber : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionNumber, WholeTextElseUpToTheSecondStopCutToSixCharacters) {
  EXPECT_DOUBLE_EQ(VersionTextToNumber(GetParam().text), GetParam().expected)
      << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, VersionNumber,
                         ::testing::Values(VersionCase{"1.1.0.10", 1.1}, VersionCase{"2.5", 2.5},
                                           VersionCase{"10.123456.7", 10.123}, VersionCase{"3", 3.0},
                                           VersionCase{"12345678.1.2", 123456.0}, VersionCase{"", 0.0},
                                           VersionCase{"beta", 0.0}, VersionCase{"1.x.2", 0.0}));

}  // namespace
}  // namespace capture
