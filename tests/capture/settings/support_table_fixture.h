// Opens the generated support message table (read from the build folder)
// for the duration of a test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "capture/settings/support_messages.h"
#include "comm/base/string_resource.h"

namespace capture_test {

inline std::vector<std::uint8_t> GeneratedSupportTable() {
  std::ifstream in(std::string(CAPTURE_STR0_DIR) + "/stsupport_strings_english.str0", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SupportTable : public ::testing::Test {
 protected:
  void SetUp() override {
    tableBytes = GeneratedSupportTable();
    ASSERT_FALSE(tableBytes.empty()) << "generated table missing";
    module.Add(capture::kSupportStringsName, tableBytes);
    capture::StartSupportMessages(module);
  }
  void TearDown() override { capture::FinishSupportMessages(); }

  std::vector<std::uint8_t> tableBytes;
  comm::MemoryResourceModule module;
};

}  // namespace capture_test
