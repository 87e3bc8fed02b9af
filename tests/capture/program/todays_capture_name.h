// The name the capture program gives today's capture files, for the tests
// that read them back: "<month>_<day>_<year>_<n>.txt".
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace capture_test {

inline std::string TodayName(int counter) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char name[64];
  std::snprintf(name, sizeof name, "%u_%u_%u_%d.txt", now.wMonth, now.wDay, now.wYear, counter);
  return name;
}

}  // namespace capture_test
