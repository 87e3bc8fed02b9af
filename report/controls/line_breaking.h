// Breaking a label's text into the lines it prints: CR ends a line, LF is
// dropped, and words are put on lines no wider than a limit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

struct QRLineBreakRules {
  // One line per CR-separated part, unchanged.
  bool AutoSize = false;
  // Off: each part prints as one line, up to the first word that overflows.
  bool WordWrap = true;
  // The widest a line may measure, in the measure's units.
  std::int32_t Limit = 0;
  // The width of a text.
  std::function<std::int32_t(const std::string&)> Measure;
  // True for the first byte of a double-byte character.
  std::function<bool(unsigned char)> IsLeadByte;
};

// Every part of the text gives at least one line. With word wrap on no byte
// but CR and LF is lost: a word wider than the limit continues on the next
// lines.
std::vector<std::string> BreakLines(std::string_view text, const QRLineBreakRules& rules);

}  // namespace report
