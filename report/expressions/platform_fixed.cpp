#include "report/expressions/platform_fixed.h"

namespace report {

namespace {

// ASCII case mapping that leaves the second byte of a double-byte pair alone.
std::string MapAscii(const ExpressionPlatform& platform, std::string_view text, bool upper) {
  std::string result(text);
  for (std::size_t i = 0; i < result.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(result[i]);
    if (platform.IsLeadByte(c)) {
      ++i;
    } else if (upper && c >= 'a' && c <= 'z') {
      result[i] = static_cast<char>(c - 'a' + 'A');
    } else if (!upper && c >= 'A' && c <= 'Z') {
      result[i] = static_cast<char>(c - 'A' + 'a');
    }
  }
  return result;
}

}  // namespace

std::string FixedExpressionPlatform::UpperCase(std::string_view text) const {
  return MapAscii(*this, text, true);
}

std::string FixedExpressionPlatform::LowerCase(std::string_view text) const {
  return MapAscii(*this, text, false);
}

}  // namespace report
