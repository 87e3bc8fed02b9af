#include "setup/base/windows_kind.h"

#include <gtest/gtest.h>

#include "setup/base/exceptions.h"

namespace setup {
namespace {

TEST(WindowsKind, FromTheVersionQuery) {
  struct Case {
    const char* system;
    WindowsVersion version;
    int kind;
  };
  const Case cases[] = {
      {"Win32s", {0, 3, 11}, 0},   {"Windows 95", {1, 4, 0}, 1}, {"Windows 98", {1, 4, 10}, 1},
      {"NT 3.5", {2, 3, 50}, 3},   {"NT 3.51", {2, 3, 51}, 3},   {"NT 4.0", {2, 4, 0}, 2},
      {"Windows 7", {2, 6, 1}, 2}, {"NT 3.1", {2, 3, 10}, 2},    {"CE", {3, 4, 0}, 4},
  };
  for (const auto& c : cases) EXPECT_EQ(WindowsKindOf(c.version), c.kind) << c.system;
}

TEST(WindowsKind, FailedQueryRaises) {
  try {
    WindowsKindOf(std::nullopt);
    ADD_FAILURE() << "no exception";
  } catch (const EAPIRoutines& e) {
    EXPECT_EQ(e.Message(), "Could not get information about the current version of Windows");
  }
}

}  // namespace
}  // namespace setup
