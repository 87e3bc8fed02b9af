#include "framework/exceptions.h"

#include <gtest/gtest.h>

TEST(InOutError, CarriesTheErrorNumberAndItsText) {
  struct Case { int code; const char* text; };
  for (const Case& c : {Case{2, "File not found"}, Case{5, "File access denied"}, Case{101, "Disk write error"},
                        Case{999, "I/O error 999"}}) {
    fw::EInOutError error(c.code);
    EXPECT_EQ(error.ErrorCode, c.code);
    EXPECT_EQ(error.Message(), c.text);
    EXPECT_STREQ(error.what(), c.text);
  }
}

TEST(InOutError, IsCaughtAsTheFrameworkException) {
  try {
    throw fw::EInOutError(32);
  } catch (const fw::Exception& e) {
    EXPECT_EQ(e.Message(), "File is in use by another program");
  }
}
