#include "setup/wizard/install_forms.h"

#include <algorithm>

namespace setup {

const std::string& TStatusStack::Push(const std::string& text) {
  lines_.push_back(text);
  return lines_.back();
}

std::optional<std::string> TStatusStack::Pop() {
  if (!lines_.empty()) lines_.pop_back();
  if (lines_.empty()) return std::nullopt;
  return lines_.back();
}

int StatusFormWidth(int textWidth, int backLeft, int messageLeft, int labelLeft) {
  return textWidth + backLeft + messageLeft + labelLeft + 25;
}

int ClampPercent(long long percent) { return static_cast<int>(std::clamp<long long>(percent, 0, 100)); }

bool TPaintPace::Due(std::uint32_t nowMs, bool last) {
  if (!last && shown_ && nowMs - *shown_ < interval_) return false;
  shown_ = nowMs;
  return true;
}

}  // namespace setup
