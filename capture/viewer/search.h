// Searching the text of a log the way the log viewer shows it. Plain C++:
// the viewer hands in its memo's text, so positions and line numbers here are
// the memo's own.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace capture {

// The text a log file is shown as: every line break of the file (CR LF, a
// lone LF, a lone CR) becomes one CR LF, the only break a multi-line edit
// control knows, and a NUL byte becomes a blank, which would otherwise end
// the control's text early. Nothing else changes.
std::string MemoTextFromFile(std::string_view bytes);

// Upper case of the ASCII letters only; every other byte stays as it is, so
// the result does not depend on the machine's locale.
char AsciiUpper(char c);

// The first case-insensitive occurrence of `pattern` in `text` at or after
// `from`. Nothing for an empty pattern: an empty search text finds nothing.
std::optional<size_t> FindNoCase(std::string_view text, std::string_view pattern, size_t from = 0);

// A line of `text` (lines end at CR LF, numbered from 0) that holds `pattern`.
struct LineHit {
  size_t Line;
  std::string_view Text;
};
std::vector<LineHit> FindLinesNoCase(std::string_view text, std::string_view pattern);

// The results window's entry for a hit: the line number, five blanks, the line.
std::string SearchResultEntry(const LineHit& hit);
// The line number an entry starts with (the decimal text before its first
// blank); nothing when that is not a number.
std::optional<size_t> EntryLineNumber(std::string_view entry);

}  // namespace capture
