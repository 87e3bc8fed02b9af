// The core builds twice: natively with the sanitizers, and for Windows.
#include <gtest/gtest.h>

#include <cstdint>

#if !defined(_WIN32)
TEST(BuildFlags, NativeBuildRunsUnderAddressSanitizer) {
#if defined(__SANITIZE_ADDRESS__)
  SUCCEED();
#else
  FAIL() << "the host build must compile with -fsanitize=address,undefined";
#endif
}
#endif

TEST(BuildFlags, PointersAre64Bits) {
  // Binary layouts are read field by field; this guards the assumption that
  // every build we test is a 64-bit one, so 32-bit slips show up.
  EXPECT_EQ(sizeof(void*), 8u);
  EXPECT_EQ(sizeof(std::uint32_t), 4u);
}
