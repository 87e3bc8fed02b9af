#include "report/expressions/platform.h"

namespace report {

bool IsTrailByteAt(const ExpressionPlatform& platform, std::string_view text, std::size_t index) {
  std::size_t i = 0;
  while (i < index) i += platform.IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  return i > index;
}

}  // namespace report
