#include "capture/viewer/search.h"

#include <algorithm>
#include <functional>

namespace capture {

std::string MemoTextFromFile(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 32);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r') {
      text += "\r\n";
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      text += "\r\n";
    } else {
      text += c == '\0' ? ' ' : c;
    }
  }
  return text;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

namespace {

struct UpperHash {
  size_t operator()(char c) const { return static_cast<unsigned char>(AsciiUpper(c)); }
};
struct UpperEqual {
  bool operator()(char a, char b) const { return AsciiUpper(a) == AsciiUpper(b); }
};

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

std::optional<size_t> FindNoCase(std::string_view text, std::string_view pattern, size_t from) {
  if (pattern.empty() || from > text.size() || pattern.size() > text.size() - from) return std::nullopt;
  const std::boyer_moore_horspool_searcher searcher(pattern.begin(), pattern.end(), UpperHash{}, UpperEqual{});
  const auto found = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), searcher);
  if (found == text.end()) return std::nullopt;
  return static_cast<size_t>(found - text.begin());
}

std::vector<LineHit> FindLinesNoCase(std::string_view text, std::string_view pattern) {
  std::vector<LineHit> hits;
  // No single line holds a line break.
  if (pattern.find_first_of("\r\n") != std::string_view::npos) return hits;
  size_t line = 0, lineStart = 0;
  for (size_t from = 0;;) {
    const auto at = FindNoCase(text, pattern, from);
    if (!at) break;
    // Count the breaks between the last line we looked at and the hit.
    for (size_t brk = text.find(kLineBreak, lineStart); brk != std::string_view::npos && brk < *at;
         brk = text.find(kLineBreak, lineStart)) {
      ++line;
      lineStart = brk + kLineBreak.size();
    }
    size_t lineEnd = text.find(kLineBreak, *at);
    if (lineEnd == std::string_view::npos) lineEnd = text.size();
    hits.push_back({line, text.substr(lineStart, lineEnd - lineStart)});
    if (lineEnd == text.size()) break;
    ++line;
    lineStart = from = lineEnd + kLineBreak.size();
  }
  return hits;
}

std::string SearchResultEntry(const LineHit& hit) {
  return std::to_string(hit.Line) + "     " + std::string(hit.Text);
}

std::optional<size_t> EntryLineNumber(std::string_view entry) {
  const std::string_view digits = entry.substr(0, entry.find(' '));
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  size_t number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + static_cast<size_t>(c - '0');
  }
  return number;
}

}  // namespace capture
