#include "report/controls/line_breaking.h"

#include <algorithm>

namespace report {

namespace {

// Breaks one CR-free part. The line being filled is always a slice of the
// part, so instead of measuring it again with each word, the breaker asks once
// per line how much of the rest of the part fits (widths only grow with the
// text) and takes words while they end inside that room: a line costs a few
// measurements of about its own length, however long the part.
class PartBreaker {
 public:
  PartBreaker(const QRLineBreakRules& rules, std::vector<std::string>& lines)
      : rules_(rules), lines_(lines) {}

  void Break(std::string_view part) {
    std::size_t lineStart = 0, at = 0;
    std::size_t room = FitLength(part);
    while (at < part.size()) {
      const std::size_t end = WordEnd(part, at);
      if (end - lineStart <= room) {
        at = end;
        continue;
      }
      if (!rules_.WordWrap) {
        // The first word alone keeps what fits; nothing after an overflow prints.
        if (at == lineStart) at = lineStart + CharFloor(part, lineStart, room);
        lines_.emplace_back(part.substr(lineStart, at - lineStart));
        return;
      }
      if (at > lineStart) {
        lines_.emplace_back(part.substr(lineStart, at - lineStart));
        lineStart = at;
        room = FitLength(part.substr(lineStart));
      }
      // A word wider than a line goes on over as many lines as it needs.
      while (end - lineStart > room) {
        // At least one character, so that breaking always moves on; a single
        // character wider than the line stays as the line's start.
        std::size_t piece = CharFloor(part, lineStart, room);
        if (piece == 0) piece = CharLength(part, lineStart);
        if (lineStart + piece >= end) break;
        lines_.emplace_back(part.substr(lineStart, piece));
        lineStart += piece;
        room = FitLength(part.substr(lineStart));
      }
      at = end;
    }
    lines_.emplace_back(part.substr(lineStart, at - lineStart));
  }

 private:
  bool Fits(std::string_view text) const { return rules_.Measure(std::string(text)) <= rules_.Limit; }

  // The most leading bytes of text that fit. Gallops out from the length the
  // last line had, as lines of one text are mostly alike, then halves.
  std::size_t FitLength(std::string_view text) {
    if (text.empty()) return 0;
    std::size_t good = 0, bad = text.size() + 1;
    std::size_t probe = std::clamp<std::size_t>(guess_, 1, text.size());
    if (Fits(text.substr(0, probe))) {
      good = probe;
      for (std::size_t step = 1; good < text.size(); step *= 2) {
        probe = std::min(text.size(), good + step);
        if (!Fits(text.substr(0, probe))) {
          bad = probe;
          break;
        }
        good = probe;
      }
    } else {
      bad = probe;
    }
    while (bad - good > 1) {
      probe = good + (bad - good) / 2;
      if (Fits(text.substr(0, probe)))
        good = probe;
      else
        bad = probe;
    }
    if (good > 0) guess_ = good;
    return good;
  }

  std::size_t CharLength(std::string_view text, std::size_t at) const {
    const bool lead = rules_.IsLeadByte && rules_.IsLeadByte(static_cast<unsigned char>(text[at]));
    return lead && at + 1 < text.size() ? 2 : 1;
  }
  // The most bytes from `from`, at most `room`, that end on a character's end.
  std::size_t CharFloor(std::string_view text, std::size_t from, std::size_t room) const {
    std::size_t length = 0;
    while (from + length < text.size()) {
      const std::size_t next = length + CharLength(text, from + length);
      if (next > room) break;
      length = next;
    }
    return length;
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

  const QRLineBreakRules& rules_;
  std::vector<std::string>& lines_;
  std::size_t guess_ = 1;
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
