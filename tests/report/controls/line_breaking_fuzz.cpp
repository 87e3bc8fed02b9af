// Arbitrary bytes broken at arbitrary widths: with word wrap on, every byte
// but CR and LF reaches a line, in order, and a double-byte character is
// never split between lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "report/controls/line_breaking.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  using report::QRLineBreakRules;
  QRLineBreakRules rules;
  rules.Limit = data[0];
  rules.WordWrap = (data[1] & 1) != 0;
  rules.AutoSize = (data[1] & 2) != 0;
  const std::int32_t charWidth = 1 + data[2] % 16;
  rules.Measure = [charWidth](const std::string& text) {
    return static_cast<std::int32_t>(text.size()) * charWidth;
  };
  // Lead bytes as in a double-byte code page.
  rules.IsLeadByte = [](unsigned char byte) { return byte >= 0x81 && byte <= 0x9F; };
  const std::string text(reinterpret_cast<const char*>(data + 3), size - 3);
  const std::vector<std::string> lines = report::BreakLines(text, rules);
  if (lines.empty()) std::abort();
  if (!rules.WordWrap && !rules.AutoSize) return 0;
  std::string expected;
  for (char c : text)
    if (c != '\r' && c != '\n') expected += c;
  std::string joined;
  for (const std::string& line : lines) joined += line;
  if (joined != expected) std::abort();
  return 0;
}
