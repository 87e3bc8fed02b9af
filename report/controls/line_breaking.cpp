#include "report/controls/line_breaking.h"

namespace report {

namespace {

class PartBreaker {
 public:
  PartBreaker(const QRLineBreakRules& rules, std::vector<std::string>& lines)
      : rules_(rules), lines_(lines) {}

  void Break(std::string_view part) {
    std::string line;
    bool stopped = false;
    std::size_t at = 0;
    while (at < part.size() && !stopped) {
      const std::size_t end = WordEnd(part, at);
      std::string word(part.substr(at, end - at));
      at = end;
      if (Fits(line + word)) {
        line += word;
        continue;
      }
      if (!rules_.WordWrap) {
        // The first word alone keeps what fits; nothing after an overflow prints.
        if (line.empty()) line = Prefix(word, false);
        stopped = true;
        continue;
      }
      if (!line.empty()) {
        lines_.push_back(line);
        line.clear();
      }
      // A word wider than a line goes on over as many lines as it needs.
      while (!Fits(word)) {
        std::string piece = Prefix(word, true);
        // A single character wider than the line stays as the line's start.
        if (piece.size() == word.size()) break;
        word.erase(0, piece.size());
        lines_.push_back(std::move(piece));
      }
      line = std::move(word);
    }
    lines_.push_back(line);
  }

 private:
  bool Fits(const std::string& text) const { return rules_.Measure(text) <= rules_.Limit; }
  std::size_t CharLength(std::string_view text, std::size_t at) const {
    const bool lead = rules_.IsLeadByte && rules_.IsLeadByte(static_cast<unsigned char>(text[at]));
    return lead && at + 1 < text.size() ? 2 : 1;
  }
  std::size_t WordEnd(std::string_view part, std::size_t at) const {
    const std::size_t first = CharLength(part, at);
    if (first == 2) return at + 2;  // a double-byte character is a word of its own
    for (std::size_t i = at; i < part.size();) {
      const char c = part[i];
      if (c == ' ' || c == '-' || c == '\r') return i + 1;
      if (CharLength(part, i) == 2) return i;
      ++i;
    }
    return part.size();
  }
  // The longest front of the word that fits; with `progress`, at least one
  // character, so that breaking always moves on.
  std::string Prefix(const std::string& word, bool progress) const {
    std::string prefix;
    std::size_t at = 0;
    while (at < word.size()) {
      const std::size_t length = CharLength(word, at);
      const std::string longer = prefix + word.substr(at, length);
      if (!Fits(longer) && !(progress && prefix.empty())) break;
      prefix = longer;
      at += length;
    }
    return prefix;
  }

  const QRLineBreakRules& rules_;
  std::vector<std::string>& lines_;
};

}  // namespace

std::vector<std::string> BreakLines(std::string_view text, const QRLineBreakRules& rules) {
  std::string clean;
  clean.reserve(text.size());
  for (char c : text)
    if (c != '\n') clean += c;
  std::vector<std::string> lines;
  PartBreaker breaker(rules, lines);
  std::size_t start = 0;
  while (true) {
    const std::size_t cr = clean.find('\r', start);
    const std::string_view part =
        std::string_view(clean).substr(start, cr == std::string::npos ? cr : cr - start);
    if (rules.AutoSize)
      lines.emplace_back(part);
    else
      breaker.Break(part);
    if (cr == std::string::npos) break;
    start = cr + 1;
  }
  return lines;
}

}  // namespace report
