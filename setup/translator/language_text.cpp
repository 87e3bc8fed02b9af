#include "setup/translator/language_text.h"

#include <charconv>
#include <optional>

#include "framework/exceptions.h"
#include "framework/format.h"

namespace setup::translator {
namespace {

constexpr const char* kEndOfMemoOutside =
    "Found the end of memo marker # at line %d. Was not in a memo however";
constexpr const char* kNoMemoFormat = "The %d'th string (%s) does not have the proper format of .GLID;";
constexpr const char* kNoTextFormat = "The %d'th string (%s) does not have the proper format of GLID;Text";
constexpr const char* kNoNumberFormat =
    "The %d'th string (%s) does not have the proper format of GLID;Text or .GLID;";

[[noreturn]] void Fail(const char* format, int lineNumber, const std::string& line) {
  throw fw::Exception(fw::Format(format, {lineNumber, line}));
}

// A decimal integer with an optional sign that fits 32 bits, or nothing.
std::optional<std::int32_t> DecimalGlid(const std::string& field) {
  std::string_view digits = field;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::string FirstField(const std::string& text) { return text.substr(0, text.find(';')); }

std::int32_t GlidOf(const std::string& field, int lineNumber, const std::string& line) {
  if (field.empty()) Fail(kNoTextFormat, lineNumber, line);
  auto glid = DecimalGlid(field);
  if (!glid) Fail(kNoNumberFormat, lineNumber, line);
  return *glid;
}

}  // namespace

std::string TrimBlanks(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

ParsedLanguageText ParseLanguageText(const std::vector<std::string>& lines) {
  ParsedLanguageText parsed;
  std::optional<LanguageMemo> memo;
  for (size_t index = 0; index < lines.size(); ++index) {
    const int lineNumber = static_cast<int>(index);
    const std::string line = TrimBlanks(lines[index]);
    if (line.empty()) continue;
    if (line == "#") {
      if (!memo) Fail(kEndOfMemoOutside, lineNumber, line);
      parsed.Memos.push_back(std::move(*memo));
      memo.reset();
      continue;
    }
    if (line.front() == '*') continue;
    if (memo) {
      memo->Lines.push_back(line);
      continue;
    }
    if (line.front() == '#') {
      if (line.size() < 2) Fail(kNoMemoFormat, lineNumber, line);
      memo = LanguageMemo{GlidOf(FirstField(line.substr(1)), lineNumber, line), lineNumber, {}};
      continue;
    }
    const std::int32_t glid = GlidOf(FirstField(line), lineNumber, line);
    const size_t separator = line.find(';');
    std::string text;
    if (separator != std::string::npos) text = FirstField(line.substr(separator + 1));
    if (TrimBlanks(text).empty()) Fail(kNoTextFormat, lineNumber, line);
    if (text.size() > kMaxTextLength) text.resize(kMaxTextLength);
    parsed.Strings.push_back({glid, lineNumber, std::move(text)});
  }
  return parsed;
}

}  // namespace setup::translator
