// The language-text format: "GLID;Text" lines, memos opened by "#GLID;" and
// closed by "#", and "*" comments. Language texts may come from a file, so
// the parser takes lines of any length and numbers that do not fit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace setup::translator {

// Parsed texts keep at most this many characters.
constexpr std::size_t kMaxTextLength = 255;

struct LanguageString {
  std::int32_t Glid = 0;
  int LineNumber = 0;  // 0-based index of its line in the language text
  std::string Text;
};

struct LanguageMemo {
  std::int32_t Glid = 0;
  int LineNumber = 0;
  std::vector<std::string> Lines;
};

struct ParsedLanguageText {
  std::vector<LanguageString> Strings;
  std::vector<LanguageMemo> Memos;
};

// Raises fw::Exception with the message of the first malformed line (its
// 0-based number and its trimmed text). A memo still open at the end is
// dropped.
ParsedLanguageText ParseLanguageText(const std::vector<std::string>& lines);

// Blanks and control characters removed from both ends.
std::string TrimBlanks(const std::string& text);

}  // namespace setup::translator
