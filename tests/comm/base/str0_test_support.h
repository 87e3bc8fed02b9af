// Helpers shared by the string-table tests: the generated tables on disk.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace comm_test {

inline std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::uint8_t> GeneratedTable(const std::string& fileName) {
  return ReadFileBytes(std::string(COMM_STR0_DIR) + "/" + fileName);
}

}  // namespace comm_test
