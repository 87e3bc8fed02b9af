#include "capture/settings/number_text.h"

#include <charconv>
#include <string>

namespace capture {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the run of digits starting at `at`.
std::size_t DigitRun(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - at;
}

}  // namespace

std::optional<std::int32_t> ParseDecimalInt32(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || DigitRun(text, 0) != text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::optional<double> ParseRealNumber(std::string_view text) {
  text = TrimBlanks(text);
  // Check the shape first: from_chars alone would take "inf", "nan" and
  // stop early without complaint.
  std::size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  const std::size_t numberStart = at;
  const std::size_t whole = DigitRun(text, at);
  at += whole;
  std::size_t fraction = 0;
  if (at < text.size() && text[at] == '.') {
    fraction = DigitRun(text, at + 1);
    at += 1 + fraction;
  }
  if (whole + fraction == 0) return std::nullopt;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    std::size_t exponentAt = at + 1;
    if (exponentAt < text.size() && (text[exponentAt] == '+' || text[exponentAt] == '-')) ++exponentAt;
    const std::size_t exponentDigits = DigitRun(text, exponentAt);
    if (exponentDigits == 0) return std::nullopt;
    at = exponentAt + exponentDigits;
  }
  if (at != text.size()) return std::nullopt;

  double value = 0;
  const std::string_view number = text.substr(numberStart);
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return negative ? -value : value;
}

double VersionTextToNumber(std::string_view text) {
  if (const auto whole = ParseRealNumber(text)) return *whole;
  const auto firstStop = text.find('.');
  if (firstStop != std::string_view::npos) {
    const auto secondStop = text.find('.', firstStop + 1);
    if (secondStop != std::string_view::npos) text = text.substr(0, secondStop);
  }
  if (const auto cut = ParseRealNumber(text.substr(0, 6))) return *cut;
  return 0;
}

}  // namespace capture
